#include "forms/LEK1.h"

#include "data/ABHGNR.h"
#include "data/DBCREATE.h"
#include "data/DBGLOB.h"
#include "data/DBKON.h"
#include "data/FIRAUFKON.h"
#include "data/KONBTL.h"
#include "data/ProjectSchema.h"
#include "forms/HDurdat.h"
#include "forms/HDurdatCold.h"
#include "forms/HaengerTyp.h"
#include "forms/LEK1Parts.h"
#include "forms/LEK1Services.h"
#include "forms/LEKO.h"
#include "ui/ExclusiveAccess.h"
#include "forms/rules/SupportStore.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "host/KORVA_MDS.h"
#include "host/Read_MDS_ZIF.h"
#include "localisation/IvDictio.h"
#include "localisation/IvLanguD.h"
#include "localisation/IvMulti.h"
#include "platform/Numbers.h"
#include "platform/Registry.h"
#include "platform/Table.h"
#include "platform/TableFile.h"
#include "ui/ApplicationForms.h"
#include "ui/QWDateiInfo2.h"
#include "ui/ShownReporter.h"
#include "ui/Unctool.h"
#include "ui/ValCtrls.h"
#include "ui/ZORBELGroupBox.h"
#include "ui/ZO_MsgDlgBoxs.h"

#include <QApplication>
#include <QBuffer>
#include <QImageReader>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>

namespace {

constexpr int ConfigurationDelayMs = 300;

// An emptied value field stands for 0: it shows 0, and its exit takes 0
// instead of the value it held before.
template <class Edit>
void ShowEmptyAsZero(Edit* e) {
    if (e->text().trimmed().isEmpty()) e->SetValue(0);
}

// A widget is shown with its form unless it was hidden; showing it again
// before the form shows would only lay it out once more.
void ShowIfHidden(QWidget* w) {
    if (w->isHidden()) w->show();
}

QString ErrorText(int number) { return ErrorTextByNumber(number); }

// An elevation input as wide as its longest text: the picture's width in
// millimetres, a feet-inch text with its sign and three decimals.
int ElevationEditWidth(const QLineEdit& e, int metricWidth, bool imperial) {
    const QString longest = imperial ? QStringLiteral("-000'-00.000\"") : QStringLiteral("-00000");
    return std::max(metricWidth, e.fontMetrics().horizontalAdvance(longest) + 12);
}

// The format of a stored picture by its first bytes. Told the format, the
// image reader takes its own decoder at once instead of loading every
// image plugin to ask which one reads the data.
const char* PictureFormat(const QByteArray& data) {
    if (data.startsWith("\x89PNG")) return "PNG";
    if (data.startsWith("BM")) return "BMP";
    if (data.startsWith("\xFF\xD8")) return "JPG";
    if (data.startsWith("GIF8")) return "GIF";
    return nullptr;
}

// Replaces each "%d" of a message text by the next number.
QString FormatIntegers(QString text, std::initializer_list<qlonglong> numbers) {
    for (qlonglong n : numbers) {
        const qsizetype at = text.indexOf(QLatin1String("%d"));
        if (at < 0) break;
        text.replace(at, 2, QString::number(n));
    }
    return text;
}

}  // namespace

using namespace lek1;

// ---------------------------------------------------------------- radio group

TRadioGroup::TRadioGroup(const QString& name, const QString& title, const QStringList& items, QWidget* parent,
                         bool horizontal)
    : QGroupBox(title, parent), m_group(new QButtonGroup(this)), m_horizontal(horizontal) {
    setObjectName(name);
    if (horizontal)
        new QHBoxLayout(this);
    else
        new QVBoxLayout(this);
    layout()->setContentsMargins(6, 2, 6, 2);
    layout()->setSpacing(1);
    SetItems(items);
    connect(m_group, &QButtonGroup::idClicked, this, [this] { emit Clicked(); });
}

int TRadioGroup::ItemIndex() const { return m_group->checkedId(); }

void TRadioGroup::SetItemIndex(int index) {
    if (QAbstractButton* b = m_group->button(index)) {
        b->setChecked(true);
    } else if (QAbstractButton* c = m_group->checkedButton()) {
        m_group->setExclusive(false);
        c->setChecked(false);
        m_group->setExclusive(true);
    }
}

void TRadioGroup::SetItems(const QStringList& items) {
    const int index = ItemIndex();
    for (QAbstractButton* b : m_group->buttons()) {
        m_group->removeButton(b);
        delete b;
    }
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items.at(i), this);
        b->setObjectName(objectName() + QStringLiteral("_%1").arg(i));
        m_group->addButton(b, i);
        layout()->addWidget(b);
        b->installEventFilter(this);
    }
    SetItemIndex(index);
}

bool TRadioGroup::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QGroupBox::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const int n = int(m_group->buttons().size());
    const int at = m_group->id(qobject_cast<QAbstractButton*>(watched));
    if ((key->key() != Qt::Key_Left && key->key() != Qt::Key_Right) || key->modifiers() != Qt::NoModifier || n == 0 ||
        at < 0)
        return QGroupBox::eventFilter(watched, event);
    QAbstractButton* next = m_group->button((at + (key->key() == Qt::Key_Right ? 1 : n - 1)) % n);
    next->setFocus(Qt::TabFocusReason);
    next->setChecked(true);
    emit Clicked();
    return true;
}

QStringList TRadioGroup::Items() const {
    QStringList out;
    for (QAbstractButton* b : m_group->buttons())
        out << b->text();
    return out;
}

// ---------------------------------------------------------------- picture

TConfigurationPicture::TConfigurationPicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PanelImage"));
    setMinimumSize(240, 240);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void TConfigurationPicture::SetConfiguration(const ConfigurationRow& row, const QByteArray& picture) {
    m_row = row;
    m_image = QPixmap();
    if (picture.isEmpty()) {
        update();
        return;
    }
    QBuffer buffer;
    buffer.setData(picture);
    QImageReader reader(&buffer, PictureFormat(picture));
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    if (!image.isNull()) m_image = QPixmap::fromImage(image);
    else m_image.loadFromData(picture);
    update();
}

void TConfigurationPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!m_image.isNull()) {
        p.drawPixmap(rect(), m_image);
        return;
    }
    const double sx = ScaleX(), sy = ScaleY();
    auto pt = [&](double x, double y) { return QPointF(x * sx, y * sy); };
    p.setPen(QPen(Qt::darkGray, 1));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (m_row.A_NR == 0) return;
    const QString name = m_row.A_NAME.leftJustified(8);
    const bool cold = name.at(0) == u'C';
    const bool standing = name.at(3) == u'R';
    // Steel (hatched) and the pipe with its insulation, at the picture's
    // grid points so the elevation inputs sit beside them.
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QBrush(Qt::lightGray, Qt::BDiagPattern));
    const double steelY = standing ? 250 : 30;
    p.drawRect(QRectF(pt(60, steelY), pt(240, steelY + 14)));
    const double pipeY = standing ? 150 : 250;
    p.setBrush(cold ? QColor(200, 225, 255) : QColor(235, 235, 235));
    p.drawEllipse(pt(150, pipeY), 34 * sx, 34 * sy);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(pt(150, pipeY), 22 * sx, 22 * sy);
    p.setPen(QPen(Qt::darkBlue, 3));
    if (standing) {
        p.drawLine(pt(150, pipeY + 34), pt(150, steelY));
    } else {
        p.drawLine(pt(150, steelY + 14), pt(150, 120));
        p.setBrush(name.at(3) == u'Y' ? QColor(255, 230, 180) : QColor(200, 230, 200));
        p.drawRoundedRect(QRectF(pt(128, 120), pt(172, 180)), 4, 4);
        p.drawLine(pt(150, 180), pt(150, pipeY - 34));
    }
    p.setPen(Qt::black);
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(pt(4, 275), pt(296, 298)), Qt::AlignCenter,
               QStringLiteral("%1  %2").arg(m_row.A_NR).arg(m_row.A_NAME));
}

// ---------------------------------------------------------------- the form

TFLEK1::TFLEK1(QWidget* parent) : TZorbelForm(parent) {
    setObjectName(QStringLiteral("FLEK1"));
    ZorbelOnlyOne = new TzorbelOnlyOne(this);
    ZorbelOnlyOne->setObjectName(QStringLiteral("ZorbelOnlyOne"));
    SetKeyPreview(true);
    installEventFilter(this);
    BuildForm();
    Loaded();
}

TFLEK1::~TFLEK1() = default;

QPoint TFLEK1::PicturePoint(int x, int y, int h, bool roundTop) const {
    const double sx = PanelImage->ScaleX(), sy = PanelImage->ScaleY();
    const double top = (y + h / 2) * sy;
    return {int(x * sx), (roundTop ? int(std::lround(top)) : int(top)) - h / 2};
}

void TFLEK1::BuildForm() {
    resize(1000, 720);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 6);

    // Header: hanger mark, project, version, load kind and language.
    auto* header = new QHBoxLayout;
    Label_UPos = MakeLabel(QStringLiteral("Label_UPos"), {}, this);
    QFont bold = Label_UPos->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    Label_UPos->setFont(bold);
    lblPrjDir = MakeLabel(QStringLiteral("lblPrjDir"), {}, this);
    // A long project directory is shortened in its middle, never widening
    // the form; its hint holds it whole.
    lblPrjDir->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    Lversion = MakeLabel(QStringLiteral("Lversion"), {}, this);
    LabelLoadKind = MakeLabel(QStringLiteral("LabelLoadKind"), QStringLiteral("[ warm ]"), this);
    Button2 = new QPushButton(QStringLiteral("<->"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button1 = new QPushButton(QStringLiteral("Sprache"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    header->addWidget(Label_UPos);
    header->addSpacing(16);
    header->addWidget(lblPrjDir, 1);
    header->addWidget(LabelLoadKind);
    header->addWidget(Button2);
    header->addWidget(Button1);
    header->addWidget(Lversion);
    root->addLayout(header);

    auto* body = new QHBoxLayout;
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    // A page is shown (and its layout worked out) as it is added: added
    // empty, it is laid out once, with its widgets, when the form shows.
    TabSheet_Load = new QWidget;
    TabSheet_Load->setObjectName(QStringLiteral("TabSheet_Load"));
    PageControl1->addTab(TabSheet_Load, QStringLiteral("Lasten / Wege"));
    BuildLoadPage(TabSheet_Load);
    PageControl2 = new QTabWidget(this);
    PageControl2->setObjectName(QStringLiteral("PageControl2"));
    TabSheet_Hanger = new QWidget;
    TabSheet_Hanger->setObjectName(QStringLiteral("TabSheet_Hanger"));
    PageControl2->addTab(TabSheet_Hanger, QStringLiteral("Halterung"));
    BuildHangerPage(TabSheet_Hanger);
    body->addWidget(PageControl1, 0);
    body->addWidget(PageControl2, 1);
    root->addLayout(body, 1);

    auto* buttons = new QHBoxLayout;
    OPTIONEN = new QPushButton(QStringLiteral("Optionen"), this);
    OPTIONEN->setObjectName(QStringLiteral("OPTIONEN"));
    STORE = new QPushButton(QStringLiteral("Speichern"), this);
    STORE->setObjectName(QStringLiteral("STORE"));
    STORE->hide();
    STORE->setEnabled(false);
    Weiter = new QPushButton(QStringLiteral("Ok"), this);
    Weiter->setObjectName(QStringLiteral("Weiter"));
    Weiter->setDefault(false);
    Weiter->setAutoDefault(false);
    ENDE = new QPushButton(QStringLiteral("Cancel"), this);
    ENDE->setObjectName(QStringLiteral("ENDE"));
    ENDE->setAutoDefault(false);
    OPTIONEN->setAutoDefault(false);
    buttons->addWidget(OPTIONEN);
    buttons->addStretch(1);
    buttons->addWidget(Weiter);
    buttons->addWidget(ENDE);
    root->addLayout(buttons);

    Timer_AbhgNr_Changed = new QTimer(this);
    Timer_AbhgNr_Changed->setObjectName(QStringLiteral("Timer_AbhgNr_Changed"));
    Timer_AbhgNr_Changed->setSingleShot(true);
    Timer_AbhgNr_Changed->setInterval(ConfigurationDelayMs);

    connect(Weiter, &QPushButton::clicked, this, [this] { WeiterClick(); });
    connect(ENDE, &QPushButton::clicked, this, [this] { ENDEClick(); });
    connect(OPTIONEN, &QPushButton::clicked, this, [this] { OPTIONENClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Timer_AbhgNr_Changed, &QTimer::timeout, this, [this] {
        Timer_AbhgNr_Changed->stop();
        ApplyConfiguration(Timer_AbhgNr_Changed);
    });
}

void TFLEK1::BuildLoadPage(QWidget* page) {
    auto* v = new QVBoxLayout(page);
    auto grid = [](QFrame* panel) {
        auto* g = new QGridLayout(panel);
        g->setContentsMargins(4, 4, 4, 4);
        g->setVerticalSpacing(3);
        return g;
    };
    auto row = [this](QGridLayout* g, int r, const QString& caption, QWidget* edit, bool load) {
        auto* label = new QLabel(caption);
        g->addWidget(label, r, 0);
        g->addWidget(edit, r, 1);
        auto* unit = new QLabel(load ? QStringLiteral("kN") : QStringLiteral("mm"));
        // The caption and the unit go with their edit when it is hidden.
        edit->setProperty("korvaCaption", QVariant::fromValue(static_cast<QObject*>(label)));
        edit->setProperty("korvaUnit", QVariant::fromValue(static_cast<QObject*>(unit)));
        unit->setMinimumWidth(34);
        g->addWidget(unit, r, 2);
        (load ? LoadUnitLabels : LengthUnitLabels) << unit;
    };

    Panel_LAST_E_ST = MakePanel(QStringLiteral("Panel_LAST_E_ST"), page);
    Panel_LAST_E_ST->setFrameShape(QFrame::StyledPanel);
    auto* g = grid(Panel_LAST_E_ST);
    Last = MakeFloat(QStringLiteral("Last"), Panel_LAST_E_ST);
    STAT_LAST_HZ = MakeFloat(QStringLiteral("STAT_LAST_HZ"), Panel_LAST_E_ST);
    STAT_LAST_HS = MakeFloat(QStringLiteral("STAT_LAST_HS"), Panel_LAST_E_ST);
    Hydrolast = MakeFloat(QStringLiteral("Hydrolast"), Panel_LAST_E_ST);
    row(g, 0, QStringLiteral("Last"), Last, true);
    row(g, 1, QStringLiteral("Notfall"), STAT_LAST_HZ, true);
    row(g, 2, QStringLiteral("Störfall"), STAT_LAST_HS, true);
    row(g, 3, QStringLiteral("Hydrolast"), Hydrolast, true);
    v->addWidget(Panel_LAST_E_ST);

    Panel_LAST_E_DY = MakePanel(QStringLiteral("Panel_LAST_E_DY"), page);
    Panel_LAST_E_DY->setFrameShape(QFrame::StyledPanel);
    g = grid(Panel_LAST_E_DY);
    DY_L_H = MakeFloat(QStringLiteral("DY_L_H"), Panel_LAST_E_DY);
    DY_L_HZ = MakeFloat(QStringLiteral("DY_L_HZ"), Panel_LAST_E_DY);
    DY_L_HS = MakeFloat(QStringLiteral("DY_L_HS"), Panel_LAST_E_DY);
    row(g, 0, QStringLiteral("Last H"), DY_L_H, true);
    row(g, 1, QStringLiteral("Last HZ"), DY_L_HZ, true);
    row(g, 2, QStringLiteral("Last HS"), DY_L_HS, true);
    v->addWidget(Panel_LAST_E_DY);

    Panel2 = MakePanel(QStringLiteral("Panel2"), page);
    Panel2->setFrameShape(QFrame::StyledPanel);
    g = grid(Panel2);
    RDM = new QLineEdit(Panel2);
    RDM->setObjectName(QStringLiteral("RDM"));
    RDM->setMaximumWidth(110);
    RDM_BTN = new QPushButton(QStringLiteral("..."), Panel2);
    RDM_BTN->setObjectName(QStringLiteral("RDM_BTN"));
    RDM_BTN->setMaximumWidth(28);
    TEMP = new TIntegerEdit(Panel2);
    TEMP->setObjectName(QStringLiteral("TEMP"));
    TEMP->setMaximumWidth(110);
    ISO = MakeFloat(QStringLiteral("ISO"), Panel2, 2);
    row(g, 0, QStringLiteral("Rohr-Ø"), RDM, false);
    g->addWidget(RDM_BTN, 0, 3);
    g->addWidget(new QLabel(QStringLiteral("Temperatur")), 1, 0);
    g->addWidget(TEMP, 1, 1);
    TempUnitLabel = new QLabel(QStringLiteral("° C"));
    g->addWidget(TempUnitLabel, 1, 2);
    row(g, 2, QStringLiteral("Isolierung"), ISO, false);
    v->addWidget(Panel2);

    Panel_WEG_E_ST = MakePanel(QStringLiteral("Panel_WEG_E_ST"), page);
    Panel_WEG_E_ST->setFrameShape(QFrame::StyledPanel);
    g = grid(Panel_WEG_E_ST);
    Lateral = MakeFloat(QStringLiteral("Lateral"), Panel_WEG_E_ST, 2);
    Horizontal = MakeFloat(QStringLiteral("Horizontal"), Panel_WEG_E_ST, 2);
    Vertikal = MakeFloat(QStringLiteral("Vertikal"), Panel_WEG_E_ST, 2);
    row(g, 0, QStringLiteral("Weg lateral"), Lateral, false);
    row(g, 1, QStringLiteral("Weg horizontal"), Horizontal, false);
    row(g, 2, QStringLiteral("Weg vertikal"), Vertikal, false);
    v->addWidget(Panel_WEG_E_ST);

    Panel_WEG_E_DY = MakePanel(QStringLiteral("Panel_WEG_E_DY"), page);
    Panel_WEG_E_DY->setFrameShape(QFrame::StyledPanel);
    g = grid(Panel_WEG_E_DY);
    DY_W_P = MakeFloat(QStringLiteral("DY_W_P"), Panel_WEG_E_DY, 2);
    DY_W_N = MakeFloat(QStringLiteral("DY_W_N"), Panel_WEG_E_DY, 2);
    row(g, 0, QStringLiteral("Weg positiv"), DY_W_P, false);
    row(g, 1, QStringLiteral("Weg negativ"), DY_W_N, false);
    v->addWidget(Panel_WEG_E_DY);

    auto* ident = MakePanel(QStringLiteral("PanelIdent"), page);
    ident->setFrameShape(QFrame::StyledPanel);
    g = grid(ident);
    const std::pair<QLineEdit**, const char*> idents[] = {{&UPOS, "UPOS"},     {&ZNR, "ZNR"},
                                                         {&ANL_NR, "ANL_NR"}, {&LFD_NR, "LFD_NR"},
                                                         {&KDN_NR, "KDN_NR"}, {&CALC, "CALC"}};
    const char* captions[] = {"Halterungs-Nr.", "Zeichnungs-Nr.", "Anlage", "Lfd. Nr.", "Kunden-Nr.", "Berechnung"};
    for (int i = 0; i < 6; ++i) {
        *idents[i].first = new QLineEdit(ident);
        (*idents[i].first)->setObjectName(QString::fromLatin1(idents[i].second));
        g->addWidget(new QLabel(QString::fromUtf8(captions[i])), i, 0);
        g->addWidget(*idents[i].first, i, 1, 1, 2);
    }
    g->addWidget(new QLabel(QStringLiteral("Date")), 6, 0);
    LabelDate = MakeLabel(QStringLiteral("LabelDate"), {}, ident);
    g->addWidget(LabelDate, 6, 1, 1, 2);
    v->addWidget(ident);
    CB_AS_dreh = new QCheckBox(QStringLiteral("Anschluss gedreht"), page);
    CB_AS_dreh->setObjectName(QStringLiteral("CB_AS_dreh"));
    CB_KH_dreh = new QCheckBox(QStringLiteral("Hänger gedreht"), page);
    CB_KH_dreh->setObjectName(QStringLiteral("CB_KH_dreh"));
    v->addWidget(CB_AS_dreh);
    v->addWidget(CB_KH_dreh);
    v->addStretch(1);
    page->setMinimumWidth(260);

    // Exits of the value fields: only a changed text rewrites the record.
    for (TFloatEdit* e : {Last, STAT_LAST_HZ, STAT_LAST_HS, Hydrolast, DY_L_H, DY_L_HZ, DY_L_HS, Lateral, Horizontal,
                          Vertikal, DY_W_P, DY_W_N, ISO})
        connect(e, &TValidCustomEdit::Exited, this, [this, e] { ValueFieldExit(e); });
    connect(TEMP, &TValidCustomEdit::Exited, this, [this] {
        ShowEmptyAsZero(TEMP);
        if (ChangedSinceShown(TEMP)) TEMPExit();
    });
    connect(RDM, &QLineEdit::editingFinished, this, [this] {
        if (ChangedSinceShown(RDM)) RDMExit();
    });
    connect(RDM_BTN, &QPushButton::clicked, this, [this] { RDM_BTNClick(); });
    connect(CB_AS_dreh, &QCheckBox::toggled, this, [](bool on) { ConstructionRecord.K_DREHUNG_AS = on; });
    connect(CB_KH_dreh, &QCheckBox::toggled, this, [](bool on) { ConstructionRecord.K_DREHUNG_KH = on; });
    connect(UPOS, &QLineEdit::textChanged, this, [this](const QString& t) {
        SetRecordText(QStringLiteral("K_POS_NR"), t);
        ShowHangerMark();
    });
    connect(ZNR, &QLineEdit::textChanged, this, [this](const QString& t) {
        SetRecordText(QStringLiteral("K_KDN_ZNR"), t);
        ShowHangerMark();
    });
    connect(ANL_NR, &QLineEdit::textChanged, this, [this](const QString& t) {
        SetRecordText(QStringLiteral("K_NR_ANL"), t);
        ShowHangerMark();
    });
    connect(LFD_NR, &QLineEdit::textChanged, this, [this](const QString& t) {
        ConstructionRecord.K_LFD_NR = t.trimmed().toInt();
        ShowHangerMark();
    });
    connect(KDN_NR, &QLineEdit::textChanged, this, [this](const QString& t) {
        ConstructionRecord.K_NR = t.trimmed().toInt();
        ShowHangerMark();
    });
    connect(CALC, &QLineEdit::editingFinished, this,
            [this] { SetRecordText(QStringLiteral("K_CALC_NR"), CALC->text()); });
}

void TFLEK1::BuildHangerPage(QWidget* page) {
    auto* outer = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;

    DIRECTION = new TRadioGroup(QStringLiteral("DIRECTION"), QStringLiteral("Belastung"),
                                {QStringLiteral("Static"), QStringLiteral("Dynamic"), QStringLiteral("Cool")}, page, true);
    left->addWidget(DIRECTION);

    auto* nav = new QHBoxLayout;
    nav->addWidget(new QLabel(QStringLiteral("Konfiguration")));
    ABHG_NR = new QLineEdit(page);
    ABHG_NR->setObjectName(QStringLiteral("ABHG_NR"));
    ABHG_NR->setMaximumWidth(50);
    ABHG_NR->setToolTip(QStringLiteral("Nummer der Konfiguration"));
    nav->addWidget(ABHG_NR);
    DBNavigator1 = new QWidget(page);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    auto* navButtons = new QHBoxLayout(DBNavigator1);
    navButtons->setContentsMargins(0, 0, 0, 0);
    navButtons->setSpacing(1);
    const char* glyphs[] = {"|<", "<", ">", ">|"};
    for (int i = 0; i < 4; ++i) {
        NavigatorButtons[size_t(i)] = new QPushButton(QString::fromLatin1(glyphs[i]), DBNavigator1);
        NavigatorButtons[size_t(i)]->setObjectName(QStringLiteral("DBNavigator1_%1").arg(i));
        NavigatorButtons[size_t(i)]->setMaximumWidth(30);
        NavigatorButtons[size_t(i)]->setAutoDefault(false);
        navButtons->addWidget(NavigatorButtons[size_t(i)]);
        connect(NavigatorButtons[size_t(i)], &QPushButton::clicked, this, [this, i] { DBNavigator1Click(i); });
    }
    nav->addWidget(DBNavigator1);
    nav->addStretch(1);
    left->addLayout(nav);

    auto* hanger = new QHBoxLayout;
    HG_VOR = new QPushButton(QStringLiteral("Hängertyp"), page);
    HG_VOR->setObjectName(QStringLiteral("HG_VOR"));
    Button5 = new QPushButton(QStringLiteral("Reset manual"), page);
    Button5->setObjectName(QStringLiteral("Button5"));
    LabelHangerType = MakeLabel(QStringLiteral("LabelHangerType"), QStringLiteral("Auto"), page);
    hanger->addWidget(HG_VOR);
    hanger->addWidget(Button5);
    hanger->addWidget(LabelHangerType, 1);
    left->addLayout(hanger);

    PanelImage = new TConfigurationPicture(page);
    left->addWidget(PanelImage, 1);
    auto* elevations = new QHBoxLayout;
    DiffKnopf = new QPushButton(QStringLiteral("Höhendifferenzen"), page);
    DiffKnopf->setObjectName(QStringLiteral("DiffKnopf"));
    KotenKnopf = new QPushButton(QStringLiteral("Höhenkoten"), page);
    KotenKnopf->setObjectName(QStringLiteral("KotenKnopf"));
    elevations->addWidget(DiffKnopf);
    elevations->addWidget(KotenKnopf);
    elevations->addStretch(1);
    left->addLayout(elevations);
    auto* angle = new QHBoxLayout;
    angle->addWidget(new QLabel(QStringLiteral("Winkel Bock 35")));
    BOCK35_WINKEL = MakeFloat(QStringLiteral("BOCK35_WINKEL"), page, 1);
    BOCK35_WINKEL->setMinimumWidth(60);
    angle->addWidget(BOCK35_WINKEL);
    angle->addStretch(1);
    left->addLayout(angle);
    outer->addLayout(left, 1);

    outer->addWidget(BuildConnectionArea(), 2);

    connect(DIRECTION, &TRadioGroup::Clicked, this, [this] { DIRECTIONClick(); });
    connect(ABHG_NR, &QLineEdit::textChanged, this, [this] {
        if (m_fromNavigator) return;
        Timer_AbhgNr_Changed->stop();
        Timer_AbhgNr_Changed->start();
    });
    connect(DiffKnopf, &QPushButton::clicked, this, [this] { DiffKnopfClick(); });
    connect(KotenKnopf, &QPushButton::clicked, this, [this] { KotenKnopfClick(); });
    connect(HG_VOR, &QPushButton::clicked, this, [this] { HG_VORClick(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
}

// ---------------------------------------------------------------- start-up

void TFLEK1::FormCreate() {
    TZorbelForm::FormCreate();
    SetMinWidth(700);
    Lversion->setText(QWDateiInfo->DateiVersion());
    setWindowTitle(IvTranslate(QStringLiteral("KORVA2010 for MDS")));
    SavedCaption = windowTitle();
    // Texts the form builds itself follow a language switch as well.
    IvTranslator1->OnLanguageChange = [this](TIvCustomTranslator*) { ShowBuiltTexts(); };
    ENDE->setText(TranslateMenuText(QStringLiteral("Cancel")));
    Weiter->setText(TranslateMenuText(QStringLiteral("Ok")));
    PageControl1->setTabText(0, TranslateMenuText(QStringLiteral("Lasten / Wege")));
    PageControl2->setTabText(0, TranslateMenuText(QStringLiteral("Halterung")));

    // The company settings start every support in metric kN and with the
    // pipe-enclosing parts; the options form changes them later.
    try {
        TTable& firdat = DBGLOBAL->FIRDAT;
        if (!firdat.Active()) firdat.Open();
        firdat.First();
        firdat.Edit();
        for (const char* f : {"F_RSRL_OHNE", "F_EINH_KZ", "F_KN_KG"})
            firdat.FieldByName(QString::fromLatin1(f)).SetAsBoolean(false);
        firdat.Post();
    } catch (const std::exception&) {
    }

    for (QWidget* w : {static_cast<QWidget*>(T9_WINKEL), static_cast<QWidget*>(BOCK35_WINKEL),
                       static_cast<QWidget*>(DiffKnopf), static_cast<QWidget*>(KotenKnopf)})
        w->setEnabled(false);
    DiffKnopf->hide();
    KotenKnopf->hide();
    ShowIfHidden(CB_AS_dreh);
    for (QLineEdit* e : {RDM, static_cast<QLineEdit*>(TEMP), static_cast<QLineEdit*>(ISO), UPOS}) {
        e->setEnabled(false);
        e->setReadOnly(true);
    }
    RDM_BTN->setEnabled(false);

    ReadMdsInputFile();
    for (QWidget* e : {static_cast<QWidget*>(STAT_LAST_HZ), static_cast<QWidget*>(STAT_LAST_HS)}) {
        e->hide();
        for (const char* name : {"korvaCaption", "korvaUnit"})
            if (auto* other = qobject_cast<QWidget*>(e->property(name).value<QObject*>())) other->hide();
    }
    ProjectDatabaseName = CmdProjectDir;
    OpenProject();
    if (m_closing) return;

    if (LEK1Services().LoadRegistrySettings && !LEK1Services().LoadRegistrySettings(*this)) {
        m_closing = true;
        QTimer::singleShot(0, this, [this] { close(); });
        return;
    }
    Stress = StressStateOf(StressCondition::Static);
    CalcGlobals.StressNotDynamic = true;
    CalcGlobals.StressCold = false;
    ShowIfHidden(Panel_LAST_E_ST);
    ShowIfHidden(Panel_WEG_E_ST);
    Panel_LAST_E_DY->hide();
    Panel_WEG_E_DY->hide();
    // The form needs the configurations and the diameters to show; the
    // product tables of the selection open once it is on screen.
    for (TTable* t : {&DBKONST->DURDATDB, &DBKONST->ABHGDB})
        if (!t->Active()) t->Open();
    // The other panels and groups are made hidden when first needed.
    PanelStatic->hide();
    for (TZORBELGroupBox* g : {GroupBoxBuildingConnection, GroupBoxHorizontal}) {
        g->SetPicturePath(ImageDirectory());
        g->SetEnabled(true);
    }
    ConstructionRecord.K_AN_GEB = 75;
    ConstructionRecord.K_KNAG_KZ = true;

    ReadProjectInfo();
    ClearPartsList();
    ReadCompanyOptions();
    InitInputForm();
    FitMinimumSize();
}

QString TFLEK1::ImageDirectory() const { return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("images")); }

void TFLEK1::OpenProject() {
    QString message;
    const auto& check = LEK1Services().CheckProjectFilesAtStart;
    const int code = check ? check(ProjectDatabaseName, &message) : CheckProjectTablesExist(ProjectDatabaseName, &message);
    if (code < 0) {
        // A project that may not be used: the host learns why, and nothing
        // in the directory is touched.
        const QString text = message.isEmpty() ? QStringLiteral("Project directory cannot be used: %1").arg(ProjectDatabaseName)
                                               : message;
        ErrorOk(this, text);
        WriteHostErrorFile(text);
        m_startRefused = true;
        CloseWithoutConfiguration();
        return;
    }
    if (code == 2) QDir().mkpath(ProjectDatabaseName);
    if (code == 1 || code == 2) {
        QString reason;
        if (!CreateNewProject(ProjectDatabaseName, &reason))
            throw std::runtime_error(QStringLiteral("The project tables cannot be created in %1: %2")
                                         .arg(ProjectDatabaseName, reason)
                                         .toStdString());
    }
    if (code == 3 && !QFileInfo::exists(TablePath(ProjectDatabaseName, QStringLiteral("konstz8.db"))) &&
        !CreateKonstzTable(ProjectDatabaseName, QStringLiteral("konstz8.db")))
        throw std::runtime_error(QStringLiteral("konstz8.db cannot be created in %1").arg(ProjectDatabaseName).toStdString());
    CaptionPrefix = ProjectDatabaseName;
    try {
        auto prjinf = MakeProjectTable(ProjectTable::Prjinf);
        prjinf->Open();
        if (!prjinf->IsEmpty()) {
            prjinf->First();
            prjinf->Edit();
            for (const char* f : {"F_RSRL_OHNE", "F_EINH_KZ", "F_KN_KG"})
                prjinf->FieldByName(QString::fromLatin1(f)).SetAsBoolean(false);
            prjinf->Post();
        }
        prjinf->Close();
    } catch (const std::exception&) {
    }
    CopyProjectToOptions();
    // The open project, for whoever looks in the user's settings.
    try {
        TRegistry reg;
        if (reg.OpenKey(ProductKey, true)) reg.WriteString(QStringLiteral("PROJECT_DIR"), ProjectDatabaseName);
    } catch (const std::exception&) {
    }
}


void TFLEK1::CloseWithoutConfiguration() {
    m_closing = true;
    QTimer::singleShot(0, this, [this] { close(); });
}

void TFLEK1::InitInputForm() {
    PageControl1->setCurrentWidget(TabSheet_Load);
    PageControl2->setCurrentWidget(TabSheet_Hanger);
    ExistingDrawingKey = FindStoredSupport(ProjectDatabaseName, MdsHangerMark);
    if (ExistingDrawingKey != 0) {
        LoadedDrawingKey = ExistingDrawingKey;
        CalcGlobals.DrawingKeyText = QStringLiteral("%1").arg(ExistingDrawingKey, 9, 10, QLatin1Char('0'));
        LoadConstruction();
        ConstructionRecord.K_RSRL_OHNE = false;
        ConstructionRecord.K_EINH_KZ = false;
        ConstructionRecord.K_KN_KG = false;
        ConstructionRecord.K_NAHT = QStringLiteral(" ");
    } else {
        ConstructionRecord.K_LFD_NR = int32_t(
            FreeRunningNumber(ProjectDatabaseName, ConstructionRecord.K_NR, ConstructionRecord.K_LFD_NR));
    }
    const UnitMode mode = RecordUnitMode();
    UPOS->setText(MdsHangerMark);
    ZNR->setText(MdsDwgNo);
    ApplyHostIdentification();
    Kept = HostDisplayedValues();
    Show(Kept);
    RDMExit();
    TEMPExit();
    ApplyInsulationExit(Kept.ISO, mode);
    MarkShown(ISO);
    CB_KH_dreh->setChecked(ConstructionRecord.K_DREHUNG_KH);

    const StressCondition condition = StressConditionOfHostConfig(MdsConfig);
    DIRECTION->setEnabled(MdsConfig.isEmpty());

    DIRECTION->SetItemIndex(int(condition));
    DIRECTIONClick();

    ApplyLoadExits(Kept, mode, Stress.notDynamic);
    for (QLineEdit* e : {static_cast<QLineEdit*>(Last), static_cast<QLineEdit*>(STAT_LAST_HZ),
                         static_cast<QLineEdit*>(STAT_LAST_HS), static_cast<QLineEdit*>(Hydrolast),
                         static_cast<QLineEdit*>(DY_L_H), static_cast<QLineEdit*>(DY_L_HZ),
                         static_cast<QLineEdit*>(DY_L_HS), static_cast<QLineEdit*>(Lateral),
                         static_cast<QLineEdit*>(Horizontal), static_cast<QLineEdit*>(Vertikal),
                         static_cast<QLineEdit*>(DY_W_P), static_cast<QLineEdit*>(DY_W_N)})
        MarkShown(e);
    if (!ConstructionRecord.K_HYDTEST_KZ) Hydrolast->SetValue(0);
    ConstructionRecord.K_DREHUNG_AS = MdsJointRotate;
    CB_AS_dreh->setChecked(MdsJointRotate);

    // Tab order of the value fields for the chosen condition.
    QList<QWidget*> order;
    if (Stress.notDynamic)
        order = {Last, STAT_LAST_HZ, STAT_LAST_HS, Hydrolast, RDM, TEMP, ISO, Lateral, Horizontal, Vertikal, UPOS, ZNR, Weiter, OPTIONEN};
    else
        order = {DY_L_H, DY_L_HZ, DY_L_HS, RDM, TEMP, ISO, DY_W_P, DY_W_N, UPOS, ZNR, Weiter, OPTIONEN};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    // The beam profile of the host's joint beam.
    try {
        if (const auto preset = FindProfilePreset(DBKONST->TXTTAB, MdsJointFlangeWidth, MdsJointFlangeThickness)) {
            // The host's profile is chosen among all of the catalogue.
            FillProfileTypes();
            if (ComboBoxProfilTyp->findText(preset->type) < 0) ComboBoxProfilTyp->addItem(preset->type);
            ComboBoxProfilTyp->setCurrentText(preset->type);
            ComboBoxProfilTypChange();
            if (ComboBoxProfileHeight->findText(preset->height) >= 0) {
                ComboBoxProfileHeight->setCurrentText(preset->height);
                LookupProfileName();
            }
        }
    } catch (const std::exception&) {
    }
    if (Configuration.A_NR != 0) {
        T9_WINKEL->SetValue(T9AngleFromHost(Configuration.A_NAME, MdsAlpha));
        ConstructionRecord.K_T9_WINKEL = double(T9_WINKEL->Value());
    }
    if (MdsAlpha35 != 0) ConstructionRecord.K_ALPHA35 = 90 - MdsAlpha35;
    CalcGlobals.Alpha35Angle = ConstructionRecord.K_ALPHA35;
    BOCK35_WINKEL->SetValue(ConstructionRecord.K_ALPHA35);
}

void TFLEK1::OpenSelectionTables() {
    for (TTable* t : {&DBKONST->PGSTAT, &DBKONST->PGRSRL, &DBKONST->PGCOOL, &DBKONST->DURDATDB, &DBKONST->ABHGDB,
                      &DBKONST->TempDB, &DBKONST->PGDYNA, &DBKONST->PGCURE})
        if (!t->Active()) t->Open();
}

void TFLEK1::showEvent(QShowEvent* event) {
    TZorbelForm::showEvent(event);
    if (PageControl2->currentWidget() == TabSheet_Hanger) ABHG_NR->setFocus();
    if (MdsConfig.isEmpty() && !m_closing) {
        const QString text = IvTranslate(QStringLiteral("Der Wert für die Halterungskonfiguration ist leer oder nicht gültig!"));
        // The host is told as well, so it does not wait for an output file.
        WriteHostErrorFile(text);
        m_closing = true;
        QTimer::singleShot(0, this, [this, text] {
            ErrorOk(this, text);
            close();
        });
    }
}

void TFLEK1::resizeEvent(QResizeEvent* event) {
    TZorbelForm::resizeEvent(event);
    PlaceElevationEdits();
    ShowProjectDirectory();
}

// ---------------------------------------------------------------- shown values

DisplayedValues TFLEK1::Shown() const {
    DisplayedValues v = Kept;
    // A value the engineer did not change since the form showed it counts
    // with all its digits, not as rounded for showing.
    auto value = [this](TFloatEdit* e) {
        if (!ChangedSinceShown(e)) return m_exact.value(e->objectName(), 0.0);
        try {
            return double(e->Value());
        } catch (const std::exception&) {
            return 0.0;
        }
    };
    v.Last = value(Last);
    v.STAT_LAST_HZ = value(STAT_LAST_HZ);
    v.STAT_LAST_HS = value(STAT_LAST_HS);
    v.Hydrolast = value(Hydrolast);
    v.DY_L_H = value(DY_L_H);
    v.DY_L_HZ = value(DY_L_HZ);
    v.DY_L_HS = value(DY_L_HS);
    v.Lateral = value(Lateral);
    v.Horizontal = value(Horizontal);
    v.Vertikal = value(Vertikal);
    v.DY_W_P = value(DY_W_P);
    v.DY_W_N = value(DY_W_N);
    v.ISO = value(ISO);
    try {
        v.TEMP = TEMP->Value();
    } catch (const std::exception&) {
        v.TEMP = 0;
    }
    v.RDM = RDM->text();
    return v;
}

void TFLEK1::Show(const DisplayedValues& v) {
    const std::pair<TFloatEdit*, double> values[] = {
        {Last, v.Last},       {STAT_LAST_HZ, v.STAT_LAST_HZ}, {STAT_LAST_HS, v.STAT_LAST_HS},
        {Hydrolast, v.Hydrolast}, {DY_L_H, v.DY_L_H},         {DY_L_HZ, v.DY_L_HZ},
        {DY_L_HS, v.DY_L_HS}, {Lateral, v.Lateral},           {Horizontal, v.Horizontal},
        {Vertikal, v.Vertikal}, {DY_W_P, v.DY_W_P},           {DY_W_N, v.DY_W_N},
        {ISO, v.ISO}};
    for (const auto& [edit, value] : values) {
        edit->SetValue(value);
        MarkShown(edit);
        m_exact[edit->objectName()] = value;
    }
    TEMP->SetValue(v.TEMP);
    MarkShown(TEMP);
    RDM->setText(v.RDM);
    MarkShown(RDM);
    Kept.SteelElevLeft = v.SteelElevLeft;
    Kept.SteelElevRight = v.SteelElevRight;
    Kept.PipeElev = v.PipeElev;
    Kept.SteelWidth = v.SteelWidth;
    Kept.RodLength = v.RodLength;
}

void TFLEK1::RDMExit() {
    const auto e = PipeDiameterExit(RDM->text(), RecordUnitMode(), CalcGlobals.StressCold, CatalogueDiameterLookup());
    if (!e) {
        ErrorOk(this, IvTranslate(QStringLiteral("Wert für Rohrdurchmesser fehlt!")));
        RDM->setFocus();
        return;
    }
    ApplyDiameterExit(*e);
    RDM->setText(e->shown);
    MarkShown(RDM);
}

void TFLEK1::TEMPExit() {
    ShowEmptyAsZero(TEMP);
    try {
        ApplyTemperatureExit(TEMP->Value(), RecordUnitMode());
        MarkShown(TEMP);
    } catch (const std::exception&) {
    }
}

void TFLEK1::ISOExit() {
    try {
        ApplyInsulationExit(double(ISO->Value()), RecordUnitMode());
        MarkShown(ISO);
    } catch (const std::exception&) {
    }
}

void TFLEK1::LoadExits() { ApplyLoadExits(Shown(), RecordUnitMode(), Stress.notDynamic); }

void TFLEK1::ValueFieldExit(TFloatEdit* e) {
    ShowEmptyAsZero(e);
    if (!ChangedSinceShown(e)) return;
    double shown = 0;
    try {
        shown = double(e->Value());
    } catch (const std::exception&) {
        return;  // the edit itself refuses a text that is no number
    }
    if (e == T9_WINKEL)
        ConstructionRecord.K_T9_WINKEL = shown;
    else if (e == FloatEdit1)
        ApplyArmLengthExit(shown, RecordUnitMode());
    else
        ApplyFieldExit(e->objectName(), shown, RecordUnitMode());
    MarkShown(e);
    m_exact[e->objectName()] = shown;
}

bool TFLEK1::TakeShownValues() {
    const std::initializer_list<TFloatEdit*> values = {Last,    STAT_LAST_HZ, STAT_LAST_HS, Hydrolast, DY_L_H,
                                                       DY_L_HZ, DY_L_HS,      Lateral,      Horizontal, Vertikal,
                                                       DY_W_P,  DY_W_N,       ISO,          T9_WINKEL, FloatEdit1};
    for (TFloatEdit* e : values) {
        if (!Shows(e) || !e->isEnabled() || e->isReadOnly()) continue;
        ShowEmptyAsZero(e);
        if (!e->IsValidText()) return Fail(InvalidValueFailure(e->objectName(), e->text(), false));
        ValueFieldExit(e);
    }
    if (TEMP->isVisibleTo(this) && TEMP->isEnabled() && !TEMP->isReadOnly()) {
        ShowEmptyAsZero(TEMP);
        if (!TEMP->IsValidText()) return Fail(InvalidValueFailure(TEMP->objectName(), TEMP->text(), true));
        if (ChangedSinceShown(TEMP)) TEMPExit();
    }
    // The elevations as they stand: an input that cannot be read (also one
    // the engineer emptied) is refused, never replaced by an earlier height.
    for (size_t i = 0; i < ElevationEdits.size(); ++i) {
        TUncHoehe* e = ElevationEdits[i];
        if (!e || (e->text().isEmpty() && !e->isModified())) continue;
        const int error = ReadElevation(int(i) + 1, e->text(), ConstructionRecord.K_ST_E_6, ConstructionRecord.K_EINH_KZ,
                                        Configuration);
        if (error != 0) return Fail(ElevationFailure(e->objectName(), error, e->text(), ConstructionRecord.K_EINH_KZ));
    }
    if (SteelWidthEdit && !(SteelWidthEdit->text().isEmpty() && !SteelWidthEdit->isModified())) {
        const int error = ReadSteelWidth(SteelWidthEdit->text(), ConstructionRecord.K_EINH_KZ, Configuration);
        if (error != 0)
            return Fail(ElevationFailure(SteelWidthEdit->objectName(), error, SteelWidthEdit->text(),
                                         ConstructionRecord.K_EINH_KZ));
    }
    return true;
}

void TFLEK1::ShowHangerMark() {
    QString caption = SavedCaption + QStringLiteral(" [ ");
    if (!UPOS->text().trimmed().isEmpty()) caption += UPOS->text() + QStringLiteral(" / ");
    caption += LFD_NR->text() + QStringLiteral("-3-") + KDN_NR->text();
    if (!ANL_NR->text().trimmed().isEmpty()) caption += QStringLiteral(" ") + ANL_NR->text();
    caption += QStringLiteral(" ]");
    setWindowTitle(caption);
    Label_UPos->setText(UPOS->text());
    lblPrjDir->setToolTip(TranslateMenuText(QStringLiteral("Current Project directory is: ")) + ProjectDatabaseName);
    ShowProjectDirectory();
}

void TFLEK1::ShowProjectDirectory() {
    const QString text = TranslateMenuText(QStringLiteral("Project Directory: ")) + ProjectDatabaseName;
    lblPrjDir->setText(lblPrjDir->fontMetrics().elidedText(text, Qt::ElideMiddle, std::max(40, lblPrjDir->width())));
}

// The form is never smaller than its texts and panels need: at least 700
// pixels wide, wider where the language's texts ask for it.
void TFLEK1::FitMinimumSize() {
    const QSize needed = layout()->totalMinimumSize();
    SetMinWidth(std::max(700, needed.width()));
    SetMinHeight(std::max(600, needed.height()));
    resize(size().expandedTo(minimumSize()));
}

void TFLEK1::ShowBuiltTexts() {
    SavedCaption = IvTranslate(QStringLiteral("KORVA2010 for MDS"));
    ShowHangerMark();
    LabelLoadKind->setText(TranslateMenuText(ConstructionRecord.K_KALWAR_KZ ? QStringLiteral("[ kalt ]")
                                                                           : QStringLiteral("[ warm ]")));
    TEMP->setToolTip(TranslateMenuText(Stress.cold ? QStringLiteral("  Max. 600°C (1100°F)")
                                                   : QStringLiteral("Max. 650°C (1202°F)")));
    const QString info = TranslateMenuText(QStringLiteral("No aditional information needed !"));
    for (QLabel* l : {LabelStaticInfo, LabelColdInfo, LabelDynamicInfo})
        if (l) l->setText(info);
    FitMinimumSize();
    // The connection items keep their choice.
    const auto retranslate = [](TZORBELGroupBox* g, const QStringList& natives) {
        if (!g) return;  // built later in the language then in force
        const int index = g->ItemIndex();
        QStringList items = natives.mid(0, g->Items().size());
        for (QString& t : items)
            t = TranslateMenuText(t);
        g->SetItems(items);
        g->SetItemIndex(index);
    };
    retranslate(GroupBoxBuildingConnection, BuildingConnectionNatives());
    retranslate(ANGEBOHNE, {QStringLiteral("Typ 61 Gewindebügel"), QStringLiteral("Typ 60 Gewindeöse"),
                            QStringLiteral("Typ 63 Sechkantmutter")});
    // A guide with a side force has its force group built.
    const int guide = RGLagerFuehrung ? RGLagerFuehrung->ItemIndex() : 0;
    if (guide == 2)
        RGfx->setTitle(IvTranslate(QStringLiteral("Max. zulässige Seitenkraft")));
    else if (guide == 3)
        RGfx->setTitle(IvTranslate(QStringLiteral("Max. zulässige Seiten- / Abhebekraft")));
}

void TFLEK1::ShowUnitLabels() {
    const TConstructionRecord& k = ConstructionRecord;
    const QSignalBlocker b1(UPOS), b2(ZNR), b3(ANL_NR), b4(LFD_NR), b5(KDN_NR);
    UPOS->setText(RecordText(QStringLiteral("K_POS_NR")));
    ZNR->setText(RecordText(QStringLiteral("K_KDN_ZNR")));
    ANL_NR->setText(RecordText(QStringLiteral("K_NR_ANL")));
    LFD_NR->setText(QString::number(k.K_LFD_NR));
    KDN_NR->setText(QString::number(k.K_NR));
    LabelDate->setText(DateLabelText(k.K_DAT_BEARB, IvFormatSettings().ShortDateFormat));
    ShowHangerMark();
    ShowHangerType();
    const bool imperial = k.K_EINH_KZ;
    for (QLabel* l : LengthUnitLabels)
        l->setText(imperial ? QStringLiteral("inch") : QStringLiteral("mm"));
    for (QLabel* l : LoadUnitLabels)
        l->setText(imperial ? QStringLiteral("lbs") : k.K_KN_KG ? QStringLiteral("kg") : QStringLiteral("kN"));
    TempUnitLabel->setText(imperial ? QStringLiteral("° F") : QStringLiteral("° C"));
    TEMP->SetMinValue(imperial ? 32 : 0);
    TEMP->SetMaxValue(imperial ? 1202 : 650);
    TEMP->setToolTip(TranslateMenuText(Stress.cold ? QStringLiteral("  Max. 600°C (1100°F)") : QStringLiteral("Max. 650°C (1202°F)")));
    ISO->SetPrecision(imperial ? 3 : 2);
    if (FloatEdit1) FloatEdit1->SetPrecision(imperial ? 2 : 0);
    for (TFloatEdit* e : {Lateral, Horizontal, Vertikal, DY_W_P, DY_W_N})
        e->SetPrecision(imperial ? 3 : 2);
    LabelLoadKind->setText(TranslateMenuText(k.K_KALWAR_KZ ? QStringLiteral("[ kalt ]") : QStringLiteral("[ warm ]")));
}

// ---------------------------------------------------------------- configuration

void TFLEK1::DIRECTIONClick() {
    const StressCondition condition = StressCondition(std::max(0, DIRECTION->ItemIndex()));
    Stress = StressStateOf(condition);
    CalcGlobals.StressNotDynamic = Stress.notDynamic;
    CalcGlobals.StressCold = Stress.cold;
    HG_VOR->setVisible(condition != StressCondition::Dynamic);
    Panel_LAST_E_ST->setVisible(Stress.notDynamic);
    Panel_WEG_E_ST->setVisible(Stress.notDynamic);
    Panel_LAST_E_DY->setVisible(!Stress.notDynamic);
    Panel_WEG_E_DY->setVisible(!Stress.notDynamic);
    TTable& abhg = DBKONST->ABHGDB;
    m_firstNr = m_lastNr = 0;
    if (FilterConfigurations(abhg, condition, MdsConfig)) {
        m_firstNr = abhg.FieldByName(QStringLiteral("A_NR")).AsInteger();
        abhg.Last();
        m_lastNr = abhg.FieldByName(QStringLiteral("A_NR")).AsInteger();
        abhg.First();
    }
    ShowUnitLabels();
    const int n = ConstructionRecord.K_A_NR - Stress.base;
    if (ExistingDrawingKey != 0 && n > 0 && n < 100) {
        m_fromProgram = true;
        {
            const QSignalBlocker block(ABHG_NR);
            ABHG_NR->setText(QString::number(n));
        }
        // The stored support's choices, before the configuration's rules
        // write their defaults over them.
        const TConstructionRecord stored = ConstructionRecord;
        ApplyConfiguration(DIRECTION);
        if (PanelStatic->isVisibleTo(this)) {
            TConstructionRecord& k = ConstructionRecord;
            for (Part part : {Part::Traversen, Part::Vertical, Part::Profile}) EnsurePart(part);
            GroupBoxFHTraversen->SetItemIndex(stored.K_FH_TRV_KZ ? 1 : 0);
            k.K_FH_TRV_KZ = stored.K_FH_TRV_KZ;
            GroupBoxVertical->SetItemIndex(stored.K_KNAG_KZ ? 1 : 0);
            k.K_KNAG_KZ = stored.K_KNAG_KZ;
            if (!stored.K_OB_ANSCH) {
                if (stored.K_AN_GEB != 35)
                    GroupBoxBuildingConnection->SetItemIndex(
                        BuildingConnectionItem(stored.K_AN_GEB, int(GroupBoxBuildingConnection->Items().size())));
                if (stored.K_AN_GEB == 78 || stored.K_AN_GEB == 76) RestoreProfile(stored.K_KLM_NR, stored.K_KLM_HH);
            } else {
                GroupBoxBuildingConnection->SetItemIndex(0);
                const int item = stored.K_AN_GEB == 60 ? 1 : stored.K_AN_GEB == 66 ? 2 : 0;
                EnsurePart(Part::Angebohne);
                ANGEBOHNE->SetItemIndex(std::min(item, int(ANGEBOHNE->Items().size()) - 1));
            }
            k.K_AN_GEB = stored.K_AN_GEB;
            if (Shows(PanelExt)) CBwithExtention->setChecked(stored.K_ZUG_DRUCK_KZ);
            GroupBoxHorizontal->SetItemIndex(stored.K_HOR_TYP);
            k.K_HOR_TYP = stored.K_HOR_TYP;
            if (stored.K_RSRL_OHNE) {
                EnsurePart(Part::RsrlOhne);
                RSRLOHNE->SetItemIndex(RsrlOhneItem(stored.K_RSRL_OHNE_NR));
                k.K_RSRL_OHNE_NR = stored.K_RSRL_OHNE_NR;
            }
            FloatEdit1->SetValue(k.K_EINH_KZ ? stored.K_TRAGARM_L_I.trimmed().toDouble() : double(stored.K_TRAGARM_L));
            if (Panel_T9->isVisibleTo(this)) {
                T9_WINKEL->SetValue(stored.K_T9_WINKEL);
                k.K_T9_WINKEL = stored.K_T9_WINKEL;
            }
        }
    } else {
        GroupBoxBuildingConnection->SetItemIndex(1);
        DBNavigator1Click(0);
    }
}

void TFLEK1::DBNavigator1Click(int button) {
    TTable& abhg = DBKONST->ABHGDB;
    if (!abhg.Active() || abhg.IsEmpty()) return;
    switch (button) {
    case 0: abhg.First(); break;
    case 1: abhg.Prior(); break;
    case 2: abhg.Next(); break;
    default: abhg.Last(); break;
    }
    m_fromNavigator = true;
    ApplyConfiguration(DBNavigator1);
    m_fromNavigator = false;
}

void TFLEK1::ApplyConfiguration(QObject* sender) {
    if (m_busy) return;
    m_busy = true;
    struct Clear {
        bool& flag;
        ~Clear() { flag = false; }
    } clear{m_busy};
    TTable& abhg = DBKONST->ABHGDB;
    const auto showRow = [&] {
        const bool was = m_fromNavigator;
        m_fromNavigator = true;
        ABHG_NR->setText(QString::number(abhg.FieldByName(QStringLiteral("A_NR")).AsInteger() - Stress.base));
        ABHG_NR->selectAll();
        m_fromNavigator = was;
    };
    bool fromNavigator = sender == DBNavigator1;
    if (abhg.IsEmpty()) return;
    if (fromNavigator) {
        showRow();
    } else if (ABHG_NR->text().trimmed().isEmpty()) {
        abhg.First();
        showRow();
        fromNavigator = true;
    } else {
        const int wanted = ABHG_NR->text().trimmed().toInt() + Stress.base;
        if (!m_endJump && (wanted == m_lastNr || wanted == m_firstNr)) {
            m_endJump = true;
            if (wanted == m_lastNr) abhg.Last(); else abhg.First();
            showRow();
            fromNavigator = true;
        } else {
            m_endJump = false;
        }
    }
    for (QWidget* w : {static_cast<QWidget*>(PanelCold), static_cast<QWidget*>(PanelColdFreeze),
                       static_cast<QWidget*>(PanelStatic), static_cast<QWidget*>(PanelDynamic)})
        if (w) w->hide();
    Plattmachen();
    ClearConstruction();
    for (QWidget* w : {static_cast<QWidget*>(Weiter), static_cast<QWidget*>(DiffKnopf),
                       static_cast<QWidget*>(KotenKnopf), static_cast<QWidget*>(HG_VOR)})
        w->setEnabled(false);
    if (!fromNavigator) {
        const int wanted = ABHG_NR->text().trimmed().toInt() + Stress.base;
        if (!abhg.Locate(QStringLiteral("A_NR"), {wanted})) {
            // A number without a configuration shows the first one.
            m_endJump = true;
            abhg.First();
            showRow();
        }
    }
    m_fromProgram = false;
    Configuration = ReadConfigurationRow(abhg);
    LoadArrangement();
    const QString& n = Configuration.A_NAME;
    if (ConstructionRecord.K_RSRL_OHNE && NameLetter(n, 1) == u'S' && NameLetter(n, 4) == u'R' && NameLetter(n, 6) == u'L') {
        InformationOkActive(TranslateMenuText(QStringLiteral(
            "Einstellung: 'Ohne rohrumschließende Bauteile' aktiviert, diese Konfiguration ist nicht möglich!")));
        PanelImage->SetConfiguration(Configuration, CurrentPicture());
        return;
    }
    ABHG_NR->end(false);
    ActivateControls();
    m_busy = false;
    if (MdsLengthGiven)
        DiffKnopfClick();
    else if (Configuration.A_ANZ_Q != 0)
        KotenKnopfClick();
    else if (Configuration.A_ANZ_D != 0)
        DiffKnopfClick();
}

void TFLEK1::ActivateControls() {
    ConstructionRecord.K_A_NR = int16_t(Configuration.A_NR);
    const StressCondition condition = StressCondition(std::max(0, DIRECTION->ItemIndex()));
    const PanelLayout layout =
        ConfigureConnectionPanels(PanelInputsOf(Configuration, condition, GroupBoxBuildingConnection->ItemIndex()));
    ApplyLayout(layout);
    PanelImage->SetConfiguration(Configuration, CurrentPicture());
}

QByteArray TFLEK1::CurrentPicture() const {
    try {
        TTable& abhg = DBKONST->ABHGDB;
        if (TField* f = abhg.FindField(QStringLiteral("BILD")); f && !abhg.IsEmpty()) return f->Value().toByteArray();
    } catch (const std::exception&) {
        // A picture that cannot be read gives the drawn placeholder.
    }
    return {};
}

void TFLEK1::GroupBoxBuildingConnectionClick() {
    if (Panel8) Panel8->setVisible(false);
    // The beam profile of the calculation state belongs to a beam clamp
    // chosen now; another connection must not leave the earlier one.
    CalcGlobals.ProfileFlangeWidth = 0;
    CalcGlobals.ProfileFlangeThickness = 0;
    CalcGlobals.ProfileName.clear();
    if (!Gebaude1->isVisibleTo(this)) return;
    const int index = GroupBoxBuildingConnection->ItemIndex();
    const int code = BuildingConnectionCode(index);
    if (code >= 0) ConstructionRecord.K_AN_GEB = int16_t(code);
    if (index == 2 || index == 3) {
        EnsurePart(Part::Profile);
        Panel8->setVisible(true);
        Label6->setVisible(index == 3);
        FloatEdit1->setVisible(index == 3);
        ChooseFirstProfile();
    }
}

void TFLEK1::FillProfileTypes() {
    EnsurePart(Part::Profile);
    if (ComboBoxProfilTyp->count() > 0) return;
    try {
        ComboBoxProfilTyp->addItems(ProfileTypes(DBKONST->TXTTAB));
    } catch (const std::exception&) {
        // Without the text table there is no profile to choose.
    }
}

void TFLEK1::ChooseFirstProfile() {
    FillProfileTypes();
    if (ComboBoxProfilTyp->count() > 0 && ComboBoxProfileHeight->count() == 0) {
        ComboBoxProfilTyp->setCurrentIndex(0);
        ComboBoxProfilTypChange();
    }
}

void TFLEK1::RestoreProfile(int klmNr, int klmHh) {
    // The stored beam clamp's profile: its type by the profile number, its
    // height by the whole height number; the lists show them again so that
    // Ok takes the stored profile, not the first of the list.
    QString type, height;
    try {
        TTable& t = DBKONST->TXTTAB;
        if (!t.Active()) t.Open();
        t.SetFilter(QStringLiteral("TXT_KZ = 'PRF' and TXT_NR = ?"), {klmNr});
        t.SetFiltered(true);
        t.First();
        for (int i = 0; i < 10000 && !t.IsEmpty(); ++i) {
            if (type.isEmpty()) type = t.FieldByName(QStringLiteral("TXT_TEXT")).AsString().trimmed();
            if (std::trunc(t.FieldByName(QStringLiteral("TXT_NUM")).AsFloat()) == klmHh) {
                height = t.FieldByName(QStringLiteral("TXT_PRF_HOEHE")).AsString().trimmed();
                break;
            }
            if (!t.Next()) break;
        }
        t.SetFiltered(false);
        t.SetFilter({});
    } catch (const std::exception&) {
        return;
    }
    GroupBoxBuildingConnectionClick();
    if (type.isEmpty()) return;
    EnsurePart(Part::Profile);
    if (ComboBoxProfilTyp->findText(type) < 0) ComboBoxProfilTyp->addItem(type);
    ComboBoxProfilTyp->setCurrentText(type);
    ComboBoxProfilTypChange();
    if (!height.isEmpty() && ComboBoxProfileHeight->findText(height) >= 0) {
        ComboBoxProfileHeight->setCurrentText(height);
        LookupProfileName();
    }
}

void TFLEK1::ComboBoxProfilTypChange() {
    EnsurePart(Part::Profile);
    ComboBoxProfileHeight->clear();
    try {
        ComboBoxProfileHeight->addItems(ProfileHeights(DBKONST->TXTTAB, ComboBoxProfilTyp->currentText()));
    } catch (const std::exception&) {
    }
    if (ComboBoxProfileHeight->count() > 0) ComboBoxProfileHeight->setCurrentIndex(0);
    LookupProfileName();
}

void TFLEK1::LookupProfileName() {
    EnsurePart(Part::Profile);
    TConstructionRecord& k = ConstructionRecord;
    try {
        TTable& t = DBKONST->TXTTAB;
        if (!t.Active()) t.Open();
        // The chosen texts are bound values of the filter.
        t.SetFilter(QStringLiteral("TXT_KZ = 'PRF' and TXT_TEXT = ? and TXT_PRF_HOEHE = ?"),
                    {ComboBoxProfilTyp->currentText(), ComboBoxProfileHeight->currentText()});
        t.SetFiltered(true);
        t.First();
        if (!t.IsEmpty()) {
            k.K_KLM_NR = int16_t(t.FieldByName(QStringLiteral("TXT_NR")).AsInteger());
            k.K_KLM_HH = int16_t(std::trunc(t.FieldByName(QStringLiteral("TXT_NUM")).AsFloat()));
            k.K_KLM_TXT = t.FieldByName(QStringLiteral("TXT_PRF_NAME")).AsString().left(255);
            CalcGlobals.ProfileFlangeWidth = int16_t(std::trunc(t.FieldByName(QStringLiteral("TXT_PRF_B")).AsFloat()));
            CalcGlobals.ProfileFlangeThickness = int16_t(std::trunc(t.FieldByName(QStringLiteral("TXT_PRF_T")).AsFloat()));
            CalcGlobals.ProfileName = k.K_KLM_TXT;
            ComboBoxProfil_Name->setEditText(k.K_KLM_TXT);
        }
        t.SetFiltered(false);
        t.SetFilter({});
    } catch (const std::exception&) {
        k.K_KLM_NR = 0;
        k.K_KLM_HH = 0;
        k.K_KLM_TXT.clear();
        CalcGlobals.ProfileFlangeWidth = 0;
        CalcGlobals.ProfileFlangeThickness = 0;
        CalcGlobals.ProfileName.clear();
    }
}

void TFLEK1::RGLagerFuehrungClick() {
    const int index = RGLagerFuehrung->ItemIndex();
    EnsurePart(Part::SideForce);
    if (index > 1) ChooseFirstProfile();
    if (index == 2) {
        RGfx->setTitle(IvTranslate(QStringLiteral("Max. zulässige Seitenkraft")));
        RGfx->SetItems({QStringLiteral("Fx = 1,0 kN"), QStringLiteral("Fx = 1,7 kN"), QStringLiteral("Fx = 2,8 kN"),
                        QStringLiteral("Fx = 4,7 kN")});
    } else if (index == 3) {
        RGfx->setTitle(IvTranslate(QStringLiteral("Max. zulässige Seiten- / Abhebekraft")));
        RGfx->SetItems({QStringLiteral("Fx = 1,0 kN    /    Fz = 3,5 kN"), QStringLiteral("Fx = 1,7 kN    /    Fz = 4,5 kN"),
                        QStringLiteral("Fx = 2,8 kN    /    Fz = 6,5 kN"), QStringLiteral("Fx = 4,7 kN    /    Fz = 6,5 kN")});
    }
    RGfx->setVisible(index > 1);
    RGfx->setEnabled(index > 1);
    if (Panel8) Panel8->setVisible(index > 1);
    // The side-force items are new buttons: Tab reaches them where they stand.
    if (index > 1) OrderConnectionFocus();
    ConstructionRecord.K_RLFUEHRUNG_ZHL = int16_t(std::max(0, index));
}

void TFLEK1::HG_VORClick() {
    TFTyp dialog(this);
    dialog.exec();
    ShowHangerType();
}

void TFLEK1::ShowHangerType() {
    LabelHangerType->setText(
        HangerTypeLabel(ConstructionRecord.K_VGB_KZ, QString::fromLatin1(CalcGlobals.PreselectedLoadNumber, 6)));
}

void TFLEK1::Button5Click() {
    for (char& c : CalcGlobals.PreselectedLoadNumber)
        c = '0';
    CalcGlobals.PreselectedProductNumber = 0;
    ConstructionRecord.K_VGB_KZ = false;
    ShowHangerType();
}

void TFLEK1::RDM_BTNClick() {
    std::unique_ptr<TFHelpDurdat> dialog;
    if (Stress.cold)
        dialog = std::make_unique<TFHelpDurdatCold>(this, RDM);
    else
        dialog = std::make_unique<TFHelpDurdat>(this, RDM);
    if (dialog->exec() == QDialog::Accepted) RDMExit();
}

// ---------------------------------------------------------------- elevations

bool TFLEK1::CheckPlausibility() {
    const TConstructionRecord& k = ConstructionRecord;
    const RuleMessage m = CheckConfigPlausibility(Configuration.A_NAME, k.K_RSRL_OHNE, QString::fromLatin1(k.K_RDM_KZ, 1),
                                                  k.K_WEG_X, k.K_WEG_Y, k.K_WEG_Z, k.K_RDM);
    if (m.kind == RuleMessage::None) return true;
    QStringList parts;
    for (const QString& s : m.parts)
        parts << IvTranslate(s);
    if (m.kind == RuleMessage::Error) {
        ErrorOk(this, parts.join(u' '));
        Weiter->setEnabled(false);
        return false;
    }
    return ConfirmationYesNo(this, parts.join(u' ')) == mr::Yes;
}

void TFLEK1::Plattmachen() {
    for (const QPointer<TUncHoehe>& e : ElevationEdits)
        delete e.data();
    ElevationEdits.clear();
    delete SteelWidthEdit.data();
    SteelWidthEdit = nullptr;
    m_elevationPoints.clear();
}

void TFLEK1::DiffKnopfClick() { OpenElevations(true); }
void TFLEK1::KotenKnopfClick() { OpenElevations(false); }

void TFLEK1::OpenElevations(bool differences) {
    if (!CheckPlausibility()) return;
    Plattmachen();
    ClearConstruction();
    Configuration = ReadConfigurationRow(DBKONST->ABHGDB);
    const ElevationKind kind = differences ? ElevationKind::Differences : ElevationKind::Absolute;
    const bool imperial = ConstructionRecord.K_EINH_KZ;
    ElevationInputs in = PrefillElevations(Configuration, kind, Kept, MdsConfig, MdsPipeSize, imperial);
    ConstructionRecord.K_ST_E_6 = differences;
    ConstructionRecord.K_H_ZHL = int16_t(in.count);
    Weiter->setEnabled(true);
    for (int i = 0; i < in.count; ++i) {
        auto* e = new TUncHoehe(PanelImage);
        e->setObjectName(QStringLiteral("Elevation%1").arg(i + 1));
        e->SetUNC(imperial);
        e->setFixedWidth(ElevationEditWidth(*e, differences ? 40 : 50, imperial));
        e->setText(QString());
        const int slot = i + 1;
        connect(e, &QLineEdit::editingFinished, this, [this, slot] { ElevationDialogCheck(slot); });
        e->installEventFilter(this);
        ElevationEdits.push_back(e);
        m_elevationPoints.push_back(differences ? QPoint(Configuration.DX[std::min(i, 3)], Configuration.DY[std::min(i, 3)])
                                                : QPoint(Configuration.QX[std::min(i, 4)], Configuration.QY[std::min(i, 4)]));
        e->show();
    }
    if (Configuration.BX > 0) {
        SteelWidthEdit = new TUncHoehe(PanelImage);
        SteelWidthEdit->setObjectName(QStringLiteral("SteelWidth"));
        SteelWidthEdit->SetUNC(imperial);
        SteelWidthEdit->setFixedWidth(ElevationEditWidth(*SteelWidthEdit, 50, imperial));
        SteelWidthEdit->setText(QString());
        SteelWidthEdit->installEventFilter(this);
        connect(SteelWidthEdit, &QLineEdit::editingFinished, this, [this] { SteelWidthExit(); });
        m_steelWidthPoint = QPoint(Configuration.BX, Configuration.BY);
        SteelWidthEdit->show();
    }
    PlaceElevationEdits();

    // A stored support shows its own heights first; the host's kept
    // elevations then take their inputs.
    if (!differences && ExistingDrawingKey != 0) {
        LoadConstructionDims();
        for (int i = 0; i < in.count; ++i) {
            const double* mm[] = {&ConstructionRecord.K_HM_Q_1, &ConstructionRecord.K_HM_Q_2, &ConstructionRecord.K_HM_Q_3,
                                  &ConstructionRecord.K_HM_Q_4, &ConstructionRecord.K_HM_Q_5, &ConstructionRecord.K_HM_Q_6};
            const QString* ft[] = {&ConstructionRecord.K_HI_Q_F_1, &ConstructionRecord.K_HI_Q_F_2, &ConstructionRecord.K_HI_Q_F_3,
                                   &ConstructionRecord.K_HI_Q_F_4, &ConstructionRecord.K_HI_Q_F_5, &ConstructionRecord.K_HI_Q_F_6};
            ElevationEdits[size_t(i)]->setText(imperial ? ft[i]->trimmed() : QString::number(qlonglong(*mm[i])));
        }
    }
    for (int i = 0; i < in.count; ++i) {
        if (in.texts[i].isEmpty()) continue;
        ElevationEdits[size_t(i)]->setText(in.texts[i]);
        ReadElevation(i + 1, in.texts[i], differences, imperial, Configuration);
        ElevationEdits[size_t(i)]->setEnabled(in.enabled[i]);
    }
    if (SteelWidthEdit && !in.steelWidth.isEmpty()) {
        SteelWidthEdit->setText(in.steelWidth);
        SteelWidthExit();
    }
    if (!ElevationEdits.empty() && isVisible() && ElevationEdits.front()->isEnabled()) ElevationEdits.front()->setFocus();
}

void TFLEK1::PlaceElevationEdits() {
    if (!PanelImage) return;
    for (size_t i = 0; i < ElevationEdits.size() && i < m_elevationPoints.size(); ++i)
        if (TUncHoehe* e = ElevationEdits[i])
            e->move(PicturePoint(m_elevationPoints[i].x(), m_elevationPoints[i].y(), e->height(), true));
    if (SteelWidthEdit)
        SteelWidthEdit->move(PicturePoint(m_steelWidthPoint.x(), m_steelWidthPoint.y(), SteelWidthEdit->height(), true));
}

void TFLEK1::ElevationDialogCheck(int slot) {
    if (slot < 1 || slot > int(ElevationEdits.size())) return;
    TUncHoehe* e = ElevationEdits[size_t(slot - 1)];
    if (!e) return;
    const bool differences = ConstructionRecord.K_ST_E_6;
    const int error = ReadElevation(slot, e->text(), differences, ConstructionRecord.K_EINH_KZ, Configuration);
    if (error != 0) {
        const InputCheckFailure f = ElevationFailure(e->objectName(), error, e->text(), ConstructionRecord.K_EINH_KZ);
        // A part that is no number is the class library's conversion error:
        // shown as the numeric edits show theirs, an error box with a full
        // stop. The numbered errors keep their information box.
        if (f.messageNumber == 0)
            ShowApplicationException(EConvertError(f.message.toStdString()));
        else
            InformationOkActive(TranslateMenuText(FailureText(f)));
        if (!differences || e->isEnabled()) QTimer::singleShot(0, e, [e] { e->setFocus(); });
        return;
    }
    const int from = NameLetter(Configuration.A_NAME, 5) == u'D' ? 3 : 2;
    const double q[] = {ConstructionRecord.K_HM_Q_1, ConstructionRecord.K_HM_Q_2, ConstructionRecord.K_HM_Q_3,
                        ConstructionRecord.K_HM_Q_4, ConstructionRecord.K_HM_Q_5, ConstructionRecord.K_HM_Q_6};
    if (slot >= from && q[slot - 2] < q[slot - 1]) InformationOkActive(TranslateMenuText(ErrorText(2710)));
}

void TFLEK1::SecondElevationEnter(TUncHoehe* e) {
    if (ElevationEdits.size() < 2 || e != ElevationEdits[1] || NameLetter(Configuration.A_NAME, 5) != u'D') return;
    if (e->Value() == 0 && e->FehlerCode() == 0 && ElevationEdits[0]) e->setText(ElevationEdits[0]->text());
    e->selectAll();
}

void TFLEK1::SteelWidthEnter() {
    if (!SteelWidthEdit) return;
    // The minimum is the one Ok computed for its selection: before the
    // first Ok there is none to propose, and the input keeps what it shows.
    // A text that cannot be read counts as below it (-1).
    const int32_t minimum = MinElevationDiffValue;
    if (minimum > 0 && SteelWidthEdit->Value() < minimum)
        SteelWidthEdit->setText(SteelWidthProposal(minimum, ConstructionRecord.K_EINH_KZ));
    SteelWidthEdit->selectAll();
}

void TFLEK1::SteelWidthExit() {
    if (!SteelWidthEdit) return;
    QString shown;
    const int error = ReadSteelWidth(SteelWidthEdit->text(), ConstructionRecord.K_EINH_KZ, Configuration, &shown);
    if (error != 0) {
        QTimer::singleShot(0, SteelWidthEdit.data(), [e = SteelWidthEdit] {
            if (e) e->setFocus();
        });
        return;
    }
    SteelWidthEdit->setText(shown);
}

// ---------------------------------------------------------------- keys

bool TFLEK1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == this && event->type() == QEvent::Paint && !m_selectionTablesPending) {
        // Once the form is painted the engineer sees it; the tables the
        // selection reads open next, before the first key is handled.
        m_selectionTablesPending = true;
        removeEventFilter(this);
        QTimer::singleShot(0, this, [this] {
            if (!m_closing) OpenSelectionTables();
        });
        return false;
    }
    if (event->type() == QEvent::FocusIn) {
        if (watched == SteelWidthEdit.data())
            SteelWidthEnter();
        else if (auto* e = qobject_cast<TUncHoehe*>(watched))
            SecondElevationEnter(e);
    }
    return TZorbelForm::eventFilter(watched, event);
}

bool TFLEK1::FormKeyDown(QKeyEvent* event) {
    QWidget* focus = QApplication::focusWidget();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    // Elevation inputs report their focus here as well.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* b = qobject_cast<QPushButton*>(focus)) {
            b->click();
            return true;
        }
        focusNextChild();
        return true;
    case Qt::Key_PageDown: focusNextChild(); return true;
    case Qt::Key_PageUp: focusPreviousChild(); return true;
    case Qt::Key_Down:
        if (qobject_cast<QListWidget*>(focus) || qobject_cast<QComboBox*>(focus)) return false;
        focusNextChild();
        return true;
    case Qt::Key_Up:
        if (qobject_cast<QListWidget*>(focus) || qobject_cast<QComboBox*>(focus)) return false;
        focusPreviousChild();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (!ctrl || !focus || focus->objectName().isEmpty()) return false;
        DBNavigator1Click(event->key() == Qt::Key_Left ? 1 : 2);
        return true;
    case Qt::Key_End:
        if (focus == ABHG_NR) {
            Timer_AbhgNr_Changed->stop();
            ApplyConfiguration(Timer_AbhgNr_Changed);
            if (DiffKnopf->isEnabled() && DiffKnopf->isVisible())
                DiffKnopf->setFocus();
            else if (Weiter->isEnabled())
                Weiter->setFocus();
            return true;
        }
        if (!ElevationEdits.empty() && focus == ElevationEdits.back().data()) {
            ElevationDialogCheck(int(ElevationEdits.size()));
            if (Weiter->isEnabled()) Weiter->setFocus();
            return true;
        }
        focusNextChild();
        return true;
    case Qt::Key_F10:
        QGuiApplication::clipboard()->setText(ProjectDatabaseName);
        return true;
    case Qt::Key_Escape:
        return true;  // Esc does not close the main form
    default: return false;
    }
}

// ---------------------------------------------------------------- options and language

void TFLEK1::ConvertDisplayedUnits(UnitMode from) {
    const UnitMode to = RecordUnitMode();
    if (from == to) return;
    DisplayedValues v = Shown();
    QStringList texts;
    for (const QPointer<TUncHoehe>& e : ElevationEdits)
        texts << (e ? e->text() : QString());
    SwitchUnits(v, texts, from, to, Stress.notDynamic, ConstructionRecord.K_ST_E_6, Configuration);
    ShowUnitLabels();
    Show(v);
    if (from.imperial == to.imperial) return;
    // The arm length keeps its length in the other unit.
    EnsurePart(Part::Profile);
    FloatEdit1->SetValue(MmToLength(ConstructionRecord.K_TRAGARM_L, to));
    MarkShown(FloatEdit1);
    if (to.imperial) ConstructionRecord.K_TRAGARM_L_I = FormatNumber(Extended(FloatEdit1->Value()));
    // The elevation inputs follow the new units and keep their heights.
    for (size_t i = 0; i < ElevationEdits.size(); ++i) {
        if (!ElevationEdits[i]) continue;
        ElevationEdits[i]->SetUNC(to.imperial);
        ElevationEdits[i]->setFixedWidth(
            ElevationEditWidth(*ElevationEdits[i], ConstructionRecord.K_ST_E_6 ? 40 : 50, to.imperial));
        ElevationEdits[i]->setText(texts.value(int(i)));
    }
    if (SteelWidthEdit) SteelWidthEdit->setFixedWidth(ElevationEditWidth(*SteelWidthEdit, 50, to.imperial));
    if (SteelWidthEdit && !SteelWidthEdit->text().isEmpty()) {
        SteelWidthEdit->SetUNC(to.imperial);
        SteelWidthEdit->setText(SteelWidthText(ConstructionRecord.K_BREITE_2, to.imperial));
    }
}

void TFLEK1::OPTIONENClick() {
    const UnitMode before = RecordUnitMode();
    const auto& show = LEK1Services().ShowOptions;
    if (!show) {
        InformationOk(this, QStringLiteral("The options form is not part of this build."));
        return;
    }
    const CompanyOptionValues started = ReadCompanyOptionValues();
    hide();
    show(this);
    this->show();
    TakeChangedOptions(started);
    ConvertDisplayedUnits(before);
    ShowUnitLabels();
}

// What the engineer changed in the options form is the support's now (the
// unit flags, the catalogue, reserves ...); what was left as it was leaves
// the support alone, so a stored support keeps the values it was stored
// with. A stored support keeps its drawing and running number whatever the
// options say: they are its key, and another key would store it a second
// time. A new support takes changed numbers as the start does, past the
// running numbers stored supports of its drawing hold. The record's values
// stay metric.
void TFLEK1::TakeChangedOptions(const CompanyOptionValues& started) {
    TConstructionRecord& k = ConstructionRecord;
    const bool stored = LoadedDrawingKey != 0;
    const QStringList key{QStringLiteral("F_NR"), QStringLiteral("F_LFD_NR")};
    const QStringList taken = ReadChangedCompanyOptions(started, stored ? key : QStringList{});
    if (stored || !(taken.contains(key[0]) || taken.contains(key[1]))) return;
    const CompanyOptionValues now = ReadCompanyOptionValues();
    k.K_NR = int32_t(now.value(key[0]).toInt());
    k.K_LFD_NR = int32_t(FreeRunningNumber(ProjectDatabaseName, k.K_NR, now.value(key[1]).toInt()));
}

void TFLEK1::Button1Click() {
    if (LEK1Services().ChooseLanguage) LEK1Services().ChooseLanguage(this);
}

void TFLEK1::Button2Click() {
    try {
        TTable& firdat = DBGLOBAL->FIRDAT;
        if (!firdat.Active()) firdat.Open();
        firdat.First();
        firdat.Edit();
        const bool cold = !firdat.FieldByName(QStringLiteral("F_KALWAR_KZ")).AsBoolean();
        firdat.FieldByName(QStringLiteral("F_KALWAR_KZ")).SetAsBoolean(cold);
        firdat.Post();
        ConstructionRecord.K_KALWAR_KZ = cold;
    } catch (const std::exception&) {
        ConstructionRecord.K_KALWAR_KZ = !ConstructionRecord.K_KALWAR_KZ;
    }
    LabelLoadKind->setText(TranslateMenuText(ConstructionRecord.K_KALWAR_KZ ? QStringLiteral("[ kalt ]")
                                                                           : QStringLiteral("[ warm ]")));
}

// ---------------------------------------------------------------- Ok road

bool TFLEK1::Fail(const InputCheckFailure& f) {
    const QString text = FailureText(f);
    QApplication::restoreOverrideCursor();
    if (f.activeOwner)
        ErrorOkActive(TranslateMenuText(text));
    else
        ErrorOk(this, IvTranslate(text));
    WriteHostErrorFile(IvTranslate(text));
    if (!f.focus.isEmpty())
        if (auto* w = findChild<QWidget*>(f.focus)) w->setFocus();
    return false;
}

void TFLEK1::TakeConnectionChoices() {
    TConstructionRecord& k = ConstructionRecord;
    if (Gebaude1->isVisibleTo(this) && GroupBoxBuildingConnection->isVisibleTo(this)) {
        const int code = BuildingConnectionCode(GroupBoxBuildingConnection->ItemIndex());
        if (code >= 0) k.K_AN_GEB = int16_t(code);
        if (code == 78 || code == 76) LookupProfileName();
    }
    // The bearing guide with lateral guide takes its beam profile as well.
    if (Shows(RGLagerFuehrung) && RGLagerFuehrung->ItemIndex() > 1) LookupProfileName();
    if (Shows(GroupBoxVertical))
        k.K_KNAG_KZ = GroupBoxVertical->ItemIndex() == 1;
    else
        k.K_KNAG_KZ = true;
    if (Shows(ANGEBOHNE))
        if (const int c = AngebohneCode(ANGEBOHNE->ItemIndex()); c >= 0) k.K_AN_GEB = int16_t(c);
    if (Shows(RSRLOHNE))
        if (const int c = RsrlOhneCode(RSRLOHNE->ItemIndex()); c >= 0) k.K_RSRL_OHNE_NR = int16_t(c);
    k.K_T49G_KZ = Shows(BaseClampStyleBox) ? QString::number(std::max(0, BaseClampStyleBox->ItemIndex()))
                                                       : QStringLiteral(" ");
}

void TFLEK1::WeiterClick() {
    TConstructionRecord& k = ConstructionRecord;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Cursor {
        ~Cursor() {
            while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
        }
    } cursor;
    STORE->setEnabled(false);
    PageControl1->setCurrentWidget(TabSheet_Load);
    // A field being edited when Ok is pressed counts as left, and Ok takes
    // every value as the screen shows it.
    if (auto* e = qobject_cast<QLineEdit*>(QApplication::focusWidget())) emit e->editingFinished();
    if (!TakeShownValues()) return;

    if (const auto f = CheckLoadsAndDiameter(Stress.notDynamic, Stress.cold, k.K_RSRL_OHNE, k.K_LAST, k.K_LAST_DYN_2,
                                             k.K_LAST_DYN_3, k.K_RDM))
        return void(Fail(*f));
    MinElevationDiffValue = MinElevationDiff(k.K_LAST, k.K_RDM, k.K_DAEMMST);
    const Type41Result t41 = CheckType41Limits(GroupBoxHorizontal->isVisibleTo(this), GroupBoxHorizontal->ItemIndex(),
                                               k.K_RSRL_OHNE, Configuration.A_NAME, k.K_DAEMMST, k.K_TEM);
    for (const QString& m : t41.messages)
        InformationOkActive(TranslateMenuText(m));
    if (t41.panelT9 >= 0) {
        Panel_T9->setVisible(t41.panelT9 == 1);
        if (t41.panelT9 == 0) chkbEinlegeblech->setChecked(false);
    }
    k.K_HOR_TYP = int16_t(t41.horTyp);
    if (!t41.ok) return;
    TakeConnectionChoices();

    if (const auto f = CheckSteelWidth(Configuration.BX, k.K_BREITE)) return void(Fail(*f));
    if (Shows(PanelColdFreeze)) {
        k.K_CLD_ISO_IDX = int16_t(LBinsulThick->currentRow());
        if (const auto f = CheckInsulationChosen(true, LBinsulThick->currentRow())) return void(Fail(*f));
    }
    if (Shows(PanelCold) && Shows(PanelWegeingabe)) {
        try {
            const double shown = double(WEG_S_T532->Value());
            k.K_BREITE = LengthToMm(shown, RecordUnitMode());
            if (k.K_EINH_KZ) k.K_BREITE_I = WEG_S_T532->text();
        } catch (const std::exception&) {
            k.K_BREITE = 0;
        }
        if (const auto f = CheckAdjustmentTravel(true, k.K_BREITE)) return void(Fail(*f));
    }
    if (Shows(PanelCold) && Shows(Stanchion)) {
        k.K_STANCHION_ZHL = int16_t(Stanchion->ItemIndex());
        if (const auto f = CheckStanchionChosen(true, Stanchion->ItemIndex())) return void(Fail(*f));
    }
    try {
        TTable& firdat = DBGLOBAL->FIRDAT;
        if (!firdat.Active()) firdat.Open();
        firdat.First();
        k.K_WINKEL_KZ = firdat.FieldByName(QStringLiteral("F_WINKEL_KZ")).AsBoolean();
    } catch (const std::exception&) {
    }

    int result = 8;
    if (const auto& select = LEK1Services().RunSelectSupport) {
        try {
            OpenSelectionTables();
            // A guide or material never built stands at its first item.
            const int guide = RGLagerFuehrung ? std::max(0, RGLagerFuehrung->ItemIndex()) : 0;
            const int material = gbType40Material ? std::max(0, gbType40Material->ItemIndex()) : 0;
            result = select(this, guide, material, true);
        } catch (const std::exception& e) {
            // A selection that cannot run to its end is no result; the host
            // learns why.
            const QString text = QString::fromLocal8Bit(e.what());
            ErrorOk(this, text);
            WriteHostErrorFile(text);
            return;
        }
    } else {
        ErrorOk(this, QStringLiteral("The selection is not part of this build."));
    }
    // The selection may have let a pre-selected hanger type go.
    ShowHangerType();
    if (result > 4) {
        WriteHostErrorFile(QStringLiteral("Error no. %1").arg(result));
        return;
    }

    PrepareAcceptedSupport(Stress.notDynamic, Stress.cold);
    STORE->setEnabled(true);
    try {
        if (STOREClick() == StoreResult::KeyTaken) {
            const QString text = FormatIntegers(
                TranslateMenuText(ErrorText(1711)) + QLatin1Char('\r') + TranslateMenuText(QStringLiteral("Check")) +
                    QStringLiteral(" ") + TranslateMenuText(QStringLiteral("Optionen")) + QStringLiteral(" -> ") +
                    TranslateMenuText(QStringLiteral("Systemeinstellungen")),
                {k.K_LFD_NR, k.K_NR});
            ErrorOkActive(text);
            // Nothing was stored, so no output file either: the host learns
            // why from the error file, and the engineer can change the
            // numbers in the options and confirm again. A file of an earlier
            // run would pass for this one's result. A FIFO or a device the
            // host named stays.
            RemoveEarlierOutput(OutputFileName, nullptr);
            WriteHostErrorFile(QString(text).replace(QLatin1Char('\r'), QLatin1Char(' ')));
            return;
        }
        const auto& write = LEK1Services().WritePmlFile;
        if (!write) throw std::runtime_error("The output file writer is not part of this build.");
        write(OutputFileName, 0);
    } catch (const std::exception& e) {
        // Nothing half-written stays behind for the host to read, nor the
        // file of an earlier run, which would pass for this one's result;
        // a FIFO or a device the host named stays.
        RemoveEarlierOutput(OutputFileName, nullptr);
        const QString text = QString::fromLocal8Bit(e.what());
        WriteHostErrorFile(text);
        ErrorOk(this, text);
        return;
    }
    RemoveHostErrorFile();
    m_completed = true;
    close();
}

TFLEK1::StoreResult TFLEK1::STOREClick() {
    TConstructionRecord& k = ConstructionRecord;
    // A new support moves the running number on in the store's own commit.
    const StoreOutcome outcome = StoreSupportWaiting(LoadedDrawingKey, 10000, RunningNumber::Advance);
    if (outcome == StoreOutcome::KeyTaken) return StoreResult::KeyTaken;
    if (outcome == StoreOutcome::Inserted) LoadedDrawingKey = k.K_F_NR_AUS;
    return StoreResult::Stored;
}

void TFLEK1::ENDEClick() { close(); }

void TFLEK1::closeEvent(QCloseEvent* event) {
    TZorbelForm::closeEvent(event);
    if (event->isAccepted()) emit Closed();
}

// ---------------------------------------------------------------- runner

int RunInputForm() {
    std::unique_ptr<TFLEK1> form;
    try {
        form = std::make_unique<TFLEK1>();
    } catch (const std::exception& e) {
        // The host learns why the form could not start.
        WriteHostErrorFile(QString::fromLocal8Bit(e.what()));
        ErrorOk(nullptr, QString::fromLocal8Bit(e.what()));
        return 3;
    }
    ShownReporter reporter;
    if (qEnvironmentVariableIsSet("KORVA_EXIT_WHEN_SHOWN")) reporter.Watch(form.get());
    // The form is hidden while the options form runs, and boxes come and go
    // above both: only the form's own closing ends the program, never the
    // closing of whatever window happens to be the last one shown.
    const bool quitOnLast = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);
    SetApplicationMainForm(form.get());
    const auto restore = qScopeGuard([quitOnLast] {
        SetApplicationMainForm(nullptr);
        QApplication::setQuitOnLastWindowClosed(quitOnLast);
    });
    QObject::connect(form.get(), &TFLEK1::Closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    form->show();
    QApplication::exec();
    // A refused project ends the start like any failed start.
    return form->StartRefused() ? 3 : 0;
}
