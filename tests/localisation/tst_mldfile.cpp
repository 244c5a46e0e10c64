// The binary dictionary file: every version, byte order and string format
// reads to the same tables; damaged files end in exact messages.
#include "MldFixtures.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QtTest>

namespace {

TIvLocale FixtureLocale() {
    TIvLocale l;
    ReadSystemLocale(MakeLangId(7, 1), l);
    l.CurrencySymbol = QStringLiteral("DM");
    l.NativeCountry = QStringLiteral("Deutschland (Ä)");
    return l;
}

struct Read {
    std::vector<QString> table;
    QStringList languages;
    QString localeText;
};

Read ReadAll(const QString& file, int language, bool withLocale) {
    Read r;
    TIvBinaryDictionary d;
    d.SetFileName(file);
    d.CheckLevel = ivclNone;
    d.SetLanguage(language);
    d.Open();
    for (const TIvTranslation& t : d.Table())
        r.table.push_back(QStringList{t.Native, t.Context1, t.Context2, t.Translation, QString::number(t.Status)}.join(u'|'));
    for (const auto& l : d.GetLanguages())
        r.languages << QStringList{QString::number(l->PrimaryId), QString::number(l->SubLanguage), l->EnglishName,
                                   l->NativeName, QString::number(l->CodePage), l->SubLanguages.join(u',')}
                           .join(u'|');
    if (withLocale) {
        TIvLocale loc;
        d.GetLocale(0, loc);
        r.localeText = QStringList{loc.CurrencySymbol, loc.NativeCountry, loc.LongMonthNames[2], loc.LongDayNames[6],
                                   QString(loc.DecimalSeparator), loc.ShortDateFormat}
                           .join(u'|');
    }
    return r;
}

}  // namespace

class TstMldFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { NlsSetDefaultLcidOverride(MakeLangId(9, 1)); }

    void formatsReadAlike_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("bigEndian");
        QTest::addColumn<bool>("utf16");
        QTest::addColumn<int>("contextKind");
        for (int kind : {0, 1, 2, 3})
            for (int v : {1, 2, 3})
                for (bool be : {false, true})
                    for (bool u : {false, true}) {
                        const QString name = QStringLiteral("v%1 %2 %3 ctx%4").arg(v).arg(be ? "BE" : "LE", u ? "UTF-16" : "8-bit").arg(kind);
                        QTest::newRow(qPrintable(name)) << v << be << u << kind;
                    }
    }
    void formatsReadAlike() {
        QFETCH(int, version);
        QFETCH(bool, bigEndian);
        QFETCH(bool, utf16);
        QFETCH(int, contextKind);
        auto entries = FixtureEntries();
        entries.push_back(FixtureEntry(QStringLiteral("Maß"), QStringLiteral("Maß"), QStringLiteral("Dimension"), {},
                                       QStringLiteral("TLabel"), QStringLiteral("Label1")));
        TestDir dir;
        TIvMLDWriteOptions reference;
        reference.ContextKind = uint8_t(contextKind);
        TIvMLDWriteOptions o{version, bigEndian, utf16, uint8_t(contextKind), 0};
        const bool locales = version >= 2;  // version 1 records carry no codes; compare the rest
        const auto languages = FixtureLanguages();
        const Read expected = ReadAll(WriteFixture(dir.file("ref.mld"), languages, entries, reference, {FixtureLocale()}), 2, locales);
        const Read got = ReadAll(WriteFixture(dir.file("t.mld"), languages, entries, o, {FixtureLocale()}), 2, locales);
        QVERIFY(!expected.table.empty());
        QCOMPARE(got.table, expected.table);
        QCOMPARE(got.languages, expected.languages);
        QCOMPARE(got.localeText, expected.localeText);
        // The Russian texts come back in their own code page.
        const Read russian = ReadAll(dir.file("t.mld"), 3, false);
        QVERIFY(std::any_of(russian.table.begin(), russian.table.end(),
                            [](const QString& s) { return s.contains(QStringLiteral("Нет нагрузки!")); }));
    }

    void germanKeyIsTheProgramsLiteral() {
        TestDir dir;
        const QString file = WriteFixture(dir.file("de.mld"), FixtureLanguages(), FixtureEntries());
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        // "ü" is the single byte 0xFC of code page 1252 in the file.
        QVERIFY(f.readAll().contains(QByteArray("Wert f\xFCr Last fehlt!")));
        TIvBinaryDictionary d;
        d.SetFileName(file);
        d.SetLanguage(2);
        d.Open();
        QCOMPARE(IvTranslate(u"Wert für Last fehlt!"_qs), QStringLiteral("Value for load is missing!"));
    }

    void fallbackToNeutralLanguage() {
        // German (Austria) lists sublanguage 3; German without a sublanguage
        // list is its neutral fallback.
        auto languages = FixtureLanguages(false);
        TIvLanguage austrian = FixtureLanguage(7, 3, "German (Austria)", "Deutsch (Österreich)", 1252);
        austrian.SubLanguages = QStringList{QStringLiteral("3")};
        languages.push_back(austrian);
        std::vector<TIvMLDEntry> entries{
            TIvMLDEntry{QStringLiteral("January"), {}, {}, {QStringLiteral("Januar"), QString(), QStringLiteral("Jänner")}},
            TIvMLDEntry{QStringLiteral("Directory"), {}, {}, {QStringLiteral("Verzeichnis"), QString(), QString()}},
            TIvMLDEntry{QStringLiteral("Gone"), {}, {}, {QString(), QStringLiteral("Gone"), QString()}},
        };
        TestDir dir;
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("at.mld"), languages, entries));
        d.SetLanguage(3);
        d.Open();
        QCOMPARE(d.FallbackIndex(), 1);
        QCOMPARE(d.TranslationCount(), 2);
        QCOMPARE(IvTranslate(QStringLiteral("January")), QStringLiteral("Jänner"));
        QCOMPARE(IvTranslate(QStringLiteral("Directory")), QStringLiteral("Verzeichnis"));
        QCOMPARE(d.Table()[0].Status + d.Table()[1].Status, 1);
    }

    void customLocalesComeFirst() {
        TIvLocale custom;
        custom.PrimaryId = 0x55;
        custom.SubLanguage = 1;
        custom.CodePage = 1252;
        custom.EnglishLanguage = QStringLiteral("Plantish");
        TestDir dir;
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("loc.mld"), FixtureLanguages(), FixtureEntries(), {}, {FixtureLocale(), custom}));
        d.SetLanguage(1);
        d.Open();
        QCOMPARE(d.CurrentLocale().CurrencySymbol, QStringLiteral("DM"));  // the file's locale, not the platform's
        QCOMPARE(d.CurrentLocale().NativeCountry, QStringLiteral("Deutschland (Ä)"));
        TIvLocale plantish;
        d.GetLocale(1, plantish);
        QCOMPARE(plantish.EnglishLanguage, QStringLiteral("Plantish"));
        QVERIFY(d.LocaleInList(&plantish));
        TIvLocale unknown;
        unknown.PrimaryId = 0x56;
        QVERIFY(!d.LocaleInList(&unknown));
        const auto lcids = d.LocaleLcids();
        QCOMPARE(std::count(lcids.begin(), lcids.end(), 0x0407u), 1);
        QCOMPARE(lcids.back(), plantish.Lcid());
    }

    void longerRecordsAreSkipped() {
        TestDir dir;
        TIvMLDWriteOptions o;
        o.ExtraRecordBytes = 17;
        const Read got = ReadAll(WriteFixture(dir.file("x.mld"), FixtureLanguages(), FixtureEntries(), o, {FixtureLocale()}), 1, true);
        const Read expected = ReadAll(WriteFixture(dir.file("r.mld"), FixtureLanguages(), FixtureEntries(), {}, {FixtureLocale()}), 1, true);
        QCOMPARE(got.languages, expected.languages);
        QCOMPARE(got.localeText, expected.localeText);
        QCOMPARE(got.table, expected.table);
    }

    void damagedFiles_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("message");
        const QByteArray good = WriteMLD(FixtureLanguages(), {FixtureLocale()}, FixtureEntries(), {});
        auto patched = [&](int at, QByteArray bytes) { return QByteArray(good).replace(at, bytes.size(), bytes); };
        const QString readError = QStringLiteral("Stream read error");
        QTest::newRow("not MLD") << patched(0, "MLX") << "The stream is not a valid MLD stream";
        QTest::newRow("empty") << QByteArray() << readError;
        QTest::newRow("short header") << good.left(20) << readError;
        QTest::newRow("language offset 0") << patched(14, QByteArray(4, '\0')) << "Invalid language offset";
        QTest::newRow("translation offset 0") << patched(20, QByteArray(4, '\0')) << "Invalid translation offset";
        QTest::newRow("locale offset 0") << patched(26, QByteArray(4, '\0')) << "Invalid locale offset";
        QTest::newRow("no locales") << patched(24, QByteArray(2, '\0')) << "No custom locales";
        QTest::newRow("offset past end") << patched(20, QByteArray("\xff\xff\xff\x7f", 4)) << readError;
        QTest::newRow("truncated in translations") << good.left(good.indexOf("Verzeichnis") + 3) << readError;
        QTest::newRow("truncated in languages") << good.left(60) << readError;
        QTest::newRow("record length too long") << patched(42, "\xff\xff") << readError;
        QTest::newRow("record length too short") << patched(42, QByteArray("\x04\x00", 2)) << "The stream holds a damaged record";
        QTest::newRow("translation count too high") << patched(18, "\xff\x7f") << readError;
    }
    void damagedFiles() {
        QFETCH(QByteArray, data);
        QFETCH(QString, message);
        TestDir dir;
        QFile f(dir.file("bad.mld"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
        f.close();
        TIvBinaryDictionary d;
        d.SetFileName(f.fileName());
        d.CheckLevel = ivclNone;
        d.SetLanguage(1);
        QString got;
        try {
            d.Open();
            TIvLocale l;
            d.GetLocale(0, l);
        } catch (const EIvException& e) {
            got = e.Message();
        }
        QCOMPARE(got, message);
    }

    void fileFoundInProgramDirectory() {
        const QString name = QStringLiteral("tst_mldfile_progdir.mld");
        const QString inProgramDir = QCoreApplication::applicationDirPath() + u'/' + name;
        WriteFixture(inProgramDir, FixtureLanguages(), FixtureEntries());
        TestDir elsewhere;
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        TIvBinaryDictionary d;
        d.SetFileName(name);
        const bool canOpen = d.CanOpen();
        const QString resolved = d.FileName();
        QDir::setCurrent(cwd);
        QFile::remove(inProgramDir);
        QVERIFY(canOpen);
        QCOMPARE(resolved, inProgramDir);
    }
};

QTEST_GUILESS_MAIN(TstMldFile)
#include "tst_mldfile.moc"
