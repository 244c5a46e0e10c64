#pragma once
// A tree of the machine's directories that reads a directory's
// subdirectories only when its node is expanded. Its top-level nodes are
// the root "/" and the mounted volumes (from the system's mount list,
// classified by file-system type); mount changes are followed by polling
// the mount list. The file system sits behind TDirFileSystem, so tests give
// the tree a file system of their own.
//
// Paths are absolute, keep their case (Linux file names are case-sensitive)
// and always end in "/".
#include <QList>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <optional>

enum TDirType : unsigned { dtReadOnly = 1, dtHidden = 2, dtSystem = 4, dtArchive = 8, dtNormal = 16, dtAll = 32 };
enum TDriveType : unsigned {
    drtUnknown = 1,
    drtRemovable = 2,
    drtFixed = 4,
    drtRemote = 8,
    drtCDRom = 16,
    drtRamDisk = 32,
};
constexpr unsigned drtAllKinds = drtUnknown | drtRemovable | drtFixed | drtRemote | drtCDRom | drtRamDisk;

class TDirFileSystem {
public:
    struct Entry {
        QString name;
        bool hidden = false;   // a leading dot
        bool readOnly = false;
    };
    struct Mount {
        QString path;    // mount point, with a trailing "/"
        QString type;    // file-system type of the mount list
        QString device;  // what is mounted; a change means a new medium
    };
    virtual ~TDirFileSystem() = default;
    // The volumes of the mount list, in its order.
    virtual QList<Mount> Mounts() const = 0;
    // The subdirectories of a directory (no "." and ".."), without
    // symbolic links; nothing for a directory that cannot be read.
    virtual QList<Entry> SubDirectories(const QString& dir) const = 0;
    virtual bool DirectoryExists(const QString& dir) const = 0;
};

// The real file system; the mount list is read from a file (the system's
// own by default).
class TLocalFileSystem : public TDirFileSystem {
public:
    explicit TLocalFileSystem(QString mountList = QStringLiteral("/proc/self/mounts"));
    QList<Mount> Mounts() const override;
    QList<Entry> SubDirectories(const QString& dir) const override;
    bool DirectoryExists(const QString& dir) const override;

private:
    QString m_mountList;
};

// Parses a mount list ("device mountpoint type options ..." per line, with
// octal escapes such as "\040" for a blank).
QList<TDirFileSystem::Mount> ParseMountList(const QByteArray& text);

// The kind of a mounted volume by its file-system type and mount point; 0
// for kernel and virtual file systems and for mounts below /proc, /sys and
// /dev, which are no volumes.
unsigned ClassifyMount(const TDirFileSystem::Mount& mount);

// Path helpers.
QString EnsureTrailingSlash(const QString& path);
// The prefixes of a path below a root, each ending in "/": for root "/" and
// "/a/b/" these are "/", "/a/", "/a/b/".
QStringList PathLevels(const QString& root, const QString& path);
// Whether a path lies below a recycle folder (".Trash", ".Trash-1000",
// ".local/share/Trash", "RECYCLER", "$Recycle.Bin"); the recycle folder
// itself does not.
bool IsBelowRecycleFolder(const QString& path);

class TDirTree : public QTreeWidget {
    Q_OBJECT
public:
    // The tree takes the file system (the real one when null).
    explicit TDirTree(QWidget* parent = nullptr, std::shared_ptr<TDirFileSystem> fs = nullptr);
    ~TDirTree() override;

    unsigned DirTypes = dtNormal | dtAll;
    unsigned DriveTypes = drtAllKinds;
    bool GoBelowRecycleBin = false;
    bool FastLoad = false;
    // May refuse a volume or directory before it is added.
    std::function<bool(const QString& path)> OnAddDir;

    // Rebuilds every top-level node.
    void LoadDrives();
    // Selects the node of a directory, reading each level on the way.
    // Raises std::invalid_argument("Invalid Path Name") for an empty path;
    // a path that does not exist opens "/"; a level missing from the tree
    // stops the walk with the selection unchanged.
    void OpenPath(const QString& path);
    // The selected directory; empty when nothing is selected.
    std::optional<QString> GetSelectedPath() const;

    // Compares the mount list with the tree: adds and removes volume nodes,
    // re-reads a volume whose medium changed. Returns whether a node was
    // added or removed. Runs from the poll timer.
    bool UpdateDrives();
    void SetPollInterval(int ms);

    // The path of a node; empty for a node without one.
    static QString NodePath(const QTreeWidgetItem* item);
    QTreeWidgetItem* FindNodeByPath(const QString& path) const;
    bool NodeRead(const QTreeWidgetItem* item) const;

signals:
    // The selection changed (not while the tree rebuilds).
    void Changed(const QString& path);

private:
    struct Volume {
        QString path;
        QString device;
        unsigned kind;
    };
    QList<Volume> ReadDrives() const;
    QTreeWidgetItem* AddDriveNode(const Volume& v, int position = -1);
    QTreeWidgetItem* AddDirectoryNode(QTreeWidgetItem* parent, const QString& path, const QString& name);
    void ReadSubDirectories(QTreeWidgetItem* node);
    void ProbeSubDirectory(QTreeWidgetItem* node);
    void RefreshNode(QTreeWidgetItem* node);
    QList<TDirFileSystem::Entry> Listable(const QString& dir) const;
    bool Accepts(const QString& path, const TDirFileSystem::Entry& e) const;
    bool PassesAddDir(const QString& path) const;
    QTreeWidgetItem* StartNodeFor(const QString& path) const;
    void Expanding(QTreeWidgetItem* item);
    void ChangeHandling();

    std::shared_ptr<TDirFileSystem> m_fs;
    QList<Volume> m_drives;
    int m_changeLock = 0;
    QTimer m_poll;
};
