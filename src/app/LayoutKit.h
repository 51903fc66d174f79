#pragma once
// The small makers the window's layout files share: named controls, labels with their buddies,
// galleries, the grid of an effect tab, the names of keys; and how an area of the window finds
// a control the layout made.

#include <QObject>
#include <QString>
#include <QStringList>

#include "platform/Geometry.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QKeySequence;
class QLabel;
class QRadioButton;
class QVBoxLayout;
class QWidget;

namespace gw {

class SpinEdit;
class TGalleryBox;
class TPaintBox;

namespace layout {

inline constexpr TColor kHeaderColour = 0xA6CAF0;
inline constexpr TColor kDecorColour = 0xC0DCC0;

void Name(QObject* object, const char* name);
// A light background whatever the desktop's scheme, its text dark.
void Paint(QWidget* widget, TColor colour);
// A page's header: a bold title on the header colour.
QWidget* Header(const char* name, const QString& text, QWidget* parent);
QLabel* Label(const QString& text, QWidget* buddy, QWidget* parent);
QRadioButton* Radio(const char* name, const QString& text, QWidget* parent);
QCheckBox* Check(const char* name, const QString& text, QWidget* parent);
QComboBox* List(const char* name, const QStringList& items, QWidget* parent);
// A gallery: a paint box in a scroll box of the workspace colour that scrolls sideways.
TGalleryBox* GalleryBox(const char* scrollName, TPaintBox*& box, const char* boxName,
                        int laidOutHeight, QWidget* parent);
QVBoxLayout* Column(QGridLayout* grid, int column);
QGridLayout* PageGrid(QWidget* page);
// A spin field whose range and kind come from the settings table's row of its name.
SpinEdit* MakeSpin(const char* name, QWidget* parent);
// A row of a tab's values: its label in column 0, the spin field of the setting `name` in 1. A
// new setting's field is this one line; the settings table's row binds it.
SpinEdit* SpinRow(QGridLayout* grid, int row, const QString& label, const char* name,
                  QWidget* parent);

// The effect tabs 3D-Kante, Schatten and Rahmen.
QWidget* BuildEdgeTab();
QWidget* BuildShadowTab();
QWidget* BuildFrameTab();

// The keys as the German desktop names them, "Strg+Umschalt+S", and a hint with its keys.
QString KeyName(const QKeySequence& keys);
QString WithKeys(const QString& hint, const QKeySequence& keys);

// The window's control of this name, which the layout made.
template <class T>
T* Named(const QObject& window, const char* name) {
    T* child = window.findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("The window has no control %s.", name);
    return child;
}

}  // namespace layout
}  // namespace gw
