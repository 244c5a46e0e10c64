#pragma once
// Validated edits holding a whole number or a float, with optional bounds.
#include "ui/Validati.h"

#include <cstdint>

class TIntegerEdit : public TValidCustomEdit {
    Q_OBJECT
public:
    explicit TIntegerEdit(QWidget* parent = nullptr);

    int32_t MinValue() const { return m_min; }
    int32_t MaxValue() const { return m_max; }
    void SetMinValue(int32_t v);
    void SetMaxValue(int32_t v);
    // Raises EConvertError when the text does not validate: the conversion
    // error for a text that is no whole number.
    int32_t Value();
    void SetValue(int32_t v);
    bool UseBounds = false;

    bool IsValidText() override;

private:
    void ShowValue();
    int32_t m_min = 0, m_max = 0, m_value = 0;
};

enum class TFloatView { fvGeneral, fvExponent, fvFixed };

// The shown text of a float edit's value, with the given decimal separator.
QString FormatFloatView(long double value, TFloatView format, int digits, int precision, QChar decimalSeparator);
// Reads a float typed with the given decimal separator (and no other).
bool ParseFloatText(const QString& text, QChar decimalSeparator, long double& value);

class TFloatEdit : public TValidCustomEdit {
    Q_OBJECT
public:
    explicit TFloatEdit(QWidget* parent = nullptr);
    // An edit that shows its first text in the given view already, instead
    // of showing it once per setting.
    TFloatEdit(QWidget* parent, TFloatView format, int precision);

    long double MinValue() const { return m_min; }
    long double MaxValue() const { return m_max; }
    void SetMinValue(long double v);
    void SetMaxValue(long double v);
    long double Value();
    void SetValue(long double v);
    bool UseBounds = false;

    int Digits() const { return m_digits; }
    int Precision() const { return m_precision; }
    TFloatView Format() const { return m_format; }
    void SetDigits(int v);
    void SetPrecision(int v);
    void SetFormat(TFloatView v);

    bool IsValidText() override;

private:
    void ShowValue();
    long double m_min = 0, m_max = 0, m_value = 0;
    // The text the edit last showed and the separator it was written with.
    QString m_shownText;
    QChar m_shownSeparator;
    int m_digits = 10, m_precision = 2;
    TFloatView m_format = TFloatView::fvGeneral;
};
