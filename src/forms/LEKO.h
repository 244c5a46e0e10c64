#pragma once
// The options form: the company settings of FIRDAT through bound controls,
// the per-user settings of the registry, the hot-dip galvanising flags of
// the catalogue, the reserve presets and entry rules, saving behind the
// options password, and the settings text file.
//
// Unsaved edits live in FIRDAT's edit buffer while the form is open: boxes
// the form shows do not touch the table, and closing asks whether to save.
#include "ui/ZorbelFormTemplate.h"

#include <QColor>
#include <QFont>
#include <QGroupBox>
#include <QStringList>
#include <array>
#include <functional>
#include <map>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStatusBar;
class QTabWidget;
class TFirdatBinder;
class TFloatEdit;
class TIvColorDialog;
class TIvDictionary;
class TIvFontDialog;
class TIvOpenDialog;
class TIvOpenPictureDialog;
class TIvSaveDialog;
class TTable;

// A titled group of radio buttons with an item index (-1: none).
class TLekoRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TLekoRadioGroup(const QString& name, const QString& title, const QStringList& items, int columns, QWidget* parent);
    int ItemIndex() const;
    void SetItemIndex(int index);
    // New texts for the items; the chosen index stays.
    void SetItems(const QStringList& items);
    QRadioButton* Button(int index) const { return m_buttons.value(index); }
    int Count() const { return int(m_buttons.size()); }

signals:
    // The user chose an item.
    void Clicked(int index);

private:
    QList<QRadioButton*> m_buttons;
};

// ---- program-wide values of the options -----------------------------------

// The program's directory with a trailing separator.
extern QString ProgramDirectoryText;
// Decimals of travels on the input form and in the output ("TRVL_DECIMAL").
extern int TravelDecimals;
// The program-wide background colour ("PColor").
extern QColor BackgroundColor;
extern bool PrintNoteFlag;    // "PNote"
extern bool FormStyleFlag;    // "FormStyle"
// The query text of the project's list configuration (lek51.db).
extern QString ProjectQueryText;
// The help file of the menu language.
extern QString ApplicationHelpFile;
// The left and top of the input form after its placement.
extern QPoint InputFormOrigin;

// The product key of the per-user and machine-wide values.
extern const QString ProductKey;
// The per-user value whose presence switches the extended load range on.
extern const QString ExtendedLoadValue;

// The help file of a menu language (1 German, 3 French, 4 Portuguese, any
// other English).
QString HelpFileOfLanguage(int language);

// " = 1" / " = 0".
QString BoolToIniText(bool value);

// The input form's start: reads every per-user value, places the form (and
// writes the first-start placement), sets up the dictionaries' files, the
// private folder, the print switches, binds the project tables and the
// caption prefix. False when the input form has to close (the reason has
// been shown and written into the host error file).
bool LoadRegistrySettings(QWidget& inputForm);

// The language dialog of a dictionary: true and the chosen index when the
// user confirmed. The program's language dialog unless replaced.
extern std::function<bool(QWidget* control, TIvDictionary* dictionary, int& language)> LanguageDialogHook;

class TFLEKO : public TZorbelForm {
    Q_OBJECT
public:
    explicit TFLEKO(QWidget* parent = nullptr);
    ~TFLEKO() override;

    // Tool bar and page control.
    QTabWidget* PageControl1 = nullptr;
    QPushButton* Speichern = nullptr;
    QPushButton* SpeedButton1 = nullptr;
    QPushButton* SpeedButton3 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QCheckBox* PasswordChk = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    TFirdatBinder* DataSource1 = nullptr;

    TIvFontDialog* IvFontDialog1 = nullptr;
    TIvColorDialog* IvColorDialog1 = nullptr;
    TIvSaveDialog* IvSaveDialog1 = nullptr;
    TIvOpenDialog* IvOpenDialog1 = nullptr;
    TIvOpenPictureDialog* IvOpenPictureDialog1 = nullptr;

    // Bound controls by their number (DBEdit1..29, DBCheckBox1..33).
    QLineEdit* DBEdit(int n) const;
    QCheckBox* DBCheckBox(int n) const;
    // The read-only inch field beside a millimetre field.
    QLineEdit* InchEdit(const QString& field) const;

    QPushButton *VGB = nullptr, *EN13480 = nullptr, *ASME = nullptr, *Reset = nullptr;
    QCheckBox *LastStarrKZ = nullptr, *CN_BUTTON = nullptr, *CB_ext_loads = nullptr, *PNote_KZ = nullptr,
              *KDNLOGO = nullptr, *L_FormStyle_CheckBox = nullptr;
    TLekoRadioGroup *GEWSTG_RG = nullptr, *RGpriceList = nullptr, *DRCK_GEW_EH = nullptr, *DRCK_EH = nullptr,
                *DRCK_DIM_KZ = nullptr, *LanguageGroup = nullptr, *RGDateSeparator = nullptr;
    QComboBox *ComboBox1 = nullptr, *CBDateFormat = nullptr;
    QWidget* KursPanel = nullptr;
    QLabel *KursLabel = nullptr, *GewaehlteSprache = nullptr, *LSelectedDate = nullptr, *BitmapPath = nullptr;
    TFloatEdit* KURS = nullptr;
    QPushButton *PreisButton = nullptr, *Button1 = nullptr, *Bsprache = nullptr, *FontButton = nullptr,
                *Button2 = nullptr, *SpeedButton2 = nullptr, *SpeedButton4 = nullptr, *SpeedButton5 = nullptr,
                *SIButton = nullptr, *ImperialButton = nullptr;
    QSpinBox *SpinEdit1 = nullptr, *SpinEdit2 = nullptr, *SpinEdit3 = nullptr;
    QPlainTextEdit* TemperatureMemo = nullptr;
    std::array<QCheckBox*, 35> HDCheckBoxes{};

    // Form state.
    bool Loading() const { return m_loading; }
    bool OptionsChanged() const { return m_optionsChanged; }
    bool HDChanged() const { return m_hdChanged; }
    bool PasswordStored() const { return m_passwordStored; }
    QString CurrencyCode() const { return m_currency; }
    bool PrintWeightKg() const { return m_printWeightKg; }
    bool PrintDimensionMm() const { return m_printDimMm; }
    QChar TitleBlockUnits() const { return m_titleBlockUnits; }
    bool PrintBitmap() const { return m_printBitmap; }
    QString PrintBitmapPath() const { return m_printBitmapPath; }
    // The index of the tab shown last, kept for the next opening.
    static int LastTab;

    // Handlers.
    void FormActivate();
    bool FormCloseQuery();
    // False when the close is cancelled.
    bool FormClose();
    void PageControl1Change(int index);
    void VGBClick();
    void EN13480Click();
    void ASMEClick();
    void ResetClick();
    // False when nothing was saved (wrong password, a failed write).
    bool SpeichernClick();
    void SpeedButton1Click();
    void SpeedButton3Click();
    void PasswordChkClick();
    void CNButtonClick();
    void CurrencyChosen(int index);
    void PriceListChosen(int index);
    void ExtendedLoadClick();
    // Prints the form on the default printer (F10); false without one.
    bool PrintForm();

    // Runs the entry rule of a field on its current text (what leaving the
    // field does).
    void FieldExit(const QString& field);
    // The settings text file.
    bool ExportSettings(const QString& fileName);
    // False when nothing was taken (another menu language, unreadable file).
    bool ImportSettings(const QString& fileName);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool FormKeyDown(QKeyEvent* event) override;
    void FormCreate() override;

private:
    void FitMinimumSize();
    void Guarded(const std::function<void()>& handler);
    void BuildToolBar();
    QWidget* BuildProjectTab();
    QWidget* BuildSpecificationTab();
    QWidget* BuildSettingsTab();
    QWidget* BuildConfigurationTab();
    QWidget* BuildServicesTab();
    QWidget* BuildPrintTab();
    QWidget* BuildSystemTab();
    QWidget* BuildHotDipTab();
    QLineEdit* NewEdit(int n, const QString& field, int maxLength = 0);
    QCheckBox* NewCheck(int n, const QString& caption, const QString& field);
    void ConnectRules();
    void ShowInch(const QString& field);
    void CorrectNumberFields();
    // Leaving a field, hovering over a box.
    void ControlEvent(QObject* watched, QEvent* event);
    void ApplyPreset(int column);
    void SetRodItems();
    void ApplyInterlocks();
    void FillDateFormats(int separatorIndex);
    void ShowSelectedDate();
    void ReadHotDipFlags();
    bool WriteHotDipFlags();
    bool CheckPassword();
    void MarkChanged() {
        if (!m_loading) m_optionsChanged = true;
    }
    void UpdateKursPanel();
    void ChooseFont();
    void ChooseColor();
    void ChoosePicture();
    void ChoosePrintLanguage();
    void ChooseMenuLanguage();
    void ShowHelp();

    QObject* m_controlHook = nullptr;
    std::map<int, QLineEdit*> m_edits;
    std::map<int, QCheckBox*> m_checks;
    std::map<QString, QLineEdit*> m_inch;
    bool m_loading = false;
    bool m_optionsChanged = false;
    bool m_hdChanged = false;
    bool m_passwordStored = false;
    bool m_captionsCompleted = false;
    bool m_closing = false;
    bool m_cnAtActivation = false;  // the CN flag the last save or showing left
    int m_priceList = 0;  // radio index of the project's price list
    QString m_currency = QStringLiteral("EUR ");
    bool m_printWeightKg = true;
    bool m_printDimMm = true;
    QChar m_titleBlockUnits = u'A';
    bool m_printBitmap = false;
    QString m_printBitmapPath;
};

extern TFLEKO* FLEKO;
