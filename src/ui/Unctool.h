#pragma once
// The elevation edit: a height typed in millimetres or as feet and inches
// (10'-6.5"), converted to whole millimetres with a numbered error for a
// malformed text.
#include <QLineEdit>

// Error codes of the height edit; their texts are the string table entries
// of the same numbers.
namespace unc {
constexpr int Empty = 5201;
constexpr int BadCharacter = 5202;
constexpr int FootMark = 5203;
constexpr int NoDash = 5204;
constexpr int NoInchMark = 5205;
constexpr int InchLength = 5206;
constexpr int InchesTooLarge = 5207;
constexpr int NotWholeMillimetres = 5208;
}  // namespace unc

struct UncHeight {
    int value = -1;  // millimetres, -1 on error
    int error = 0;   // 0 or one of the codes above
    // A feet or inch part that is no number: the class library's conversion
    // error ("'1.5' is not a valid integer value"), in the menu language.
    // The code is then BadCharacter, for callers that report by number.
    QString conversion;
};

UncHeight ParseUncHeight(const QString& text, bool feetAndInches);

class TUncHoehe : public QLineEdit {
    Q_OBJECT
public:
    explicit TUncHoehe(QWidget* parent = nullptr);

    bool UNC() const { return m_unc; }
    void SetUNC(bool feetAndInches);
    QString UNC_HOEHE() const { return text(); }
    // Millimetres, or -1 with FehlerCode set. Callers must test FehlerCode:
    // -1 is also a valid height.
    int Value() const;
    int FehlerCode() const { return m_fehlerCode; }
    // The conversion error of the last read (see UncHeight); empty when
    // the feet and inches were numbers.
    QString ConversionError() const { return m_conversion; }

private:
    bool m_unc = true;
    mutable int m_fehlerCode = 0;
    mutable QString m_conversion;
};
