#include "ui/DirTree.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStyle>
#include <algorithm>
#include <stdexcept>

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int ReadRole = Qt::UserRole + 1;
constexpr int DefaultPollMs = 2000;

// Kernel and virtual file systems: never a volume of the tree.
const QSet<QString> PseudoTypes{
    "proc",     "sysfs",      "devtmpfs", "devpts",      "cgroup",     "cgroup2",         "securityfs",
    "pstore",   "debugfs",    "tracefs",  "bpf",         "mqueue",     "hugetlbfs",       "configfs",
    "fusectl",  "autofs",     "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs",            "selinuxfs",
    "fuse.gvfsd-fuse", "fuse.portal", "ramfs-internal"};
const QSet<QString> RemoteTypes{"nfs",   "nfs4",      "cifs",      "smb3",       "smbfs", "sshfs",
                                "fuse.sshfs", "davfs", "fuse.rclone", "ceph", "glusterfs", "9p", "afs"};
const QSet<QString> CdTypes{"iso9660", "udf"};
const QSet<QString> RamTypes{"tmpfs", "ramfs"};
const QSet<QString> MediaTypes{"vfat", "exfat", "ntfs", "ntfs3", "fuseblk", "msdos", "hfsplus"};
const QSet<QString> DiskTypes{"ext2", "ext3", "ext4", "xfs", "btrfs", "zfs", "f2fs", "jfs", "reiserfs",
                              "overlay", "vfat", "exfat", "ntfs", "ntfs3", "fuseblk", "hfsplus", "bcachefs"};

bool Below(const QString& path, const char* dir) {
    const QString d = QString::fromLatin1(dir);
    return path == d || path.startsWith(d);
}

QString Unescape(const QByteArray& field) {
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int v = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(char(v));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return QString::fromUtf8(out);
}

int CompareNames(const QString& a, const QString& b) {
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c : QString::compare(a, b, Qt::CaseSensitive);
}

// Sets the wait cursor for a scope.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

// ---------------------------------------------------------------- helpers

QString EnsureTrailingSlash(const QString& path) {
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QStringList PathLevels(const QString& root, const QString& path) {
    const QString r = EnsureTrailingSlash(root);
    const QString p = EnsureTrailingSlash(path);
    if (!p.startsWith(r)) return {};
    QStringList levels{r};
    for (qsizetype i = r.size(); i < p.size(); ++i)
        if (p[i] == QLatin1Char('/')) levels << p.left(i + 1);
    return levels;
}

bool IsBelowRecycleFolder(const QString& path) {
    const QStringList parts = EnsureTrailingSlash(path).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    // Every level but the last.
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        const QString p = parts[i].toLower();
        if (p == QLatin1String(".trash") || p == QLatin1String("recycled") || p == QLatin1String("recycler") ||
            p == QLatin1String("$recycle.bin"))
            return true;
        if (p.startsWith(QLatin1String(".trash-"))) {
            bool digits = false;
            p.mid(7).toUInt(&digits);
            if (digits) return true;
        }
        if (parts[i] == QLatin1String("Trash") && i >= 2 && parts[i - 1] == QLatin1String("share") &&
            parts[i - 2] == QLatin1String(".local"))
            return true;
    }
    return false;
}

QList<TDirFileSystem::Mount> ParseMountList(const QByteArray& text) {
    QList<TDirFileSystem::Mount> mounts;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() < 3 || f[0].startsWith('#')) continue;
        mounts.append({EnsureTrailingSlash(Unescape(f[1])), QString::fromUtf8(f[2]), Unescape(f[0])});
    }
    return mounts;
}

unsigned ClassifyMount(const TDirFileSystem::Mount& m) {
    const QString& p = m.path;
    if (p != QLatin1String("/") && (Below(p, "/proc/") || Below(p, "/sys/") || Below(p, "/dev/"))) return 0;
    if (PseudoTypes.contains(m.type)) return 0;
    if (RemoteTypes.contains(m.type)) return drtRemote;
    if (CdTypes.contains(m.type)) return drtCDRom;
    if ((Below(p, "/media/") || Below(p, "/run/media/")) && MediaTypes.contains(m.type)) return drtRemovable;
    // The run-time directories are memory file systems of the system.
    if (Below(p, "/run/") && !Below(p, "/run/media/")) return 0;
    if (RamTypes.contains(m.type)) return drtRamDisk;
    if (DiskTypes.contains(m.type)) return drtFixed;
    return drtUnknown;
}

// ---------------------------------------------------------------- local file system

TLocalFileSystem::TLocalFileSystem(QString mountList) : m_mountList(std::move(mountList)) {}

QList<TDirFileSystem::Mount> TLocalFileSystem::Mounts() const {
    QFile f(m_mountList);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return ParseMountList(f.readAll());
}

QList<TDirFileSystem::Entry> TLocalFileSystem::SubDirectories(const QString& dir) const {
    QList<Entry> out;
    const QFileInfoList infos =
        QDir(dir).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& i : infos) out.append({i.fileName(), i.fileName().startsWith(QLatin1Char('.')), !i.isWritable()});
    return out;
}

bool TLocalFileSystem::DirectoryExists(const QString& dir) const { return QFileInfo(dir).isDir(); }

// ---------------------------------------------------------------- tree

TDirTree::TDirTree(QWidget* parent, std::shared_ptr<TDirFileSystem> fs)
    : QTreeWidget(parent), m_fs(fs ? std::move(fs) : std::make_shared<TLocalFileSystem>()) {
    setHeaderHidden(true);
    setColumnCount(1);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { Expanding(item); });
    connect(this, &QTreeWidget::currentItemChanged, this, [this] { ChangeHandling(); });
    connect(&m_poll, &QTimer::timeout, this, [this] { UpdateDrives(); });
    LoadDrives();
    m_poll.start(DefaultPollMs);
}

TDirTree::~TDirTree() {
    m_poll.stop();
    // No notifications while the nodes go: the handlers are members of the
    // part of the object already gone.
    m_changeLock = 1;
    blockSignals(true);
    clear();
}

void TDirTree::SetPollInterval(int ms) {
    if (ms <= 0)
        m_poll.stop();
    else
        m_poll.start(ms);
}

QString TDirTree::NodePath(const QTreeWidgetItem* item) {
    return item ? item->data(0, PathRole).toString() : QString();
}

bool TDirTree::NodeRead(const QTreeWidgetItem* item) const { return item && item->data(0, ReadRole).toBool(); }

bool TDirTree::PassesAddDir(const QString& path) const {
    if (!GoBelowRecycleBin && IsBelowRecycleFolder(path)) return false;
    return !OnAddDir || OnAddDir(path);
}

bool TDirTree::Accepts(const QString& path, const TDirFileSystem::Entry& e) const {
    if (!PassesAddDir(path)) return false;
    if (DirTypes & dtAll) return true;
    if (e.hidden && !(DirTypes & dtHidden)) return false;
    return (DirTypes & dtNormal) || e.hidden;
}

QList<TDirTree::Volume> TDirTree::ReadDrives() const {
    QMap<QString, Volume> byPath;  // a later mount over the same point hides the earlier
    bool rootSeen = false;
    for (const TDirFileSystem::Mount& m : m_fs->Mounts()) {
        if (m.path == QLatin1String("/")) {
            byPath.insert(m.path, {m.path, m.device, drtFixed});
            rootSeen = true;
            continue;
        }
        const unsigned kind = ClassifyMount(m);
        if (kind && (kind & DriveTypes))
            byPath.insert(m.path, {m.path, m.device, kind});
        else
            byPath.remove(m.path);
    }
    // The root is always there, whatever the mount list says.
    if (!rootSeen) byPath.insert(QStringLiteral("/"), {QStringLiteral("/"), QString(), drtFixed});
    return byPath.values();  // sorted by path: "/" first
}

QTreeWidgetItem* TDirTree::AddDriveNode(const Volume& v, int position) {
    auto* item = new QTreeWidgetItem;
    QString caption = v.path;
    if (v.path != QLatin1String("/")) {
        const QString bare = v.path.chopped(1);
        caption = bare.section(QLatin1Char('/'), -1) + QStringLiteral(" (") + bare + QLatin1Char(')');
    }
    item->setText(0, caption);
    item->setData(0, PathRole, v.path);
    item->setData(0, ReadRole, false);
    QStyle::StandardPixmap icon = QStyle::SP_DriveHDIcon;
    if (v.kind == drtRemote) icon = QStyle::SP_DriveNetIcon;
    if (v.kind == drtCDRom) icon = QStyle::SP_DriveCDIcon;
    if (v.kind == drtRemovable) icon = QStyle::SP_DriveFDIcon;
    item->setIcon(0, style()->standardIcon(icon));
    if (position < 0 || position > topLevelItemCount())
        addTopLevelItem(item);
    else
        insertTopLevelItem(position, item);
    // Slow or absent media are not searched until expanded.
    if (FastLoad || v.kind == drtRemovable || v.kind == drtCDRom || v.kind == drtUnknown)
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    else
        ProbeSubDirectory(item);
    return item;
}

QTreeWidgetItem* TDirTree::AddDirectoryNode(QTreeWidgetItem* parent, const QString& path, const QString& name) {
    auto* item = new QTreeWidgetItem(parent);
    item->setText(0, name);
    item->setData(0, PathRole, EnsureTrailingSlash(path));
    item->setData(0, ReadRole, false);
    item->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    return item;
}

void TDirTree::LoadDrives() {
    ++m_changeLock;
    WaitCursor wait;
    setUpdatesEnabled(false);
    clear();
    m_drives = ReadDrives();
    for (const Volume& v : m_drives)
        if (PassesAddDir(v.path)) AddDriveNode(v);
    setUpdatesEnabled(true);
    --m_changeLock;
    if (currentItem()) scrollToItem(currentItem());
}

QList<TDirFileSystem::Entry> TDirTree::Listable(const QString& dir) const {
    QList<TDirFileSystem::Entry> out;
    for (const TDirFileSystem::Entry& e : m_fs->SubDirectories(dir))
        if (Accepts(dir + e.name + QLatin1Char('/'), e)) out.append(e);
    return out;
}

void TDirTree::ReadSubDirectories(QTreeWidgetItem* node) {
    if (!node || NodeRead(node)) return;
    for (QTreeWidgetItem* child : node->takeChildren()) delete child;
    node->setData(0, ReadRole, true);
    const QString dir = NodePath(node);
    QList<TDirFileSystem::Entry> entries = Listable(dir);
    std::sort(entries.begin(), entries.end(),
              [](const TDirFileSystem::Entry& a, const TDirFileSystem::Entry& b) { return CompareNames(a.name, b.name) < 0; });
    for (const TDirFileSystem::Entry& e : entries) AddDirectoryNode(node, dir + e.name, e.name);
    node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void TDirTree::ProbeSubDirectory(QTreeWidgetItem* node) {
    if (!node || NodeRead(node)) return;
    node->setChildIndicatorPolicy(Listable(NodePath(node)).isEmpty() ? QTreeWidgetItem::DontShowIndicator
                                                                     : QTreeWidgetItem::ShowIndicator);
}

void TDirTree::RefreshNode(QTreeWidgetItem* node) {
    if (!node) return;
    for (QTreeWidgetItem* child : node->takeChildren()) delete child;
    node->setData(0, ReadRole, false);
    ProbeSubDirectory(node);
}

void TDirTree::Expanding(QTreeWidgetItem* item) {
    if (NodeRead(item)) return;
    WaitCursor wait;
    ReadSubDirectories(item);
    for (int i = 0; i < item->childCount(); ++i) ProbeSubDirectory(item->child(i));
}

QTreeWidgetItem* TDirTree::StartNodeFor(const QString& path) const {
    QTreeWidgetItem* best = nullptr;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = topLevelItem(i);
        const QString p = NodePath(item);
        if (path.startsWith(p) && (!best || p.size() > NodePath(best).size())) best = item;
    }
    return best;
}

QTreeWidgetItem* TDirTree::FindNodeByPath(const QString& path) const {
    if (path.isEmpty()) return nullptr;
    const QString p = EnsureTrailingSlash(path);
    QTreeWidgetItem* node = StartNodeFor(p);
    if (!node) return nullptr;
    const QStringList levels = PathLevels(NodePath(node), p);
    for (qsizetype l = 1; l < levels.size() && node; ++l) {
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < node->childCount() && !next; ++i)
            if (NodePath(node->child(i)) == levels[l]) next = node->child(i);
        node = next;
    }
    return node;
}

void TDirTree::OpenPath(const QString& path) {
    if (path.isEmpty()) throw std::invalid_argument("Invalid Path Name");
    QString p = EnsureTrailingSlash(path);
    // Relative paths match no node: the walk starts at the volumes.
    if (!p.startsWith(QLatin1Char('/'))) return;
    if (!m_fs->DirectoryExists(p)) p = QStringLiteral("/");
    WaitCursor wait;
    QTreeWidgetItem* node = StartNodeFor(p);
    if (!node) return;
    const QStringList levels = PathLevels(NodePath(node), p);
    for (qsizetype l = 1; l < levels.size(); ++l) {
        if (!NodeRead(node)) {
            ReadSubDirectories(node);
            for (int i = 0; i < node->childCount(); ++i) ProbeSubDirectory(node->child(i));
        }
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < node->childCount() && !next; ++i)
            if (NodePath(node->child(i)) == levels[l]) next = node->child(i);
        if (!next) return;  // selection stays as it was
        node = next;
    }
    setCurrentItem(node);
    scrollToItem(node);
}

std::optional<QString> TDirTree::GetSelectedPath() const {
    const QString p = NodePath(currentItem());
    if (p.isEmpty()) return std::nullopt;
    return p;
}

bool TDirTree::UpdateDrives() {
    ++m_changeLock;
    const QList<Volume> now = ReadDrives();
    bool changed = false;
    // Gone volumes, and volumes whose medium changed: only those present
    // both in the tree's record and in the mount list are compared.
    for (const Volume& old : m_drives) {
        const auto it = std::find_if(now.begin(), now.end(), [&](const Volume& v) { return v.path == old.path; });
        QTreeWidgetItem* node = nullptr;
        for (int i = 0; i < topLevelItemCount() && !node; ++i)
            if (NodePath(topLevelItem(i)) == old.path) node = topLevelItem(i);
        if (it == now.end()) {
            // A volume the tree refused has no node: nothing is removed.
            changed = changed || node;
            delete node;
        } else if (it->device != old.device && node) {
            RefreshNode(node);
            changed = true;
        }
    }
    for (const Volume& v : now) {
        const bool known =
            std::any_of(m_drives.begin(), m_drives.end(), [&](const Volume& o) { return o.path == v.path; });
        if (known || !PassesAddDir(v.path)) continue;
        int position = 0;
        while (position < topLevelItemCount() && NodePath(topLevelItem(position)) < v.path) ++position;
        AddDriveNode(v, position);
        changed = true;
    }
    m_drives = now;
    --m_changeLock;
    if (changed) ChangeHandling();
    return changed;
}

void TDirTree::ChangeHandling() {
    if (m_changeLock != 0) return;
    emit Changed(NodePath(currentItem()));
}
