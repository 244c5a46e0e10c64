// korva_mldc <output.mld> <source.tsv> [<stringtable.tsv>]
// Compiles a dictionary source into a binary dictionary file (version 3,
// little-endian, 8-bit strings in code page 1252, no contexts).
#include "DictionarySource.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3 || args.size() > 4) {
        std::fprintf(stderr, "usage: korva_mldc <output.mld> <source.tsv> [<stringtable.tsv>]\n");
        return 2;
    }
    try {
        std::vector<TIvMLDEntry> entries = ReadDictionarySource(args[2]);
        if (args.size() == 4) AddStringTable(args[3], entries);
        QSaveFile out(args[1]);
        if (!out.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write the output file");
        out.write(WriteMLD(DictionaryLanguages(), {}, entries, TIvMLDWriteOptions{}));
        if (!out.commit()) throw std::runtime_error("cannot write the output file");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korva_mldc: %s\n", e.what());
        return 1;
    }
    return 0;
}
