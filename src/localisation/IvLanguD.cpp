#include "localisation/IvLanguD.h"

#include "localisation/IvDictio.h"
#include "localisation/IvNls.h"

#include <QLocale>
#include <algorithm>
#include <initializer_list>

namespace {

struct CodePageRow {
    std::initializer_list<uint32_t> primaries;
    int codePage;
};

// Code pages by primary language where the platform has none; Chinese (4),
// Serbo-Croatian (26) and Azeri/Uzbek (44, 67) depend on the sublanguage and
// are handled before this table.
const CodePageRow kCodePages[] = {
    {{1, 41}, 1256}, {{2, 25, 34, 35}, 1251}, {{5, 14, 21, 24, 27, 28, 36}, 1250}, {{8}, 1253},
    {{13}, 1255},    {{17}, 932},              {{18}, 949},                        {{30}, 874},
    {{31}, 1254},    {{37, 38, 39}, 1257},     {{42}, 1258},
};

const std::pair<int, uint8_t> kCharsets[] = {
    {1252, 0},   {1250, 238}, {1251, 204}, {1253, 161}, {1254, 162}, {1255, 177}, {1256, 178}, {1257, 186},
    {874, 222},  {932, 128},  {936, 134},  {949, 129},  {950, 136},  {1361, 130}, {1258, 163},
};

struct EuroRow {
    uint32_t primary;
    std::initializer_list<uint32_t> subs;
};
const EuroRow kEuro[] = {{7, {1, 3, 4}}, {9, {6}},  {10, {1}}, {11, {1}}, {16, {1}},
                         {12, {1, 2, 5}}, {19, {1, 2}}, {22, {2}}, {29, {2}}};

bool Contains(std::initializer_list<uint32_t> list, uint32_t v) {
    return std::find(list.begin(), list.end(), v) != list.end();
}

int ChineseCodePage(uint32_t sub) {
    return Contains({1, 3, 5}, sub) ? 950 : 936;
}

QString FirstWord(const QString& s) {
    return s.section(u' ', 0, 0);
}

QString BeforeParen(const QString& s) {
    const qsizetype p = s.indexOf(u'(');
    return (p < 0 ? s : s.left(p)).trimmed();
}

QString Translated(const QString& s, bool translate, TIvDictionary* dictionary) {
    if (!translate) return s;
    if (!dictionary && Dictionaries().Count() > 0) dictionary = Dictionaries().Items(0);
    return TranslateWord(dictionary, s);
}

QString SystemEnglishLanguage(uint32_t lcid) {
    const NlsEntry* e = NlsFind(lcid);
    return e ? QString::fromLatin1(e->englishLanguage) : QString();
}

}  // namespace

int CodePageOfLanguage(uint32_t langId) {
    const uint32_t primary = PrimaryLangId(langId), sub = SubLangId(langId);
    int cp = primary == 4 ? ChineseCodePage(sub) : NlsDefaultAnsiCodePage(MakeLcid(langId));
    if (cp >= 1) return cp;
    if (primary == 4) return ChineseCodePage(sub);
    if (primary == 26) return sub == 1 || sub == 2 ? 1250 : 1251;
    if (primary == 44 || primary == 67) return sub == 2 ? 1251 : 1254;
    for (const CodePageRow& row : kCodePages)
        if (Contains(row.primaries, primary)) return row.codePage;
    return 1252;
}

uint8_t CharsetOfCodePage(int codePage) {
    for (const auto& [cp, cs] : kCharsets)
        if (cp == codePage) return cs;
    return 1;
}

TIvScriptKind ScriptKindOfLanguage(uint32_t primary) {
    if (Contains({4, 17, 18}, primary)) return ivskMultiByte;
    if (Contains({1, 13, 41}, primary)) return ivskRightToLeft;
    return ivskNormal;
}

bool IsEuroCountry(uint32_t primary, uint32_t sub) {
    for (const EuroRow& row : kEuro)
        if (row.primary == primary) return Contains(row.subs, sub);
    return false;
}

QString LanguageDisplayName(const QString& englishName, uint32_t primary, int codePage, bool translate,
                            TIvDictionary* dictionary) {
    QString name = englishName, qualifier;
    switch (primary) {
    case 10: case 20: name = FirstWord(englishName); break;
    case 4:
        name = BeforeParen(englishName);
        qualifier = codePage == 950 ? QStringLiteral("Traditional") : codePage == 936 ? QStringLiteral("Simplified") : QString();
        break;
    case 18:
        name = BeforeParen(englishName);
        qualifier = codePage == 1361 ? QStringLiteral("Johab") : codePage == 949 ? QStringLiteral("Wansung") : QString();
        break;
    case 26: case 44: case 67: {
        name = FirstWord(englishName);
        const int latin = primary == 26 ? 1250 : 1254;
        qualifier = codePage == latin ? QStringLiteral("Latin") : codePage == 1251 ? QStringLiteral("Cyrillic") : QString();
        break;
    }
    default: break;
    }
    name = Translated(name, translate, dictionary);
    if (!qualifier.isEmpty()) name += QStringLiteral(", ") + Translated(qualifier, translate, dictionary);
    return name;
}

// ---- TIvLanguage ----

uint32_t TIvLanguage::Lcid() const {
    if (PrimaryId == 0) return MakeLcid(MakeLangId(uint32_t(SubLanguage), 0));
    return MakeLcid(MakeLangId(uint32_t(PrimaryId), uint32_t(SubLanguage)));
}

uint32_t TIvLanguage::OwnLocale() const {
    return MakeLcid(MakeLangId(uint32_t(PrimaryId), uint32_t(LocaleSubLanguage)));
}

bool TIvLanguage::InSubLanguages(int sub) const {
    for (const QString& s : SubLanguages)
        if (s.toInt() == sub) return true;
    return false;
}

int TIvLanguage::EffectiveSubLanguage() const {
    if (SubLanguages.isEmpty()) return 0;
    return InSubLanguages(SubLanguage) ? SubLanguage : SubLanguages.first().toInt();
}

void TIvLanguage::SetSubLanguage(int sub) {
    if (PrimaryId == 0 || EffectiveSubLanguage() == sub) return;
    if (sub == 0) {
        SubLanguage = 0;
        SubLanguages.clear();
        Locales.clear();
        return;
    }
    SubLanguage = sub;
    if (!InSubLanguages(sub)) SubLanguages.append(QString::number(sub));
}

void TIvLanguage::Complete() {
    if (PrimaryId < 0) PrimaryId = 0;
    if (PrimaryId == 0) {
        SubLanguage = 0;
        SubLanguages.clear();
        Flags = 2;
        EnglishName = NativeName = QStringLiteral("Native");
    } else {
        if (SubLanguage < 1) SubLanguage = SubLanguages.isEmpty() ? 1 : SubLanguages.first().toInt();
        const NlsEntry* e = NlsFind(Lcid());
        if (Iso639.isEmpty() && e) Iso639 = QString::fromLatin1(e->iso639);
        if (Iso3166.isEmpty() && e) Iso3166 = QString::fromLatin1(e->iso3166);
        if (CodePage == 0) CodePage = CodePageOfLanguage(MakeLangId(uint32_t(PrimaryId), uint32_t(SubLanguage)));
        if (CodePage == 0) CodePage = 1252;
        if (EnglishName.isEmpty() && e)
            EnglishName = LanguageDisplayName(QString::fromLatin1(e->englishLanguage), uint32_t(PrimaryId), CodePage);
        if (NativeName.isEmpty() && e) NativeName = NlsQLocale(Lcid()).nativeLanguageName();
    }
    if (LocaleSubLanguage == 0) LocaleSubLanguage = SubLanguage;
    if (Charset == 0) Charset = CharsetOfCodePage(CodePage);
}

bool TIvLanguage::Matches(const TIvLanguage& other) const {
    return PrimaryId == other.PrimaryId && (PrimaryId == 0 || CodePage == other.CodePage);
}

void TIvLanguage::GetDisplayName(int mode, TIvDictionary* dictionary, QString& name) const {
    const QString base = mode == 1 ? NativeName : EnglishName;
    name = LanguageDisplayName(base, uint32_t(PrimaryId), CodePage, mode == 2, dictionary);
}

// ---- TIvLocale ----

uint32_t TIvLocale::Lcid() const {
    return MakeLcid(MakeLangId(uint32_t(PrimaryId), uint32_t(SubLanguage)), uint32_t(SortId));
}

void TIvLocale::Complete() {
    TIvLocale system;
    if (ReadSystemLocale(Lcid(), system)) {
        if (EnglishLanguage.isEmpty()) EnglishLanguage = system.EnglishLanguage;
        if (EnglishCountry.isEmpty()) EnglishCountry = system.EnglishCountry;
        if (NativeLanguage.isEmpty()) NativeLanguage = system.NativeLanguage;
        if (NativeCountry.isEmpty()) NativeCountry = system.NativeCountry;
    }
    if (CodePage == 0) CodePage = NlsDefaultAnsiCodePage(Lcid());
    if (CodePage == 0) CodePage = 1252;
    if (Charset == 0) Charset = NlsFind(Lcid()) ? CharsetOfCodePage(CodePage) : 1;
}

void TIvLocale::GetDisplayName(int mode, TIvDictionary* dictionary, QString& name) const {
    const QString language = mode == 1 ? NativeLanguage : EnglishLanguage;
    const QString country = mode == 1 ? NativeCountry : EnglishCountry;
    name = LanguageDisplayName(language, uint32_t(PrimaryId), CodePage, mode == 2, dictionary);
    if (!country.isEmpty()) name += QStringLiteral(" (") + Translated(country, mode == 2, dictionary) + u')';
}

namespace {

QChar FirstChar(const QString& s) {
    return s.isEmpty() ? QChar() : s[0];
}

void ReadCurrency(const QLocale& q, TIvLocale& l) {
    l.CurrencySymbol = q.currencySymbol();
    const QString sample = q.toCurrencyString(1.0);
    const bool before = sample.startsWith(l.CurrencySymbol);
    const bool spaced = sample.contains(u' ') || sample.contains(QChar(0xA0));
    l.CurrencyFormat = uint8_t((before ? 0 : 1) + (spaced ? 2 : 0));
    l.NegCurrencyFormat = before ? (spaced ? 9 : 1) : (spaced ? 8 : 5);
    l.CurrencyDecimals = 2;
}

void ReadTime(const QLocale& q, TIvLocale& l) {
    const QString fmt = q.timeFormat(QLocale::ShortFormat);
    const bool twelve = fmt.contains(u'a', Qt::CaseInsensitive);
    l.TimeFormat = twelve ? 0 : 1;
    l.LeadingZeroHours = fmt.contains(QStringLiteral("hh"), Qt::CaseInsensitive) ? 1 : 0;
    l.AmPmPosition = twelve && fmt.indexOf(u'a', 0, Qt::CaseInsensitive) < fmt.indexOf(u'h', 0, Qt::CaseInsensitive) ? 1 : 0;
    const qsizetype m = fmt.indexOf(u'm');
    l.TimeSeparator = m > 0 ? fmt[m - 1] : QChar(u':');
    l.AmString = q.amText();
    l.PmString = q.pmText();
}

}  // namespace

bool ReadSystemLocale(uint32_t lcid, TIvLocale& l) {
    lcid = NlsResolve(lcid);
    const NlsEntry* e = NlsFind(lcid);
    if (!e) return false;
    const QLocale q = NlsQLocale(lcid);
    l.CodePage = e->ansiCodePage;
    l.PrimaryId = int32_t(PrimaryLangId(lcid));
    l.SubLanguage = int32_t(SubLangId(lcid));
    l.SortId = int32_t(SortId(lcid));
    l.Iso639 = QString::fromLatin1(e->iso639);
    l.Iso3166 = QString::fromLatin1(e->iso3166);
    l.Charset = CharsetOfCodePage(l.CodePage);
    l.EnglishLanguage = SystemEnglishLanguage(lcid);
    l.EnglishCountry = QString::fromLatin1(e->englishCountry);
    l.NativeLanguage = q.nativeLanguageName();
    l.NativeCountry = q.nativeTerritoryName();
    l.AbbrevLanguage = (l.Iso639 + l.Iso3166.left(1)).toUpper();
    l.Country = l.EnglishCountry;
    l.Measure = q.measurementSystem() == QLocale::MetricSystem ? 0 : 1;
    ReadCurrency(q, l);
    l.ThousandSeparator = FirstChar(q.groupSeparator());
    l.DecimalSeparator = FirstChar(q.decimalPoint());
    l.ShortDateFormat = q.dateFormat(QLocale::ShortFormat);
    l.LongDateFormat = q.dateFormat(QLocale::LongFormat);
    const qsizetype dm = l.ShortDateFormat.indexOf(u'M');
    l.DateSeparator = dm > 0 ? l.ShortDateFormat[dm - 1] : QChar(u'/');
    ReadTime(q, l);
    l.CalendarType = 1;
    l.OptionalCalendar = 0;
    l.FirstDayOfWeek = uint8_t(int(q.firstDayOfWeek()) - 1);
    l.FirstWeekOfYear = 0;
    for (int i = 0; i < 12; ++i) {
        l.ShortMonthNames[i] = q.monthName(i + 1, QLocale::ShortFormat);
        l.LongMonthNames[i] = q.monthName(i + 1, QLocale::LongFormat);
    }
    for (int i = 0; i < 7; ++i) {
        l.ShortDayNames[i] = q.dayName(i + 1, QLocale::ShortFormat);
        l.LongDayNames[i] = q.dayName(i + 1, QLocale::LongFormat);
    }
    return true;
}

// ---- format settings ----

QString EuroCurrencyString(const TIvLocale& locale, TIvEuro euro, const QDate& today) {
    if (euro == iveIgnore) return locale.CurrencySymbol;
    int phase = 0;
    if (IsEuroCountry(uint32_t(locale.PrimaryId), uint32_t(locale.SubLanguage))) {
        if (today < QDate(1999, 1, 1)) phase = 1;
        else if (today < QDate(2002, 1, 1)) phase = 2;
        else if (today < QDate(2002, 7, 1)) phase = 3;
        else phase = 4;
    }
    const QString euroSign(QChar(0x20AC));  // byte 0x80 of code page 1252
    if (phase == 2) return euro == iveBusiness ? euroSign : locale.CurrencySymbol;
    return phase >= 3 ? euroSign : locale.CurrencySymbol;
}

namespace {

QString WidenYear(QString format) {
    if (format.contains(QStringLiteral("yyyy"))) return format;
    const qsizetype at = format.indexOf(QStringLiteral("yy"));
    if (at >= 0) format.insert(at, QStringLiteral("yy"));
    return format;
}

}  // namespace

TIvFormatSettings FormatSettingsFromLocale(const TIvLocale& l, TIvEuro euro, bool year2000, const QDate& today) {
    TIvFormatSettings s;
    s.Lcid = l.Lcid();
    s.CurrencyString = EuroCurrencyString(l, euro, today);
    s.CurrencyFormat = l.CurrencyFormat;
    s.NegCurrFormat = l.NegCurrencyFormat;
    s.ThousandSeparator = l.ThousandSeparator;
    s.DecimalSeparator = l.DecimalSeparator;
    s.CurrencyDecimals = l.CurrencyDecimals;
    s.DateSeparator = l.DateSeparator;
    s.ShortDateFormat = year2000 ? WidenYear(l.ShortDateFormat) : l.ShortDateFormat;
    s.LongDateFormat = year2000 ? WidenYear(l.LongDateFormat) : l.LongDateFormat;
    s.TimeSeparator = l.TimeSeparator.isNull() ? QChar(u':') : l.TimeSeparator;
    s.TimeAMString = l.AmString;
    s.TimePMString = l.PmString;
    const QString hour = l.LeadingZeroHours ? QStringLiteral("hh") : QStringLiteral("h");
    // A 12-hour clock shows AM/PM after the time (position 0) or before it.
    const bool twelveHour = l.TimeFormat == 0;
    const QString prefix = twelveHour && l.AmPmPosition == 1 ? QStringLiteral("AMPM ") : QString();
    const QString suffix = twelveHour && l.AmPmPosition == 0 ? QStringLiteral(" AMPM") : QString();
    s.ShortTimeFormat = prefix + hour + QStringLiteral(":mm") + suffix;
    s.LongTimeFormat = prefix + hour + QStringLiteral(":mm:ss") + suffix;
    s.ShortMonthNames = l.ShortMonthNames;
    s.LongMonthNames = l.LongMonthNames;
    s.ShortDayNames[0] = l.ShortDayNames[6];
    s.LongDayNames[0] = l.LongDayNames[6];
    for (int i = 1; i < 7; ++i) {
        s.ShortDayNames[i] = l.ShortDayNames[i - 1];
        s.LongDayNames[i] = l.LongDayNames[i - 1];
    }
    return s;
}

TIvFormatSettings SystemFormatSettings() {
    TIvLocale system;
    if (!ReadSystemLocale(NlsUserDefaultLcid(), system)) return {};
    return FormatSettingsFromLocale(system, IvEuroMode(), true, QDate::currentDate());
}

TIvFormatSettings& IvFormatSettings() {
    // The system's own settings until a dictionary copies a locale's.
    static TIvFormatSettings settings = SystemFormatSettings();
    return settings;
}

void ApplyEuroMode(const TIvLocale* current) {
    TIvFormatSettings& s = IvFormatSettings();
    TIvLocale locale;
    if (current && current->Lcid() == s.Lcid) locale = *current;
    else if (!ReadSystemLocale(s.Lcid, locale)) return;
    s.CurrencyString = EuroCurrencyString(locale, IvEuroMode(), QDate::currentDate());
}

TIvEuro& IvEuroMode() {
    static TIvEuro mode = iveNormal;
    return mode;
}
