#pragma once
// The message boxes of the layers below the window, shown as modal Qt boxes.

namespace gw {

// Routes every ShowMessageBox of the program to a modal QMessageBox.
void InstallQtMessageBoxes();

}  // namespace gw
