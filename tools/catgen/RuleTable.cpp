#include "RuleTable.h"

#include <QFile>
#include <QTextStream>

QString RuleRow::where() const
{
    return QStringLiteral("%1:%2").arg(m_file).arg(m_line);
}

void RuleRow::fail(const QString& what) const
{
    throw CatalogueRuleError(where() + QStringLiteral(": ") + what);
}

QString RuleRow::text(const QString& column) const
{
    const int i = m_header.indexOf(column);
    if (i < 0)
        fail(QStringLiteral("no column '%1'").arg(column));
    return i < m_cells.size() ? m_cells[i] : QString();
}

int RuleRow::integer(const QString& column) const
{
    bool ok = false;
    const int v = trimmed(column).toInt(&ok, 10);
    if (!ok)
        fail(QStringLiteral("column '%1' is not a whole number: '%2'").arg(column, text(column)));
    return v;
}

double RuleRow::number(const QString& column) const
{
    bool ok = false;
    const double v = trimmed(column).toDouble(&ok);
    if (!ok)
        fail(QStringLiteral("column '%1' is not a number: '%2'").arg(column, text(column)));
    return v;
}

bool RuleRow::flag(const QString& column) const
{
    const QString t = trimmed(column).toLower();
    if (t != QLatin1String("true") && t != QLatin1String("false"))
        fail(QStringLiteral("column '%1' is neither true nor false: '%2'").arg(column, text(column)));
    return t == QLatin1String("true");
}

RuleTable RuleTable::Read(const QString& dir, const QString& fileName,
                          const QStringList& requiredColumns)
{
    RuleTable t;
    t.m_fileName = fileName;
    QFile f(dir + QLatin1Char('/') + fileName);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        throw CatalogueRuleError(QStringLiteral("%1: cannot read the rule file").arg(fileName));
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    int line = 0;
    while (!in.atEnd()) {
        const QString raw = in.readLine();
        ++line;
        if (raw.trimmed().isEmpty() || raw.trimmed().startsWith(QLatin1Char('#')))
            continue;
        QStringList cells = raw.split(QLatin1Char(','));
        if (t.m_header.isEmpty()) {
            for (QString& c : cells)
                c = c.trimmed();
            t.m_header = cells;
            for (const QString& req : requiredColumns)
                if (!t.m_header.contains(req))
                    throw CatalogueRuleError(QStringLiteral("%1:%2: the header lacks the column '%3'")
                                                 .arg(fileName).arg(line).arg(req));
            continue;
        }
        if (cells.size() != t.m_header.size())
            throw CatalogueRuleError(QStringLiteral("%1:%2: %3 values where the header names %4")
                                         .arg(fileName).arg(line).arg(cells.size())
                                         .arg(t.m_header.size()));
        t.m_rows.append(RuleRow(fileName, line, t.m_header, cells));
    }
    if (t.m_header.isEmpty())
        throw CatalogueRuleError(QStringLiteral("%1: the rule file has no header").arg(fileName));
    return t;
}

IntRange ParseRange(const RuleRow& row, const QString& text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('-'));
    bool ok1 = false, ok2 = false;
    IntRange r;
    r.from = parts.value(0).toInt(&ok1, 10);
    r.to = parts.size() == 2 ? parts[1].toInt(&ok2, 10) : r.from;
    if (parts.size() == 1)
        ok2 = ok1;
    if (!ok1 || !ok2 || parts.size() > 2 || r.to < r.from)
        row.fail(QStringLiteral("'%1' is not a range like 09-24").arg(text));
    return r;
}

QMap<int, double> ParseVariants(const RuleRow& row, const QString& column)
{
    QMap<int, double> out;
    for (const QString& item : row.trimmed(column).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok1 = false, ok2 = false;
        const int v = item.section(QLatin1Char('='), 0, 0).toInt(&ok1);
        const double value = item.section(QLatin1Char('='), 1).toDouble(&ok2);
        if (!ok1 || !ok2 || v < 0 || v > 9)
            row.fail(QStringLiteral("column '%1': '%2' is not digit=value").arg(column, item));
        out.insert(v, value);
    }
    return out;
}

SizeLimits SizeLimits::Parse(const RuleRow& row, const QString& column)
{
    SizeLimits l;
    const QString t = row.trimmed(column);
    l.m_all = t.isEmpty();
    for (const QString& item : t.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (item.count(QLatin1Char(':')) != 1)
            row.fail(QStringLiteral("column '%1': '%2' is not sizes:variants").arg(column, item));
        l.m_rules.append({ParseRange(row, item.section(QLatin1Char(':'), 0, 0)),
                          ParseRange(row, item.section(QLatin1Char(':'), 1))});
    }
    return l;
}

bool SizeLimits::allows(int size, int variant) const
{
    if (m_all)
        return true;
    for (const auto& rule : m_rules)
        if (rule.first.contains(size))
            return rule.second.contains(variant);
    return false;
}

QList<IntRange> ParseWindows(const RuleRow& row, const QString& column)
{
    QList<IntRange> out;
    for (const QString& item : row.trimmed(column).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        out.append(ParseRange(row, item));
    if (out.isEmpty())
        row.fail(QStringLiteral("column '%1' holds no window").arg(column));
    return out;
}
