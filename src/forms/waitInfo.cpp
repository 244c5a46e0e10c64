#include "forms/waitInfo.h"

#include "forms/PrjSearch.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

bool PrjSearchAborted = false;
TFPrjSearchAbort* FPrjSearchAbort = nullptr;

TFPrjSearchAbort::TFPrjSearchAbort(QWidget* parent) : TTemplateFormMultiLang(parent) {
    setObjectName(QStringLiteral("FPrjSearchAbort"));
    setWindowTitle(QStringLiteral("Search"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(460, 130);
    SetKeyPreview(true);
    Label1 = new QLabel(QStringLiteral("Searching project directories in"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    LabelDir = new QLabel(this);
    LabelDir->setObjectName(QStringLiteral("LabelDir"));
    LabelDir->setMinimumWidth(420);
    Button1 = new QPushButton(QStringLiteral("Abort"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(LabelDir);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    if (!FPrjSearchAbort) FPrjSearchAbort = this;
    Loaded();
}

TFPrjSearchAbort::~TFPrjSearchAbort() {
    if (FPrjSearchAbort == this) FPrjSearchAbort = nullptr;
}

void TFPrjSearchAbort::Button1Click() { PrjSearchAborted = true; }

void TFPrjSearchAbort::ShowDirectory(const QString& dir) {
    LabelDir->setText(FitPathToWidth(LabelDir->fontMetrics(), dir, LabelDir->width()));
}

void TFPrjSearchAbort::CentreOver(QWidget* form) {
    if (!form) return;
    const QRect r = form->frameGeometry();
    move(r.center() - QPoint(width() / 2, height() / 2));
}

bool TFPrjSearchAbort::FormKeyDown(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) return false;
    PrjSearchAborted = true;
    return true;
}
