#pragma once
// An X server of a test's own (Xvfb), for tests that drive the real program
// on a real display.
#include <QString>

class QProcess;

// Starts `server` on a display it picks itself; it names the display on
// standard output once it accepts connections. The display (":N"), or an
// empty text with the reason in `why`.
QString StartXvfb(QProcess& xvfb, const QString& server, QString* why);
// Ends a server StartXvfb started, by force when it does not end itself.
void StopXvfb(QProcess& xvfb);
