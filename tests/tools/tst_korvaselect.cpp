// The korva-select tool as a process: its refusals of bad catalogues,
// input files and arguments (exit 2, a message naming the file, nothing on
// standard output), a documented result for every demo input, the catalogue
// left as it was, and the golden outputs of the demo inputs.
#include "platform/Session.h"
#include "platform/Table.h"
#include "support/GoldenFiles.h"
#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QtTest>

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace {

const QString Demo = QStringLiteral(KORVA_BINARY_DIR "/demo/catalogue");
const QString Inputs = QStringLiteral(KORVA_SOURCE_DIR "/resources/catalogue/inputs");
const QString Golden = QStringLiteral(KORVA_SOURCE_DIR "/tests/tools/golden");

struct Run {
    int exitCode = -1;
    QByteArray out, err;
};

Run Select(const QStringList& args, const QString& home) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    env.insert(QStringLiteral("TMPDIR"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KORVA_SELECT_EXE), args);
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// Starts the tool (or its test build) as Select does, with more of the
// environment, and leaves it running.
void StartSelect(QProcess& p, const QString& exe, const QStringList& args, const QString& home,
                 const QMap<QString, QString>& extra = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("TMPDIR", home);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (auto it = extra.begin(); it != extra.end(); ++it) env.insert(it.key(), it.value());
    p.setProcessEnvironment(env);
    p.start(exe, args);
}

void CopyDir(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QString& f : QDir(from).entryList(QDir::Files))
        QVERIFY(QFile::copy(QDir(from).filePath(f), QDir(to).filePath(f)));
}

QByteArray DirHash(const QString& dir) {
    QCryptographicHash h(QCryptographicHash::Sha256);
    for (const QString& f : QDir(dir).entryList(QDir::Files, QDir::Name)) {
        QFile file(QDir(dir).filePath(f));
        if (file.open(QIODevice::ReadOnly)) {
            h.addData(f.toUtf8());
            h.addData(file.readAll());
        }
    }
    return h.result();
}

// Writes `to` as the demo input `name` with `from` replaced by
// `replacement`: a demo support with a value changed. False when the demo
// input cannot be read, does not hold `from` (nothing would change) or `to`
// cannot be written whole.
bool WriteChangedInput(const QString& name, const QByteArray& from, const QByteArray& replacement, const QString& to) {
    QFile src(Inputs + "/" + name);
    if (!src.open(QIODevice::ReadOnly)) return false;
    QByteArray text = src.readAll();
    if (!text.contains(from)) return false;
    text.replace(from, replacement);
    QFile out(to);
    return out.open(QIODevice::WriteOnly) && out.write(text) == text.size() && out.flush();
}

QStringList DemoInputs() { return QDir(Inputs).entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name); }

}  // namespace

class tst_korvaselect : public QObject {
    Q_OBJECT
    int m_refused = 0;
    int m_kills = 0;

private slots:
    void initTestCase() { QVERIFY2(QFileInfo::exists(Demo + "/Pgstat.DB"), "the demo catalogue is built"); }

    // Each refusal: exit 2, a message that names what is wrong, no output.
    void refusals_data() {
        QTest::addColumn<QString>("breakage");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no catalogue directory") << "nodir" << "no such directory";
        QTest::newRow("table file missing") << "missing" << "Pgstat.DB is missing";
        QTest::newRow("table file damaged") << "damaged" << "pgrsrsl.DB is damaged";
        QTest::newRow("settings table empty file") << "emptyfirdat" << "FIRDAT.DB is damaged";
        QTest::newRow("no input file") << "noinput" << "no such file";
        QTest::newRow("input without configuration") << "noconfig" << "no configuration that the catalogue knows";
        QTest::newRow("unknown configuration") << "badconfig" << "no configuration that the catalogue knows";
        QTest::newRow("answer neither yes nor no") << "badanswer" << "neither yes nor no";
        QTest::newRow("configuration not offered") << "notoffered" << "configuration 102 is not offered for host configuration 1";
        QTest::newRow("configuration not a number") << "nanconfig" << "is not a configuration number";
        QTest::newRow("no input argument") << "noarg" << "--input FILE are required";
        QTest::newRow("print language unknown") << "badprint" << "\"fr\" is neither de nor en";
        // Line 001 would name the file with "?" for the Ł.
        QTest::newRow("output name the code page cannot hold")
            << "outputname" << "holds the character U+0141 at position";
    }
    void refusals() {
        QFETCH(QString, breakage);
        QFETCH(QString, expected);
        TestDir home, dir;
        const QString catalogue = dir.file("cat");
        CopyDir(Demo, catalogue);
        QString input = dir.file("in.ini");
        QVERIFY(QFile::copy(Inputs + "/spring_hanger.ini", input));
        QStringList extra;
        auto write = [](const QString& path, const QByteArray& bytes) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes);
        };
        QString catalogueArg = catalogue;
        if (breakage == "nodir")
            catalogueArg = dir.file("nothing-here");
        else if (breakage == "missing")
            QVERIFY(QFile::remove(catalogue + "/Pgstat.DB"));
        else if (breakage == "damaged")
            write(catalogue + "/pgrsrsl.DB", QByteArray(4096, 'x'));
        else if (breakage == "emptyfirdat")
            write(catalogue + "/FIRDAT.DB", QByteArray());
        else if (breakage == "noinput")
            input = dir.file("absent.ini");
        else if (breakage == "noconfig")
            write(input, "[LOAD]\nNormal=10\n");
        else if (breakage == "badconfig") {
            QFile f(input);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QByteArray text = f.readAll().replace("Config=1", "Config=987");
            f.close();
            write(input, text);
        } else if (breakage == "badanswer")
            extra << "--answers" << "yes,maybe";
        else if (breakage == "notoffered")
            extra << "--configuration" << "102";
        else if (breakage == "nanconfig")
            extra << "--configuration" << "3x";
        else if (breakage == "badprint")
            extra << "--print-language" << "fr";
        else if (breakage == "outputname")
            extra << "--output" << dir.file(QStringLiteral("WA\u0141-1.zof"));
        QStringList args{"--catalogue", catalogueArg};
        if (breakage != "noarg")
            args << "--input" << input;
        const Run r = Select(args + extra + QStringList{"--json"}, home.path());
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(expected.toUtf8()), r.err.constData());
        QVERIFY(r.out.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList({"*.zof"}, QDir::Files | QDir::Hidden), QStringList());
    }

    // The tool reads the input file as the program does and refuses what
    // the program refuses: the reader's refusals name the key; a value that
    // is no number counts as 0, which the form's check refuses (here the
    // load). Nothing goes to standard output, no output file is written.
    void valuesTheProgramRefuses_data() {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("expected");
        QTest::newRow("NaN load") << QByteArray("Normal=10") << QByteArray("Normal=NaN") << "[LOAD] Normal = NaN is not a finite";
        QTest::newRow("infinite load") << QByteArray("Normal=10") << QByteArray("Normal=inf") << "[LOAD] Normal = inf is not";
        QTest::newRow("load beyond float64") << QByteArray("Normal=10") << QByteArray("Normal=1e309")
                                             << "[LOAD] Normal = 1e309 is not";
        QTest::newRow("load as text") << QByteArray("Normal=10") << QByteArray("Normal=ten") << "refused as the form";
        QTest::newRow("negative pipe size") << QByteArray("SIZE=114.3") << QByteArray("SIZE=-10") << "[PIPE] SIZE = -10";
        QTest::newRow("insulation 1e308") << QByteArray("Insulation=100") << QByteArray("Insulation=1e308")
                                          << "[PIPE] Insulation = 1e308 lies outside";
        QTest::newRow("insulation -10") << QByteArray("Insulation=100") << QByteArray("Insulation=-10")
                                        << "[PIPE] Insulation = -10 is negative";
        QTest::newRow("temperature 1e308") << QByteArray("Temp=200") << QByteArray("Temp=1e308")
                                           << "[PIPE] Temp = 1e308 lies outside";
        QTest::newRow("temperature beyond 32 bits") << QByteArray("Temp=200") << QByteArray("Temp=2147483648")
                                                    << "[PIPE] Temp = 2147483648 lies outside";
        QTest::newRow("Alpha 1e308") << QByteArray("Alpha=0.0") << QByteArray("Alpha=1e308")
                                     << "[MDSHangerConfig] Alpha = 1e308";
        QTest::newRow("33-character mark") << QByteArray("HangerMark=DEMO-SH") << QByteArray("HangerMark=") + QByteArray(33, 'M')
                                           << "[DWG] HangerMark";
        QTest::newRow("tab in the mark") << QByteArray("HangerMark=DEMO-SH") << QByteArray("HangerMark=DEMO\tSH")
                                         << "[DWG] HangerMark holds the control character U+0009";
        QTest::newRow("escape in the drawing number") << QByteArray("DwgNo=101") << QByteArray("DwgNo=1\x1b" "01")
                                                      << "[DWG] DwgNo holds the control character U+001B";
        QTest::newRow("DEL in the mark") << QByteArray("HangerMark=DEMO-SH") << QByteArray("HangerMark=DEMO\x7fSH")
                                         << "U+007F";
        QTest::newRow("form feed in the mark") << QByteArray("HangerMark=DEMO-SH") << QByteArray("HangerMark=DEMO\fSH")
                                               << "U+000C";
        // A temperature is read one way for its range and its value.
        QTest::newRow("temperature -$80000000") << QByteArray("Temp=200") << QByteArray("Temp=-$80000000")
                                                << "[PIPE] Temp = -$80000000 lies outside";
        QTest::newRow("temperature 0x7FFFFFFF") << QByteArray("Temp=200") << QByteArray("Temp=0x7FFFFFFF")
                                                << "[PIPE] Temp = 0x7FFFFFFF lies outside";
        QTest::newRow("temperature $7FFFFFFF") << QByteArray("Temp=200") << QByteArray("Temp=$7FFFFFFF")
                                               << "[PIPE] Temp = $7FFFFFFF lies outside";
        // A mark the host's code page cannot hold: UTF-8 with its mark (the
        // mark is put in front of the file), and a byte of no character.
        QTest::newRow("Ł in the mark") << QByteArray("HangerMark=DEMO-SH") << QByteArray("\xef\xbb\xbfHangerMark=WA\xc5\x81-1")
                                       << "[DWG] HangerMark holds the character U+0141";
        QTest::newRow("byte 0x81 in the mark") << QByteArray("HangerMark=DEMO-SH") << QByteArray("HangerMark=WA\x81-1")
                                               << "[DWG] HangerMark holds a byte at position 3";
    }
    void valuesTheProgramRefuses() {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, expected);
        TestDir home;
        QFile src(Inputs + "/spring_hanger.ini");
        QVERIFY(src.open(QIODevice::ReadOnly));
        const QByteArray text = src.readAll();
        QVERIFY(text.contains(from));
        const QString input = home.file("in.ini"), out = home.file("out.zof");
        QFile f(input);
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QByteArray bom("\xef\xbb\xbf");
        if (to.startsWith(bom)) f.write(bom + QByteArray(text).replace(from, to.mid(3)));
        else f.write(QByteArray(text).replace(from, to));
        f.close();
        const Run r = Select({"--catalogue", Demo, "--input", input, "--json", "--output", out}, home.path());
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(expected.toUtf8()), r.err.constData());
        QVERIFY(r.out.isEmpty());
        QVERIFY(!QFileInfo::exists(out));
        ++m_refused;
    }

    // What the program reads, the tool reads: UTF-16 with its byte-order
    // mark and section names in another case give the same selection.
    void inputTheProgramReads_data() {
        QTest::addColumn<QString>("form");
        QTest::newRow("UTF-16 little endian") << "utf16le";
        QTest::newRow("UTF-16 big endian") << "utf16be";
        QTest::newRow("lower-case sections") << "lower";
    }
    void inputTheProgramReads() {
        QFETCH(QString, form);
        TestDir home;
        QFile src(Inputs + "/spring_hanger.ini");
        QVERIFY(src.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(src.readAll());
        QByteArray bytes;
        if (form == "lower") {
            QString lowered = text;
            lowered.replace(QRegularExpression("^\\[(.*)\\]", QRegularExpression::MultilineOption), "[\\1_]");
            for (const QString& section : QStringList{"DWG", "LOAD", "PIPE", "MDSHangerConfig", "STATICMOVEMENTS",
                                                      "DYNAMICMOVEMENTS", "SteelConnection"})
                lowered.replace("[" + section + "_]", "[" + section.toLower() + "]");
            QVERIFY(!lowered.contains("_]"));
            bytes = lowered.toLatin1();
        } else {
            const bool le = form == "utf16le";
            bytes = le ? QByteArray("\xff\xfe") : QByteArray("\xfe\xff");
            for (const QChar c : text) {
                const char lo = char(c.unicode() & 0xff), hi = char(c.unicode() >> 8);
                bytes += le ? lo : hi;
                bytes += le ? hi : lo;
            }
        }
        const QString input = home.file("in.ini");
        QFile f(input);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        const Run r = Select({"--catalogue", Demo, "--input", input, "--json"}, home.path());
        QVERIFY2(r.exitCode == 0, r.err.constData());
        const Run plain = Select({"--catalogue", Demo, "--input", Inputs + "/spring_hanger.ini", "--json"}, home.path());
        QCOMPARE(plain.exitCode, 0);
        QCOMPARE(r.out, plain.out);
        QVERIFY(QJsonDocument::fromJson(r.out).object()["parts"].toArray().size() > 0);
    }

    // An output file with a second hard link is replaced whole: the other
    // link keeps the earlier output. Killed at instants spread over its run,
    // the tool leaves the old file or the whole new one, never a part.
    void hardLinkedOutputKilledMidWrite() {
        TestDir home;
        const QString input = Inputs + "/spring_hanger.ini";
        const QByteArray old = "earlier output\r\n";
        const QString out = home.file("out.zof"), other = home.file("kept.zof");
        // The whole file under this name (its first lines name it); how long
        // a whole run takes here, to spread the kills over it.
        QElapsedTimer t;
        t.start();
        QVERIFY(Select({"--catalogue", Demo, "--input", input, "--output", out}, home.path()).exitCode == 0);
        QFile ref(out);
        QVERIFY(ref.open(QIODevice::ReadOnly));
        const QByteArray whole = ref.readAll();
        ref.close();
        QVERIFY(whole.size() > 1000);
        const qint64 runMs = std::max<qint64>(t.elapsed(), 200);
        int complete = 0;
        for (int i = 0; i < 24; ++i) {
            QFile::remove(out);
            QFile::remove(other);
            QFile o(out);
            QVERIFY(o.open(QIODevice::WriteOnly));
            o.write(old);
            o.close();
            QCOMPARE(::link(QFile::encodeName(out).constData(), QFile::encodeName(other).constData()), 0);
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("HOME", home.path());
            env.insert("TMPDIR", home.path());
            env.insert("QT_QPA_PLATFORM", "offscreen");
            p.setProcessEnvironment(env);
            p.start(KORVA_SELECT_EXE, {"--catalogue", Demo, "--input", input, "--output", out});
            QVERIFY(p.waitForStarted(10000));
            // The last kills come late in the run, where the file is written;
            // the last run is not killed, so one run at least must end whole
            // however slow this machine is now.
            const qint64 at = runMs * (i + 1) / 20;
            if (i < 23 && !p.waitForFinished(int(at)) && p.state() != QProcess::NotRunning) {
                p.kill();
                ++m_kills;
            }
            if (p.state() != QProcess::NotRunning) QVERIFY(p.waitForFinished(60000));
            QFile now(out);
            QVERIFY(now.open(QIODevice::ReadOnly));
            const QByteArray bytes = now.readAll();
            QVERIFY2(bytes == old || bytes == whole, qPrintable(QString("kill %1: %2 bytes").arg(i).arg(bytes.size())));
            if (bytes == whole) ++complete;
            QFile kept(other);
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll(), old);
        }
        // The run that was not killed wrote the whole file.
        QVERIFY(complete > 0);
    }

    // The drawing key holds the running number in 4 digits: after 9999 the
    // count goes on at 0 of the same drawing (cut as the field codec cuts),
    // never into the drawing number; the output file's drawing line shows
    // the numbers of the key.
    void runningNumberStaysInItsDrawing_data() {
        QTest::addColumn<int>("drawing");
        QTest::addColumn<int>("running");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("last running number") << 1 << 9999 << QByteArray("/9999-3-1 ");
        QTest::newRow("running number 10000") << 1 << 10000 << QByteArray("/0-3-1 ");
        QTest::newRow("running number 12345") << 7 << 12345 << QByteArray("/2345-3-7 ");
        QTest::newRow("drawing number of 6 digits") << 123456 << 5 << QByteArray("/5-3-23456 ");
    }
    void runningNumberStaysInItsDrawing() {
        QFETCH(int, drawing);
        QFETCH(int, running);
        QFETCH(QByteArray, line);
        TestDir home, dir;
        const QString catalogue = dir.file("cat");
        CopyDir(Demo, catalogue);
        {
            TTable firdat(catalogue, "FIRDAT.DB");
            firdat.Open();
            firdat.First();
            firdat.Edit();
            firdat.FieldByName("F_NR").SetAsInteger(drawing);
            firdat.FieldByName("F_LFD_NR").SetAsInteger(running);
            firdat.Post();
            firdat.Close();
        }
        Session().DropConnections();
        const QString out = home.file("out.zof");
        const Run r = Select({"--catalogue", catalogue, "--input", Inputs + "/spring_hanger.ini", "--output", out},
                             home.path());
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = f.readAll().split('\n');
        QVERIFY2(lines.value(2).startsWith("--     002 ") && lines.value(2).contains(" : " + line),
                 lines.value(2).constData());
    }

    // Ended by a signal at instants spread over its run, the tool takes its
    // work directory (the catalogue's copy, the project) with it; killed
    // outright, it leaves it to the next run, which removes it, and so is a
    // complete output file left under its temporary name. The user's files
    // named like the output file stay.
    void noTemporariesOutliveARun() {
        TestDir home, out;
        const QString input = Inputs + "/spring_hanger.ini";
        const QString output = out.file("out.zof");
        for (const char* name : {"out.zof.backup", "out.zof.Ab12Cd"}) {
            QFile user(out.file(name));
            QVERIFY(user.open(QIODevice::WriteOnly));
            user.write("the user's");
        }
        const auto work = [&home] { return QDir(home.path()).entryList({"korva-select-*"}, QDir::Dirs | QDir::Hidden); };
        const auto temporaries = [&out] { return QDir(out.path()).entryList({".out.zof.korva-*"}, QDir::Files | QDir::Hidden); };
        QElapsedTimer t;
        t.start();
        QVERIFY(Select({"--catalogue", Demo, "--input", input, "--output", output}, home.path()).exitCode == 0);
        const qint64 runMs = std::max<qint64>(t.elapsed(), 200);
        QCOMPARE(work(), QStringList());
        int abandoned = 0;
        for (const int sig : {SIGTERM, SIGKILL}) {
            for (int i = 1; i <= 8; ++i) {
                QProcess p;
                StartSelect(p, KORVA_SELECT_EXE, {"--catalogue", Demo, "--input", input, "--output", output}, home.path());
                QVERIFY(p.waitForStarted(10000));
                if (!p.waitForFinished(int(runMs * i / 10)) && p.state() != QProcess::NotRunning) {
                    ::kill(pid_t(p.processId()), sig);
                    ++m_kills;
                }
                // A run faster than the first may have ended already.
                if (p.state() != QProcess::NotRunning) QVERIFY(p.waitForFinished(60000));
                if (sig == SIGTERM) {
                    QVERIFY2(work().isEmpty(), qPrintable(work().join(' ')));
                    QCOMPARE(temporaries(), QStringList());
                }
                abandoned += int(work().size());
            }
        }
        // SIGTERM while a temporary output file has its name (from the
        // start, on a file system without nameless files): the handler
        // takes it with it.
        QProcess termed;
        StartSelect(termed, KORVA_SELECT_HOOKED_EXE, {"--catalogue", Demo, "--input", input, "--output", output},
                    home.path(),
                    {{"KORVA_TEST_NAMED_TEMPORARY", "1"}, {"KORVA_TEST_CRASH_HOST_AT", "2"},
                     {"KORVA_TEST_CRASH_HOST_BY_SIGTERM", "1"}});
        QVERIFY(termed.waitForFinished(60000));
        QCOMPARE(termed.exitStatus(), QProcess::CrashExit);
        QCOMPARE(temporaries(), QStringList());
        // A kill between naming the complete output and renaming it.
        QProcess hooked;
        StartSelect(hooked, KORVA_SELECT_HOOKED_EXE, {"--catalogue", Demo, "--input", input, "--output", output},
                    home.path(), {{"KORVA_TEST_CRASH_HOST_AT", "named"}});
        QVERIFY(hooked.waitForFinished(60000));
        QCOMPARE(hooked.exitCode(), 86);
        QCOMPARE(temporaries().size(), 1);
        // Killed while writing, on a file system without nameless files:
        // there the temporary file has its name from the start (the run
        // took the one left before).
        QProcess named;
        StartSelect(named, KORVA_SELECT_HOOKED_EXE, {"--catalogue", Demo, "--input", input, "--output", output},
                    home.path(), {{"KORVA_TEST_NAMED_TEMPORARY", "1"}, {"KORVA_TEST_CRASH_HOST_AT", "2"}});
        QVERIFY(named.waitForFinished(60000));
        QCOMPARE(named.exitCode(), 86);
        QCOMPARE(temporaries().size(), 1);
        qInfo("work directories left by SIGKILL: %d", abandoned);
        QVERIFY(abandoned > 0);
        // A later run: what the killed runs left is older than a run just
        // starting could be.
        for (const QString& d : work()) {
            const QString path = home.file(d);
            struct utimbuf old {};
            old.actime = old.modtime = time(nullptr) - 3600;
            ::utime(QFile::encodeName(path).constData(), &old);
        }
        QVERIFY(Select({"--catalogue", Demo, "--input", input, "--output", output}, home.path()).exitCode == 0);
        QCOMPARE(work(), QStringList());
        QCOMPARE(temporaries(), QStringList());
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"out.zof", "out.zof.Ab12Cd", "out.zof.backup"}));
    }

    // A terminating signal while the run removes its work directory at its
    // end: the rest of the directory goes as well.
    void signalDuringTheRemovalLeavesNothing() {
        TestDir home;
        QProcess p;
        StartSelect(p, KORVA_SELECT_HOOKED_EXE, {"--catalogue", Demo, "--input", Inputs + "/spring_hanger.ini"},
                    home.path(), {{"KORVA_TEST_TERM_IN_REMOVAL", "1"}});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        QCOMPARE(QDir(home.path()).entryList({"korva-select-*"}, QDir::Dirs | QDir::Hidden), QStringList());
    }

    // The catalogue is copied while the tool holds the shared lock of every
    // table file: held at its first copy, another program's commit to a
    // table is refused then, and goes through once the copy is done.
    void catalogueCopiedUnderItsLock() {
        TestDir home, dir;
        const QString catalogue = dir.file("cat");
        CopyDir(Demo, catalogue);
        const QString gate = dir.file("gate");
        QCOMPARE(::mkfifo(QFile::encodeName(gate).constData(), 0600), 0);
        QProcess p;
        StartSelect(p, KORVA_SELECT_HOOKED_EXE, {"--catalogue", catalogue, "--input", Inputs + "/spring_hanger.ini"},
                    home.path(), {{"KORVA_TEST_PAUSE_COPY", gate}});
        const auto stop = qScopeGuard([&] {
            if (p.state() == QProcess::NotRunning) return;
            p.kill();
            p.waitForFinished(10000);
        });
        QByteArray err;
        for (int i = 0; i < 600 && !err.contains("copy paused"); ++i) {
            p.waitForReadyRead(100);
            err += p.readAllStandardError();
        }
        QVERIFY2(err.contains("copy paused"), err.constData());
        // A writer that does not wait: its commit needs every reader gone.
        const auto commit = [&] {
            sqlite3* db = nullptr;
            sqlite3_open(QFile::encodeName(catalogue + "/Txttab.DB").constData(), &db);
            int rc = sqlite3_exec(db, "BEGIN IMMEDIATE; CREATE TABLE korva_probe (x); DROP TABLE korva_probe;", nullptr,
                                  nullptr, nullptr);
            if (rc == SQLITE_OK) rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(db);
            return rc;
        };
        QCOMPARE(commit(), SQLITE_BUSY);
        const int open = ::open(QFile::encodeName(gate).constData(), O_WRONLY);
        QVERIFY(open >= 0);
        ::close(open);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(commit(), SQLITE_OK);
    }

    void cleanupTestCase() { qInfo("inputs refused: %d, kills tried: %d", m_refused, m_kills); }

    // Every demo input ends with a documented result; the tool stores
    // nothing: the catalogue it read is byte for byte as before.
    void everyDemoInputEndsDocumented() {
        TestDir home, dir;
        const QString catalogue = dir.file("cat");
        CopyDir(Demo, catalogue);
        const QByteArray before = DirHash(catalogue);
        const QStringList inputs = DemoInputs();
        QVERIFY(inputs.size() >= 7);
        for (const QString& in : inputs) {
            for (const bool imperial : {false, true}) {
                QStringList args{"--catalogue", catalogue, "--input", Inputs + "/" + in, "--json"};
                if (imperial)
                    args << "--imperial";
                const Run r = Select(args, home.path());
                QVERIFY2(r.exitCode == 0 || r.exitCode == 3, qPrintable(in + ": " + r.err));
                QJsonParseError e;
                const QJsonObject j = QJsonDocument::fromJson(r.out, &e).object();
                QCOMPARE(e.error, QJsonParseError::NoError);
                const int result = j["result"].toInt(-1);
                QVERIFY2(QList<int>({0, 2, 5, 6, 7, 8, 9}).contains(result), qPrintable(in));
                QCOMPARE(r.exitCode == 3, result == 9);
                for (const char* key : {"message_number", "message", "chain", "parts", "load", "travel", "size"})
                    QVERIFY2(j.contains(QLatin1String(key)), key);
                const QJsonArray chain = j["chain"].toArray();
                for (int i = 0; i < chain.size(); ++i) {
                    QCOMPARE(chain[i]["position"].toInt(), i + 1);
                    QCOMPARE(chain[i]["product"].toString().size(), 8);
                }
                const QJsonArray parts = j["parts"].toArray();
                QVERIFY(parts.size() <= 24);
                if (result == 0 || result == 2)
                    QVERIFY2(!parts.isEmpty(), qPrintable(in));
                for (int i = 0; i < parts.size(); ++i) {
                    QCOMPARE(parts[i]["position"].toInt(), i + 1);
                    QVERIFY(parts[i]["quantity"].toInt() > 0);
                    // A dynamic main unit is chosen in its clamp's load
                    // group: the size is that group, whichever digits of
                    // the unit's number carry it.
                    static const QRegularExpression group(QStringLiteral("-LG(\\d\\d)"));
                    const QRegularExpressionMatch m = group.match(parts[i]["designation"].toString());
                    if (m.hasMatch() && result == 0)
                        QVERIFY2(j["size"].toInt() == m.captured(1).toInt(), qPrintable(in));
                }
            }
        }
        QCOMPARE(DirHash(catalogue), before);
    }

    // The questions take the scripted answers in turn and then their default
    // (Yes: stop): a horizontal travel of 400 mm asks about the travel angle.
    void scriptedAnswers_data() {
        QTest::addColumn<QString>("answers");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("number");
        QTest::newRow("default stops at the first") << "" << 6 << 1 << 1625;
        QTest::newRow("one no, the next stops") << "no" << 6 << 2 << 1625;
        QTest::newRow("yes stops at once") << "y" << 6 << 1 << 1625;
        QTest::newRow("every question no") << "n,n,n,n,n,n,n,n" << 0 << 6 << 0;
    }
    void scriptedAnswers() {
        QFETCH(QString, answers);
        TestDir home, dir;
        const QString input = dir.file("wide.ini");
        QVERIFY(WriteChangedInput("spring_hanger.ini", "Horizontal=0", "Horizontal=400", input));
        QStringList args{"--catalogue", Demo, "--input", input, "--json"};
        if (!answers.isEmpty())
            args << "--answers" << answers;
        const Run r = Select(args, home.path());
        QCOMPARE(r.exitCode, 0);
        const QJsonObject j = QJsonDocument::fromJson(r.out).object();
        QTEST(j["result"].toInt(), "result");
        QTEST(j["message_number"].toInt(), "number");
        QTEST(int(r.err.count("question: ")), "questions");
        if (j["result"].toInt() == 6)
            QCOMPARE(j["message"].toString(), QStringLiteral("Selection stopped because of the rod angle."));
        else
            QVERIFY(!j["parts"].toArray().isEmpty());
    }

    // Text and JSON carry the same selection.
    void textAndJsonAgree() {
        TestDir home;
        const QStringList args{"--catalogue", Demo, "--input", Inputs + "/spring_hanger.ini"};
        const Run text = Select(args, home.path());
        const Run json = Select(args + QStringList{"--json"}, home.path());
        QCOMPARE(text.exitCode, json.exitCode);
        const QJsonObject j = QJsonDocument::fromJson(json.out).object();
        QVERIFY(text.out.startsWith(QStringLiteral("result: %1\n").arg(j["result"].toInt()).toUtf8()));
        for (const QJsonValue p : j["parts"].toArray())
            QVERIFY(text.out.contains(p["designation"].toString().toUtf8()));
    }

    // The base clamp's chain of 210 mm (109.55 + a shoe of 100, rounded)
    // on steel 200 mm below the pipe is 10 mm too high: the text names the
    // warning with the chain's height, the support is refused and no output
    // file is written. Steel 500 mm below leaves a rod of 290 mm: a warning
    // on a support that is written.
    void chainWarningsInTheText_data() {
        QTest::addColumn<QByteArray>("steel");
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<bool>("written");
        QTest::newRow("chain higher") << QByteArray("800")
                                      << QByteArray("result: 5\nmessage: 2836 The chain, 210 mm high, stands higher "
                                                    "than its segment.\n")
                                      << false;
        QTest::newRow("rod left over") << QByteArray("500")
                                       << QByteArray("result: 2\nwarning: 2838 A rod length of 290 mm is left.\n")
                                       << true;
    }
    void chainWarningsInTheText() {
        QFETCH(QByteArray, steel);
        QFETCH(QByteArray, head);
        QFETCH(bool, written);
        TestDir home, dir;
        const QString input = dir.file("steel.ini");
        QVERIFY(WriteChangedInput("base_clamp.ini", "EL_Steel_L=800", "EL_Steel_L=" + steel, input));
        const QString out = home.file(QStringLiteral("x.zof"));
        const Run r = Select({"--catalogue", Demo, "--input", input, "--output", out}, home.path());
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.startsWith(head), r.out.constData());
        QCOMPARE(QFileInfo::exists(out), written);
    }

    // --output writes the host file of an accepted support: the data block
    // with every part of the list, CR LF only, and nothing for a file that
    // cannot be written.
    void outputFileOfTheSelection() {
        TestDir home;
        const QString out = home.file(QStringLiteral("sh.zof"));
        const QStringList args{"--catalogue", Demo, "--input", Inputs + "/spring_hanger.ini", "--json"};
        const Run r = Select(args + QStringList{"--output", out}, home.path());
        QCOMPARE(r.exitCode, 0);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("--     000 Begin KORVA-Data\r\n"));
        QVERIFY(bytes.contains("--     999 End KORVA-Data\r\n"));
        QCOMPARE(bytes.count("\n"), bytes.count("\r\n"));
        const QJsonObject j = QJsonDocument::fromJson(r.out).object();
        QVERIFY(!j["parts"].toArray().isEmpty());
        for (const QJsonValue p : j["parts"].toArray())
            QVERIFY2(bytes.contains(p["article"].toString().toLatin1()), qPrintable(p["article"].toString()));
        const Run bad = Select(args + QStringList{"--output", home.file(QStringLiteral("no/such/dir/x.zof"))}, home.path());
        QCOMPARE(bad.exitCode, 2);
        QVERIFY(bad.err.contains("x.zof"));
    }

    // An output name with a tab and an escape: the file is written under
    // that name, and its line 001 names it without them (the host cannot
    // parse a control character); nowhere else in the file is one.
    void outputNameWithControlCharacters() {
        TestDir home;
        const QString out = home.file(QStringLiteral("s\th\x1b.zof"));
        const Run r = Select({"--catalogue", Demo, "--input", Inputs + "/spring_hanger.ini", "--output", out},
                             home.path());
        QCOMPARE(r.exitCode, 0);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(QString::fromLatin1(lines.value(1)), "--     001 File : /" + home.file(QStringLiteral("sh.zof")) + "\r");
        QByteArray rest = bytes;
        rest.replace("\r\n", "");
        for (const char c : rest) QVERIFY2(uchar(c) >= 0x20 && uchar(c) != 0x7f, qPrintable(QString::number(uchar(c))));
    }

    // The file is written from the record as the store leaves it: a static
    // support's data block has the hot and cold load lines, a dynamic
    // support's the load cases and piston lines.
    void outputDataBlockOfTheStressCondition_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("notDynamic");
        QTest::newRow("static spring hanger") << "spring_hanger.ini" << true;
        QTest::newRow("cold support") << "cold_support.ini" << true;
        QTest::newRow("dynamic rigid strut") << "rigid_strut.ini" << false;
    }
    void outputDataBlockOfTheStressCondition() {
        QFETCH(QString, input);
        QFETCH(bool, notDynamic);
        TestDir home;
        const QString out = home.file(QStringLiteral("x.zof"));
        const Run r = Select({"--catalogue", Demo, "--input", Inputs + "/" + input, "--output", out}, home.path());
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QCOMPARE(bytes.contains("\r\n--     105 Cold load [kN]= "), notDynamic);
        QCOMPARE(bytes.contains("\r\n--     301 Alpha = "), notDynamic);
        QCOMPARE(bytes.contains("\r\n--:USTMOVEMENT   [horz]  [late]  [vert]\r\n"), notDynamic);
        QCOMPARE(bytes.contains("\r\n--     205 Load (H/Normal) [kN]= "), !notDynamic);
        QCOMPARE(bytes.contains("\r\n--     224 Piston position [mm]= "), !notDynamic);
    }

    // A tool without its print dictionary beside it writes the labels as
    // they stand, as the program does; a language the caller chose is not
    // silently replaced: the run is refused and no file is written.
    void printDictionaryMissing_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("settings language") << "" << 0;
        QTest::newRow("German chosen") << "de" << 2;
    }
    void printDictionaryMissing() {
        QFETCH(QString, option);
        QFETCH(int, exitCode);
        TestDir home, bin;
        const QString exe = bin.file(QStringLiteral("korva-select"));
        QVERIFY(QFile::copy(QStringLiteral(KORVA_SELECT_EXE), exe));
        QVERIFY(QFile::setPermissions(exe, QFile::ReadOwner | QFile::ExeOwner));
        const QString out = home.file(QStringLiteral("x.zof"));
        QStringList args{"--catalogue", Demo, "--input", Inputs + "/rigid_strut.ini", "--output", out};
        if (!option.isEmpty())
            args << "--print-language" << option;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("TMPDIR"), home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(exe, args);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), exitCode);
        if (exitCode == 0) {
            QFile f(out);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY(f.readAll().startsWith("--     000 Begin KORVA-Data\r\n"));
        } else {
            QVERIFY(p.readAllStandardError().contains("print dictionary"));
            QVERIFY(!QFile::exists(out));
        }
    }

    // The golden outputs: each demo input, metric and imperial, with the
    // labels in the settings table's print language (English in the demo
    // catalogue) and in German. The selection does not depend on the print
    // language: both runs give the same JSON.
    void golden_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<QString>("language");
        for (const QString& in : DemoInputs())
            for (const bool imperial : {false, true})
                for (const char* language : {"", "de"})
                    QTest::newRow(qPrintable(QStringLiteral("%1 %2 %3")
                                                 .arg(in, imperial ? "imperial" : "metric",
                                                      *language ? language : "settings")))
                        << in << imperial << QString::fromLatin1(language);
    }
    void golden() {
        QFETCH(QString, input);
        QFETCH(bool, imperial);
        QFETCH(QString, language);
        const QString stem = Golden + "/" + QFileInfo(input).completeBaseName() + (imperial ? "-imperial" : "-metric");
        const QString path = stem + ".json";
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));
        TestDir home;
        const QString outFile = home.file(QStringLiteral("out.zof"));
        QStringList args{"--catalogue", Demo, "--input", Inputs + "/" + input, "--json", "--output", outFile};
        if (imperial)
            args << "--imperial";
        if (!language.isEmpty())
            args << "--print-language" << language;
        // A demo input names the configuration it stands for; where the
        // host's number offers more than one, the engineer's choice is given.
        if (const int c = StatedConfiguration(Inputs + "/" + input))
            args << "--configuration" << QString::number(c);
        const Run r = Select(args, home.path());
        QCOMPARE(r.exitCode, 0);
        const QString zof = stem + (language.isEmpty() ? "" : "-" + language) + ".zof";
        // A refused support gets no output file, and has no golden one.
        if (QJsonDocument::fromJson(r.out).object()[QStringLiteral("result")].toInt() > 4) {
            QVERIFY(!QFileInfo::exists(outFile));
            QVERIFY(!QFileInfo::exists(zof));
        } else {
            CompareOutputFile(outFile, home.path(), zof);
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray expected = f.readAll();
        if (r.out != expected) {
            const QList<QByteArray> a = r.out.split('\n'), b = expected.split('\n');
            for (int i = 0; i < std::max(a.size(), b.size()); ++i)
                if (a.value(i) != b.value(i))
                    QFAIL(qPrintable(QStringLiteral("%1 line %2: got \"%3\", expected \"%4\"")
                                         .arg(QFileInfo(path).fileName())
                                         .arg(i + 1)
                                         .arg(QString::fromUtf8(a.value(i)), QString::fromUtf8(b.value(i)))));
        }
    }

    // Without --print-language the labels take the settings table's print
    // language, as the program's start-up does; the option overrides it.
    void printLanguageOfTheSettingsTable_data() {
        QTest::addColumn<int>("settings");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("golden");
        // What standard error says of a stored language not taken (the
        // French labels would read as the native English ones, so only
        // this tells French from English).
        QTest::addColumn<QString>("note");
        QTest::newRow("German in the settings") << 1 << "" << "-de" << "";
        QTest::newRow("German in the settings, English chosen") << 1 << "en" << "" << "";
        QTest::newRow("English in the settings, German chosen") << 2 << "de" << "-de" << "";
        QTest::newRow("unknown language falls back to English")
            << 7 << "" << "" << "the settings' print language 7 is not offered";
        QTest::newRow("French, not offered, falls back to English")
            << 3 << "" << "" << "the settings' print language 3 (French) is not offered";
    }
    void printLanguageOfTheSettingsTable() {
        QFETCH(int, settings);
        QFETCH(QString, option);
        QFETCH(QString, golden);
        QFETCH(QString, note);
        TestDir home, dir;
        const QString catalogue = dir.file("cat");
        CopyDir(Demo, catalogue);
        {
            TTable firdat(catalogue, QStringLiteral("FIRDAT.DB"));
            firdat.Open();
            firdat.First();
            firdat.Edit();
            firdat.FieldByName(QStringLiteral("F_DRCK_KZ")).SetAsInteger(settings);
            firdat.Post();
            firdat.Close();
        }
        const QString outFile = home.file(QStringLiteral("out.zof"));
        QStringList args{"--catalogue", catalogue, "--input", Inputs + "/rigid_strut.ini", "--output", outFile};
        if (!option.isEmpty())
            args << "--print-language" << option;
        const Run r = Select(args, home.path());
        QVERIFY2(r.exitCode == 0, r.err.constData());
        CompareOutputFile(outFile, home.path(), Golden + "/rigid_strut-metric" + golden + ".zof");
        const QString err = QString::fromLocal8Bit(r.err);
        if (note.isEmpty())
            QVERIFY2(!err.contains(QStringLiteral("is not offered")), r.err.constData());
        else
            QVERIFY2(err.contains(note + QStringLiteral(" by ")) && err.contains(QStringLiteral("; English is used.")),
                     r.err.constData());
    }
};

QTEST_GUILESS_MAIN(tst_korvaselect)
#include "tst_korvaselect.moc"
