#include "ui/MultiLang.h"
#include "engineui/KH_INPUT_MSG.h"

#include "data/DECODIEREN.h"
#include "data/FIRAUFKON.h"
#include "data/GlobalFuncs.h"
#include "engine/EngineState.h"
#include "localisation/IvDictio.h"
#include "ui/ValCtrls.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>

namespace {

constexpr long double MmToInch = 0.03937007874015748L;

QString Str(long double v, int width, int decimals) {
    return FormatFixed(v, decimals).rightJustified(width, QLatin1Char(' '));
}

long double CutTo3(long double v) { return std::trunc(v * 1000) / 1000; }

// The two "%s" of a translated range text, filled in order.
QString FillRange(QString format, const QString& low, const QString& high) {
    for (const QString& v : {low, high}) {
        const int at = format.indexOf(QLatin1String("%s"));
        if (at >= 0)
            format.replace(at, 2, v);
    }
    return format;
}

}  // namespace

TFKH_INP_MSG::TFKH_INP_MSG(QWidget* owner) : TTemplateFormMultiLang(owner) {
    setObjectName(QStringLiteral("FKH_INP_MSG"));
    setWindowTitle(QStringLiteral("KORVA"));
    setWindowFlags(Qt::Tool | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(305, 160);
    SetKeyPreview(true);
    m_caption1 = QStringLiteral("Ausgewählter Konstanthänger Typ ");
    m_caption2 = QStringLiteral("Optimierte Blockierposition = ");
    // The client area: the hanger, its working range, the position and the
    // edit to change it. Made before the buttons, so the edit comes first
    // in the tab order.
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    StaticText1 = new QLabel(m_caption1, Panel1);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText3 = new QLabel(Panel1);
    StaticText3->setObjectName(QStringLiteral("StaticText3"));
    StaticText2 = new QLabel(m_caption2, Panel1);
    StaticText2->setObjectName(QStringLiteral("StaticText2"));
    StaticText4 = new QLabel(QStringLiteral("Blockierposition ändern auf : "), Panel1);
    StaticText4->setObjectName(QStringLiteral("StaticText4"));
    FloatEdit1 = new TFloatEdit(Panel1);
    FloatEdit1->setObjectName(QStringLiteral("FloatEdit1"));
    FloatEdit1->SetPrecision(3);
    Label1 = new QLabel(QStringLiteral("mm"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    auto* grid = new QGridLayout(Panel1);
    grid->addWidget(StaticText1, 0, 0, 1, 3);
    grid->addWidget(StaticText3, 1, 0, 1, 3);
    grid->addWidget(StaticText2, 2, 0, 1, 3);
    grid->addWidget(StaticText4, 3, 0);
    grid->addWidget(FloatEdit1, 3, 1);
    grid->addWidget(Label1, 3, 2);

    // The tool bar on top holds the two buttons; the status bar at the foot
    // stays empty.
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    Abbruch = new QPushButton(QStringLiteral("Abbruch"), ToolBar1);
    Abbruch->setObjectName(QStringLiteral("Abbruch"));
    SPEICHERN = new QPushButton(QStringLiteral("Speichern"), ToolBar1);
    SPEICHERN->setObjectName(QStringLiteral("SPEICHERN"));
    ToolBar1->addWidget(Abbruch);
    ToolBar1->addWidget(SPEICHERN);
    SetCancelButton(Abbruch);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);

    auto* form = new QVBoxLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->setSpacing(0);
    form->addWidget(ToolBar1);
    form->addWidget(Panel1, 1);
    form->addWidget(StatusBar1);

    connect(SPEICHERN, &QPushButton::clicked, this, [this] { SPEICHERNClick(); });
    connect(Abbruch, &QPushButton::clicked, this, [this] { AbbruchClick(); });
    connect(FloatEdit1, &QLineEdit::editingFinished, this, [this] { FloatEdit1Exit(); });
    Loaded();
}

// The edit loses the focus while the widgets go; by then this form is no
// longer one, and leaving the edit must not reach it.
TFKH_INP_MSG::~TFKH_INP_MSG() { FloatEdit1->disconnect(this); }

bool TFKH_INP_MSG::Inch() const { return ConstructionRecord.K_EINH_KZ; }

void TFKH_INP_MSG::showEvent(QShowEvent* event) {
    TTemplateFormMultiLang::showEvent(event);
    FormActivate();
}

void TFKH_INP_MSG::ShowPosition(int mm) {
    if (Inch())
        FloatEdit1->SetValue(CutTo3(mm * MmToInch));
    else
        FloatEdit1->SetValue(mm);
    Shown(mm);
}

void TFKH_INP_MSG::Shown(int mm) {
    m_shownText = FloatEdit1->text();
    m_shownMm = mm;
}

void TFKH_INP_MSG::FormActivate() {
    // The dialog font the options form chose: a tool window does not take
    // its owner's font by itself. The edit keeps room for a position in inch
    // with its three decimals in that font.
    setFont(SharedFont());
    const QFontMetrics metrics = FloatEdit1->fontMetrics();
    FloatEdit1->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("0000.000")) + 2 * metrics.averageCharWidth());
    const TCalcGlobals& g = CalcGlobals;
    const int blocking = ConstructionRecord.K_BLOCKIER;
    StaticText1->setText(IvTranslate(m_caption1) + QString::fromLatin1(g.DisplayPartNumber, 6));
    // The working range is checked on leaving the edit and on saving, so the
    // edit itself never raises for a value being typed.
    FloatEdit1->UseBounds = false;
    if (Inch()) {
        StaticText3->setText(FillRange(IvTranslate(QStringLiteral("Arbeitsbereich von %s bis %s inch")),
                                       Str(g.BlockingRangeMin * MmToInch, 2, 3),
                                       Str(g.BlockingRangeMax * MmToInch, 2, 3)));
        StaticText2->setText(IvTranslate(m_caption2) + Str(blocking * MmToInch, 2, 3) + QStringLiteral(" inch"));
        Label1->setText(QStringLiteral("inch"));
    } else {
        StaticText3->setText(FillRange(IvTranslate(QStringLiteral("Arbeitsbereich von %s bis %s mm")),
                                       Str(g.BlockingRangeMin, 3, 0), Str(g.BlockingRangeMax, 3, 0)));
        StaticText2->setText(IvTranslate(m_caption2) + Str(blocking, 3, 0) + QStringLiteral(" mm"));
        Label1->setText(QStringLiteral("mm"));
    }
    ShowPosition(blocking);
}

int TFKH_INP_MSG::EditMillimetres() {
    const long double v = FloatEdit1->Value();
    // An inch value the dialog wrote itself lies up to a thousandth of an
    // inch below its millimetres; cutting it again would move the position
    // down by 1 mm on every save.
    if (Inch() && FloatEdit1->text() == m_shownText)
        return m_shownMm;
    if (Inch())
        return int(std::trunc(v * 25.4L));
    return int(RoundHalfEven(v));
}

bool TFKH_INP_MSG::InRange(int mm) const {
    return mm >= CalcGlobals.BlockingRangeMin && mm <= CalcGlobals.BlockingRangeMax;
}

bool TFKH_INP_MSG::FloatEdit1Exit() {
    const int v = EditMillimetres();
    if (Inch())
        FloatEdit1->setText(FormatFixed(v * MmToInch, 3));
    else
        FloatEdit1->SetValue(v);
    Shown(v);
    if (!InRange(v)) {
        QApplication::beep();
        ShowPosition(ConstructionRecord.K_BLOCKIER);
        FloatEdit1->setFocus();
        return false;
    }
    SPEICHERN->setFocus();
    return true;
}

bool TFKH_INP_MSG::SPEICHERNClick() {
    const int v = EditMillimetres();
    // Whatever path the value took into the edit, a position outside the
    // working range is never saved.
    if (!InRange(v)) {
        MsgWarning(MessageText(MsgBlockingOutOfRange));
        ShowPosition(ConstructionRecord.K_BLOCKIER);
        return false;
    }
    ConstructionRecord.K_BLOCKIER = int16_t(v);
    ConstructionRecord.K_RES_ACTUAL_S_TOP = 0;
    ConstructionRecord.K_RES_ACTUAL_S_BUT = 0;
    Abbruch->setText(IvTranslate(QStringLiteral("Fertig")));
    m_saved = true;
    return true;
}

void TFKH_INP_MSG::AbbruchClick() { done(m_saved ? QDialog::Accepted : QDialog::Rejected); }

bool TFKH_INP_MSG::PrintForm() { return PrintFormOnDefaultPrinter(*this); }

bool TFKH_INP_MSG::FormKeyDown(QKeyEvent* event) {
    if (event->key() == Qt::Key_F10) {
        PrintForm();
        return true;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Leaving the edit places the focus itself: back on the edit for a
        // position outside the range, on the save button otherwise.
        if (FloatEdit1->hasFocus())
            FloatEdit1Exit();
        else
            focusNextChild();
        return true;
    }
    if (event->key() == Qt::Key_Escape) {
        AbbruchClick();
        return true;
    }
    return false;
}
