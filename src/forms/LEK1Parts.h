#pragma once
// The widgets of the input form's panels, and how the parts of its
// connection area come into being: a configuration shows a few of the
// connection groups, so each group (and the dynamic, cold and insulation
// panels) is built, translated and laid out when a configuration first
// shows it or the form first sets it, not before the form is on screen.
#include <QList>
#include <QString>
#include <QStringList>

class QBoxLayout;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QWidget;
class TFloatEdit;
class TZORBELGroupBox;

namespace lek1 {

// What the form itself set into an edit; a later exit with the same text
// means the engineer did not change it, so the record keeps its own
// (unrounded) value.
void MarkShown(QLineEdit* e);
bool ChangedSinceShown(const QLineEdit* e);

// The building connection items in their native texts.
QStringList BuildingConnectionNatives();

// A float edit showing its first text already with the given decimals.
TFloatEdit* MakeFloat(const QString& name, QWidget* parent, int precision = 3);
QLabel* MakeLabel(const QString& name, const QString& text, QWidget* parent);
QFrame* MakePanel(const QString& name, QWidget* parent);
// A panel holding one check box alone.
QFrame* MakeCheckPanel(const QString& name, const QString& boxName, const QString& text, QWidget* parent,
                       QCheckBox*& box);
TZORBELGroupBox* MakePictureGroup(const QString& name, const QString& title, const QStringList& items,
                                  const QStringList& pictures, QWidget* parent, int height);

// Adds a widget to a box layout at its place among the widgets the order
// names (by object name): a part built later stands where it would have
// stood had it been built with the others. Widgets the order does not name
// and items without a widget (a stretch) stay behind it.
void InsertInOrder(QBoxLayout* layout, QWidget* widget, const QStringList& order);

// The widgets under root that take the focus, in the order they stand on
// screen: a layout's widgets in its order, other children in the order they
// were made. A widget that takes the focus itself is one stop; its own
// inner widgets are its business.
QList<QWidget*> FocusStops(QWidget* root);

// Tab moves through the stops in the given order, starting after `after`.
void ChainFocus(QWidget* after, const QList<QWidget*>& stops);

}  // namespace lek1
