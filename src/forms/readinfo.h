#pragma once
// A small notice window of configuration mode ("reading data"); it has no
// routines of its own.
#include "ui/MultiLang.h"

class QLabel;

class TFReadinInfo : public TTemplateFormMultiLang {
    Q_OBJECT
public:
    explicit TFReadinInfo(QWidget* parent = nullptr);
    QLabel* Label1 = nullptr;
};
