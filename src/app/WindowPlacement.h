#pragma once
// Where the window opens: where it was when it was last closed, as large as it was, but kept on
// the screens there are now. A screen taken away or made smaller since must not leave the window
// out of reach.

#include <QList>
#include <QRect>
#include <QSize>

namespace gw {

// The window's rectangle for the saved one, given the window's smallest size and the screens'
// available areas (the primary one first). A saved rectangle that shows too little on every
// screen to be taken hold of, or none at all, gives `fallback`'s size centred on the primary
// screen; otherwise the window keeps its place on the screen it shows most on, made no larger
// than that screen and moved wholly onto it.
QRect PlacedWindow(const QRect& saved, const QSize& minimum, const QList<QRect>& screens,
                   const QSize& fallback);

}  // namespace gw
