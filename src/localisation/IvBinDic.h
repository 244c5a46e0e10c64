#pragma once
// Dictionaries read from a binary dictionary file or from the program's
// resource "MlDictionary" of type "MLDICT".
#include "localisation/IvDictio.h"
#include "localisation/IvMLDFil.h"

#include <memory>

enum TIvStorage : uint8_t { ivsFile = 0, ivsEmbedded = 1, ivsResource = 2 };

// The Qt resource that stands for the program resource "MlDictionary".
extern const char* const kMlDictionaryResource;

class TIvCustomFileDictionary : public TIvCustomDictionary {
    Q_OBJECT
public:
    using TIvCustomDictionary::TIvCustomDictionary;
    TIvStorage Storage = ivsFile;
    // The resolved name: as given when that file exists, else the program's
    // directory + name for a name without directory, else as given.
    QString FileName();
    void SetFileName(const QString& name) { m_fileName = name; }
    bool CanOpen() override;

private:
    QString m_fileName;
};

class TIvBinaryDictionary : public TIvCustomFileDictionary {
    Q_OBJECT
public:
    using TIvCustomFileDictionary::TIvCustomFileDictionary;
    ~TIvBinaryDictionary() override;
    int LanguageCount() override;
    void GetLanguage(int index, TIvLanguage& language) override;
    int LocaleCount() override;
    void GetLocale(int index, TIvLocale& locale) override;
    bool LanguageHasTexts(int index) override;
    // The reader on the dictionary's data source, header read.
    std::unique_ptr<TIvMLDFile> OpenData();

protected:
    void LoadTranslations(std::vector<TIvTranslation>& table) override;

private:
    // The file's bytes as last read, with the size and time they were read
    // at: a dictionary asks for its languages, locales and texts one call at
    // a time, and the file is read again only when it changed.
    QString m_dataPath;
    qint64 m_dataSize = -1;
    qint64 m_dataTime = 0;
    QByteArray m_data;
};
