#pragma once
// The one seam through which every message box of the program passes. The
// real implementation shows the box; tests install a scripted seam that
// records each request and answers from a script.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <vector>

class QWidget;

enum class MessageKind : uint8_t { Warning = 0, Error = 1, Information = 2, Confirmation = 3, Custom = 4 };

// Bit n stands for the button in row n of the message box's button table.
using MessageButtons = uint16_t;
namespace mb {
constexpr MessageButtons Yes = 1 << 0;
constexpr MessageButtons No = 1 << 1;
constexpr MessageButtons OK = 1 << 2;
constexpr MessageButtons Cancel = 1 << 3;
constexpr MessageButtons Abort = 1 << 4;
constexpr MessageButtons Retry = 1 << 5;
constexpr MessageButtons Ignore = 1 << 6;
constexpr MessageButtons All = 1 << 7;
constexpr MessageButtons NoToAll = 1 << 8;
constexpr MessageButtons YesToAll = 1 << 9;
constexpr MessageButtons Help = 1 << 10;
}  // namespace mb

// Modal results of the buttons.
namespace mr {
constexpr int None = 0, OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7, All = 8,
              NoToAll = 9, YesToAll = 10;
}

constexpr int HiddenResultOffset = 1000;

struct MessageRequest {
    QWidget* owner = nullptr;
    // Without an owner: place the box over the window active when it is
    // shown (the data model's and the engine's boxes, which hold no form).
    bool ownerIsActiveWindow = false;
    QString text;
    MessageKind kind = MessageKind::Information;
    MessageButtons buttons = mb::OK;
    bool showHideBox = false;
    // The start modes' plain system box: text on standard error, a box only
    // where a display exists.
    bool plainSystemBox = false;
    QString caption;
};

// The default and the cancel result of a button set, as the box chooses them.
int DefaultResult(MessageButtons buttons);
int CancelResult(MessageButtons buttons);

class MessageSeam {
public:
    virtual ~MessageSeam() = default;
    virtual int Show(const MessageRequest& request) = 0;
};

// The seam in use. Without an installed seam, boxes go to standard error and
// count as answered with their default button.
MessageSeam& CurrentMessageSeam();
// Installs a seam (not owned); nullptr restores the default.
void SetMessageSeam(MessageSeam* seam);

// An unattended run (no display: the host started the program in the
// background) never waits for a box nobody can see: boxes go to standard
// error and count as answered by their default button.
void SetUnattended(bool unattended);
bool Unattended();

// Shows a request through the current seam.
int ShowMessage(const MessageRequest& request);

// The text with every line break (CR, LF, CR LF) as one LF: what a box
// label and a terminal show as separate lines.
QString NormalizeLineBreaks(const QString& text);

// The plain system message box of the start modes.
void ShowSystemMessage(const QString& text, const QString& caption = {});

// A seam for tests: answers from a queue (the default result when empty) and
// records every request. Installs itself while it lives.
class ScriptedMessageSeam : public MessageSeam {
public:
    ScriptedMessageSeam();
    ~ScriptedMessageSeam() override;
    int Show(const MessageRequest& request) override;
    void Answer(int result) { m_answers.push_back(result); }
    const std::vector<MessageRequest>& Requests() const { return m_requests; }
    QStringList Texts() const;
    void Clear() { m_requests.clear(); m_answers.clear(); }

private:
    MessageSeam* m_previous;
    std::deque<int> m_answers;
    std::vector<MessageRequest> m_requests;
};
