#pragma once
// Open, save, picture, colour and font dialogs whose every text passes a
// dictionary. They run Qt's own widget dialogs, never the platform's native
// ones, so that no text is left in the desktop's language.
//
// Each dialog's CreateDialog() builds the configured, translated dialog
// without running it; Execute() runs it modally and takes the result back.
#include <QColor>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

class QColorDialog;
class QDialog;
class QFileDialog;
class QFontDialog;
class QWidget;
class TIvDictionary;

using TIvDialogPositions = uint8_t;
constexpr TIvDialogPositions ivdpParent = 1 << 0;
constexpr TIvDialogPositions ivdpCenter = 1 << 1;

class TIvCommonDialog : public QObject {
    Q_OBJECT
public:
    explicit TIvCommonDialog(QObject* owner = nullptr);

    QString DictionaryName;
    bool Ctl3D = true;
    int HelpContext = 0;
    TIvDialogPositions Positions = 0;
    QPointer<QWidget> Parent;
    std::function<void()> OnShow, OnClose;

    // The dictionary named by DictionaryName, else the first one; nullptr
    // when there is none.
    TIvDictionary* Dictionary() const;
    // A text through that dictionary (unchanged without one).
    QString Translate(const QString& text) const;
    // The window the dialog belongs to and is centred over.
    QWidget* ParentWindow() const;

    virtual bool Execute() = 0;

protected:
    // Runs a prepared dialog: placement, OnShow, exec, OnClose.
    bool RunModal(QDialog& dialog);
};

// Options of the file dialogs (the ones Qt's dialog can honour).
using TIvOpenOptions = uint16_t;
constexpr TIvOpenOptions ofOverwritePrompt = 1 << 0;
constexpr TIvOpenOptions ofAllowMultiSelect = 1 << 1;
constexpr TIvOpenOptions ofFileMustExist = 1 << 2;
constexpr TIvOpenOptions ofHideReadOnly = 1 << 3;
constexpr TIvOpenOptions ofNoChangeDir = 1 << 4;

// "Text|*.txt|All|*.*" as Qt's name filters ("Text (*.txt)", "All (*.*)");
// several patterns of one entry ("*.bmp;*.dib") become one list.
QStringList FilterToNameFilters(const QString& filter);
// The 1-based index of a name filter; 1 when it is not among them.
int NameFilterIndex(const QStringList& nameFilters, const QString& selected);
// A label text without its mnemonic marks ("&&" stays one "&").
QString WithoutMnemonic(const QString& text);
// A default extension as Qt's default suffix: without a leading dot.
QString DefaultSuffix(const QString& defaultExt);

class TIvOpenDialog : public TIvCommonDialog {
    Q_OBJECT
    // Published so that a form's translator reaches the filter's texts.
    Q_PROPERTY(QString Filter MEMBER Filter)
public:
    explicit TIvOpenDialog(QObject* owner = nullptr);

    QString DefaultExt;
    QString Filter;
    int FilterIndex = 1;
    QString InitialDir;
    QString Title;
    TIvOpenOptions Options = 0;
    // While the dialog runs: another folder entered, another file selected,
    // another filter chosen.
    std::function<void()> OnFolderChange, OnSelectionChange, OnTypeChange;

    QString FileName() const { return m_files.isEmpty() ? m_fileName : m_files.first(); }
    void SetFileName(const QString& name);
    QStringList Files() const { return m_files; }

    std::unique_ptr<QFileDialog> CreateDialog();
    bool Execute() override;
    // Takes the result of a confirmed dialog back into the properties.
    void TakeResult(const QFileDialog& dialog);

protected:
    virtual bool SaveKind() const { return false; }
    virtual void Customise(QFileDialog&) {}
    void TranslateLabels(QFileDialog& dialog) const;

private:
    QString m_fileName;
    QStringList m_files;
};

class TIvSaveDialog : public TIvOpenDialog {
    Q_OBJECT
public:
    using TIvOpenDialog::TIvOpenDialog;

protected:
    bool SaveKind() const override { return true; }
};

// An open dialog with a preview of the chosen picture.
class TIvOpenPictureDialog : public TIvOpenDialog {
    Q_OBJECT
public:
    using TIvOpenDialog::TIvOpenDialog;
    // The preview's label for a file: " (w x h)" for a picture, else the
    // translated "Picture:".
    QString PreviewLabel(const QString& fileName) const;

protected:
    void Customise(QFileDialog& dialog) override;
};

class TIvColorDialog : public TIvCommonDialog {
    Q_OBJECT
public:
    explicit TIvColorDialog(QObject* owner = nullptr);

    QColor Color = Qt::black;
    // "ColorA=..." to "ColorP=...", six hexadecimal digits each (blue,
    // green, red from the left, as the host's colour numbers are).
    QStringList CustomColors;

    // The 16 custom colours as numbers; -1 for a missing or malformed entry.
    std::array<int, 16> CustomColorValues() const;
    void SetCustomColorValues(const std::array<int, 16>& values);

    std::unique_ptr<QColorDialog> CreateDialog();
    bool Execute() override;
    void TakeResult(const QColorDialog& dialog);
};

// A colour number (0x00BBGGRR) as a colour and back.
QColor ColorFromNumber(int value);
int ColorToNumber(const QColor& color);

// Whose fonts the font dialog offers.
enum TFontDialogDevice { fdScreen, fdPrinter, fdBoth };

// The families a font dialog offers for a device, and the line that says
// what stands in for an absent printer.
struct TFontDeviceFonts {
    QStringList families;
    bool printerFound = false;
    QString note;  // translated; empty when the list is what was asked for
};

class TIvFontDialog : public TIvCommonDialog {
    Q_OBJECT
public:
    explicit TIvFontDialog(QObject* owner = nullptr);

    QFont Font;
    TFontDialogDevice Device = fdScreen;
    // The printer whose fonts fdPrinter and fdBoth offer: its name, empty
    // when there is none. By default the system's default printer (else
    // its first one) as Qt Print Support knows it.
    std::function<QString()> PrinterName;
    // The families for Device. A printer prints the fonts a print job can
    // carry: the scalable ones (bitmap fonts have no outlines at the
    // printer's resolution); "both" is the same set, since every font on
    // the printer is one on the screen. Without a printer the screen's
    // fonts are offered and the note says so.
    TFontDeviceFonts DeviceFonts() const;
    int MinFontSize = 0;
    int MaxFontSize = 0;
    std::function<void(const QFont&)> OnApply;

    // A font of the dialog with its size kept within MinFontSize and
    // MaxFontSize; no limits when both are 0 or the maximum is below the
    // minimum. Qt's dialog offers every size, so the limits apply to what
    // it hands back.
    QFont LimitedFont(const QFont& chosen) const;

    std::unique_ptr<QFontDialog> CreateDialog();
    bool Execute() override;
};

// Translates the texts of a dialog's widgets that the table maps from Qt's
// own text to the dictionary's native text (exposed for the tests).
void TranslateDialogTexts(QWidget* dialog, const TIvCommonDialog& owner);
