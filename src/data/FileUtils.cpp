#include "data/FileUtils.h"

#include "platform/FaultInjection.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

bool LExists(const QString& path, struct stat* st) { return ::lstat(Native(path).constData(), st) == 0; }

// Removes one entry of the directory, clearing a missing write permission
// first (the counterpart of the read-only attribute).
void RemoveEntry(const QString& dir, const QString& name) {
    const QString path = dir + name;
    struct stat st {};
    if (!LExists(path, &st))
        return;
    if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0
        && ::chmod(Native(path).constData(), (st.st_mode & 07777) | S_IWUSR) != 0)
        throw EGeneralError(
            QStringLiteral("RemoveDirWithFiles: \rCan not change attributes of the file %1 in the directory  %2")
                .arg(name, dir));
    if (::unlink(Native(path).constData()) != 0)
        throw EGeneralError(
            QStringLiteral("RemoveDirWithFiles: \rCan not delete the file %1 in the directory  %2").arg(name, dir));
    RemovalStepForFault();
}

// Every entry of the directory that is not itself a directory; symbolic
// links are taken as links and never followed.
QStringList FileEntries(const QString& dir) {
    QStringList names;
    DIR* d = ::opendir(Native(dir).constData());
    if (!d)
        return names;
    while (dirent* e = ::readdir(d)) {
        const QString name = QFile::decodeName(e->d_name);
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        struct stat st {};
        if (LExists(dir + name, &st) && !S_ISDIR(st.st_mode))
            names << name;
    }
    ::closedir(d);
    return names;
}

}  // namespace

QString GetTempDir() {
    const QString dir = QDir::tempPath();
    struct stat st {};
    if (dir.isEmpty() || ::stat(Native(dir).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        throw EGeneralError(QStringLiteral("GetTempPath Errorcode : %1").arg(dir.isEmpty() ? ENOENT : errno));
    return AddBackslash(dir);
}

QString GetUniqueTempName() {
    QByteArray templ = Native(GetTempDir() + QStringLiteral("KORVAXXXXXX"));
    const int fd = ::mkstemp(templ.data());
    if (fd < 0)
        throw EGeneralError(QStringLiteral("GetTempFileName BDE configuration errorErrorcode : %1").arg(errno));
    ::close(fd);
    return QFile::decodeName(templ);
}

QString ZoCreateUniqueTempPath() {
    const QString name = GetUniqueTempName();
    ::unlink(Native(name).constData());
    struct stat st {};
    const auto fail = [&name](const char* what) {
        throw EGeneralError(QStringLiteral("ZoCreateUniqueTempPath: \rCan not create directory %1, because %2 with name %1 exists")
                                .arg(name, QLatin1String(what)));
    };
    if (LExists(name, &st))
        fail(S_ISDIR(st.st_mode) ? "directory" : "file");
    // mkdir is atomic: should anyone have put something under the name since
    // the unlink, it fails instead of adopting that entry.
    if (::mkdir(Native(name).constData(), 0700) != 0) {
        if (errno == EEXIST)
            fail("directory");
        throw EGeneralError(QStringLiteral("ZoCreateUniqueTempPath: \rCan not create directory %1 (error %2)")
                                .arg(name).arg(errno));
    }
    ::chmod(Native(name).constData(), 0700);  // whatever the umask
    return name;
}

bool RemoveDirWithFiles(const QString& directory) {
    const QString dir = AddBackslash(directory);
    for (const QString& name : FileEntries(dir))
        RemoveEntry(dir, name);
    if (::rmdir(Native(dir).constData()) != 0)
        throw EGeneralError(QStringLiteral("RemoveDirWithFiles: \rCan not delete the directory  %1").arg(dir));
    return true;
}

QString AddBackslash(const QString& path) {
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}
