#include "localisation/IvMLDFil.h"

#include "localisation/IvNls.h"

#include <QFile>
#include <QHash>
#include <QtEndian>
#include <array>

namespace {

const QString kReadError = QStringLiteral("Stream read error");

bool IsMultiByte(int codePage) {
    switch (codePage) {
    case 932: case 936: case 949: case 950: case 1361: case 65001: return true;
    default: return false;
    }
}

// The high half of a single-byte code page, built once per code page.
const std::array<char16_t, 128>* HighHalf(int codePage) {
    static QHash<int, std::array<char16_t, 128>> cache;
    auto it = cache.find(codePage);
    if (it != cache.end()) return &*it;
    QByteArray bytes(128, Qt::Uninitialized);
    for (int i = 0; i < 128; ++i) bytes[i] = char(0x80 + i);
    std::array<char16_t, 128> table;
    table.fill(0xFFFD);
    // Decoding byte by byte keeps one character per byte, undefined bytes
    // becoming the replacement character.
    for (int i = 0; i < 128; ++i) {
        const QString one = NlsDecode(bytes.mid(i, 1), codePage);
        if (one.size() == 1) table[size_t(i)] = one[0].unicode();
    }
    return &*cache.insert(codePage, table);
}

}  // namespace

QString DecodeDictionaryText(const QByteArray& bytes, int codePage) {
    if (codePage == 0) codePage = NlsAnsiCodePage();
    bool ascii = true;
    for (char c : bytes)
        if (uchar(c) >= 0x80) { ascii = false; break; }
    if (ascii) return QString::fromLatin1(bytes);
    if (IsMultiByte(codePage)) return NlsDecode(bytes, codePage);
    const auto* high = HighHalf(codePage);
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar c = uchar(bytes[i]);
        d[i] = c < 0x80 ? QChar(c) : QChar((*high)[c - 0x80]);
    }
    return out;
}

QByteArray EncodeDictionaryText(const QString& text, int codePage) {
    return NlsEncode(text, codePage);
}

// ---- stream access ----

void TIvMLDFile::OpenFile(const QString& name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw EIvException(QStringLiteral("Cannot open file \"%1\". %2").arg(name, file.errorString()));
    OpenData(file.readAll());
}

void TIvMLDFile::OpenData(const QByteArray& data) {
    m_data = data;
    m_pos = 0;
    ReadHeader();
    m_nativeCodePage = 0;
    if (m_header.LanguageCount > 0) m_nativeCodePage = GetLanguageRecord(0).CodePage;
    SeekLanguages();
}

const char* TIvMLDFile::Take(qint64 n) {
    if (n < 0 || n > m_data.size() - m_pos) throw EReadError(kReadError);
    const char* p = m_data.constData() + m_pos;
    m_pos += n;
    return p;
}

void TIvMLDFile::Seek(qint64 position) {
    if (position < 0 || position > m_data.size()) throw EReadError(kReadError);
    m_pos = position;
}

void TIvMLDFile::Skip(qint64 n) {
    Take(n);
}

uint8_t TIvMLDFile::ReadByte() {
    return uint8_t(*Take(1));
}

uint16_t TIvMLDFile::ReadWord() {
    const char* p = Take(2);
    return BigEndian() ? qFromBigEndian<uint16_t>(p) : qFromLittleEndian<uint16_t>(p);
}

QString TIvMLDFile::Decode(const char* p, qint64 chars, int codePage) {
    if (!Utf16()) return DecodeDictionaryText(QByteArray(p, chars), codePage);
    QString out(chars, Qt::Uninitialized);
    QChar* d = out.data();
    for (qint64 i = 0; i < chars; ++i)
        d[i] = QChar(BigEndian() ? qFromBigEndian<uint16_t>(p + 2 * i) : qFromLittleEndian<uint16_t>(p + 2 * i));
    return out;
}

QString TIvMLDFile::ReadFixedString(int n, int codePage) {
    if (n <= 0) return {};
    const qint64 bytes = Utf16() ? 2 * qint64(n) : n;
    return Decode(Take(bytes), n, codePage);
}

QString TIvMLDFile::ReadString(int codePage) {
    return ReadFixedString(ReadWord(), codePage);
}

QChar TIvMLDFile::ReadChar(int codePage) {
    const QString s = ReadFixedString(1, codePage);
    return s.isEmpty() ? QChar() : s[0];
}

QByteArray TIvMLDFile::ReadAnsiString() {
    const uint16_t n = ReadWord();
    return QByteArray(Take(n), n);
}

void TIvMLDFile::BeginRecord() {
    if (m_header.Version < 3) return;
    const qint64 start = m_pos;
    const uint16_t length = ReadWord();
    if (length < 2 || start + length > m_data.size()) throw EReadError(kReadError);
    m_recordEnd = start + length;
}

void TIvMLDFile::EndRecord() {
    if (m_recordEnd < 0) return;
    const qint64 end = m_recordEnd;
    m_recordEnd = -1;
    // A record shorter than the fields it must hold is damaged.
    if (m_pos > end) throw EReadError(QStringLiteral("The stream holds a damaged record"));
    m_pos = end;
}

// ---- header and blocks ----

void TIvMLDFile::ReadHeader() {
    Seek(0);
    const char* h = Take(kMLDHeaderSize);
    if (h[0] != 'M' || h[1] != 'L' || h[2] != 'D')
        throw EIvException(QStringLiteral("The stream is not a valid MLD stream"));
    TIvMLDHeader& r = m_header;
    r = TIvMLDHeader{};
    r.Version = uint8_t(h[3]);
    r.ByteOrder = uint8_t(h[4]);
    r.StringFormat = uint8_t(h[5]);
    r.ContextKind = uint8_t(h[6]);
    auto word = [&](int at) { return BigEndian() ? qFromBigEndian<uint16_t>(h + at) : qFromLittleEndian<uint16_t>(h + at); };
    auto dword = [&](int at) { return BigEndian() ? qFromBigEndian<uint32_t>(h + at) : qFromLittleEndian<uint32_t>(h + at); };
    r.LanguageCount = word(12);
    r.LanguageOffset = dword(14);
    r.TranslationCount = word(18);
    r.TranslationOffset = dword(20);
    r.LocaleCount = word(24);
    r.LocaleOffset = dword(26);
    r.FourthCount = word(30);
    r.FourthOffset = dword(32);
    if (r.Version == 1) {
        r.StringFormat = uint8_t(h[7]);
        r.FourthCount = 0;
        r.FourthOffset = 0;
    }
}

void TIvMLDFile::SeekLanguages() {
    if (m_header.LanguageOffset == 0) throw EIvException(QStringLiteral("Invalid language offset"));
    Seek(m_header.LanguageOffset);
}

void TIvMLDFile::SeekTranslations() {
    if (m_header.TranslationOffset == 0) throw EIvException(QStringLiteral("Invalid translation offset"));
    Seek(m_header.TranslationOffset);
}

void TIvMLDFile::SeekLocales() {
    if (m_header.LocaleCount == 0) throw EIvException(QStringLiteral("No custom locales"));
    if (m_header.LocaleOffset == 0) throw EIvException(QStringLiteral("Invalid locale offset"));
    Seek(m_header.LocaleOffset);
}

const TIvLanguage& TIvMLDFile::GetLanguageRecord(int index) {
    if (index < 0 || index >= LanguageCount()) throw ERangeError(QStringLiteral("Out of language range"));
    SeekLanguages();
    for (int i = 0; i <= index; ++i) {
        m_language = TIvLanguage{};
        ReadLanguage(m_language);
    }
    return m_language;
}

const TIvLocale& TIvMLDFile::GetLocaleRecord(int index) {
    SeekLocales();
    if (index < 0 || index >= LocaleCount()) throw ERangeError(QStringLiteral("Out of locale range"));
    for (int i = 0; i <= index; ++i) {
        m_locale = TIvLocale{};
        ReadLocale(m_locale);
    }
    return m_locale;
}

// ---- records ----

void TIvMLDFile::ReadLanguage(TIvLanguage& l) {
    const int v = m_header.Version;
    BeginRecord();
    l.PrimaryId = ReadWord();
    if (v >= 2) l.Iso639 = ReadFixedString(2, 0);
    l.SubLanguage = ReadWord();
    if (v >= 2) l.Iso3166 = ReadFixedString(2, 0);
    l.SubLanguages.clear();
    TIvStringParser subs(ReadString(0), u',');
    while (!subs.EndOfText()) {
        const int sub = subs.NextInteger();
        if (sub > 0) l.SubLanguages.append(QString::number(sub));
    }
    if (v >= 2) {
        const QString locales = ReadString(0);
        l.Locales = locales.isEmpty() ? QStringList() : locales.split(u',');
    }
    if (v >= 3) ReadWord();  // the character set follows from the code page
    l.CodePage = ReadWord();
    l.Charset = CharsetOfCodePage(l.CodePage);
    l.Flags = ReadByte() & 3;
    l.EnglishName = ReadString(0);
    l.NativeName = ReadString(l.CodePage);
    l.FontName = ReadString(0);
    l.FontSize = ReadByte();
    EndRecord();
    l.Complete();
}

void TIvMLDFile::ReadLocale(TIvLocale& l) {
    const int v = m_header.Version;
    BeginRecord();
    l.PrimaryId = ReadWord();
    if (v >= 2) l.Iso639 = ReadFixedString(2, 0);
    l.SubLanguage = ReadWord();
    if (v >= 2) l.Iso3166 = ReadFixedString(2, 0);
    if (v >= 3) l.Charset = uint8_t(ReadWord());
    const int cp = l.CodePage = ReadWord();
    l.Kept = ReadByte();
    l.EnglishLanguage = ReadString(0);
    l.EnglishCountry = ReadString(0);
    l.NativeLanguage = ReadString(cp);
    l.NativeCountry = ReadString(cp);
    l.AbbrevLanguage = ReadString(0);
    l.Country = ReadString(0);
    l.Measure = ReadByte();
    l.CurrencySymbol = ReadString(cp);
    l.CurrencyFormat = ReadByte();
    l.NegCurrencyFormat = ReadByte();
    l.CurrencyDecimals = ReadByte();
    l.ThousandSeparator = ReadChar(cp);
    l.DecimalSeparator = ReadChar(cp);
    l.DateSeparator = ReadChar(cp);
    l.ShortDateFormat = ReadString(cp);
    l.LongDateFormat = ReadString(cp);
    l.TimeSeparator = ReadChar(cp);
    l.AmString = ReadString(cp);
    l.PmString = ReadString(cp);
    for (uint8_t* b : {&l.LeadingZeroHours, &l.TimeFormat, &l.AmPmPosition, &l.CalendarType, &l.OptionalCalendar,
                       &l.FirstDayOfWeek, &l.FirstWeekOfYear})
        *b = ReadByte();
    for (auto* names : {&l.ShortMonthNames, &l.LongMonthNames})
        for (QString& s : *names) s = ReadString(cp);
    for (auto* names : {&l.ShortDayNames, &l.LongDayNames})
        for (QString& s : *names) s = ReadString(cp);
    EndRecord();
    l.Complete();
}

void TIvMLDFile::ReadContexts(TIvContext& c) {
    c.Kind = m_header.ContextKind;
    c.Context1 = c.HasFirst() ? ReadString(0) : QString();
    c.Context2 = c.HasSecond() ? ReadString(0) : QString();
}

uint8_t TIvMLDFile::ReadTranslation(TIvTranslation& e, int currentIndex, int codePage, int fallbackIndex) {
    e.Native = ReadString(0);
    TIvContext c;
    ReadContexts(c);
    e.Context1 = c.Context1;
    e.Context2 = c.Context2;
    QString current, fallback;
    for (int i = 1; i < LanguageCount(); ++i) {
        if (i == currentIndex) current = ReadString(codePage);
        else if (i == fallbackIndex) fallback = ReadString(codePage);
        else Skip(Utf16() ? 2 * qint64(ReadWord()) : ReadWord());  // other languages are not kept
    }
    e.Status = !current.isEmpty() ? 0 : !fallback.isEmpty() ? 1 : 2;
    e.Translation = e.Status == 0 ? current : fallback;
    return e.Status;
}
