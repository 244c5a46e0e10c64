#pragma once
// Helpers shared by the tests.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh temporary directory for one test, removed afterwards.
class TestDir {
public:
    TestDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    bool isValid() const { return m_dir.isValid(); }

private:
    QTemporaryDir m_dir;
};

// The process runs in another time zone until this goes out of scope, so a
// test can see that a time shown is the file's own and not the local one.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    QByteArray m_was;
    bool m_had;
};
