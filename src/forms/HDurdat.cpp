#include "ui/MultiLang.h"
#include "forms/HDurdat.h"

#include "data/DBKON.h"
#include "data/FIRAUFKON.h"
#include "platform/Numbers.h"
#include "platform/Table.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr int MinHeight = 200;

// A diameter as the narrow list can show it: at most three decimals, no
// trailing zeros.
QString DiameterText(double v) {
    QString t = QString::number(v, 'f', 3);
    while (t.endsWith(u'0')) t.chop(1);
    if (t.endsWith(u'.')) t.chop(1);
    return t;
}

constexpr int MaxHeight = 800;
// The table is walked row by row; a damaged cursor must not hang the form.
constexpr int MaxRows = 100000;
}  // namespace

TFHelpDurdat::TFHelpDurdat(QWidget* owner, QLineEdit* rdm) : TFHelpDurdat(owner, rdm, 130) {
    setObjectName(QStringLiteral("FHelpDurdat"));
    SGFILL();
    Loaded();
}

TFHelpDurdat::TFHelpDurdat(QWidget* owner, QLineEdit* rdm, int fixedWidth)
    : TTemplateFormMultiLang(owner), m_rdm(rdm) {
    Build(fixedWidth);
}

void TFHelpDurdat::Build(int fixedWidth) {
    setWindowTitle(QStringLiteral("Rohrdurchmesser"));
    SetKeyPreview(true);
    if (parentWidget()) setFont(parentWidget()->font());
    setMinimumSize(fixedWidth, MinHeight);
    setMaximumSize(fixedWidth, MaxHeight);
    resize(fixedWidth, 400);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    SG = new QTableWidget(0, 2, this);
    SG->setObjectName(QStringLiteral("SG"));
    SG->setHorizontalHeaderLabels({QStringLiteral("mm"), QStringLiteral("inch")});
    SG->verticalHeader()->hide();
    SG->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    SG->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SG->setSelectionBehavior(QAbstractItemView::SelectRows);
    SG->setSelectionMode(QAbstractItemView::SingleSelection);
    SG->setShowGrid(true);
    SG->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    layout->addWidget(SG, 1);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    layout->addWidget(BitBtn1);

    connect(SG, &QTableWidget::cellDoubleClicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
}

TTable& TFHelpDurdat::Table() const {
    TTable& t = DBKONST->DURDATDB;
    if (!t.Active()) t.Open();
    return t;
}

void TFHelpDurdat::SGFILL() {
    SG->setRowCount(0);
    if (!DBKONST) return;
    TTable& t = Table();
    t.First();
    for (int n = 0; n < MaxRows && !t.IsEmpty(); ++n) {
        const int row = SG->rowCount();
        SG->insertRow(row);
        SG->setItem(row, 0, new QTableWidgetItem(DiameterText(t.FieldByName(QStringLiteral("D_R_DM")).AsFloat())));
        SG->setItem(row, 1, new QTableWidgetItem(DiameterText(t.FieldByName(QStringLiteral("D_R_DI")).AsFloat())));
        if (!t.Next()) break;
    }
    if (SG->rowCount() > 0) SG->selectRow(0);
}

QString TFHelpDurdat::ChosenText() const {
    const int row = SG->currentRow();
    if (row < 0) return {};
    const QTableWidgetItem* item = SG->item(row, ConstructionRecord.K_EINH_KZ ? 1 : 0);
    return item ? item->text() : QString();
}

void TFHelpDurdat::BitBtn1Click() {
    const QString text = ChosenText();
    if (!text.isEmpty() && m_rdm) {
        m_rdm->setText(text);
        m_rdm->setModified(true);
    }
    accept();
}

bool TFHelpDurdat::PrintForm() { return PrintFormOnDefaultPrinter(*this); }

bool TFHelpDurdat::FormKeyDown(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_F10: PrintForm(); return true;
    case Qt::Key_Escape: reject(); return true;
    default: return false;
    }
}

void TFHelpDurdat::showEvent(QShowEvent* event) {
    TTemplateFormMultiLang::showEvent(event);
    SG->setFocus();
}
