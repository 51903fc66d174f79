// Scrolling over a big picture in the window's views: each step moves the view by 40 pixels
// down and paints what it uncovers, as the window does (the offscreen platform, one window).

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <cstdint>

#include "document/EnvelopePresets.h"
#include "document/Lettering.h"
#include "editing/EditView.h"
#include "editing/EnvelopeEditor.h"
#include "editing/ViewZoom.h"
#include "platform/Canvas.h"
#include "raster/DibService.h"
#include "ui/PaintBox.h"

namespace {

using namespace gw;

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

// A picture of many colours, so no step can take a shortcut over uniform rows.
DibImage Picture() {
    DibImage picture;
    newdib(picture, kWidth, kHeight, 24, nullptr, 0);
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t* row = picture.Row(y);
        for (int x = 0; x < kWidth; ++x) {
            row[3 * x] = std::uint8_t(x);
            row[3 * x + 1] = std::uint8_t(y);
            row[3 * x + 2] = std::uint8_t(x ^ y);
        }
    }
    return picture;
}

// state.range(0): 1 the editing view with its boundary lines and handles, 0 the result view;
// state.range(1): the zoom in percent, or -n for 1/n.
void BM_ScrollStep(benchmark::State& state) {
    const double scale =
        state.range(1) < 0 ? -1.0 / double(state.range(1)) : state.range(1) / 100.0;
    static const DibImage picture = Picture();
    Lettering lettering;
    InitStartState(lettering);
    lettering.width = kWidth;
    lettering.height = kHeight;
    ResetBoundaryLines(lettering);
    TEnvelopeEditor editor(lettering);
    const EditViewLines lines = EditViewLines::Of(lettering, editor);

    QScrollArea area;
    area.resize(1000, 700);
    auto* box = new TPaintBox;
    box->resize(ZoomedLength(kWidth, scale), ZoomedLength(kHeight, scale));
    box->SetZoom(scale);
    box->ShowPicture(&picture);
    if (state.range(0) == 1)
        box->OnOverlay = [&lines, box, scale](Canvas& canvas, TPoint origin) {
            PaintEditOverlay(canvas, lines, true, origin, box->width(), box->height(), scale);
        };
    area.setWidget(box);
    area.show();
    QApplication::processEvents();
    QScrollBar* bar = area.verticalScrollBar();
    for (auto _ : state) {
        bar->setValue(bar->value() + 40 > bar->maximum() ? 0 : bar->value() + 40);
        area.viewport()->repaint();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ScrollStep)
    ->Args({1, 100})
    ->Args({0, 100})
    ->Args({1, -3})
    ->Args({1, 200})
    ->Unit(benchmark::kMillisecond);

// The whole picture in view at 1/6 (1000 x 667 screen pixels), painted whole; state.range(0) 1:
// as the first paint after a render, which reads every picture pixel once.
void BM_FittedPaint(benchmark::State& state) {
    static const DibImage picture = Picture();
    constexpr double kScale = 1.0 / 6;
    QScrollArea area;
    area.resize(1000, 700);
    auto* box = new TPaintBox;
    box->resize(ZoomedLength(kWidth, kScale), ZoomedLength(kHeight, kScale));
    box->SetZoom(kScale);
    box->ShowPicture(&picture);
    area.setWidget(box);
    area.show();
    QApplication::processEvents();
    for (auto _ : state) {
        if (state.range(0) == 1) box->PictureChanged();
        box->repaint();
    }
}
BENCHMARK(BM_FittedPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
