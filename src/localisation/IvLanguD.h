#pragma once
// Languages and locales of a dictionary, the tables that map languages to
// code pages, character sets and script kinds, the display-name rule and the
// copy of a locale into the runtime's format settings.
#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>

class TIvDictionary;

enum TIvScriptKind : uint8_t { ivskNormal = 0, ivskMultiByte = 1, ivskRightToLeft = 2 };
enum TIvEuro : uint8_t { iveNormal = 0, iveBusiness = 1, iveIgnore = 2 };

int CodePageOfLanguage(uint32_t langId);
uint8_t CharsetOfCodePage(int codePage);
TIvScriptKind ScriptKindOfLanguage(uint32_t primary);
bool IsEuroCountry(uint32_t primary, uint32_t sub);

// The language display-name rule; with translate set, both parts go through
// the dictionary (the first one of Dictionaries when none is given).
QString LanguageDisplayName(const QString& englishName, uint32_t primary, int codePage, bool translate = false,
                            TIvDictionary* dictionary = nullptr);

class TIvLanguage {
public:
    virtual ~TIvLanguage() = default;
    int CodePage = 0;
    int32_t PrimaryId = 0;
    int32_t LocaleSubLanguage = 0;
    int32_t SubLanguage = 0;
    QStringList SubLanguages;
    QString Iso639, Iso3166;
    QStringList Locales;
    QString EnglishName, NativeName, FontName;
    int32_t FontSize = 0;
    uint8_t Flags = 0;
    uint8_t Charset = 0;

    uint32_t Lcid() const;
    uint32_t OwnLocale() const;
    int EffectiveSubLanguage() const;
    bool InSubLanguages(int sub) const;

    virtual void SetSubLanguage(int sub);
    virtual void Assign(const TIvLanguage& source) { *this = source; }
    virtual std::unique_ptr<TIvLanguage> Clone() const { return std::make_unique<TIvLanguage>(*this); }
    virtual void Complete();
    virtual bool Matches(const TIvLanguage& other) const;
    // 0 English name, 1 native name, 2 English name translated.
    virtual void GetDisplayName(int mode, TIvDictionary* dictionary, QString& name) const;
};

class TIvLocale {
public:
    virtual ~TIvLocale() = default;
    int32_t PrimaryId = 0, SubLanguage = 0, SortId = 0;
    QString Iso639, Iso3166;
    int CodePage = 0;
    uint8_t Kept = 0;
    uint8_t Charset = 0;
    QString EnglishLanguage, EnglishCountry, NativeLanguage, NativeCountry, AbbrevLanguage, Country;
    QString CurrencySymbol;
    uint8_t CurrencyFormat = 0, NegCurrencyFormat = 0, CurrencyDecimals = 0;
    QChar ThousandSeparator, DecimalSeparator, DateSeparator;
    QString ShortDateFormat, LongDateFormat;
    QChar TimeSeparator;
    QString AmString, PmString;
    uint8_t LeadingZeroHours = 0, TimeFormat = 0, AmPmPosition = 0, Measure = 0, CalendarType = 0,
            OptionalCalendar = 0, FirstDayOfWeek = 0, FirstWeekOfYear = 0;
    std::array<QString, 12> ShortMonthNames, LongMonthNames;
    std::array<QString, 7> ShortDayNames, LongDayNames;  // Monday first

    uint32_t Lcid() const;
    virtual void Assign(const TIvLocale& source) { *this = source; }
    virtual std::unique_ptr<TIvLocale> Clone() const { return std::make_unique<TIvLocale>(*this); }
    virtual void Complete();
    virtual void GetDisplayName(int mode, TIvDictionary* dictionary, QString& name) const;
};

// Fills a locale from the platform's locale data; false for an unknown LCID
// (the locale stays as it was).
bool ReadSystemLocale(uint32_t lcid, TIvLocale& locale);

// The runtime's number, currency, date and time formats.
struct TIvFormatSettings {
    uint32_t Lcid = 0;
    QString CurrencyString;
    uint8_t CurrencyFormat = 0, NegCurrFormat = 0, CurrencyDecimals = 2;
    QChar ThousandSeparator = u',', DecimalSeparator = u'.', DateSeparator = u'/', TimeSeparator = u':';
    QString ShortDateFormat, LongDateFormat, TimeAMString, TimePMString, ShortTimeFormat, LongTimeFormat;
    std::array<QString, 12> ShortMonthNames, LongMonthNames;
    std::array<QString, 7> ShortDayNames, LongDayNames;  // Sunday first, as the runtime counts
};

// The currency string of a locale by the euro rule on the given day.
QString EuroCurrencyString(const TIvLocale& locale, TIvEuro euro, const QDate& today);
// The runtime's settings built from a locale.
TIvFormatSettings FormatSettingsFromLocale(const TIvLocale& locale, TIvEuro euro, bool year2000,
                                           const QDate& today);

// The settings of the system's own locale (the user's default), read when
// the program starts.
TIvFormatSettings SystemFormatSettings();
// The program-wide settings: the system's at start, then those a dictionary
// copies from its locale on a change (with ivdoUpdateLocaleVariables). The
// numbers of the files never take their formats from here.
TIvFormatSettings& IvFormatSettings();
// Sets the currency string of the program-wide settings by the euro mode
// now in force, from the given locale when it is the settings' own, else
// from the system's data of the settings' locale.
void ApplyEuroMode(const TIvLocale* current);
TIvEuro& IvEuroMode();
