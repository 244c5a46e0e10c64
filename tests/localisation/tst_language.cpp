// Languages and locales: the code page, character set and script tables, the
// language of a locale, the display-name rule and the runtime's formats.
#include "MldFixtures.h"
#include "platform/Numbers.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QtTest>
#include <cstdio>

class TstLanguage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { NlsSetDefaultLcidOverride(MakeLangId(9, 1)); }

    void codePages_data() {
        QTest::addColumn<int>("primary");
        QTest::addColumn<int>("sub");
        QTest::addColumn<int>("codePage");
        QTest::addColumn<int>("charset");
        QTest::newRow("German") << 7 << 1 << 1252 << 0;
        QTest::newRow("Russian") << 25 << 1 << 1251 << 204;
        QTest::newRow("Chinese Taiwan") << 4 << 1 << 950 << 136;
        QTest::newRow("Chinese PRC") << 4 << 2 << 936 << 134;
        QTest::newRow("Chinese Macau (not in the platform table)") << 4 << 5 << 950 << 136;
        QTest::newRow("Serbian Latin") << 26 << 2 << 1250 << 238;
        QTest::newRow("Serbian Cyrillic") << 26 << 3 << 1251 << 204;
        QTest::newRow("Azeri Cyrillic") << 44 << 2 << 1251 << 204;
        QTest::newRow("Uzbek Latin") << 67 << 1 << 1254 << 162;
        QTest::newRow("Farsi") << 41 << 1 << 1256 << 178;
        QTest::newRow("Estonian") << 37 << 1 << 1257 << 186;
        QTest::newRow("Thai") << 30 << 1 << 874 << 222;
        QTest::newRow("Japanese") << 17 << 1 << 932 << 128;
        QTest::newRow("unknown") << 90 << 1 << 1252 << 0;
    }
    void codePages() {
        QFETCH(int, primary);
        QFETCH(int, sub);
        QFETCH(int, codePage);
        QFETCH(int, charset);
        QCOMPARE(CodePageOfLanguage(MakeLangId(uint32_t(primary), uint32_t(sub))), codePage);
        QCOMPARE(int(CharsetOfCodePage(codePage)), charset);
    }

    void scriptKinds() {
        QCOMPARE(ScriptKindOfLanguage(17), ivskMultiByte);
        QCOMPARE(ScriptKindOfLanguage(13), ivskRightToLeft);
        QCOMPARE(ScriptKindOfLanguage(7), ivskNormal);
        QCOMPARE(int(CharsetOfCodePage(437)), 1);
    }

    void completeFillsFromThePlatform() {
        TIvLanguage l;
        l.PrimaryId = 7;
        l.Complete();
        QCOMPARE(l.SubLanguage, 1);
        QCOMPARE(l.Iso639, QStringLiteral("de"));
        QCOMPARE(l.Iso3166, QStringLiteral("DE"));
        QCOMPARE(l.EnglishName, QStringLiteral("German"));
        QCOMPARE(l.NativeName, QStringLiteral("Deutsch"));
        QCOMPARE(l.CodePage, 1252);
        QCOMPARE(l.LocaleSubLanguage, 1);
        QCOMPARE(l.Lcid(), 0x0407u);
        TIvLanguage native;
        native.PrimaryId = -4;
        native.SubLanguages << QStringLiteral("2");
        native.Complete();
        QCOMPARE(native.PrimaryId, 0);
        QCOMPARE(native.EnglishName, QStringLiteral("Native"));
        QCOMPARE(int(native.Flags), 2);
        QVERIFY(native.SubLanguages.isEmpty());
    }

    void displayNames_data() {
        QTest::addColumn<QString>("english");
        QTest::addColumn<int>("primary");
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Chinese traditional") << "Chinese (Taiwan)" << 4 << 950 << "Chinese, Traditional";
        QTest::newRow("Chinese simplified") << "Chinese (PRC)" << 4 << 936 << "Chinese, Simplified";
        QTest::newRow("Korean") << "Korean (Johab)" << 18 << 1361 << "Korean, Johab";
        QTest::newRow("Serbian latin") << "Serbian (Latin)" << 26 << 1250 << "Serbian, Latin";
        QTest::newRow("Azeri cyrillic") << "Azeri (Cyrillic)" << 44 << 1251 << "Azeri, Cyrillic";
        QTest::newRow("Norwegian") << "Norwegian (Bokmal)" << 20 << 1252 << "Norwegian";
        QTest::newRow("Spanish") << "Spanish (Traditional Sort)" << 10 << 1252 << "Spanish";
        QTest::newRow("other") << "German (Standard)" << 7 << 1252 << "German (Standard)";
    }
    void displayNames() {
        QFETCH(QString, english);
        QFETCH(int, primary);
        QFETCH(int, codePage);
        QFETCH(QString, expected);
        QCOMPARE(LanguageDisplayName(english, uint32_t(primary), codePage), expected);
    }

    // A language takes another sublanguage only when it differs from the
    // effective one (the list entry equal to the sublanguage, else the
    // first entry, 0 for an empty list); 0 clears the lists.
    void setSubLanguage_data() {
        QTest::addColumn<int>("primary");
        QTest::addColumn<int>("sub");
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("set");
        QTest::addColumn<QString>("after");  // sub|list|locales
        QTest::newRow("native is never changed") << 0 << 0 << "" << 2 << "0||de";
        QTest::newRow("the effective one again") << 7 << 1 << "1,3" << 1 << "1|1,3|de";
        QTest::newRow("another listed one") << 7 << 1 << "1,3" << 3 << "3|1,3|de";
        QTest::newRow("one not listed is added") << 7 << 1 << "1,3" << 2 << "2|1,3,2|de";
        QTest::newRow("0 clears the lists") << 7 << 1 << "1,3" << 0 << "0||";
        // Sublanguage 5 is not listed: the effective one is the first entry.
        QTest::newRow("effective is the first entry") << 7 << 5 << "1,3" << 1 << "5|1,3|de";
        QTest::newRow("effective differs from the stored one") << 7 << 5 << "1,3" << 5 << "5|1,3,5|de";
        // An empty list: the effective sublanguage is 0.
        QTest::newRow("empty list, 0") << 7 << 1 << "" << 0 << "1||de";
        QTest::newRow("empty list, 1") << 7 << 1 << "" << 1 << "1|1|de";
    }
    void setSubLanguage() {
        QFETCH(int, primary);
        QFETCH(int, sub);
        QFETCH(QString, list);
        QFETCH(int, set);
        QFETCH(QString, after);
        TIvLanguage l;
        l.PrimaryId = primary;
        l.SubLanguage = sub;
        l.SubLanguages = list.isEmpty() ? QStringList() : list.split(u',');
        l.Locales = QStringList{QStringLiteral("de")};
        l.SetSubLanguage(set);
        QCOMPARE(QStringLiteral("%1|%2|%3").arg(l.SubLanguage).arg(l.SubLanguages.join(u','), l.Locales.join(u',')),
                 after);
    }

    // Two languages match by primary language, and a non-native one by its
    // code page as well.
    void matches_data() {
        QTest::addColumn<int>("primaryA");
        QTest::addColumn<int>("codePageA");
        QTest::addColumn<int>("primaryB");
        QTest::addColumn<int>("codePageB");
        QTest::addColumn<bool>("match");
        QTest::newRow("same") << 7 << 1252 << 7 << 1252 << true;
        QTest::newRow("other code page") << 26 << 1250 << 26 << 1251 << false;
        QTest::newRow("native, other code page") << 0 << 1252 << 0 << 1251 << true;
        QTest::newRow("other primary") << 7 << 1252 << 9 << 1252 << false;
    }
    void matches() {
        QFETCH(int, primaryA);
        QFETCH(int, codePageA);
        QFETCH(int, primaryB);
        QFETCH(int, codePageB);
        QFETCH(bool, match);
        TIvLanguage a, b;
        a.PrimaryId = primaryA;
        a.CodePage = codePageA;
        b.PrimaryId = primaryB;
        b.CodePage = codePageB;
        QCOMPARE(a.Matches(b), match);
        QCOMPARE(b.Matches(a), match);
    }

    // Display names: 0 the English name, 1 the native name, 2 the English
    // name with its parts translated; a locale adds its country.
    void getDisplayName_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("locale");
        QTest::newRow("English") << 0 << "Chinese, Traditional" << "Chinese, Traditional (Taiwan)";
        QTest::newRow("native") << 1 << "Zhongwen, Traditional" << "Zhongwen, Traditional (Taiwan-native)";
        QTest::newRow("translated") << 2 << "Chinesisch, Traditionell" << "Chinesisch, Traditionell (Taiwan-de)";
    }
    void getDisplayName() {
        QFETCH(int, mode);
        QFETCH(QString, language);
        QFETCH(QString, locale);
        TestDir dir;
        const std::vector<TIvMLDEntry> entries{
            FixtureEntry("Chinese", "Chinesisch", ""), FixtureEntry("Traditional", "Traditionell", ""),
            FixtureEntry("Taiwan", "Taiwan-de", "")};
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("names.mld"), FixtureLanguages(false), entries));
        d.SetLanguage(1);
        d.Open();
        TIvLanguage l;
        l.PrimaryId = 4;
        l.SubLanguage = 1;
        l.CodePage = 950;
        l.EnglishName = QStringLiteral("Chinese (Taiwan)");
        l.NativeName = QStringLiteral("Zhongwen (Taiwan)");
        QString name;
        l.GetDisplayName(mode, &d, name);
        QCOMPARE(name, language);
        TIvLocale loc;
        loc.PrimaryId = 4;
        loc.SubLanguage = 1;
        loc.CodePage = 950;
        loc.EnglishLanguage = QStringLiteral("Chinese");
        loc.NativeLanguage = QStringLiteral("Zhongwen");
        loc.EnglishCountry = QStringLiteral("Taiwan");
        loc.NativeCountry = QStringLiteral("Taiwan-native");
        loc.GetDisplayName(mode, nullptr, name);  // the first dictionary when none is given
        QCOMPARE(name, locale);
    }

    void languageOfLocale_data() {
        QTest::addColumn<uint>("lcid");
        QTest::addColumn<int>("index");
        QTest::newRow("zero is native") << 0u << 0;
        QTest::newRow("exact sublanguage") << uint(MakeLangId(7, 3)) << 2;
        QTest::newRow("listed sublanguage") << uint(MakeLangId(7, 5)) << 2;
        QTest::newRow("empty list") << uint(MakeLangId(7, 2)) << 1;
        QTest::newRow("first of primary") << uint(MakeLangId(9, 2)) << 3;
        QTest::newRow("user default") << uint(LOCALE_USER_DEFAULT) << 3;
        QTest::newRow("no match") << uint(MakeLangId(12, 1)) << -1;
    }
    void languageOfLocale() {
        QFETCH(uint, lcid);
        QFETCH(int, index);
        TIvLanguage austria = FixtureLanguage(7, 3, "German", "Deutsch", 1252);
        austria.SubLanguages = QStringList{"3", "5"};
        TIvLanguage english = FixtureLanguage(9, 1, "English", "English", 1252);
        english.SubLanguages = QStringList{"1"};
        TestDir dir;
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("l.mld"),
                                   {FixtureLanguages()[0], FixtureLanguage(7, 1, "German", "Deutsch", 1252), austria, english},
                                   FixtureEntries()));
        QCOMPARE(d.LanguageIndexOfLocale(lcid), index);
    }

    void timeFormats_data() {
        QTest::addColumn<int>("twentyFour");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("leadingZero");
        QTest::addColumn<QString>("shortTime");
        QTest::addColumn<QString>("longTime");
        QTest::newRow("12h after, no zero") << 0 << 0 << 0 << "h:mm AMPM" << "h:mm:ss AMPM";
        QTest::newRow("12h after, zero") << 0 << 0 << 1 << "hh:mm AMPM" << "hh:mm:ss AMPM";
        QTest::newRow("12h before") << 0 << 1 << 0 << "AMPM h:mm" << "AMPM h:mm:ss";
        QTest::newRow("24h") << 1 << 0 << 1 << "hh:mm" << "hh:mm:ss";
    }
    void timeFormats() {
        QFETCH(int, twentyFour);
        QFETCH(int, position);
        QFETCH(int, leadingZero);
        QFETCH(QString, shortTime);
        QFETCH(QString, longTime);
        TIvLocale l;
        l.TimeFormat = uint8_t(twentyFour);
        l.AmPmPosition = uint8_t(position);
        l.LeadingZeroHours = uint8_t(leadingZero);
        const TIvFormatSettings s = FormatSettingsFromLocale(l, iveNormal, false, QDate(2020, 1, 1));
        QCOMPARE(s.ShortTimeFormat, shortTime);
        QCOMPARE(s.LongTimeFormat, longTime);
        QCOMPARE(s.TimeSeparator, QChar(u':'));
    }

    void year2000AndDays() {
        TIvLocale l;
        QVERIFY(ReadSystemLocale(MakeLangId(7, 1), l));
        l.ShortDateFormat = QStringLiteral("dd.MM.yy");
        l.LongDateFormat = QStringLiteral("d. MMMM yyyy");
        TIvFormatSettings s = FormatSettingsFromLocale(l, iveNormal, true, QDate(2020, 1, 1));
        QCOMPARE(s.ShortDateFormat, QStringLiteral("dd.MM.yyyy"));
        QCOMPARE(s.LongDateFormat, QStringLiteral("d. MMMM yyyy"));
        QCOMPARE(FormatSettingsFromLocale(l, iveNormal, false, QDate(2020, 1, 1)).ShortDateFormat, QStringLiteral("dd.MM.yy"));
        QCOMPARE(s.LongDayNames[1], QStringLiteral("Montag"));
        QCOMPARE(s.LongDayNames[0], QStringLiteral("Sonntag"));
        QCOMPARE(s.LongMonthNames[2], QStringLiteral("März"));
        QCOMPARE(s.DecimalSeparator, QChar(u','));
    }

    void euro_data() {
        QTest::addColumn<int>("primary");
        QTest::addColumn<int>("sub");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<bool>("euroSign");
        QTest::newRow("Germany 2001 normal") << 7 << 1 << int(iveNormal) << QDate(2001, 12, 31) << false;
        QTest::newRow("Germany 2002 normal") << 7 << 1 << int(iveNormal) << QDate(2002, 1, 1) << true;
        QTest::newRow("Germany 2000 business") << 7 << 1 << int(iveBusiness) << QDate(2000, 6, 1) << true;
        QTest::newRow("Germany 1998 business") << 7 << 1 << int(iveBusiness) << QDate(1998, 6, 1) << false;
        QTest::newRow("Germany 2010 ignore") << 7 << 1 << int(iveIgnore) << QDate(2010, 1, 1) << false;
        QTest::newRow("Switzerland 2010") << 7 << 2 << int(iveNormal) << QDate(2010, 1, 1) << false;
    }
    void euro() {
        QFETCH(int, primary);
        QFETCH(int, sub);
        QFETCH(int, mode);
        QFETCH(QDate, today);
        QFETCH(bool, euroSign);
        TIvLocale l;
        l.PrimaryId = primary;
        l.SubLanguage = sub;
        l.CurrencySymbol = QStringLiteral("DM");
        QCOMPARE(EuroCurrencyString(l, TIvEuro(mode), today), euroSign ? QString(QChar(0x20AC)) : QStringLiteral("DM"));
    }

    // With its option on (the default) a language change copies the
    // locale's formats; the numbers of the files keep their ".".
    void languageChangeCopiesFormats() {
        const TIvFormatSettings saved = IvFormatSettings();
        TestDir dir;
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("f.mld"), FixtureLanguages(), FixtureEntries()));
        QVERIFY(d.Options & ivdoUpdateLocaleVariables);
        d.SetLanguage(1);
        d.Open();
        QCOMPARE(NlsThreadLocale(), 0x0407u);
        QCOMPARE(IvFormatSettings().Lcid, 0x0407u);
        QCOMPARE(IvFormatSettings().DecimalSeparator, QChar(u','));
        QCOMPARE(IvFormatSettings().ShortDateFormat.count(u'y'), 4);
        QCOMPARE(FormatFixed(3.25, 2), QStringLiteral("3.25"));
        bool ok = false;
        QCOMPARE(double(ParseNumber(QStringLiteral("3.25"), &ok)), 3.25);
        QVERIFY(ok);
        d.SetLanguage(2);
        QCOMPARE(IvFormatSettings().Lcid, 0x0409u);
        QCOMPARE(IvFormatSettings().DecimalSeparator, QChar(u'.'));
        d.Close();
        // Without the option the formats stay where they are.
        TIvBinaryDictionary e;
        e.SetFileName(dir.file("f.mld"));
        e.Options = TIvDictionaryOptions(e.Options & ~ivdoUpdateLocaleVariables);
        e.SetLanguage(1);
        e.Open();
        QCOMPARE(IvFormatSettings().Lcid, 0x0409u);
        IvFormatSettings() = saved;
    }

    // Qt's own texts (here the line edit's menu entry) follow the first
    // dictionary's language where Qt's translations of it are installed,
    // go back to English with English and with the dictionary closed, and
    // stay English where no translations are found.
    void qtTextsFollowTheLanguage() {
        const QString undo = QStringLiteral("&Undo");
        const auto qtUndo = [] { return QCoreApplication::translate("QLineEdit", "&Undo"); };
        const QString installed = QtTranslationsDirectory();
        if (!QFileInfo::exists(QDir(installed).filePath(QStringLiteral("qtbase_de.qm"))))
            QSKIP("Qt's German translations are not installed (Debian package qt6-translations-l10n)");
        TestDir dir;
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("q.mld"), FixtureLanguages(), FixtureEntries()));
        d.SetLanguage(1);
        d.Open();
        QVERIFY2(!qtUndo().isEmpty() && qtUndo() != undo, qPrintable(qtUndo()));
        d.SetLanguage(2);
        QCOMPARE(qtUndo(), undo);
        d.SetLanguage(1);
        QVERIFY(qtUndo() != undo);
        d.Close();
        QCOMPARE(qtUndo(), undo);
        // Without the translations the program runs on with English texts.
        QtTranslationsDirectory() = dir.path();
        d.SetLanguage(1);
        d.Open();
        QCOMPARE(qtUndo(), undo);
        d.Close();
        QtTranslationsDirectory() = installed;
    }

    // The Euro mode, written while the program runs, sets the currency
    // string again from the current locale.
    void euroModeReappliesCurrency() {
        const TIvFormatSettings saved = IvFormatSettings();
        TestDir dir;
        TIvLocale german;
        german.PrimaryId = 7;
        german.SubLanguage = 1;
        german.CodePage = 1252;
        german.CurrencySymbol = QStringLiteral("DM");
        german.DecimalSeparator = u',';
        german.ThousandSeparator = u'.';
        german.DateSeparator = u'.';
        german.TimeSeparator = u':';
        german.ShortDateFormat = QStringLiteral("dd.MM.yy");
        german.Complete();
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("euro.mld"), FixtureLanguages(), FixtureEntries(), {}, {german}));
        d.SetLanguage(1);
        d.Open();
        QCOMPARE(IvFormatSettings().Lcid, 0x0407u);
        const QString euro(QChar(0x20AC));
        QCOMPARE(IvFormatSettings().CurrencyString, euro);
        d.SetEuro(iveIgnore);
        QCOMPARE(IvFormatSettings().CurrencyString, QStringLiteral("DM"));
        d.SetEuro(iveBusiness);
        QCOMPARE(IvFormatSettings().CurrencyString, euro);
        d.SetEuro(iveNormal);
        IvFormatSettings() = saved;
    }

    // The system's own locale is read when the program starts: a German
    // system gives "," as decimal separator before any dictionary opens.
    void systemLocaleReadAtStart_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("German") << "de_DE.UTF-8" << ",|.|407";
        QTest::newRow("Austrian German") << "de_AT.UTF-8" << ",| |c07";
        QTest::newRow("English (US)") << "en_US.UTF-8" << ".|,|409";
        QTest::newRow("C") << "C" << ".|,|409";
    }
    void systemLocaleReadAtStart() {
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), locale);
        env.insert(QStringLiteral("LANG"), locale);
        env.insert(QStringLiteral("KORVA_TEST_REPORT_FORMATS"), QStringLiteral("1"));
        p.setProcessEnvironment(env);
        p.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QString out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        out.replace(QChar(0xA0), u' ').replace(QChar(0x202F), u' ');
        QCOMPARE(out, expected);
    }

    void localeCheck() {
        TestDir dir;
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("lc.mld"), FixtureLanguages(), FixtureEntries()));
        d.Binding = ivbiNone;
        d.SetLanguage(1);
        d.Open();
        try {
            d.SetLocale(MakeLangId(25, 1));
            QFAIL("no exception");
        } catch (const EIvMulti& e) {
            QCOMPARE(e.Message(), QStringLiteral("The locale (25, 1) is not supported by the current code page"));
        }
        QCOMPARE(d.CurrentLcid(), 0x0409u);  // the user's default, as before
        d.SetPrimaryLanguage(7);
        QCOMPARE(d.CurrentLcid(), 0x0407u);
        d.SetSubLanguage(3);
        QCOMPARE(d.CurrentLcid(), 0x0C07u);
        QCOMPARE(d.CurrentLocale().Iso3166, QStringLiteral("AT"));
    }
};

// Started again by systemLocaleReadAtStart: reports the formats the
// program starts with under the environment's locale.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("KORVA_TEST_REPORT_FORMATS")) {
        const TIvFormatSettings& s = IvFormatSettings();
        std::printf("%s|%s|%x\n", QString(s.DecimalSeparator).toUtf8().constData(),
                    QString(s.ThousandSeparator).toUtf8().constData(), unsigned(s.Lcid));
        return 0;
    }
    TstLanguage test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_language.moc"
