#pragma once
// The five project tables as data: their files, columns, keys and expected
// field counts, and the binding of each support and parts-list column to
// its variable in memory. Generated from ProjectSchemaFields.h.
#include "platform/FieldDefs.h"
#include <QDateTime>
#include <QList>
#include <QString>
#include <cstdint>
#include <memory>
#include <variant>

class TTable;
class TField;
struct TConstructionRecord;
struct TPartsList;

enum class ProjectTable { Konstr, Konstz, Konbtl, Konetr, Prjinf };
constexpr ProjectTable AllProjectTables[] = {ProjectTable::Konstr, ProjectTable::Konstz,
                                             ProjectTable::Konbtl, ProjectTable::Konetr,
                                             ProjectTable::Prjinf};

// A fixed-width character field of a record: no terminator, blank-padded.
struct FixedText {
    char* data;
    int width;
};

// A variable in memory that a column is copied to and from.
using FieldRef = std::variant<std::monostate, double*, int32_t*, int16_t*, bool*, QDateTime*,
                              QString*, FixedText>;

inline FieldRef Bind(double& v) { return &v; }
inline FieldRef Bind(int32_t& v) { return &v; }
inline FieldRef Bind(int16_t& v) { return &v; }
inline FieldRef Bind(bool& v) { return &v; }
inline FieldRef Bind(QDateTime& v) { return &v; }
inline FieldRef Bind(QString& v) { return &v; }
template <size_t N>
FieldRef Bind(char (&v)[N]) { return FixedText{v, int(N)}; }

struct ProjectColumn {
    const char* name;
    char type;  // 'A', 'S', 'I', 'N', 'L', 'D', 'P'
    int size;
    char kind;  // see ProjectSchemaFields.h
    FieldRef (*record)(TConstructionRecord&);  // kinds V T R B Y
    FieldRef (*header)(TPartsList&);            // kind H
    FieldRef (*row)(TPartsList&, int);          // kind W (row 0..23)

    QString Name() const { return QString::fromLatin1(name); }
    QString TypeCode() const;  // "A21", "S", "+" ...
    TFieldDef Def() const;
};

const QList<ProjectColumn>& ProjectColumns(ProjectTable table);
// The file name the new-project road passes ("konstr8.db" ...).
QString ProjectTableFileName(ProjectTable table);
// The field count that defines the current format (254, 67, 16, 8, 77).
int ExpectedFieldCount(ProjectTable table);
TFieldDefs ProjectFieldDefs(ProjectTable table);
TIndexDefs ProjectIndexDefs(ProjectTable table);
// The support column (konstr8, then konstz8) of that name, or nullptr.
const ProjectColumn* FindSupportColumn(const QString& name);

// A table component over a project table in the directory (by default the
// open project, ProjectDatabaseName).
std::unique_ptr<TTable> MakeProjectTable(ProjectTable table);
std::unique_ptr<TTable> MakeProjectTable(ProjectTable table, const QString& directory);

// Copies between a field of the current row and a variable. Fixed-width
// fields are stored without their trailing blanks and read back
// blank-padded and cut at their width; texts go through the ANSI code page.
void ReadField(const TField& field, const FieldRef& target);
void WriteField(TField& field, const FieldRef& source);
// Zero, false, blank-filled field; a text becomes textValue.
void ClearRef(const FieldRef& ref, const QString& textValue = {});
