#include "forms/PrjSearch.h"

#include "data/DBGLOB.h"
#include "forms/waitInfo.h"
#include "localisation/IvDictio.h"
#include "localisation/IvMulti.h"
#include "platform/Database.h"
#include "platform/DbErrors.h"
#include "platform/Query.h"
#include "platform/Session.h"
#include "platform/TableFile.h"
#include "ui/DirTree.h"
#include "messages/MessageSeam.h"
#include "ui/QWDateiInfo2.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <stdexcept>

namespace {

const QString ProjectFile = QStringLiteral("konstr8.db");
const QString ResultFile = QStringLiteral("PrjSearchResult.db");
const QString ResultField = QStringLiteral("PrjPath");
// Where the directory tree opens: the root of the system volume.
const QString StartDirectoryOnOpen = QStringLiteral("/");
const QString Separator = QString(68, QLatin1Char('='));
constexpr int ReadableRole = Qt::UserRole;

// The grid's columns: title and field.
struct GridColumn {
    const char* title;
    const char* field;
};
const GridColumn GridColumns[] = {
    {"Drw no.", "K_F_NR_AUS"},    {"Hanger Mark no.", "K_POS_NR"}, {"Revision", "K_REVIS"},
    {"Cus Drw no.", "K_KDN_ZNR"}, {"Date", "K_DAT_BEARB"},         {"Project Manager", "K_NAME_ZU"},
    {"Company", "K_NAME"},        {"Plant no.", "K_NR_ANL"},       {"KORVA Version", "K_VER"},
    {"Configuration", "K_A_NR"},
};

// Directories of the system that hold no projects and must not be walked
// (endless or device files).
bool IsSystemDirectory(const QString& dir) {
    for (const char* s : {"/proc/", "/sys/", "/dev/"})
        if (dir.startsWith(QLatin1String(s))) return true;
    return false;
}

// " \"<text>\"": the quoted form of a searched value in the messages.
QString Quoted(const QString& text) { return QStringLiteral(" \"") + text + QLatin1Char('"'); }

void PlainMessage(QWidget* owner, const QString& text) {
    MessageRequest r;
    r.owner = owner;
    r.text = text;
    r.kind = MessageKind::Custom;
    r.buttons = mb::OK;
    ShowMessage(r);
}

QString CellText(TDataSet& d, const char* field) {
    TField* f = d.FindField(QString::fromLatin1(field));
    if (!f || f->IsNull()) return {};
    if (qstrcmp(field, "K_F_NR_AUS") == 0) return DrawingKeyDisplay(f->Value().toLongLong());
    if (f->DataType() == TFieldType::Date) return f->AsDate().toString(QStringLiteral("dd.MM.yyyy"));
    return f->AsString().trimmed();
}

void EnsureResultTable(TTable& table) {
    if (table.Exists()) return;
    table.CreateTable({{ResultField, TFieldType::String, 255}});
}

}  // namespace

// ---------------------------------------------------------------- rules

QString PadWithZeros(const QString& text, int width) {
    if (text.size() > width) throw std::length_error(IvTranslate(QStringLiteral("String too long !")).toStdString());
    return QString(width - text.size(), QLatin1Char('0')) + text;
}

QString PadTo4Digits(const QString& text) { return PadWithZeros(text, 4); }
QString PadTo5Digits(const QString& text) { return PadWithZeros(text, 5); }

QString DrawingKeyDisplay(qint64 key) {
    // Nine digits: drawing numbers below 10000 have leading zeros that the
    // number itself does not carry.
    const QString digits = QStringLiteral("%1").arg(key, 9, 10, QLatin1Char('0'));
    return digits.left(5) + QStringLiteral(" - 3 - ") + digits.mid(5, 4);
}

QString ShortenPathOnce(const QString& path) {
    const QString marker = QStringLiteral(".../");
    // The part after the root, or after a marker already there.
    const int start = path.startsWith(QLatin1Char('/')) ? 1 : 0;
    const int from = path.mid(start).startsWith(marker) ? start + int(marker.size()) : start;
    const int slash = path.indexOf(QLatin1Char('/'), from);
    if (slash < 0 || slash == path.size() - 1) return path;
    return path.left(start) + marker + path.mid(slash + 1);
}

QString FitPathToWidth(const QFontMetrics& metrics, const QString& path, int width) {
    QString text = path;
    while (metrics.horizontalAdvance(text) > width) {
        const QString shorter = ShortenPathOnce(text);
        if (shorter == text) break;
        text = shorter;
    }
    return text;
}

namespace {

void Scan(const QString& dir, const QString& fileName, QStringList& result,
          const std::function<bool(const QString&)>& progress, QSet<QString>& seen) {
    if (PrjSearchAborted || IsSystemDirectory(dir)) return;
    // A directory reached twice (a bind mount of its own parent) is read once.
    const QString canonical = QFileInfo(dir).canonicalFilePath();
    if (canonical.isEmpty() || seen.contains(canonical)) return;
    seen.insert(canonical);
    if (progress && !progress(dir)) {
        PrjSearchAborted = true;
        return;
    }
    const QString file = FindFileNoCase(dir, fileName);
    if (!file.isEmpty() && QFileInfo(file).isFile()) result << dir;
    const QStringList subdirs =
        QDir(dir).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    for (const QString& s : subdirs) {
        if (PrjSearchAborted) return;
        Scan(dir + s + QLatin1Char('/'), fileName, result, progress, seen);
    }
}

}  // namespace

void ScanProjectDirectories(const QString& dir, const QString& fileName, QStringList& result,
                            const std::function<bool(const QString&)>& progress) {
    QSet<QString> seen;
    Scan(EnsureTrailingSlash(dir), fileName, result, progress, seen);
}

QList<QStringList> ProjectDrawings(const QString& dir, const SearchCondition& c, bool all) {
    static int counter = 0;
    // A database of its own, closed again at the end: a scan reads many
    // directories and must not keep them all attached.
    TDatabase db(QStringLiteral("KORVA_PRJSEARCH_%1").arg(++counter));
    db.SetDirectory(dir);
    QString sql = QStringLiteral("select * from konstr8");
    QVariantList params;
    const bool fraction = !all && c.option == SearchOption::HangerMark && c.partial;
    if (!all && c.option == SearchOption::DrawingNo) {
        sql += QStringLiteral(" where K_F_NR_AUS = ?");
        params << (PadTo5Digits(c.drawingPart) + PadTo4Digits(c.runningNo)).toLongLong();
    } else if (!all && c.option == SearchOption::HangerMark && !c.partial) {
        sql += QStringLiteral(" where K_POS_NR = ?");
        params << c.mark;
    }
    sql += QStringLiteral(" order by K_F_NR_AUS");
    TQuery q(db.DatabaseName(), sql);
    q.SetParams(params);
    q.Open();
    QList<QStringList> rows;
    q.First();
    for (bool more = !q.IsEmpty(); more; more = q.Next()) {
        // The mark is compared here, not in SQL: "%" and "_" are plain
        // characters of a mark, and case folds beyond ASCII.
        if (fraction && !q.FieldByName(QStringLiteral("K_POS_NR")).AsString().contains(c.mark, Qt::CaseInsensitive))
            continue;
        QStringList cells;
        for (const GridColumn& col : GridColumns) cells << CellText(q, col.field);
        rows << cells;
    }
    q.Close();
    return rows;
}

QStringList StoreSearchResults(TTable& table, const QString& startDir, const QStringList& found) {
    EnsureResultTable(table);
    const QString start = EnsureTrailingSlash(startDir);
    TDatabase& db = Session().OpenDatabase(table.DatabaseName());
    table.Close();
    table.SetFiltered(false);
    table.Open();
    QStringList kept;
    try {
        table.First();
        for (bool more = !table.IsEmpty(); more; more = table.Next()) {
            const QString stored = table.FieldByName(ResultField).AsString();
            if (!EnsureTrailingSlash(stored).startsWith(start) && !kept.contains(stored)) kept << stored;
        }
        // The table is written anew: the rows of other directories, then
        // this search's.
        InTransaction(db, [&] {
            table.EmptyTable();
            for (const QStringList* list : {static_cast<const QStringList*>(&kept), &found})
                for (const QString& dir : *list) {
                    table.Append();
                    table.FieldByName(ResultField).SetAsString(dir);
                    table.Post();
                }
        });
    } catch (...) {
        table.Close();
        throw;
    }
    table.Close();
    QStringList others;
    for (const QString& k : kept)
        if (!found.contains(k)) others << k;
    return others;
}

// ---------------------------------------------------------------- form

TFPRJSEARCH* FPRJSEARCH = nullptr;

TFPRJSEARCH::TFPRJSEARCH(QWidget* parent, const QString& resultDirectory, std::shared_ptr<TDirFileSystem> fs)
    : TZorbelForm(parent), m_resultDirectory(resultDirectory) {
    setObjectName(QStringLiteral("FPRJSEARCH"));
    if (!resultDirectory.isEmpty())
        m_resultTable = std::make_unique<TTable>(resultDirectory, ResultFile);
    Build(std::move(fs));
    if (!FPRJSEARCH) FPRJSEARCH = this;
    Loaded();
}

// The child widgets go after the form's own members: their signals must not
// reach the handlers any more.
TFPRJSEARCH::~TFPRJSEARCH() {
    if (FPRJSEARCH == this) FPRJSEARCH = nullptr;
    ListBox1->disconnect(this);
    DirTree1->disconnect(this);
    CBviewAll->disconnect(this);
}

void TFPRJSEARCH::Build(std::shared_ptr<TDirFileSystem> fs) {
    SetCaptionSubTitle(QStringLiteral("Project search"));
    SetKeyPreview(true);

    DirTree1 = new TDirTree(this, std::move(fs));
    DirTree1->setObjectName(QStringLiteral("DirTree1"));
    DirTree1->ReadOnStart = true;
    DirTree1->SetDirTypes(dtAll | dtNormal);
    DirTree1->SetGoBelowRecycleBin(false);
    DirTree1->FastLoad = false;
    DirTree1->SetDriveTypes(drtFixed | drtRemote);
    DirTree1->SetShowShareOverlay(false);
    DirTree1->SetAcceptDropFiles(false);
    // The search starts at the root of the system volume; the tree opens it
    // when its window is created.
    DirTree1->InitialDirectory = StartDirectoryOnOpen;
    m_startDir = StartDirectoryOnOpen;
    DirTree1->setMinimumWidth(260);

    RadioGroup1 = new QGroupBox(QStringLiteral("Search Options"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    auto* options = new QGridLayout(RadioGroup1);
    const char* items[] = {"All Project Files", "Incl. KORVA dwg. no.", "incl. Hanger Mark no."};
    for (int i = 0; i < 3; ++i) {
        auto* rb = new QRadioButton(QString::fromLatin1(items[i]), RadioGroup1);
        rb->setObjectName(QStringLiteral("RadioGroup1_%1").arg(i));
        m_options << rb;
        options->addWidget(rb, i, 0);
        connect(rb, &QRadioButton::clicked, this, [this] { RadioGroup1Click(); });
    }
    E_PRGNR = new QLineEdit(RadioGroup1);
    E_PRGNR->setObjectName(QStringLiteral("E_PRGNR"));
    E_PRGNR->setValidator(new QIntValidator(0, 99999, E_PRGNR));
    E_PRGNR->setMaxLength(5);
    E_LFDNR = new QLineEdit(RadioGroup1);
    E_LFDNR->setObjectName(QStringLiteral("E_LFDNR"));
    E_LFDNR->setValidator(new QIntValidator(0, 9999, E_LFDNR));
    E_LFDNR->setMaxLength(4);
    auto* drawing = new QHBoxLayout;
    drawing->addWidget(E_PRGNR);
    drawing->addWidget(new QLabel(QStringLiteral("- 3 -"), RadioGroup1));
    drawing->addWidget(E_LFDNR);
    options->addLayout(drawing, 1, 1);
    E_UPOS = new QLineEdit(RadioGroup1);
    E_UPOS->setObjectName(QStringLiteral("E_UPOS"));
    E_UPOS->setMaxLength(32);
    options->addWidget(E_UPOS, 2, 1);
    CBpartial = new QCheckBox(QStringLiteral("Input is fraction of Hanger Mark no."), RadioGroup1);
    CBpartial->setObjectName(QStringLiteral("CBpartial"));
    options->addWidget(CBpartial, 3, 1);

    chkboxShowAll = new QCheckBox(QStringLiteral("Show also project directories without any support"), this);
    chkboxShowAll->setObjectName(QStringLiteral("chkboxShowAll"));
    Button1 = new QPushButton(QStringLiteral("Start search"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Exit1 = new QPushButton(QStringLiteral("Exit"), this);
    Exit1->setObjectName(QStringLiteral("Exit1"));

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    ErrorList = new QPlainTextEdit(this);
    ErrorList->setObjectName(QStringLiteral("ErrorList"));
    ErrorList->setReadOnly(true);
    ErrorList->setMaximumHeight(90);
    ErrorList->hide();
    PopupMenu1 = new QMenu(this);
    // The entries belong to the form, so its translator reaches them: the
    // pop-up menu is a window of its own, which the translator passes by.
    Copyalldirectorynames1 = new QAction(QStringLiteral("Copy all"), this);
    Copyalldirectorynames1->setObjectName(QStringLiteral("Copyalldirectorynames1"));
    Copyselecteddirectoryname1 = new QAction(QStringLiteral("Copy Selected"), this);
    Copyselecteddirectoryname1->setObjectName(QStringLiteral("Copyselecteddirectoryname1"));
    PopupMenu1->addAction(Copyalldirectorynames1);
    PopupMenu1->addAction(Copyselecteddirectoryname1);

    CBviewAll = new QCheckBox(QStringLiteral("Show all drawings of the selected project"), this);
    CBviewAll->setObjectName(QStringLiteral("CBviewAll"));
    StringGrid1 = new QTableWidget(0, int(std::size(GridColumns)), this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->verticalHeader()->hide();
    VersionLabel = new QLabel(this);
    VersionLabel->setObjectName(QStringLiteral("VersionLabel"));

    auto* left = new QVBoxLayout;
    left->addWidget(DirTree1, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(RadioGroup1);
    right->addWidget(chkboxShowAll);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addStretch(1);
    buttons->addWidget(Exit1);
    right->addLayout(buttons);
    right->addWidget(ListBox1, 1);
    right->addWidget(ErrorList);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 2);
    top->addLayout(right, 3);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top, 3);
    main->addWidget(CBviewAll);
    main->addWidget(StringGrid1, 2);
    main->addWidget(VersionLabel);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Exit1, &QPushButton::clicked, this, [this] { Exit1Click(); });
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this] { ListBox1Click(); });
    connect(CBviewAll, &QCheckBox::clicked, this, [this] { CBviewAllClick(); });
    connect(DirTree1, &TDirTree::Changed, this, [this](const QString& p) { DirTree1Change(p); });
    connect(ListBox1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(ListBox1->viewport()->mapToGlobal(p)); });
    connect(Copyalldirectorynames1, &QAction::triggered, this, [this] { Copyalldirectorynames1Click(); });
    connect(Copyselecteddirectoryname1, &QAction::triggered, this, [this] { Copyselecteddirectoryname1Click(); });
}

void TFPRJSEARCH::FormCreate() {
    TZorbelForm::FormCreate();
    // The grid's titles and the version caption are the form's own texts:
    // they follow a change of the language as the translated ones do.
    const auto showTexts = [this] {
        QStringList titles;
        for (const GridColumn& c : GridColumns) titles << IvTranslate(QString::fromLatin1(c.title));
        StringGrid1->setHorizontalHeaderLabels(titles);
        // The program's date as the file system keeps it (UTC), as
        // everywhere the program names its build.
        VersionLabel->setText(IvTranslate(QStringLiteral("Version : ")) + QWDateiInfo->DateiVersion() +
                              QStringLiteral("     ( ") +
                              QWDateiInfo->Datum_geaendert().date().toString(QStringLiteral("dd.MM.yyyy")) +
                              QStringLiteral(" )"));
    };
    showTexts();
    IvTranslator1->OnLanguageChange = [showTexts](TIvCustomTranslator*) { showTexts(); };
    SetSearchOption(0);
    SetResultActions(false);
    // The tree reports its start directory through DirTree1Change.
    DirTree1->HandleNeeded();
}

int TFPRJSEARCH::SearchOptionIndex() const {
    for (int i = 0; i < m_options.size(); ++i)
        if (m_options[i]->isChecked()) return i;
    return 0;
}

void TFPRJSEARCH::SetSearchOption(int index) {
    if (index < 0 || index >= m_options.size()) return;
    m_options[index]->setChecked(true);
    RadioGroup1Click();
}

void TFPRJSEARCH::RadioGroup1Click() {
    const int i = SearchOptionIndex();
    E_PRGNR->setEnabled(i == 1);
    E_LFDNR->setEnabled(i == 1);
    E_UPOS->setEnabled(i == 2);
    CBpartial->setEnabled(i == 2);
}

SearchCondition TFPRJSEARCH::Condition() const {
    SearchCondition c;
    c.option = SearchOption(SearchOptionIndex());
    c.drawingPart = E_PRGNR->text().trimmed();
    c.runningNo = E_LFDNR->text().trimmed();
    c.mark = E_UPOS->text();
    c.partial = CBpartial->isChecked();
    return c;
}

void TFPRJSEARCH::SetResultActions(bool on) {
    ListBox1->setToolTip(on ? IvTranslate(QStringLiteral("Right mouse button: copy directory names")) : QString());
    Copyalldirectorynames1->setEnabled(on);
    Copyselecteddirectoryname1->setEnabled(on);
}

void TFPRJSEARCH::ClearResults() {
    ListBox1->clear();
    ErrorList->clear();
    ErrorList->hide();
    SetResultActions(false);
    CBviewAll->setChecked(false);
    StringGrid1->setRowCount(0);
}

QStringList TFPRJSEARCH::FindProjectDirectories(const QString& start) {
    QStringList found;
    TFPrjSearchAbort* abortForm = FPrjSearchAbort;
    std::unique_ptr<TFPrjSearchAbort> own;
    if (!abortForm) {
        own = std::make_unique<TFPrjSearchAbort>(this);
        abortForm = own.get();
    }
    abortForm->CentreOver(this);
    abortForm->show();
    try {
        ScanProjectDirectories(start, ProjectFile, found, [&](const QString& dir) {
            abortForm->ShowDirectory(dir);
            QCoreApplication::processEvents();
            return !PrjSearchAborted;
        });
    } catch (const std::exception& e) {
        PlainMessage(this, IvTranslate(QStringLiteral("ERROR occured during search -- ABORTED !")) +
                               QStringLiteral("\r\r") + QString::fromUtf8(e.what()));
        PrjSearchAborted = true;
    }
    abortForm->hide();
    return found;
}

void TFPRJSEARCH::Button1Click() {
    ClearResults();
    const SearchCondition c = Condition();
    if (c.option == SearchOption::DrawingNo && (c.drawingPart.toInt() == 0 || c.runningNo.toInt() == 0)) {
        PlainMessage(this, IvTranslate(QStringLiteral("Please enter a complete drawing number !")));
        return;
    }
    if (c.option == SearchOption::HangerMark && c.mark.isEmpty()) {
        PlainMessage(this, IvTranslate(QStringLiteral("Please enter a hanger mark number !")));
        return;
    }
    if (c.option == SearchOption::DrawingNo) {
        try {
            PadTo5Digits(c.drawingPart) + PadTo4Digits(c.runningNo);
        } catch (const std::length_error& e) {
            PlainMessage(this, QString::fromStdString(e.what()));
            return;
        }
    }
    if (m_startDir.isEmpty()) return;
    const QString start = m_startDir;
    // The scan serves the message queue: a second click must not start a
    // search inside the running one.
    Button1->setEnabled(false);
    struct Enable {
        QPushButton* b;
        ~Enable() { b->setEnabled(true); }
    } enableAgain{Button1};
    PrjSearchAborted = false;
    QStringList dirs = FindProjectDirectories(start);

    TFPrjSearchAbort* abortForm = FPrjSearchAbort;
    std::unique_ptr<TFPrjSearchAbort> own;
    if (!abortForm) {
        own = std::make_unique<TFPrjSearchAbort>(this);
        abortForm = own.get();
    }
    QString what;
    if (c.option == SearchOption::DrawingNo)
        what = IvTranslate(QStringLiteral("for drawing no.")) + Quoted(c.drawingPart + QStringLiteral("-3-") + c.runningNo);
    else if (c.option == SearchOption::HangerMark && !c.partial)
        what = IvTranslate(QStringLiteral("for hanger mark no.")) + Quoted(c.mark);
    else if (c.option == SearchOption::HangerMark)
        what = IvTranslate(QStringLiteral("for fragment of hanger mark no.")) + Quoted(c.mark);
    abortForm->Label1->setText(IvTranslate(QStringLiteral("Try to open main project file in")) +
                               (what.isEmpty() ? QString() : QStringLiteral(" ") + what));
    abortForm->CentreOver(this);
    abortForm->show();

    // Each directory is read from the last found to the first.
    QList<bool> readable;
    for (int i = 0; i < dirs.size(); ++i) readable << true;
    QStringList errors;
    bool aborted = PrjSearchAborted;
    int checkedFrom = int(dirs.size());
    for (int i = int(dirs.size()) - 1; i >= 0 && !aborted; --i) {
        abortForm->ShowDirectory(dirs[i]);
        QCoreApplication::processEvents();
        if (PrjSearchAborted) {
            aborted = true;
            break;
        }
        checkedFrom = i;
        try {
            if (ProjectDrawings(dirs[i], c).isEmpty() && !chkboxShowAll->isChecked()) {
                dirs.removeAt(i);
                readable.removeAt(i);
            }
        } catch (const std::exception& e) {
            readable[i] = false;
            errors << IvTranslate(QStringLiteral("Directory")) << dirs[i]
                   << (dynamic_cast<const EDatabaseError*>(&e) ? static_cast<const EDatabaseError&>(e).Message()
                                                                : QString::fromUtf8(e.what()))
                   << Separator;
        }
    }
    abortForm->hide();
    if (aborted) {
        // Directories not yet read are not known to meet the condition, and
        // an unfinished search must not replace the stored results.
        dirs = dirs.mid(checkedFrom);
        readable = readable.mid(checkedFrom);
        PlainMessage(this, IvTranslate(QStringLiteral("Search aborted !")));
    }
    m_lastCondition = c;
    if (!errors.isEmpty()) {
        ErrorList->setPlainText(errors.join(QLatin1Char('\n')));
        ErrorList->show();
    }

    QStringList shown = dirs;
    if (!aborted) {
        try {
            TTable* table = m_resultTable ? m_resultTable.get() : (DBGLOBAL ? &DBGLOBAL->PrjSearchResult : nullptr);
            if (table) shown += StoreSearchResults(*table, start, dirs);
        } catch (const EDatabaseError& e) {
            PlainMessage(this, e.Message());
        }
    }
    if (dirs.isEmpty()) {
        QString text = IvTranslate(QStringLiteral("No KORVA 8.x project files found !"));
        if (c.option == SearchOption::DrawingNo)
            text = IvTranslate(QStringLiteral("No KORVA 8.x project files found, including the KORVA drawing no.")) +
                   Quoted(c.drawingPart + QStringLiteral("-3-") + c.runningNo) + QStringLiteral(" !");
        else if (c.option == SearchOption::HangerMark)
            text = IvTranslate(QStringLiteral("No KORVA 8.x project files found, including the hanger mark no.")) +
                   Quoted(c.mark) + QStringLiteral(" !");
        if (!aborted) PlainMessage(this, text);
    }
    for (int i = 0; i < shown.size(); ++i) {
        auto* item = new QListWidgetItem(shown[i], ListBox1);
        const bool ok = i >= readable.size() || readable[i];
        item->setData(ReadableRole, ok);
        item->setIcon(style()->standardIcon(ok ? QStyle::SP_DirIcon : QStyle::SP_MessageBoxCritical));
        if (shown[i].contains(QLatin1String("<<**"))) item->setBackground(palette().highlight());
    }
    SetResultActions(!shown.isEmpty());
}

QStringList TFPRJSEARCH::ResultDirectories() const {
    QStringList out;
    for (int i = 0; i < ListBox1->count(); ++i) out << ListBox1->item(i)->text();
    return out;
}

bool TFPRJSEARCH::ResultReadable(int row) const {
    const QListWidgetItem* item = ListBox1->item(row);
    return item && item->data(ReadableRole).toBool();
}

void TFPRJSEARCH::FillGrid(const QList<QStringList>& rows) {
    StringGrid1->setRowCount(0);
    StringGrid1->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c) StringGrid1->setItem(r, c, new QTableWidgetItem(rows[r][c]));
    StringGrid1->resizeColumnsToContents();
}

void TFPRJSEARCH::ListBox1Click() {
    const QListWidgetItem* item = ListBox1->currentItem();
    if (!item) return;
    try {
        FillGrid(ProjectDrawings(item->text(), m_lastCondition, CBviewAll->isChecked()));
    } catch (const EDatabaseError& e) {
        StringGrid1->setRowCount(0);
        PlainMessage(this,
                     IvTranslate(QStringLiteral(
                         "Data of this directory can not be displayed, can not open project data file !")) +
                         QStringLiteral("\r\r") + IvTranslate(QStringLiteral("Reason")) + e.Message());
    }
}

void TFPRJSEARCH::CBviewAllClick() {
    const QListWidgetItem* item = ListBox1->currentItem();
    if (!item) return;
    try {
        FillGrid(ProjectDrawings(item->text(), m_lastCondition, CBviewAll->isChecked()));
    } catch (const EDatabaseError&) {
        StringGrid1->setRowCount(0);
        PlainMessage(this, IvTranslate(QStringLiteral("Can not read data out of project data file ")) +
                               Quoted(ProjectFile) + QStringLiteral(" !"));
    }
}

void TFPRJSEARCH::DirTree1Change(const QString& path) {
    if (!path.isEmpty()) m_startDir = path;
}

void TFPRJSEARCH::Copyalldirectorynames1Click() {
    QApplication::clipboard()->setText(ResultDirectories().join(QStringLiteral("\r\n")));
}

void TFPRJSEARCH::Copyselecteddirectoryname1Click() {
    if (const QListWidgetItem* item = ListBox1->currentItem()) QApplication::clipboard()->setText(item->text());
}

void TFPRJSEARCH::Exit1Click() { close(); }

bool TFPRJSEARCH::FormKeyDown(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) return false;
    close();
    return true;
}
