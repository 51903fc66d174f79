#pragma once
// Mouse editing of the boundary lines in the editing view: move, scale from a corner, rotate
// about the pivot, move the pivot, drag single points, or draw a new hull in two strokes.
//
// The editor changes the lettering's boundary lines and keeps what only the editing needs: the
// working lines, the pivot and the rotation handle. It draws its rubber band into the view's
// canvas; what the window does afterwards (render, repaint) it learns from the
// outcome of the release. Every step of a drag is computed from the snapshot taken at the press,
// never from the step before, so rounding does not pile up.

#include <array>
#include <cstdint>
#include <string>

#include "document/Lettering.h"
#include "platform/Canvas.h"

namespace gw {

// The drag kinds of move and draw mode.
enum DragKind : std::int32_t {
    dkMoveAll = 0,
    dkUpperFirst = 1,  // corner scale from the upper line's first point
    dkUpperLast = 2,
    dkLowerFirst = 3,
    dkLowerLast = 4,
    dkPivot = 5,
    dkRotate = 6,
    dkDraw = 7,
};

// The cursor the view shows while hovering.
enum class EditCursor { Arrow, SizeNWSE, SizeNESW, SizeAll, HandPoint, Brush };

enum class EditOutcome {
    Nothing,    // nothing more to do
    Repaint,    // repaint the view (the pivot was moved)
    Render,     // the lines changed: render
    HullDrawn,  // the second stroke made the new lines: back to "Verschieben", then render
};

// How near, in pixels on both axes, the pointer must come to a point to take it.
inline constexpr std::int32_t kHitRadius = 5;

// A point within `radius` on both axes, borders included.
bool HitsPoint(TPoint p, std::int32_t x, std::int32_t y, std::int32_t radius = kHitRadius);

class TEnvelopeEditor {
  public:
    // The pivot starts in the middle of the picture, the rotation handle a quarter of its
    // height above.
    explicit TEnvelopeEditor(Lettering& lettering);

    // PaintBox1MouseMove with no button held: sets the drag kind (move and draw mode) or the
    // picked point (point mode) and tells the cursor. (x, y) is in picture coordinates;
    // hitRadius lets a zoomed view keep the radius the same on the screen.
    EditCursor Hover(std::int32_t x, std::int32_t y, bool envelopeTabActive,
                     std::int32_t hitRadius = kHitRadius);
    // PaintBox1MouseDown; ignored off the envelope tab and while a button is held. True when it
    // took the press.
    bool Press(Canvas& canvas, std::int32_t x, std::int32_t y, bool envelopeTabActive);
    // PaintBox1MouseMove with the button held: one step of the drag, drawn into the canvas.
    void Drag(Canvas& canvas, std::int32_t x, std::int32_t y);
    // PaintBox1MouseUp; ignored off the envelope tab and without a press.
    EditOutcome Release(Canvas& canvas, bool envelopeTabActive);

    // Draws the rubber band in XOR, so a second call erases it.
    void DrawTempLines(Canvas& canvas) const;
    // Draw mode was chosen: the strokes start anew.
    void StartDrawing();
    // The picture was W0 x H0 before its size changed: the pivot and the rotation handle scale
    // with the lines, or with the lines kept they move inside the picture, so the mouse can
    // always take them.
    void PictureResized(std::int32_t W0, std::int32_t H0, bool scaleLines);

    // The keyboard on "Punkte bearbeiten" sees the points of both lines as one row, the upper
    // line's first. Tab and Shift+Tab step along it; past either end they return false and the
    // pick stays, so the keys can leave the view.
    std::int32_t KeyPointCount() const;
    // The picked point's place in that row; a pick the lines no longer have is held to them.
    std::int32_t PickedIndex() const;
    void PickIndex(std::int32_t index);
    bool PickNext(bool backward);
    // An arrow key moves the picked point by (dx, dy) picture pixels. It stays inside the picture
    // unless it lay outside already (a document's lines may), and its outline is made anew.
    // False off point mode, while the mouse holds a point, or when nothing moved.
    bool MovePicked(std::int32_t dx, std::int32_t dy);
    // Which point is picked, as the status bar and the view's description say it:
    // "Punkt 3 von 12, oben".
    std::string PickedPointText() const;

    // Whether the tab "Verformen" is the active effect tab: the view then shows the boundary
    // lines and the mouse edits them.
    bool TabActive = false;
    std::int32_t DragKind = dkMoveAll;
    std::int32_t PickedLine = 0;   // 0 upper, 1 lower
    std::int32_t PickedPoint = 0;  // index within the picked line
    std::int32_t StrokeCount = 0;  // strokes finished in draw mode, 0 or 1
    bool ButtonHeld = false;
    TPoint PressPos;
    // In move and point mode the lines as they were at the press; in draw mode the two strokes.
    std::array<TLine, 2> WorkLines;
    TPoint Pivot;
    TPoint RotationHandle;
    TPoint PressPivot;   // the pivot at the press
    TPoint PressHandle;  // the rotation handle at the press

  private:
    EditMode Mode() const { return lettering_.settings.editMode; }
    void ScaleFromCorner(std::int32_t x, std::int32_t y);
    void Rotate(std::int32_t x, std::int32_t y);

    Lettering& lettering_;
};

}  // namespace gw
