#pragma once
// A drawing device as DrawDib sees it: its capabilities and the DIB transfer calls.
//
// The Canvas of a memory bitmap is the device of every view and of the off-screen work; tests
// derive devices that refuse calls, to reach the fallbacks of DrawDib.

#include <cstdint>
#include <memory>

#include "platform/Bitmap.h"
#include "platform/BitmapInfo.h"
#include "platform/RasterOp.h"

namespace gw {

// Device capability indices and values.
constexpr int TECHNOLOGY = 2;
constexpr int BITSPIXEL = 12;
constexpr int RASTERCAPS = 38;
constexpr int DT_RASDISPLAY = 1;
constexpr int DT_RASPRINTER = 2;
constexpr int RC_BITBLT = 0x0001;
constexpr int RC_DIBTODEV = 0x0200;
constexpr int RC_STRETCHBLT = 0x0800;
constexpr int RC_STRETCHDIB = 0x2000;

constexpr int GDI_ERROR = -1;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;

// Logical palettes do not exist on our displays; the handle is kept so the drawing code can
// select and restore palettes as it would on a palette device.
using PaletteHandle = std::uintptr_t;

class DeviceContext {
  public:
    virtual ~DeviceContext() = default;

    virtual int GetDeviceCaps(int index) const = 0;
    virtual int SetStretchBltMode(int mode) = 0;  // returns the previous mode
    virtual PaletteHandle SelectPalette(PaletteHandle palette, bool forceBackground) = 0;
    virtual int RealizePalette() = 0;

    // Stretches the source rectangle of a DIB onto the destination rectangle with `rop`.
    // ySrc counts from the bottom stored row, as for every bottom-up DIB. Returns the number of
    // scan lines copied, or GDI_ERROR.
    virtual int StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                              int ySrc, int srcWidth, int srcHeight, const void* bits,
                              const BitmapInfo& info, std::uint32_t usage, Rop rop) = 0;

    // Copies `width` x `height` pixels of a DIB 1:1 to (xDest, yDest); (xSrc, ySrc) is the DIB
    // origin counted from the bottom-left, `startScan`/`numScans` the rows that `bits` holds.
    // Returns the number of scan lines set, 0 on failure.
    virtual int SetDIBitsToDevice(int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                                  int startScan, int numScans, const void* bits,
                                  const BitmapInfo& info, std::uint32_t usage) = 0;

    // A bitmap in the device's own format, or null when the device cannot make one.
    virtual std::unique_ptr<Bitmap> CreateCompatibleBitmap(int width, int height) = 0;

    // Stretches part of a bitmap (rows counted from its top) onto the device. False on failure.
    virtual bool StretchBlt(int xDest, int yDest, int destWidth, int destHeight, const Bitmap& src,
                            int xSrc, int ySrc, int srcWidth, int srcHeight, Rop rop) = 0;
};

// Moves rows between a bitmap and DIB bits. Scan line 0 is the bottom row. The DIB's format comes
// from `info` (1, 4, 8 or 24 bits; the smaller depths through their colour table when setting).
// Getting always delivers 24 bits. Both return the number of scan lines moved, 0 on failure.
int GetDIBits(const Bitmap& src, int startScan, int numScans, void* bits, const BitmapInfo& info,
              std::uint32_t usage);
int SetDIBits(Bitmap& dst, int startScan, int numScans, const void* bits, const BitmapInfo& info,
              std::uint32_t usage);

}  // namespace gw
