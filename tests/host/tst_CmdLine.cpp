// The command-line parser and the mode choice, in process.
#include "host/GET_CHECK_CMDLINE.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "host/KORVA_MDS.h"
#include "data/CatalogueSchema.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "messages/MessageSeam.h"
#include "support/TestSupport.h"

#include <QSettings>
#include <QtTest>

class TestCmdLine : public QObject {
    Q_OBJECT

    void Parse(const QStringList& params) {
        ResetHostGlobals();
        ParseCommandLine(params);
    }

private slots:
    void init() {
        qunsetenv("KORVA_INPUTFILE");
        qunsetenv("KORVA_OUTPUTFILE");
    }
    void values_data() {
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("project");
        QTest::addColumn<QString>("posNo");
        QTest::newRow("all four") << QStringList{"/IF:a.zif", "/OF:b.zof", "/PD:/p", "/DEL:H-1"} << "a.zif"
                                  << "b.zof" << "/p" << "H-1";
        QTest::newRow("value verbatim") << QStringList{"/DEL: \"H 1\" ", "/PD:/My Dir/"} << "" << "" << "/My Dir/"
                                        << " \"H 1\" ";
        QTest::newRow("value case kept") << QStringList{"/DEL:h-1A"} << "" << "" << "" << "h-1A";
        QTest::newRow("longer prefix is unknown") << QStringList{"/DELETE:1", "/IFX:2", "/PDX", "IF:3"} << "" << ""
                                                  << "" << "";
        QTest::newRow("prefix inside the value") << QStringList{"/IF:/OF:x"} << "/OF:x" << "" << "" << "";
    }
    void values() {
        QFETCH(QStringList, params);
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(QString, project);
        QFETCH(QString, posNo);
        Parse(params);
        QCOMPARE(InputFileName, input);
        QCOMPARE(OutputFileName, output);
        QCOMPARE(CmdProjectDir, project);
        QCOMPARE(DeletePosNo, posNo);
        QCOMPARE(CurrentParam, params.isEmpty() ? QString() : params.last());
    }

    void mode_data() {
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<int>("mode");
        QTest::newRow("delete") << QStringList{"/DEL:x"} << int(StartMode::Delete);
        QTest::newRow("delete emptied again") << QStringList{"/DEL:x", "/DEL:"} << int(StartMode::Normal);
        QTest::newRow("configure in any case") << QStringList{"/Configure_Conf"} << int(StartMode::Configure);
        QTest::newRow("configure over delete") << QStringList{"/DEL:x", "/CONFIGURE_CONF"} << int(StartMode::Configure);
        QTest::newRow("configure needs the whole word") << QStringList{"/CONFIGURE_CONFIG"} << int(StartMode::Normal);
    }
    void mode() {
        QFETCH(QStringList, params);
        QFETCH(int, mode);
        Parse(params);
        QCOMPARE(int(ChooseStartMode()), mode);
    }

    void directoryPart_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("dir");
        QTest::newRow("absolute") << "/srv/out/o.zof" << "/srv/out/";
        QTest::newRow("root") << "/o.zof" << "/";
        QTest::newRow("relative") << "out/o.zof" << "out/";
        QTest::newRow("bare name") << "o.zof" << "";
        QTest::newRow("backslashes are no separator") << "C:\\out\\o.zof" << "";
        QTest::newRow("trailing slash") << "/srv/out/" << "/srv/out/";
    }
    void directoryPart() {
        QFETCH(QString, name);
        QFETCH(QString, dir);
        QCOMPARE(DirectoryPart(name), dir);
    }

    // The message goes to the plain system box, once, for the first failed
    // check only.
    void firstFailedCheckShowsOneMessage() {
        TestDir dir;
        ScriptedMessageSeam seam;
        Parse({"/DEL:H-1", "/OF:" + dir.path()});
        QCOMPARE(CheckDeleteArgs(), 2);
        QCOMPARE(seam.Texts(), QStringList{"ERROR: Project directory \"\" does not exist !"});
        QVERIFY(seam.Requests().front().plainSystemBox);
        seam.Clear();
        Parse({"/DEL:H-1", "/PD:" + dir.path(), "/OF:" + dir.file("r.txt")});
        QCOMPARE(CheckDeleteArgs(), 0);
        QVERIFY(seam.Texts().isEmpty());
    }


    // Argument and environment bytes: UTF-8 when valid, else code page 1252.
    void hostText_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ASCII") << QByteArray("/DEL:H-1") << "/DEL:H-1";
        QTest::newRow("valid UTF-8") << QByteArray("H-\xc3\xa4") << QString::fromUtf8("H-\xc3\xa4");
        QTest::newRow("1252 umlaut") << QByteArray("H-\xe4") << QString::fromUtf8("H-\xc3\xa4");
        QTest::newRow("1252 euro sign") << QByteArray("H-\x80") << QString::fromUtf8("H-\xe2\x82\xac");
        QTest::newRow("UTF-8 cut short") << QByteArray("H-\xc3") << QString::fromUtf8("H-\xc3\x83");
        QTest::newRow("byte without character") << QByteArray("H-\x81") << QString("H-") + QChar::ReplacementCharacter;
    }
    void hostText() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(HostText(bytes), text);
        const char* argv[] = {"korva", "/PD:x", bytes.constData()};
        QCOMPARE(HostArguments(3, argv), QStringList({"/PD:x", text}));
        qputenv("KORVA_OUTPUTFILE", bytes);
        QCOMPARE(GetEnvironVarValue("KORVA_OUTPUTFILE"), text);
    }

    // A data module that cannot start ends the start with its message in the
    // plain system box (a real box where a display exists, standard error
    // always), not only on standard error.
    void dataModuleStartErrorShowsItsMessage() {
        TestDir catalogue;
        {
            TTable txt(catalogue.path(), QStringLiteral("Txttab.DB"));
            txt.CreateTable(CatalogueTable(QStringLiteral("Txttab.DB")).fieldDefs());
        }
        TestDir aliases;
        {
            QSettings ini(aliases.file("aliases.ini"), QSettings::IniFormat);
            ini.setValue(QStringLiteral("KORVA_9_0/PATH"), catalogue.path());
        }
        qputenv("KORVA_ALIAS_FILE", aliases.file("aliases.ini").toLocal8Bit());
        Session().ReloadAliases();
        ScriptedMessageSeam seam;
        bool mainFormRan = false;
        MainForms forms;
        forms.configure = [&mainFormRan] {
            mainFormRan = true;
            return 0;
        };
        QCOMPARE(RunKorvaMds({QStringLiteral("/CONFIGURE_CONF")}, forms), exitcode::StartFailed);
        QVERIFY(!mainFormRan);
        QCOMPARE(int(seam.Requests().size()), 1);
        QVERIFY(seam.Requests().front().plainSystemBox);
        QCOMPARE(seam.Texts().front(), QStringLiteral("BDE configuration error #2 ( Alias: KORVA_9_0 ?)\r"
                                                      "File firdat.db does not exist in directory \"")
                                           + catalogue.path() + QStringLiteral("/\" !"));
        Session().Close();
    }
};

QTEST_GUILESS_MAIN(TestCmdLine)
#include "tst_CmdLine.moc"
