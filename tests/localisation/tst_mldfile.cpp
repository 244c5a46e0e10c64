// The binary dictionary file: every version, byte order and string format
// reads to the same tables; damaged files end in exact messages.
#include "MldFixtures.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QtTest>

#include "localisation/IvReader.h"

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

Read ReadDictionary(TIvBinaryDictionary& d, int language, bool withLocale);

Read ReadAll(const QString& file, int language, bool withLocale) {
    TIvBinaryDictionary d;
    d.SetFileName(file);
    return ReadDictionary(d, language, withLocale);
}

Read ReadDictionary(TIvBinaryDictionary& d, int language, bool withLocale) {
    Read r;
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

// A form that keeps a dictionary with it: its class name names the
// resource of its description.
class TFormWithDictionary : public QObject {
    Q_OBJECT
};

// A description of TFormWithDictionary written by hand, the stored
// dictionary data in the given data versions (0: the property not stored):
// a panel holding a dictionary "Nested" (no direct child), then the
// dictionary "IvBinaryDictionary1" with languages native, German, English,
// two translations and one locale.
struct StoredVersions {
    int languages = 2, translations = 2, locales = 2;
    int contextKind = 0;
    bool damagedLocale = false;
};

void WriteStoredLanguage(TIvFormWriter& w, int version, int primary, int sub, int codePage, const char* english,
                         const char* native, const char* font, int size, bool bit0, bool bit1) {
    w.WriteListBegin();
    w.WriteInteger(primary);
    w.WriteString(primary == 7 ? QStringLiteral("1,3") : QString());
    w.WriteInteger(sub);
    if (version >= 2) w.WriteInteger(0);
    w.WriteInteger(codePage);
    w.WriteString(QString::fromUtf8(english));
    w.WriteString(QString::fromUtf8(native));
    w.WriteString(QString::fromUtf8(font));
    w.WriteInteger(size);
    w.WriteBoolean(bit0);
    w.WriteBoolean(bit1);
    w.WriteListEnd();
}

QByteArray StoredForm(const StoredVersions& v) {
    TIvFormWriter w;
    w.BeginObject(QStringLiteral("TFormWithDictionary"), QStringLiteral("FormWithDictionary"));
    w.Property(QStringLiteral("Caption"));
    w.WriteString(QStringLiteral("Stored"));
    w.EndProperties();
    w.BeginObject(QStringLiteral("TPanel"), QStringLiteral("Panel1"));
    w.EndProperties();
    w.BeginObject(QStringLiteral("TIvBinaryDictionary"), QStringLiteral("Nested"));
    w.EndProperties();
    w.EndObject();
    w.EndObject();
    w.BeginObject(QStringLiteral("TIvBinaryDictionary"), QStringLiteral("IvBinaryDictionary1"));
    w.Property(QStringLiteral("Storage"));
    w.WriteInteger(1);
    if (v.languages) {
        w.Property(QStringLiteral("Languages"));
        w.WriteListBegin();
        w.WriteInteger(v.languages);
        w.WriteInteger(3);
        WriteStoredLanguage(w, v.languages, 0, 0, 1252, "", "", "", 0, false, true);
        WriteStoredLanguage(w, v.languages, 7, 1, 1252, "German", "Deutsch", "Arial", 9, true, false);
        WriteStoredLanguage(w, v.languages, 9, 1, 1252, "English", "English", "", 0, false, false);
        w.WriteListEnd();
    }
    if (v.translations) {
        w.Property(QStringLiteral("Translations"));
        w.WriteListBegin();
        w.WriteInteger(v.translations);
        if (v.translations >= 2) w.WriteInteger(v.contextKind);
        w.WriteInteger(2);
        const TIvContext c{uint8_t(v.contextKind), {}, {}};
        for (const QStringList& t : {QStringList{"Directory", "Verzeichnis", "Directory (en)"},
                                     QStringList{"Travel", "Weg", ""}}) {
            w.WriteListBegin();
            w.WriteString(t[0]);
            if (c.HasFirst()) w.WriteString(QStringLiteral("TLabel"));
            if (c.HasSecond()) w.WriteString(QStringLiteral("Label1"));
            w.WriteString(t[1]);
            w.WriteString(t[2]);
            w.WriteListEnd();
        }
        w.WriteListEnd();
    }
    if (v.locales) {
        w.Property(QStringLiteral("Locales"));
        w.WriteListBegin();
        w.WriteInteger(v.locales);
        w.WriteInteger(1);
        w.WriteListBegin();
        w.WriteInteger(7);
        w.WriteInteger(1);
        if (v.locales >= 2) w.WriteInteger(0);
        w.WriteInteger(1252);
        w.WriteBoolean(true);  // the byte kept with the locale
        for (const char* n : {"German", "Germany", "Deutsch", "Deutschland (Ä)", "DEU", "Germany"})
            w.WriteString(QString::fromUtf8(n));
        w.WriteInteger(0);
        w.WriteString(QStringLiteral("DM"));
        for (int b : {3, 8, 2}) w.WriteInteger(b);
        for (QChar ch : {u'.', u',', u'.'}) w.WriteChar(ch);
        w.WriteString(QStringLiteral("dd.MM.yy"));
        w.WriteString(QStringLiteral("dddd, d. MMMM yyyy"));
        w.WriteChar(u':');
        w.WriteString(QString());
        w.WriteString(QString());
        w.WriteBoolean(true);
        for (int b : {1, 0, 1, 0, 0, 0}) w.WriteInteger(b);
        if (v.damagedLocale) {
            w.WriteInteger(5);  // a number where the month names stand
        } else {
            for (int m = 1; m <= 12; ++m) w.WriteString(QStringLiteral("M%1").arg(m));
            for (int m = 1; m <= 12; ++m) w.WriteString(m == 3 ? QStringLiteral("März") : QStringLiteral("Monat%1").arg(m));
            for (int d = 1; d <= 14; ++d) w.WriteString(d == 14 ? QStringLiteral("Sonntag") : QStringLiteral("Tag%1").arg(d));
        }
        w.WriteListEnd();
        w.WriteListEnd();
    }
    w.EndProperties();
    w.EndObject();
    w.EndObject();
    return w.Data();
}

// A description of TFormWithDictionary whose dictionary
// "IvBinaryDictionary1" keeps the data of the dictionary file with it, as
// the program stores it.
QByteArray FormStoringDictionary(const QString& file) {
    TIvFormWriter w;
    w.BeginObject(QStringLiteral("TFormWithDictionary"), QStringLiteral("Form"));
    w.EndProperties();
    w.BeginObject(QStringLiteral("TIvBinaryDictionary"), QStringLiteral("IvBinaryDictionary1"));
    WriteStoredDictionary(w, file);
    w.EndProperties();
    w.EndObject();
    w.EndObject();
    return w.Data();
}

struct Registered {
    explicit Registered(const QByteArray& data) { RegisterFormResource(QStringLiteral("TFormWithDictionary"), data); }
    ~Registered() { UnregisterFormResource(QStringLiteral("TFormWithDictionary")); }
};

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

    // A dictionary stored with its form reads what its file holds: the
    // file's languages, texts and locales written into the form's
    // description read back alike, whatever the file's format.
    void storedWithTheFormReadsLikeTheFile_data() {
        QTest::addColumn<bool>("utf16");
        QTest::addColumn<int>("contextKind");
        for (int kind : {0, 1, 2, 3})
            for (bool u : {false, true})
                QTest::newRow(qPrintable(QStringLiteral("%1 ctx%2").arg(u ? "UTF-16" : "8-bit").arg(kind))) << u << kind;
    }
    void storedWithTheFormReadsLikeTheFile() {
        QFETCH(bool, utf16);
        QFETCH(int, contextKind);
        auto entries = FixtureEntries();
        entries.push_back(FixtureEntry(QStringLiteral("Maß"), QStringLiteral("Maß"), QStringLiteral("Dimension"),
                                       QStringLiteral("Размер"), QStringLiteral("TLabel"), QStringLiteral("Label1")));
        TestDir dir;
        TIvMLDWriteOptions o;
        o.Utf16 = utf16;
        o.ContextKind = uint8_t(contextKind);
        const QString file = WriteFixture(dir.file("t.mld"), FixtureLanguages(), entries, o, {FixtureLocale()});
        Registered resource(FormStoringDictionary(file));
        for (int language : {2, 3}) {
            const Read expected = ReadAll(file, language, true);
            TFormWithDictionary form;
            TIvBinaryDictionary d(&form);
            d.setObjectName(QStringLiteral("IvBinaryDictionary1"));
            d.Storage = ivsEmbedded;
            QCOMPARE(d.FormResourceName(), QStringLiteral("TFormWithDictionary"));
            QCOMPARE(d.LanguageCount(), 4);
            QCOMPARE(d.LocaleCount(), 1);
            QCOMPARE(d.TranslationCount(), int(entries.size()));
            const Read got = ReadDictionary(d, language, true);
            QVERIFY(!expected.table.empty());
            QCOMPARE(got.table, expected.table);
            QCOMPARE(got.languages, expected.languages);
            QCOMPARE(got.localeText, expected.localeText);
            const TIvContext context{uint8_t(contextKind), {}, {}};
            QCOMPARE(d.ContextParts(), context.Parts());
        }
        TIvFormWriter refused;
        QVERIFY_THROWS_EXCEPTION(EIvException, WriteStoredDictionary(refused, dir.file("missing.mld")));
    }

    // Stored with the form, a language is complete when each entry has a
    // text of its own or of its fallback, as in the file: English (UK)
    // lists sublanguage 2 and falls back to English. "Colour" has its own
    // UK text; the second entry decides.
    void storedWithTheFormCompleteByFallback_data() {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("british");
        QTest::addColumn<bool>("complete");
        QTest::newRow("the fallback's text counts (not: only its own)") << "Cancel" << "" << true;
        QTest::newRow("its own text counts (not: only the fallback's)") << "" << "Cancel" << true;
        QTest::newRow("neither (not: any text of the language)") << "" << "" << false;
    }
    void storedWithTheFormCompleteByFallback() {
        QFETCH(QString, english);
        QFETCH(QString, british);
        QFETCH(bool, complete);
        auto languages = FixtureLanguages(false);
        TIvLanguage uk = FixtureLanguage(9, 2, "English (UK)", "English (UK)", 1252);
        uk.SubLanguages = QStringList{QStringLiteral("2")};
        languages.push_back(uk);
        const std::vector<TIvMLDEntry> entries{
            {QStringLiteral("Farbe"), {}, {}, {QStringLiteral("Farbe"), QStringLiteral("Color"), QStringLiteral("Colour")}},
            {QStringLiteral("Abbrechen"), {}, {}, {QStringLiteral("Abbrechen"), english, british}},
        };
        TestDir dir;
        const QString file = WriteFixture(dir.file("uk.mld"), languages, entries);
        Registered resource(FormStoringDictionary(file));
        TFormWithDictionary form;
        TIvBinaryDictionary d(&form);
        d.setObjectName(QStringLiteral("IvBinaryDictionary1"));
        d.Storage = ivsEmbedded;
        d.CheckLevel = ivclNone;
        QCOMPARE(d.LanguageCount(), 4);
        QCOMPARE(d.LanguageComplete(3), complete);
        // German has every text of its own either way.
        QVERIFY(d.LanguageComplete(1));
    }

    // Data versions 1 and 2 are read; a later one is refused by name. A
    // property not stored counts none; the dictionary is one of the form's
    // direct children; damaged locale data is no dictionary data.
    void storedDataVersionsAndErrors_data() {
        QTest::addColumn<int>("languages");
        QTest::addColumn<int>("translations");
        QTest::addColumn<int>("locales");
        QTest::addColumn<QString>("name");     // of the dictionary component
        QTest::addColumn<bool>("damagedLocale");
        QTest::addColumn<bool>("renamedAfterLoading");
        QTest::addColumn<QString>("message");  // "" for none
        const QString n = "IvBinaryDictionary1";
        QTest::newRow("version 2") << 2 << 2 << 2 << n << false << false << "";
        QTest::newRow("version 1") << 1 << 1 << 1 << n << false << false << "";
        QTest::newRow("names without regard to case") << 2 << 2 << 2 << "ivbinarydictionary1" << false << false << "";
        QTest::newRow("languages version 3") << 3 << 2 << 2 << n << false << false << "Unknown language data version: 3";
        QTest::newRow("translations version 3") << 2 << 3 << 2 << n << false << false
                                                << "Unknown translation data version: 3";
        QTest::newRow("locales version 3") << 2 << 2 << 3 << n << false << false << "Unknown locale data version: 3";
        QTest::newRow("no locales stored") << 2 << 2 << 0 << n << false << false << "";
        // Counting reads every locale record: a damaged one fails the loading.
        QTest::newRow("damaged locale") << 2 << 2 << 2 << n << true << false << "Invalid property value";
        QTest::newRow("locale data gone after loading") << 2 << 2 << 2 << n << false << true
                                                        << "No dictionary data! Set the FileName property.";
    }
    void storedDataVersionsAndErrors() {
        QFETCH(int, languages);
        QFETCH(int, translations);
        QFETCH(int, locales);
        QFETCH(QString, name);
        QFETCH(bool, damagedLocale);
        QFETCH(bool, renamedAfterLoading);
        QFETCH(QString, message);
        StoredVersions v;
        v.languages = languages;
        v.translations = translations;
        v.locales = locales;
        v.damagedLocale = damagedLocale;
        Registered resource(StoredForm(v));
        TFormWithDictionary form;
        TIvBinaryDictionary d(&form);
        d.setObjectName(name);
        d.Storage = ivsEmbedded;
        d.CheckLevel = ivclNone;
        d.Binding = ivbiNone;
        QString got;
        int localeCount = -1;
        TIvLocale locale;
        try {
            d.Loaded();
            if (renamedAfterLoading) d.setObjectName(QStringLiteral("Renamed"));
            localeCount = d.LocaleCount();
            if (localeCount > 0) d.GetLocale(0, locale);
        } catch (const EIvException& e) {
            got = e.Message();
        }
        QCOMPARE(got, message);
        if (!message.isEmpty()) return;
        QCOMPARE(localeCount, locales ? 1 : 0);
        if (locales) {
            QCOMPARE(locale.CurrencySymbol, QStringLiteral("DM"));
            QCOMPARE(locale.LongMonthNames[2], QStringLiteral("März"));
            QCOMPARE(locale.LongDayNames[6], QStringLiteral("Sonntag"));
            QCOMPARE(locale.DateSeparator, QChar(u'.'));
            QCOMPARE(int(locale.Kept), 1);
        }
        QCOMPARE(d.LanguageCount(), 3);
        QCOMPARE(d.TranslationCount(), 2);
        TIvLanguage german;
        d.GetLanguage(1, german);
        QCOMPARE(german.EnglishName, QStringLiteral("German"));
        QCOMPARE(german.FontName, QStringLiteral("Arial"));
        QCOMPARE(german.FontSize, 9);
        QCOMPARE(german.Flags, uint8_t(1));
        QCOMPARE(german.SubLanguages, (QStringList{"1", "3"}));
        QVERIFY_THROWS_EXCEPTION(ERangeError, d.GetLanguage(3, german));
        d.SetLanguage(2);
        d.Open();
        // English: "Travel" has no English text and stays out of the table.
        QCOMPARE(d.Table().size(), size_t(1));
        QCOMPARE(IvTranslate(QStringLiteral("Directory")), QStringLiteral("Directory (en)"));
        d.SetLanguage(1);
        QCOMPARE(IvTranslate(QStringLiteral("Travel")), QStringLiteral("Weg"));
        // German has both texts; English lacks "Travel", so it is not
        // complete though it has a text.
        QVERIFY(d.LanguageComplete(1));
        QVERIFY(!d.LanguageComplete(2));
        QVERIFY(d.LanguageComplete(0));
        QVERIFY(!d.LanguageComplete(-1));
        QVERIFY(!d.LanguageComplete(3));
    }

    void formProperty_data() {
        QTest::addColumn<QString>("resource");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("message");  // "" found
        const QString f = "TFormWithDictionary", c = "TIvBinaryDictionary";
        QTest::newRow("found") << f << c << "IvBinaryDictionary1" << "Storage" << "";
        QTest::newRow("a later property") << f << c << "IvBinaryDictionary1" << "Locales" << "";
        QTest::newRow("no such property") << f << c << "IvBinaryDictionary1" << "Targets" << "Could not find the property";
        QTest::newRow("no such component") << f << c << "Other" << "Storage" << "Could not find the property";
        QTest::newRow("another class of that name") << f << "TPanel" << "IvBinaryDictionary1" << "Storage"
                                                    << "Could not find the property";
        QTest::newRow("only direct children") << f << c << "Nested" << "Storage" << "Could not find the property";
        QTest::newRow("the form's own property") << f << "TFormWithDictionary" << "FormWithDictionary" << "Caption"
                                                 << "Could not find the property";
        QTest::newRow("no such resource") << "TOtherForm" << c << "IvBinaryDictionary1" << "Storage"
                                          << "Resource TOtherForm not found";
    }
    void formProperty() {
        QFETCH(QString, resource);
        QFETCH(QString, className);
        QFETCH(QString, object);
        QFETCH(QString, property);
        QFETCH(QString, message);
        Registered registered(StoredForm({}));
        try {
            auto reader = ReadFormProperty(resource, className, object, property);
            QVERIFY(message.isEmpty());
            if (property == QLatin1String("Storage")) QCOMPARE(reader->ReadInteger(), 1);
            else reader->ReadListBegin();
        } catch (const EResNotFound& e) {
            QCOMPARE(e.Message(), message);
        }
    }

    // A damaged description ends in the reader's error, never in a read
    // past its end.
    void damagedDescriptions_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("message");
        const QByteArray good = StoredForm({});
        const qsizetype storage = good.indexOf("Storage");
        QTest::newRow("cut in a name") << good.left(12) << "Stream read error";
        QTest::newRow("cut before the wanted property") << good.left(storage) << "Stream read error";
        QTest::newRow("cut in the value") << good.left(storage + 9) << "Stream read error";
        QTest::newRow("another signature") << QByteArray("XXXX").append(good.mid(4)) << "Invalid stream format";
        QTest::newRow("unknown value kind") << QByteArray(good).replace(good.indexOf("Stored") - 5, 1, "\x09")
                                            << "Invalid property value";
        QTest::newRow("a string longer than the data")
            << QByteArray(good).replace(good.indexOf("Stored") - 4, 4, QByteArray("\xff\xff\xff\x7f", 4))
            << "Stream read error";
    }
    void damagedDescriptions() {
        QFETCH(QByteArray, data);
        QFETCH(QString, message);
        Registered resource(data);
        try {
            ReadFormProperty(QStringLiteral("TFormWithDictionary"), QStringLiteral("TIvBinaryDictionary"),
                             QStringLiteral("IvBinaryDictionary1"), QStringLiteral("Storage"))
                ->ReadInteger();
            QFAIL("no exception");
        } catch (const EReadError& e) {
            QCOMPARE(e.Message(), message);
        }
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
