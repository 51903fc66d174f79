#pragma once
// The names and descriptions assistive technology reads for the window's controls where their
// caption or label does not say enough, in the chosen language; applied once the layout is
// built, from one table.

class QWidget;

namespace gw {

void NameControls(QWidget& window);

}  // namespace gw
