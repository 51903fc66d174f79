#pragma once
// The picture of the editing view: the lettering scaled into the view and, while the envelope
// tab is active, the boundary lines with their handles; in draw mode the white drawing sheet
// with the prompt and the strokes drawn so far.
//
// Everything is drawn in our canvas: the markers invert the picture beneath them and the round
// marker is XORed, which QPainter would not reproduce.

#include "document/Lettering.h"
#include "editing/EnvelopeEditor.h"
#include "platform/Canvas.h"
#include "raster/DibImage.h"

namespace gw {

inline constexpr char kDrawPrompt[] =
    "Zeichnen Sie nun die obere und untere Text-Begrenzungslinie!";

// Paints the whole view (the canvas's bitmap is the view's size).
void PaintEditView(Canvas& canvas, const Lettering& lettering, const TEnvelopeEditor& editor,
                   const DibImage& Picture, bool envelopeTabActive);

// The handle of a point: the square (x - 3, y - 3)-(x + 3, y + 3) inverted, then framed white.
void DrawSquareMarker(Canvas& canvas, TPoint p);
// The rotation handle: the circle in (x - 4, y - 4)-(x + 4, y + 4) with its inside inverted,
// then a white ring on it.
void DrawRoundMarker(Canvas& canvas, TPoint p);

}  // namespace gw
