// Builds the demo catalogue from its rule files, checks it and writes the
// catalogue tables (and the demo settings table) into a directory.
//
//   korva_catgen [--strings <string table>] <rule directory> <target directory>
//   korva_catgen [--strings <string table>] --check <rule directory>
//
// With --strings, every product type code of the catalogue must have a name
// in the string table (its "number<TAB>German<TAB>English" source), since
// the output and the lists print the type's name.
//
// Exit code 0 when the catalogue was built (or checked) without fault, 1 for
// a rule file that cannot be read, 2 for broken self-checks, 3 for a failure
// while writing the tables, 64 for wrong arguments.
#include "CatalogueChecks.h"
#include "CatalogueGenerator.h"
#include "CatalogueWriter.h"
#include "RuleTable.h"
#include "platform/DbErrors.h"

#include <QCoreApplication>
#include <QFile>
#include <QSet>
#include <QTextStream>

namespace {

int Usage(QTextStream& err)
{
    err << "usage: korva_catgen [--strings <string table>] <rule directory> <target directory>\n"
           "       korva_catgen [--strings <string table>] --check <rule directory>\n";
    return 64;
}

// The message numbers of a string table source; false when it can't be read.
bool ReadStringTable(const QString& path, QSet<int>& numbers)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    while (!f.atEnd()) {
        bool ok = false;
        const int n = QString::fromUtf8(f.readLine()).section(QLatin1Char('\t'), 0, 0).toInt(&ok);
        if (ok)
            numbers.insert(n);
    }
    return true;
}

int Run(const QString& rules, const QString& target, const QSet<int>& typeNames, QTextStream& out,
        QTextStream& err)
{
    CatalogueData data;
    try {
        data = GenerateCatalogue(rules);
    } catch (const CatalogueRuleError& e) {
        err << "catalogue rule error: " << e.message() << "\n";
        return 1;
    }
    const QStringList failures = CheckCatalogue(data, typeNames);
    for (const QString& f : failures)
        err << "catalogue self-check failed: " << f << "\n";
    if (!failures.isEmpty())
        return 2;
    if (target.isEmpty()) {
        out << "demo catalogue rules check out\n";
        return 0;
    }
    try {
        WriteCatalogue(data, target);
    } catch (const std::exception& e) {
        err << "cannot write the demo catalogue into " << target << ": " << e.what() << "\n";
        return 3;
    }
    out << "demo catalogue written to " << target << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);
    QSet<int> typeNames;
    if (args.size() >= 2 && args[0] == QLatin1String("--strings")) {
        if (!ReadStringTable(args[1], typeNames)) {
            err << "cannot read the string table " << args[1] << "\n";
            return 1;
        }
        args = args.mid(2);
    }
    if (args.size() != 2)
        return Usage(err);
    if (args[0] == QLatin1String("--check"))
        return Run(args[1], QString(), typeNames, out, err);
    return Run(args[0], args[1], typeNames, out, err);
}
