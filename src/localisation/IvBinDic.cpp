#include "localisation/IvBinDic.h"

#include "platform/TableFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

const char* const kMlDictionaryResource = ":/MLDICT/MlDictionary";

namespace {

// The file of a dictionary name without regard to case, as every other file
// of the system: the settings name them "KORVA32.mld", the build writes
// "Korva32.mld". Empty when there is none.
QString ExistingNoCase(const QString& path) {
    const QFileInfo info(path);
    if (info.isFile()) return info.absoluteFilePath();
    const QString found = FindFileNoCase(info.path(), info.fileName());
    return found.isEmpty() ? QString() : QFileInfo(found).absoluteFilePath();
}

}  // namespace

QString TIvCustomFileDictionary::FileName() {
    if (Storage != ivsFile || m_fileName.isEmpty()) return m_fileName;
    QString found = ExistingNoCase(m_fileName);
    // A bare name is looked up in the current directory, then beside the
    // program.
    if (found.isEmpty() && !m_fileName.contains(u'/') && !m_fileName.contains(u'\\'))
        found = ExistingNoCase(QDir(QCoreApplication::applicationDirPath()).filePath(m_fileName));
    if (!found.isEmpty()) m_fileName = found;
    return m_fileName;
}

bool TIvCustomFileDictionary::CanOpen() {
    if (Storage != ivsFile) return true;
    const QString name = FileName();
    return !name.isEmpty() && QFileInfo::exists(name);
}

TIvBinaryDictionary::~TIvBinaryDictionary() = default;

std::unique_ptr<TIvMLDFile> TIvBinaryDictionary::OpenData() {
    const QString name = FileName();
    if (name.isEmpty()) throw EIvException(QStringLiteral("No FileName property set"));
    auto reader = std::make_unique<TIvMLDFile>(this);
    if (Storage == ivsFile) {
        const QFileInfo info(name);
        const qint64 time = info.lastModified().toMSecsSinceEpoch();
        if (name != m_dataPath || info.size() != m_dataSize || time != m_dataTime || m_data.isNull()) {
            QFile file(name);
            if (!file.open(QIODevice::ReadOnly))
                throw EIvException(QStringLiteral("Cannot open file \"%1\". %2").arg(name, file.errorString()));
            m_data = file.readAll();
            m_dataPath = name;
            m_dataSize = info.size();
            m_dataTime = time;
        }
        reader->OpenData(m_data);
    } else {
        QFile resource(QString::fromLatin1(kMlDictionaryResource));
        if (!resource.open(QIODevice::ReadOnly)) throw EResNotFound(QStringLiteral("Resource MlDictionary not found"));
        reader->OpenData(resource.readAll());
    }
    const uint8_t kind = reader->Header().ContextKind;
    SetContextParts(TIvContext{kind, {}, {}}.Parts());
    return reader;
}

// ---- data stored with the form ----

namespace {

constexpr int kStoredDataVersion = 2;

int ReadDataVersion(TIvReader& r, const char* what) {
    const int version = r.ReadInteger();
    if (version > kStoredDataVersion)
        throw EIvException(QStringLiteral("Unknown %1 data version: %2").arg(QLatin1String(what)).arg(version));
    return version;
}

void ReadStoredLanguage(TIvReader& r, int version, TIvLanguage& l) {
    l = TIvLanguage{};
    r.ReadListBegin();
    l.PrimaryId = r.ReadInteger();
    TIvStringParser subs(r.ReadString(), u',');
    while (!subs.EndOfText()) {
        const int sub = subs.NextInteger();
        if (sub > 0) l.SubLanguages.append(QString::number(sub));
    }
    l.SubLanguage = r.ReadInteger();
    if (version >= 2) l.Charset = uint8_t(r.ReadInteger());
    l.CodePage = r.ReadInteger();
    l.EnglishName = r.ReadString();
    l.NativeName = r.ReadString();
    l.FontName = r.ReadString();
    l.FontSize = r.ReadInteger();
    const bool bit0 = r.ReadBoolean();
    const bool bit1 = r.ReadBoolean();
    l.Flags = uint8_t((bit0 ? 1 : 0) | (bit1 ? 2 : 0));
    r.ReadListEnd();
    l.Complete();
}

void ReadStoredLocale(TIvReader& r, int version, TIvLocale& l) {
    l = TIvLocale{};
    r.ReadListBegin();
    l.PrimaryId = r.ReadInteger();
    l.SubLanguage = r.ReadInteger();
    if (version >= 2) l.Charset = uint8_t(r.ReadInteger());
    l.CodePage = r.ReadInteger();
    l.Kept = r.ReadBoolean() ? 1 : 0;
    for (QString* name : {&l.EnglishLanguage, &l.EnglishCountry, &l.NativeLanguage, &l.NativeCountry,
                          &l.AbbrevLanguage, &l.Country})
        *name = r.ReadString();
    l.Measure = uint8_t(r.ReadInteger());
    l.CurrencySymbol = r.ReadString();
    for (uint8_t* b : {&l.CurrencyFormat, &l.NegCurrencyFormat, &l.CurrencyDecimals}) *b = uint8_t(r.ReadInteger());
    for (QChar* c : {&l.ThousandSeparator, &l.DecimalSeparator, &l.DateSeparator}) *c = r.ReadChar();
    l.ShortDateFormat = r.ReadString();
    l.LongDateFormat = r.ReadString();
    l.TimeSeparator = r.ReadChar();
    l.AmString = r.ReadString();
    l.PmString = r.ReadString();
    l.LeadingZeroHours = r.ReadBoolean() ? 1 : 0;
    for (uint8_t* b : {&l.TimeFormat, &l.AmPmPosition, &l.CalendarType, &l.OptionalCalendar, &l.FirstDayOfWeek,
                       &l.FirstWeekOfYear})
        *b = uint8_t(r.ReadInteger());
    for (auto* names : {&l.ShortMonthNames, &l.LongMonthNames})
        for (QString& n : *names) n = r.ReadString();
    for (auto* names : {&l.ShortDayNames, &l.LongDayNames})
        for (QString& n : *names) n = r.ReadString();
    r.ReadListEnd();
    l.Complete();
}

// The head of the stored translations: list begin, version, context kind,
// count. Returns the count.
int ReadTranslationsHead(TIvReader& r, uint8_t& kind) {
    r.ReadListBegin();
    const int version = ReadDataVersion(r, "translation");
    kind = version >= 2 ? uint8_t(r.ReadInteger()) : 0;
    return r.ReadInteger();
}

// One stored translation: the native text, the context strings its kind
// gives, then the texts of languages 1, 2, ... (as many as were stored).
void ReadStoredTranslation(TIvReader& r, uint8_t kind, TIvTranslation& e, QStringList& texts) {
    const TIvContext c{kind, {}, {}};
    r.ReadListBegin();
    e.Native = r.ReadString();
    e.Context1 = c.HasFirst() ? r.ReadString() : QString();
    e.Context2 = c.HasSecond() ? r.ReadString() : QString();
    texts.clear();
    while (!r.EndOfList()) texts << r.ReadString();
    r.ReadListEnd();
}

}  // namespace

QString TIvBinaryDictionary::FormResourceName() const {
    return parent() ? QString::fromLatin1(parent()->metaObject()->className()) : QString();
}

std::unique_ptr<TIvReader> TIvBinaryDictionary::StoredProperty(const QString& name) const {
    return ReadFormProperty(FormResourceName(), QString::fromLatin1(metaObject()->className()), objectName(), name);
}

void TIvBinaryDictionary::Loaded() {
    m_loaded = true;
    m_storedLanguages = m_storedTranslations = m_storedLocales = 0;
    if (!Embedded()) return;
    const std::pair<const char*, void (TIvBinaryDictionary::*)(TIvReader&)> handlers[] = {
        {"Languages", &TIvBinaryDictionary::ReadLanguages},
        {"Translations", &TIvBinaryDictionary::ReadTranslations},
        {"Locales", &TIvBinaryDictionary::ReadLocales}};
    for (const auto& [name, handler] : handlers) {
        std::unique_ptr<TIvReader> reader;
        try {
            reader = StoredProperty(QString::fromLatin1(name));
        } catch (const EResNotFound&) {
            continue;  // not stored: nothing to count
        }
        (this->*handler)(*reader);
    }
}

void TIvBinaryDictionary::EnsureLoaded() {
    if (!m_loaded) Loaded();
}

// The read handlers only count; the records are read again when asked for.
void TIvBinaryDictionary::ReadLanguages(TIvReader& r) {
    r.ReadListBegin();
    const int version = ReadDataVersion(r, "language");
    const int count = r.ReadInteger();
    TIvLanguage l;
    for (int i = 0; i < count; ++i) ReadStoredLanguage(r, version, l);
    r.ReadListEnd();
    m_storedLanguages = count;
}

void TIvBinaryDictionary::ReadTranslations(TIvReader& r) {
    uint8_t kind = 0;
    const int count = ReadTranslationsHead(r, kind);
    for (int i = 0; i < count; ++i) r.SkipValue();
    r.ReadListEnd();
    SetContextParts(TIvContext{kind, {}, {}}.Parts());
    m_storedTranslations = count;
}

void TIvBinaryDictionary::ReadLocales(TIvReader& r) {
    r.ReadListBegin();
    const int version = ReadDataVersion(r, "locale");
    const int count = r.ReadInteger();
    TIvLocale l;
    for (int i = 0; i < count; ++i) ReadStoredLocale(r, version, l);
    r.ReadListEnd();
    m_storedLocales = count;
}

// ---- counts and records ----

int TIvBinaryDictionary::LanguageCount() {
    if (Embedded()) {
        EnsureLoaded();
        return m_storedLanguages;
    }
    return OpenData()->LanguageCount();
}

void TIvBinaryDictionary::GetLanguage(int index, TIvLanguage& language) {
    if (!Embedded()) {
        language = OpenData()->GetLanguageRecord(index);
        return;
    }
    if (index < 0 || index >= LanguageCount()) throw ERangeError(QStringLiteral("Out of language range"));
    auto r = StoredProperty(QStringLiteral("Languages"));
    r->ReadListBegin();
    const int version = ReadDataVersion(*r, "language");
    r->ReadInteger();
    for (int i = 0; i <= index; ++i) ReadStoredLanguage(*r, version, language);
}

int TIvBinaryDictionary::LocaleCount() {
    if (Embedded()) {
        EnsureLoaded();
        return m_storedLocales;
    }
    return OpenData()->LocaleCount();
}

void TIvBinaryDictionary::GetLocale(int index, TIvLocale& locale) {
    if (!Embedded()) {
        locale = OpenData()->GetLocaleRecord(index);
        return;
    }
    try {
        if (index < 0 || index >= LocaleCount()) throw ERangeError(QStringLiteral("Out of locale range"));
        auto r = StoredProperty(QStringLiteral("Locales"));
        r->ReadListBegin();
        const int version = ReadDataVersion(*r, "locale");
        r->ReadInteger();
        for (int i = 0; i <= index; ++i) ReadStoredLocale(*r, version, locale);
    } catch (const std::exception&) {
        throw EIvMulti(QStringLiteral("No dictionary data! Set the FileName property."));
    }
}

int TIvBinaryDictionary::TranslationCount() {
    if (!Embedded()) return TIvCustomDictionary::TranslationCount();
    EnsureLoaded();
    return m_storedTranslations;
}

bool TIvBinaryDictionary::LanguageComplete(int index) {
    if (index < 0 || index >= LanguageCount()) return false;
    // The first language's texts are the native texts themselves.
    if (index == 0) return true;
    TIvLanguage language;
    GetLanguage(index, language);
    const int fallback = FallbackOf(language);
    if (Embedded()) {
        auto r = StoredProperty(QStringLiteral("Translations"));
        uint8_t kind = 0;
        const int count = ReadTranslationsHead(*r, kind);
        TIvTranslation entry;
        QStringList texts;
        const auto has = [&texts](int l) { return l >= 1 && l - 1 < texts.size() && !texts[l - 1].isEmpty(); };
        for (int i = 0; i < count; ++i) {
            ReadStoredTranslation(*r, kind, entry, texts);
            if (!has(index) && !has(fallback)) return false;
        }
        return true;
    }
    auto reader = OpenData();
    const int count = reader->TranslationCount();
    reader->SeekTranslations();
    TIvTranslation entry;
    for (int i = 0; i < count; ++i)
        if (reader->ReadTranslation(entry, index, language.CodePage, fallback) == 2) return false;
    return true;
}

void TIvBinaryDictionary::LoadTranslations(std::vector<TIvTranslation>& table) {
    if (Embedded()) {
        // Only the current language's text and its fallback's are kept.
        auto r = StoredProperty(QStringLiteral("Translations"));
        uint8_t kind = 0;
        const int count = ReadTranslationsHead(*r, kind);
        SetContextParts(TIvContext{kind, {}, {}}.Parts());
        table.reserve(size_t(std::max(count, 0)));
        TIvTranslation entry;
        QStringList texts;
        const auto text = [&texts](int language) {
            return language >= 1 && language - 1 < texts.size() ? texts[language - 1] : QString();
        };
        for (int i = 0; i < count; ++i) {
            ReadStoredTranslation(*r, kind, entry, texts);
            const QString current = text(CurrentIndex()), fallback = text(FallbackIndex());
            entry.Status = !current.isEmpty() ? 0 : !fallback.isEmpty() ? 1 : 2;
            entry.Translation = entry.Status == 0 ? current : fallback;
            if (entry.Status != 2) table.push_back(entry);
        }
        return;
    }
    auto reader = OpenData();
    const int codePage = CurrentLanguage().CodePage;
    const int count = reader->TranslationCount();
    reader->SeekTranslations();
    table.reserve(size_t(count));
    TIvTranslation entry;
    for (int i = 0; i < count; ++i) {
        if (reader->ReadTranslation(entry, CurrentIndex(), codePage, FallbackIndex()) != 2) table.push_back(entry);
    }
}

// ---- writing the stored properties ----

void WriteStoredDictionary(TIvFormWriter& w, const QString& fileName) {
    if (!QFileInfo(fileName).isFile())
        throw EIvException(QStringLiteral("File \"%1\" does not exist").arg(fileName));
    TIvMLDFile file;
    file.OpenFile(fileName);
    const int languages = file.LanguageCount();
    std::vector<int> codePages;

    w.Property(QStringLiteral("Languages"));
    w.WriteListBegin();
    w.WriteInteger(kStoredDataVersion);
    w.WriteInteger(languages);
    for (int i = 0; i < languages; ++i) {
        const TIvLanguage l = file.GetLanguageRecord(i);
        codePages.push_back(l.CodePage);
        w.WriteListBegin();
        w.WriteInteger(l.PrimaryId);
        w.WriteString(l.SubLanguages.join(u','));
        w.WriteInteger(l.SubLanguage);
        w.WriteInteger(l.Charset);
        w.WriteInteger(l.CodePage);
        w.WriteString(l.EnglishName);
        w.WriteString(l.NativeName);
        w.WriteString(l.FontName);
        w.WriteInteger(l.FontSize);
        w.WriteBoolean(l.Flags & 1);
        w.WriteBoolean(l.Flags & 2);
        w.WriteListEnd();
    }
    w.WriteListEnd();

    const uint8_t kind = file.Header().ContextKind;
    const TIvContext context{kind, {}, {}};
    w.Property(QStringLiteral("Translations"));
    w.WriteListBegin();
    w.WriteInteger(kStoredDataVersion);
    w.WriteInteger(kind);
    w.WriteInteger(file.TranslationCount());
    if (file.TranslationCount() > 0) file.SeekTranslations();
    for (int i = 0; i < file.TranslationCount(); ++i) {
        w.WriteListBegin();
        w.WriteString(file.ReadString(0));
        TIvContext c;
        file.ReadContexts(c);
        if (context.HasFirst()) w.WriteString(c.Context1);
        if (context.HasSecond()) w.WriteString(c.Context2);
        for (int l = 1; l < languages; ++l) w.WriteString(file.ReadString(codePages[size_t(l)]));
        w.WriteListEnd();
    }
    w.WriteListEnd();

    w.Property(QStringLiteral("Locales"));
    w.WriteListBegin();
    w.WriteInteger(kStoredDataVersion);
    w.WriteInteger(file.LocaleCount());
    for (int i = 0; i < file.LocaleCount(); ++i) {
        const TIvLocale l = file.GetLocaleRecord(i);
        w.WriteListBegin();
        w.WriteInteger(l.PrimaryId);
        w.WriteInteger(l.SubLanguage);
        w.WriteInteger(l.Charset);
        w.WriteInteger(l.CodePage);
        w.WriteBoolean(l.Kept != 0);
        for (const QString* name : {&l.EnglishLanguage, &l.EnglishCountry, &l.NativeLanguage, &l.NativeCountry,
                                    &l.AbbrevLanguage, &l.Country})
            w.WriteString(*name);
        w.WriteInteger(l.Measure);
        w.WriteString(l.CurrencySymbol);
        for (uint8_t b : {l.CurrencyFormat, l.NegCurrencyFormat, l.CurrencyDecimals}) w.WriteInteger(b);
        for (QChar c : {l.ThousandSeparator, l.DecimalSeparator, l.DateSeparator}) w.WriteChar(c);
        w.WriteString(l.ShortDateFormat);
        w.WriteString(l.LongDateFormat);
        w.WriteChar(l.TimeSeparator);
        w.WriteString(l.AmString);
        w.WriteString(l.PmString);
        w.WriteBoolean(l.LeadingZeroHours != 0);
        for (uint8_t b : {l.TimeFormat, l.AmPmPosition, l.CalendarType, l.OptionalCalendar, l.FirstDayOfWeek,
                          l.FirstWeekOfYear})
            w.WriteInteger(b);
        for (const auto* names : {&l.ShortMonthNames, &l.LongMonthNames})
            for (const QString& n : *names) w.WriteString(n);
        for (const auto* names : {&l.ShortDayNames, &l.LongDayNames})
            for (const QString& n : *names) w.WriteString(n);
        w.WriteListEnd();
    }
    w.WriteListEnd();
}
