#include "ui/Unctool.h"

#include "localisation/IvDictio.h"
#include "localisation/IvLanguD.h"
#include "platform/Numbers.h"

namespace {

bool IsAsciiLetter(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

bool HasAnyOf(const QString& text, QStringView forbidden) {
    for (QChar c : text)
        if (IsAsciiLetter(c) || forbidden.contains(c)) return true;
    return false;
}

UncHeight Fail(int code) { return {-1, code, {}}; }

// A part that is no number: the class library's conversion error, naming
// the part as typed.
UncHeight ConversionFailure(const char* format, const QString& part) {
    return {-1, unc::BadCharacter, IvTranslate(QString::fromLatin1(format)).replace(QLatin1String("%s"), part)};
}

UncHeight ParseFeetAndInches(const QString& typed) {
    QString t = typed;
    if (HasAnyOf(t, u" *+/") || t.contains(QLatin1String("--"))) return Fail(unc::BadCharacter);
    int sign = 1;
    if (t.startsWith(u'-')) {
        sign = -1;
        t[0] = u'0';
    }
    const qsizetype foot = t.indexOf(u'\'');
    if (foot < 1 || foot > 6) return Fail(unc::FootMark);
    const qsizetype dash = t.indexOf(u'-');
    if (dash < 0) return Fail(unc::NoDash);
    const qsizetype inch = t.indexOf(u'"');
    if (inch < 0) return Fail(unc::NoInchMark);
    if (inch - dash < 3 || inch - dash > 7) return Fail(unc::InchLength);

    // A part that is no number gives the conversion error, reported with
    // the height like the numbered errors, never as an exception for the
    // form to catch.
    bool ok = false;
    const QString typedInches = t.mid(dash + 1, inch - dash - 1);
    QString inchText = typedInches;
    inchText.replace(u',', u'.');
    const Extended inches = ParseNumber(inchText, &ok);
    if (!ok || inches < 0) return ConversionFailure("'%s' is not a valid floating point value", typedInches);
    if (inches >= 12) return Fail(unc::InchesTooLarge);
    const int feet = t.left(foot).toInt(&ok);
    if (!ok) return ConversionFailure("'%s' is not a valid integer value", typed.left(foot));
    return {int(RoundToInt((Extended(feet) * 12 + inches) * Extended(25.4) * sign)), 0, {}};
}

UncHeight ParseMillimetres(const QString& t) {
    if (HasAnyOf(t, u" \"'*+/")) return Fail(unc::BadCharacter);
    bool ok = false;
    const int v = t.toInt(&ok);
    return ok ? UncHeight{v, 0, {}} : Fail(unc::NotWholeMillimetres);
}

}  // namespace

UncHeight ParseUncHeight(const QString& text, bool feetAndInches) {
    if (text.isEmpty()) return Fail(unc::Empty);
    return feetAndInches ? ParseFeetAndInches(text) : ParseMillimetres(text);
}

TUncHoehe::TUncHoehe(QWidget* parent) : QLineEdit(parent) { SetUNC(true); }

void TUncHoehe::SetUNC(bool feetAndInches) {
    m_unc = feetAndInches;
    if (feetAndInches) {
        setMaxLength(12);
        setText(QStringLiteral("0'-0") + IvFormatSettings().DecimalSeparator + QStringLiteral("0\""));
    } else {
        setMaxLength(6);
        setText(QStringLiteral("0"));
    }
}

int TUncHoehe::Value() const {
    const UncHeight h = ParseUncHeight(text(), m_unc);
    m_fehlerCode = h.error;
    m_conversion = h.conversion;
    return h.value;
}
