#pragma once
// Helpers shared by the tests.
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
