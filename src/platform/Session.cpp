#include "platform/Session.h"

#include "platform/Database.h"
#include "platform/DbErrors.h"
#include "platform/TableFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <utility>

TSession& TSession::Default() {
    static TSession session;
    return session;
}

TSession::TSession() = default;

// The databases the session made for directories end with it.
TSession::~TSession() { Close(); }

QString TSession::AliasFile() const {
    const QByteArray env = qgetenv("KORVA_ALIAS_FILE");
    if (!env.isEmpty()) return QString::fromLocal8Bit(env);
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/ZORBEL/korva-aliases.ini";
}

void TSession::EnsureAliases() const {
    if (m_loaded) return;
    m_loaded = true;
    const QString file = AliasFile();
    if (!QFileInfo::exists(file)) return;
    QSettings ini(file, QSettings::IniFormat);
    for (const QString& group : ini.childGroups()) {
        ini.beginGroup(group);
        Alias a;
        a.persistent = true;
        a.driver = ini.value("TYPE", "PARADOX").toString();
        for (const QString& key : ini.childKeys())
            if (key.compare("TYPE", Qt::CaseInsensitive) != 0) a.params << key.toUpper() + '=' + ini.value(key).toString();
        ini.endGroup();
        m_aliases.insert(group.toUpper(), a);
        m_aliasCase.insert(group.toUpper(), group);
    }
}

void TSession::ReloadAliases() {
    QMap<QString, Alias> runtime;
    for (auto it = m_aliases.cbegin(); it != m_aliases.cend(); ++it)
        if (!it->persistent) runtime.insert(it.key(), *it);
    m_aliases.clear();
    m_loaded = false;
    EnsureAliases();
    for (auto it = runtime.cbegin(); it != runtime.cend(); ++it) m_aliases.insert(it.key(), *it);
}

bool TSession::IsAlias(const QString& name) const {
    EnsureAliases();
    return m_aliases.contains(name.toUpper());
}

QStringList TSession::AliasNames() const {
    EnsureAliases();
    QStringList out;
    for (const auto& k : m_aliases.keys()) out << m_aliasCase.value(k, k);
    return out;
}

QStringList TSession::GetAliasParams(const QString& name) const {
    EnsureAliases();
    auto it = m_aliases.constFind(name.toUpper());
    if (it == m_aliases.cend()) throw EDBEngineError(dbeAliasUnknown, QString("Unknown database alias: %1").arg(name));
    return it->params;
}

QString TSession::AliasPath(const QString& name) const {
    QString path;
    for (const QString& line : GetAliasParams(name))
        if (line.startsWith("PATH", Qt::CaseInsensitive)) path = line.mid(5);
    return NormalizedDirectory(path);
}

void TSession::AddStandardAlias(const QString& name, const QString& path, const QString& driver) {
    AddAlias(name, driver, {"PATH=" + path});
}

void TSession::AddAlias(const QString& name, const QString& driver, const QStringList& params) {
    EnsureAliases();
    if (m_aliases.contains(name.toUpper()))
        throw EDBEngineError(dbeInvalidOperation, QString("Alias already exists: %1").arg(name));
    Alias a;
    a.driver = driver;
    a.params = params;
    a.persistent = m_configMode == cmPersistent;
    m_aliases.insert(name.toUpper(), a);
    m_aliasCase.insert(name.toUpper(), name);
}

void TSession::DeleteAlias(const QString& name) {
    EnsureAliases();
    m_aliases.remove(name.toUpper());
    m_aliasCase.remove(name.toUpper());
}

void TSession::SaveConfigFile() {
    EnsureAliases();
    QSettings ini(AliasFile(), QSettings::IniFormat);
    ini.clear();
    for (auto it = m_aliases.cbegin(); it != m_aliases.cend(); ++it) {
        if (!it->persistent) continue;
        ini.beginGroup(m_aliasCase.value(it.key(), it.key()));
        ini.setValue("TYPE", it->driver);
        for (const QString& p : it->params) ini.setValue(p.section('=', 0, 0), p.section('=', 1));
        ini.endGroup();
    }
    ini.sync();
}

void TSession::SetPrivateDir(const QString& dir) {
    if (dir.isEmpty()) {
        m_privateDir.clear();
        return;
    }
    const QFileInfo fi(dir);
    if (!fi.isDir()) throw EDBEngineError(dbeIo, QString("Directory does not exist: %1").arg(dir));
    QTemporaryFile probe(QDir(dir).filePath("korva-probe-XXXXXX"));
    if (!probe.open()) throw EDBEngineError(dbeIo, QString("Directory is not writable: %1").arg(dir));
    m_privateDir = NormalizedDirectory(dir);
}

void TSession::AddPassword(const QString& password) {
    if (!m_passwords.contains(password)) m_passwords << password;
}

TDatabase* TSession::FindDatabase(const QString& name) const {
    for (TDatabase* db : m_databases)
        if (!db->DatabaseName().isEmpty() && db->DatabaseName().compare(name, Qt::CaseInsensitive) == 0) return db;
    return nullptr;
}

QString TSession::ResolveDirectory(const QString& nameAliasOrDir) const {
    if (TDatabase* db = FindDatabase(nameAliasOrDir)) return db->Directory();
    if (IsAlias(nameAliasOrDir)) return AliasPath(nameAliasOrDir);
    return NormalizedDirectory(nameAliasOrDir.isEmpty() ? QDir::currentPath() : nameAliasOrDir);
}

TDatabase& TSession::OpenDatabase(const QString& nameAliasOrDir) {
    if (TDatabase* db = FindDatabase(nameAliasOrDir)) return *db;
    const QString dir = ResolveDirectory(nameAliasOrDir);
    for (TDatabase* db : m_databases)
        if (db->Directory() == dir) return *db;
    for (TDatabase* db : m_implicit)
        if (db->Directory() == dir) return *db;
    auto* db = new TDatabase();
    db->SetDirectory(dir);
    m_implicit << db;
    return *db;
}

void TSession::DropConnections() {
    for (TDatabase* db : m_implicit) {
        if (db->InTransaction()) continue;
        db->Close();
    }
}

void TSession::Close() {
    DropConnections();
    // Each database unregisters itself as it goes, so delete from a copy.
    const QList<TDatabase*> implicit = std::exchange(m_implicit, {});
    qDeleteAll(implicit);
}

void TSession::RegisterDatabase(TDatabase* db) {
    if (!m_databases.contains(db)) m_databases << db;
}

void TSession::UnregisterDatabase(TDatabase* db) {
    m_databases.removeAll(db);
    m_implicit.removeAll(db);
}
