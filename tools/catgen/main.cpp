// Builds the demo catalogue from its rule files, checks it and writes the
// catalogue tables (and the demo settings table) into a directory.
//
//   korva_catgen <rule directory> <target directory>
//   korva_catgen --check <rule directory>
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
#include <QTextStream>

namespace {

int Usage(QTextStream& err)
{
    err << "usage: korva_catgen <rule directory> <target directory>\n"
           "       korva_catgen --check <rule directory>\n";
    return 64;
}

int Run(const QString& rules, const QString& target, QTextStream& out, QTextStream& err)
{
    CatalogueData data;
    try {
        data = GenerateCatalogue(rules);
    } catch (const CatalogueRuleError& e) {
        err << "catalogue rule error: " << e.message() << "\n";
        return 1;
    }
    const QStringList failures = CheckCatalogue(data);
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
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 2)
        return Usage(err);
    if (args[0] == QLatin1String("--check"))
        return Run(args[1], QString(), out, err);
    return Run(args[0], args[1], out, err);
}
