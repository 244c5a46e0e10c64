#include "forms/HDurdat.h"

#include "data/DBKON.h"
#include "data/FIRAUFKON.h"
#include "platform/Numbers.h"
#include "platform/Table.h"

#include <QHeaderView>
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
    : TPickListForm(owner, {QStringLiteral("mm"), QStringLiteral("inch")}), m_rdm(rdm) {
    Build(fixedWidth);
}

void TFHelpDurdat::Build(int fixedWidth) {
    setWindowTitle(QStringLiteral("Rohrdurchmesser"));
    if (parentWidget()) setFont(parentWidget()->font());
    setMinimumSize(fixedWidth, MinHeight);
    setMaximumSize(fixedWidth, MaxHeight);
    resize(fixedWidth, 400);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    SG = List();
    SG->setObjectName(QStringLiteral("SG"));
    // Rows as high as the input form's font asks.
    SG->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    layout->addWidget(SG, 1);
    BitBtn1 = OkButton();
    layout->addWidget(BitBtn1);
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

void TFHelpDurdat::showEvent(QShowEvent* event) {
    TPickListForm::showEvent(event);
    SG->setFocus();
}
