// Reading the host input file into the host globals.
#include "host/GlobalVars4KORVA_MDS.h"
#include "host/ProjectFixture.h"
#include "localisation/IvLanguD.h"
#include "host/Read_MDS_ZIF.h"
#include "data/FileUtils.h"
#include "platform/HostFiles.h"
#include "platform/Query.h"
#include "platform/Session.h"
#include "platform/TableFile.h"
#include "support/TestSupport.h"

#include <QLocale>
#include <charconv>
#include <limits>
#include <QtTest>

class TestReadMdsZif : public QObject {
    Q_OBJECT

    TestDir m_catalogue;
    int m_refused = 0;

    // Writes a host input file from section/key lines and reads it.
    void Read(const QStringList& lines) {
        TestDir dir;
        const QString name = dir.file("support.zif");
        QVERIFY(WriteHostTextFile(name, lines));
        ResetHostGlobals();
        InputFileName = name;
        ReadMdsInputFile();
    }

    void AddConfiguration(int number, const QString& mdsNo) {
        fixture::Exec(m_catalogue.path(), "insert into ABHGNR (A_NR, A_NAME, A_MDS_NO) values (?, ?, ?)",
                      {number, "HSRS", mdsNo});
    }

private slots:
    void initTestCase() {
        CreateTableFile(TablePath(m_catalogue.path(), "ABHGNR.DB"),
                        {{"A_NR", TFieldType::SmallInt}, {"A_NAME", TFieldType::String, 8},
                         {"A_MDS_NO", TFieldType::String, 10}});
        AddConfiguration(107, "7");
        AddConfiguration(121, "21v");
        AddConfiguration(106, "6h");
        AddConfiguration(103, "3");
        AddConfiguration(199, "0");
        AddConfiguration(198, "ABC");
        // An alias file of its own, without aliases: one named in the
        // environment of a run by hand offers the catalogue alias already.
        qputenv("KORVA_ALIAS_FILE", QFile::encodeName(m_catalogue.file("no-aliases.ini")));
        Session().ReloadAliases();
        Session().AddStandardAlias(CatalogueAlias, m_catalogue.path());
    }

    void loads_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("point") << "12.5" << 12.5;
        QTest::newRow("comma") << "12,5" << 12.5;
        QTest::newRow("negative comma") << "-3,25" << -3.25;
        QTest::newRow("whole") << "40" << 40.0;
        QTest::newRow("exponent") << "1.5e3" << 1500.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("letters") << "12.5kN" << 0.0;
        QTest::newRow("thousands and decimals") << "1.234,5" << 0.0;
        QTest::newRow("two separators") << "1,2,3" << 0.0;
        QTest::newRow("below the float64 range") << "1e-400" << 0.0;
        QTest::newRow("largest") << "-1000000" << -1000000.0;
    }
    void loads() {
        QFETCH(QString, text);
        QFETCH(double, expected);
        for (const QLocale& locale : {QLocale(QLocale::C), QLocale(QLocale::German), QLocale(QLocale::English)}) {
            QLocale::setDefault(locale);
            Read({"[LOAD]", "Normal=" + text, "Hydro=" + text, "[STATICMOVEMENTS]", "Vertical=" + text});
            QCOMPARE(MdsLoadNormal, expected);
            QCOMPARE(MdsLoadHydro, expected);
            QCOMPARE(MdsStaticVertical, expected);
        }
        QLocale::setDefault(QLocale(QLocale::C));
    }

    void temperature_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("whole") << "350" << 350;
        QTest::newRow("negative whole") << "-40" << -40;
        QTest::newRow("half down to even") << "350.5" << 350;
        QTest::newRow("half up to even") << "351.5" << 352;
        QTest::newRow("comma decimals") << "350,7" << 351;
        QTest::newRow("negative half") << "-20.5" << -20;
        QTest::newRow("hexadecimal") << "$1F" << 31;
        QTest::newRow("hexadecimal with 0x") << "0x1F" << 31;
        QTest::newRow("negative hexadecimal") << "-$10" << -16;
        QTest::newRow("sign after the $") << "$-1F" << 0;
        QTest::newRow("sign after 0x") << "0x+1F" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("letters") << "hot" << 0;
        QTest::newRow("largest") << "1000000" << 1000000;
        QTest::newRow("lowest") << "-1000000" << -1000000;
        // Hexadecimal at the ends of the range: 0xF4240 is 1,000,000.
        QTest::newRow("largest hexadecimal") << "$F4240" << 1000000;
        QTest::newRow("lowest hexadecimal") << "-0xF4240" << -1000000;
        QTest::newRow("hexadecimal, lower-case digits") << "0xff" << 255;
        QTest::newRow("hexadecimal 9 and F") << "$9F" << 159;
        QTest::newRow("a letter past F is no hexadecimal digit") << "$1G" << 0;
        QTest::newRow("decimals rounded to the largest") << "1000000.5" << 1000000;
    }
    void temperature() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        Read({"[PIPE]", "Temp=" + text});
        QCOMPARE(MdsTemp, expected);
    }

    void elevations_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("half to even below") << "1002.5" << "1002";
        QTest::newRow("half to even above") << "1003.5" << "1004";
        QTest::newRow("comma") << "1002,5" << "1002";
        QTest::newRow("near half") << "1002.51" << "1003";
        QTest::newRow("negative half") << "-2.5" << "-2";
        QTest::newRow("unreadable") << "high" << "0";
        QTest::newRow("largest") << "1e9" << "1000000000";
    }
    void elevations() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        Read({"[SteelConnection]", "EL_Steel_L=" + text, "EL_Steel_R=" + text, "[PIPE]", "Pipe_Z=" + text});
        QCOMPARE(MdsSteelElevLeft, expected);
        QCOMPARE(MdsSteelElevRight, expected);
        QCOMPARE(MdsPipeElev, expected);
        QCOMPARE(MdsRodLength, QString("0"));
    }

    // The steel width is a size: rounded as the elevations, never negative.
    void steelWidth_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("half to even below") << "300.5" << "300";
        QTest::newRow("half to even above") << "301,5" << "302";
        QTest::newRow("largest") << "1000000" << "1000000";
        QTest::newRow("unreadable") << "wide" << "0";
    }
    void steelWidth() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        Read({"[SteelConnection]", "Width=" + text});
        QCOMPARE(MdsSteelWidth, expected);
    }

    // The largest elevations apart still give a rod length.
    void rodLengthOfTheLargestElevations() {
        Read({"[SteelConnection]", "EL_Steel_L=1e9", "[PIPE]", "Pipe_Z=-1000000000"});
        QCOMPARE(MdsRodLength, QString("2000000000"));
    }

    void rodLengthIsSteelMinusPipe() {
        Read({"[SteelConnection]", "EL_Steel_L=5000.4", "[PIPE]", "Pipe_Z=1200.6"});
        QCOMPARE(MdsSteelElevLeft, QString("5000"));
        QCOMPARE(MdsPipeElev, QString("1201"));
        QCOMPARE(MdsRodLength, QString("3799"));
        QVERIFY(!MdsLengthGiven);
    }

    void configuration_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("upper case found") << "21V" << "21v";
        QTest::newRow("lower case found") << "6h" << "6h";
        QTest::newRow("number found") << "7" << "7";
        QTest::newRow("zero is none even in the table") << "0" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("unknown") << "99" << "";
        QTest::newRow("compared in lower case") << "abc" << "";
        QTest::newRow("quote in number") << "7\" or \"1\"=\"1" << "";
    }
    void configuration() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        Read({"[MDSHangerConfig]", "Config=" + text});
        QCOMPARE(MdsConfig, expected);
    }

    void configurationWithoutCatalogueIsNone() {
        Session().DeleteAlias(CatalogueAlias);
        Read({"[MDSHangerConfig]", "Config=21v"});
        Session().AddStandardAlias(CatalogueAlias, m_catalogue.path());
        QCOMPARE(MdsConfig, QString());
    }

    void givenLength_data() {
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("rodLength");
        QTest::addColumn<bool>("given");
        // Steel 2000 over pipe 1150 computes 850 unless a length is taken.
        QTest::newRow("21v whole") << "21V" << "900" << "900" << true;
        QTest::newRow("7 whole") << "7" << "+900" << "900" << true;
        QTest::newRow("decimals not taken") << "21v" << "850.5" << "850" << false;
        QTest::newRow("comma not taken") << "7" << "900,0" << "850" << false;
        QTest::newRow("zero") << "7" << "0" << "850" << false;
        QTest::newRow("negative") << "7" << "-900" << "850" << false;
        QTest::newRow("empty") << "7" << "" << "850" << false;
        QTest::newRow("letters") << "7" << "long" << "850" << false;
        QTest::newRow("other configuration") << "3" << "900" << "850" << false;
        QTest::newRow("no configuration") << "" << "900" << "850" << false;
    }
    void givenLength() {
        QFETCH(QString, config);
        QFETCH(QString, length);
        QFETCH(QString, rodLength);
        QFETCH(bool, given);
        Read({"[SteelConnection]", "EL_Steel_L=2000", "[PIPE]", "Pipe_Z=1150", "[MDSHangerConfig]", "Config=" + config,
              "Length=" + length});
        QCOMPARE(MdsRodLength, rodLength);
        QCOMPARE(MdsLengthGiven, given);
    }

    void configuration6hSwapsSteelAndPipe() {
        Read({"[PIPE]", "Pipe_Z=100", "[SteelConnection]", "EL_Steel_L=40", "EL_Steel_R=45",
              "[MDSHangerConfig]", "Config=6H"});
        QCOMPARE(MdsConfig, QString("6h"));
        QCOMPARE(MdsSteelElevLeft, QString("100"));
        QCOMPARE(MdsPipeElev, QString("40"));
        QCOMPARE(MdsRodLength, QString("-60"));
        QCOMPARE(MdsSteelElevRight, QString("45"));
        QCOMPARE(MdsPipeZ, 100.0);
    }

    void pipeSize_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole") << "200" << "200.00";
        QTest::newRow("comma") << "114,3" << "114.30";
        QTest::newRow("rounded to two decimals") << "12345.678" << "12345.68";
        QTest::newRow("seven significant digits") << "123456.789" << "123456.80";
        QTest::newRow("largest") << "1000000" << "1000000.00";
        // A 5 at the cut rounds up, on the digits as written.
        QTest::newRow("half a hundredth up") << "1.005" << "1.01";
        QTest::newRow("rounding carries a digit") << "9.995" << "10.00";
        QTest::newRow("below a tenth") << "0.05" << "0.05";
        QTest::newRow("below a hundredth") << "0.004" << "0.00";
        QTest::newRow("negative zero") << "-0" << "0.00";
        QTest::newRow("unreadable") << "DN200" << "0.00";
    }
    void pipeSize() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        Read({"[PIPE]", "SIZE=" + text});
        QCOMPARE(MdsPipeSize, expected);
    }

    // Numbers read the same whatever the separator in force; the pipe size
    // text is shown with it.
    void decimalSeparatorInForce() {
        const QChar previous = IvFormatSettings().DecimalSeparator;
        IvFormatSettings().DecimalSeparator = u',';
        Read({"[PIPE]", "SIZE=114.3", "Insulation=80,5", "[LOAD]", "Normal=12.5", "Emergency=12,5"});
        IvFormatSettings().DecimalSeparator = previous;
        QCOMPARE(MdsPipeSize, QString("114,30"));
        QCOMPARE(MdsInsulation, 80.5);
        QCOMPARE(MdsLoadNormal, 12.5);
        QCOMPARE(MdsLoadEmergency, 12.5);
    }

    void textsAndFlags_data() {
        QTest::addColumn<QString>("rotate");
        QTest::addColumn<bool>("expected");
        QTest::newRow("TRUE") << "TRUE" << true;
        QTest::newRow("True") << "True" << true;
        QTest::newRow("quoted true") << "\"true\"" << true;
        QTest::newRow("1") << "1" << false;
        QTest::newRow("yes") << "yes" << false;
        QTest::newRow("empty") << "" << false;
    }
    void textsAndFlags() {
        QFETCH(QString, rotate);
        QFETCH(bool, expected);
        Read({"[DWG]", "HangerMark=h-17 a", "DwgNo=D 0815", "[MDSHangerConfig]", "Profile Left=hea 200",
              "Profile Right=ipe 300", "Joint Rotate=" + rotate, "Joint Beam Height=210,5",
              "Joint Beam Flange Width=200", "Joint Beam Flange Thickness=10.5", "Alpha=12,5", "Alpha35=3",
              "Yangle=-1.5"});
        QCOMPARE(MdsHangerMark, QString("h-17 a"));
        QCOMPARE(MdsDwgNo, QString("D 0815"));
        QCOMPARE(MdsProfileLeft, QString("HEA 200"));
        QCOMPARE(MdsProfileRight, QString("IPE 300"));
        QCOMPARE(MdsJointRotate, expected);
        QCOMPARE(MdsJointBeamHeight, 210.5);
        QCOMPARE(MdsJointFlangeWidth, 200.0);
        QCOMPARE(MdsJointFlangeThickness, 10.5);
        QCOMPARE(MdsAlpha, 12.5);
        QCOMPARE(MdsAlpha35, 3.0);
        QCOMPARE(MdsYAngle, -1.5);
    }

    void missingFileGivesEveryDefault() {
        TestDir dir;
        // Values left over from an earlier read must not survive.
        Read({"[LOAD]", "Normal=1", "Emergency=2", "Failure=3", "Hydro=4", "[PIPE]", "SIZE=5", "Temp=6",
              "Insulation=7", "Pipe_X=8", "Pipe_Y=9", "Pipe_Z=10", "[DWG]", "HangerMark=H", "DwgNo=D",
              "[MDSHangerConfig]", "Config=7", "Length=99", "Joint Rotate=true", "Profile Left=A", "Profile Right=B",
              "Alpha=1", "Alpha35=2", "Yangle=3", "Joint Beam Height=4", "Joint Beam Flange Width=5",
              "Joint Beam Flange Thickness=6", "[STATICMOVEMENTS]", "Lateral=1", "Horizontal=2", "Vertical=3",
              "[DYNAMICMOVEMENTS]", "Positive=4", "Negative=5", "[SteelConnection]", "EL_Steel_L=11",
              "EL_Steel_R=12", "Width=13"});
        QVERIFY(MdsLengthGiven);
        InputFileName = dir.file("missing.zif");
        ReadMdsInputFile();
        QCOMPARE(MdsHangerMark, QString());
        QCOMPARE(MdsDwgNo, QString());
        for (double v : {MdsLoadNormal, MdsLoadEmergency, MdsLoadFailure, MdsLoadHydro, MdsInsulation, MdsPipeX,
                         MdsPipeY, MdsPipeZ, MdsAlpha, MdsAlpha35, MdsYAngle, MdsStaticLateral, MdsStaticHorizontal,
                         MdsStaticVertical, MdsDynPositive, MdsDynNegative, MdsJointFlangeWidth,
                         MdsJointFlangeThickness, MdsJointBeamHeight})
            QCOMPARE(v, 0.0);
        QCOMPARE(MdsPipeSize, QString("0.00"));
        QCOMPARE(MdsTemp, 0);
        for (const QString& s : {MdsSteelElevLeft, MdsSteelElevRight, MdsPipeElev, MdsSteelWidth, MdsRodLength})
            QCOMPARE(s, QString("0"));
        QCOMPARE(MdsProfileLeft, QString());
        QCOMPARE(MdsProfileRight, QString());
        QCOMPARE(MdsConfig, QString());
        QVERIFY(!MdsLengthGiven);
        QVERIFY(!MdsJointRotate);
    }

    // A byte-order mark is read as such: the first section stays visible
    // and UTF-16 files carry their values.
    void unicodeMarkedFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = QString::fromUtf8("[DWG]\r\nHangerMark=H-\xc3\xa4\xe2\x82\xac\r\n[LOAD]\r\nNormal=12,5\r\n");
        QByteArray le("\xff\xfe"), be("\xfe\xff");
        for (const QChar c : text) {
            le += char(c.unicode() & 0xff);
            le += char(c.unicode() >> 8);
            be += char(c.unicode() >> 8);
            be += char(c.unicode() & 0xff);
        }
        QTest::newRow("UTF-8 mark") << QByteArray("\xef\xbb\xbf") + text.toUtf8();
        QTest::newRow("UTF-16 little endian") << le;
        QTest::newRow("UTF-16 big endian") << be;
        QTest::newRow("code page 1252, no mark") << QByteArray("[DWG]\r\nHangerMark=H-\xe4\x80\r\n[LOAD]\r\nNormal=12,5\r\n");
    }
    void unicodeMarkedFiles() {
        QFETCH(QByteArray, bytes);
        TestDir dir;
        QFile f(dir.file("support.zif"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        ResetHostGlobals();
        InputFileName = f.fileName();
        ReadMdsInputFile();
        QCOMPARE(MdsHangerMark, QString::fromUtf8("H-\xc3\xa4\xe2\x82\xac"));
        QCOMPARE(MdsLoadNormal, 12.5);
    }

    // The conversions on their own, where the reader's range check cannot
    // reach them: what lies beyond 32 bits, leading blanks, the scientific
    // form of a number with more whole digits than the precision.
    void conversionsOnTheirOwn() {
        QCOMPARE(TemperatureFromText("2147483648"), 0);
        QCOMPARE(TemperatureFromText("-2147483649"), 0);
        QCOMPARE(TemperatureFromText("2147483647"), 2147483647);
        QCOMPARE(TemperatureFromText("1e12"), 0);
        QCOMPARE(StrToIntSafe("  12"), 12);
        QCOMPARE(StrToIntSafe(" -$10"), -16);
        QCOMPARE(StrToIntSafe("2147483648"), 0);
        QCOMPARE(StrToIntSafe("-2147483648"), int(std::numeric_limits<int32_t>::min()));
        QCOMPARE(TemperatureFromText("-2147483648"), std::numeric_limits<int32_t>::min());
        // The largest float64 is a number; the next power of ten is not.
        QCOMPARE(StrToFloatAnySep("1.7976931348623157e308"), std::numeric_limits<double>::max());
        QCOMPARE(StrToFloatAnySep("1e309"), 0.0);
        QCOMPARE(FormatFixedPrecision(123456789, 7, 2), QString("1.234568E8"));
        QCOMPARE(FormatFixedPrecision(-1.005, 7, 2), QString("-1.01"));
    }

    // Values the host cannot mean are refused before anything is read into
    // the globals; the message names the file, the section and the key.
    void refusedValues_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char* name, const char* section, const char* key, const QString& value,
                            const char* reason) {
            QTest::newRow(name) << QString(section) << QString(key) << value << QString(reason);
        };
        const char* notFinite = "is not a finite number";
        const char* range = "lies outside the range of its field";
        const char* negative = "is negative";
        row("NaN load", "LOAD", "Normal", "NaN", notFinite);
        row("infinite load", "LOAD", "Emergency", "inf", notFinite);
        row("negative infinite load", "LOAD", "Failure", "-Infinity", notFinite);
        row("load beyond float64", "LOAD", "Normal", "1e309", notFinite);
        row("load beyond float64 with comma", "LOAD", "Hydro", "-1,5e400", notFinite);
        row("load beyond the extended range", "LOAD", "Normal", "1e99999", notFinite);
        row("infinite pipe size", "PIPE", "SIZE", "inf", notFinite);
        row("NaN temperature", "PIPE", "Temp", "nan", notFinite);
        row("temperature beyond float64", "PIPE", "Temp", "1e309", notFinite);
        row("infinite coordinate", "PIPE", "Pipe_Z", "-inf", notFinite);
        row("elevation beyond float64", "SteelConnection", "EL_Steel_L", "1e400", notFinite);
        row("load just above its range", "LOAD", "Normal", "1000000.5", range);
        // The largest float64, written out to its last digit, is a number.
        char largest[400] = {};
        std::to_chars(largest, largest + sizeof largest - 1, std::numeric_limits<double>::max(), std::chars_format::fixed);
        row("largest float64 load", "LOAD", "Normal", QString::fromLatin1(largest), range);
        row("hydrotest load 1e308", "LOAD", "Hydro", "1e308", range);
        row("Alpha 1e308", "MDSHangerConfig", "Alpha", "1e308", range);
        row("Alpha35 below its range", "MDSHangerConfig", "Alpha35", "-1000001", range);
        row("Y angle", "MDSHangerConfig", "Yangle", "2e6", range);
        row("temperature beyond 32 bits", "PIPE", "Temp", "2147483648", range);
        row("temperature 1e308", "PIPE", "Temp", "1e308", range);
        row("temperature below its range", "PIPE", "Temp", "-1000001", range);
        // The range check reads a temperature as the reader does: a
        // hexadecimal one is a number, not text that counts as 0.
        row("hexadecimal temperature just above its range", "PIPE", "Temp", "$F4241", range);
        row("hexadecimal temperature just below its range", "PIPE", "Temp", "-0xF4241", range);
        row("hexadecimal temperature -$80000000", "PIPE", "Temp", "-$80000000", range);
        row("hexadecimal temperature 0x7FFFFFFF", "PIPE", "Temp", "0x7FFFFFFF", range);
        row("hexadecimal temperature beyond 32 bits", "PIPE", "Temp", "$100000000", range);
        row("hexadecimal temperature beyond 64 bits", "PIPE", "Temp", "$FFFFFFFFFFFFFFFFFF", range);
        row("temperature with decimals rounded past its range", "PIPE", "Temp", "1000001.5", range);
        row("insulation 1e308", "PIPE", "Insulation", "1e308", range);
        row("coordinate above its range", "PIPE", "Pipe_X", "1000000001", range);
        row("elevation below its range", "SteelConnection", "EL_Steel_R", "-1e10", range);
        row("steel width above its range", "SteelConnection", "Width", "1000001", range);
        row("lateral movement", "STATICMOVEMENTS", "Lateral", "1e7", range);
        row("negative dynamic movement", "DYNAMICMOVEMENTS", "Negative", "-1e7", range);
        row("pipe size -10", "PIPE", "SIZE", "-10", negative);
        row("insulation -10", "PIPE", "Insulation", "-10", negative);
        row("steel width", "SteelConnection", "Width", "-1", negative);
        row("flange width", "MDSHangerConfig", "Joint Beam Flange Width", "-0,5", negative);
        row("flange thickness", "MDSHangerConfig", "Joint Beam Flange Thickness", "-1", negative);
        row("beam height", "MDSHangerConfig", "Joint Beam Height", "-200", negative);
        row("33-character mark", "DWG", "HangerMark", QString(32, 'M') + "X", "has 33 characters");
        row("26-character drawing number", "DWG", "DwgNo", QString(26, 'D'), "has 26 characters");
    }
    void refusedValues() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, reason);
        TestDir dir;
        const QString name = dir.file("support.zif");
        QVERIFY(WriteHostTextFile(name, {"[" + section + "]", key + "=" + value}));
        ResetHostGlobals();
        MdsHangerMark = "kept";
        InputFileName = name;
        try {
            ReadMdsInputFile();
            QFAIL("the value was taken");
        } catch (const EGeneralError& e) {
            const QString m = e.Message();
            QVERIFY2(m.contains(name) && m.contains("[" + section + "] " + key) && m.contains(reason), qPrintable(m));
        }
        QCOMPARE(MdsHangerMark, QString("kept"));
        ++m_refused;
    }

    // A long value is named by its first 40 characters.
    void longValueShownCut() {
        TestDir dir;
        const QString name = dir.file("support.zif");
        const QString mark = QString(39, 'M') + "XYZ" + QString(8, 'N');
        QVERIFY(WriteHostTextFile(name, {"[DWG]", "HangerMark=" + mark}));
        ResetHostGlobals();
        InputFileName = name;
        try {
            ReadMdsInputFile();
            QFAIL("the mark was taken");
        } catch (const EGeneralError& e) {
            QVERIFY2(e.Message().contains("\"" + QString(39, 'M') + "X...\" has 50 characters"), qPrintable(e.Message()));
        }
    }

    // A rod length the host gives is a coordinate: a whole number beyond
    // that range is refused; text that is no length stays ignored.
    void givenLengthOutsideItsRange() {
        TestDir dir;
        const QString name = dir.file("support.zif");
        QVERIFY(WriteHostTextFile(name, {"[MDSHangerConfig]", "Config=7", "Length=1000000001"}));
        ResetHostGlobals();
        InputFileName = name;
        QVERIFY_THROWS_EXCEPTION(EGeneralError, ReadMdsInputFile());
        Read({"[MDSHangerConfig]", "Config=7", "Length=1000000000"});
        QCOMPARE(MdsRodLength, QString("1000000000"));
        QVERIFY(MdsLengthGiven);
        Read({"[MDSHangerConfig]", "Config=7", "Length=inf"});
        QVERIFY(!MdsLengthGiven);
    }

    // Texts as long as their field are taken whole.
    void textsAsLongAsTheirField() {
        Read({"[DWG]", "HangerMark=" + QString(31, 'M') + "X", "DwgNo=" + QString(24, 'D') + "X"});
        QCOMPARE(MdsHangerMark, QString(31, 'M') + "X");
        QCOMPARE(MdsDwgNo, QString(24, 'D') + "X");
    }

    // A control character in any value the reader reads is refused: none
    // may reach the project tables or the output file. The file is UTF-8
    // with its mark, so that C1 characters can be written too.
    void controlCharacters_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("code");
        QTest::newRow("tab in the mark") << "DWG" << "HangerMark" << "H\t1" << "U+0009";
        QTest::newRow("escape first in the mark") << "DWG" << "HangerMark" << "\x1bH1" << "U+001B";
        QTest::newRow("escape in the mark") << "DWG" << "HangerMark" << "H\x1b[2J" << "U+001B";
        QTest::newRow("form feed in the mark") << "DWG" << "HangerMark" << "H\f1" << "U+000C";
        QTest::newRow("DEL in the mark") << "DWG" << "HangerMark" << "H\x7f" "1" << "U+007F";
        QTest::newRow("next line (C1) in the mark") << "DWG" << "HangerMark" << QString("H") + QChar(0x85) + "1"
                                                 << "U+0085";
        QTest::newRow("NUL in the mark") << "DWG" << "HangerMark" << QString("H") + QChar(0) + "1" << "U+0000";
        QTest::newRow("tab in the drawing number") << "DWG" << "DwgNo" << "D\t0815" << "U+0009";
        QTest::newRow("bell in a profile") << "MDSHangerConfig" << "Profile Left" << "HEA\a200" << "U+0007";
        QTest::newRow("escape in the configuration") << "MDSHangerConfig" << "Config" << "7\x1b" << "U+001B";
        QTest::newRow("tab inside a number") << "LOAD" << "Normal" << "12\t5" << "U+0009";
        QTest::newRow("vertical tab in the rotation") << "MDSHangerConfig" << "Joint Rotate" << "tr\vue" << "U+000B";
    }
    void controlCharacters() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, code);
        TestDir dir;
        QFile f(dir.file("support.zif"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\xef\xbb\xbf");
        f.write(QString("[%1]\r\n%2=%3\r\n").arg(section, key, value).toUtf8());
        f.close();
        ResetHostGlobals();
        InputFileName = f.fileName();
        try {
            ReadMdsInputFile();
            QFAIL("the value was taken");
        } catch (const EGeneralError& e) {
            const QString m = e.Message();
            QVERIFY2(m.contains("[" + section + "] " + key) && m.contains("control character " + code), qPrintable(m));
            // The message itself carries no control character.
            QCOMPARE(FirstControlCharacter(m), qsizetype(-1));
        }
        ++m_refused;
    }

    // A stored text (the hanger mark, the drawing number) holds only what
    // the host's code page holds: another character would be stored and
    // written as "?", and two marks would become one support. The file is
    // UTF-8 with its mark, or code page 1252 without one, where the bytes
    // 0x81, 0x8D, 0x8F, 0x90 and 0x9D are no character.
    void charactersTheCodePageCannotHold_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("marked");
        QTest::addColumn<QString>("reason");  // empty: taken
        QTest::newRow("Ł in the mark") << QByteArray("[DWG]\r\nHangerMark=WA\xc5\x81-1") << true
                                       << "[DWG] HangerMark holds the character U+0141 at position 3";
        QTest::newRow("Ś first in the drawing number") << QByteArray("[DWG]\r\nDwgNo=\xc5\x9a-1") << true
                                                       << "[DWG] DwgNo holds the character U+015A at position 1";
        QTest::newRow("a character beyond 16 bits") << QByteArray("[DWG]\r\nHangerMark=H\xf0\x9f\x94\xa9") << true
                                                    << "[DWG] HangerMark holds the character U+1F529 at position 2";
        QTest::newRow("byte 0x81 in the mark") << QByteArray("[DWG]\r\nHangerMark=WA\x81-1") << false
                                               << "[DWG] HangerMark holds a byte at position 3 that is no character";
        QTest::newRow("byte 0x8D in the drawing number") << QByteArray("[DWG]\r\nDwgNo=\x8d") << false
                                                         << "[DWG] DwgNo holds a byte at position 1 that is no character";
        QTest::newRow("bytes 0x8F and 0x90 in the mark") << QByteArray("[DWG]\r\nHangerMark=\x8f\x90") << false
                                                         << "[DWG] HangerMark holds a byte at position 1";
        QTest::newRow("byte 0x90 after a 0x8E in the mark") << QByteArray("[DWG]\r\nHangerMark=\x8e\x90") << false
                                                             << "[DWG] HangerMark holds a byte at position 2";
        QTest::newRow("byte 0x9D last in the mark") << QByteArray("[DWG]\r\nHangerMark=H-1\x9d") << false
                                                    << "[DWG] HangerMark holds a byte at position 4";
        // Code page 1252 holds these: taken as they stand.
        QTest::newRow("€, Š and ÿ, UTF-8") << QByteArray("[DWG]\r\nHangerMark=\xe2\x82\xac\xc5\xa0\xc3\xbf") << true << "";
        QTest::newRow("bytes 0x80, 0x8A and 0xFF") << QByteArray("[DWG]\r\nHangerMark=\x80\x8a\xff") << false << "";
        // A text that is not stored is no matter of the code page.
        QTest::newRow("Ł in a profile") << QByteArray("[MDSHangerConfig]\r\nProfile Left=HE\xc5\x81") << true << "";
    }
    void charactersTheCodePageCannotHold() {
        QFETCH(QByteArray, line);
        QFETCH(bool, marked);
        QFETCH(QString, reason);
        TestDir dir;
        QFile f(dir.file("support.zif"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write((marked ? QByteArray("\xef\xbb\xbf") : QByteArray()) + line + "\r\n");
        f.close();
        ResetHostGlobals();
        MdsHangerMark = "kept";
        InputFileName = f.fileName();
        if (reason.isEmpty()) {
            ReadMdsInputFile();
            if (line.contains("HangerMark")) QCOMPARE(MdsHangerMark, QString::fromUtf8("\xe2\x82\xac\xc5\xa0\xc3\xbf"));
            return;
        }
        try {
            ReadMdsInputFile();
            QFAIL("the value was taken");
        } catch (const EGeneralError& e) {
            QVERIFY2(e.Message().contains(reason) && e.Message().contains("the value is refused"), qPrintable(e.Message()));
        }
        QCOMPARE(MdsHangerMark, QString("kept"));
        ++m_refused;
    }

    // Printable characters around them stay as they are.
    void printableCharactersAreKept() {
        Read({"[DWG]", "HangerMark=H-1 \u00e4\u20ac/#;=x", "DwgNo=D\u00a0D"});
        QCOMPARE(MdsHangerMark, QString::fromUtf8("H-1 \xc3\xa4\xe2\x82\xac/#;=x"));
        QCOMPARE(MdsDwgNo, QString::fromUtf8("D\xc2\xa0" "D"));
    }

    void cleanupTestCase() { qInfo("host input values refused: %d", m_refused); }

    // An input file larger than any real one is refused, naming the file,
    // and leaves the globals alone; one just below the limit is read.
    void oversizedInputFileIsRefused() {
        TestDir dir;
        const QString name = dir.file("huge.zif");
        const auto make = [&](qint64 size) {
            QFile f(name);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QByteArray head("[DWG]\r\nHangerMark=BIG\r\n;");
            f.write(head);
            QVERIFY(f.resize(size));
        };
        ResetHostGlobals();
        MdsHangerMark = "kept";
        InputFileName = name;
        make(MaxHostFileSize + 1);
        try {
            ReadMdsInputFile();
            QFAIL("no error");
        } catch (const EGeneralError& e) {
            QVERIFY2(e.Message().contains(name) && e.Message().contains("16 MB"), qPrintable(e.Message()));
        }
        QCOMPARE(MdsHangerMark, QString("kept"));
        make(MaxHostFileSize);
        ReadMdsInputFile();
        QCOMPARE(MdsHangerMark, QString("BIG"));
    }
};

QTEST_GUILESS_MAIN(TestReadMdsZif)
#include "tst_ReadMdsZif.moc"
