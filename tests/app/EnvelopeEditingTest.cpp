// Mouse editing of the boundary lines: hover kinds, the drags of move mode, point mode, drawing
// a hull, and what the window renders afterwards.

#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "FormAccess.h"
#include "app/MainFUnit.h"
#include "document/EnvelopePresets.h"
#include "document/PictureSize.h"
#include "ui/EnvelopeEditor.h"
#include "ui/PaintBox.h"

using namespace gw;

namespace {

std::vector<TPoint> Points(const Lettering& l, int k) {
    return l.EnvelopeLines[std::size_t(k)].Points();
}

}  // namespace

class EnvelopeEditingTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    // The editor alone.
    void hoverKindsFollowTheTableOrder();
    void theCornerWinsOverThePivot();
    void pointModePicksTheLastPointHitAndKeepsIt();
    void moveAllStepsFromThePressSnapshot();
    void cornerScalingShrinksAboutTheOppositeCornerAndNeverMirrors();
    void coincidentCornersLeaveTheLinesAsTheyWere();
    void quarterTurnClockwiseTurnsTheLinesClockwise();
    void rubberBandIsGoneAfterTheRelease();
    void releaseOffTheTabStillEndsThePress();
    void pivotAndHandleFollowOrStayInsideAfterAResize();
    // The window.
    void pivotMoveRepaintsButNeverRenders();
    void dragRendersOnceAtTheRelease();
    void twoStrokesMakeTheNewHull();
    void onePointStrokeFromPressAndRelease();

  private:
    Lettering lettering;
    Bitmap view{200, 100};
    std::unique_ptr<Canvas> canvas;
    std::unique_ptr<TEnvelopeEditor> editor;

    void Drag(TPoint from, TPoint to) {
        editor->Hover(from.x, from.y, true);
        QVERIFY(editor->Press(*canvas, from.x, from.y, true));
        editor->Drag(*canvas, to.x, to.y);
    }
};

void EnvelopeEditingTest::init() {
    InitStartState(lettering);
    lettering.width = 200;
    lettering.height = 100;
    ResetBoundaryLines(lettering);  // (10, 5)-(190, 5) above, (10, 95)-(190, 95) below
    view = Bitmap(200, 100);
    canvas = std::make_unique<Canvas>(view);
    editor = std::make_unique<TEnvelopeEditor>(lettering);
    QCOMPARE(editor->Pivot, (TPoint{100, 50}));
    QCOMPARE(editor->RotationHandle, (TPoint{100, 25}));
}

void EnvelopeEditingTest::hoverKindsFollowTheTableOrder() {
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
        QCOMPARE(editor->Hover(row.at.x, row.at.y, true), row.cursor);
        QCOMPARE(editor->DragKind, row.kind);
    }
    // Off the envelope tab the kind stays and the cursor is the arrow.
    editor->Hover(100, 50, true);
    QCOMPARE(editor->Hover(60, 60, false), EditCursor::Arrow);
    QCOMPARE(editor->DragKind, std::int32_t(dkPivot));
    lettering.settings.editMode = EditMode::DrawFace;
    QCOMPARE(editor->Hover(60, 60, true), EditCursor::Brush);
    QCOMPARE(editor->DragKind, std::int32_t(dkDraw));
}

void EnvelopeEditingTest::theCornerWinsOverThePivot() {
    editor->Pivot = {14, 8};
    QCOMPARE(editor->Hover(12, 6, true), EditCursor::SizeNWSE);
    QCOMPARE(editor->DragKind, std::int32_t(dkUpperFirst));
}

void EnvelopeEditingTest::pointModePicksTheLastPointHitAndKeepsIt() {
    lettering.settings.editMode = EditMode::EdPointsCheck;
    lettering.EnvelopeLines[1].SetPoint(1, 14, 9);  // near the upper line's first point
    QCOMPARE(editor->Hover(12, 7, true), EditCursor::HandPoint);
    QCOMPARE(editor->PickedLine, 1);
    QCOMPARE(editor->PickedPoint, 1);
    QCOMPARE(editor->Hover(60, 60, true), EditCursor::Arrow);
    // A press anywhere drags the point last passed over.
    Drag({60, 60}, {70, 55});
    QCOMPARE(lettering.EnvelopeLines[1].GetPoint(1), (TPoint{24, 4}));
    QCOMPARE(Points(lettering, 0), (std::vector<TPoint>{{10, 5}, {190, 5}}));
}

void EnvelopeEditingTest::moveAllStepsFromThePressSnapshot() {
    Drag({60, 60}, {70, 40});
    editor->Drag(*canvas, 63, 61);
    QCOMPARE(Points(lettering, 0), (std::vector<TPoint>{{13, 6}, {193, 6}}));
    QCOMPARE(Points(lettering, 1), (std::vector<TPoint>{{13, 96}, {193, 96}}));
    QCOMPARE(editor->Pivot, (TPoint{103, 51}));
    QCOMPARE(editor->RotationHandle, (TPoint{103, 26}));
}

void EnvelopeEditingTest::cornerScalingShrinksAboutTheOppositeCornerAndNeverMirrors() {
    // The lower line's last point towards the upper line's first point: half the distance.
    Drag({190, 95}, {100, 50});
    QCOMPARE(Points(lettering, 0), (std::vector<TPoint>{{10, 5}, {100, 5}}));
    QCOMPARE(Points(lettering, 1), (std::vector<TPoint>{{10, 50}, {100, 50}}));
    QCOMPARE(editor->Pivot, (TPoint{55, 28}));  // (55, 27.5) rounded half to even
    // Just as far beyond the opposite corner: the factor is a ratio of distances.
    editor->Drag(*canvas, -80, -40);
    QCOMPARE(Points(lettering, 1), (std::vector<TPoint>{{10, 50}, {100, 50}}));
}

void EnvelopeEditingTest::coincidentCornersLeaveTheLinesAsTheyWere() {
    lettering.EnvelopeLines[1].SetPoint(1, 10, 5);  // the lower last point on the upper first
    lettering.EnvelopeLines[0].SetPoint(1, 190, 20);
    editor->Hover(10, 5, true);
    QCOMPARE(editor->DragKind, std::int32_t(dkUpperFirst));
    QVERIFY(editor->Press(*canvas, 10, 5, true));
    editor->Drag(*canvas, 60, 40);
    QCOMPARE(Points(lettering, 0), (std::vector<TPoint>{{10, 5}, {190, 20}}));
    QCOMPARE(Points(lettering, 1), (std::vector<TPoint>{{10, 95}, {10, 5}}));
    QCOMPARE(editor->Release(*canvas, true), EditOutcome::Render);
}

void EnvelopeEditingTest::quarterTurnClockwiseTurnsTheLinesClockwise() {
    // The handle from above the pivot to its right: a quarter turn clockwise on screen.
    Drag({100, 25}, {125, 50});
    QCOMPARE(editor->RotationHandle, (TPoint{125, 50}));
    QCOMPARE(editor->Pivot, (TPoint{100, 50}));
    QCOMPARE(Points(lettering, 0), (std::vector<TPoint>{{145, -40}, {145, 140}}));
    QCOMPARE(Points(lettering, 1), (std::vector<TPoint>{{55, -40}, {55, 140}}));
    // An eighth of a turn from the snapshot, not from the step before: 10 * cos 45 = 7.07.
    editor->WorkLines[0].SetPoint(0, 110, 50);
    editor->Drag(*canvas, 125, 25);
    QCOMPARE(lettering.EnvelopeLines[0].GetPoint(0), (TPoint{107, 57}));
}

void EnvelopeEditingTest::rubberBandIsGoneAfterTheRelease() {
    view.Fill(0x336699);
    const Bitmap before = view;
    Drag({60, 60}, {80, 70});
    editor->Drag(*canvas, 90, 65);
    // The band is red XORed into the picture.
    int changed = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (view.Pixel(x, y) == before.Pixel(x, y)) continue;
            QCOMPARE(view.Pixel(x, y), TColor(0x336699 ^ clRed));
            ++changed;
        }
    }
    QVERIFY(changed > 100);
    QCOMPARE(editor->Release(*canvas, true), EditOutcome::Render);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            QCOMPARE(view.Pixel(x, y), before.Pixel(x, y));
    QCOMPARE(editor->WorkLines[0].PointCount(), 0);
    TLine rebuilt = lettering.EnvelopeLines[0];
    rebuilt.BuildOutline();
    QCOMPARE(lettering.EnvelopeLines[0].Outline(), rebuilt.Outline());
    QCOMPARE(lettering.EnvelopeLines[0].GetOutlinePoint(0), (TPoint{40, 10}));
}

void EnvelopeEditingTest::releaseOffTheTabStillEndsThePress() {
    Drag({60, 60}, {70, 60});
    QCOMPARE(editor->Release(*canvas, false), EditOutcome::Render);
    QVERIFY(!editor->ButtonHeld);
    QVERIFY(editor->Press(*canvas, 60, 60, true));  // the next press is taken
}

// The pivot and the rotation handle stay where the mouse can take them after a size change.
void EnvelopeEditingTest::pivotAndHandleFollowOrStayInsideAfterAResize() {
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
        QCOMPARE(moved.Pivot, c.pivot);
        QCOMPARE(moved.RotationHandle, c.handle);
    }
}

void EnvelopeEditingTest::pivotMoveRepaintsButNeverRenders() {
    TMainForm form;
    Paint(form, "PaintBox1");
    Find<QTabWidget>(form, "PageControl1")->setCurrentWidget(Find<QWidget>(form, "TabSheet4"));
    const auto upper = Points(form.lettering(), 0);
    const int renders = form.renderCount();
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseMove, 225, 100);
    QCOMPARE(Find<TPaintBox>(form, "PaintBox1")->cursor().shape(), Qt::PointingHandCursor);
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseButtonPress, 225, 100);
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseMove, 300, 120);
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseButtonRelease, 300, 120);
    QCOMPARE(form.renderCount(), renders);
    QCOMPARE(form.envelopeEditor().Pivot, (TPoint{300, 120}));
    QCOMPARE(Points(form.lettering(), 0), upper);
    // The next turn is about the new pivot: a half turn maps (22, 10) to (578, 230).
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseMove, 225, 50);
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseButtonPress, 225, 50);
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseMove, 375, 190);
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseButtonRelease, 375, 190);
    QCOMPARE(form.renderCount(), renders + 1);
    QCOMPARE(form.lettering().EnvelopeLines[0].GetPoint(0), (TPoint{578, 230}));
}

void EnvelopeEditingTest::dragRendersOnceAtTheRelease() {
    TMainForm form;
    Paint(form, "PaintBox1");
    Find<QTabWidget>(form, "PageControl1")->setCurrentWidget(Find<QWidget>(form, "TabSheet4"));
    const int renders = form.renderCount();
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseMove, 200, 150);
    QCOMPARE(Find<TPaintBox>(form, "PaintBox1")->cursor().shape(), Qt::SizeAllCursor);
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseButtonPress, 200, 150);
    for (int x = 201; x < 230; ++x)
        Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseMove, x, 150);
    QCOMPARE(form.renderCount(), renders);
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseButtonRelease, 229, 150);
    QCOMPARE(form.renderCount(), renders + 1);
    QCOMPARE(form.lettering().EnvelopeLines[0].GetPoint(0), (TPoint{51, 10}));
    // Off the envelope tab the mouse does nothing.
    Find<QTabWidget>(form, "PageControl1")->setCurrentWidget(Find<QWidget>(form, "TabSheet2"));
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseMove, 51, 10);
    QCOMPARE(Find<TPaintBox>(form, "PaintBox1")->cursor().shape(), Qt::ArrowCursor);
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseButtonPress, 51, 10);
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseMove, 80, 40);
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseButtonRelease, 80, 40);
    QCOMPARE(form.renderCount(), renders + 1);
    QCOMPARE(form.lettering().EnvelopeLines[0].GetPoint(0), (TPoint{51, 10}));
}

void EnvelopeEditingTest::twoStrokesMakeTheNewHull() {
    TMainForm form;
    Paint(form, "PaintBox1");
    Find<QTabWidget>(form, "PageControl1")->setCurrentWidget(Find<QWidget>(form, "TabSheet4"));
    Find<QRadioButton>(form, "DrawFace")->click();
    const int renders = form.renderCount();
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseMove, 20, 40);
    QCOMPARE(Find<TPaintBox>(form, "PaintBox1")->cursor().shape(), Qt::BitmapCursor);
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseButtonPress, 20, 40);
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseMove, 200, 30);
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseButtonRelease, 400, 30);
    QCOMPARE(form.renderCount(), renders);
    QVERIFY(Find<QRadioButton>(form, "DrawFace")->isChecked());
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseButtonPress, 400,
          170);  // the second stroke, drawn right to left
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseMove, 20, 160);
    Mouse(Find<TPaintBox>(form, "PaintBox1"), QEvent::MouseButtonRelease, 20, 160);
    QCOMPARE(form.renderCount(), renders + 1);
    QVERIFY(Find<QRadioButton>(form, "MoveCheck")->isChecked());
    QCOMPARE(Points(form.lettering(), 0), (std::vector<TPoint>{{20, 40}, {200, 30}}));
    QCOMPARE(Points(form.lettering(), 1), (std::vector<TPoint>{{400, 170}, {20, 160}}));
    QCOMPARE(form.envelopeEditor().WorkLines[0].PointCount(), 0);
    QCOMPARE(form.envelopeEditor().StrokeCount, 0);
}

void EnvelopeEditingTest::onePointStrokeFromPressAndRelease() {
    lettering.settings.editMode = EditMode::DrawFace;
    editor->StartDrawing();
    QVERIFY(editor->Press(*canvas, 30, 40, true));
    QCOMPARE(editor->Release(*canvas, true), EditOutcome::Nothing);
    QCOMPARE(editor->StrokeCount, 1);
    QCOMPARE(editor->WorkLines[0].Points(), (std::vector<TPoint>{{30, 40}}));
    QVERIFY(editor->Press(*canvas, 50, 60, true));
    QCOMPARE(editor->Release(*canvas, true), EditOutcome::HullDrawn);
    QCOMPARE(Points(lettering, 0), (std::vector<TPoint>{{30, 40}}));
    QCOMPARE(Points(lettering, 1), (std::vector<TPoint>{{50, 60}}));
}

QTEST_MAIN(EnvelopeEditingTest)
#include "EnvelopeEditingTest.moc"
