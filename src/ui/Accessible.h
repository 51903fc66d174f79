#pragma once
// What assistive technology reads of the widgets that draw themselves. A gallery's paint box is a
// list whose cells are items named after their presets, with the chosen one selected and the
// keyboard's one focused; a picture button is a button that can be pressed.

class QWidget;

namespace gw {

// Installs the accessibility of our own widgets; once is enough, more calls do nothing.
void InstallAccessibility();

// A gallery's keyboard cell moved, or a cell was picked: screen readers follow.
void GalleryFocusMoved(QWidget* box, int cell);
void GallerySelectionChanged(QWidget* box, int cell);

}  // namespace gw
