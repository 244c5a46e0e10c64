#pragma once
// The translator module for item widgets: table cells, list, combo box and
// tree items, tab captions, and status bar mirroring.
#include "localisation/IvAMulti.h"

class TIvControlModule : public TIvModule {
    Q_OBJECT
public:
    using TIvModule::TIvModule;
    bool TranslateProperty(TIvTranslator* translator, QObject* component) override;
    bool MirrorControl(TIvTranslator* translator, QWidget* control, TIvBidirectionalState& state) override;
    bool MirrorContents(TIvTranslator* translator, QWidget* control) override;
};
