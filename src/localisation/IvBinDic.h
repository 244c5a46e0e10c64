#pragma once
// Dictionaries read from a binary dictionary file, from the program's
// resource "MlDictionary" of type "MLDICT", or from data stored with the
// form that owns the dictionary.
#include "localisation/IvDictio.h"
#include "localisation/IvMLDFil.h"
#include "localisation/IvReader.h"

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

// With ivsEmbedded the languages, translations and locales are the stored
// properties "Languages", "Translations" and "Locales" of the dictionary in
// the description of its form (the resource named by the class name of the
// dictionary's owner; the dictionary found there by its class name,
// "TIvBinaryDictionary", and its object name). Data versions 1 and 2 are
// read; a later one is refused.
class TIvBinaryDictionary : public TIvCustomFileDictionary {
    Q_OBJECT
public:
    using TIvCustomFileDictionary::TIvCustomFileDictionary;
    ~TIvBinaryDictionary() override;
    int LanguageCount() override;
    void GetLanguage(int index, TIvLanguage& language) override;
    int LocaleCount() override;
    void GetLocale(int index, TIvLocale& locale) override;
    int TranslationCount() override;
    bool LanguageComplete(int index) override;
    // The reader on the dictionary's data source, header read.
    std::unique_ptr<TIvMLDFile> OpenData();

    // The form's loading: with ivsEmbedded the read handlers of the stored
    // properties run and remember how many records each holds (a property
    // not stored holds none). Runs by itself at the first need.
    void Loaded();
    virtual void ReadLanguages(TIvReader& reader);
    virtual void ReadTranslations(TIvReader& reader);
    virtual void ReadLocales(TIvReader& reader);
    // The resource of the owner's form description.
    QString FormResourceName() const;

protected:
    void LoadTranslations(std::vector<TIvTranslation>& table) override;

private:
    bool Embedded() const { return Storage == ivsEmbedded; }
    void EnsureLoaded();
    std::unique_ptr<TIvReader> StoredProperty(const QString& name) const;
    bool m_loaded = false;
    int m_storedLanguages = 0, m_storedTranslations = 0, m_storedLocales = 0;

    // The file's bytes as last read, with the size and time they were read
    // at: a dictionary asks for its languages, locales and texts one call at
    // a time, and the file is read again only when it changed.
    QString m_dataPath;
    qint64 m_dataSize = -1;
    qint64 m_dataTime = 0;
    QByteArray m_data;
};

// Writes the stored properties "Languages", "Translations" and "Locales" of
// a dictionary (data version 2) from a dictionary file into a form
// description being written, after the dictionary's other properties.
// Raises EIvException when the file does not exist.
void WriteStoredDictionary(TIvFormWriter& writer, const QString& fileName);
