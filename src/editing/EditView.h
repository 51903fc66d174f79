#pragma once
// The picture of the editing view: the lettering scaled into the view and, while the envelope
// tab is active, the boundary lines with their handles; in draw mode the white drawing sheet
// with the prompt and the strokes drawn so far.
//
// Everything is drawn in our canvas: the markers invert the picture beneath them and the round
// marker is XORed, which QPainter would not reproduce.

#include <array>

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

// The boundary lines (the two working ones, then the two of a drag or the strokes of draw
// mode), the handles and the mode, as the view shows them. The view keeps them from its last
// composition: a drag moves the lettering's lines, while the view still shows the old ones.
struct EditViewLines {
    std::array<TLine, 4> lines;
    TPoint pivot;
    TPoint rotationHandle;
    EditMode mode = EditMode::MoveCheck;
    // The point the keyboard picked on "Punkte bearbeiten" (TEnvelopeEditor::PickedIndex),
    // framed while the view has the keys; -1 for none.
    std::int32_t keyPicked = -1;

    static EditViewLines Of(const Lettering& lettering, const TEnvelopeEditor& editor);
    EditViewLines Shifted(TPoint by) const;
    // As a view zoomed by `scale` shows them over its part whose top left is `origin`.
    EditViewLines OnScreen(double scale, TPoint origin) const;
};

// Paints what lies over the picture into the part of the view whose top left is `origin`: the
// canvas's bitmap is that part and already holds the picture's pixels there; the whole view is
// viewWidth x viewHeight. Every pixel comes out as PaintEditView would draw it at that place.
// A zoomed view draws the lines at its own pixels: they stay one pixel wide and the handles
// keep their size.
void PaintEditOverlay(Canvas& canvas, const EditViewLines& lines, bool envelopeTabActive,
                      TPoint origin, std::int32_t viewWidth, std::int32_t viewHeight,
                      double scale = 1);

// The rubber band of a drag over that part: the lines and connectors (unless only the pivot is
// dragged) and the pivot arm, dotted red in XOR.
void DrawRubberBand(Canvas& canvas, const EditViewLines& lines, bool pivotOnly, TPoint origin,
                    double scale = 1);

// The part of the picture whose top left is (x, y) copied into `part` as DrawDib shows it 1:1;
// what lies beyond the picture stays as it is.
void CopyPicturePart(const DibImage& picture, std::int32_t x, std::int32_t y, Bitmap& part);

// The handle of a point: the square (x - 3, y - 3)-(x + 3, y + 3) inverted, then framed white.
void DrawSquareMarker(Canvas& canvas, TPoint p);
// The rotation handle: the circle in (x - 4, y - 4)-(x + 4, y + 4) with its inside inverted,
// then a white ring on it.
void DrawRoundMarker(Canvas& canvas, TPoint p);

}  // namespace gw
