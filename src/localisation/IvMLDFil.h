#pragma once
// Reader of the binary dictionary file (".mld"). The whole file is read into
// memory and every read is checked against the end of the data, so a damaged
// or truncated file ends in an exception, never in a read out of bounds.
#include "localisation/IvDictio.h"

#include <QByteArray>
#include <QString>

struct TIvMLDHeader {
    uint8_t Version = 0, ByteOrder = 0, StringFormat = 0, ContextKind = 0;
    uint16_t LanguageCount = 0, TranslationCount = 0, LocaleCount = 0, FourthCount = 0;
    uint32_t LanguageOffset = 0, TranslationOffset = 0, LocaleOffset = 0, FourthOffset = 0;
};

constexpr int kMLDHeaderSize = 42;

class TIvMLDFile {
public:
    explicit TIvMLDFile(TIvDictionary* dictionary = nullptr) : m_dictionary(dictionary) {}

    void OpenFile(const QString& name);
    // Reads from data in memory (a resource, a test's bytes).
    void OpenData(const QByteArray& data);
    void ReadHeader();
    const TIvMLDHeader& Header() const { return m_header; }
    int NativeCodePage() const { return m_nativeCodePage; }

    void BeginRecord();
    void EndRecord();
    void Skip(qint64 n);
    void Seek(qint64 position);
    uint8_t ReadByte();
    uint16_t ReadWord();
    QChar ReadChar(int codePage);
    QString ReadFixedString(int n, int codePage);
    QString ReadString(int codePage);
    QByteArray ReadAnsiString();

    void SeekLanguages();
    void SeekTranslations();
    void SeekLocales();
    int LanguageCount() const { return m_header.LanguageCount; }
    int TranslationCount() const { return m_header.TranslationCount; }
    int LocaleCount() const { return m_header.LocaleCount; }

    const TIvLanguage& GetLanguageRecord(int index);
    const TIvLocale& GetLocaleRecord(int index);
    void ReadLanguage(TIvLanguage& language);
    void ReadLocale(TIvLocale& locale);
    // 0 translated, 1 the fallback text, 2 missing.
    uint8_t ReadTranslation(TIvTranslation& entry, int currentIndex, int codePage, int fallbackIndex);
    void ReadContexts(TIvContext& context);

private:
    const char* Take(qint64 n);
    QString Decode(const char* p, qint64 chars, int codePage);
    bool Utf16() const { return m_header.StringFormat == 0; }
    bool BigEndian() const { return m_header.ByteOrder == 0; }

    TIvDictionary* m_dictionary;
    QByteArray m_data;
    qint64 m_pos = 0;
    qint64 m_recordEnd = -1;
    TIvMLDHeader m_header;
    TIvLanguage m_language;
    TIvLocale m_locale;
    int m_nativeCodePage = 0;
};

// 8-bit text in a Windows code page (0: the ANSI code page); single-byte code
// pages go through a table built once per code page.
QString DecodeDictionaryText(const QByteArray& bytes, int codePage);
QByteArray EncodeDictionaryText(const QString& text, int codePage);
