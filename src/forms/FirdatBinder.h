#pragma once
// Binds edits and check boxes of a form to the fields of one row of a table
// (the company settings FIRDAT): the controls show the row, the first change
// a user makes puts the table into edit mode, Post writes every control into
// the edit buffer and posts, Cancel drops the edits and shows the row again.
//
// Numbers are typed and stored without locale; a text that is no number of
// the field's kind raises EConvertError when it is written into the buffer.
#include <QObject>
#include <QPointer>
#include <QString>
#include "platform/Table.h"
#include <vector>

class QAbstractButton;
class QCheckBox;
class QLineEdit;
class TTable;
class TField;

class TFirdatBinder : public QObject {
    Q_OBJECT
public:
    explicit TFirdatBinder(TTable& table, QObject* parent = nullptr);

    TTable& Table() const { return *m_table; }
    // False once the table itself is gone (its data module ended first).
    bool HasTable() const { return !m_table.isNull(); }
    void BindEdit(QLineEdit* edit, const QString& field);
    void BindCheck(QCheckBox* box, const QString& field);

    // The field a control shows; empty for an unbound control.
    QString FieldOf(const QObject* control) const;
    QLineEdit* EditOf(const QString& field) const;
    QCheckBox* CheckOf(const QString& field) const;

    // Opens the table when needed, goes to its first row and shows it.
    void Open();
    // Shows the current row (or the edit buffer) in every control.
    void Load();
    // Puts the table into edit mode (appending the one row to an empty table).
    void Edit();
    bool Editing() const;
    // Writes one control's text or state into the edit buffer.
    void UpdateField(const QObject* control);
    // Writes every control into the edit buffer and posts; nothing when the
    // table is not being edited.
    void Post();
    void Cancel();

    // Sets a field through the edit buffer and shows it in its control.
    void SetField(const QString& field, const QVariant& value);
    TField& Field(const QString& field) const;

    // Turns a typed text into the value of a field of that kind.
    static QVariant ParseFieldText(const TField& field, const QString& text);
    static QString FieldText(const TField& field);

signals:
    // A user change put the table into edit mode or changed the buffer.
    void Changed();

private:
    struct Binding {
        QPointer<QObject> control;
        QString field;
    };
    const Binding* Find(const QObject* control) const;
    void UserChanged(QObject* control);

    QPointer<TTable> m_table;
    std::vector<Binding> m_bindings;
    bool m_loading = false;
};
