// The INI reader's rules over texts in memory and over files.
#include "host/IniReader.h"
#include "platform/HostFiles.h"
#include "support/TestSupport.h"

#include <QtTest>

class TestIniReader : public QObject {
    Q_OBJECT

private slots:
    void lookup_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QString deflt = "<default>";
        QTest::newRow("plain") << "[LOAD]\nNormal=12.5\n" << "LOAD" << "Normal" << "12.5";
        QTest::newRow("section case") << "[load]\nNormal=1\n" << "LOAD" << "Normal" << "1";
        QTest::newRow("key case") << "[LOAD]\nNORMAL=2\n" << "Load" << "normal" << "2";
        QTest::newRow("blanks trimmed") << "  [ LOAD ]  \n  Normal  =  7 ,5  \n" << "LOAD" << "Normal" << "7 ,5";
        QTest::newRow("tabs trimmed") << "[LOAD]\n\tNormal\t=\t3\t\n" << "LOAD" << "Normal" << "3";
        QTest::newRow("key with blank") << "[MDSHangerConfig]\nProfile Left = hea 200\n" << "MDSHangerConfig"
                                        << "Profile Left" << "hea 200";
        QTest::newRow("double quotes") << "[DWG]\nHangerMark=\" H 1 \"\n" << "DWG" << "HangerMark" << " H 1 ";
        QTest::newRow("single quotes") << "[DWG]\nHangerMark='H1'\n" << "DWG" << "HangerMark" << "H1";
        QTest::newRow("one pair only") << "[DWG]\nHangerMark=\"\"H1\"\"\n" << "DWG" << "HangerMark" << "\"H1\"";
        QTest::newRow("unmatched quote kept") << "[DWG]\nHangerMark=\"H1\n" << "DWG" << "HangerMark" << "\"H1";
        QTest::newRow("mixed quotes kept") << "[DWG]\nHangerMark=\"H1'\n" << "DWG" << "HangerMark" << "\"H1'";
        QTest::newRow("lone quote kept") << "[DWG]\nHangerMark=\"\n" << "DWG" << "HangerMark" << "\"";
        QTest::newRow("first key wins") << "[LOAD]\nNormal=1\nNormal=2\n" << "LOAD" << "Normal" << "1";
        QTest::newRow("first section wins") << "[LOAD]\nNormal=1\n[LOAD]\nNormal=2\n" << "LOAD" << "Normal" << "1";
        QTest::newRow("key in repeated section") << "[LOAD]\nHydro=1\n[LOAD]\nNormal=2\n" << "LOAD" << "Normal" << "2";
        QTest::newRow("comment line") << "[LOAD]\n;Normal=1\nNormal=2\n" << "LOAD" << "Normal" << "2";
        QTest::newRow("commented key only") << "[LOAD]\n; Normal=1\n" << "LOAD" << "Normal" << deflt;
        QTest::newRow("semicolon in value kept") << "[DWG]\nDwgNo=A;B\n" << "DWG" << "DwgNo" << "A;B";
        QTest::newRow("equals in value") << "[DWG]\nDwgNo=A=B\n" << "DWG" << "DwgNo" << "A=B";
        QTest::newRow("empty value is no default") << "[LOAD]\nNormal=\n" << "LOAD" << "Normal" << "";
        QTest::newRow("other section") << "[PIPE]\nNormal=5\n" << "LOAD" << "Normal" << deflt;
        QTest::newRow("key before any section") << "Normal=5\n[LOAD]\n" << "LOAD" << "Normal" << deflt;
        QTest::newRow("line without equals") << "[LOAD]\nNormal\n" << "LOAD" << "Normal" << deflt;
        QTest::newRow("CR LF lines") << "[LOAD]\r\nNormal=4\r\nHydro=5\r\n" << "LOAD" << "Hydro" << "5";
        QTest::newRow("prefix of a key") << "[LOAD]\nNormalX=4\n" << "LOAD" << "Normal" << deflt;
        QTest::newRow("long value not cut") << "[DWG]\nDwgNo=" + QString(3000, 'x') + "\n" << "DWG" << "DwgNo"
                                            << QString(3000, 'x');
    }
    void lookup() {
        QFETCH(QString, text);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        TIniReader ini({});
        ini.Parse(text);
        QCOMPARE(ini.ReadString(section, key, "<default>"), expected);
    }

    void missingFileGivesDefaults() {
        TestDir dir;
        TIniReader ini(dir.file("nothing.zif"));
        QVERIFY(!ini.FileFound());
        QCOMPARE(ini.ReadString("LOAD", "Normal", "0"), QString("0"));
    }

    // Host files are Windows-1252.
    void fileIsReadAsWindows1252() {
        TestDir dir;
        const QString name = dir.file("in.zif");
        QVERIFY(WriteHostTextFile(name, {"[DWG]", "HangerMark=Stütze 1", "DwgNo=\"Ø 200\""}));
        TIniReader ini(name);
        QVERIFY(ini.FileFound());
        QCOMPARE(ini.ReadString("dwg", "hangermark", {}), QString("Stütze 1"));
        QCOMPARE(ini.ReadString("DWG", "DwgNo", {}), QString("Ø 200"));
    }
};

QTEST_GUILESS_MAIN(TestIniReader)
#include "tst_IniReader.moc"
