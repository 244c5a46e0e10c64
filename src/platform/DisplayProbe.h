#pragma once
// Whether a display server answers at all. The window system's own
// connection waits for the server's first answer without a bound: a server
// (or anything listening on its socket) that accepts the connection and
// never answers would keep the program waiting for ever. The probe opens a
// connection of its own, sends the protocol's first request and waits a
// bounded time for any answer.
#include <QByteArray>
#include <QString>

// How long a display server may take to answer its first request.
inline constexpr int DisplayAnswerWaitMs = 5000;

enum class DisplayAnswer {
    Answered,    // the server answered (or closed the connection): it is there
    Silent,      // connected, but no answer within the bound
    NotReached,  // no connection (no such display, refused, a name the probe does not know): the
                 // window system finds out for itself, at once
};

// An X11 display as DISPLAY names it (":N", "host:N", "unix:N", a socket
// path, with an optional ".screen").
DisplayAnswer ProbeX11Display(const QByteArray& display, int waitMs = DisplayAnswerWaitMs);
// A Wayland display as WAYLAND_DISPLAY names it (a socket name in
// XDG_RUNTIME_DIR, or a path); empty: "wayland-0".
DisplayAnswer ProbeWaylandDisplay(const QByteArray& display, int waitMs = DisplayAnswerWaitMs);
