#include "raster/Bildkern.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/System.h"
#include "raster/DibService.h"

namespace gw {
namespace {

// ---- devices that record what reaches them ----

struct StretchCall {
    int xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth, srcHeight;
    const void* bits;
    BitmapInfoHeader header;
    std::uint32_t usage;
    Rop rop;
};

struct RowCall {
    int xDest, yDest, width, height, xSrc, ySrc, startScan, numScans;
    const void* bits;
    BitmapInfoHeader header;
    RgbQuad colors[256];
    std::vector<std::uint8_t> data;  // the delivered rows, as they were at the call
};

constexpr PaletteHandle kDevicePalette = 0x70;

class RecordingDevice : public DeviceContext {
  public:
    explicit RecordingDevice(int technology = DT_RASDISPLAY) : technology(technology) {}

    int GetDeviceCaps(int index) const override {
        if (index == TECHNOLOGY) return technology;
        if (index == RASTERCAPS) return rasterCaps;
        if (index == BITSPIXEL) return 24;
        return 0;
    }
    int SetStretchBltMode(int newMode) override {
        const int previous = mode;
        mode = newMode;
        return previous;
    }
    PaletteHandle SelectPalette(PaletteHandle p, bool forceBackground) override {
        palettes.push_back((forceBackground ? "background " : "select ") + std::to_string(p));
        const PaletteHandle previous = palette;
        palette = p;
        return previous;
    }
    int RealizePalette() override {
        palettes.push_back("realize");
        return 0;
    }
    int StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                      int srcWidth, int srcHeight, const void* bits, const BitmapInfo& info,
                      std::uint32_t usage, Rop rop) override {
        stretches.push_back({xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth, srcHeight,
                             bits, info.bmiHeader, usage, rop});
        return srcHeight;
    }
    int SetDIBitsToDevice(int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                          int startScan, int numScans, const void* bits, const BitmapInfo& info,
                          std::uint32_t) override {
        RowCall call{xDest,     yDest,    width, height,         xSrc, ySrc,
                     startScan, numScans, bits,  info.bmiHeader, {},   {}};
        std::memcpy(call.colors, info.bmiColors, sizeof call.colors);
        const auto* p = static_cast<const std::uint8_t*>(bits);
        const std::size_t size =
            std::size_t(DibStride(info.bmiHeader.biWidth, info.bmiHeader.biBitCount)) *
            std::size_t(numScans);
        call.data.assign(p, p + size);
        rows.push_back(std::move(call));
        return numScans;
    }
    std::unique_ptr<Bitmap> CreateCompatibleBitmap(int width, int height) override {
        bitmapRequests.push_back({width, height});
        return nullptr;
    }
    bool StretchBlt(int, int, int, int, const Bitmap&, int, int, int, int, Rop) override {
        return false;
    }

    int technology;
    int rasterCaps = RC_BITBLT | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    int mode = 0;
    PaletteHandle palette = kDevicePalette;
    std::vector<std::string> palettes;
    std::vector<StretchCall> stretches;
    std::vector<RowCall> rows;
    std::vector<TPoint> bitmapRequests;
};

// A device that cannot stretch DIBs, so DrawDib's direct way fails.
class RefusingDevice : public RecordingDevice {
  public:
    using RecordingDevice::RecordingDevice;
    int StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                      int srcWidth, int srcHeight, const void* bits, const BitmapInfo& info,
                      std::uint32_t usage, Rop rop) override {
        RecordingDevice::StretchDIBits(xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth,
                                       srcHeight, bits, info, usage, rop);
        return GDI_ERROR;
    }
};

// Nor can it take DIBs 1:1.
class NoDibToDeviceDevice : public RefusingDevice {
  public:
    explicit NoDibToDeviceDevice(int technology) : RefusingDevice(technology) {
        rasterCaps &= ~RC_DIBTODEV;
    }
};

// It claims to take DIBs 1:1 but fails when asked.
class FailingRowsDevice : public RefusingDevice {
  public:
    using RefusingDevice::RefusingDevice;
    int SetDIBitsToDevice(int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                          int startScan, int numScans, const void* bits, const BitmapInfo& info,
                          std::uint32_t usage) override {
        RecordingDevice::SetDIBitsToDevice(xDest, yDest, width, height, xSrc, ySrc, startScan,
                                           numScans, bits, info, usage);
        return 0;
    }
};

class ScreenDepth {
  public:
    explicit ScreenDepth(int bits) { SetDesktopColorDepth(bits); }
    ~ScreenDepth() { SetDesktopColorDepth(24); }
};

// ---- test pictures ----

// 24-bit: pixel (x, t), t counted from the top, is blue x, green t, red 0x80.
DibImage TrueColour(std::int32_t w, std::int32_t h) {
    DibImage dib;
    newdib(dib, w, h, 24, nullptr, 0);
    for (std::int32_t t = 0; t < h; ++t) {
        for (std::int32_t x = 0; x < w; ++x) {
            std::uint8_t* p = dib.Row(t) + 3 * x;
            p[0] = std::uint8_t(x);
            p[1] = std::uint8_t(t);
            p[2] = 0x80;
        }
    }
    return dib;
}

// 8-bit: pixel (x, t) is 16 t + x; the colour table is a grey ramp.
DibImage Indexed(std::int32_t w, std::int32_t h) {
    BitmapInfo table;
    for (int i = 0; i < 256; ++i)
        table.bmiColors[i] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(255 - i), 0};
    DibImage dib;
    newdib(dib, w, h, 8, &table, 256);
    for (std::int32_t t = 0; t < h; ++t)
        for (std::int32_t x = 0; x < w; ++x)
            dib.Row(t)[x] = std::uint8_t(16 * t + x);
    return dib;
}

struct Px {
    int x, t;  // source pixel, t counted from the top
    friend bool operator==(const Px&, const Px&) = default;
};

// The source pixel a 24-bit test picture delivered at column i of a recorded row.
Px SourceOf(const std::vector<std::uint8_t>& row, int i) {
    if (row[3 * i + 2] != 0x80) return {-1, -1};  // black: no source pixel
    return {row[3 * i], row[3 * i + 1]};
}

std::vector<Px> RowPixels(const RowCall& call) {
    std::vector<Px> out;
    for (int i = 0; i < call.width; ++i)
        out.push_back(SourceOf(call.data, i));
    return out;
}

void Draw(DeviceContext& dc, const DibImage& dib, TRect dest, TRect src, bool halftone = true,
          Rop rop = SRCCOPY, bool ownPalette = false, PaletteHandle palette = 0) {
    DrawDib(dc, dib,
            {dest.left, dest.top, dest.right, dest.bottom, src.left, src.top, src.right, src.bottom,
             halftone, rop, ownPalette, palette});
}

// Rectangles below are written {x, y, width, height}.
void ExpectStretch(const StretchCall& c, TRect dest, TRect src) {
    EXPECT_EQ((TRect{c.xDest, c.yDest, c.destWidth, c.destHeight}), dest);
    EXPECT_EQ((TRect{c.xSrc, c.ySrc, c.srcWidth, c.srcHeight}), src);
}

// ---- clipping (on a printer, where the rectangles reach the device unchanged) ----

TEST(DrawDibClip, RightEdgeShrinksTheWidthRoundingHalfToEven) {
    const DibImage dib = TrueColour(10, 8);
    RecordingDevice printer(DT_RASPRINTER);
    Draw(printer, dib, {0, 0, 5, 8}, {5, 0, 10, 8});  // 5 x 5 / 10 = 2.5
    Draw(printer, dib, {3, 4, 7, 8}, {5, 0, 10, 8});  // 7 x 5 / 10 = 3.5
    ASSERT_EQ(printer.stretches.size(), 2u);
    ExpectStretch(printer.stretches[0], {0, 0, 2, 8}, {5, 0, 5, 8});
    ExpectStretch(printer.stretches[1], {3, 4, 4, 8}, {5, 0, 5, 8});
}

TEST(DrawDibClip, TopCutMovesTheDestinationDown) {
    const DibImage dib = TrueColour(10, 8);
    RecordingDevice printer(DT_RASPRINTER);
    Draw(printer, dib, {0, 100, 10, 20}, {0, 2, 10, 8});
    ASSERT_EQ(printer.stretches.size(), 1u);
    ExpectStretch(printer.stretches[0], {0, 105, 10, 15}, {0, 2, 10, 6});
}

TEST(DrawDibClip, BottomCutKeepsTheDestinationTop) {
    const DibImage dib = TrueColour(10, 8);
    RecordingDevice printer(DT_RASPRINTER);
    Draw(printer, dib, {0, 100, 10, 16}, {0, -2, 10, 8});
    ASSERT_EQ(printer.stretches.size(), 1u);
    ExpectStretch(printer.stretches[0], {0, 100, 10, 12}, {0, 0, 10, 6});
}

TEST(DrawDibClip, LeftCutMovesTheDestinationRight) {
    const DibImage dib = TrueColour(10, 8);
    RecordingDevice printer(DT_RASPRINTER);
    Draw(printer, dib, {50, 0, 20, 8}, {-3, 0, 10, 8});
    ASSERT_EQ(printer.stretches.size(), 1u);
    ExpectStretch(printer.stretches[0], {56, 0, 14, 8}, {0, 0, 7, 8});
}

TEST(DrawDibClip, AllFourEdgesInTurn) {
    const DibImage dib = TrueColour(10, 8);
    RecordingDevice printer(DT_RASPRINTER);
    Draw(printer, dib, {0, 0, 28, 20}, {-2, -1, 14, 10});
    ASSERT_EQ(printer.stretches.size(), 1u);
    ExpectStretch(printer.stretches[0], {4, 2, 20, 16}, {0, 0, 10, 8});
}

TEST(DrawDibClip, NothingLeftOfTheSourceDrawsNothing) {
    const DibImage dib = TrueColour(10, 8);
    RecordingDevice printer(DT_RASPRINTER);
    Draw(printer, dib, {0, 0, 10, 8}, {12, 0, 5, 8});
    Draw(printer, dib, {0, 0, 10, 8}, {0, -9, 10, 8});
    Draw(printer, dib, {0, 0, 10, 8}, {0, 0, 0, 8});
    EXPECT_TRUE(printer.stretches.empty());

    DibImage empty;
    RecordingDevice screen;
    Draw(screen, empty, {0, 0, 10, 8}, {0, 0, 10, 8});
    EXPECT_TRUE(screen.stretches.empty());
    EXPECT_TRUE(screen.rows.empty());
    EXPECT_EQ(screen.mode, COLORONCOLOR);
}

TEST(DrawDibClip, ScreenRowsStartAtTheTopOfTheSourceRectangle) {
    // Source rows 2..4 counted from the bottom of a 6-row image are image rows 1..3 from the top.
    const DibImage dib = TrueColour(4, 6);
    RecordingDevice screen;
    Draw(screen, dib, {7, 9, 2, 3}, {1, 2, 2, 3});
    ASSERT_EQ(screen.rows.size(), 3u);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(screen.rows[r].yDest, 9 + r);
        EXPECT_EQ(RowPixels(screen.rows[r]), (std::vector<Px>{{1, 1 + r}, {2, 1 + r}}));
    }
}

// ---- the way of drawing ----

TEST(DrawDibWay, TrueColourOnATrueColourScreenGoesThroughTheRows) {
    const DibImage dib = TrueColour(4, 3);
    for (bool halftone : {true, false}) {
        RecordingDevice screen;
        Draw(screen, dib, {5, 7, 8, 6}, {0, 0, 4, 3}, halftone);
        EXPECT_EQ(screen.mode, COLORONCOLOR);
        EXPECT_TRUE(screen.stretches.empty());
        ASSERT_EQ(screen.rows.size(), 6u);
        for (int r = 0; r < 6; ++r) {
            const RowCall& row = screen.rows[r];
            EXPECT_EQ((TRect{row.xDest, row.yDest, row.width, row.height}),
                      (TRect{5, 7 + r, 8, 1}));
            EXPECT_EQ(row.header.biBitCount, 24);
        }
    }
}

TEST(DrawDibWay, PrinterTakesTheDirectStretchWithTheRasterOperation) {
    std::vector<DibImage> dibs;
    dibs.push_back(TrueColour(4, 3));
    dibs.push_back(Indexed(4, 3));
    for (const DibImage& dib : dibs) {
        RecordingDevice printer(DT_RASPRINTER);
        Draw(printer, dib, {1, 2, 8, 6}, {0, 0, 4, 3}, true, SRCINVERT);
        EXPECT_TRUE(printer.rows.empty());
        ASSERT_EQ(printer.stretches.size(), 1u);
        const StretchCall& call = printer.stretches[0];
        ExpectStretch(call, {1, 2, 8, 6}, {0, 0, 4, 3});
        EXPECT_EQ(call.bits, dib.Bits.get());
        EXPECT_EQ(call.rop, SRCINVERT);
        EXPECT_EQ(call.usage, DIB_RGB_COLORS);
    }
}

TEST(DrawDibWay, SmallDepthsTakeTheDirectStretchOnScreen) {
    DibImage dib;
    newdib(dib, 5, 2, 4, nullptr, 0);
    RecordingDevice screen;
    Draw(screen, dib, {0, 0, 5, 2}, {0, 0, 5, 2});
    EXPECT_TRUE(screen.rows.empty());
    EXPECT_EQ(screen.stretches.size(), 1u);
}

TEST(DrawDibWay, EightBitScreenWithoutHalftoneUsesTheRows) {
    const DibImage dib = TrueColour(4, 3);
    ScreenDepth depth(8);
    RecordingDevice screen;
    Draw(screen, dib, {0, 0, 4, 3}, {0, 0, 4, 3}, false);
    EXPECT_EQ(screen.rows.size(), 3u);
    EXPECT_TRUE(screen.palettes.empty());
}

// The halftoned copy is made by the DIB service; here only the calls around it are checked, and
// the stretch of the copy where the service delivered one.
TEST(DrawDibWay, EightBitScreenHalftonesTrueColourWithThePaletteAsked) {
    const DibImage dib = TrueColour(4, 3);
    ScreenDepth depth(8);
    RecordingDevice screen;
    Draw(screen, dib, {5, 6, 8, 6}, {0, 0, 4, 3}, true, SRCCOPY, false, 0x42);
    EXPECT_TRUE(screen.rows.empty());
    EXPECT_EQ(screen.palettes, (std::vector<std::string>{"select 66", "realize", "select 112"}));
    EXPECT_EQ(screen.palette, kDevicePalette);
    EXPECT_LE(screen.stretches.size(), 1u);
    for (const StretchCall& call : screen.stretches) {
        EXPECT_EQ(call.header.biWidth, 4);
        EXPECT_EQ(call.header.biHeight, 3);
        ExpectStretch(call, {5, 6, 8, 6}, {0, 0, 4, 3});
    }
}

TEST(DrawDibWay, HalftoneDrawnSmallerStretchesTheResampledCopyOneToOne) {
    const DibImage dib = TrueColour(10, 8);
    ScreenDepth depth(8);
    RecordingDevice screen;
    // Half the width of the source rectangle, full height: copy 5 x 8, origin (2 x 5/10, 0).
    Draw(screen, dib, {0, 0, 3, 4}, {2, 0, 6, 4}, true, SRCCOPY, true);
    EXPECT_TRUE(screen.rows.empty());
    EXPECT_EQ(screen.palettes, (std::vector<std::string>{"select 0", "realize", "select 112"}));
    EXPECT_LE(screen.stretches.size(), 1u);
    for (const StretchCall& call : screen.stretches) {
        EXPECT_EQ(call.header.biWidth, 5);
        EXPECT_EQ(call.header.biHeight, 8);
        ExpectStretch(call, {0, 0, 3, 4}, {1, 0, 3, 4});
    }
}

TEST(DrawDibWay, PaletteImagesOnAnyScreenGoThroughTheByteRows) {
    const DibImage dib = Indexed(4, 3);
    for (int bits : {24, 8}) {
        ScreenDepth depth(bits);
        RecordingDevice screen;
        Draw(screen, dib, {0, 0, 4, 3}, {0, 0, 4, 3}, true);
        EXPECT_TRUE(screen.stretches.empty());
        EXPECT_TRUE(screen.palettes.empty());
        ASSERT_EQ(screen.rows.size(), 3u);
        EXPECT_EQ(screen.rows[0].header.biBitCount, 8);
    }
}

TEST(DrawDibPalette, OwnOrGivenPaletteIsSelectedAndTheDevicesRestored) {
    DibImage dib = Indexed(4, 3);
    dib.HasPalette = true;
    dib.Palette = 0x31;
    RecordingDevice own;
    Draw(own, dib, {0, 0, 4, 3}, {0, 0, 4, 3}, true, SRCCOPY, true, 0x42);
    EXPECT_EQ(own.palettes, (std::vector<std::string>{"select 49", "realize", "select 112"}));
    RecordingDevice given;
    Draw(given, dib, {0, 0, 4, 3}, {0, 0, 4, 3}, true, SRCCOPY, false, 0x42);
    EXPECT_EQ(given.palettes, (std::vector<std::string>{"select 66", "realize", "select 112"}));
    EXPECT_EQ(given.rows.size(), 3u);
}

// ---- the row drawers ----

TEST(DrawDibRows, EnlargingByThreeCopiesEachSourceRowOnce) {
    const DibImage dib = TrueColour(2, 2);
    RecordingDevice screen;
    const std::uint64_t before = RowDrawerCopies();
    StretchRows24(screen, 0, 0, 6, 6, dib, 0, 0, 2, 2);
    EXPECT_EQ(RowDrawerCopies() - before, 2u);
    ASSERT_EQ(screen.rows.size(), 6u);
    for (int r = 0; r < 6; ++r) {
        const int t = r / 3;
        EXPECT_EQ(RowPixels(screen.rows[r]),
                  (std::vector<Px>{{0, t}, {0, t}, {0, t}, {1, t}, {1, t}, {1, t}}));
        EXPECT_EQ(screen.rows[r].bits, screen.rows[0].bits);
    }
}

TEST(DrawDibRows, ShrinkingTakesEveryOtherColumnAndRow) {
    const DibImage dib = TrueColour(4, 4);
    RecordingDevice screen;
    StretchRows24(screen, 3, 4, 2, 2, dib, 0, 0, 4, 4);
    ASSERT_EQ(screen.rows.size(), 2u);
    EXPECT_EQ(RowPixels(screen.rows[0]), (std::vector<Px>{{0, 0}, {2, 0}}));
    EXPECT_EQ(RowPixels(screen.rows[1]), (std::vector<Px>{{0, 2}, {2, 2}}));
    EXPECT_EQ(screen.rows[1].xDest, 3);
    EXPECT_EQ(screen.rows[1].yDest, 5);
}

TEST(DrawDibRows, RowsAndColumnsOutsideTheImageAreBlack) {
    const DibImage dib = TrueColour(2, 3);
    RecordingDevice screen;
    // Column offsets -3, 0, 3: the first lies outside the 2-pixel rows. Rows -1 ... 3: the first
    // and the last lie outside the 3-row image.
    StretchRows24(screen, 0, 0, 3, 5, dib, -1, -1, 3, 5);
    ASSERT_EQ(screen.rows.size(), 5u);
    const Px black{-1, -1};
    EXPECT_EQ(RowPixels(screen.rows[0]), (std::vector<Px>{black, black, black}));
    for (int t = 0; t < 3; ++t)
        EXPECT_EQ(RowPixels(screen.rows[t + 1]), (std::vector<Px>{black, {0, t}, {1, t}}));
    EXPECT_EQ(RowPixels(screen.rows[4]), (std::vector<Px>{black, black, black}));
    for (std::uint8_t byte : screen.rows[4].data)
        EXPECT_EQ(byte, 0);
}

TEST(DrawDibRows, ByteRowsCarryTheSourceColourTable) {
    const DibImage dib = Indexed(4, 2);
    RecordingDevice screen;
    StretchRows8(screen, 0, 0, 8, 2, dib, 0, 0, 4, 2);
    ASSERT_EQ(screen.rows.size(), 2u);
    for (int r = 0; r < 2; ++r) {
        const RowCall& row = screen.rows[r];
        EXPECT_EQ(row.header.biBitCount, 8);
        EXPECT_EQ(row.width, 8);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(row.data[i], 16 * r + i / 2) << "row " << r << " column " << i;
        for (int c = 0; c < 256; ++c)
            ASSERT_EQ(row.colors[c], dib.Info->bmiColors[c]);
    }
}

// ---- refused stretch: one buffer of the destination's size, taken 1:1 ----

std::vector<std::vector<Px>> StoredRowsOf(const RowCall& call) {
    std::vector<std::vector<Px>> rows;
    const std::size_t stride = std::size_t(DibStride(call.width, 24));
    for (int r = 0; r < call.height; ++r) {
        std::vector<std::uint8_t> row(call.data.begin() + std::ptrdiff_t(r * stride),
                                      call.data.begin() + std::ptrdiff_t((r + 1) * stride));
        std::vector<Px> pixels;
        for (int c = 0; c < call.width; ++c)
            pixels.push_back(SourceOf(row, c));
        rows.push_back(pixels);
    }
    return rows;
}

TEST(DrawDibBuffer, RefusedStretchMapsEveryPixelToItsNearestSource) {
    // Stored row 0 is the bottom; in the 4 x 3 picture that is image row t = 2.
    const DibImage dib = TrueColour(4, 3);
    RefusingDevice printer(DT_RASPRINTER);
    Draw(printer, dib, {2, 3, 3, 2}, {0, 0, 4, 3});
    ASSERT_EQ(printer.stretches.size(), 1u);
    ASSERT_EQ(printer.rows.size(), 1u);
    const RowCall& call = printer.rows[0];
    EXPECT_EQ((TRect{call.xDest, call.yDest, call.width, call.height}), (TRect{2, 3, 3, 2}));
    EXPECT_EQ(call.numScans, 2);
    // sx = 3c div 2: 0, 1, 3; sy = 2r div 1: stored rows 0 and 2.
    EXPECT_EQ(StoredRowsOf(call),
              (std::vector<std::vector<Px>>{{{0, 2}, {1, 2}, {3, 2}}, {{0, 0}, {1, 0}, {3, 0}}}));
}

TEST(DrawDibBuffer, EnlargingRepeatsByTheSameRule) {
    const DibImage dib = TrueColour(3, 2);
    RefusingDevice printer(DT_RASPRINTER);
    Draw(printer, dib, {0, 0, 7, 3}, {0, 0, 3, 2});
    ASSERT_EQ(printer.rows.size(), 1u);
    // sx = 2c div 6: 0 0 0 1 1 1 2; sy = r div 2: stored rows 0 0 1.
    const auto rows = StoredRowsOf(printer.rows[0]);
    ASSERT_EQ(rows.size(), 3u);
    const std::vector<int> sx{0, 0, 0, 1, 1, 1, 2};
    const std::vector<int> t{1, 1, 0};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 7; ++c)
            EXPECT_EQ(rows[r][c], (Px{sx[c], t[r]})) << r << "," << c;
}

TEST(DrawDibBuffer, OnePixelDestinationTakesTheFirstSourcePixel) {
    const DibImage dib = TrueColour(4, 3);
    RefusingDevice printer(DT_RASPRINTER);
    Draw(printer, dib, {0, 0, 1, 1}, {2, 1, 2, 2});
    Draw(printer, dib, {0, 0, 3, 1}, {1, 1, 3, 2});
    ASSERT_EQ(printer.rows.size(), 2u);
    // Stored row 1 of 3 is image row 1.
    EXPECT_EQ(StoredRowsOf(printer.rows[0]), (std::vector<std::vector<Px>>{{{2, 1}}}));
    EXPECT_EQ(StoredRowsOf(printer.rows[1]),
              (std::vector<std::vector<Px>>{{{1, 1}, {2, 1}, {3, 1}}}));
}

TEST(DrawDibBuffer, NibblesMoveBetweenHighAndLowHalves) {
    BitmapInfo table;
    table.bmiColors[3] = {1, 2, 3, 0};
    DibImage dib;
    newdib(dib, 3, 1, 4, &table, 16);
    dib.Bits[0] = 0x12;
    dib.Bits[1] = 0x30;
    RefusingDevice screen;
    Draw(screen, dib, {0, 0, 5, 1}, {0, 0, 3, 1});
    ASSERT_EQ(screen.rows.size(), 1u);
    const RowCall& call = screen.rows[0];
    EXPECT_EQ(call.header.biBitCount, 4);
    EXPECT_EQ(call.colors[3], (RgbQuad{1, 2, 3, 0}));
    // sx = 2c div 4: 0 0 1 1 2, so pixels 1 1 2 2 3.
    EXPECT_EQ(call.data[0], 0x11);
    EXPECT_EQ(call.data[1], 0x22);
    EXPECT_EQ(call.data[2], 0x30);
}

TEST(DrawDibBuffer, BytesOfPaletteImages) {
    const DibImage dib = Indexed(4, 2);
    RefusingDevice printer(DT_RASPRINTER);
    Draw(printer, dib, {0, 0, 2, 2}, {1, 0, 3, 2});
    ASSERT_EQ(printer.rows.size(), 1u);
    const RowCall& call = printer.rows[0];
    // sx = 2c + 1: 1, 3; stored row 0 is image row 1, whose values are 16 + x.
    EXPECT_EQ(call.data[0], 17);
    EXPECT_EQ(call.data[1], 19);
    EXPECT_EQ(call.data[4], 1);
    EXPECT_EQ(call.data[5], 3);
}

// ---- last resort: through a bitmap of the device ----

TEST(DrawDibBitmap, DeviceWithoutDibTransferThatCannotMakeABitmapSaysSo) {
    const DibImage dib = TrueColour(4, 3);
    TakeNotices();
    NoDibToDeviceDevice printer(DT_RASPRINTER);
    Draw(printer, dib, {0, 0, 8, 6}, {0, 0, 4, 3});
    EXPECT_TRUE(printer.rows.empty());
    EXPECT_EQ(printer.bitmapRequests, (std::vector<TPoint>{{4, 3}}));
    EXPECT_EQ(TakeNotices(),
              (std::vector<Notice>{{"Konnte Bitmap nicht erzeugen!", "", MsgIcon::None}}));
}

TEST(DrawDibBitmap, FailedBufferTransferFallsBackToTheBitmap) {
    const DibImage dib = TrueColour(4, 3);
    TakeNotices();
    FailingRowsDevice printer(DT_RASPRINTER);
    Draw(printer, dib, {0, 0, 8, 6}, {0, 0, 4, 3});
    EXPECT_EQ(printer.rows.size(), 1u);
    EXPECT_EQ(printer.bitmapRequests.size(), 1u);
    const std::vector<Notice> notices = TakeNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].text, "Konnte Bitmap nicht erzeugen!");
}

TEST(DrawDibBitmap, BufferTooLargeToMakeFallsBackToTheBitmap) {
    const DibImage dib = TrueColour(4, 3);
    TakeNotices();
    RefusingDevice printer(DT_RASPRINTER);
    Draw(printer, dib, {0, 0, kMaxDibSide + 1, 6}, {0, 0, 4, 3});
    EXPECT_TRUE(printer.rows.empty());
    EXPECT_EQ(printer.bitmapRequests.size(), 1u);
    EXPECT_EQ(TakeNotices().size(), 1u);
}

}  // namespace
}  // namespace gw
