// Saving the options behind the password, the password dialogs, the
// settings text file and the per-user values read at the input form's start.
#include "OptionsFixture.h"

#include "forms/Password.h"
#include "forms/Password1.h"
#include "host/IniReader.h"
#include "host/IniWriter.h"
#include "localisation/IvLanguD.h"
#include "platform/CodePage.h"
#include "ui/QWDateiInfo2.h"
#include "ui/ValCtrls.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>

namespace {

void TypePassword(QLineEdit* edit, const QString& text) {
    ClearPasswordPrompt(edit);
    edit->setText(text);
}

// Answers the next password question with a text (OK), or with Esc.
std::shared_ptr<bool> AnswerPassword(const QString& text, bool escape = false) {
    return WhenShown<TFPassword2>([text, escape](TFPassword2* d) {
        if (escape) {
            QTest::keyClick(d->Edit_Password2, Qt::Key_Escape);
            return;
        }
        TypePassword(d->Edit_Password2, text);
        d->Button_OK->click();
    });
}

QString Registry(const QString& name) {
    TRegistry reg;
    if (!reg.OpenKey(ProductKey, false) || !reg.ValueExists(name)) return QStringLiteral("<absent>");
    return reg.ReadValue(name).toString();
}

void SetRegistry(const QString& name, const QVariant& value) {
    auto s = TRegistry::Settings(TRootKey::CurrentUser);
    s->setValue(name, value);
}

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

}  // namespace

class TestOptionsPersistence : public QObject, protected OptionsFormTest {
    Q_OBJECT

    void StorePassword(const QString& password) {
        TRegistry reg;
        QVERIFY(reg.OpenKey(ProductKey, true));
        reg.WriteString(QStringLiteral("OPWD"), ScrambleText(password));
    }

private slots:
    void initTestCase() { SetUpCase(); }
    void init() { SetUp(); }
    void cleanup() { TearDown(); }

    // ---- password ----

    void newPasswordNeedsTheSameTextTwice() {
        TFLEKO& w = Open();
        QVERIFY(!w.PasswordChk->isChecked());
        auto mismatch = WhenShown<TFPassword1>([this](TFPassword1* d) {
            TypePassword(d->Edit_Password1a, QStringLiteral("abc"));
            TypePassword(d->Edit_Password1b, QStringLiteral("abd"));
            d->Button_OK->click();
            // Still open after the error; the second try matches.
            QVERIFY(d->isVisible());
            QCOMPARE(seam->Texts(), QStringList{IvTranslate(QStringLiteral("2. Password not identical !"))});
            TypePassword(d->Edit_Password1b, QStringLiteral("abc"));
            d->Button_OK->click();
        });
        w.PasswordChk->click();
        QVERIFY(*mismatch);
        QVERIFY(w.PasswordChk->isChecked());
        QVERIFY(w.PasswordStored());
        QCOMPARE(CalcGlobals.OptionsPassword, QStringLiteral("abc"));
        QCOMPARE(Registry("OPWD"), ScrambleText(QStringLiteral("abc")));
        QVERIFY(Registry("OPWD") != QStringLiteral("abc"));
    }

    void cancelledNewPasswordSetsNone() {
        CalcGlobals.OptionsPassword = QStringLiteral("alt");  // entered earlier in the run
        TFLEKO& w = Open();
        auto shown = WhenShown<TFPassword1>([](TFPassword1* d) { QTest::keyClick(d->Edit_Password1a, Qt::Key_Escape); });
        w.PasswordChk->click();
        QVERIFY(*shown);
        QVERIFY(!w.PasswordChk->isChecked());
        QCOMPARE(Registry("OPWD"), QStringLiteral("<absent>"));
    }

    void emptyNewPasswordUnticks() {
        TFLEKO& w = Open();
        auto shown = WhenShown<TFPassword1>([](TFPassword1* d) { d->Button_OK->click(); });
        w.PasswordChk->click();
        QVERIFY(*shown);
        QVERIFY(!w.PasswordChk->isChecked());
        QCOMPARE(Registry("OPWD"), QStringLiteral("<absent>"));
    }

    void wrongPasswordLeavesEveryStoreUnchanged() {
        StorePassword(QStringLiteral("geheim"));
        TFLEKO& w = Open();
        QVERIFY(w.PasswordChk->isChecked());
        Type(w.DBEdit(4), QStringLiteral("Neu"));
        w.HDCheckBoxes[27]->click();
        w.SpinEdit1->setValue(5);
        w.DRCK_EH->Button(2)->click();
        w.CN_BUTTON->click();  // clears the nuclear and UNC catalogue fields
        const QVariant carrier = f->ProjectValue("F_Bool_Carrier");
        auto asked = AnswerPassword(QStringLiteral("Geheim"));  // case counts
        QVERIFY(!w.SpeichernClick());
        QVERIFY(*asked);
        QCOMPARE(seam->Texts(), QStringList{IvTranslate(QStringLiteral("Password not correct !"))});
        QCOMPARE(f->Stored("F_BEST").toString(), QStringLiteral("Kunde A"));
        QCOMPARE(f->Stored("F_DRCK_EH_KZ").toString(), QStringLiteral("B"));
        QCOMPARE(f->Stored("F_KERNTECH").toBool(), true);
        QCOMPARE(f->ProjectValue("F_Bool_Carrier"), carrier);
        QCOMPARE(f->ProjectValue("F_BEST"), QVariant());
        QCOMPARE(Registry("WidthMain"), QStringLiteral("<absent>"));
        QVERIFY(!f->CatalogueFlag("pgrsrsl.DB", "RSL_NRN", 1, "RSL_HD_KZ"));
        // Nothing lost either: the right password saves it all.
        seam->Clear();
        auto again = AnswerPassword(QStringLiteral("geheim"));
        QVERIFY(w.SpeichernClick());
        QVERIFY(*again);
        QCOMPARE(f->Stored("F_BEST").toString(), QStringLiteral("Neu"));
        QCOMPARE(f->Stored("F_DRCK_EH_KZ").toString(), QStringLiteral("C"));
        QCOMPARE(f->Stored("F_KERNTECH").toBool(), false);
        QCOMPARE(f->ProjectValue("F_BEST").toString(), QStringLiteral("Neu"));
        QCOMPARE(Registry("WidthMain"), QStringLiteral("5"));
        QVERIFY(f->CatalogueFlag("pgrsrsl.DB", "RSL_NRN", 1, "RSL_HD_KZ"));
    }

    void escapeComparesThePreviousPassword() {
        StorePassword(QStringLiteral("geheim"));
        TFLEKO& w = Open();
        Type(w.DBEdit(4), QStringLiteral("Neu"));
        auto asked = AnswerPassword(QString(), true);
        QVERIFY(!w.SpeichernClick());
        QVERIFY(*asked);
        QCOMPARE(f->Stored("F_BEST").toString(), QStringLiteral("Kunde A"));
        // Once the right one was typed in this run, Esc keeps it.
        CalcGlobals.OptionsPassword = QStringLiteral("geheim");
        auto again = AnswerPassword(QString(), true);
        QVERIFY(w.SpeichernClick());
        QCOMPARE(f->Stored("F_BEST").toString(), QStringLiteral("Neu"));
    }

    void untickingNeedsThePassword() {
        StorePassword(QStringLiteral("geheim"));
        TFLEKO& w = Open();
        auto wrong = AnswerPassword(QStringLiteral("falsch"));
        w.PasswordChk->click();
        QVERIFY(*wrong);
        QVERIFY(w.PasswordChk->isChecked());
        QVERIFY(w.PasswordStored());
        QCOMPARE(Registry("OPWD"), ScrambleText(QStringLiteral("geheim")));
        // Ticked again with the password stored: nothing is asked.
        auto right = AnswerPassword(QStringLiteral("geheim"));
        w.PasswordChk->click();
        QVERIFY(*right);
        QVERIFY(!w.PasswordChk->isChecked());
        QVERIFY(!w.PasswordStored());
        QCOMPARE(Registry("OPWD"), QStringLiteral("<absent>"));
        // Without a password saving asks nothing.
        QVERIFY(w.SpeichernClick());
    }

    void passwordDialogsPlacedOverTheForm() {
        QCOMPARE(CentredOver(QRect(100, 50, 801, 601), QSize(200, 101)), QPoint(100 + 400 - 100, 50 + 300 - 50));
        QCOMPARE(CentredOver(QRect(0, 0, 11, 11), QSize(4, 4)), QPoint(3, 3));
        TFPassword1 d;
        QCOMPARE(d.Edit_Password1a->text(), IvTranslate(QStringLiteral("Enter password")));
        QVERIFY(ShowsPasswordPrompt(d.Edit_Password1b));
        ClearPasswordPrompt(d.Edit_Password1a);
        QCOMPARE(d.Edit_Password1a->text(), QString());
        QCOMPARE(d.Edit_Password1a->echoMode(), QLineEdit::Password);
        QCOMPARE(d.Edit_Password1a->maxLength(), 10);
    }

    // ---- saving ----

    void saveWritesSettingsAndUserValues() {
        TFLEKO& w = Open();
        w.GEWSTG_RG->Button(2)->click();
        w.DRCK_GEW_EH->Button(1)->click();
        w.DRCK_DIM_KZ->Button(1)->click();
        w.LastStarrKZ->click();  // off
        w.SpinEdit1->setValue(3);
        w.SpinEdit2->setValue(9);
        w.SpinEdit3->setValue(2);
        w.PNote_KZ->click();
        w.LanguageGroup->Button(0)->click();
        // The frame switch is stored and read back as a print switch.
        QCheckBox* frame = w.DataSource1->CheckOf(QStringLiteral("F_RAHMEN_KZ"));
        QVERIFY(frame);
        const bool framed = !frame->isChecked();
        frame->click();
        ConstructionRecord.F_RAHMEN_KZ = !framed;
        QVERIFY(w.SpeichernClick());
        QCOMPARE(f->Stored("F_RAHMEN_KZ").toBool(), framed);
        QCOMPARE(ConstructionRecord.F_RAHMEN_KZ, framed);
        QCOMPARE(f->Stored("F_ZUGST_ST").toInt(), 3000);
        QCOMPARE(f->Stored("F_DRCK_GEW_KZ").toBool(), false);
        QCOMPARE(f->Stored("F_DRCK_DIM_KZ").toBool(), false);
        QCOMPARE(f->Stored("F_STRLOAD_KZ").toString(), QString());
        QCOMPARE(f->Stored("F_PRS_EINHEIT").toString().trimmed(), QStringLiteral("EUR"));
        QCOMPARE(Registry("WidthMain"), QStringLiteral("3"));
        QCOMPARE(Registry("WidthHelp"), QStringLiteral("9"));
        QCOMPARE(Registry("TRVL_DECIMAL"), QStringLiteral("2"));
        QCOMPARE(Registry("PNote"), QStringLiteral("1"));
        QCOMPARE(Registry("LANGUAGE COND"), QStringLiteral("1"));
        QCOMPARE(TravelDecimals, 2);
        QCOMPARE(IvBinaryDictionaryGlobal->CheckLevel, ivclNone);
        QCOMPARE(ConstructionRecord.F_DRCK_GEW_KZ, false);
        QVERIFY(!w.OptionsChanged());
        // Shown again, the per-user values come back.
        w.hide();
        w.SpinEdit1->setValue(1);
        w.show();
        QCOMPARE(w.SpinEdit1->value(), 3);
        QCOMPARE(w.SpinEdit2->value(), 9);
    }

    // ---- settings text file ----

    void exportMatchesGoldenFile() {
        TestDir out;
        // The version block of a program file with a known date.
        const QString program = out.file(QStringLiteral("prog"));
        {
            QFile p(program);
            QVERIFY(p.open(QIODevice::WriteOnly));
            QFile v(program + QStringLiteral(".verinfo"));
            QVERIFY(v.open(QIODevice::WriteOnly));
            v.write("Translation=0409,04E4\nFileVersion=9.0.4\n");
        }
        {
            QFile p(program);
            QVERIFY(p.open(QIODevice::ReadWrite));
            QVERIFY(p.setFileTime(QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9), Qt::UTC),
                                  QFileDevice::FileModificationTime));
        }
        TFLEKO& w = Open();
        w.QWDateiInfo->SetDatei_Name(program);
        w.SpinEdit1->setValue(2);
        w.SpinEdit2->setValue(3);
        w.SpinEdit3->setValue(1);
        const QString file = out.file(QStringLiteral("optionen.txt"));
        QVERIFY(w.ExportSettings(file));
        const QStringList lines = {
            "[Menu]",
            "Language = German",
            "1 : TRUE           0 : FALSE",
            "[---Spezifikationen---]",
            "Zulässige Kraftdifferenz bei Federhängern (%) = 17",
            "Max. zulässiger Weg für Federhänger (mm) = 120",
            "Max. zulässiger Weg für Federhänger (inch) = 4.724",
            "Lastreserve bei Federhängern (%) = 3",
            "Lastreserve bei Konstanthängern (%) = 4",
            "Wegreserve  bei Federhängern (mm) = 6",
            "Wegreserve  bei Federhängern (inch) = 0.236",
            "Wegreserve  bei Federhängern (%) = 7",
            "Wegreserve  bei Konstanthängern (mm) = 9",
            "Wegreserve  bei Konstanthängern (inch) = 0.354",
            "Wegreserve  bei Konstanthängern (%) = 8",
            "Wegreserve bei Stoßbremsen (mm) = 11",
            "Wegreserve bei Stoßbremsen (inch) = 0.433",
            "Einbaureserve bei Gelenkstreben (mm) = 12",
            "Einbaureserve bei Gelenkstreben (inch) = 0.472",
            "Zulässiger Winkel (°) = 2.5",
            "Lastreserve bei rohrumschließenden Teilen (%) = 13",
            "Zul. Belastung für starre Halterungen nach ASME B31.1 = 1",
            "CN Standard = 0",
            "[---Einstellungen---]",
            "Eingabelast bei Federhängern ist Kaltlast = 1",
            "Kernteschnische Ausführung = 1",
            "Einheitensystem ist UNC = 0",
            "Lasteingaben in kg = 0",
            "UNC - Katalog = 0",
            "Angaben für Hydrolasten überprüfen = 0",
            "Blockierposition bei Konstanthängern vorwählen = 0",
            "Standard Schweißnahtangaben übernehmen = 0",
            "Auslenkwinkel prüfen = 0",
            "Maximal Länge von Gewindestangen/ Zugstangen (mm) = 2500",
            "Maximal Länge von Gewindestangen/ Zugstangen (feet) = 10",
            "Tiefe Temperaturen bei Rohrlagern nicht berücksichtigen = 1",
            "Reduzierter Temperaturbereich der Rohrschellen = 1",
            "[---Konfigurationen---]",
            "Ohne rohrumschließende Bauteile = 0",
            "Halterungen ohne Gebäudeanschluß = 0",
            "Ein kleineres Anschlußmaß für Schellen zulassen = 0",
            "Schellentyp 42 bei der Auswahl mit einbeziehen = 0",
            "Halterungen im Einbauzustand senkrecht hängend = 0",
            "Stoßbremsen ohne Verlägerungen auswählen = 0",
            "Federhänger mit extra langen Wegbereichen = 0",
            "PTFE - Gleitplatten für Rohrunterstützung = 0",
            "Aufgesetzte Konstant-bzw. Federhänger inkl. Auflager bzw. Grundplatte = 0",
            "Rohrlager zum Anschweißen (Typ 57), statt Rohrlager (Typ 49) = 0",
            "[---Zusatzleistungen---]",
            "Halterungen werkseitig vormontieren = 0",
            "Federhänger werkseitig blockieren = 0",
            "Zusatzanstrich für rohrumschließende Bauteile = 0",
            "Feuerverzinkt = 0",
            "[---Drucken---]",
            "Lageplan = 0",
            "Vorspannungssymbole = 0",
            "Koordinatenkreuz = 0",
            "Nordpfeil = 0",
            "Gewichte in Stückliste kg = 1",
            "Einheiten im Schriftkopf kg / mm / °C = 2",
            "Linienstärke der Umrisse2",
            "Linienstärke der Hilfslinien3",
            "Nachkommastellen1",
            "[---Version---]",
            "9.0.4 / 05.03.2024 07:08:09",
        };
        QByteArray golden;
        for (const QString& l : lines) golden += EncodeCodePage(l, 1252) + "\r\n";
        const QByteArray written = FileBytes(file);
        const QList<QByteArray> got = written.split('\n');
        const QList<QByteArray> want = golden.split('\n');
        for (qsizetype i = 0; i < std::min(got.size(), want.size()); ++i) QCOMPARE(got[i], want[i]);
        QCOMPARE(written, golden);
        // Windows-1252, not UTF-8.
        QVERIFY(written.contains("Zul\xE4ssige"));
        QVERIFY(!written.contains("\xC3\xA4"));
        QCOMPARE(written.count("\r\n"), qsizetype(lines.size()));
    }

    void exportImportRoundTrip_data() {
        QTest::addColumn<int>("titleBlock");
        QTest::addColumn<int>("rod");
        QTest::addColumn<bool>("kg");
        QTest::newRow("A, 2000, kg") << 0 << 0 << true;
        QTest::newRow("B, 2500, lbs") << 1 << 1 << false;
        QTest::newRow("C, 3000, kg") << 2 << 2 << true;
    }
    void exportImportRoundTrip() {
        QFETCH(int, titleBlock);
        QFETCH(int, rod);
        QFETCH(bool, kg);
        TestDir out;
        TFLEKO& w = Open();
        // Every bound box ticked or not by a pattern, every value its own.
        int i = 0;
        for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 20, 21, 22, 23, 24, 25, 26, 27, 31,
                      32, 33}) {
            QCheckBox* c = w.DBCheckBox(n);
            const bool want = (i++ % 3) != 1;
            if (c->isChecked() != want) w.DataSource1->SetField(w.DataSource1->FieldOf(c), want);
        }
        const QMap<int, QString> values{{14, "21"}, {15, "250"}, {16, "2"},  {17, "14"}, {18, "4"},  {19, "11"},
                                        {20, "19"}, {21, "23"},  {22, "17"}, {23, "22"}, {25, "3.5"}, {24, "6"}};
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            Type(w.DBEdit(it.key()), it.value());
            w.FieldExit(w.DataSource1->FieldOf(w.DBEdit(it.key())));
        }
        w.DRCK_EH->Button(titleBlock)->click();
        w.GEWSTG_RG->Button(rod)->click();
        w.DRCK_GEW_EH->Button(kg ? 0 : 1)->click();
        w.LastStarrKZ->click();
        const bool asme = w.LastStarrKZ->isChecked();
        QStringList boundFields;
        QMap<QString, QVariant> before;
        for (int n = 1; n <= 33; ++n)
            if (QCheckBox* c = w.DBCheckBox(n); c && n != 19 && n != 28 && n != 29 && n != 30) {
                boundFields << w.DataSource1->FieldOf(c);
                before[boundFields.last()] = c->isChecked();
            }
        for (int n : values.keys()) before[w.DataSource1->FieldOf(w.DBEdit(n))] = w.DBEdit(n)->text();
        const QString file = out.file(QStringLiteral("round.txt"));
        QVERIFY(w.ExportSettings(file));

        // Everything put back to the stored row, then read from the file.
        w.DataSource1->Cancel();
        w.hide();
        w.show();
        QVERIFY(w.ImportSettings(file));
        QVERIFY(w.DataSource1->Editing());
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            if (it.value().typeId() == QMetaType::Bool)
                QVERIFY2(w.DataSource1->CheckOf(it.key())->isChecked() == it.value().toBool(), qPrintable(it.key()));
            else
                QVERIFY2(w.DataSource1->EditOf(it.key())->text() == it.value().toString(), qPrintable(it.key()));
        }
        QCOMPARE(w.TitleBlockUnits(), QChar(u'A' + titleBlock));
        QCOMPARE(w.DRCK_EH->ItemIndex(), titleBlock);
        QCOMPARE(w.GEWSTG_RG->ItemIndex(), rod);
        QCOMPARE(w.PrintWeightKg(), kg);
        QCOMPARE(w.LastStarrKZ->isChecked(), asme);
        // Nothing stored until the guarded save.
        QCOMPARE(f->Stored("F_FDIFF").toInt(), 17);
        QVERIFY(w.SpeichernClick());
        QCOMPARE(f->Stored("F_FDIFF").toInt(), 21);
        QCOMPARE(f->Stored("F_WINKEL").toDouble(), 3.5);
        QCOMPARE(f->Stored("F_DRCK_EH_KZ").toString(), QString(QChar(u'A' + titleBlock)));
        QCOMPARE(f->Stored("F_ZUGST_ST").toInt(), 2000 + 500 * rod);
    }

    void importInAnotherLanguageChangesNothing() {
        TestDir out;
        const QString file = out.file(QStringLiteral("english.txt"));
        {
            TFLEKO& w = Open();
            Type(w.DBEdit(14), QStringLiteral("3"));
            IvBinaryDictionaryGlobal->SetLanguage(2);
            QVERIFY(w.ExportSettings(file));
            IvBinaryDictionaryGlobal->SetLanguage(1);
            w.DataSource1->Cancel();
        }
        QVERIFY(FileBytes(file).contains("Language = English"));
        QVERIFY(FileBytes(file).contains("[---Specifications---]"));
        TFLEKO& w = *form;
        QVERIFY(!w.DataSource1->Editing());
        QVERIFY(!w.ImportSettings(file));
        QCOMPARE(seam->Texts(), QStringList{IvTranslate(QStringLiteral("Please change menu language into ")) +
                                            QStringLiteral("Englisch")});
        QVERIFY(!w.DataSource1->Editing());
        QCOMPARE(w.DBEdit(14)->text(), QStringLiteral("17"));
        QVERIFY(!w.OptionsChanged());
    }

    void importAppliesTheRulesAndThePassword() {
        StorePassword(QStringLiteral("geheim"));
        TestDir out;
        const QString file = out.file(QStringLiteral("hand.txt"));
        // Written by hand in UTF-8, values out of range, keys in other case.
        QFile t(file);
        QVERIFY(t.open(QIODevice::WriteOnly));
        t.write(QStringLiteral("[Menu]\nLanguage = German\n[---Spezifikationen---]\n"
                               "zulässige kraftdifferenz bei federhängern (%) = -30\n"
                               "Zulässiger Winkel (°) = 7.5\n"
                               "Max. zulässiger Weg für Federhänger (mm) = -80\n"
                               "Lastreserve bei Federhängern (%) = abc\n"
                               "[---Drucken---]\nEinheiten im Schriftkopf lbs / inch / °F = 3\n")
                    .toUtf8());
        t.close();
        TFLEKO& w = Open();
        QVERIFY(w.ImportSettings(file));
        QCOMPARE(w.DBEdit(14)->text(), QStringLiteral("30"));
        QCOMPARE(w.DBEdit(25)->text(), QStringLiteral("4"));
        QCOMPARE(w.DBEdit(15)->text(), QStringLiteral("80"));
        QCOMPARE(w.InchEdit("F_BEWEGBER")->text(), QStringLiteral("3.150"));
        QCOMPARE(w.DBEdit(16)->text(), QStringLiteral("0"));  // no number: 0
        QVERIFY(!w.DBCheckBox(1)->isChecked());               // missing: false
        QCOMPARE(w.TitleBlockUnits(), QChar(u'C'));
        // The password still guards the save.
        auto asked = AnswerPassword(QStringLiteral("nein"));
        QVERIFY(!w.SpeichernClick());
        QVERIFY(*asked);
        QCOMPARE(f->Stored("F_FDIFF").toInt(), 17);
        QVERIFY(w.DataSource1->Editing());
        // Closing offers the save; Cancel keeps the imported values.
        seam->Answer(mr::Cancel);
        QVERIFY(!w.close());
        QCOMPARE(w.DBEdit(14)->text(), QStringLiteral("30"));
    }

    void unreadableImportIsNamed() {
        TFLEKO& w = Open();
        const QString missing = f->temp.file(QStringLiteral("nicht-da.txt"));
        QVERIFY(!w.ImportSettings(missing));
        QVERIFY(seam->Texts().front().contains(missing));
        QVERIFY(!w.DataSource1->Editing());
    }

    void exportToAnUnwritablePlaceSaysSo() {
        TFLEKO& w = Open();
        const QString target = f->temp.file(QStringLiteral("kein/ordner/x.txt"));
        QVERIFY(!w.ExportSettings(target));
        QVERIFY(seam->Texts().front().contains(target));
        QVERIFY(!QFileInfo::exists(target));
    }

    void iniWriterAndReaderAgree() {
        TestDir out;
        TIniWriter ini;
        ini.Section(QStringLiteral("Größen/Maße"));
        ini.Value(QStringLiteral("Weg für Federhänger (mm)"), QStringLiteral("50"));
        ini.Line(QStringLiteral("Zugstangen/ Gewinde = 1"));
        const QString file = out.file(QStringLiteral("a.ini"));
        QVERIFY(ini.Save(file));
        TIniReader reader{QString()};
        reader.Parse(ReadIniFileText(file));
        QCOMPARE(reader.ReadString(QStringLiteral("größen/maße"), QStringLiteral("Weg für Federhänger (mm)"), QString()),
                 QStringLiteral("50"));
        QCOMPARE(reader.ReadString(QStringLiteral("Größen/Maße"), QStringLiteral("Zugstangen/ Gewinde"), QString()),
                 QStringLiteral("1"));
        QCOMPARE(FileBytes(file).left(8), QByteArray("[Gr\xF6\xDF" "en/"));
    }

    // ---- start-up values ----

    void firstStartWritesPlacement() {
        QWidget input;
        input.resize(640, 480);
        QVERIFY(LoadRegistrySettings(input));
        const QSize screen = input.screen()->size();
        QCOMPARE(Registry("Left").toInt(), int(std::trunc(screen.width() * 0.5 - 640 * 0.5)));
        QCOMPARE(Registry("Top").toInt(), int(std::trunc(screen.height() * 0.5 - 480 * 0.5)));
        QCOMPARE(Registry("Width"), QStringLiteral("640"));
        QCOMPARE(Registry("Height"), QStringLiteral("480"));
        QCOMPARE(Registry("State"), QStringLiteral("0"));
        QVERIFY(Registry("Version") != QStringLiteral("<absent>"));
        QCOMPARE(InputFormOrigin, QPoint(Registry("Left").toInt(), Registry("Top").toInt()));
        QCOMPARE(CaptionPrefix, f->project.path());
        QCOMPARE(BackgroundColor, QColor(0xC0, 0xC0, 0xC0));
        QVERIFY(!ShowSelection);
        QVERIFY(!CalcGlobals.LogoFlag);
        // Print switches from the settings row.
        QCOMPARE(ConstructionRecord.PrintUnitChar, 'B');
        QCOMPARE(IvBinaryDictionaryPrint->Language(), 2);
    }

    void storedPlacementAndFont() {
        SetRegistry(QStringLiteral("Left"), 33);
        SetRegistry(QStringLiteral("Top"), 44);
        SetRegistry(QStringLiteral("Width"), 701);
        SetRegistry(QStringLiteral("Height"), 502);
        SetRegistry(QStringLiteral("COLOR"), 0x0000FF);  // the host's name for "Color"
        SetRegistry(QStringLiteral("PColor"), 0x00FF00);
        SetRegistry(QStringLiteral("Bold"), true);
        SetRegistry(QStringLiteral("Underline"), true);
        SetRegistry(QStringLiteral("SHOW_SELECTION"), true);
        SetRegistry(QStringLiteral("PRINT BITMAP"), true);
        SetRegistry(QStringLiteral("BITMAP"), QStringLiteral("/logos/firma.bmp"));
        QWidget input;
        QFont italic = input.font();
        italic.setItalic(true);
        input.setFont(italic);
        QVERIFY(LoadRegistrySettings(input));
        QCOMPARE(input.geometry(), QRect(33, 44, 701, 502));
        QCOMPARE(input.palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(BackgroundColor, QColor(0, 255, 0));
        // Bold replaces the style; underline is added to it.
        QVERIFY(input.font().bold());
        QVERIFY(!input.font().italic());
        QVERIFY(input.font().underline());
        QCOMPARE(SharedFont(), input.font());
        QVERIFY(ShowSelection);
        QVERIFY(CalcGlobals.LogoFlag);
        QCOMPARE(CalcGlobals.LogoFile, QStringLiteral("/logos/firma.bmp"));
        // Nothing absent was written over what was there.
        QCOMPARE(Registry("Left"), QStringLiteral("33"));
        QCOMPARE(Registry("State"), QStringLiteral("0"));
    }

    void longLogoPathKept() {
        QString path = QStringLiteral("/firmen");
        while (path.size() < 400) path += QStringLiteral("/logo-verzeichnis-mit-langem-namen");
        path += QStringLiteral("/firma.bmp");
        SetRegistry(QStringLiteral("BITMAP"), path);
        SetRegistry(QStringLiteral("PRINT BITMAP"), true);
        QWidget input;
        QVERIFY(LoadRegistrySettings(input));
        QCOMPARE(CalcGlobals.LogoFile, path);
        TFLEKO& w = Open();
        QCOMPARE(w.PrintBitmapPath(), path);
        QCOMPARE(w.BitmapPath->text(), path);
        SetRegistry(QStringLiteral("BITMAP"), QString());
        QVERIFY(w.SpeichernClick());
        QCOMPARE(Registry("BITMAP"), path);
    }

    void languageAndMalformedValues() {
        IvBinaryDictionaryGlobal->SetLanguage(2);
        SetRegistry(QStringLiteral("Language"), 1);
        SetRegistry(QStringLiteral("SIZE"), QStringLiteral("gross"));  // no number: ignored
        QWidget input;
        const int size = input.font().pointSize();
        QVERIFY(LoadRegistrySettings(input));
        QCOMPARE(IvBinaryDictionaryGlobal->Language(), 1);
        QCOMPARE(input.font().pointSize(), size);
        // A language the dictionary does not have leaves the one in use.
        SetRegistry(QStringLiteral("Language"), 99);
        QVERIFY(LoadRegistrySettings(input));
        QCOMPARE(IvBinaryDictionaryGlobal->Language(), 1);
    }

    // What a save wrote for the user is there again at the next start;
    // what is absent leaves the program's values.
    void savedOptionsComeBack_data() {
        QTest::addColumn<bool>("stored");
        QTest::newRow("stored") << true;
        QTest::newRow("absent") << false;
    }
    void savedOptionsComeBack() {
        QFETCH(bool, stored);
        TravelDecimals = 0;
        PrintNoteFlag = FormStyleFlag = false;
        IvFormatSettings().ShortDateFormat = QStringLiteral("dd.mm.yyyy");
        IvFormatSettings().DateSeparator = u'.';
        if (stored) {
            TFLEKO& w = Open();
            w.SpinEdit3->setValue(2);
            w.PNote_KZ->click();
            w.L_FormStyle_CheckBox->setChecked(true);
            w.RGDateSeparator->Button(3)->click();
            w.CBDateFormat->setCurrentIndex(2);
            emit w.CBDateFormat->activated(2);
            QVERIFY(w.SpeichernClick());
            form.reset();
            // A new run starts from the program's defaults.
            TravelDecimals = 0;
            PrintNoteFlag = FormStyleFlag = false;
            IvFormatSettings().ShortDateFormat = QStringLiteral("dd.mm.yyyy");
            IvFormatSettings().DateSeparator = u'.';
        }
        QWidget input;
        QVERIFY(LoadRegistrySettings(input));
        QCOMPARE(TravelDecimals, stored ? 2 : 0);
        QCOMPARE(PrintNoteFlag, stored);
        QCOMPARE(FormStyleFlag, stored);
        QCOMPARE(IvFormatSettings().ShortDateFormat, stored ? QStringLiteral("yyyy/mm/dd") : QStringLiteral("dd.mm.yyyy"));
        QCOMPARE(IvFormatSettings().DateSeparator, stored ? QChar(u'/') : QChar(u'.'));
        // The form shows them.
        TFLEKO& w = Open();
        QCOMPARE(w.SpinEdit3->value(), stored ? 2 : 0);
        QCOMPARE(w.PNote_KZ->isChecked(), stored);
        QCOMPARE(w.RGDateSeparator->ItemIndex(), stored ? 3 : 0);
    }

    void absentIsNotFalse_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("level");
        QTest::newRow("absent") << QVariant() << int(ivclSystem);
        QTest::newRow("false") << QVariant(false) << int(ivclCodePage);
        QTest::newRow("true") << QVariant(true) << int(ivclNone);
    }
    void absentIsNotFalse() {
        QFETCH(QVariant, value);
        QFETCH(int, level);
        if (value.isValid()) SetRegistry(QStringLiteral("LANGUAGE COND"), value);
        IvBinaryDictionaryGlobal->CheckLevel = ivclSystem;
        IvBinaryDictionaryPrint->CheckLevel = ivclSystem;
        QWidget input;
        QVERIFY(LoadRegistrySettings(input));
        QCOMPARE(int(IvBinaryDictionaryGlobal->CheckLevel), level);
        QCOMPARE(int(IvBinaryDictionaryPrint->CheckLevel), level);
    }

    void privateFolderWithoutTemporaryFolder() {
        qputenv("TMPDIR", f->temp.file(QStringLiteral("nicht-da")).toLocal8Bit());
        QWidget input;
        QVERIFY(LoadRegistrySettings(input));
        QVERIFY(QFileInfo(QDir(f->project.path()).filePath(QStringLiteral("$TMP4711$"))).isDir());
    }

    void privateFolderFailureWritesHostError() {
        qputenv("TMPDIR", f->temp.file(QStringLiteral("nicht-da")).toLocal8Bit());
        // The project directory is a file: no folder can be made in it.
        const QString blocker = f->temp.file(QStringLiteral("datei"));
        QFile(blocker).open(QIODevice::WriteOnly);
        ProjectDatabaseName = blocker;
        TestDir cwd;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(cwd.path());
        QWidget input;
        const bool ok = LoadRegistrySettings(input);
        QDir::setCurrent(previous);
        QVERIFY(!ok);
        const QString text = QStringLiteral("Fehler beim Anlegen eines Verzeichnisses !");
        QCOMPARE(seam->Texts(), QStringList{text});
        QCOMPARE(FileBytes(cwd.file(QStringLiteral("KORVA_MDS_ERROR.Z3D"))),
                 QByteArray("CANCLED ") + EncodeCodePage(text, 1252) + "\r\n");
    }

    void projectQueryFromItsListTable() {
        const QString sub = QDir(f->project.path()).filePath(QStringLiteral("$PRJ4711"));
        QVERIFY(QDir().mkpath(sub));
        TFieldDefs defs;
        for (int i = 1; i <= 4; ++i) defs << FieldDefFromCode(QStringLiteral("QueryStr_Part%1").arg(i), QStringLiteral("A255"));
        CreateTableFile(TablePath(sub, QStringLiteral("lek51.db")), defs, {});
        {
            TTable t(sub, QStringLiteral("lek51.db"));
            t.Open();
            t.Append();
            t.FieldByName(QStringLiteral("QueryStr_Part1")).SetAsString(QStringLiteral("K_NR > 5"));
            t.FieldByName(QStringLiteral("QueryStr_Part3")).SetAsString(QStringLiteral(" AND K_LFD_NR < 9"));
            t.Post();
        }
        QWidget input;
        QVERIFY(LoadRegistrySettings(input));
        QCOMPARE(ProjectQueryText, QStringLiteral("K_NR > 5 AND K_LFD_NR < 9"));
        QVERIFY(!f->glob->LEK51.Active());
        QCOMPARE(f->glob->KONSTR.DatabaseName(), f->project.path());
    }
};

QTEST_MAIN(TestOptionsPersistence)
#include "tst_optionspersistence.moc"
