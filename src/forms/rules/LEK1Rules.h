#pragma once
// The rules of the main input form without its widgets: unit conversions of
// the value fields, feet-inch length texts, the plausibility checks of the
// Ok road, which connection panels a configuration shows and the host error
// file. The form and the command-line tools call the same functions, so the
// two can never disagree.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// ---------------------------------------------------------------- units

namespace units {
constexpr double MmPerInch = 25.4;
constexpr double InchPerMm = 0.03937007874015748;
constexpr double KgPerLbs = 0.4536;
constexpr double Gravity = 9.81;
constexpr int InchesPerFoot = 12;
}  // namespace units

// How the value fields are shown: metric (mm, °C, kN or kg) or imperial
// (inch, lbs, °F). The record always holds metric values.
struct UnitMode {
    bool imperial = false;
    bool loadsInKg = false;  // metric only
    bool operator==(const UnitMode&) const = default;
};

// The unit mode of the record's flags K_EINH_KZ and K_KN_KG.
UnitMode RecordUnitMode();

// Leaving a field: the shown value in kN. Imperial loads are rounded to the
// nearest newton.
double LoadToKn(double shown, UnitMode mode);
// The inverse, for showing a kN value in the mode.
double KnToLoad(double kN, UnitMode mode);
double LengthToMm(double shown, UnitMode mode);
double MmToLength(double mm, UnitMode mode);
// Whole degrees: °F to °C rounded to the nearest degree (halves to even).
int32_t TemperatureToCelsius(int32_t shown, UnitMode mode);
int32_t CelsiusToTemperature(int32_t celsius, UnitMode mode);

// A number typed with "." or "," as its decimal separator. nullopt for a
// text that is no number.
std::optional<double> TextToFloat(const QString& text);

// ---------------------------------------------------------------- feet and inches

// A length split into signed whole feet and inches rounded to 0.001. The
// sign is kept apart, so lengths between -1 ft and 0 keep it.
struct FeetInch {
    int sign = 1;       // -1 or 1
    int64_t feet = 0;   // not negative
    double inches = 0;  // 0 <= inches < 12
};
FeetInch SplitFeetInch(double mm);
// "3'-3.37\"" for 1000 mm, "1'-0.0\"" for 304.8 mm, "-0'-3.937\"" for
// -100 mm: inches with three decimals, trailing zeros removed down to one.
QString FeetInchText(double mm);
// The smallest elevation difference proposed in the steel-width input:
// whole mm, or the whole feet and the remaining inches to two decimals
// ("0'-10.79\"" for 274 mm).
QString SteelWidthProposal(int32_t mm, bool imperial);
// FeetInchText of a number text; the text as it stands when it is no number.
QString FeetInchTextOfText(const QString& numberText);
// Whole millimetres of sign × (feet × 12 + inches).
int64_t FeetInchToLength(double inches, int64_t feet, int sign = 1);

// ParseInchFraction: code 0 read, 1 no number, 2 bad feet, 3 bad inches.
struct InchFraction {
    double inches = 0;
    int64_t feet = 0;  // not negative: the sign is apart
    int sign = 1;
    int code = 0;
};
InchFraction ParseInchFraction(const QString& text, QChar feetMark = u'\'', QChar inchMark = u'"');
// Whole mm of a feet-inch text; nullopt when the text cannot be read (never
// a partial length).
std::optional<int64_t> ParseFeetInch(const QString& text);
// The mm of a feet-inch text as decimal text; an unreadable text comes back
// as typed.
QString ParseFeetInchToText(const QString& text);

// ---------------------------------------------------------------- shown values

// The value fields of the input form as shown, in the form's unit mode.
struct DisplayedValues {
    double Last = 0, STAT_LAST_HZ = 0, STAT_LAST_HS = 0, Hydrolast = 0;
    double DY_L_H = 0, DY_L_HZ = 0, DY_L_HS = 0;
    double Lateral = 0, Horizontal = 0, Vertikal = 0, DY_W_P = 0, DY_W_N = 0;
    double ISO = 0;
    int32_t TEMP = 0;
    QString RDM;
    // The host's elevations kept unconverted: mm texts in metric mode,
    // feet-inch texts in imperial mode.
    QString SteelElevLeft, SteelElevRight, PipeElev, SteelWidth, RodLength;
};

// The shown temperature after a switch of the unit system: whole °C to °F
// or back (to the nearest degree), below the field's floor as well. Only the
// field changes; the record keeps its K_TEM.
int32_t SwitchedTemperature(int32_t shown, bool toImperial);

// Converts every shown value from one unit mode to the other (the options
// form changed the units). Loads go through kN, so kN/kg switches convert
// as well; the temperature by SwitchedTemperature.
void ConvertDisplayedUnits(DisplayedValues& shown, UnitMode from, UnitMode to);

// ---------------------------------------------------------------- stress condition

enum class StressCondition { Static = 0, Dynamic = 1, Cold = 2 };

struct StressState {
    bool notDynamic = true;
    bool cold = false;
    int base = 100;  // configuration number base
};
StressState StressStateOf(StressCondition condition);
// The condition the host's configuration number asks for: "7" Dynamic, "6"
// and "8" Cold, anything else Static.
StressCondition StressConditionOfHostConfig(const QString& mdsConfig);

// The filter of the configuration catalogue for a condition; the host's
// configuration number goes in as a bound value, never into the text.
struct ConfigurationFilter {
    QString expression;
    QString hostConfig;  // the bound value; empty: none bound
};
ConfigurationFilter ConfigurationFilterOf(StressCondition condition, const QString& mdsConfig);

// ---------------------------------------------------------------- configuration panels

// What the record and the options say that the panel rules read.
struct PanelInputs {
    QString name;  // A_NAME, 8 letters
    StressCondition condition = StressCondition::Static;
    bool rsrlOhne = false;     // K_RSRL_OHNE
    bool obAnsch = false;      // K_OB_ANSCH
    bool rohrlager = false;    // K_ROHRLAGER_KZ
    bool kerntech = false;     // K_KERNTECH
    double temperature = 0;    // K_TEM, °C
    bool hasABer = false;      // A_BER not blank
    int anzD = 0, anzQ = 0;    // A_ANZ_D, A_ANZ_Q
    int buildingItem = 1;      // the chosen item of GroupBoxBuildingConnection
};

// Which panels and groups a configuration shows, in the order they stand,
// and the codes the rules write.
struct PanelLayout {
    bool PanelStatic = false, PanelCold = false, PanelColdFreeze = false, PanelDynamic = false;
    bool ANGEBOHNE = false, Gebaude1 = false, RSRLOHNE = false;
    bool GroupBoxVertical = false, GroupBoxVerticalEnabled = true, GroupBoxHorizontal = false;
    bool GroupBoxBuildingConnection = false;
    bool GroupBoxFHTraversen = false, BaseClampStyleBox = false, RGLagerFuehrung = false;
    bool RGLagerFuehrungEnabled = true, Panel_T36_STATIC = false, Panel_T36_DYNAMIC = false;
    bool PanelExt = false, Panel_T9 = false, gbType40Material = false;
    bool Stanchion = false, PanelWegeingabe = false, GroupBoxAbhebesich = false;
    // ANGEBOHNE: whether "Typ 63 Sechkantmutter" is offered as a third item.
    bool angebohneHex = false;
    // GroupBoxBuildingConnection: 3 or 5 items.
    int buildingItems = 3;
    int buildingItem = 1;  // the item chosen after the rules
    // The panel shows "No aditional information needed !".
    bool noAdditionalInformation = false;
    // Codes: -1 keeps the record's value.
    int anGeb = -1;
    int rsrlOhneNr = 0;
    bool resetRlFuehrung = false;  // K_RLFUEHRUNG_ZHL := 0
    // Buttons
    bool DiffKnopf = false, KotenKnopf = false, Weiter = false, HG_VOR = false;
};

// The letter at position pos (counted from 1) of a configuration name, a
// blank beyond its end.
QChar NameLetter(const QString& name, int pos);
PanelLayout ConfigureConnectionPanels(const PanelInputs& in);

// The building connection type of GroupBoxBuildingConnection's item.
int BuildingConnectionCode(int itemIndex);  // 75, 73, 78, 76, 74; -1 other
int BuildingConnectionItem(int anGeb, int itemCount);
int AngebohneCode(int itemIndex);  // 61, 60, 66; -1 other
int RsrlOhneCode(int itemIndex);   // 60, 61, 74, 63, 0, 73, 75; -1 other
int RsrlOhneItem(int code);
// The lift-off guard of GroupBoxAbhebesich's item: 3 without (type 53), 5
// with (type 55).
int LiftOffTypeOf(int itemIndex);

// ---------------------------------------------------------------- plausibility

// A message the form shows, and how: an error box or a Yes/No question.
struct RuleMessage {
    enum Kind { None, Error, Question } kind = None;
    QStringList parts;  // each translated, joined with " "
};
// The plausibility questions before an elevation dialog; the first rule
// that fires wins. An Error stops; a Question stops when answered No.
RuleMessage CheckConfigPlausibility(const QString& name, bool rsrlOhne, const QString& rdmKz, double wegX,
                                    double wegY, double wegZ, double rdm);

// One failed input check of the Ok road: its message, the field that gets
// the focus (empty: none) and whether the box goes through the translator
// as menu text (ErrorOkActive) or as the base form's text (ErrorOk).
struct InputCheckFailure {
    QString message;
    QString focus;
    int messageNumber = 0;  // a string-table message instead of a text
    bool activeOwner = false;
};
// Checks 1 to 3: loads and pipe diameter. A dynamic support is refused
// only when all three of its loads are 0.
std::optional<InputCheckFailure> CheckLoadsAndDiameter(bool stressNotDynamic, bool stressCold, bool rsrlOhne,
                                                       double load, double load2, double load3, double rdm);
// Check 4: the steel width the configuration asks for.
std::optional<InputCheckFailure> CheckSteelWidth(int bx, double breite);
// Check 5 to 7: the cold panels.
std::optional<InputCheckFailure> CheckInsulationChosen(bool panelVisible, int index);
std::optional<InputCheckFailure> CheckAdjustmentTravel(bool panelsVisible, double breiteMm);
std::optional<InputCheckFailure> CheckStanchionChosen(bool panelsVisible, int kind);

// The class library's conversion error of a text that is no number, in the
// menu language: "'abc' is not a valid floating point value".
QString ConversionErrorText(const QString& text, bool integer);
// A value field whose text is no number stops the Ok road: the conversion
// error (already translated) and the field's focus.
InputCheckFailure InvalidValueFailure(const QString& field, const QString& text, bool integer);
// An elevation or steel-width input that cannot be read stops the Ok road:
// the input's error message (5201..5208) and its focus. A feet or inch part
// of `text` that is no number gives the conversion error instead, naming
// the part as typed.
InputCheckFailure ElevationFailure(const QString& input, int error, const QString& text = {}, bool imperial = false);
// The text to show for such a failure.
QString FailureText(const InputCheckFailure& f);

// The weld-on lug limits of type 41: the information boxes to show and the
// horizontal type to keep.
struct Type41Result {
    bool ok = true;
    QStringList messages;
    int horTyp = 0;
    int panelT9 = -1;  // -1 unchanged, 0 hidden, 1 shown
};
Type41Result CheckType41Limits(bool groupVisible, int itemIndex, bool rsrlOhne, const QString& name,
                              double insulation, double temperature);

// The smallest elevation difference, in mm, from the load F (kN), the pipe
// diameter d and the insulation s (mm). A negative load counts by its size.
int32_t MinElevationDiff(double load, double diameter, double insulation);

// The T9 rod angle from the host's Alpha for a configuration name.
double T9AngleFromHost(const QString& name, double alpha);

// The hanger-type label: the load number of the type pre-selected in the
// hanger-type dialog while the pre-selection is in force, else "Auto".
QString HangerTypeLabel(bool preselected, const QString& loadNumber);

// ---------------------------------------------------------------- options: date format

// The short date formats the options offer for a separator item (0 ".",
// 1 ",", 2 "-", 3 "/", 4 none), in the options' notation (dd, mm, yyyy).
QStringList DateFormatsOf(int separatorItem);
// The separator item of a date separator (4 for any other character).
int DateSeparatorItem(QChar separator);
// A short date format in the options' notation: the month as "m", whatever
// the notation it was written in ("dd.MM.yy" and "dd.mm.yy" alike).
QString OptionsDateFormat(const QString& format);
// The date of the support as the input form's date label shows it, in
// the short date format in use (either notation); empty for no date.
QString DateLabelText(const QDateTime& date, const QString& shortDateFormat);
// The formats offered with the one in use shown: the separator's five,
// with the format in use first when it is not one of them, and the index
// of the format in use.
struct DateFormatChoice {
    QStringList formats;
    int index = 0;
};
DateFormatChoice DateFormatChoiceOf(int separatorItem, const QString& inUse);

// ---------------------------------------------------------------- host error file

inline constexpr const char* HostErrorFileName = "KORVA_MDS_ERROR.Z3D";
// Writes "CANCLED " + message + CR LF into the host error file in the
// directory (the current directory when empty), replacing an earlier one.
// False when it cannot be written; the earlier file then stays as it was.
bool WriteHostErrorFile(const QString& message, const QString& directory = {});
// Removes a stale host error file after a successful run.
void RemoveHostErrorFile(const QString& directory = {});
