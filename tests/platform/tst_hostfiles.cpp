// Host files on names that are not plain files: FIFOs without a program at
// the other end, symbolic links in place of a file the program names
// itself, plain files with a second hard link. All made in a temporary
// directory.
#include "platform/DirectoryNames.h"
#include "platform/FaultInjection.h"
#include "platform/HostFiles.h"
#include "platform/IniReader.h"
#include "support/TestSupport.h"

#include <QtTest>
#include <algorithm>
#include <future>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sys/time.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool MakeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

ino_t Inode(const QString& path) {
    struct stat st {};
    return ::lstat(Native(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// Runs `work` on a thread of its own; when it has not ended within the
// bound, `release` frees it (opening the other end of the FIFO) and the
// result says it waited.
template <typename T, typename Work, typename Release>
bool EndsWithin(Work work, Release release, T& result, int seconds = 10) {
    auto done = std::async(std::launch::async, work);
    if (done.wait_for(std::chrono::seconds(seconds)) == std::future_status::ready) {
        result = done.get();
        return true;
    }
    release();
    done.wait();
    return false;
}

}  // namespace

class TestHostFiles : public QObject {
    Q_OBJECT

private slots:
    // The temporary file of a plain file: without a name while it is
    // written where the file system makes nameless files, with one of ours
    // from the start where it does not. Either way a later run's sweep
    // leaves it while its writer lives, the earlier file stays until the
    // commit, and nothing is left once it is in place or discarded.
    void temporaryFileWhileWritten_data() {
        QTest::addColumn<bool>("nameless");
        QTest::newRow("nameless file") << true;
        QTest::newRow("named from the start") << false;
    }
    void temporaryFileWhileWritten() {
        QFETCH(bool, nameless);
        SetNamelessHostFilesRefused(!nameless);
        const auto reset = qScopeGuard([] { SetNamelessHostFilesRefused(false); });
        TestDir dir;
        const QString out = dir.file("out.zof");
        QVERIFY(MakeFile(out, "earlier\r\n"));
        const auto temporaries = [&] { return QDir(dir.path()).entryList({".out.zof.korva-*"}, QDir::Files | QDir::Hidden); };
        HostTextWriter w(out);
        QVERIFY(w.IsOpen());
        w.WriteLine("new");
        QCOMPARE(temporaries().size(), nameless ? 0 : 1);
        QCOMPARE(RemoveAbandonedHostTemporaries(dir.path()), 0);
        QCOMPARE(temporaries().size(), nameless ? 0 : 1);
        QCOMPARE(Bytes(out), QByteArray("earlier\r\n"));
        QVERIFY(w.Commit());
        QCOMPARE(Bytes(out), QByteArray("new\r\n"));
        QCOMPARE(temporaries(), QStringList());
        // The committed writer let its descriptor go: the next file opened
        // gets that number, and the writer's end must not close it.
        const int other = ::open(Native(dir.file("other")).constData(), O_WRONLY | O_CREAT, 0600);
        QVERIFY(other >= 0);
        const auto closeOther = qScopeGuard([&] { ::close(other); });
        w.Discard();
        QCOMPARE(::write(other, "x", 1), ssize_t(1));
        HostTextWriter discarded(out);
        discarded.WriteLine("dropped");
        discarded.Discard();
        QCOMPARE(temporaries(), QStringList());
        QCOMPARE(Bytes(out), QByteArray("new\r\n"));
    }

    // The directory went away while the nameless file was written: the
    // commit fails with the system's reason, not with a claim that every
    // temporary name is taken, and nothing is left.
    void directoryGoneBeforeTheCommit() {
        TestDir dir;
        const QString sub = dir.file("sub");
        QVERIFY(QDir().mkdir(sub));
        HostTextWriter w(sub + "/out.zof");
        QVERIFY(w.IsOpen());
        w.WriteLine("new");
        QVERIFY(QDir().rmdir(sub));
        QVERIFY(!w.Commit());
        QVERIFY2(w.ErrorString().contains(QString::fromLocal8Bit(std::strerror(ENOENT))), qPrintable(w.ErrorString()));
        QVERIFY(!QFileInfo::exists(sub));
    }

    // Nobody reads the FIFO: the write fails at once and says why; it does
    // not wait for a reader that never comes.
    void fifoWithoutReaderFailsAtOnce_data() {
        QTest::addColumn<int>("naming");
        QTest::newRow("named by the host") << int(HostFileName::Given);
        QTest::newRow("named by the program") << int(HostFileName::Own);
    }
    void fifoWithoutReaderFailsAtOnce() {
        QFETCH(int, naming);
        TestDir dir;
        const QString fifo = dir.file("result.fifo");
        QCOMPARE(::mkfifo(Native(fifo).constData(), 0600), 0);
        QString error;
        bool written = true;
        const bool ended = EndsWithin(
            [&] { return WriteHostTextFile(fifo, {"0"}, HostFileName(naming), &error); },
            [&] {
                const int fd = ::open(Native(fifo).constData(), O_RDONLY | O_NONBLOCK);
                ::usleep(200000);
                ::close(fd);
            },
            written);
        QVERIFY2(ended, "the write waited for a reader");
        QVERIFY(!written);
        QVERIFY2(error.contains(fifo) && error.contains("no program reads"), qPrintable(error));
        struct stat st {};
        QCOMPARE(::lstat(Native(fifo).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
    }

    // The steps a crash test counts, on each road: a plain file is named
    // before it is put in place, a FIFO is written where it is.
    void stepsOfEachRoad_data() {
        QTest::addColumn<bool>("fifo");
        QTest::addColumn<QList<int>>("steps");
        const int o = int(HostFileStep::Opened), w = int(HostFileStep::Written), n = int(HostFileStep::Named),
                  c = int(HostFileStep::Committed);
        QTest::newRow("plain file") << false << QList<int>{o, w, w, n, c};
        QTest::newRow("FIFO with a reader") << true << QList<int>{o, w, w, c};
    }
    void stepsOfEachRoad() {
        QFETCH(bool, fifo);
        QFETCH(QList<int>, steps);
        TestDir dir;
        const QString out = dir.file("out.zof");
        int reader = -1;
        if (fifo) {
            QCOMPARE(::mkfifo(Native(out).constData(), 0600), 0);
            reader = ::open(Native(out).constData(), O_RDONLY | O_NONBLOCK);
            QVERIFY(reader >= 0);
        }
        static QList<int> seen;
        seen.clear();
        SetHostFileStepHook([](HostFileStep s) { seen << int(s); });
        const auto unhook = qScopeGuard([&] {
            SetHostFileStepHook(nullptr);
            if (reader >= 0) ::close(reader);
        });
        QVERIFY(WriteHostTextFile(out, {"a", "b"}, HostFileName::Given));
        QCOMPARE(seen, steps);
    }

    // A host that reads the error file through a FIFO gets it.
    void fifoWithReaderIsWrittenInPlace() {
        TestDir dir;
        const QString fifo = dir.file("KORVA_MDS_ERROR.Z3D");
        QCOMPARE(::mkfifo(Native(fifo).constData(), 0600), 0);
        const int reader = ::open(Native(fifo).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        QVERIFY(WriteHostTextFile(fifo, {"CANCLED x"}, HostFileName::Own));
        char got[32] = {};
        QCOMPARE(::read(reader, got, sizeof got), ssize_t(11));
        QCOMPARE(QByteArray(got, 11), QByteArray("CANCLED x\r\n"));
        ::close(reader);
    }

    // A file the program names itself is never written through a symbolic
    // link put in its place: the link's target keeps its content, and the
    // failure names the link. A name the host gives is followed.
    void ownNameBehindALinkIsRefused_data() {
        QTest::addColumn<bool>("targetExists");
        QTest::newRow("link to a file") << true;
        QTest::newRow("dangling link") << false;
    }
    void ownNameBehindALinkIsRefused() {
        QFETCH(bool, targetExists);
        TestDir dir;
        const QString victim = dir.file("victim.txt"), link = dir.file("KORVA_MDS_ERROR.Z3D");
        if (targetExists) QVERIFY(MakeFile(victim, "precious\n"));
        QVERIFY(QFile::link(victim, link));
        QString error;
        QVERIFY(!WriteHostTextFile(link, {"CANCLED x"}, HostFileName::Own, &error));
        QVERIFY2(error.contains(link) && error.contains("symbolic link"), qPrintable(error));
        QCOMPARE(Bytes(victim), targetExists ? QByteArray("precious\n") : QByteArray("<missing>"));
        QVERIFY(QFileInfo(link).isSymLink());

        QVERIFY(WriteHostTextFile(link, {"given"}, HostFileName::Given));
        QCOMPARE(Bytes(victim), QByteArray("given\r\n"));
        QVERIFY(QFileInfo(link).isSymLink());
    }

    // A plain file with a second hard link is replaced whole: the name gets
    // the new file, the other link keeps the old content, and a writer that
    // ends before its commit leaves both as they were.
    void hardLinkedFileIsReplacedWhole() {
        TestDir dir;
        const QString out = dir.file("out.zof"), other = dir.file("kept.zof");
        QVERIFY(MakeFile(out, "old output\r\n"));
        QCOMPARE(::link(Native(out).constData(), Native(other).constData()), 0);
        {
            HostTextWriter w(out);
            QVERIFY(w.IsOpen());
            w.WriteLine("half");
        }
        QCOMPARE(Bytes(out), QByteArray("old output\r\n"));
        QCOMPARE(Inode(out), Inode(other));
        QVERIFY(WriteHostTextFile(out, {"new output"}));
        QCOMPARE(Bytes(out), QByteArray("new output\r\n"));
        QCOMPARE(Bytes(other), QByteArray("old output\r\n"));
        QVERIFY(Inode(out) != Inode(other));
    }

    // Host files are read only when they are plain files: a FIFO nobody
    // writes is refused at once, naming it, instead of waiting; the alias
    // file and the input file are read this way.
    void readingAFifoIsRefusedAtOnce() {
        TestDir dir;
        const QString fifo = dir.file("aliases.ini");
        QCOMPARE(::mkfifo(Native(fifo).constData(), 0600), 0);
        QString error;
        bool read = true;
        const bool ended = EndsWithin(
            [&] {
                bool ok = false;
                ReadHostText(fifo, &ok, &error);
                return ok;
            },
            [&] {
                const int fd = ::open(Native(fifo).constData(), O_WRONLY | O_NONBLOCK);
                ::close(fd);
            },
            read);
        QVERIFY2(ended, "the read waited for a writer");
        QVERIFY(!read);
        QVERIFY2(error.contains(fifo) && error.contains("not a plain file"), qPrintable(error));
        const TIniReader ini(fifo);
        QVERIFY2(ini.Error().contains("not a plain file"), qPrintable(ini.Error()));
        QCOMPARE(ini.ReadString("KORVA_9_0", "PATH", "none"), QString("none"));
    }

    // A writer that failed to open, or was discarded, holds nothing open.
    void failedOrDiscardedWriterHoldsNothing() {
        TestDir dir;
        HostTextWriter nowhere;
        QVERIFY(!nowhere.Open(dir.file("no/such/dir/out.zof")));
        QVERIFY(!nowhere.IsOpen());
        QVERIFY2(nowhere.ErrorString().contains("out.zof"), qPrintable(nowhere.ErrorString()));
        const QString fifo = dir.file("result.fifo");
        QCOMPARE(::mkfifo(Native(fifo).constData(), 0600), 0);
        HostTextWriter w;
        QVERIFY(!w.Open(fifo));
        QVERIFY(!w.IsOpen());
        QVERIFY(!w.ErrorString().isEmpty());
        const int reader = ::open(Native(fifo).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        QVERIFY(w.Open(fifo));
        QVERIFY(w.IsOpen());
        // The earlier failure is not this write's.
        QCOMPARE(w.ErrorString(), QString());
        w.Discard();
        QVERIFY(!w.IsOpen());
        QVERIFY(!w.Commit());
        ::close(reader);
    }

    // A name the host gives may be a link to its FIFO: the writer follows
    // it, writes where the link points and leaves the pipe signal's mask as
    // it found it.
    void givenLinkToAFifoIsFollowed() {
        TestDir dir;
        const QString fifo = dir.file("host.fifo"), link = dir.file("result.txt");
        QCOMPARE(::mkfifo(Native(fifo).constData(), 0600), 0);
        QVERIFY(QFile::link(fifo, link));
        sigset_t before;
        sigemptyset(&before);
        pthread_sigmask(SIG_BLOCK, nullptr, &before);
        const int reader = ::open(Native(fifo).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        QVERIFY(WriteHostTextFile(link, {"3"}));
        char got[8] = {};
        QCOMPARE(::read(reader, got, sizeof got), ssize_t(3));
        QCOMPARE(QByteArray(got, 3), QByteArray("3\r\n"));
        ::close(reader);
        sigset_t mask;
        sigemptyset(&mask);
        pthread_sigmask(SIG_BLOCK, nullptr, &mask);
        QCOMPARE(sigismember(&mask, SIGPIPE), sigismember(&before, SIGPIPE));
    }

    // A write into a full FIFO that a signal interrupts returns part of the
    // text; the writer goes on with the rest, and the reader gets every
    // byte once, in order.
    void interruptedWritesGoOnWithTheRest() {
        TestDir dir;
        const QString fifo = dir.file("result.fifo");
        QCOMPARE(::mkfifo(Native(fifo).constData(), 0600), 0);
        const int reader = ::open(Native(fifo).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        QString text;
        for (int i = 0; i < 60000; ++i) text += QStringLiteral("%1;").arg(i);
        QVERIFY(text.size() > 4 * 65536);
        // A timer signal without SA_RESTART cuts the blocked write short.
        struct sigaction tick {}, old {};
        tick.sa_handler = [](int) {};
        sigemptyset(&tick.sa_mask);
        ::sigaction(SIGALRM, &tick, &old);
        const itimerval every{{0, 2000}, {0, 2000}}, stop{};
        ::setitimer(ITIMER_REAL, &every, nullptr);
        QByteArray got;
        auto drain = std::async(std::launch::async, [&] {
            char buffer[4096];
            for (int idle = 0; idle < 2000;) {
                const ssize_t n = ::read(reader, buffer, sizeof buffer);
                if (n > 0) {
                    got.append(buffer, int(n));
                    idle = 0;
                    ::usleep(300);  // slower than the writer: the pipe fills
                } else if (n == 0 && got.size() >= text.size()) {
                    break;
                } else {
                    ++idle;
                    ::usleep(1000);
                }
            }
        });
        const bool written = WriteHostTextFile(fifo, {text});
        drain.wait();
        ::setitimer(ITIMER_REAL, &stop, nullptr);
        ::sigaction(SIGALRM, &old, nullptr);
        ::close(reader);
        QVERIFY(written);
        QCOMPARE(got, text.toLatin1() + "\r\n");
    }

    // A plain file's writer that is discarded holds nothing open and leaves
    // the old file.
    void discardedPlainWriter() {
        TestDir dir;
        QVERIFY(MakeFile(dir.file("out.zof"), "old\r\n"));
        HostTextWriter w(dir.file("out.zof"));
        QVERIFY(w.IsOpen());
        w.WriteLine("new");
        w.Discard();
        QVERIFY(!w.IsOpen());
        QVERIFY(!w.Commit());
        QCOMPARE(Bytes(dir.file("out.zof")), QByteArray("old\r\n"));
    }

    // A pipe signal that was pending before the write is not the writer's
    // to take away, also when the write raises one of its own.
    void earlierPipeSignalStaysPending() {
        sigset_t pipe, old;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, &old);
        ::raise(SIGPIPE);
        TestDir dir;
        const QString fifo = dir.file("result.fifo");
        QCOMPARE(::mkfifo(Native(fifo).constData(), 0600), 0);
        const int reader = ::open(Native(fifo).constData(), O_RDONLY | O_NONBLOCK);
        HostTextWriter w;
        const bool opened = w.Open(fifo);
        ::close(reader);
        w.WriteLine("0");
        const bool committed = w.Commit();
        sigset_t pending;
        sigemptyset(&pending);
        sigpending(&pending);
        const bool stillPending = sigismember(&pending, SIGPIPE) == 1;
        const timespec none{};
        while (sigtimedwait(&pipe, nullptr, &none) > 0) {
        }
        pthread_sigmask(SIG_SETMASK, &old, nullptr);
        QVERIFY(opened);
        QVERIFY(!committed);
        QVERIFY(stillPending);
    }

    // The last line of a file without a final line end is a line too.
    void lastLineWithoutLineEnd() {
        TestDir dir;
        QStringList lines;
        QVERIFY(MakeFile(dir.file("a.txt"), "first\r\nlast"));
        QVERIFY(ReadHostTextFile(dir.file("a.txt"), lines));
        QCOMPARE(lines, QStringList({"first", "last"}));
        QVERIFY(MakeFile(dir.file("b.txt"), "first\r\nlast\r\n"));
        QVERIFY(ReadHostTextFile(dir.file("b.txt"), lines));
        QCOMPARE(lines, QStringList({"first", "last"}));
    }

    // A host may start the program with its standard input closed: the
    // first file opened then gets descriptor 0, which is a file like any.
    void standardInputClosed() {
        TestDir dir;
        QVERIFY(MakeFile(dir.file("in.zif"), "[DWG]\r\nHangerMark=H-1\r\n"));
        const QString fifo = dir.file("result.fifo");
        QCOMPARE(::mkfifo(Native(fifo).constData(), 0600), 0);
        const int saved = ::dup(0);
        ::close(0);
        bool read = false;
        const QString text = ReadHostText(dir.file("in.zif"), &read);
        const int reader = ::open(Native(fifo).constData(), O_RDONLY | O_NONBLOCK);  // takes 0
        const int readerBelow = ::dup(reader);
        ::close(reader);
        HostTextWriter w;
        const bool opened = w.Open(fifo);  // descriptor 0 again
        w.WriteLine("0");
        const bool committed = w.Commit();
        char got[8] = {};
        const ssize_t n = ::read(readerBelow, got, sizeof got);
        // A discarded writer gives descriptor 0 back.
        HostTextWriter discarded;
        const bool reopened = discarded.Open(fifo);
        discarded.Discard();
        const int next = ::open(Native(fifo).constData(), O_RDONLY | O_NONBLOCK);
        ::close(next);
        ::close(readerBelow);
        ::dup2(saved, 0);
        ::close(saved);
        QVERIFY(read);
        QVERIFY(text.contains("HangerMark=H-1"));
        QVERIFY(opened);
        QVERIFY(committed);
        QCOMPARE(QByteArray(got, int(std::max<ssize_t>(n, 0))), QByteArray("0\r\n"));
        QVERIFY(reopened);
        QCOMPARE(next, 0);
    }

    // The temporary file's name: hidden, the final name and ".korva-" with
    // six letters or digits, cut to fit a file name (never inside a UTF-8
    // character), and told apart from the user's names.
    void temporaryNames_data() {
        QTest::addColumn<QByteArray>("finalName");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("short") << QByteArray("out.zof") << QByteArray(".out.zof.korva-Ab12Cd");
        // 241 bytes of the name fit: 1 + 241 + 13 = 255.
        QTest::newRow("as long as fits") << QByteArray(241, 'n') << "." + QByteArray(241, 'n') + ".korva-Ab12Cd";
        QTest::newRow("one byte too long") << QByteArray(242, 'n') << "." + QByteArray(241, 'n') + ".korva-Ab12Cd";
        // "é" (2 bytes) across the cut: it goes whole.
        QTest::newRow("a character across the cut") << QByteArray(240, 'n') + "\xc3\xa9x"
                                                    << "." + QByteArray(240, 'n') + ".korva-Ab12Cd";
    }
    void temporaryNames() {
        QFETCH(QByteArray, finalName);
        QFETCH(QByteArray, expected);
        const QByteArray name = HostTemporaryName(finalName, "Ab12Cd");
        QCOMPARE(name, expected);
        QVERIFY(IsHostTemporaryName(name));
    }
    void namesThatAreNoTemporary_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("the user's, six letters") << QByteArray("out.zof.Ab12Cd");
        QTest::newRow("the user's backup") << QByteArray("out.zof.backup");
        QTest::newRow("not hidden") << QByteArray("out.zof.korva-Ab12Cd");
        QTest::newRow("five letters") << QByteArray(".out.zof.korva-Ab12C");
        QTest::newRow("seven letters") << QByteArray(".out.zof.korva-Ab12Cde");
        QTest::newRow("a sign among them") << QByteArray(".out.zof.korva-Ab-2Cd");
        QTest::newRow("no name before") << QByteArray("..korva-Ab12Cd");
    }
    void namesThatAreNoTemporary() {
        QFETCH(QByteArray, name);
        QVERIFY(!IsHostTemporaryName(name));
    }

    // The listing of the sweeps (this one's and the super-journals'): the
    // names the test accepts, read from the directory's start, through a
    // copy that is closed however the listing ends; the directory's own
    // descriptor stays open and as it was.
    void namesInDirectory_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("expected");  // sorted
        const QStringList temporaries{".a.zof.korva-Ab12Cd", ".b.zof.korva-Zz99Zz"};
        QTest::newRow("a directory") << "directory" << temporaries;
        // The first listing leaves the shared position at the end.
        QTest::newRow("listed a second time (not: from where the first stopped)") << "twice" << temporaries;
        // The copy cannot be listed: it is closed all the same.
        QTest::newRow("a plain file (not: its copy left open)") << "file" << QStringList{};
    }
    void namesInDirectory() {
        QFETCH(QString, kind);
        QFETCH(QStringList, expected);
        TestDir dir;
        for (const char* name : {".a.zof.korva-Ab12Cd", ".b.zof.korva-Zz99Zz", "a.zof", "a.zof.korva-Ab12Cd"})
            QVERIFY(MakeFile(dir.file(name), "x"));
        const QString listed = kind == "file" ? dir.file("a.zof") : dir.path();
        const int fd = ::open(Native(listed).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        const auto closeFd = qScopeGuard([fd] { ::close(fd); });
        // Descriptors are handed out lowest first: one left open moves it.
        const auto nextFree = [&dir] {
            const int probe = ::open(Native(dir.path()).constData(), O_RDONLY | O_CLOEXEC);
            ::close(probe);
            return probe;
        };
        const int freeBefore = nextFree();
        if (kind == "twice") NamesInDirectory(fd, &IsHostTemporaryName);
        QStringList got;
        for (const QByteArray& name : NamesInDirectory(fd, &IsHostTemporaryName)) got << QString::fromUtf8(name);
        got.sort();
        QCOMPARE(got, expected);
        QCOMPARE(nextFree(), freeBefore);
        QCOMPARE(::fcntl(fd, F_GETFD), FD_CLOEXEC);
    }

    // A file as long as a name may be is written whole, and nothing is
    // left beside it.
    void longNameWrittenWhole() {
        TestDir dir;
        const QString name = dir.file(QString(248, 'n') + QString::fromUtf8("\xc3\xa9") + "x.zof");
        QCOMPARE(Native(QFileInfo(name).fileName()).size(), 255);
        QVERIFY(WriteHostTextFile(name, {"whole"}));
        QCOMPARE(Bytes(name), QByteArray("whole\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void readingAPlainFileThroughALinkWorks() {
        TestDir dir;
        QVERIFY(MakeFile(dir.file("real.ini"), "[A]\r\nB=c\r\n"));
        QVERIFY(QFile::link(dir.file("real.ini"), dir.file("link.ini")));
        const TIniReader ini(dir.file("link.ini"));
        QCOMPARE(ini.Error(), QString());
        QCOMPARE(ini.ReadString("a", "b", "none"), QString("c"));
    }
};

QTEST_GUILESS_MAIN(TestHostFiles)
#include "tst_hostfiles.moc"
