#include "ui/ValCtrls.h"

#include "localisation/IvDictio.h"
#include "localisation/IvLanguD.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace {

const char* const kOutOfBound = "Value out of bound";
const char* const kInvalidText = "Invalid validation text";

template <typename T>
bool Within(T v, T lo, T hi) {
    return v >= lo && v <= hi;
}

QString WithExponentDigits(QString text, int minDigits) {
    // Qt writes "1.5e+03"; the edit shows an upper-case E and at least the
    // requested number of exponent digits.
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e < 0) return text;
    QString mantissa = text.left(e);
    QString exp = text.mid(e + 1);
    const QChar sign = exp.isEmpty() ? QLatin1Char('+') : exp[0];
    QString digits = exp.mid(1);
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')) && digits.size() > minDigits) digits.remove(0, 1);
    while (digits.size() < minDigits) digits.prepend(QLatin1Char('0'));
    return mantissa + QLatin1Char('E') + sign + digits;
}

QString FormatC(double v, TFloatView format, int digits, int precision) {
    const QLocale locale = QLocale::c();
    digits = std::clamp(digits, 1, 18);
    precision = std::clamp(precision, 0, 18);
    switch (format) {
    case TFloatView::fvFixed:
        if (std::fabs(v) >= std::pow(10.0, digits)) return WithExponentDigits(locale.toString(v, 'e', digits - 1), 3);
        return locale.toString(v, 'f', precision);
    case TFloatView::fvExponent:
        return WithExponentDigits(locale.toString(v, 'e', digits - 1), precision);
    case TFloatView::fvGeneral:
    default:
        return WithExponentDigits(locale.toString(v, 'g', digits), 2);
    }
}

// The program's one decimal separator, which the language settings may change.
QChar DecimalSeparator() { return IvFormatSettings().DecimalSeparator; }

// The class library's conversion error of a text, in the menu language.
QString ConversionMessage(const char* format, const QString& text) {
    return IvTranslate(QString::fromLatin1(format)).replace(QLatin1String("%s"), text);
}

}  // namespace

// ---------------------------------------------------------------- integer

TIntegerEdit::TIntegerEdit(QWidget* parent) : TValidCustomEdit(parent) { ShowValue(); }

// A text that stands already is not set again: setting it lays the text out
// anew, and the bounds and views are set one after the other.
void TIntegerEdit::ShowValue() {
    const QString shown = QString::number(m_value);
    if (shown != text()) setText(shown);
}

void TIntegerEdit::SetMinValue(int32_t v) {
    if (UseBounds && v > m_value) throw EValueOutOfBound(kOutOfBound);
    m_min = v;
    ShowValue();
}

void TIntegerEdit::SetMaxValue(int32_t v) {
    if (UseBounds && v < m_value) throw EValueOutOfBound(kOutOfBound);
    m_max = v;
    ShowValue();
}

void TIntegerEdit::SetValue(int32_t v) {
    if (UseBounds && !Within(v, m_min, m_max)) throw EValueOutOfBound(kOutOfBound);
    m_value = v;
    ShowValue();
}

int32_t TIntegerEdit::Value() {
    if (!ValidateText()) throw EConvertError(kInvalidText);
    return m_value;
}

bool TIntegerEdit::IsValidText() {
    bool ok = false;
    const int32_t v = text().trimmed().toInt(&ok);
    // A text that is no whole number is the conversion error; the edit keeps
    // it so that the engineer can correct it. An empty text is a missing
    // value, refused with the beep.
    if (!ok) {
        if (!text().trimmed().isEmpty())
            SetConversionError(ConversionMessage("'%s' is not a valid integer value", text()));
        return false;
    }
    m_value = v;
    ShowValue();
    return !UseBounds || Within(m_value, m_min, m_max);
}

// ---------------------------------------------------------------- float

QString FormatFloatView(long double value, TFloatView format, int digits, int precision, QChar decimalSeparator) {
    QString text = FormatC(double(value), format, digits, precision);
    if (decimalSeparator != u'.') text.replace(u'.', decimalSeparator);
    return text;
}

bool ParseFloatText(const QString& text, QChar decimalSeparator, long double& value) {
    QString t = text.trimmed();
    if (decimalSeparator != u'.') {
        if (t.contains(u'.')) return false;
        t.replace(decimalSeparator, u'.');
    }
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = c.toDouble(t, &ok);
    if (!ok || !std::isfinite(v)) return false;
    value = v;
    return true;
}


TFloatEdit::TFloatEdit(QWidget* parent) : TValidCustomEdit(parent) { ShowValue(); }

TFloatEdit::TFloatEdit(QWidget* parent, TFloatView format, int precision)
    : TValidCustomEdit(parent), m_precision(precision), m_format(format) {
    ShowValue();
}

void TFloatEdit::ShowValue() {
    m_shownSeparator = DecimalSeparator();
    m_shownText = FormatFloatView(m_value, m_format, m_digits, m_precision, m_shownSeparator);
    if (m_shownText != text()) setText(m_shownText);
}

void TFloatEdit::SetMinValue(long double v) {
    if (UseBounds && v > m_value) throw EValueOutOfBound(kOutOfBound);
    m_min = v;
    ShowValue();
}

void TFloatEdit::SetMaxValue(long double v) {
    if (UseBounds && v < m_value) throw EValueOutOfBound(kOutOfBound);
    m_max = v;
    ShowValue();
}

void TFloatEdit::SetValue(long double v) {
    if (UseBounds && !Within(v, m_min, m_max)) throw EValueOutOfBound(kOutOfBound);
    m_value = v;
    ShowValue();
}

long double TFloatEdit::Value() {
    if (!ValidateText()) throw EConvertError(kInvalidText);
    return m_value;
}

void TFloatEdit::SetDigits(int v) {
    m_digits = v;
    ShowValue();
}

void TFloatEdit::SetPrecision(int v) {
    m_precision = v;
    ShowValue();
}

void TFloatEdit::SetFormat(TFloatView v) {
    m_format = v;
    ShowValue();
}

bool TFloatEdit::IsValidText() {
    long double v = 0;
    // A language change may have changed the separator since the edit
    // showed its value: its own text is read with the separator it was
    // written with, never refused as the engineer's typing error.
    const bool ownText = text() == m_shownText && m_shownSeparator != DecimalSeparator();
    if (!ParseFloatText(text(), DecimalSeparator(), v) && !(ownText && ParseFloatText(text(), m_shownSeparator, v))) {
        if (!text().trimmed().isEmpty())
            SetConversionError(ConversionMessage("'%s' is not a valid floating point value", text()));
        return false;
    }
    m_value = v;
    ShowValue();
    return !UseBounds || Within(m_value, m_min, m_max);
}
