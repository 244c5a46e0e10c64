// Message boxes: buttons, default and cancel results, the hidden-result
// offset, the layout, the placement over an owner and the entry routines.
#include "localisation/IvBinDic.h"
#include "localisation/IvLangDlg.h"
#include "support/TestSupport.h"
#include "ui/ApplicationForms.h"
#include "ui/MultiLang.h"
#include "ui/QtMessageSeam.h"
#include "ui/ZO_MsgDlgBoxs.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>

Q_DECLARE_METATYPE(MessageKind)

namespace {

QStringList ButtonsLeftToRight(const TMessageForm& form) {
    QList<QPushButton*> buttons = form.findChildren<QPushButton*>();
    std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
    QStringList names;
    for (auto* b : buttons) names << b->objectName();
    return names;
}

std::unique_ptr<TMessageForm> Box(MessageButtons buttons, bool hideBox = false,
                                  MessageKind kind = MessageKind::Information) {
    return std::unique_ptr<TMessageForm>(CreateMessageDialog(QStringLiteral("Text"), kind, buttons, hideBox));
}

// Runs f on the next modal box that opens.
void OnNextModal(std::function<void(QWidget*)> f) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, f] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            f(w);
        }
    });
    timer->start();
}

}  // namespace

class TestMessageBoxes : public QObject {
    Q_OBJECT
private slots:
    void buttonsDefaultAndCancel_data();
    void buttonsDefaultAndCancel();
    void hiddenResultOffset_data();
    void hiddenResultOffset();
    void closeControlGivesCancel();
    void helpButtonShowsTheApplicationsHelp_data();
    void helpButtonShowsTheApplicationsHelp();
    void languageDialogHelpShowsTheApplicationsHelp();
    void kindCaptionsAndIcon_data();
    void kindCaptionsAndIcon();
    void layoutInDialogUnits();
    void hideBoxMakesRoom();
    void ownerPlacement_data();
    void ownerPlacement();
    void clampToScreen_data();
    void clampToScreen();
    void ownerServesForPlacement_data();
    void ownerServesForPlacement();
    void entryRoutines_data();
    void entryRoutines();
    void realBoxOverOwner();
    void unattendedRunNeverWaits();
    void realBoxOverOwnerAtEdgeStaysOnScreen();
    void realBoxEmptyTextHiddenOwner();
    void realBoxEmptyTextVisibleOwner();
    void activeWindowOwnerIsTheActiveDialog();
    void enterPressesFocusedButton_data();
    void enterPressesFocusedButton();
    void lineBreaks_data();
    void lineBreaks();
    void bareCarriageReturnsBreakLinesInTheBox();
    void overlongWordWrapsWithinTheScreen_data();
    void overlongWordWrapsWithinTheScreen();
};

// The data model's boxes name no owner but ask for the active window: a box
// raised over a dialog stands over that dialog, not over the main form.
void TestMessageBoxes::activeWindowOwnerIsTheActiveDialog() {
    InstallQtMessageSeam();
    QWidget mainForm;
    mainForm.setGeometry(0, 0, 900, 700);
    mainForm.show();
    SetApplicationMainForm(&mainForm);
    QDialog dialog(&mainForm);
    dialog.setGeometry(520, 380, 300, 200);
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QPoint seen;
    OnNextModal([&seen](QWidget* box) {
        seen = box->pos();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    MessageRequest r;
    r.text = QStringLiteral("over the dialog");
    r.kind = MessageKind::Warning;
    r.buttons = mb::OK;
    r.ownerIsActiveWindow = true;
    QCOMPARE(ShowMessage(r), 1);
    SetMessageSeam(nullptr);
    SetApplicationMainForm(nullptr);
    const QFontMetrics fm(dialog.font());
    const QSize extent(fm.horizontalAdvance(r.text), fm.height());
    QCOMPARE(seen, OwnerPlacement(dialog.frameGeometry(), extent));
    QVERIFY(seen != OwnerPlacement(mainForm.frameGeometry(), extent));
}

void TestMessageBoxes::enterPressesFocusedButton_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    const int yesNo = mb::Yes | mb::No;
    QTest::newRow("Yes/No, focus on No, Return") << yesNo << "No" << int(Qt::Key_Return) << 7;
    QTest::newRow("Yes/No, focus on No, Enter") << yesNo << "No" << int(Qt::Key_Enter) << 7;
    QTest::newRow("Yes/No, focus on Yes") << yesNo << "Yes" << int(Qt::Key_Return) << 6;
    QTest::newRow("Yes/No/Cancel, focus on Cancel") << (yesNo | mb::Cancel) << "Cancel" << int(Qt::Key_Return) << 2;
    QTest::newRow("OK/Cancel, focus on Cancel") << int(mb::OK | mb::Cancel) << "Cancel" << int(Qt::Key_Return) << 2;
    QTest::newRow("Yes/No/All, focus on All") << (yesNo | mb::All) << "All" << int(Qt::Key_Return) << 8;
    QTest::newRow("default focus") << yesNo << "" << int(Qt::Key_Return) << 6;
}

void TestMessageBoxes::enterPressesFocusedButton() {
    QFETCH(int, buttons);
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, result);
    auto box = Box(MessageButtons(buttons));
    OnNextModal([&](QWidget* w) {
        auto* form = static_cast<TMessageForm*>(w);
        if (!focus.isEmpty()) form->Button(focus)->setFocus();
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : w;
        QTest::keyClick(target, Qt::Key(key));
        // A box the key did not close would hang the test.
        if (form->isVisible()) form->done(-1);
    });
    QCOMPARE(box->exec(), result);
}

void TestMessageBoxes::lineBreaks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("CR") << "one\rtwo" << "one\ntwo";
    QTest::newRow("LF") << "one\ntwo" << "one\ntwo";
    QTest::newRow("CR LF") << "one\r\ntwo" << "one\ntwo";
    QTest::newRow("LF CR is two") << "one\n\rtwo" << "one\n\ntwo";
    QTest::newRow("CR CR LF") << "a\r\r\nb" << "a\n\nb";
    QTest::newRow("trailing CR") << "a\r" << "a\n";
    QTest::newRow("none") << "plain" << "plain";
}

void TestMessageBoxes::lineBreaks() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(NormalizeLineBreaks(text), expected);
}

// Lines broken by a bare CR (as the data model's texts are) show as lines
// in a box without owner, as in one with an owner.
void TestMessageBoxes::bareCarriageReturnsBreakLinesInTheBox() {
    const QString text = QStringLiteral("First line of the message\rSecond line\rThird");
    std::unique_ptr<TMessageForm> box(CreateMessageDialog(text, MessageKind::Error, mb::OK, false));
    auto* label = box->findChild<QLabel*>(QStringLiteral("Message"));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("First line of the message\nSecond line\nThird"));
    const QFontMetrics fm(box->font());
    QVERIFY2(label->height() >= 3 * fm.height(), qPrintable(QString::number(label->height())));
    QVERIFY(label->width() < fm.horizontalAdvance(QStringLiteral("First line of the message Second line Third")));
}

void TestMessageBoxes::overlongWordWrapsWithinTheScreen_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("one long word") << QString(600, u'W');
    QTest::newRow("long path between words") << QStringLiteral("File ") + QString(400, u'x') + QStringLiteral(" missing");
    QTest::newRow("two long lines") << QString(300, u'M') + u'\r' + QString(300, u'M');
}

void TestMessageBoxes::overlongWordWrapsWithinTheScreen() {
    QFETCH(QString, text);
    std::unique_ptr<TMessageForm> box(CreateMessageDialog(text, MessageKind::Warning, mb::Yes | mb::No, false));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY2(box->width() <= screen.width(), qPrintable(QString::number(box->width())));
    QVERIFY(QRect(box->pos(), box->size()).left() >= screen.left());
    const QRect client(QPoint(0, 0), box->size());
    for (QPushButton* b : box->findChildren<QPushButton*>())
        QVERIFY2(client.contains(b->geometry()), qPrintable(b->objectName()));
    auto* label = box->findChild<QLabel*>(QStringLiteral("Message"));
    QVERIFY(client.contains(label->geometry()));
    // Every character is still there, only allowed to break.
    QString shown = label->text();
    shown.remove(QChar(0x200B));
    QCOMPARE(shown, NormalizeLineBreaks(text));
}

void TestMessageBoxes::buttonsDefaultAndCancel_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QString>("defaultButton");
    QTest::addColumn<int>("escResult");
    QTest::newRow("ok") << int(mb::OK) << QStringList{"OK"} << "OK" << 1;
    QTest::newRow("yes-no") << int(mb::Yes | mb::No) << QStringList{"Yes", "No"} << "Yes" << 7;
    QTest::newRow("yes-no-all") << int(mb::Yes | mb::No | mb::All) << QStringList{"Yes", "No", "All"} << "Yes" << 7;
    QTest::newRow("ok-cancel") << int(mb::OK | mb::Cancel) << QStringList{"OK", "Cancel"} << "OK" << 2;
    QTest::newRow("yes-no-cancel") << int(mb::Yes | mb::No | mb::Cancel) << QStringList{"Yes", "No", "Cancel"}
                                   << "Yes" << 2;
    QTest::newRow("abort-retry-ignore") << int(mb::Abort | mb::Retry | mb::Ignore)
                                        << QStringList{"Abort", "Retry", "Ignore"} << "Retry" << 0;
    QTest::newRow("order follows bits") << int(mb::YesToAll | mb::NoToAll | mb::OK | mb::Yes)
                                        << QStringList{"Yes", "OK", "NoToAll", "YesToAll"} << "OK" << 1;
}

void TestMessageBoxes::buttonsDefaultAndCancel() {
    QFETCH(int, buttons);
    QFETCH(QStringList, order);
    QFETCH(QString, defaultButton);
    QFETCH(int, escResult);
    auto box = Box(MessageButtons(buttons));
    QCOMPARE(ButtonsLeftToRight(*box), order);
    QVERIFY(box->DefaultButton());
    QCOMPARE(box->DefaultButton()->objectName(), defaultButton);
    QVERIFY(box->DefaultButton()->isDefault());
    box->setResult(-1);
    QTest::keyClick(box.get(), Qt::Key_Escape);
    // A box without any cancel button ignores Esc.
    QCOMPARE(box->result(), escResult == 0 ? -1 : escResult);
    // Enter presses the default button.
    static const QMap<QString, int> results{{"OK", 1}, {"Yes", 6}, {"Retry", 4}};
    box->setResult(-1);
    box->show();
    QTest::keyClick(box.get(), Qt::Key_Return);
    QCOMPARE(box->result(), results.value(defaultButton));
}

void TestMessageBoxes::hiddenResultOffset_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<int>("result");
    QTest::newRow("ok ticked") << "OK" << true << 1001;
    QTest::newRow("yes ticked") << "Yes" << true << 1006;
    QTest::newRow("no ticked") << "No" << true << 1007;
    QTest::newRow("yes unticked") << "Yes" << false << 6;
}

void TestMessageBoxes::hiddenResultOffset() {
    QFETCH(QString, button);
    QFETCH(bool, ticked);
    QFETCH(int, result);
    auto box = Box(mb::Yes | mb::No | mb::OK, true);
    QVERIFY(box->HideMessage->isVisibleTo(box.get()));
    QCOMPARE(box->HideMessage->text(), QStringLiteral("Hide this Message during current session"));
    QVERIFY(!box->HideMessage->isChecked());
    box->HideMessage->setChecked(ticked);
    QTest::mouseClick(box->Button(button), Qt::LeftButton);
    QCOMPARE(box->result(), result);
}

// The Help button leaves the box open and shows the application's help for
// the box's help context: the box's own help file, else the application's.
// No viewer exists: a box says so, naming what was asked for.
void TestMessageBoxes::helpButtonShowsTheApplicationsHelp_data() {
    QTest::addColumn<int>("context");
    QTest::addColumn<QString>("boxFile");
    QTest::addColumn<QString>("applicationFile");
    QTest::addColumn<QString>("shown");
    const QString notShown = QStringLiteral("Die Hilfe kann nicht angezeigt werden.");
    QTest::newRow("nothing asked for") << 0 << "" << "" << notShown;
    QTest::newRow("the application's file") << 0 << "" << "/opt/korva/MANUAL_U.hlp"
                                            << notShown + "\n/opt/korva/MANUAL_U.hlp";
    QTest::newRow("the box's own file wins") << 20300 << "own.hlp" << "app.hlp" << notShown + "\nown.hlp (20300)";
    QTest::newRow("a context without a file") << 7 << "" << "" << notShown + "\n(7)";
}

void TestMessageBoxes::helpButtonShowsTheApplicationsHelp() {
    QFETCH(int, context);
    QFETCH(QString, boxFile);
    QFETCH(QString, applicationFile);
    QFETCH(QString, shown);
    SetApplicationHelpFileName(applicationFile);
    const auto restore = qScopeGuard([] { SetApplicationHelpFileName(QString()); });
    auto box = Box(mb::OK | mb::Help);
    QCOMPARE(ButtonsLeftToRight(*box), (QStringList{"OK", "Help"}));
    QCOMPARE(box->Button("Help")->text(), QStringLiteral("&Help"));
    box->HelpContext = context;
    box->HelpFile = boxFile;
    box->show();
    box->setResult(-1);
    ScriptedMessageSeam seam;
    QTest::mouseClick(box->Button("Help"), Qt::LeftButton);
    QCOMPARE(int(seam.Requests().size()), 1);
    const MessageRequest& r = seam.Requests()[0];
    QCOMPARE(r.kind, MessageKind::Information);
    QCOMPARE(int(r.buttons), int(mb::OK));
    QCOMPARE(r.text, shown);
    QCOMPARE(r.owner, box.get());
    QVERIFY(box->isVisible());
    QCOMPARE(box->result(), -1);
}

// The language dialog's Help button, as the program wires it, does what
// the boxes' does: a real box over the dialog says in the menu language
// that the help cannot be shown, naming the application's help file and the
// dialog's context; the dialog stays open.
void TestMessageBoxes::languageDialogHelpShowsTheApplicationsHelp() {
    InstallQtMessageSeam();
    DictionaryScope dictionaries;
    IvBinaryDictionaryGlobal->SetFileName(QStringLiteral(KORVA_BINARY_DIR "/Korva32.mld"));
    IvBinaryDictionaryGlobal->SetLanguage(2);
    IvBinaryDictionaryGlobal->Open();
    QVERIFY(IvBinaryDictionaryGlobal->IsOpen());
    SetApplicationHelpFileName(QStringLiteral("/opt/korva/MANUAL_U.hlp"));
    const auto restore = qScopeGuard([] {
        SetApplicationHelpFileName(QString());
        SetMessageSeam(nullptr);
    });
    QString shown;
    bool dialogStayed = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TIvLanguageDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        OnNextModal([&](QWidget* box) {
            if (auto* message = box->findChild<QLabel*>(QStringLiteral("Message"))) shown = message->text();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QTest::mouseClick(dialog->HelpButton, Qt::LeftButton);
        dialogStayed = dialog->isVisible();
        dialog->reject();
    });
    // A dialog or box left open is closed, so that a failing test ends.
    QTimer::singleShot(5000, [] {
        while (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    int language = 2;
    QVERIFY(!ExecuteLanguageDialog(nullptr, IvBinaryDictionaryGlobal, 0, language, 17));
    QCOMPARE(shown, QStringLiteral("The help cannot be shown.\n/opt/korva/MANUAL_U.hlp (17)"));
    QVERIFY(dialogStayed);
}

void TestMessageBoxes::closeControlGivesCancel() {
    auto box = Box(mb::Yes | mb::No);
    box->show();
    box->close();
    QCOMPARE(box->result(), 2);
    auto hidden = Box(mb::OK, true);
    hidden->HideMessage->setChecked(true);
    hidden->show();
    hidden->close();
    QCOMPARE(hidden->result(), 1002);
}

void TestMessageBoxes::kindCaptionsAndIcon_data() {
    QTest::addColumn<MessageKind>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("icon");
    QTest::newRow("warning") << MessageKind::Warning << "Warning" << true;
    QTest::newRow("error") << MessageKind::Error << "Error" << true;
    QTest::newRow("information") << MessageKind::Information << "Information" << true;
    QTest::newRow("confirmation") << MessageKind::Confirmation << "Confirm" << true;
    QTest::newRow("custom") << MessageKind::Custom << "Title Of The Program" << false;
}

void TestMessageBoxes::kindCaptionsAndIcon() {
    QFETCH(MessageKind, kind);
    QFETCH(QString, caption);
    QFETCH(bool, icon);
    const QString title = ApplicationTitle();
    SetApplicationTitle(QStringLiteral("Title Of The Program"));
    auto box = Box(mb::OK, false, kind);
    SetApplicationTitle(title);
    QCOMPARE(box->windowTitle(), caption);
    QCOMPARE(box->findChild<QLabel*>(QStringLiteral("Image")) != nullptr, icon);
    auto* message = box->findChild<QLabel*>(QStringLiteral("Message"));
    QVERIFY(message);
    QCOMPARE(message->text(), QStringLiteral("Text"));
    // The text stands right of the icon, never under it.
    if (icon) QVERIFY(message->x() >= box->findChild<QLabel*>(QStringLiteral("Image"))->geometry().right());
}

void TestMessageBoxes::layoutInDialogUnits() {
    // With an average character of 8 x 16 pixels: margins 16, spacing 20,
    // buttons 100 x 28 with a gap of 8.
    const DialogUnits du{8, 16};
    QCOMPARE(du.Horizontal(50), 100);
    QCOMPARE(du.Vertical(14), 28);
    const MessageLayout l = ComputeMessageLayout(QSize(100, 20), true, 2, false, du);
    QCOMPARE(l.client, QSize(240, 112));
    QCOMPARE(l.icon, QRect(16, 16, 32, 32));
    QCOMPARE(l.text, QRect(68, 16, 100, 20));
    QCOMPARE(int(l.buttons.size()), 2);
    QCOMPARE(l.buttons[0], QRect(16, 68, 100, 28));
    QCOMPARE(l.buttons[1], QRect(124, 68, 100, 28));
    // Without an icon a wide text sets the width and the buttons centre.
    const MessageLayout wide = ComputeMessageLayout(QSize(400, 10), false, 1, false, du);
    QCOMPARE(wide.client, QSize(432, 10 + 28 + 20 + 32));
    QCOMPARE(wide.buttons[0].left(), (432 - 100) / 2);
    QCOMPARE(wide.text.left(), 16);
}

void TestMessageBoxes::hideBoxMakesRoom() {
    const DialogUnits du{8, 16};
    const MessageLayout plain = ComputeMessageLayout(QSize(100, 20), true, 1, false, du);
    const MessageLayout hide = ComputeMessageLayout(QSize(100, 20), true, 1, true, du);
    QCOMPARE(hide.client.height(), plain.client.height() + 20 + 20);
    QCOMPARE(hide.buttons[0].top(), plain.buttons[0].top() + 40);
    QCOMPARE(hide.hideBox.left(), hide.text.left());
    QCOMPARE(hide.hideBox.top(), hide.text.bottom() + 1 + 20);
    QVERIFY(hide.hideBox.bottom() < hide.buttons[0].top());
    QCOMPARE(hide.hideBox.width(), 100);
    // A check box text wider than the message widens the box instead of
    // being cut off; the buttons centre in the wider box.
    const MessageLayout wide = ComputeMessageLayout(QSize(100, 20), true, 1, true, du, 300);
    QCOMPARE(wide.hideBox.width(), 300);
    QCOMPARE(wide.client.width(), 68 + 300 + 16);
    QCOMPARE(wide.buttons[0].left(), (wide.client.width() - 100) / 2);
}

void TestMessageBoxes::ownerPlacement_data() {
    QTest::addColumn<QRect>("owner");
    QTest::addColumn<QSize>("extent");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("800x600 at origin") << QRect(0, 0, 800, 600) << QSize(200, 30) << QPoint(260, 245);
    QTest::newRow("odd sizes halve toward zero") << QRect(10, 20, 301, 201) << QSize(51, 15) << QPoint(95, 73);
    QTest::newRow("blank text") << QRect(100, 100, 400, 300) << QSize(1, 13) << QPoint(260, 204);
}

void TestMessageBoxes::ownerPlacement() {
    QFETCH(QRect, owner);
    QFETCH(QSize, extent);
    QFETCH(QPoint, expected);
    QCOMPARE(OwnerPlacement(owner, extent), expected);
}

void TestMessageBoxes::clampToScreen_data() {
    QTest::addColumn<QRect>("box");
    QTest::addColumn<QPoint>("expected");
    const QSize s(300, 150);
    QTest::newRow("inside stays") << QRect(QPoint(100, 100), s) << QPoint(100, 100);
    QTest::newRow("beyond right") << QRect(QPoint(900, 100), s) << QPoint(724, 100);
    QTest::newRow("beyond bottom") << QRect(QPoint(100, 700), s) << QPoint(100, 618);
    QTest::newRow("left and above") << QRect(QPoint(-260, -40), s) << QPoint(0, 0);
    QTest::newRow("larger than screen") << QRect(5, 5, 2000, 1000) << QPoint(0, 0);
}

void TestMessageBoxes::clampToScreen() {
    QFETCH(QRect, box);
    QFETCH(QPoint, expected);
    QCOMPARE(ClampToScreen(box, QRect(0, 0, 1024, 768)), expected);
}

void TestMessageBoxes::ownerServesForPlacement_data() {
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QRect>("owner");
    QTest::addColumn<bool>("serves");
    QTest::newRow("visible off screen") << true << QRect(900, 700, 400, 300) << true;
    QTest::newRow("hidden on screen") << false << QRect(0, 0, 1024, 768) << true;
    QTest::newRow("hidden over right edge") << false << QRect(700, 0, 400, 300) << false;
    QTest::newRow("hidden over bottom edge") << false << QRect(0, 500, 400, 300) << false;
}

void TestMessageBoxes::ownerServesForPlacement() {
    QFETCH(bool, visible);
    QFETCH(QRect, owner);
    QFETCH(bool, serves);
    QCOMPARE(OwnerServesForPlacement(visible, owner, QSize(1024, 768)), serves);
}

using Entry = std::function<int(QWidget*, const QString&)>;
Q_DECLARE_METATYPE(Entry)

void TestMessageBoxes::entryRoutines_data() {
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<MessageKind>("kind");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<bool>("active");
    const int yn = mb::Yes | mb::No, yna = mb::Yes | mb::No | mb::All, rc = mb::Retry | mb::Cancel;
    auto row = [](const char* name, Entry e, MessageKind k, int b, bool a) {
        QTest::newRow(name) << e << k << b << a;
    };
    row("ErrorDlg", [](QWidget* o, const QString& t) { return ErrorDlg(o, t, mb::Retry | mb::Cancel); },
        MessageKind::Error, rc, false);
    row("WarningDlg", [](QWidget* o, const QString& t) { return WarningDlg(o, t, mb::Retry | mb::Cancel); },
        MessageKind::Warning, rc, false);
    row("InformationDlg", [](QWidget* o, const QString& t) { return InformationDlg(o, t, mb::Retry | mb::Cancel); },
        MessageKind::Information, rc, false);
    row("ConfirmationDlg",
        [](QWidget* o, const QString& t) { return ConfirmationDlg(o, t, mb::Retry | mb::Cancel); },
        MessageKind::Confirmation, rc, false);
    row("ErrorOk", ErrorOk, MessageKind::Error, mb::OK, false);
    row("WarningOk", WarningOk, MessageKind::Warning, mb::OK, false);
    row("WarningYesNo", WarningYesNo, MessageKind::Warning, yn, false);
    row("InformationOk", InformationOk, MessageKind::Information, mb::OK, false);
    row("InformationYesNo", InformationYesNo, MessageKind::Information, yn, false);
    row("ConfirmationYesNo", ConfirmationYesNo, MessageKind::Confirmation, yn, false);
    row("ConfirmationYesNoAll", ConfirmationYesNoAll, MessageKind::Confirmation, yna, false);
    auto active = [](int (*f)(const QString&)) { return Entry([f](QWidget*, const QString& t) { return f(t); }); };
    row("ErrorOkActive", active(ErrorOkActive), MessageKind::Error, mb::OK, true);
    row("WarningOkActive", active(WarningOkActive), MessageKind::Warning, mb::OK, true);
    row("WarningYesNoActive", active(WarningYesNoActive), MessageKind::Warning, yn, true);
    row("InformationOkActive", active(InformationOkActive), MessageKind::Information, mb::OK, true);
    row("InformationYesNoActive", active(InformationYesNoActive), MessageKind::Information, yn, true);
    row("ConfirmationYesNoActive", active(ConfirmationYesNoActive), MessageKind::Confirmation, yn, true);
    row("ConfirmationYesNoAllActive", active(ConfirmationYesNoAllActive), MessageKind::Confirmation, yna, true);
}

void TestMessageBoxes::entryRoutines() {
    QFETCH(Entry, entry);
    QFETCH(MessageKind, kind);
    QFETCH(int, buttons);
    QFETCH(bool, active);
    QWidget owner;
    QWidget activeForm;
    activeForm.show();
    activeForm.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&activeForm));
    ScriptedMessageSeam seam;
    seam.Answer(1234);
    QCOMPARE(entry(&owner, QStringLiteral("a text")), 1234);
    QCOMPARE(int(seam.Requests().size()), 1);
    const MessageRequest& r = seam.Requests()[0];
    QCOMPARE(r.kind, kind);
    QCOMPARE(int(r.buttons), buttons);
    QCOMPARE(r.text, QStringLiteral("a text"));
    QVERIFY(!r.showHideBox);
    QCOMPARE(r.owner, active ? &activeForm : &owner);
}

void TestMessageBoxes::unattendedRunNeverWaits() {
    // Were a box shown, nobody would close it and the call would not return.
    InstallQtMessageSeam();
    SetUnattended(true);
    const int result = ConfirmationYesNoActive(QStringLiteral("Store the support?"));
    const int cancelled = WarningDlg(nullptr, QStringLiteral("Go on?"), mb::No | mb::Cancel);
    SetUnattended(false);
    SetMessageSeam(nullptr);
    QCOMPARE(result, 6);      // the default button answers
    QCOMPARE(cancelled, 2);   // no default button: cancelled
    QVERIFY(!QApplication::activeModalWidget());
}

void TestMessageBoxes::realBoxOverOwner() {
    InstallQtMessageSeam();
    QWidget owner;
    owner.setGeometry(100, 80, 600, 400);
    owner.show();
    QPoint seen;
    OnNextModal([&seen](QWidget* box) {
        seen = box->pos();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    const int result = ConfirmationYesNo(&owner, QStringLiteral("one line"));
    SetMessageSeam(nullptr);
    QCOMPARE(result, 7);
    const QFontMetrics fm(owner.font());
    const QPoint expected = OwnerPlacement(owner.frameGeometry(), QSize(fm.horizontalAdvance("one line"), fm.height()));
    QCOMPARE(seen, expected);
}

void TestMessageBoxes::realBoxOverOwnerAtEdgeStaysOnScreen() {
    InstallQtMessageSeam();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QWidget owner;
    owner.setGeometry(screen.right() - 60, screen.bottom() - 40, 50, 30);
    owner.show();
    QRect seen;
    OnNextModal([&seen](QWidget* box) {
        seen = QRect(box->pos(), box->size());
        QTest::keyClick(box, Qt::Key_Escape);
    });
    const int result = InformationOk(&owner, QStringLiteral("A long text that makes the box wide enough"));
    SetMessageSeam(nullptr);
    QCOMPARE(result, 1);
    QVERIFY2(screen.contains(seen), qPrintable(QStringLiteral("box %1,%2 %3x%4").arg(seen.x()).arg(seen.y())
                                                   .arg(seen.width()).arg(seen.height())));
}

void TestMessageBoxes::realBoxEmptyTextHiddenOwner() {
    InstallQtMessageSeam();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // A hidden owner hanging over the screen's edge does not serve: the box
    // is centred on the screen.
    QWidget owner;
    owner.setGeometry(screen.right() - 100, 0, 400, 300);
    QRect seen;
    QString shownText;
    OnNextModal([&](QWidget* box) {
        seen = QRect(box->pos(), box->size());
        shownText = box->findChild<QLabel*>(QStringLiteral("Message"))->text();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    WarningYesNo(&owner, QString());
    SetMessageSeam(nullptr);
    QCOMPARE(seen.left(), screen.width() / 2 - seen.width() / 2);
    QCOMPARE(seen.top(), screen.height() / 2 - seen.height() / 2);
    QCOMPARE(shownText, QString());
}

void TestMessageBoxes::realBoxEmptyTextVisibleOwner() {
    InstallQtMessageSeam();
    QWidget owner;
    owner.setGeometry(50, 60, 700, 500);
    owner.show();
    QPoint seen;
    QString shownText;
    OnNextModal([&](QWidget* box) {
        seen = box->pos();
        shownText = box->findChild<QLabel*>(QStringLiteral("Message"))->text();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    ErrorOk(&owner, QString());
    SetMessageSeam(nullptr);
    QCOMPARE(shownText, QStringLiteral(" "));
    const QFontMetrics fm(owner.font());
    QCOMPARE(seen, OwnerPlacement(owner.frameGeometry(), QSize(1, fm.height())));
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_msgdlg.moc"
