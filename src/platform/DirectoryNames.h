#pragma once
// The names a directory holds, read through a descriptor the caller keeps
// for what follows the listing (its lock, the *at calls on the names).
#include <QByteArray>
#include <QList>

// The names in the directory open as dirFd that `wanted` accepts, in the
// order the directory gives them; none when it cannot be listed. The
// listing reads a copy of dirFd from the directory's start: dirFd stays
// open and its lock held. The copy is closed on exec like the original, so
// that a process another thread starts meanwhile inherits no directory,
// and it is closed again however the listing ends.
QList<QByteArray> NamesInDirectory(int dirFd, bool (*wanted)(const QByteArray& name));
