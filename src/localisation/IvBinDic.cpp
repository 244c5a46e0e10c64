#include "localisation/IvBinDic.h"

#include "platform/TableFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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

int TIvBinaryDictionary::LanguageCount() {
    return OpenData()->LanguageCount();
}

void TIvBinaryDictionary::GetLanguage(int index, TIvLanguage& language) {
    language = OpenData()->GetLanguageRecord(index);
}

int TIvBinaryDictionary::LocaleCount() {
    return OpenData()->LocaleCount();
}

void TIvBinaryDictionary::GetLocale(int index, TIvLocale& locale) {
    locale = OpenData()->GetLocaleRecord(index);
}

bool TIvBinaryDictionary::LanguageHasTexts(int index) {
    auto reader = OpenData();
    if (index < 0 || index >= reader->LanguageCount()) return false;
    // The first language's texts are the native texts themselves.
    if (index == 0) return true;
    const int codePage = reader->GetLanguageRecord(index).CodePage;
    const int count = reader->TranslationCount();
    reader->SeekTranslations();
    TIvTranslation entry;
    for (int i = 0; i < count; ++i)
        if (reader->ReadTranslation(entry, index, codePage, -1) == 0) return true;
    return false;
}

void TIvBinaryDictionary::LoadTranslations(std::vector<TIvTranslation>& table) {
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
