#pragma once
// The transfer of the host's values into the support record, as the input
// form's start-up does it: the host globals are shown in the value fields
// in the form's unit mode, each field's exit handler writes the record in
// metric units, the host's configuration number chooses the stress
// condition and the configuration, the configuration's rules write the
// connection codes, and the kept elevations fill the elevation inputs.
//
// The input form calls these step by step from its handlers; a tool that
// has no form calls TransferHostToRecord, which runs the same steps.
#include "forms/rules/LEK1Rules.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class TTable;

// ---------------------------------------------------------------- pipe diameter

// The diameter row that the "RX" read finds for a diameter.
struct DiameterRow {
    double D_R_DM = 0;
    double D_EMIN_MM = 0;
    double D_EMAX_MM = 0;
};
using DiameterLookup = std::function<std::optional<DiameterRow>(double mm)>;
// Reads Durdat.DB through its access unit (the catalogue module's DURDATDB
// must be open).
DiameterLookup CatalogueDiameterLookup();

// The exit of the diameter field: K_RDM, K_RDM_I and K_RDM_KZ, and the text
// the field shows afterwards. nullopt for a text that is no number (the
// record is left as it was).
struct DiameterExit {
    double rdm = 0;     // mm
    double rdmI = 0;    // inch
    char kz = ' ';      // 'S' special diameter, ' ' standard
    QString shown;
};
std::optional<DiameterExit> PipeDiameterExit(const QString& text, UnitMode mode, bool stressCold,
                                             const DiameterLookup& lookup);
// Writes a diameter exit into the record.
void ApplyDiameterExit(const DiameterExit& exit);

// ---------------------------------------------------------------- value fields

// The host's values as the form shows them at start (metric, kN): loads and
// movements by the host's sections, the pipe size text, temperature,
// insulation and the kept elevation texts.
DisplayedValues HostDisplayedValues();

// The exit handlers of the value fields: writes the record from the shown
// values in the unit mode. Under a dynamic condition the dynamic fields
// fill the loads and movements, else the static ones; the failure load of
// DY_L_HS always. The hydrotest load only when K_HYDTEST_KZ.
void ApplyLoadExits(const DisplayedValues& shown, UnitMode mode, bool stressNotDynamic);
// The exit of one value field by its name (Last, DY_L_H, Hydrolast,
// DY_L_HZ, DY_L_HS, STAT_LAST_HZ, STAT_LAST_HS, Horizontal, DY_W_P,
// Lateral, DY_W_N, Vertikal, ISO): its metric field and, in imperial
// mode, its imperial copy. False for a name that is no value field.
bool ApplyFieldExit(const QString& editName, double shown, UnitMode mode);
// After a unit switch: the imperial copies take the shown imperial values;
// the metric fields keep their values.
void ApplyImperialCopies(const DisplayedValues& shown, bool stressNotDynamic);
// One exit each, for the form's handlers.
void ApplyTemperatureExit(int32_t shown, UnitMode mode);
void ApplyInsulationExit(double shown, UnitMode mode);

// The arm length "L =" of the beam clamp with arm (type 76): K_TRAGARM_L in
// whole mm; in imperial mode the inches shown go into K_TRAGARM_L_I.
void ApplyArmLengthExit(double shown, UnitMode mode);

// Writes a fixed-width text field of the record by its name (K_POS_NR,
// K_KDN_ZNR, K_NR_ANL, K_CALC_NR), cut and blank-padded to its width.
void SetRecordText(const QString& field, const QString& text);
QString RecordText(const QString& field);

// The identification texts and coordinates of the host.
void ApplyHostIdentification();

// ---------------------------------------------------------------- configuration

// The drawing key of the stored support whose position number is the
// hanger mark, 0 when there is none or the project cannot be read. The mark
// is a bound value.
int32_t FindStoredSupport(const QString& projectDir, const QString& hangerMark);

// Filters the configuration catalogue for a condition (and the host's
// configuration number) and moves to its first row. False when no row
// passes the filter.
bool FilterConfigurations(TTable& abhg, StressCondition condition, const QString& mdsConfig);

// The beam profile the host's joint beam asks for: the profile row of the
// text table with the flange width (to the nearest mm) and thickness, else
// the first with that width and a thicker flange. nullopt without a width
// and thickness above 0 or without a row.
struct ProfilePreset {
    QString type;
    QString height;
};
std::optional<ProfilePreset> FindProfilePreset(TTable& txttab, double flangeWidth, double flangeThickness);

// The beam profile lists of the text table: every profile type once, in the
// table's order, and the heights of one type. The table's filter is
// cleared afterwards. At most `bound` rows are read.
QStringList ProfileTypes(TTable& txttab, int bound = 10000);
QStringList ProfileHeights(TTable& txttab, const QString& type, int bound = 10000);

// The coordinates of the current configuration row (LeseKoordinaten).
struct ConfigurationRow {
    int A_NR = 0;
    QString A_NAME;
    QString A_BER;
    int A_ANZ_D = 0, A_ANZ_Q = 0;
    int BX = 0, BY = 0;
    int DX[4] = {}, DY[4] = {};
    int QX[5] = {}, QY[5] = {};
};
ConfigurationRow ReadConfigurationRow(TTable& abhg);

// The panel inputs from the record and a configuration.
PanelInputs PanelInputsOf(const ConfigurationRow& row, StressCondition condition, int buildingItem = 1);

// The codes a configuration writes with its default choices (no engineer
// input): the rules' connection codes, then what the Ok road takes from
// the choices shown (building connection item, cams, base clamp style,
// horizontal type).
void ApplyPanelCodes(const PanelLayout& layout, const ConfigurationRow& row);

// ---------------------------------------------------------------- elevations

// Which elevation input a configuration opens: differences, absolute
// elevations or none.
enum class ElevationKind { None, Differences, Absolute };
ElevationKind ElevationKindOf(const ConfigurationRow& row, bool lengthGiven);

// The pre-filled texts of the elevation inputs (1..n, then the steel width
// when BX > 0), an empty text where nothing is pre-filled.
struct ElevationInputs {
    ElevationKind kind = ElevationKind::None;
    int count = 0;
    QString texts[6];
    bool enabled[6] = {true, true, true, true, true, true};
    QString steelWidth;  // empty: no width input
    bool hasSteelWidth = false;
};
ElevationInputs PrefillElevations(const ConfigurationRow& row, ElevationKind kind, const DisplayedValues& shown,
                                  const QString& mdsConfig, const QString& mdsPipeSize, bool imperial);

// Reads one elevation input (1-based slot) into the record: K_HM_D_k or
// K_HM_Q_k, the imperial text, and the title-block heights. Returns the
// input's error number (5201..5208) or 0.
int ReadElevation(int slot, const QString& text, bool differences, bool imperial, const ConfigurationRow& row);
// Reads the steel-width input: K_BREITE, K_BREITE_2, K_BREITE_I; the width
// is rounded to 10 mm for vertical clamps. Returns the error number or 0
// and the text the input shows afterwards.
int ReadSteelWidth(const QString& text, bool imperial, const ConfigurationRow& row, QString* shown = nullptr);
// The steel width as the input shows it: whole mm, or feet-inch with at
// least one decimal so that the feet-inch input accepts it again.
QString SteelWidthText(double mm, bool imperial);

// Starts the elevation input: K_ST_E_6, K_H_ZHL and reads every pre-filled
// input. Returns the first error number or 0.
int ApplyElevations(const ElevationInputs& inputs, bool imperial, const ConfigurationRow& row);

// ---------------------------------------------------------------- unit switch

// The options' unit switch on the support: the shown values and the
// elevation texts (slot 1..n, an empty text for an empty input) change
// units, the record keeps its metric values, the imperial copies take the
// shown imperial values, and the elevations are read again in the new
// units. The input form and the tools switch through here alike.
void SwitchUnits(DisplayedValues& shown, QStringList& elevationTexts, UnitMode from, UnitMode to,
                 bool stressNotDynamic, bool differences, const ConfigurationRow& row);

// ---------------------------------------------------------------- the whole transfer

struct TransferResult {
    StressCondition condition = StressCondition::Static;
    bool configurationFound = false;
    ConfigurationRow configuration;
    DisplayedValues shown;
    PanelLayout layout;
    ElevationInputs elevations;
    int elevationError = 0;
};

// The start-up's transfer for a caller without the form. The caller has
// read the host input file, started the catalogue module with its
// configuration and diameter tables open and prepared the record
// (ReadProjectInfo, ReadCompanyOptions). The form starts in metric units;
// mode: the unit mode the engineer then switches to in the options
// (SwitchUnits). The record's unit flags follow mode. configuration: the configuration number the engineer moves to
// among those the host's number offers (0: the first in their order); a
// number not offered finds no configuration.
TransferResult TransferHostToRecord(UnitMode mode, const DiameterLookup& lookup = CatalogueDiameterLookup(),
                                    int configuration = 0);
