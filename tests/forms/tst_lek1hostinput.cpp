// The main input form, offscreen, on a copy of the demo catalogue, against
// host text the program must not store: a control character or a mark
// longer than its field in the host input file stops the form's start (its
// message names the key; no project table is made, nothing stored), and
// control characters pasted into the form's text fields never reach the
// support record.
#include "data/DBGLOB.h"
#include "data/DBKON.h"
#include "data/FIRAUFKON.h"
#include "data/FileUtils.h"
#include "forms/LEK1.h"
#include "forms/LEK1Services.h"
#include "forms/rules/HostTransfer.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "host/Read_MDS_ZIF.h"
#include "messages/MessageSeam.h"
#include "platform/Session.h"
#include "support/TestSupport.h"
#include "ui/MultiLang.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QSettings>
#include <QtTest>
#include <memory>

namespace {

const char* const CleanInput =
    "[DWG]\r\nHangerMark=T-1\r\nDwgNo=77\r\n[LOAD]\r\nNormal=10\r\n[PIPE]\r\nSIZE=114.3\r\nTemp=200\r\n"
    "Pipe_Z=1000\r\n[MDSHangerConfig]\r\nConfig=1\r\n[STATICMOVEMENTS]\r\nVertical=20\r\n[SteelConnection]\r\n"
    "EL_Steel_L=3500\r\nEL_Steel_R=3500\r\n";

}  // namespace

class TestLek1HostInput : public QObject {
    Q_OBJECT
    TestDir base;
    std::unique_ptr<TestDir> work;
    std::unique_ptr<TDBKONST> konst;
    std::unique_ptr<TDBGLOBAL> global;
    std::unique_ptr<TFLEK1> form;
    std::unique_ptr<ScriptedMessageSeam> seam;
    std::unique_ptr<DictionaryScope> dictionaries;

    // Starts the form on an input file of these bytes (UTF-8 with its mark,
    // so that any character can stand in it).
    void Start(const QByteArray& input) {
        QFile f(work->file(QStringLiteral("input.ini")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\xef\xbb\xbf" + input);
        f.close();
        ResetHostGlobals();
        CalcGlobals.Reset();
        ConstructionRecord.Reset();
        InputFileName = f.fileName();
        OutputFileName = work->file(QStringLiteral("out.zof"));
        CmdProjectDir = work->file(QStringLiteral("project"));
        konst = std::make_unique<TDBKONST>();
        global = std::make_unique<TDBGLOBAL>();
        form = std::make_unique<TFLEK1>();
    }

private slots:
    void initTestCase() {
        const QString catalogue = base.file(QStringLiteral("catalogue"));
        QDir().mkpath(catalogue);
        const QDir demo(QStringLiteral(KORVA_BINARY_DIR "/demo/catalogue"));
        for (const QString& f : demo.entryList(QDir::Files))
            QVERIFY(QFile::copy(demo.filePath(f), QDir(catalogue).filePath(f)));
        QFile aliases(base.file(QStringLiteral("aliases.ini")));
        QVERIFY(aliases.open(QIODevice::WriteOnly));
        aliases.write(QStringLiteral("[KORVA_9_0]\nPATH=%1\n").arg(catalogue).toUtf8());
        aliases.close();
        qputenv("KORVA_ALIAS_FILE", aliases.fileName().toLocal8Bit());
        Session().ReloadAliases();
        dictionaries = std::make_unique<DictionaryScope>();
        for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            for (auto scope : {QSettings::UserScope, QSettings::SystemScope})
                QSettings::setPath(format, scope, base.file(QStringLiteral("registry")));
    }
    void cleanupTestCase() { dictionaries.reset(); }

    void init() {
        work = std::make_unique<TestDir>();
        QDir::setCurrent(work->path());
        seam = std::make_unique<ScriptedMessageSeam>();
        LEK1Services() = {};
    }
    void cleanup() {
        form.reset();
        global.reset();
        konst.reset();
        seam.reset();
        LEK1Services() = {};
        QDir::setCurrent(QDir::tempPath());
    }

    // Host text the record cannot hold: the form does not start, the
    // message names the key, no project table is made.
    void hostTextRefusedAtStart_data() {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("expected");
        QTest::newRow("tab in the mark") << QByteArray("HangerMark=T-1") << QByteArray("HangerMark=T\t1")
                                         << "[DWG] HangerMark holds the control character U+0009";
        QTest::newRow("escape in the mark") << QByteArray("HangerMark=T-1") << QByteArray("HangerMark=T\x1b[1mX")
                                            << "U+001B";
        QTest::newRow("C1 in the drawing number") << QByteArray("DwgNo=77") << QByteArray("DwgNo=7\xc2\x9b" "7")
                                                  << "[DWG] DwgNo holds the control character U+009B";
        QTest::newRow("DEL in the drawing number") << QByteArray("DwgNo=77") << QByteArray("DwgNo=7\x7f" "7") << "U+007F";
        QTest::newRow("33-character mark") << QByteArray("HangerMark=T-1") << QByteArray("HangerMark=") + QByteArray(33, 'T')
                                           << "has 33 characters";
    }
    void hostTextRefusedAtStart() {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, expected);
        QByteArray input(CleanInput);
        QVERIFY(input.contains(from));
        try {
            Start(input.replace(from, to));
            QFAIL("the form started");
        } catch (const EGeneralError& e) {
            QVERIFY2(e.Message().contains(expected), qPrintable(e.Message()));
        }
        QVERIFY(!QFileInfo::exists(work->file(QStringLiteral("project/konstr8.db"))));
    }

    // Text pasted into the form's own text fields keeps its printable
    // characters; the control characters never reach the record, from which
    // the tables and the output file are written.
    void pastedControlCharactersNeverReachTheRecord_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("field");
        QTest::newRow("drawing number") << "ZNR" << "K_KDN_ZNR";
        QTest::newRow("plant number") << "ANL_NR" << "K_NR_ANL";
        QTest::newRow("calculation point") << "CALC" << "K_CALC_NR";
    }
    void pastedControlCharactersNeverReachTheRecord() {
        QFETCH(QString, edit);
        QFETCH(QString, field);
        Start(CleanInput);
        auto* e = form->findChild<QLineEdit*>(edit);
        QVERIFY(e);
        e->setFocus();
        e->selectAll();
        // Four printable characters: every field holds them whole.
        QApplication::clipboard()->setText(QString::fromUtf8("A\tB\x1b" "C\x7f" "D\x0c") + QChar(0x85));
        e->paste();
        emit e->editingFinished();
        QApplication::processEvents();
        QCOMPARE(RecordText(field), QStringLiteral("ABCD"));
    }
};

QTEST_MAIN(TestLek1HostInput)
#include "tst_lek1hostinput.moc"
