#pragma once
// Stored form descriptions and a reader positioned on one property of one
// component in them. The program builds its forms in code; a description is
// data a form keeps beside it (a dictionary stored with the form), held as a
// resource of the program: registered under its name, or the Qt resource
// ":/RCDATA/<name>".
//
// A description is the signature "IVF0", then the root object. An object is
// a prefix byte (0xF0 | flags), its class name and its name (short names: a
// length byte and that many bytes of UTF-8), its properties (a short name
// and a value each, ended by a zero byte) and its children (objects, ended
// by a zero byte). A value is a tag byte and its data: 1 list begin (values
// up to the list end), 0 list end, 2 integer (32 bits, little-endian), 3
// string (32-bit length and UTF-8), 4 false, 5 true, 6 character (one UTF-16
// code unit).
#include "localisation/IvCommon.h"

#include <QByteArray>
#include <QString>
#include <memory>

enum TIvValueType : uint8_t {
    ivvaNull = 0,
    ivvaList = 1,
    ivvaInteger = 2,
    ivvaString = 3,
    ivvaFalse = 4,
    ivvaTrue = 5,
    ivvaChar = 6,
};

class TIvReader {
public:
    explicit TIvReader(QByteArray data) : m_data(std::move(data)) {}

    void ReadSignature();
    // An object's header: prefix, class name, name.
    void ReadPrefix();
    QString ReadStr();
    // The rest of an object whose header was read: properties and children.
    void SkipObject();
    void SkipProperty();
    void SkipValue();
    // Whether the next byte ends a list of values, properties or objects.
    bool EndOfList();
    void ReadListBegin();
    void ReadListEnd();
    int32_t ReadInteger();
    QString ReadString();
    bool ReadBoolean();
    QChar ReadChar();
    qint64 Position() const { return m_pos; }

private:
    uint8_t ReadByte();
    uint8_t Peek();
    void Expect(TIvValueType type);
    const char* Take(qint64 n);

    QByteArray m_data;
    qint64 m_pos = 0;
};

// Writes a description in the format above.
class TIvFormWriter {
public:
    TIvFormWriter();
    void BeginObject(const QString& className, const QString& name);
    void Property(const QString& name) { WriteStr(name); }
    // Ends the properties of the object being written.
    void EndProperties() { m_data.append(char(0)); }
    // Ends the children of the object being written.
    void EndObject() { m_data.append(char(0)); }
    void WriteListBegin() { m_data.append(char(ivvaList)); }
    void WriteListEnd() { m_data.append(char(ivvaNull)); }
    void WriteInteger(int32_t value);
    void WriteString(const QString& value);
    void WriteBoolean(bool value) { m_data.append(char(value ? ivvaTrue : ivvaFalse)); }
    void WriteChar(QChar value);
    const QByteArray& Data() const { return m_data; }

private:
    void WriteStr(const QString& name);
    QByteArray m_data;
};

// The program resources that hold form descriptions.
void RegisterFormResource(const QString& name, const QByteArray& data);
void UnregisterFormResource(const QString& name);

// A reader on the value of a property of a direct child of the form stored
// in the resource (names compared without regard to case). Raises
// EResNotFound "Could not find the property" when the component or the
// property is not there, and the resource's own EResNotFound when the
// resource is missing.
std::unique_ptr<TIvReader> ReadFormProperty(const QString& resourceName, const QString& className,
                                            const QString& objectName, const QString& propertyName);
