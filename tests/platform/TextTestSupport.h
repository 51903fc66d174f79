#pragma once
// Shared helpers of the text layout and font tests.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/Bitmap.h"
#include "platform/TextLayout.h"

namespace gw::testing {

inline void LoadFontRule() {
    ASSERT_TRUE(LoadFontConfigFile(GLYPHWERK_SOURCE_DIR "/data/glyphwerk-fonts.conf"));
}

inline LogFont Font(std::string name, std::int32_t height, bool bold = false, bool italic = false) {
    LogFont f;
    f.name = std::move(name);
    f.height = height;
    f.bold = bold;
    f.italic = italic;
    return f;
}

inline LogFont DejaVu(std::int32_t height = -40) {
    return Font("DejaVu Sans", height);
}

inline TRect Measure(const LogFont& font, std::string_view text, std::uint32_t format = 0,
                     TRect start = {}) {
    DrawTextBlock(nullptr, font, clBlack, text, start, format | DT_CALCRECT);
    return start;
}

inline std::int32_t WidthOf(const LogFont& font, std::string_view text, std::uint32_t format = 0) {
    return Measure(font, text, format).right;
}

// A white 24-bit picture with the block drawn black at (left, top).
inline Bitmap Drawn(const LogFont& font, std::string_view text, std::uint32_t format = 0,
                    TRect rect = {10, 10, 10, 10}, std::int32_t width = 400,
                    std::int32_t height = 200) {
    Bitmap bitmap(width, height);
    DrawTextBlock(&bitmap, font, clBlack, text, rect, format);
    return bitmap;
}

inline bool SamePixels(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (std::int32_t y = 0; y < a.Height(); ++y)
        for (std::int32_t x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
    return true;
}

inline std::int32_t CountPixels(const Bitmap& b, TColor color) {
    std::int32_t n = 0;
    for (std::int32_t y = 0; y < b.Height(); ++y)
        for (std::int32_t x = 0; x < b.Width(); ++x)
            if (b.Pixel(x, y) == color) ++n;
    return n;
}

}  // namespace gw::testing
