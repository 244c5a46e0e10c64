#include "host/Read_MDS_ZIF.h"

#include "host/GlobalVars4KORVA_MDS.h"
#include "data/FIRAUFKON.h"
#include "data/FileUtils.h"
#include "platform/IniReader.h"
#include "localisation/IvLanguD.h"
#include "platform/CodePage.h"
#include "platform/Database.h"
#include "platform/HostFiles.h"
#include "platform/Numbers.h"
#include "platform/Query.h"

#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <exception>
#include <limits>

namespace {

// Beyond this a rounded value is no longer a safe whole number, and the
// difference of two of them could overflow.
constexpr Extended WholeNumberLimit = 4.0e18L;

// A decimal whole number with an optional sign, nothing else.
bool ParseWholeNumber(const QString& text, int64_t& value) {
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok, 10);
    if (!ok || text.isEmpty() || text.front().isSpace() || text.back().isSpace()) return false;
    value = v;
    return true;
}

bool FitsInt32(int64_t v) {
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

bool ParseHex(const QString& digits, bool negative, int64_t& value) {
    bool ok = false;
    const qlonglong v = digits.toLongLong(&ok, 16);
    if (!ok || digits.isEmpty() || digits.front() == u'-' || digits.front() == u'+') return false;
    value = negative ? -v : v;
    return true;
}

// The number fields: section, key, default text and the host global.
struct NumberField {
    const char* section;
    const char* key;
    const char* defaultText;
    double* target;
};

const NumberField NumberFields[] = {
    {"LOAD", "Normal", "0", &MdsLoadNormal},
    {"LOAD", "Emergency", "0", &MdsLoadEmergency},
    {"LOAD", "Failure", "0", &MdsLoadFailure},
    {"LOAD", "Hydro", "0", &MdsLoadHydro},
    {"PIPE", "Insulation", "0", &MdsInsulation},
    {"PIPE", "Pipe_X", "0", &MdsPipeX},
    {"PIPE", "Pipe_Y", "0", &MdsPipeY},
    {"PIPE", "Pipe_Z", "0", &MdsPipeZ},
    {"MDSHangerConfig", "Alpha", "0.0", &MdsAlpha},
    {"MDSHangerConfig", "Alpha35", "0.0", &MdsAlpha35},
    {"MDSHangerConfig", "Yangle", "0.0", &MdsYAngle},
    {"STATICMOVEMENTS", "Lateral", "0", &MdsStaticLateral},
    {"STATICMOVEMENTS", "Horizontal", "0", &MdsStaticHorizontal},
    {"STATICMOVEMENTS", "Vertical", "0", &MdsStaticVertical},
    {"DYNAMICMOVEMENTS", "Positive", "0", &MdsDynPositive},
    {"DYNAMICMOVEMENTS", "Negative", "0", &MdsDynNegative},
    {"MDSHangerConfig", "Joint Beam Flange Width", "0", &MdsJointFlangeWidth},
    {"MDSHangerConfig", "Joint Beam Flange Thickness", "0", &MdsJointFlangeThickness},
    {"MDSHangerConfig", "Joint Beam Height", "0", &MdsJointBeamHeight},
};

// What a value of the host input may hold.
enum class ValueKind {
    Text,         // any text without control characters
    Mark,         // the hanger mark: also no longer than K_POS_NR
    DrawingNo,    // the drawing number: also no longer than K_KDN_ZNR
    Signed,       // a load, movement or angle: finite, within HostValueLimit
    Size,         // a diameter, thickness, width or height: also not negative
    Coordinate,   // a coordinate or elevation: finite, within HostCoordinateLimit
    Temperature,  // as Signed, read as a whole number
    GivenLength,  // a whole number above 0 is a rod length (a coordinate)
};

struct KeyRule {
    const char* section;
    const char* key;
    ValueKind kind;
};

// Every key the reader reads, with what its value may hold.
const KeyRule KeyRules[] = {
    {"DWG", "HangerMark", ValueKind::Mark},
    {"DWG", "DwgNo", ValueKind::DrawingNo},
    {"LOAD", "Normal", ValueKind::Signed},
    {"LOAD", "Emergency", ValueKind::Signed},
    {"LOAD", "Failure", ValueKind::Signed},
    {"LOAD", "Hydro", ValueKind::Signed},
    {"PIPE", "SIZE", ValueKind::Size},
    {"PIPE", "Temp", ValueKind::Temperature},
    {"PIPE", "Insulation", ValueKind::Size},
    {"PIPE", "Pipe_X", ValueKind::Coordinate},
    {"PIPE", "Pipe_Y", ValueKind::Coordinate},
    {"PIPE", "Pipe_Z", ValueKind::Coordinate},
    {"MDSHangerConfig", "Alpha", ValueKind::Signed},
    {"MDSHangerConfig", "Alpha35", ValueKind::Signed},
    {"MDSHangerConfig", "Yangle", ValueKind::Signed},
    {"MDSHangerConfig", "Profile Left", ValueKind::Text},
    {"MDSHangerConfig", "Profile Right", ValueKind::Text},
    {"MDSHangerConfig", "Config", ValueKind::Text},
    {"MDSHangerConfig", "Length", ValueKind::GivenLength},
    {"MDSHangerConfig", "Joint Beam Flange Width", ValueKind::Size},
    {"MDSHangerConfig", "Joint Beam Flange Thickness", ValueKind::Size},
    {"MDSHangerConfig", "Joint Beam Height", ValueKind::Size},
    {"MDSHangerConfig", "Joint Rotate", ValueKind::Text},
    {"STATICMOVEMENTS", "Lateral", ValueKind::Signed},
    {"STATICMOVEMENTS", "Horizontal", ValueKind::Signed},
    {"STATICMOVEMENTS", "Vertical", ValueKind::Signed},
    {"DYNAMICMOVEMENTS", "Positive", ValueKind::Signed},
    {"DYNAMICMOVEMENTS", "Negative", ValueKind::Signed},
    {"SteelConnection", "EL_Steel_L", ValueKind::Coordinate},
    {"SteelConnection", "EL_Steel_R", ValueKind::Coordinate},
    {"SteelConnection", "Width", ValueKind::Size},
};

// A number text as the reader sees it: empty, a finite number, a number
// the host cannot mean (NaN, an infinity, beyond the float64 range), or a
// text that is no number (which counts as 0).
struct NumberText {
    enum Kind { Empty, Finite, NotFinite, Unreadable } kind = Empty;
    double value = 0;
};

NumberText ClassifyNumber(const QString& text) {
    QString t = text.trimmed().toLower();
    if (t.isEmpty()) return {};
    t.replace(u',', u'.');
    static const QRegularExpression decimal(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)(e([+-]?\\d+))?$"));
    const QRegularExpressionMatch m = decimal.match(t);
    if (!m.hasMatch()) {
        const QString word = (t.startsWith(u'+') || t.startsWith(u'-')) ? t.mid(1) : t;
        const bool notFinite = word == QLatin1String("nan") || word.startsWith(QLatin1String("nan(")) ||
                               word == QLatin1String("inf") || word == QLatin1String("infinity");
        return {notFinite ? NumberText::NotFinite : NumberText::Unreadable, 0};
    }
    // Read with the range of the extended type, so that a number beyond the
    // float64 range is seen as such rather than as 0.
    const QByteArray digits = (t.startsWith(u'+') ? t.mid(1) : t).toLatin1();
    long double v = 0;
    const auto [end, error] = std::from_chars(digits.constData(), digits.constData() + digits.size(), v);
    if (error == std::errc::result_out_of_range) {
        const bool tiny = m.captured(3).startsWith(u'-');
        return {tiny ? NumberText::Finite : NumberText::NotFinite, 0};
    }
    if (error != std::errc() || end != digits.constData() + digits.size()) return {NumberText::Unreadable, 0};
    if (std::fabs(v) > std::numeric_limits<double>::max()) return {NumberText::NotFinite, 0};
    return {NumberText::Finite, double(v)};
}

// Hexadecimal digits (after "$" or "0x") as a number, however large; false
// for anything that is not such digits.
bool ParseHexDigits(const QString& digits, long double& value) {
    if (digits.isEmpty()) return false;
    value = 0;
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        const int d = u >= u'0' && u <= u'9'   ? u - u'0'
                      : u >= u'a' && u <= u'f' ? u - u'a' + 10
                      : u >= u'A' && u <= u'F' ? u - u'A' + 10
                                               : -1;
        if (d < 0) return false;
        value = value * 16 + d;
    }
    return true;
}

// A temperature as the reader reads it, for the reader and the range check
// alike: a whole number as written (decimal, or hexadecimal after "$" or
// "0x", the sign in front), else a number rounded to the nearest whole
// number (halves to the even one).
NumberText ReadTemperature(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return {};
    int64_t whole = 0;
    if (ParseWholeNumber(t, whole)) return {NumberText::Finite, double(whole)};
    const bool negative = t.front() == u'-';
    const QString unsignedPart = (negative || t.front() == u'+') ? t.mid(1) : t;
    long double hex = 0;
    if ((unsignedPart.startsWith(u'$') && ParseHexDigits(unsignedPart.mid(1), hex)) ||
        (unsignedPart.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) && ParseHexDigits(unsignedPart.mid(2), hex))) {
        if (hex > std::numeric_limits<double>::max()) return {NumberText::NotFinite, 0};
        return {NumberText::Finite, double(negative ? -hex : hex)};
    }
    NumberText n = ClassifyNumber(t);
    if (n.kind == NumberText::Finite) n.value = double(RoundHalfEven(Extended(n.value)));
    return n;
}

// The value as the message shows it: long values cut.
QString Shown(const QString& value) {
    constexpr int Longest = 40;
    return value.size() <= Longest ? value : value.left(Longest) + QStringLiteral("...");
}

class HostInput {
public:
    explicit HostInput(const QString& fileName) : m_ini(fileName) {
        if (!m_ini.Error().isEmpty()) throw EGeneralError(QStringLiteral("Host input file ") + m_ini.Error());
    }
    // Refuses the first value of the file the host cannot mean.
    void CheckValues() const {
        for (const KeyRule& rule : KeyRules) CheckValue(rule);
    }
    QString Text(const char* section, const char* key, const char* defaultText = "") const {
        return m_ini.ReadString(QLatin1String(section), QLatin1String(key), QLatin1String(defaultText));
    }
    double Number(const char* section, const char* key, const char* defaultText = "0") const {
        return StrToFloatAnySep(Text(section, key, defaultText));
    }
    QString Rounded(const char* section, const char* key) const { return RoundedText(Number(section, key)); }

private:
    [[noreturn]] void Refuse(const KeyRule& rule, const QString& reason) const {
        throw EGeneralError(QStringLiteral("Host input file %1: [%2] %3 %4")
                                .arg(m_ini.FileName(), QLatin1String(rule.section), QLatin1String(rule.key), reason));
    }
    void CheckValue(const KeyRule& rule) const {
        if (!m_ini.ValueExists(QLatin1String(rule.section), QLatin1String(rule.key))) return;
        const QString value = Text(rule.section, rule.key);
        if (const qsizetype at = FirstControlCharacter(value); at >= 0)
            Refuse(rule, QStringLiteral("holds the control character %1; the value is refused").arg(CodePointName(value[at])));
        switch (rule.kind) {
        case ValueKind::Text: return;
        case ValueKind::Mark:
            CheckCodePage(rule, value);
            return CheckLength(rule, value, int(sizeof ConstructionRecord.K_POS_NR));
        case ValueKind::DrawingNo:
            CheckCodePage(rule, value);
            return CheckLength(rule, value, int(sizeof ConstructionRecord.K_KDN_ZNR));
        case ValueKind::GivenLength: return CheckGivenLength(rule, value);
        default: return CheckNumber(rule, value);
        }
    }
    void CheckLength(const KeyRule& rule, const QString& value, int width) const {
        if (value.size() <= width) return;
        Refuse(rule, QStringLiteral("= \"%1\" has %2 characters; the support record holds %3, and a cut text "
                                    "could stand for another one")
                         .arg(Shown(value))
                         .arg(value.size())
                         .arg(width));
    }
    // A stored text is kept in the host's code page, and the output file
    // is written in it: a character it cannot hold would become "?", and
    // two marks would become one support.
    void CheckCodePage(const KeyRule& rule, const QString& value) const {
        qsizetype at = FirstCharacterNotIn(value, HostFileCodePage);
        if (at < 0) at = FirstCharacterNotIn(value, AnsiCodePage());
        if (at < 0) return;
        if (value[at] == QChar::ReplacementCharacter)
            Refuse(rule, QStringLiteral("holds a byte at position %1 that is no character of the host's code page; "
                                        "the value is refused")
                             .arg(at + 1));
        const bool pair = value[at].isHighSurrogate() && at + 1 < value.size();
        const char32_t code = pair ? QChar::surrogateToUcs4(value[at], value[at + 1]) : value[at].unicode();
        // Named by its number only: the message goes into the host's error
        // file, which could not hold the character either.
        Refuse(rule, QStringLiteral("holds the character U+%1 at position %2, which the host's code page cannot "
                                    "hold; the value is refused")
                         .arg(QString::number(uint(code), 16).toUpper().rightJustified(4, u'0'))
                         .arg(at + 1));
    }
    void CheckNumber(const KeyRule& rule, const QString& value) const {
        const NumberText n = rule.kind == ValueKind::Temperature ? ReadTemperature(value) : ClassifyNumber(value);
        if (n.kind == NumberText::NotFinite)
            Refuse(rule, QStringLiteral("= %1 is not a finite number").arg(Shown(value)));
        if (n.kind != NumberText::Finite) return;
        const double limit = rule.kind == ValueKind::Coordinate ? HostCoordinateLimit : HostValueLimit;
        if (std::fabs(n.value) > limit)
            Refuse(rule, QStringLiteral("= %1 lies outside the range of its field (-%2 to %2)")
                             .arg(Shown(value), QString::number(limit, 'f', 0)));
        if (rule.kind == ValueKind::Size && n.value < 0)
            Refuse(rule, QStringLiteral("= %1 is negative; a size cannot be").arg(Shown(value)));
    }
    // Only a whole number above 0 is a length; any other text is not taken.
    void CheckGivenLength(const KeyRule& rule, const QString& value) const {
        int64_t whole = 0;
        if (!ParseWholeNumber(value, whole) || whole <= 0) return;
        if (double(whole) > HostCoordinateLimit)
            Refuse(rule, QStringLiteral("= %1 lies outside the range of its field (1 to %2)")
                             .arg(Shown(value), QString::number(HostCoordinateLimit, 'f', 0)));
    }

    TIniReader m_ini;
};

int64_t WholeValue(const QString& roundedText) { return roundedText.toLongLong(); }

// Adds one to a text of decimal digits; true when it gained a digit.
bool IncrementDigits(QString& digits) {
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != u'9') {
            digits[i] = QChar(digits[i].unicode() + 1);
            return false;
        }
        digits[i] = u'0';
    }
    digits.prepend(u'1');
    return true;
}

// "1.234500" -> "1.2345", "1.000000" -> "1".
QString GeneralMantissa(const QString& scientific) {
    QString mantissa = scientific.section(u'e', 0, 0);
    if (mantissa.contains(u'.')) {
        while (mantissa.endsWith(u'0')) mantissa.chop(1);
        if (mantissa.endsWith(u'.')) mantissa.chop(1);
    }
    return mantissa;
}

// The host's configuration number must name a row of the configuration
// table; the number is host text and only goes in as a bound value.
bool ConfigurationKnown(const QString& mdsNo) {
    // A connection of its own to the catalogue, closed again at the end.
    const QString databaseName = QStringLiteral("KORVA_MDS_CONFIG");
    TDatabase db{databaseName};
    try {
        db.SetAliasName(QLatin1String(CatalogueAlias));
        TQuery query(databaseName, QStringLiteral("select a_nr from ABHGNR where a_mds_no = :mds"));
        query.SetParam(QStringLiteral(":mds"), mdsNo);
        query.Open();
        const bool found = !query.IsEmpty();
        query.Close();
        return found;
    } catch (const std::exception&) {
        return false;
    }
}

void ReadConfiguration(const HostInput& in) {
    const QString config = in.Text("MDSHangerConfig", "Config");
    MdsConfig = (config.isEmpty() || config == QLatin1String("0")) ? QString() : config.toLower();
    if (!MdsConfig.isEmpty() && !ConfigurationKnown(MdsConfig)) MdsConfig.clear();
}

// Configurations 7 and 21v may carry their rod length; only a whole number
// above 0 is taken.
void ReadGivenLength(const HostInput& in) {
    MdsLengthGiven = false;
    if (MdsConfig != QLatin1String("7") && MdsConfig != QLatin1String("21v")) return;
    const QString length = in.Text("MDSHangerConfig", "Length", "0");
    int64_t whole = 0;
    if (!ParseWholeNumber(length, whole) || whole <= 0) return;
    MdsRodLength = RoundedText(StrToFloatAnySep(length));
    MdsLengthGiven = true;
}

// Configuration 6h stands on the pipe: steel and pipe elevation swap roles.
void SwapElevationsFor6h(const HostInput& in) {
    if (MdsConfig != QLatin1String("6h")) return;
    MdsSteelElevLeft = in.Rounded("PIPE", "Pipe_Z");
    MdsPipeElev = in.Rounded("SteelConnection", "EL_Steel_L");
}

void ReadElevations(const HostInput& in) {
    MdsSteelElevLeft = in.Rounded("SteelConnection", "EL_Steel_L");
    MdsSteelElevRight = in.Rounded("SteelConnection", "EL_Steel_R");
    MdsPipeElev = RoundedText(MdsPipeZ);
    MdsSteelWidth = in.Rounded("SteelConnection", "Width");
    MdsRodLength = QString::number(WholeValue(MdsSteelElevLeft) - WholeValue(MdsPipeElev));
}

}  // namespace

bool IsControlCharacter(QChar c) { return c.category() == QChar::Other_Control; }

qsizetype FirstControlCharacter(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (IsControlCharacter(text[i])) return i;
    return -1;
}

QString CodePointName(char32_t code) {
    return QStringLiteral("U+") + QString::number(uint(code), 16).toUpper().rightJustified(4, u'0');
}

QString CodePointName(QChar c) { return CodePointName(char32_t(c.unicode())); }

QString WithoutControlCharacters(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        if (!IsControlCharacter(c)) out += c;
    return out;
}

double StrToFloatAnySep(const QString& text) {
    if (text.isEmpty()) return 0;
    QString normalized = text;
    normalized.replace(u',', u'.');
    bool ok = false;
    const Extended v = ParseNumber(normalized, &ok);
    if (!ok || std::fabs(v) > std::numeric_limits<double>::max()) return 0;
    return double(v);
}

int32_t StrToIntSafe(const QString& text) {
    QString s = text;
    while (!s.isEmpty() && s.front().isSpace()) s.remove(0, 1);
    if (s.isEmpty()) return 0;
    const bool negative = s.front() == u'-';
    const QString unsignedPart = (negative || s.front() == u'+') ? s.mid(1) : s;
    int64_t value = 0;
    bool ok = false;
    if (unsignedPart.startsWith(u'$'))
        ok = ParseHex(unsignedPart.mid(1), negative, value);
    else if (unsignedPart.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        ok = ParseHex(unsignedPart.mid(2), negative, value);
    else
        ok = ParseWholeNumber(s, value);
    return ok && FitsInt32(value) ? int32_t(value) : 0;
}

int32_t TemperatureFromText(const QString& text) {
    const NumberText n = ReadTemperature(text);
    if (n.kind != NumberText::Finite || n.value < std::numeric_limits<int32_t>::min() ||
        n.value > std::numeric_limits<int32_t>::max())
        return 0;
    return int32_t(n.value);
}

QString RoundedText(double value) {
    const Extended r = RoundHalfEven(Extended(value));
    if (!std::isfinite(r) || std::fabs(r) >= WholeNumberLimit) return QStringLiteral("0");
    return QString::number(qint64(r));
}

QString FormatFixedPrecision(double value, int precision, int decimals) {
    // The significant digits as decimal text (Qt's conversions never follow
    // the C locale), then rounded on those digits, halves away from zero.
    const QString scientific = QString::number(std::fabs(value), 'e', precision - 1);
    const int exponent = scientific.section(u'e', 1, 1).toInt();
    const QString sign = value < 0 ? QStringLiteral("-") : QString();
    if (exponent >= precision) return sign + GeneralMantissa(scientific) + u'E' + QString::number(exponent);
    QString digits = scientific.section(u'e', 0, 0).remove(u'.');
    int whole = exponent + 1;
    if (whole < 0) {
        digits.prepend(QString(-whole, u'0'));
        whole = 0;
    }
    const int keep = whole + decimals;
    if (keep < digits.size()) {
        const bool up = digits[keep] >= u'5';
        digits.truncate(keep);
        if (up && IncrementDigits(digits)) ++whole;
    }
    digits = digits.leftJustified(whole + decimals, u'0');
    QString text = whole > 0 ? digits.left(whole) : QStringLiteral("0");
    if (decimals > 0) text += u'.' + digits.mid(whole, decimals);
    const bool zero = !text.contains(QRegularExpression(QStringLiteral("[1-9]")));
    return zero ? text : sign + text;
}

void ReadMdsInputFile() {
    const HostInput in(InputFileName);
    in.CheckValues();
    MdsHangerMark = in.Text("DWG", "HangerMark");
    MdsDwgNo = in.Text("DWG", "DwgNo");
    for (const NumberField& f : NumberFields) *f.target = in.Number(f.section, f.key, f.defaultText);
    // The pipe size is shown as text, with the decimal separator in force.
    MdsPipeSize = FormatFixedPrecision(in.Number("PIPE", "SIZE"), 7, 2);
    MdsPipeSize.replace(u'.', IvFormatSettings().DecimalSeparator);
    MdsTemp = TemperatureFromText(in.Text("PIPE", "Temp"));
    ReadElevations(in);
    MdsProfileLeft = in.Text("MDSHangerConfig", "Profile Left").toUpper();
    MdsProfileRight = in.Text("MDSHangerConfig", "Profile Right").toUpper();
    ReadConfiguration(in);
    ReadGivenLength(in);
    SwapElevationsFor6h(in);
    MdsJointRotate = in.Text("MDSHangerConfig", "Joint Rotate").toLower() == QLatin1String("true");
}
