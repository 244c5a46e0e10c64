#include "host/IniWriter.h"

#include "platform/CodePage.h"
#include "platform/HostFiles.h"

#include <QFile>
#include <QStringDecoder>

void TIniWriter::Section(const QString& name) { m_lines << QLatin1Char('[') + name + QLatin1Char(']'); }

void TIniWriter::Value(const QString& key, const QString& value) { m_lines << key + QStringLiteral(" = ") + value; }

void TIniWriter::Line(const QString& text) { m_lines << text; }

bool TIniWriter::Save(const QString& fileName, QString* error) const {
    HostTextWriter writer;
    if (!writer.Open(fileName)) {
        if (error) *error = QStringLiteral("%1: %2").arg(fileName, writer.ErrorString());
        return false;
    }
    for (const QString& line : m_lines) writer.WriteLine(line);
    if (!writer.Commit()) {
        if (error) *error = QStringLiteral("%1: %2").arg(fileName, writer.ErrorString());
        return false;
    }
    return true;
}

QString ReadIniFileText(const QString& fileName, bool* ok) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) {
        if (ok) *ok = false;
        return QString();
    }
    QByteArray bytes = f.readAll();
    if (ok) *ok = true;
    if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.mid(3));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    return DecodeCodePage(bytes, 1252);
}
