// Grabs a shown widget to a PNG file for the screenshot tools.
#pragma once

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QString>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <cstdio>

namespace korva_tools {

// Waits (bounded) until the window is exposed: a grab before then paints
// an empty frame under some platform plugins.
inline bool SaveWidgetShot(QWidget& w, const QDir& out, const QString& name) {
    w.show();
    for (int i = 0; i < 100 && !(w.windowHandle() && w.windowHandle()->isExposed()); ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    QApplication::processEvents();
    const QString path = out.filePath(name);
    const bool ok = w.grab().save(path, "PNG");
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

}  // namespace korva_tools
