#include "forms/HaengerTyp.h"

#include "data/ABHGNR.h"
#include "data/CblTools.h"
#include "data/DBKON.h"
#include "data/FIRAUFKON.h"
#include "forms/rules/LEK1Rules.h"
#include "platform/Table.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr int FormWidth = 190;
constexpr int MaxRows = 100000;
}  // namespace

HangerTypeFilter HangerTypeFilterOf(const QString& name, bool wegKz, bool constant) {
    const QString kh = constant ? QStringLiteral("KH = 1") : QStringLiteral("KH = 0");
    HangerTypeFilter f{wegKz ? kh : QStringLiteral("LANG = 1 and ") + kh, QStringLiteral("STA_L_NR")};
    const QChar l4 = NameLetter(name, 4);
    const QChar l7 = NameLetter(name, 7);
    if (l4 == u'F') f = {QStringLiteral("T20 = 1 and ") + kh, QStringLiteral("STA_L_NR_20")};
    if (l4 == u'R') f = {QStringLiteral("T29 = 1 and ") + kh, QStringLiteral("STA_L_NR_29")};
    if (l7 == u'A') f = {QStringLiteral("T25 = 1 and ") + kh, QStringLiteral("STA_L_NR_25")};
    if (l7 > u'A' && l7 < u'I') f = {QStringLiteral("T21 = 1 and ") + kh, QStringLiteral("STA_L_NR")};
    return f;
}

TFTyp::TFTyp(QWidget* owner) : TPickListForm(owner, {QStringLiteral("Last-Nr."), QStringLiteral("c")}) {
    setObjectName(QStringLiteral("FTyp"));
    setWindowTitle(QStringLiteral("Hängertyp"));
    setFixedWidth(FormWidth);
    setMinimumHeight(250);
    resize(FormWidth, 420);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    KH_FH = new QGroupBox(this);
    KH_FH->setObjectName(QStringLiteral("KH_FH"));
    auto* kinds = new QHBoxLayout(KH_FH);
    kinds->setContentsMargins(4, 2, 4, 2);
    m_buttons = new QButtonGroup(this);
    const char* items[] = {" KH", " FH"};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QRadioButton(QString::fromLatin1(items[i]), KH_FH);
        b->setObjectName(QStringLiteral("KH_FH_%1").arg(i));
        m_buttons->addButton(b, i);
        kinds->addWidget(b);
    }
    m_buttons->button(0)->setChecked(true);
    layout->addWidget(KH_FH);

    DBGrid1 = List();
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    layout->addWidget(DBGrid1, 1);
    BitBtn1 = OkButton();
    layout->addWidget(BitBtn1);

    connect(m_buttons, &QButtonGroup::idClicked, this, [this](int id) {
        m_kind = id;
        KH_FHClick();
    });
    KH_FHClick();
    Loaded();
}

TFTyp::~TFTyp() {
    if (DBKONST) DBKONST->TYPDB.Close();
}

void TFTyp::SetKindIndex(int index) {
    if (index < 0 || index > 1) return;
    m_kind = index;
    m_buttons->button(index)->setChecked(true);
    KH_FHClick();
}

void TFTyp::KH_FHClick() {
    const QString name = QString::fromLatin1(ArrangementRecord.A_NAME, 8);
    m_filter = HangerTypeFilterOf(name, ConstructionRecord.K_WEG_KZ, m_kind == 0);
    Fill();
}

void TFTyp::Fill() {
    DBGrid1->setRowCount(0);
    m_rows.clear();
    if (!DBKONST) return;
    TTable& t = DBKONST->TYPDB;
    t.SetFilter(m_filter.expression);
    t.SetFiltered(true);
    if (!t.Active()) t.Open();
    const QString rate = ConstructionRecord.K_KATA_KZ ? QStringLiteral("FDR_I") : QStringLiteral("FDR_M");
    t.First();
    for (int n = 0; n < MaxRows && !t.IsEmpty(); ++n) {
        Row r{t.FieldByName(m_filter.loadColumn).AsString().trimmed(),
              t.FieldByName(QStringLiteral("STA_NRN")).AsString().trimmed().toInt()};
        const int row = DBGrid1->rowCount();
        DBGrid1->insertRow(row);
        DBGrid1->setItem(row, 0, new QTableWidgetItem(r.loadNumber));
        DBGrid1->setItem(row, 1, new QTableWidgetItem(t.FieldByName(rate).AsString().trimmed()));
        m_rows.push_back(r);
        if (!t.Next()) break;
    }
    if (!m_rows.empty()) DBGrid1->selectRow(0);
}

void TFTyp::DBGrid1DblClick() {
    const int row = DBGrid1->currentRow();
    if (row >= 0 && row < int(m_rows.size())) {
        PutText(CalcGlobals.PreselectedLoadNumber, m_rows[size_t(row)].loadNumber);
        CalcGlobals.PreselectedProductNumber = m_rows[size_t(row)].productNumber;
        ConstructionRecord.K_VGB_KZ = true;
        accept();
        return;
    }
    reject();
}

