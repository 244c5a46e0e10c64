#pragma once
// The registry, kept in QSettings (organisation "ZORBEL", application
// "KORVA_9_0"). Keys are written as in the registry
// ("\SOFTWARE\ZORBEL\KORVA_9_0\Options"); the product prefix is dropped.
// Key and value names are matched without regard to case.
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

enum class TRootKey { CurrentUser, LocalMachine };

class TRegistry {
public:
    explicit TRegistry(TRootKey root = TRootKey::CurrentUser);
    ~TRegistry();

    void SetRootKey(TRootKey root);
    bool OpenKey(const QString& key, bool canCreate);
    bool OpenKeyReadOnly(const QString& key) { return OpenKey(key, false); }
    void CloseKey();
    bool KeyExists(const QString& key) const;
    QString CurrentPath() const { return m_group; }

    bool ValueExists(const QString& name) const;
    QStringList GetValueNames() const;
    bool DeleteValue(const QString& name);
    bool DeleteKey(const QString& key);

    QString ReadString(const QString& name) const;   // "" when missing
    int ReadInteger(const QString& name) const;      // raises when missing or not a number
    bool ReadBool(const QString& name) const;        // raises when missing
    double ReadFloat(const QString& name) const;
    QVariant ReadValue(const QString& name, const QVariant& dflt = {}) const;

    void WriteString(const QString& name, const QString& v);
    void WriteInteger(const QString& name, int v);
    void WriteBool(const QString& name, bool v);
    void WriteFloat(const QString& name, double v);

    // The QSettings of a root: the user's, or the machine-wide (system) scope.
    static std::unique_ptr<QSettings> Settings(TRootKey root);

private:
    QString ActualValueName(const QString& name) const;
    QString ActualGroup(const QString& key) const;
    TRootKey m_root;
    std::unique_ptr<QSettings> m_settings;
    QString m_group;
    bool m_open = false;
};

// Thrown by the Read* routines for a missing value or a wrong type.
class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
