#include "platform/DirectoryNames.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

QList<QByteArray> NamesInDirectory(int dirFd, bool (*wanted)(const QByteArray& name)) {
    QList<QByteArray> names;
    const int listFd = ::fcntl(dirFd, F_DUPFD_CLOEXEC, 0);
    if (listFd < 0) return names;
    // Once the listing has taken the copy, closedir closes it; a copy it
    // refused (no directory) is still ours to close.
    DIR* d = ::fdopendir(listFd);
    if (!d) {
        ::close(listFd);
        return names;
    }
    // The copy shares dirFd's position, which an earlier reading may have
    // moved on.
    ::rewinddir(d);
    while (const dirent* e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (wanted(name)) names << name;
    }
    ::closedir(d);
    return names;
}
