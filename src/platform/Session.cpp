#include "platform/Session.h"

#include "platform/Database.h"
#include "platform/DbErrors.h"
#include "platform/IniReader.h"
#include "platform/RunDirectory.h"
#include "platform/TableFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <utility>

QString AliasParamValue(const QStringList& params, const QString& key) {
    QString value;
    for (const QString& line : params) {
        const qsizetype eq = line.indexOf('=');
        if (eq >= 0 && line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0) value = line.mid(eq + 1);
    }
    return value;
}

namespace {
// The reader trims a value and takes off one pair of quotes round it; a
// value that either would change is written inside quotes.
QString IniValueAsWritten(const QString& value) {
    const bool quoted = value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
                        value.back() == value.front();
    return value != value.trimmed() || quoted ? '"' + value + '"' : value;
}
}  // namespace

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
    // The project's own INI rules: a value is taken as it stands (commas and
    // semicolons are part of a path), and keys are matched whole.
    const TIniReader ini(file, true);
    if (!ini.Error().isEmpty())
        throw EDBEngineError(dbeIo, QString("Alias file cannot be read: %1").arg(ini.Error()));
    for (const QString& group : ini.Sections()) {
        Alias a;
        a.persistent = true;
        a.driver = ini.ReadString(group, "TYPE", "PARADOX");
        for (const QString& key : ini.Keys(group))
            if (key.compare("TYPE", Qt::CaseInsensitive) != 0)
                a.params << key.toUpper() + '=' + ini.ReadString(group, key, QString());
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
    return NormalizedDirectory(AliasParamValue(GetAliasParams(name), "PATH"));
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
    // Written in the form the reader takes back as it stands.
    QStringList lines;
    for (auto it = m_aliases.cbegin(); it != m_aliases.cend(); ++it) {
        if (!it->persistent) continue;
        lines << '[' + m_aliasCase.value(it.key(), it.key()) + ']' << "TYPE=" + it->driver;
        for (const QString& p : it->params) lines << p.section('=', 0, 0) + '=' + IniValueAsWritten(p.section('=', 1));
        lines << QString();
    }
    QDir().mkpath(QFileInfo(AliasFile()).absolutePath());
    QSaveFile out(AliasFile());
    if (!out.open(QIODevice::WriteOnly) || out.write(lines.join('\n').toUtf8()) < 0 || !out.commit())
        throw EDBEngineError(dbeIo, QString("Alias file cannot be written: %1").arg(AliasFile()));
}

void TSession::SetPrivateDir(const QString& dir) {
    if (dir.isEmpty()) {
        m_privateDir.clear();
        RegisterRunDirectory(QString());
        return;
    }
    const QFileInfo fi(dir);
    if (!fi.isDir()) throw EDBEngineError(dbeIo, QString("Directory does not exist: %1").arg(dir));
    QTemporaryFile probe(QDir(dir).filePath("korva-probe-XXXXXX"));
    if (!probe.open()) throw EDBEngineError(dbeIo, QString("Directory is not writable: %1").arg(dir));
    m_privateDir = NormalizedDirectory(dir);
    RegisterRunDirectory(dir);
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
