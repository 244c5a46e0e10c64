#include "forms/FirdatBinder.h"

#include "forms/rules/LEK1Rules.h"
#include "platform/Numbers.h"
#include "platform/Table.h"
#include "ui/Validati.h"

#include <QCheckBox>
#include <QLineEdit>
#include <limits>

TFirdatBinder::TFirdatBinder(TTable& table, QObject* parent) : QObject(parent), m_table(&table) {}

void TFirdatBinder::BindEdit(QLineEdit* edit, const QString& field) {
    m_bindings.push_back({edit, field});
    connect(edit, &QLineEdit::textEdited, this, [this, edit] { UserChanged(edit); });
}

void TFirdatBinder::BindCheck(QCheckBox* box, const QString& field) {
    m_bindings.push_back({box, field});
    // Only a user's click: a state set by the program must not start editing.
    connect(box, &QCheckBox::clicked, this, [this, box] { UserChanged(box); });
}

const TFirdatBinder::Binding* TFirdatBinder::Find(const QObject* control) const {
    for (const Binding& b : m_bindings)
        if (b.control == control) return &b;
    return nullptr;
}

QString TFirdatBinder::FieldOf(const QObject* control) const {
    const Binding* b = Find(control);
    return b ? b->field : QString();
}

QLineEdit* TFirdatBinder::EditOf(const QString& field) const {
    for (const Binding& b : m_bindings)
        if (auto* e = qobject_cast<QLineEdit*>(b.control.data()); e && b.field.compare(field, Qt::CaseInsensitive) == 0)
            return e;
    return nullptr;
}

QCheckBox* TFirdatBinder::CheckOf(const QString& field) const {
    for (const Binding& b : m_bindings)
        if (auto* c = qobject_cast<QCheckBox*>(b.control.data()); c && b.field.compare(field, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

TField& TFirdatBinder::Field(const QString& field) const { return m_table->FieldByName(field); }

void TFirdatBinder::Open() {
    if (!m_table->Active()) m_table->Open();
    if (m_table->State() == dsBrowse) m_table->First();
    Load();
}

QString TFirdatBinder::FieldText(const TField& field) {
    if (field.IsNull()) return QString();
    switch (field.DataType()) {
    case TFieldType::Float:
    case TFieldType::Currency: return FormatNumber(field.AsFloat());
    case TFieldType::SmallInt:
    case TFieldType::Integer: return QString::number(field.AsInteger());
    default: return field.AsString();
    }
}

void TFirdatBinder::Load() {
    m_loading = true;
    for (const Binding& b : m_bindings) {
        if (!b.control) continue;
        const TField& f = Field(b.field);
        if (auto* e = qobject_cast<QLineEdit*>(b.control.data())) e->setText(FieldText(f));
        else if (auto* c = qobject_cast<QCheckBox*>(b.control.data())) c->setChecked(f.AsBoolean());
    }
    m_loading = false;
}

bool TFirdatBinder::Editing() const { return m_table->State() == dsEdit || m_table->State() == dsInsert; }

void TFirdatBinder::Edit() {
    if (Editing()) return;
    if (!m_table->Active()) m_table->Open();
    if (m_table->IsEmpty()) m_table->Append();
    else m_table->Edit();
}

QVariant TFirdatBinder::ParseFieldText(const TField& field, const QString& typed) {
    const QString text = typed.trimmed();
    switch (field.DataType()) {
    case TFieldType::SmallInt:
    case TFieldType::Integer: {
        if (text.isEmpty()) return QVariant();
        bool ok = false;
        const qlonglong v = text.toLongLong(&ok);
        const qlonglong low = field.DataType() == TFieldType::SmallInt ? std::numeric_limits<int16_t>::min()
                                                                       : std::numeric_limits<int32_t>::min();
        const qlonglong high = field.DataType() == TFieldType::SmallInt ? std::numeric_limits<int16_t>::max()
                                                                        : std::numeric_limits<int32_t>::max();
        if (!ok || v < low || v > high)
            throw EConvertError(ConversionErrorText(typed, true).toStdString());
        return int(v);
    }
    case TFieldType::Float:
    case TFieldType::Currency: {
        if (text.isEmpty()) return QVariant();
        bool ok = false;
        const Extended v = ParseNumber(text, &ok);
        if (!ok) throw EConvertError(ConversionErrorText(typed, false).toStdString());
        return double(v);
    }
    default: return typed;
    }
}

void TFirdatBinder::UpdateField(const QObject* control) {
    const Binding* b = Find(control);
    if (!b || !b->control) return;
    if (!Editing()) Edit();
    TField& f = Field(b->field);
    if (auto* e = qobject_cast<const QLineEdit*>(control)) f.SetValue(ParseFieldText(f, e->text()));
    else if (auto* c = qobject_cast<const QCheckBox*>(control)) f.SetAsBoolean(c->isChecked());
}

void TFirdatBinder::UserChanged(QObject* control) {
    if (m_loading) return;
    Edit();
    // Edits are written when they are left or posted; a box is written now.
    if (qobject_cast<QCheckBox*>(control)) UpdateField(control);
    emit Changed();
}

void TFirdatBinder::Post() {
    if (!Editing()) return;
    for (const Binding& b : m_bindings)
        if (b.control) UpdateField(b.control);
    m_table->Post();
    Load();
}

void TFirdatBinder::Cancel() {
    if (Editing()) m_table->Cancel();
    if (m_table->Active()) Load();
}

void TFirdatBinder::SetField(const QString& field, const QVariant& value) {
    Edit();
    TField& f = Field(field);
    f.SetValue(value);
    m_loading = true;
    if (QLineEdit* e = EditOf(field)) e->setText(FieldText(f));
    if (QCheckBox* c = CheckOf(field)) c->setChecked(f.AsBoolean());
    m_loading = false;
}
