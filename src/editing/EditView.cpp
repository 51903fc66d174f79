#include "editing/EditView.h"

#include "platform/TextLayout.h"
#include "raster/Bildkern.h"

namespace gw {

namespace {

void Connector(Canvas& canvas, TPoint from, TPoint to) {
    canvas.MoveTo(from.x, from.y);
    canvas.LineTo(to.x, to.y);
}

void DrawSheet(Canvas& canvas, const TEnvelopeEditor& editor) {
    const std::int32_t w = canvas.Target().Width();
    const std::int32_t h = canvas.Target().Height();
    canvas.pen = Pen{clWhite, PenStyle::Solid, PenMode::Copy};
    canvas.brush = Brush{clWhite, BrushStyle::Solid};
    canvas.Rectangle(0, 0, w, h);
    canvas.font = LogFont{};  // "MS Sans Serif", 8 points
    canvas.fontColor = clBlack;
    TRect rect{0, 0, w - 1, h - 1};
    canvas.DrawText(kDrawPrompt, rect, DT_CENTER);
    canvas.pen = Pen{clBlack, PenStyle::Solid, PenMode::Copy};
    editor.WorkLines[0].Draw(canvas);
    editor.WorkLines[1].Draw(canvas);
}

void DrawEnvelope(Canvas& canvas, const Lettering& lettering, const TEnvelopeEditor& editor) {
    const TLine& upper = lettering.EnvelopeLines[0];
    const TLine& lower = lettering.EnvelopeLines[1];
    canvas.pen = Pen{clBlack, PenStyle::Dot, PenMode::Copy};
    canvas.brush = Brush{clWhite, BrushStyle::Solid};
    upper.Draw(canvas);
    lower.Draw(canvas);
    Connector(canvas, upper.GetPoint(0), lower.GetPoint(0));
    Connector(canvas, upper.GetPoint(upper.PointCount() - 1),
              lower.GetPoint(lower.PointCount() - 1));

    if (lettering.settings.editMode == EditMode::EdPointsCheck) {
        for (const TLine* line : {&upper, &lower})
            for (const TPoint& p : line->Points())
                DrawSquareMarker(canvas, p);
        return;
    }
    Connector(canvas, editor.Pivot, editor.RotationHandle);
    DrawSquareMarker(canvas, editor.Pivot);
    DrawRoundMarker(canvas, editor.RotationHandle);
    for (const TLine* line : {&upper, &lower}) {
        DrawSquareMarker(canvas, line->GetPoint(0));
        DrawSquareMarker(canvas, line->GetPoint(line->PointCount() - 1));
    }
}

}  // namespace

void DrawSquareMarker(Canvas& canvas, TPoint p) {
    canvas.pen = Pen{clBlack, PenStyle::Solid, PenMode::Copy};
    canvas.brush = Brush{clWhite, BrushStyle::Solid};
    const TRect r{p.x - 3, p.y - 3, p.x + 3, p.y + 3};
    canvas.InvertRect(r);
    canvas.FrameRect(r);
}

void DrawRoundMarker(Canvas& canvas, TPoint p) {
    canvas.pen = Pen{clBlack, PenStyle::Solid, PenMode::Xor};
    canvas.brush = Brush{clWhite, BrushStyle::Solid};
    canvas.Ellipse(p.x - 4, p.y - 4, p.x + 4, p.y + 4);
    canvas.brush.style = BrushStyle::Clear;
    canvas.pen = Pen{clWhite, PenStyle::Solid, PenMode::Copy};
    canvas.Ellipse(p.x - 4, p.y - 4, p.x + 4, p.y + 4);
    canvas.brush.style = BrushStyle::Solid;
}

void PaintEditView(Canvas& canvas, const Lettering& lettering, const TEnvelopeEditor& editor,
                   const DibImage& Picture, bool envelopeTabActive) {
    if (lettering.settings.editMode == EditMode::DrawFace) {
        DrawSheet(canvas, editor);
        return;
    }
    const std::int32_t w = canvas.Target().Width();
    const std::int32_t h = canvas.Target().Height();
    if (!Picture.Empty()) {
        DrawDib(canvas, Picture, DrawDibOptions::Whole(Picture, 0, 0, w, h));
    }
    if (envelopeTabActive) DrawEnvelope(canvas, lettering, editor);
}

}  // namespace gw
