// The lock of one running copy per user without Qt Network: the holder is
// played by this test (a second open file description of the lock file and
// a plain listening socket answered by a thread), so every way the holder
// can answer, or fail to, is reached.
#include "platform/InstanceLock.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

#include <atomic>
#include <cstring>
#include <memory>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr const char* Name = "KORVA_TEST_LOCK";

// What the holder does with a request.
enum class Holder { Answers, AnswersInPieces, AnswersWrongly, ClosesAtOnce, NeverAnswers, NotListening };

// A copy holding the lock file and, unless NotListening, serving one
// connection on the socket beside it.
class FakeHolder {
public:
    explicit FakeHolder(Holder how) : m_how(how) {
        m_lockFd = ::open(QFile::encodeName(InstanceLockPath(Name)).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        m_locked = m_lockFd >= 0 && ::flock(m_lockFd, LOCK_EX | LOCK_NB) == 0;
        if (how == Holder::NotListening) return;
        const QByteArray path = QFile::encodeName(InstanceSocketPath(Name));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ::unlink(path.constData());
        m_listening = ::bind(m_listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                      ::listen(m_listenFd, 4) == 0;
        if (m_listening) m_thread = std::thread([this] { Serve(); });
    }
    ~FakeHolder() {
        Stop();
        if (m_listenFd >= 0) ::close(m_listenFd);
        if (m_lockFd >= 0) ::close(m_lockFd);
    }
    // Ends the serving thread; the request it read can be looked at then.
    void Stop() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }
    bool Ready() const { return m_locked && (m_how == Holder::NotListening || m_listening); }
    QByteArray Request() const { return m_request; }

private:
    // Waits (bounded) for fd to become readable.
    bool Readable(int fd, int ms) const {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, ms) > 0;
    }
    void Serve() {
        QElapsedTimer t;
        t.start();
        while (!m_stop && t.elapsed() < 5000 && !Readable(m_listenFd, 20)) {
        }
        if (m_stop || t.elapsed() >= 5000) return;
        const int fd = ::accept(m_listenFd, nullptr, nullptr);
        if (fd < 0) return;
        if (m_how != Holder::ClosesAtOnce) {
            char buffer[64];
            while (!m_request.contains('\n') && Readable(fd, 2000)) {
                const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                m_request.append(buffer, n);
            }
            const auto say = [fd](const char* text) { ::send(fd, text, std::strlen(text), MSG_NOSIGNAL); };
            switch (m_how) {
            case Holder::Answers: say("ACTIVATED\n"); break;
            case Holder::AnswersInPieces:
                say("ACTIV");
                ::usleep(100 * 1000);
                say("ATED\n");
                break;
            case Holder::AnswersWrongly: say("ACTIVATED NOT\n"); break;
            case Holder::NeverAnswers:
                // Keeps the connection open past the asking copy's wait.
                while (!m_stop) ::usleep(10 * 1000);
                break;
            default: break;
            }
        }
        ::close(fd);
    }

    Holder m_how;
    int m_lockFd = -1;
    int m_listenFd = -1;
    bool m_locked = false;
    bool m_listening = false;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    QByteArray m_request;
};

}  // namespace

class TstInstanceLock : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDir> m_runtime;

private slots:
    void init() {
        ReleaseInstanceLock();
        m_runtime = std::make_unique<TestDir>();
        qputenv("XDG_RUNTIME_DIR", m_runtime->path().toLocal8Bit());
    }
    void cleanup() { ReleaseInstanceLock(); }

    void freeLockIsTakenWithTheProcessId() {
        QCOMPARE(TakeInstanceLock(Name, 300), InstanceLockResult::Acquired);
        QVERIFY(InstanceLockHeld());
        QFile file(InstanceLockPath(Name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray::number(qint64(::getpid())) + "\n");
        // Taken again while held: nothing changes.
        QCOMPARE(TakeInstanceLock(Name, 300), InstanceLockResult::Acquired);
        ReleaseInstanceLock();
        QVERIFY(!InstanceLockHeld());
    }

    // A longer id of an earlier holder is cut off, not left behind the new one.
    void earlierLongerContentIsCut() {
        {
            QFile file(InstanceLockPath(Name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("123456789012345678901234567890\nrest\n");
        }
        QCOMPARE(TakeInstanceLock(Name, 300), InstanceLockResult::Acquired);
        QFile file(InstanceLockPath(Name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray::number(qint64(::getpid())) + "\n");
    }

    void holderAnswers_data() {
        QTest::addColumn<int>("how");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("waitsItsTime");
        QTest::newRow("answers") << int(Holder::Answers) << int(InstanceLockResult::OtherActivated) << false;
        QTest::newRow("answers in two pieces") << int(Holder::AnswersInPieces) << int(InstanceLockResult::OtherActivated)
                                                << false;
        QTest::newRow("answers something else") << int(Holder::AnswersWrongly) << int(InstanceLockResult::Blocked)
                                                 << false;
        QTest::newRow("closes at once") << int(Holder::ClosesAtOnce) << int(InstanceLockResult::Blocked) << false;
        QTest::newRow("never answers") << int(Holder::NeverAnswers) << int(InstanceLockResult::Blocked) << true;
        QTest::newRow("not listening") << int(Holder::NotListening) << int(InstanceLockResult::Blocked) << true;
    }
    void holderAnswers() {
        QFETCH(int, how);
        QFETCH(int, result);
        QFETCH(bool, waitsItsTime);
        constexpr int WaitMs = 600;
        FakeHolder holder{Holder(how)};
        QVERIFY(holder.Ready());
        QElapsedTimer t;
        t.start();
        QCOMPARE(int(TakeInstanceLock(Name, WaitMs)), result);
        const qint64 took = t.elapsed();
        QVERIFY(!InstanceLockHeld());
        // The wait is bounded by the deadline, and used up only when nothing
        // came back.
        QVERIFY2(took < WaitMs + 400, qPrintable(QString::number(took)));
        if (waitsItsTime) QVERIFY2(took >= WaitMs - 50, qPrintable(QString::number(took)));
        else QVERIFY2(took < WaitMs, qPrintable(QString::number(took)));
        holder.Stop();
        const bool reads = Holder(how) != Holder::NotListening && Holder(how) != Holder::ClosesAtOnce;
        QCOMPARE(holder.Request(), reads ? QByteArray("ACTIVATE\n") : QByteArray());
    }

    // A runtime folder that is not ours alone is not used: the process runs
    // unguarded rather than steered by whoever made the folder.
    void foreignRuntimeFolderRunsUnguarded() {
        TestDir tmp;
        const QString dir = tmp.file(QString("korva-runtime-%1").arg(::getuid()));
        QVERIFY(QDir().mkdir(dir));
        QVERIFY(QFile::setPermissions(dir, QFile::Permissions(0x7777)));
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", tmp.path().toLocal8Bit());
        const QString path = InstanceLockPath(Name);
        const InstanceLockResult r = TakeInstanceLock(Name, 300);
        qunsetenv("TMPDIR");
        QVERIFY2(path.isEmpty(), qPrintable(path));
        QCOMPARE(r, InstanceLockResult::Acquired);
        QVERIFY(!InstanceLockHeld());
        QVERIFY(QDir(dir).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstInstanceLock)
#include "tst_instancelock.moc"
