#pragma once
// The drawing surface of a memory bitmap: pen, brush, font and copy mode, the drawing calls of
// the program, and the device calls that DrawDib uses.

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/Bitmap.h"
#include "platform/DeviceContext.h"
#include "platform/Font.h"
#include "platform/Geometry.h"
#include "platform/RasterOp.h"

namespace gw {

enum class PenStyle { Solid, Dot, Clear };
// Copy: the pen colour replaces the pixel. Xor: the pixel is XORed with the pen colour.
// Not: the pixel is inverted.
enum class PenMode { Copy, Xor, Not };
enum class BrushStyle { Solid, Clear };

struct Pen {
    TColor color = clBlack;
    PenStyle style = PenStyle::Solid;
    PenMode mode = PenMode::Copy;
};

struct Brush {
    TColor color = clWhite;
    BrushStyle style = BrushStyle::Solid;
};

class Canvas : public DeviceContext {
  public:
    // `technology` is DT_RASDISPLAY for views and off-screen work, DT_RASPRINTER for print pages.
    explicit Canvas(Bitmap& target, int technology = DT_RASDISPLAY);

    Bitmap& Target() { return target_; }
    const Bitmap& Target() const { return target_; }

    Pen pen;
    Brush brush;
    LogFont font;
    TColor fontColor = clBlack;
    Rop copyMode = SRCCOPY;  // the operation of Draw

    // Outline with the pen, inside with the brush; covers x1..x2-1, y1..y2-1. With a solid pen
    // of the brush's colour every pixel of the rectangle takes that colour.
    void Rectangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    void FillRect(const TRect& r);   // brush only
    void FrameRect(const TRect& r);  // a one-pixel frame in the brush colour
    void InvertRect(const TRect& r);
    void DrawFocusRect(const TRect& r);  // dotted frame XORed, so drawing it twice removes it
    // The ellipse inside the rectangle, outline with the pen and inside with the brush. In XOR pen
    // mode the brush is XORed as well.
    void Ellipse(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

    void MoveTo(std::int32_t x, std::int32_t y);
    // A line from the pen position to (x, y), end point excluded; the pen moves to (x, y).
    void LineTo(std::int32_t x, std::int32_t y);
    void Polyline(std::span<const TPoint> points);
    TPoint PenPos() const { return penPos_; }

    // Block transfer of w x h pixels from (sx, sy) of src to (dx, dy); src may be this canvas's
    // own bitmap (overlapping areas are copied as if through a buffer). Clipped to both bitmaps.
    void BitBlt(std::int32_t dx, std::int32_t dy, std::int32_t w, std::int32_t h, const Bitmap& src,
                std::int32_t sx, std::int32_t sy, Rop rop);
    // The whole of src at (x, y), combined with copyMode.
    void Draw(std::int32_t x, std::int32_t y, const Bitmap& src);

    // Multi-line text in this canvas's font and font colour (see TextLayout.h).
    std::int32_t DrawText(std::string_view text, TRect& rect, std::uint32_t format);

    // DeviceContext
    int GetDeviceCaps(int index) const override;
    int SetStretchBltMode(int mode) override;
    PaletteHandle SelectPalette(PaletteHandle palette, bool forceBackground) override;
    int RealizePalette() override;
    int StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                      int srcWidth, int srcHeight, const void* bits, const BitmapInfo& info,
                      std::uint32_t usage, Rop rop) override;
    int SetDIBitsToDevice(int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                          int startScan, int numScans, const void* bits, const BitmapInfo& info,
                          std::uint32_t usage) override;
    std::unique_ptr<Bitmap> CreateCompatibleBitmap(int width, int height) override;
    bool StretchBlt(int xDest, int yDest, int destWidth, int destHeight, const Bitmap& src,
                    int xSrc, int ySrc, int srcWidth, int srcHeight, Rop rop) override;

  private:
    Bitmap& target_;
    int technology_;
    int stretchMode_ = COLORONCOLOR;
    PaletteHandle palette_ = 0;
    TPoint penPos_;
    std::uint64_t dotPhase_ = 0;  // place within the dot pattern; a LineTo continues it
};

}  // namespace gw
