#pragma once
// The program's message boxes: one central routine that places a box of a
// kind with a set of buttons over an owner form, and thin entry routines
// that fix the kind and the buttons. Every box passes the message seam.
#include "messages/MessageSeam.h"

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;

// The box itself, built at run time by CreateMessageDialog.
class TMessageForm : public QDialog {
    Q_OBJECT
public:
    explicit TMessageForm(QWidget* parent = nullptr);

    QCheckBox* HideMessage = nullptr;
    int HelpContext = 0;
    QString HelpFile;

    QPushButton* Button(const QString& name) const;
    QPushButton* DefaultButton() const { return m_default; }
    QPushButton* CancelButton() const { return m_cancel; }
    void SetDefaultButton(QPushButton* button);
    void SetCancelButton(QPushButton* button) { m_cancel = button; }

    // A ticked HideMessage raises every result by HiddenResultOffset.
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Reached through the window's close control: the result is Cancel's.
    void reject() override;

private:
    QPushButton* m_default = nullptr;
    QPushButton* m_cancel = nullptr;
};

// Layout of a box in pixels, from the dialog units of its font.
struct DialogUnits {
    int averageWidth = 0;
    int averageHeight = 0;
    int Horizontal(int units) const;
    int Vertical(int units) const;
};

struct MessageLayout {
    QSize client;
    QRect icon;
    QRect text;
    QRect hideBox;
    std::vector<QRect> buttons;
};

// hideBoxWidth: the width the check box's own text needs; the box widens
// rather than cut it off.
MessageLayout ComputeMessageLayout(QSize textSize, bool hasIcon, int buttonCount, bool showHideBox,
                                   const DialogUnits& units, int hideBoxWidth = 0);

// The top-left corner of a box over its owner, from the extent of the text
// in the owner's font.
QPoint OwnerPlacement(const QRect& owner, QSize textExtent);
// Whether an owner still serves for placement.
bool OwnerServesForPlacement(bool visible, const QRect& owner, QSize screen);
// Moves a box so that it lies wholly on the screen (left/top edge wins when
// the box is larger than the screen).
QPoint ClampToScreen(const QRect& box, const QRect& screen);

TMessageForm* CreateMessageDialog(const QString& text, MessageKind kind, MessageButtons buttons,
                                  bool showHideBox);
int MessageDlgPosHelpEx(const QString& text, MessageKind kind, MessageButtons buttons, int helpContext, int x,
                        int y, const QString& helpFileName, bool showHideBox);
int MessageDlgPosEx(const QString& text, MessageKind kind, MessageButtons buttons, int helpContext, int x, int y,
                    bool showHideBox);
int MessageDlgEx(const QString& text, MessageKind kind, MessageButtons buttons, int helpContext,
                 bool showHideBox);

// Shows a request as a real box (the work of the Qt message seam).
int ExecuteMessageRequest(const MessageRequest& request);

int OwnerMessageDlg(QWidget* owner, const QString& text, MessageKind kind, MessageButtons buttons,
                    bool showHideBox = false);

int ErrorDlg(QWidget* owner, const QString& text, MessageButtons buttons);
int WarningDlg(QWidget* owner, const QString& text, MessageButtons buttons);
int InformationDlg(QWidget* owner, const QString& text, MessageButtons buttons);
int ConfirmationDlg(QWidget* owner, const QString& text, MessageButtons buttons);
int ErrorOk(QWidget* owner, const QString& text);
int WarningOk(QWidget* owner, const QString& text);
int WarningYesNo(QWidget* owner, const QString& text);
int InformationOk(QWidget* owner, const QString& text);
int InformationYesNo(QWidget* owner, const QString& text);
int ConfirmationYesNo(QWidget* owner, const QString& text);
int ConfirmationYesNoAll(QWidget* owner, const QString& text);
// These take the active window as owner, for callers that hold no form.
int ErrorOkActive(const QString& text);
int WarningOkActive(const QString& text);
int WarningYesNoActive(const QString& text);
int InformationOkActive(const QString& text);
int InformationYesNoActive(const QString& text);
int ConfirmationYesNoActive(const QString& text);
int ConfirmationYesNoAllActive(const QString& text);
