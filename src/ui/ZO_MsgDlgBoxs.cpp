#include "ui/ZO_MsgDlgBoxs.h"

#include "localisation/IvResHook.h"
#include "ui/ApplicationForms.h"
#include "ui/MultiLang.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <memory>

namespace {

struct ButtonRow {
    const char* name;
    const char* caption;
    int result;
};

// Row n is bit n of MessageButtons.
constexpr ButtonRow kButtons[] = {
    {"Yes", "&Yes", mr::Yes},         {"No", "&No", mr::No},
    {"OK", "OK", mr::OK},             {"Cancel", "Cancel", mr::Cancel},
    {"Abort", "&Abort", mr::Abort},   {"Retry", "&Retry", mr::Retry},
    {"Ignore", "&Ignore", mr::Ignore}, {"All", "&All", mr::All},
    {"NoToAll", "N&o to All", mr::NoToAll}, {"YesToAll", "Y&es to All", mr::YesToAll},
    {"Help", "&Help", mr::None},
};
constexpr int kButtonCount = int(std::size(kButtons));
constexpr int kHelpBit = 10;

struct KindRow {
    const char* caption;  // nullptr: the application's title
    QStyle::StandardPixmap icon;
    bool hasIcon;
};

constexpr KindRow kKinds[] = {
    {"Warning", QStyle::SP_MessageBoxWarning, true},
    {"Error", QStyle::SP_MessageBoxCritical, true},
    {"Information", QStyle::SP_MessageBoxInformation, true},
    {"Confirm", QStyle::SP_MessageBoxQuestion, true},
    {nullptr, QStyle::SP_CustomBase, false},
};

// Captions of kinds and buttons are the program's resource texts: they
// follow the first dictionary while the resource-string hook is on.
QString ResourceText(const char* text) { return TranslatedLoadResString(QString::fromUtf8(text)); }

const KindRow& KindOf(MessageKind kind) {
    const int k = std::clamp(int(kind), 0, int(std::size(kKinds)) - 1);
    return kKinds[k];
}

int MulDiv(int a, int b, int c) { return c == 0 ? 0 : int((int64_t(a) * b + c / 2) / c); }

DialogUnits UnitsOf(const QFontMetrics& fm) {
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return {fm.horizontalAdvance(letters) / 52, fm.height()};
}

QRect ScreenOf(const QWidget* widget) {
    QScreen* screen = widget ? widget->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

QPushButton* ChooseButton(const TMessageForm& form, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (QPushButton* b = form.Button(QString::fromLatin1(name))) return b;
    return nullptr;
}

void AddButtons(TMessageForm& form, MessageButtons buttons, const MessageLayout& layout) {
    size_t placed = 0;
    for (int bit = 0; bit < kButtonCount; ++bit) {
        if (!(buttons & (1u << bit))) continue;
        const ButtonRow& row = kButtons[bit];
        auto* b = new QPushButton(ResourceText(row.caption), &form);
        b->setObjectName(QString::fromLatin1(row.name));
        // Enter presses the button that has the focus, as in every dialog:
        // a deliberate "No" must never turn into the default "Yes".
        b->setAutoDefault(true);
        b->setGeometry(layout.buttons[placed++]);
        // The Help button shows the application's help for the box's help
        // context and leaves the box open.
        if (bit == kHelpBit) {
            QObject::connect(b, &QPushButton::clicked, &form, [&form] {
                ShowApplicationHelp(&form, form.HelpContext, form.HelpFile);
            });
            continue;
        }
        const int result = row.result;
        QObject::connect(b, &QPushButton::clicked, &form, [&form, result] { form.done(result); });
    }
}

void AddImageAndText(TMessageForm& form, const KindRow& kind, const QString& text, const MessageLayout& layout) {
    if (kind.hasIcon) {
        auto* image = new QLabel(&form);
        image->setObjectName(QStringLiteral("Image"));
        image->setPixmap(form.style()->standardIcon(kind.icon, nullptr, &form).pixmap(32, 32));
        image->setGeometry(layout.icon);
    }
    auto* message = new QLabel(text, &form);
    message->setObjectName(QStringLiteral("Message"));
    message->setWordWrap(true);
    message->setTextFormat(Qt::PlainText);
    message->setGeometry(layout.text);
}

// A word wider than the box's text width would widen the box beyond the
// screen: such a word may break anywhere (a zero-width space after each of
// its characters, which the label's word wrap takes as a break).
QString BreakOverlongWords(const QString& text, const QFontMetrics& fm, int width) {
    static const QRegularExpression word(QStringLiteral("\\S+"));
    QString out;
    qsizetype last = 0;
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        const QString w = m.captured();
        if (fm.horizontalAdvance(w) <= width) {
            out += w;
        } else {
            for (qsizetype i = 0; i < w.size(); ++i) {
                out += w[i];
                const bool pair = w[i].isHighSurrogate() && i + 1 < w.size();
                if (pair) out += w[++i];
                if (i + 1 < w.size()) out += QChar(0x200B);
            }
        }
        last = m.capturedEnd();
    }
    out += text.mid(last);
    return out;
}

int CountButtons(MessageButtons buttons) {
    int n = 0;
    for (int bit = 0; bit < kButtonCount; ++bit) n += (buttons >> bit) & 1;
    return n;
}

// The text as it is measured and shown for an owner: lines joined again,
// an empty text as one blank.
struct OwnerText {
    QString text;
    QSize extent;
};

OwnerText MeasureForOwner(const QString& text, const QWidget& owner) {
    const QStringList lines = NormalizeLineBreaks(text).split(QLatin1Char('\n'));
    const QFontMetrics fm(owner.font());
    int width = 0;
    for (const QString& line : lines) width = std::max(width, fm.horizontalAdvance(line));
    QString joined = lines.join(QLatin1Char('\n'));
    if (joined.isEmpty()) return {QStringLiteral(" "), QSize(1, fm.height())};
    return {joined, QSize(width, fm.height() * int(lines.size()))};
}

QWidget* PlacementOwner(const MessageRequest& request) {
    QWidget* owner = request.owner;
    if (!owner && request.ownerIsActiveWindow) owner = QApplication::activeWindow();
    if (!owner) owner = ApplicationMainForm();
    if (!owner) return nullptr;
    const QRect screen = ScreenOf(owner);
    return OwnerServesForPlacement(owner->isVisible(), owner->frameGeometry(), screen.size()) ? owner : nullptr;
}

}  // namespace

// ---------------------------------------------------------------- the form

TMessageForm::TMessageForm(QWidget* parent) : QDialog(parent) {
    HideMessage = new QCheckBox(TranslateMenuText(QStringLiteral("Hide this Message during current session")), this);
    HideMessage->setObjectName(QStringLiteral("HideMessage"));
    HideMessage->setChecked(false);
    HideMessage->setVisible(false);
}

QPushButton* TMessageForm::Button(const QString& name) const {
    return findChild<QPushButton*>(name, Qt::FindDirectChildrenOnly);
}

void TMessageForm::SetDefaultButton(QPushButton* button) {
    m_default = button;
    if (!button) return;
    button->setDefault(true);
    button->setFocus();
}

void TMessageForm::done(int result) {
    QDialog::done(HideMessage->isChecked() ? result + HiddenResultOffset : result);
}

void TMessageForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_cancel) m_cancel->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TMessageForm::reject() { done(mr::Cancel); }

// ---------------------------------------------------------------- geometry

int DialogUnits::Horizontal(int units) const { return MulDiv(units, averageWidth, 4); }

int DialogUnits::Vertical(int units) const { return MulDiv(units, averageHeight, 8); }

MessageLayout ComputeMessageLayout(QSize textSize, bool hasIcon, int buttonCount, bool showHideBox,
                                   const DialogUnits& du, int hideBoxWidth) {
    const int marginX = du.Horizontal(8), marginY = du.Vertical(8);
    const int spacingX = du.Horizontal(10), spacingY = du.Vertical(10);
    const int buttonW = du.Horizontal(50), buttonH = du.Vertical(14), gap = du.Horizontal(4);
    const int hideExtra = showHideBox ? 20 + spacingY : 0;

    int iconTextW = textSize.width(), iconTextH = textSize.height();
    if (hasIcon) {
        iconTextW += 32 + spacingX;
        iconTextH = std::max(iconTextH, 32);
    }
    const int groupW = buttonCount > 0 ? buttonW * buttonCount + gap * (buttonCount - 1) : 0;

    MessageLayout l;
    l.client = QSize(std::max(iconTextW, groupW) + 2 * marginX, iconTextH + buttonH + spacingY + 2 * marginY + hideExtra);
    if (hasIcon) l.icon = QRect(marginX, marginY, 32, 32);
    l.text = QRect(iconTextW - textSize.width() + marginX, marginY, textSize.width(), textSize.height());
    l.hideBox = QRect(l.text.left(), l.text.bottom() + 1 + spacingX, textSize.width(), 20);
    if (showHideBox && hideBoxWidth > l.hideBox.width()) {
        l.hideBox.setWidth(hideBoxWidth);
        l.client.setWidth(std::max(l.client.width(), l.hideBox.right() + 1 + marginX));
    }
    int x = (l.client.width() - groupW) / 2;
    const int y = iconTextH + marginY + spacingY + hideExtra;
    for (int i = 0; i < buttonCount; ++i, x += buttonW + gap) l.buttons.emplace_back(x, y, buttonW, buttonH);
    return l;
}

QPoint OwnerPlacement(const QRect& owner, QSize extent) {
    return {owner.left() + owner.width() / 2 - extent.width() / 2 - 40,
            owner.top() + owner.height() / 2 - extent.height() / 2 - 40};
}

bool OwnerServesForPlacement(bool visible, const QRect& owner, QSize screen) {
    if (visible) return true;
    return owner.top() + owner.height() <= screen.height() && owner.left() + owner.width() <= screen.width();
}

QPoint ClampToScreen(const QRect& box, const QRect& screen) {
    const int x = std::max(screen.left(), std::min(box.left(), screen.left() + screen.width() - box.width()));
    const int y = std::max(screen.top(), std::min(box.top(), screen.top() + screen.height() - box.height()));
    return {x, y};
}

// ---------------------------------------------------------------- building

TMessageForm* CreateMessageDialog(const QString& givenText, MessageKind kind, MessageButtons buttons,
                                  bool showHideBox) {
    auto* form = new TMessageForm(nullptr);
    form->setFont(QApplication::font("QMessageBox"));
    const QFontMetrics fm(form->font());
    const QRect screen = ScreenOf(nullptr);
    const int textWidth = std::max(1, screen.width() / 2);
    // Lines break at CR, LF and CR LF alike, wherever the text comes from.
    const QString text = BreakOverlongWords(NormalizeLineBreaks(givenText), fm, textWidth);
    QRect textRect = fm.boundingRect(QRect(0, 0, textWidth, 0), Qt::TextWordWrap | Qt::TextExpandTabs, text);
    textRect.setWidth(std::min(textRect.width(), textWidth));
    const KindRow& k = KindOf(kind);
    const MessageLayout layout = ComputeMessageLayout(textRect.size(), k.hasIcon, CountButtons(buttons), showHideBox,
                                                      UnitsOf(fm), form->HideMessage->sizeHint().width());

    form->setWindowTitle(k.caption ? ResourceText(k.caption) : ApplicationTitle());
    AddImageAndText(*form, k, text, layout);
    if (showHideBox) {
        form->HideMessage->setGeometry(layout.hideBox);
        form->HideMessage->setVisible(true);
    }
    AddButtons(*form, buttons, layout);
    form->SetDefaultButton(ChooseButton(*form, {"OK", "Yes", "Retry"}));
    form->SetCancelButton(ChooseButton(*form, {"Cancel", "No", "OK"}));
    form->setFixedSize(layout.client);
    form->move(screen.left() + screen.width() / 2 - layout.client.width() / 2,
               screen.top() + screen.height() / 2 - layout.client.height() / 2);
    return form;
}

namespace {

// The window a box belongs to: the owner given, else the window active when
// it shows, else the program's main form. A box with a window of its own is
// no window of the application for itself: closing it never counts as
// closing the application's last window, and it stays above its form.
QWidget* BoxParent(QWidget* owner) {
    if (!owner) owner = QApplication::activeWindow();
    if (!owner) owner = ApplicationMainForm();
    return owner ? owner->window() : nullptr;
}

int RunMessageDlg(const QString& text, MessageKind kind, MessageButtons buttons, int helpContext, int x, int y,
                  const QString& helpFileName, bool showHideBox, QWidget* owner) {
    QPointer<TMessageForm> form(CreateMessageDialog(text, kind, buttons, showHideBox));
    if (QWidget* parent = BoxParent(owner)) form->setParent(parent, form->windowFlags());
    // Freed here, or with its window if that goes while the box is open.
    const auto free = qScopeGuard([&form] { delete form.data(); });
    form->HelpContext = helpContext;
    form->HelpFile = helpFileName;
    QPoint pos = form->pos();
    if (x >= 0) pos.setX(x);
    if (y >= 0) pos.setY(y);
    // A box over an owner near the screen's edge would otherwise open out of
    // sight and the program would seem to hang.
    form->move(ClampToScreen(QRect(pos, form->size()), ScreenOf(form.data())));
    form->setWindowModality(Qt::ApplicationModal);
    const int result = form->exec();
    return form ? result : mr::Cancel;
}

}  // namespace

int MessageDlgPosHelpEx(const QString& text, MessageKind kind, MessageButtons buttons, int helpContext, int x,
                        int y, const QString& helpFileName, bool showHideBox) {
    return RunMessageDlg(text, kind, buttons, helpContext, x, y, helpFileName, showHideBox, nullptr);
}

int MessageDlgPosEx(const QString& text, MessageKind kind, MessageButtons buttons, int helpContext, int x, int y,
                    bool showHideBox) {
    return MessageDlgPosHelpEx(text, kind, buttons, helpContext, x, y, QString(), showHideBox);
}

int MessageDlgEx(const QString& text, MessageKind kind, MessageButtons buttons, int helpContext, bool showHideBox) {
    return MessageDlgPosEx(text, kind, buttons, helpContext, -1, -1, showHideBox);
}

int ExecuteMessageRequest(const MessageRequest& request) {
    QWidget* owner = PlacementOwner(request);
    if (!owner)
        return RunMessageDlg(request.text, request.kind, request.buttons, 0, -1, -1, QString(), request.showHideBox,
                             request.owner);
    const OwnerText t = MeasureForOwner(request.text, *owner);
    const QPoint p = OwnerPlacement(owner->frameGeometry(), t.extent);
    return RunMessageDlg(t.text, request.kind, request.buttons, 0, p.x(), p.y(), QString(), request.showHideBox, owner);
}

// ---------------------------------------------------------------- entries

int OwnerMessageDlg(QWidget* owner, const QString& text, MessageKind kind, MessageButtons buttons,
                    bool showHideBox) {
    MessageRequest r;
    r.owner = owner;
    r.text = text;
    r.kind = kind;
    r.buttons = buttons;
    r.showHideBox = showHideBox;
    return ShowMessage(r);
}

namespace {
constexpr MessageButtons kYesNo = mb::Yes | mb::No;
constexpr MessageButtons kYesNoAll = mb::Yes | mb::No | mb::All;
QWidget* Active() { return QApplication::activeWindow(); }
}  // namespace

int ErrorDlg(QWidget* o, const QString& t, MessageButtons b) { return OwnerMessageDlg(o, t, MessageKind::Error, b); }
int WarningDlg(QWidget* o, const QString& t, MessageButtons b) { return OwnerMessageDlg(o, t, MessageKind::Warning, b); }
int InformationDlg(QWidget* o, const QString& t, MessageButtons b) {
    return OwnerMessageDlg(o, t, MessageKind::Information, b);
}
int ConfirmationDlg(QWidget* o, const QString& t, MessageButtons b) {
    return OwnerMessageDlg(o, t, MessageKind::Confirmation, b);
}
int ErrorOk(QWidget* o, const QString& t) { return ErrorDlg(o, t, mb::OK); }
int WarningOk(QWidget* o, const QString& t) { return WarningDlg(o, t, mb::OK); }
int WarningYesNo(QWidget* o, const QString& t) { return WarningDlg(o, t, kYesNo); }
int InformationOk(QWidget* o, const QString& t) { return InformationDlg(o, t, mb::OK); }
int InformationYesNo(QWidget* o, const QString& t) { return InformationDlg(o, t, kYesNo); }
int ConfirmationYesNo(QWidget* o, const QString& t) { return ConfirmationDlg(o, t, kYesNo); }
int ConfirmationYesNoAll(QWidget* o, const QString& t) { return ConfirmationDlg(o, t, kYesNoAll); }
int ErrorOkActive(const QString& t) { return ErrorOk(Active(), t); }
int WarningOkActive(const QString& t) { return WarningOk(Active(), t); }
int WarningYesNoActive(const QString& t) { return WarningYesNo(Active(), t); }
int InformationOkActive(const QString& t) { return InformationOk(Active(), t); }
int InformationYesNoActive(const QString& t) { return InformationYesNo(Active(), t); }
int ConfirmationYesNoActive(const QString& t) { return ConfirmationYesNo(Active(), t); }
int ConfirmationYesNoAllActive(const QString& t) { return ConfirmationYesNoAll(Active(), t); }
