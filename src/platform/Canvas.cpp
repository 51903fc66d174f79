#include "platform/Canvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "platform/DibRows.h"
#include "platform/LineRaster.h"
#include "platform/RopRow.h"
#include "platform/TextLayout.h"

namespace gw {

namespace {

using I64 = std::int64_t;
__extension__ using I128 = __int128;

// What a pen or a brush does to the pixels it covers, in the colour as the bitmap stores it.
struct Paint {
    PenMode mode = PenMode::Copy;
    std::uint8_t b = 0, g = 0, r = 0;

    void Pixel(std::uint8_t* p) const {
        switch (mode) {
            case PenMode::Copy:
                p[0] = b;
                p[1] = g;
                p[2] = r;
                break;
            case PenMode::Xor:
                p[0] ^= b;
                p[1] ^= g;
                p[2] ^= r;
                break;
            case PenMode::Not:
                p[0] = static_cast<std::uint8_t>(~p[0]);
                p[1] = static_cast<std::uint8_t>(~p[1]);
                p[2] = static_cast<std::uint8_t>(~p[2]);
                break;
        }
    }

    void Span(std::uint8_t* p, I64 count) const {
        if (count <= 0) return;
        if (mode == PenMode::Copy && b == g && g == r) {
            std::memset(p, b, std::size_t(count) * 3);
            return;
        }
        for (I64 i = 0; i < count; ++i, p += 3)
            Pixel(p);
    }
};

Paint MakePaint(const Bitmap& bitmap, PenMode mode, TColor color) {
    const TColor c = bitmap.StoredColor(color);
    return {mode, GetBValue(c), GetGValue(c), GetRValue(c)};
}

std::uint8_t* PixelAt(Bitmap& bitmap, I64 x, I64 y) {
    return bitmap.Row(static_cast<std::int32_t>(y)) + std::size_t(x) * 3;
}

// The dotted pen: two pixels on, two off, counted along the line or frame.
constexpr bool DotOn(std::uint64_t index) {
    return (index & 2) == 0;
}

// The part [lo, hi) of the steps i in [0, count) for which start + dir * i lies in [0, limit).
struct StepRange {
    I64 lo, hi;
};
StepRange VisibleSteps(I64 start, I64 dir, I64 count, I64 limit) {
    if (dir > 0) return {std::max<I64>(0, -start), std::min(count, limit - start)};
    return {std::max<I64>(0, start - limit + 1), std::min(count, start + 1)};
}

// Visits every pixel of the one-pixel frame of (l, t)-(r, b) exactly once, clockwise from the
// top-left corner, with its index along the frame; only pixels inside w x h are visited, so a
// huge frame costs no more than the bitmap. Visiting each pixel once keeps XOR drawing
// reversible at the corners and on frames one pixel wide.
template <class Visit>
void ForEachFramePixel(I64 l, I64 t, I64 r, I64 b, I64 w, I64 h, Visit&& visit) {
    const I64 fw = r - l, fh = b - t;
    if (fw <= 0 || fh <= 0) return;
    auto edge = [&](I64 x, I64 y, I64 dx, I64 dy, I64 count, I64 index0) {
        if (count <= 0) return;
        if (dx != 0 ? (y < 0 || y >= h) : (x < 0 || x >= w)) return;
        const StepRange v = dx != 0 ? VisibleSteps(x, dx, count, w) : VisibleSteps(y, dy, count, h);
        for (I64 i = v.lo; i < v.hi; ++i)
            visit(x + dx * i, y + dy * i, index0 + i);
    };
    edge(l, t, 1, 0, fw, 0);
    edge(r - 1, t + 1, 0, 1, fh - 1, fw);
    if (fh > 1) edge(r - 2, b - 1, -1, 0, fw - 1, fw + fh - 1);
    if (fw > 1 && fh > 1) edge(l, b - 2, 0, -1, fh - 2, 2 * fw + fh - 2);
}

// One segment of a line or polyline, end point left out; `phase` is the place within the dot
// pattern at `from` and moves on by the segment's length.
void DrawSegment(Bitmap& target, const Pen& pen, TPoint from, TPoint to, std::uint64_t& phase) {
    const I64 dx = std::llabs(I64(to.x) - from.x);
    const I64 dy = std::llabs(I64(to.y) - from.y);
    if (pen.style != PenStyle::Clear) {
        const Paint paint = MakePaint(target, pen.mode, pen.color);
        const bool dotted = pen.style == PenStyle::Dot;
        const bool steep = dx < dy;
        ForEachSegmentPixelInside(from.x, from.y, to.x, to.y, target.Width(), target.Height(),
                                  [&](std::int32_t px, std::int32_t py) {
                                      // The raster has one pixel per step of the major axis, and
                                      // the last is the end point, which a line leaves out.
                                      if (px == to.x && py == to.y) return;
                                      const I64 index = steep ? std::llabs(py - I64(from.y))
                                                              : std::llabs(px - I64(from.x));
                                      if (!dotted || DotOn(phase + std::uint64_t(index)))
                                          paint.Pixel(PixelAt(target, px, py));
                                  });
    }
    phase += std::uint64_t(std::max(dx, dy));
}

// The pixels of row y inside the ellipse whose bounding box starts at (x1, y1) and is w x h:
// [lo, hi], empty when lo > hi. A pixel is inside when its centre is, which in coordinates
// doubled about the box centre (X, Y) reads X^2 h^2 + Y^2 w^2 <= w^2 h^2, decided exactly.
struct RowSpan {
    I64 lo = 1, hi = 0;
    bool Empty() const { return lo > hi; }
};
RowSpan EllipseRow(I64 x1, I64 y1, I64 w, I64 h, I64 y) {
    if (y < y1 || y >= y1 + h) return {};
    const I64 Y = 2 * (y - y1) - (h - 1);
    const I128 rhs = I128(w) * w * (I128(h) * h - I128(Y) * Y);
    const I128 h2 = I128(h) * h;
    I64 X =
        static_cast<I64>(std::sqrt(static_cast<long double>(rhs)) / static_cast<long double>(h));
    while (I128(X + 1) * (X + 1) * h2 <= rhs)
        ++X;
    while (X > 0 && I128(X) * X * h2 > rhs)
        --X;
    if ((X - (w - 1)) & 1) --X;  // X takes the parity of the doubled pixel centres
    if (X < 0) return {};
    return {x1 + ((w - 1) - X) / 2, x1 + ((w - 1) + X) / 2};
}

// Larger ellipses would overflow the exact test; nothing the program draws comes near.
constexpr I64 kMaxEllipseSide = I64(1) << 28;

// Nearest-neighbour stretch of the rectangle (xs, ys, ws, hs) of a source of srcW x srcH pixels,
// rows counted from its top, onto the destination rectangle, combined by rop. fetch(t, columns,
// count, out) delivers the pixels columns[0 .. count) of source row t as the destination stores
// them. Destination pixels whose source pixel lies outside the source are left alone. Column i
// takes source column xs + ws * i div wd and row r source row ys + hs * r div hd, the sampling of
// the DIB row drawers, so every way of drawing a picture gives the same pixels. Returns the
// destination rows drawn.
template <class Fetch>
int StretchOnto(Bitmap& dst, I64 xd, I64 yd, I64 wd, I64 hd, I64 xs, I64 ys, I64 ws, I64 hs,
                I64 srcW, I64 srcH, Rop rop, TColor pattern, Fetch&& fetch) {
    if (wd <= 0 || hd <= 0 || ws <= 0 || hs <= 0) return 0;
    const I64 cLo = std::max<I64>(0, -xd), cHi = std::min<I64>(wd, dst.Width() - xd);
    const I64 rLo = std::max<I64>(0, -yd), rHi = std::min<I64>(hd, dst.Height() - yd);
    if (cLo >= cHi || rLo >= rHi) return 0;
    const bool usesSource = RopUsesSource(rop);
    if (!usesSource) {
        for (I64 r = rLo; r < rHi; ++r)
            RopRow(rop, PixelAt(dst, xd + cLo, yd + r), nullptr, std::size_t(cHi - cLo), pattern);
        return static_cast<int>(rHi - rLo);
    }
    // The source column grows with the destination column, so the valid ones form one run.
    std::vector<std::int32_t> columns;
    I64 first = -1;
    for (I64 c = cLo; c < cHi; ++c) {
        const I64 sc = xs + ws * c / wd;
        if (sc >= 0 && sc < srcW) {
            if (first < 0) first = c;
            columns.push_back(static_cast<std::int32_t>(sc));
        } else if (first >= 0) {
            break;
        }
    }
    if (columns.empty()) return 0;
    const auto count = static_cast<std::int32_t>(columns.size());
    std::vector<std::uint8_t> buffer(std::size_t(count) * 3);
    I64 previous = -1;
    int drawn = 0;
    for (I64 r = rLo; r < rHi; ++r) {
        const I64 t = ys + hs * r / hd;
        if (t < 0 || t >= srcH) continue;
        if (t != previous) {
            fetch(t, columns.data(), count, buffer.data());
            previous = t;
        }
        RopRow(rop, PixelAt(dst, xd + first, yd + r), buffer.data(), std::size_t(count), pattern);
        ++drawn;
    }
    return drawn;
}

}  // namespace

Canvas::Canvas(Bitmap& target, int technology) : target_(target), technology_(technology) {}

// ---- Rectangles

// Rectangle and Ellipse fill the inside in the pen's mode, as the platform's mix mode applies to
// every drawing call, so an XOR pen over a white brush inverts the inside. FillRect and
// FrameRect always copy the brush.
void Canvas::Rectangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    const I64 l = std::min(x1, x2), r = std::max(x1, x2);
    const I64 t = std::min(y1, y2), b = std::max(y1, y2);
    if (l == r || t == b) return;
    const I64 w = target_.Width(), h = target_.Height();
    if (brush.style != BrushStyle::Clear) {
        const Paint fill = MakePaint(target_, pen.mode, brush.color);
        const I64 il = std::max<I64>(l + 1, 0), ir = std::min<I64>(r - 1, w);
        for (I64 y = std::max<I64>(t + 1, 0); y < std::min<I64>(b - 1, h); ++y)
            if (il < ir) fill.Span(PixelAt(target_, il, y), ir - il);
    }
    if (pen.style == PenStyle::Clear) return;
    const Paint outline = MakePaint(target_, pen.mode, pen.color);
    const bool dotted = pen.style == PenStyle::Dot;
    ForEachFramePixel(l, t, r, b, w, h, [&](I64 x, I64 y, I64 index) {
        if (!dotted || DotOn(std::uint64_t(index))) outline.Pixel(PixelAt(target_, x, y));
    });
}

void Canvas::FillRect(const TRect& r) {
    if (brush.style == BrushStyle::Clear) return;
    const Paint fill = MakePaint(target_, PenMode::Copy, brush.color);
    const I64 l = std::max<I64>(r.left, 0), rr = std::min<I64>(r.right, target_.Width());
    if (l >= rr) return;
    for (I64 y = std::max<I64>(r.top, 0); y < std::min<I64>(r.bottom, target_.Height()); ++y)
        fill.Span(PixelAt(target_, l, y), rr - l);
}

void Canvas::FrameRect(const TRect& r) {
    if (brush.style == BrushStyle::Clear) return;
    const Paint frame = MakePaint(target_, PenMode::Copy, brush.color);
    ForEachFramePixel(r.left, r.top, r.right, r.bottom, target_.Width(), target_.Height(),
                      [&](I64 x, I64 y, I64) { frame.Pixel(PixelAt(target_, x, y)); });
}

void Canvas::InvertRect(const TRect& r) {
    const Paint invert{PenMode::Not};
    const I64 l = std::max<I64>(r.left, 0), rr = std::min<I64>(r.right, target_.Width());
    if (l >= rr) return;
    for (I64 y = std::max<I64>(r.top, 0); y < std::min<I64>(r.bottom, target_.Height()); ++y)
        invert.Span(PixelAt(target_, l, y), rr - l);
}

void Canvas::DrawFocusRect(const TRect& r) {
    const Paint invert{PenMode::Not};
    // Every other pixel, in a checkerboard anchored at the top-left corner, so the dots run on
    // evenly around the corners.
    ForEachFramePixel(r.left, r.top, r.right, r.bottom, target_.Width(), target_.Height(),
                      [&](I64 x, I64 y, I64) {
                          if (((x - r.left) + (y - r.top)) % 2 == 0)
                              invert.Pixel(PixelAt(target_, x, y));
                      });
}

// ---- Ellipse

// The inside is the set of pixels whose centres lie in the ellipse; the outline is the part of it
// with a neighbour (left, right, above, below) outside, the rest is filled with the brush. Outline
// and fill never share a pixel, so XOR drawing touches each pixel once.
void Canvas::Ellipse(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    const I64 l = std::min(x1, x2), t = std::min(y1, y2);
    const I64 w = I64(std::max(x1, x2)) - l, h = I64(std::max(y1, y2)) - t;
    if (w <= 0 || h <= 0 || w > kMaxEllipseSide || h > kMaxEllipseSide) return;
    const bool drawPen = pen.style != PenStyle::Clear;
    const bool drawBrush = brush.style != BrushStyle::Clear;
    if (!drawPen && !drawBrush) return;
    const Paint fill = MakePaint(target_, pen.mode, brush.color);
    const Paint outline = MakePaint(target_, pen.mode, pen.color);
    const bool dotted = pen.style == PenStyle::Dot;
    const I64 bw = target_.Width();
    auto outlineRun = [&](I64 y, I64 lo, I64 hi) {
        lo = std::max<I64>(lo, 0);
        hi = std::min<I64>(hi, bw - 1);
        const I64 Y = 2 * (y - t) - (h - 1);
        for (I64 x = lo; x <= hi; ++x) {
            if (dotted) {
                // Along the quarters where the outline runs between upper left and lower right
                // x - y changes by 2 a diagonal step, elsewhere x + y does: either way the
                // pattern keeps alternating on every slope.
                const I64 X = 2 * (x - l) - (w - 1);
                const I64 along = ((X < 0) == (Y < 0)) ? x - y : x + y;
                if (!DotOn(std::uint64_t(along))) continue;
            }
            outline.Pixel(PixelAt(target_, x, y));
        }
    };
    const I64 yEnd = std::min<I64>(t + h, target_.Height());
    for (I64 y = std::max<I64>(t, 0); y < yEnd; ++y) {
        const RowSpan s = EllipseRow(l, t, w, h, y);
        if (s.Empty()) continue;
        const RowSpan above = EllipseRow(l, t, w, h, y - 1);
        const RowSpan below = EllipseRow(l, t, w, h, y + 1);
        RowSpan inner{std::max({s.lo + 1, above.lo, below.lo}),
                      std::min({s.hi - 1, above.hi, below.hi})};
        if (above.Empty() || below.Empty()) inner = {};
        if (drawBrush && !inner.Empty()) {
            const I64 lo = std::max<I64>(inner.lo, 0), hi = std::min<I64>(inner.hi, bw - 1);
            if (lo <= hi) fill.Span(PixelAt(target_, lo, y), hi - lo + 1);
        }
        if (!drawPen) continue;
        if (inner.Empty()) {
            outlineRun(y, s.lo, s.hi);
        } else {
            outlineRun(y, s.lo, inner.lo - 1);
            outlineRun(y, inner.hi + 1, s.hi);
        }
    }
}

// ---- Lines

void Canvas::MoveTo(std::int32_t x, std::int32_t y) {
    penPos_ = {x, y};
    dotPhase_ = 0;
}

void Canvas::LineTo(std::int32_t x, std::int32_t y) {
    const TPoint to{x, y};
    DrawSegment(target_, pen, penPos_, to, dotPhase_);
    penPos_ = to;
}

void Canvas::Polyline(std::span<const TPoint> points) {
    std::uint64_t phase = 0;
    for (std::size_t i = 1; i < points.size(); ++i)
        DrawSegment(target_, pen, points[i - 1], points[i], phase);
}

// ---- Block transfers

void Canvas::BitBlt(std::int32_t dx, std::int32_t dy, std::int32_t w, std::int32_t h,
                    const Bitmap& src, std::int32_t sx, std::int32_t sy, Rop rop) {
    const bool usesSource = RopUsesSource(rop);
    I64 x = dx, y = dy, u = sx, v = sy, cw = w, ch = h;
    if (cw <= 0 || ch <= 0) return;
    if (usesSource) {
        if (u < 0) {
            x -= u;
            cw += u;
            u = 0;
        }
        if (v < 0) {
            y -= v;
            ch += v;
            v = 0;
        }
        cw = std::min<I64>(cw, src.Width() - u);
        ch = std::min<I64>(ch, src.Height() - v);
    }
    if (x < 0) {
        u -= x;
        cw += x;
        x = 0;
    }
    if (y < 0) {
        v -= y;
        ch += y;
        y = 0;
    }
    cw = std::min<I64>(cw, target_.Width() - x);
    ch = std::min<I64>(ch, target_.Height() - y);
    if (cw <= 0 || ch <= 0) return;

    const TColor pattern = target_.StoredColor(brush.color);
    const bool same = usesSource && &src == &target_;
    const bool reduce =
        usesSource && target_.Format() == PixelFormat::Mono && src.Format() != PixelFormat::Mono;
    // A copy onto itself reads each source row before it is overwritten: rows are walked away
    // from the direction of the shift, and a row shifted within itself goes through a buffer.
    const bool withinRow = same && y == v;
    const bool upward = same && y > v;
    // Plain copies, the bulk of the work, skip the kernel call: one move a row, which also
    // copes with a row shifted within itself.
    const bool plainCopy = usesSource && !reduce && RopTable(rop) == RopTable(SRCCOPY);
    const std::size_t bytes = std::size_t(cw) * 3;
    std::vector<std::uint8_t> scratch(reduce || (withinRow && !plainCopy) ? bytes : 0);
    for (I64 j = 0; j < ch; ++j) {
        const I64 row = upward ? ch - 1 - j : j;
        std::uint8_t* d = PixelAt(target_, x, y + row);
        const std::uint8_t* s = nullptr;
        if (usesSource) {
            s = src.Row(static_cast<std::int32_t>(v + row)) + std::size_t(u) * 3;
            if (plainCopy) {
                std::memmove(d, s, bytes);
                continue;
            }
            if (reduce) {
                MonoRow(scratch.data(), s, std::size_t(cw));
                s = scratch.data();
            } else if (withinRow) {
                std::memcpy(scratch.data(), s, bytes);
                s = scratch.data();
            }
        }
        RopRow(rop, d, s, std::size_t(cw), pattern);
    }
}

void Canvas::Draw(std::int32_t x, std::int32_t y, const Bitmap& src) {
    BitBlt(x, y, src.Width(), src.Height(), src, 0, 0, copyMode);
}

std::int32_t Canvas::DrawText(std::string_view text, TRect& rect, std::uint32_t format) {
    return DrawTextBlock(&target_, font, fontColor, text, rect, format);
}

// ---- DeviceContext

int Canvas::GetDeviceCaps(int index) const {
    switch (index) {
        case TECHNOLOGY:
            return technology_;
        case RASTERCAPS:
            return RC_BITBLT | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
        case BITSPIXEL:
            return target_.Format() == PixelFormat::Mono ? 1 : 24;
        default:
            return 0;
    }
}

int Canvas::SetStretchBltMode(int mode) {
    const int previous = stretchMode_;
    stretchMode_ = mode;
    return previous;
}

PaletteHandle Canvas::SelectPalette(PaletteHandle palette, bool) {
    const PaletteHandle previous = palette_;
    palette_ = palette;
    return previous;
}

int Canvas::RealizePalette() {
    return 0;  // no palette entries to map on a true-colour bitmap
}

int Canvas::StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                          int srcWidth, int srcHeight, const void* bits, const BitmapInfo& info,
                          std::uint32_t usage, Rop rop) {
    DibRowReader reader;
    if (!reader.Open(bits, info, usage, target_.Format() == PixelFormat::Mono) || destWidth < 0 ||
        destHeight < 0 || srcWidth < 0 || srcHeight < 0)
        return GDI_ERROR;
    const I64 height = reader.Height();
    // ySrc counts stored rows from the bottom; the rectangle's top row, counted from the top, is
    // height - ySrc - srcHeight.
    const I64 top = height - ySrc - I64(srcHeight);
    return StretchOnto(
        target_, xDest, yDest, destWidth, destHeight, xSrc, top, srcWidth, srcHeight,
        reader.Width(), height, rop, target_.StoredColor(brush.color),
        [&](I64 t, const std::int32_t* columns, std::int32_t count, std::uint8_t* out) {
            reader.ReadColumns(reader.Row(height - 1 - t), columns, count, out);
        });
}

int Canvas::SetDIBitsToDevice(int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                              int startScan, int numScans, const void* bits, const BitmapInfo& info,
                              std::uint32_t usage) {
    DibRowReader reader;
    if (!reader.Open(bits, info, usage, target_.Format() == PixelFormat::Mono) || width < 0 ||
        height < 0 || startScan < 0 || numScans < 0)
        return 0;
    // The scan lines that are in the buffer, in the DIB and in the source rectangle.
    const I64 lo = std::max<I64>({startScan, ySrc, 0});
    const I64 hi = std::min<I64>({I64(startScan) + numScans, reader.Height(), I64(ySrc) + height});
    if (lo >= hi) return 0;
    const I64 cLo = std::max<I64>({0, -I64(xSrc), -I64(xDest)});
    const I64 cHi =
        std::min<I64>({width, reader.Width() - I64(xSrc), I64(target_.Width()) - xDest});
    if (cLo < cHi) {
        for (I64 s = lo; s < hi; ++s) {
            // The rectangle's top destination row shows its highest scan line.
            const I64 y = I64(yDest) + (I64(ySrc) + height - 1 - s);
            if (y < 0 || y >= target_.Height()) continue;
            reader.ReadSpan(reader.Row(s - startScan), static_cast<std::int32_t>(xSrc + cLo),
                            static_cast<std::int32_t>(cHi - cLo), PixelAt(target_, xDest + cLo, y));
        }
    }
    return static_cast<int>(hi - lo);
}

std::unique_ptr<Bitmap> Canvas::CreateCompatibleBitmap(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    try {
        return std::make_unique<Bitmap>(width, height, target_.Format());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool Canvas::StretchBlt(int xDest, int yDest, int destWidth, int destHeight, const Bitmap& src,
                        int xSrc, int ySrc, int srcWidth, int srcHeight, Rop rop) {
    if (destWidth < 0 || destHeight < 0 || srcWidth < 0 || srcHeight < 0) return false;
    if (destWidth == srcWidth && destHeight == srcHeight) {
        BitBlt(xDest, yDest, destWidth, destHeight, src, xSrc, ySrc, rop);
        return true;
    }
    // A stretch of the bitmap onto itself reads from a copy.
    Bitmap copy;
    const Bitmap* source = &src;
    if (&src == &target_) {
        copy = src;
        source = &copy;
    }
    const bool reduce =
        target_.Format() == PixelFormat::Mono && source->Format() != PixelFormat::Mono;
    StretchOnto(target_, xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth, srcHeight,
                source->Width(), source->Height(), rop, target_.StoredColor(brush.color),
                [&](I64 t, const std::int32_t* columns, std::int32_t count, std::uint8_t* out) {
                    const std::uint8_t* row = source->Row(static_cast<std::int32_t>(t));
                    for (std::int32_t i = 0; i < count; ++i)
                        std::memcpy(out + 3 * i, row + std::size_t(columns[i]) * 3, 3);
                    if (reduce) MonoRow(out, out, std::size_t(count));
                });
    return true;
}

}  // namespace gw
