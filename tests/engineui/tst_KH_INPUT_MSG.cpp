// The blocking-position dialog offscreen: the working range on both sides
// in mm and inch, saving without closing, a refused save.
#include "data/DECODIEREN.h"
#include "data/FIRAUFKON.h"
#include "data/GlobalFuncs.h"
#include "engineui/KH_INPUT_MSG.h"
#include "engineui/QtSelectionUi.h"
#include "localisation/IvBinDic.h"
#include "localisation/IvMLDWri.h"
#include "messages/MessageSeam.h"
#include "support/TestSupport.h"
#include "ui/MultiLang.h"
#include "ui/ValCtrls.h"

#include <QGuiApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>
#include <functional>

// Counts the print requests instead of printing.
class CountingDialog : public TFKH_INP_MSG {
public:
    int prints = 0;
    bool PrintForm() override {
        ++prints;
        return true;
    }
};

class TestBlockingDialog : public QObject {
    Q_OBJECT

    void setUpRecord(bool inch) {
        ConstructionRecord.Reset();
        CalcGlobals.Reset();
        ConstructionRecord.K_EINH_KZ = inch;
        ConstructionRecord.K_BLOCKIER = 233;
        ConstructionRecord.K_RES_ACTUAL_S_TOP = 73;
        ConstructionRecord.K_RES_ACTUAL_S_BUT = 74;
        CalcGlobals.BlockingRangeMin = 0;
        CalcGlobals.BlockingRangeMax = 307;
        std::copy_n("KH1333", 6, CalcGlobals.DisplayPartNumber);
    }

    // Shows the dialog through the selection interface, types 100 into the
    // position once it runs and leaves it as `leave` does.
    static bool showEditedTo100(QtSelectionUi& ui, const std::function<void(TFKH_INP_MSG*)>& leave) {
        ui.CreateBlockingDialog();
        TFKH_INP_MSG* d = ui.BlockingDialog();
        QTimer::singleShot(0, d, [d, leave] {
            d->FloatEdit1->setText("100");
            leave(d);
        });
        return ui.ShowBlockingDialog();
    }

private slots:
    void texts() {
        setUpRecord(false);
        TFKH_INP_MSG d;
        d.FormActivate();
        QCOMPARE(d.StaticText1->text(), QStringLiteral("Ausgewählter Konstanthänger Typ KH1333"));
        QCOMPARE(d.StaticText3->text(), QStringLiteral("Arbeitsbereich von   0 bis 307 mm"));
        QCOMPARE(d.StaticText2->text(), QStringLiteral("Optimierte Blockierposition = 233 mm"));
        QCOMPARE(d.Label1->text(), QStringLiteral("mm"));
        setUpRecord(true);
        CalcGlobals.BlockingRangeMin = 127;  // 5 inch
        d.FormActivate();
        QCOMPARE(d.StaticText3->text(), QStringLiteral("Arbeitsbereich von 5.000 bis 12.087 inch"));
        QCOMPARE(d.StaticText2->text(), QStringLiteral("Optimierte Blockierposition = 9.173 inch"));
        QCOMPARE(d.Label1->text(), QStringLiteral("inch"));
        // The edit shows the position cut to three decimals of an inch.
        QCOMPARE(d.FloatEdit1->text(), QStringLiteral("9.173"));
    }

    // The form as described: its caption, a tool window, the components
    // by name; a tool bar on top holding the two buttons, the panel as the
    // client area with the texts laid out top to bottom (hanger, range,
    // position, the edit row) over its full width, an empty status bar at
    // the foot; nothing on top of anything else.
    void formAndLayout() {
        setUpRecord(false);
        TFKH_INP_MSG d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(d.windowTitle(), QStringLiteral("KORVA"));
        QVERIFY(d.windowFlags().testFlag(Qt::Tool));
        QCOMPARE(d.objectName(), QStringLiteral("FKH_INP_MSG"));
        const QList<QWidget*> parts{d.StaticText1, d.StaticText3, d.StaticText2, d.StaticText4,
                                    d.FloatEdit1,  d.Label1,      d.Abbruch,     d.SPEICHERN};
        const QStringList names{"StaticText1", "StaticText3", "StaticText2", "StaticText4",
                                "FloatEdit1",  "Label1",      "Abbruch",     "SPEICHERN"};
        for (int i = 0; i < parts.size(); ++i)
            QCOMPARE(d.findChild<QWidget*>(names[i]), parts[i]);
        // The frame: panel, tool bar and status bar by name and kind.
        QVERIFY(d.Panel1 && d.ToolBar1 && d.StatusBar1);
        QCOMPARE(d.findChild<QFrame*>("Panel1"), d.Panel1);
        QCOMPARE(d.findChild<QToolBar*>("ToolBar1"), d.ToolBar1);
        QCOMPARE(d.findChild<QStatusBar*>("StatusBar1"), d.StatusBar1);
        QVERIFY(d.ToolBar1->isAncestorOf(d.Abbruch) && d.ToolBar1->isAncestorOf(d.SPEICHERN));
        for (int i = 0; i < 6; ++i)
            QVERIFY2(d.Panel1->isAncestorOf(parts[i]), qPrintable(names[i]));
        QVERIFY(d.StatusBar1->currentMessage().isEmpty());
        QVERIFY(d.StatusBar1->findChildren<QLabel*>().isEmpty());
        const auto inForm = [&d](QWidget* w) { return QRect(w->mapTo(&d, QPoint(0, 0)), w->size()); };
        for (QWidget* bar : QList<QWidget*>{d.ToolBar1, d.Panel1, d.StatusBar1}) {
            QVERIFY(bar->isVisible());
            QCOMPARE(inForm(bar).left(), 0);
            QCOMPARE(inForm(bar).width(), d.width());
        }
        QCOMPARE(inForm(d.ToolBar1).top(), 0);
        QVERIFY(inForm(d.ToolBar1).bottom() < inForm(d.Panel1).top());
        QVERIFY(inForm(d.Panel1).bottom() < inForm(d.StatusBar1).top());
        QCOMPARE(inForm(d.StatusBar1).bottom(), d.height() - 1);
        // Client size 305 x 160, unless the texts need more.
        QCOMPARE(d.size(), QSize(305, 160).expandedTo(d.minimumSizeHint()));
        for (int i = 0; i < parts.size(); ++i)
            for (int j = i + 1; j < parts.size(); ++j)
                QVERIFY2(!inForm(parts[i]).intersects(inForm(parts[j])),
                         qPrintable(names[i] + " overlaps " + names[j]));
        const auto mid = [&inForm](QWidget* w) { return inForm(w).center().y(); };
        QVERIFY(mid(d.Abbruch) < mid(d.StaticText1));
        QVERIFY(mid(d.StaticText1) < mid(d.StaticText3));
        QVERIFY(mid(d.StaticText3) < mid(d.StaticText2));
        QVERIFY(mid(d.StaticText2) < mid(d.FloatEdit1));
        QVERIFY(std::abs(mid(d.StaticText4) - mid(d.FloatEdit1)) <= 2);
        QVERIFY(std::abs(mid(d.Label1) - mid(d.FloatEdit1)) <= 2);
        QVERIFY(std::abs(mid(d.SPEICHERN) - mid(d.Abbruch)) <= 2);
        QVERIFY(d.StaticText4->x() < d.FloatEdit1->x());
        QVERIFY(d.FloatEdit1->x() < d.Label1->x());
        QVERIFY(d.Abbruch->x() < d.SPEICHERN->x());
        // The texts begin where the edit row begins and end where it ends.
        for (QWidget* w : QList<QWidget*>{d.StaticText1, d.StaticText3, d.StaticText2})
            QCOMPARE(w->x(), d.StaticText4->x());
        for (QWidget* w : QList<QWidget*>{d.StaticText1, d.StaticText3, d.StaticText2})
            QCOMPARE(w->geometry().right(), d.Label1->geometry().right());
        // The position comes first in the tab order, then the buttons.
        QStringList tabOrder;
        for (QWidget* w = d.nextInFocusChain(); w && w != &d; w = w->nextInFocusChain())
            if (w->isVisible() && (w->focusPolicy() & Qt::TabFocus))
                tabOrder << w->objectName();
        QCOMPARE(tabOrder, (QStringList{"FloatEdit1", "Abbruch", "SPEICHERN"}));
    }

    void rangeOnBothSides_data() {
        QTest::addColumn<bool>("inch");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("saved");
        QTest::newRow("mm at the lower end") << false << "0" << true << 0;
        QTest::newRow("mm at the upper end") << false << "307" << true << 307;
        QTest::newRow("mm rounded to the upper end") << false << "307.4" << true << 307;
        QTest::newRow("mm above") << false << "307.6" << false << 233;
        QTest::newRow("mm below") << false << "-1" << false << 233;
        QTest::newRow("inch 1.0 is cut to 25 mm") << true << "1.0" << true << 25;
        QTest::newRow("inch at the upper end") << true << "12.087" << true << 307;
        QTest::newRow("inch above") << true << "12.126" << false << 233;
    }
    void rangeOnBothSides() {
        QFETCH(bool, inch);
        QFETCH(QString, entry);
        QFETCH(bool, accepted);
        QFETCH(int, saved);
        setUpRecord(inch);
        ScriptedMessageSeam seam;
        TFKH_INP_MSG d;
        d.show();
        d.FloatEdit1->setText(entry);
        QCOMPARE(d.FloatEdit1Exit(), accepted);
        if (!accepted)  // back to the computed position
            QCOMPARE(d.FloatEdit1->text().toDouble(), inch ? 9.173 : 233.0);
        else if (!inch)  // the edit shows the whole millimetres it stands for
            QCOMPARE(d.FloatEdit1->text().toDouble(), double(saved));
        if (inch && entry == "1.0")
            QCOMPARE(d.FloatEdit1->text(), QStringLiteral("0.984"));
        // Saving a refused entry directly is refused too.
        d.FloatEdit1->setText(entry);
        QCOMPARE(d.SPEICHERNClick(), accepted);
        if (!accepted)  // the refused entry gives way to the position as it stands
            QCOMPARE(d.FloatEdit1->text().toDouble(), inch ? 9.173 : 233.0);
        QCOMPARE(int(ConstructionRecord.K_BLOCKIER), saved);
        QCOMPARE(ConstructionRecord.K_RES_ACTUAL_S_TOP, int16_t(accepted ? 0 : 73));
        QCOMPARE(ConstructionRecord.K_RES_ACTUAL_S_BUT, int16_t(accepted ? 0 : 74));
        QCOMPARE(seam.Requests().size(), std::size_t(accepted ? 0 : 1));
    }

    // In inch units the edit shows a position cut to 3 decimals, which is a
    // little below the millimetres it stands for (233 mm: 9.173 inch =
    // 232.99 mm). Saving what the dialog itself put into the edit keeps the
    // millimetres; a value the engineer typed is still cut. The edit's
    // value is cut (307 mm = 12.0866 inch: 12.086, 150 mm = 5.9055 inch:
    // 5.905), the position text rounds (12.087, 5.906).
    void inchRoundTripKeepsThePosition_data() {
        QTest::addColumn<int>("blocking");
        QTest::addColumn<int>("rangeMin");
        QTest::addColumn<QString>("typed");  // empty: saved as shown
        QTest::addColumn<int>("saved");
        QTest::addColumn<QString>("edit");      // the edit as the dialog shows it
        QTest::addColumn<QString>("position");  // the inch value of the position text
        QTest::newRow("as computed") << 233 << 0 << "" << 233 << "9.173" << "9.173";
        QTest::newRow("as computed, at the upper end") << 307 << 0 << "" << 307 << "12.086" << "12.087";
        QTest::newRow("as computed, at the lower end") << 233 << 233 << "" << 233 << "9.173" << "9.173";
        QTest::newRow("as computed, 150 mm cut") << 150 << 0 << "" << 150 << "5.905" << "5.906";
        QTest::newRow("typed, shown again after leaving the edit") << 233 << 0 << "9.0" << 228 << "9.173" << "9.173";
        QTest::newRow("typed 1.0 is still cut to 25 mm") << 233 << 0 << "1.0" << 25 << "9.173" << "9.173";
    }
    void inchRoundTripKeepsThePosition() {
        QFETCH(int, blocking);
        QFETCH(int, rangeMin);
        QFETCH(QString, typed);
        QFETCH(int, saved);
        QFETCH(QString, edit);
        QFETCH(QString, position);
        setUpRecord(true);
        ConstructionRecord.K_BLOCKIER = int16_t(blocking);
        CalcGlobals.BlockingRangeMin = rangeMin;
        ScriptedMessageSeam seam;
        TFKH_INP_MSG d;
        d.show();
        QCOMPARE(d.FloatEdit1->text(), edit);
        QCOMPARE(d.StaticText2->text(), "Optimierte Blockierposition = " + position + " inch");
        if (!typed.isEmpty()) {
            d.FloatEdit1->setText(typed);
            QVERIFY(d.FloatEdit1Exit());
        } else {
            QVERIFY(d.FloatEdit1Exit());  // leaving the edit unchanged
        }
        QVERIFY(d.SPEICHERNClick());
        QCOMPARE(int(ConstructionRecord.K_BLOCKIER), saved);
        QCOMPARE(seam.Requests().size(), std::size_t(0));
    }

    void saveKeepsTheDialogOpen() {
        setUpRecord(false);
        QtSelectionUi ui(nullptr);
        QVERIFY(showEditedTo100(ui, [](TFKH_INP_MSG* d) {
            QTest::mouseClick(d->SPEICHERN, Qt::LeftButton);
            QVERIFY(d->isVisible());
            QCOMPARE(d->Abbruch->text(), QStringLiteral("Fertig"));
            QTest::mouseClick(d->Abbruch, Qt::LeftButton);
        }));
        QCOMPARE(int(ConstructionRecord.K_BLOCKIER), 100);
        ui.FreeBlockingDialog();
        QVERIFY(!ui.BlockingDialog());
    }

    // The program's selection interface sends its boxes through the message
    // seam with their kinds and buttons.
    void boxesGoThroughTheSeam() {
        ScriptedMessageSeam seam;
        QtSelectionUi ui(nullptr);
        seam.Answer(mr::Yes);
        seam.Answer(mr::No);
        QVERIFY(ui.WarningYesNo("q1"));
        QVERIFY(!ui.WarningYesNo("q2"));
        ui.Information("i");
        ui.Error("e");
        ui.Warning("w");
        const auto& r = seam.Requests();
        QCOMPARE(r.size(), std::size_t(5));
        QCOMPARE(r[0].kind, MessageKind::Warning);
        QCOMPARE(r[0].buttons, MessageButtons(mb::Yes | mb::No));
        QCOMPARE(r[2].kind, MessageKind::Information);
        QCOMPARE(r[3].kind, MessageKind::Error);
        QCOMPARE(r[3].buttons, MessageButtons(mb::OK));
        QCOMPARE(r[4].kind, MessageKind::Warning);
        QCOMPARE(r[4].buttons, MessageButtons(mb::OK));
        QCOMPARE(seam.Texts(), (QStringList{"q1", "q2", "i", "e", "w"}));
        QString status;
        QtSelectionUi withPanel(nullptr, [&status](const QString& t) { status = t; });
        withPanel.SetStatusText("AUTO");
        QCOMPARE(status, QStringLiteral("AUTO"));
    }

    // The information question and the Yes/No/All confirmation take the
    // answers given.
    void questionsTakeTheirAnswers() {
        ScriptedMessageSeam seam;
        QtSelectionUi ui(nullptr);
        seam.Answer(mr::Yes);
        seam.Answer(mr::No);
        seam.Answer(mr::All);
        seam.Answer(mr::Yes);
        seam.Answer(mr::No);
        QVERIFY(ui.InformationYesNo("a"));
        QVERIFY(!ui.InformationYesNo("b"));
        QCOMPARE(ui.ConfirmYesNoAll("c"), SelectionUi::YesNoAll::All);
        QCOMPARE(ui.ConfirmYesNoAll("d"), SelectionUi::YesNoAll::Yes);
        QCOMPARE(ui.ConfirmYesNoAll("e"), SelectionUi::YesNoAll::No);
        QCOMPARE(seam.Requests()[0].kind, MessageKind::Information);
        QCOMPARE(seam.Texts(), (QStringList{"a", "b", "c", "d", "e"}));
    }

    // The blocking dialog is centred over its owner; the default cursor
    // comes back however often the busy cursor was set.
    void dialogPlaceAndCursor() {
        QWidget owner;
        owner.setGeometry(200, 150, 800, 600);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        setUpRecord(false);
        QtSelectionUi ui(&owner);
        ui.CreateBlockingDialog();
        TFKH_INP_MSG* d = ui.BlockingDialog();
        QVERIFY(d);
        const QPoint ownerCentre = owner.frameGeometry().center();
        const QPoint dialogCentre = QRect(d->pos(), d->size()).center();
        QVERIFY2((ownerCentre - dialogCentre).manhattanLength() <= 4,
                 qPrintable(QStringLiteral("%1,%2").arg(dialogCentre.x()).arg(dialogCentre.y())));
        ui.FreeBlockingDialog();
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        ui.RestoreCursor();
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void keys() {
        setUpRecord(false);
        CountingDialog d;
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.FloatEdit1->setFocus();
        d.FloatEdit1->setText("400");  // outside: Enter keeps the focus on the edit
        QTest::keyClick(d.FloatEdit1, Qt::Key_Return);
        QCOMPARE(d.FloatEdit1->text().toDouble(), 233.0);
        QVERIFY(d.FloatEdit1->hasFocus());
        // Inside the range Enter leaves the edit for the save button; the
        // keypad's Enter does the same.
        d.FloatEdit1->setText("120");
        QTest::keyClick(d.FloatEdit1, Qt::Key_Return);
        QVERIFY(d.SPEICHERN->hasFocus());
        d.FloatEdit1->setFocus();
        d.FloatEdit1->setText("121");
        QTest::keyClick(d.FloatEdit1, Qt::Key_Enter);
        QVERIFY(d.SPEICHERN->hasFocus());
        QCOMPARE(d.FloatEdit1->text().toDouble(), 121.0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10);
        QCOMPARE(d.prints, 1);
        QVERIFY(d.isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!d.isVisible());
        QCOMPARE(int(ConstructionRecord.K_BLOCKIER), 233);
    }

    // Leaving the edit for another control with a position outside the
    // range brings the focus back to the edit, showing the position as it
    // stands; keys typed into the edit reach it.
    void leavingTheEditOutOfRange() {
        setUpRecord(false);
        TFKH_INP_MSG d;
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.FloatEdit1->setFocus();
        d.FloatEdit1->clear();
        QTest::keyClicks(d.FloatEdit1, "400");
        QCOMPARE(d.FloatEdit1->text(), QStringLiteral("400"));
        QTest::keyClick(d.FloatEdit1, Qt::Key_Tab);
        QVERIFY(d.FloatEdit1->hasFocus());
        QCOMPARE(d.FloatEdit1->text().toDouble(), 233.0);
    }

    // Enter on a control other than the edit moves the focus on.
    void enterMovesOn() {
        setUpRecord(false);
        TFKH_INP_MSG d;
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.SPEICHERN->setFocus();
        QVERIFY(d.SPEICHERN->hasFocus());
        QTest::keyClick(d.SPEICHERN, Qt::Key_Return);
        QVERIFY(!d.SPEICHERN->hasFocus());
        QVERIFY(d.isVisible());
    }

    // The font the options form chose (the program's dialog font) shows on
    // the dialog and its texts, over an input form that shows it as well:
    // a tool window does not take its owner's font by itself.
    void chosenFontShows() {
        const QFont before = SharedFont();
        QFont chosen(QStringLiteral("DejaVu Serif"), 15);
        chosen.setBold(true);
        chosen.setItalic(true);
        SharedFont() = chosen;
        QWidget owner;
        owner.setFont(chosen);
        owner.show();
        setUpRecord(false);
        QtSelectionUi ui(&owner);
        ui.CreateBlockingDialog();
        QStringList shown;
        QTimer::singleShot(0, [&ui, &shown] {
            TFKH_INP_MSG* d = ui.BlockingDialog();
            for (QWidget* w : QList<QWidget*>{d, d->StaticText1, d->StaticText3, d->FloatEdit1, d->SPEICHERN})
                shown << QStringLiteral("%1 %2 %3 %4")
                             .arg(w->font().family())
                             .arg(w->font().pointSize())
                             .arg(w->font().bold())
                             .arg(w->font().italic());
            d->AbbruchClick();
        });
        ui.ShowBlockingDialog();
        SharedFont() = before;
        QCOMPARE(shown, QStringList(5, QStringLiteral("DejaVu Serif 15 1 1")));
    }

    // Showing the dialog that was not created creates it first.
    void showWithoutCreate() {
        setUpRecord(false);
        QtSelectionUi ui(nullptr);
        QVERIFY(!ui.BlockingDialog());
        QTimer::singleShot(0, [&ui] {
            QVERIFY(ui.BlockingDialog());
            QVERIFY(ui.BlockingDialog()->isVisible());
            ui.BlockingDialog()->AbbruchClick();
        });
        QVERIFY(!ui.ShowBlockingDialog());
        QVERIFY(ui.BlockingDialog());
        QCOMPARE(ui.BlockingDialog()->StaticText1->text(), QStringLiteral("Ausgewählter Konstanthänger Typ KH1333"));
    }

    // The dialog's own texts pass the program's dictionary when it is
    // built: in English its buttons read in English.
    void textsFollowTheLanguage() {
        DictionaryScope scope;
        TestDir dir;
        TIvLanguage native;
        native.Complete();
        native.CodePage = 1252;
        TIvLanguage german = native, english = native;
        german.PrimaryId = 7;
        english.PrimaryId = 9;
        for (TIvLanguage* l : {&german, &english}) {
            l->SubLanguage = 1;
            l->EnglishName = l->NativeName = l == &german ? QStringLiteral("German") : QStringLiteral("English");
            l->Complete();
        }
        const auto entry = [](const char* native, const char* english) {
            return TIvMLDEntry{QString::fromUtf8(native), {}, {}, {QString::fromUtf8(native), QString::fromUtf8(english)}};
        };
        QFile f(dir.file("menu.mld"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        // A language that puts the numbers first in the range text.
        f.write(WriteMLD({native, german, english}, {},
                         {entry("Abbruch", "Cancel"), entry("Speichern", "Save"),
                          entry("Arbeitsbereich von %s bis %s mm", "%s to %s mm working range")},
                         {}));
        f.close();
        IvBinaryDictionaryGlobal->SetFileName(f.fileName());
        setUpRecord(false);
        TFKH_INP_MSG d;
        QCOMPARE(d.Abbruch->text(), QStringLiteral("Cancel"));
        QCOMPARE(d.SPEICHERN->text(), QStringLiteral("Save"));
        d.FormActivate();
        QCOMPARE(d.StaticText3->text(), QStringLiteral("  0 to 307 mm working range"));
    }

    void closingWithoutSaveKeepsThePosition() {
        setUpRecord(false);
        QtSelectionUi ui(nullptr);
        QVERIFY(!showEditedTo100(ui, [](TFKH_INP_MSG* d) { QTest::keyClick(d, Qt::Key_Escape); }));
        QCOMPARE(int(ConstructionRecord.K_BLOCKIER), 233);
    }
};

QTEST_MAIN(TestBlockingDialog)
#include "tst_KH_INPUT_MSG.moc"
