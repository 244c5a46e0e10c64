// Dictionary model: missing-translation policy, the translation table, the
// program-wide list, the language setter and its events.
#include "MldFixtures.h"
#include "support/TestSupport.h"
#include "localisation/IvMulti.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>

namespace {

// Records what a linked translator is told.
class RecordingTranslator : public TIvCustomTranslator {
public:
    explicit RecordingTranslator(QStringList* log) : m_log(log) {}
    void DictionaryChanged(bool lang, bool loc) override {
        m_log->append(QStringLiteral("translator %1 %2").arg(lang).arg(loc));
    }

private:
    QStringList* m_log;
};

struct Snapshot {
    int language, index, fallback;
    uint32_t lcid;
    QString english;
    std::vector<QString> table;
    static Snapshot Of(TIvBinaryDictionary& d) {
        Snapshot s{d.Language(), d.CurrentIndex(), d.FallbackIndex(), d.CurrentLcid(), d.CurrentLanguage().EnglishName, {}};
        for (const TIvTranslation& t : d.Table()) s.table.push_back(t.Native + u'=' + t.Translation);
        return s;
    }
    bool operator==(const Snapshot& o) const {
        return language == o.language && index == o.index && fallback == o.fallback && lcid == o.lcid &&
               english == o.english && table == o.table;
    }
};

}  // namespace

class TstDictionary : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { NlsSetDefaultLcidOverride(MakeLangId(9, 1)); }
    void init() { QCOMPARE(Dictionaries().Count(), 0); }

    void policy_data() {
        QTest::addColumn<int>("policy");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("error");
        const QString missing = QStringLiteral("Not in the file");
        const QString empty = QStringLiteral("Untranslated");
        const QString found = QStringLiteral("Directory");
        // "Untranslated" is in the file without any text; the empty text is
        // the one case that is found with an empty translation.
        for (int p = 0; p < 4; ++p) {
            const char* names[] = {"native", "null", "tag", "raise"};
            auto row = [&](const char* kind) -> QTestData& { return QTest::newRow(qPrintable(QStringLiteral("%1/%2").arg(names[p], kind))); };
            const QStringList missingResult{missing, QString(), '@' + missing + '@', QString()};
            const QStringList noTextResult{empty, QString(), '@' + empty + '@', QString()};
            const QStringList emptyResult{QString(), QString(), QStringLiteral("@@"), QString()};
            const QString raiseMissing = QStringLiteral("Dictionary does not contain a translation for the word \"%1\"");
            row("missing") << p << missing << missingResult[p] << (p == 3 ? raiseMissing.arg(missing) : QString());
            row("no text") << p << empty << noTextResult[p] << (p == 3 ? raiseMissing.arg(empty) : QString());
            row("empty") << p << QString() << emptyResult[p]
                         << (p == 3 ? QStringLiteral("Translation for the word \"\" is missing") : QString());
            row("found") << p << found << "Verzeichnis" << QString();
        }
    }
    void policy() {
        QFETCH(int, policy);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFETCH(QString, error);
        TestDir dir;
        TIvBinaryDictionary d(nullptr, QStringLiteral("Menu"));
        d.SetFileName(WriteFixture(dir.file("p.mld"), FixtureLanguages(), FixtureEntries()));
        d.SetLanguage(1);
        d.Open();
        d.MissingTranslation = TIvMissingTranslation(policy);
        try {
            QString result;
            TranslateWithContext(&d, text, QString(), result, QString());
            QVERIFY2(error.isEmpty(), "no exception raised");
            if (!text.isEmpty()) QCOMPARE(IvTranslate(text), expected);
            QCOMPARE(result, expected);
        } catch (const EIvMulti& e) {
            QCOMPARE(e.Message(), error);
        }
    }

    void emptyTextEdges() {
        TestDir dir;
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("e.mld"), FixtureLanguages(), FixtureEntries()));
        d.Open();
        d.MissingTranslation = ivmtTagNative;
        QCOMPARE(IvTranslate(QString()), QString());
        QString result = QStringLiteral("x");
        TranslateWithContext(&d, QString(), QString(), result, QString());
        QCOMPARE(result, QStringLiteral("@@"));
    }

    void ivTranslateRouting() {
        QCOMPARE(IvTranslate(QStringLiteral("Directory")), QStringLiteral("Directory"));  // no dictionary
        TestDir dir;
        const QString file = WriteFixture(dir.file("r.mld"), FixtureLanguages(), FixtureEntries());
        TIvBinaryDictionary first, second;
        QCOMPARE(first.DictionaryName, QStringLiteral("Dictionary1"));
        QCOMPARE(second.DictionaryName, QStringLiteral("Dictionary2"));
        first.SetFileName(file);
        second.SetFileName(file);
        first.MissingTranslation = ivmtTagNative;
        // The first dictionary answers even while closed: by its policy.
        QCOMPARE(IvTranslate(QStringLiteral("Directory")), QStringLiteral("@Directory@"));
        second.SetLanguage(1);
        second.Open();
        QCOMPARE(IvTranslate(QStringLiteral("Directory")), QStringLiteral("@Directory@"));
        first.SetLanguage(1);
        first.Open();
        QCOMPARE(IvTranslate(QStringLiteral("Directory")), QStringLiteral("Verzeichnis"));
        QCOMPARE(Dictionaries().Find(QStringLiteral("Dictionary2")), &second);
        QCOMPARE(Dictionaries().Find(QStringLiteral("dictionary2")), nullptr);
    }

    void manyShuffledKeys() {
        // Umlauts, case twins, prefixes of one another and several contexts
        // per text: every entry must be found by its key and by its text.
        std::vector<TIvMLDEntry> entries;
        const QStringList stems{QStringLiteral("Größe"), QStringLiteral("größe"), QStringLiteral("Last"),
                                QStringLiteral("Last fehlt"), QStringLiteral("Übersicht"), QStringLiteral("ab"),
                                QStringLiteral("abc"), QStringLiteral("Maß")};
        for (int i = 0; i < 40; ++i)
            for (const QString& stem : stems) {
                const QString native = stem + u' ' + QString::number(i);
                for (const QString& ctx : {QStringLiteral("TLabel"), QStringLiteral("TButton")})
                    entries.push_back(FixtureEntry(native, {}, native + u'|' + ctx, {}, ctx, QStringLiteral("Comp")));
            }
        std::shuffle(entries.begin(), entries.end(), *QRandomGenerator::global());
        TestDir dir;
        TIvMLDWriteOptions o;
        o.ContextKind = 1;
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("many.mld"), FixtureLanguages(false), entries, o));
        d.SetLanguage(2);
        d.Open();
        QCOMPARE(d.TranslationCount(), int(entries.size()));
        QVERIFY(d.ContextsInUse());
        for (const TIvMLDEntry& e : entries) {
            QString result;
            QVERIFY2(d.TranslateWithContext(e.Native, e.Context1, result, e.Context2), qPrintable(e.Native));
            QCOMPARE(result, e.Texts[1]);
            QVERIFY2(d.Translate(e.Native, result), qPrintable(e.Native));
            QVERIFY(result.startsWith(e.Native + u'|'));
            TranslateWithContext(&d, e.Native, QStringLiteral("TOther"), result, QStringLiteral("Comp"));
            QVERIFY(result.startsWith(e.Native + u'|'));  // falls back to the plain lookup
        }
        QString result;
        QVERIFY(!d.Translate(QStringLiteral("Größe"), result));
    }

    void setterEventsInOrder() {
        TestDir dir;
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("ev.mld"), FixtureLanguages(), FixtureEntries()));
        QStringList log;
        RecordingTranslator translator(&log);
        d.OnLanguageChange = [&](TIvDictionary*) { log << QStringLiteral("language"); };
        d.OnLocaleChange = [&](TIvDictionary*) { log << QStringLiteral("locale"); };
        d.SetLanguage(1);  // closed: stored only
        QVERIFY(log.isEmpty());
        d.Open();
        QCOMPARE(log, QStringList({"language", "locale"}));
        d.AddTranslator(&translator);
        d.AddTranslator(&translator);  // a duplicate is ignored
        log.clear();
        d.SetLanguage(2);
        QCOMPARE(log, QStringList({"translator 1 1", "language", "locale"}));
        QCOMPARE(d.CurrentLanguage().PrimaryId, 9);
        log.clear();
        d.SetLanguage(2);
        QVERIFY(log.isEmpty());
        QVERIFY_THROWS_EXCEPTION(ERangeError, d.SetLanguage(4));
        try {
            d.SetLanguage(-3);
        } catch (const ERangeError& e) {
            QCOMPARE(e.Message(), QStringLiteral("Language index -3 is out of range"));
        }
        QCOMPARE(d.Language(), 2);
        d.Close();
        QVERIFY(!translator.Linked());
        QVERIFY(d.Translators().empty());
    }

    // UpdateLocale makes the current language's own locale current;
    // UpdateLanguage the language of the current locale (the first
    // supported one when none matches). Each fires its event only on a
    // change, and a closed dictionary does neither.
    void updateLocaleAndLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<uint>("locale");
        QTest::addColumn<bool>("updateLanguage");  // else UpdateLocale
        QTest::addColumn<int>("index");
        QTest::addColumn<uint>("lcid");
        QTest::addColumn<QStringList>("events");
        const uint de = MakeLangId(7, 1), en = MakeLangId(9, 1), fr = MakeLangId(12, 1);
        QTest::newRow("locale follows German") << 1 << en << false << 1 << de << QStringList{"locale"};
        QTest::newRow("locale already German") << 1 << de << false << 1 << de << QStringList{};
        QTest::newRow("language follows English") << 1 << en << true << 2 << en << QStringList{"language"};
        QTest::newRow("language already English") << 2 << en << true << 2 << en << QStringList{};
        QTest::newRow("no language of French: the first supported") << 2 << fr << true << 1 << fr
                                                                    << QStringList{"language"};
    }
    void updateLocaleAndLanguage() {
        QFETCH(int, language);
        QFETCH(uint, locale);
        QFETCH(bool, updateLanguage);
        QFETCH(int, index);
        QFETCH(uint, lcid);
        QFETCH(QStringList, events);
        TestDir dir;
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("upd.mld"), FixtureLanguages(), FixtureEntries()));
        d.Binding = ivbiNone;
        d.CheckLevel = ivclNone;
        d.SetLanguage(language);
        d.SetLocale(locale);
        QStringList log;
        d.OnLanguageChange = [&](TIvDictionary*) { log << QStringLiteral("language"); };
        d.OnLocaleChange = [&](TIvDictionary*) { log << QStringLiteral("locale"); };
        // Closed: nothing happens.
        updateLanguage ? d.UpdateLanguage() : d.UpdateLocale();
        QVERIFY(log.isEmpty());
        QVERIFY(!d.IsOpen());
        d.Open();
        QCOMPARE(d.CurrentIndex(), language);
        QCOMPARE(d.CurrentLcid(), locale);
        log.clear();
        updateLanguage ? d.UpdateLanguage() : d.UpdateLocale();
        QCOMPARE(d.CurrentIndex(), index);
        QCOMPARE(d.CurrentLcid(), lcid);
        QCOMPARE(log, events);
        QCOMPARE(IvTranslate(QStringLiteral("directory")),
                 index == 1 ? QStringLiteral("verzeichnis") : QStringLiteral("directory (lower)"));
    }

    // Each primary language once, at its first language, by its English or
    // native name.
    void languageNames() {
        TestDir dir;
        auto languages = FixtureLanguages();
        languages.push_back(FixtureLanguage(7, 3, "German (Austria)", "Deutsch (Österreich)", 1252));
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("names.mld"), languages, FixtureEntries()));
        const auto names = [&d](bool native) {
            QStringList out;
            for (const auto& [name, primary] : d.GetLanguageNames(native)) out << name + u'=' + QString::number(primary);
            return out;
        };
        QCOMPARE(names(false), (QStringList{"Native=0", "German=7", "English=9", "Russian=25"}));
        QCOMPARE(names(true), (QStringList{"Native=0", "Deutsch=7", "English=9", "Русский=25"}));
    }

    // With the language following the locale, opening makes the locale
    // current and takes its language: the requested language counts for
    // nothing; without a language of the locale, the first supported one.
    void languageFollowsTheLocaleOnOpening_data() {
        QTest::addColumn<uint>("locale");
        QTest::addColumn<int>("index");
        QTest::addColumn<uint>("lcid");
        QTest::newRow("German") << uint(MakeLangId(7, 1)) << 1 << uint(MakeLangId(7, 1));
        QTest::newRow("German (Austria): German without a list") << uint(MakeLangId(7, 3)) << 1 << uint(MakeLangId(7, 3));
        QTest::newRow("English") << uint(MakeLangId(9, 1)) << 2 << uint(MakeLangId(9, 1));
        QTest::newRow("French: the first supported") << uint(MakeLangId(12, 1)) << 1 << uint(MakeLangId(12, 1));
    }
    void languageFollowsTheLocaleOnOpening() {
        QFETCH(uint, locale);
        QFETCH(int, index);
        QFETCH(uint, lcid);
        TestDir dir;
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("l2l.mld"), FixtureLanguages(), FixtureEntries()));
        d.Binding = ivbiLanguageToLocale;
        d.CheckLevel = ivclNone;
        d.SetLanguage(index == 2 ? 1 : 2);  // another one than the locale's
        d.SetLocale(locale);
        d.Open();
        QCOMPARE(d.CurrentIndex(), index);
        QCOMPARE(d.CurrentLcid(), lcid);
    }

    void failingLanguageLeavesDictionaryAsItWas() {
        TestDir dir;
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("ru.mld"), FixtureLanguages(), FixtureEntries()));
        d.SetLanguage(1);
        d.Open();
        const Snapshot before = Snapshot::Of(d);
        QVERIFY(!before.table.empty());
        int events = 0;
        d.OnLanguageChange = [&](TIvDictionary*) { ++events; };
        try {
            d.SetLanguage(3);
            QFAIL("no exception");
        } catch (const EIvMulti& e) {
            QCOMPARE(e.Message(), QStringLiteral("Russian is not supported by the code page"));
        }
        QVERIFY(Snapshot::Of(d) == before);
        QCOMPARE(events, 0);
        QCOMPARE(IvTranslate(QStringLiteral("Directory")), QStringLiteral("Verzeichnis"));
        d.CheckLevel = ivclNone;
        d.SetLanguage(3);
        QCOMPARE(IvTranslate(QStringLiteral("Wert für Last fehlt!")), QStringLiteral("Нет нагрузки!"));
    }

    // A closed dictionary translates nothing, through every routine, until
    // it is opened again.
    void closedDictionaryTranslatesNothing() {
        TestDir dir;
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("close.mld"), FixtureLanguages(), FixtureEntries()));
        d.SetLanguage(1);
        d.Open();
        QCOMPARE(IvTranslate(QStringLiteral("Directory")), QStringLiteral("Verzeichnis"));
        d.Close();
        QVERIFY(!d.IsOpen());
        QString result;
        QVERIFY(!d.Translate(QStringLiteral("Directory"), result));
        QVERIFY(!d.TranslateWithContext(QStringLiteral("Directory"), {}, result, {}));
        QCOMPARE(IvTranslate(QStringLiteral("Directory")), QStringLiteral("Directory"));
        QCOMPARE(TranslateWord(&d, QStringLiteral("Directory")), QStringLiteral("Directory"));
        d.MissingTranslation = ivmtTagNative;
        QCOMPARE(TranslateWord(&d, QStringLiteral("Directory")), QStringLiteral("@Directory@"));
        d.MissingTranslation = ivmtUseNative;
        d.Open();
        QCOMPARE(IvTranslate(QStringLiteral("Directory")), QStringLiteral("Verzeichnis"));
    }

    // A language change that fails in a translator pass or a handler leaves
    // the language and the table that belongs to it: never the new table
    // under the old language.
    void failingChangeRestoresLanguageAndTable_data() {
        QTest::addColumn<bool>("inTranslator");
        QTest::newRow("language-change handler") << false;
        QTest::newRow("translator pass") << true;
    }
    void failingChangeRestoresLanguageAndTable() {
        QFETCH(bool, inTranslator);
        TestDir dir;
        TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
        d.SetFileName(WriteFixture(dir.file("fail.mld"), FixtureLanguages(), FixtureEntries()));
        d.SetLanguage(1);
        d.Open();
        QWidget form;
        auto* translator = new TIvTranslator(&form);
        translator->SetDictionaryName(QStringLiteral("MenuDictionary"));
        translator->Targets.Add(QString(), QStringLiteral("Caption"));
        form.setWindowTitle(QStringLiteral("Directory"));
        translator->Loaded();
        QCOMPARE(form.windowTitle(), QStringLiteral("Verzeichnis"));
        const uint32_t threadLocale = NlsThreadLocale();
        const QChar decimalSeparator = IvFormatSettings().DecimalSeparator;
        bool fail = true;
        if (inTranslator)
            translator->OnAfterTranslate = [&fail](TIvCustomTranslator*) {
                if (fail) throw EIvMulti(QStringLiteral("pass failed"));
            };
        else
            d.OnLanguageChange = [&fail](TIvDictionary*) {
                if (fail) throw EIvMulti(QStringLiteral("handler failed"));
            };
        QVERIFY_THROWS_EXCEPTION(EIvMulti, d.SetLanguage(2));
        QCOMPARE(d.Language(), 1);
        QCOMPARE(d.CurrentIndex(), 1);
        QCOMPARE(IvTranslate(QStringLiteral("Directory")), QStringLiteral("Verzeichnis"));
        QCOMPARE(IvTranslate(QStringLiteral("directory")), QStringLiteral("verzeichnis"));
        // The thread's locale and the number formats stay with the language.
        QCOMPARE(NlsThreadLocale(), threadLocale);
        QCOMPARE(IvFormatSettings().DecimalSeparator, decimalSeparator);
        // Once the cause is gone the change goes through.
        fail = false;
        d.SetLanguage(2);
        QCOMPARE(IvTranslate(QStringLiteral("directory")), QStringLiteral("directory (lower)"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Directory"));
        QVERIFY(NlsThreadLocale() != threadLocale);
    }

    // The settings name the files "KORVA32.mld" and "KORVAPRN.mld"; the
    // files are found whatever the case of their names on disk.
    void fileFoundWithoutRegardToCase_data() {
        QTest::addColumn<QString>("onDisk");
        QTest::addColumn<QString>("named");
        QTest::addColumn<bool>("bare");
        QTest::newRow("upper-case name, mixed file") << "Korva32.mld" << "KORVA32.mld" << false;
        QTest::newRow("mixed name, lower-case file") << "korvaprn.mld" << "Korvaprn.MLD" << false;
        QTest::newRow("exact") << "Korva32.mld" << "Korva32.mld" << false;
        QTest::newRow("bare name in the current directory") << "Korvaprn.mld" << "KORVAPRN.mld" << true;
    }
    void fileFoundWithoutRegardToCase() {
        QFETCH(QString, onDisk);
        QFETCH(QString, named);
        QFETCH(bool, bare);
        TestDir dir;
        WriteFixture(dir.file(onDisk), FixtureLanguages(), FixtureEntries());
        const QString previous = QDir::currentPath();
        if (bare) QDir::setCurrent(dir.path());
        TIvBinaryDictionary d;
        d.SetFileName(bare ? named : dir.file(named));
        d.SetLanguage(1);
        const bool canOpen = d.CanOpen();
        d.Open();
        const QString translated = IvTranslate(QStringLiteral("Directory"));
        QDir::setCurrent(previous);
        QVERIFY(canOpen);
        QVERIFY(d.IsOpen());
        QCOMPARE(translated, QStringLiteral("Verzeichnis"));
        QCOMPARE(QFileInfo(d.FileName()).fileName(), onDisk);
    }

    void fileOfAnotherNameIsNotTaken() {
        TestDir dir;
        WriteFixture(dir.file("Korva32.mld.bak"), FixtureLanguages(), FixtureEntries());
        WriteFixture(dir.file("Korva3.mld"), FixtureLanguages(), FixtureEntries());
        TIvBinaryDictionary d;
        d.SetFileName(dir.file("KORVA32.mld"));
        QVERIFY(!d.CanOpen());
        d.Open();
        QVERIFY(!d.IsOpen());
    }

    void storedIndexBeyondLanguagesIsCheckedAtOpen() {
        TestDir dir;
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("idx.mld"), FixtureLanguages(false), FixtureEntries()));
        d.SetLanguage(7);
        d.Open();
        QVERIFY(d.IsOpen());
        QCOMPARE(d.CurrentIndex(), 1);  // the first supported language
        QCOMPARE(IvTranslate(QStringLiteral("Directory")), QStringLiteral("Verzeichnis"));
    }

    void userDefaultPicksLanguage_data() {
        QTest::addColumn<uint>("user");
        QTest::addColumn<int>("index");
        QTest::newRow("English (US)") << uint(MakeLangId(9, 1)) << 2;
        QTest::newRow("German (Austria)") << uint(MakeLangId(7, 3)) << 1;
        QTest::newRow("French: first supported") << uint(MakeLangId(12, 1)) << 1;
    }
    void userDefaultPicksLanguage() {
        QFETCH(uint, user);
        QFETCH(int, index);
        NlsSetDefaultLcidOverride(user);
        TestDir dir;
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("u.mld"), FixtureLanguages(), FixtureEntries()));
        d.Open();
        NlsSetDefaultLcidOverride(MakeLangId(9, 1));
        QCOMPARE(d.CurrentIndex(), index);
        QCOMPARE(d.Language(), -1);
    }

    void noSupportedLanguage() {
        TestDir dir;
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("none.mld"),
                                   {FixtureLanguages()[0], FixtureLanguage(25, 1, "Russian", "Русский", 1251)},
                                   FixtureEntries()));
        try {
            d.Open();
            QFAIL("no exception");
        } catch (const EIvMulti& e) {
            QCOMPARE(e.Message(), QStringLiteral("System does not support any language of the dicitonary!"));
        }
        QVERIFY(!d.IsOpen());
    }

    void languageZeroTranslatesNothing() {
        TestDir dir;
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("z.mld"), FixtureLanguages(), FixtureEntries()));
        d.SetLanguage(0);
        d.Open();
        QCOMPARE(d.TranslationCount(), 0);
        QCOMPARE(IvTranslate(QStringLiteral("Directory")), QStringLiteral("Directory"));
        QCOMPARE(LanguageByIndex(&d, 0).EnglishName, QStringLiteral("Native"));
        QCOMPARE(LanguageByIndex(&d, 2).EnglishName, QStringLiteral("English"));
        QVERIFY_THROWS_EXCEPTION(ERangeError, LanguageByIndex(&d, 4));
    }

    void missingFileStaysClosed() {
        TIvBinaryDictionary d;
        d.SetFileName(QStringLiteral("/nonexistent/Korva32.mld"));
        QVERIFY(!d.CanOpen());
        d.Open();
        QVERIFY(!d.IsOpen());
        QCOMPARE(IvTranslate(QStringLiteral("Directory")), QStringLiteral("Directory"));
        TIvBinaryDictionary unnamed;
        QVERIFY(!unnamed.CanOpen());
        try {
            unnamed.LanguageCount();
            QFAIL("no exception");
        } catch (const EIvException& e) {
            QCOMPARE(e.Message(), QStringLiteral("No FileName property set"));
        }
    }

    void exceptionDisplay() {
        TestDir dir;
        auto entries = FixtureEntries();
        entries.push_back(FixtureEntry(QStringLiteral("Disk full"), QStringLiteral("Platte voll"), QString()));
        TIvBinaryDictionary d;
        d.SetFileName(WriteFixture(dir.file("x.mld"), FixtureLanguages(), entries));
        QVERIFY(bool(ApplicationExceptionHandler()));
        QCOMPARE(IvExceptionText(EIvMulti(QStringLiteral("Disk full"))), QStringLiteral("Disk full."));
        d.SetLanguage(1);
        d.Open();
        QCOMPARE(IvExceptionText(EIvMulti(QStringLiteral("Disk full"))), QStringLiteral("Platte voll."));
        QCOMPARE(IvExceptionText(EIvMulti(QStringLiteral("Stop!"))), QStringLiteral("Stop!"));
        QCOMPARE(IvExceptionText(EIvMulti(QString())), QString());
        QStringList shown;
        const auto previousBox = IvErrorBox();
        IvErrorBox() = [&](const QString& t) { shown << t; };
        struct Thrower : QObject {
            bool event(QEvent*) override { throw EIvMulti(QStringLiteral("Disk full")); }
        } thrower;
        QEvent ev(QEvent::User);
        QVERIFY(!qApp->notify(&thrower, &ev));
        IvErrorBox() = previousBox;
        QCOMPARE(shown, QStringList{QStringLiteral("Platte voll.")});
    }

    void stringParser_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("decode");
        QTest::addColumn<QStringList>("tokens");
        QTest::newRow("plain") << "1,2,,3" << false << QStringList{"1", "2", "", "3"};
        QTest::newRow("trailing separator") << "a," << false << QStringList{"a", ""};
        QTest::newRow("escapes") << "a##b,#C#L#T,#x,end#" << true << QStringList{"a#b", "\r\n\t", "#x", "end#"};
        QTest::newRow("escapes off") << "a##b" << false << QStringList{"a##b"};
    }
    void stringParser() {
        QFETCH(QString, text);
        QFETCH(bool, decode);
        QFETCH(QStringList, tokens);
        TIvStringParser p(text, u',', decode);
        QStringList got;
        while (!p.EndOfText()) got << p.NextToken();
        QCOMPARE(got, tokens);
    }
};

int main(int argc, char** argv) {
    TIvApplication app(argc, argv);
    TstDictionary t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_dictionary.moc"
