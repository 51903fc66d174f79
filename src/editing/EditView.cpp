#include "editing/EditView.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "editing/ViewZoom.h"
#include "platform/TextLayout.h"
#include "raster/Bildkern.h"

namespace gw {

namespace {

void Connector(Canvas& canvas, TPoint from, TPoint to) {
    canvas.MoveTo(from.x, from.y);
    canvas.LineTo(to.x, to.y);
}

template <class Map>
TLine MappedLine(const TLine& line, Map map) {
    std::vector<TPoint> points = line.Points();
    for (TPoint& p : points)
        p = map(p);
    TLine shifted;
    shifted.Assign(std::move(points), {});
    return shifted;
}

void DrawSheet(Canvas& canvas, const EditViewLines& lines, TPoint origin, std::int32_t viewWidth,
               std::int32_t viewHeight) {
    canvas.pen = Pen{clWhite, PenStyle::Solid, PenMode::Copy};
    canvas.brush = Brush{clWhite, BrushStyle::Solid};
    canvas.Rectangle(0, 0, canvas.Target().Width(), canvas.Target().Height());
    canvas.font = LogFont{};  // "MS Sans Serif", 8 points
    canvas.fontColor = clBlack;
    TRect rect{-origin.x, -origin.y, viewWidth - 1 - origin.x, viewHeight - 1 - origin.y};
    canvas.DrawText(kDrawPrompt, rect, DT_CENTER);
    canvas.pen = Pen{clBlack, PenStyle::Solid, PenMode::Copy};
    lines.lines[2].Draw(canvas);
    lines.lines[3].Draw(canvas);
}

void DrawEnvelope(Canvas& canvas, const EditViewLines& lines) {
    const TLine& upper = lines.lines[0];
    const TLine& lower = lines.lines[1];
    canvas.pen = Pen{clBlack, PenStyle::Dot, PenMode::Copy};
    canvas.brush = Brush{clWhite, BrushStyle::Solid};
    upper.Draw(canvas);
    lower.Draw(canvas);
    Connector(canvas, upper.GetPoint(0), lower.GetPoint(0));
    Connector(canvas, upper.GetPoint(upper.PointCount() - 1),
              lower.GetPoint(lower.PointCount() - 1));

    if (lines.mode == EditMode::EdPointsCheck) {
        for (const TLine* line : {&upper, &lower})
            for (const TPoint& p : line->Points())
                DrawSquareMarker(canvas, p);
        const std::int32_t count = upper.PointCount() + lower.PointCount();
        if (lines.keyPicked >= 0 && lines.keyPicked < count) {
            // The keyboard's point: a black and a white frame around its handle, seen on any
            // picture.
            const bool onUpper = lines.keyPicked < upper.PointCount();
            const TPoint p = onUpper ? upper.GetPoint(lines.keyPicked)
                                     : lower.GetPoint(lines.keyPicked - upper.PointCount());
            canvas.brush = Brush{clBlack, BrushStyle::Solid};
            canvas.FrameRect({p.x - 6, p.y - 6, p.x + 6, p.y + 6});
            canvas.brush = Brush{clWhite, BrushStyle::Solid};
            canvas.FrameRect({p.x - 5, p.y - 5, p.x + 5, p.y + 5});
        }
        return;
    }
    Connector(canvas, lines.pivot, lines.rotationHandle);
    DrawSquareMarker(canvas, lines.pivot);
    DrawRoundMarker(canvas, lines.rotationHandle);
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

EditViewLines EditViewLines::Of(const Lettering& lettering, const TEnvelopeEditor& editor) {
    return {{lettering.EnvelopeLines[0], lettering.EnvelopeLines[1], editor.WorkLines[0],
             editor.WorkLines[1]},
            editor.Pivot,
            editor.RotationHandle,
            lettering.settings.editMode};
}

namespace {

template <class Map>
EditViewLines MappedLines(const EditViewLines& lines, Map map) {
    EditViewLines mapped{
        {}, map(lines.pivot), map(lines.rotationHandle), lines.mode, lines.keyPicked};
    for (std::size_t i = 0; i < lines.lines.size(); ++i)
        mapped.lines[i] = MappedLine(lines.lines[i], map);
    return mapped;
}

}  // namespace

EditViewLines EditViewLines::Shifted(TPoint by) const {
    return MappedLines(*this, [by](TPoint p) { return TPoint{p.x + by.x, p.y + by.y}; });
}

EditViewLines EditViewLines::OnScreen(double scale, TPoint origin) const {
    if (scale == 1) return Shifted({-origin.x, -origin.y});
    return MappedLines(*this, [scale, origin](TPoint p) {
        return TPoint{ToScreen(p.x, scale) - origin.x, ToScreen(p.y, scale) - origin.y};
    });
}

void PaintEditOverlay(Canvas& canvas, const EditViewLines& lines, bool envelopeTabActive,
                      TPoint origin, std::int32_t viewWidth, std::int32_t viewHeight,
                      double scale) {
    const EditViewLines shown = lines.OnScreen(scale, origin);
    if (shown.mode == EditMode::DrawFace) {
        DrawSheet(canvas, shown, origin, viewWidth, viewHeight);
        return;
    }
    if (envelopeTabActive) DrawEnvelope(canvas, shown);
}

void DrawRubberBand(Canvas& canvas, const EditViewLines& lines, bool pivotOnly, TPoint origin,
                    double scale) {
    const EditViewLines shown = lines.OnScreen(scale, origin);
    canvas.pen = Pen{clRed, PenStyle::Dot, PenMode::Xor};
    canvas.brush = Brush{clWhite, BrushStyle::Solid};
    if (!pivotOnly) {
        const TLine& upper = shown.lines[0];
        const TLine& lower = shown.lines[1];
        upper.Draw(canvas);
        lower.Draw(canvas);
        Connector(canvas, upper.GetPoint(0), lower.GetPoint(0));
        Connector(canvas, upper.GetPoint(upper.PointCount() - 1),
                  lower.GetPoint(lower.PointCount() - 1));
    }
    Connector(canvas, shown.pivot, shown.rotationHandle);
    canvas.pen.mode = PenMode::Copy;
}

void CopyPicturePart(const DibImage& picture, std::int32_t x, std::int32_t y, Bitmap& part) {
    if (picture.Empty() || part.Empty()) return;
    const std::int32_t w = DibWidth(picture);
    const std::int32_t h = DibHeight(picture);
    if (DibBitCount(picture) != 24 || ScreenColorDepth() < 24) {
        // Fewer colours take DrawDib's own ways (colour table, halftone); rare enough to draw
        // the whole picture clipped to the part.
        Canvas canvas(part);
        DrawDib(canvas, picture, DrawDibOptions::Whole(picture, -x, -y, w, h));
        return;
    }
    const std::int32_t left = std::max(x, 0);
    const std::int32_t right = std::min(x + part.Width(), w);
    const std::int32_t top = std::max(y, 0);
    const std::int32_t bottom = std::min(y + part.Height(), h);
    if (left >= right || top >= bottom) return;
    const std::size_t bytes = std::size_t(right - left) * 3;
    for (std::int32_t row = top; row < bottom; ++row)
        std::memcpy(part.Row(row - y) + std::size_t(left - x) * 3,
                    picture.Row(row) + std::size_t(left) * 3, bytes);
}

void PaintEditView(Canvas& canvas, const Lettering& lettering, const TEnvelopeEditor& editor,
                   const DibImage& Picture, bool envelopeTabActive) {
    const std::int32_t w = canvas.Target().Width();
    const std::int32_t h = canvas.Target().Height();
    if (lettering.settings.editMode != EditMode::DrawFace && !Picture.Empty())
        DrawDib(canvas, Picture, DrawDibOptions::Whole(Picture, 0, 0, w, h));
    PaintEditOverlay(canvas, EditViewLines::Of(lettering, editor), envelopeTabActive, {0, 0}, w, h);
}

}  // namespace gw
