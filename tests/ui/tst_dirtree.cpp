// The directory tree on a file system of the test's own: volumes from the
// mount list, order without regard to case, hidden and recycle folders,
// lazy reading, OpenPath, the selected path, the change notification
// after a mount change, the medium check and the volumes' captions.
#include "support/TestSupport.h"
#include "ui/DirTree.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>
#include <QUrl>
#include <QVBoxLayout>
#include <QtTest>
#include <dirent.h>
#include <filesystem>
#include <map>
#include <sys/stat.h>

namespace {

class FakeFileSystem : public TDirFileSystem {
public:
    QList<Mount> mounts;
    std::map<QString, QList<Entry>> dirs;  // path with "/" -> subdirectories
    std::map<QString, QString> labels;     // device -> label
    mutable QStringList listed;            // every directory read, in order
    QString cwd;                           // the current directory; the process's when empty

    void AddDir(const QString& path) {
        QString p = EnsureTrailingSlash(path);
        dirs.try_emplace(p);
        while (p != QLatin1String("/")) {
            const QString parent = p.left(p.lastIndexOf(QLatin1Char('/'), -2) + 1);
            const QString name = p.mid(parent.size()).chopped(1);
            QList<Entry>& list = dirs[parent];
            if (std::none_of(list.begin(), list.end(), [&](const Entry& e) { return e.name == name; }))
                list.append({name, name.startsWith(QLatin1Char('.')), false});
            p = parent;
        }
    }
    QList<Mount> Mounts() const override { return mounts; }
    QList<Entry> SubDirectories(const QString& dir) const override {
        listed << dir;
        const auto it = dirs.find(dir);
        return it == dirs.end() ? QList<Entry>{} : it->second;
    }
    bool DirectoryExists(const QString& dir) const override { return dirs.count(EnsureTrailingSlash(dir)) > 0; }
    QString CurrentDirectory() const override { return cwd.isEmpty() ? TDirFileSystem::CurrentDirectory() : cwd; }
    QString VolumeLabel(const Mount& m) const override {
        const auto it = labels.find(m.device);
        return it == labels.end() ? QString() : it->second;
    }
    // Another medium at a mount point: a new identity, with its label.
    void ChangeMedium(const QString& path, const QString& device, const QString& label = {}) {
        for (Mount& m : mounts)
            if (m.path == path) m.device = device;
        if (!label.isEmpty()) labels[device] = label;
    }
};

std::shared_ptr<FakeFileSystem> Machine() {
    auto fs = std::make_shared<FakeFileSystem>();
    fs->mounts = {{"/", "ext4", "/dev/sda1"},          {"/proc/", "proc", "proc"},
                  {"/sys/", "sysfs", "sysfs"},         {"/dev/", "devtmpfs", "udev"},
                  {"/run/", "tmpfs", "tmpfs"},         {"/home/", "ext4", "/dev/sda2"},
                  {"/net/share/", "nfs4", "srv:/x"},   {"/media/u/STICK/", "vfat", "/dev/sdb1"},
                  {"/tmp/", "tmpfs", "tmpfs"},         {"/snap/core/1/", "squashfs", "/dev/loop0"}};
    for (const char* d : {"/home/u/projects/Alpha", "/home/u/projects/beta", "/home/u/projects/Gamma",
                          "/home/u/projects/alpha2", "/home/u/.config/app", "/home/u/.local/share/Trash/files/x",
                          "/home/u/.Trash-1000/info", "/home/u/empty", "/home/other", "/etc", "/usr/lib",
                          "/net/share/p1", "/media/u/STICK/data", "/tmp/t", "/snap/core/1/x"})
        fs->AddDir(QString::fromLatin1(d));
    fs->labels = {{"/dev/sda2", "DATA"}, {"/dev/sdb1", "KEY 2"}};
    return fs;
}

QStringList TopLevel(const TDirTree& t) {
    QStringList out;
    for (int i = 0; i < t.topLevelItemCount(); ++i) out << TDirTree::NodePath(t.topLevelItem(i));
    return out;
}

QStringList Children(const QTreeWidgetItem* item) {
    QStringList out;
    for (int i = 0; i < item->childCount(); ++i) out << item->child(i)->text(0);
    return out;
}

// A directory of the test's own with a mount table, a share directory and
// a label directory: T/vol a volume with a, b and c, T/hosts a file mounted
// like a volume (as containers bind files), T/gone a mount point that no
// longer exists. The devices are files in T/devs; T/by-label names sdb1
// "MY DISK" (a relative link, as udev makes them) and sdc1 "OTHER". The
// root "/" is refused, so the tree lists nothing outside T.
struct RealMachine {
    TestDir dir;
    QString t;
    RealMachine() {
        t = dir.path();
        for (const char* d : {"vol/a/a1", "vol/b", "vol/c", "shares", "devs", "by-label"}) QDir().mkpath(t + "/" + d);
        for (const char* f : {"hosts", "devs/sda1", "devs/sdb1", "devs/sdc1"}) {
            QFile file(t + "/" + f);
            file.open(QIODevice::WriteOnly);
            file.write("x\n");
        }
        std::filesystem::create_symlink("../devs/sdb1", (t + "/by-label/MY\\x20DISK").toStdString());
        std::filesystem::create_symlink((t + "/devs/sdc1").toStdString(), (t + "/by-label/OTHER").toStdString());
        WriteTable("22 1 8:1 / / rw shared:1 - ext4 T/devs/sda1 rw\n"
                   "30 22 8:2 / T/vol rw shared:2 - ext4 T/devs/sdb1 rw\n"
                   "31 22 8:1 /etc/hosts T/hosts rw - ext4 T/devs/sda1 rw\n"
                   "32 22 8:3 / T/gone rw - ext4 T/devs/sdc1 rw\n");
    }
    // A mount table with "T" for the test's directory.
    void WriteTable(QString text) const {
        QFile table(t + "/mountinfo");
        table.open(QIODevice::WriteOnly);
        table.write(text.replace(QLatin1String(" T/"), QLatin1Char(' ') + t + QLatin1Char('/')).toUtf8());
    }
    std::shared_ptr<TLocalFileSystem> Fs() const {
        return std::make_shared<TLocalFileSystem>(t + "/mountinfo", t + "/shares", t + "/by-label");
    }
    void Prepare(TDirTree& tree) const {
        tree.OnAddDir = [](const QString& p) { return p != QLatin1String("/"); };
        tree.InitialDirectory.clear();
    }
    void Share(const QString& name, const QString& text) const {
        QFile f(t + "/shares/" + name);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
    }
};

// A form whose native window can be destroyed and made again.
class Form : public QWidget {
public:
    void DestroyWindow() { destroy(); }
    void CreateWindow() { create(); }
};

QMimeData* FileDrag(const QStringList& files) {
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString& f : files) urls << (f.contains("://") ? QUrl(f) : QUrl::fromLocalFile(f));
    mime->setUrls(urls);
    return mime;
}

// A drop from the desktop as Qt delivers it: enter, move, drop on the
// tree's viewport. Returns whether the drop was accepted; tells whether
// the drag was accepted on entering and on moving.
bool DropOn(TDirTree& tree, QPoint pos, const QStringList& files, Qt::KeyboardModifiers keys, bool* entered = nullptr,
            bool* moved = nullptr) {
    std::unique_ptr<QMimeData> mime(FileDrag(files));
    QDragEnterEvent enter(pos, Qt::CopyAction, mime.get(), Qt::LeftButton, keys);
    QApplication::sendEvent(tree.viewport(), &enter);
    QDragMoveEvent move(pos, Qt::CopyAction, mime.get(), Qt::LeftButton, keys);
    QApplication::sendEvent(tree.viewport(), &move);
    if (entered) *entered = enter.isAccepted();
    if (moved) *moved = move.isAccepted();
    QDropEvent drop(QPointF(pos), Qt::CopyAction, mime.get(), Qt::LeftButton, keys);
    QApplication::sendEvent(tree.viewport(), &drop);
    return drop.isAccepted();
}

int CountNodes(const TDirTree& tree) {
    int n = 0;
    QList<QTreeWidgetItem*> todo;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) todo << tree.topLevelItem(i);
    while (!todo.isEmpty()) {
        QTreeWidgetItem* item = todo.takeFirst();
        ++n;
        for (int i = 0; i < item->childCount(); ++i) todo << item->child(i);
    }
    return n;
}

}  // namespace

class TstDirTree : public QObject {
    Q_OBJECT
private slots:
    void mountInfo_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("device");  // the identity: id, major:minor, source
        QTest::addColumn<QString>("source");
        QTest::newRow("plain") << QByteArray("22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n") << "/"
                               << "ext4" << "22 8:1 /dev/sda1" << "/dev/sda1";
        QTest::newRow("no optional fields") << QByteArray("31 22 8:17 / /home rw - xfs /dev/sdb1 rw") << "/home/"
                                            << "xfs" << "31 8:17 /dev/sdb1" << "/dev/sdb1";
        QTest::newRow("two optional fields") << QByteArray("40 22 0:50 / /mnt/n rw shared:7 master:2 - nfs4 srv:/x rw")
                                             << "/mnt/n/" << "nfs4" << "40 0:50 srv:/x" << "srv:/x";
        QTest::newRow("escaped blank") << QByteArray("50 22 8:33 / /media/u/MY\\040DISK rw - vfat /dev/sdc1 rw")
                                       << "/media/u/MY DISK/" << "vfat" << "50 8:33 /dev/sdc1" << "/dev/sdc1";
        QTest::newRow("escape cut short at the end") << QByteArray("52 22 8:1 / /mnt/a\\04 rw - ext4 /dev/sda1 rw")
                                                     << "/mnt/a\\04/" << "ext4" << "52 8:1 /dev/sda1" << "/dev/sda1";
        QTest::newRow("tab and backslash") << QByteArray("51 22 0:51 / /mnt/x\\011y rw - cifs //s/a\\134b rw")
                                           << "/mnt/x\ty/" << "cifs" << "51 0:51 //s/a\\b" << "//s/a\\b";
    }
    void mountInfo() {
        QFETCH(QByteArray, text);
        QFETCH(QString, path);
        QFETCH(QString, type);
        QFETCH(QString, device);
        QFETCH(QString, source);
        // Lines that are no mountinfo lines, or end before the source, are
        // passed over.
        const auto mounts = ParseMountInfo(text + "\n\nbroken line\n/dev/sda1 / ext4 rw 0 0\n"
                                                  "60 22 8:1 / /mnt/t rw shared:1 shared:2 - ext4\n"
                                                  "61 22 8:1 / /mnt/u rw shared:1 shared:2 shared:3 -\n");
        QCOMPARE(mounts.size(), 1);
        QCOMPARE(mounts[0].path, path);
        QCOMPARE(mounts[0].type, type);
        QCOMPARE(mounts[0].device, device);
        QCOMPARE(mounts[0].source, source);
    }

    void classify_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("type");
        QTest::addColumn<unsigned>("kind");
        QTest::newRow("disk") << "/home/" << "ext4" << unsigned(drtFixed);
        QTest::newRow("nfs") << "/net/x/" << "nfs4" << unsigned(drtRemote);
        QTest::newRow("cifs") << "/mnt/win/" << "cifs" << unsigned(drtRemote);
        QTest::newRow("stick in media") << "/media/u/S/" << "vfat" << unsigned(drtRemovable);
        QTest::newRow("stick in run/media") << "/run/media/u/S/" << "exfat" << unsigned(drtRemovable);
        QTest::newRow("vfat elsewhere") << "/boot/efi/" << "vfat" << unsigned(drtFixed);
        QTest::newRow("cd") << "/media/cdrom/" << "iso9660" << unsigned(drtCDRom);
        QTest::newRow("tmpfs") << "/tmp/" << "tmpfs" << unsigned(drtRamDisk);
        QTest::newRow("run tmpfs") << "/run/user/1000/" << "tmpfs" << 0u;
        QTest::newRow("proc") << "/proc/" << "proc" << 0u;
        QTest::newRow("disk below proc") << "/proc/x/" << "ext4" << 0u;
        QTest::newRow("disk below sys") << "/sys/fs/x/" << "ext4" << 0u;
        QTest::newRow("dev shm") << "/dev/shm/" << "tmpfs" << 0u;
        QTest::newRow("devel is not dev") << "/devel/" << "ext4" << unsigned(drtFixed);
        QTest::newRow("squashfs") << "/snap/core/1/" << "squashfs" << unsigned(drtUnknown);
    }
    void classify() {
        QFETCH(QString, path);
        QFETCH(QString, type);
        QFETCH(unsigned, kind);
        QCOMPARE(ClassifyMount({path, type, "x"}), kind);
    }

    void recycleRule_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("below");
        QTest::newRow("trash folder itself") << "/home/u/.local/share/Trash/" << false;
        QTest::newRow("below trash") << "/home/u/.local/share/Trash/files/" << true;
        QTest::newRow("Trash elsewhere") << "/home/u/Trash/files/" << false;
        QTest::newRow("volume trash") << "/media/u/S/.Trash-1000/" << false;
        QTest::newRow("below volume trash") << "/media/u/S/.Trash-1000/info/" << true;
        QTest::newRow("not a uid") << "/a/.Trash-x/info/" << false;
        QTest::newRow("recycler any case") << "/mnt/win/ReCyClEr/S-1/" << true;
        QTest::newRow("recycle bin") << "/mnt/win/$Recycle.Bin/S-1/" << true;
        QTest::newRow("recycled itself") << "/mnt/win/RECYCLED" << false;
    }
    void recycleRule() {
        QFETCH(QString, path);
        QFETCH(bool, below);
        QCOMPARE(IsBelowRecycleFolder(path), below);
    }

    void pathLevels() {
        QCOMPARE(PathLevels("/", "/a/b"), (QStringList{"/", "/a/", "/a/b/"}));
        QCOMPARE(PathLevels("/home/", "/home/u/"), (QStringList{"/home/", "/home/u/"}));
        QCOMPARE(PathLevels("/home/", "/homes/u/"), QStringList{});
    }

    void volumesFromTheMountList_data() {
        QTest::addColumn<unsigned>("driveTypes");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("all kinds") << drtAllKinds
                                   << QStringList{"/", "/home/", "/media/u/STICK/", "/net/share/", "/snap/core/1/", "/tmp/"};
        QTest::newRow("fixed and remote") << unsigned(drtFixed | drtRemote)
                                          << QStringList{"/", "/home/", "/net/share/"};
        QTest::newRow("remote only keeps the root") << unsigned(drtRemote) << QStringList{"/", "/net/share/"};
    }
    void volumesFromTheMountList() {
        QFETCH(unsigned, driveTypes);
        QFETCH(QStringList, expected);
        auto fs = Machine();
        // A disk covered by a later automount point is no volume.
        fs->mounts.append({{"/mnt/covered/", "ext4", "/dev/sdm1"}, {"/mnt/covered/", "autofs", "systemd-1"}});
        fs->AddDir("/mnt/covered");
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.SetDriveTypes(driveTypes);
        tree.LoadDrives();
        QCOMPARE(TopLevel(tree), expected);
    }

    void childrenSortedWithoutRegardToCase() {
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.OpenPath("/home/u/projects");
        QTreeWidgetItem* projects = tree.FindNodeByPath("/home/u/projects/");
        QVERIFY(projects);
        tree.expandItem(projects);
        QCOMPARE(Children(projects), (QStringList{"Alpha", "alpha2", "beta", "Gamma"}));
        QCOMPARE(TDirTree::NodePath(projects->child(1)), QStringLiteral("/home/u/projects/alpha2/"));
    }

    void hiddenFolders_data() {
        QTest::addColumn<unsigned>("dirTypes");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("all") << unsigned(dtNormal | dtAll) << QStringList{".config", ".local", ".Trash-1000", "empty", "projects"};
        QTest::newRow("normal only") << unsigned(dtNormal) << QStringList{"empty", "projects"};
        QTest::newRow("normal and hidden") << unsigned(dtNormal | dtHidden)
                                           << QStringList{".config", ".local", ".Trash-1000", "empty", "projects"};
    }
    void hiddenFolders() {
        QFETCH(unsigned, dirTypes);
        QFETCH(QStringList, expected);
        TDirTree tree(nullptr, Machine());
        tree.InitialDirectory.clear();
        tree.SetDirTypes(dirTypes);
        tree.LoadDrives();
        // Below /home (a volume of its own): u's folders.
        QTreeWidgetItem* home = tree.FindNodeByPath("/home/");
        QVERIFY(home);
        tree.expandItem(home);
        QTreeWidgetItem* u = tree.FindNodeByPath("/home/u/");
        QVERIFY(u);
        tree.expandItem(u);
        QCOMPARE(Children(u), expected);
    }

    void recycleFoldersAreListedButNotEntered_data() {
        QTest::addColumn<bool>("below");
        QTest::addColumn<int>("trashChildren");
        QTest::newRow("default") << false << 0;
        QTest::newRow("GoBelowRecycleBin") << true << 1;
    }
    void recycleFoldersAreListedButNotEntered() {
        QFETCH(bool, below);
        QFETCH(int, trashChildren);
        TDirTree tree(nullptr, Machine());
        tree.InitialDirectory.clear();
        tree.SetGoBelowRecycleBin(below);
        tree.OpenPath("/home/u/.local/share");
        tree.expandItem(tree.currentItem());
        QTreeWidgetItem* trash = tree.FindNodeByPath("/home/u/.local/share/Trash/");
        QVERIFY(trash);  // listed
        QCOMPARE(trash->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator, below);
        tree.expandItem(trash);
        QCOMPARE(trash->childCount(), trashChildren);
        QCOMPARE(trash->childCount() > 0, below);
    }

    void readsLazily() {
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        // Nothing is read before the tree's window exists.
        QVERIFY(fs->listed.isEmpty());
        QCOMPARE(tree.topLevelItemCount(), 0);
        tree.show();
        QVERIFY(tree.WindowCreated());
        // Loading probes the fixed and remote volumes only; removable media
        // and unknown volumes are not read until expanded.
        QVERIFY(fs->listed.contains("/"));
        QVERIFY(fs->listed.contains("/home/"));
        QVERIFY(!fs->listed.contains("/media/u/STICK/"));
        QVERIFY(!fs->listed.contains("/snap/core/1/"));
        QVERIFY(!fs->listed.contains("/home/u/"));
        QTreeWidgetItem* home = tree.FindNodeByPath("/home/");
        QVERIFY(!tree.NodeRead(home));
        QCOMPARE(home->childCount(), 0);
        QCOMPARE(home->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        // Unsearched volumes get their expand button all the same.
        QCOMPARE(tree.FindNodeByPath("/media/u/STICK/")->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        QCOMPARE(tree.FindNodeByPath("/snap/core/1/")->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        fs->listed.clear();
        tree.expandItem(home);
        QVERIFY(tree.NodeRead(home));
        // One level: home itself, then a probe of each child; nothing deeper.
        QCOMPARE(fs->listed, (QStringList{"/home/", "/home/other/", "/home/u/"}));
        QTreeWidgetItem* other = tree.FindNodeByPath("/home/other/");
        QCOMPARE(other->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
        QCOMPARE(tree.FindNodeByPath("/home/u/")->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        // Expanding again reads nothing.
        tree.collapseItem(home);
        fs->listed.clear();
        tree.expandItem(home);
        QVERIFY(fs->listed.isEmpty());
    }

    // FastLoad: every volume gets its expand button without being searched;
    // without it the fixed, remote and memory volumes are probed and an
    // empty one gets none.
    void fastLoad_data() {
        QTest::addColumn<bool>("fast");
        QTest::addColumn<QStringList>("probed");
        QTest::addColumn<bool>("emptyHasButton");
        QTest::newRow("fast") << true << QStringList{} << true;
        QTest::newRow("not fast") << false << QStringList{"/", "/home/", "/mnt/empty/", "/net/share/", "/tmp/"} << false;
    }
    void fastLoad() {
        QFETCH(bool, fast);
        QFETCH(QStringList, probed);
        QFETCH(bool, emptyHasButton);
        auto fs = Machine();
        fs->mounts.append({"/mnt/empty/", "ext4", "/dev/sdc1"});
        fs->AddDir("/mnt/empty");
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.FastLoad = fast;
        tree.LoadDrives();
        QStringList listed = fs->listed;
        listed.removeDuplicates();
        listed.sort();
        QCOMPARE(listed, probed);
        for (int i = 0; i < tree.topLevelItemCount(); ++i) {
            const QTreeWidgetItem* volume = tree.topLevelItem(i);
            const bool button = volume->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
            QCOMPARE(button, TDirTree::NodePath(volume) == "/mnt/empty/" ? emptyHasButton : true);
        }
    }

    void openPath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("cwd");       // the current directory
        QTest::addColumn<QString>("selected");  // "" = nothing
        const QString here = "/home/u/projects";
        QTest::newRow("deep") << "/home/u/projects/beta" << here << "/home/u/projects/beta/";
        QTest::newRow("trailing slash") << "/home/u/projects/beta/" << here << "/home/u/projects/beta/";
        QTest::newRow("through the root volume") << "/usr/lib" << here << "/usr/lib/";
        QTest::newRow("a volume root") << "/net/share" << here << "/net/share/";
        QTest::newRow("below a volume") << "/net/share/p1" << here << "/net/share/p1/";
        // A path missing on disk opens the volume of the current directory:
        // its mount point, neither "/" nor the current directory itself.
        QTest::newRow("missing on disk: the current directory's volume") << "/home/u/nothing" << here << "/home/";
        QTest::newRow("case differs: missing on disk") << "/HOME/u" << here << "/home/";
        QTest::newRow("missing, current directory on the root volume") << "/home/u/nothing" << "/usr/lib" << "/";
        QTest::newRow("missing, current directory on a stick") << "/nowhere" << "/media/u/STICK/data"
                                                               << "/media/u/STICK/";
        QTest::newRow("missing, current directory at a mount point") << "/nowhere" << "/net/share" << "/net/share/";
        QTest::newRow("relative") << "." << here << "";
        QTest::newRow("hidden level not in the tree") << "/home/u/.config/app" << here << "";
    }
    void openPath() {
        QFETCH(QString, path);
        QFETCH(QString, cwd);
        QFETCH(QString, selected);
        auto fs = Machine();
        fs->cwd = cwd;
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        if (QByteArray(QTest::currentDataTag()).startsWith("hidden")) {
            tree.SetDirTypes(dtNormal);
            tree.LoadDrives();
        }
        tree.OpenPath(path);
        const std::optional<QString> got = tree.GetSelectedPath();
        if (selected.isEmpty()) {
            QVERIFY2(!got, qPrintable(got.value_or(QString())));
        } else {
            QVERIFY(got);
            QCOMPARE(*got, selected);
        }
    }

    // An expand lists the node and gives each child its expand button; a
    // child's search ends at its first directory that would be listed, so
    // OnAddDir is asked once per listed child and once per entry up to the
    // first taken one of each child. Below /big: a (a1..a5), b (.h, b1, b2)
    // and c (.h1, .h2).
    void expandSearchesOnlyToTheFirstListable_data() {
        QTest::addColumn<unsigned>("dirTypes");
        QTest::addColumn<QString>("refused");  // OnAddDir refuses this path
        QTest::addColumn<int>("calls");
        QTest::addColumn<QString>("buttons");  // which of a, b, c get an expand button
        // 3 children, then a1, .h, .h1 (a whole listing would ask 13 times).
        QTest::newRow("every kind") << unsigned(dtAll) << "" << 3 + 1 + 1 + 1 << "abc";
        // b: .h is refused by the kind, b1 taken; c: both hidden, none taken.
        QTest::newRow("normal only") << unsigned(dtNormal) << "" << 3 + 1 + 2 + 2 << "ab";
        // a1 refused by OnAddDir itself: a2 ends a's search.
        QTest::newRow("first refused by OnAddDir") << unsigned(dtAll) << "/big/a/a1/" << 3 + 2 + 1 + 1 << "abc";
    }
    void expandSearchesOnlyToTheFirstListable() {
        QFETCH(unsigned, dirTypes);
        QFETCH(QString, refused);
        QFETCH(int, calls);
        QFETCH(QString, buttons);
        auto fs = Machine();
        for (const char* d : {"/big/a/a1", "/big/a/a2", "/big/a/a3", "/big/a/a4", "/big/a/a5", "/big/b/.h",
                              "/big/b/b1", "/big/b/b2", "/big/c/.h1", "/big/c/.h2"})
            fs->AddDir(QString::fromLatin1(d));
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.SetDirTypes(dirTypes);
        tree.OpenPath("/big");
        QTreeWidgetItem* big = tree.currentItem();
        QCOMPARE(TDirTree::NodePath(big), QStringLiteral("/big/"));
        QVERIFY(!tree.NodeRead(big));
        int asked = 0;
        tree.OnAddDir = [&](const QString& p) {
            ++asked;
            return p != refused;
        };
        tree.expandItem(big);
        QCOMPARE(asked, calls);
        QCOMPARE(Children(big), (QStringList{"a", "b", "c"}));
        QString shown;
        for (int i = 0; i < big->childCount(); ++i)
            if (big->child(i)->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator) shown += big->child(i)->text(0);
        QCOMPARE(shown, buttons);
        QCOMPARE(big->child(0)->childCount(), 0);  // nothing read below a child
    }

    void openPathKeepsTheSelectionWhenALevelIsMissing() {
        TDirTree tree(nullptr, Machine());
        tree.InitialDirectory.clear();
        tree.SetDirTypes(dtNormal);
        tree.LoadDrives();
        tree.OpenPath("/home/u/projects");
        tree.OpenPath("/home/u/.config");  // exists on disk, hidden from the tree
        QCOMPARE(tree.GetSelectedPath().value_or(QString()), QStringLiteral("/home/u/projects/"));
    }

    void emptyPathIsRefused() {
        TDirTree tree(nullptr, Machine());
        tree.InitialDirectory.clear();
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, tree.OpenPath(QString()));
        QVERIFY(!tree.GetSelectedPath());
    }

    void onAddDirMayRefuse() {
        TDirTree tree(nullptr, Machine());
        tree.InitialDirectory.clear();
        tree.OnAddDir = [](const QString& p) { return !p.endsWith(QLatin1String("/beta/")) && p != "/tmp/"; };
        tree.LoadDrives();
        QVERIFY(!TopLevel(tree).contains("/tmp/"));
        tree.OpenPath("/home/u/projects");
        tree.expandItem(tree.currentItem());
        QCOMPARE(Children(tree.currentItem()), (QStringList{"Alpha", "alpha2", "Gamma"}));
    }

    void oneChangeAfterAMountChangeAndNoneWhileLoading() {
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.SetPollInterval(0);
        QSignalSpy changed(&tree, &TDirTree::Changed);
        tree.OpenPath("/home/u");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.takeFirst().at(0).toString(), QStringLiteral("/home/u/"));
        tree.LoadDrives();  // rebuilding reports nothing
        QCOMPARE(changed.count(), 0);
        tree.OpenPath("/home/u");
        changed.clear();
        // Nothing changed: nothing reported.
        QVERIFY(!tree.UpdateDrives());
        QCOMPARE(changed.count(), 0);
        // A new volume: one report, for the selection.
        fs->mounts.append({"/mnt/backup/", "xfs", "/dev/sdc1"});
        fs->AddDir("/mnt/backup/b");
        QVERIFY(tree.UpdateDrives());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.takeFirst().at(0).toString(), QStringLiteral("/home/u/"));
        QCOMPARE(TopLevel(tree), (QStringList{"/", "/home/", "/media/u/STICK/", "/mnt/backup/", "/net/share/",
                                              "/snap/core/1/", "/tmp/"}));
        // A volume gone: one report.
        fs->mounts.removeIf([](const TDirFileSystem::Mount& m) { return m.path == "/net/share/"; });
        QVERIFY(tree.UpdateDrives());
        QCOMPARE(changed.count(), 1);
        QVERIFY(!TopLevel(tree).contains("/net/share/"));
    }

    // A volume the tree refused has no node: its coming and going adds and
    // removes nothing, so nothing is reported. A listed neighbour going
    // away still is.
    void refusedVolumeComesAndGoesUnreported() {
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.SetPollInterval(0);
        tree.OnAddDir = [](const QString& p) { return p != QLatin1String("/mnt/hidden/"); };
        tree.OpenPath("/home/u");
        QSignalSpy changed(&tree, &TDirTree::Changed);
        fs->mounts.append({"/mnt/hidden/", "ext4", "/dev/sdf1"});
        fs->AddDir("/mnt/hidden");
        QVERIFY(!tree.UpdateDrives());
        QVERIFY(!TopLevel(tree).contains("/mnt/hidden/"));
        fs->mounts.removeIf([](const TDirFileSystem::Mount& m) { return m.path == "/mnt/hidden/"; });
        QVERIFY(!tree.UpdateDrives());
        QCOMPARE(changed.count(), 0);
        fs->mounts.removeIf([](const TDirFileSystem::Mount& m) { return m.path == "/tmp/"; });
        QVERIFY(tree.UpdateDrives());
        QCOMPARE(changed.count(), 1);
    }

    void mediumChangeRereadsOnlyThatVolume() {
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.SetPollInterval(0);
        tree.OpenPath("/media/u/STICK/data");
        QTreeWidgetItem* stick = tree.FindNodeByPath("/media/u/STICK/");
        QTreeWidgetItem* home = tree.FindNodeByPath("/home/");
        tree.expandItem(home);
        QCOMPARE(stick->childCount(), 1);
        QSignalSpy changed(&tree, &TDirTree::Changed);
        fs->ChangeMedium("/media/u/STICK/", "/dev/sdd1", "CARD");
        QVERIFY(!tree.UpdateDrives());  // no volume came or went
        QCOMPARE(changed.count(), 0);
        tree.DeviceChange();
        QCOMPARE(changed.count(), 1);
        QVERIFY(!tree.NodeRead(stick));
        QCOMPARE(stick->childCount(), 0);
        QCOMPARE(stick->text(0), QStringLiteral("CARD"));
        QCOMPARE(tree.VolumeSerials().value("/media/u/STICK/"), QStringLiteral("/dev/sdd1"));
        QVERIFY(tree.NodeRead(home));  // untouched
        // Recorded now: a notification for another volume leaves it alone.
        tree.expandItem(stick);
        QVERIFY(tree.NodeRead(stick));
        fs->mounts.append({"/mnt/other/", "ext4", "/dev/sdh1"});
        fs->AddDir("/mnt/other");
        tree.DeviceChange();
        QVERIFY(tree.NodeRead(stick));
        QCOMPARE(stick->childCount(), 1);
    }

    // The selection inside a volume whose medium changed does not jump to
    // an unrelated directory (the project search would search there): it
    // goes to the changed volume itself.
    void selectionInsideAChangedMedium() {
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.SetPollInterval(0);
        // Neighbours on both sides of the volume, already read.
        tree.OpenPath("/net/share/p1");
        tree.OpenPath("/home/u/projects");
        tree.OpenPath("/media/u/STICK/data");
        QSignalSpy changed(&tree, &TDirTree::Changed);
        fs->ChangeMedium("/media/u/STICK/", "/dev/sdd1");
        tree.DeviceChange();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(0).toString(), QStringLiteral("/media/u/STICK/"));
        QCOMPARE(tree.GetSelectedPath().value_or(QString()), QStringLiteral("/media/u/STICK/"));
    }

    void pollingFollowsTheMountList() {
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        QSignalSpy changed(&tree, &TDirTree::Changed);
        tree.SetPollInterval(10);
        tree.HandleNeeded();  // polling runs while the window exists
        fs->mounts.append({"/mnt/late/", "ext4", "/dev/sde1"});
        fs->AddDir("/mnt/late");
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, 2000);
        QVERIFY(TopLevel(tree).contains("/mnt/late/"));
        QTest::qWait(50);
        QCOMPARE(changed.count(), 1);
        // An interval of 0 stops the polling.
        tree.SetPollInterval(0);
        fs->mounts.append({"/mnt/later/", "ext4", "/dev/sdf1"});
        fs->AddDir("/mnt/later");
        QTest::qWait(50);
        QCOMPARE(changed.count(), 1);
        QVERIFY(!TopLevel(tree).contains("/mnt/later/"));
    }

    // A volume that is not searched before it is expanded shows its expand
    // button; read and found empty, it shows none.
    void emptyVolumeLosesItsButtonWhenRead() {
        auto fs = Machine();
        fs->mounts.append({"/media/u/EMPTY/", "vfat", "/dev/sdj1"});
        fs->AddDir("/media/u/EMPTY");
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.LoadDrives();
        QTreeWidgetItem* empty = tree.FindNodeByPath("/media/u/EMPTY/");
        QVERIFY(empty);
        QCOMPARE(empty->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        tree.expandItem(empty);
        QVERIFY(tree.NodeRead(empty));
        QCOMPARE(empty->childCount(), 0);
        QVERIFY(empty->childIndicatorPolicy() != QTreeWidgetItem::ShowIndicator);
    }

    // ---------------------------------------------------------------- medium check

    // A removable volume's serial is recorded with its node, so the first
    // selection on it is taken as it is: no medium counts as changed.
    void firstSelectionOnARemovableVolumeStands() {
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.SetPollInterval(0);
        QSignalSpy changed(&tree, &TDirTree::Changed);
        tree.OpenPath("/media/u/STICK/data");
        QCOMPARE(tree.GetSelectedPath().value_or(QString()), QStringLiteral("/media/u/STICK/data/"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(0).toString(), QStringLiteral("/media/u/STICK/data/"));
        QVERIFY(tree.NodeRead(tree.FindNodeByPath("/media/u/STICK/")));
        QCOMPARE(tree.VolumeSerials().value("/media/u/STICK/"), QStringLiteral("/dev/sdb1"));
        // Every volume node has its serial, the root without a label too.
        QCOMPARE(tree.VolumeSerials().keys(), TopLevel(tree));
        QCOMPARE(tree.VolumeSerials().value("/"), QStringLiteral("/dev/sda1"));
    }

    // A click on the tree checks the selected node's medium: a changed one
    // reports the volume's node, read again with its new caption, instead
    // of the click. The medium was changed behind the tree's back (before
    // the poll saw it).
    void clickFindsAChangedMedium_data() {
        QTest::addColumn<QString>("open");     // selected before the change
        QTest::addColumn<QString>("click");    // the node clicked ("key:" reached by the down key)
        QTest::addColumn<QString>("device");   // the new medium; "" = unmounted
        QTest::addColumn<bool>("emptyMedium"); // nothing on the new medium (or below the mount point)
        QTest::addColumn<QString>("reported"); // by Changed; "" = nothing
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("caption");  // of the volume afterwards
        QTest::addColumn<bool>("indicator");   // the volume has an expand button
        QTest::newRow("fixed, the selected node") << "/home/u/projects" << "/home/u/projects/" << "/dev/sdd2" << false
                                                  << "/home/" << QStringList{} << "BACKUP (/home)" << true;
        QTest::newRow("fixed, another node") << "/home/u/projects" << "/home/u/projects/beta/" << "/dev/sdd2" << false
                                             << "/home/" << QStringList{"/home/"} << "BACKUP (/home)" << true;
        QTest::newRow("fixed, a key to another node")
            << "/home/u/projects" << "key:/home/u/projects/Alpha/" << "/dev/sdd2" << false << "/home/" << QStringList{}
            << "BACKUP (/home)" << true;
        QTest::newRow("removable, the selected node") << "/media/u/STICK/data" << "/media/u/STICK/data/" << "/dev/sdd1"
                                                      << false << "/media/u/STICK/" << QStringList{} << "BACKUP" << true;
        QTest::newRow("removable, an empty medium still gets its button")
            << "/media/u/STICK/data" << "/media/u/STICK/data/" << "/dev/sdd1" << true << "/media/u/STICK/"
            << QStringList{} << "BACKUP" << true;
        QTest::newRow("removable, no medium: no button")
            << "/media/u/STICK/data" << "/media/u/STICK/data/" << "" << true << "/media/u/STICK/" << QStringList{}
            << "STICK" << false;
        QTest::newRow("fixed, no medium") << "/home/u/projects" << "/home/u/projects/" << "" << true << "/home/"
                                          << QStringList{} << "(/home)" << false;
        QTest::newRow("fixed, no medium, folders below the mount point")
            << "/home/u/projects" << "/home/u/projects/" << "" << false << "/home/" << QStringList{} << "(/home)"
            << true;
        QTest::newRow("same medium: the click") << "/home/u/projects" << "/home/u/projects/" << "/dev/sda2" << false
                                                << "" << QStringList{"/home/u/projects/"} << "DATA (/home)" << true;
    }
    void clickFindsAChangedMedium() {
        QFETCH(QString, open);
        QFETCH(QString, click);
        QFETCH(QString, device);
        QFETCH(bool, emptyMedium);
        QFETCH(QString, reported);
        QFETCH(QStringList, clicks);
        QFETCH(QString, caption);
        QFETCH(bool, indicator);
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.SetPollInterval(0);
        tree.resize(400, 600);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        tree.OpenPath("/usr/lib");
        tree.OpenPath(open);
        tree.expandItem(tree.currentItem());
        const bool key = click.startsWith("key:");
        click.remove("key:");
        QTreeWidgetItem* node = tree.FindNodeByPath(click);
        QVERIFY(node);
        const QPoint pos = tree.visualItemRect(node).center();
        const QString volume = TDirTree::NodePath(tree.topLevelItem(0)) == "/" && click.startsWith("/home/")
                                   ? QStringLiteral("/home/")
                                   : QStringLiteral("/media/u/STICK/");
        QTreeWidgetItem* drive = tree.FindNodeByPath(volume);
        if (device.isEmpty())
            fs->mounts.removeIf([&](const TDirFileSystem::Mount& m) { return m.path == volume; });
        else
            fs->ChangeMedium(volume, device, "BACKUP");
        if (emptyMedium) {
            for (auto& [path, subs] : fs->dirs)
                if (path == volume) subs.clear();
        }
        QSignalSpy changed(&tree, &TDirTree::Changed);
        QSignalSpy clicked(&tree, &TDirTree::Clicked);
        if (key)
            QTest::keyClick(&tree, Qt::Key_Down);
        else
            QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, pos);
        if (reported.isEmpty()) {
            QCOMPARE(changed.count(), click == open + "/" ? 0 : 1);
            QCOMPARE(tree.GetSelectedPath().value_or(QString()), click);
        } else {
            QCOMPARE(changed.count(), 1);
            QCOMPARE(changed.first().at(0).toString(), reported);
            QCOMPARE(tree.GetSelectedPath().value_or(QString()), reported);
            QCOMPARE(tree.selectedItems(), QList<QTreeWidgetItem*>{drive});
            QVERIFY(!tree.NodeRead(drive));
            QCOMPARE(drive->childCount(), 0);
            QVERIFY(!drive->isExpanded());
            QCOMPARE(tree.VolumeSerials().value(volume), device.isEmpty() ? TDirTree::NoVolumeSerial : device);
            QCOMPARE(tree.DrivePath(volume), volume);
        }
        QStringList got;
        for (const QList<QVariant>& c : clicked) got << c.at(0).toString();
        QCOMPARE(got, clicks);
        QCOMPARE(drive->text(0), caption);
        QCOMPARE(drive->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator || drive->childCount() > 0, indicator);
        // The other volumes are left as they were.
        QVERIFY(tree.NodeRead(tree.FindNodeByPath("/")));
        QVERIFY(tree.FindNodeByPath("/usr/lib/"));
    }

    // A press on one node and a drag onto another on a changed medium: the
    // volume's node is reported and stays selected.
    void dragOntoAChangedMedium() {
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.SetPollInterval(0);
        tree.resize(400, 600);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        tree.OpenPath("/usr/lib");
        tree.OpenPath("/home/u/projects");
        tree.expandItem(tree.currentItem());
        const QPoint from = tree.visualItemRect(tree.FindNodeByPath("/usr/lib/")).center();
        const QPoint to = tree.visualItemRect(tree.FindNodeByPath("/home/u/projects/beta/")).center();
        fs->ChangeMedium("/home/", "/dev/sdd2", "BACKUP");
        QSignalSpy changed(&tree, &TDirTree::Changed);
        QTest::mousePress(tree.viewport(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(tree.viewport(), to);
        QTest::mouseRelease(tree.viewport(), Qt::LeftButton, Qt::NoModifier, to);
        QStringList reports;
        for (const QList<QVariant>& c : changed) reports << c.at(0).toString();
        QCOMPARE(reports, (QStringList{"/usr/lib/", "/home/"}));
        QCOMPARE(tree.GetSelectedPath().value_or(QString()), QStringLiteral("/home/"));
        QCOMPARE(tree.selectedItems(), QList<QTreeWidgetItem*>{tree.FindNodeByPath("/home/")});
        QCOMPARE(tree.FindNodeByPath("/home/")->text(0), QStringLiteral("BACKUP (/home)"));
    }

    // A double click whose first click re-reads one volume lands on a node
    // of another changed volume: that one is re-read and selected too.
    void doubleClickOverTwoChangedMedia() {
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.SetPollInterval(0);
        tree.resize(400, 600);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        tree.OpenPath("/media/u/STICK/data");
        tree.expandItem(tree.FindNodeByPath("/media/u/STICK/"));
        tree.OpenPath("/home/u");
        tree.expandItem(tree.currentItem());
        // Rows: "/", home, other, u ... and after home is read again
        // "/", home, STICK, data: the second click hits data.
        QTreeWidgetItem* u = tree.FindNodeByPath("/home/u/");
        const QPoint pos = tree.visualItemRect(u).center();
        QCOMPARE(tree.itemAt(pos), u);
        fs->ChangeMedium("/home/", "/dev/sdd2", "BACKUP");
        fs->ChangeMedium("/media/u/STICK/", "/dev/sdd1", "CARD");
        QSignalSpy changed(&tree, &TDirTree::Changed);
        // As the system delivers a double click: press, release, the
        // double-click event, release.
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, pos);
        QTest::mouseDClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, pos);
        QTest::mouseRelease(tree.viewport(), Qt::LeftButton, Qt::NoModifier, pos);
        QStringList reports;
        for (const QList<QVariant>& c : changed) reports << c.at(0).toString();
        QCOMPARE(reports, (QStringList{"/home/", "/media/u/STICK/"}));
        QTreeWidgetItem* stick = tree.FindNodeByPath("/media/u/STICK/");
        QCOMPARE(tree.currentItem(), stick);
        QCOMPARE(tree.selectedItems(), QList<QTreeWidgetItem*>{stick});
        QCOMPARE(stick->text(0), QStringLiteral("CARD"));
    }

    // One poll may see what were several notifications: a volume added
    // and four media changed, the first and the last volume among them.
    // Every changed volume is read again, the selection elsewhere stays,
    // and the change is reported once.
    void severalChangesInOneNotification() {
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.SetPollInterval(0);
        for (const char* p : {"/usr/lib", "/home/u/projects", "/media/u/STICK/data", "/tmp/t", "/net/share/p1"})
            tree.OpenPath(p);
        QCOMPARE(TopLevel(tree).first(), QStringLiteral("/"));
        QCOMPARE(TopLevel(tree).last(), QStringLiteral("/tmp/"));
        QSignalSpy changed(&tree, &TDirTree::Changed);
        fs->ChangeMedium("/", "/dev/sda9");
        fs->ChangeMedium("/home/", "/dev/sdd2", "BACKUP");
        fs->ChangeMedium("/media/u/STICK/", "/dev/sdd1", "CARD");
        fs->ChangeMedium("/tmp/", "tmpfs 2", "SCRATCH");
        fs->mounts.append({"/mnt/new/", "ext4", "/dev/sdg1"});
        fs->AddDir("/mnt/new/n");
        tree.DeviceChange();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(0).toString(), QStringLiteral("/net/share/p1/"));
        QCOMPARE(tree.GetSelectedPath().value_or(QString()), QStringLiteral("/net/share/p1/"));
        QVERIFY(TopLevel(tree).contains("/mnt/new/"));
        for (const char* v : {"/", "/home/", "/media/u/STICK/", "/tmp/"}) {
            QVERIFY2(!tree.NodeRead(tree.FindNodeByPath(v)), v);
            QCOMPARE(tree.FindNodeByPath(v)->childCount(), 0);
        }
        QCOMPARE(tree.FindNodeByPath("/home/")->text(0), QStringLiteral("BACKUP (/home)"));
        QCOMPARE(tree.FindNodeByPath("/media/u/STICK/")->text(0), QStringLiteral("CARD"));
        QCOMPARE(tree.FindNodeByPath("/tmp/")->text(0), QStringLiteral("SCRATCH (/tmp)"));
        QCOMPARE(tree.VolumeSerials().value("/"), QStringLiteral("/dev/sda9"));
        // Unchanged volumes keep what they read.
        QVERIFY(tree.NodeRead(tree.FindNodeByPath("/net/share/")));
        // Nothing new: a notification re-reads nothing, and reports once.
        tree.expandItem(tree.FindNodeByPath("/"));
        QVERIFY(tree.NodeRead(tree.FindNodeByPath("/")));
        tree.DeviceChange();
        QCOMPARE(changed.count(), 2);
        QVERIFY(tree.NodeRead(tree.FindNodeByPath("/")));
        QVERIFY(tree.NodeRead(tree.FindNodeByPath("/net/share/")));
    }

    // The mount table as the kernel writes it, changed between two polls:
    // the identity of the volume's mount (its id, device number and
    // source) tells a new medium.
    void changedMountTableText_data() {
        QTest::addColumn<QString>("volLine");  // T/vol's line in the new table; "" = unmounted
        QTest::addColumn<QString>("serial");   // T/vol's serial afterwards
        QTest::addColumn<QString>("caption");
        QTest::newRow("remounted: new id") << "33 22 8:2 / T/vol rw - ext4 T/devs/sdb1 rw" << "33 8:2 T/devs/sdb1"
                                           << "MY DISK (T/vol)";
        QTest::newRow("another device number") << "30 22 8:18 / T/vol rw - ext4 T/devs/sdb1 rw"
                                               << "30 8:18 T/devs/sdb1" << "MY DISK (T/vol)";
        QTest::newRow("another source") << "30 22 8:2 / T/vol rw - ext4 T/devs/sdc1 rw" << "30 8:2 T/devs/sdc1"
                                        << "OTHER (T/vol)";
        QTest::newRow("options only: the same medium") << "30 22 8:2 / T/vol ro shared:9 - ext4 T/devs/sdb1 ro"
                                                       << "" << "MY DISK (T/vol)";
        QTest::newRow("unmounted") << "" << "" << "";
    }
    void changedMountTableText() {
        QFETCH(QString, volLine);
        QFETCH(QString, serial);
        QFETCH(QString, caption);
        RealMachine m;
        TDirTree tree(nullptr, m.Fs());
        m.Prepare(tree);
        QSignalSpy changed(&tree, &TDirTree::Changed);
        tree.SetPollInterval(10);
        tree.OpenPath(m.t + "/vol/a");
        tree.expandItem(tree.currentItem());
        QTreeWidgetItem* vol = tree.FindNodeByPath(m.t + "/vol/");
        QVERIFY(vol);
        QCOMPARE(vol->text(0), "MY DISK (" + m.t + "/vol)");
        QCOMPARE(tree.VolumeSerials().value(m.t + "/vol/"), "30 8:2 " + m.t + "/devs/sdb1");
        changed.clear();
        m.WriteTable("22 1 8:1 / / rw shared:1 - ext4 T/devs/sda1 rw\n" + volLine + "\n");
        caption.replace("T/", m.t + "/");
        if (volLine.isEmpty()) {
            QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, 2000);
            QCOMPARE(tree.topLevelItemCount(), 0);
        } else if (serial.isEmpty()) {
            QTest::qWait(100);  // polls that find nothing new
            QCOMPARE(changed.count(), 0);
            QVERIFY(tree.NodeRead(vol));
            QVERIFY(tree.FindNodeByPath(m.t + "/vol/a/a1/"));
            QCOMPARE(tree.GetVolumeSerial(m.t + "/vol"), "30 8:2 " + m.t + "/devs/sdb1");
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, 2000);
            QCOMPARE(changed.first().at(0).toString(), m.t + "/vol/");
            QVERIFY(!tree.NodeRead(vol));
            QCOMPARE(tree.GetVolumeSerial(m.t + "/vol/"), serial.replace("T/", m.t + "/"));
            QCOMPARE(tree.VolumeSerials().value(m.t + "/vol/"), serial);
            QCOMPARE(vol->text(0), caption);
            QTest::qWait(50);
            QCOMPARE(changed.count(), 1);  // reported once
        }
    }

    // ---------------------------------------------------------------- captions

    void driveCaptions_data() {
        QTest::addColumn<QString>("volume");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("serial");
        // A fixed volume without a label: the caption begins with a blank.
        QTest::newRow("root without label") << "/" << " (/)" << "/dev/sda1";
        QTest::newRow("fixed with label") << "/home/" << "DATA (/home)" << "/dev/sda2";
        QTest::newRow("ram disk: no display name") << "/tmp/" << " (/tmp)" << "tmpfs";
        QTest::newRow("cd: label and mount point") << "/media/cdrom/" << "DVD_1 (/media/cdrom)" << "/dev/sr0";
        QTest::newRow("unknown kind") << "/snap/core/1/" << " (/snap/core/1)" << "/dev/loop0";
        QTest::newRow("removable: the label alone") << "/media/u/STICK/" << "KEY 2" << "/dev/sdb1";
        QTest::newRow("removable without label: the mount point's name") << "/media/u/CARD/" << "CARD" << "/dev/sdc1";
        QTest::newRow("remote without label: its name") << "/net/share/" << "share" << "srv:/x";
        QTest::newRow("remote with label") << "/mnt/win/" << "WINDATA" << "//srv/win";
        QTest::newRow("the later of two mounts") << "/mnt/twice/" << "UPPER (/mnt/twice)" << "/dev/sdk2";
    }
    void driveCaptions() {
        QFETCH(QString, volume);
        QFETCH(QString, caption);
        QFETCH(QString, serial);
        auto fs = Machine();
        fs->mounts.append({{"/media/cdrom/", "iso9660", "/dev/sr0"},
                           {"/media/u/CARD/", "exfat", "/dev/sdc1"},
                           {"/mnt/win/", "cifs", "//srv/win"},
                           {"/mnt/twice/", "ext4", "/dev/sdk1"},
                           {"/mnt/twice/", "xfs", "/dev/sdk2"}});
        for (const char* d : {"/media/cdrom", "/media/u/CARD", "/mnt/win", "/mnt/twice"}) fs->AddDir(d);
        fs->labels.insert({{"/dev/sr0", "DVD_1"}, {"//srv/win", "WINDATA"}, {"/dev/sdk1", "LOWER"},
                           {"/dev/sdk2", "UPPER"}, {"/dev/sdc1", ""}});
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.LoadDrives();
        QTreeWidgetItem* node = tree.FindNodeByPath(volume);
        QVERIFY(node);
        QCOMPARE(node->text(0), caption);
        QCOMPARE(tree.VolumeSerials().value(volume), serial);
        QCOMPARE(tree.GetVolumeSerial(volume), serial);
        const TDirTree::TDriveCaption read = tree.GetDriveCaption(volume);
        QCOMPARE(read.caption, caption);
        QCOMPARE(read.serial, serial);
    }

    // Without a mount there is no volume information: the caption has no
    // label and no blank, the serial is -1; a removable volume still shows
    // its mount point's name.
    void captionWithoutAMount_data() {
        QTest::addColumn<QString>("volume");
        QTest::addColumn<QString>("caption");
        QTest::newRow("fixed") << "/home/" << "(/home)";
        QTest::newRow("removable") << "/media/u/STICK/" << "STICK";
        QTest::newRow("remote") << "/net/share/" << "share";
        QTest::newRow("root") << "/" << "(/)";
    }
    void captionWithoutAMount() {
        QFETCH(QString, volume);
        QFETCH(QString, caption);
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.LoadDrives();
        fs->mounts.removeIf([&](const TDirFileSystem::Mount& m) { return m.path == volume; });
        QCOMPARE(tree.GetVolumeSerial(volume), TDirTree::NoVolumeSerial);
        QCOMPARE(tree.GetDriveCaption(volume).caption, caption);
        QCOMPARE(tree.GetDriveCaption(volume.chopped(volume.size() > 1 ? 1 : 0)).serial, TDirTree::NoVolumeSerial);
    }

    void labelsFromTheLabelDirectory_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("label");
        QTest::newRow("the device itself") << "T/devs/sdb1" << "MY DISK";
        QTest::newRow("through another link") << "T/mapper/vol" << "MY DISK";
        QTest::newRow("absolute link") << "T/devs/sdc1" << "OTHER";
        QTest::newRow("no link leads there") << "T/devs/sda1" << "";
        QTest::newRow("missing device, broken link beside") << "T/devs/none" << "";
        QTest::newRow("relative source is no path") << "tmpfs" << "";
        QTest::newRow("network source") << "//srv/share" << "";
    }
    void labelsFromTheLabelDirectory() {
        QFETCH(QString, source);
        QFETCH(QString, label);
        RealMachine m;
        QDir().mkpath(m.t + "/mapper");
        std::filesystem::create_symlink("../devs/sdb1", (m.t + "/mapper/vol").toStdString());
        // Links that must lead nowhere: a broken one, and one to a file of
        // the current directory named like a relative source.
        std::filesystem::create_symlink((m.t + "/devs/none").toStdString(), (m.t + "/by-label/BROKEN").toStdString());
        QFile trap(m.t + "/tmpfs");
        QVERIFY(trap.open(QIODevice::WriteOnly));
        std::filesystem::create_symlink((m.t + "/tmpfs").toStdString(), (m.t + "/by-label/TRAP").toStdString());
        const QString before = QDir::currentPath();
        const auto back = qScopeGuard([&] { QDir::setCurrent(before); });
        QVERIFY(QDir::setCurrent(m.t));
        source.replace("T/", m.t + "/");
        QCOMPARE(m.Fs()->VolumeLabel({m.t + "/vol/", "ext4", "30 8:2 " + source, source}), label);
    }

    void decodeLabel_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("label");
        QTest::newRow("plain") << "DATA" << "DATA";
        QTest::newRow("blank") << "MY\\x20DISK" << "MY DISK";
        QTest::newRow("slash") << "a\\x2fb" << "a/b";
        QTest::newRow("upper-case hex") << "a\\x2Fb" << "a/b";
        QTest::newRow("two bytes of one letter") << "M\\xc3\\xbcll" << QString::fromUtf8("M\xc3\xbcll");
        QTest::newRow("not hex") << "a\\xzzb" << "a\\xzzb";
        QTest::newRow("cut short") << "ab\\x2" << "ab\\x2";
        QTest::newRow("escape at the very end") << "ab\\x20" << "ab ";
    }
    void decodeLabel() {
        QFETCH(QString, link);
        QFETCH(QString, label);
        QCOMPARE(DecodeLabel(link), label);
    }

    // ---------------------------------------------------------------- window, start

    void readOnStart_data() {
        QTest::addColumn<bool>("readOnStart");
        QTest::newRow("reads") << true;
        QTest::newRow("does not read") << false;
    }
    void readOnStart() {
        QFETCH(bool, readOnStart);
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.ReadOnStart = readOnStart;
        tree.show();
        QVERIFY(tree.WindowCreated());
        QCOMPARE(tree.columnCount(), 1);
        QCOMPARE(tree.topLevelItemCount() > 0, readOnStart);
        QCOMPARE(fs->listed.contains("/"), readOnStart);
        tree.LoadDrives();  // asked for: read in any case
        QVERIFY(TopLevel(tree).contains("/home/"));
    }

    void initialDirectory_data() {
        QTest::addColumn<QString>("initial");  // "T" stands for the test's directory
        QTest::addColumn<QString>("selected");
        QTest::newRow("a directory") << "T/vol/a" << "T/vol/a/";
        QTest::newRow("missing: the current directory") << "T/vol/nothing" << "T/vol/b/";
        QTest::newRow("relative: nothing, paths match from the volumes") << "." << "";
        QTest::newRow("empty: nothing opened") << "" << "";
    }
    void initialDirectory() {
        QFETCH(QString, initial);
        QFETCH(QString, selected);
        RealMachine m;
        const QString before = QDir::currentPath();
        const auto back = qScopeGuard([&] { QDir::setCurrent(before); });
        QVERIFY(QDir::setCurrent(m.t + "/vol/b"));
        TDirTree tree(nullptr, m.Fs());
        QCOMPARE(tree.InitialDirectory, m.t + "/vol/b");  // the current directory by default
        m.Prepare(tree);
        tree.InitialDirectory = initial.replace("T/", m.t + "/");
        QSignalSpy changed(&tree, &TDirTree::Changed);
        tree.show();
        QCOMPARE(tree.GetSelectedPath().value_or(QString()), selected.replace("T/", m.t + "/"));
        QCOMPARE(changed.count(), selected.isEmpty() ? 0 : 1);
    }

    // The disk's listing: directories only, hidden ones marked, files and
    // links to directories passed over; a search ends when the visitor
    // says so.
    void localListing() {
        TestDir d;
        for (const char* sub : {"b", ".hid", "a/deeper"}) QDir().mkpath(d.file(sub));
        QFile(d.file("f")).open(QIODevice::WriteOnly);
        std::filesystem::create_directory_symlink(d.file("b").toStdString(), d.file("link").toStdString());
        TLocalFileSystem fs(d.file("none"), d.file("none"), d.file("none"));
        QStringList names;
        for (const TDirFileSystem::Entry& e : fs.SubDirectories(d.path() + "/"))
            names << e.name + (e.hidden ? "(hidden)" : "");
        names.sort();
        QCOMPARE(names, (QStringList{".hid(hidden)", "a", "b"}));
        int visited = 0;
        fs.SearchSubDirectories(d.path() + "/", [&visited](const TDirFileSystem::Entry&) { return ++visited < 2; });
        QCOMPARE(visited, 2);
        QVERIFY(fs.SubDirectories(d.file("missing/")).isEmpty());
    }

    // The kind of a stream's entry; the entry itself is asked only where the
    // stream does not tell, and an entry that cannot be read is none.
    void directoryEntryKind_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("statOk");
        QTest::addColumn<unsigned>("mode");
        QTest::addColumn<bool>("directory");
        QTest::addColumn<bool>("asked");
        QTest::newRow("directory") << int(DT_DIR) << true << unsigned(S_IFREG) << true << false;
        QTest::newRow("link") << int(DT_LNK) << true << unsigned(S_IFDIR) << false << false;
        QTest::newRow("file") << int(DT_REG) << true << unsigned(S_IFDIR) << false << false;
        QTest::newRow("unknown: a directory") << int(DT_UNKNOWN) << true << unsigned(S_IFDIR) << true << true;
        QTest::newRow("unknown: a file") << int(DT_UNKNOWN) << true << unsigned(S_IFREG) << false << true;
        QTest::newRow("unknown: unreadable") << int(DT_UNKNOWN) << false << unsigned(S_IFDIR) << false << true;
    }
    void directoryEntryKind() {
        QFETCH(int, type);
        QFETCH(bool, statOk);
        QFETCH(unsigned, mode);
        QFETCH(bool, directory);
        QFETCH(bool, asked);
        bool wasAsked = false;
        QCOMPARE(IsDirectoryEntry(static_cast<unsigned char>(type),
                                  [&](unsigned& m) {
                                      wasAsked = true;
                                      m = mode;
                                      return statOk;
                                  }),
                 directory);
        QCOMPARE(wasAsked, asked);
    }

    // Containers bind files such as their host's name and resolver files
    // over files: such a mount point is no volume, nor is one that is gone.
    void mountedFileIsNoVolume() {
        RealMachine m;
        TDirTree tree(nullptr, m.Fs());
        m.Prepare(tree);
        tree.LoadDrives();
        QCOMPARE(TopLevel(tree), QStringList{m.t + "/vol/"});
        QVERIFY(!tree.Volumes().contains(m.t + "/hosts/"));
        QVERIFY(!tree.Volumes().contains(m.t + "/gone/"));
        // A directory mounted there later is one.
        QVERIFY(QFile::remove(m.t + "/hosts"));
        QVERIFY(QDir().mkdir(m.t + "/hosts"));
        QVERIFY(tree.UpdateDrives());
        QCOMPARE(TopLevel(tree), (QStringList{m.t + "/hosts/", m.t + "/vol/"}));
    }

    // The window of the form goes (and comes again): the tree keeps its
    // selection as pending, drops its nodes, stops taking dropped files, and
    // shows the same selection in the new window.
    void recreatedWindowKeepsTheSelection_data() {
        QTest::addColumn<bool>("moveToAnotherForm");
        QTest::newRow("native window destroyed") << false;
        QTest::newRow("moved into another form") << true;
    }
    void recreatedWindowKeepsTheSelection() {
        QFETCH(bool, moveToAnotherForm);
        auto fs = Machine();
        Form form, other;
        auto* layout = new QVBoxLayout(&form);
        auto* tree = new TDirTree(&form, fs);
        tree->InitialDirectory.clear();
        layout->addWidget(tree);
        form.show();
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        tree->OpenPath("/home/u/projects/beta");
        tree->SetAcceptDropFiles(true);
        QVERIFY(tree->viewport()->acceptDrops());
        // A volume arrives while the window is away.
        fs->mounts.append({"/mnt/new/", "ext4", "/dev/sdg1"});
        fs->AddDir("/mnt/new");
        if (moveToAnotherForm) {
            tree->setParent(&other);
        } else {
            form.DestroyWindow();
        }
        QVERIFY(!tree->WindowCreated());
        QCOMPARE(tree->PendingPath().value_or(QString()), QStringLiteral("/home/u/projects/beta/"));
        QCOMPARE(tree->topLevelItemCount(), 0);
        QVERIFY(!tree->AcceptDropFiles());
        if (moveToAnotherForm) {
            tree->show();
        } else {
            form.CreateWindow();
            form.hide();
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
        }
        QVERIFY(tree->WindowCreated());
        QCOMPARE(tree->GetSelectedPath().value_or(QString()), QStringLiteral("/home/u/projects/beta/"));
        QVERIFY(!tree->PendingPath());
        QVERIFY(TopLevel(*tree).contains("/mnt/new/"));  // the drives were read again
        QVERIFY(!tree->AcceptDropFiles());
        QVERIFY(!tree->viewport()->acceptDrops());
        if (moveToAnotherForm) delete tree;
    }

    // ---------------------------------------------------------------- dropped files

    void dropFilesOntoANode_data() {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("where");  // "node", "empty"
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<bool>("delivered");
        const QStringList both{"F/one.txt", "F/two words.db"};
        QTest::newRow("files onto a node") << true << "node" << both << true;
        QTest::newRow("not accepting") << false << "node" << both << false;
        QTest::newRow("below the last node") << true << "empty" << both << false;
        QTest::newRow("no local file") << true << "node" << QStringList{"https://example.invalid/x"} << false;
        QTest::newRow("local files only") << true << "node"
                                          << QStringList{"F/one.txt", "https://example.invalid/x"} << true;
    }
    void dropFilesOntoANode() {
        QFETCH(bool, accept);
        QFETCH(QString, where);
        QFETCH(QStringList, urls);
        QFETCH(bool, delivered);
        TestDir files;
        urls.replaceInStrings("F/", files.path() + "/");
        QStringList local;
        for (const QString& u : urls)
            if (!u.contains("://")) {
                QFile f(u);
                QVERIFY(f.open(QIODevice::WriteOnly));
                local << u;
            }
        TDirTree tree(nullptr, Machine());
        tree.InitialDirectory.clear();
        tree.resize(400, 600);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        tree.OpenPath("/home/u/projects/beta");
        tree.SetAcceptDropFiles(accept);
        QTreeWidgetItem* beta = tree.FindNodeByPath("/home/u/projects/beta/");
        QVERIFY(beta);
        const QRect r = tree.visualItemRect(beta);
        QVERIFY(r.isValid());
        const QPoint pos = where == "node" ? r.center() : QPoint(5, tree.viewport()->height() - 3);
        QVERIFY(where == "node" || !tree.itemAt(pos));
        struct Call {
            int x, y;
            QString dir;
            QStringList files;
            Qt::KeyboardModifiers keys;
            QTreeWidgetItem* target;
        };
        QList<Call> calls;
        tree.OnDropFiles = [&](int x, int y, const QString& dir, const QStringList& f, Qt::KeyboardModifiers k) {
            calls.append({x, y, dir, f, k, tree.DropTarget()});
        };
        bool entered = false, moved = false;
        const bool accepted = DropOn(tree, pos, urls, Qt::ShiftModifier, &entered, &moved);
        QCOMPARE(accepted, delivered);
        // The drag is taken in where files may go, and shown refused
        // beside the nodes.
        QCOMPARE(entered, accept && !local.isEmpty());
        QCOMPARE(moved, delivered);
        QCOMPARE(calls.size(), delivered ? 1 : 0);
        QCOMPARE(tree.DropTarget(), nullptr);
        if (!delivered) return;
        QCOMPARE(calls[0].x, pos.x());
        QCOMPARE(calls[0].y, pos.y());
        QCOMPARE(calls[0].dir, QStringLiteral("/home/u/projects/beta/"));
        QCOMPARE(calls[0].files, local);
        QCOMPARE(calls[0].keys, Qt::KeyboardModifiers(Qt::ShiftModifier));
        QCOMPARE(calls[0].target, beta);
        QCOMPARE(tree.DroppedFiles(), local);
        // The selection is not moved by a drop.
        QCOMPARE(tree.GetSelectedPath().value_or(QString()), QStringLiteral("/home/u/projects/beta/"));
    }

    // ---------------------------------------------------------------- events

    void onFindDirReplacesTheSearch_data() {
        QTest::addColumn<unsigned>("dirTypes");
        QTest::addColumn<QStringList>("expected");
        // A child's probe ends at the first entry it would list: the calls
        // up to and including it (".", "..", Sys, Hid, file.txt, Arc, Norm).
        QTest::addColumn<int>("probeCalls");
        QTest::newRow("all") << unsigned(dtAll) << QStringList{"Arc", "Hid", "Norm", "Sys"} << 3;
        QTest::newRow("normal") << unsigned(dtNormal) << QStringList{"Norm"} << 7;
        QTest::newRow("normal and hidden") << unsigned(dtNormal | dtHidden) << QStringList{"Hid", "Norm"} << 4;
        QTest::newRow("system only") << unsigned(dtSystem) << QStringList{"Sys"} << 3;
        QTest::newRow("archive and hidden") << unsigned(dtArchive | dtHidden) << QStringList{"Arc", "Hid"} << 4;
    }
    void onFindDirReplacesTheSearch() {
        QFETCH(unsigned, dirTypes);
        QFETCH(QStringList, expected);
        QFETCH(int, probeCalls);
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.SetDirTypes(dirTypes);
        // What the handler finds in every directory: the two dot entries, a
        // file, and one directory of each kind.
        const QList<TDirRec> script{{faDirectory, "."},
                                    {faDirectory, ".."},
                                    {faDirectory | faSysFile, "Sys"},
                                    {faDirectory | faHidden, "Hid"},
                                    {faArchive, "file.txt"},
                                    {faDirectory | faArchive, "Arc"},
                                    {faDirectory, "Norm"}};
        QStringList paths;
        QList<bool> firsts;
        int calls = 0, next = 0;
        tree.OnFindDir = [&](const QString& path, TDirRec& rec, int& result, bool first) {
            QVERIFY(++calls < 1000);  // a search that never ends fails here
            paths << path;
            firsts << first;
            if (first) next = 0;
            if (next >= script.size()) {
                result = 18;  // no more files
                return;
            }
            rec = script[next++];
            result = 0;
        };
        tree.LoadDrives();
        QTreeWidgetItem* home = tree.FindNodeByPath("/home/");
        QVERIFY(home);
        paths.clear();
        firsts.clear();
        tree.expandItem(home);
        // The node's own search, then one probe per listed child.
        QCOMPARE(Children(home), expected);
        QCOMPARE(paths.first(), QStringLiteral("/home/"));
        QCOMPARE(paths.count("/home/"), script.size() + 1);
        QCOMPARE(firsts.first(), true);
        QCOMPARE(firsts.count(true), 1 + expected.size());
        QCOMPARE(paths.size(), script.size() + 1 + expected.size() * probeCalls);
        QVERIFY(!fs->listed.contains("/home/"));  // the file system was not asked
    }

    void onGetIconMayChangeTheIcon() {
        TDirTree tree(nullptr, Machine());
        tree.InitialDirectory.clear();
        QPixmap red(16, 16);
        red.fill(Qt::red);
        const QIcon mine(red);
        QStringList asked;
        tree.OnGetIcon = [&](QTreeWidgetItem* node) {
            QVERIFY(!node->icon(0).isNull());  // the tree's own icon is set first
            asked << TDirTree::NodePath(node);
            if (TDirTree::NodePath(node).endsWith("/beta/")) node->setIcon(0, mine);
        };
        tree.OpenPath("/home/u/projects");
        tree.expandItem(tree.currentItem());
        // Once per node, volumes and directories alike.
        QCOMPARE(asked.size(), CountNodes(tree));
        QCOMPARE(asked.removeDuplicates(), 0);
        QVERIFY(asked.contains("/home/"));
        QCOMPARE(tree.FindNodeByPath("/home/u/projects/beta/")->icon(0).cacheKey(), mine.cacheKey());
        QVERIFY(tree.FindNodeByPath("/home/u/projects/Gamma/")->icon(0).cacheKey() != mine.cacheKey());
    }

    void onDeleteItemForEveryNodeThatGoes() {
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
        tree.InitialDirectory.clear();
        tree.SetPollInterval(0);
        tree.OpenPath("/home/u/projects");
        tree.expandItem(tree.currentItem());
        QStringList deleted;
        int withPath = 0;
        tree.OnDeleteItem = [&](QTreeWidgetItem* node) {
            deleted << node->text(0);
            if (!TDirTree::NodePath(node).isEmpty()) ++withPath;  // detached before the event
        };
        // A volume that goes takes its node.
        fs->mounts.removeIf([](const TDirFileSystem::Mount& m) { return m.path == "/tmp/"; });
        QVERIFY(tree.UpdateDrives());
        QCOMPARE(deleted, QStringList{" (/tmp)"});
        deleted.clear();
        const int nodes = CountNodes(tree);
        tree.LoadDrives();
        QCOMPARE(deleted.size(), nodes);
        for (const char* name : {"Alpha", "alpha2", "beta", "Gamma", "projects", "u", "DATA (/home)", " (/)"})
            QVERIFY2(deleted.contains(QString::fromUtf8(name)), name);
        // Children go before their parent.
        QVERIFY(deleted.indexOf("beta") < deleted.indexOf("projects"));
        QCOMPARE(withPath, 0);
    }

    // ---------------------------------------------------------------- shares

    void shareOverlayMarksUserShares() {
        RealMachine m;
        m.Share("public", "#VERSION 2\npath=" + m.t + "/vol/a\ncomment=\nusershare_acl=S-1-1-0:R,\nguest_ok=n\n");
        m.Share("volume", "path=" + m.t + "/vol/\n");
        m.Share("elsewhere", "path=" + m.t + "/none\n");
        TDirTree tree(nullptr, m.Fs());
        m.Prepare(tree);
        tree.OpenPath(m.t + "/vol");
        tree.expandItem(tree.currentItem());
        QTreeWidgetItem* vol = tree.FindNodeByPath(m.t + "/vol/");
        QTreeWidgetItem* a = tree.FindNodeByPath(m.t + "/vol/a/");
        QTreeWidgetItem* b = tree.FindNodeByPath(m.t + "/vol/b/");
        QVERIFY(vol && a && b);
        // Off by default: nothing marked.
        QCOMPARE(TDirTree::ShareOverlay(a), -1);
        const qint64 plainA = a->icon(0).cacheKey();
        tree.SetShowShareOverlay(true);
        QCOMPARE(TDirTree::ShareOverlay(vol), 0);
        QCOMPARE(TDirTree::ShareOverlay(a), 0);
        QCOMPARE(TDirTree::ShareOverlay(b), -1);
        QVERIFY(a->icon(0).cacheKey() != plainA);
        // New nodes are tested as they come.
        tree.expandItem(a);
        QCOMPARE(TDirTree::ShareOverlay(tree.FindNodeByPath(m.t + "/vol/a/a1/")), -1);
        QFile::remove(m.t + "/shares/public");
        tree.SetShowShareOverlay(false);
        QCOMPARE(TDirTree::ShareOverlay(a), -1);
        QCOMPARE(TDirTree::ShareOverlay(vol), -1);
        QCOMPARE(a->icon(0).cacheKey(), plainA);
    }

    void sharePaths() {
        QCOMPARE(ParseSharePaths("#VERSION 2\npath=/srv/a b\ncomment=path=/x\n  path=/srv/c/\npath=\npath=/\n"),
                 (QStringList{"/srv/a b/", "/srv/c/", "/"}));
    }

    // ---------------------------------------------------------------- rebuild

    void filterChangeRebuildsTheTree_data() {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QStringList>("uChildren");
        QTest::newRow("hidden off, selection kept") << "/home/u/projects/beta" << "normal"
                                                    << "/home/u/projects/beta/" << QStringList{"empty", "projects"};
        QTest::newRow("hidden off, selection hidden: its volume") << "/home/u/.config/app" << "normal" << "/home/"
                                                                  << QStringList{"empty", "projects"};
        QTest::newRow("below the recycle bin") << "/home/u/.local/share/Trash" << "recycle"
                                               << "/home/u/.local/share/Trash/"
                                               << QStringList{".config", ".local", ".Trash-1000", "empty", "projects"};
    }
    void filterChangeRebuildsTheTree() {
        QFETCH(QString, selected);
        QFETCH(QString, change);
        QFETCH(QString, after);
        QFETCH(QStringList, uChildren);
        TDirTree tree(nullptr, Machine());
        tree.InitialDirectory.clear();
        tree.OpenPath(selected);
        QTreeWidgetItem* trash = tree.FindNodeByPath("/home/u/.local/share/Trash/");
        if (trash) {
            tree.expandItem(trash);
            QCOMPARE(trash->childCount(), 0);
        }
        QSignalSpy changed(&tree, &TDirTree::Changed);
        if (change == "normal") tree.SetDirTypes(dtNormal);
        if (change == "recycle") tree.SetGoBelowRecycleBin(true);
        QCOMPARE(tree.GetSelectedPath().value_or(QString()), after);
        QVERIFY(changed.count() >= 1);
        QCOMPARE(changed.last().at(0).toString(), after);
        tree.expandItem(tree.FindNodeByPath("/home/"));
        QTreeWidgetItem* u = tree.FindNodeByPath("/home/u/");
        tree.expandItem(u);
        QCOMPARE(Children(u), uChildren);
        if (change == "recycle") {
            trash = tree.FindNodeByPath("/home/u/.local/share/Trash/");
            tree.expandItem(trash);
            QCOMPARE(Children(trash), QStringList{"files"});
        }
        // The same value again rebuilds nothing.
        QTreeWidgetItem* same = tree.FindNodeByPath("/home/");
        tree.SetDirTypes(tree.DirTypes());
        tree.SetGoBelowRecycleBin(tree.GoBelowRecycleBin());
        QCOMPARE(tree.FindNodeByPath("/home/"), same);
    }

    void drivePathsPerVolume() {
        TestDir here;
        const QString before = QDir::currentPath();
        const auto back = qScopeGuard([&] { QDir::setCurrent(before); });
        QVERIFY(QDir::setCurrent(here.path()));
        TDirTree tree(nullptr, Machine());
        tree.InitialDirectory.clear();
        tree.LoadDrives();
        // Each volume starts at its root, the current directory's at it.
        QString hereVolume;
        for (const QString& v : tree.Volumes())
            if (QString(here.path() + "/").startsWith(v) && v.size() > hereVolume.size()) hereVolume = v;
        QCOMPARE(tree.DrivePath(hereVolume), here.path() + "/");
        QCOMPARE(tree.DrivePath("/media/u/STICK/"), QStringLiteral("/media/u/STICK/"));
        for (const char* p : {"/home/u/projects", "/net/share/p1", "/usr/lib", "/home/u"}) tree.OpenPath(p);
        QCOMPARE(tree.DrivePath("/home/"), QStringLiteral("/home/u/"));
        QCOMPARE(tree.DrivePath("/net/share/"), QStringLiteral("/net/share/p1/"));
        QCOMPARE(tree.DrivePath("/"), QStringLiteral("/usr/lib/"));
        QCOMPARE(tree.DrivePath("/media/u/STICK/"), QStringLiteral("/media/u/STICK/"));
        // A rebuild without a selection goes back to the path last selected
        // on the first volume.
        tree.setCurrentItem(nullptr);
        tree.SetDirTypes(dtNormal);
        QCOMPARE(tree.GetSelectedPath().value_or(QString()), QStringLiteral("/usr/lib/"));
    }
};

QTEST_MAIN(TstDirTree)
#include "tst_dirtree.moc"
