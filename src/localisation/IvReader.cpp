#include "localisation/IvReader.h"

#include <QFile>
#include <QHash>
#include <QtEndian>

namespace {

constexpr char kSignature[] = "IVF0";
constexpr uint8_t kPrefix = 0xF0;

QHash<QString, QByteArray>& Resources() {
    static QHash<QString, QByteArray> resources;
    return resources;
}

QByteArray FormResource(const QString& name) {
    const auto it = Resources().constFind(name);
    if (it != Resources().constEnd()) return *it;
    QFile resource(QStringLiteral(":/RCDATA/") + name);
    if (!resource.open(QIODevice::ReadOnly))
        throw EResNotFound(QStringLiteral("Resource %1 not found").arg(name));
    return resource.readAll();
}

[[noreturn]] void NotFound() { throw EResNotFound(QStringLiteral("Could not find the property")); }

}  // namespace

// ---- reader ----

const char* TIvReader::Take(qint64 n) {
    if (n < 0 || m_pos + n > m_data.size()) throw EReadError(QStringLiteral("Stream read error"));
    const char* p = m_data.constData() + m_pos;
    m_pos += n;
    return p;
}

uint8_t TIvReader::ReadByte() { return uint8_t(*Take(1)); }

uint8_t TIvReader::Peek() {
    if (m_pos >= m_data.size()) throw EReadError(QStringLiteral("Stream read error"));
    return uint8_t(m_data[m_pos]);
}

void TIvReader::Expect(TIvValueType type) {
    if (ReadByte() != type) throw EReadError(QStringLiteral("Invalid property value"));
}

void TIvReader::ReadSignature() {
    if (QByteArray(Take(4), 4) != QByteArray(kSignature)) throw EReadError(QStringLiteral("Invalid stream format"));
}

void TIvReader::ReadPrefix() {
    if ((ReadByte() & 0xF0) != kPrefix) throw EReadError(QStringLiteral("Invalid stream format"));
}

QString TIvReader::ReadStr() {
    const uint8_t n = ReadByte();
    return QString::fromUtf8(Take(n), n);
}

bool TIvReader::EndOfList() { return Peek() == ivvaNull; }

void TIvReader::ReadListBegin() { Expect(ivvaList); }

void TIvReader::ReadListEnd() { Expect(ivvaNull); }

int32_t TIvReader::ReadInteger() {
    Expect(ivvaInteger);
    return qFromLittleEndian<int32_t>(Take(4));
}

QString TIvReader::ReadString() {
    Expect(ivvaString);
    const uint32_t n = qFromLittleEndian<uint32_t>(Take(4));
    return QString::fromUtf8(Take(qint64(n)), qsizetype(n));
}

bool TIvReader::ReadBoolean() {
    const uint8_t t = ReadByte();
    if (t != ivvaTrue && t != ivvaFalse) throw EReadError(QStringLiteral("Invalid property value"));
    return t == ivvaTrue;
}

QChar TIvReader::ReadChar() {
    Expect(ivvaChar);
    return QChar(qFromLittleEndian<uint16_t>(Take(2)));
}

void TIvReader::SkipValue() {
    switch (ReadByte()) {
    case ivvaList:
        while (!EndOfList()) SkipValue();
        ReadByte();
        break;
    case ivvaInteger: Take(4); break;
    case ivvaString: Take(qFromLittleEndian<uint32_t>(Take(4))); break;
    case ivvaFalse:
    case ivvaTrue: break;
    case ivvaChar: Take(2); break;
    default: throw EReadError(QStringLiteral("Invalid property value"));
    }
}

void TIvReader::SkipProperty() {
    ReadStr();
    SkipValue();
}

void TIvReader::SkipObject() {
    while (!EndOfList()) SkipProperty();
    ReadByte();
    while (!EndOfList()) {
        ReadPrefix();
        ReadStr();
        ReadStr();
        SkipObject();
    }
    ReadByte();
}

// ---- writer ----

TIvFormWriter::TIvFormWriter() { m_data.append(kSignature, 4); }

void TIvFormWriter::WriteStr(const QString& name) {
    const QByteArray utf8 = name.toUtf8().left(255);
    m_data.append(char(utf8.size()));
    m_data.append(utf8);
}

void TIvFormWriter::BeginObject(const QString& className, const QString& name) {
    m_data.append(char(kPrefix));
    WriteStr(className);
    WriteStr(name);
}

void TIvFormWriter::WriteInteger(int32_t value) {
    m_data.append(char(ivvaInteger));
    char bytes[4];
    qToLittleEndian(value, bytes);
    m_data.append(bytes, 4);
}

void TIvFormWriter::WriteString(const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    m_data.append(char(ivvaString));
    char bytes[4];
    qToLittleEndian(uint32_t(utf8.size()), bytes);
    m_data.append(bytes, 4);
    m_data.append(utf8);
}

void TIvFormWriter::WriteChar(QChar value) {
    m_data.append(char(ivvaChar));
    char bytes[2];
    qToLittleEndian(value.unicode(), bytes);
    m_data.append(bytes, 2);
}

// ---- resources ----

void RegisterFormResource(const QString& name, const QByteArray& data) { Resources().insert(name, data); }

void UnregisterFormResource(const QString& name) { Resources().remove(name); }

std::unique_ptr<TIvReader> ReadFormProperty(const QString& resourceName, const QString& className,
                                            const QString& objectName, const QString& propertyName) {
    auto reader = std::make_unique<TIvReader>(FormResource(resourceName));
    TIvReader& r = *reader;
    r.ReadSignature();
    r.ReadPrefix();
    r.ReadStr();
    r.ReadStr();
    while (!r.EndOfList()) r.SkipProperty();
    r.ReadListEnd();
    // Only the form's direct children.
    for (;;) {
        if (r.EndOfList()) NotFound();
        r.ReadPrefix();
        const QString cls = r.ReadStr();
        const QString name = r.ReadStr();
        if (cls.compare(className, Qt::CaseInsensitive) == 0 && name.compare(objectName, Qt::CaseInsensitive) == 0)
            break;
        r.SkipObject();
    }
    for (;;) {
        if (r.EndOfList()) NotFound();
        if (r.ReadStr().compare(propertyName, Qt::CaseInsensitive) == 0) return reader;
        r.SkipValue();
    }
}
