#include "localisation/IvMulti.h"

#include "localisation/IvAMulti.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QMdiSubWindow>
#include <QLabel>
#include <QLayout>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStringList>
#include <algorithm>
#include <cstring>

// ---- TIvCustomTranslator ----

TIvCustomTranslator::TIvCustomTranslator(QObject* owner) : QObject(owner) {}

TIvCustomTranslator::~TIvCustomTranslator() {
    Disconnect();
}

void TIvCustomTranslator::SetDictionaryName(const QString& name) {
    Disconnect();
    m_dictionaryName = name;
}

void TIvCustomTranslator::Disconnect() {
    if ((m_flags & kLinked) && m_dictionary) m_dictionary->RemoveTranslator(this);
    m_dictionary = nullptr;
    // A scaled window stays scaled until a pass in another language scales
    // it back; forgetting that would scale it twice when it links again.
    m_flags &= kScaled;
}

// ---- targets ----

namespace {

bool Inherits(const QMetaObject* meta, const char* className) {
    for (const QMetaObject* m = meta; m; m = m->superClass())
        if (std::strcmp(m->className(), className) == 0) return true;
    return false;
}

// The texts the targets name by their classic names: "Caption" is the text
// of labels, buttons and actions and the title of boxes, menus and windows;
// "Hint" is the tool tip and the status tip.
bool Alias(const QString& target, const QMetaObject* meta, const QString& property) {
    if (target.compare(QLatin1String("Caption"), Qt::CaseInsensitive) == 0) {
        if (property == QLatin1String("title") || property == QLatin1String("windowTitle")) return true;
        return property == QLatin1String("text") &&
               (Inherits(meta, "QLabel") || Inherits(meta, "QAbstractButton") || Inherits(meta, "QAction"));
    }
    if (target.compare(QLatin1String("Hint"), Qt::CaseInsensitive) == 0)
        return property == QLatin1String("toolTip") || property == QLatin1String("statusTip");
    if (target.compare(QLatin1String("Text"), Qt::CaseInsensitive) == 0)
        return property == QLatin1String("plainText") && Inherits(meta, "QPlainTextEdit");
    return false;
}

bool Matches(const TIvTargetProperty& t, const QMetaObject* meta, const QString& property) {
    const QLatin1String cls(meta->className());
    if (!t.ClassName.isEmpty() && t.ClassName.compare(cls, Qt::CaseInsensitive) != 0) return false;
    return t.PropertyName.isEmpty() || t.PropertyName.compare(property, Qt::CaseInsensitive) == 0 ||
           Alias(t.PropertyName, meta, property);
}

}  // namespace

void TIvTargetProperties::Add(const QString& className, const QString& propertyName, int flag) {
    for (const TIvTargetProperty& t : m_items)
        if (t.ClassName == className && t.PropertyName == propertyName) return;
    m_items.push_back({className, propertyName, flag});
    ++m_version;
}

int TIvTargetProperties::Exclusions() const {
    return int(std::count_if(m_items.begin(), m_items.end(), [](const TIvTargetProperty& t) { return t.Flag == 1; }));
}

bool TIvTargetProperties::IsTarget(const QObject* object, const QString& property) const {
    return IsTarget(object->metaObject(), property);
}

bool TIvTargetProperties::IsTarget(const QMetaObject* meta, const QString& property) const {
    bool target = false;
    for (const TIvTargetProperty& t : m_items) {
        if (!Matches(t, meta, property)) continue;
        if (t.Flag == 1) return false;
        target = true;
    }
    return target;
}

// ---- TIvTranslator ----

TIvTranslator::TIvTranslator(QObject* owner) : TIvCustomTranslator(owner) {}

TIvTranslator::~TIvTranslator() = default;

void TIvTranslator::Loaded() {
    if ((Options & ivtoAutoOpen) && (Dictionary() || Dictionaries().Count() > 0)) Translate();
}

void TIvTranslator::Translate() {
    if (Linked()) {
        DoTranslate();
        return;
    }
    TIvDictionary* dictionary = Dictionaries().Find(DictionaryName());
    if (!dictionary && Dictionaries().Count() > 0) dictionary = Dictionaries().Items(0);
    if (!dictionary) {
        const QString root = Root() ? Root()->objectName() : QString();
        throw EIvMulti(QStringLiteral("No dictionary has been assigned to the translator component (%1 on \"%2\" form)")
                           .arg(objectName(), root));
    }
    if (!dictionary->CanOpen() || Targets.Count() == 0) return;
    if (!dictionary->IsOpen()) dictionary->Open();
    if (!dictionary->IsOpen()) return;
    if (QWidget* form = RootWidget(); form && form->isWindow()) {
        m_nativeFontName = form->font().family();
        m_nativeFontSize = form->font().pointSizeF();
        // Linked again while still scaled: the size as designed.
        if (Scaled() && m_nativeFontSize > 0) m_nativeFontSize = m_nativeFontSize * 100 / m_scaledBy;
    }
    Link(dictionary);
    DoTranslate();
    DictionaryChanged(true, true);  // not yet linked: only the events
    dictionary->AddTranslator(this);
    m_flags |= kLinked;
}

void TIvTranslator::TranslatePart(QObject* part) {
    if (!Linked() || !part) return;
    // Objects seen by the last walk may be gone and their addresses reused.
    m_visited.clear();
    TranslateTree(part, 0);
}

void TIvTranslator::DictionaryChanged(bool languageChanged, bool localeChanged) {
    if (Linked() && (Options & ivtoAutoTranslate)) DoTranslate();
    if (languageChanged && OnLanguageChange) OnLanguageChange(this);
    if (localeChanged && OnLocaleChange) OnLocaleChange(this);
}

void TIvTranslator::DoTranslate() {
    m_visited.clear();
    TIvDictionary* d = Dictionary();
    const bool rtl = d && ScriptKindOfLanguage(uint32_t(d->CurrentLanguage().PrimaryId)) == ivskRightToLeft;
    m_readingOrder = rtl ? ivroRightToLeft : ivroLeftToRight;
    if (OnBeforeTranslate) OnBeforeTranslate(this);
    if (d && (Options & ivtoCheckFont) && RootWidget() && RootWidget()->isWindow()) UpdateFont();
    if (Root()) TranslateTree(Root(), 0);
    if (Options & ivtoTranslateSystemMenu) TranslateSystemMenu();
    // A window scaled before its scaling was switched off is still scaled
    // back once.
    const bool scaling = (Options & ivtoScaleMultiByte) && MultiByteScale != 100;
    if (d && (scaling || Scaled()) && RootWidget()) ScaleRoot(scaling);
    if (Options & ivtoMirrorBiDirectional) {
        const bool mirrored = m_readingOrder != NativeLayout;
        if (mirrored != Mirrored() && RootWidget())
            RootWidget()->setLayoutDirection(mirrored ? Qt::RightToLeft : Qt::LeftToRight);
        m_flags = uint8_t(mirrored ? m_flags | kMirrored : m_flags & ~kMirrored);
    }
    if (OnAfterTranslate) OnAfterTranslate(this);
}

namespace {

// A window with scroll bars that come when its content does not fit: a
// scroll area that shows them as needed, or a window that says so.
bool HasAutoScroll(const QWidget* root) {
    if (root->property("AutoScroll").toBool()) return true;
    const auto* area = qobject_cast<const QAbstractScrollArea*>(root);
    return area && (area->horizontalScrollBarPolicy() == Qt::ScrollBarAsNeeded ||
                    area->verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded);
}

// The commands of a window menu by their English texts.
constexpr const char* kSystemCommands[] = {
    "&Close",           "&Restore", "&Move",         "&Size",     "Mi&nimize",      "Ma&ximize",
    "&Next",            "&Previous", "&Vertical Scroll", "&Horizontal Scroll", "&Mouse", "&Key",
    "&Arrange",         "&Task List", "&Screen Saver", "&Hot Key", "&Default",       "&Monitor Power",
};
constexpr char kCommandProperty[] = "IvSystemCommand";

// The command an item stands for: remembered from the first pass, else
// found by its text (Qt's English one, or Qt's translation of it).
int SystemCommandOf(QAction* item) {
    const QVariant known = item->property(kCommandProperty);
    if (known.isValid()) return known.toInt();
    const QString text = item->text().section(u'\t', 0, 0);
    for (int i = 0; i < int(std::size(kSystemCommands)); ++i) {
        const QString english = QString::fromLatin1(kSystemCommands[i]);
        if (text == english || text == QCoreApplication::translate("QMdiSubWindow", kSystemCommands[i])) {
            item->setProperty(kCommandProperty, i);
            return i;
        }
    }
    return -1;
}

}  // namespace

QMenu* TIvTranslator::SystemMenu() const {
    QWidget* root = RootWidget();
    if (!root) return nullptr;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(root)) return sub->systemMenu();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(root->parentWidget()); sub && sub->widget() == root)
        return sub->systemMenu();
    return nullptr;
}

// Each item of the window menu gets the translation of its command's
// English text; an accelerator part of its text (from the tab on) stays.
void TIvTranslator::TranslateSystemMenu() {
    QMenu* menu = SystemMenu();
    if (!menu) return;
    for (QAction* item : menu->actions()) {
        if (item->isSeparator()) continue;
        const int command = SystemCommandOf(item);
        if (command < 0) continue;
        const QString current = item->text();
        const qsizetype tab = current.indexOf(u'\t');
        const QString accelerator = tab >= 0 ? current.mid(tab) : QString();
        item->setText(TranslateWord(Dictionary(), QString::fromLatin1(kSystemCommands[command])) + accelerator);
    }
}

void TIvTranslator::ScaleRoot(bool scaling) {
    QWidget* root = RootWidget();
    const bool multiByte =
        scaling && ScriptKindOfLanguage(uint32_t(Dictionary()->CurrentLanguage().PrimaryId)) == ivskMultiByte;
    if (multiByte == Scaled()) return;
    if (multiByte && HasAutoScroll(root))
        throw EIvMulti(QStringLiteral("Cannot scale a form (%1) that has AutoScroll property set True").arg(root->objectName()));
    // A window of no size could never be scaled back.
    if (multiByte && MultiByteScale <= 0)
        throw EIvMulti(QStringLiteral("Cannot scale a form (%1) by %2 %").arg(root->objectName()).arg(MultiByteScale));
    if (multiByte) ScaleWidgets(root);
    else UnscaleWidgets();
    m_flags = uint8_t(multiByte ? m_flags | kScaled : m_flags & ~kScaled);
    if (OnScale) OnScale(this, root);
}

void TIvTranslator::TranslateTree(QObject* component, TIvRestrictions restrictions) {
    if (OnRestrictComponent) OnRestrictComponent(this, component, restrictions);
    const TIvRestrictions forChildren = restrictions & ivrsThisOnly ? 0 : restrictions;
    for (QObject* child : component->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && w->isWindow()) continue;  // another window has its own translator
        TranslateTree(child, forChildren);
    }
    if (!(restrictions & ivrsNoProperties)) TranslateProperties(component, restrictions);
    if (!(restrictions & ivrsNoSpecial)) TranslateSpecial(component);
    auto* control = qobject_cast<QWidget*>(component);
    if ((Options & ivtoMirrorBiDirectional) && control) {
        TIvBidirectionalState& state = StateOf(control);
        const bool changed = state.Order != m_readingOrder;
        if (!(restrictions & ivrsNoMirror)) {
            if (component == Root()) state.Order = m_readingOrder;
            else if (m_readingOrder == NativeLayout) RestoreControl(control, state);
            else MirrorControl(control, state);
        }
        if (changed && !(restrictions & ivrsNoMirrorContents)) MirrorContents(component);
    }
    if (OnTranslate) OnTranslate(this, component);
    if (control) control->update();
}

// A form holds a few dozen classes and a few hundred objects; what a class
// offers to translate is looked up once, not for every object.
const TIvTranslator::ClassTexts& TIvTranslator::TextsOf(const QMetaObject* meta) {
    ClassTexts& c = m_classTexts[meta];
    if (c.version == Targets.Version()) return c;
    c = ClassTexts{};
    c.version = Targets.Version();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        // Only texts and the locale number are translated; a widget has
        // dozens of other properties, passed over before naming them.
        const int type = p.typeId();
        if (type != QMetaType::QString && type != QMetaType::Int) continue;
        if (!p.isReadable() || !p.isWritable()) continue;
        const QString name = QString::fromLatin1(p.name());
        if (type == QMetaType::Int) {
            if (c.localeIndex < 0 && name.compare(QLatin1String("locale"), Qt::CaseInsensitive) == 0) c.localeIndex = i;
            continue;
        }
        if (name == QLatin1String("objectName")) continue;
        c.texts.push_back({i, name, Targets.IsTarget(meta, name)});
    }
    return c;
}

void TIvTranslator::TranslateProperties(QObject* object, TIvRestrictions restrictions) {
    if (qobject_cast<TIvDictionary*>(object) || qobject_cast<TIvCustomTranslator*>(object)) return;
    if (m_visited.contains(object)) return;
    m_visited.insert(object);
    bool allow = true;
    if (OnRestrictObject) OnRestrictObject(this, object, allow);
    if (!allow) return;
    const QMetaObject* meta = object->metaObject();
    const ClassTexts& texts = TextsOf(meta);
    if (texts.localeIndex >= 0 && (Options & ivtoUpdateLocaleProperty) && !(restrictions & ivrsNoMirror))
        meta->property(texts.localeIndex).write(object, Dictionary() ? int(Dictionary()->LanguageLocaleLcid()) : 0);
    for (const ClassTexts::Text& t : texts.texts) {
        bool allowProperty = true;
        if (OnRestrictProperty) OnRestrictProperty(this, object, t.name, allowProperty);
        if (allowProperty && t.target) TranslateStringProperty(object, meta->property(t.index).name(), t.name);
    }
}

void TIvTranslator::TranslateStringProperty(QObject* object, const char* name, const QString& targetName) {
    const QString value = object->property(name).toString();
    if (value.isEmpty()) return;
    const QString translated = TranslateValue(object, targetName, value);
    if (translated != value) object->setProperty(name, translated);
}

QString TIvTranslator::TranslateValue(QObject* object, const QString& property, const QString& value) {
    if (value.isEmpty()) return value;
    for (TIvTranslatorTableItem& item : m_table) {
        if (item.Object != object || item.PropertyName != property || item.LastWritten != value) continue;
        item.LastWritten = TranslateText(object, item.Native);
        return item.LastWritten;
    }
    const QString translated = TranslateText(object, value);
    m_table.push_back({object, property, value, translated, object->objectName(),
                       QString::fromLatin1(object->metaObject()->className())});
    return translated;
}

QString TIvTranslator::TranslateText(QObject* object, const QString& text) {
    TIvDictionary* d = Dictionary();
    if (!d) return text;
    if (d->ContextsInUse()) {
        QString result;
        for (const QMetaObject* m = object->metaObject(); m; m = m->superClass()) {
            const QLatin1String cls(m->className());
            if (cls == QLatin1String("QWidget") || cls == QLatin1String("QObject")) break;
            if (d->TranslateWithContext(text, cls, result, object->objectName())) return result;
        }
        return TranslateWord(d, text);
    }
    QString translation;
    const bool found = d->Translate(text, translation);
    return ApplyMissingTranslation(d, text, translation, found);
}

void TIvTranslator::TranslateSpecial(QObject* component) {
    if (Modules().TranslateProperty(this, component)) return;
    auto* memo = qobject_cast<QPlainTextEdit*>(component);
    if (!memo || !Targets.IsTarget(memo, QStringLiteral("Text"))) return;
    QString text = memo->toPlainText();
    while (text.endsWith(u'\n') || text.endsWith(u'\r')) text.chop(1);
    const QString translated = TranslateValue(memo, QStringLiteral("Text"), text);
    if (translated != text) memo->setPlainText(translated);
}

void TIvTranslator::UpdateFont() {
    QWidget* form = RootWidget();
    const TIvLanguage& l = Dictionary()->CurrentLanguage();
    QFont font = form->font();
    const QString family = l.FontName.isEmpty() ? m_nativeFontName : l.FontName;
    qreal size = l.FontSize != 0 ? qreal(l.FontSize) : m_nativeFontSize;
    // A form scaled for a multi-byte language keeps its font scaled.
    if (Scaled() && size > 0) size = size * m_scaledBy / 100;
    if (!family.isEmpty() && font.family() != family) font.setFamily(family);
    if (size > 0 && font.pointSizeF() != size) font.setPointSizeF(size);
    if (font != form->font()) form->setFont(font);
}

TIvBidirectionalState& TIvTranslator::StateOf(QWidget* control) {
    for (TIvBidirectionalState& s : m_states)
        if (s.Control == control) return s;
    m_states.push_back({control, false, control->x(), ivroLeftToRight});
    return m_states.back();
}

namespace {

// Widgets inside a layout are placed by the layout, which follows the
// window's layout direction by itself.
bool FreelyPlaced(QWidget* control) {
    QWidget* parent = control->parentWidget();
    return parent && !parent->layout() && !control->isWindow();
}

// A length scaled by m/d and rounded; an unlimited size limit stays
// unlimited.
int ScaledBy(int v, int m, int d) { return v >= QWIDGETSIZE_MAX ? v : qRound(double(v) * m / d); }
QSize ScaledBy(const QSize& s, int m, int d) { return {ScaledBy(s.width(), m, d), ScaledBy(s.height(), m, d)}; }
QRect ScaledBy(const QRect& r, int m, int d) {
    return {ScaledBy(r.x(), m, d), ScaledBy(r.y(), m, d), ScaledBy(r.width(), m, d), ScaledBy(r.height(), m, d)};
}
QFont ScaledBy(QFont f, int m, int d) {
    if (f.pointSizeF() > 0) f.setPointSizeF(f.pointSizeF() * m / d);
    else if (f.pixelSize() > 0) f.setPixelSize(std::max(1, ScaledBy(f.pixelSize(), m, d)));
    return f;
}

// Scaling back puts the native value back while the value is still the one
// the scaling wrote, so a form goes back exactly to its design whatever the
// rounding did; a value the program changed meanwhile is scaled back from
// where it stands.
template <class T>
T Unscaled(const T& native, const T& written, const T& now, int m, int d) {
    return now == written ? native : ScaledBy(now, d, m);
}

// The directions in which a window's minimum is its layout's: the layout
// computes it again from the scaled contents, and a minimum written here
// would stay fixed when the contents change later (a window's layout keeps
// a minimum set on the window). Where the minimum differs from the one the
// layout computes, the program set it, and it scales.
Qt::Orientations MinimumByLayout(QWidget* w) {
    QLayout* layout = w->layout();
    if (!layout || !w->isWindow() || layout->sizeConstraint() != QLayout::SetDefaultConstraint) return {};
    layout->activate();
    const QSize own = w->minimumSize(), computed = layout->totalMinimumSize();
    Qt::Orientations byLayout;
    if (own.width() == computed.width()) byLayout |= Qt::Horizontal;
    if (own.height() == computed.height()) byLayout |= Qt::Vertical;
    return byLayout;
}

// Writes the limits a direction at a time, leaving out a minimum the
// window's layout gives it. A growing limit raises the maximum first and a
// shrinking one lowers the minimum first, so that the two never cross on
// the way (a fixed size has both equal).
void SetLimits(QWidget* w, const QSize& minimum, const QSize& maximum, Qt::Orientations minimumByLayout) {
    for (const Qt::Orientation o : {Qt::Horizontal, Qt::Vertical}) {
        const bool across = o == Qt::Horizontal;
        const int low = across ? minimum.width() : minimum.height();
        const int high = across ? maximum.width() : maximum.height();
        const auto setLow = [&] {
            if (minimumByLayout & o) return;
            across ? w->setMinimumWidth(low) : w->setMinimumHeight(low);
        };
        const auto setHigh = [&] { across ? w->setMaximumWidth(high) : w->setMaximumHeight(high); };
        if (low > (across ? w->maximumWidth() : w->maximumHeight())) {
            setHigh();
            setLow();
        } else {
            setLow();
            setHigh();
        }
    }
}

// The widgets of a window, parents before children; windows of their own
// (they have their own translators) are left out.
std::vector<QWidget*> WidgetsOf(QWidget* root) {
    std::vector<QWidget*> widgets{root};
    for (size_t i = 0; i < widgets.size(); ++i)
        for (QObject* child : widgets[i]->children())
            if (auto* w = qobject_cast<QWidget*>(child); w && !w->isWindow()) widgets.push_back(w);
    return widgets;
}

}  // namespace

// The root keeps its place and takes the scaled size; every widget on it
// that is not placed by a layout takes a scaled place and size; every size
// limit and every font of its own grows with it, the root's font always, so
// widgets that inherit their font follow. Inner widgets go first: a widget
// that places its own parts (a list's viewport) places them again when it
// is resized after them.
void TIvTranslator::ScaleWidgets(QWidget* root) {
    const int m = MultiByteScale, d = 100;
    m_scaledBy = m;
    m_scaled.clear();
    // The window as designed, taken whole before anything changes: a
    // layout's minimum grows with the contents scaled before it.
    const std::vector<QWidget*> widgets = WidgetsOf(root);
    for (auto it = widgets.rbegin(); it != widgets.rend(); ++it) {
        QWidget* w = *it;
        TIvScaledState s;
        s.Control = w;
        s.IsRoot = w == root;
        s.MinimumByLayout = MinimumByLayout(w);
        s.NativeMinimum = w->minimumSize();
        s.NativeMaximum = w->maximumSize();
        s.NativeGeometry = w->geometry();
        s.OwnFont = s.IsRoot || w->testAttribute(Qt::WA_SetFont);
        // An inherited font is put back as inherited (a font that sets
        // nothing).
        if (s.OwnFont) s.NativeFont = w->testAttribute(Qt::WA_SetFont) ? w->font() : QFont();
        m_scaled.push_back(s);
    }
    for (TIvScaledState& s : m_scaled) {
        QWidget* w = s.Control;
        SetLimits(w, ScaledBy(s.NativeMinimum, m, d), ScaledBy(s.NativeMaximum, m, d), s.MinimumByLayout);
        if (s.IsRoot) w->resize(ScaledBy(s.NativeGeometry.size(), m, d));
        else if (FreelyPlaced(w)) w->setGeometry(ScaledBy(s.NativeGeometry, m, d));
        s.WrittenMinimum = w->minimumSize();
        s.WrittenMaximum = w->maximumSize();
        s.WrittenGeometry = w->geometry();
        if (s.OwnFont) {
            w->setFont(ScaledBy(w->font(), m, d));
            s.WrittenFont = w->font();
        }
    }
}

void TIvTranslator::UnscaleWidgets() {
    const int m = m_scaledBy, d = 100;
    for (const TIvScaledState& s : m_scaled) {
        QWidget* w = s.Control;
        if (!w) continue;
        SetLimits(w, Unscaled(s.NativeMinimum, s.WrittenMinimum, w->minimumSize(), m, d),
                  Unscaled(s.NativeMaximum, s.WrittenMaximum, w->maximumSize(), m, d), s.MinimumByLayout);
        // The layout's minimum comes down with the contents before the
        // window does, or it would hold the window at its scaled size.
        if (s.MinimumByLayout && w->layout()) w->layout()->activate();
        if (s.IsRoot) w->resize(Unscaled(s.NativeGeometry.size(), s.WrittenGeometry.size(), w->size(), m, d));
        else if (FreelyPlaced(w)) w->setGeometry(Unscaled(s.NativeGeometry, s.WrittenGeometry, w->geometry(), m, d));
        if (s.OwnFont) w->setFont(w->font() == s.WrittenFont ? s.NativeFont : ScaledBy(w->font(), d, m));
    }
    m_scaled.clear();
}

void TIvTranslator::MirrorControl(QWidget* control, TIvBidirectionalState& state) {
    state.Order = m_readingOrder;
    if (Modules().MirrorControl(this, control, state) || state.Mirrored) return;
    state.Mirrored = true;
    if (FreelyPlaced(control))
        control->move(control->parentWidget()->width() - control->width() - state.SavedLeft, control->y());
}

void TIvTranslator::RestoreControl(QWidget* control, TIvBidirectionalState& state) {
    state.Order = m_readingOrder;
    if (Modules().RestoreControl(this, control, state) || !state.Mirrored) return;
    state.Mirrored = false;
    if (FreelyPlaced(control)) control->move(state.SavedLeft, control->y());
}

void TIvTranslator::MirrorContents(QObject* component) {
    auto* control = qobject_cast<QWidget*>(component);
    if (!control || Modules().MirrorContents(this, control)) return;
    auto* label = qobject_cast<QLabel*>(control);
    if (!label) return;
    Qt::Alignment a = label->alignment();
    const Qt::Alignment h = a & Qt::AlignHorizontal_Mask;
    if (h == Qt::AlignLeft || h == Qt::AlignRight)
        label->setAlignment((a & ~Qt::AlignHorizontal_Mask) | (h == Qt::AlignLeft ? Qt::AlignRight : Qt::AlignLeft));
}

void TIvTranslator::RemirrorControl(QWidget* control) {
    TIvBidirectionalState& state = StateOf(control);
    if (Mirrored() && state.Mirrored && control != Root() && FreelyPlaced(control))
        control->move(control->parentWidget()->width() - control->width() - state.SavedLeft, control->y());
}

void TIvTranslator::RemirrorAll() {
    for (TIvBidirectionalState& s : m_states)
        if (s.Control) RemirrorControl(s.Control);
}

void TIvTranslator::TranslateRoot(QObject* root) {
    SetRoot(root);
    Translate();
}

void TIvTranslator::RestoreNative() {
    if (TIvDictionary* d = Dictionary()) {
        const TIvDictionaryOptions options = d->Options;
        const uint32_t locale = d->Locale();
        d->Options = TIvDictionaryOptions(options & ~ivdoAutoTranslate);
        d->SetLanguage(0);
        Translate();
        d->SetLocale(locale);
        d->Options = options;
    }
    Disconnect();
}

void TIvTranslator::Disconnect() {
    TIvCustomTranslator::Disconnect();
    m_table.clear();
    m_root = nullptr;
}

void TIvTranslator::Reset() {
    if (Linked()) {
        TIvCustomTranslator::Disconnect();
        DoTranslate();
    }
    TIvCustomTranslator::Reset();
}

void CenterForm(QWidget* form, QWidget* control) {
    int left, top;
    if (control) {
        left = control->x() + (control->width() - form->width()) / 2;
        top = control->y() + (control->height() - form->height()) / 2;
    } else {
        const QRect screen = form->screen() ? form->screen()->availableGeometry() : QRect(0, 0, 1024, 768);
        left = (screen.width() - form->width()) / 2;
        top = (screen.height() - form->height()) / 2;
    }
    form->move(std::max(0, left), std::max(0, top));
}
