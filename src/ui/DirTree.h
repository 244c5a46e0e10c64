#pragma once
// A tree of the machine's directories that reads a directory's
// subdirectories only when its node is expanded. Its top-level nodes are
// the root "/" and the mounted volumes (from the system's mount table,
// classified by file-system type; a mount point that is a file is no
// volume); mount changes are followed by polling the mount table, which
// stands for the system's device notification. The file
// system sits behind TDirFileSystem, so tests give the tree a file system
// of their own.
//
// The tree's "window" is its life on screen: it is created when the tree is
// first shown or used (the drives are read then with ReadOnStart, and the
// initial directory or the pending selection is opened), and destroyed when
// the window it lives in loses its native window or the tree moves to
// another window (the selection is kept as PendingPath, the nodes go, and
// AcceptDropFiles is switched off).
//
// Paths are absolute, keep their case (Linux file names are case-sensitive)
// and always end in "/".
#include <QList>
#include <QMap>
#include <QPointer>
#include <QStyle>
#include <QWindow>
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
        bool hidden = false;  // a leading dot
        bool readOnly = false;
        bool system = false;   // only from OnFindDir: Linux has no such flags
        bool archive = false;
    };
    struct Mount {
        QString path;    // mount point, with a trailing "/"
        QString type;    // file-system type of the mount table
        QString device;  // the identity of what is mounted (the volume's
                         // serial); a change means a new medium
        QString source = {};  // what is mounted: the device node of a disk
    };
    virtual ~TDirFileSystem() = default;
    // The volumes of the mount table, in its order.
    virtual QList<Mount> Mounts() const = 0;
    // The subdirectories of a directory (no "." and ".."), without
    // symbolic links; nothing for a directory that cannot be read.
    virtual QList<Entry> SubDirectories(const QString& dir) const = 0;
    // The subdirectories of a directory one by one, in the file system's
    // order, until the visitor answers false: a search that ends at the
    // first entry wanted reads no further.
    virtual void SearchSubDirectories(const QString& dir, const std::function<bool(const Entry&)>& visit) const;
    virtual bool DirectoryExists(const QString& dir) const = 0;
    // The current directory of the process.
    virtual QString CurrentDirectory() const;
    // The directories shared with the network (paths ending in "/").
    virtual QSet<QString> SharedDirectories() const { return {}; }
    // The label of the mounted file system; empty without one.
    virtual QString VolumeLabel(const Mount&) const { return {}; }
};

// The real file system. The mount table is read from a file in the format
// of the kernel's mountinfo (the process's own by default); the shared
// directories are the "path=" lines of the desktop's user shares, one file
// per share in the share directory (Samba's, by default). The labels are
// the names of the label directory's links (udev's, by default) that lead
// to the mounted device.
class TLocalFileSystem : public TDirFileSystem {
public:
    explicit TLocalFileSystem(QString mountTable = QStringLiteral("/proc/self/mountinfo"),
                              QString shareDirectory = QStringLiteral("/var/lib/samba/usershares"),
                              QString labelDirectory = QStringLiteral("/dev/disk/by-label"));
    QList<Mount> Mounts() const override;
    QList<Entry> SubDirectories(const QString& dir) const override;
    void SearchSubDirectories(const QString& dir, const std::function<bool(const Entry&)>& visit) const override;
    bool DirectoryExists(const QString& dir) const override;
    QSet<QString> SharedDirectories() const override;
    QString VolumeLabel(const Mount& mount) const override;

private:
    QString m_mountTable;
    QString m_shareDirectory;
    QString m_labelDirectory;
};

// Parses a mount table in the mountinfo format ("id parent major:minor root
// mountpoint options [optional fields] - type source superoptions" per
// line, with octal escapes such as "\040" for a blank). The device of a
// mount, its identity, is "id major:minor source": a remount gets a new
// mount id, another medium another device number or source.
QList<TDirFileSystem::Mount> ParseMountInfo(const QByteArray& text);
// A label as udev spells it in a link name ("MY\x20DISK" for "MY DISK").
QString DecodeLabel(const QString& linkName);
// The paths of a user-share definition ("path=..." lines).
QStringList ParseSharePaths(const QByteArray& text);

// Whether an entry of a directory stream is a directory to list: by the
// kind the stream gives (a link is none), else, where the file system does
// not tell (DT_UNKNOWN), by the entry's own mode, links not followed;
// statEntry fills the mode and answers false when the entry cannot be read.
bool IsDirectoryEntry(unsigned char type, const std::function<bool(unsigned& mode)>& statEntry);

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

// The directory search record of OnFindDir.
constexpr unsigned faReadOnly = 0x01, faHidden = 0x02, faSysFile = 0x04, faDirectory = 0x10, faArchive = 0x20;
struct TDirRec {
    unsigned Attr = 0;
    QString Name;
};

class TDirTree : public QTreeWidget {
    Q_OBJECT
public:
    // The tree takes the file system (the real one when null).
    explicit TDirTree(QWidget* parent = nullptr, std::shared_ptr<TDirFileSystem> fs = nullptr);
    ~TDirTree() override;

    // Read the drives when the window is created.
    bool ReadOnStart = true;
    bool FastLoad = false;
    // Opened when the window is first created; a directory that does not
    // exist opens the current directory instead.
    QString InitialDirectory;

    // Which directories are listed; a change rebuilds the tree and opens
    // the selection again.
    unsigned DirTypes() const { return m_dirTypes; }
    void SetDirTypes(unsigned types);
    bool GoBelowRecycleBin() const { return m_goBelowRecycleBin; }
    void SetGoBelowRecycleBin(bool on);
    // Which volumes get a node; a change adds and removes volume nodes.
    unsigned DriveTypes() const { return m_driveTypes; }
    void SetDriveTypes(unsigned types);
    // Marks the directories shared with the network (see
    // TDirFileSystem::SharedDirectories) with the share emblem.
    bool ShowShareOverlay() const { return m_showShareOverlay; }
    void SetShowShareOverlay(bool on);
    // Whether a node is marked shared: 0 shared, -1 not.
    static int ShareOverlay(const QTreeWidgetItem* item);
    // Accept files dropped from the desktop; switched off whenever the
    // window is destroyed.
    bool AcceptDropFiles() const { return m_acceptDropFiles; }
    void SetAcceptDropFiles(bool on);

    // May refuse a volume or directory before it is added.
    std::function<bool(const QString& path)> OnAddDir;
    // Replaces the directory search: called with first true, then false,
    // until it sets a result other than 0; each call fills the record with
    // one entry of the directory.
    std::function<void(const QString& path, TDirRec& rec, int& result, bool first)> OnFindDir;
    // May change a node's icon after the tree set it.
    std::function<void(QTreeWidgetItem* node)> OnGetIcon;
    // A node is being deleted; its path is already detached.
    std::function<void(QTreeWidgetItem* node)> OnDeleteItem;
    // Files were dropped onto a node: the drop point, the node's directory,
    // the files and the keys held.
    std::function<void(int x, int y, const QString& dropDir, const QStringList& files, Qt::KeyboardModifiers shift)>
        OnDropFiles;

    // Creates the window when it does not exist yet (see the top).
    void HandleNeeded();
    bool WindowCreated() const { return m_windowCreated; }
    // The selection kept while the window does not exist.
    std::optional<QString> PendingPath() const;

    // Rebuilds every top-level node.
    void LoadDrives();
    // Selects the node of a directory, reading each level on the way.
    // Raises std::invalid_argument("Invalid Path Name") for an empty path;
    // a path that does not exist opens the mount point holding the current
    // directory (the root of its volume); a level missing from the tree
    // stops the walk with the selection unchanged.
    void OpenPath(const QString& path);
    // The selected directory; empty when nothing is selected.
    std::optional<QString> GetSelectedPath() const;
    // Per volume (mount point), the path last selected on it: the volume's
    // root until one was, the current directory on its own volume.
    QString DrivePath(const QString& volume) const;
    QStringList Volumes() const;
    // The files of the last drop, and the node a drop is going to while
    // OnDropFiles runs.
    QStringList DroppedFiles() const { return m_droppedFiles; }
    QTreeWidgetItem* DropTarget() const { return m_dropTarget; }

    // Compares the mount table with the tree: adds and removes volume
    // nodes. Returns whether a node was added or removed.
    bool UpdateDrives();
    // A device notification: volumes added and removed, every volume node
    // whose medium changed read again, and then one change notification
    // for the selection. The poll timer runs it when the mount table's
    // volumes differ from the tree's record.
    void DeviceChange();
    void SetPollInterval(int ms);

    // The serial of a volume: the identity of what is mounted there now,
    // NoVolumeSerial without a mount.
    static inline const QString NoVolumeSerial = QStringLiteral("-1");
    QString GetVolumeSerial(const QString& volume) const;
    // Per volume node, the serial recorded when its caption was last read;
    // a volume never read has none.
    QMap<QString, QString> VolumeSerials() const { return m_volumeSerials; }
    struct TDriveCaption {
        QString caption;
        QString serial;
    };
    // A volume's caption: its label + " (" + mount point + ")", without a
    // mount "(" + mount point + ")"; a removable or remote volume shows its
    // display name (GetShellDisplayName) instead.
    TDriveCaption GetDriveCaption(const QString& volume) const;
    // The label of the volume mounted there, else the mount point's name.
    QString GetShellDisplayName(const QString& volume) const;

    // The path of a node; empty for a node without one.
    static QString NodePath(const QTreeWidgetItem* item);
    QTreeWidgetItem* FindNodeByPath(const QString& path) const;
    bool NodeRead(const QTreeWidgetItem* item) const;

signals:
    // The selection changed (not while the tree rebuilds). A node on a
    // volume whose medium changed reports the volume's node instead.
    void Changed(const QString& path);
    // A click on the tree with a node selected, unless the click found the
    // node's medium changed (then Changed reports the volume's node).
    void Clicked(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void Click();

private:
    struct Volume {
        QString path;
        QString device;
        unsigned kind;
        bool operator==(const Volume&) const = default;
    };
    void CreateWnd();
    void DestroyWnd();
    void HookWindow();
    void RefreshTree();
    void ClearNodes();
    void DeleteNode(QTreeWidgetItem* node);
    void DeleteChildren(QTreeWidgetItem* node);
    QList<Volume> ReadDrives() const;
    QTreeWidgetItem* AddDriveNode(const Volume& v, int position = -1);
    QTreeWidgetItem* AddDirectoryNode(QTreeWidgetItem* parent, const QString& path, const QString& name);
    void SetNodeIcons(QTreeWidgetItem* node, QStyle::StandardPixmap closed, QStyle::StandardPixmap open);
    void ApplyShareOverlay(QTreeWidgetItem* node, const QSet<QString>& shared);
    void ReadSubDirectories(QTreeWidgetItem* node);
    void ProbeSubDirectory(QTreeWidgetItem* node);
    void RefreshNode(QTreeWidgetItem* node);
    // The directory search (OnFindDir, else the file system) over the
    // entries that would be taken, until the visitor answers false.
    void SearchListable(const QString& dir, const std::function<bool(const TDirFileSystem::Entry&)>& visit) const;
    // The mount point that holds the current directory.
    QString CurrentVolumeRoot() const;
    bool Accepts(const QString& path, const TDirFileSystem::Entry& e) const;
    bool PassesAddDir(const QString& path) const;
    QTreeWidgetItem* StartNodeFor(const QString& path) const;
    QString VolumeOf(const QString& path) const;
    QTreeWidgetItem* DropNodeAt(const QPoint& viewportPos) const;
    static QStringList LocalFiles(const QMimeData* mime);
    void Expanding(QTreeWidgetItem* item);
    void ChangeHandling();
    void CheckMediaChange();
    bool MediumChanged(const QString& path) const;
    void RereadDrive(QTreeWidgetItem* drive);
    unsigned KindOf(const QString& volume) const;
    TDriveCaption CaptionOf(const QString& volume, unsigned kind) const;

    std::shared_ptr<TDirFileSystem> m_fs;
    unsigned m_dirTypes = dtNormal | dtAll;
    unsigned m_driveTypes = drtAllKinds;
    bool m_goBelowRecycleBin = false;
    bool m_showShareOverlay = false;
    bool m_acceptDropFiles = false;
    bool m_windowCreated = false;
    bool m_loaded = false;  // the initial directory was opened
    bool m_pending = false;
    QString m_pendingPath;
    QPointer<QWindow> m_hookedWindow;
    QWidget* m_hookedTop = nullptr;
    QMap<QString, QString> m_drivePaths;
    QStringList m_droppedFiles;
    QTreeWidgetItem* m_dropTarget = nullptr;
    QList<Volume> m_drives;
    QMap<QString, QString> m_volumeSerials;
    int m_changeLock = 0;
    // A mouse press the view is handling; a change arising meanwhile is
    // handled when the view is done with it.
    int m_inInput = 0;
    bool m_changeDue = false;
    template <class F> auto WithinInput(F handle);
    int m_pollMs = 2000;
    QTimer m_poll;
};
