// The directory tree on a file system of the test's own: volumes from the
// mount list, order without regard to case, hidden and recycle folders,
// lazy reading, OpenPath, the selected path, and the change notification
// after a mount change.
#include "ui/DirTree.h"

#include <QSignalSpy>
#include <QtTest>
#include <map>

namespace {

class FakeFileSystem : public TDirFileSystem {
public:
    QList<Mount> mounts;
    std::map<QString, QList<Entry>> dirs;  // path with "/" -> subdirectories
    mutable QStringList listed;            // every directory read, in order

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
                          "/net/share/p1", "/media/u/STICK/data", "/tmp/t"})
        fs->AddDir(QString::fromLatin1(d));
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

}  // namespace

class TstDirTree : public QObject {
    Q_OBJECT
private slots:
    void mountList_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("device");
        QTest::newRow("plain") << QByteArray("/dev/sda1 / ext4 rw 0 0\n") << "/" << "ext4" << "/dev/sda1";
        QTest::newRow("escaped blank") << QByteArray("/dev/sdb1 /media/u/MY\\040DISK vfat rw 0 0")
                                       << "/media/u/MY DISK/" << "vfat" << "/dev/sdb1";
        QTest::newRow("tab and backslash") << QByteArray("srv:/a\\134b /mnt/x\\011y nfs rw 0 0") << "/mnt/x\ty/"
                                           << "nfs" << "srv:/a\\b";
    }
    void mountList() {
        QFETCH(QByteArray, text);
        QFETCH(QString, path);
        QFETCH(QString, type);
        QFETCH(QString, device);
        const auto mounts = ParseMountList(text + "\n\nbroken line\n");
        QCOMPARE(mounts.size(), 1);
        QCOMPARE(mounts[0].path, path);
        QCOMPARE(mounts[0].type, type);
        QCOMPARE(mounts[0].device, device);
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
        TDirTree tree(nullptr, Machine());
        tree.DriveTypes = driveTypes;
        tree.LoadDrives();
        QCOMPARE(TopLevel(tree), expected);
    }

    void childrenSortedWithoutRegardToCase() {
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
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
        tree.DirTypes = dirTypes;
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
        tree.GoBelowRecycleBin = below;
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

    void openPath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("selected");  // "" = nothing
        QTest::newRow("deep") << "/home/u/projects/beta" << "/home/u/projects/beta/";
        QTest::newRow("trailing slash") << "/home/u/projects/beta/" << "/home/u/projects/beta/";
        QTest::newRow("through the root volume") << "/usr/lib" << "/usr/lib/";
        QTest::newRow("a volume root") << "/net/share" << "/net/share/";
        QTest::newRow("below a volume") << "/net/share/p1" << "/net/share/p1/";
        QTest::newRow("missing on disk opens the root") << "/home/u/nothing" << "/";
        QTest::newRow("case differs: missing on disk") << "/HOME/u" << "/";
        QTest::newRow("relative") << "." << "";
        QTest::newRow("hidden level not in the tree") << "/home/u/.config/app" << "";
    }
    void openPath() {
        QFETCH(QString, path);
        QFETCH(QString, selected);
        TDirTree tree(nullptr, Machine());
        if (QByteArray(QTest::currentDataTag()).startsWith("hidden")) {
            tree.DirTypes = dtNormal;
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

    void openPathKeepsTheSelectionWhenALevelIsMissing() {
        TDirTree tree(nullptr, Machine());
        tree.DirTypes = dtNormal;
        tree.LoadDrives();
        tree.OpenPath("/home/u/projects");
        tree.OpenPath("/home/u/.config");  // exists on disk, hidden from the tree
        QCOMPARE(tree.GetSelectedPath().value_or(QString()), QStringLiteral("/home/u/projects/"));
    }

    void emptyPathIsRefused() {
        TDirTree tree(nullptr, Machine());
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, tree.OpenPath(QString()));
        QVERIFY(!tree.GetSelectedPath());
    }

    void onAddDirMayRefuse() {
        TDirTree tree(nullptr, Machine());
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
        tree.SetPollInterval(0);
        tree.OnAddDir = [](const QString& p) { return p != QLatin1String("/mnt/hidden/"); };
        tree.OpenPath("/home/u");
        QSignalSpy changed(&tree, &TDirTree::Changed);
        fs->mounts.append({"/mnt/hidden/", "ext4", "/dev/sdf1"});
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
        tree.SetPollInterval(0);
        tree.OpenPath("/media/u/STICK/data");
        QTreeWidgetItem* stick = tree.FindNodeByPath("/media/u/STICK/");
        QTreeWidgetItem* home = tree.FindNodeByPath("/home/");
        tree.expandItem(home);
        QCOMPARE(stick->childCount(), 1);
        QSignalSpy changed(&tree, &TDirTree::Changed);
        for (auto& m : fs->mounts)
            if (m.path == "/media/u/STICK/") m.device = "/dev/sdd1";
        QVERIFY(tree.UpdateDrives());
        QCOMPARE(changed.count(), 1);
        QVERIFY(!tree.NodeRead(stick));
        QCOMPARE(stick->childCount(), 0);
        QVERIFY(tree.NodeRead(home));  // untouched
        QVERIFY(!tree.UpdateDrives());  // recorded now
    }

    // The selection inside a volume whose medium changed does not jump to
    // an unrelated directory (the project search would search there): it
    // goes to the changed volume itself.
    void selectionInsideAChangedMedium() {
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
        tree.SetPollInterval(0);
        // Neighbours on both sides of the volume, already read.
        tree.OpenPath("/net/share/p1");
        tree.OpenPath("/home/u/projects");
        tree.OpenPath("/media/u/STICK/data");
        QSignalSpy changed(&tree, &TDirTree::Changed);
        for (auto& m : fs->mounts)
            if (m.path == "/media/u/STICK/") m.device = "/dev/sdd1";
        QVERIFY(tree.UpdateDrives());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(0).toString(), QStringLiteral("/media/u/STICK/"));
        QCOMPARE(tree.GetSelectedPath().value_or(QString()), QStringLiteral("/media/u/STICK/"));
    }

    void pollingFollowsTheMountList() {
        auto fs = Machine();
        TDirTree tree(nullptr, fs);
        QSignalSpy changed(&tree, &TDirTree::Changed);
        tree.SetPollInterval(10);
        fs->mounts.append({"/mnt/late/", "ext4", "/dev/sde1"});
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, 2000);
        QVERIFY(TopLevel(tree).contains("/mnt/late/"));
        QTest::qWait(50);
        QCOMPARE(changed.count(), 1);
    }
};

QTEST_MAIN(TstDirTree)
#include "tst_dirtree.moc"
