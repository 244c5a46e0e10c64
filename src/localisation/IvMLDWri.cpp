#include "localisation/IvMLDWri.h"

#include "localisation/IvMLDFil.h"

#include <QtEndian>

namespace {

class Writer {
public:
    explicit Writer(const TIvMLDWriteOptions& o) : m_o(o) {}
    QByteArray& Data() { return m_data; }

    void Byte(int v) { m_data.append(char(v)); }
    void Word(int v) {
        char b[2];
        m_o.BigEndian ? qToBigEndian<uint16_t>(uint16_t(v), b) : qToLittleEndian<uint16_t>(uint16_t(v), b);
        m_data.append(b, 2);
    }
    void DWordAt(qsizetype at, uint32_t v) {
        char b[4];
        m_o.BigEndian ? qToBigEndian<uint32_t>(v, b) : qToLittleEndian<uint32_t>(v, b);
        m_data.replace(at, 4, QByteArray(b, 4));
    }
    void WordAt(qsizetype at, int v) {
        char b[2];
        m_o.BigEndian ? qToBigEndian<uint16_t>(uint16_t(v), b) : qToLittleEndian<uint16_t>(uint16_t(v), b);
        m_data.replace(at, 2, QByteArray(b, 2));
    }
    void Chars(const QString& s, int codePage) {
        if (m_o.Utf16) {
            for (QChar c : s) Word(c.unicode());
        } else {
            m_data.append(EncodeDictionaryText(s, codePage));
        }
    }
    void Fixed(const QString& s, int n, int codePage) { Chars(s.leftJustified(n, u' ', true), codePage); }
    void String(const QString& s, int codePage) {
        // The length counts characters: bytes for 8-bit strings.
        Word(int(m_o.Utf16 ? s.size() : EncodeDictionaryText(s, codePage).size()));
        Chars(s, codePage);
    }
    void Char(QChar c, int codePage) { Fixed(c.isNull() ? QStringLiteral(" ") : QString(c), 1, codePage); }

    qsizetype BeginRecord() {
        const qsizetype at = m_data.size();
        if (m_o.Version >= 3) Word(0);
        return at;
    }
    void EndRecord(qsizetype at) {
        if (m_o.Version < 3) return;
        m_data.append(QByteArray(m_o.ExtraRecordBytes, '\x5A'));
        WordAt(at, int(m_data.size() - at));
    }

    void Language(const TIvLanguage& l) {
        const qsizetype at = BeginRecord();
        Word(l.PrimaryId);
        if (m_o.Version >= 2) Fixed(l.Iso639, 2, 0);
        Word(l.SubLanguage);
        if (m_o.Version >= 2) Fixed(l.Iso3166, 2, 0);
        String(l.SubLanguages.join(u','), 0);
        if (m_o.Version >= 2) String(l.Locales.join(u','), 0);
        if (m_o.Version >= 3) Word(l.Charset);
        Word(l.CodePage);
        Byte(l.Flags);
        String(l.EnglishName, 0);
        String(l.NativeName, l.CodePage);
        String(l.FontName, 0);
        Byte(l.FontSize);
        EndRecord(at);
    }

    void Locale(const TIvLocale& l) {
        const int cp = l.CodePage;
        const qsizetype at = BeginRecord();
        Word(l.PrimaryId);
        if (m_o.Version >= 2) Fixed(l.Iso639, 2, 0);
        Word(l.SubLanguage);
        if (m_o.Version >= 2) Fixed(l.Iso3166, 2, 0);
        if (m_o.Version >= 3) Word(l.Charset);
        Word(cp);
        Byte(l.Kept);
        for (const QString* s : {&l.EnglishLanguage, &l.EnglishCountry}) String(*s, 0);
        for (const QString* s : {&l.NativeLanguage, &l.NativeCountry}) String(*s, cp);
        for (const QString* s : {&l.AbbrevLanguage, &l.Country}) String(*s, 0);
        Byte(l.Measure);
        String(l.CurrencySymbol, cp);
        for (int b : {l.CurrencyFormat, l.NegCurrencyFormat, l.CurrencyDecimals}) Byte(b);
        for (QChar c : {l.ThousandSeparator, l.DecimalSeparator, l.DateSeparator}) Char(c, cp);
        String(l.ShortDateFormat, cp);
        String(l.LongDateFormat, cp);
        Char(l.TimeSeparator, cp);
        String(l.AmString, cp);
        String(l.PmString, cp);
        for (int b : {l.LeadingZeroHours, l.TimeFormat, l.AmPmPosition, l.CalendarType, l.OptionalCalendar,
                      l.FirstDayOfWeek, l.FirstWeekOfYear})
            Byte(b);
        for (const auto* names : {&l.ShortMonthNames, &l.LongMonthNames})
            for (const QString& s : *names) String(s, cp);
        for (const auto* names : {&l.ShortDayNames, &l.LongDayNames})
            for (const QString& s : *names) String(s, cp);
        EndRecord(at);
    }

    void Entry(const TIvMLDEntry& e, const std::vector<TIvLanguage>& languages) {
        String(e.Native, 0);
        const uint8_t k = m_o.ContextKind;
        if (k == 1 || k == 3) String(e.Context1, 0);
        if (k == 1 || k == 2) String(e.Context2, 0);
        for (size_t i = 1; i < languages.size(); ++i)
            String(qsizetype(i - 1) < e.Texts.size() ? e.Texts[qsizetype(i - 1)] : QString(), languages[i].CodePage);
    }

private:
    TIvMLDWriteOptions m_o;
    QByteArray m_data;
};

}  // namespace

QByteArray WriteMLD(const std::vector<TIvLanguage>& languages, const std::vector<TIvLocale>& locales,
                    const std::vector<TIvMLDEntry>& entries, const TIvMLDWriteOptions& o) {
    Writer w(o);
    QByteArray& d = w.Data();
    d = QByteArray(kMLDHeaderSize, '\0');
    d[0] = 'M';
    d[1] = 'L';
    d[2] = 'D';
    d[3] = char(o.Version);
    d[4] = char(o.BigEndian ? 0 : 1);
    d[o.Version == 1 ? 7 : 5] = char(o.Utf16 ? 0 : 1);
    d[6] = char(o.ContextKind);
    w.WordAt(12, int(languages.size()));
    w.DWordAt(14, uint32_t(d.size()));
    for (const TIvLanguage& l : languages) w.Language(l);
    w.WordAt(18, int(entries.size()));
    w.DWordAt(20, uint32_t(d.size()));
    for (const TIvMLDEntry& e : entries) w.Entry(e, languages);
    w.WordAt(24, int(locales.size()));
    w.DWordAt(26, locales.empty() ? 0u : uint32_t(d.size()));
    for (const TIvLocale& l : locales) w.Locale(l);
    return d;
}
