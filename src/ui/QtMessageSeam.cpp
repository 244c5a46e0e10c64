#include "ui/QtMessageSeam.h"

#include "localisation/IvDictio.h"
#include "messages/MessageSeam.h"
#include "ui/ApplicationForms.h"
#include "ui/ZO_MsgDlgBoxs.h"

#include <QGuiApplication>
#include <cstdio>
#include <memory>

namespace {

bool HasDisplay() {
    const QString platform = QGuiApplication::platformName();
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && platform != QLatin1String("offscreen") &&
           platform != QLatin1String("minimal");
}

class QtMessageSeam : public MessageSeam {
public:
    int Show(const MessageRequest& request) override {
        if (!request.plainSystemBox) return ExecuteMessageRequest(request);
        const QByteArray text = NormalizeLineBreaks(request.text).toLocal8Bit();
        std::fprintf(stderr, "%s\n", text.constData());
        std::fflush(stderr);
        if (!HasDisplay()) return DefaultResult(request.buttons);
        std::unique_ptr<TMessageForm> box(CreateMessageDialog(request.text, request.kind, request.buttons, false));
        if (!request.caption.isEmpty()) box->setWindowTitle(request.caption);
        return box->exec();
    }
};

QtMessageSeam g_seam;

}  // namespace

void InstallQtMessageSeam() {
    SetMessageSeam(&g_seam);
    // Exceptions that reach the event loop are shown as error boxes too.
    IvErrorBox() = [](const QString& text) { ErrorOkActive(text); };
    // The localisation library's dialogs open the application's help as
    // the message boxes do.
    IvApplicationHelp() = [](QWidget* owner, int helpContext) { ShowApplicationHelp(owner, helpContext); };
}
