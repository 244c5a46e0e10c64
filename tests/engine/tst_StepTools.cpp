// The helpers the clamp, component and rod steps share: digits of the
// search key and of product numbers, arrangement positions, message texts
// with their values, lengths for a box.
#include "EngineFixture.h"
#include "engine/StepTools.h"

class TestStepTools : public QObject {
    Q_OBJECT

    template <class Fn>
    static int Refused(Fn fn) {
        try {
            fn();
        } catch (const EngineStepError& e) {
            return e.Number();
        }
        return 0;
    }

private slots:
    void init() { ResetCalcState(); }

    void keyDigits() {
        SetKeyText(QStringLiteral("3"));
        QCOMPARE(SearchKeyText(), QStringLiteral("30000000"));
        SetKeyText(QStringLiteral("123456789"));
        QCOMPARE(SearchKeyText(), QStringLiteral("12345678"));
        SetKeyDigits(4, 2, 9);
        QCOMPARE(SearchKeyText(), QStringLiteral("12309678"));
        SetKeyDigits(1, 3, 4567);  // the last digits that fit
        QCOMPARE(SearchKeyText(), QStringLiteral("56709678"));
        SetKeyDigits(8, 1, -3);    // the amount
        QCOMPARE(SearchKeyText(), QStringLiteral("56709673"));
        SetKeyDigits(1, 8, 20);
        QCOMPARE(SearchKeyText(), QStringLiteral("00000020"));
        SetKeyText(QStringLiteral("29013218"));
        QCOMPARE(KeyDigits(1, 3), 290);
        QCOMPARE(KeyDigits(4, 2), 13);
        QCOMPARE(KeyDigits(8, 1), 8);
        QCOMPARE(KeyDigits(1, 8), 29013218);
        std::copy_n("9 /:A8-0", 8, CalcGlobals.SearchKey);
        QCOMPARE(KeyDigits(1, 8), 90000800);
    }

    // The digit ranges stay within the 8 digits.
    void digitRanges_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("refused");
        QTest::newRow("1, 8") << 1 << 8 << false;
        QTest::newRow("8, 1") << 8 << 1 << false;
        QTest::newRow("0, 1") << 0 << 1 << true;
        QTest::newRow("1, 0") << 1 << 0 << true;
        QTest::newRow("2, 8") << 2 << 8 << true;
        QTest::newRow("9, 1") << 9 << 1 << true;
    }
    void digitRanges() {
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(bool, refused);
        const int expected = refused ? int(MsgTableIndexOutOfRange) : 0;
        QCOMPARE(Refused([&] { SetKeyDigits(first, count, 1); }), expected);
        QCOMPARE(Refused([&] { KeyDigits(first, count); }), expected);
        QCOMPARE(Refused([&] { DigitsOf(12345678, first, count); }), expected);
        QCOMPARE(Refused([&] { WithDigits(12345678, first, count, 1); }), expected);
    }

    void productNumberDigits() {
        QCOMPARE(NumberDigits(9013218), QStringLiteral("09013218"));
        QCOMPARE(NumberDigits(29013218.9), QStringLiteral("29013218"));
        QCOMPARE(DigitsOf(29013218, 1, 2), 29);
        QCOMPARE(DigitsOf(29013218, 4, 2), 13);
        QCOMPARE(DigitsOf(29013218, 8, 1), 8);
        QCOMPARE(WithDigits(29013218, 8, 1, 1), 29013211.0);
        QCOMPARE(WithDigits(29013218, 3, 1, 9), 29913218.0);
        QCOMPARE(WithDigits(29013218, 4, 2, 7), 29007218.0);
        QCOMPARE(WithDigits(29013218, 1, 2, 123), 23013218.0);
    }

    void positions() {
        SetPositionType(1, QStringLiteral("730"));
        SetPositionType(16, QStringLiteral("6"));
        SetPositionType(3, QStringLiteral("555"));
        SetPositionType(2, QStringLiteral("12345"));  // the first three, the neighbour untouched
        QCOMPARE(PositionType(3), QStringLiteral("555"));
        QCOMPARE(PositionType(1), QStringLiteral("730"));
        QCOMPARE(PositionType(16), QStringLiteral("600"));
        QCOMPARE(PositionType(2), QStringLiteral("123"));
        QCOMPARE(QString::fromLatin1(ArrangementRecord.A_LFD_BT[0], 3), QStringLiteral("730"));
        QCOMPARE(QString::fromLatin1(ArrangementRecord.A_LFD_BT[1], 3), QStringLiteral("123"));
        for (int i : {0, 17}) {
            QCOMPARE(Refused([i] { PositionType(i); }), int(MsgTableIndexOutOfRange));
            QCOMPARE(Refused([i] { SetPositionType(i, QStringLiteral("111")); }), int(MsgTableIndexOutOfRange));
        }
    }

    void formatMessage_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QString>("expected");
        QTest::newRow("each kind") << "A %d B %s C %f D %.3f E %i" << QVariantList{12.9, "x", 1.5, 2.25, 7}
                                   << "A 12 B x C 1.500000 D 2.250 E 7";
        QTest::newRow("an integer for %d") << "%d mm" << QVariantList{-40} << "-40 mm";
        QTest::newRow("two decimals") << "%.2f" << QVariantList{3.14159} << "3.14";
        // No decimals asked is none, not the six of a plain %f.
        QTest::newRow("no decimals") << "%.0f mm" << QVariantList{2.0} << "2 mm";
        // Only %d and %i cut a fraction; %s shows the value as it is.
        QTest::newRow("a fraction for %s") << "%s kN" << QVariantList{2.5} << "2.5 kN";
        QTest::newRow("a percent sign doubled") << "100%% sure" << QVariantList{} << "100% sure";
        QTest::newRow("a percent sign at the end") << "50%" << QVariantList{} << "50%";
        QTest::newRow("no kind after the decimals") << "%.3" << QVariantList{1} << "%.3 1";
        QTest::newRow("an unknown kind") << "%x %d" << QVariantList{3} << "%x 3";
        QTest::newRow("fewer values") << "%d and %d" << QVariantList{1} << "1 and %d";
        QTest::newRow("values left over") << "text %s" << QVariantList{"a", 1, "b"} << "text a 1 b";
        QTest::newRow("no places") << "text" << QVariantList{2} << "text 2";
    }
    void formatMessage() {
        QFETCH(QString, text);
        QFETCH(QVariantList, values);
        QFETCH(QString, expected);
        QCOMPARE(FormatMessage(text, values), expected);
    }

    void messageBox() {
        ScriptedSelectionUi ui;
        ActiveUiScope active(ui);
        InformationBox(2742, {100, 200});
        QCOMPARE(ui.log, QStringList{"information: " + FormatMessage(MessageText(2742), {100, 200})});
        QCOMPARE(MessageWithValues(2742, {1}), FormatMessage(MessageText(2742), {1}));
    }

    // Millimetres as whole mm, or as whole feet and the inches left over:
    // 1000 mm = 39.370 inch = 3 feet and 3.370 inch.
    void lengthValues() {
        QCOMPARE(LengthValues(false, {1000.7L, -20.5L}), (QVariantList{qint64(1000), qint64(-20)}));
        const QVariantList v = LengthValues(true, {1000.0L, 300.0L});
        QCOMPARE(v.size(), 4);
        QCOMPARE(v[0].toLongLong(), 3);
        QCOMPARE(v[1].toDouble(), 1000 * 0.03937007874015748 - 36);
        QCOMPARE(v[2].toLongLong(), 0);
        QCOMPARE(v[3].toDouble(), 300 * 0.03937007874015748);
    }
};

QTEST_GUILESS_MAIN(TestStepTools)
#include "tst_StepTools.moc"
