#include "render/Presets.h"

#include <gtest/gtest.h>

#include <charconv>
#include <span>
#include <string_view>
#include <vector>

#include "document/EnvelopePresets.h"
#include "document/Lettering.h"
#include "platform/Catalogue.h"

namespace gw {
namespace {

using Points = std::vector<TPoint>;

TEST(EdgePresets, PresetZeroResetsToCommonValues) {
    LetteringSettings s;
    s.KanteCheck = true;
    s.KWinkEd = 120;
    s.KBreiteEd = 7;
    s.KLichtEd = 450;
    s.KFixedWCheck = true;
    s.Invers1Check = true;
    s.KQualCheck = false;
    s.Profil1Box = 0;
    s.BkGnd1 = true;
    s.Profil2Box = 3;
    s.BkGnd2 = true;
    ApplyEdgePreset(s, 0);
    const LetteringSettings start;
    EXPECT_EQ(s, start);
}

TEST(EdgePresets, Rows) {
    LetteringSettings s;
    s.KWinkEd = 30;
    s.Invers1Check = true;
    ApplyEdgePreset(s, 1);
    EXPECT_TRUE(s.KanteCheck);
    EXPECT_EQ(s.KWinkEd, -45);
    EXPECT_FALSE(s.Invers1Check);
    EXPECT_EQ(s.KBreiteEd, 50);
    EXPECT_FALSE(s.KQualCheck);
    EXPECT_TRUE(s.KFixedWCheck);

    ApplyEdgePreset(s, 2);
    EXPECT_EQ(s.KLichtEd, 300);
    EXPECT_EQ(s.KBreiteEd, 100);
    EXPECT_FALSE(s.KFixedWCheck);

    ApplyEdgePreset(s, 6);
    EXPECT_EQ(s.Profil1Box, 0);
    EXPECT_EQ(s.Profil2Box, 1);
    EXPECT_FALSE(s.BkGnd1);
    EXPECT_TRUE(s.KQualCheck);

    ApplyEdgePreset(s, 10);
    EXPECT_EQ(s.Profil1Box, 3);
    EXPECT_EQ(s.Profil2Box, 2);
    EXPECT_TRUE(s.BkGnd1);
    EXPECT_TRUE(s.BkGnd2);

    const LetteringSettings before = s;
    ApplyEdgePreset(s, 11);
    EXPECT_EQ(s, before);
}

TEST(ShadowPresets, Rows) {
    LetteringSettings s;
    ApplyShadowPreset(s, 3);
    EXPECT_TRUE(s.SchattenCheck);
    EXPECT_EQ(s.SDeckEd, 100);
    EXPECT_EQ(s.SWeichEd, 2);
    EXPECT_EQ(s.SRightEd, 10);
    EXPECT_EQ(s.SBottomEd, -10);

    ApplyShadowPreset(s, 6);
    EXPECT_EQ(s.SColorShape, 0xFFFFFFu);
    EXPECT_EQ(s.SWeichEd, 15);
    EXPECT_EQ(s.SRightEd, 0);
    EXPECT_EQ(s.SBottomEd, 0);

    ApplyShadowPreset(s, 7);
    EXPECT_EQ(s.SColorShape, clBlack);
    EXPECT_EQ(s.SRichtBox, 2);
    EXPECT_EQ(s.SDeckEd, 15);

    ApplyShadowPreset(s, 0);
    EXPECT_EQ(s, LetteringSettings{});
}

TEST(FramePresets, SelectStyleOnly) {
    LetteringSettings s;
    s.RBreitEd = 33;
    ApplyFramePreset(s, 4);
    EXPECT_EQ(s.FrameStyle, 4);
    EXPECT_EQ(s.RBreitEd, 33);
    ApplyFramePreset(s, 5);
    EXPECT_EQ(s.FrameStyle, 4);
}

// The command line takes a number as the preset's number without looking at the names: no name,
// German or English, may read as one.
TEST(PresetNames, NoneReadsAsANumber) {
    ASSERT_EQ(std::string_view(catalogue::English("Wulst")), "Bulge");  // the catalogue is there
    const std::span<const std::string_view> lists[] = {kEnvelopePresetNames, kEdgePresetNames,
                                                       kShadowPresetNames, kFramePresetNames};
    for (const auto& names : lists) {
        for (const std::string_view german : names) {
            for (const std::string_view name :
                 {german, std::string_view(catalogue::English(german.data()))}) {
                std::int32_t number = 0;
                const char* const last = name.data() + name.size();
                const auto [end, error] = std::from_chars(name.data(), last, number);
                EXPECT_FALSE(error == std::errc() && end == last) << name;
            }
        }
    }
}

}  // namespace
}  // namespace gw
