// Whole renders and single stages of typical letterings, for Release builds.
#include <benchmark/benchmark.h>

#include "document/Lettering.h"
#include "platform/TextLayout.h"
#include "render/Compositor.h"
#include "render/Filter.h"
#include "render/Pipeline.h"
#include "render/TextRaster.h"

namespace gw {
namespace {

void LoadFontRule() {
    static const bool loaded =
        LoadFontConfigFile(GLYPHWERK_SOURCE_DIR "/data/glyphwerk-fonts.conf");
    (void)loaded;
}

Lettering StartUpLettering() {
    LoadFontRule();
    Lettering lettering;
    InitStartState(lettering);
    return lettering;
}

void BM_RenderStartUp(benchmark::State& state) {
    Lettering lettering = StartUpLettering();
    RenderImages images;
    MakeWhitePicture(lettering, images.Picture);
    for (auto _ : state) {
        RenderLettering(lettering, images);
        benchmark::DoNotOptimize(images.Picture.Bits.get());
    }
}
BENCHMARK(BM_RenderStartUp)->Unit(benchmark::kMillisecond);

void BM_RenderTextStartUp(benchmark::State& state) {
    Lettering lettering = StartUpLettering();
    DibImage textImage, textMask;
    for (auto _ : state) {
        RenderText(lettering, textImage, textMask);
        benchmark::DoNotOptimize(textImage.Bits.get());
    }
}
BENCHMARK(BM_RenderTextStartUp)->Unit(benchmark::kMillisecond);

void BM_RenderDibStartUp(benchmark::State& state) {
    Lettering lettering = StartUpLettering();
    RenderImages images;
    MakeWhitePicture(lettering, images.Picture);
    RenderText(lettering, images.TextImage, images.TextMask);
    for (auto _ : state) {
        RenderDib(lettering, images.TextImage, images.TextMask, images.Picture);
        benchmark::DoNotOptimize(images.Picture.Bits.get());
    }
}
BENCHMARK(BM_RenderDibStartUp)->Unit(benchmark::kMillisecond);

void BM_DibFilterStartUp(benchmark::State& state) {
    Lettering lettering = StartUpLettering();
    DibImage picture;
    MakeWhitePicture(lettering, picture);
    for (auto _ : state) {
        DibFilter(picture, Weichzeichnen);
        benchmark::DoNotOptimize(picture.Bits.get());
    }
}
BENCHMARK(BM_DibFilterStartUp)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace gw

BENCHMARK_MAIN();
