#include "forms/HDurdatCold.h"

#include "data/DBKON.h"
#include "platform/Table.h"

#include "localisation/IvMulti.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

TFHelpDurdatCold::TFHelpDurdatCold(QWidget* owner, QLineEdit* rdm) : TFHelpDurdat(owner, rdm, 145) {
    setObjectName(QStringLiteral("FHelpDurdatCold"));
    if (DBKONST) {
        m_savedFilter = DBKONST->DURDATDB.Filter();
        m_savedFiltered = DBKONST->DURDATDB.Filtered();
    }
    RadioGroup1 = new QGroupBox(QStringLiteral("Available diameters"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    auto* box = new QVBoxLayout(RadioGroup1);
    box->setContentsMargins(4, 2, 4, 2);
    box->setSpacing(0);
    m_buttons = new QButtonGroup(this);
    const char* items[] = {"Show all", "for type 40 only", "for type 54 only", "for type 56 only", "for type 58 only"};
    for (int i = 0; i < 5; ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(items[i]), RadioGroup1);
        b->setObjectName(QStringLiteral("RadioGroup1_%1").arg(i));
        m_buttons->addButton(b, i);
        box->addWidget(b);
    }
    m_buttons->button(0)->setChecked(true);
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, RadioGroup1);
    connect(m_buttons, &QButtonGroup::idClicked, this, [this](int id) {
        m_index = id;
        RadioGroup1Click();
    });
    RadioGroup1Click();
    Loaded();
    FitWidth();
    // Another language, another title: the width follows it.
    IvTranslator1->OnLanguageChange = [this](TIvCustomTranslator*) { FitWidth(); };
}

// The list's fixed width, or wider where the filter group's translated
// title and items ask for more: the title is never cut.
void TFHelpDurdatCold::FitWidth() {
    const int margins = layout()->contentsMargins().left() + layout()->contentsMargins().right();
    const int title = RadioGroup1->fontMetrics().horizontalAdvance(RadioGroup1->title()) + 24;
    const int width = std::max({145, title + margins, RadioGroup1->minimumSizeHint().width() + margins});
    setMinimumWidth(width);
    setMaximumWidth(width);
    resize(width, height());
}

TFHelpDurdatCold::~TFHelpDurdatCold() {
    if (!DBKONST) return;
    DBKONST->DURDATDB.SetFilter(m_savedFilter);
    DBKONST->DURDATDB.SetFiltered(m_savedFiltered);
}

QString TFHelpDurdatCold::FilterOf(int index) {
    switch (index) {
    case 1: return QStringLiteral("TYP40 = 1");
    case 2: return QStringLiteral("TYP54 = 1");
    case 3: return QStringLiteral("TYP56 = 1");
    case 4: return QStringLiteral("TYP58 = 1");
    default: return {};
    }
}

void TFHelpDurdatCold::SetItemIndex(int index) {
    if (index < 0 || index > 4) return;
    m_index = index;
    m_buttons->button(index)->setChecked(true);
    RadioGroup1Click();
}

void TFHelpDurdatCold::RadioGroup1Click() {
    if (DBKONST) {
        TTable& t = Table();
        t.SetFilter(FilterOf(m_index));
        t.SetFiltered(true);
    }
    SGFILL();
}
