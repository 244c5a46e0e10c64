#include "forms/ABHG_configure.h"

#include "data/DBKON.h"
#include "forms/PrjSearch.h"
#include "forms/readinfo.h"
#include "forms/waitInfo.h"
#include "localisation/IvDictio.h"
#include "platform/Database.h"
#include "platform/DbErrors.h"
#include "platform/Session.h"
#include "ui/Lek15Warten.h"
#include "messages/MessageSeam.h"
#include "ui/ZO_MsgDlgBoxs.h"
#include "ui/ZorbelGrid.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace {

const QString OrderField = QStringLiteral("A_ORDERNO");
constexpr int ReservedOrder = -9999;  // this and below: never listed

struct Scope {
    const char* item;
    int base;
};
// In item order of the scope choice.
const Scope Scopes[] = {{"Static", 100}, {"Dynamic", 300}, {"Cold", 200}};
constexpr int ScopeCount = int(std::size(Scopes));

QString DatabaseOfCatalogue() { return DBKONST ? DBKONST->ABHGDB.DatabaseName() : QStringLiteral("KONDATEN"); }
QString TableOfCatalogue() { return DBKONST ? DBKONST->ABHGDB.TableName() : QStringLiteral("ABHGNR.DB"); }

QPushButton* Button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

TZorbelGrid* Grid(QWidget* parent, const char* name) {
    auto* g = new TZorbelGrid(parent);
    g->setObjectName(QString::fromLatin1(name));
    g->SetColCount(2);
    g->EnableDrapDrop = false;
    g->SetSortAfterInsert(true);
    g->SetShowSortMarker(false);
    g->SetOnGetColType(&TFABHG_configure::LBusedGetColType);
    return g;
}

QLabel* Picture(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFixedSize(200, 160);
    l->setScaledContents(true);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setEnabled(false);
    return l;
}

}  // namespace

TFABHG_configure::TFABHG_configure(QWidget* parent)
    : TFABHG_configure(DatabaseOfCatalogue(), TableOfCatalogue(), parent) {}

TFABHG_configure::TFABHG_configure(const QString& databaseName, const QString& tableName, QWidget* parent)
    : TZorbelForm(parent), m_databaseName(databaseName) {
    setObjectName(QStringLiteral("FABHG_configure"));
    for (TTable* t : {&Tab_Abhgnr, &Tab_Abhgnr_Used, &Tab_Abhgnr_Unused}) {
        t->SetDatabaseName(databaseName);
        t->SetTableName(tableName);
    }
    // The order of the index IDx_Avail_order, also for a catalogue that lacks
    // the index (the input form adds it; this mode may run first).
    Tab_Abhgnr.SetIndexFieldNames(QStringLiteral("A_ORDERNO;A_NR"));
    Timer1.setInterval(100);
    Timer1.setSingleShot(true);
    Build();
    Connect();
    Loaded();
}

// The grids go after the form's own members: their signals must not reach
// the handlers any more.
TFABHG_configure::~TFABHG_configure() {
    Timer1.stop();
    for (TZorbelGrid* g : {LBused, LBunused}) {
        g->selectionModel()->disconnect(this);
        g->disconnect(this);
    }
    m_scopeButtons->disconnect(this);
}

void TFABHG_configure::Build() {
    SetCaptionSubTitle(QStringLiteral("Configure support configurations"));
    RGscope = new QGroupBox(QStringLiteral("Scope"), this);
    RGscope->setObjectName(QStringLiteral("RGscope"));
    m_scopeButtons = new QButtonGroup(this);
    auto* scopeRow = new QHBoxLayout(RGscope);
    for (int i = 0; i < ScopeCount; ++i) {
        auto* rb = new QRadioButton(QString::fromLatin1(Scopes[i].item), RGscope);
        rb->setObjectName(QStringLiteral("RGscope_%1").arg(i));
        m_scopeButtons->addButton(rb, i);
        scopeRow->addWidget(rb);
    }

    auto* usedBox = new QGroupBox(QStringLiteral("Available configurations"), this);
    usedBox->setObjectName(QStringLiteral("GBused"));
    LBused = Grid(usedBox, "LBused");
    DBImage1 = Picture(usedBox, "DBImage1");
    auto* usedLayout = new QVBoxLayout(usedBox);
    usedLayout->addWidget(LBused, 1);
    usedLayout->addWidget(DBImage1, 0, Qt::AlignHCenter);

    auto* unusedBox = new QGroupBox(QStringLiteral("Unavailable configurations"), this);
    unusedBox->setObjectName(QStringLiteral("GBunused"));
    LBunused = Grid(unusedBox, "LBunused");
    DBImage_Unused = Picture(unusedBox, "DBImage_Unused");
    auto* unusedLayout = new QVBoxLayout(unusedBox);
    unusedLayout->addWidget(LBunused, 1);
    unusedLayout->addWidget(DBImage_Unused, 0, Qt::AlignHCenter);

    BToRightAll = Button(this, "BToRightAll", QStringLiteral(">>"));
    BToRight = Button(this, "BToRight", QStringLiteral(">"));
    BToLeft = Button(this, "BToLeft", QStringLiteral("<"));
    BToLeftAll = Button(this, "BToLeftAll", QStringLiteral("<<"));
    auto* moves = new QVBoxLayout;
    moves->addStretch(1);
    for (QPushButton* b : {BToRightAll, BToRight, BToLeft, BToLeftAll}) {
        b->setFixedWidth(48);
        moves->addWidget(b);
    }
    moves->addStretch(1);

    Label1 = new QLabel(QStringLiteral("Arrange available support "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Bup = Button(this, "Bup", QStringLiteral("Up"));
    Bdown = Button(this, "Bdown", QStringLiteral("Down"));
    BnormalOrder = Button(this, "BnormalOrder", QStringLiteral("Normal order"));
    auto* order = new QHBoxLayout;
    order->addWidget(Label1);
    order->addWidget(Bup);
    order->addWidget(Bdown);
    order->addWidget(BnormalOrder);
    order->addStretch(1);

    auto* grids = new QHBoxLayout;
    grids->addWidget(usedBox, 1);
    grids->addLayout(moves);
    grids->addWidget(unusedBox, 1);

    auto* main = new QVBoxLayout(this);
    main->addWidget(RGscope);
    main->addLayout(grids, 1);
    main->addLayout(order);
}

void TFABHG_configure::Connect() {
    connect(m_scopeButtons, &QButtonGroup::idClicked, this, [this](int id) { SetScopeIndex(id); });
    connect(BToRightAll, &QPushButton::clicked, this, [this] { BToRightAllClick(); });
    connect(BToLeftAll, &QPushButton::clicked, this, [this] { BToLeftAllClick(); });
    connect(BToRight, &QPushButton::clicked, this, [this] { BToRightClick(); });
    connect(BToLeft, &QPushButton::clicked, this, [this] { BToLeftClick(); });
    connect(Bup, &QPushButton::clicked, this, [this] { BupClick(); });
    connect(Bdown, &QPushButton::clicked, this, [this] { BdownClick(); });
    connect(BnormalOrder, &QPushButton::clicked, this, [this] { BnormalOrderClick(); });
    connect(LBused, &QAbstractItemView::doubleClicked, this, [this] { BToRightClick(); });
    connect(LBunused, &QAbstractItemView::doubleClicked, this, [this] { BToLeftClick(); });
    connect(LBused->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { LBusedClick(); });
    connect(LBunused->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { LBunusedClick(); });
    // A title click reorders the available grid; that order is what gets
    // saved, so it counts as a change.
    connect(LBused, &TZorbelGrid::Sorted, this, [this] { FModified = true; });
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

void TFABHG_configure::FormCreate() {
    TZorbelForm::FormCreate();
    for (TZorbelGrid* g : {LBused, LBunused}) {
        g->SetCells(0, 0, IvTranslate(QStringLiteral("MDS n°")));
        g->SetCells(1, 0, IvTranslate(QStringLiteral("KORVA n°")));
    }
    FModified = false;
    SetScopeIndex(0);
}

int TFABHG_configure::ScopeIndex() const { return m_scopeIndex; }

void TFABHG_configure::SetScopeIndex(int index) {
    if (index < 0 || index >= ScopeCount) return;
    if (QAbstractButton* b = m_scopeButtons->button(index)) b->setChecked(true);
    if (index == m_scopeIndex) return;
    m_scopeIndex = index;
    RGscopeClick();
}

int TFABHG_configure::LBusedGetColType(int col) { return col == 1 ? zctInteger : zctText; }

QString TFABHG_configure::ScopeFilter() const { return QStringLiteral("(A_NR > ?) AND (A_NR < ?)"); }

void TFABHG_configure::RGscopeClick() {
    if (FScopeChanging) return;
    FScopeChanging = true;
    if (!SaveConfigurationOrder()) {
        Timer1.start();
        return;
    }
    FScopeChanging = false;
    LoadScope();
}

void TFABHG_configure::LoadScope() {
    Tab_Abhgnr.Close();
    TZorbelGrid::ClearGrid(*LBused);
    TZorbelGrid::ClearGrid(*LBunused);
    FScopeBase = Scopes[std::clamp(m_scopeIndex, 0, ScopeCount - 1)].base;
    Tab_Abhgnr.SetFilter(ScopeFilter(), {FScopeBase, FScopeBase + 100});
    Tab_Abhgnr.SetFiltered(true);
    FMdsNames.clear();
    try {
        Tab_Abhgnr.Open();  // on the first row
        for (bool more = !Tab_Abhgnr.IsEmpty(); more; more = Tab_Abhgnr.Next()) {
            const int orderNo = Tab_Abhgnr.FieldByName(OrderField).AsInteger();
            if (orderNo <= ReservedOrder) continue;
            const QString mds = Tab_Abhgnr.FieldByName(QStringLiteral("A_MDS_NO")).AsString();
            FMdsNames.append(mds);
            const QString nr = QString::number(Tab_Abhgnr.FieldByName(QStringLiteral("A_NR")).AsInteger() - FScopeBase);
            (orderNo > -1 ? LBused : LBunused)->Rows().AddRow({mds, nr});
        }
    } catch (const EDatabaseError& e) {
        ErrorOk(this, e.Message());
    }
    LBused->Refresh();
    LBunused->Refresh();
    LBused->SetRow(1);
    LBunused->SetRow(1);
    LBusedClick();
    LBunusedClick();
}

void TFABHG_configure::MovedRows() {
    FModified = true;
    LBusedClick();
    LBunusedClick();
}

void TFABHG_configure::BToRightAllClick() {
    TZorbelGrid::MoveAllRows(*LBused, *LBunused);
    MovedRows();
}

void TFABHG_configure::BToLeftAllClick() {
    TZorbelGrid::MoveAllRows(*LBunused, *LBused);
    MovedRows();
}

void TFABHG_configure::BToRightClick() {
    TZorbelGrid::MoveSelectedRows(*LBused, *LBunused);
    MovedRows();
}

void TFABHG_configure::BToLeftClick() {
    TZorbelGrid::MoveSelectedRows(*LBunused, *LBused);
    MovedRows();
}

void TFABHG_configure::BupClick() {
    FModified = true;
    const int row = LBused->Row();
    if (row <= 1) return;
    LBused->ExchangeRows(row, row - 1);
    LBused->SetRow(row - 1);
}

void TFABHG_configure::BdownClick() {
    FModified = true;
    const int row = LBused->Row();
    if (row >= LBused->RowCount() - 1) return;
    LBused->ExchangeRows(row, row + 1);
    LBused->SetRow(row + 1);
}

void TFABHG_configure::BnormalOrderClick() {
    FModified = true;
    TZorbelGridRows& rows = LBused->Rows();
    const int n = rows.RowCount();
    for (int i = 1; i < n - 1; ++i)
        for (int j = i + 1; j < n; ++j)
            if (rows.Cell(1, j).toInt() < rows.Cell(1, i).toInt()) rows.ExchangeRows(i, j);
    LBused->Refresh();
}

void TFABHG_configure::ShowPicture(TZorbelGrid* grid, TTable& table, QLabel* image) {
    const QString cell = grid->Cells(1, grid->Row());
    image->clear();
    table.Close();
    if (cell.isEmpty()) return;
    try {
        table.SetFilter(QStringLiteral("A_NR = ?"), {cell.toInt() + FScopeBase});
        table.SetFiltered(true);
        table.Open();
        if (table.IsEmpty()) return;
        QImage picture;
        const QByteArray bytes = table.FieldByName(QStringLiteral("BILD")).Value().toByteArray();
        if (!bytes.isEmpty() && picture.loadFromData(bytes)) image->setPixmap(QPixmap::fromImage(picture));
    } catch (const EDatabaseError&) {
        // A picture that cannot be read leaves the control empty; the
        // arrangement itself does not depend on it.
        table.Close();
    }
}

void TFABHG_configure::LBusedClick() { ShowPicture(LBused, Tab_Abhgnr_Used, DBImage1); }

void TFABHG_configure::LBunusedClick() { ShowPicture(LBunused, Tab_Abhgnr_Unused, DBImage_Unused); }

bool TFABHG_configure::CheckMdsNumbers() {
    const TZorbelGridRows& used = LBused->Rows();
    for (const QString& mds : FMdsNames) {
        // A configuration without a host number is never asked for by the
        // host, so it cannot go missing.
        if (mds.isEmpty()) continue;
        bool found = false;
        for (int r = 1; r < used.RowCount() && !found; ++r) found = used.Cell(0, r) == mds;
        if (!found) {
            ErrorOkActive(IvTranslate(QStringLiteral(
                                          "The MDS n° \"%s\" is not in the list of\r available support configurations !"))
                              .replace(QLatin1String("%s"), mds));
            return false;
        }
    }
    return true;
}

// Every row of both grids is written in one transaction: either the whole
// arrangement is stored or none of it.
void TFABHG_configure::StoreOrder() {
    TDatabase& db = Session().OpenDatabase(m_databaseName);
    // Opened again inside the transaction, on the scope's filter of the
    // load.
    Tab_Abhgnr.Close();
    InTransaction(db, [&] {
        Tab_Abhgnr.Open();
        auto store = [&](const TZorbelGridRows& rows, bool available) {
            for (int i = 1; i < rows.RowCount(); ++i) {
                const QString cell = rows.Cell(1, i);
                if (cell.isEmpty()) continue;
                if (!Tab_Abhgnr.Locate(QStringLiteral("A_NR"), {cell.toInt() + FScopeBase})) continue;
                if (Tab_Abhgnr.FieldByName(OrderField).AsInteger() <= ReservedOrder) continue;
                Tab_Abhgnr.Edit();
                Tab_Abhgnr.FieldByName(OrderField).SetAsInteger(available ? i : -1);
                Tab_Abhgnr.Post();
            }
        };
        store(LBused->Rows(), true);
        store(LBunused->Rows(), false);
    });
    Tab_Abhgnr.Close();
}

bool TFABHG_configure::SaveConfigurationOrder() {
    m_saveFailed = false;
    if (!CheckMdsNumbers()) return false;
    if (!FModified) return true;
    try {
        StoreOrder();
    } catch (const EDatabaseError& e) {
        m_saveFailed = true;
        ErrorOk(this, IvTranslate(QStringLiteral("The order of the support configurations could not be saved:\r%s"))
                          .replace(QLatin1String("%s"), e.Message()));
        return false;
    }
    FModified = false;
    return true;
}

void TFABHG_configure::Timer1Timer() {
    Timer1.stop();
    for (int i = 0; i < ScopeCount; ++i)
        if (Scopes[i].base == FScopeBase) SetScopeIndex(i);
    FScopeChanging = false;
}

bool TFABHG_configure::FormCloseQuery() {
    if (SaveConfigurationOrder()) return true;
    // A store that failed would fail again on every try: the engineer may
    // leave without saving rather than be held by the form.
    return m_saveFailed &&
           ConfirmationYesNo(this, IvTranslate(QStringLiteral("Close without saving the order ?"))) == mr::Yes;
}

void TFABHG_configure::reject() {
    if (!FormCloseQuery()) return;
    Timer1.stop();
    TZorbelForm::reject();
}

int RunConfigurationForms() {
    TFABHG_configure form;
    TFPrjSearchAbort abortForm;
    TFPRJSEARCH search;
    TFReadinInfo readinInfo;
    TFWarten warten;
    form.show();
    form.exec();
    return 0;
}
