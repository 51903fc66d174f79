#include "document/Lettering.h"

#include <gtest/gtest.h>

#include "document/PictureSize.h"
#include "raster/DibService.h"

namespace gw {
namespace {

using Points = std::vector<TPoint>;

TEST(StartState, SizeBoundaryLinesAndSurfaces) {
    Lettering lettering;
    InitStartState(lettering);
    EXPECT_EQ(lettering.width, 450);
    EXPECT_EQ(lettering.height, 200);
    EXPECT_EQ(lettering.EnvelopeLines[0].Points(), (Points{{22, 10}, {428, 10}}));
    EXPECT_EQ(lettering.EnvelopeLines[1].Points(), (Points{{22, 190}, {428, 190}}));
    EXPECT_EQ(lettering.EnvelopeLines[0].OutlineCount(), 407);
    EXPECT_EQ(lettering.settings.Font.name, "Arial Black");
    EXPECT_EQ(lettering.settings.SurfaceFrame1.color, 0xFF0000u);
    EXPECT_EQ(lettering.settings.SurfaceFrame2.color, 0xFFFFFFu);
}

TEST(New, LinesFromCurrentPictureSize) {
    Lettering lettering;
    InitStartState(lettering);
    lettering.EnvelopeLines[0].AddPoint(300, 3);
    ResetForNew(lettering);
    EXPECT_EQ(lettering.EnvelopeLines[0].Points(), (Points{{22, 10}, {428, 10}}));
    EXPECT_EQ(lettering.EnvelopeLines[1].Points(), (Points{{22, 190}, {428, 190}}));

    ResizeLettering(lettering, 600, 300, false);
    ResetForNew(lettering);
    EXPECT_EQ(lettering.EnvelopeLines[0].Points(), (Points{{30, 15}, {570, 15}}));
    EXPECT_EQ(lettering.EnvelopeLines[1].Points(), (Points{{30, 285}, {570, 285}}));
}

TEST(New, KeepsFontStyleAngleTexturesAndSize) {
    Lettering lettering;
    InitStartState(lettering);
    LetteringSettings& s = lettering.settings;
    s.Font = {"DejaVu Sans", -16, true, true};
    s.KWinkEd = 30;
    s.Memo1 = {"Hallo"};
    s.SurfaceFrame1 = {SurfaceKind::BuiltinTexture, 0x123456};
    s.KanteCheck = s.SchattenCheck = true;
    s.FrameStyle = 3;
    s.deform = DeformMode::SinDeform;
    newdib(lettering.TextTexture, 4, 4, 24, nullptr, 0);
    ResetForNew(lettering);
    EXPECT_EQ(s.Font, (LetteringFont{"DejaVu Sans", -16, true, true}));
    EXPECT_TRUE(s.Font.bold);
    EXPECT_EQ(s.KWinkEd, 30);
    EXPECT_FALSE(lettering.TextTexture.Empty());
    EXPECT_EQ(s.Memo1, (std::vector<std::string>{"ZEF-LOR", "GbR"}));
    EXPECT_EQ(s.SurfaceFrame1, (SurfaceSettings{SurfaceKind::Color, 0xFF0000}));
    EXPECT_FALSE(s.KanteCheck);
    EXPECT_FALSE(s.SchattenCheck);
    EXPECT_EQ(s.FrameStyle, 0);
    EXPECT_EQ(s.deform, DeformMode::NoDeform);
}

TEST(Caption, NamesTheFileWithoutFolder) {
    EXPECT_EQ(CaptionFor(""), "ZEF-LOR Zarbo-Glyphwerk 2.1 - [Unbenannt.zgw]");
    EXPECT_EQ(CaptionFor("/home/anna/Schriften/Logo.zgw"),
              "ZEF-LOR Zarbo-Glyphwerk 2.1 - [Logo.zgw]");
    EXPECT_EQ(CaptionFor("Logo.zgw"), "ZEF-LOR Zarbo-Glyphwerk 2.1 - [Logo.zgw]");
}

}  // namespace
}  // namespace gw
