#include "ui/DirTree.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>
#include <QPlatformSurfaceEvent>
#include <QScopeGuard>
#include <QUrl>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStyle>
#include <algorithm>
#include <stdexcept>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int ReadRole = Qt::UserRole + 1;
constexpr int OverlayRole = Qt::UserRole + 2;

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

// The mount at a mount point: the last one, which hides the earlier.
const TDirFileSystem::Mount* MountAt(const QList<TDirFileSystem::Mount>& mounts, const QString& path) {
    for (auto it = mounts.crbegin(); it != mounts.crend(); ++it)
        if (it->path == path) return &*it;
    return nullptr;
}

// The desktop's name of a volume: its label, else its mount point's name.
QString DisplayName(const QString& volume, const QString& label) {
    if (!label.isEmpty()) return label;
    return volume == QLatin1String("/") ? volume : volume.chopped(1).section(QLatin1Char('/'), -1);
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

QList<TDirFileSystem::Mount> ParseMountInfo(const QByteArray& text) {
    QList<TDirFileSystem::Mount> mounts;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        // The optional fields end at a lone "-", followed by type and source.
        const qsizetype dash = f.indexOf("-", 6);
        if (f.size() < 10 || dash < 0 || dash + 2 >= f.size()) continue;
        const QString source = Unescape(f[dash + 2]);
        const QString identity =
            QString::fromUtf8(f[0]) + QLatin1Char(' ') + QString::fromUtf8(f[2]) + QLatin1Char(' ') + source;
        mounts.append({EnsureTrailingSlash(Unescape(f[4])), QString::fromUtf8(f[dash + 1]), identity, source});
    }
    return mounts;
}

QString DecodeLabel(const QString& linkName) {
    const QByteArray in = linkName.toUtf8();
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '\\' && i + 3 < in.size() && in[i + 1] == 'x') {
            bool ok = false;
            const int v = in.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out.append(char(v));
                i += 3;
                continue;
            }
        }
        out.append(in[i]);
    }
    return QString::fromUtf8(out);
}

QStringList ParseSharePaths(const QByteArray& text) {
    QStringList paths;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith("path=") && line.size() > 5) paths << EnsureTrailingSlash(QString::fromUtf8(line.mid(5)));
    }
    return paths;
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

TLocalFileSystem::TLocalFileSystem(QString mountTable, QString shareDirectory, QString labelDirectory)
    : m_mountTable(std::move(mountTable)),
      m_shareDirectory(std::move(shareDirectory)),
      m_labelDirectory(std::move(labelDirectory)) {}

QList<TDirFileSystem::Mount> TLocalFileSystem::Mounts() const {
    QFile f(m_mountTable);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return ParseMountInfo(f.readAll());
}

bool IsDirectoryEntry(unsigned char type, const std::function<bool(unsigned& mode)>& statEntry) {
    if (type != DT_UNKNOWN) return type == DT_DIR;
    // Symbolic links are never followed; a file system that does not tell
    // the kind is asked without following links either.
    unsigned mode = 0;
    return statEntry(mode) && S_ISDIR(mode);
}

void TDirFileSystem::SearchSubDirectories(const QString& dir, const std::function<bool(const Entry&)>& visit) const {
    for (const Entry& e : SubDirectories(dir))
        if (!visit(e)) return;
}

QString TDirFileSystem::CurrentDirectory() const { return QDir::currentPath(); }

QList<TDirFileSystem::Entry> TLocalFileSystem::SubDirectories(const QString& dir) const {
    QList<Entry> out;
    SearchSubDirectories(dir, [&out](const Entry& e) {
        out.append(e);
        return true;
    });
    return out;
}

// One entry at a time from the directory stream: the kind of an entry comes
// with it on the usual file systems, so an entry costs no further call
// unless it is taken.
void TLocalFileSystem::SearchSubDirectories(const QString& dir, const std::function<bool(const Entry&)>& visit) const {
    DIR* stream = ::opendir(QFile::encodeName(dir).constData());
    if (!stream) return;
    const auto close = qScopeGuard([stream] { ::closedir(stream); });
    const int fd = ::dirfd(stream);
    while (const dirent* d = ::readdir(stream)) {
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
        const bool isDir = IsDirectoryEntry(d->d_type, [fd, name](unsigned& mode) {
            struct stat st;
            if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
            mode = st.st_mode;
            return true;
        });
        if (!isDir) continue;
        const QString fileName = QFile::decodeName(name);
        const Entry e{fileName, name[0] == '.', ::faccessat(fd, name, W_OK, 0) != 0};
        if (!visit(e)) return;
    }
}

bool TLocalFileSystem::DirectoryExists(const QString& dir) const { return QFileInfo(dir).isDir(); }

QSet<QString> TLocalFileSystem::SharedDirectories() const {
    QSet<QString> shared;
    const QFileInfoList files = QDir(m_shareDirectory).entryInfoList(QDir::Files | QDir::Readable);
    for (const QFileInfo& i : files) {
        QFile f(i.filePath());
        // A share definition is a few lines; anything large is not one.
        if (i.size() > 65536 || !f.open(QIODevice::ReadOnly)) continue;
        for (const QString& p : ParseSharePaths(f.readAll())) shared.insert(p);
    }
    return shared;
}

QString TLocalFileSystem::VolumeLabel(const Mount& mount) const {
    // Only a device given by its absolute path can be a link's target (a
    // relative source such as "tmpfs" would be taken from the current
    // directory).
    if (!mount.source.startsWith(QLatin1Char('/'))) return {};
    const QString device = QFileInfo(mount.source).canonicalFilePath();
    if (device.isEmpty()) return {};
    const QFileInfoList links = QDir(m_labelDirectory).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    for (const QFileInfo& link : links)
        if (link.canonicalFilePath() == device) return DecodeLabel(link.fileName());
    return {};
}

// ---------------------------------------------------------------- tree

TDirTree::TDirTree(QWidget* parent, std::shared_ptr<TDirFileSystem> fs)
    : QTreeWidget(parent), m_fs(fs ? std::move(fs) : std::make_shared<TLocalFileSystem>()) {
    InitialDirectory = m_fs->CurrentDirectory();
    setHeaderHidden(true);
    setColumnCount(1);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { Expanding(item); });
    connect(this, &QTreeWidget::currentItemChanged, this, [this] { ChangeHandling(); });
    // The poll stands for the system's device notification: it comes when
    // the volumes differ from what the tree read last.
    connect(&m_poll, &QTimer::timeout, this, [this] {
        if (ReadDrives() != m_drives) DeviceChange();
    });
}

TDirTree::~TDirTree() {
    m_poll.stop();
    if (m_hookedWindow) m_hookedWindow->removeEventFilter(this);
    // No notifications while the nodes go: the handlers are members of the
    // part of the object already gone.
    m_changeLock = 1;
    blockSignals(true);
    clear();
}

// ---------------------------------------------------------------- window

void TDirTree::HandleNeeded() {
    if (!m_windowCreated) CreateWnd();
}

void TDirTree::CreateWnd() {
    m_windowCreated = true;
    m_hookedTop = window();
    HookWindow();
    if (ReadOnStart) LoadDrives();
    if (m_pending) {
        m_pending = false;
        OpenPath(m_pendingPath);
    } else if (!m_loaded) {
        m_loaded = true;
        const QString start = m_fs->DirectoryExists(InitialDirectory) || InitialDirectory.isEmpty()
                                  ? InitialDirectory
                                  : m_fs->CurrentDirectory();
        if (!start.isEmpty()) OpenPath(start);
    }
    SetAcceptDropFiles(m_acceptDropFiles);
    if (m_pollMs > 0) m_poll.start(m_pollMs);
}

void TDirTree::DestroyWnd() {
    if (!m_windowCreated) return;
    SetAcceptDropFiles(false);
    if (const std::optional<QString> selected = GetSelectedPath()) {
        m_pendingPath = *selected;
        m_pending = true;
    }
    ClearNodes();
    m_poll.stop();
    if (m_hookedWindow) m_hookedWindow->removeEventFilter(this);
    m_hookedWindow = nullptr;
    m_hookedTop = nullptr;
    m_windowCreated = false;
}

std::optional<QString> TDirTree::PendingPath() const {
    if (!m_pending) return std::nullopt;
    return m_pendingPath;
}

// The native window of the form the tree lives in: its end is the end of
// the tree's window.
void TDirTree::HookWindow() {
    QWindow* handle = window()->windowHandle();
    if (handle == m_hookedWindow) return;
    if (m_hookedWindow) m_hookedWindow->removeEventFilter(this);
    m_hookedWindow = handle;
    if (handle) handle->installEventFilter(this);
}

bool TDirTree::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_hookedWindow && event->type() == QEvent::PlatformSurface &&
        static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
            QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed)
        DestroyWnd();
    return QTreeWidget::eventFilter(watched, event);
}

void TDirTree::showEvent(QShowEvent* event) {
    QTreeWidget::showEvent(event);
    HandleNeeded();
    HookWindow();
}

bool TDirTree::event(QEvent* event) {
    const bool result = QTreeWidget::event(event);
    // Moved into another window: the old window of the tree is gone.
    if (event->type() == QEvent::ParentChange && m_windowCreated && window() != m_hookedTop) {
        DestroyWnd();
        if (isVisible()) CreateWnd();
    }
    return result;
}

// ---------------------------------------------------------------- properties

void TDirTree::SetDirTypes(unsigned types) {
    if (types == m_dirTypes) return;
    m_dirTypes = types;
    RefreshTree();
}

void TDirTree::SetGoBelowRecycleBin(bool on) {
    if (on == m_goBelowRecycleBin) return;
    m_goBelowRecycleBin = on;
    RefreshTree();
}

void TDirTree::SetDriveTypes(unsigned types) {
    if (types == m_driveTypes) return;
    m_driveTypes = types;
    if (m_windowCreated) UpdateDrives();
}

int TDirTree::ShareOverlay(const QTreeWidgetItem* item) {
    if (!item) return -1;
    const QVariant v = item->data(0, OverlayRole);
    return v.isValid() ? v.toInt() : -1;
}

void TDirTree::SetShowShareOverlay(bool on) {
    if (on == m_showShareOverlay) return;
    m_showShareOverlay = on;
    const QSet<QString> shared = on ? m_fs->SharedDirectories() : QSet<QString>{};
    // Level by level from the top, into the levels already read only.
    QList<QTreeWidgetItem*> level;
    for (int i = 0; i < topLevelItemCount(); ++i) level << topLevelItem(i);
    while (!level.isEmpty()) {
        QList<QTreeWidgetItem*> next;
        for (QTreeWidgetItem* node : level) {
            if (NodePath(node).isEmpty()) continue;
            ApplyShareOverlay(node, shared);
            if (NodeRead(node))
                for (int c = 0; c < node->childCount(); ++c) next << node->child(c);
        }
        level = next;
    }
}

void TDirTree::SetAcceptDropFiles(bool on) {
    m_acceptDropFiles = on;
    // Only a window that exists takes drops.
    const bool accept = on && m_windowCreated;
    setAcceptDrops(accept);
    viewport()->setAcceptDrops(accept);
}

// ---------------------------------------------------------------- nodes

void TDirTree::SetPollInterval(int ms) {
    m_pollMs = ms;
    if (ms <= 0)
        m_poll.stop();
    else if (m_windowCreated)
        m_poll.start(ms);
}

QString TDirTree::NodePath(const QTreeWidgetItem* item) {
    return item ? item->data(0, PathRole).toString() : QString();
}

bool TDirTree::NodeRead(const QTreeWidgetItem* item) const { return item && item->data(0, ReadRole).toBool(); }

bool TDirTree::PassesAddDir(const QString& path) const {
    if (!m_goBelowRecycleBin && IsBelowRecycleFolder(path)) return false;
    return !OnAddDir || OnAddDir(path);
}

bool TDirTree::Accepts(const QString& path, const TDirFileSystem::Entry& e) const {
    if (!PassesAddDir(path)) return false;
    if (m_dirTypes & dtAll) return true;
    if (e.hidden && !(m_dirTypes & dtHidden)) return false;
    if (e.system && !(m_dirTypes & dtSystem)) return false;
    if (e.archive && !(m_dirTypes & dtArchive)) return false;
    return (m_dirTypes & dtNormal) || e.hidden || e.system || e.archive;
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
        // A file mounted over a file (containers bind their host's name
        // and resolver files so) is no volume.
        if (kind && (kind & m_driveTypes) && m_fs->DirectoryExists(m.path))
            byPath.insert(m.path, {m.path, m.device, kind});
        else
            byPath.remove(m.path);
    }
    // The root is always there, whatever the mount table says.
    if (!rootSeen) byPath.insert(QStringLiteral("/"), {QStringLiteral("/"), NoVolumeSerial, drtFixed});
    return byPath.values();  // sorted by path: "/" first
}

void TDirTree::SetNodeIcons(QTreeWidgetItem* node, QStyle::StandardPixmap closed, QStyle::StandardPixmap open) {
    // The open folder shows on the selected node.
    QIcon icon = style()->standardIcon(closed);
    if (open != closed) {
        const QIcon opened = style()->standardIcon(open);
        for (const QSize& size : opened.availableSizes()) icon.addPixmap(opened.pixmap(size), QIcon::Selected);
    }
    node->setIcon(0, icon);
    if (m_showShareOverlay) ApplyShareOverlay(node, m_fs->SharedDirectories());
    if (OnGetIcon) OnGetIcon(node);
}

void TDirTree::ApplyShareOverlay(QTreeWidgetItem* node, const QSet<QString>& shared) {
    const int overlay = shared.contains(NodePath(node)) ? 0 : -1;
    if (overlay == ShareOverlay(node)) return;
    const bool had = node->data(0, OverlayRole).isValid();
    node->setData(0, OverlayRole, overlay);
    if (overlay == 0) {
        // The network-drive emblem in the lower left corner of the icon.
        QIcon marked;
        const QIcon base = node->icon(0);
        const QIcon emblem = style()->standardIcon(QStyle::SP_DriveNetIcon);
        for (QIcon::Mode mode : {QIcon::Normal, QIcon::Selected}) {
            QPixmap pm = base.pixmap(QSize(16, 16), mode);
            if (pm.isNull()) pm = QPixmap(16, 16), pm.fill(Qt::transparent);
            QPainter painter(&pm);
            painter.drawPixmap(QRect(0, pm.height() / 2, pm.width() / 2, pm.height() / 2), emblem.pixmap(QSize(8, 8)));
            painter.end();
            marked.addPixmap(pm, mode);
        }
        node->setData(0, Qt::UserRole + 3, QVariant::fromValue(base));
        node->setIcon(0, marked);
    } else if (had) {
        const QVariant plain = node->data(0, Qt::UserRole + 3);
        if (plain.isValid()) node->setIcon(0, plain.value<QIcon>());
    }
}

QTreeWidgetItem* TDirTree::AddDriveNode(const Volume& v, int position) {
    auto* item = new QTreeWidgetItem;
    // Every volume's serial is recorded with its caption, a removable
    // one's too: a volume without a record would count as a changed medium
    // at its first selection, and its node be read again under the user.
    const TDriveCaption caption = CaptionOf(v.path, v.kind);
    m_volumeSerials.insert(v.path, caption.serial);
    item->setText(0, caption.caption);
    item->setData(0, PathRole, v.path);
    item->setData(0, ReadRole, false);
    if (position < 0 || position > topLevelItemCount())
        addTopLevelItem(item);
    else
        insertTopLevelItem(position, item);
    QStyle::StandardPixmap icon = QStyle::SP_DriveHDIcon;
    if (v.kind == drtRemote) icon = QStyle::SP_DriveNetIcon;
    if (v.kind == drtCDRom) icon = QStyle::SP_DriveCDIcon;
    if (v.kind == drtRemovable) icon = QStyle::SP_DriveFDIcon;
    SetNodeIcons(item, icon, icon);
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
    SetNodeIcons(item, QStyle::SP_DirClosedIcon, QStyle::SP_DirOpenIcon);
    return item;
}

void TDirTree::DeleteNode(QTreeWidgetItem* node) {
    if (!node) return;
    DeleteChildren(node);
    if (m_dropTarget == node) m_dropTarget = nullptr;
    node->setData(0, PathRole, QVariant());
    if (OnDeleteItem) OnDeleteItem(node);
    delete node;
}

void TDirTree::DeleteChildren(QTreeWidgetItem* node) {
    while (node->childCount() > 0) DeleteNode(node->child(node->childCount() - 1));
}

void TDirTree::ClearNodes() {
    ++m_changeLock;
    {
        const auto release = qScopeGuard([this] { --m_changeLock; });
        setUpdatesEnabled(false);
        while (topLevelItemCount() > 0) DeleteNode(topLevelItem(topLevelItemCount() - 1));
        setUpdatesEnabled(true);
    }
    if (m_changeLock == 0) ChangeHandling();
}

void TDirTree::LoadDrives() {
    if (!m_windowCreated) {
        CreateWnd();
        if (ReadOnStart) return;
    }
    ++m_changeLock;
    WaitCursor wait;
    {
        const auto release = qScopeGuard([this] {
            setUpdatesEnabled(true);
            --m_changeLock;
        });
        setUpdatesEnabled(false);
        ClearNodes();
        m_drives = ReadDrives();
        for (const Volume& v : m_drives) {
            if (!m_drivePaths.contains(v.path)) m_drivePaths.insert(v.path, v.path);
            if (PassesAddDir(v.path)) AddDriveNode(v);
        }
        // The current directory is where its volume is first opened.
        const QString here = EnsureTrailingSlash(m_fs->CurrentDirectory());
        const QString volume = VolumeOf(here);
        if (!volume.isEmpty() && m_drivePaths.value(volume) == volume) m_drivePaths.insert(volume, here);
    }
    if (currentItem()) scrollToItem(currentItem());
}

void TDirTree::SearchListable(const QString& dir,
                              const std::function<bool(const TDirFileSystem::Entry&)>& visit) const {
    // Only what would be taken reaches the visitor; a visitor that answers
    // false ends the search there.
    const auto take = [&](const TDirFileSystem::Entry& e) {
        return !Accepts(dir + e.name + QLatin1Char('/'), e) || visit(e);
    };
    if (!OnFindDir) {
        m_fs->SearchSubDirectories(dir, take);
        return;
    }
    int result = 0;
    for (bool first = true;; first = false) {
        TDirRec rec;
        OnFindDir(dir, rec, result, first);
        if (result != 0) break;
        if (!(rec.Attr & faDirectory) || rec.Name == QLatin1String(".") || rec.Name == QLatin1String("..") ||
            rec.Name.isEmpty())
            continue;
        if (!take({rec.Name, bool(rec.Attr & faHidden), bool(rec.Attr & faReadOnly), bool(rec.Attr & faSysFile),
                   bool(rec.Attr & faArchive)}))
            break;
    }
}

void TDirTree::ReadSubDirectories(QTreeWidgetItem* node) {
    if (!node || NodeRead(node)) return;
    DeleteChildren(node);
    node->setData(0, ReadRole, true);
    const QString dir = NodePath(node);
    QList<TDirFileSystem::Entry> entries;
    SearchListable(dir, [&entries](const TDirFileSystem::Entry& e) {
        entries.append(e);
        return true;
    });
    std::sort(entries.begin(), entries.end(),
              [](const TDirFileSystem::Entry& a, const TDirFileSystem::Entry& b) { return CompareNames(a.name, b.name) < 0; });
    for (const TDirFileSystem::Entry& e : entries) AddDirectoryNode(node, dir + e.name, e.name);
    node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

// An expand button costs a search only up to the first directory that
// would be listed.
void TDirTree::ProbeSubDirectory(QTreeWidgetItem* node) {
    if (!node || NodeRead(node)) return;
    bool found = false;
    SearchListable(NodePath(node), [&found](const TDirFileSystem::Entry&) {
        found = true;
        return false;
    });
    node->setChildIndicatorPolicy(found ? QTreeWidgetItem::ShowIndicator : QTreeWidgetItem::DontShowIndicator);
}

void TDirTree::RefreshNode(QTreeWidgetItem* node) {
    if (!node) return;
    DeleteChildren(node);
    node->setData(0, ReadRole, false);
    // Closed: an open node without children would never be read again by
    // expanding it.
    node->setExpanded(false);
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

QString TDirTree::VolumeOf(const QString& path) const {
    QString best;
    for (const Volume& v : m_drives)
        if (path.startsWith(v.path) && v.path.size() > best.size()) best = v.path;
    return best;
}

QString TDirTree::DrivePath(const QString& volume) const {
    const QString v = EnsureTrailingSlash(volume);
    return m_drivePaths.value(v, v);
}

QStringList TDirTree::Volumes() const {
    QStringList out;
    for (const Volume& v : m_drives) out << v.path;
    return out;
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
    HandleNeeded();
    QString p = EnsureTrailingSlash(path);
    // Relative paths match no node: the walk starts at the volumes.
    if (!p.startsWith(QLatin1Char('/'))) return;
    if (!m_fs->DirectoryExists(p)) p = CurrentVolumeRoot();
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

// The mount point holding the current directory: the deepest mount of the
// mount table above it that is a directory. The root when none is.
QString TDirTree::CurrentVolumeRoot() const {
    const QString here = EnsureTrailingSlash(m_fs->CurrentDirectory());
    QString best = QStringLiteral("/");
    for (const TDirFileSystem::Mount& m : m_fs->Mounts())
        if (here.startsWith(m.path) && m.path.size() > best.size() && m_fs->DirectoryExists(m.path)) best = m.path;
    return best;
}

std::optional<QString> TDirTree::GetSelectedPath() const {
    const QString p = NodePath(currentItem());
    if (p.isEmpty()) return std::nullopt;
    return p;
}

void TDirTree::RefreshTree() {
    if (!m_windowCreated) return;
    const std::optional<QString> selected = GetSelectedPath();
    LoadDrives();
    if (selected) OpenPath(*selected);
    // Not listed any more: its volume instead.
    if (selected && topLevelItemCount() > 0 && !currentItem()) {
        if (const QTreeWidgetItem* volume = StartNodeFor(*selected)) OpenPath(NodePath(volume));
    }
    if (currentItem() || topLevelItemCount() == 0) return;
    // Nothing to keep: the path last selected on a volume, the first one
    // not read yet (or whose first directory was), else the last.
    try {
        QTreeWidgetItem* drive = topLevelItem(topLevelItemCount() - 1);
        for (int i = 0; i < topLevelItemCount(); ++i) {
            QTreeWidgetItem* t = topLevelItem(i);
            if (t->childCount() == 0 || NodeRead(t->child(0))) {
                drive = t;
                break;
            }
        }
        const QString remembered = DrivePath(NodePath(drive));
        OpenPath(remembered);
        if (GetSelectedPath().value_or(QString()) != remembered) setCurrentItem(drive);
    } catch (const std::exception&) {
    }
}

bool TDirTree::UpdateDrives() {
    if (!m_windowCreated) return false;
    ++m_changeLock;
    const QList<Volume> now = ReadDrives();
    bool changed = false;
    // Gone volumes; a medium changed is the concern of CheckMediaChange.
    for (const Volume& old : m_drives) {
        const auto it = std::find_if(now.begin(), now.end(), [&](const Volume& v) { return v.path == old.path; });
        QTreeWidgetItem* node = nullptr;
        for (int i = 0; i < topLevelItemCount() && !node; ++i)
            if (NodePath(topLevelItem(i)) == old.path) node = topLevelItem(i);
        if (it == now.end()) {
            // A volume the tree refused has no node: nothing is removed.
            changed = changed || node;
            DeleteNode(node);
        }
    }
    for (const Volume& v : now) {
        const bool known =
            std::any_of(m_drives.begin(), m_drives.end(), [&](const Volume& o) { return o.path == v.path; });
        if (known || !PassesAddDir(v.path)) continue;
        int position = 0;
        while (position < topLevelItemCount() && NodePath(topLevelItem(position)) < v.path) ++position;
        AddDriveNode(v, position);
        if (!m_drivePaths.contains(v.path)) m_drivePaths.insert(v.path, v.path);
        changed = true;
    }
    m_drives = now;
    --m_changeLock;
    if (changed) ChangeHandling();
    return changed;
}

void TDirTree::DeviceChange() {
    if (!m_windowCreated) return;
    ++m_changeLock;
    {
        const auto release = qScopeGuard([this] { --m_changeLock; });
        UpdateDrives();
        // Also after volumes came or went: one poll may hold what were
        // several notifications, a new medium besides a new volume.
        CheckMediaChange();
    }
    ChangeHandling();
}

void TDirTree::CheckMediaChange() {
    // Every volume node, from the last to the first; volumes without a
    // node are not the tree's concern.
    for (int i = topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* drive = topLevelItem(i);
        const QString volume = NodePath(drive);
        if (!volume.isEmpty() && GetVolumeSerial(volume) != m_volumeSerials.value(volume)) RereadDrive(drive);
    }
}

// Whether the volume a path is shown on holds another medium than the one
// its node was read from.
bool TDirTree::MediumChanged(const QString& path) const {
    const QTreeWidgetItem* drive = StartNodeFor(path);
    if (!drive) return false;
    const QString volume = NodePath(drive);
    return GetVolumeSerial(volume) != m_volumeSerials.value(volume);
}

void TDirTree::RereadDrive(QTreeWidgetItem* drive) {
    ++m_changeLock;
    const auto release = qScopeGuard([this] { --m_changeLock; });
    // A selection inside goes to the volume, not to whatever neighbour the
    // view would choose while the nodes go.
    for (QTreeWidgetItem* n = currentItem(); n; n = n->parent())
        if (n == drive) {
            setCurrentItem(drive);
            break;
        }
    RefreshNode(drive);
    const QString volume = NodePath(drive);
    const TDriveCaption caption = GetDriveCaption(volume);
    drive->setText(0, caption.caption);
    m_volumeSerials.insert(volume, caption.serial);
    if (caption.serial != NoVolumeSerial) drive->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

void TDirTree::ChangeHandling() {
    if (m_changeLock != 0) return;
    if (m_inInput > 0) {
        m_changeDue = true;
        return;
    }
    QTreeWidgetItem* node = currentItem();
    if (!NodePath(node).isEmpty() && MediumChanged(NodePath(node))) {
        // The volume's node, read again, takes the node's place.
        QTreeWidgetItem* drive = StartNodeFor(NodePath(node));
        ++m_changeLock;
        const auto release = qScopeGuard([this] { --m_changeLock; });
        RereadDrive(drive);
        setCurrentItem(drive);
        node = drive;
    }
    const QString path = NodePath(node);
    if (!path.isEmpty()) {
        const QString volume = VolumeOf(path);
        if (!volume.isEmpty()) m_drivePaths.insert(volume, path);
    }
    emit Changed(path);
}

// Re-reading a volume removes the node just pressed on; the view, still
// handling the press, would then find nothing at the point and clear the
// selection. So the change of a selection made by a press is handled when
// the view is done with it.
template <class F> auto TDirTree::WithinInput(F handle) {
    ++m_inInput;
    const auto done = qScopeGuard([this] {
        if (--m_inInput == 0 && m_changeDue) {
            m_changeDue = false;
            ChangeHandling();
        }
    });
    return handle();
}

bool TDirTree::viewportEvent(QEvent* event) {
    switch (event->type()) {
    // A double click may be taken as a new press.
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return WithinInput([&] { return QTreeWidget::viewportEvent(event); });
    default:
        return QTreeWidget::viewportEvent(event);
    }
}

void TDirTree::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) Click();
}

void TDirTree::Click() {
    const QString path = NodePath(currentItem());
    if (path.isEmpty()) return;
    if (MediumChanged(path))
        ChangeHandling();
    else
        emit Clicked(path);
}

// ---------------------------------------------------------------- volumes

QString TDirTree::GetVolumeSerial(const QString& volume) const {
    const QList<TDirFileSystem::Mount> mounts = m_fs->Mounts();
    const TDirFileSystem::Mount* m = MountAt(mounts, EnsureTrailingSlash(volume));
    return m ? m->device : NoVolumeSerial;
}

unsigned TDirTree::KindOf(const QString& volume) const {
    for (const Volume& v : m_drives)
        if (v.path == volume) return v.kind;
    for (const TDirFileSystem::Mount& m : m_fs->Mounts())
        if (m.path == volume) return ClassifyMount(m);
    return drtUnknown;
}

TDirTree::TDriveCaption TDirTree::GetDriveCaption(const QString& volume) const {
    const QString v = EnsureTrailingSlash(volume);
    return CaptionOf(v, KindOf(v));
}

QString TDirTree::GetShellDisplayName(const QString& volume) const {
    const QString v = EnsureTrailingSlash(volume);
    const QList<TDirFileSystem::Mount> mounts = m_fs->Mounts();
    const TDirFileSystem::Mount* m = MountAt(mounts, v);
    return DisplayName(v, m ? m_fs->VolumeLabel(*m) : QString());
}

TDirTree::TDriveCaption TDirTree::CaptionOf(const QString& volume, unsigned kind) const {
    const QString name = volume == QLatin1String("/") ? volume : volume.chopped(1);
    const QList<TDirFileSystem::Mount> mounts = m_fs->Mounts();
    const TDirFileSystem::Mount* m = MountAt(mounts, volume);
    const QString label = m ? m_fs->VolumeLabel(*m) : QString();
    // With a mount an empty label leaves the blank before the parenthesis;
    // without one there is no label to stand there.
    TDriveCaption out = m ? TDriveCaption{label + QStringLiteral(" (") + name + QLatin1Char(')'), m->device}
                          : TDriveCaption{QLatin1Char('(') + name + QLatin1Char(')'), NoVolumeSerial};
    if (kind == drtRemovable || kind == drtRemote) out.caption = DisplayName(volume, label);
    return out;
}

// ---------------------------------------------------------------- dropped files

QStringList TDirTree::LocalFiles(const QMimeData* mime) {
    QStringList files;
    if (!mime || !mime->hasUrls()) return files;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    return files;
}

QTreeWidgetItem* TDirTree::DropNodeAt(const QPoint& pos) const {
    if (!viewport()->rect().contains(pos)) return nullptr;
    QTreeWidgetItem* node = itemAt(pos);
    return NodePath(node).isEmpty() ? nullptr : node;
}

void TDirTree::dragEnterEvent(QDragEnterEvent* event) {
    if (m_acceptDropFiles && m_windowCreated && !LocalFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TDirTree::dragMoveEvent(QDragMoveEvent* event) {
    if (m_acceptDropFiles && m_windowCreated && DropNodeAt(event->position().toPoint()) &&
        !LocalFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TDirTree::dropEvent(QDropEvent* event) {
    const QPoint pos = event->position().toPoint();
    QTreeWidgetItem* target = m_acceptDropFiles && m_windowCreated ? DropNodeAt(pos) : nullptr;
    const QStringList files = LocalFiles(event->mimeData());
    if (!target || files.isEmpty()) {
        event->ignore();
        return;
    }
    m_dropTarget = target;
    const auto clear = qScopeGuard([this] { m_dropTarget = nullptr; });
    m_droppedFiles = files;
    event->acceptProposedAction();
    if (OnDropFiles) OnDropFiles(pos.x(), pos.y(), NodePath(target), m_droppedFiles, event->modifiers());
}
