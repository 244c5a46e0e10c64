#include "messages/MessageSeam.h"

#include <cstdio>

namespace {

class ConsoleSeam : public MessageSeam {
public:
    int Show(const MessageRequest& request) override {
        const QByteArray text = NormalizeLineBreaks(request.text).toLocal8Bit();
        std::fprintf(stderr, "%s\n", text.constData());
        std::fflush(stderr);
        return DefaultResult(request.buttons);
    }
};

ConsoleSeam g_console;
MessageSeam* g_seam = nullptr;
bool g_unattended = false;

}  // namespace

int DefaultResult(MessageButtons buttons) {
    if (buttons & mb::OK) return mr::OK;
    if (buttons & mb::Yes) return mr::Yes;
    if (buttons & mb::Retry) return mr::Retry;
    return mr::Cancel;
}

int CancelResult(MessageButtons buttons) {
    if (buttons & mb::Cancel) return mr::Cancel;
    if (buttons & mb::No) return mr::No;
    if (buttons & mb::OK) return mr::OK;
    return mr::Cancel;
}

MessageSeam& CurrentMessageSeam() { return g_seam ? *g_seam : g_console; }

void SetMessageSeam(MessageSeam* seam) { g_seam = seam; }

QString NormalizeLineBreaks(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    return out;
}

void SetUnattended(bool unattended) { g_unattended = unattended; }

bool Unattended() { return g_unattended; }

int ShowMessage(const MessageRequest& request) {
    if (g_unattended && !dynamic_cast<ScriptedMessageSeam*>(g_seam)) return g_console.Show(request);
    return CurrentMessageSeam().Show(request);
}

void ShowSystemMessage(const QString& text, const QString& caption) {
    MessageRequest r;
    r.text = text;
    r.caption = caption;
    r.kind = MessageKind::Custom;
    r.buttons = mb::OK;
    r.plainSystemBox = true;
    ShowMessage(r);
}

ScriptedMessageSeam::ScriptedMessageSeam() : m_previous(g_seam) { SetMessageSeam(this); }

ScriptedMessageSeam::~ScriptedMessageSeam() { SetMessageSeam(m_previous); }

int ScriptedMessageSeam::Show(const MessageRequest& request) {
    m_requests.push_back(request);
    if (m_answers.empty()) return DefaultResult(request.buttons);
    int a = m_answers.front();
    m_answers.pop_front();
    return a;
}

QStringList ScriptedMessageSeam::Texts() const {
    QStringList out;
    for (const auto& r : m_requests) out << r.text;
    return out;
}
