// The picture of the editing view: the lettering, and on the envelope tab the boundary lines
// with their markers drawn by inverting; the drawing sheet of draw mode.

#include <QTest>
#include <cstring>

#include "document/Lettering.h"
#include "platform/Canvas.h"
#include "raster/Bildkern.h"
#include "raster/DibService.h"
#include "ui/EditView.h"
#include "ui/PaintBox.h"

using namespace gw;

class EditViewTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void showsThePictureAloneOffTheEnvelopeTab();
    void squareMarkersInvertInsideAWhiteFrame();
    void roundMarkerInvertsItsInside();
    void envelopeTabShowsDottedLinesAndConnectors();
    void pointModeMarksEveryPoint();
    void drawModeShowsTheWhiteSheetAndTheStrokes();
    void aPaintedPartMatchesTheWholeView();

  private:
    Lettering lettering;
    DibImage picture;

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

void EditViewTest::init() {
    InitStartState(lettering);
    lettering.width = 200;
    lettering.height = 100;
    ResetBoundaryLines(lettering);  // (10, 5)-(190, 5) and (10, 95)-(190, 95)
    lettering.pivot = {100, 50};
    lettering.rotationHandle = {100, 25};
    FillPicture(0x336699);
}

void EditViewTest::showsThePictureAloneOffTheEnvelopeTab() {
    Bitmap view(200, 100);
    Canvas canvas(view);
    PaintEditView(canvas, lettering, picture, false);
    for (int y = 0; y < 100; y += 7)
        for (int x = 0; x < 200; x += 7)
            QCOMPARE(view.Pixel(x, y), TColor(0x336699));
}

void EditViewTest::squareMarkersInvertInsideAWhiteFrame() {
    FillPicture(0x000000);
    Bitmap view(200, 100);
    Canvas canvas(view);
    PaintEditView(canvas, lettering, picture, true);
    // The marker of the upper line's first point (10, 5): the square (7, 2)-(13, 8), right and
    // bottom excluded, framed white, its inside inverted from black to white.
    for (int i = 7; i < 13; ++i) {
        QCOMPARE(view.Pixel(i, 2), clWhite);
        QCOMPARE(view.Pixel(i, 7), clWhite);
        QCOMPARE(view.Pixel(7, i - 5), clWhite);
        QCOMPARE(view.Pixel(12, i - 5), clWhite);
    }
    QCOMPARE(view.Pixel(10, 5), clWhite);
    QCOMPARE(view.Pixel(13, 5), clBlack);  // just outside, off the dotted line's row
    QCOMPARE(view.Pixel(10, 9), clBlack);
}

void EditViewTest::roundMarkerInvertsItsInside() {
    Bitmap view(20, 20, PixelFormat::Rgb24, 0x204060);
    Canvas canvas(view);
    DrawRoundMarker(canvas, {10, 10});
    QCOMPARE(view.Pixel(10, 10), TColor(0xDFBF9F));  // inverted
    QCOMPARE(view.Pixel(6, 10), clWhite);            // the ring
    QCOMPARE(view.Pixel(1, 1), TColor(0x204060));    // untouched
    QCOMPARE(canvas.pen.mode, PenMode::Copy);
    QCOMPARE(canvas.brush.style, BrushStyle::Solid);
}

void EditViewTest::envelopeTabShowsDottedLinesAndConnectors() {
    FillPicture(clWhite);
    Bitmap view(200, 100);
    Canvas canvas(view);
    PaintEditView(canvas, lettering, picture, true);
    // The upper line between its markers is dotted: black and white pixels alternate.
    int black = 0;
    int white = 0;
    for (int x = 20; x < 180; ++x)
        (view.Pixel(x, 5) == clBlack ? black : white)++;
    QVERIFY(black > 60);
    QVERIFY(white > 60);
    // The left connector runs down x = 10, the pivot arm up x = 100.
    int connector = 0;
    int arm = 0;
    for (int y = 15; y < 85; ++y)
        connector += view.Pixel(10, y) == clBlack;
    for (int y = 30; y < 45; ++y)
        arm += view.Pixel(100, y) == clBlack;
    QVERIFY(connector > 25);
    QVERIFY(arm > 4);
    // Nothing but the lines: the middle of the picture stays white.
    QCOMPARE(view.Pixel(60, 50), clWhite);
}

void EditViewTest::pointModeMarksEveryPoint() {
    FillPicture(0x000000);
    lettering.EnvelopeLines[0].Clear();
    lettering.EnvelopeLines[0].AddPoint(10, 5);
    lettering.EnvelopeLines[0].AddPoint(100, 30);
    lettering.EnvelopeLines[0].AddPoint(190, 5);
    lettering.settings.editMode = EditMode::EdPointsCheck;
    Bitmap view(200, 100);
    Canvas canvas(view);
    PaintEditView(canvas, lettering, picture, true);
    QCOMPARE(view.Pixel(100, 30), clWhite);  // the middle point has a marker
    QCOMPARE(view.Pixel(100, 50), clBlack);  // the pivot has none in this mode
}

void EditViewTest::drawModeShowsTheWhiteSheetAndTheStrokes() {
    FillPicture(0x000000);
    lettering.settings.editMode = EditMode::DrawFace;
    lettering.EnvelopeLines[2].AddPoint(20, 60);
    lettering.EnvelopeLines[2].AddPoint(180, 60);
    Bitmap view(200, 100);
    Canvas canvas(view);
    PaintEditView(canvas, lettering, picture, true);
    QCOMPARE(view.Pixel(100, 60), clBlack);  // the stroke, solid
    QCOMPARE(view.Pixel(101, 60), clBlack);
    QCOMPARE(view.Pixel(100, 80), clWhite);  // the sheet
    // The prompt is written at the top.
    int ink = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 200; ++x)
            ink += view.Pixel(x, y) == clBlack;
    QVERIFY(ink > 50);
}

void EditViewTest::aPaintedPartMatchesTheWholeView() {
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
    lettering.EnvelopeLines[2].AddPoint(3, 90);
    lettering.EnvelopeLines[2].AddPoint(150, 20);
    EditViewLines dragged = EditViewLines::Of(lettering).Shifted({13, -4});
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
    const QRect parts[] = {{0, 0, 200, 100}, {7, 3, 31, 17}, {95, 38, 9, 9}, {150, 60, 50, 40}};
    for (const Case& c : cases) {
        lettering.settings.editMode = c.mode;
        Bitmap whole(200, 100);
        Canvas wholeCanvas(whole);
        PaintEditView(wholeCanvas, lettering, picture, c.tab);
        if (c.band) DrawRubberBand(wholeCanvas, dragged, false, {0, 0});
        for (const QRect& r : parts) {
            Bitmap part(r.width(), r.height());
            CopyPicturePart(picture, r.x(), r.y(), part);
            Canvas canvas(part);
            PaintEditOverlay(canvas, EditViewLines::Of(lettering), c.tab, {r.x(), r.y()}, 200, 100);
            if (c.band) DrawRubberBand(canvas, dragged, false, {r.x(), r.y()});
            for (int y = 0; y < r.height(); ++y)
                for (int x = 0; x < r.width(); ++x)
                    if (part.Pixel(x, y) != whole.Pixel(r.x() + x, r.y() + y))
                        QFAIL(qPrintable(QStringLiteral("mode %1 at (%2, %3)")
                                             .arg(int(c.mode))
                                             .arg(r.x() + x)
                                             .arg(r.y() + y)));
        }
    }
}

QTEST_MAIN(EditViewTest)
#include "EditViewTest.moc"
