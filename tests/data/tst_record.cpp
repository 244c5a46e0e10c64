// The support record and calculation state, message texts, the message
// wrappers, the text routines and the password scrambling.
#include "data/BridgeRecords.h"
#include "data/CblTools.h"
#include "data/FIRAUFKON.h"
#include "data/GlobalFuncs.h"
#include "data/KONBTL.h"
#include "data/ProjectSchema.h"
#include "localisation/IvBinDic.h"
#include "messages/MessageSeam.h"

#include <QFile>
#include <QtTest>

class TestRecord : public QObject {
    Q_OBJECT
private slots:
    void errorTextByNumber_data();
    void errorTextByNumber();
    void everyStringTableNumberHasItsKey();
    void replaceFirst_data();
    void replaceFirst();
    void removeBlanks_data();
    void removeBlanks();
    void scrambling_data();
    void scrambling();
    void messageWrappers_data();
    void messageWrappers();
    void recordFieldWidthsFollowTheColumns_data();
    void recordFieldWidthsFollowTheColumns();
    void recordReset();
    void calcGlobalsStartValues();
    void bridgeBlankFill();
    void packedPartsRefuseWhatTheyCannotHold_data();
    void packedPartsRefuseWhatTheyCannotHold();
    void olderPackedFormReadsTheSame();
};

void TestRecord::errorTextByNumber_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no entry") << 1 << "Unknown Error occured, No. 1";
    QTest::newRow("negative") << -5 << "Unknown Error occured, No. -5";
    QTest::newRow("count too large") << MsgPartCountTooLarge << QStringLiteral("RS%1").arg(MsgPartCountTooLarge);
    QTest::newRow("number too long") << MsgPartNumberTooLong << QStringLiteral("RS%1").arg(MsgPartNumberTooLong);
    // Product-type names are texts, never message keys; neighbours of a
    // type code that the table lacks are unknown.
    QTest::newRow("type 210") << 210 << "Var. spring hanger";
    QTest::newRow("type 29") << 29 << "Var. spring support";
    QTest::newRow("type 4920") << 4920 << "Clamp base, 2-way parallel guide";
    QTest::newRow("type 4922 absent") << 4922 << "Unknown Error occured, No. 4922";
    QTest::newRow("type 209 absent") << 209 << "Unknown Error occured, No. 209";
}

void TestRecord::errorTextByNumber() {
    QFETCH(int, number);
    QFETCH(QString, expected);
    QCOMPARE(ErrorTextByNumber(number), expected);
}

void TestRecord::everyStringTableNumberHasItsKey() {
    QFile tsv(QStringLiteral(KORVA_SOURCE_DIR "/resources/strings/stringtable.tsv"));
    QVERIFY(tsv.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(tsv.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.first(), QStringLiteral("number\tgerman\tenglish\tkind"));
    QVERIFY(lines.size() > 1);
    int messages = 0, texts = 0;
    for (const QString& line : lines.mid(1)) {
        const QStringList cells = line.split('\t');
        QVERIFY2(cells.size() == 3 || cells.size() == 4, qPrintable(line));
        QVERIFY2(!cells[1].trimmed().isEmpty() && !cells[2].trimmed().isEmpty(), qPrintable(line));
        bool ok = false;
        const int number = cells[0].toInt(&ok);
        QVERIFY(ok);
        const bool text = cells.size() == 4 && cells[3] == QLatin1String("text");
        QVERIFY2(cells.size() == 3 || text, qPrintable(line));
        // A message is a key for the dictionary; a text is handed out as it
        // stands (in English), so that the caller picks the dictionary.
        QCOMPARE(ErrorTextByNumber(number), text ? cells[2] : QStringLiteral("RS%1").arg(number));
        ++(text ? texts : messages);
    }
    QVERIFY(messages > 0);
    QVERIFY(texts > 0);
}

void TestRecord::replaceFirst_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");
    QTest::newRow("absent") << "DESP 10" << "XY" << "Z" << "DESP 10";
    QTest::newRow("first of two") << "a-b-c" << "-" << "+" << "a+b-c";
    QTest::newRow("longer replacement") << "M10" << "10" << "100" << "M100";
    QTest::newRow("empty search") << "abc" << "" << "x" << "abc";
    QTest::newRow("whole text") << "abc" << "abc" << "" << "";
}

void TestRecord::replaceFirst() {
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    QCOMPARE(ReplaceFirst(text, search, replacement), expected);
}

void TestRecord::removeBlanks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("blanks only") << "    " << "";
    QTest::newRow("inner and outer") << " DESP  10 0 " << "DESP100";
    QTest::newRow("tabs stay") << "a\tb c" << "a\tbc";
}

void TestRecord::removeBlanks() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(RemoveBlanks(text), expected);
}

void TestRecord::scrambling_data() {
    QTest::addColumn<QString>("password");
    QTest::newRow("empty") << "";
    QTest::newRow("ten characters") << "Geheim1234";
    QTest::newRow("repeated letters") << "aaaaaaaaaa";
    QTest::newRow("printable edges") << " ~!}";
    QTest::newRow("umlaut kept") << "Grüße";
}

void TestRecord::scrambling() {
    QFETCH(QString, password);
    const QString scrambled = ScrambleText(password);
    QCOMPARE(scrambled.size(), password.size());
    QCOMPARE(UnscrambleText(scrambled), password);
    for (int i = 0; i < password.size(); ++i) {
        const ushort c = password.at(i).unicode();
        const ushort s = scrambled.at(i).unicode();
        if (c >= 32 && c < 127) QVERIFY(s >= 32 && s < 127);
        else QCOMPARE(s, c);
    }
    if (password == "aaaaaaaaaa") {
        QVERIFY(scrambled != password);
        QVERIFY(scrambled.count(scrambled.at(0)) < password.size());  // no plain substitution
    }
}

void TestRecord::messageWrappers_data() {
    QTest::addColumn<int>("wrapper");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("buttons");
    QTest::newRow("MsgInformation") << 0 << int(MessageKind::Information) << int(mb::OK);
    QTest::newRow("MsgInformationYesNo") << 1 << int(MessageKind::Information) << int(mb::Yes | mb::No);
    QTest::newRow("MsgWarningYesNo") << 2 << int(MessageKind::Warning) << int(mb::Yes | mb::No);
    QTest::newRow("MsgWarning") << 3 << int(MessageKind::Warning) << int(mb::OK);
    QTest::newRow("MsgConfirmYesNoAll") << 4 << int(MessageKind::Confirmation) << int(mb::Yes | mb::No | mb::All);
}

void TestRecord::messageWrappers() {
    QFETCH(int, wrapper);
    QFETCH(int, kind);
    QFETCH(int, buttons);
    using Wrapper = int (*)(const QString&);
    const Wrapper wrappers[] = {MsgInformation, MsgInformationYesNo, MsgWarningYesNo, MsgWarning, MsgConfirmYesNoAll};
    ScriptedMessageSeam seam;
    seam.Answer(mr::All);
    QCOMPARE(wrappers[wrapper](QStringLiteral("Text ä")), mr::All);
    QCOMPARE(int(seam.Requests().size()), 1);
    QCOMPARE(int(seam.Requests()[0].kind), kind);
    QCOMPARE(int(seam.Requests()[0].buttons), buttons);
    QCOMPARE(seam.Requests()[0].text, QStringLiteral("Text ä"));
    // The box is placed over whatever window is active when it shows.
    QVERIFY(seam.Requests()[0].ownerIsActiveWindow);
    QVERIFY(!seam.Requests()[0].owner);
}

void TestRecord::recordFieldWidthsFollowTheColumns_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("columnWidth");
    QTest::newRow("K_POS_NR") << "K_POS_NR" << 32 << 32;
    QTest::newRow("K_ORT_4") << "K_ORT_4" << 5 << 5;
    QTest::newRow("K_OEINH_1") << "K_OEINH_1" << 4 << 4;
    // The record's own widths, where they differ from the columns'.
    QTest::newRow("K_OMASS_1") << "K_OMASS_1" << 14 << 6;
    QTest::newRow("K_OMASS_4") << "K_OMASS_4" << 14 << 6;
    QTest::newRow("K_OMASS_X") << "K_OMASS_X" << 5 << 6;
    QTest::newRow("K_OMASS_V") << "K_OMASS_V" << 5 << 6;
    QTest::newRow("K_KOOR_MOV_N") << "K_KOOR_MOV_N" << 5 << 6;
    QTest::newRow("K_KOOR_MOV_W") << "K_KOOR_MOV_W" << 5 << 6;
    QTest::newRow("K_OMASS_A_I") << "K_OMASS_A_I" << 16 << 16;
    QTest::newRow("K_OMASS_V_I") << "K_OMASS_V_I" << 16 << 16;
    QTest::newRow("K_Bool_Carrier") << "K_Bool_Carrier" << 35 << 35;
    QTest::newRow("K_VER") << "K_VER" << 8 << 8;
    QTest::newRow("K_KDN_ZNR") << "K_KDN_ZNR" << 25 << 25;
}

void TestRecord::recordFieldWidthsFollowTheColumns() {
    QFETCH(QString, column);
    QFETCH(int, width);
    QFETCH(int, columnWidth);
    const ProjectColumn* c = FindSupportColumn(column);
    QVERIFY(c && c->record);
    const FieldRef ref = c->record(ConstructionRecord);
    QVERIFY(std::holds_alternative<FixedText>(ref));
    QCOMPARE(std::get<FixedText>(ref).width, width);
    QCOMPARE(c->size, columnWidth);
}

void TestRecord::recordReset() {
    TConstructionRecord r;
    r.K_LAST = 5;
    r.K_NAME = "x";
    PutText(r.K_POS_NR, "H-1");
    r.K_BTL_8[3] = 12;
    r.F_TGKURS = 2;
    r.Reset();
    QCOMPARE(r.K_LAST, 0.0);
    QCOMPARE(r.K_NAME, QString());
    QCOMPARE(FieldText(r.K_POS_NR), QString(32, ' '));
    QCOMPARE(r.K_BTL_8[3], 0.0);
    QCOMPARE(r.F_TGKURS, 0.0);
    QVERIFY(!r.K_DAT_BEARB.isValid());
}

void TestRecord::calcGlobalsStartValues() {
    CalcGlobals.DesignLoad = 3;
    PutText(CalcGlobals.SearchKey, "21091500");
    CalcGlobals.RodLengths[2] = 5;
    CalcGlobals.Reset();
    QCOMPARE(CalcGlobals.DesignLoad, 0.0);
    QCOMPARE(FieldText(CalcGlobals.SearchKey), QString(8, ' '));
    QCOMPARE(FieldText(CalcGlobals.PreselectedLoadNumber), QStringLiteral("000000"));
    QCOMPARE(CalcGlobals.RodLengths[2], 999999);
    QCOMPARE(CalcGlobals.StrutRangeMin, 999999);
    QCOMPARE(CalcGlobals.AccessoryKinds[0], int16_t(99));
    QCOMPARE(CalcGlobals.ClampPreselectMode, ' ');
    QCOMPARE(FieldText(CalcGlobals.TableOpCode), QStringLiteral("  "));
}

void TestRecord::bridgeBlankFill() {
    TBridgeRecords b;
    PutText(b.Items[4].PartNumber, "12345678");
    b.ResNum2 = 7;
    b.Clear(QStringLiteral("/opt/korva"));
    QCOMPARE(FieldText(b.Items[4].PartNumber), QStringLiteral("00000000 "));
    QCOMPARE(FieldText(b.Items[29].Dimension), QStringLiteral("0000 "));
    QCOMPARE(FieldText(b.Items[0].Position), QStringLiteral("00 "));
    QCOMPARE(FieldTextTrimmed(b.ProgramDir, 260), QStringLiteral("/opt/korva"));
    QCOMPARE(b.ResNum2, 1.0f);
    QCOMPARE(FieldText(b.RohrKorr), QStringLiteral("000000 "));
    QVERIFY(b.Flag899 && b.Flag900 && !b.DrehungAs);
}

void TestRecord::packedPartsRefuseWhatTheyCannotHold_data() {
    QTest::addColumn<double>("number");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("messageNumber");
    QTest::addColumn<int>("language");  // of the menu dictionary; 0: none open
    QTest::addColumn<QString>("message");
    // The text is the string table's, through the menu dictionary, then the
    // entry and the value that does not fit.
    QTest::newRow("count 10") << 21091500.0 << 10 << MsgPartCountTooLarge << 0 << "RS7101\rPosition 6: 10";
    QTest::newRow("count 10, German")
        << 21091500.0 << 10 << MsgPartCountTooLarge << 1
        << u"Eine Stückzahl der Stückliste ist größer als 9; die Halterung kann so nicht gespeichert werden.\r"
           u"Position 6: 10"_qs;
    QTest::newRow("count 10, English")
        << 21091500.0 << 10 << MsgPartCountTooLarge << 2
        << "A quantity of the parts chain is greater than 9; the support cannot be stored like this.\rPosition 6: 10";
    QTest::newRow("negative count") << 21091500.0 << -1 << MsgPartCountTooLarge << 0 << "RS7101\rPosition 6: -1";
    QTest::newRow("nine digits") << 123456789.0 << 1 << MsgPartNumberTooLong << 0 << "RS7102\rPosition 6: 123456789";
    QTest::newRow("nine digits, German")
        << 123456789.0 << 1 << MsgPartNumberTooLong << 1
        << u"Eine Bauteilnummer der Stückliste hat mehr als 8 Stellen; die Halterung kann so nicht gespeichert "
           u"werden.\rPosition 6: 123456789"_qs;
    QTest::newRow("negative number") << -5.0 << 1 << MsgPartNumberTooLong << 0 << "RS7102\rPosition 6: -5";
    QTest::newRow("fits") << 99999999.0 << 9 << 0 << 0 << "";
}

void TestRecord::packedPartsRefuseWhatTheyCannotHold() {
    QFETCH(double, number);
    QFETCH(int, count);
    QFETCH(int, messageNumber);
    QFETCH(int, language);
    QFETCH(QString, message);
    std::unique_ptr<TIvBinaryDictionary> menu;
    if (language > 0) {
        menu = std::make_unique<TIvBinaryDictionary>(nullptr, "MenuDictionary");
        menu->SetFileName(QStringLiteral(KORVA_BINARY_DIR "/Korva32.mld"));
        menu->SetLanguage(language);
        menu->Open();
        QVERIFY(menu->IsOpen());
    }
    double numbers[30] = {};
    int16_t counts[30] = {};
    numbers[5] = number;
    counts[5] = int16_t(count);
    int thrown = 0;
    try {
        const QString packed = PackPartNumbers(numbers) + "|" + PackPartCounts(counts);
        QVERIFY(packed.size() > 30);
    } catch (const EConstructionError& e) {
        thrown = e.MessageNumber();
        QCOMPARE(e.Message(), message);
        QCOMPARE(QString::fromStdString(e.what()), message);
    }
    QCOMPARE(thrown, messageNumber);
}

void TestRecord::olderPackedFormReadsTheSame() {
    // Rows written before zeros were padded: a number, then one "0" each.
    double numbers[30];
    int16_t counts[30];
    UnpackParts(QStringLiteral("21091500") + QString(29, '0'), QStringLiteral("3") + QString(29, '0'), numbers, counts);
    QCOMPARE(numbers[0], 21091500.0);
    QCOMPARE(int(counts[0]), 3);
    for (int k = 1; k < 30; ++k) QCOMPARE(numbers[k], 0.0);
    UnpackParts(QString(), QString(), numbers, counts);
    QCOMPARE(numbers[0], 0.0);
    // A blank column holds no part either: an empty chain, not a
    // conversion error (one chunk that is no number still is).
    UnpackParts(QStringLiteral("21091500"), QStringLiteral("1"), numbers, counts);
    UnpackParts(QString(241, ' '), QString(30, ' '), numbers, counts);
    QCOMPARE(numbers[0], 0.0);
    QCOMPARE(int(counts[0]), 0);
    QVERIFY_THROWS_EXCEPTION(EConvertError, UnpackParts("2109150X", "1", numbers, counts));
}

QTEST_GUILESS_MAIN(TestRecord)
#include "tst_record.moc"
