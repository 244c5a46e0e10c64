#include "localisation/IvAMulti.h"

#include "localisation/IvConMod.h"

#include <cstring>

void TIvModules::RegisterModule(std::unique_ptr<TIvModule> module) {
    for (const auto& m : m_items)
        if (std::strcmp(m->metaObject()->className(), module->metaObject()->className()) == 0) return;
    m_items.push_back(std::move(module));
}

template <typename F> bool TIvModules::First(F f) {
    for (const auto& m : m_items)
        if (f(*m)) return true;
    return false;
}

bool TIvModules::TranslateProperty(TIvTranslator* t, QObject* c) {
    return First([&](TIvModule& m) { return m.TranslateProperty(t, c); });
}

bool TIvModules::MirrorControl(TIvTranslator* t, QWidget* c, TIvBidirectionalState& s) {
    return First([&](TIvModule& m) { return m.MirrorControl(t, c, s); });
}

bool TIvModules::RestoreControl(TIvTranslator* t, QWidget* c, TIvBidirectionalState& s) {
    return First([&](TIvModule& m) { return m.RestoreControl(t, c, s); });
}

bool TIvModules::MirrorContents(TIvTranslator* t, QWidget* c) {
    return First([&](TIvModule& m) { return m.MirrorContents(t, c); });
}

TIvModules& Modules() {
    static TIvModules modules;
    static const bool registered = (modules.RegisterModule(std::make_unique<TIvControlModule>()), true);
    (void)registered;
    return modules;
}
