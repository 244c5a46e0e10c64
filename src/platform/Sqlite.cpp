#include "platform/Sqlite.h"

#include "platform/DbErrors.h"
#include "platform/FaultInjection.h"

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QUrl>

#include <fcntl.h>
#include <string>
#include <unordered_map>

[[noreturn]] void ThrowSqlite(sqlite3* db, int rc, const QString& context) {
    const int primary = rc & 0xff;
    QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    int code = dbeSqlError;
    if (primary == SQLITE_CONSTRAINT) {
        code = dbeKeyViolation;
        msg = "Key violation: " + msg;
    } else if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
        code = dbeLocked;
        msg += QStringLiteral(" (another program is writing the file; waited %1 seconds)").arg(BusyTimeoutMs / 1000);
    } else if (primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN || primary == SQLITE_READONLY ||
               primary == SQLITE_FULL || primary == SQLITE_PERM) {
        code = dbeIo;
        if (primary == SQLITE_READONLY) msg += QStringLiteral(" (the file or its directory may not be written)");
        if (primary == SQLITE_FULL) msg += QStringLiteral(" (no space left on the file system)");
    } else if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) {
        code = dbeCorrupt;
    }
    throw EDBEngineError(code, context.isEmpty() ? msg : context + ": " + msg);
}

QString QuoteIdent(const QString& name) {
    QString n = name;
    n.replace('"', "\"\"");
    return '"' + n + '"';
}

Stmt::Stmt(sqlite3* db, const QString& sql) { Prepare(db, sql); }

Stmt::~Stmt() {
    if (m_stmt) sqlite3_finalize(m_stmt);
}

Stmt::Stmt(Stmt&& o) noexcept : m_db(o.m_db), m_stmt(o.m_stmt), m_sql(std::move(o.m_sql)) { o.m_stmt = nullptr; }

Stmt& Stmt::operator=(Stmt&& o) noexcept {
    if (this != &o) {
        if (m_stmt) sqlite3_finalize(m_stmt);
        m_db = o.m_db;
        m_stmt = o.m_stmt;
        m_sql = std::move(o.m_sql);
        o.m_stmt = nullptr;
    }
    return *this;
}

void Stmt::Prepare(sqlite3* db, const QString& sql) {
    if (m_stmt) sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    m_db = db;
    m_sql = sql;
    const QByteArray u = sql.toUtf8();
    int rc = sqlite3_prepare_v2(db, u.constData(), int(u.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK) ThrowSqlite(db, rc, "Statement failed");
}

void Stmt::Bind(int index, const QVariant& v) {
    int rc = SQLITE_OK;
    if (!v.isValid() || v.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (v.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int(m_stmt, index, v.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::ULongLong:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            rc = sqlite3_bind_int64(m_stmt, index, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, v.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            rc = sqlite3_bind_blob(m_stmt, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QDate:
            rc = sqlite3_bind_text(m_stmt, index, v.toDate().toString(Qt::ISODate).toUtf8().constData(), -1,
                                   SQLITE_TRANSIENT);
            break;
        case QMetaType::QDateTime:
            rc = sqlite3_bind_text(m_stmt, index,
                                   v.toDateTime().toString(Qt::ISODateWithMs).toUtf8().constData(), -1,
                                   SQLITE_TRANSIENT);
            break;
        default: {
            const QByteArray u = v.toString().toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK) ThrowSqlite(m_db, rc, "Binding a value failed");
}

void Stmt::BindAll(const std::vector<QVariant>& values, int first) {
    for (size_t i = 0; i < values.size(); ++i) Bind(first + int(i), values[i]);
}

int Stmt::ParameterIndex(const QString& name) const {
    return sqlite3_bind_parameter_index(m_stmt, name.toUtf8().constData());
}

int Stmt::ParameterCount() const { return sqlite3_bind_parameter_count(m_stmt); }

bool Stmt::Step() {
    int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(m_stmt);
    ThrowSqlite(m_db, rc, QString());
}

void Stmt::Reset() {
    if (m_stmt) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
}

int Stmt::ColumnCount() const { return sqlite3_column_count(m_stmt); }

QString Stmt::ColumnName(int i) const { return QString::fromUtf8(sqlite3_column_name(m_stmt, i)); }

QVariant Stmt::Column(int i) const {
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(m_stmt, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, i));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i)),
                                          sqlite3_column_bytes(m_stmt, i)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(m_stmt, i)),
                                   sqlite3_column_bytes(m_stmt, i)));
    default:
        return QVariant();
    }
}

void Exec(sqlite3* db, const QString& sql) {
    char* err = nullptr;
    int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        QString m = err ? QString::fromUtf8(err) : QString();
        sqlite3_free(err);
        if ((rc & 0xff) == SQLITE_CONSTRAINT) throw EDBEngineError(dbeKeyViolation, "Key violation: " + m);
        ThrowSqlite(db, rc, QString());
    }
}

int ExecWrite(Stmt& st) {
    CountWriteForFault();
    st.Step();
    int changes = sqlite3_changes(sqlite3_db_handle(st.Handle()));
    st.Reset();
    return changes;
}

namespace {

// Directory syncs that add no safety. SQLite syncs a journal's directory
// after creating the journal, so the journal is still there after a power
// loss. In a commit over several files of one directory the super-journal
// is created after every file's journal, and its own directory sync makes
// all of them durable: the journals' syncs of the same directory, with
// nothing created or removed there in between, change nothing on disk. The
// unix VFS skips a directory sync when it cannot open the directory; these
// hooks say so only for a directory synced since its last change by this
// process, and count every creation and removal as a change (the removal of
// the super-journal, the commit point, is always synced).
struct DirectorySyncs {
    uint64_t clock = 0;
    std::unordered_map<std::string, uint64_t> changed, synced;
    sqlite3_syscall_ptr open = nullptr, unlink = nullptr, openDirectory = nullptr;
};

DirectorySyncs& Syncs() {
    static DirectorySyncs s;
    return s;
}

std::string DirectoryOf(const char* path) {
    const std::string p(path);
    const size_t slash = p.rfind('/');
    return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : p.substr(0, slash);
}

int OpenHook(const char* path, int flags, int mode) {
    DirectorySyncs& s = Syncs();
    if (flags & O_CREAT) s.changed[DirectoryOf(path)] = ++s.clock;
    return reinterpret_cast<int (*)(const char*, int, int)>(s.open)(path, flags, mode);
}

int UnlinkHook(const char* path) {
    DirectorySyncs& s = Syncs();
    const int rc = reinterpret_cast<int (*)(const char*)>(s.unlink)(path);
    s.changed[DirectoryOf(path)] = ++s.clock;
    return rc;
}

int OpenDirectoryHook(const char* path, int* fd) {
    DirectorySyncs& s = Syncs();
    const std::string dir = DirectoryOf(path);
    const auto changed = s.changed.find(dir);
    const auto synced = s.synced.find(dir);
    if (changed != s.changed.end() && synced != s.synced.end() && synced->second > changed->second)
        return SQLITE_CANTOPEN;  // synced since its last change: nothing to sync
    const int rc = reinterpret_cast<int (*)(const char*, int*)>(s.openDirectory)(path, fd);
    if (rc == SQLITE_OK) s.synced[dir] = ++s.clock;  // the caller syncs it at once
    return rc;
}

void InstallDirectorySyncHooks() {
    static const bool installed = [] {
        sqlite3_initialize();
        sqlite3_vfs* unix = sqlite3_vfs_find("unix");
        DirectorySyncs& s = Syncs();
        if (!unix || unix->iVersion < 3 || !unix->xSetSystemCall) return false;
        s.open = unix->xGetSystemCall(unix, "open");
        s.unlink = unix->xGetSystemCall(unix, "unlink");
        s.openDirectory = unix->xGetSystemCall(unix, "openDirectory");
        if (!s.open || !s.unlink || !s.openDirectory) return false;
        unix->xSetSystemCall(unix, "open", reinterpret_cast<sqlite3_syscall_ptr>(&OpenHook));
        unix->xSetSystemCall(unix, "unlink", reinterpret_cast<sqlite3_syscall_ptr>(&UnlinkHook));
        unix->xSetSystemCall(unix, "openDirectory", reinterpret_cast<sqlite3_syscall_ptr>(&OpenDirectoryHook));
        return true;
    }();
    (void)installed;
}

}  // namespace

QString FileUri(const QString& path) {
    // An absolute path never reads as a URI, whatever its first letters
    // ("file:" included), and '?' or '#' in it stay part of the name.
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

sqlite3* OpenConnection(const QString& path, bool create, int extraFlags) {
    InstallDirectorySyncHooks();
    sqlite3* db = nullptr;
    // URIs are on for ATTACH, which names its files as URIs; the connection's
    // own file is handed over as one too, so a path is always a path.
    // A connection is used by the one thread that opened it (the program has
    // no threads of its own): SQLite's per-call mutex would only cost time
    // on every step and column read.
    int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX |
                extraFlags;
    const QString name = path == QLatin1String(":memory:") ? path : FileUri(path);
    int rc = sqlite3_open_v2(name.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        QString m = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
        sqlite3_close(db);
        throw EDBEngineError(dbeIo, QString("Cannot open %1: %2").arg(path, m));
    }
    sqlite3_busy_timeout(db, BusyTimeoutMs);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 10);
    return db;
}
