#include "raster/DibImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/System.h"
#include "raster/DibService.h"

namespace gw {
namespace {

TEST(DibImageHeader, ColourCountDoublesPerBit) {
    for (const auto& [bits, colors] :
         {std::pair{1, 2}, std::pair{4, 16}, std::pair{8, 256}, std::pair{24, 16777216}}) {
        DibImage dib;
        newdib(dib, 3, 2, bits, nullptr, 0);
        ASSERT_TRUE(dib.Bits) << bits;
        EXPECT_EQ(DibColorCount(dib), colors);
        EXPECT_EQ(DibImageSize(dib), std::size_t(dib.Stride) * 2);
        EXPECT_EQ(dib.Stride % 4, 0);
    }
    const DibImage empty;
    EXPECT_EQ(DibWidth(empty), 0);
    EXPECT_EQ(DibHeight(empty), 0);
    EXPECT_EQ(DibColorCount(empty), 1);
}

TEST(DibImageLife, ImpossibleSizesGiveNoImage) {
    DibImage dib;
    for (const auto& [w, h, bits] : {std::tuple{0, 5, 24}, std::tuple{5, -1, 24},
                                     std::tuple{16385, 1, 8}, std::tuple{16384, 16384, 32}}) {
        newdib(dib, w, h, bits, nullptr, 0);
        EXPECT_FALSE(dib.Bits) << w << "x" << h << "x" << bits;
    }
}

TEST(DibImageLife, ReleasingTwiceOrReleasingNothingIsHarmless) {
    DibImage dib;
    deldib(dib);
    newdib(dib, 4, 4, 24, nullptr, 0);
    deldib(dib);
    EXPECT_TRUE(dib.Empty());
    EXPECT_FALSE(dib.Info);
    deldib(dib);
}

// A picture too large for the heap starts on a huge page and is zero to its last row.
TEST(DibImageLife, LargePictureStartsOnAHugePageZeroed) {
    DibImage dib;
    newdib(dib, 4000, 3000, 24, nullptr, 0);
    ASSERT_TRUE(dib.Bits);
    ASSERT_GE(DibImageSize(dib), kMappedBlockBytes);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(dib.Bits.get()) % kHugePageBytes, 0u);
    EXPECT_EQ(dib.Row(0)[3 * 3999 + 2], 0);
    EXPECT_EQ(dib.Row(2999)[0], 0);
    deldib(dib);
    EXPECT_TRUE(dib.Empty());
}

TEST(MakeDIBCopy, CopiesPixelsAndColourTableIntoMemoryOfItsOwn) {
    DibImage source;
    newdib(source, 5, 3, 8, nullptr, 0);
    for (int i = 0; i < 256; ++i)
        source.Info->bmiColors[i] = {std::uint8_t(i), 1, 2, 0};
    for (std::size_t i = 0; i < DibImageSize(source); ++i)
        source.Bits[i] = std::uint8_t(i);
    DibImage copy = MakeDIBCopy(source);
    ASSERT_TRUE(copy.Bits);
    EXPECT_NE(copy.Bits.get(), source.Bits.get());
    EXPECT_EQ(std::memcmp(copy.Bits.get(), source.Bits.get(), DibImageSize(source)), 0);
    EXPECT_EQ(copy.Info->bmiColors[200], source.Info->bmiColors[200]);
    EXPECT_EQ(DibBitCount(copy), 8u);
}

TEST(MakeDIBCopy, AnEmptySourceGivesAnEmptyCopySilently) {
    int messages = 0;
    MessageBoxHandler previous =
        SetMessageBoxHandler([&](std::string_view, std::string_view, MsgIcon, MsgButtons) {
            ++messages;
            return MsgResult::Ok;
        });
    const DibImage copy = MakeDIBCopy(DibImage{});
    SetMessageBoxHandler(std::move(previous));
    EXPECT_FALSE(copy.Bits);
    EXPECT_EQ(messages, 0);
    EXPECT_TRUE(TakeNotices().empty());
}

}  // namespace
}  // namespace gw
