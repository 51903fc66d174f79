// The envelope editor alone: hover kinds, the drags of move mode, point mode, drawing a hull, and
// its pivot and rotation handle after a size change.

#include "editing/EnvelopeEditor.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "document/EnvelopePresets.h"
#include "document/PictureSize.h"

namespace gw {
namespace {

std::vector<TPoint> Points(const Lettering& l, int k) {
    return l.EnvelopeLines[std::size_t(k)].Points();
}

class EnvelopeEditorTest : public ::testing::Test {
  protected:
    void SetUp() override;

    Lettering lettering;
    Bitmap view{200, 100};
    std::unique_ptr<Canvas> canvas;
    std::unique_ptr<TEnvelopeEditor> editor;

    void Drag(TPoint from, TPoint to) {
        editor->Hover(from.x, from.y, true);
        ASSERT_TRUE(editor->Press(*canvas, from.x, from.y, true));
        editor->Drag(*canvas, to.x, to.y);
    }
};

void EnvelopeEditorTest::SetUp() {
    InitStartState(lettering);
    lettering.width = 200;
    lettering.height = 100;
    ResetBoundaryLines(lettering);  // (10, 5)-(190, 5) above, (10, 95)-(190, 95) below
    view = Bitmap(200, 100);
    canvas = std::make_unique<Canvas>(view);
    editor = std::make_unique<TEnvelopeEditor>(lettering);
    EXPECT_EQ(editor->Pivot, (TPoint{100, 50}));
    EXPECT_EQ(editor->RotationHandle, (TPoint{100, 25}));
}

TEST_F(EnvelopeEditorTest, HoverKindsFollowTheTableOrder) {
    struct Row {
        TPoint at;
        std::int32_t kind;
        EditCursor cursor;
    };
    const Row rows[] = {
        {{12, 7}, dkUpperFirst, EditCursor::SizeNWSE},
        {{185, 0}, dkUpperLast, EditCursor::SizeNESW},
        {{5, 100}, dkLowerFirst, EditCursor::SizeNESW},
        {{195, 90}, dkLowerLast, EditCursor::SizeNWSE},
        {{100, 50}, dkPivot, EditCursor::HandPoint},
        {{104, 21}, dkRotate, EditCursor::HandPoint},
        {{60, 60}, dkMoveAll, EditCursor::SizeAll},
        {{16, 5}, dkMoveAll, EditCursor::SizeAll},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(editor->Hover(row.at.x, row.at.y, true), row.cursor);
        EXPECT_EQ(editor->DragKind, row.kind);
    }
    // A zoomed view gives the radius that is kHitRadius on its screen.
    EXPECT_EQ(editor->Hover(12, 7, true, 1), EditCursor::SizeAll);
    EXPECT_EQ(editor->Hover(16, 5, true, 6), EditCursor::SizeNWSE);
    // Off the envelope tab the kind stays and the cursor is the arrow.
    editor->Hover(100, 50, true);
    EXPECT_EQ(editor->Hover(60, 60, false), EditCursor::Arrow);
    EXPECT_EQ(editor->DragKind, std::int32_t(dkPivot));
    lettering.settings.editMode = EditMode::DrawFace;
    EXPECT_EQ(editor->Hover(60, 60, true), EditCursor::Brush);
    EXPECT_EQ(editor->DragKind, std::int32_t(dkDraw));
}

TEST_F(EnvelopeEditorTest, TheCornerWinsOverThePivot) {
    editor->Pivot = {14, 8};
    EXPECT_EQ(editor->Hover(12, 6, true), EditCursor::SizeNWSE);
    EXPECT_EQ(editor->DragKind, std::int32_t(dkUpperFirst));
}

TEST_F(EnvelopeEditorTest, PointModePicksTheLastPointHitAndKeepsIt) {
    lettering.settings.editMode = EditMode::EdPointsCheck;
    lettering.EnvelopeLines[1].SetPoint(1, 14, 9);  // near the upper line's first point
    EXPECT_EQ(editor->Hover(12, 7, true), EditCursor::HandPoint);
    EXPECT_EQ(editor->PickedLine, 1);
    EXPECT_EQ(editor->PickedPoint, 1);
    EXPECT_EQ(editor->Hover(60, 60, true), EditCursor::Arrow);
    // A press anywhere drags the point last passed over.
    Drag({60, 60}, {70, 55});
    EXPECT_EQ(lettering.EnvelopeLines[1].GetPoint(1), (TPoint{24, 4}));
    EXPECT_EQ(Points(lettering, 0), (std::vector<TPoint>{{10, 5}, {190, 5}}));
}

TEST_F(EnvelopeEditorTest, MoveAllStepsFromThePressSnapshot) {
    Drag({60, 60}, {70, 40});
    editor->Drag(*canvas, 63, 61);
    EXPECT_EQ(Points(lettering, 0), (std::vector<TPoint>{{13, 6}, {193, 6}}));
    EXPECT_EQ(Points(lettering, 1), (std::vector<TPoint>{{13, 96}, {193, 96}}));
    EXPECT_EQ(editor->Pivot, (TPoint{103, 51}));
    EXPECT_EQ(editor->RotationHandle, (TPoint{103, 26}));
}

TEST_F(EnvelopeEditorTest, CornerScalingShrinksAboutTheOppositeCornerAndNeverMirrors) {
    // The lower line's last point towards the upper line's first point: half the distance.
    Drag({190, 95}, {100, 50});
    EXPECT_EQ(Points(lettering, 0), (std::vector<TPoint>{{10, 5}, {100, 5}}));
    EXPECT_EQ(Points(lettering, 1), (std::vector<TPoint>{{10, 50}, {100, 50}}));
    EXPECT_EQ(editor->Pivot, (TPoint{55, 28}));  // (55, 27.5) rounded half to even
    // Just as far beyond the opposite corner: the factor is a ratio of distances.
    editor->Drag(*canvas, -80, -40);
    EXPECT_EQ(Points(lettering, 1), (std::vector<TPoint>{{10, 50}, {100, 50}}));
}

TEST_F(EnvelopeEditorTest, CoincidentCornersLeaveTheLinesAsTheyWere) {
    lettering.EnvelopeLines[1].SetPoint(1, 10, 5);  // the lower last point on the upper first
    lettering.EnvelopeLines[0].SetPoint(1, 190, 20);
    editor->Hover(10, 5, true);
    EXPECT_EQ(editor->DragKind, std::int32_t(dkUpperFirst));
    EXPECT_TRUE(editor->Press(*canvas, 10, 5, true));
    editor->Drag(*canvas, 60, 40);
    EXPECT_EQ(Points(lettering, 0), (std::vector<TPoint>{{10, 5}, {190, 20}}));
    EXPECT_EQ(Points(lettering, 1), (std::vector<TPoint>{{10, 95}, {10, 5}}));
    EXPECT_EQ(editor->Release(*canvas, true), EditOutcome::Render);
}

TEST_F(EnvelopeEditorTest, QuarterTurnClockwiseTurnsTheLinesClockwise) {
    // The handle from above the pivot to its right: a quarter turn clockwise on screen.
    Drag({100, 25}, {125, 50});
    EXPECT_EQ(editor->RotationHandle, (TPoint{125, 50}));
    EXPECT_EQ(editor->Pivot, (TPoint{100, 50}));
    EXPECT_EQ(Points(lettering, 0), (std::vector<TPoint>{{145, -40}, {145, 140}}));
    EXPECT_EQ(Points(lettering, 1), (std::vector<TPoint>{{55, -40}, {55, 140}}));
    // An eighth of a turn from the snapshot, not from the step before: 10 * cos 45 = 7.07.
    editor->WorkLines[0].SetPoint(0, 110, 50);
    editor->Drag(*canvas, 125, 25);
    EXPECT_EQ(lettering.EnvelopeLines[0].GetPoint(0), (TPoint{107, 57}));
}

TEST_F(EnvelopeEditorTest, RubberBandIsGoneAfterTheRelease) {
    view.Fill(0x336699);
    const Bitmap before = view;
    Drag({60, 60}, {80, 70});
    editor->Drag(*canvas, 90, 65);
    // The band is red XORed into the picture.
    int changed = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (view.Pixel(x, y) == before.Pixel(x, y)) continue;
            EXPECT_EQ(view.Pixel(x, y), TColor(0x336699 ^ clRed));
            ++changed;
        }
    }
    EXPECT_TRUE(changed > 100);
    EXPECT_EQ(editor->Release(*canvas, true), EditOutcome::Render);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            EXPECT_EQ(view.Pixel(x, y), before.Pixel(x, y));
    EXPECT_EQ(editor->WorkLines[0].PointCount(), 0);
    TLine rebuilt = lettering.EnvelopeLines[0];
    rebuilt.BuildOutline();
    EXPECT_EQ(lettering.EnvelopeLines[0].Outline(), rebuilt.Outline());
    EXPECT_EQ(lettering.EnvelopeLines[0].GetOutlinePoint(0), (TPoint{40, 10}));
}

TEST_F(EnvelopeEditorTest, ReleaseOffTheTabStillEndsThePress) {
    Drag({60, 60}, {70, 60});
    EXPECT_EQ(editor->Release(*canvas, false), EditOutcome::Render);
    EXPECT_TRUE(!editor->ButtonHeld);
    EXPECT_TRUE(editor->Press(*canvas, 60, 60, true));  // the next press is taken
}

// The pivot and the rotation handle stay where the mouse can take them after a size change.
TEST_F(EnvelopeEditorTest, PivotAndHandleFollowOrStayInsideAfterAResize) {
    struct Case {
        std::int32_t w, h;
        bool scale;
        TPoint pivot, handle;
    };
    const Case cases[] = {
        {225, 100, true, {112, 50}, {112, 25}},  // halved with the lines
        {900, 400, true, {450, 200}, {450, 100}},
        {100, 40, false, {99, 39}, {99, 39}},  // the lines stay; the two move inside
        {900, 400, false, {225, 100}, {225, 50}},
    };
    for (const Case& c : cases) {
        Lettering start;
        InitStartState(start);
        TEnvelopeEditor moved(start);  // pivot (225, 100), handle (225, 50)
        ResizeLettering(start, c.w, c.h, c.scale);
        moved.PictureResized(450, 200, c.scale);
        EXPECT_EQ(moved.Pivot, c.pivot);
        EXPECT_EQ(moved.RotationHandle, c.handle);
    }
}

TEST_F(EnvelopeEditorTest, OnePointStrokeFromPressAndRelease) {
    lettering.settings.editMode = EditMode::DrawFace;
    editor->StartDrawing();
    EXPECT_TRUE(editor->Press(*canvas, 30, 40, true));
    EXPECT_EQ(editor->Release(*canvas, true), EditOutcome::Nothing);
    EXPECT_EQ(editor->StrokeCount, 1);
    EXPECT_EQ(editor->WorkLines[0].Points(), (std::vector<TPoint>{{30, 40}}));
    EXPECT_TRUE(editor->Press(*canvas, 50, 60, true));
    EXPECT_EQ(editor->Release(*canvas, true), EditOutcome::HullDrawn);
    EXPECT_EQ(Points(lettering, 0), (std::vector<TPoint>{{30, 40}}));
    EXPECT_EQ(Points(lettering, 1), (std::vector<TPoint>{{50, 60}}));
}

}  // namespace
}  // namespace gw
