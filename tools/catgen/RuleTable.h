#pragma once
// The demo catalogue's rule files: comma-separated tables with a header row,
// '#' comment lines and blank lines ignored. Every read error names the file
// and line so that a broken rule is found at once.
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <stdexcept>

class CatalogueRuleError : public std::runtime_error {
public:
    explicit CatalogueRuleError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

class RuleRow {
public:
    RuleRow(const QString& file, int line, const QStringList& header, QStringList cells)
        : m_file(file), m_line(line), m_header(header), m_cells(std::move(cells)) {}

    QString text(const QString& column) const;  // untrimmed
    QString trimmed(const QString& column) const { return text(column).trimmed(); }
    int integer(const QString& column) const;
    double number(const QString& column) const;
    bool flag(const QString& column) const;  // true/false
    QString where() const;  // "file:line"
    [[noreturn]] void fail(const QString& what) const;

private:
    QString m_file;
    int m_line;
    QStringList m_header;  // shared with the table's header
    QStringList m_cells;
};

class RuleTable {
public:
    // Reads dir/fileName; the header must hold every required column.
    static RuleTable Read(const QString& dir, const QString& fileName,
                          const QStringList& requiredColumns);

    const QList<RuleRow>& rows() const { return m_rows; }
    QString fileName() const { return m_fileName; }

private:
    QString m_fileName;
    QStringList m_header;
    QList<RuleRow> m_rows;
};

// "09-24" -> {9, 24}; "7" -> {7, 7}. Raises through the row on a bad text.
struct IntRange {
    int from = 0;
    int to = -1;
    bool contains(int v) const { return v >= from && v <= to; }
};
IntRange ParseRange(const RuleRow& row, const QString& text);

// "1=300 2=450" -> {1: 300, 2: 450}
QMap<int, double> ParseVariants(const RuleRow& row, const QString& column);

// "09:2;10:2-3;11-24:1-3" -> the allowed variants of a size; an empty text
// allows every variant.
class SizeLimits {
public:
    static SizeLimits Parse(const RuleRow& row, const QString& column);
    bool allows(int size, int variant) const;

private:
    bool m_all = true;
    QList<QPair<IntRange, IntRange>> m_rules;
};

// "09-12 11-14" -> the windows in order.
QList<IntRange> ParseWindows(const RuleRow& row, const QString& column);
