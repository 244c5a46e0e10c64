#include "ui/MultiLang.h"
#include "forms/LEKO.h"

#include "data/CatalogueSchema.h"
#include "data/Check_HD_Set.h"
#include "data/DBGLOB.h"
#include "data/DBKON.h"
#include "data/DECODIEREN.h"
#include "data/FIRAUFKON.h"
#include "data/FileUtils.h"
#include "data/GlobalFuncs.h"
#include "data/PGCURE.h"
#include "forms/FirdatBinder.h"
#include "forms/rules/LEK1Rules.h"
#include "host/IniReader.h"
#include "host/IniWriter.h"
#include "host/KORVA_MDS.h"
#include "forms/Password.h"
#include "forms/Password1.h"
#include "localisation/IvBinDic.h"
#include "localisation/IvDialogs.h"
#include "localisation/IvDictio.h"
#include "localisation/IvLangDlg.h"
#include "localisation/IvLanguD.h"
#include "localisation/IvMulti.h"
#include "platform/HostFiles.h"
#include "platform/Numbers.h"
#include "platform/Registry.h"
#include "platform/Table.h"
#include "ui/ApplicationForms.h"
#include "ui/QWDateiInfo2.h"
#include "ui/ValCtrls.h"
#include "ui/ZO_MsgDlgBoxs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

TFLEKO* FLEKO = nullptr;
int TFLEKO::LastTab = 0;

QString ProgramDirectoryText;
int TravelDecimals = 0;
QColor BackgroundColor(0xC0, 0xC0, 0xC0);
bool PrintNoteFlag = false;
bool FormStyleFlag = false;
QString ProjectQueryText;
QString ApplicationHelpFile;
QPoint InputFormOrigin;
std::function<bool(QWidget*, TIvDictionary*, int&)> LanguageDialogHook = [](QWidget* control, TIvDictionary* dictionary,
                                                                             int& language) {
    return ExecuteLanguageDialog(control, dictionary, 0, language);
};

const QString ProductKey = QStringLiteral("\\SOFTWARE\\ZORBEL\\KORVA_9_0");
const QString ExtendedLoadValue = QStringLiteral("EXTENDED_LOADS");

namespace {

constexpr double MmToInch = 0.03937007874015748;

// ---- tables ----------------------------------------------------------------

// The 35 product types of the hot-dip tab, in the order of their positions.
struct HotDipType {
    const char* code;
    const char* caption;
    bool clampTable;  // keyed by RSL_KBEZ in pgrsrsl.DB, else STA_KBEZ in Pgstat.DB
    bool temperatureClass01;
};

const HotDipType HotDipTypes[35] = {
    {"110", "Constant hanger_", false, false},
    {"111", "Yoke plate_", false, false},
    {"161", "Constant support_", false, false},
    {"162", "Angulation constant support_", false, false},
    {"210", "Var. spring hanger_", false, false},
    {"25", "Set up var.spring hang_", false, false},
    {"29", "Var. spring support_", false, false},
    {"291", "Extension f. type 29_", false, false},
    {"60", "Eye nut_", false, false},
    {"61", "Clevis with pin_", false, false},
    {"62", "Turnbuckle_", false, false},
    {"63", "Hexagonal nut_", false, false},
    {"64", "Rod coupling_", false, false},
    {"65", "Tie rod l/r_", false, false},
    {"66", "Tie rod_", false, false},
    {"67", "Threaded rod_", false, false},
    {"671", "Threaded stud_", false, false},
    {"71", "Bracket with CH._", false, false},
    {"761", "Beam Adapter_", false, false},
    {"7691", "Clamp base guide_", false, false},
    {"7692", "Base guide w/ lift-off restrain_", false, false},
    {"77", "Connection plate_", false, false},
    {"78", "Beam clamp_", false, false},
    {"791", "L-Trapeze_", false, false},
    {"793", "Trapeze_", false, false},
    {"795", "CH-Trapeze_", false, false},
    {"798", "VH-Trapeze_", false, false},
    {"42", "Two bolt clamp_", true, false},
    {"421", "Clevis Hanger_", true, false},
    {"43", "Three bolt clamp_", true, false},
    {"44", "Pipe clamp_", true, false},
    {"45", "Vertical pipe clamp_", true, true},
    {"46", "Vertical pipe clamp_", true, true},
    {"47", "Vertical pipe clamp_", true, true},
    {"49", "Clamp base_", true, false},
};

struct EditDef {
    int n;
    const char* field;
    const char* caption;  // label in front; nullptr: none
    const char* unit;     // label behind; nullptr: none
    int maxLength;        // 0: the field's size
};

const EditDef SpecificationEdits[] = {
    {14, "F_FDIFF", "Zulässige Kraftdifferenz bei Federhängern", "[%]", 2},
    {15, "F_BEWEGBER", "Max. zulässiger Weg für Federhänger", "[mm]", 3},
    {16, "F_LR_FH", "Lastreserve bei Federhängern", "[%]", 2},
    {17, "F_LR_KH", "Lastreserve bei Konstanthängern", "[%]", 2},
    {18, "F_WR_FH_MM", "Wegreserve  bei Federhängern", "[mm]", 2},
    {19, "F_WR_FH", nullptr, "[%]", 2},
    {21, "F_WR_KH_MM", "Wegreserve  bei Konstanthängern", "[mm]", 2},
    {20, "F_WR_KH", nullptr, "[%]", 2},
    {22, "F_WR_SB", "Wegreserve bei Stoßbremsen", "[mm]", 2},
    {23, "F_WR_GS", "Einbaureserve bei Gelenkstreben", "[mm]", 2},
    {25, "F_WINKEL", "Zulässiger Winkel", "[Grad]", 0},
    {24, "F_RSRL_LR", "Lastreserve bei rohrumschließenden Teilen", "[%]", 0},
};

struct CheckDef {
    int n;
    const char* caption;
    const char* field;
};

const CheckDef SettingsChecks[] = {
    {1, "Eingabelast bei Federhängern ist Kaltlast", "F_KALWAR_KZ"},
    {4, "Einheitensystem ist UNC", "F_EINH_KZ"},
    {3, "Lasteingaben in kg", "F_KN_KG"},
    {5, "Angaben für Hydrolasten überprüfen", "F_HYDTEST_KZ"},
    {12, "Blockierposition bei Konstanthängern vorwählen", "F_BLOCK_VOR"},
    {16, "Standard Schweißnahtangaben überschreiben", "F_NAHT_KZ"},
    {17, "Auslenkwinkel prüfen", "F_WINKEL_KZ"},
    {23, "UNC - Katalog", "F_KATA_KZ"},
    {31, "No consideration of low temperatures base clamps", "F_RLAGER_WST_KZ"},
    {33, "Reduced temperature range of pipe clamps", "F_VGBRL_KZ"},
};

const CheckDef ConfigurationChecks[] = {
    {6, "Ohne rohrumschließende Bauteile", "F_RSRL_OHNE"},
    {7, "Halterungen ohne Gebäudeanschluß", "F_OB_ANSCH"},
    {8, "Schellentyp 42 bei der Auswahl mit einbeziehen", "F_TYP_42_KZ"},
    {9, "Halterungen im Einbauzustand senkrecht hängend", "F_EINBAU_KZ"},
    {13, "Stoßbremsen ohne Verlägerungen auswählen", "F_SB_OHNE_V"},
    {18, "Ein kleineres Anschlußmaß für Schellen zulassen", "F_RSRL_AN"},
    {24, "Federhänger mit extra langen Wegbereichen", "F_WEG_KZ"},
    {25, "PTFE - Gleitplatten für Rohrunterstützung", "F_PTFE_KZ"},
    {26, "Aufgesetzte Konstant-bzw. Federhänger inkl. Auflager bzw. Grundplatte", "F_AUFLAGER_KZ"},
    {27, "Rohrlager zum Anschweißen (Typ 57), statt Rohrlager (Typ 49)", "F_ROHRLAGER_KZ"},
    {30, "70/70 percent load partitioning at trapezes ", "F_DYN70PROZENT_KZ"},
};

const CheckDef ServiceChecks[] = {
    {10, "Halterungen werkseitig vormontieren", "F_VORKOS_KZ"},
    {11, "Federhänger werkseitig blockieren", "F_BLOCKKOS_KZ"},
    {14, "Zusatzanstrich für rohrumschließende Bauteile", "F_ANSTR_KZ"},
    {19, "Preisberechnung", "F_PREISE"},
    {32, "Hot-dip galvanised", "F_HD_KZ"},
    {2, "Kernteschnische Ausführung", "F_KERNTECH"},
};

const CheckDef PrintChecks[] = {
    {15, "Lageplan", "F_PLAN_KZ"},        {22, "Vorspannungssymbole", "F_VORSP_KZ"},
    {21, "Koordinatenkreuz", "F_KOOR_KZ"}, {20, "Nordpfeil", "F_NORDP_KZ"},
    {28, "Projekt-Verzeichnis", "F_PRJDIR_KZ"}, {29, "Rahmen", "F_RAHMEN_KZ"},
};

const char* const Currencies[] = {"EUR", "USD", "AED", "AUD", "CAD", "CHF", "CNY", "CZK", "DKK", "EEK",
                                  "GBP", "HKD", "HUF", "IDR", "ILS", "INR", "JPY", "KWD", "MXN", "NOK",
                                  "NZD", "PLN", "RUB", "SAR", "SEK", "SGD", "SKK", "THB", "ZAR"};

// Reserve presets: the values of "VGB *", "EN 13480-3", "ASME / B31.1 *"
// and "No Reserves"; -1 leaves the field as it is.
struct PresetRow {
    const char* field;
    double values[4];
};
const PresetRow PresetRows[] = {
    {"F_FDIFF", {25, 25, 25, -1}},     {"F_BEWEGBER", {50, 300, 300, 300}}, {"F_LR_FH", {0, 0, 0, 0}},
    {"F_LR_KH", {15, 15, 10, 0}},      {"F_WR_FH_MM", {5, 5, 0, 0}},        {"F_WR_FH", {20, 10, 0, 0}},
    {"F_WR_KH", {10, 10, 20, 0}},      {"F_WR_KH_MM", {20, 25, 0, 0}},      {"F_WR_SB", {20, 13, 10, 0}},
    {"F_WR_GS", {25, 25, 0, 0}},       {"F_WINKEL", {4, 4, 4, 0}},          {"F_RSRL_LR", {0, 0, 0, 0}},
    {"F_WINKEL_KZ", {1, 1, 0, 0}},     {"F_KALWAR_KZ", {1, 1, 0, -1}},      {"F_VGBRL_KZ", {1, 0, 0, 0}},
    {"F_RLAGER_WST_KZ", {0, 0, 0, 0}},
};
// ASME B31.1 loads: 0 off and empty, 1 on and "B", -1 off with the field unchanged.
const int PresetStrLoad[4] = {0, 0, 1, -1};

// The whole-number fields whose negative values become positive.
const char* const WholeAbsFields[] = {"F_FDIFF", "F_LR_FH", "F_LR_KH", "F_WR_FH", "F_WR_KH", "F_RSRL_LR"};
// The millimetre fields with an inch twin.
const char* const MmFields[] = {"F_BEWEGBER", "F_WR_FH_MM", "F_WR_KH_MM", "F_WR_SB", "F_WR_GS"};
const char* const AxisFields[] = {"F_KRZ_BEZ_H", "F_KRZ_BEZ_L", "F_KRZ_BEZ_V"};
const char* const CommissionFields[] = {"F_KD_KOM_NR_1", "F_KD_KOM_NR_2", "F_KD_KOM_NR_3"};

// Puts a table back open or closed, filtered or not, as it was found.
class TableStateKeeper {
public:
    explicit TableStateKeeper(TTable& t) : m_t(t), m_active(t.Active()), m_filtered(t.Filtered()) {}
    ~TableStateKeeper() {
        try {
            if (!m_active) {
                if (m_t.Active()) m_t.Close();
                return;
            }
            if (!m_t.Active()) m_t.Open();
            if (m_t.Filtered() != m_filtered) m_t.SetFiltered(m_filtered);
        } catch (...) {
        }
    }
    TableStateKeeper(const TableStateKeeper&) = delete;
    TableStateKeeper& operator=(const TableStateKeeper&) = delete;

private:
    TTable& m_t;
    bool m_active;
    bool m_filtered;
};

// Hands the events of the controls it watches to a function. The form
// watches its fields through one of these: the form itself also sees every
// event of the application for its keys, and would see each one twice.
class ControlEventHook : public QObject {
public:
    ControlEventHook(QObject* parent, std::function<void(QObject*, QEvent*)> handler)
        : QObject(parent), m_handler(std::move(handler)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        m_handler(watched, event);
        return false;
    }

private:
    std::function<void(QObject*, QEvent*)> m_handler;
};

template <size_t N>
bool OneOf(const char* const (&list)[N], const QString& field) {
    for (const char* f : list)
        if (field.compare(QLatin1String(f), Qt::CaseInsensitive) == 0) return true;
    return false;
}

// The width of a text field of the settings table, known before it opens.
int SettingsFieldSize(const QString& field) {
    const QString code = CatalogueTable(QStringLiteral("FIRDAT.DB")).columnCode(field);
    return code.startsWith(u'A') ? code.mid(1).toInt() : 0;
}

QString Tr(const char* text) { return IvTranslate(QString::fromUtf8(text)); }

QString InchText(double mm) { return FormatFixed(mm * MmToInch, 3); }

QLabel* NewLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QPushButton* NewButton(const QString& name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

QCheckBox* NewPlainCheck(const QString& name, const QString& text, QWidget* parent) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    return c;
}

void SetCheckedQuietly(QAbstractButton* b, bool on) {
    const QSignalBlocker block(b);
    b->setChecked(on);
}

// A value of the registry that may be absent or of the wrong kind.
bool ReadRegistryInt(const TRegistry& reg, const QString& name, int& value) {
    if (!reg.ValueExists(name)) return false;
    try {
        value = reg.ReadInteger(name);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool ReadRegistryBool(const TRegistry& reg, const QString& name, bool& value) {
    if (!reg.ValueExists(name)) return false;
    try {
        value = reg.ReadBool(name);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void WriteHostError(const QString& text) { WriteHostErrorLine(HostErrorFilePath(), text); }

// The program-wide print switches from the settings row.
void ReadPrintSwitches(TTable& firdat) {
    TConstructionRecord& r = ConstructionRecord;
    r.F_DRCK_DIM_KZ = firdat.FieldByName(QStringLiteral("F_DRCK_DIM_KZ")).AsBoolean();
    r.F_DRCK_GEW_KZ = firdat.FieldByName(QStringLiteral("F_DRCK_GEW_KZ")).AsBoolean();
    const QString units = firdat.FieldByName(QStringLiteral("F_DRCK_EH_KZ")).AsString();
    r.PrintUnitChar = units.isEmpty() ? ' ' : char(units.at(0).toLatin1());
    r.F_DRCK_KZ = int16_t(firdat.FieldByName(QStringLiteral("F_DRCK_KZ")).AsInteger());
    r.F_PREISE = firdat.FieldByName(QStringLiteral("F_PREISE")).AsBoolean();
    r.F_NORDP_KZ = firdat.FieldByName(QStringLiteral("F_NORDP_KZ")).AsBoolean();
    r.F_KOOR_KZ = firdat.FieldByName(QStringLiteral("F_KOOR_KZ")).AsBoolean();
    r.K_PLAN_KZ = firdat.FieldByName(QStringLiteral("F_PLAN_KZ")).AsBoolean();
    r.F_VORSP_KZ = firdat.FieldByName(QStringLiteral("F_VORSP_KZ")).AsBoolean();
    r.F_PRJDIR_KZ = firdat.FieldByName(QStringLiteral("F_PRJDIR_KZ")).AsBoolean();
    r.F_RAHMEN_KZ = firdat.FieldByName(QStringLiteral("F_RAHMEN_KZ")).AsBoolean();
}

// A table of its own on the settings file, so that the form's cursor and
// its edit buffer stay untouched.
std::unique_ptr<TTable> SettingsTable() {
    if (DBGLOBAL) return std::make_unique<TTable>(DBGLOBAL->FIRDAT.DatabaseName(), DBGLOBAL->FIRDAT.TableName());
    return std::make_unique<TTable>(QStringLiteral("KORVA_9_0"), QStringLiteral("FIRDAT.DB"));
}

void SetCheckLevels(bool allLanguages) {
    for (TIvBinaryDictionary* d : {IvBinaryDictionaryGlobal, IvBinaryDictionaryPrint})
        if (d) d->CheckLevel = allLanguages ? ivclNone : ivclCodePage;
}

// A file of a directory by its name without regard to case; the name as
// given when there is none.
QString FileInDirectory(const QString& directory, const QString& name) {
    const QDir dir(directory);
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
    return dir.filePath(name);
}

QString LanguageName(TIvDictionary* d, int index) {
    if (!d || !d->IsOpen() || index < 0 || index >= d->LanguageCount()) return QString::number(index);
    return d->LanguageAt(index).EnglishName;
}

// The print language of the settings as the start takes it: a stored one
// that is not offered shows as the language that prints in its place.
QString ShownPrintLanguage(int stored) {
    int language = stored;
    try {
        language = UsableLanguage(IvBinaryDictionaryPrint, stored);
    } catch (const std::exception&) {
        // An unreadable dictionary judges nothing: the number as stored.
    }
    return LanguageName(IvBinaryDictionaryPrint, language);
}

QString CurrentMenuLanguageName() {
    TIvDictionary* d = IvBinaryDictionaryGlobal;
    if (!d || !d->IsOpen()) return QString();
    return d->CurrentLanguage().EnglishName;
}

// Delphi-style date formats ("dd.mm.yyyy") for Qt.
QString QtDateFormat(const QString& format) {
    QString out;
    for (int i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'm') out += u'M';
        else out += c;
    }
    return out;
}

}  // namespace

QString HelpFileOfLanguage(int language) {
    switch (language) {
    case 1: return QStringLiteral("MANUAL_D.hlp");
    case 3: return QStringLiteral("MANUAL_F.hlp");
    case 4: return QStringLiteral("MANUAL_P.hlp");
    default: return QStringLiteral("MANUAL_U.hlp");
    }
}

QString BoolToIniText(bool value) { return value ? QStringLiteral(" = 1") : QStringLiteral(" = 0"); }

// ---- radio group -------------------------------------------------------------

TLekoRadioGroup::TLekoRadioGroup(const QString& name, const QString& title, const QStringList& items, int columns,
                         QWidget* parent)
    : QGroupBox(title, parent) {
    setObjectName(name);
    auto* grid = new QGridLayout(this);
    auto* group = new QButtonGroup(this);
    const int rows = (int(items.size()) + columns - 1) / std::max(1, columns);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        b->setObjectName(name + QStringLiteral("_Item") + QString::number(i));
        group->addButton(b, i);
        grid->addWidget(b, i % rows, i / rows);
        m_buttons << b;
    }
    connect(group, &QButtonGroup::idClicked, this, &TLekoRadioGroup::Clicked);
}

int TLekoRadioGroup::ItemIndex() const {
    for (int i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i]->isChecked()) return i;
    return -1;
}

void TLekoRadioGroup::SetItemIndex(int index) {
    if (index >= 0 && index < m_buttons.size()) m_buttons[index]->setChecked(true);
}

void TLekoRadioGroup::SetItems(const QStringList& items) {
    for (int i = 0; i < m_buttons.size() && i < items.size(); ++i) m_buttons[i]->setText(items[i]);
}

// ---- construction ----------------------------------------------------------

// A database or file error inside a handler is shown, not passed into the
// event loop.
void TFLEKO::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        ErrorOk(this, QString::fromUtf8(error.what()));
    }
}

TFLEKO::TFLEKO(QWidget* parent) : TZorbelForm(parent) {
    FLEKO = this;
    m_controlHook = new ControlEventHook(this, [this](QObject* watched, QEvent* event) { ControlEvent(watched, event); });
    setObjectName(QStringLiteral("FLEKO"));
    setWindowTitle(QStringLiteral("KORVA"));
    SetKeyPreview(true);
    TTable& firdat = DBGLOBAL ? DBGLOBAL->FIRDAT : *new TTable(QStringLiteral("KORVA_9_0"), QStringLiteral("FIRDAT.DB"), this);
    DataSource1 = new TFirdatBinder(firdat, this);
    DataSource1->setObjectName(QStringLiteral("DataSource1"));
    IvFontDialog1 = new TIvFontDialog(this);
    IvColorDialog1 = new TIvColorDialog(this);
    IvSaveDialog1 = new TIvSaveDialog(this);
    IvOpenDialog1 = new TIvOpenDialog(this);
    IvOpenPictureDialog1 = new TIvOpenPictureDialog(this);
    IvFontDialog1->setObjectName(QStringLiteral("IvFontDialog1"));
    IvColorDialog1->setObjectName(QStringLiteral("IvColorDialog1"));
    IvSaveDialog1->setObjectName(QStringLiteral("IvSaveDialog1"));
    IvOpenDialog1->setObjectName(QStringLiteral("IvOpenDialog1"));
    IvOpenPictureDialog1->setObjectName(QStringLiteral("IvOpenPictureDialog1"));
    IvSaveDialog1->DefaultExt = QStringLiteral("TXT");
    IvSaveDialog1->Filter = QStringLiteral("Text Dateien|*.txt|Alle|*.*");
    IvSaveDialog1->Options = ofOverwritePrompt;
    IvSaveDialog1->Title = QStringLiteral("Datei speichern unter");
    IvOpenDialog1->Filter = QStringLiteral("Text Dateien|*.txt|Alle|*.*");
    IvOpenPictureDialog1->Filter = QStringLiteral("Bitmaps (*.bmp)|*.bmp");
    for (TIvCommonDialog* d : std::initializer_list<TIvCommonDialog*>{IvFontDialog1, IvColorDialog1, IvSaveDialog1,
                                                                       IvOpenDialog1, IvOpenPictureDialog1}) {
        d->DictionaryName = QStringLiteral("MenuDictionary");
        d->Positions = ivdpParent | ivdpCenter;
    }

    auto* layout = new QVBoxLayout(this);
    BuildToolBar();
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    // Every tab stays in sight: the form grows to the width of the tabs.
    PageControl1->setUsesScrollButtons(false);
    PageControl1->addTab(BuildProjectTab(), QStringLiteral("Projektdaten"));
    PageControl1->addTab(BuildSpecificationTab(), QStringLiteral("Spezifikationen"));
    PageControl1->addTab(BuildSettingsTab(), QStringLiteral("Einstellungen"));
    PageControl1->addTab(BuildConfigurationTab(), QStringLiteral("Konfigurationen"));
    PageControl1->addTab(BuildServicesTab(), QStringLiteral("Zusatzleistungen"));
    PageControl1->addTab(BuildPrintTab(), QStringLiteral("Drucken"));
    PageControl1->addTab(BuildSystemTab(), QStringLiteral("Systemeinstellungen"));
    PageControl1->addTab(BuildHotDipTab(), QStringLiteral("Hot-dip galvanised"));
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(StatusBar1);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TFLEKO::PageControl1Change);
    ConnectRules();
    PageControl1Change(0);
    Loaded();
}

TFLEKO::~TFLEKO() {
    // No field events into a form half taken down.
    delete m_controlHook;
    m_controlHook = nullptr;
    if (DataSource1 && DataSource1->HasTable() && DataSource1->Table().Active()) {
        DataSource1->Cancel();
        DataSource1->Table().Close();
    }
    if (FLEKO == this) FLEKO = nullptr;
}

QLineEdit* TFLEKO::DBEdit(int n) const {
    auto it = m_edits.find(n);
    return it == m_edits.end() ? nullptr : it->second;
}

QCheckBox* TFLEKO::DBCheckBox(int n) const {
    auto it = m_checks.find(n);
    return it == m_checks.end() ? nullptr : it->second;
}

QLineEdit* TFLEKO::InchEdit(const QString& field) const {
    auto it = m_inch.find(field.toUpper());
    return it == m_inch.end() ? nullptr : it->second;
}

QLineEdit* TFLEKO::NewEdit(int n, const QString& field, int maxLength) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QStringLiteral("DBEdit") + QString::number(n));
    if (maxLength > 0) e->setMaxLength(maxLength);
    DataSource1->BindEdit(e, field);
    e->installEventFilter(m_controlHook);
    m_edits[n] = e;
    return e;
}

QCheckBox* TFLEKO::NewCheck(int n, const QString& caption, const QString& field) {
    auto* c = NewPlainCheck(QStringLiteral("DBCheckBox") + QString::number(n), caption, this);
    DataSource1->BindCheck(c, field);
    m_checks[n] = c;
    return c;
}

void TFLEKO::BuildToolBar() {
    auto* bar = new QHBoxLayout;
    Speichern = NewButton(QStringLiteral("Speichern"), QStringLiteral("Sichern"), this);
    SpeedButton1 = NewButton(QStringLiteral("SpeedButton1"), QStringLiteral("Einstellungen in Textdatei sichern"), this);
    SpeedButton3 = NewButton(QStringLiteral("SpeedButton3"), QStringLiteral("Einstellungen aus Textdatei laden"), this);
    BitBtn1 = NewButton(QStringLiteral("BitBtn1"), QStringLiteral("Ende"), this);
    PasswordChk = NewPlainCheck(QStringLiteral("PasswordChk"), QStringLiteral("Password protection"), this);
    for (QWidget* w : std::initializer_list<QWidget*>{Speichern, SpeedButton1, SpeedButton3}) bar->addWidget(w);
    bar->addStretch(1);
    bar->addWidget(PasswordChk);
    bar->addWidget(BitBtn1);
    static_cast<QVBoxLayout*>(layout())->addLayout(bar);
    connect(Speichern, &QPushButton::clicked, this, [this] { Guarded([this] { SpeichernClick(); }); });
    connect(SpeedButton1, &QPushButton::clicked, this, [this] { Guarded([this] { SpeedButton1Click(); }); });
    connect(SpeedButton3, &QPushButton::clicked, this, [this] { Guarded([this] { SpeedButton3Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);
    connect(PasswordChk, &QCheckBox::clicked, this, &TFLEKO::PasswordChkClick);
}

QWidget* TFLEKO::BuildProjectTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    auto* v = new QVBoxLayout(page);
    auto* form = new QFormLayout;
    auto* offer = new QHBoxLayout;
    offer->addWidget(NewEdit(1, QStringLiteral("F_KD_KOM_NR_1")));
    offer->addWidget(NewLabel(QStringLiteral("Label8a"), QStringLiteral("- 8 -"), page));
    offer->addWidget(NewEdit(2, QStringLiteral("F_KD_KOM_NR_2")));
    offer->addWidget(NewLabel(QStringLiteral("Label8b"), QStringLiteral("- 8 -"), page));
    offer->addWidget(NewEdit(3, QStringLiteral("F_KD_KOM_NR_3")));
    for (int n = 1; n <= 3; ++n) DBEdit(n)->setMaximumWidth(90);
    offer->addStretch(1);
    form->addRow(NewLabel(QStringLiteral("Label1"), QStringLiteral("ZORBEL - Angebotsnummer"), page), offer);
    const std::pair<const char*, const char*> rows[] = {{"Besteller", "F_BEST"},
                                                        {"Anlagennummer", "F_ANL"},
                                                        {"Systembezeichnung", "F_SYS"},
                                                        {"Kunden-Kommissionsnummer", "F_BEST_KOM_NR"},
                                                        {"Bestellnummer", "F_BEST_NR"},
                                                        {"Sachbearbeiter", "F_BEARB"}};
    int n = 4;
    for (const auto& [caption, field] : rows) {
        QLineEdit* e = NewEdit(n, QString::fromLatin1(field), SettingsFieldSize(QString::fromLatin1(field)));
        form->addRow(NewLabel(QStringLiteral("Label") + QString::number(n), QString::fromUtf8(caption), page), e);
        ++n;
    }
    v->addLayout(form);
    auto* extra = new QGroupBox(QStringLiteral(" Zusatzfeld im Schriftkopf "), page);
    extra->setObjectName(QStringLiteral("GroupBox1"));
    auto* ef = new QFormLayout(extra);
    ef->addRow(NewLabel(QStringLiteral("Label12"), QStringLiteral("Feldbeschriftung"), extra),
               NewEdit(12, QStringLiteral("F_FREI_UEBER"), SettingsFieldSize(QStringLiteral("F_FREI_UEBER"))));
    ef->addRow(NewLabel(QStringLiteral("Label13"), QStringLiteral("Feldinformation"), extra),
               NewEdit(13, QStringLiteral("F_FREI_TEXT"), SettingsFieldSize(QStringLiteral("F_FREI_TEXT"))));
    v->addWidget(extra);
    auto* more = new QGroupBox(QStringLiteral(" Weitere Informationsfelder "), page);
    more->setObjectName(QStringLiteral("GroupBox2"));
    auto* mf = new QVBoxLayout(more);
    mf->addWidget(NewEdit(10, QStringLiteral("F_SCHRIFT_1"), SettingsFieldSize(QStringLiteral("F_SCHRIFT_1"))));
    mf->addWidget(NewEdit(11, QStringLiteral("F_SCHRIFT_2"), SettingsFieldSize(QStringLiteral("F_SCHRIFT_2"))));
    v->addWidget(more);
    v->addStretch(1);
    return page;
}

QWidget* TFLEKO::BuildSpecificationTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    auto* v = new QVBoxLayout(page);
    auto* grid = new QGridLayout;
    int row = -1;
    for (const EditDef& d : SpecificationEdits) {
        const QString field = QString::fromLatin1(d.field);
        QLineEdit* e = NewEdit(d.n, field, d.maxLength);
        e->setMaximumWidth(70);
        int column = 1;
        if (d.caption) {
            ++row;
            grid->addWidget(NewLabel(QStringLiteral("LabelSpec") + QString::number(d.n), QString::fromUtf8(d.caption), page),
                            row, 0);
        } else {
            column = 5;
        }
        grid->addWidget(e, row, column);
        grid->addWidget(NewLabel(QStringLiteral("UnitSpec") + QString::number(d.n), QString::fromUtf8(d.unit), page), row,
                        column + 1);
        if (OneOf(MmFields, field)) {
            auto* inch = new QLineEdit(page);
            inch->setObjectName(QStringLiteral("Inch_") + field);
            inch->setReadOnly(true);
            inch->setFocusPolicy(Qt::NoFocus);
            inch->setMaximumWidth(70);
            m_inch[field.toUpper()] = inch;
            grid->addWidget(inch, row, 3);
            grid->addWidget(NewLabel(QStringLiteral("UnitInch") + QString::number(d.n), QStringLiteral("[inch]"), page), row, 4);
        }
    }
    grid->setColumnStretch(7, 1);
    v->addLayout(grid);
    LastStarrKZ = NewPlainCheck(QStringLiteral("LastStarrKZ"),
                                QStringLiteral("Zul. Belastung für starre Halterungen nach ASME B31.1"), page);
    CN_BUTTON = NewPlainCheck(QStringLiteral("CN_BUTTON"), QStringLiteral("CN Standard"), page);
    v->addWidget(LastStarrKZ);
    v->addWidget(CN_BUTTON);
    auto* presets = new QHBoxLayout;
    VGB = NewButton(QStringLiteral("VGB"), QStringLiteral("VGB *"), page);
    EN13480 = NewButton(QStringLiteral("EN13480"), QStringLiteral("EN 13480-3"), page);
    ASME = NewButton(QStringLiteral("ASME"), QStringLiteral("ASME / B31.1 *"), page);
    Reset = NewButton(QStringLiteral("Reset"), QStringLiteral("No Reserves"), page);
    for (QPushButton* b : {VGB, EN13480, ASME, Reset}) presets->addWidget(b);
    presets->addStretch(1);
    v->addLayout(presets);
    v->addStretch(1);
    connect(VGB, &QPushButton::clicked, this, [this] { Guarded([this] { VGBClick(); }); });
    connect(EN13480, &QPushButton::clicked, this, [this] { Guarded([this] { EN13480Click(); }); });
    connect(ASME, &QPushButton::clicked, this, [this] { Guarded([this] { ASMEClick(); }); });
    connect(Reset, &QPushButton::clicked, this, [this] { Guarded([this] { ResetClick(); }); });
    connect(CN_BUTTON, &QCheckBox::clicked, this, &TFLEKO::CNButtonClick);
    connect(LastStarrKZ, &QCheckBox::clicked, this, [this] { MarkChanged(); });
    return page;
}

QWidget* TFLEKO::BuildSettingsTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet3"));
    auto* grid = new QGridLayout(page);
    auto* checks = new QVBoxLayout;
    for (const CheckDef& d : SettingsChecks)
        checks->addWidget(NewCheck(d.n, QString::fromUtf8(d.caption), QString::fromLatin1(d.field)));
    checks->addStretch(1);
    grid->addLayout(checks, 0, 0, 2, 1);
    auto* axes = new QGroupBox(QStringLiteral(" Koordinatenkreuz "), page);
    axes->setObjectName(QStringLiteral("GroupBoxAxes"));
    auto* af = new QFormLayout(axes);
    const char* const axisCaptions[] = {"Horizontal", "Längs", "Vertikal"};
    for (int i = 0; i < 3; ++i) {
        QLineEdit* e = NewEdit(27 + i, QString::fromLatin1(AxisFields[i]), 2);
        e->setMaximumWidth(50);
        af->addRow(NewLabel(QStringLiteral("LabelAxis") + QString::number(i), QString::fromUtf8(axisCaptions[i]), axes), e);
    }
    grid->addWidget(axes, 0, 1);
    GEWSTG_RG = new TLekoRadioGroup(QStringLiteral("GEWSTG_RG"), QStringLiteral(" Gewindestangen "),
                                {QStringLiteral("2000 mm"), QStringLiteral("2500 mm"), QStringLiteral("3000 mm")}, 1, page);
    grid->addWidget(GEWSTG_RG, 1, 1, Qt::AlignTop);
    TemperatureMemo = new QPlainTextEdit(page);
    TemperatureMemo->setObjectName(QStringLiteral("Memo1"));
    TemperatureMemo->setReadOnly(true);
    TemperatureMemo->setPlainText(QString::fromUtf8("Material          Temperature \n16 Mo 3          max. 500°C/930°F\n"
                                                    "13 CrMo 4 5   max. 530°C/985°F\n10 CrMo 9 10 max. 580°C/1075°F"));
    TemperatureMemo->setMaximumHeight(90);
    TemperatureMemo->hide();
    grid->addWidget(TemperatureMemo, 2, 0, 1, 2);
    grid->setRowStretch(3, 1);
    DBCheckBox(33)->installEventFilter(m_controlHook);
    connect(GEWSTG_RG, &TLekoRadioGroup::Clicked, this, [this] { MarkChanged(); });
    return page;
}

QWidget* TFLEKO::BuildConfigurationTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet4"));
    auto* v = new QVBoxLayout(page);
    for (const CheckDef& d : ConfigurationChecks)
        v->addWidget(NewCheck(d.n, QString::fromUtf8(d.caption), QString::fromLatin1(d.field)));
    DBCheckBox(30)->hide();
    DBCheckBox(30)->setEnabled(false);
    CB_ext_loads = NewPlainCheck(
        QStringLiteral("CB_ext_loads"),
        QString::fromUtf8("Use of extended load range (100°C) of high temperature material base clamps"), page);
    v->addWidget(CB_ext_loads);
    v->addStretch(1);
    connect(CB_ext_loads, &QCheckBox::clicked, this, &TFLEKO::ExtendedLoadClick);
    return page;
}

QWidget* TFLEKO::BuildServicesTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet5"));
    auto* v = new QVBoxLayout(page);
    for (const CheckDef& d : ServiceChecks) {
        if (d.n == 32) break;
        v->addWidget(NewCheck(d.n, QString::fromUtf8(d.caption), QString::fromLatin1(d.field)));
    }
    auto* currency = new QHBoxLayout;
    ComboBox1 = new QComboBox(page);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    for (const char* c : Currencies) ComboBox1->addItem(QString::fromLatin1(c));
    currency->addSpacing(20);
    currency->addWidget(ComboBox1);
    KursPanel = new QWidget(page);
    KursPanel->setObjectName(QStringLiteral("KursPanel"));
    auto* kurs = new QHBoxLayout(KursPanel);
    kurs->setContentsMargins(0, 0, 0, 0);
    kurs->addWidget(NewLabel(QStringLiteral("Label30"), QStringLiteral("Umrechnungsfaktor :"), KursPanel));
    KursLabel = NewLabel(QStringLiteral("KursLabel"), QStringLiteral("1 EUR ="), KursPanel);
    kurs->addWidget(KursLabel);
    KURS = new TFloatEdit(KursPanel);
    KURS->setObjectName(QStringLiteral("KURS"));
    KURS->SetFormat(TFloatView::fvFixed);
    KURS->SetPrecision(4);
    KURS->setMaximumWidth(100);
    kurs->addWidget(KURS);
    kurs->addWidget(NewLabel(QStringLiteral("KursCode"), QString(), KursPanel));
    currency->addWidget(KursPanel);
    currency->addStretch(1);
    v->addLayout(currency);
    RGpriceList = new TLekoRadioGroup(QStringLiteral("RGpriceList"), QStringLiteral("Price List"),
                                  {QStringLiteral("Euro"), QStringLiteral("US$")}, 2, page);
    RGpriceList->hide();
    v->addWidget(RGpriceList);
    PNote_KZ = NewPlainCheck(QStringLiteral("PNote_KZ"), QStringLiteral("print note"), page);
    v->addWidget(PNote_KZ);
    for (const CheckDef& d : ServiceChecks)
        if (d.n == 32 || d.n == 2) v->addWidget(NewCheck(d.n, QString::fromUtf8(d.caption), QString::fromLatin1(d.field)));
    PreisButton = NewButton(QStringLiteral("PreisButton"),
                            QStringLiteral("Recalculate current project according to price list 01/08"), page);
    v->addWidget(PreisButton, 0, Qt::AlignLeft);
    v->addStretch(1);
    connect(ComboBox1, &QComboBox::activated, this, &TFLEKO::CurrencyChosen);
    connect(RGpriceList, &TLekoRadioGroup::Clicked, this, &TFLEKO::PriceListChosen);
    connect(PreisButton, &QPushButton::clicked, this, [this] { Guarded([] { PricePartsList(); }); });
    connect(PNote_KZ, &QCheckBox::clicked, this, [this](bool on) {
        PrintNoteFlag = on;
        MarkChanged();
    });
    connect(KURS, &QLineEdit::textEdited, this, [this] { MarkChanged(); });
    return page;
}

QWidget* TFLEKO::BuildPrintTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet6"));
    auto* grid = new QGridLayout(page);
    DRCK_GEW_EH = new TLekoRadioGroup(QStringLiteral("DRCK_GEW_EH"), QStringLiteral("Gewichte in Stückliste"),
                                  {QStringLiteral("kg"), QStringLiteral("lbs")}, 1, page);
    DRCK_EH = new TLekoRadioGroup(QStringLiteral("DRCK_EH"), QStringLiteral("Einheiten im Schriftkopf"),
                              {QStringLiteral("kN / mm / C"), QStringLiteral("kg / mm / C"), QStringLiteral("lbs / inch / F")},
                              1, page);
    DRCK_DIM_KZ = new TLekoRadioGroup(QStringLiteral("DRCK_DIM_KZ"), QStringLiteral("Bemassung"),
                                  {QStringLiteral("mm"), QStringLiteral("inch")}, 1, page);
    grid->addWidget(DRCK_GEW_EH, 0, 0);
    grid->addWidget(DRCK_EH, 0, 1);
    grid->addWidget(DRCK_DIM_KZ, 0, 2);
    auto* systems = new QHBoxLayout;
    SIButton = NewButton(QStringLiteral("SIButton"), QStringLiteral("SI system"), page);
    ImperialButton = NewButton(QStringLiteral("ImperialButton"), QStringLiteral("Imperial system"), page);
    systems->addWidget(SIButton);
    systems->addWidget(ImperialButton);
    systems->addStretch(1);
    grid->addLayout(systems, 1, 0, 1, 3);
    auto* checks = new QVBoxLayout;
    for (const CheckDef& d : PrintChecks)
        checks->addWidget(NewCheck(d.n, QString::fromUtf8(d.caption), QString::fromLatin1(d.field)));
    grid->addLayout(checks, 2, 0);
    auto* right = new QVBoxLayout;
    auto* logo = new QHBoxLayout;
    KDNLOGO = NewPlainCheck(QStringLiteral("KDNLOGO"), QStringLiteral("Firmenlogo"), page);
    SpeedButton2 = NewButton(QStringLiteral("SpeedButton2"), QStringLiteral("..."), page);
    SpeedButton2->setMaximumWidth(40);
    logo->addWidget(KDNLOGO);
    logo->addWidget(SpeedButton2);
    logo->addStretch(1);
    right->addLayout(logo);
    BitmapPath = NewLabel(QStringLiteral("BitmapPath"), QStringLiteral("[leer]"), page);
    BitmapPath->setWordWrap(true);
    right->addWidget(BitmapPath);
    auto* language = new QHBoxLayout;
    Button1 = NewButton(QStringLiteral("Button1"), QStringLiteral("Sprache"), page);
    GewaehlteSprache = NewLabel(QStringLiteral("GewaehlteSprache"), QString(), page);
    language->addWidget(Button1);
    language->addWidget(GewaehlteSprache, 1);
    right->addLayout(language);
    auto* spins = new QFormLayout;
    SpinEdit1 = new QSpinBox(page);
    SpinEdit2 = new QSpinBox(page);
    SpinEdit3 = new QSpinBox(page);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit2->setObjectName(QStringLiteral("SpinEdit2"));
    SpinEdit3->setObjectName(QStringLiteral("SpinEdit3"));
    SpinEdit1->setRange(1, 9);
    SpinEdit2->setRange(1, 9);
    SpinEdit3->setRange(0, 2);
    for (QSpinBox* s : {SpinEdit1, SpinEdit2, SpinEdit3}) s->setMaximumWidth(70);
    spins->addRow(NewLabel(QStringLiteral("LabelSpin1"), QStringLiteral("Line width of outlines"), page), SpinEdit1);
    spins->addRow(NewLabel(QStringLiteral("LabelSpin2"), QStringLiteral("Line width of ledger lines"), page), SpinEdit2);
    spins->addRow(NewLabel(QStringLiteral("LabelSpin3"), QStringLiteral("Post decimal positions:"), page), SpinEdit3);
    right->addLayout(spins);
    right->addStretch(1);
    grid->addLayout(right, 2, 1, 1, 2);
    grid->setRowStretch(3, 1);
    connect(DRCK_GEW_EH, &TLekoRadioGroup::Clicked, this, [this](int i) {
        m_printWeightKg = i == 0;
        MarkChanged();
    });
    connect(DRCK_DIM_KZ, &TLekoRadioGroup::Clicked, this, [this](int i) {
        m_printDimMm = i == 0;
        MarkChanged();
    });
    connect(DRCK_EH, &TLekoRadioGroup::Clicked, this, [this](int i) {
        m_titleBlockUnits = QChar(u'A' + i);
        MarkChanged();
    });
    connect(SIButton, &QPushButton::clicked, this, [this] {
        DRCK_GEW_EH->SetItemIndex(0);
        DRCK_DIM_KZ->SetItemIndex(0);
        DRCK_EH->SetItemIndex(0);
        m_printWeightKg = m_printDimMm = true;
        m_titleBlockUnits = u'A';
        MarkChanged();
    });
    connect(ImperialButton, &QPushButton::clicked, this, [this] {
        DRCK_GEW_EH->SetItemIndex(1);
        DRCK_DIM_KZ->SetItemIndex(1);
        DRCK_EH->SetItemIndex(2);
        m_printWeightKg = m_printDimMm = false;
        m_titleBlockUnits = u'C';
        MarkChanged();
    });
    connect(KDNLOGO, &QCheckBox::clicked, this, [this](bool on) {
        m_printBitmap = on;
        MarkChanged();
    });
    connect(SpeedButton2, &QPushButton::clicked, this, &TFLEKO::ChoosePicture);
    connect(Button1, &QPushButton::clicked, this, &TFLEKO::ChoosePrintLanguage);
    for (QSpinBox* s : {SpinEdit1, SpinEdit2, SpinEdit3})
        connect(s, &QSpinBox::valueChanged, this, [this] { MarkChanged(); });
    return page;
}

QWidget* TFLEKO::BuildSystemTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet7"));
    auto* grid = new QGridLayout(page);
    auto* buttons = new QVBoxLayout;
    FontButton = NewButton(QStringLiteral("FontButton"), QStringLiteral("Font"), page);
    Button2 = NewButton(QStringLiteral("Button2"), QStringLiteral("&Hintergrundfarbe"), page);
    Bsprache = NewButton(QStringLiteral("Bsprache"), QStringLiteral("Sprache"), page);
    for (QPushButton* b : {FontButton, Button2, Bsprache}) buttons->addWidget(b);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 0, 2, 1);
    LanguageGroup = new TLekoRadioGroup(QStringLiteral("LanguageGroup"), QStringLiteral("Sprachen Auswahl"),
                                    {QStringLiteral("Alle verfügbaren anzeigen"),
                                     QStringLiteral("Nur von der Codepage unterstützte anzeigen")},
                                    1, page);
    grid->addWidget(LanguageGroup, 0, 1);
    auto* date = new QGroupBox(QStringLiteral("Date format"), page);
    date->setObjectName(QStringLiteral("GroupBoxDate"));
    auto* dv = new QVBoxLayout(date);
    RGDateSeparator = new TLekoRadioGroup(QStringLiteral("RGDateSeparator"), QString(),
                                      {QStringLiteral("."), QStringLiteral(","), QStringLiteral("-"), QStringLiteral("/"),
                                       QStringLiteral("none")},
                                      5, date);
    dv->addWidget(RGDateSeparator);
    CBDateFormat = new QComboBox(date);
    CBDateFormat->setObjectName(QStringLiteral("CBDateFormat"));
    dv->addWidget(CBDateFormat);
    LSelectedDate = NewLabel(QStringLiteral("LSelectedDate"), QString(), date);
    dv->addWidget(LSelectedDate);
    grid->addWidget(date, 1, 1);
    L_FormStyle_CheckBox =
        NewPlainCheck(QStringLiteral("L_FormStyle_CheckBox"), QStringLiteral("Alternative style of Input screen"), page);
    L_FormStyle_CheckBox->installEventFilter(m_controlHook);
    grid->addWidget(L_FormStyle_CheckBox, 2, 1);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(1, 1);
    connect(FontButton, &QPushButton::clicked, this, &TFLEKO::ChooseFont);
    connect(Button2, &QPushButton::clicked, this, &TFLEKO::ChooseColor);
    connect(Bsprache, &QPushButton::clicked, this, &TFLEKO::ChooseMenuLanguage);
    connect(LanguageGroup, &TLekoRadioGroup::Clicked, this, [this] { MarkChanged(); });
    connect(RGDateSeparator, &TLekoRadioGroup::Clicked, this, [this](int i) {
        FillDateFormats(i);
        MarkChanged();
    });
    connect(CBDateFormat, &QComboBox::activated, this, [this] {
        IvFormatSettings().ShortDateFormat = CBDateFormat->currentText();
        ShowSelectedDate();
        MarkChanged();
    });
    return page;
}

QWidget* TFLEKO::BuildHotDipTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet8"));
    auto* v = new QVBoxLayout(page);
    auto* grid = new QGridLayout;
    constexpr int rows = 12;
    for (int i = 0; i < 35; ++i) {
        QCheckBox* c = NewPlainCheck(QStringLiteral("HDCheckBox") + QString::number(i + 1),
                                     QString::fromLatin1(HotDipTypes[i].caption), page);
        HDCheckBoxes[size_t(i)] = c;
        grid->addWidget(c, i % rows, i / rows);
        connect(c, &QCheckBox::clicked, this, [this] { m_hdChanged = true; });
    }
    v->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    SpeedButton4 = NewButton(QStringLiteral("SpeedButton4"), QStringLiteral("checked"), page);
    SpeedButton5 = NewButton(QStringLiteral("SpeedButton5"), QStringLiteral("unchecked"), page);
    buttons->addWidget(SpeedButton4);
    buttons->addWidget(SpeedButton5);
    buttons->addStretch(1);
    v->addLayout(buttons);
    v->addStretch(1);
    for (QPushButton* b : {SpeedButton4, SpeedButton5})
        connect(b, &QPushButton::clicked, this, [this, b] {
            for (QCheckBox* c : HDCheckBoxes) c->setChecked(b == SpeedButton4);
            m_hdChanged = true;
        });
    return page;
}

void TFLEKO::ConnectRules() {
    for (const char* f : CommissionFields) {
        QLineEdit* e = DataSource1->EditOf(QString::fromLatin1(f));
        connect(e, &QLineEdit::textChanged, this, [this](const QString& text) {
            if (!m_loading && text.size() > 5) InformationOk(this, Tr("Max. size : five-digit"));
        });
    }
    connect(DataSource1->CheckOf(QStringLiteral("F_EINH_KZ")), &QCheckBox::clicked, this, [this] { ApplyInterlocks(); });
    connect(DataSource1->CheckOf(QStringLiteral("F_KATA_KZ")), &QCheckBox::clicked, this, [this] { SetRodItems(); });
    connect(DataSource1->CheckOf(QStringLiteral("F_PTFE_KZ")), &QCheckBox::clicked, this, [this] { ApplyInterlocks(); });
    connect(DataSource1->CheckOf(QStringLiteral("F_ROHRLAGER_KZ")), &QCheckBox::clicked, this,
            [this] { ApplyInterlocks(); });
    connect(DataSource1->CheckOf(QStringLiteral("F_PREISE")), &QCheckBox::toggled, this, [this] { ApplyInterlocks(); });
    connect(DataSource1->CheckOf(QStringLiteral("F_WEG_KZ")), &QCheckBox::clicked, this, [this](bool on) {
        if (on)
            InformationOk(this, Tr("Überlange Federhänger finden in den allgemeinen Spezifikationen keine Berücksichtigung.") +
                                    QLatin1Char('\n') +
                                    Tr("Beim Einsatz von überlangen Federhängern ist mit erhöhten Abweichungen durch "
                                       "zusätzliche Reibwerte zu rechnen."));
    });
}

// The texts of the language in use decide how much room the tabs need.
void TFLEKO::FitMinimumSize() {
    const QSize needed = layout()->totalMinimumSize();
    SetMinWidth(std::max(800, needed.width()));
    SetMinHeight(std::max(600, needed.height()));
}

void TFLEKO::FormCreate() {
    TZorbelForm::FormCreate();
    FitMinimumSize();
    // Another language needs other room: every tab stays in sight.
    IvTranslator1->OnLanguageChange = [this](TIvCustomTranslator*) {
        FitMinimumSize();
        resize(size().expandedTo(minimumSize()));
    };
    const QFont shared = SharedFont();
    for (auto& [n, e] : m_edits) e->setFont(shared);
    KursPanel->setFont(shared);
    TRegistry machine(TRootKey::LocalMachine);
    if (machine.OpenKey(ProductKey, false) && machine.ValueExists(QStringLiteral("SelectCurrency"))) RGpriceList->show();
}

// ---- activation ------------------------------------------------------------

void TFLEKO::showEvent(QShowEvent* event) {
    TZorbelForm::showEvent(event);
    if (!event->spontaneous())
        Guarded([this] {
            try {
                FormActivate();
            } catch (...) {
                m_loading = false;
                throw;
            }
        });
}

void TFLEKO::FormActivate() {
    FitMinimumSize();
    m_loading = true;
    TRegistry reg;
    const bool keyOpen = reg.OpenKey(ProductKey, false);
    CalcGlobals.ExtendedLoadOption = keyOpen && reg.ValueExists(ExtendedLoadValue);
    CB_ext_loads->setChecked(CalcGlobals.ExtendedLoadOption);
    m_passwordStored = keyOpen && reg.ValueExists(QStringLiteral("OPWD")) &&
                       !reg.ReadString(QStringLiteral("OPWD")).isEmpty();
    PasswordChk->setChecked(m_passwordStored);
    int width = 1;
    SpinEdit1->setValue(keyOpen && ReadRegistryInt(reg, QStringLiteral("WidthMain"), width) ? width : 1);
    width = 1;
    SpinEdit2->setValue(keyOpen && ReadRegistryInt(reg, QStringLiteral("WidthHelp"), width) ? width : 1);
    SpinEdit3->setValue(TravelDecimals);
    bool all = false;
    LanguageGroup->SetItemIndex(keyOpen && ReadRegistryBool(reg, QStringLiteral("LANGUAGE COND"), all) && all ? 0 : 1);
    PNote_KZ->setChecked(PrintNoteFlag);
    L_FormStyle_CheckBox->setChecked(FormStyleFlag);

    PageControl1->setCurrentIndex(LastTab);

    DataSource1->Open();
    m_priceList = CalcGlobals.PriceIndex == 2 ? 1 : 0;
    RGpriceList->SetItemIndex(m_priceList);
    const QString code = DataSource1->Field(QStringLiteral("F_PRS_EINHEIT")).AsString();
    m_currency = code.leftJustified(4, QLatin1Char(' '), true);
    ComboBox1->setCurrentIndex(std::max(0, ComboBox1->findText(code.trimmed())));
    KURS->SetValue(DataSource1->Field(QStringLiteral("F_TGKURS")).AsFloat());
    UpdateKursPanel();
    GewaehlteSprache->setText(ShownPrintLanguage(DataSource1->Field(QStringLiteral("F_DRCK_KZ")).AsInteger()));
    m_printWeightKg = DataSource1->Field(QStringLiteral("F_DRCK_GEW_KZ")).AsBoolean();
    DRCK_GEW_EH->SetItemIndex(m_printWeightKg ? 0 : 1);
    const int rod = DataSource1->Field(QStringLiteral("F_ZUGST_ST")).AsInteger();
    GEWSTG_RG->SetItemIndex(rod == 2000 ? 0 : rod == 2500 ? 1 : 2);
    SetRodItems();
    const QString units = DataSource1->Field(QStringLiteral("F_DRCK_EH_KZ")).AsString();
    m_titleBlockUnits = units.isEmpty() ? QChar(u'A') : units.at(0);
    DRCK_EH->SetItemIndex(m_titleBlockUnits == u'B' ? 1 : m_titleBlockUnits == u'C' ? 2 : 0);
    m_printDimMm = DataSource1->Field(QStringLiteral("F_DRCK_DIM_KZ")).AsBoolean();
    DRCK_DIM_KZ->SetItemIndex(m_printDimMm ? 0 : 1);
    LastStarrKZ->setChecked(DataSource1->Field(QStringLiteral("F_STRLOAD_KZ")).AsString().trimmed() == u"B");
    CN_BUTTON->setChecked(CalcGlobals.CNStandard);
    m_cnAtActivation = CalcGlobals.CNStandard;
    m_printBitmap = CalcGlobals.LogoFlag;
    m_printBitmapPath = CalcGlobals.LogoFile;
    KDNLOGO->setChecked(m_printBitmap);
    BitmapPath->setText(m_printBitmapPath.isEmpty() ? Tr("[leer]") : m_printBitmapPath);
    // The format in use shows, among the separator's formats or before them.
    const int sep = DateSeparatorItem(IvFormatSettings().DateSeparator);
    RGDateSeparator->SetItemIndex(sep);
    const DateFormatChoice dates = DateFormatChoiceOf(sep, IvFormatSettings().ShortDateFormat);
    CBDateFormat->clear();
    CBDateFormat->addItems(dates.formats);
    CBDateFormat->setCurrentIndex(dates.index);
    ShowSelectedDate();
    for (const char* f : MmFields) ShowInch(QString::fromLatin1(f));
    ApplyInterlocks();

    if (!m_captionsCompleted) {
        const char* const suffix[] = {" 45", " 46", " 48"};
        for (int i = 0; i < 3; ++i) {
            QCheckBox* c = HDCheckBoxes[size_t(31 + i)];
            c->setText(c->text() + Tr("Type") + QString::fromLatin1(suffix[i]));
        }
        m_captionsCompleted = true;
    }
    CalcGlobals.HDFlags = QString(35, QLatin1Char('0'));
    ReadHotDipFlags();
    m_loading = false;
}

void TFLEKO::ReadHotDipFlags() {
    if (!DBKONST) return;
    for (int i = 0; i < 35; ++i) {
        const HotDipType& t = HotDipTypes[i];
        const TTable& component = t.clampTable ? DBKONST->PGRSRL : DBKONST->PGSTAT;
        bool on = false;
        try {
            // A cursor of its own: the access units' filters stay untouched.
            TTable table(component.DatabaseName(), component.TableName());
            table.Open();
            QString filter = t.clampTable ? QStringLiteral("RSL_KBEZ = ? AND RSL_HD_KZ = 1")
                                          : QStringLiteral("STA_KBEZ = ? AND STA_HD_KZ = 1");
            QVariantList params{QString::fromLatin1(t.code)};
            if (t.temperatureClass01) {
                filter += QStringLiteral(" AND TMP_KL = ?");
                params << QStringLiteral("01");
            }
            table.SetFilter(filter, params);
            table.SetFiltered(true);
            table.First();
            on = !table.IsEmpty();
        } catch (const std::exception&) {
            on = false;
        }
        HDCheckBoxes[size_t(i)]->setChecked(on);
        if (on) SetHDFlagPosition(i + 1, true);
    }
}

void TFLEKO::ApplyInterlocks() {
    QCheckBox* unc = DataSource1->CheckOf(QStringLiteral("F_EINH_KZ"));
    DataSource1->CheckOf(QStringLiteral("F_KN_KG"))->setEnabled(!unc->isChecked());
    QCheckBox* ptfe = DataSource1->CheckOf(QStringLiteral("F_PTFE_KZ"));
    QCheckBox* weld = DataSource1->CheckOf(QStringLiteral("F_ROHRLAGER_KZ"));
    ptfe->setEnabled(!weld->isChecked());
    weld->setEnabled(!ptfe->isChecked());
    ComboBox1->setEnabled(DataSource1->CheckOf(QStringLiteral("F_PREISE"))->isChecked());
    const bool cn = CalcGlobals.CNStandard;
    LastStarrKZ->setEnabled(!cn);
    DataSource1->CheckOf(QStringLiteral("F_KERNTECH"))->setEnabled(!cn);
    DataSource1->CheckOf(QStringLiteral("F_KATA_KZ"))->setEnabled(!cn);
}

void TFLEKO::SetRodItems() {
    if (DataSource1->CheckOf(QStringLiteral("F_KATA_KZ"))->isChecked())
        GEWSTG_RG->SetItems({QStringLiteral("8 feet"), QStringLiteral("10 feet"), QStringLiteral("12 feet")});
    else
        GEWSTG_RG->SetItems({QStringLiteral("2000 mm"), QStringLiteral("2500 mm"), QStringLiteral("3000 mm")});
}

void TFLEKO::ShowInch(const QString& field) {
    QLineEdit* inch = InchEdit(field);
    if (!inch) return;
    inch->setText(InchText(DataSource1->Field(field).AsFloat()));
}

void TFLEKO::UpdateKursPanel() {
    const QString code = m_currency.trimmed();
    const bool euroList = m_priceList == 0;
    KursLabel->setText(euroList ? QStringLiteral("1 EUR =") : QStringLiteral("1 USD ="));
    if (auto* c = KursPanel->findChild<QLabel*>(QStringLiteral("KursCode"))) c->setText(code);
    KursPanel->setVisible(!((code == u"EUR" && euroList) || (code == u"USD" && !euroList)));
}

void TFLEKO::FillDateFormats(int separatorIndex) {
    const QString separators = QStringLiteral(".,-/");
    if (separatorIndex >= 0 && separatorIndex < 4) IvFormatSettings().DateSeparator = separators.at(separatorIndex);
    const QStringList formats = DateFormatsOf(separatorIndex);
    CBDateFormat->clear();
    CBDateFormat->addItems(formats);
    CBDateFormat->setCurrentIndex(0);
    if (!m_loading) IvFormatSettings().ShortDateFormat = formats.first();
    ShowSelectedDate();
}

void TFLEKO::ShowSelectedDate() {
    LSelectedDate->setText(QDate::currentDate().toString(QtDateFormat(CBDateFormat->currentText())));
}

// ---- entry rules -----------------------------------------------------------

namespace {

enum class NumberRule { None, WholeAbsolute, Absolute, Angle };

NumberRule NumberRuleOf(const QString& field) {
    if (OneOf(WholeAbsFields, field)) return NumberRule::WholeAbsolute;
    if (OneOf(MmFields, field)) return NumberRule::Absolute;
    if (field.compare(QLatin1String("F_WINKEL"), Qt::CaseInsensitive) == 0) return NumberRule::Angle;
    return NumberRule::None;
}

// The value a number rule makes of a typed text; false when it is no number
// of the rule's kind.
bool CorrectedNumber(NumberRule rule, const QString& typed, double& value) {
    bool ok = false;
    if (rule == NumberRule::WholeAbsolute) {
        value = std::abs(typed.trimmed().toInt(&ok));
        return ok;
    }
    value = std::fabs(double(ParseNumber(typed.trimmed(), &ok)));
    if (rule == NumberRule::Angle && value > 4) value = 4;
    return ok;
}

QVariant RuleValue(NumberRule rule, double value) {
    return rule == NumberRule::WholeAbsolute ? QVariant(int(value)) : QVariant(value);
}

// A corrected value the field's kind can hold: the whole-number fields
// keep to their range.
bool FitsField(const TField& field, double value) {
    switch (field.DataType()) {
    case TFieldType::SmallInt: return value <= std::numeric_limits<int16_t>::max();
    case TFieldType::Integer: return value <= std::numeric_limits<int32_t>::max();
    default: return true;
    }
}

}  // namespace

void TFLEKO::FieldExit(const QString& field) {
    QLineEdit* e = DataSource1->EditOf(field);
    if (!e) return;
    if (const NumberRule rule = NumberRuleOf(field); rule != NumberRule::None) {
        double v = 0;
        if (!CorrectedNumber(rule, e->text(), v) || !FitsField(DataSource1->Field(field), v)) {
            ErrorOk(this, ConversionErrorText(e->text(), rule == NumberRule::WholeAbsolute));
            return;
        }
        // A field passed through unchanged starts no editing.
        if (e->text() != TFirdatBinder::FieldText(DataSource1->Field(field)) || DataSource1->Field(field).AsFloat() != v)
            DataSource1->SetField(field, RuleValue(rule, v));
        ShowInch(field);
    } else if (OneOf(AxisFields, field)) {
        const QString text = e->text();
        for (const char* other : AxisFields) {
            if (field.compare(QLatin1String(other), Qt::CaseInsensitive) == 0) continue;
            if (DataSource1->EditOf(QString::fromLatin1(other))->text() == text) {
                WarningOk(this, Tr("Bezeichnung doppelt vorhanden"));
                break;
            }
        }
    }
}

// A field that was never left (Esc or the window's close with "Yes", a
// preset's box) still gets its number rule before the row is posted. Texts
// that are no number are left for the post to refuse.
void TFLEKO::CorrectNumberFields() {
    QStringList fields;
    for (const char* f : WholeAbsFields) fields << QString::fromLatin1(f);
    for (const char* f : MmFields) fields << QString::fromLatin1(f);
    fields << QStringLiteral("F_WINKEL");
    for (const QString& field : fields) {
        QLineEdit* e = DataSource1->EditOf(field);
        const NumberRule rule = NumberRuleOf(field);
        double v = 0;
        if (!e || !CorrectedNumber(rule, e->text(), v) || !FitsField(DataSource1->Field(field), v)) continue;
        if (e->text() == TFirdatBinder::FieldText(DataSource1->Field(field)) && DataSource1->Field(field).AsFloat() == v)
            continue;
        DataSource1->SetField(field, RuleValue(rule, v));
        ShowInch(field);
    }
}

void TFLEKO::ControlEvent(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        // Leaving a control for another one of the form, not the window
        // losing the activation to a box or another program.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool left = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
        if (auto* e = qobject_cast<QLineEdit*>(watched)) {
            const QString field = DataSource1->FieldOf(e);
            if (left && !field.isEmpty() && !m_loading && !m_closing) FieldExit(field);
        } else if (watched == L_FormStyle_CheckBox && left) {
            FormStyleFlag = L_FormStyle_CheckBox->isChecked();
        }
    } else if (watched == DBCheckBox(33)) {
        if (event->type() == QEvent::Enter) TemperatureMemo->show();
        else if (event->type() == QEvent::Leave) TemperatureMemo->hide();
    }
}

// ---- presets ---------------------------------------------------------------

void TFLEKO::ApplyPreset(int column) {
    DataSource1->Edit();
    for (const PresetRow& row : PresetRows) {
        const double v = row.values[column];
        if (v < 0) continue;
        const QString field = QString::fromLatin1(row.field);
        if (DataSource1->Field(field).DataType() == TFieldType::Boolean) DataSource1->SetField(field, v != 0);
        else DataSource1->SetField(field, v);
    }
    if (PresetStrLoad[column] >= 0) {
        LastStarrKZ->setChecked(PresetStrLoad[column] == 1);
        DataSource1->SetField(QStringLiteral("F_STRLOAD_KZ"), PresetStrLoad[column] == 1 ? QStringLiteral("B") : QString());
    } else {
        LastStarrKZ->setChecked(false);
    }
    for (const char* f : MmFields) ShowInch(QString::fromLatin1(f));
    QStringList lines;
    if (column == 0)
        lines << Tr("Please pay attention to following modifications:") << QString()
              << Tr("Eingabelast bei Federhängern ist Kaltlast") << Tr("Reduced temperature range of pipe clamps");
    else
        lines << Tr("It is recommended to consider the following items:")
              << Tr("Permissible travel range of spring hangers has increased")
              << Tr("Check Input load for variable spring hangers (cold or hot)!");
    InformationOk(this, lines.join(QLatin1Char('\n')));
}

void TFLEKO::VGBClick() { ApplyPreset(0); }
void TFLEKO::EN13480Click() { ApplyPreset(1); }
void TFLEKO::ASMEClick() { ApplyPreset(2); }
void TFLEKO::ResetClick() { ApplyPreset(3); }

// ---- controls --------------------------------------------------------------

void TFLEKO::CNButtonClick() {
    if (m_loading) return;
    CalcGlobals.CNStandard = CN_BUTTON->isChecked();
    if (CalcGlobals.CNStandard) {
        LastStarrKZ->setChecked(true);
        DataSource1->SetField(QStringLiteral("F_STRLOAD_KZ"), QStringLiteral("B"));
        DataSource1->SetField(QStringLiteral("F_KERNTECH"), false);
        DataSource1->SetField(QStringLiteral("F_KATA_KZ"), false);
        // Left in the edit buffer: the guarded save or the close commits it,
        // so the password protects these fields as every other one.
        SetRodItems();
    }
    ApplyInterlocks();
    m_optionsChanged = true;
}

void TFLEKO::CurrencyChosen(int index) {
    const QString code = ComboBox1->itemText(index);
    m_currency = code.leftJustified(4, QLatin1Char(' '), true);
    const bool euroList = m_priceList == 0;
    UpdateKursPanel();
    if ((code == u"EUR" && euroList) || (code == u"USD" && !euroList)) {
        KURS->SetValue(1.0);
    } else {
        KursPanel->show();
        KURS->SetValue(0);
        KURS->setFocus();
    }
    MarkChanged();
}

void TFLEKO::PriceListChosen(int index) {
    if (index == m_priceList) return;
    const QString text = Tr("All prices in the current project must to be recalculated.") + QStringLiteral("\n\n") +
                         Tr("Continue ?");
    if (WarningYesNo(this, text) != mr::Yes) {
        const QSignalBlocker block(RGpriceList);
        RGpriceList->SetItemIndex(m_priceList);
        return;
    }
    // A list the project cannot keep is not used for its prices either.
    if (!SetProjectCurrency(index + 1)) {
        ErrorOk(this, Tr("The price list of the project could not be stored."));
        const QSignalBlocker block(RGpriceList);
        RGpriceList->SetItemIndex(m_priceList);
        return;
    }
    m_priceList = index;
    CalcGlobals.PriceIndex = index + 1;
    try {
        PricePartsList();
    } catch (const std::exception& error) {
        ErrorOk(this, QString::fromStdString(error.what()));
    }
    CurrencyChosen(std::max(0, ComboBox1->currentIndex()));
}

void TFLEKO::ExtendedLoadClick() {
    CalcGlobals.ExtendedLoadOption = CB_ext_loads->isChecked();
    TRegistry reg;
    if (!reg.OpenKey(ProductKey, true)) return;
    if (CalcGlobals.ExtendedLoadOption) reg.WriteBool(ExtendedLoadValue, true);
    else reg.DeleteValue(ExtendedLoadValue);
}

void TFLEKO::ChooseFont() {
    IvFontDialog1->Font = font();
    if (!IvFontDialog1->Execute()) return;
    const QFont f = IvFontDialog1->Font;
    TRegistry reg;
    if (reg.OpenKey(ProductKey, true)) {
        reg.WriteString(QStringLiteral("Name"), f.family());
        reg.WriteInteger(QStringLiteral("SIZE"), f.pointSize());
        reg.WriteInteger(QStringLiteral("Color"), ColorToNumber(palette().color(QPalette::WindowText)));
        reg.WriteBool(QStringLiteral("Bold"), f.bold());
        reg.WriteBool(QStringLiteral("Italic"), f.italic());
        reg.WriteBool(QStringLiteral("Underline"), f.underline());
        reg.WriteBool(QStringLiteral("StrikeOut"), f.strikeOut());
    }
    setFont(f);
    for (auto& [n, e] : m_edits) e->setFont(f);
    SharedFont() = f;
}

void TFLEKO::ChooseColor() {
    IvColorDialog1->Color = BackgroundColor;
    if (!IvColorDialog1->Execute()) return;
    BackgroundColor = IvColorDialog1->Color;
    TRegistry reg;
    if (reg.OpenKey(ProductKey, true)) reg.WriteInteger(QStringLiteral("PColor"), ColorToNumber(BackgroundColor));
}

void TFLEKO::ChoosePicture() {
    if (!IvOpenPictureDialog1->Execute()) return;
    m_printBitmapPath = IvOpenPictureDialog1->FileName();
    BitmapPath->setText(m_printBitmapPath);
    MarkChanged();
}

void TFLEKO::ChoosePrintLanguage() {
    int language = IvBinaryDictionaryPrint ? IvBinaryDictionaryPrint->Language() : 0;
    if (!IvBinaryDictionaryPrint || !LanguageDialogHook) return;
    try {
        if (!LanguageDialogHook(this, IvBinaryDictionaryPrint, language)) return;
        IvBinaryDictionaryPrint->SetLanguage(language);
        GewaehlteSprache->setText(LanguageName(IvBinaryDictionaryPrint, language));
        MarkChanged();
    } catch (const std::exception& error) {
        ErrorOk(this, QString::fromUtf8(error.what()));
    }
}

void TFLEKO::ChooseMenuLanguage() {
    int language = IvBinaryDictionaryGlobal ? IvBinaryDictionaryGlobal->Language() : 0;
    if (!IvBinaryDictionaryGlobal || !LanguageDialogHook) return;
    try {
        if (!LanguageDialogHook(this, IvBinaryDictionaryGlobal, language)) return;
        IvBinaryDictionaryGlobal->SetLanguage(language);
        ApplicationHelpFile = ProgramDirectoryText + HelpFileOfLanguage(language);
    } catch (const std::exception& error) {
        ErrorOk(this, QString::fromUtf8(error.what()));
    }
}

void TFLEKO::ShowHelp() {
    // No viewer for the help files exists here: say which file and topic
    // would have been shown.
    const int language = IvBinaryDictionaryGlobal ? IvBinaryDictionaryGlobal->Language() : 2;
    const QString file = ApplicationHelpFile.isEmpty() ? ProgramDirectoryText + HelpFileOfLanguage(language)
                                                       : ApplicationHelpFile;
    InformationOk(this, Tr("Die Hilfe kann nicht angezeigt werden.") + QLatin1Char('\n') + file + QStringLiteral(" (") +
                            QString::number(PageControl1->property("HelpContext").toInt()) + QLatin1Char(')'));
}

bool TFLEKO::PrintForm() { return PrintFormOnDefaultPrinter(*this); }

void TFLEKO::PageControl1Change(int index) {
    static const int contexts[] = {20300, 20400, 20500, 20600, 20700, 20800, 20900};
    if (index >= 0 && index < 7) PageControl1->setProperty("HelpContext", contexts[index]);
}

bool TFLEKO::FormKeyDown(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        focusNextChild();
        return true;
    case Qt::Key_Up:
        focusPreviousChild();
        return true;
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_F1:
        ShowHelp();
        return true;
    case Qt::Key_F10:
        PrintForm();
        return true;
    default: return false;
    }
}

// ---- closing ---------------------------------------------------------------

bool TFLEKO::FormCloseQuery() {
    bool ok = false;
    double factor = 0;
    try {
        factor = double(KURS->Value());
        ok = true;
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok || factor == 0) {
        WarningOk(this, Tr("Conversion factor: Invalid value !"));
        PageControl1->setCurrentIndex(4);
        KursPanel->show();
        KURS->setFocus();
        return false;
    }
    return true;
}

bool TFLEKO::FormClose() {
    if (DataSource1->Editing() || m_optionsChanged || m_hdChanged) {
        const int answer =
            ConfirmationDlg(this, IvTranslate(ErrorTextByNumber(7010)), mb::Yes | mb::No | mb::Cancel);
        if (answer == mr::Yes) {
            if (!SpeichernClick()) return false;
        } else if (answer == mr::No) {
            DataSource1->Cancel();
            // The CN fields went with the edits: the flag goes back with them.
            CalcGlobals.CNStandard = m_cnAtActivation;
            m_optionsChanged = m_hdChanged = false;
        } else {
            return false;
        }
    }
    LastTab = PageControl1->currentIndex();
    if (DataSource1->Table().Active()) DataSource1->Table().Close();
    return true;
}

void TFLEKO::closeEvent(QCloseEvent* event) {
    m_closing = true;
    const bool close = FormCloseQuery() && FormClose();
    m_closing = false;
    if (close) event->accept();
    else event->ignore();
}

// ---- password --------------------------------------------------------------

namespace {

// The stored password, unscrambled; empty when there is none.
QString StoredPassword(bool* exists = nullptr) {
    TRegistry reg;
    const bool open = reg.OpenKey(ProductKey, false);
    const bool found = open && reg.ValueExists(QStringLiteral("OPWD"));
    if (exists) *exists = found;
    return found ? UnscrambleText(reg.ReadString(QStringLiteral("OPWD"))) : QString();
}

template <class Dialog>
bool RunCentred(QWidget* form) {
    Dialog dialog(form);
    dialog.adjustSize();
    dialog.move(CentredOver(form->frameGeometry(), dialog.frameGeometry().size()));
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace

bool TFLEKO::CheckPassword() {
    if (!PasswordChk->isChecked()) return true;
    bool exists = false;
    const QString stored = StoredPassword(&exists);
    if (exists) RunCentred<TFPassword2>(this);
    if (CalcGlobals.OptionsPassword != stored) {
        ErrorOk(this, Tr("Password not correct !"));
        return false;
    }
    return true;
}

void TFLEKO::PasswordChkClick() {
    if (PasswordChk->isChecked()) {
        if (m_passwordStored) return;
        const bool confirmed = RunCentred<TFPassword1>(this);
        // A cancelled dialog sets no password, whatever was typed earlier.
        if (confirmed && !CalcGlobals.OptionsPassword.isEmpty()) {
            TRegistry reg;
            if (reg.OpenKey(ProductKey, true)) {
                reg.WriteString(QStringLiteral("OPWD"), ScrambleText(CalcGlobals.OptionsPassword));
                m_passwordStored = true;
                return;
            }
        }
        SetCheckedQuietly(PasswordChk, false);
        return;
    }
    bool exists = false;
    const QString stored = StoredPassword(&exists);
    if (exists) {
        RunCentred<TFPassword2>(this);
        if (CalcGlobals.OptionsPassword != stored) {
            ErrorOk(this, Tr("Password not correct !"));
            SetCheckedQuietly(PasswordChk, true);
            return;
        }
        TRegistry reg;
        if (reg.OpenKey(ProductKey, false)) reg.DeleteValue(QStringLiteral("OPWD"));
    }
    m_passwordStored = false;
}

// ---- saving ----------------------------------------------------------------

bool TFLEKO::WriteHotDipFlags() {
    CalcGlobals.HDFlags = QString(35, QLatin1Char('0'));
    if (!DBKONST) return false;
    // Both tables come back open or closed as they were found.
    const TableStateKeeper statics(DBKONST->PGSTAT);
    const TableStateKeeper clamps(DBKONST->PGRSRL);
    try {
        for (int i = 0; i < 35; ++i) {
            const HotDipType& t = HotDipTypes[i];
            const bool on = HDCheckBoxes[size_t(i)]->isChecked();
            if (t.clampTable) SetHDFlagPgrsrsl(QString::fromLatin1(t.code), on, i + 1);
            else SetHDFlagPgstat(QString::fromLatin1(t.code), on, i + 1);
        }
    } catch (const std::exception& error) {
        WarningOk(this, QString::fromUtf8(error.what()));
        CalcGlobals.HDFlags.clear();
        return false;
    }
    return true;
}

bool TFLEKO::SpeichernClick() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct CursorBack {
        ~CursorBack() { QApplication::restoreOverrideCursor(); }
    } cursorBack;
    if (!CheckPassword()) return false;

    try {
        CorrectNumberFields();
        DataSource1->Edit();
        const auto set = [this](const char* field, const QVariant& v) { DataSource1->Field(QString::fromLatin1(field)).SetValue(v); };
        set("F_PRS_EINHEIT", m_currency.leftJustified(4, QLatin1Char(' '), true));
        set("F_DRCK_GEW_KZ", m_printWeightKg);
        set("F_DRCK_DIM_KZ", m_printDimMm);
        set("F_TGKURS", double(KURS->Value()));
        const int rod = GEWSTG_RG->ItemIndex();
        set("F_ZUGST_ST", rod == 0 ? 2000 : rod == 1 ? 2500 : 3000);
        set("F_DRCK_KZ", IvBinaryDictionaryPrint ? IvBinaryDictionaryPrint->Language()
                                                 : DataSource1->Field(QStringLiteral("F_DRCK_KZ")).AsInteger());
        set("F_DRCK_EH_KZ", QString(m_titleBlockUnits));
        set("F_STRLOAD_KZ", LastStarrKZ->isChecked() ? QStringLiteral("B") : QString());
        DataSource1->Post();
    } catch (const std::exception& error) {
        ErrorOk(this, QString::fromUtf8(error.what()));
        return false;
    }
    CalcGlobals.LogoFile = m_printBitmapPath;
    CalcGlobals.LogoFlag = m_printBitmap;

    if (m_hdChanged) WriteHotDipFlags();

    if (!ProjectDatabaseName.isEmpty()) {
        try {
            CopyOptionsToProject(false);
        } catch (const std::exception& error) {
            ErrorOk(this, QString::fromUtf8(error.what()));
        }
    }

    TRegistry reg;
    if (reg.OpenKey(ProductKey, true)) {
        reg.WriteString(QStringLiteral("ShortDateFormat"), IvFormatSettings().ShortDateFormat);
        reg.WriteString(QStringLiteral("DateSeparator"), QString(IvFormatSettings().DateSeparator));
        reg.WriteString(QStringLiteral("BITMAP"), m_printBitmapPath);
        reg.WriteBool(QStringLiteral("PRINT BITMAP"), m_printBitmap);
        reg.WriteBool(QStringLiteral("PNote"), PNote_KZ->isChecked());
        reg.WriteInteger(QStringLiteral("WidthMain"), SpinEdit1->value());
        reg.WriteInteger(QStringLiteral("WidthHelp"), SpinEdit2->value());
        reg.WriteInteger(QStringLiteral("TRVL_DECIMAL"), SpinEdit3->value());
        reg.WriteBool(QStringLiteral("FormStyle"), L_FormStyle_CheckBox->isChecked());
        reg.WriteBool(QStringLiteral("LANGUAGE COND"), LanguageGroup->ItemIndex() == 0);
    }
    TravelDecimals = SpinEdit3->value();
    PrintNoteFlag = PNote_KZ->isChecked();
    FormStyleFlag = L_FormStyle_CheckBox->isChecked();
    SetCheckLevels(LanguageGroup->ItemIndex() == 0);
    try {
        auto firdat = SettingsTable();
        firdat->Open();
        firdat->First();
        ReadPrintSwitches(*firdat);
    } catch (const std::exception&) {
        // The switches stay as they were; the settings themselves are saved.
    }
    m_optionsChanged = false;
    m_hdChanged = false;
    m_cnAtActivation = CalcGlobals.CNStandard;
    InformationOk(this, Tr("Settings successfully stored"));
    return true;
}

// ---- settings text file ----------------------------------------------------

namespace {

struct ValueLine {
    const char* label;
    const char* field;  // the edit of the field, or its inch twin with inch
    const char* unit;   // " (%)", " (mm)", " (inch)", " (°)"
};

const ValueLine SpecificationLines[] = {
    {"Zulässige Kraftdifferenz bei Federhängern", "F_FDIFF", " (%)"},
    {"Max. zulässiger Weg für Federhänger", "F_BEWEGBER", " (mm)"},
    {"Max. zulässiger Weg für Federhänger", "F_BEWEGBER", " (inch)"},
    {"Lastreserve bei Federhängern", "F_LR_FH", " (%)"},
    {"Lastreserve bei Konstanthängern", "F_LR_KH", " (%)"},
    {"Wegreserve  bei Federhängern", "F_WR_FH_MM", " (mm)"},
    {"Wegreserve  bei Federhängern", "F_WR_FH_MM", " (inch)"},
    {"Wegreserve  bei Federhängern", "F_WR_FH", " (%)"},
    {"Wegreserve  bei Konstanthängern", "F_WR_KH_MM", " (mm)"},
    {"Wegreserve  bei Konstanthängern", "F_WR_KH_MM", " (inch)"},
    {"Wegreserve  bei Konstanthängern", "F_WR_KH", " (%)"},
    {"Wegreserve bei Stoßbremsen", "F_WR_SB", " (mm)"},
    {"Wegreserve bei Stoßbremsen", "F_WR_SB", " (inch)"},
    {"Einbaureserve bei Gelenkstreben", "F_WR_GS", " (mm)"},
    {"Einbaureserve bei Gelenkstreben", "F_WR_GS", " (inch)"},
    {"Zulässiger Winkel", "F_WINKEL", " (°)"},
    {"Lastreserve bei rohrumschließenden Teilen", "F_RSRL_LR", " (%)"},
};

struct BoolLine {
    const char* label;
    const char* field;
};

const BoolLine SettingsLinesA[] = {
    {"Eingabelast bei Federhängern ist Kaltlast", "F_KALWAR_KZ"},
    {"Kernteschnische Ausführung", "F_KERNTECH"},
    {"Einheitensystem ist UNC", "F_EINH_KZ"},
    {"Lasteingaben in kg", "F_KN_KG"},
    {"UNC - Katalog", "F_KATA_KZ"},
    {"Angaben für Hydrolasten überprüfen", "F_HYDTEST_KZ"},
    {"Blockierposition bei Konstanthängern vorwählen", "F_BLOCK_VOR"},
    {"Standard Schweißnahtangaben übernehmen", "F_NAHT_KZ"},
    {"Auslenkwinkel prüfen", "F_WINKEL_KZ"},
};
const BoolLine SettingsLinesB[] = {
    {"No consideration of low temperatures base clamps", "F_RLAGER_WST_KZ"},
    {"Reduced temperature range of pipe clamps", "F_VGBRL_KZ"},
};
const BoolLine ConfigurationLines[] = {
    {"Ohne rohrumschließende Bauteile", "F_RSRL_OHNE"},
    {"Halterungen ohne Gebäudeanschluß", "F_OB_ANSCH"},
    {"Ein kleineres Anschlußmaß für Schellen zulassen", "F_RSRL_AN"},
    {"Schellentyp 42 bei der Auswahl mit einbeziehen", "F_TYP_42_KZ"},
    {"Halterungen im Einbauzustand senkrecht hängend", "F_EINBAU_KZ"},
    {"Stoßbremsen ohne Verlägerungen auswählen", "F_SB_OHNE_V"},
    {"Federhänger mit extra langen Wegbereichen", "F_WEG_KZ"},
    {"PTFE - Gleitplatten für Rohrunterstützung", "F_PTFE_KZ"},
    {"Aufgesetzte Konstant-bzw. Federhänger inkl. Auflager bzw. Grundplatte", "F_AUFLAGER_KZ"},
    {"Rohrlager zum Anschweißen (Typ 57), statt Rohrlager (Typ 49)", "F_ROHRLAGER_KZ"},
};
const BoolLine ServiceLines[] = {
    {"Halterungen werkseitig vormontieren", "F_VORKOS_KZ"},
    {"Federhänger werkseitig blockieren", "F_BLOCKKOS_KZ"},
    {"Zusatzanstrich für rohrumschließende Bauteile", "F_ANSTR_KZ"},
    {"Hot-dip galvanised", "F_HD_KZ"},
};
const BoolLine PrintLines[] = {
    {"Lageplan", "F_PLAN_KZ"},
    {"Vorspannungssymbole", "F_VORSP_KZ"},
    {"Koordinatenkreuz", "F_KOOR_KZ"},
    {"Nordpfeil", "F_NORDP_KZ"},
};

const char* const RodLabel = "Maximal Länge von Gewindestangen/ Zugstangen";
const char* const WeightKgLabel = "Gewichte in Stückliste kg";
const char* const WeightLbsLabel = "Gewichte in Stückliste lbs";
const char* const TitleBlockLabels[3] = {"Einheiten im Schriftkopf kN / mm / °C", "Einheiten im Schriftkopf kg / mm / °C",
                                         "Einheiten im Schriftkopf lbs / inch / °F"};

QString Section(const char* name) { return Tr(name); }

}  // namespace

bool TFLEKO::ExportSettings(const QString& fileName) {
    TIniWriter ini;
    ini.Section(QStringLiteral("Menu"));
    ini.Value(QStringLiteral("Language"), CurrentMenuLanguageName());
    ini.Line(QStringLiteral("1 : TRUE           0 : FALSE"));
    const auto boolLine = [&](const QString& label, bool on) { ini.Line(label + BoolToIniText(on)); };
    const auto checked = [this](const char* field) {
        return DataSource1->CheckOf(QString::fromLatin1(field))->isChecked();
    };

    ini.Section(Section("---Spezifikationen---"));
    for (const ValueLine& l : SpecificationLines) {
        const QString field = QString::fromLatin1(l.field);
        const bool inch = QLatin1String(l.unit) == QLatin1String(" (inch)");
        const QString text = inch ? InchEdit(field)->text() : DataSource1->EditOf(field)->text();
        ini.Line(Tr(l.label) + QString::fromUtf8(l.unit) + QStringLiteral(" = ") + text);
    }
    boolLine(Tr("Zul. Belastung für starre Halterungen nach ASME B31.1"), LastStarrKZ->isChecked());
    if (!CN_BUTTON->isHidden()) boolLine(Tr("CN Standard"), CN_BUTTON->isChecked());

    ini.Section(Section("---Einstellungen---"));
    for (const BoolLine& l : SettingsLinesA) boolLine(Tr(l.label), checked(l.field));
    const int rodIndex = GEWSTG_RG->ItemIndex();
    const int rod = rodIndex == 0 ? 2000 : rodIndex == 1 ? 2500 : 3000;
    ini.Line(Tr(RodLabel) + QStringLiteral(" (mm) = ") + QString::number(rod));
    ini.Line(Tr(RodLabel) + QStringLiteral(" (feet) = ") +
             QString::fromLatin1(rod == 3000 ? "12" : rod == 2500 ? "10" : "8"));
    for (const BoolLine& l : SettingsLinesB) boolLine(Tr(l.label), checked(l.field));

    ini.Section(Section("---Konfigurationen---"));
    for (const BoolLine& l : ConfigurationLines) boolLine(Tr(l.label), checked(l.field));

    ini.Section(Section("---Zusatzleistungen---"));
    for (const BoolLine& l : ServiceLines) boolLine(Tr(l.label), checked(l.field));

    ini.Section(Section("---Drucken---"));
    for (const BoolLine& l : PrintLines) boolLine(Tr(l.label), checked(l.field));
    ini.Line(m_printWeightKg ? Tr(WeightKgLabel) + QStringLiteral(" = 1") : Tr(WeightLbsLabel) + QStringLiteral(" = 0"));
    const int units = m_titleBlockUnits == u'B' ? 1 : m_titleBlockUnits == u'C' ? 2 : 0;
    ini.Line(Tr(TitleBlockLabels[units]) + QStringLiteral(" = ") + QString::number(units + 1));
    ini.Line(Tr("Line width of outlines") + QString::number(SpinEdit1->value()));
    ini.Line(Tr("Line width of ledger lines") + QString::number(SpinEdit2->value()));
    ini.Line(Tr("Post decimal positions") + QString::number(SpinEdit3->value()));

    ini.Section(Section("---Version---"));
    ini.Line(QWDateiInfo->DateiVersion() + QStringLiteral(" / ") +
             QWDateiInfo->Datum_geaendert().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")));
    if (CalcGlobals.CNStandard) ini.Line(QStringLiteral("STDCN"));

    QString error;
    if (!ini.Save(fileName, &error)) {
        ErrorOk(this, error);
        return false;
    }
    return true;
}

void TFLEKO::SpeedButton1Click() {
    if (!IvSaveDialog1->Execute()) return;
    ExportSettings(IvSaveDialog1->FileName());
}

bool TFLEKO::ImportSettings(const QString& fileName) {
    bool ok = false;
    const QString text = ReadIniFileText(fileName, &ok);
    if (!ok) {
        ErrorOk(this, Tr("Die Datei kann nicht gelesen werden:") + QLatin1Char('\n') + fileName);
        return false;
    }
    TIniReader ini{QString()};
    ini.Parse(text);
    const QString language = ini.ReadString(QStringLiteral("Menu"), QStringLiteral("Language"), QString());
    if (language != CurrentMenuLanguageName()) {
        WarningOk(this, Tr("Please change menu language into ") + IvTranslate(language));
        return false;
    }
    const auto number = [&](const QString& section, const QString& key) {
        bool isNumber = false;
        const double v = double(ParseNumber(ini.ReadString(section, key, QString()), &isNumber));
        return isNumber ? v : 0.0;
    };
    const auto flag = [&](const QString& section, const QString& key) {
        bool isNumber = false;
        const int v = ini.ReadString(section, key, QString()).toInt(&isNumber);
        return isNumber && v != 0;
    };
    // Control events stay quiet while the file is taken over, also when a
    // database error ends it half-way.
    struct Quiet {
        bool& flag;
        ~Quiet() { flag = false; }
    } quiet{m_loading};
    m_loading = true;
    DataSource1->Edit();
    const QString ratings = Section("---Spezifikationen---");
    for (const ValueLine& l : SpecificationLines) {
        if (QLatin1String(l.unit) == QLatin1String(" (inch)")) continue;
        const QString field = QString::fromLatin1(l.field);
        double v = std::fabs(number(ratings, Tr(l.label) + QString::fromUtf8(l.unit)));
        if (field == u"F_WINKEL") v = std::min(v, 4.0);
        else v = std::trunc(v);
        DataSource1->SetField(field, v);
    }
    const bool asme = flag(ratings, Tr("Zul. Belastung für starre Halterungen nach ASME B31.1"));
    LastStarrKZ->setChecked(asme);
    DataSource1->SetField(QStringLiteral("F_STRLOAD_KZ"), asme ? QStringLiteral("B") : QString());
    const auto bools = [&](const QString& section, const auto& lines) {
        for (const BoolLine& l : lines) DataSource1->SetField(QString::fromLatin1(l.field), flag(section, Tr(l.label)));
    };
    const QString settings = Section("---Einstellungen---");
    bools(settings, SettingsLinesA);
    bools(settings, SettingsLinesB);
    const int rod = int(number(settings, Tr(RodLabel) + QStringLiteral(" (mm)")));
    DataSource1->SetField(QStringLiteral("F_ZUGST_ST"), rod);
    GEWSTG_RG->SetItemIndex(rod == 2000 ? 0 : rod == 2500 ? 1 : 2);
    bools(Section("---Konfigurationen---"), ConfigurationLines);
    bools(Section("---Zusatzleistungen---"), ServiceLines);
    const QString print = Section("---Drucken---");
    bools(print, PrintLines);
    m_printWeightKg = flag(print, Tr(WeightKgLabel));
    DRCK_GEW_EH->SetItemIndex(m_printWeightKg ? 0 : 1);
    int units = 0;
    for (int i = 0; i < 3; ++i)
        if (ini.ValueExists(print, Tr(TitleBlockLabels[i]))) {
            units = i;
            break;
        }
    m_titleBlockUnits = QChar(u'A' + units);
    DRCK_EH->SetItemIndex(units);
    for (const char* f : MmFields) ShowInch(QString::fromLatin1(f));
    SetRodItems();
    ApplyInterlocks();
    // The record stays in edit mode: the guarded save or the close commits it.
    m_optionsChanged = true;
    return true;
}

void TFLEKO::SpeedButton3Click() {
    if (!IvOpenDialog1->Execute()) return;
    ImportSettings(IvOpenDialog1->FileName());
}

// ---- start-up of the input form --------------------------------------------

namespace {

void ApplyPlacement(QWidget& form, TRegistry& reg) {
    const QSize screen = form.screen() ? form.screen()->size() : QSize(1024, 768);
    const struct {
        const char* name;
        int written;
    } values[] = {{"Left", int(std::trunc(screen.width() * 0.5 - form.width() * 0.5))},
                  {"Top", int(std::trunc(screen.height() * 0.5 - form.height() * 0.5))},
                  {"Width", form.width()},
                  {"Height", form.height()}};
    int read[4];
    for (int i = 0; i < 4; ++i) {
        const QString name = QString::fromLatin1(values[i].name);
        if (!ReadRegistryInt(reg, name, read[i])) {
            reg.WriteInteger(name, values[i].written);
            read[i] = values[i].written;
        }
    }
    form.setGeometry(read[0], read[1], read[2], read[3]);
    bool maximised = false;
    if (!ReadRegistryBool(reg, QStringLiteral("State"), maximised)) reg.WriteBool(QStringLiteral("State"), false);
    if (maximised) form.setWindowState(form.windowState() | Qt::WindowMaximized);
    InputFormOrigin = QPoint(read[0], read[1]);
}

void ReadFontValues(QWidget& form, TRegistry& reg) {
    QFont f = form.font();
    if (reg.ValueExists(QStringLiteral("Name"))) f.setFamily(reg.ReadString(QStringLiteral("Name")));
    int size = 0;
    if (ReadRegistryInt(reg, QStringLiteral("SIZE"), size) && size > 0) f.setPointSize(size);
    int color = 0;
    if (ReadRegistryInt(reg, QStringLiteral("Color"), color)) {
        QPalette p = form.palette();
        p.setColor(QPalette::WindowText, ColorFromNumber(color));
        form.setPalette(p);
    }
    int background = 0;
    BackgroundColor = ReadRegistryInt(reg, QStringLiteral("PColor"), background) ? ColorFromNumber(background)
                                                                               : QColor(0xC0, 0xC0, 0xC0);
    bool on = false;
    if (ReadRegistryBool(reg, QStringLiteral("Bold"), on) && on) {
        f.setBold(true);
        f.setItalic(false);
        f.setUnderline(false);
        f.setStrikeOut(false);
    }
    if (ReadRegistryBool(reg, QStringLiteral("Italic"), on) && on) f.setItalic(true);
    if (ReadRegistryBool(reg, QStringLiteral("Underline"), on) && on) f.setUnderline(true);
    if (ReadRegistryBool(reg, QStringLiteral("StrikeOut"), on) && on) f.setStrikeOut(true);
    form.setFont(f);
    SharedFont() = f;
}

// The values the options form saves for the user come back at the next
// start; absent ones leave the program's defaults.
void ReadSavedOptions(TRegistry& reg) {
    int decimals = 0;
    if (ReadRegistryInt(reg, QStringLiteral("TRVL_DECIMAL"), decimals) && decimals >= 0 && decimals <= 2)
        TravelDecimals = decimals;
    if (reg.ValueExists(QStringLiteral("ShortDateFormat"))) {
        const QString format = reg.ReadString(QStringLiteral("ShortDateFormat"));
        if (!format.isEmpty()) IvFormatSettings().ShortDateFormat = format;
    }
    if (reg.ValueExists(QStringLiteral("DateSeparator"))) {
        const QString separator = reg.ReadString(QStringLiteral("DateSeparator"));
        if (!separator.isEmpty()) IvFormatSettings().DateSeparator = separator.at(0);
    }
    bool on = false;
    if (ReadRegistryBool(reg, QStringLiteral("PNote"), on)) PrintNoteFlag = on;
    if (ReadRegistryBool(reg, QStringLiteral("FormStyle"), on)) FormStyleFlag = on;
}

// The folder for temporary files when the system has none: inside the
// project directory, named after the company.
bool MakePrivateFolder() {
    try {
        if (!GetTempDir().isEmpty()) return true;
    } catch (const std::exception&) {
        // No usable temporary folder: the project's own one below.
    }
    const QString dir = QDir(ProjectDatabaseName).filePath(QStringLiteral("$TMP%1$").arg(CompanyNumber));
    return QDir().mkpath(dir);
}

void ReadProjectQuery() {
    const QString sub = FileInDirectory(ProjectDatabaseName, QStringLiteral("$PRJ%1").arg(CompanyNumber));
    if (!QFileInfo(sub).isDir()) return;
    const QString file = FileInDirectory(sub, QStringLiteral("lek51.db"));
    if (!QFileInfo::exists(file)) return;
    TTable& lek51 = DBGLOBAL->LEK51;
    lek51.SetDatabaseName(sub);
    lek51.SetTableName(QFileInfo(file).fileName());
    lek51.Open();
    lek51.First();
    QString query;
    for (int i = 1; i <= 4; ++i) query += lek51.FieldByName(QStringLiteral("QueryStr_Part%1").arg(i)).AsString();
    ProjectQueryText = query;
    lek51.Close();
}

}  // namespace

bool LoadRegistrySettings(QWidget& inputForm) {
    SharedFont() = inputForm.font();
    ProgramDirectoryText = AddBackslash(ProgramDirectory());

    TRegistry reg;
    if (reg.OpenKey(ProductKey, true)) {
        bool all = false;
        if (ReadRegistryBool(reg, QStringLiteral("LANGUAGE COND"), all)) SetCheckLevels(all);
        int language = 0;
        if (ReadRegistryInt(reg, QStringLiteral("Language"), language) && IvBinaryDictionaryGlobal) {
            try {
                SetStoredLanguage(IvBinaryDictionaryGlobal, language, QStringLiteral("the registry's menu language"));
            } catch (const std::exception&) {
                // A language change that fails leaves the current one.
            }
        }
        if (reg.ValueExists(QStringLiteral("BITMAP"))) CalcGlobals.LogoFile = reg.ReadString(QStringLiteral("BITMAP"));
        bool logo = false;
        CalcGlobals.LogoFlag = ReadRegistryBool(reg, QStringLiteral("PRINT BITMAP"), logo) && logo;
        ReadFontValues(inputForm, reg);
        ReadSavedOptions(reg);
        TQWDateiInfo info;
        reg.WriteString(QStringLiteral("Version"), info.DateiVersion());
        ApplyPlacement(inputForm, reg);
    }
    bool show = false;
    ShowSelection = reg.OpenKey(ProductKey, false) && ReadRegistryBool(reg, QStringLiteral("SHOW_SELECTION"), show) && show;

    if (IvBinaryDictionaryGlobal)
        IvBinaryDictionaryGlobal->SetFileName(FileInDirectory(ProgramDirectoryText, QStringLiteral("KORVA32.mld")));
    if (IvBinaryDictionaryPrint) {
        IvBinaryDictionaryPrint->SetFileName(FileInDirectory(ProgramDirectoryText, QStringLiteral("KORVAPRN.mld")));
        try {
            if (!IvBinaryDictionaryPrint->IsOpen()) IvBinaryDictionaryPrint->Open();
        } catch (const std::exception&) {
            // Print texts stay untranslated without their dictionary.
        }
    }

    if (!MakePrivateFolder()) {
        const QString text = Tr("Fehler beim Anlegen eines Verzeichnisses !");
        ErrorOk(&inputForm, text);
        WriteHostError(text);
        return false;
    }

    try {
        auto firdat = SettingsTable();
        firdat->Open();
        firdat->First();
        const int printLanguage = firdat->FieldByName(QStringLiteral("F_DRCK_KZ")).AsInteger();
        // The settings name the language that prints, whether the stored one
        // was not offered or could not be set.
        const auto storePrintLanguage = [&firdat](int language) {
            firdat->Edit();
            firdat->FieldByName(QStringLiteral("F_DRCK_KZ")).SetAsInteger(language);
            firdat->Post();
        };
        try {
            if (IvBinaryDictionaryPrint) {
                const int used = SetStoredLanguage(IvBinaryDictionaryPrint, printLanguage,
                                                   QStringLiteral("the settings' print language"));
                if (used != printLanguage) storePrintLanguage(used);
            }
        } catch (const std::exception&) {
            IvBinaryDictionaryPrint->SetLanguage(kFallbackLanguage);
            storePrintLanguage(kFallbackLanguage);
        }
        ReadPrintSwitches(*firdat);
        firdat->Close();
    } catch (const std::exception&) {
        // Without a readable settings row the switches keep their defaults.
    }

    if (DBGLOBAL && !ProjectDatabaseName.isEmpty()) {
        for (TTable* t : {&DBGLOBAL->KONSTR, &DBGLOBAL->KONSTZ, &DBGLOBAL->KONBTL, &DBGLOBAL->KONETR, &DBGLOBAL->PRJINF})
            t->SetDatabaseName(ProjectDatabaseName);
        try {
            ReadProjectQuery();
        } catch (const std::exception&) {
            DBGLOBAL->LEK51.Close();
        }
    }
    CaptionPrefix = ProjectDatabaseName;
    return true;
}
