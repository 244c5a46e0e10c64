#pragma once
// The main input form of normal mode: the support's loads, movements, pipe
// data, configuration, connection and elevations, checked and confirmed by
// the engineer. Ok runs the selection, stores the support and writes the
// output file (or the host error file); closing the form ends the program.
// The rules live in forms/rules; the widgets here only show and forward.
#include "data/FIRAUFKON.h"
#include "forms/rules/HostTransfer.h"
#include "ui/ZorbelFormTemplate.h"

#include <QGroupBox>
#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <array>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTimer;
class TzorbelOnlyOne;
class QWidget;
class TFloatEdit;
class TIntegerEdit;
class TUncHoehe;
class TZORBELGroupBox;

// A plain radio group: a titled frame with one button per item and the
// chosen item's index.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& name, const QString& title, const QStringList& items, QWidget* parent,
                bool horizontal = false);
    int ItemIndex() const;
    void SetItemIndex(int index);  // runs no handler
    void SetItems(const QStringList& items);
    QStringList Items() const;
signals:
    void Clicked();

protected:
    // Left and Right choose the previous and the next item, wrapping round,
    // as the arrow keys do in a radio group of the platform the program
    // comes from; the form keeps Up and Down for moving between controls.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QButtonGroup* m_group;
    bool m_horizontal;
};

// The picture of the current configuration, on a 300 × 300 grid that the
// elevation inputs are placed on.
class TConfigurationPicture : public QWidget {
    Q_OBJECT
public:
    explicit TConfigurationPicture(QWidget* parent = nullptr);
    // picture: the configuration's own picture (the catalogue's BILD), or
    // empty for the drawn placeholder.
    void SetConfiguration(const ConfigurationRow& row, const QByteArray& picture);
    double ScaleX() const { return width() / 300.0; }
    double ScaleY() const { return height() / 300.0; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ConfigurationRow m_row;
    QPixmap m_image;
};

class TFLEK1 : public TZorbelForm {
    Q_OBJECT
public:
    explicit TFLEK1(QWidget* parent = nullptr);
    ~TFLEK1() override;

    // ---- components, named as the translator and the tests reach them
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet_Load = nullptr;
    QTabWidget* PageControl2 = nullptr;
    QWidget* TabSheet_Hanger = nullptr;
    // The single-instance lock's component; the lock itself is taken at
    // start, before any form exists.
    TzorbelOnlyOne* ZorbelOnlyOne = nullptr;
    QPushButton* Weiter = nullptr;
    QPushButton* ENDE = nullptr;
    QPushButton* OPTIONEN = nullptr;
    QPushButton* STORE = nullptr;
    QPushButton* Button1 = nullptr;  // language
    QPushButton* Button2 = nullptr;  // cold / warm load
    QLabel* LabelLoadKind = nullptr;
    TRadioGroup* DIRECTION = nullptr;
    QLineEdit* ABHG_NR = nullptr;
    QWidget* DBNavigator1 = nullptr;
    std::array<QPushButton*, 4> NavigatorButtons{};  // first, prior, next, last
    TFloatEdit *Last = nullptr, *STAT_LAST_HZ = nullptr, *STAT_LAST_HS = nullptr, *Hydrolast = nullptr;
    TFloatEdit *DY_L_H = nullptr, *DY_L_HZ = nullptr, *DY_L_HS = nullptr, *DY_W_P = nullptr, *DY_W_N = nullptr;
    TFloatEdit *Lateral = nullptr, *Horizontal = nullptr, *Vertikal = nullptr, *ISO = nullptr;
    QLineEdit* RDM = nullptr;
    QPushButton* RDM_BTN = nullptr;
    TIntegerEdit* TEMP = nullptr;
    QLineEdit *UPOS = nullptr, *ZNR = nullptr, *ANL_NR = nullptr, *LFD_NR = nullptr, *KDN_NR = nullptr, *CALC = nullptr;
    TFloatEdit *T9_WINKEL = nullptr, *BOCK35_WINKEL = nullptr, *FloatEdit1 = nullptr, *WEG_S_T532 = nullptr;
    QPushButton *DiffKnopf = nullptr, *KotenKnopf = nullptr, *HG_VOR = nullptr, *Button5 = nullptr;
    QCheckBox *CB_AS_dreh = nullptr, *CB_KH_dreh = nullptr, *CBwithExtention = nullptr, *chkbEinlegeblech = nullptr;
    QCheckBox *T36_DRUCK_ONLY = nullptr, *T36_DRUCK_ONLY1 = nullptr;
    QFrame *Panel_LAST_E_ST = nullptr, *Panel_WEG_E_ST = nullptr, *Panel_LAST_E_DY = nullptr, *Panel_WEG_E_DY = nullptr;
    QFrame* Panel2 = nullptr;
    QGroupBox *PanelCold = nullptr, *PanelColdFreeze = nullptr, *PanelStatic = nullptr, *PanelDynamic = nullptr;
    QFrame *Gebaude1 = nullptr, *Panel8 = nullptr, *Panel_T9 = nullptr, *PanelExt = nullptr, *PanelWegeingabe = nullptr;
    QFrame *Panel_T36_STATIC = nullptr, *Panel_T36_DYNAMIC = nullptr;
    TZORBELGroupBox *GroupBoxBuildingConnection = nullptr, *GroupBoxVertical = nullptr, *GroupBoxHorizontal = nullptr;
    TZORBELGroupBox *ANGEBOHNE = nullptr, *RSRLOHNE = nullptr, *BaseClampStyleBox = nullptr;
    TRadioGroup *RGLagerFuehrung = nullptr, *RGfx = nullptr, *GroupBoxFHTraversen = nullptr, *gbType40Material = nullptr;
    TRadioGroup *GroupBoxAbhebesich = nullptr, *Stanchion = nullptr;
    QListWidget* LBinsulThick = nullptr;
    QComboBox *ComboBoxProfilTyp = nullptr, *ComboBoxProfileHeight = nullptr, *ComboBoxProfil_Name = nullptr;
    // The date the support was worked on (K_DAT_BEARB), empty for a new one.
    QLabel* LabelDate = nullptr;
    QLabel *Label6 = nullptr, *Label_UPos = nullptr, *lblPrjDir = nullptr, *Lversion = nullptr, *LabelHangerType = nullptr;
    QLabel *LabelStaticInfo = nullptr, *LabelColdInfo = nullptr, *LabelDynamicInfo = nullptr;
    QList<QLabel*> LengthUnitLabels, LoadUnitLabels;
    QLabel* TempUnitLabel = nullptr;
    TConfigurationPicture* PanelImage = nullptr;
    QTimer* Timer_AbhgNr_Changed = nullptr;

    // ---- state
    int32_t LoadedDrawingKey = 0;
    int32_t MinElevationDiffValue = 0;
    QString SavedCaption;
    ConfigurationRow Configuration;
    StressState Stress;
    // The host's kept elevation texts (unconverted at start).
    DisplayedValues Kept;
    // The run-time elevation inputs: slots 1..6 and the steel width last.
    std::vector<QPointer<TUncHoehe>> ElevationEdits;
    QPointer<TUncHoehe> SteelWidthEdit;
    // True once the form has closed through a completed Ok road.
    bool Completed() const { return m_completed; }
    // The project check refused the project: the start failed.
    bool StartRefused() const { return m_startRefused; }
    // Pixel point of a picture grid point, as the elevation inputs are placed.
    QPoint PicturePoint(int x, int y, int editHeight, bool roundTop) const;

    // ---- parts of the connection area, built when first shown or set
    // (their widgets above are nullptr until then), in the order they
    // stand on screen.
    enum class Part {
        ColdFreeze, Angebohne, LagerFuehrung, Profile, SideForce, RsrlOhne, Vertical, Traversen, BaseClamp,
        T36Static, Extension, Type40Material, Dynamic, Cold, Count
    };
    // The part's outer widget, built (and translated, and laid out as the
    // configuration in force asks) when it is not yet.
    QWidget* EnsurePart(Part part);
    QWidget* BuildPart(Part part);
    bool Built(Part part) const { return m_parts[size_t(part)] != nullptr; }
    // The widget exists and shows when the form shows.
    bool Shows(const QWidget* w) const;

    // ---- handlers
    void InitInputForm();
    void DIRECTIONClick();
    void ApplyConfiguration(QObject* sender = nullptr);
    void DBNavigator1Click(int button);
    void ActivateControls();
    void DiffKnopfClick();
    void KotenKnopfClick();
    void WeiterClick();
    void ENDEClick();
    void OPTIONENClick();
    // Takes into the record the options the engineer changed since
    // `started`; a stored support keeps its key.
    void TakeChangedOptions(const CompanyOptionValues& started);
    void Button1Click();
    void Button2Click();
    void RDM_BTNClick();
    void HG_VORClick();
    void Button5Click();
    void RDMExit();
    void TEMPExit();
    void ISOExit();
    void LoadExits();
    // The exit of a number field: an emptied field becomes 0; a changed
    // value goes into the record.
    void ValueFieldExit(TFloatEdit* e);
    // Ok takes every value as the screen shows it; false (the box shown,
    // the host error file written, the focus on the field) when a field
    // holds no valid value.
    bool TakeShownValues();
    void ShowHangerMark();
    void ShowUnitLabels();
    // The texts the form builds itself (caption, load kind, hints, the
    // connection items), in the current language.
    void ShowBuiltTexts();
    void ShowProjectDirectory();
    void FitMinimumSize();
    // The hanger type in force: the pre-selected type's load number or "Auto".
    void ShowHangerType();
    // The shown values, and showing values (after a unit switch).
    DisplayedValues Shown() const;
    void Show(const DisplayedValues& values);
    // Converts the shown values to the record's unit flags, which the
    // options changed from `from`.
    void ConvertDisplayedUnits(UnitMode from);

signals:
    // The form has closed: the end of normal mode.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void FormCreate() override;
    bool FormKeyDown(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildForm();
    void BuildLoadPage(QWidget* page);
    void BuildHangerPage(QWidget* page);
    QWidget* BuildConnectionArea();
    QGroupBox* BuildStaticPanel();
    // The builders of the parts, in the order of Part.
    QWidget* BuildColdFreeze();
    QWidget* BuildAngebohne();
    QWidget* BuildLagerFuehrung();
    QWidget* BuildProfile();
    QWidget* BuildSideForce();
    QWidget* BuildRsrlOhne();
    QWidget* BuildVertical();
    QWidget* BuildTraversen();
    QWidget* BuildBaseClamp();
    QWidget* BuildT36Static();
    QWidget* BuildExtension();
    QWidget* BuildType40Material();
    QWidget* BuildDynamic();
    QWidget* BuildCold();
    // Whether the layout asks for the part (shown, or set while hidden).
    static bool Needed(Part part, const PanelLayout& layout);
    // What the layout sets in the part: visibility and choices, then
    // whether its controls can be used.
    void ShowPartLayout(Part part, const PanelLayout& layout);
    void EnablePartLayout(Part part, const PanelLayout& layout);
    // Tab follows the connection area as it stands on screen.
    void OrderConnectionFocus();
    void OpenProject();
    void ApplyStressCondition(StressCondition condition);
    void ApplyLayout(const PanelLayout& layout);
    void Plattmachen();
    void OpenElevations(bool differences);
    void PlaceElevationEdits();
    void ElevationDialogCheck(int slot);
    void SecondElevationEnter(TUncHoehe* edit);
    void SteelWidthEnter();
    void SteelWidthExit();
    bool CheckPlausibility();
    bool Fail(const InputCheckFailure& failure);
    void TakeConnectionChoices();
    void GroupBoxBuildingConnectionClick();
    void ComboBoxProfilTypChange();
    void RestoreProfile(int klmNr, int klmHh);
    // The profile types of the catalogue, all of them, once.
    void FillProfileTypes();
    // With no profile chosen, the first type and its heights.
    void ChooseFirstProfile();
    void LookupProfileName();
    void RGLagerFuehrungClick();
    enum class StoreResult { Stored, KeyTaken };
    StoreResult STOREClick();
    QString ImageDirectory() const;
    QByteArray CurrentPicture() const;
    void CloseWithoutConfiguration();
    // The catalogue tables of the selection and the output file.
    void OpenSelectionTables();

    bool m_busy = false;
    bool m_endJump = false;
    bool m_fromProgram = false;
    bool m_fromNavigator = false;
    bool m_completed = false;
    bool m_closing = false;
    bool m_startRefused = false;
    bool m_selectionTablesPending = false;
    std::array<QWidget*, size_t(Part::Count)> m_parts{};
    QWidget* m_connectionArea = nullptr;
    PanelLayout m_layout;
    bool m_layoutApplied = false;
    bool m_applyingLayout = false;
    int m_firstNr = 0, m_lastNr = 0;
    std::vector<QPoint> m_elevationPoints;
    QHash<QString, double> m_exact;  // shown values with all their digits
    QPoint m_steelWidthPoint;
};

// Creates the input form, shows it and runs the message loop until it
// closes. The runner of normal mode.
int RunInputForm();
