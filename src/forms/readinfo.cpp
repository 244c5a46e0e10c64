#include "forms/readinfo.h"

#include <QLabel>
#include <QVBoxLayout>

TFReadinInfo::TFReadinInfo(QWidget* parent) : TTemplateFormMultiLang(parent) {
    setObjectName(QStringLiteral("FReadinInfo"));
    setWindowTitle(QStringLiteral("KORVA"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    Label1 = new QLabel(QStringLiteral("Reading data, please wait ..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    Loaded();
}
