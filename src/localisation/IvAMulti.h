#pragma once
// Plug-in modules of the translator: widget kinds whose texts are not plain
// properties (grid cells, list and tree items) and their mirroring.
#include <QObject>
#include <memory>
#include <vector>

class TIvTranslator;
class QWidget;
struct TIvBidirectionalState;

class TIvModule : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Each returns true when the module handled the case.
    virtual bool TranslateProperty(TIvTranslator* translator, QObject* component) { return false; }
    virtual bool MirrorControl(TIvTranslator* translator, QWidget* control, TIvBidirectionalState& state) { return false; }
    virtual bool RestoreControl(TIvTranslator* translator, QWidget* control, TIvBidirectionalState& state) { return false; }
    virtual bool MirrorContents(TIvTranslator* translator, QWidget* control) { return false; }
};

class TIvModules {
public:
    // Appends a module unless one of the same class is registered.
    void RegisterModule(std::unique_ptr<TIvModule> module);
    int Count() const { return int(m_items.size()); }
    bool TranslateProperty(TIvTranslator* translator, QObject* component);
    bool MirrorControl(TIvTranslator* translator, QWidget* control, TIvBidirectionalState& state);
    bool RestoreControl(TIvTranslator* translator, QWidget* control, TIvBidirectionalState& state);
    bool MirrorContents(TIvTranslator* translator, QWidget* control);

private:
    template <typename F> bool First(F f);
    std::vector<std::unique_ptr<TIvModule>> m_items;
};

// The program-wide modules; the control module is registered on first use.
TIvModules& Modules();
