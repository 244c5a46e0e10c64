#include "localisation/IvDialogs.h"

#include "localisation/IvDictio.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QImageReader>
#include <QLabel>
#include <QPointer>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <memory>

// ---- common part -----------------------------------------------------------

TIvCommonDialog::TIvCommonDialog(QObject* owner) : QObject(owner) {}

TIvDictionary* TIvCommonDialog::Dictionary() const {
    if (Dictionaries().Count() == 0) return nullptr;
    TIvDictionary* named = DictionaryName.isEmpty() ? nullptr : Dictionaries().Find(DictionaryName);
    return named ? named : Dictionaries().Items(0);
}

QString TIvCommonDialog::Translate(const QString& text) const {
    TIvDictionary* d = Dictionary();
    return d ? TranslateWord(d, text) : text;
}

QWidget* TIvCommonDialog::ParentWindow() const {
    if ((Positions & ivdpParent) && Parent) return Parent->window();
    if (auto* owner = qobject_cast<QWidget*>(parent()); owner && (Positions & ivdpParent)) return owner->window();
    return QApplication::activeWindow();
}

bool TIvCommonDialog::RunModal(QDialog& dialog) {
    if (Positions & ivdpCenter) {
        dialog.adjustSize();
        // The window with its frame is centred: the frame is known once the
        // window exists.
        dialog.winId();
        const QSize size = dialog.frameGeometry().size();
        QWidget* over = ParentWindow();
        QRect area = over ? over->frameGeometry()
                          : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                              : QRect(0, 0, 1024, 768));
        dialog.move(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2);
    }
    if (OnShow) OnShow();
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    if (OnClose) OnClose();
    return confirmed;
}

namespace {

// Qt's own texts of its widget dialogs and the native texts the dictionary
// holds for the same controls.
struct TextMap {
    const char* qt;
    const char* native;
};

const TextMap DialogTexts[] = {
    // colour dialog
    {"&Basic colors", "&Basic colors:"},
    {"&Custom colors", "&Custom colors:"},
    {"&Add to Custom Colors", "&Add to Custom Colors"},
    {"&Pick Screen Color", "&Pick Screen Color"},
    {"Hu&e:", "Hu&e:"},
    {"&Sat:", "&Sat:"},
    {"&Val:", "&Lum:"},
    {"&Red:", "&Red:"},
    {"&Green:", "&Green:"},
    {"Bl&ue:", "Bl&ue:"},
    // font dialog
    {"&Font", "&Font:"},
    {"Font st&yle", "Font st&yle:"},
    {"&Size", "&Size:"},
    {"Effects", "Effects"},
    {"Stri&keout", "Stri&keout"},
    {"&Underline", "&Underline"},
    {"Sample", "Sample"},
    {"Wr&iting System", "Sc&ript:"},
};

const char* NativeOf(const QString& qtText) {
    for (const TextMap& m : DialogTexts)
        if (qtText == QLatin1String(m.qt)) return m.native;
    return nullptr;
}

void TranslateButtonBox(QDialogButtonBox* box, const TIvCommonDialog& owner) {
    static const std::pair<QDialogButtonBox::StandardButton, const char*> buttons[] = {
        {QDialogButtonBox::Ok, "OK"},           {QDialogButtonBox::Cancel, "Cancel"},
        {QDialogButtonBox::Open, "&Open"},      {QDialogButtonBox::Save, "&Save"},
        {QDialogButtonBox::Apply, "&Apply"},    {QDialogButtonBox::Help, "&Help"}};
    for (const auto& [which, native] : buttons)
        if (QPushButton* b = box->button(which)) b->setText(owner.Translate(QString::fromLatin1(native)));
}

}  // namespace

void TranslateDialogTexts(QWidget* dialog, const TIvCommonDialog& owner) {
    for (QLabel* l : dialog->findChildren<QLabel*>())
        if (const char* native = NativeOf(l->text())) l->setText(owner.Translate(QString::fromUtf8(native)));
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
        if (const char* native = NativeOf(b->text())) b->setText(owner.Translate(QString::fromUtf8(native)));
    for (QGroupBox* g : dialog->findChildren<QGroupBox*>())
        if (const char* native = NativeOf(g->title())) g->setTitle(owner.Translate(QString::fromUtf8(native)));
    for (QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>()) TranslateButtonBox(box, owner);
}

// ---- file dialogs ----------------------------------------------------------

QStringList FilterToNameFilters(const QString& filter) {
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) p = p.trimmed();
        QString description = parts[i].trimmed();
        // Qt reads the patterns from the last parentheses of the entry.
        const QString listed = QLatin1Char('(') + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
        out << (description.endsWith(listed) ? description : description + QLatin1Char(' ') + listed);
    }
    return out;
}

int NameFilterIndex(const QStringList& nameFilters, const QString& selected) {
    const qsizetype i = nameFilters.indexOf(selected);
    return i < 0 ? 1 : int(i) + 1;
}

QString WithoutMnemonic(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'&') {
            if (i + 1 < text.size() && text.at(i + 1) == u'&') out += u'&';
            ++i;
            if (i < text.size() && text.at(i) != u'&') out += text.at(i);
            continue;
        }
        out += text.at(i);
    }
    return out;
}

QString DefaultSuffix(const QString& defaultExt) {
    QString s = defaultExt.trimmed();
    while (s.startsWith(QLatin1Char('.'))) s.remove(0, 1);
    return s;
}

namespace {

// The file list's column titles through the dialog's dictionary.
class TranslatedHeaders : public QIdentityProxyModel {
public:
    TranslatedHeaders(const TIvCommonDialog& owner, QObject* parent) : QIdentityProxyModel(parent), m_owner(owner) {}
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const char* const titles[] = {"Name", "Size", "Type", "Modified", "Attributes"};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 5)
            return m_owner.Translate(QString::fromLatin1(titles[section]));
        return QIdentityProxyModel::headerData(section, orientation, role);
    }

private:
    const TIvCommonDialog& m_owner;
};

// Qt sizes the detail view's type and date columns for English samples
// ("mp3Folder", "10/29/81 02:02PM"): a translated folder type and the
// system's date format are cut. They get room for the folder's type and a
// date with two-digit day and time as this dialog shows them; once the
// dialog shows and whenever it has read a directory, the size, type and
// date columns take the widest text of the rows shown (a file's type such
// as "plain text document", a date in the C locale's "d MMM yyyy" format),
// and the dialog grows, within its screen, until every column is in sight
// beside the names.
void FitShownColumns(QFileDialog& dialog, QTreeView& view) {
    QHeaderView* header = view.header();
    if (header->count() < 4) return;
    const QAbstractItemView& items = view;  // the tree view's own hint, reached through its public base
    for (int c = 1; c < 4; ++c)
        header->resizeSection(c, std::max({header->sectionSize(c), items.sizeHintForColumn(c), header->sectionSizeHint(c)}));
    int columns = 0;
    for (int c = 0; c < 4; ++c) columns += header->sectionSize(c);
    const int missing = columns - view.viewport()->width();
    if (missing <= 0) return;
    int width = dialog.width() + missing;
    if (const QScreen* screen = dialog.screen()) width = std::min(width, screen->availableGeometry().width());
    if (width > dialog.width()) dialog.resize(width, dialog.height());
}

void FitDetailColumns(QFileDialog& dialog) {
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!view) return;
    QHeaderView* header = view->header();
    if (header->count() < 4) return;
    const QFontMetrics fm(view->font());
    const int margin = 4 * view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + fm.averageCharWidth();
    const QString folder = QCoreApplication::translate("QAbstractFileIconProvider", "Folder");
    const QString date =
        QLocale::system().toString(QDateTime(QDate(2000, 12, 28), QTime(22, 22, 22)), QLocale::ShortFormat);
    const int grown = std::max(0, fm.horizontalAdvance(folder) + margin - header->sectionSize(2)) +
                      std::max(0, fm.horizontalAdvance(date) + margin - header->sectionSize(3));
    header->resizeSection(2, std::max(header->sectionSize(2), fm.horizontalAdvance(folder) + margin));
    header->resizeSection(3, std::max(header->sectionSize(3), fm.horizontalAdvance(date) + margin));
    // The dialog grows by what the columns took, so the names keep theirs.
    dialog.resize(dialog.sizeHint().width() + grown, dialog.sizeHint().height());
    QPointer<QTreeView> tree(view);
    const auto fit = [&dialog, tree] {
        if (tree) FitShownColumns(dialog, *tree);
    };
    if (auto* model = dialog.findChild<QFileSystemModel*>())
        QObject::connect(model, &QFileSystemModel::directoryLoaded, &dialog, fit, Qt::QueuedConnection);
    // Shown, the dialog's layout gives the list its width.
    class ShowWatch : public QObject {
    public:
        ShowWatch(QFileDialog& dialog, std::function<void()> fit) : QObject(&dialog), m_fit(std::move(fit)) {
            dialog.installEventFilter(this);
        }
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Show) QTimer::singleShot(0, this, m_fit);
            return false;
        }

    private:
        std::function<void()> m_fit;
    };
    new ShowWatch(dialog, fit);
}

}  // namespace

TIvOpenDialog::TIvOpenDialog(QObject* owner) : TIvCommonDialog(owner) {}

void TIvOpenDialog::SetFileName(const QString& name) {
    m_fileName = name;
    m_files.clear();
}

void TIvOpenDialog::TranslateLabels(QFileDialog& dialog) const {
    const bool save = SaveKind();
    const QString caption = Title.isEmpty() ? QString::fromLatin1(save ? "Save As" : "Open") : Title;
    dialog.setWindowTitle(Translate(caption));
    // These two labels of Qt's dialog show an "&" as it stands.
    dialog.setLabelText(QFileDialog::LookIn,
                        WithoutMnemonic(Translate(QString::fromLatin1(save ? "Save &in:" : "Look &in:"))));
    dialog.setLabelText(QFileDialog::FileName, Translate(QStringLiteral("File &name:")));
    dialog.setLabelText(QFileDialog::FileType,
                        WithoutMnemonic(Translate(QString::fromLatin1(save ? "Save as &type:" : "Files of &type:"))));
    dialog.setLabelText(QFileDialog::Accept, Translate(QString::fromLatin1(save ? "&Save" : "&Open")));
    dialog.setLabelText(QFileDialog::Reject, Translate(QStringLiteral("Cancel")));
    static const std::pair<const char*, const char*> tips[] = {{"toParentButton", "Up One Level"},
                                                               {"newFolderButton", "Create New Folder"},
                                                               {"listModeButton", "List"},
                                                               {"detailModeButton", "Details"}};
    for (const auto& [name, native] : tips)
        if (auto* b = dialog.findChild<QToolButton*>(QString::fromLatin1(name)))
            b->setToolTip(Translate(QString::fromLatin1(native)));
}

std::unique_ptr<QFileDialog> TIvOpenDialog::CreateDialog() {
    auto dialog = std::make_unique<QFileDialog>(ParentWindow());
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setAcceptMode(SaveKind() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (SaveKind()) dialog->setFileMode(QFileDialog::AnyFile);
    else dialog->setFileMode((Options & ofAllowMultiSelect) ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !(Options & ofOverwritePrompt));
    const QStringList filters = FilterToNameFilters(Filter);
    if (!filters.isEmpty()) {
        dialog->setNameFilters(filters);
        const int index = FilterIndex >= 1 && FilterIndex <= filters.size() ? FilterIndex : 1;
        dialog->selectNameFilter(filters[index - 1]);
    }
    dialog->setDefaultSuffix(DefaultSuffix(DefaultExt));
    if (!InitialDir.isEmpty()) dialog->setDirectory(InitialDir);
    if (!FileName().isEmpty()) dialog->selectFile(FileName());
    dialog->setProxyModel(new TranslatedHeaders(*this, dialog.get()));
    QObject::connect(dialog.get(), &QFileDialog::directoryEntered, dialog.get(), [this] {
        if (OnFolderChange) OnFolderChange();
    });
    QObject::connect(dialog.get(), &QFileDialog::currentChanged, dialog.get(), [this] {
        if (OnSelectionChange) OnSelectionChange();
    });
    QObject::connect(dialog.get(), &QFileDialog::filterSelected, dialog.get(), [this] {
        if (OnTypeChange) OnTypeChange();
    });
    TranslateLabels(*dialog);
    FitDetailColumns(*dialog);
    Customise(*dialog);
    return dialog;
}

void TIvOpenDialog::TakeResult(const QFileDialog& dialog) {
    m_files = dialog.selectedFiles();
    if (!m_files.isEmpty()) m_fileName = m_files.first();
    FilterIndex = NameFilterIndex(dialog.nameFilters(), dialog.selectedNameFilter());
}

bool TIvOpenDialog::Execute() {
    std::unique_ptr<QFileDialog> dialog = CreateDialog();
    if (!RunModal(*dialog)) return false;
    TakeResult(*dialog);
    return true;
}

QString TIvOpenPictureDialog::PreviewLabel(const QString& fileName) const {
    QImageReader reader(fileName);
    const QSize size = reader.canRead() ? reader.size() : QSize();
    if (size.isValid()) return QStringLiteral(" (%1x%2)").arg(size.width()).arg(size.height());
    return Translate(QStringLiteral("Picture:"));
}

void TIvOpenPictureDialog::Customise(QFileDialog& dialog) {
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid) return;
    auto* box = new QWidget(&dialog);
    auto* column = new QVBoxLayout(box);
    auto* head = new QHBoxLayout;
    auto* caption = new QLabel(Translate(QStringLiteral("Picture:")), box);
    caption->setObjectName(QStringLiteral("PreviewLabel"));
    auto* button = new QToolButton(box);
    button->setObjectName(QStringLiteral("PreviewButton"));
    button->setText(QStringLiteral("..."));
    button->setToolTip(Translate(QStringLiteral("Preview")));
    button->setEnabled(false);
    head->addWidget(caption, 1);
    head->addWidget(button);
    auto* picture = new QLabel(Translate(QStringLiteral("(None)")), box);
    picture->setObjectName(QStringLiteral("PreviewPicture"));
    picture->setAlignment(Qt::AlignCenter);
    picture->setMinimumSize(160, 160);
    picture->setFrameShape(QFrame::StyledPanel);
    column->addLayout(head);
    column->addWidget(picture, 1);
    grid->addWidget(box, 0, grid->columnCount(), grid->rowCount(), 1);
    auto current = std::make_shared<QPixmap>();
    QObject::connect(&dialog, &QFileDialog::currentChanged, box, [this, caption, picture, button, current](const QString& file) {
        caption->setText(PreviewLabel(file));
        *current = QPixmap(file);
        button->setEnabled(!current->isNull());
        if (current->isNull()) {
            picture->setPixmap(QPixmap());
            picture->setText(Translate(QStringLiteral("(None)")));
        } else {
            picture->setPixmap(current->scaled(picture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        }
    });
    QObject::connect(button, &QToolButton::clicked, box, [this, box, current] {
        QDialog preview(box->window());
        preview.setObjectName(QStringLiteral("PreviewForm"));
        preview.setWindowTitle(Translate(QStringLiteral("Preview")));
        auto* layout = new QVBoxLayout(&preview);
        auto* shown = new QLabel(&preview);
        shown->setPixmap(*current);
        layout->addWidget(shown);
        preview.exec();
    });
}

// ---- colour dialog ---------------------------------------------------------

QColor ColorFromNumber(int value) {
    if (value < 0) return QColor(Qt::white);
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

int ColorToNumber(const QColor& color) {
    if (!color.isValid()) return -1;
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

TIvColorDialog::TIvColorDialog(QObject* owner) : TIvCommonDialog(owner) {}

namespace {
QString CustomColorName(int i) { return QStringLiteral("Color") + QChar(u'A' + i); }

QString ValueOf(const QStringList& list, const QString& name) {
    for (const QString& line : list) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).compare(name, Qt::CaseInsensitive) == 0) return line.mid(eq + 1);
    }
    return QString();
}
}  // namespace

std::array<int, 16> TIvColorDialog::CustomColorValues() const {
    std::array<int, 16> values{};
    for (int i = 0; i < 16; ++i) {
        QString text = ValueOf(CustomColors, CustomColorName(i)).trimmed();
        if (text.startsWith(QLatin1Char('$'))) text.remove(0, 1);
        bool ok = false;
        const uint v = text.toUInt(&ok, 16);
        // A malformed entry is no colour rather than an error.
        values[size_t(i)] = ok && v <= 0xFFFFFFu ? int(v) : -1;
    }
    return values;
}

void TIvColorDialog::SetCustomColorValues(const std::array<int, 16>& values) {
    QStringList out;
    for (int i = 0; i < 16; ++i) {
        const int v = values[size_t(i)] < 0 ? 0xFFFFFF : values[size_t(i)];
        out << CustomColorName(i) + QLatin1Char('=') + QStringLiteral("%1").arg(v & 0xFFFFFF, 6, 16, QLatin1Char('0'));
    }
    CustomColors = out;
}

std::unique_ptr<QColorDialog> TIvColorDialog::CreateDialog() {
    const std::array<int, 16> values = CustomColorValues();
    for (int i = 0; i < 16; ++i) QColorDialog::setCustomColor(i, ColorFromNumber(values[size_t(i)]));
    auto dialog = std::make_unique<QColorDialog>(Color, ParentWindow());
    dialog->setOption(QColorDialog::DontUseNativeDialog, true);
    dialog->setWindowTitle(Translate(QStringLiteral("Color")));
    TranslateDialogTexts(dialog.get(), *this);
    return dialog;
}

void TIvColorDialog::TakeResult(const QColorDialog& dialog) {
    Color = dialog.currentColor();
    std::array<int, 16> values{};
    for (int i = 0; i < 16; ++i) values[size_t(i)] = ColorToNumber(QColorDialog::customColor(i));
    SetCustomColorValues(values);
}

bool TIvColorDialog::Execute() {
    std::unique_ptr<QColorDialog> dialog = CreateDialog();
    if (!RunModal(*dialog)) return false;
    TakeResult(*dialog);
    return true;
}

// ---- font dialog -----------------------------------------------------------

TIvFontDialog::TIvFontDialog(QObject* owner) : TIvCommonDialog(owner) {
    PrinterName = [] {
        const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
        if (!printer.isNull()) return printer.printerName();
        const QStringList names = QPrinterInfo::availablePrinterNames();
        return names.isEmpty() ? QString() : names.first();
    };
}

TFontDeviceFonts TIvFontDialog::DeviceFonts() const {
    TFontDeviceFonts out;
    const QStringList all = QFontDatabase::families();
    bool printerOnly = false;
    if (Device != fdScreen) {
        out.printerFound = PrinterName && !PrinterName().isEmpty();
        printerOnly = out.printerFound;
        if (!out.printerFound) out.note = Translate(QStringLiteral("No printer is installed: the screen fonts are listed."));
    }
    for (const QString& family : all) {
        if (QFontDatabase::isPrivateFamily(family)) continue;
        if (printerOnly && !QFontDatabase::isSmoothlyScalable(family)) continue;
        out.families << family;
    }
    return out;
}

std::unique_ptr<QFontDialog> TIvFontDialog::CreateDialog() {
    auto dialog = std::make_unique<QFontDialog>(Font, ParentWindow());
    dialog->setOption(QFontDialog::DontUseNativeDialog, true);
    dialog->setWindowTitle(Translate(QStringLiteral("Font")));
    const TFontDeviceFonts fonts = DeviceFonts();
    // Qt's dialog lists by the same rule as DeviceFonts.
    if (fonts.printerFound) {
        dialog->setOption(QFontDialog::ScalableFonts, true);
        dialog->setCurrentFont(Font);  // lists the families again
    }
    if (!fonts.note.isEmpty())
        if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout())) {
            auto* note = new QLabel(fonts.note, dialog.get());
            note->setObjectName(QStringLiteral("DeviceNote"));
            note->setWordWrap(true);
            grid->addWidget(note, grid->rowCount(), 0, 1, grid->columnCount());
        }
    if (OnApply)
        if (auto* box = dialog->findChild<QDialogButtonBox*>()) {
            QPushButton* apply = box->addButton(QDialogButtonBox::Apply);
            QFontDialog* d = dialog.get();
            QObject::connect(apply, &QPushButton::clicked, d, [this, d] { OnApply(LimitedFont(d->currentFont())); });
        }
    TranslateDialogTexts(dialog.get(), *this);
    return dialog;
}

bool TIvFontDialog::Execute() {
    std::unique_ptr<QFontDialog> dialog = CreateDialog();
    if (!RunModal(*dialog)) return false;
    Font = LimitedFont(dialog->selectedFont());
    return true;
}

QFont TIvFontDialog::LimitedFont(const QFont& chosen) const {
    const bool limited = (MinFontSize != 0 || MaxFontSize != 0) && MaxFontSize >= MinFontSize;
    if (!limited || chosen.pointSize() <= 0) return chosen;
    QFont f = chosen;
    f.setPointSize(std::clamp(chosen.pointSize(), MinFontSize, MaxFontSize));
    return f;
}
