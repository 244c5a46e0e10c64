#pragma once
// The translator component: translates the texts of a window's widgets into
// the current language of its dictionary and keeps their native texts, so a
// later language switch translates from the native text again.
#include "localisation/IvDictio.h"

#include <QFont>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QHash>
#include <QSet>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class TIvCustomTranslator : public QObject {
    Q_OBJECT
public:
    explicit TIvCustomTranslator(QObject* owner = nullptr);
    ~TIvCustomTranslator() override;

    QString DictionaryName() const { return m_dictionaryName; }
    void SetDictionaryName(const QString& name);
    TIvDictionary* Dictionary() const { return m_dictionary; }
    bool Linked() const { return m_flags & kLinked; }
    bool Scaled() const { return m_flags & kScaled; }
    bool Mirrored() const { return m_flags & kMirrored; }

    std::function<void(TIvCustomTranslator*)> OnBeforeTranslate, OnAfterTranslate, OnLocaleChange, OnLanguageChange;

    virtual QWidget* RootWidget() const { return nullptr; }
    virtual void DoTranslate() {}
    virtual void DictionaryChanged(bool languageChanged, bool localeChanged) {}
    virtual void Translate() { m_flags |= kLinked; }
    virtual void Disconnect();
    virtual void Reset() { Disconnect(); }

protected:
    static constexpr uint8_t kLinked = 1, kScaled = 2, kMirrored = 4;
    void Link(TIvDictionary* dictionary) { m_dictionary = dictionary; }
    uint8_t m_flags = 0;

private:
    QString m_dictionaryName;
    TIvDictionary* m_dictionary = nullptr;
};

struct TIvTargetProperty {
    QString ClassName;     // empty: any class
    QString PropertyName;  // empty: every text property of the class
    int Flag = 0;          // 0 translate, 1 exclude
};

class TIvTargetProperties {
public:
    void Add(const QString& className, const QString& propertyName, int flag = 0);
    void Clear() {
        m_items.clear();
        ++m_version;
    }
    int Count() const { return int(m_items.size()); }
    int Exclusions() const;
    const TIvTargetProperty& Items(int index) const { return m_items.at(size_t(index)); }
    // A pair is translated when no exclusion and at least one target match it.
    bool IsTarget(const QObject* object, const QString& property) const;
    // The same for every object of a class: the answer depends on the class.
    bool IsTarget(const QMetaObject* meta, const QString& property) const;
    // Changes with every Add and Clear, so that answers kept per class can
    // tell that they are out of date.
    int Version() const { return m_version; }

private:
    std::vector<TIvTargetProperty> m_items;
    int m_version = 0;
};

using TIvTranslatorOptions = uint16_t;
constexpr TIvTranslatorOptions ivtoAutoTranslate = 1 << 0, ivtoCheckFont = 1 << 1, ivtoScaleMultiByte = 1 << 2,
                               ivtoMirrorBiDirectional = 1 << 3, ivtoChangeFontCharset = 1 << 4,
                               ivtoUpdateLocaleProperty = 1 << 5, ivtoAutoOpen = 1 << 6,
                               ivtoTranslateSystemMenu = 1 << 7, ivtoTranslateOCX = 1 << 8,
                               ivtoForceCharsetChange = 1 << 9;
constexpr TIvTranslatorOptions ivtoDefault = ivtoAutoTranslate | ivtoCheckFont | ivtoScaleMultiByte |
                                             ivtoMirrorBiDirectional | ivtoAutoOpen | ivtoTranslateSystemMenu |
                                             ivtoTranslateOCX;

enum TIvReadingOrder : uint8_t { ivroLeftToRight = 0, ivroRightToLeft = 1 };
enum TIvCharsetChange : uint8_t { ivccDisabled = 0, ivccNormal = 1, ivccAll = 2 };

// Restrictions of the walk.
using TIvRestrictions = uint8_t;
constexpr TIvRestrictions ivrsNoProperties = 1 << 0, ivrsNoSpecial = 1 << 1, ivrsNoMirror = 1 << 2,
                          ivrsNoMirrorContents = 1 << 3, ivrsThisOnly = 1 << 4, ivrsNoCharset = 1 << 5;

struct TIvTranslatorTableItem {
    QPointer<QObject> Object;
    QString PropertyName, Native, LastWritten, ComponentName, ClassContext;
};

// What scaling for a multi-byte language changed on one widget: its place
// and size, its size limits and its own font, as they were (native) and as
// the scaling wrote them.
struct TIvScaledState {
    QPointer<QWidget> Control;
    bool IsRoot = false;  // the root keeps its place
    QRect NativeGeometry, WrittenGeometry;
    QSize NativeMinimum, WrittenMinimum, NativeMaximum, WrittenMaximum;
    Qt::Orientations MinimumByLayout;  // a window's minimum left to its layout
    bool OwnFont = false;
    QFont NativeFont, WrittenFont;
};

struct TIvBidirectionalState {
    QPointer<QWidget> Control;
    bool Mirrored = false;
    int SavedLeft = 0;
    TIvReadingOrder Order = ivroLeftToRight;
};

class TIvTranslator : public TIvCustomTranslator {
    Q_OBJECT
public:
    explicit TIvTranslator(QObject* owner = nullptr);
    ~TIvTranslator() override;

    TIvTargetProperties Targets;
    TIvTranslatorOptions Options = ivtoDefault;
    TIvReadingOrder NativeLayout = ivroLeftToRight;
    TIvCharsetChange CharsetChange = ivccNormal;
    int MultiByteScale = 100;
    std::function<void(TIvTranslator*, QObject*)> OnTranslate, OnScale;
    std::function<void(TIvTranslator*, QObject*, TIvRestrictions&)> OnRestrictComponent;
    std::function<void(TIvTranslator*, QObject*, bool&)> OnRestrictObject;
    std::function<void(TIvTranslator*, QObject*, const QString&, bool&)> OnRestrictProperty;

    QObject* Root() const { return m_root ? m_root.data() : parent(); }
    void SetRoot(QObject* root) { m_root = root; }
    QWidget* RootWidget() const override { return qobject_cast<QWidget*>(Root()); }
    TIvReadingOrder ReadingOrder() const { return m_readingOrder; }

    // Called by the window once its widgets exist.
    virtual void Loaded();
    // Translates a part that the window built after it was translated (a
    // panel built when first shown), in the language now in force; later
    // language changes translate it with the rest.
    void TranslatePart(QObject* part);
    virtual void TranslateProperties(QObject* object, TIvRestrictions restrictions);
    virtual void TranslateTree(QObject* component, TIvRestrictions restrictions);
    virtual void UpdateFont();
    virtual void MirrorControl(QWidget* control, TIvBidirectionalState& state);
    virtual void RestoreControl(QWidget* control, TIvBidirectionalState& state);
    virtual void TranslateSpecial(QObject* component);
    virtual void MirrorContents(QObject* component);
    virtual void TranslateRoot(QObject* root);
    virtual void TranslateForm(QWidget* form) { TranslateRoot(form); }
    virtual void RestoreNative();
    virtual void RemirrorControl(QWidget* control);
    virtual void RemirrorAll();

    void DoTranslate() override;
    void DictionaryChanged(bool languageChanged, bool localeChanged) override;
    void Translate() override;
    void Disconnect() override;
    void Reset() override;

    // The window menu of the root: an MDI child's (the root, or the window
    // that holds it in an MDI area); nullptr for a window whose menu the
    // window manager draws.
    QMenu* SystemMenu() const;

    // The translator table: the translation of one property value, keeping
    // the native text of everything written.
    QString TranslateValue(QObject* object, const QString& property, const QString& value);
    QString TranslateText(QObject* object, const QString& text);
    const std::vector<TIvTranslatorTableItem>& Table() const { return m_table; }
    TIvBidirectionalState& StateOf(QWidget* control);

private:
    // The text properties of a class that the walk looks at, with their
    // target answer; found once per class and target version.
    struct ClassTexts {
        struct Text {
            int index;
            QString name;
            bool target;
        };
        int version = -1;
        std::vector<Text> texts;
        int localeIndex = -1;  // the writable int property "locale", if any
    };
    const ClassTexts& TextsOf(const QMetaObject* meta);
    void ScaleRoot(bool scaling);
    void ScaleWidgets(QWidget* root);
    void UnscaleWidgets();
    void TranslateSystemMenu();
    void TranslateStringProperty(QObject* object, const char* name, const QString& targetName);

    QPointer<QObject> m_root;
    TIvReadingOrder m_readingOrder = ivroLeftToRight;
    QString m_nativeFontName;
    qreal m_nativeFontSize = 0;
    QSet<const QObject*> m_visited;
    QHash<const QMetaObject*, ClassTexts> m_classTexts;
    std::vector<TIvTranslatorTableItem> m_table;
    std::vector<TIvBidirectionalState> m_states;
    std::vector<TIvScaledState> m_scaled;
    int m_scaledBy = 100;  // the scale in percent the widgets were scaled by
};

// Places a window centred over a control, or on the screen without one.
void CenterForm(QWidget* form, QWidget* control);
