#pragma once
// The project search of configuration mode: finds project directories (those
// holding the project table "konstr8.db") below a chosen directory,
// optionally only those with a given drawing number or hanger mark, lists
// them, remembers them in PrjSearchResult.db and shows a project's supports.
#include "platform/Table.h"
#include "ui/ZorbelFormTemplate.h"

#include <QFontMetrics>
#include <QStringList>
#include <functional>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class TDirFileSystem;
class TDirTree;

// ---------------------------------------------------------------- search rules

enum class SearchOption { AllProjects = 0, DrawingNo = 1, HangerMark = 2 };

struct SearchCondition {
    SearchOption option = SearchOption::AllProjects;
    QString drawingPart;  // E_PRGNR
    QString runningNo;    // E_LFDNR
    QString mark;         // E_UPOS
    bool partial = false; // CBpartial: the mark is a fraction of the hanger mark
};

// Left-pads with "0" to the width; raises std::length_error("String too
// long !") for a longer text.
QString PadWithZeros(const QString& text, int width);
QString PadTo4Digits(const QString& text);
QString PadTo5Digits(const QString& text);
// The drawing key K_F_NR_AUS as shown: nine digits, "ddddd - 3 - rrrr".
QString DrawingKeyDisplay(qint64 key);
// Replaces the first directory after the root by ".../".
QString ShortenPathOnce(const QString& path);
// Shortens a path from the left until it fits the pixel width.
QString FitPathToWidth(const QFontMetrics& metrics, const QString& path, int width);

// Adds every directory below dir (dir included, with a trailing "/") that
// holds fileName (letter case aside). Symbolic links are not followed, and
// /proc, /sys and /dev are never entered. progress sees each directory
// before it is read and stops the scan by returning false.
void ScanProjectDirectories(const QString& dir, const QString& fileName, QStringList& result,
                            const std::function<bool(const QString& dir)>& progress = {});

// The supports of the project table in dir that meet the condition (every
// support with all), one row of grid cells each. Raises EDatabaseError when
// the table cannot be read.
QList<QStringList> ProjectDrawings(const QString& dir, const SearchCondition& condition, bool all = false);

// Stores a search's result: drops the stored rows of the start directory's
// subtree, adds the found directories, all in one transaction. Returns the
// stored directories that are not among the found ones, in stored order.
QStringList StoreSearchResults(TTable& table, const QString& startDir, const QStringList& found);

// ---------------------------------------------------------------- form

class TFPRJSEARCH : public TZorbelForm {
    Q_OBJECT
public:
    // The results are kept in PrjSearchResult.db of the global data module,
    // or of resultDirectory when given; the tree reads the file system fs
    // (the real one when null).
    explicit TFPRJSEARCH(QWidget* parent = nullptr, const QString& resultDirectory = {},
                         std::shared_ptr<TDirFileSystem> fs = nullptr);
    ~TFPRJSEARCH() override;

    TDirTree* DirTree1 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QLineEdit* E_PRGNR = nullptr;
    QLineEdit* E_LFDNR = nullptr;
    QLineEdit* E_UPOS = nullptr;
    QCheckBox* CBpartial = nullptr;
    QCheckBox* chkboxShowAll = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Exit1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QPlainTextEdit* ErrorList = nullptr;
    QCheckBox* CBviewAll = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QLabel* VersionLabel = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* Copyalldirectorynames1 = nullptr;
    QAction* Copyselecteddirectoryname1 = nullptr;

    int SearchOptionIndex() const;
    void SetSearchOption(int index);
    QString StartDirectory() const { return m_startDir; }

    void Button1Click();
    void RadioGroup1Click();
    void ListBox1Click();
    void CBviewAllClick();
    void DirTree1Change(const QString& path);
    void Copyalldirectorynames1Click();
    void Copyselecteddirectoryname1Click();
    void Exit1Click();

    // The found directories and whether each could be read.
    QStringList ResultDirectories() const;
    bool ResultReadable(int row) const;

protected:
    void FormCreate() override;
    bool FormKeyDown(QKeyEvent* event) override;

private:
    void Build(std::shared_ptr<TDirFileSystem> fs);
    QStringList FindProjectDirectories(const QString& start);
    SearchCondition Condition() const;
    void FillGrid(const QList<QStringList>& rows);
    void ClearResults();
    void SetResultActions(bool on);

    QString m_startDir;
    QString m_resultDirectory;
    std::unique_ptr<TTable> m_resultTable;
    SearchCondition m_lastCondition;
    QList<QRadioButton*> m_options;
};

// The search form of configuration mode while it exists.
extern TFPRJSEARCH* FPRJSEARCH;
