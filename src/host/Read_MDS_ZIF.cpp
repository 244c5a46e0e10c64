#include "host/Read_MDS_ZIF.h"

#include "host/GlobalVars4KORVA_MDS.h"
#include "data/FileUtils.h"
#include "platform/IniReader.h"
#include "localisation/IvLanguD.h"
#include "platform/Database.h"
#include "platform/Numbers.h"
#include "platform/Query.h"

#include <QRegularExpression>
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

class HostInput {
public:
    explicit HostInput(const QString& fileName) : m_ini(fileName) {
        if (!m_ini.Error().isEmpty()) throw EGeneralError(QStringLiteral("Host input file ") + m_ini.Error());
    }
    QString Text(const char* section, const char* key, const char* defaultText = "") const {
        return m_ini.ReadString(QLatin1String(section), QLatin1String(key), QLatin1String(defaultText));
    }
    double Number(const char* section, const char* key, const char* defaultText = "0") const {
        return StrToFloatAnySep(Text(section, key, defaultText));
    }
    QString Rounded(const char* section, const char* key) const { return RoundedText(Number(section, key)); }

private:
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
    int64_t whole = 0;
    if (ParseWholeNumber(text, whole)) return FitsInt32(whole) ? int32_t(whole) : 0;
    if (const int32_t v = StrToIntSafe(text); v != 0) return v;
    QString normalized = text;
    normalized.replace(u',', u'.');
    bool ok = false;
    const Extended v = ParseNumber(normalized, &ok);
    if (!ok) return 0;
    const Extended r = RoundHalfEven(v);
    if (r < Extended(std::numeric_limits<int32_t>::min()) || r > Extended(std::numeric_limits<int32_t>::max()))
        return 0;
    return int32_t(r);
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
