#pragma once
// Temporary folder, unique working directories, removal of a directory with
// its files, and the trailing-separator rule for paths.
#include <QString>
#include <stdexcept>

// The general error of the file utilities and of the data modules' start-up
// checks: a message text, shown to the user as it stands.
class EGeneralError : public std::runtime_error {
public:
    explicit EGeneralError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString Message() const { return m_message; }

private:
    QString m_message;
};

// The system's temporary folder with a trailing separator ($TMPDIR or /tmp).
QString GetTempDir();

// A new, empty file with a unique name ("KORVA" + random part) in the
// temporary folder, created with mode 0600; returns its path.
QString GetUniqueTempName();

// A new, empty, uniquely named directory in the temporary folder, readable
// and writable only by the current user (mode 0700).
QString ZoCreateUniqueTempPath();

// Deletes every file of the directory (not its subdirectories), then the
// directory itself. Raises EGeneralError when a step fails.
bool RemoveDirWithFiles(const QString& directory);

// The path with a trailing "/", unless it is empty or already ends with
// one. A backslash is a character of a name here, not a separator: a
// directory whose name ends in one gets its "/" like any other, so that a
// name appended lands inside it, not beside it.
QString AddBackslash(const QString& path);
