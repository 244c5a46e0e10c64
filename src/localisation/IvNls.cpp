#include "localisation/IvNls.h"

#include "platform/CodePage.h"

#include <QHash>

#include <algorithm>
#include <iterator>

namespace {

// clang-format off
const NlsEntry kTable[] = {
    {MakeLangId(0x01, 1), "ar", "SA", "Arabic", "Saudi Arabia", 1256},
    {MakeLangId(0x01, 5), "ar", "EG", "Arabic", "Egypt", 1256},
    {MakeLangId(0x02, 1), "bg", "BG", "Bulgarian", "Bulgaria", 1251},
    {MakeLangId(0x03, 1), "ca", "ES", "Catalan", "Spain", 1252},
    {MakeLangId(0x04, 1), "zh", "TW", "Chinese (Taiwan)", "Taiwan", 950},
    {MakeLangId(0x04, 2), "zh", "CN", "Chinese (PRC)", "People's Republic of China", 936},
    {MakeLangId(0x04, 3), "zh", "HK", "Chinese (Hong Kong)", "Hong Kong S.A.R.", 950},
    {MakeLangId(0x04, 4), "zh", "SG", "Chinese (Singapore)", "Singapore", 936},
    {MakeLangId(0x05, 1), "cs", "CZ", "Czech", "Czech Republic", 1250},
    {MakeLangId(0x06, 1), "da", "DK", "Danish", "Denmark", 1252},
    {MakeLangId(0x07, 1), "de", "DE", "German", "Germany", 1252},
    {MakeLangId(0x07, 2), "de", "CH", "German", "Switzerland", 1252},
    {MakeLangId(0x07, 3), "de", "AT", "German", "Austria", 1252},
    {MakeLangId(0x07, 4), "de", "LU", "German", "Luxembourg", 1252},
    {MakeLangId(0x07, 5), "de", "LI", "German", "Liechtenstein", 1252},
    {MakeLangId(0x08, 1), "el", "GR", "Greek", "Greece", 1253},
    {MakeLangId(0x09, 1), "en", "US", "English", "United States", 1252},
    {MakeLangId(0x09, 2), "en", "GB", "English", "United Kingdom", 1252},
    {MakeLangId(0x09, 3), "en", "AU", "English", "Australia", 1252},
    {MakeLangId(0x09, 4), "en", "CA", "English", "Canada", 1252},
    {MakeLangId(0x09, 5), "en", "NZ", "English", "New Zealand", 1252},
    {MakeLangId(0x09, 6), "en", "IE", "English", "Ireland", 1252},
    {MakeLangId(0x09, 7), "en", "ZA", "English", "South Africa", 1252},
    {MakeLangId(0x0A, 1), "es", "ES", "Spanish", "Spain", 1252},
    {MakeLangId(0x0A, 2), "es", "MX", "Spanish", "Mexico", 1252},
    {MakeLangId(0x0B, 1), "fi", "FI", "Finnish", "Finland", 1252},
    {MakeLangId(0x0C, 1), "fr", "FR", "French", "France", 1252},
    {MakeLangId(0x0C, 2), "fr", "BE", "French", "Belgium", 1252},
    {MakeLangId(0x0C, 3), "fr", "CA", "French", "Canada", 1252},
    {MakeLangId(0x0C, 4), "fr", "CH", "French", "Switzerland", 1252},
    {MakeLangId(0x0C, 5), "fr", "LU", "French", "Luxembourg", 1252},
    {MakeLangId(0x0D, 1), "he", "IL", "Hebrew", "Israel", 1255},
    {MakeLangId(0x0E, 1), "hu", "HU", "Hungarian", "Hungary", 1250},
    {MakeLangId(0x0F, 1), "is", "IS", "Icelandic", "Iceland", 1252},
    {MakeLangId(0x10, 1), "it", "IT", "Italian", "Italy", 1252},
    {MakeLangId(0x10, 2), "it", "CH", "Italian", "Switzerland", 1252},
    {MakeLangId(0x11, 1), "ja", "JP", "Japanese", "Japan", 932},
    {MakeLangId(0x12, 1), "ko", "KR", "Korean", "Korea", 949},
    {MakeLangId(0x13, 1), "nl", "NL", "Dutch", "Netherlands", 1252},
    {MakeLangId(0x13, 2), "nl", "BE", "Dutch", "Belgium", 1252},
    {MakeLangId(0x14, 1), "nb", "NO", "Norwegian (Bokmal)", "Norway", 1252},
    {MakeLangId(0x14, 2), "nn", "NO", "Norwegian (Nynorsk)", "Norway", 1252},
    {MakeLangId(0x15, 1), "pl", "PL", "Polish", "Poland", 1250},
    {MakeLangId(0x16, 1), "pt", "BR", "Portuguese", "Brazil", 1252},
    {MakeLangId(0x16, 2), "pt", "PT", "Portuguese", "Portugal", 1252},
    {MakeLangId(0x18, 1), "ro", "RO", "Romanian", "Romania", 1250},
    {MakeLangId(0x19, 1), "ru", "RU", "Russian", "Russia", 1251},
    {MakeLangId(0x1A, 1), "hr", "HR", "Croatian", "Croatia", 1250},
    {MakeLangId(0x1A, 2), "sr", "CS", "Serbian (Latin)", "Serbia", 1250},
    {MakeLangId(0x1A, 3), "sr", "CS", "Serbian (Cyrillic)", "Serbia", 1251},
    {MakeLangId(0x1B, 1), "sk", "SK", "Slovak", "Slovakia", 1250},
    {MakeLangId(0x1D, 1), "sv", "SE", "Swedish", "Sweden", 1252},
    {MakeLangId(0x1D, 2), "sv", "FI", "Swedish", "Finland", 1252},
    {MakeLangId(0x1E, 1), "th", "TH", "Thai", "Thailand", 874},
    {MakeLangId(0x1F, 1), "tr", "TR", "Turkish", "Turkey", 1254},
    {MakeLangId(0x22, 1), "uk", "UA", "Ukrainian", "Ukraine", 1251},
    {MakeLangId(0x24, 1), "sl", "SI", "Slovenian", "Slovenia", 1250},
    {MakeLangId(0x25, 1), "et", "EE", "Estonian", "Estonia", 1257},
    {MakeLangId(0x26, 1), "lv", "LV", "Latvian", "Latvia", 1257},
    {MakeLangId(0x27, 1), "lt", "LT", "Lithuanian", "Lithuania", 1257},
    {MakeLangId(0x2A, 1), "vi", "VN", "Vietnamese", "Vietnam", 1258},
};
// clang-format on

std::optional<uint32_t> g_override;
uint32_t g_threadLocale = MakeLangId(0x09, 1);

uint32_t FromQLocale(const QLocale& locale) {
    const QString name = locale.name();  // "de_DE"
    const QString lang = name.section(u'_', 0, 0), country = name.section(u'_', 1, 1);
    const NlsEntry* firstOfLanguage = nullptr;
    for (const NlsEntry& e : kTable) {
        if (lang != QLatin1String(e.iso639)) continue;
        if (country == QLatin1String(e.iso3166)) return e.langId;
        if (!firstOfLanguage) firstOfLanguage = &e;
    }
    return firstOfLanguage ? firstOfLanguage->langId : MakeLangId(0x09, 1);
}

}  // namespace

const NlsEntry* NlsFind(uint32_t lcid) {
    const uint32_t langId = lcid & 0xFFFF;
    for (const NlsEntry& e : kTable)
        if (e.langId == langId) return &e;
    return nullptr;
}

std::vector<uint32_t> NlsSupportedLocales() {
    std::vector<uint32_t> out;
    for (const NlsEntry& e : kTable) out.push_back(e.langId);
    return out;
}

QLocale NlsQLocale(uint32_t lcid) {
    const NlsEntry* e = NlsFind(NlsResolve(lcid));
    if (!e) return QLocale::c();
    return QLocale(QString::fromLatin1(e->iso639) + u'_' + QString::fromLatin1(e->iso3166));
}

uint32_t NlsUserDefaultLcid() {
    return g_override ? *g_override : FromQLocale(QLocale::system());
}

uint32_t NlsSystemDefaultLcid() {
    return NlsUserDefaultLcid();
}

void NlsSetDefaultLcidOverride(std::optional<uint32_t> lcid) {
    g_override = lcid;
}

uint32_t NlsResolve(uint32_t lcid) {
    if (lcid == LOCALE_USER_DEFAULT) return NlsUserDefaultLcid();
    if (lcid == LOCALE_SYSTEM_DEFAULT) return NlsSystemDefaultLcid();
    return lcid;
}

int NlsDefaultAnsiCodePage(uint32_t lcid) {
    const NlsEntry* e = NlsFind(NlsResolve(lcid));
    return e ? e->ansiCodePage : 0;
}

int NlsAnsiCodePage() {
    return AnsiCodePage();
}

void NlsSetAnsiCodePage(int codePage) {
    SetAnsiCodePage(codePage);
}

bool NlsCodePageSupported(int codePage) {
    // Asked on every language and locale check: remember the answers.
    static QHash<int, bool> known;
    const int cp = codePage == 0 ? AnsiCodePage() : codePage;
    auto it = known.find(cp);
    if (it == known.end()) it = known.insert(cp, CodePageSupported(cp));
    return *it;
}

QString NlsDecode(const QByteArray& bytes, int codePage) {
    return DecodeCodePage(bytes, codePage == 0 ? AnsiCodePage() : codePage);
}

QByteArray NlsEncode(const QString& text, int codePage) {
    return EncodeCodePage(text, codePage == 0 ? AnsiCodePage() : codePage);
}

uint32_t NlsThreadLocale() {
    return g_threadLocale;
}

void NlsSetThreadLocale(uint32_t lcid) {
    g_threadLocale = lcid;
}
