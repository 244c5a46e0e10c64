#include "forms/LEK1Parts.h"

#include "data/FIRAUFKON.h"
#include "data/GlobalFuncs.h"
#include "forms/LEK1.h"
#include "localisation/IvMulti.h"
#include "ui/ValCtrls.h"
#include "ui/ZORBELGroupBox.h"
#include "ui/ZO_MsgDlgBoxs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <iterator>

namespace lek1 {

namespace {
const char* const ShownProperty = "korvaShown";
}  // namespace

void MarkShown(QLineEdit* e) { e->setProperty(ShownProperty, e->text()); }
bool ChangedSinceShown(const QLineEdit* e) { return e->text() != e->property(ShownProperty).toString(); }

QStringList BuildingConnectionNatives() {
    return {QStringLiteral("Typ 75 - Anschweißöse"), QStringLiteral("Typ 73 - Anschweißbügel"),
            QStringLiteral("Typ 78 - Trägerklammer"), QStringLiteral("Typ 76 - Tragarm mit Spannklammer"),
            QStringLiteral("Typ 74 - Anschweißplatte")};
}

TFloatEdit* MakeFloat(const QString& name, QWidget* parent, int precision) {
    auto* e = new TFloatEdit(parent, TFloatView::fvFixed, precision);
    e->setObjectName(name);
    e->setMaximumWidth(110);
    return e;
}

QLabel* MakeLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QFrame* MakePanel(const QString& name, QWidget* parent) {
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    return f;
}

QFrame* MakeCheckPanel(const QString& name, const QString& boxName, const QString& text, QWidget* parent,
                       QCheckBox*& box) {
    QFrame* panel = MakePanel(name, parent);
    box = new QCheckBox(text, panel);
    box->setObjectName(boxName);
    (new QVBoxLayout(panel))->addWidget(box);
    return panel;
}

TZORBELGroupBox* MakePictureGroup(const QString& name, const QString& title, const QStringList& items,
                                  const QStringList& pictures, QWidget* parent, int height) {
    auto* g = new TZORBELGroupBox(parent);
    g->setObjectName(name);
    g->setTitle(title);
    g->BeginReading();
    g->SetPictureFileNames(pictures);
    g->SetItems(items);
    g->EndReading();
    g->setMinimumHeight(height);
    return g;
}

void InsertInOrder(QBoxLayout* layout, QWidget* widget, const QStringList& order) {
    const qsizetype rank = order.indexOf(widget->objectName());
    int at = layout->count();
    for (int i = 0; i < layout->count(); ++i) {
        const QWidget* w = layout->itemAt(i)->widget();
        const qsizetype r = w ? order.indexOf(w->objectName()) : -1;
        if (r < 0 || r > rank) {
            at = i;
            break;
        }
    }
    layout->insertWidget(at, widget);
}

namespace {

void LayoutWidgets(QLayout* layout, QList<QWidget*>& out) {
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (QWidget* w = item->widget()) out << w;
        else if (QLayout* inner = item->layout()) LayoutWidgets(inner, out);
    }
}

void CollectStops(QWidget* w, QList<QWidget*>& out) {
    QList<QWidget*> ordered;
    if (w->layout()) LayoutWidgets(w->layout(), ordered);
    for (QObject* o : w->children())
        if (auto* c = qobject_cast<QWidget*>(o); c && !c->isWindow() && !ordered.contains(c)) ordered << c;
    for (QWidget* c : ordered) {
        if (c->focusPolicy() != Qt::NoFocus) out << c;
        else CollectStops(c, out);
    }
}

}  // namespace

QList<QWidget*> FocusStops(QWidget* root) {
    QList<QWidget*> out;
    CollectStops(root, out);
    return out;
}

void ChainFocus(QWidget* after, const QList<QWidget*>& stops) {
    QWidget* previous = after;
    for (QWidget* w : stops) {
        if (previous) QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

}  // namespace lek1

using namespace lek1;

namespace {

// Where each widget stands in its panel, top to bottom.
const QStringList& OrderIn(const QWidget* container) {
    static const QStringList panels = {QStringLiteral("PanelStatic"), QStringLiteral("PanelDynamic"),
                                       QStringLiteral("PanelCold"), QStringLiteral("PanelColdFreeze")};
    static const QStringList stat = {
        QStringLiteral("LabelStaticInfo"),    QStringLiteral("ANGEBOHNE"),          QStringLiteral("Gebaude1"),
        QStringLiteral("RSRLOHNE"),           QStringLiteral("GroupBoxVertical"),   QStringLiteral("GroupBoxHorizontal"),
        QStringLiteral("GroupBoxFHTraversen"), QStringLiteral("BaseClampStyleBox"), QStringLiteral("Panel_T36_STATIC"),
        QStringLiteral("PanelExt"),           QStringLiteral("Panel_T9"),           QStringLiteral("gbType40Material")};
    static const QStringList building = {QStringLiteral("GroupBoxBuildingConnection"), QStringLiteral("RGLagerFuehrung"),
                                         QStringLiteral("Panel8"), QStringLiteral("RGfx")};
    static const QStringList dynamic = {QStringLiteral("LabelDynamicInfo"), QStringLiteral("Panel_T36_DYNAMIC"),
                                        QStringLiteral("Panel_T9"), QStringLiteral("gbType40Material")};
    static const QStringList cold = {QStringLiteral("LabelColdInfo"),      QStringLiteral("Stanchion"),
                                     QStringLiteral("PanelWegeingabe"),    QStringLiteral("GroupBoxAbhebesich"),
                                     QStringLiteral("Panel_T9"),           QStringLiteral("gbType40Material")};
    const QString name = container->objectName();
    if (name == u"PanelStatic") return stat;
    if (name == u"Gebaude1") return building;
    if (name == u"PanelDynamic") return dynamic;
    if (name == u"PanelCold") return cold;
    return panels;
}

void Place(QWidget* container, QWidget* widget) {
    InsertInOrder(static_cast<QBoxLayout*>(container->layout()), widget, OrderIn(container));
}

QString NoInformationText() { return TranslateMenuText(QStringLiteral("No aditional information needed !")); }

}  // namespace

// ---------------------------------------------------------------- the area

QWidget* TFLEK1::BuildConnectionArea() {
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("ConnectionScroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    m_connectionArea = new QWidget;
    m_connectionArea->setObjectName(QStringLiteral("ConnectionArea"));
    auto* pv = new QVBoxLayout(m_connectionArea);
    pv->setContentsMargins(0, 0, 0, 0);
    PanelStatic = BuildStaticPanel();
    pv->addWidget(PanelStatic);
    pv->addStretch(1);
    scroll->setWidget(m_connectionArea);
    scroll->setMinimumWidth(390);
    return scroll;
}

// What every static configuration shows; the other groups are parts.
QGroupBox* TFLEK1::BuildStaticPanel() {
    auto* panel = new QGroupBox(m_connectionArea);
    panel->setObjectName(QStringLiteral("PanelStatic"));
    // Shown by the first configuration; not laid out before.
    panel->hide();
    auto* v = new QVBoxLayout(panel);
    v->setSpacing(4);
    LabelStaticInfo = MakeLabel(QStringLiteral("LabelStaticInfo"), QStringLiteral("No aditional information needed !"), panel);
    v->addWidget(LabelStaticInfo);

    Gebaude1 = MakePanel(QStringLiteral("Gebaude1"), panel);
    auto* gv = new QVBoxLayout(Gebaude1);
    gv->setContentsMargins(0, 0, 0, 0);
    GroupBoxBuildingConnection = MakePictureGroup(
        QStringLiteral("GroupBoxBuildingConnection"), QStringLiteral("Anschluss an den Baukörper"),
        BuildingConnectionNatives(),
        {QStringLiteral("Typ75.bmp"), QStringLiteral("Typ73.bmp"), QStringLiteral("Typ78.bmp"),
         QStringLiteral("Typ76.bmp"), QStringLiteral("Typ74.bmp")},
        Gebaude1, 130);
    gv->addWidget(GroupBoxBuildingConnection);
    v->addWidget(Gebaude1);

    GroupBoxHorizontal = MakePictureGroup(
        QStringLiteral("GroupBoxHorizontal"), QStringLiteral("Rohranschluss"),
        {QStringLiteral("Horizontal pipe clamp"), QStringLiteral("Weld-on lugs for straight pipes"),
         QStringLiteral("Weld-on lugs for pipe elbows")},
        {QStringLiteral("Typ41_Rohrschelle.bmp"), QStringLiteral("Typ41_Gerade.bmp"), QStringLiteral("Typ41_Bogen.bmp")},
        panel, 110);
    v->addWidget(GroupBoxHorizontal);
    Panel_T9 = MakePanel(QStringLiteral("Panel_T9"), panel);
    auto* t9 = new QHBoxLayout(Panel_T9);
    t9->setContentsMargins(2, 2, 2, 2);
    t9->addWidget(new QLabel(QStringLiteral("Winkel")));
    T9_WINKEL = MakeFloat(QStringLiteral("T9_WINKEL"), Panel_T9, 1);
    t9->addWidget(T9_WINKEL);
    chkbEinlegeblech = new QCheckBox(QStringLiteral("Einlegeblech"), Panel_T9);
    chkbEinlegeblech->setObjectName(QStringLiteral("chkbEinlegeblech"));
    t9->addWidget(chkbEinlegeblech);
    t9->addStretch(1);
    v->addWidget(Panel_T9);

    GroupBoxBuildingConnection->SetItemIndex(1);
    GroupBoxHorizontal->SetItemIndex(0);
    connect(GroupBoxBuildingConnection, &TZORBELGroupBox::Clicked, this, [this] { GroupBoxBuildingConnectionClick(); });
    connect(GroupBoxHorizontal, &TZORBELGroupBox::Clicked, this, [this] {
        const Type41Result r =
            CheckType41Limits(true, GroupBoxHorizontal->ItemIndex(), ConstructionRecord.K_RSRL_OHNE,
                              Configuration.A_NAME, ConstructionRecord.K_DAEMMST, ConstructionRecord.K_TEM);
        for (const QString& m : r.messages)
            InformationOkActive(TranslateMenuText(m));
        ConstructionRecord.K_HOR_TYP = int16_t(r.horTyp);
    });
    connect(chkbEinlegeblech, &QCheckBox::toggled, this, [](bool on) { ConstructionRecord.K_BLECH_KZ = on; });
    connect(T9_WINKEL, &TValidCustomEdit::Exited, this, [this] { ValueFieldExit(T9_WINKEL); });
    return panel;
}

// ---------------------------------------------------------------- the parts

QWidget* TFLEK1::BuildColdFreeze() {
    PanelColdFreeze = new QGroupBox(QStringLiteral("Isolierung"), m_connectionArea);
    PanelColdFreeze->setObjectName(QStringLiteral("PanelColdFreeze"));
    PanelColdFreeze->hide();
    LBinsulThick = new QListWidget(PanelColdFreeze);
    LBinsulThick->setObjectName(QStringLiteral("LBinsulThick"));
    LBinsulThick->addItems({QStringLiteral("25 mm"), QStringLiteral("50 mm"), QStringLiteral("75 mm"),
                            QStringLiteral("100 mm")});
    (new QVBoxLayout(PanelColdFreeze))->addWidget(LBinsulThick);
    Place(m_connectionArea, PanelColdFreeze);
    return PanelColdFreeze;
}

QWidget* TFLEK1::BuildAngebohne() {
    ANGEBOHNE = MakePictureGroup(QStringLiteral("ANGEBOHNE"), QStringLiteral("Oberer Anschluss"),
                                 {QStringLiteral("Typ 61 Gewindebügel"), QStringLiteral("Typ 60 Gewindeöse")},
                                 {QStringLiteral("Typ61.bmp"), QStringLiteral("Typ60.bmp"), QStringLiteral("Typ63.bmp")},
                                 PanelStatic, 110);
    Place(PanelStatic, ANGEBOHNE);
    ANGEBOHNE->SetPicturePath(ImageDirectory());
    ANGEBOHNE->SetEnabled(true);
    connect(ANGEBOHNE, &TZORBELGroupBox::Clicked, this, [this] {
        if (const int c = AngebohneCode(ANGEBOHNE->ItemIndex()); c >= 0) ConstructionRecord.K_AN_GEB = int16_t(c);
    });
    return ANGEBOHNE;
}

QWidget* TFLEK1::BuildLagerFuehrung() {
    RGLagerFuehrung = new TRadioGroup(
        QStringLiteral("RGLagerFuehrung"), QStringLiteral("Lagerführung"),
        {QStringLiteral("Einfach"), QStringLiteral("Mit  Abhebesicherung"), QStringLiteral("Mit seitlicher Führung"),
         QStringLiteral("Mit seitlicher Führung und Abhebesicherung")},
        Gebaude1);
    Place(Gebaude1, RGLagerFuehrung);
    RGLagerFuehrung->SetItemIndex(0);
    connect(RGLagerFuehrung, &TRadioGroup::Clicked, this, [this] { RGLagerFuehrungClick(); });
    return RGLagerFuehrung;
}

QWidget* TFLEK1::BuildProfile() {
    Panel8 = MakePanel(QStringLiteral("Panel8"), Gebaude1);
    auto* p8 = new QGridLayout(Panel8);
    p8->setContentsMargins(2, 2, 2, 2);
    p8->addWidget(new QLabel(QStringLiteral("Clamp for beam:")), 0, 0);
    ComboBoxProfilTyp = new QComboBox(Panel8);
    ComboBoxProfilTyp->setObjectName(QStringLiteral("ComboBoxProfilTyp"));
    ComboBoxProfileHeight = new QComboBox(Panel8);
    ComboBoxProfileHeight->setObjectName(QStringLiteral("ComboBoxProfileHeight"));
    ComboBoxProfil_Name = new QComboBox(Panel8);
    ComboBoxProfil_Name->setObjectName(QStringLiteral("ComboBoxProfil_Name"));
    ComboBoxProfil_Name->setEditable(true);
    p8->addWidget(ComboBoxProfilTyp, 0, 1);
    p8->addWidget(ComboBoxProfileHeight, 0, 2);
    p8->addWidget(ComboBoxProfil_Name, 0, 3);
    Label6 = MakeLabel(QStringLiteral("Label6"), QStringLiteral("L ="), Panel8);
    // The arm length in the units in force: whole millimetres, inches to
    // two decimals.
    FloatEdit1 = MakeFloat(QStringLiteral("FloatEdit1"), Panel8, ConstructionRecord.K_EINH_KZ ? 2 : 0);
    p8->addWidget(Label6, 1, 0);
    p8->addWidget(FloatEdit1, 1, 1);
    Place(Gebaude1, Panel8);
    connect(ComboBoxProfilTyp, &QComboBox::activated, this, [this] { ComboBoxProfilTypChange(); });
    connect(ComboBoxProfileHeight, &QComboBox::activated, this, [this] { LookupProfileName(); });
    connect(FloatEdit1, &TValidCustomEdit::Exited, this, [this] { ValueFieldExit(FloatEdit1); });
    return Panel8;
}

QWidget* TFLEK1::BuildSideForce() {
    RGfx = new TRadioGroup(QStringLiteral("RGfx"), QStringLiteral("Max. zulässige Seitenkraft"), {}, Gebaude1);
    Place(Gebaude1, RGfx);
    connect(RGfx, &TRadioGroup::Clicked, this,
            [this] { ConstructionRecord.K_SEITL_FHRG_ZHL = int16_t(RGfx->ItemIndex() + 1); });
    return RGfx;
}

QWidget* TFLEK1::BuildRsrlOhne() {
    RSRLOHNE = MakePictureGroup(
        QStringLiteral("RSRLOHNE"), QStringLiteral("Ohne rohrumschließende Bauteile"),
        {QStringLiteral("Typ 60 Gewindeöse"), QStringLiteral("Typ 61 Gewindebügel"),
         QStringLiteral("Typ 74 Anschweißplatte"), QStringLiteral("Typ 63 Sechkantmutter"),
         QStringLiteral("Typ 66 Gewindestange"), QStringLiteral("Typ 73 Anschweißbügel"),
         QStringLiteral("Typ 75 Anschweißöse")},
        {QStringLiteral("Typ60.bmp"), QStringLiteral("Typ61.bmp"), QStringLiteral("Typ74.bmp"), QStringLiteral("Typ63.bmp"),
         QStringLiteral("Typ66.bmp"), QStringLiteral("Typ73.bmp"), QStringLiteral("Typ75.bmp")},
        PanelStatic, 170);
    Place(PanelStatic, RSRLOHNE);
    RSRLOHNE->SetPicturePath(ImageDirectory());
    RSRLOHNE->SetEnabled(true);
    connect(RSRLOHNE, &TZORBELGroupBox::Clicked, this, [this] {
        if (const int c = RsrlOhneCode(RSRLOHNE->ItemIndex()); c >= 0) ConstructionRecord.K_RSRL_OHNE_NR = int16_t(c);
    });
    return RSRLOHNE;
}

QWidget* TFLEK1::BuildVertical() {
    GroupBoxVertical = MakePictureGroup(QStringLiteral("GroupBoxVertical"), QStringLiteral("Vertikalschelle"),
                                        {QStringLiteral("Rundnocken"), QStringLiteral("Knaggen")},
                                        {QStringLiteral("Rundnocken.bmp"), QStringLiteral("Knaggen.bmp")}, PanelStatic, 100);
    Place(PanelStatic, GroupBoxVertical);
    GroupBoxVertical->SetItemIndex(1);
    GroupBoxVertical->SetPicturePath(ImageDirectory());
    GroupBoxVertical->SetEnabled(true);
    connect(GroupBoxVertical, &TZORBELGroupBox::Clicked, this,
            [this] { ConstructionRecord.K_KNAG_KZ = GroupBoxVertical->ItemIndex() == 1; });
    return GroupBoxVertical;
}

QWidget* TFLEK1::BuildTraversen() {
    GroupBoxFHTraversen = new TRadioGroup(QStringLiteral("GroupBoxFHTraversen"), QStringLiteral("Traversen"),
                                          {QStringLiteral("Standard"), QStringLiteral("Federhänger-Traverse")}, PanelStatic);
    Place(PanelStatic, GroupBoxFHTraversen);
    GroupBoxFHTraversen->SetItemIndex(0);
    connect(GroupBoxFHTraversen, &TRadioGroup::Clicked, this,
            [this] { ConstructionRecord.K_FH_TRV_KZ = GroupBoxFHTraversen->ItemIndex() == 1; });
    return GroupBoxFHTraversen;
}

QWidget* TFLEK1::BuildBaseClamp() {
    BaseClampStyleBox = MakePictureGroup(
        QStringLiteral("BaseClampStyleBox"), QStringLiteral("Base clamp"),
        {QStringLiteral("Standard"), QStringLiteral("2-way (right angle)"), QStringLiteral("2-way (parallel)"),
         QStringLiteral("Triple-way"), QStringLiteral("Quadruple-way")},
        {QStringLiteral("Typ49_Standard.bmp"), QStringLiteral("Typ49_2Wege_rechtwinklig.bmp"),
         QStringLiteral("Typ49_2Wege_parallel.bmp"), QStringLiteral("Typ49_3Wege.bmp"), QStringLiteral("Typ49_4Wege.bmp")},
        PanelStatic, 130);
    Place(PanelStatic, BaseClampStyleBox);
    BaseClampStyleBox->SetItemIndex(0);
    BaseClampStyleBox->SetPicturePath(ImageDirectory());
    connect(BaseClampStyleBox, &TZORBELGroupBox::Clicked, this, [this] {
        const bool standard = BaseClampStyleBox->ItemIndex() == 0;
        EnsurePart(Part::LagerFuehrung);
        if (!standard) {
            // The guide goes back to "simple" as its own choice would take
            // it: the record, the side force and the profile go with it.
            RGLagerFuehrung->SetItemIndex(0);
            RGLagerFuehrungClick();
        }
        RGLagerFuehrung->setEnabled(standard);
        ConstructionRecord.K_T49G_KZ = QString::number(BaseClampStyleBox->ItemIndex());
    });
    return BaseClampStyleBox;
}

QWidget* TFLEK1::BuildT36Static() {
    Panel_T36_STATIC = MakeCheckPanel(QStringLiteral("Panel_T36_STATIC"), QStringLiteral("T36_DRUCK_ONLY"), QStringLiteral("Typ 36 nur Druck"),
                             PanelStatic, T36_DRUCK_ONLY);
    Place(PanelStatic, Panel_T36_STATIC);
    connect(T36_DRUCK_ONLY, &QCheckBox::toggled, this, [](bool on) { ConstructionRecord.K_36_DRUCK_ONLY = on; });
    return Panel_T36_STATIC;
}

QWidget* TFLEK1::BuildExtension() {
    PanelExt = MakeCheckPanel(QStringLiteral("PanelExt"), QStringLiteral("CBwithExtention"), QStringLiteral("Mit Verlängerung"),
                             PanelStatic, CBwithExtention);
    Place(PanelStatic, PanelExt);
    connect(CBwithExtention, &QCheckBox::toggled, this, [](bool on) { ConstructionRecord.K_ZUG_DRUCK_KZ = on; });
    return PanelExt;
}

QWidget* TFLEK1::BuildType40Material() {
    gbType40Material = new TRadioGroup(QStringLiteral("gbType40Material"), QStringLiteral("Material Typ 40"),
                                       {QStringLiteral("Carbon Steel"), QStringLiteral("Stainless Steel")}, PanelStatic, true);
    gbType40Material->SetItemIndex(0);
    Place(PanelStatic, gbType40Material);
    return gbType40Material;
}

QWidget* TFLEK1::BuildDynamic() {
    PanelDynamic = new QGroupBox(m_connectionArea);
    PanelDynamic->setObjectName(QStringLiteral("PanelDynamic"));
    PanelDynamic->hide();
    auto* v = new QVBoxLayout(PanelDynamic);
    LabelDynamicInfo = MakeLabel(QStringLiteral("LabelDynamicInfo"), QStringLiteral("No aditional information needed !"), PanelDynamic);
    v->addWidget(LabelDynamicInfo);
    Panel_T36_DYNAMIC = MakeCheckPanel(QStringLiteral("Panel_T36_DYNAMIC"), QStringLiteral("T36_DRUCK_ONLY1"), QStringLiteral("Typ 36 nur Druck"),
                             PanelDynamic, T36_DRUCK_ONLY1);
    v->addWidget(Panel_T36_DYNAMIC);
    Place(m_connectionArea, PanelDynamic);
    connect(T36_DRUCK_ONLY1, &QCheckBox::toggled, this, [](bool on) { ConstructionRecord.K_36_DRUCK_ONLY = on; });
    return PanelDynamic;
}

QWidget* TFLEK1::BuildCold() {
    PanelCold = new QGroupBox(m_connectionArea);
    PanelCold->setObjectName(QStringLiteral("PanelCold"));
    PanelCold->hide();
    auto* v = new QVBoxLayout(PanelCold);
    LabelColdInfo = MakeLabel(QStringLiteral("LabelColdInfo"), QStringLiteral("No aditional information needed !"), PanelCold);
    v->addWidget(LabelColdInfo);
    Stanchion = new TRadioGroup(QStringLiteral("Stanchion"), QStringLiteral("Befestigung"),
                                {QStringLiteral("Angeschweißt"), QStringLiteral("Angeschraubt")}, PanelCold);
    v->addWidget(Stanchion);
    PanelWegeingabe = MakePanel(QStringLiteral("PanelWegeingabe"), PanelCold);
    auto* w = new QHBoxLayout(PanelWegeingabe);
    w->addWidget(new QLabel(QStringLiteral("Verstellweg")));
    WEG_S_T532 = MakeFloat(QStringLiteral("WEG_S_T532"), PanelWegeingabe, 2);
    w->addWidget(WEG_S_T532);
    auto* unit = new QLabel(ConstructionRecord.K_EINH_KZ ? QStringLiteral("inch") : QStringLiteral("mm"));
    LengthUnitLabels << unit;
    w->addWidget(unit);
    v->addWidget(PanelWegeingabe);
    GroupBoxAbhebesich = new TRadioGroup(
        QStringLiteral("GroupBoxAbhebesich"), QStringLiteral("Abhebesicherung"),
        {QStringLiteral("ohne Abhebesicherung ( Typ 53 )"), QStringLiteral("  mit   Abhebesicherung ( Typ 55 )")}, PanelCold);
    GroupBoxAbhebesich->SetItemIndex(0);
    v->addWidget(GroupBoxAbhebesich);
    Place(m_connectionArea, PanelCold);
    connect(GroupBoxAbhebesich, &TRadioGroup::Clicked, this,
            [this] { CalcGlobals.LiftOffType = int16_t(LiftOffTypeOf(GroupBoxAbhebesich->ItemIndex())); });
    return PanelCold;
}

QWidget* TFLEK1::BuildPart(Part part) {
    switch (part) {
    case Part::ColdFreeze: return BuildColdFreeze();
    case Part::Angebohne: return BuildAngebohne();
    case Part::LagerFuehrung: return BuildLagerFuehrung();
    case Part::Profile: return BuildProfile();
    case Part::SideForce: return BuildSideForce();
    case Part::RsrlOhne: return BuildRsrlOhne();
    case Part::Vertical: return BuildVertical();
    case Part::Traversen: return BuildTraversen();
    case Part::BaseClamp: return BuildBaseClamp();
    case Part::T36Static: return BuildT36Static();
    case Part::Extension: return BuildExtension();
    case Part::Type40Material: return BuildType40Material();
    case Part::Dynamic: return BuildDynamic();
    case Part::Cold: return BuildCold();
    case Part::Count: break;
    }
    return nullptr;
}

QWidget* TFLEK1::EnsurePart(Part part) {
    QWidget*& root = m_parts[size_t(part)];
    if (root) return root;
    root = BuildPart(part);
    IvTranslator1->TranslatePart(root);
    if (m_applyingLayout) return root;
    // Built outside a layout (the form sets it): it stands as the layout in
    // force would have left it.
    if (m_layoutApplied) {
        ShowPartLayout(part, m_layout);
        EnablePartLayout(part, m_layout);
    }
    OrderConnectionFocus();
    return root;
}

bool TFLEK1::Shows(const QWidget* w) const { return w && w->isVisibleTo(this); }

// ---------------------------------------------------------------- the layout

bool TFLEK1::Needed(Part part, const PanelLayout& p) {
    switch (part) {
    case Part::ColdFreeze: return p.PanelColdFreeze;
    case Part::Angebohne: return p.ANGEBOHNE;
    case Part::LagerFuehrung:
    case Part::SideForce: return p.RGLagerFuehrung;
    case Part::Profile: return false;  // follows the building connection's item
    case Part::RsrlOhne: return p.RSRLOHNE;
    case Part::Vertical: return p.GroupBoxVertical;
    case Part::Traversen: return p.GroupBoxFHTraversen;
    case Part::BaseClamp: return p.BaseClampStyleBox;
    case Part::T36Static: return p.Panel_T36_STATIC;
    case Part::Extension: return p.PanelExt;
    case Part::Type40Material: return p.gbType40Material;
    case Part::Dynamic: return p.PanelDynamic || p.Panel_T36_DYNAMIC;
    case Part::Cold: return p.PanelCold || p.Stanchion || p.PanelWegeingabe || p.GroupBoxAbhebesich;
    case Part::Count: break;
    }
    return false;
}

void TFLEK1::ShowPartLayout(Part part, const PanelLayout& p) {
    TConstructionRecord& k = ConstructionRecord;
    switch (part) {
    case Part::ColdFreeze: PanelColdFreeze->setVisible(p.PanelColdFreeze); break;
    case Part::Angebohne: {
        QStringList items = {TranslateMenuText(QStringLiteral("Typ 61 Gewindebügel")),
                             TranslateMenuText(QStringLiteral("Typ 60 Gewindeöse"))};
        if (p.angebohneHex) items << TranslateMenuText(QStringLiteral("Typ 63 Sechkantmutter"));
        ANGEBOHNE->SetItems(items);
        ANGEBOHNE->SetItemIndex(0);
        ANGEBOHNE->setVisible(p.ANGEBOHNE);
        break;
    }
    case Part::LagerFuehrung:
        RGLagerFuehrung->setVisible(p.RGLagerFuehrung);
        if (p.RGLagerFuehrung) RGLagerFuehrung->SetItemIndex(p.RGLagerFuehrungEnabled ? k.K_RLFUEHRUNG_ZHL : 0);
        break;
    case Part::Profile: {
        const int index = GroupBoxBuildingConnection->ItemIndex();
        Panel8->setVisible(p.GroupBoxBuildingConnection && (index == 2 || index == 3));
        Label6->setVisible(index == 3);
        FloatEdit1->setVisible(index == 3);
        break;
    }
    case Part::SideForce:
        if (p.RGLagerFuehrung) RGfx->SetItemIndex(k.K_SEITL_FHRG_ZHL - 1);
        RGfx->setVisible(p.RGLagerFuehrung && RGLagerFuehrung && RGLagerFuehrung->ItemIndex() > 1);
        break;
    case Part::RsrlOhne:
        RSRLOHNE->setVisible(p.RSRLOHNE);
        if (p.RSRLOHNE) RSRLOHNE->SetItemIndex(0);
        break;
    case Part::Vertical:
        GroupBoxVertical->setVisible(p.GroupBoxVertical);
        if (p.GroupBoxVertical && !p.GroupBoxVerticalEnabled) GroupBoxVertical->SetItemIndex(0);
        break;
    case Part::Traversen: GroupBoxFHTraversen->setVisible(p.GroupBoxFHTraversen); break;
    case Part::BaseClamp: BaseClampStyleBox->setVisible(p.BaseClampStyleBox); break;
    case Part::T36Static: Panel_T36_STATIC->setVisible(p.Panel_T36_STATIC); break;
    case Part::Extension: PanelExt->setVisible(p.PanelExt); break;
    case Part::Type40Material:
        // The material choice stands in the panel that shows, beside the
        // rod angle.
        if (QWidget* host = Panel_T9->parentWidget(); gbType40Material->parentWidget() != host) Place(host, gbType40Material);
        gbType40Material->setVisible(p.gbType40Material);
        break;
    case Part::Dynamic:
        PanelDynamic->setVisible(p.PanelDynamic);
        Panel_T36_DYNAMIC->setVisible(p.Panel_T36_DYNAMIC);
        LabelDynamicInfo->setText(NoInformationText());
        LabelDynamicInfo->setVisible(p.PanelDynamic && p.noAdditionalInformation);
        break;
    case Part::Cold:
        PanelCold->setVisible(p.PanelCold);
        Stanchion->setVisible(p.Stanchion);
        PanelWegeingabe->setVisible(p.PanelWegeingabe);
        if (p.PanelWegeingabe) {
            WEG_S_T532->SetValue(k.K_EINH_KZ ? 100 / 25.4 : 100);
            MarkShown(WEG_S_T532);
        }
        GroupBoxAbhebesich->setVisible(p.GroupBoxAbhebesich);
        LabelColdInfo->setText(NoInformationText());
        LabelColdInfo->setVisible(p.PanelCold && p.noAdditionalInformation);
        break;
    case Part::Count: break;
    }
}

// Every connection control is enabled exactly when it shows.
void TFLEK1::EnablePartLayout(Part part, const PanelLayout& p) {
    const auto enable = [this](QWidget* w) { w->setEnabled(w->isVisibleTo(this)); };
    const auto enablePicture = [this](TZORBELGroupBox* g) { g->SetEnabled(g->isVisibleTo(this)); };
    switch (part) {
    case Part::Angebohne:
        enable(ANGEBOHNE);
        enablePicture(ANGEBOHNE);
        break;
    case Part::LagerFuehrung:
        enable(RGLagerFuehrung);
        if (p.RGLagerFuehrung) RGLagerFuehrung->setEnabled(p.RGLagerFuehrungEnabled);
        break;
    case Part::SideForce: enable(RGfx); break;
    case Part::RsrlOhne:
        enable(RSRLOHNE);
        enablePicture(RSRLOHNE);
        break;
    case Part::Vertical:
        enable(GroupBoxVertical);
        enablePicture(GroupBoxVertical);
        if (p.GroupBoxVertical) GroupBoxVertical->SetEnabled(p.GroupBoxVerticalEnabled);
        break;
    case Part::Traversen: enable(GroupBoxFHTraversen); break;
    case Part::BaseClamp: enablePicture(BaseClampStyleBox); break;
    case Part::Extension: enable(PanelExt); break;
    case Part::Type40Material: enable(gbType40Material); break;
    case Part::Dynamic: enable(PanelDynamic); break;
    case Part::Cold:
        enable(Stanchion);
        enable(PanelWegeingabe);
        enable(GroupBoxAbhebesich);
        break;
    default: break;
    }
}

void TFLEK1::ApplyLayout(const PanelLayout& p) {
    TConstructionRecord& k = ConstructionRecord;
    m_layout = p;
    m_layoutApplied = true;
    m_applyingLayout = true;
    for (size_t i = 0; i < size_t(Part::Count); ++i)
        if (Needed(Part(i), p)) EnsurePart(Part(i));
    // The rod-angle panel and the material choice stand in the panel that
    // shows, so every configuration shows them where its rules ask.
    QGroupBox* host = p.PanelDynamic ? PanelDynamic : p.PanelCold ? PanelCold : PanelStatic;
    if (Panel_T9->parentWidget() != host) Place(host, Panel_T9);

    Gebaude1->setEnabled(false);
    PanelStatic->setVisible(p.PanelStatic);
    k.K_RSRL_OHNE_NR = int16_t(p.rsrlOhneNr);
    if (p.resetRlFuehrung) k.K_RLFUEHRUNG_ZHL = 0;
    if (p.anGeb >= 0) k.K_AN_GEB = int16_t(p.anGeb);

    QStringList building = BuildingConnectionNatives().mid(0, p.buildingItems);
    for (QString& s : building)
        s = TranslateMenuText(s);
    GroupBoxBuildingConnection->SetItems(building);
    GroupBoxBuildingConnection->SetItemIndex(std::min(p.buildingItem, int(building.size()) - 1));
    GroupBoxBuildingConnection->setVisible(p.GroupBoxBuildingConnection);
    GroupBoxBuildingConnection->setMinimumHeight(22 * int(building.size()) + 40);
    Gebaude1->setVisible(p.Gebaude1);
    GroupBoxHorizontal->setVisible(p.GroupBoxHorizontal);
    if (!p.GroupBoxHorizontal) GroupBoxHorizontal->SetItemIndex(0);
    const int buildingIndex = GroupBoxBuildingConnection->ItemIndex();
    if (p.GroupBoxBuildingConnection && (buildingIndex == 2 || buildingIndex == 3)) EnsurePart(Part::Profile);
    for (size_t i = 0; i < size_t(Part::Count); ++i)
        if (Built(Part(i))) ShowPartLayout(Part(i), p);
    Panel_T9->setVisible(p.Panel_T9);
    LabelStaticInfo->setText(NoInformationText());
    LabelStaticInfo->setVisible(p.PanelStatic && p.noAdditionalInformation);
    Gebaude1->setEnabled(true);

    DiffKnopf->setEnabled(p.DiffKnopf);
    KotenKnopf->setEnabled(p.KotenKnopf);
    DiffKnopf->setVisible(p.DiffKnopf);
    KotenKnopf->setVisible(p.KotenKnopf);
    Weiter->setEnabled(p.Weiter);
    HG_VOR->setEnabled(p.HG_VOR);
    T9_WINKEL->setEnabled(p.Panel_T9);
    BOCK35_WINKEL->setEnabled(false);
    for (QWidget* w : {static_cast<QWidget*>(GroupBoxBuildingConnection), static_cast<QWidget*>(GroupBoxHorizontal)})
        w->setEnabled(w->isVisibleTo(this));
    for (TZORBELGroupBox* g : {GroupBoxBuildingConnection, GroupBoxHorizontal})
        g->SetEnabled(g->isVisibleTo(this));
    for (size_t i = 0; i < size_t(Part::Count); ++i)
        if (Built(Part(i))) EnablePartLayout(Part(i), p);
    m_applyingLayout = false;
    OrderConnectionFocus();
}

void TFLEK1::OrderConnectionFocus() {
    // Tab comes into the area from the last stop before it, which stays
    // where it is.
    QWidget* before = nullptr;
    for (QWidget* w = m_connectionArea->previousInFocusChain(); w && w != m_connectionArea && w != this;
         w = w->previousInFocusChain()) {
        if (!m_connectionArea->isAncestorOf(w) && w->focusPolicy() != Qt::NoFocus) {
            before = w;
            break;
        }
    }
    ChainFocus(before, FocusStops(m_connectionArea));
}
