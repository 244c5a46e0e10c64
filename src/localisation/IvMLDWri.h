#pragma once
// Writer of the binary dictionary file: builds the program's own dictionary
// files from their readable sources, in any version, byte order and string
// format the reader accepts.
#include "localisation/IvLanguD.h"

#include <QByteArray>
#include <QStringList>
#include <vector>

struct TIvMLDEntry {
    QString Native, Context1, Context2;
    QStringList Texts;  // languages 1 .. count - 1; missing ones are empty
};

struct TIvMLDWriteOptions {
    int Version = 3;
    bool BigEndian = false;
    bool Utf16 = false;
    uint8_t ContextKind = 0;
    int ExtraRecordBytes = 0;  // version 3: unknown trailing bytes per record
};

QByteArray WriteMLD(const std::vector<TIvLanguage>& languages, const std::vector<TIvLocale>& locales,
                    const std::vector<TIvMLDEntry>& entries, const TIvMLDWriteOptions& options);
