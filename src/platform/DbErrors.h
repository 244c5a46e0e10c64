#pragma once
// Errors of the database layer. EDatabaseError stands for the class
// library's database error, EDBEngineError for the engine's own error with a
// numeric code. Codes start at 10 so they never clash with the small check
// codes (1 to 3) that the project-table check reports.
#include <QString>
#include <stdexcept>

enum DbErrorCode : int {
    dbeNone = 0,
    dbeTableNotFound = 10,   // the table file does not exist
    dbeOldTableLevel = 11,   // the table's level is below the current one
    dbeKeyViolation = 12,    // a unique index would hold a key twice
    dbeFieldNotFound = 13,   // no field of that name
    dbeNotOpen = 14,         // the table or database is not open
    dbeNotEditing = 15,      // a field write outside Edit/Insert/SetKey
    dbeInvalidOperation = 16,
    dbeIo = 17,              // SQLite could not read or write the file
    dbeCorrupt = 18,         // the file is not a table of this system
    dbeAliasUnknown = 19,
    dbeTableExists = 20,
    dbeSqlError = 21,        // a statement could not be prepared or run
    dbeNoCurrentRecord = 22,
    dbeTransaction = 23,
    dbeInjectedFault = 24,   // raised by the fault hook in tests
    dbeLocked = 25,          // another program kept the file locked past the busy timeout
};

class EDatabaseError : public std::runtime_error {
public:
    explicit EDatabaseError(const QString& message);
    QString Message() const { return m_message; }

private:
    QString m_message;
};

class EDBEngineError : public EDatabaseError {
public:
    EDBEngineError(int errorCode, const QString& message);
    int ErrorCode() const { return m_code; }

private:
    int m_code;
};
