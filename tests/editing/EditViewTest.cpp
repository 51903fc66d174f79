// The picture of the editing view: the lettering, and on the envelope tab the boundary lines
// with their markers drawn by inverting; the drawing sheet of draw mode.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "document/EnvelopePresets.h"
#include "document/Lettering.h"
#include "editing/EditView.h"
#include "platform/Canvas.h"
#include "raster/Bildkern.h"
#include "raster/DibService.h"

using namespace gw;

namespace {

class EditViewTest : public ::testing::Test {
  protected:
    void SetUp() override;

    Lettering lettering;
    DibImage picture;
    std::unique_ptr<TEnvelopeEditor> editor;

    // A picture of one colour at the lettering's size.
    void FillPicture(TColor colour) {
        newdib(picture, lettering.width, lettering.height, 24, nullptr, 0);
        for (int y = 0; y < lettering.height; ++y) {
            std::uint8_t* row = picture.Row(y);
            for (int x = 0; x < lettering.width; ++x) {
                row[3 * x] = GetBValue(colour);
                row[3 * x + 1] = GetGValue(colour);
                row[3 * x + 2] = GetRValue(colour);
            }
        }
    }
};

void EditViewTest::SetUp() {
    InitStartState(lettering);
    lettering.width = 200;
    lettering.height = 100;
    ResetBoundaryLines(lettering);  // (10, 5)-(190, 5) and (10, 95)-(190, 95)
    editor = std::make_unique<TEnvelopeEditor>(lettering);  // pivot (100, 50), handle (100, 25)
    FillPicture(0x336699);
}

TEST_F(EditViewTest, ShowsThePictureAloneOffTheEnvelopeTab) {
    Bitmap view(200, 100);
    Canvas canvas(view);
    PaintEditView(canvas, lettering, *editor, picture, false);
    for (int y = 0; y < 100; y += 7)
        for (int x = 0; x < 200; x += 7)
            EXPECT_EQ(view.Pixel(x, y), TColor(0x336699));
}

TEST_F(EditViewTest, SquareMarkersInvertInsideAWhiteFrame) {
    FillPicture(0x000000);
    Bitmap view(200, 100);
    Canvas canvas(view);
    PaintEditView(canvas, lettering, *editor, picture, true);
    // The marker of the upper line's first point (10, 5): the square (7, 2)-(13, 8), right and
    // bottom excluded, framed white, its inside inverted from black to white.
    for (int i = 7; i < 13; ++i) {
        EXPECT_EQ(view.Pixel(i, 2), clWhite);
        EXPECT_EQ(view.Pixel(i, 7), clWhite);
        EXPECT_EQ(view.Pixel(7, i - 5), clWhite);
        EXPECT_EQ(view.Pixel(12, i - 5), clWhite);
    }
    EXPECT_EQ(view.Pixel(10, 5), clWhite);
    EXPECT_EQ(view.Pixel(13, 5), clBlack);  // just outside, off the dotted line's row
    EXPECT_EQ(view.Pixel(10, 9), clBlack);
}

TEST_F(EditViewTest, RoundMarkerInvertsItsInside) {
    Bitmap view(20, 20, PixelFormat::Rgb24, 0x204060);
    Canvas canvas(view);
    DrawRoundMarker(canvas, {10, 10});
    EXPECT_EQ(view.Pixel(10, 10), TColor(0xDFBF9F));  // inverted
    EXPECT_EQ(view.Pixel(6, 10), clWhite);            // the ring
    EXPECT_EQ(view.Pixel(1, 1), TColor(0x204060));    // untouched
    EXPECT_EQ(canvas.pen.mode, PenMode::Copy);
    EXPECT_EQ(canvas.brush.style, BrushStyle::Solid);
}

TEST_F(EditViewTest, EnvelopeTabShowsDottedLinesAndConnectors) {
    FillPicture(clWhite);
    Bitmap view(200, 100);
    Canvas canvas(view);
    PaintEditView(canvas, lettering, *editor, picture, true);
    // The upper line between its markers is dotted: black and white pixels alternate.
    int black = 0;
    int white = 0;
    for (int x = 20; x < 180; ++x)
        (view.Pixel(x, 5) == clBlack ? black : white)++;
    EXPECT_GT(black, 60);
    EXPECT_GT(white, 60);
    // The left connector runs down x = 10, the pivot arm up x = 100.
    int connector = 0;
    int arm = 0;
    for (int y = 15; y < 85; ++y)
        connector += view.Pixel(10, y) == clBlack;
    for (int y = 30; y < 45; ++y)
        arm += view.Pixel(100, y) == clBlack;
    EXPECT_GT(connector, 25);
    EXPECT_GT(arm, 4);
    // Nothing but the lines: the middle of the picture stays white.
    EXPECT_EQ(view.Pixel(60, 50), clWhite);
}

TEST_F(EditViewTest, PointModeMarksEveryPoint) {
    FillPicture(0x000000);
    lettering.EnvelopeLines[0].Clear();
    lettering.EnvelopeLines[0].AddPoint(10, 5);
    lettering.EnvelopeLines[0].AddPoint(100, 30);
    lettering.EnvelopeLines[0].AddPoint(190, 5);
    lettering.settings.editMode = EditMode::EdPointsCheck;
    Bitmap view(200, 100);
    Canvas canvas(view);
    PaintEditView(canvas, lettering, *editor, picture, true);
    EXPECT_EQ(view.Pixel(100, 30), clWhite);  // the middle point has a marker
    EXPECT_EQ(view.Pixel(100, 50), clBlack);  // the pivot has none in this mode
}

TEST_F(EditViewTest, DrawModeShowsTheWhiteSheetAndTheStrokes) {
    FillPicture(0x000000);
    lettering.settings.editMode = EditMode::DrawFace;
    editor->WorkLines[0].AddPoint(20, 60);
    editor->WorkLines[0].AddPoint(180, 60);
    Bitmap view(200, 100);
    Canvas canvas(view);
    PaintEditView(canvas, lettering, *editor, picture, true);
    EXPECT_EQ(view.Pixel(100, 60), clBlack);  // the stroke, solid
    EXPECT_EQ(view.Pixel(101, 60), clBlack);
    EXPECT_EQ(view.Pixel(100, 80), clWhite);  // the sheet
    // The prompt is written at the top.
    int ink = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 200; ++x)
            ink += view.Pixel(x, y) == clBlack;
    EXPECT_GT(ink, 50);
}

TEST_F(EditViewTest, APaintedPartMatchesTheWholeView) {
    // A paint draws only the part it reaches: picture, lines, markers, sheet and rubber band
    // must come out there exactly as in the whole view, across every edge of the part.
    for (int y = 0; y < lettering.height; ++y)
        for (int x = 0; x < lettering.width; ++x) {
            std::uint8_t* p = picture.Row(y) + 3 * x;
            p[0] = std::uint8_t(x * 7 + y);
            p[1] = std::uint8_t(x ^ y);
            p[2] = std::uint8_t(y * 3);
        }
    lettering.EnvelopeLines[0].Clear();
    lettering.EnvelopeLines[0].AddPoint(10, 5);
    lettering.EnvelopeLines[0].AddPoint(97, 41);
    lettering.EnvelopeLines[0].AddPoint(190, 5);
    editor->WorkLines[0].AddPoint(3, 90);
    editor->WorkLines[0].AddPoint(150, 20);
    const EditViewLines dragged = EditViewLines::Of(lettering, *editor).Shifted({13, -4});
    struct Case {
        EditMode mode;
        bool tab;
        bool band;
    };
    const Case cases[] = {{EditMode::MoveCheck, true, false},
                          {EditMode::MoveCheck, false, false},
                          {EditMode::EdPointsCheck, true, false},
                          {EditMode::DrawFace, true, false},
                          {EditMode::MoveCheck, true, true}};
    struct Part {
        int x, y, w, h;
    };
    const Part parts[] = {{0, 0, 200, 100}, {7, 3, 31, 17}, {95, 38, 9, 9}, {150, 60, 50, 40}};
    for (const Case& c : cases) {
        lettering.settings.editMode = c.mode;
        Bitmap whole(200, 100);
        Canvas wholeCanvas(whole);
        PaintEditView(wholeCanvas, lettering, *editor, picture, c.tab);
        if (c.band) DrawRubberBand(wholeCanvas, dragged, false, {0, 0});
        for (const Part& r : parts) {
            Bitmap part(r.w, r.h);
            CopyPicturePart(picture, r.x, r.y, part);
            Canvas canvas(part);
            PaintEditOverlay(canvas, EditViewLines::Of(lettering, *editor), c.tab, {r.x, r.y}, 200,
                             100);
            if (c.band) DrawRubberBand(canvas, dragged, false, {r.x, r.y});
            for (int y = 0; y < r.h; ++y)
                for (int x = 0; x < r.w; ++x)
                    ASSERT_EQ(part.Pixel(x, y), whole.Pixel(r.x + x, r.y + y))
                        << "mode " << int(c.mode) << " at (" << r.x + x << ", " << r.y + y << ")";
        }
    }
}

}  // namespace
