#include "data/CblTools.h"

#include "platform/CodePage.h"

#include <QByteArray>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr char PositiveOverpunch[] = "{ABCDEFGHI";
constexpr char NegativeOverpunch[] = "}JKLMNOPQR";

// How one picture character edits one position of a field.
struct PictureEdit {
    char out;
    bool consumes;
};

PictureEdit EditChar(char source, QChar pictureChar, bool negative) {
    switch (pictureChar.unicode()) {
    case '*': return {source == '0' ? '*' : source, true};
    case 'Z': return {source == '0' ? ' ' : source, true};
    case '0': return {source == ' ' ? '0' : source, true};
    case ',': case '.': case '/': return {char(pictureChar.unicode()), false};
    case 'B': return {' ', false};
    case '+': return {negative ? '-' : '+', false};
    case '-': return {negative ? '-' : ' ', false};
    default: return {source, true};
    }
}

QChar PictureAt(const QString& picture, int index) {
    return index < picture.size() ? picture.at(index) : QChar(0);
}

// Text to bytes of the ANSI code page; plain ASCII needs no conversion.
QByteArray ToBytes(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80) return EncodeCodePage(text, 0);
    return text.toLatin1();
}

bool AnyNonZeroDigit(const char* s, int n) {
    for (int i = 0; i < n; ++i)
        if (s[i] >= '1' && s[i] <= '9') return true;
    return false;
}

// The sign of a field and its characters with the overpunch replaced by the
// digit it carries.
std::vector<char> DecodedCopy(const char* src, int width, bool& negative) {
    std::vector<char> copy(src, src + width);
    negative = false;
    int digit = 0;
    bool positive = true;
    if (width > 0 && DecodeOverpunch(copy[0], digit, positive)) {
        copy[0] = char('0' + digit);
        negative = !positive;
    }
    return copy;
}

// The integer part of a field, right-aligned in 30 digits; raises
// EConvertError when it is not all digits.
int64_t IntegerPart(const char* field, int high, int srcPoint, bool& negative) {
    char work[30];
    EditNumericField(work, field, 30, high + 1, 0, srcPoint, {}, false);
    int dummy = 0;
    bool positive = true;
    negative = high >= 0 && DecodeOverpunch(field[0], dummy, positive) && !positive;
    int64_t value = 0;
    for (char c : work) {
        if (c < '0' || c > '9')
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value")
                                    .arg(QString::fromLatin1(work, 30).trimmed()));
        if (value > (INT64_MAX - 9) / 10)
            throw EConvertError(QStringLiteral("'%1' is out of range").arg(QString::fromLatin1(work, 30)));
        value = value * 10 + (c - '0');
    }
    return value;
}

// Sign and digits of a zoned field as text, with '.' before position
// point; false when it is not a number.
bool ParseZoned(const char* field, int high, int point, Extended& result) {
    bool negative = false;
    std::vector<char> digits = DecodedCopy(field, high + 1, negative);
    Extended whole = 0, fraction = 0, scale = 1;
    for (int i = 0; i <= high; ++i) {
        char c = digits[size_t(i)];
        if (c < '0' || c > '9') return false;
        if (point > 0 && i >= point - 1) {
            scale /= 10;
            fraction += (c - '0') * scale;
        } else {
            whole = whole * 10 + (c - '0');
        }
    }
    result = (whole + fraction) * (negative ? -1 : 1);
    return high >= 0;
}

}  // namespace

char EncodeOverpunch(bool positive, int digit) {
    if (digit < 0 || digit > 9) return '0';
    return positive ? PositiveOverpunch[digit] : NegativeOverpunch[digit];
}

bool DecodeOverpunch(char c, int& digit, bool& positive) {
    if (c >= '0' && c <= '9') {
        digit = c - '0';
        positive = true;
        return true;
    }
    if (const char* p = std::strchr(PositiveOverpunch, c); p && c) {
        digit = int(p - PositiveOverpunch);
        positive = true;
        return true;
    }
    if (const char* p = std::strchr(NegativeOverpunch, c); p && c) {
        digit = int(p - NegativeOverpunch);
        positive = false;
        return true;
    }
    return false;
}

void EditNumericField(char* dest, const char* src, int destWidth, int srcWidth, int destPoint,
                      int srcPoint, const QString& picture, bool isSigned) {
    const int dP = destPoint == 0 ? destWidth + 1 : destPoint;
    const int sP = srcPoint == 0 ? srcWidth + 1 : srcPoint;
    bool negative = false;
    std::vector<char> source = DecodedCopy(src, srcWidth, negative);
    auto sourceAt = [&](int i) { return i >= 0 && i < srcWidth ? source[size_t(i)] : '0'; };

    // Integer part, right to left; digits that do not fit are dropped.
    int di = dP - 2, si = sP - 2;
    for (; di >= 0 && si >= 0; --di) {
        PictureEdit e = EditChar(sourceAt(si), PictureAt(picture, di), negative);
        if (di < destWidth) dest[di] = e.out;
        if (e.consumes) --si;
    }
    for (; di >= 0; --di)
        if (di < destWidth) dest[di] = EditChar('0', PictureAt(picture, di), negative).out;

    if (isSigned && destWidth > 0 && dest[0] >= '0' && dest[0] <= '9') {
        const bool positive = !negative && AnyNonZeroDigit(source.data(), srcWidth);
        dest[0] = EncodeOverpunch(positive, dest[0] - '0');
    }

    // Fraction, left to right; digits that do not fit are cut off.
    di = dP - 1;
    si = sP - 1;
    for (; di < destWidth && si < srcWidth; ++di) {
        PictureEdit e = EditChar(sourceAt(si), PictureAt(picture, di), negative);
        if (di >= 0) dest[di] = e.out;
        if (e.consumes) ++si;
    }
    for (; di < destWidth; ++di)
        if (di >= 0) dest[di] = EditChar('0', PictureAt(picture, di), negative).out;
}

void EditTextField(char* dest, const char* src, int destWidth, int srcWidth, const QString& picture) {
    int si = 0;
    for (int di = 0; di < destWidth; ++di) {
        const bool haveSource = si < srcWidth;
        PictureEdit e = EditChar(haveSource ? src[si] : ' ', PictureAt(picture, di), false);
        dest[di] = e.out;
        if (haveSource && e.consumes) ++si;
    }
}

void PutTextField(char* field, int high, const QString& text, const QString& picture) {
    const QByteArray bytes = ToBytes(text);
    EditTextField(field, bytes.constData(), high + 1, int(bytes.size()), picture);
}

void MoveStrField(char* buffer, const QString& text, int width) {
    const QByteArray bytes = ToBytes(text);
    const int n = MinInt(width, int(bytes.size()));
    std::memcpy(buffer, bytes.constData(), size_t(MaxInt(n, 0)));
    for (int i = MaxInt(n, 0); i < width; ++i) buffer[i] = ' ';
}

void PutIntField(char* field, int high, int32_t value, int destPoint, int srcPoint,
                 const QString& picture, bool isSigned) {
    const int64_t magnitude = value < 0 ? -int64_t(value) : int64_t(value);
    QByteArray digits = QByteArray::number(qlonglong(magnitude));
    // The sign travels as the overpunch of the source's first digit.
    if (value < 0) digits[0] = EncodeOverpunch(false, digits[0] - '0');
    EditNumericField(field, digits.constData(), high + 1, int(digits.size()), destPoint, srcPoint,
                     picture, isSigned);
}

void PutFloatField(char* field, int high, int destPoint, Extended value, const QString& picture,
                   bool isSigned) {
    char text[128];
    const int n = std::snprintf(text, sizeof text, "%.18Lf", value);
    if (n <= 0 || n >= int(sizeof text)) {  // beyond any field's width
        PutIntField(field, high, 0, destPoint, 0, picture, isSigned);
        return;
    }
    // The separator and a leading '-' are removed: the digits of the
    // absolute value move, and a signed field carries the sign of those
    // digits (no caller writes a negative value signed).
    QByteArray digits;
    int sourcePoint = 0;
    for (int i = 0; i < n; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') digits += c;
        else if (c != '-' && sourcePoint == 0) sourcePoint = int(digits.size()) + 1;  // the separator
    }
    EditNumericField(field, digits.constData(), high + 1, int(digits.size()), destPoint, sourcePoint,
                     picture, isSigned);
}

void PutStrField(char* dest, int high, const char* src, int srcHigh, int destPoint, int srcPoint,
                 const QString& picture, bool isSigned) {
    if (destPoint == -1)
        EditTextField(dest, src, high + 1, srcHigh + 1, picture);
    else
        EditNumericField(dest, src, high + 1, srcHigh + 1, destPoint, srcPoint, picture, isSigned);
}

void GetIntField(int16_t& result, const char* field, int high, int srcPoint, bool isSigned) {
    bool negative = false;
    int64_t value = IntegerPart(field, high, srcPoint, negative);
    if (isSigned && negative) value = -value;
    if (value < INT16_MIN || value > INT16_MAX)
        throw EConvertError(QStringLiteral("%1 is not a 16-bit value").arg(qlonglong(value)));
    result = int16_t(value);
}

void GetNumField(double& result, const char* field, int high, int srcPoint, bool isSigned) {
    bool negative = false;
    int64_t value = IntegerPart(field, high, srcPoint, negative);
    result = double(isSigned && negative ? -value : value);
}

int32_t ZonedToInt(const char* field, int high) {
    Extended v = 0;
    if (!ParseZoned(field, high, 0, v) || v > INT32_MAX || v < INT32_MIN) return 0;
    return int32_t(v);
}

Extended ZonedToFloat(const char* field, int high, int point) {
    Extended v = 0;
    return ParseZoned(field, high, point, v) ? v : 0;
}

int CompareBytes(const char* a, int lengthA, const char* b, int lengthB) {
    const int n = MaxInt(lengthA, lengthB);
    for (int i = 0; i < n; ++i) {
        const unsigned char ca = i < lengthA ? (unsigned char)a[i] : ' ';
        const unsigned char cb = i < lengthB ? (unsigned char)b[i] : ' ';
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return 0;
}

int CompareFloats(Extended a, Extended b) { return a < b ? -1 : (a > b ? 1 : 0); }

int CompareFields(const char* a, int highA, const char* b, int highB, int pointA, int pointB) {
    if (pointA < 0 || pointB < 0) return CompareBytes(a, highA + 1, b, highB + 1);
    return CompareFloats(ZonedToFloat(a, highA, pointA), ZonedToFloat(b, highB, pointB));
}

int CompareFieldValue(const char* field, int high, int32_t value, int point) {
    if (point == -1) {
        char work[301];
        const int64_t magnitude = value < 0 ? -int64_t(value) : int64_t(value);
        MoveStrField(work, QString::number(qlonglong(magnitude)), 301);
        return CompareBytes(field, high + 1, work, 301);
    }
    return CompareFloats(ZonedToFloat(field, high, point), value);
}

int CompareValueField(int32_t value, const char* field, int high, int point) {
    return -CompareFieldValue(field, high, value, point);
}

int CompareFieldText(const char* field, int high, const QString& text) {
    const QByteArray bytes = ToBytes(text);
    return CompareBytes(field, high + 1, bytes.constData(), int(bytes.size()));
}

QString FieldText(const char* field, int width) {
    for (int i = 0; i < width; ++i)
        if ((unsigned char)field[i] >= 0x80) return DecodeCodePage(QByteArray(field, width), 0);
    return QString::fromLatin1(field, width);
}

QString FieldTextTrimmed(const char* field, int width) {
    int n = width;
    while (n > 0 && (field[n - 1] == ' ' || field[n - 1] == '\0')) --n;
    return FieldText(field, n);
}
