#pragma once
// The program's own national-language layer: Windows language identifiers
// mapped to ISO codes, English names and ANSI code pages from a built-in
// table, everything else (native names, separators, month and day names)
// from QLocale.
#include <QLocale>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

constexpr uint32_t LOCALE_USER_DEFAULT = 0x0400;
constexpr uint32_t LOCALE_SYSTEM_DEFAULT = 0x0800;

constexpr uint32_t MakeLangId(uint32_t primary, uint32_t sub) { return (sub << 10) | primary; }
constexpr uint32_t MakeLcid(uint32_t langId, uint32_t sort = 0) { return (sort << 16) | (langId & 0xFFFF); }
constexpr uint32_t PrimaryLangId(uint32_t lcid) { return lcid & 0x3FF; }
constexpr uint32_t SubLangId(uint32_t lcid) { return (lcid >> 10) & 0x3F; }
constexpr uint32_t SortId(uint32_t lcid) { return (lcid >> 16) & 0xF; }

// One row of the built-in table.
struct NlsEntry {
    uint32_t langId;
    const char* iso639;
    const char* iso3166;
    const char* englishLanguage;
    const char* englishCountry;
    int ansiCodePage;
};

// The table row of a language identifier, or nullptr for an unknown one.
const NlsEntry* NlsFind(uint32_t lcid);
// Every language identifier of the table, in table order.
std::vector<uint32_t> NlsSupportedLocales();

// The QLocale standing for a language identifier (C for an unknown one).
QLocale NlsQLocale(uint32_t lcid);

// The user's and the system's default locale: QLocale::system() mapped to the
// table ("C" and unknown locales count as English (United States)), unless a
// test has set an override.
uint32_t NlsUserDefaultLcid();
uint32_t NlsSystemDefaultLcid();
void NlsSetDefaultLcidOverride(std::optional<uint32_t> lcid);

// Resolves LOCALE_USER_DEFAULT and LOCALE_SYSTEM_DEFAULT.
uint32_t NlsResolve(uint32_t lcid);

// The ANSI code page of a language identifier; 0 when unknown.
int NlsDefaultAnsiCodePage(uint32_t lcid);

// The system's ANSI code page (1252 unless configured) and whether a code
// page can be converted.
int NlsAnsiCodePage();
void NlsSetAnsiCodePage(int codePage);
bool NlsCodePageSupported(int codePage);

// 8-bit text of a Windows code page (0: the ANSI code page), through the
// platform's iconv layer.
QString NlsDecode(const QByteArray& bytes, int codePage);
QByteArray NlsEncode(const QString& text, int codePage);

// The thread locale the dictionaries set.
uint32_t NlsThreadLocale();
void NlsSetThreadLocale(uint32_t lcid);
