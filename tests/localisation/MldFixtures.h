#pragma once
// Dictionary contents for the localisation tests, written through the
// dictionary writer into real files.
#include "localisation/IvBinDic.h"
#include "localisation/IvMLDWri.h"
#include "localisation/IvNls.h"

#include <QFile>
#include <QString>
#include <vector>

inline TIvLanguage FixtureLanguage(int primary, int sub, const char* english, const char* native, int codePage = 0) {
    TIvLanguage l;
    l.PrimaryId = primary;
    l.SubLanguage = sub;
    l.CodePage = codePage;
    l.EnglishName = QString::fromUtf8(english);
    l.NativeName = QString::fromUtf8(native);
    l.Complete();
    return l;
}

// 0 native, 1 German, 2 English, 3 Russian (code page 1251: fails the code
// page check against the ANSI code page 1252).
inline std::vector<TIvLanguage> FixtureLanguages(bool withRussian = true) {
    TIvLanguage native;
    native.Complete();
    native.CodePage = 1252;
    std::vector<TIvLanguage> out{native, FixtureLanguage(7, 1, "German", "Deutsch", 1252),
                                 FixtureLanguage(9, 1, "English", "English", 1252)};
    if (withRussian) out.push_back(FixtureLanguage(25, 1, "Russian", "Русский", 1251));
    return out;
}

inline TIvMLDEntry FixtureEntry(const QString& native, const QString& german, const QString& english,
                                const QString& russian = {}, const QString& c1 = {}, const QString& c2 = {}) {
    return TIvMLDEntry{native, c1, c2, {german, english, russian}};
}

inline std::vector<TIvMLDEntry> FixtureEntries() {
    return {
        FixtureEntry(QStringLiteral("Wert für Last fehlt!"), QStringLiteral("Wert für Last fehlt!"),
                     QStringLiteral("Value for load is missing!"), QStringLiteral("Нет нагрузки!")),
        FixtureEntry(QStringLiteral("Directory"), QStringLiteral("Verzeichnis"), QStringLiteral("Directory")),
        FixtureEntry(QStringLiteral("directory"), QStringLiteral("verzeichnis"), QStringLiteral("directory (lower)")),
        FixtureEntry(QStringLiteral("Only German"), QStringLiteral("Nur Deutsch"), QString()),
        FixtureEntry(QStringLiteral("Untranslated"), QString(), QString()),
    };
}

inline QString WriteFixture(const QString& path, const std::vector<TIvLanguage>& languages,
                            const std::vector<TIvMLDEntry>& entries, const TIvMLDWriteOptions& options = {},
                            const std::vector<TIvLocale>& locales = {}) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(WriteMLD(languages, locales, entries, options));
    return path;
}

// A closed dictionary on a file.
inline TIvBinaryDictionary* FixtureDictionary(const QString& file, const QString& name = {}) {
    auto* d = new TIvBinaryDictionary(nullptr, name);
    d->SetFileName(file);
    return d;
}
