// Zoom and panning of the picture views: the commands and their keys, editing the boundary lines
// at a zoom, dragging the picture, and how a zoomed picture is drawn.

#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <functional>

#include "FormAccess.h"
#include "document/LetteringFile.h"
#include "editing/ViewZoom.h"
#include "raster/DibService.h"
#include "ui/QtBridge.h"
#include "ui/ViewNavigator.h"

using namespace gw;

namespace {

TViewNavigator* EditZoom(const QObject& form) {
    return Find<TViewNavigator>(form, "PaintBox1Zoom");
}

void ShowActive(TMainForm& form) {
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &form);
    Paint(form, "PaintBox1");
}

void SendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPoint at) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

QPoint Scroll(const QScrollArea* area) {
    return {area->horizontalScrollBar()->value(), area->verticalScrollBar()->value()};
}

QString SaveSized(const QTemporaryDir& folder, int w, int h) {
    Lettering lettering;
    InitStartState(lettering);
    lettering.width = w;
    lettering.height = h;
    const QString file = folder.filePath(QStringLiteral("%1x%2.zgw").arg(w).arg(h));
    if (!SaveLetteringFile(lettering, file.toStdString()).ok) qFatal("cannot save");
    return file;
}

}  // namespace

class ZoomTest : public QObject {
    Q_OBJECT

  private slots:
    void commandsKeysAndLimits();
    void editingMapsToPicturePixels_data();
    void editingMapsToPicturePixels();
    void draggingThePictureScrolls();
    void reducedIsSmoothEnlargedIsBlocks_data();
    void reducedIsSmoothEnlargedIsBlocks();
    void reducedViewsShowEveryRender();
};

void ZoomTest::commandsKeysAndLimits() {
    TMainForm form;
    ShowActive(form);
    QTemporaryDir folder;
    TViewNavigator* zoom = EditZoom(form);
    auto* box = Find<TPaintBox>(form, "PaintBox1");
    auto* area = Find<QScrollArea>(form, "ScrollBox1");
    const auto key = [&form](Qt::Key k, Qt::KeyboardModifiers m = Qt::ControlModifier) {
        return [&form, k, m] { QTest::keyClick(&form, k, m); };
    };
    const auto repeat = [](int n, std::function<void()> f) {
        return [n, f] {
            for (int i = 0; i < n; ++i)
                f();
        };
    };
    const auto click = [&form](const char* button) {
        return [&form, button] { Find<QToolButton>(form, button)->click(); };
    };
    const auto open = [&form, &folder](int w, int h) {
        return [&form, &folder, w, h] { form.OpenFile(SaveSized(folder, w, h)); };
    };
    struct Step {
        const char* what;
        std::function<void()> act;
        double scale;  // 0: the fitted scale of the picture
        bool fitting;
    };
    const Step steps[] = {
        {"Ctrl+Plus", key(Qt::Key_Plus), 1.5, false},
        {"Ctrl+=", key(Qt::Key_Equal), 2, false},
        {"keypad plus", key(Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier), 3, false},
        {"Ctrl+Minus", key(Qt::Key_Minus), 2, false},
        {"Ctrl+0", key(Qt::Key_0), 1, false},
        {"button out", click("ZoomOutBtn"), 2.0 / 3, false},
        {"button in", click("ZoomInBtn"), 1, false},
        {"top of the ladder", repeat(20, key(Qt::Key_Plus)), kMaxZoom, false},
        {"bottom of the ladder", repeat(30, key(Qt::Key_Minus)), kMinZoom, false},
        {"button 100 %", click("Zoom100Btn"), 1, false},
        {"Ganzes Bild never enlarges", click("ZoomFitBtn"), 1, true},
        {"a bigger picture is fitted again", open(3000, 1200), 0, true},
        {"from the fit a step in", key(Qt::Key_Plus), 0.25, false},
        {"another size keeps the zoom", open(450, 200), 0.25, false},
    };
    for (const Step& step : steps) {
        step.act();
        const QSize picture = zoom->pictureSize();
        const QSize view = area->maximumViewportSize();
        const double expected =
            step.scale ? step.scale
                       : FitZoom(picture.width(), picture.height(), view.width(), view.height());
        QVERIFY2(qFuzzyCompare(zoom->scale(), expected), step.what);
        QVERIFY2(zoom->fitting() == step.fitting, step.what);
        QVERIFY2(box->size() == QSize(ZoomedLength(picture.width(), expected),
                                      ZoomedLength(picture.height(), expected)),
                 step.what);
        if (step.fitting) QVERIFY2(box->width() <= view.width(), step.what);
    }
    QCOMPARE(Find<QLabel>(form, "ZoomLabel")->text(), QStringLiteral("Zoom: 25 %"));

    // The keys zoom with the focus in the text box, and act on the page in front.
    Find<QPlainTextEdit>(form, "Memo1")->setFocus();
    QTest::keyClick(&form, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(zoom->scale(), 1.0 / 6);
    Find<QTabWidget>(form, "PageControl3")->setCurrentWidget(Find<QWidget>(form, "TabSheet15"));
    QTest::keyClick(&form, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(Find<TViewNavigator>(form, "ErgPaintBoxZoom")->scale(), 1.5);
    QCOMPARE(zoom->scale(), 1.0 / 6);
    QCOMPARE(Find<QLabel>(form, "ZoomLabel")->text(), QStringLiteral("Zoom: 150 %"));
    Find<QTabWidget>(form, "PageControl3")->setCurrentWidget(Find<QWidget>(form, "TabSheet1"));

    // Ctrl and the wheel keep the picture pixel under the mouse where it is, once the picture
    // is larger than the view; in a row of steps, the pixel the row began at.
    zoom->FitWhole();
    QWidget* viewport = area->viewport();
    const QPoint at = box->mapTo(viewport, QPoint(ToScreen(60, zoom->scale()), 50));
    const QPoint under = zoom->ToPicture(box->mapFrom(viewport, at));
    for (const int notch : {120, 120, 120, 120, -120}) {
        QWheelEvent wheel(QPointF(at), viewport->mapToGlobal(QPointF(at)), QPoint(),
                          QPoint(0, notch), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase,
                          false);
        QCoreApplication::sendEvent(viewport, &wheel);
    }
    QCOMPARE(zoom->scale(), 3.0);
    QVERIFY((zoom->ToPicture(box->mapFrom(viewport, at)) - under).manhattanLength() <= 1);
}

void ZoomTest::editingMapsToPicturePixels_data() {
    QTest::addColumn<double>("scale");
    // The upper line's first point after the drag: (22, 10) dragged by (40, 20) screen pixels
    // is 20 x 10 picture pixels at 200 %, 80 x 40 at 50 %.
    QTest::addColumn<int>("movedX");
    QTest::addColumn<int>("movedY");
    QTest::newRow("200 %") << 2.0 << 42 << 20;
    QTest::newRow("50 %") << 0.5 << 102 << 50;
    QTest::newRow("100 %") << 1.0 << 62 << 30;
}

void ZoomTest::editingMapsToPicturePixels() {
    QFETCH(double, scale);
    QFETCH(int, movedX);
    QFETCH(int, movedY);
    TMainForm form;
    Paint(form, "PaintBox1");
    Find<QTabWidget>(form, "PageControl1")->setCurrentWidget(Find<QWidget>(form, "TabSheet4"));
    Find<QRadioButton>(form, "EdPointsCheck")->click();
    EditZoom(form)->ZoomAt(scale, QPoint());
    auto* box = Find<TPaintBox>(form, "PaintBox1");
    const int x = ToScreen(22, scale);
    const int y = ToScreen(10, scale);
    // The point is taken within 5 screen pixels on both axes, whatever the zoom.
    struct Hover {
        int dx, dy;
        Qt::CursorShape cursor;
    };
    for (const Hover& h :
         {Hover{8, 0, Qt::ArrowCursor}, Hover{0, -8, Qt::ArrowCursor},
          Hover{4, 4, Qt::PointingHandCursor}, Hover{-4, 0, Qt::PointingHandCursor}}) {
        Mouse(box, QEvent::MouseMove, x + h.dx, y + h.dy);
        QCOMPARE(box->cursor().shape(), h.cursor);
    }
    Mouse(box, QEvent::MouseMove, x, y);
    Mouse(box, QEvent::MouseButtonPress, x, y);
    Mouse(box, QEvent::MouseMove, x + 40, y + 20);
    Mouse(box, QEvent::MouseButtonRelease, x + 40, y + 20);
    QCOMPARE(form.lettering().EnvelopeLines[0].GetPoint(0), (TPoint{movedX, movedY}));
}

void ZoomTest::draggingThePictureScrolls() {
    TMainForm form;
    ShowActive(form);
    Find<QTabWidget>(form, "PageControl1")->setCurrentWidget(Find<QWidget>(form, "TabSheet4"));
    EditZoom(form)->ZoomAt(4, QPoint());
    auto* box = Find<TPaintBox>(form, "PaintBox1");
    auto* area = Find<QScrollArea>(form, "ScrollBox1");
    area->horizontalScrollBar()->setValue(300);
    area->verticalScrollBar()->setValue(200);
    const auto upper = form.lettering().EnvelopeLines[0].Points();
    const int renders = form.renderCount();

    struct Drag {
        const char* what;
        Qt::MouseButton button;
        bool space;
    };
    for (const Drag& drag : {Drag{"middle button", Qt::MiddleButton, false},
                             Drag{"Space and left button", Qt::LeftButton, true}}) {
        if (drag.space) {
            QTest::keyPress(box, Qt::Key_Space);
            QCOMPARE(box->cursor().shape(), Qt::OpenHandCursor);
        }
        const QPoint before = Scroll(area);
        SendMouse(box, QEvent::MouseButtonPress, drag.button, {400, 300});
        QVERIFY2(box->cursor().shape() == Qt::ClosedHandCursor, drag.what);
        // The box moves with the scrolling; the drag follows the pointer on the screen.
        SendMouse(box, QEvent::MouseMove, drag.button, QPoint(350, 270) - (Scroll(area) - before));
        SendMouse(box, QEvent::MouseButtonRelease, drag.button,
                  QPoint(350, 270) - (Scroll(area) - before));
        QVERIFY2(Scroll(area) == before + QPoint(50, 30), drag.what);
        if (drag.space) QTest::keyRelease(box, Qt::Key_Space);
    }
    QCOMPARE(form.lettering().EnvelopeLines[0].Points(), upper);
    QCOMPARE(form.renderCount(), renders);
    QVERIFY(box->cursor().shape() != Qt::OpenHandCursor);

    // In the text box Space is a space, even with the mouse over the view.
    auto* memo = Find<QPlainTextEdit>(form, "Memo1");
    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    QCursor::setPos(box->mapToGlobal(QPoint(100, 100)));
    QTest::keyClick(memo, Qt::Key_Space);
    QVERIFY(memo->toPlainText().endsWith(QLatin1Char(' ')));
    QVERIFY(!EditZoom(form)->spaceHeld());
}

void ZoomTest::reducedIsSmoothEnlargedIsBlocks_data() {
    QTest::addColumn<double>("scale");
    QTest::newRow("50 %") << 0.5;
    QTest::newRow("33 %") << 1.0 / 3;
    QTest::newRow("67 %") << 2.0 / 3;
    QTest::newRow("200 %") << 2.0;
    QTest::newRow("300 %") << 3.0;
}

void ZoomTest::reducedIsSmoothEnlargedIsBlocks() {
    QFETCH(double, scale);
    // A checkerboard of single pixels.
    DibImage picture;
    newdib(picture, 60, 60, 24, nullptr, 0);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            std::fill_n(picture.Row(y) + 3 * x, 3, std::uint8_t((x + y) % 2 ? 255 : 0));
    TPaintBox box;
    box.ShowPicture(&picture);
    box.SetZoom(scale);
    box.resize(ZoomedLength(60, scale), ZoomedLength(60, scale));
    const QImage shown = box.grab().toImage();
    // A part painted on its own (a scroll step) is the same part of the whole.
    Bitmap part(13, 11);
    ZoomPicturePart(picture, scale, 7, 5, part);
    for (int y = 0; y < part.Height(); ++y)
        for (int x = 0; x < part.Width(); ++x)
            QCOMPARE(shown.pixel(7 + x, 5 + y),
                     qRgb(part.Row(y)[3 * x + 2], part.Row(y)[3 * x + 1], part.Row(y)[3 * x]));
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const int grey = qGray(shown.pixel(x, y));
            if (scale < 1) {
                // Never a pixel of the board itself: the mean of those it covers.
                QVERIFY(grey > 80 && grey < 175);
            } else {
                const int px = ToPicture(x, scale);
                const int py = ToPicture(y, scale);
                QCOMPARE(grey, (px + py) % 2 ? 255 : 0);
            }
        }
    deldib(picture);
}

void ZoomTest::reducedViewsShowEveryRender() {
    TMainForm form;
    Paint(form, "PaintBox1");
    EditZoom(form)->ZoomAt(0.5, QPoint());
    Find<TViewNavigator>(form, "ErgPaintBoxZoom")->ZoomAt(1.0 / 3, QPoint());
    for (const TColor background : {clWhite, TColor(0x0000FF), TColor(0x00FF00)}) {
        ChangeLettering(
            form, [background](Lettering& l) { l.settings.SurfaceFrame2.color = background; });
        for (const char* name : {"PaintBox1", "ErgPaintBox"}) {
            const QImage shown = Find<TPaintBox>(form, name)->grab().toImage();
            QCOMPARE(shown.pixelColor(1, 1), ToQColor(background));
        }
    }
}

QTEST_MAIN(ZoomTest)
#include "ZoomTest.moc"
