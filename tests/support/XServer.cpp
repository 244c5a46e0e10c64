#include "support/XServer.h"

#include <QProcess>
#include <QStringList>

QString StartXvfb(QProcess& xvfb, const QString& server, QString* why) {
    xvfb.start(server, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                        QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!xvfb.waitForStarted(5000)) {
        *why = QStringLiteral("Xvfb does not start");
        return {};
    }
    QByteArray number;
    for (int i = 0; i < 100 && !number.endsWith('\n'); ++i) {
        if (!xvfb.waitForReadyRead(200) && xvfb.state() != QProcess::Running) break;
        number += xvfb.readAllStandardOutput();
    }
    if (number.trimmed().isEmpty()) {
        *why = QStringLiteral("Xvfb named no display within 20 s");
        return {};
    }
    return QStringLiteral(":") + QString::fromLatin1(number.trimmed());
}

void StopXvfb(QProcess& xvfb) {
    if (xvfb.state() == QProcess::NotRunning) return;
    xvfb.terminate();
    if (!xvfb.waitForFinished(5000)) {
        xvfb.kill();
        xvfb.waitForFinished(5000);
    }
}
