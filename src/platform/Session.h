#pragma once
// The database session: aliases (read from the alias file that stands in for
// the engine's configuration, plus those added at run time), the private
// directory, table passwords and the databases in use.
//
// Alias file: $KORVA_ALIAS_FILE, else <user config dir>/ZORBEL/korva-aliases.ini.
//   [KORVA_9_0]
//   PATH=/srv/korva/catalogue
#include <QMap>
#include <QString>
#include <QStringList>

class TDatabase;

enum TConfigMode { cmPersistent, cmSession, cmAll };

class TSession {
public:
    static TSession& Default();
    ~TSession();

    QString AliasFile() const;
    void ReloadAliases();
    bool IsAlias(const QString& name) const;
    QStringList AliasNames() const;
    // The alias's parameters as "NAME=value" lines ("PATH=/dir/").
    QStringList GetAliasParams(const QString& name) const;
    // The PATH of an alias with a trailing '/'; raises dbeAliasUnknown.
    QString AliasPath(const QString& name) const;
    void AddStandardAlias(const QString& name, const QString& path, const QString& driver = "PARADOX");
    void AddAlias(const QString& name, const QString& driver, const QStringList& params);
    void DeleteAlias(const QString& name);
    // Writes the persistent aliases back to the alias file.
    void SaveConfigFile();
    void SetConfigMode(TConfigMode mode) { m_configMode = mode; }
    TConfigMode ConfigMode() const { return m_configMode; }

    // Raises EDBEngineError(dbeIo) when the directory does not exist or is
    // not writable; empty resets it.
    void SetPrivateDir(const QString& dir);
    QString PrivateDir() const { return m_privateDir; }

    // Table passwords are kept; the table files are not encrypted.
    void AddPassword(const QString& password);
    QStringList Passwords() const { return m_passwords; }

    // Databases: by registered name, else by alias, else the name is taken
    // as a directory. Implicit databases are created on first use.
    TDatabase* FindDatabase(const QString& name) const;
    TDatabase& OpenDatabase(const QString& nameAliasOrDir);
    QString ResolveDirectory(const QString& nameAliasOrDir) const;
    void DropConnections();
    void Close();

    // Used by TDatabase.
    void RegisterDatabase(TDatabase* db);
    void UnregisterDatabase(TDatabase* db);

private:
    TSession();
    struct Alias {
        QString driver;
        QStringList params;
        bool persistent = false;
    };
    void EnsureAliases() const;
    mutable bool m_loaded = false;
    mutable QMap<QString, Alias> m_aliases;  // upper-case name -> alias
    mutable QMap<QString, QString> m_aliasCase;
    TConfigMode m_configMode = cmPersistent;
    QString m_privateDir;
    QStringList m_passwords;
    QList<TDatabase*> m_databases;
    QList<TDatabase*> m_implicit;
};

// The value of one parameter ("PATH") in an alias's "NAME=value" lines: the
// last line whose name is exactly the key (any case); empty when none.
QString AliasParamValue(const QStringList& params, const QString& key);

inline TSession& Session() { return TSession::Default(); }
