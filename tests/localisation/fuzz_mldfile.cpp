// libFuzzer target of the dictionary file reader: any input must end in a
// result or an exception of the library, never in a read out of bounds.
#include "localisation/IvMLDFil.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        TIvMLDFile file;
        file.OpenData(bytes);
        for (int i = 0; i < file.LanguageCount() && i < 64; ++i) file.GetLanguageRecord(i);
        const int languages = file.LanguageCount();
        file.SeekTranslations();
        TIvTranslation entry;
        for (int i = 0; i < file.TranslationCount(); ++i) file.ReadTranslation(entry, languages - 1, 1252, 1);
        for (int i = 0; i < file.LocaleCount() && i < 64; ++i) file.GetLocaleRecord(i);
    } catch (const EIvException&) {
    }
    return 0;
}
