#include "editing/EnvelopeEditor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>

#include "document/PictureSize.h"
#include "platform/Catalogue.h"

namespace gw {

namespace {

// Lines read from a document may lie anywhere; a step that would leave 32 bits stays at the
// nearer limit instead of wrapping.
std::int32_t Clamped(long double v) {
    constexpr long double lo = std::numeric_limits<std::int32_t>::min();
    constexpr long double hi = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(v)) return 0;
    if (v <= lo) return std::numeric_limits<std::int32_t>::min();
    if (v >= hi) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v);
}

TPoint Offset(TPoint p, std::int64_t dx, std::int64_t dy) {
    return {Clamped(static_cast<long double>(p.x + dx)),
            Clamped(static_cast<long double>(p.y + dy))};
}

TPoint LastPoint(const TLine& line) {
    return line.GetPoint(line.PointCount() - 1);
}

long double Distance(TPoint a, TPoint b) {
    const long double dx = static_cast<long double>(a.x) - b.x;
    const long double dy = static_cast<long double>(a.y) - b.y;
    return std::sqrt(dx * dx + dy * dy);
}

// The direction of v in degrees, screen coordinates (y downwards); 90 for the zero vector.
long double Direction(long double vx, long double vy) {
    const long double length = std::sqrt(vx * vx + vy * vy);
    if (length == 0) return 90;
    const long double degrees = std::acos(vx / length) * 180 / std::numbers::pi_v<long double>;
    return vy < 0 ? -degrees : degrees;
}

void Connect(Canvas& canvas, TPoint from, TPoint to) {
    canvas.MoveTo(from.x, from.y);
    canvas.LineTo(to.x, to.y);
}

}  // namespace

bool HitsPoint(TPoint p, std::int32_t x, std::int32_t y, std::int32_t radius) {
    return std::llabs(static_cast<long long>(x) - p.x) <= radius &&
           std::llabs(static_cast<long long>(y) - p.y) <= radius;
}

TEnvelopeEditor::TEnvelopeEditor(Lettering& lettering) : lettering_(lettering) {
    const std::int32_t w = lettering.width;
    const std::int32_t h = lettering.height;
    Pivot = {w / 2, h / 2};
    RotationHandle = {w / 2, h / 2 - h / 4};
}

EditCursor TEnvelopeEditor::Hover(std::int32_t x, std::int32_t y, bool envelopeTabActive,
                                  std::int32_t hitRadius) {
    if (!envelopeTabActive) return EditCursor::Arrow;
    const TLine& upper = lettering_.EnvelopeLines[0];
    const TLine& lower = lettering_.EnvelopeLines[1];
    switch (Mode()) {
        case EditMode::DrawFace:
            DragKind = dkDraw;
            return EditCursor::Brush;
        case EditMode::EdPointsCheck: {
            // The last point under the pointer wins; the pick stays when the pointer leaves it.
            bool hit = false;
            for (std::int32_t k = 0; k < 2; ++k) {
                const TLine& line = lettering_.EnvelopeLines[std::size_t(k)];
                for (std::int32_t i = 0; i < line.PointCount(); ++i) {
                    if (!HitsPoint(line.GetPoint(i), x, y, hitRadius)) continue;
                    PickedLine = k;
                    PickedPoint = i;
                    hit = true;
                }
            }
            return hit ? EditCursor::HandPoint : EditCursor::Arrow;
        }
        case EditMode::MoveCheck:
            break;
    }
    // The first row that hits wins: corners before the pivot and the handle.
    struct Row {
        TPoint point;
        std::int32_t kind;
        EditCursor cursor;
    };
    const Row rows[] = {
        {upper.GetPoint(0), dkUpperFirst, EditCursor::SizeNWSE},
        {LastPoint(upper), dkUpperLast, EditCursor::SizeNESW},
        {lower.GetPoint(0), dkLowerFirst, EditCursor::SizeNESW},
        {LastPoint(lower), dkLowerLast, EditCursor::SizeNWSE},
        {Pivot, dkPivot, EditCursor::HandPoint},
        {RotationHandle, dkRotate, EditCursor::HandPoint},
    };
    for (const Row& row : rows) {
        if (!HitsPoint(row.point, x, y, hitRadius)) continue;
        DragKind = row.kind;
        return row.cursor;
    }
    DragKind = dkMoveAll;
    return EditCursor::SizeAll;
}

bool TEnvelopeEditor::Press(Canvas& canvas, std::int32_t x, std::int32_t y,
                            bool envelopeTabActive) {
    if (!envelopeTabActive || ButtonHeld) return false;
    ButtonHeld = true;
    PressPos = {x, y};
    auto& lines = lettering_.EnvelopeLines;
    if (Mode() == EditMode::DrawFace) {
        WorkLines[StrokeCount == 0 ? 0 : 1].AddPoint(x, y);
        return true;
    }
    WorkLines[0].Clear();
    WorkLines[1].Clear();
    PressPivot = Pivot;
    PressHandle = RotationHandle;
    for (std::int32_t k = 0; k < 2; ++k)
        for (const TPoint& p : lines[std::size_t(k)].Points())
            WorkLines[std::size_t(k)].AddPoint(p.x, p.y);
    DrawTempLines(canvas);
    return true;
}

void TEnvelopeEditor::Drag(Canvas& canvas, std::int32_t x, std::int32_t y) {
    if (!ButtonHeld) return;
    auto& lines = lettering_.EnvelopeLines;
    if (Mode() == EditMode::DrawFace) {
        canvas.pen = Pen{clBlack, PenStyle::Solid, PenMode::Copy};
        WorkLines[StrokeCount == 0 ? 0 : 1].AddPoint(x, y);
        WorkLines[0].Draw(canvas);
        WorkLines[1].Draw(canvas);
        return;
    }
    DrawTempLines(canvas);
    const std::int64_t dx = std::int64_t(x) - PressPos.x;
    const std::int64_t dy = std::int64_t(y) - PressPos.y;
    if (Mode() == EditMode::EdPointsCheck) {
        const TPoint from = WorkLines[std::size_t(PickedLine)].GetPoint(PickedPoint);
        const TPoint to = Offset(from, dx, dy);
        lines[std::size_t(PickedLine)].SetPoint(PickedPoint, to.x, to.y);
    } else {
        switch (DragKind) {
            case dkMoveAll:
                for (std::size_t k = 0; k < 2; ++k) {
                    const std::vector<TPoint>& snapshot = WorkLines[k].Points();
                    for (std::size_t i = 0; i < snapshot.size(); ++i) {
                        const TPoint p = Offset(snapshot[i], dx, dy);
                        lines[k].SetPoint(std::int32_t(i), p.x, p.y);
                    }
                }
                Pivot = Offset(PressPivot, dx, dy);
                RotationHandle = Offset(PressHandle, dx, dy);
                break;
            case dkUpperFirst:
            case dkUpperLast:
            case dkLowerFirst:
            case dkLowerLast:
                ScaleFromCorner(x, y);
                break;
            case dkPivot:
                Pivot = {x, y};
                break;
            case dkRotate:
                Rotate(x, y);
                break;
            default:
                break;
        }
    }
    DrawTempLines(canvas);
}

void TEnvelopeEditor::ScaleFromCorner(std::int32_t x, std::int32_t y) {
    auto& lines = lettering_.EnvelopeLines;
    const TLine& upper = WorkLines[0];
    const TLine& lower = WorkLines[1];
    TPoint grabbed;
    TPoint opposite;
    switch (DragKind) {
        case dkUpperFirst:
            grabbed = upper.GetPoint(0);
            opposite = LastPoint(lower);
            break;
        case dkUpperLast:
            grabbed = LastPoint(upper);
            opposite = lower.GetPoint(0);
            break;
        case dkLowerFirst:
            grabbed = lower.GetPoint(0);
            opposite = LastPoint(upper);
            break;
        default:
            grabbed = LastPoint(lower);
            opposite = upper.GetPoint(0);
            break;
    }
    const long double span = Distance(grabbed, opposite);
    // Grabbed and opposite corner on one spot give no scale: the envelope stays as it was.
    if (span == 0) return;
    const long double s = Distance({x, y}, opposite) / span;
    auto scaled = [&](TPoint p) {
        const long double px = opposite.x + (static_cast<long double>(p.x) - opposite.x) * s;
        const long double py = opposite.y + (static_cast<long double>(p.y) - opposite.y) * s;
        return TPoint{Clamped(std::nearbyint(px)), Clamped(std::nearbyint(py))};
    };
    for (std::size_t k = 0; k < 2; ++k) {
        const std::vector<TPoint>& snapshot = WorkLines[k].Points();
        for (std::size_t i = 0; i < snapshot.size(); ++i) {
            const TPoint p = scaled(snapshot[i]);
            lines[k].SetPoint(std::int32_t(i), p.x, p.y);
        }
    }
    Pivot = scaled(PressPivot);
    RotationHandle = scaled(PressHandle);
}

void TEnvelopeEditor::Rotate(std::int32_t x, std::int32_t y) {
    RotationHandle = {x, y};
    const TPoint c = Pivot;
    const long double before = Direction(static_cast<long double>(PressHandle.x) - c.x,
                                         static_cast<long double>(PressHandle.y) - c.y);
    const long double after =
        Direction(static_cast<long double>(x) - c.x, static_cast<long double>(y) - c.y);
    const long double a = (after - before) * std::numbers::pi_v<long double> / 180;
    const long double cosA = std::cos(a);
    const long double sinA = std::sin(a);
    auto& lines = lettering_.EnvelopeLines;
    for (std::size_t k = 0; k < 2; ++k) {
        const std::vector<TPoint>& snapshot = WorkLines[k].Points();
        for (std::size_t i = 0; i < snapshot.size(); ++i) {
            const long double dx = static_cast<long double>(snapshot[i].x) - c.x;
            const long double dy = static_cast<long double>(snapshot[i].y) - c.y;
            const long double px = c.x + std::nearbyint(dx * cosA - dy * sinA);
            const long double py = c.y + std::nearbyint(dx * sinA + dy * cosA);
            lines[k].SetPoint(std::int32_t(i), Clamped(px), Clamped(py));
        }
    }
}

EditOutcome TEnvelopeEditor::Release(Canvas& canvas, bool envelopeTabActive) {
    if (!ButtonHeld) return EditOutcome::Nothing;
    // A release always ends the press, even when the tab changed during the drag: a flag left
    // set would refuse every later press. Such a drag is finished without its rubber band,
    // which the page change has already painted over.
    ButtonHeld = false;
    auto& lines = lettering_.EnvelopeLines;
    const bool pivotMoved = Mode() == EditMode::MoveCheck && DragKind == dkPivot;
    if (!envelopeTabActive) {
        if (Mode() == EditMode::DrawFace) return EditOutcome::Nothing;
        WorkLines[0].Clear();
        WorkLines[1].Clear();
        if (pivotMoved) return EditOutcome::Nothing;
        BuildBoundaryOutlines(lettering_);
        return EditOutcome::Render;
    }
    if (Mode() == EditMode::DrawFace) {
        if (++StrokeCount < 2) return EditOutcome::Nothing;
        StrokeCount = 0;
        for (std::size_t k = 0; k < 2; ++k) {
            lines[k].Clear();
            for (const TPoint& p : WorkLines[k].Points())
                lines[k].AddPoint(p.x, p.y);
        }
        WorkLines[0].Clear();
        WorkLines[1].Clear();
        BuildBoundaryOutlines(lettering_);
        return EditOutcome::HullDrawn;
    }
    WorkLines[0].Clear();
    WorkLines[1].Clear();
    DrawTempLines(canvas);
    if (pivotMoved) return EditOutcome::Repaint;
    BuildBoundaryOutlines(lettering_);
    return EditOutcome::Render;
}

void TEnvelopeEditor::DrawTempLines(Canvas& canvas) const {
    canvas.pen = Pen{clRed, PenStyle::Dot, PenMode::Xor};
    canvas.brush = Brush{clWhite, BrushStyle::Solid};
    if (!(Mode() == EditMode::MoveCheck && DragKind == dkPivot)) {
        const TLine& upper = lettering_.EnvelopeLines[0];
        const TLine& lower = lettering_.EnvelopeLines[1];
        upper.Draw(canvas);
        lower.Draw(canvas);
        Connect(canvas, upper.GetPoint(0), lower.GetPoint(0));
        Connect(canvas, LastPoint(upper), LastPoint(lower));
    }
    Connect(canvas, Pivot, RotationHandle);
    canvas.pen.mode = PenMode::Copy;
}

std::int32_t TEnvelopeEditor::KeyPointCount() const {
    return lettering_.EnvelopeLines[0].PointCount() + lettering_.EnvelopeLines[1].PointCount();
}

std::int32_t TEnvelopeEditor::PickedIndex() const {
    const std::int32_t upper = lettering_.EnvelopeLines[0].PointCount();
    const std::int32_t index = PickedLine == 0 ? PickedPoint : upper + PickedPoint;
    return std::clamp(index, 0, std::max(0, KeyPointCount() - 1));
}

void TEnvelopeEditor::PickIndex(std::int32_t index) {
    const std::int32_t upper = lettering_.EnvelopeLines[0].PointCount();
    index = std::clamp(index, 0, std::max(0, KeyPointCount() - 1));
    PickedLine = index < upper ? 0 : 1;
    PickedPoint = index < upper ? index : index - upper;
}

bool TEnvelopeEditor::PickNext(bool backward) {
    const std::int32_t next = PickedIndex() + (backward ? -1 : 1);
    if (next < 0 || next >= KeyPointCount()) return false;
    PickIndex(next);
    return true;
}

bool TEnvelopeEditor::MovePicked(std::int32_t dx, std::int32_t dy) {
    if (Mode() != EditMode::EdPointsCheck || ButtonHeld || KeyPointCount() == 0) return false;
    PickIndex(PickedIndex());
    TLine& line = lettering_.EnvelopeLines[std::size_t(PickedLine)];
    const TPoint from = line.GetPoint(PickedPoint);
    // A step toward the picture from outside is taken; a step out of it stops at the border.
    auto step = [](std::int32_t v, std::int32_t d, std::int32_t size) {
        const std::int64_t to = std::int64_t(v) + d;
        const std::int64_t lo = std::min<std::int64_t>(v, 0);
        const std::int64_t hi = std::max<std::int64_t>(v, std::int64_t(size) - 1);
        return std::int32_t(std::clamp(to, lo, hi));
    };
    const TPoint to{step(from.x, dx, lettering_.width), step(from.y, dy, lettering_.height)};
    if (to.x == from.x && to.y == from.y) return false;
    line.SetPoint(PickedPoint, to.x, to.y);
    BuildBoundaryOutlines(lettering_);
    return true;
}

std::string TEnvelopeEditor::PickedPointText() const {
    using catalogue::Fill;
    using catalogue::Tr;
    if (KeyPointCount() == 0) return {};
    const std::string number = std::to_string(PickedIndex() + 1);
    const std::string count = std::to_string(KeyPointCount());
    const bool upper = PickedIndex() < lettering_.EnvelopeLines[0].PointCount();
    return Fill(upper ? Tr("Punkt %1 von %2, oben") : Tr("Punkt %1 von %2, unten"),
                {number, count});
}

void TEnvelopeEditor::StartDrawing() {
    WorkLines[0].Clear();
    WorkLines[1].Clear();
    StrokeCount = 0;
}

void TEnvelopeEditor::PictureResized(std::int32_t W0, std::int32_t H0, bool scaleLines) {
    const std::int32_t w = lettering_.width;
    const std::int32_t h = lettering_.height;
    for (TPoint* p : {&Pivot, &RotationHandle}) {
        if (scaleLines && W0 > 0 && H0 > 0) *p = ResizedPoint(*p, W0, H0, w, h);
        p->x = std::clamp(p->x, 0, w - 1);
        p->y = std::clamp(p->y, 0, h - 1);
    }
}

}  // namespace gw
