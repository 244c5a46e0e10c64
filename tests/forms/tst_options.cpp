// The options form on real files: entry rules, presets, interlocks, the
// galvanising flags, closing and the protection of unsaved edits.
#include "OptionsFixture.h"

#include "localisation/IvDialogs.h"
#include "localisation/IvLangDlg.h"
#include "platform/FaultInjection.h"
#include "ui/ValCtrls.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QLayout>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QScopeGuard>
#include <QTabBar>
#include <QTabWidget>

class TestOptions : public QObject, protected OptionsFormTest {
    Q_OBJECT

private slots:
    void initTestCase() { SetUpCase(); }
    void init() { SetUp(); }
    void cleanup() { TearDown(); }

    void opensWithStoredValues() {
        TFLEKO& w = Open();
        QCOMPARE(w.DBEdit(14)->text(), QStringLiteral("17"));
        QCOMPARE(w.DBEdit(4)->text(), QStringLiteral("Kunde A"));
        QCOMPARE(w.InchEdit("F_BEWEGBER")->text(), QStringLiteral("4.724"));
        QVERIFY(w.DBCheckBox(1)->isChecked());
        QVERIFY(!w.DBCheckBox(17)->isChecked());
        QVERIFY(w.LastStarrKZ->isChecked());
        QCOMPARE(w.GEWSTG_RG->ItemIndex(), 1);
        QCOMPARE(w.DRCK_EH->ItemIndex(), 1);
        QCOMPARE(w.TitleBlockUnits(), QChar(u'B'));
        QCOMPARE(w.ComboBox1->currentText(), QStringLiteral("EUR"));
        QVERIFY(w.KursPanel->isHidden());
        QVERIFY(!w.DataSource1->Editing());
        // Opening the form changes nothing.
        QVERIFY(!w.OptionsChanged());
        QVERIFY(!w.HDChanged());
        QCOMPARE(w.PageControl1->count(), 8);
        // Translated through the menu dictionary.
        QCOMPARE(w.PageControl1->tabText(4), QStringLiteral("Zusatzleistungen"));
    }

    // The print language shows as the start takes it: a stored language
    // the dialog would not offer (French, without a text of the print
    // dictionary) shows as English, which prints in its place; German shows
    // as stored.
    void printLanguageShownAsItPrints_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("German") << 1 << "German";
        QTest::newRow("French, not offered") << 3 << "English";
    }
    void printLanguageShownAsItPrints() {
        QFETCH(int, stored);
        QFETCH(QString, shown);
        {
            TTable firdat(f->catalogue.path(), QStringLiteral("FIRDAT.DB"));
            firdat.Open();
            firdat.First();
            firdat.Edit();
            firdat.FieldByName(QStringLiteral("F_DRCK_KZ")).SetAsInteger(stored);
            firdat.Post();
        }
        IvBinaryDictionaryPrint->SetFileName(QStringLiteral(KORVA_BINARY_DIR "/Korvaprn.mld"));
        IvBinaryDictionaryPrint->Open();
        TFLEKO& w = Open();
        QCOMPARE(w.GewaehlteSprache->text(), shown);
    }

    void entryRules_data() {
        QTest::addColumn<int>("edit");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("inch");
        QTest::newRow("travel negative") << 15 << "F_BEWEGBER" << "-50" << 50.0 << "50" << "1.969";
        QTest::newRow("travel zero") << 15 << "F_BEWEGBER" << "0" << 0.0 << "0" << "0.000";
        QTest::newRow("travel positive") << 15 << "F_BEWEGBER" << "300" << 300.0 << "300" << "11.811";
        QTest::newRow("spring reserve mm") << 18 << "F_WR_FH_MM" << "-5" << 5.0 << "5" << "0.197";
        QTest::newRow("shock reserve") << 22 << "F_WR_SB" << "-9" << 9.0 << "9" << "0.354";
        QTest::newRow("strut reserve") << 23 << "F_WR_GS" << "25" << 25.0 << "25" << "0.984";
        QTest::newRow("constant reserve mm") << 21 << "F_WR_KH_MM" << "-1" << 1.0 << "1" << "0.039";
        QTest::newRow("angle above") << 25 << "F_WINKEL" << "4.5" << 4.0 << "4" << "";
        QTest::newRow("angle just above") << 25 << "F_WINKEL" << "4.01" << 4.0 << "4" << "";
        QTest::newRow("angle at limit") << 25 << "F_WINKEL" << "4" << 4.0 << "4" << "";
        QTest::newRow("angle below") << 25 << "F_WINKEL" << "3.99" << 3.99 << "3.99" << "";
        QTest::newRow("angle negative") << 25 << "F_WINKEL" << "-3" << 3.0 << "3" << "";
        QTest::newRow("angle negative above") << 25 << "F_WINKEL" << "-7" << 4.0 << "4" << "";
        QTest::newRow("load variation negative") << 14 << "F_FDIFF" << "-7" << 7.0 << "7" << "";
        QTest::newRow("load variation") << 14 << "F_FDIFF" << "12" << 12.0 << "12" << "";
        QTest::newRow("clamp reserve negative") << 24 << "F_RSRL_LR" << "-9" << 9.0 << "9" << "";
        QTest::newRow("constant reserve %") << 20 << "F_WR_KH" << "-8" << 8.0 << "8" << "";
    }
    void entryRules() {
        QFETCH(int, edit);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(double, stored);
        QFETCH(QString, shown);
        QFETCH(QString, inch);
        TFLEKO& w = Open();
        QLineEdit* e = w.DBEdit(edit);
        QCOMPARE(w.DataSource1->FieldOf(e), field);
        Type(e, typed);
        QVERIFY(w.DataSource1->Editing());
        w.FieldExit(field);
        QCOMPARE(e->text(), shown);
        QCOMPARE(w.DataSource1->Field(field).AsFloat(), stored);
        if (!inch.isEmpty()) QCOMPARE(w.InchEdit(field)->text(), inch);
        QVERIFY(seam->Requests().empty());
        // Saved as corrected.
        QVERIFY(w.SpeichernClick());
        QCOMPARE(f->Stored(field).toDouble(), stored);
    }

    void leavingTheFieldRunsItsRule() {
        TFLEKO& w = Open();
        QApplication::setActiveWindow(&w);
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.PageControl1->setCurrentIndex(1);
        w.DBEdit(15)->setFocus();
        QTRY_VERIFY(w.DBEdit(15)->hasFocus());
        Type(w.DBEdit(15), QStringLiteral("-50"));
        w.DBEdit(16)->setFocus();
        QTRY_COMPARE(w.DBEdit(15)->text(), QStringLiteral("50"));
        QCOMPARE(w.InchEdit("F_BEWEGBER")->text(), QStringLiteral("1.969"));
    }

    void noNumberIsReported() {
        TFLEKO& w = Open();
        Type(w.DBEdit(14), QStringLiteral("ab"));
        w.FieldExit(QStringLiteral("F_FDIFF"));
        QCOMPARE(seam->Texts(), QStringList{QStringLiteral("'ab' ist kein gültiger ganzzahliger Wert")});
        QCOMPARE(w.DataSource1->Field(QStringLiteral("F_FDIFF")).AsInteger(), 17);
        // Saving with the text left there is refused with the same error,
        // and the row stays as it was.
        QVERIFY(!w.SpeichernClick());
        QCOMPARE(f->Stored("F_FDIFF").toInt(), 17);
    }

    // Corrected values keep to the range of the field's kind (a small
    // whole number here); what does not fit is refused and never stored.
    void rangeOfTheField_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<int>("stored");
        QTest::newRow("largest") << "32767" << true << 32767;
        QTest::newRow("largest negative") << "-32767" << true << 32767;
        QTest::newRow("one above") << "32768" << false << 13;
        QTest::newRow("far below") << "-99999" << false << 13;
    }
    void rangeOfTheField() {
        QFETCH(QString, typed);
        QFETCH(bool, fits);
        QFETCH(int, stored);
        TFLEKO& w = Open();
        Type(w.DBEdit(24), typed);
        w.FieldExit(QStringLiteral("F_RSRL_LR"));
        QCOMPARE(seam->Texts(), fits ? QStringList{} : QStringList{QStringLiteral("'%1' ist kein gültiger ganzzahliger Wert").arg(typed)});
        QCOMPARE(w.SpeichernClick(), fits);
        QCOMPARE(f->Stored("F_RSRL_LR").toInt(), stored);
    }

    void duplicateAxisLabel_data() {
        QTest::addColumn<int>("edit");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("reported");
        QTest::newRow("L as H") << 28 << "F_KRZ_BEZ_L" << "X" << true;
        QTest::newRow("V as L") << 29 << "F_KRZ_BEZ_V" << "Y" << true;
        QTest::newRow("H as V") << 27 << "F_KRZ_BEZ_H" << "Z" << true;
        QTest::newRow("L distinct") << 28 << "F_KRZ_BEZ_L" << "W" << false;
        QTest::newRow("L other case") << 28 << "F_KRZ_BEZ_L" << "x" << false;
    }
    void duplicateAxisLabel() {
        QFETCH(int, edit);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(bool, reported);
        TFLEKO& w = Open();
        Type(w.DBEdit(edit), typed);
        w.FieldExit(field);
        QCOMPARE(seam->Texts().contains(QStringLiteral("Bezeichnung doppelt vorhanden")), reported);
        QCOMPARE(w.DBEdit(edit)->text(), typed);  // the text stays
    }

    void commissionNumberLength() {
        TFLEKO& w = Open();
        for (int n = 1; n <= 3; ++n) {
            seam->Clear();
            Type(w.DBEdit(n), QStringLiteral("12345"));
            QVERIFY2(seam->Requests().empty(), qPrintable(QString::number(n)));
            QTest::keyClicks(w.DBEdit(n), QStringLiteral("6"));
            QCOMPARE(seam->Texts(), QStringList{IvTranslate(QStringLiteral("Max. size : five-digit"))});
            QCOMPARE(seam->Texts().front(), QString::fromUtf8("Max. Größe : fünfstellig"));
            QCOMPARE(seam->Requests().front().kind, MessageKind::Information);
        }
    }

    void presets_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QVariantMap>("expected");
        QTest::addColumn<bool>("asme");
        QTest::addColumn<QString>("strload");
        QTest::addColumn<QString>("firstLine");
        const auto row = [](std::initializer_list<double> v) {
            const char* const names[] = {"F_FDIFF",  "F_BEWEGBER", "F_LR_FH", "F_LR_KH",  "F_WR_FH_MM", "F_WR_FH",
                                         "F_WR_KH",  "F_WR_KH_MM", "F_WR_SB", "F_WR_GS",  "F_WINKEL",   "F_RSRL_LR",
                                         "F_WINKEL_KZ", "F_KALWAR_KZ", "F_VGBRL_KZ", "F_RLAGER_WST_KZ"};
            QVariantMap m;
            int i = 0;
            for (double d : v) m[names[i++]] = d;
            return m;
        };
        QTest::newRow("VGB") << "VGB" << row({25, 50, 0, 15, 5, 20, 10, 20, 20, 25, 4, 0, 1, 1, 1, 0}) << false << ""
                             << "Please pay attention to following modifications:";
        QTest::newRow("EN 13480-3") << "EN13480" << row({25, 300, 0, 15, 5, 10, 10, 25, 13, 25, 4, 0, 1, 1, 0, 0})
                                    << false << "" << "It is recommended to consider the following items:";
        QTest::newRow("ASME") << "ASME" << row({25, 300, 0, 10, 0, 0, 20, 0, 10, 0, 4, 0, 0, 0, 0, 0}) << true << "B"
                              << "It is recommended to consider the following items:";
        // F_FDIFF and the cold load stay as they were (17, on); the ASME box
        // goes off while its field keeps "B".
        QTest::newRow("No Reserves") << "Reset" << row({17, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0}) << false
                                     << "B" << "It is recommended to consider the following items:";
    }
    void presets() {
        QFETCH(QString, button);
        QFETCH(QVariantMap, expected);
        QFETCH(bool, asme);
        QFETCH(QString, strload);
        QFETCH(QString, firstLine);
        TFLEKO& w = Open();
        w.findChild<QPushButton*>(button)->click();
        QVERIFY(w.DataSource1->Editing());
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(w.DataSource1->Field(it.key()).AsFloat() == it.value().toDouble(),
                     qPrintable(it.key() + QStringLiteral(" = ") + w.DataSource1->Field(it.key()).AsString()));
        QCOMPARE(w.LastStarrKZ->isChecked(), asme);
        QCOMPARE(w.DataSource1->Field("F_STRLOAD_KZ").AsString(), strload);
        QCOMPARE(w.InchEdit("F_BEWEGBER")->text(),
                 QString::number(expected["F_BEWEGBER"].toDouble() * 0.03937007874015748, 'f', 3));
        QCOMPARE(w.DBCheckBox(17)->isChecked(), expected["F_WINKEL_KZ"].toDouble() != 0);
        QCOMPARE(seam->Requests().size(), size_t(1));
        QCOMPARE(seam->Texts().front().section(u'\n', 0, 0), IvTranslate(firstLine));
        // The preset reaches the table with the guarded save.
        QVERIFY(w.SpeichernClick());
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(f->Stored(it.key()).toDouble(), it.value().toDouble());
        QCOMPARE(f->Stored("F_STRLOAD_KZ").toString(), asme ? QStringLiteral("B") : QString());
    }

    void interlocks() {
        TFLEKO& w = Open();
        QCheckBox* unc = w.DBCheckBox(4);
        QCheckBox* kg = w.DBCheckBox(3);
        QVERIFY(kg->isEnabled());
        unc->click();
        QVERIFY(!kg->isEnabled());
        unc->click();
        QVERIFY(kg->isEnabled());

        QCheckBox* ptfe = w.DBCheckBox(25);
        QCheckBox* weld = w.DBCheckBox(27);
        ptfe->click();
        QVERIFY(!weld->isEnabled());
        QVERIFY(ptfe->isEnabled());
        ptfe->click();
        QVERIFY(weld->isEnabled());
        weld->click();
        QVERIFY(!ptfe->isEnabled());

        QVERIFY(!w.ComboBox1->isEnabled());
        w.DBCheckBox(19)->click();
        QVERIFY(w.ComboBox1->isEnabled());
        w.DBCheckBox(19)->click();
        QVERIFY(!w.ComboBox1->isEnabled());

        // UNC catalogue: feet items, the chosen item stays.
        QCOMPARE(w.GEWSTG_RG->Button(0)->text(), QStringLiteral("2000 mm"));
        w.DBCheckBox(23)->click();
        QCOMPARE(w.GEWSTG_RG->Button(0)->text(), QStringLiteral("8 feet"));
        QCOMPARE(w.GEWSTG_RG->Button(2)->text(), QStringLiteral("12 feet"));
        QCOMPARE(w.GEWSTG_RG->ItemIndex(), 1);
        w.DBCheckBox(23)->click();
        QCOMPARE(w.GEWSTG_RG->Button(1)->text(), QStringLiteral("2500 mm"));

        // Extra long travel ranges are explained once ticked, not when unticked.
        w.DBCheckBox(24)->click();
        QCOMPARE(seam->Requests().size(), size_t(1));
        QVERIFY(seam->Texts().front().contains(u'\n'));
        w.DBCheckBox(24)->click();
        QCOMPARE(seam->Requests().size(), size_t(1));
    }

    void cnStandard() {
        TFLEKO& w = Open();
        w.DBCheckBox(23)->click();  // UNC catalogue on, unsaved
        w.CN_BUTTON->click();
        QVERIFY(CalcGlobals.CNStandard);
        QVERIFY(w.LastStarrKZ->isChecked());
        QVERIFY(!w.LastStarrKZ->isEnabled());
        QVERIFY(!w.DBCheckBox(2)->isChecked());
        QVERIFY(!w.DBCheckBox(2)->isEnabled());
        QVERIFY(!w.DBCheckBox(23)->isChecked());
        QVERIFY(!w.DBCheckBox(23)->isEnabled());
        QVERIFY(w.OptionsChanged());
        // Kept in the edit buffer for the guarded save, not posted past it.
        QVERIFY(w.DataSource1->Editing());
        QCOMPARE(f->Stored("F_KERNTECH").toBool(), true);
        w.CN_BUTTON->click();
        QVERIFY(!CalcGlobals.CNStandard);
        QVERIFY(w.LastStarrKZ->isEnabled());
        QVERIFY(w.DBCheckBox(2)->isEnabled());
        QVERIFY(w.DBCheckBox(23)->isEnabled());
        w.CN_BUTTON->click();
        QVERIFY(w.SpeichernClick());
        QCOMPARE(f->Stored("F_KERNTECH").toBool(), false);
        QCOMPARE(f->Stored("F_KATA_KZ").toBool(), false);
        QCOMPARE(f->Stored("F_STRLOAD_KZ").toString(), QStringLiteral("B"));
        QVERIFY(CalcGlobals.CNStandard);
    }

    void cnStandardDiscardedWithTheEdits() {
        TFLEKO& w = Open();
        w.CN_BUTTON->click();
        QVERIFY(CalcGlobals.CNStandard);
        seam->Answer(mr::No);
        QVERIFY(w.close());
        QVERIFY(!CalcGlobals.CNStandard);
        QCOMPARE(f->Stored("F_KERNTECH").toBool(), true);
        QCOMPARE(f->Stored("F_STRLOAD_KZ").toString(), QStringLiteral("B"));
    }

    // A field never left still gets its rule when the row is saved.
    void rulesBeforeSave_data() {
        QTest::addColumn<int>("edit");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("stored");
        QTest::addColumn<bool>("byClose");
        QTest::newRow("travel, save") << 15 << "F_BEWEGBER" << "-50" << 50.0 << false;
        QTest::newRow("travel, close yes") << 15 << "F_BEWEGBER" << "-50" << 50.0 << true;
        QTest::newRow("angle, close yes") << 25 << "F_WINKEL" << "9" << 4.0 << true;
        QTest::newRow("angle at limit") << 25 << "F_WINKEL" << "4" << 4.0 << false;
        QTest::newRow("load variation, save") << 14 << "F_FDIFF" << "-7" << 7.0 << false;
        QTest::newRow("clamp reserve, close yes") << 24 << "F_RSRL_LR" << "-9" << 9.0 << true;
        QTest::newRow("positive stays") << 22 << "F_WR_SB" << "13" << 13.0 << true;
    }
    void rulesBeforeSave() {
        QFETCH(int, edit);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(double, stored);
        QFETCH(bool, byClose);
        TFLEKO& w = Open();
        Type(w.DBEdit(edit), typed);
        if (byClose) {
            seam->Answer(mr::Yes);
            QVERIFY(w.close());
        } else {
            QVERIFY(w.SpeichernClick());
            QCOMPARE(w.DBEdit(edit)->text(), QString::number(stored));
        }
        QCOMPARE(f->Stored(field).toDouble(), stored);
        QCOMPARE(seam->Texts().back(), IvTranslate(QStringLiteral("Settings successfully stored")));
    }

    // Leaving a field for another control runs its rule once; the window
    // losing the activation to a box or another program runs none.
    void leavingByReason_data() {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("runs");
        QTest::newRow("tab") << int(Qt::TabFocusReason) << true;
        QTest::newRow("backtab") << int(Qt::BacktabFocusReason) << true;
        QTest::newRow("mouse") << int(Qt::MouseFocusReason) << true;
        QTest::newRow("other window") << int(Qt::ActiveWindowFocusReason) << false;
        QTest::newRow("popup") << int(Qt::PopupFocusReason) << false;
    }
    void leavingByReason() {
        QFETCH(int, reason);
        QFETCH(bool, runs);
        TFLEKO& w = Open();
        const auto leave = [reason](QWidget* edit) {
            QFocusEvent out(QEvent::FocusOut, Qt::FocusReason(reason));
            QApplication::sendEvent(edit, &out);
        };
        Type(w.DBEdit(15), QStringLiteral("-50"));
        leave(w.DBEdit(15));
        QCOMPARE(w.DBEdit(15)->text(), runs ? QStringLiteral("50") : QStringLiteral("-50"));
        Type(w.DBEdit(28), QStringLiteral("X"));  // the same label as F_KRZ_BEZ_H
        leave(w.DBEdit(28));
        Type(w.DBEdit(14), QStringLiteral("ab"));
        leave(w.DBEdit(14));
        const QStringList expected = runs ? QStringList{QStringLiteral("Bezeichnung doppelt vorhanden"),
                                                        QStringLiteral("'ab' ist kein gültiger ganzzahliger Wert")}
                                          : QStringList{};
        QCOMPARE(seam->Texts(), expected);
    }

    void editLimits_data() {
        QTest::addColumn<int>("edit");
        QTest::addColumn<int>("limit");
        for (int n : {14, 16, 17, 18, 19, 20, 21, 22, 23}) QTest::addRow("DBEdit%d", n) << n << 2;
        QTest::newRow("DBEdit15") << 15 << 3;
        QTest::newRow("DBEdit24 unlimited") << 24 << 32767;
        QTest::newRow("DBEdit25 unlimited") << 25 << 32767;
        QTest::newRow("commission part") << 1 << 32767;  // six digits must reach the rule
    }
    void editLimits() {
        QFETCH(int, edit);
        QFETCH(int, limit);
        TFLEKO& w = Open();
        QCOMPARE(w.DBEdit(edit)->maxLength(), limit);
    }

    void printUnitSystems_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("weight");
        QTest::addColumn<int>("dimension");
        QTest::addColumn<int>("titleBlock");
        QTest::newRow("SI") << "SIButton" << 0 << 0 << 0;
        QTest::newRow("imperial") << "ImperialButton" << 1 << 1 << 2;
    }
    void printUnitSystems() {
        QFETCH(QString, button);
        QFETCH(int, weight);
        QFETCH(int, dimension);
        QFETCH(int, titleBlock);
        TFLEKO& w = Open();
        // Start from the other side of each choice.
        w.DRCK_GEW_EH->Button(1 - weight)->click();
        w.DRCK_DIM_KZ->Button(1 - dimension)->click();
        w.DRCK_EH->Button(1)->click();
        w.findChild<QPushButton*>(button)->click();
        QCOMPARE(w.DRCK_GEW_EH->ItemIndex(), weight);
        QCOMPARE(w.DRCK_DIM_KZ->ItemIndex(), dimension);
        QCOMPARE(w.DRCK_EH->ItemIndex(), titleBlock);
        QVERIFY(w.SpeichernClick());
        QCOMPARE(f->Stored("F_DRCK_GEW_KZ").toBool(), weight == 0);
        QCOMPARE(f->Stored("F_DRCK_DIM_KZ").toBool(), dimension == 0);
        QCOMPARE(f->Stored("F_DRCK_EH_KZ").toString(), QString(QChar(u'A' + titleBlock)));
    }

    void keysMoveTheFocus() {
        TFLEKO& w = Open();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.PageControl1->setCurrentIndex(1);
        w.DBEdit(15)->setFocus();
        QTRY_VERIFY(w.DBEdit(15)->hasFocus());
        QTest::keyClick(w.DBEdit(15), Qt::Key_Return);
        QWidget* next = QApplication::focusWidget();
        QVERIFY(next != w.DBEdit(15));
        QTest::keyClick(next, Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), w.DBEdit(15));
        QTest::keyClick(w.DBEdit(15), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), next);
        // Esc closes: unchanged, nothing asked.
        QTest::keyClick(next, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
        QVERIFY(seam->Requests().empty());
    }

    void temperatureMemoOverItsBox() {
        TFLEKO& w = Open();
        w.PageControl1->setCurrentIndex(2);
        QVERIFY(w.TemperatureMemo->isHidden());
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(w.DBCheckBox(33), &enter);
        QVERIFY(!w.TemperatureMemo->isHidden());
        QVERIFY(w.TemperatureMemo->toPlainText().contains(QStringLiteral("13 CrMo 4 5")));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(w.DBCheckBox(33), &leave);
        QVERIFY(w.TemperatureMemo->isHidden());
        // Another box of the tab shows nothing.
        QApplication::sendEvent(w.DBCheckBox(31), &enter);
        QVERIFY(w.TemperatureMemo->isHidden());
    }

    void priceListOnlyWithSelectCurrency_data() {
        QTest::addColumn<bool>("machineValue");
        QTest::newRow("absent") << false;
        QTest::newRow("present") << true;
    }
    void priceListOnlyWithSelectCurrency() {
        QFETCH(bool, machineValue);
        if (machineValue) {
            TRegistry machine(TRootKey::LocalMachine);
            QVERIFY(machine.OpenKey(ProductKey, true));
            machine.WriteString(QStringLiteral("SelectCurrency"), QString());
        }
        // The same value per user does not count.
        TRegistry user;
        QVERIFY(user.OpenKey(ProductKey, true));
        user.WriteString(QStringLiteral("SelectCurrency"), QStringLiteral("1"));
        TFLEKO& w = Open();
        QCOMPARE(w.RGpriceList->isHidden(), !machineValue);
    }

    void programWideFlags() {
        TFLEKO& w = Open();
        PrintNoteFlag = false;
        FormStyleFlag = false;
        w.PNote_KZ->click();
        QVERIFY(PrintNoteFlag);
        QVERIFY(w.OptionsChanged());
        // The form style follows when the box is left, not on the click.
        w.L_FormStyle_CheckBox->click();
        QVERIFY(!FormStyleFlag);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(w.L_FormStyle_CheckBox, &out);
        QVERIFY(FormStyleFlag);
    }

    void currencyRule() {
        TFLEKO& w = Open();
        w.DBCheckBox(19)->click();
        const int chf = w.ComboBox1->findText(QStringLiteral("CHF"));
        w.ComboBox1->setCurrentIndex(chf);
        w.CurrencyChosen(chf);
        QVERIFY(!w.KursPanel->isHidden());
        QCOMPARE(double(w.KURS->Value()), 0.0);
        QCOMPARE(w.CurrencyCode(), QStringLiteral("CHF "));
        const int eur = w.ComboBox1->findText(QStringLiteral("EUR"));
        w.CurrencyChosen(eur);
        QVERIFY(w.KursPanel->isHidden());
        QCOMPARE(double(w.KURS->Value()), 1.0);
        // USD with a Euro price list needs a factor.
        w.CurrencyChosen(w.ComboBox1->findText(QStringLiteral("USD")));
        QVERIFY(!w.KursPanel->isHidden());
        QCOMPARE(w.KursLabel->text(), QStringLiteral("1 EUR ="));
    }

    void factorZeroBlocksClosing() {
        TFLEKO& w = Open();
        w.KURS->SetValue(0);
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QCOMPARE(seam->Texts(), QStringList{QString::fromUtf8("Umrechnungsfaktor: Ungültiger Wert !")});
        QCOMPARE(w.PageControl1->currentIndex(), 4);
        seam->Clear();
        w.KURS->SetValue(0.0001);
        seam->Answer(mr::No);  // the factor counts as a change: do not save
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
    }

    void priceListNoRestoresChoice() {
        TFLEKO& w = Open();
        QCOMPARE(w.RGpriceList->ItemIndex(), 0);
        seam->Answer(mr::No);
        w.RGpriceList->Button(1)->click();
        QCOMPARE(w.RGpriceList->ItemIndex(), 0);
        QCOMPARE(seam->Requests().size(), size_t(1));
        QCOMPARE(seam->Requests().front().kind, MessageKind::Warning);
        QCOMPARE(CalcGlobals.PriceIndex, 1);
        QCOMPARE(f->ProjectValue("PRJ_WAEHRUNG").toInt(), 17);
        seam->Clear();
        seam->Answer(mr::Yes);
        w.RGpriceList->Button(1)->click();
        QCOMPARE(w.RGpriceList->ItemIndex(), 1);
        QCOMPARE(CalcGlobals.PriceIndex, 2);
        QCOMPARE(f->ProjectValue("PRJ_WAEHRUNG").toInt(), 23);
        QCOMPARE(w.KursLabel->text(), QStringLiteral("1 USD ="));
    }

    void priceListTheProjectCannotKeep() {
        // A project without its settings row.
        {
            TTable prjinf(f->project.path(), QStringLiteral("PRJINF8.DB"));
            prjinf.Open();
            prjinf.First();
            prjinf.Delete();
        }
        TFLEKO& w = Open();
        seam->Answer(mr::Yes);
        w.RGpriceList->Button(1)->click();
        QCOMPARE(seam->Requests().size(), size_t(2));
        QCOMPARE(seam->Requests().back().kind, MessageKind::Error);
        QCOMPARE(seam->Texts().back(), QStringLiteral("Die Preisliste des Projekts konnte nicht gespeichert werden."));
        QCOMPARE(w.RGpriceList->ItemIndex(), 0);
        QCOMPARE(CalcGlobals.PriceIndex, 1);
        QCOMPARE(w.KursLabel->text(), QStringLiteral("1 EUR ="));
    }

    void hotDipBoxesFollowCatalogue() {
        TFLEKO& w = Open();
        const auto box = [&](int position) { return w.HDCheckBoxes[size_t(position - 1)]; };
        QVERIFY(box(1)->isChecked());    // 110: both rows galvanised
        QVERIFY(!box(2)->isChecked());   // 111: not, though "1110" is
        QVERIFY(!box(16)->isChecked());  // 67
        QVERIFY(!box(28)->isChecked());  // 42
        QVERIFY(!box(32)->isChecked());  // 45 only in class 02
        QVERIFY(box(33)->isChecked());   // 46 in class 01
        QVERIFY(box(35)->isChecked());   // 49
        QCOMPARE(CalcGlobals.HDFlags, QStringLiteral("1").leftJustified(32, u'0') + QStringLiteral("101"));
        QVERIFY(box(32)->text().endsWith(QStringLiteral(" 45")));
        QVERIFY(box(33)->text().endsWith(QStringLiteral(" 46")));
        QVERIFY(box(34)->text().endsWith(QStringLiteral(" 48")));
        // Completed once, not at every showing.
        w.hide();
        w.show();
        QCOMPARE(box(34)->text().count(QStringLiteral("48")), 1);
    }

    void saveWritesEveryHotDipFlag() {
        // One catalogue table open and one closed: both come back so.
        f->kon->PGSTAT.Open();
        QVERIFY(!f->kon->PGRSRL.Active());
        TFLEKO& w = Open();
        w.HDCheckBoxes[27]->click();  // 42 on
        w.HDCheckBoxes[0]->click();   // 110 off
        w.HDCheckBoxes[15]->click();  // 67 on
        QVERIFY(w.HDChanged());
        QVERIFY(w.SpeichernClick());
        QString expected(35, u'0');
        for (int i = 0; i < 35; ++i)
            if (w.HDCheckBoxes[size_t(i)]->isChecked()) expected[i] = u'1';
        QCOMPARE(CalcGlobals.HDFlags, expected);
        QCOMPARE(expected.mid(27, 1), QStringLiteral("1"));
        QCOMPARE(expected.left(1), QStringLiteral("0"));
        QVERIFY(f->CatalogueFlag("pgrsrsl.DB", "RSL_NRN", 1, "RSL_HD_KZ"));
        QVERIFY(!f->CatalogueFlag("pgrsrsl.DB", "RSL_NRN", 2, "RSL_HD_KZ"));  // no galvanised variant
        QVERIFY(!f->CatalogueFlag("Pgstat.DB", "STA_NRN", 1, "STA_HD_KZ"));
        QVERIFY(!f->CatalogueFlag("Pgstat.DB", "STA_NRN", 2, "STA_HD_KZ"));
        QVERIFY(f->CatalogueFlag("Pgstat.DB", "STA_NRN", 5, "STA_HD_KZ"));
        QVERIFY(f->CatalogueFlag("Pgstat.DB", "STA_NRN", 4, "STA_HD_KZ"));  // "1110" untouched
        QVERIFY(f->kon->PGSTAT.Active());
        QVERIFY(!f->kon->PGRSRL.Active());
        QVERIFY(!w.HDChanged());
        // The project's copy carries the same flags.
        QCOMPARE(f->ProjectValue("F_Bool_Carrier").toString(), expected);
        QCOMPARE(seam->Texts().back(), QStringLiteral("Einstellungen erfolgreich gespeichert"));
    }

    void allAndNoneButtons() {
        TFLEKO& w = Open();
        w.SpeedButton4->click();
        for (QCheckBox* c : w.HDCheckBoxes) QVERIFY(c->isChecked());
        QVERIFY(w.HDChanged());
        w.SpeedButton5->click();
        for (QCheckBox* c : w.HDCheckBoxes) QVERIFY(!c->isChecked());
    }

    void noEditLostWhenBoxAppears() {
        TFLEKO& w = Open();
        Type(w.DBEdit(4), QStringLiteral("Neuer Kunde"));
        Type(w.DBEdit(14), QStringLiteral("21"));
        // A box of the form and another window taking the activation.
        Type(w.DBEdit(1), QStringLiteral("1234567"));
        QCOMPARE(seam->Requests().size(), size_t(2));  // at six and at seven digits
        QWidget other;
        other.show();
        other.activateWindow();
        QApplication::setActiveWindow(&other);
        QApplication::processEvents();
        QVERIFY(w.isVisible());
        QVERIFY(w.DataSource1->Table().Active());
        QVERIFY(w.DataSource1->Editing());
        QCOMPARE(w.DBEdit(4)->text(), QStringLiteral("Neuer Kunde"));
        Type(w.DBEdit(1), QStringLiteral("123"));
        QVERIFY(w.SpeichernClick());
        QCOMPARE(f->Stored("F_BEST").toString(), QStringLiteral("Neuer Kunde"));
        QCOMPARE(f->Stored("F_FDIFF").toInt(), 21);
        QCOMPARE(f->Stored("F_KD_KOM_NR_1").toInt(), 123);
    }

    void closingAsks_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("yes saves") << int(mr::Yes) << true << "Neu";
        QTest::newRow("no discards") << int(mr::No) << true << "Kunde A";
        QTest::newRow("cancel stays") << int(mr::Cancel) << false << "Kunde A";
    }
    void closingAsks() {
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(QString, stored);
        TFLEKO& w = Open();
        w.PageControl1->setCurrentIndex(5);
        Type(w.DBEdit(4), QStringLiteral("Neu"));
        seam->Answer(answer);
        QCOMPARE(w.close(), closed);
        QCOMPARE(seam->Requests().front().text, IvTranslate(QStringLiteral("RS7010")));
        QVERIFY(seam->Requests().front().text.startsWith(QStringLiteral("Die Optionen")));
        QCOMPARE(f->Stored("F_BEST").toString(), stored);
        QCOMPARE(w.DataSource1->Table().Active(), !closed);
        if (!closed) {
            QCOMPARE(w.DBEdit(4)->text(), QStringLiteral("Neu"));
            QVERIFY(w.DataSource1->Editing());
        } else {
            QCOMPARE(TFLEKO::LastTab, 5);
        }
    }

    void closingUnchangedAsksNothing() {
        TFLEKO& w = Open();
        QVERIFY(w.close());
        QVERIFY(seam->Requests().empty());
        QVERIFY(!w.DataSource1->Table().Active());
        // Shown again: the last tab and the stored values.
        w.PageControl1->setCurrentIndex(2);
        TFLEKO::LastTab = 3;
        w.show();
        QCOMPARE(w.PageControl1->currentIndex(), 3);
        QCOMPARE(w.DBEdit(4)->text(), QStringLiteral("Kunde A"));
    }

    void helpContextFollowsTab() {
        TFLEKO& w = Open();
        const int contexts[] = {20300, 20400, 20500, 20600, 20700, 20800, 20900};
        for (int i = 0; i < 7; ++i) {
            w.PageControl1->setCurrentIndex(i);
            QCOMPARE(w.PageControl1->property("HelpContext").toInt(), contexts[i]);
        }
        w.PageControl1->setCurrentIndex(7);  // the hot-dip tab leaves it
        QCOMPARE(w.PageControl1->property("HelpContext").toInt(), 20900);
        QCOMPARE(HelpFileOfLanguage(1), QStringLiteral("MANUAL_D.hlp"));
        QCOMPARE(HelpFileOfLanguage(2), QStringLiteral("MANUAL_U.hlp"));
        QCOMPARE(HelpFileOfLanguage(3), QStringLiteral("MANUAL_F.hlp"));
        QCOMPARE(HelpFileOfLanguage(4), QStringLiteral("MANUAL_P.hlp"));
        QCOMPARE(HelpFileOfLanguage(5), QStringLiteral("MANUAL_U.hlp"));
        QTest::keyClick(&w, Qt::Key_F1);
        QCOMPARE(seam->Requests().size(), size_t(1));
        QVERIFY(seam->Texts().front().contains(QStringLiteral("MANUAL_D.hlp")));
    }

    void extendedLoadOption() {
        TFLEKO& w = Open();
        QVERIFY(!w.CB_ext_loads->isChecked());
        w.CB_ext_loads->click();
        QVERIFY(CalcGlobals.ExtendedLoadOption);
        TRegistry reg;
        QVERIFY(reg.OpenKey(ProductKey, false));
        QVERIFY(reg.ValueExists(ExtendedLoadValue));
        w.CB_ext_loads->click();
        QVERIFY(!CalcGlobals.ExtendedLoadOption);
        QVERIFY(!reg.ValueExists(ExtendedLoadValue));
    }

    void fontAndColourButtons();
    void languageButtons();
    void everyNamedControlExists();
    void followsTheMenuLanguage();
    void failedHotDipWriteLetsTheSaveGoOn();
    void missingSettingsTableIsReported();
    void exportThroughTheSaveDialog();
    void pictureForTheLogo();

    void dateFormats() {
        TFLEKO& w = Open();
        w.RGDateSeparator->Button(2)->click();
        QCOMPARE(IvFormatSettings().DateSeparator, QChar(u'-'));
        QCOMPARE(w.CBDateFormat->count(), 5);
        QCOMPARE(w.CBDateFormat->itemText(0), QStringLiteral("dd-mm-yyyy"));
        QCOMPARE(w.CBDateFormat->itemText(4), QStringLiteral("mm-dd-yy"));
        QCOMPARE(IvFormatSettings().ShortDateFormat, QStringLiteral("dd-mm-yyyy"));
        QCOMPARE(w.LSelectedDate->text(), QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy")));
        w.RGDateSeparator->Button(4)->click();
        QCOMPARE(IvFormatSettings().DateSeparator, QChar(u'-'));  // "none" leaves it
        QCOMPARE(w.CBDateFormat->itemText(2), QStringLiteral("yyyymmdd"));
    }

    // The date group shows the format in use, whichever notation it is
    // written in (the month "MM" of a locale, "mm" of a saved choice), put
    // before the separator's five when it is none of them; saving keeps it.
    void dateFormatInUse_data() {
        QTest::addColumn<QString>("inUse");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<int>("separatorItem");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("count");
        QTest::newRow("locale's dd.MM.yyyy") << "dd.MM.yyyy" << QChar(u'.') << 0 << "dd.mm.yyyy" << 0 << 5;
        QTest::newRow("saved yy-mm-dd") << "yy-mm-dd" << QChar(u'-') << 2 << "yy-mm-dd" << 3 << 5;
        QTest::newRow("locale's M/d/yy") << "M/d/yy" << QChar(u'/') << 3 << "m/d/yy" << 0 << 6;
        QTest::newRow("no separator") << "yyyyMMdd" << QChar(u' ') << 4 << "yyyymmdd" << 2 << 5;
    }
    void dateFormatInUse() {
        QFETCH(QString, inUse);
        QFETCH(QChar, separator);
        QFETCH(int, separatorItem);
        QFETCH(QString, shown);
        QFETCH(int, index);
        QFETCH(int, count);
        const TIvFormatSettings saved = IvFormatSettings();
        const auto restore = qScopeGuard([saved] { IvFormatSettings() = saved; });
        IvFormatSettings().ShortDateFormat = inUse;
        IvFormatSettings().DateSeparator = separator;
        TFLEKO& w = Open();
        QCOMPARE(w.RGDateSeparator->ItemIndex(), separatorItem);
        QCOMPARE(w.CBDateFormat->currentText(), shown);
        QCOMPARE(w.CBDateFormat->currentIndex(), index);
        QCOMPARE(w.CBDateFormat->count(), count);
        QCOMPARE(w.LSelectedDate->text(), QDate::currentDate().toString(QString(inUse).replace(u'm', u'M')));
        QVERIFY(w.SpeichernClick());
        TRegistry reg;
        QVERIFY(reg.OpenKey(ProductKey, false));
        QCOMPARE(reg.ReadString(QStringLiteral("ShortDateFormat")), inUse);
        QCOMPARE(IvFormatSettings().ShortDateFormat, inUse);
    }

    // A text that is no number, refused by the save, is reported in the
    // menu language and nothing is stored.
    void saveRefusesNoNumberInTheMenuLanguage() {
        TFLEKO& w = Open();
        QLineEdit* angle = w.DataSource1->EditOf(QStringLiteral("F_WINKEL"));
        angle->setText(QStringLiteral("x"));
        emit angle->textEdited(angle->text());
        QVERIFY(!w.SpeichernClick());
        QCOMPARE(seam->Texts().last(), QStringLiteral("'x' ist kein gültiger Gleitkommawert"));
        QCOMPARE(f->Stored(QStringLiteral("F_WINKEL")).toDouble(), 2.5);
    }

    // A live switch of the menu language sizes the form for the new texts:
    // the tab strip stays whole either way.
    void languageSwitchKeepsTheTabsWhole() {
        // Opened in English at its smallest; German needs more room.
        IvBinaryDictionaryGlobal->SetLanguage(2);
        TFLEKO& w = Open();
        w.resize(w.minimumSize());
        QApplication::processEvents();
        for (int language : {1, 2, 1}) {
            IvBinaryDictionaryGlobal->SetLanguage(language);
            QApplication::processEvents();
            const int needed = w.layout()->totalMinimumSize().width();
            QVERIFY2(w.minimumWidth() >= needed, qPrintable(QString::number(language)));
            QVERIFY2(w.width() >= needed, qPrintable(QStringLiteral("%1: %2 < %3").arg(language).arg(w.width()).arg(needed)));
            QVERIFY(w.PageControl1->tabBar()->sizeHint().width() <= w.PageControl1->width());
        }
    }
};

void TestOptions::fontAndColourButtons() {
    TFLEKO& w = Open();
    QFont chosen = w.font();
    chosen.setPointSize(17);
    chosen.setBold(true);
    chosen.setItalic(false);
    auto font = WhenShown<QFontDialog>([chosen](QFontDialog* d) {
        QCOMPARE(d->windowTitle(), IvTranslate(QStringLiteral("Font")));
        d->setCurrentFont(chosen);
        d->accept();
    });
    w.FontButton->click();
    QVERIFY(*font);
    TRegistry reg;
    QVERIFY(reg.OpenKey(ProductKey, false));
    QCOMPARE(reg.ReadInteger(QStringLiteral("SIZE")), 17);
    // The styles the dialog could give the family.
    QCOMPARE(reg.ReadBool(QStringLiteral("Bold")), w.font().bold());
    QCOMPARE(reg.ReadBool(QStringLiteral("Italic")), w.font().italic());
    QCOMPARE(reg.ReadString(QStringLiteral("Name")), chosen.family());
    QCOMPARE(w.font().pointSize(), 17);
    QCOMPARE(w.DBEdit(4)->font().pointSize(), 17);
    QCOMPARE(SharedFont().pointSize(), 17);

    auto colour = WhenShown<QColorDialog>([](QColorDialog* d) {
        d->setCurrentColor(QColor(0x10, 0x20, 0x30));
        d->accept();
    });
    w.Button2->click();
    QVERIFY(*colour);
    QCOMPARE(BackgroundColor, QColor(0x10, 0x20, 0x30));
    QCOMPARE(reg.ReadInteger(QStringLiteral("PColor")), 0x302010);

    // Cancelled: nothing changes.
    auto cancelled = WhenShown<QColorDialog>([](QColorDialog* d) {
        d->setCurrentColor(Qt::red);
        d->reject();
    });
    w.Button2->click();
    QVERIFY(*cancelled);
    QCOMPARE(BackgroundColor, QColor(0x10, 0x20, 0x30));
}

void TestOptions::exportThroughTheSaveDialog() {
    TestDir out;
    TFLEKO& w = Open();
    auto shown = WhenShown<QFileDialog>([&out](QFileDialog* d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Datei speichern unter"));
        QCOMPARE(d->selectedNameFilter(), QStringLiteral("Text Dateien (*.txt)"));
        d->setDirectory(out.path());
        d->selectFile(QStringLiteral("optionen"));
        static_cast<QDialog*>(d)->accept();
    });
    w.SpeedButton1->click();
    QVERIFY(*shown);
    // The default extension is added to a name without one.
    QVERIFY(QFileInfo::exists(out.file(QStringLiteral("optionen.TXT"))));
}

void TestOptions::pictureForTheLogo() {
    TestDir out;
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::blue);
    const QString logo = out.file(QStringLiteral("logo.bmp"));
    QVERIFY(img.save(logo, "BMP"));
    TFLEKO& w = Open();
    QCOMPARE(w.BitmapPath->text(), IvTranslate(QStringLiteral("[leer]")));
    auto shown = WhenShown<QFileDialog>([logo](QFileDialog* d) {
        QCOMPARE(d->nameFilters(), QStringList{QStringLiteral("Bitmaps (*.bmp)")});
        d->selectFile(logo);
        static_cast<QDialog*>(d)->accept();
    });
    w.SpeedButton2->click();
    QVERIFY(*shown);
    QCOMPARE(w.BitmapPath->text(), logo);
    QCOMPARE(w.PrintBitmapPath(), logo);
    QVERIFY(w.OptionsChanged());
    w.KDNLOGO->click();
    QVERIFY(w.SpeichernClick());
    QCOMPARE(CalcGlobals.LogoFile, logo);
    QVERIFY(CalcGlobals.LogoFlag);
    TRegistry reg;
    QVERIFY(reg.OpenKey(ProductKey, false));
    QCOMPARE(reg.ReadString(QStringLiteral("BITMAP")), logo);
    QVERIFY(reg.ReadBool(QStringLiteral("PRINT BITMAP")));
}

void TestOptions::missingSettingsTableIsReported() {
    f->glob->FIRDAT.SetTableName(QStringLiteral("NOFIRDAT.DB"));
    TFLEKO& w = Open();
    QVERIFY(w.isVisible());
    QCOMPARE(seam->Requests().size(), size_t(1));
    QCOMPARE(seam->Requests().front().kind, MessageKind::Error);
    QVERIFY(!w.Loading());
    // A save says why it cannot, and nothing else is touched.
    seam->Clear();
    QVERIFY(!w.SpeichernClick());
    QCOMPARE(seam->Requests().front().kind, MessageKind::Error);
    QCOMPARE(f->Stored("F_FDIFF").toInt(), 17);
}

void TestOptions::failedHotDipWriteLetsTheSaveGoOn() {
    TFLEKO& w = Open();
    Type(w.DBEdit(4), QStringLiteral("Neu"));
    w.HDCheckBoxes[27]->click();  // 42
    w.SpinEdit2->setValue(4);
    // The settings row is the first write; the first galvanising row fails.
    ArmWriteFault(2);
    QVERIFY(w.SpeichernClick());
    ArmWriteFault(0);
    QCOMPARE(seam->Requests().size(), size_t(2));
    QCOMPARE(seam->Requests().front().kind, MessageKind::Warning);
    QCOMPARE(CalcGlobals.HDFlags, QString());
    QCOMPARE(f->Stored("F_BEST").toString(), QStringLiteral("Neu"));
    TRegistry reg;
    QVERIFY(reg.OpenKey(ProductKey, false));
    QCOMPARE(reg.ReadInteger(QStringLiteral("WidthHelp")), 4);
    // Both catalogue tables as they were: closed.
    QVERIFY(!f->kon->PGSTAT.Active());
    QVERIFY(!f->kon->PGRSRL.Active());
}

void TestOptions::everyNamedControlExists() {
    TFLEKO& w = Open();
    QStringList names{"PageControl1", "Speichern", "SpeedButton1", "SpeedButton3", "BitBtn1", "PasswordChk",
                      "StatusBar1", "LastStarrKZ", "CN_BUTTON", "GEWSTG_RG", "CB_ext_loads", "ComboBox1", "KURS",
                      "RGpriceList", "PNote_KZ", "PreisButton", "DRCK_GEW_EH", "DRCK_EH", "DRCK_DIM_KZ", "KDNLOGO",
                      "SpeedButton2", "Button1", "GewaehlteSprache", "SpinEdit1", "SpinEdit2", "SpinEdit3",
                      "FontButton", "Button2", "LanguageGroup", "Bsprache", "RGDateSeparator", "CBDateFormat",
                      "LSelectedDate", "L_FormStyle_CheckBox", "SpeedButton4", "SpeedButton5", "VGB", "EN13480",
                      "ASME", "Reset"};
    for (int n = 1; n <= 29; ++n)
        if (n != 26) names << QStringLiteral("DBEdit%1").arg(n);
    for (int n = 1; n <= 33; ++n) names << QStringLiteral("DBCheckBox%1").arg(n);
    for (const QString& name : names) QVERIFY2(w.findChild<QWidget*>(name), qPrintable(name));
    QVERIFY(!w.findChild<QWidget*>("DBEdit26"));
    for (const char* dialog : {"IvFontDialog1", "IvColorDialog1", "IvSaveDialog1", "IvOpenDialog1", "IvOpenPictureDialog1"})
        QVERIFY2(w.findChild<QObject*>(dialog), dialog);
    // DBCheckBox30 is there, hidden and disabled.
    QVERIFY(w.DBCheckBox(30)->isHidden());
    QVERIFY(!w.DBCheckBox(30)->isEnabled());
}

void TestOptions::followsTheMenuLanguage() {
    TFLEKO& w = Open();
    QCOMPARE(w.DBCheckBox(4)->text(), QStringLiteral("Einheitensystem ist UNC"));
    IvBinaryDictionaryGlobal->SetLanguage(2);
    QCOMPARE(w.PageControl1->tabText(4), QStringLiteral("Additional services"));
    QCOMPARE(w.DBCheckBox(4)->text(), QStringLiteral("Unit system is UNC"));
    QCOMPARE(w.Speichern->text(), QStringLiteral("Save"));
    QCOMPARE(w.GEWSTG_RG->title(), QStringLiteral(" Threaded rods "));
    QCOMPARE(w.DBCheckBox(31)->text(), QStringLiteral("No consideration of low temperatures base clamps"));
    // The dialogs' filters too.
    QCOMPARE(w.IvSaveDialog1->Filter, QStringLiteral("Text files|*.txt|All|*.*"));
    IvBinaryDictionaryGlobal->SetLanguage(1);
    QCOMPARE(w.IvSaveDialog1->Filter, QStringLiteral("Text Dateien|*.txt|Alle|*.*"));
    QCOMPARE(w.PageControl1->tabText(4), QStringLiteral("Zusatzleistungen"));
    QCOMPARE(w.DBCheckBox(31)->text(), QStringLiteral("Tiefe Temperaturen bei Rohrlagern nicht berücksichtigen"));
}

void TestOptions::languageButtons() {
    TFLEKO& w = Open();
    // The program's language dialog, cancelled: nothing changes.
    auto cancelled = WhenShown<TIvLanguageDialog>([](TIvLanguageDialog* d) { d->reject(); });
    w.Bsprache->click();
    QVERIFY(*cancelled);
    QCOMPARE(IvBinaryDictionaryGlobal->Language(), 1);
    // A chosen language: the menu switches, and the help file follows it.
    const auto saved = LanguageDialogHook;
    LanguageDialogHook = [](QWidget*, TIvDictionary* d, int& language) {
        language = d == IvBinaryDictionaryGlobal ? 2 : 1;
        return true;
    };
    ProgramDirectoryText = QStringLiteral("/opt/korva/");
    w.Bsprache->click();
    QCOMPARE(IvBinaryDictionaryGlobal->Language(), 2);
    QCOMPARE(ApplicationHelpFile, QStringLiteral("/opt/korva/MANUAL_U.hlp"));
    QCOMPARE(w.Speichern->text(), QStringLiteral("Save"));
    // The print language, on an open print dictionary.
    IvBinaryDictionaryPrint->SetFileName(QStringLiteral(KORVA_BINARY_DIR "/Korvaprn.mld"));
    IvBinaryDictionaryPrint->Open();
    w.Button1->click();
    QCOMPARE(IvBinaryDictionaryPrint->Language(), 1);
    QCOMPARE(w.GewaehlteSprache->text(), QStringLiteral("German"));
    QVERIFY(w.OptionsChanged());
    QVERIFY(w.SpeichernClick());
    QCOMPARE(f->Stored("F_DRCK_KZ").toInt(), 1);
    LanguageDialogHook = saved;
    IvBinaryDictionaryGlobal->SetLanguage(1);
}

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
