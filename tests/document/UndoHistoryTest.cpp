#include "document/UndoHistory.h"

#include <gtest/gtest.h>

#include "raster/DibService.h"

namespace gw {
namespace {

Lettering WithTexture(int side) {
    Lettering lettering;
    InitStartState(lettering);
    newdib(lettering.TextTexture, side, side, 24, nullptr, 0);
    newdib(lettering.BackgroundTexture, 4, 4, 24, nullptr, 0);
    return lettering;
}

TEST(UndoHistory, StepsGoBackAndForthExactly) {
    Lettering lettering = WithTexture(8);
    UndoHistory history;
    history.Reset(lettering);
    const LetteringSettings start = lettering.settings;
    lettering.settings.KWinkEd = 30;
    lettering.EnvelopeLines[0].SetPoint(0, 1, 2);
    history.Record(lettering, "Lichtwinkel");
    lettering.TextTexture.Row(0)[0] = 77;
    lettering.width = 300;
    history.Record(lettering, "Textur");
    EXPECT_EQ(history.UndoName(), "Textur");

    history.Undo(lettering);
    EXPECT_EQ(lettering.TextTexture.Row(0)[0], 0);
    EXPECT_EQ(lettering.width, 450);
    EXPECT_EQ(history.RedoName(), "Textur");
    history.Undo(lettering);
    EXPECT_EQ(lettering.settings, start);
    EXPECT_EQ(lettering.EnvelopeLines[0].GetPoint(0), (TPoint{22, 10}));
    EXPECT_FALSE(history.CanUndo());
    history.Redo(lettering);
    history.Redo(lettering);
    EXPECT_EQ(lettering.settings.KWinkEd, 30);
    EXPECT_EQ(lettering.TextTexture.Row(0)[0], 77);
    EXPECT_EQ(lettering.width, 300);
    // A new step after an undo drops what could be redone.
    history.Undo(lettering);
    history.Record(lettering, "Schatten");
    EXPECT_FALSE(history.CanRedo());
}

// Steps that leave a texture alone share it; the oldest steps go when the memory is spent.
TEST(UndoHistory, SharedTexturesAndTheMemoryLimit) {
    Lettering lettering = WithTexture(512);  // 768 KiB
    UndoHistory history;
    history.Reset(lettering);
    for (int i = 0; i < 200; ++i) {
        lettering.settings.KWinkEd = i % 90;
        history.Record(lettering, "Lichtwinkel");
    }
    EXPECT_EQ(history.UndoCount(), 200u);
    EXPECT_LT(history.Bytes(), std::size_t(3) << 20);  // 150 MiB unshared

    UndoHistory small(std::size_t(4) << 20);
    small.Reset(lettering);
    for (int i = 0; i < 20; ++i) {
        lettering.TextTexture.Row(0)[0] = std::uint8_t(i + 1);
        small.Record(lettering, "Textur");
        EXPECT_LE(small.Bytes(), std::size_t(4) << 20);
    }
    EXPECT_GE(small.UndoCount(), 3u);
    EXPECT_LT(small.UndoCount(), 6u);
    small.Undo(lettering);
    EXPECT_EQ(lettering.TextTexture.Row(0)[0], 19);
}

}  // namespace
}  // namespace gw
