#include "forms/PickListForm.h"

#include "localisation/IvDictio.h"
#include "localisation/IvMulti.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>

TPickListForm::TPickListForm(QWidget* owner, const QStringList& columns) : TTemplateFormMultiLang(owner) {
    SetKeyPreview(true);
    m_list = new QTableWidget(0, int(columns.size()), this);
    m_list->setHorizontalHeaderLabels(columns);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setShowGrid(true);
    m_list->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("BitBtn1"));
    // The captions are the form's own texts: the translator does not reach
    // a list's header, so they follow the language here.
    IvTranslator1->OnAfterTranslate = [this, columns](TIvCustomTranslator*) {
        QStringList shown;
        for (const QString& c : columns) shown << IvTranslate(c);
        m_list->setHorizontalHeaderLabels(shown);
    };
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this] { Confirm(); });
    connect(m_ok, &QPushButton::clicked, this, [this] { Confirm(); });
}

bool TPickListForm::PrintForm() { return PrintFormOnDefaultPrinter(*this); }

bool TPickListForm::FormKeyDown(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_F10: PrintForm(); return true;
    case Qt::Key_Escape: reject(); return true;
    default: return false;
    }
}
