// Mouse editing of the boundary lines in the window: what it renders and repaints after a drag,
// and drawing a hull. The editor's own rules are tested in tests/editing.

#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "FormAccess.h"
#include "app/MainFUnit.h"
#include "editing/EnvelopeEditor.h"
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
    void pivotMoveRepaintsButNeverRenders();
    void dragRendersOnceAtTheRelease();
    void twoStrokesMakeTheNewHull();
};

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

QTEST_MAIN(EnvelopeEditingTest)
#include "EnvelopeEditingTest.moc"
