#pragma once
// The support record (ConstructionRecord) and its transfers to and from the
// project tables konstr8 / konstz8, the project settings prjinf8 and the
// company settings FIRDAT.
//
// The calculation state CalcGlobals (TableOpCode, TableStatus, SearchKey,
// HDRequest, PriceSuffixRequest, RsrlVariantCode, ExtendedLoadOption,
// PriceIndex, PriceDiscountPercent ...) is declared in GlobalFuncs.h, the
// company number and ProjectDatabaseName in DECODIEREN.h; both are included
// here. The exchange rate of the company settings is the record's F_TGKURS.
#include "data/BridgeRecords.h"
#include "data/DECODIEREN.h"
#include "data/GlobalFuncs.h"
#include "data/ProjectSchemaFields.h"
#include <QDateTime>
#include <QMap>
#include <QVariant>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <stdexcept>

class TTable;

// Text fields of the record whose width is not their column's: the record
// keeps the widths the rest of the program works with, the column cuts what
// it cannot hold.
struct RecordTextWidthRule {
    const char* name;
    int width;
};
inline constexpr RecordTextWidthRule RecordTextWidths[] = {
    {"K_OMASS_1", 14},   {"K_OMASS_2", 14},   {"K_OMASS_3", 14},   {"K_OMASS_4", 14},
    {"K_OMASS_X", 5},    {"K_OMASS_Y", 5},    {"K_OMASS_U", 5},    {"K_OMASS_V", 5},
    {"K_KOOR_MOV_N", 5}, {"K_KOOR_MOV_E", 5}, {"K_KOOR_MOV_S", 5}, {"K_KOOR_MOV_W", 5},
};

constexpr bool SameFieldName(const char* a, const char* b) {
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}

constexpr int RecordTextWidth(const char* name, int columnSize) {
    for (const RecordTextWidthRule& rule : RecordTextWidths)
        if (SameFieldName(rule.name, name)) return rule.width;
    return columnSize;
}

// Member declarations generated from the column lists.
#define KR_VTYPE_A(name, size) char name[RecordTextWidth(#name, size)];
#define KR_VTYPE_S(name, size) int16_t name;
#define KR_VTYPE_I(name, size) int32_t name;
#define KR_VTYPE_P(name, size) int32_t name;
#define KR_VTYPE_N(name, size) double name;
#define KR_VTYPE_L(name, size) bool name;
#define KR_VTYPE_D(name, size) QDateTime name;
#define KR_DECL_V(type, name, size) KR_VTYPE_##type(name, size)
#define KR_DECL_R(type, name, size) KR_VTYPE_##type(name, size)
#define KR_DECL_B(type, name, size) KR_VTYPE_##type(name, size)
#define KR_DECL_T(type, name, size) QString name;
#define KR_DECL_Y(type, name, size)
#define KR_DECL_Q(type, name, size)
#define KR_DECLARE(name, type, size, kind) KR_DECL_##kind(type, name, size)

// Working fields of the record that have no support column: company
// options read by ReadCompanyOptions(type, name).
#define RECORD_WORK_FIELDS(X) \
    X(L, F_DRCK_DIM_KZ)       \
    X(L, F_DRCK_GEW_KZ)       \
    X(S, F_DRCK_KZ)           \
    X(L, F_PRJDIR_KZ)         \
    X(L, F_RAHMEN_KZ)         \
    X(L, F_VORSP_KZ)          \
    X(L, F_KOOR_KZ)           \
    X(L, F_NORDP_KZ)          \
    X(L, F_PREISE)            \
    X(N, F_TGKURS)            \
    X(T, F_PRS_EINHEIT)

#define KR_WTYPE_L(name) bool name;
#define KR_WTYPE_S(name) int16_t name;
#define KR_WTYPE_N(name) double name;
#define KR_WTYPE_T(name) QString name;
#define KR_WORK_DECLARE(type, name) KR_WTYPE_##type(name)

struct TConstructionRecord {
    KONSTR_COLUMNS(KR_DECLARE)
    KONSTZ_COLUMNS(KR_DECLARE)
    RECORD_WORK_FIELDS(KR_WORK_DECLARE)

    // The support's parts chain (entries 1..30 at [0..29], 0 = empty),
    // stored packed in the text columns of the same names.
    double K_BTL_8[30];
    int16_t K_ANZ[30];
    // First character of F_DRCK_EH_KZ: 'A', 'B' or 'C'.
    char PrintUnitChar;

    TConstructionRecord() { Reset(); }
    // Texts blank (fixed fields) or empty, numbers and flags 0.
    void Reset();
};

extern TConstructionRecord ConstructionRecord;

// A support that cannot be stored as it stands (for example a part count
// that the packed column cannot hold). Carries its message number.
class EConstructionError : public std::runtime_error {
public:
    EConstructionError(int messageNumber, const QString& message)
        : std::runtime_error(message.toStdString()), m_number(messageNumber), m_message(message) {}
    int MessageNumber() const { return m_number; }
    QString Message() const { return m_message; }

private:
    int m_number;
    QString m_message;
};

// Message numbers of this unit (texts in the string table).
constexpr int MsgPartCountTooLarge = 7101;
constexpr int MsgPartNumberTooLong = 7102;

// Writes every column of the current rows of konstr8 and konstz8 from the
// record; the caller has put both rows into edit or insert state and posts
// them afterwards.
void SaveConstruction(TTable& konstr, TTable& konstz);
// Reads the support named by CalcGlobals.DrawingKeyText from the project;
// false (record unchanged) when the key is empty or no such support is
// stored.
bool LoadConstruction();
// Reads the width and height columns of the support loaded last again.
void LoadConstructionDims();
// Copies the company options of FIRDAT into the record.
void ReadCompanyOptions();
void ReadCompanyOptions(TTable& firdat);
// The company options as FIRDAT holds them, column by column: what the
// options form started from, to see afterwards what the engineer changed.
using CompanyOptionValues = QMap<QString, QVariant>;
CompanyOptionValues ReadCompanyOptionValues();
CompanyOptionValues ReadCompanyOptionValues(TTable& firdat);
// Copies into the record the company options whose value differs from
// `before` (a column missing there counts as changed), leaving out the
// columns named in `keep`; answers the columns it copied.
QStringList ReadChangedCompanyOptions(const CompanyOptionValues& before, const QStringList& keep = {});
QStringList ReadChangedCompanyOptions(TTable& firdat, const CompanyOptionValues& before, const QStringList& keep = {});
// Starts a new support: resets the record, taking the project's flag text.
void ReadProjectInfo();
void ReadProjectInfo(TTable& prjinf);
// Resets the selection inputs and results and clears the parts list.
void ClearConstruction();
// Copies the company options into the project settings row (appended for
// a new project).
void CopyOptionsToProject(bool newProject);
void CopyOptionsToProject(TTable& firdat, TTable& prjinf, bool newProject);
// Makes the project's settings the working company options; nothing when
// the project has no settings row.
void CopyProjectToOptions();
void CopyProjectToOptions(TTable& prjinf, TTable& firdat);

// Stores the current support (record and parts list) under the key of
// CalcGlobals.DrawingKeyText in one transaction over the project tables:
// either every row is written or the project stays as it was.
enum class StoreOutcome {
    Inserted,        // a new support
    Replaced,        // the support stored under loadedKey, stored again
    KeyTaken,        // the key belongs to another stored support: nothing stored
};
// With advanceRunningNumber, a new support also sets the running number of
// the company settings (F_LFD_NR) to the one after its own, in the same
// commit: either the support is stored and the next number proposed, or
// neither.
StoreOutcome StoreSupport(int32_t loadedKey, bool advanceRunningNumber = false);

// The packed columns, exposed for the transfers' tests.
QString PackPartNumbers(const double (&numbers)[30]);
QString PackPartCounts(const int16_t (&counts)[30]);
void UnpackParts(const QString& packedNumbers, const QString& packedCounts,
                 double (&numbers)[30], int16_t (&counts)[30]);
