// Whole renders and their stages for the start-up lettering, plain and with every effect on, at
// the size of the window and at two print sizes. Release builds only.
//
//   build-rel/bin/glyphwerk_bench --benchmark_filter=Whole --benchmark_repetitions=5
//       --benchmark_report_aggregates_only=true
//
// Names: <stage>/<effects>/<width>: "Plain" is the start-up lettering, "Effects" adds edge preset
// 3 ("3 Lichtstrahlen"), shadow preset 2, frame style 1, the sine deformation and envelope 7.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "EveryEffect.h"
#include "document/PictureSize.h"
#include "platform/Canvas.h"
#include "platform/ParallelRows.h"
#include "platform/TextLayout.h"
#include "raster/DibService.h"
#include "raster/ImageFiles.h"
#include "render/Bevel.h"
#include "render/Compositor.h"
#include "render/Disorb.h"
#include "render/Envelope.h"
#include "render/Filter.h"
#include "render/Frame.h"
#include "render/LargeBuffers.h"
#include "render/Pipeline.h"
#include "render/Shadow.h"
#include "render/Surface.h"
#include "render/TextRaster.h"

namespace gw {
namespace {

void LoadFontRule() {
    static const bool loaded =
        LoadFontConfigFile(GLYPHWERK_SOURCE_DIR "/data/glyphwerk-fonts.conf");
    (void)loaded;
}

// The picture sizes: the start-up window, and two print sizes of the same proportions.
constexpr std::pair<std::int32_t, std::int32_t> kSizes[] = {{450, 200}, {2000, 900}, {4000, 1800}};

Lettering MakeLettering(bool effects, std::int32_t width, std::int32_t height) {
    LoadFontRule();
    Lettering lettering;
    InitStartState(lettering);
    ResizeLettering(lettering, width, height, true);
    if (effects) ApplyEveryEffect(lettering);
    return lettering;
}

Lettering LetteringOf(const benchmark::State& state) {
    const auto& size = kSizes[state.range(1)];
    return MakeLettering(state.range(0) != 0, size.first, size.second);
}

// Images of one finished render, made once per configuration and reused by the stage benchmarks
// that start from the middle of the pipeline.
struct Rendered {
    Lettering lettering;
    RenderImages images;
};

Rendered& RenderedFor(const benchmark::State& state) {
    static std::map<std::pair<std::int64_t, std::int64_t>, Rendered> cache;
    auto key = std::make_pair(state.range(0), state.range(1));
    auto it = cache.find(key);
    if (it == cache.end()) {
        Rendered r;
        r.lettering = LetteringOf(state);
        MakeWhitePicture(r.lettering, r.images.Picture);
        RenderLettering(r.lettering, r.images);
        it = cache.emplace(key, std::move(r)).first;
    }
    return it->second;
}

void Label(benchmark::State& state) {
    const auto& size = kSizes[state.range(1)];
    state.SetLabel(std::string(state.range(0) ? "effects " : "plain ") +
                   std::to_string(size.first) + "x" + std::to_string(size.second));
}

// The smallest of the repetitions (--benchmark_repetitions=N) is the figure least disturbed by
// other work on the machine.
double Smallest(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

// Effects off and on, each at the three sizes.
void Configurations(benchmark::internal::Benchmark* b) {
    b->ArgNames({"effects", "size"});
    for (int effects = 0; effects < 2; ++effects)
        for (int size = 0; size < 3; ++size)
            b->Args({effects, size});
    b->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Smallest);
}
void EffectsOnly(benchmark::internal::Benchmark* b) {
    b->ArgNames({"effects", "size"});
    for (int size = 0; size < 3; ++size)
        b->Args({1, size});
    b->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Smallest);
}

// ---- Print renders: scaled, smooth and transparent, every effect on

// Arguments: the print kind (0 smooth, 1 scale 4, 2 transparent) and the picture size.
void BM_Print(benchmark::State& state) {
    const auto& size = kSizes[state.range(1)];
    const Lettering lettering = MakeLettering(true, size.first, size.second);
    PrintOptions options;
    options.smooth = state.range(0) == 0;
    options.scale = state.range(0) == 1 ? 4 : 1;
    options.transparent = state.range(0) == 2;
    DibImage picture;
    std::vector<std::uint8_t> alpha;
    std::string error;
    for (auto _ : state) {
        RenderPrint(lettering, options, picture, alpha, error);
        benchmark::DoNotOptimize(picture.Bits.get());
    }
    static const char* const kKinds[] = {"smooth ", "scale 4 ", "transparent "};
    state.SetLabel(std::string(kKinds[state.range(0)]) + std::to_string(size.first) + "x" +
                   std::to_string(size.second));
}
BENCHMARK(BM_Print)
    ->ArgNames({"kind", "size"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", Smallest);

// ---- The whole render and its three parts

void BM_Whole(benchmark::State& state) {
    Lettering lettering = LetteringOf(state);
    RenderImages images;
    MakeWhitePicture(lettering, images.Picture);
    for (auto _ : state) {
        RenderLettering(lettering, images);
        benchmark::DoNotOptimize(images.Picture.Bits.get());
    }
    Label(state);
}
BENCHMARK(BM_Whole)->Apply(Configurations);

void BM_RenderText(benchmark::State& state) {
    Lettering lettering = LetteringOf(state);
    DibImage textImage, textMask;
    for (auto _ : state) {
        deldib(textImage);
        deldib(textMask);
        RenderText(lettering, textImage, textMask);
        benchmark::DoNotOptimize(textImage.Bits.get());
    }
    Label(state);
}
BENCHMARK(BM_RenderText)->Apply(Configurations);

void BM_RenderDib(benchmark::State& state) {
    Rendered& r = RenderedFor(state);
    for (auto _ : state) {
        RenderDib(r.lettering, r.images.TextImage, r.images.TextMask, r.images.Picture);
        benchmark::DoNotOptimize(r.images.Picture.Bits.get());
    }
    Label(state);
}
BENCHMARK(BM_RenderDib)->Apply(Configurations);

void BM_DibFilter(benchmark::State& state) {
    Rendered& r = RenderedFor(state);
    for (auto _ : state) {
        DibFilter(r.images.Picture, Weichzeichnen);
        benchmark::DoNotOptimize(r.images.Picture.Bits.get());
    }
    Label(state);
}
BENCHMARK(BM_DibFilter)->Apply(Configurations);

// ---- The whole render on one thread against the banded stages on every core

// Arguments: the threads (1, or 0 for as many as the machine has) and the size: 450 x 200,
// 4000 x 1800 or 9999 x 9999, every effect on. Compare the CPU time with the wall time: on a
// machine busy with other work the bands wait for a core.
void BM_Parallel(benchmark::State& state) {
    constexpr std::pair<std::int32_t, std::int32_t> kParallelSizes[] = {
        {450, 200}, {4000, 1800}, {9999, 9999}};
    const auto& size = kParallelSizes[state.range(1)];
    const ParallelThreadsScope threads(int(state.range(0)));
    Lettering lettering = MakeLettering(true, size.first, size.second);
    RenderImages images;
    MakeWhitePicture(lettering, images.Picture);
    for (auto _ : state) {
        RenderLettering(lettering, images);
        benchmark::DoNotOptimize(images.Picture.Bits.get());
    }
    state.SetLabel(std::string(state.range(0) == 1 ? "serial " : "parallel ") +
                   std::to_string(size.first) + "x" + std::to_string(size.second));
}
BENCHMARK(BM_Parallel)
    ->ArgNames({"threads", "size"})
    ->ArgsProduct({{1, 0}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->ComputeStatistics("min", Smallest);

// ---- The PNG encoder

// Arguments: the threads (1, or 0 for as many as the machine has) and the size, 4000 x 1800 or
// 9999 x 9999: the picture of a render with every effect on, encoded as glyphwerk-render writes
// it. Compare the CPU time with the wall time, as for BM_Parallel.
void BM_EncodePng(benchmark::State& state) {
    constexpr std::pair<std::int32_t, std::int32_t> kEncodeSizes[] = {{4000, 1800}, {9999, 9999}};
    static std::map<std::int64_t, DibImage> pictures;
    DibImage& picture = pictures[state.range(1)];
    if (picture.Empty()) {
        const auto& size = kEncodeSizes[state.range(1)];
        Lettering lettering = MakeLettering(true, size.first, size.second);
        RenderImages images;
        MakeWhitePicture(lettering, images.Picture);
        RenderLettering(lettering, images);
        picture = std::move(images.Picture);
    }
    const ParallelThreadsScope threads(int(state.range(0)));
    std::vector<std::uint8_t> bytes;
    for (auto _ : state) {
        EncodeImage(picture, ImageFileType::Png, 90, bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["bytes"] = double(bytes.size());
    state.SetLabel(std::string(state.range(0) == 1 ? "serial " : "parallel ") +
                   std::to_string(DibWidth(picture)) + "x" + std::to_string(DibHeight(picture)));
}
BENCHMARK(BM_EncodePng)
    ->ArgNames({"threads", "size"})
    ->ArgsProduct({{1, 0}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->ComputeStatistics("min", Smallest);

// ---- Stages of RenderText

// The font-size search: the block measured at every character height up to the one that fits.
void BM_FontSearch(benchmark::State& state) {
    Lettering lettering = LetteringOf(state);
    const LetteringSettings& s = lettering.settings;
    std::int32_t width = 0, height = 0;
    TextImageSize(s, lettering.width, width, height);
    const std::string text = JoinedText(s);
    Bitmap T(1, 1, PixelFormat::Mono);
    Canvas tc(T);
    for (auto _ : state) {
        tc.font.name = s.Font.name;
        tc.font.height = s.Font.height;
        TRect r{};
        while (width >= r.right && height >= r.bottom) {
            r = TRect{};
            tc.font.height -= 1;
            tc.DrawText(text, r, DT_CALCRECT);
        }
        benchmark::DoNotOptimize(r);
    }
    Label(state);
}
BENCHMARK(BM_FontSearch)->Apply(Configurations);

// Drawing the fitted block into the monochrome text bitmap.
void BM_DrawText(benchmark::State& state) {
    Rendered& r = RenderedFor(state);
    const LetteringSettings& s = r.lettering.settings;
    const std::int32_t width = DibWidth(r.images.TextImage);
    const std::int32_t height = DibHeight(r.images.TextImage);
    Bitmap T(width, height, PixelFormat::Mono);
    Canvas tc(T);
    tc.font.name = s.Font.name;
    // The height the search found: the letters fill the image.
    TRect probe{};
    tc.font.height = s.Font.height;
    while (width >= probe.right && height >= probe.bottom) {
        probe = TRect{};
        tc.font.height -= 1;
        tc.DrawText(JoinedText(s), probe, DT_CALCRECT);
    }
    tc.font.height += 1;
    const std::string text = JoinedText(s);
    for (auto _ : state) {
        TRect rect{0, 0, 0, 0};
        tc.DrawText(text, rect, DT_CALCRECT);
        tc.DrawText(text, rect, DT_LEFT);
        benchmark::DoNotOptimize(T.Bits());
    }
    Label(state);
}
BENCHMARK(BM_DrawText)->Apply(EffectsOnly);

// All passes of the edge on the surfaced letters (edge preset 3: three rays).
void BM_EdgePasses(benchmark::State& state) {
    Rendered& r = RenderedFor(state);
    const DibImage& mask = r.images.TextMask;
    DibImage image = MakeDIBCopy(r.images.TextImage);
    const std::vector<EdgePassParams> passes = EdgePasses(r.lettering);
    for (auto _ : state) {
        for (const EdgePassParams& pass : passes)
            EdgePass(image, mask, r.lettering.BackgroundTexture, pass);
        benchmark::DoNotOptimize(image.Bits.get());
    }
    Label(state);
}
BENCHMARK(BM_EdgePasses)->Apply(EffectsOnly);

Bitmap BitmapOf(const DibImage& dib) {
    Bitmap b(DibWidth(dib), DibHeight(dib), PixelFormat::Rgb24);
    SetDIBits(b, 0, b.Height(), dib.Bits.get(), *dib.Info, DIB_RGB_COLORS);
    return b;
}

// Times `work` on a fresh copy of `source` per iteration; the copy is not timed.
template <typename Work>
void TimeOnCopies(benchmark::State& state, const Bitmap& source, Work&& work) {
    for (auto _ : state) {
        state.PauseTiming();
        Bitmap b = source;
        state.ResumeTiming();
        work(b);
        benchmark::DoNotOptimize(b.Bits());
    }
    Label(state);
}

// One of the four deformations of a render.
void BM_Disorb(benchmark::State& state) {
    Rendered& r = RenderedFor(state);
    TimeOnCopies(state, BitmapOf(r.images.TextImage),
                 [&](Bitmap& b) { Disorb(b, r.lettering.settings); });
}
BENCHMARK(BM_Disorb)->Apply(EffectsOnly);

// One of the two softenings of a render.
void BM_SoftenShadow(benchmark::State& state) {
    Rendered& r = RenderedFor(state);
    TimeOnCopies(state, BitmapOf(r.images.TextMask),
                 [&](Bitmap& b) { SoftenShadow(b, r.lettering.settings); });
}
BENCHMARK(BM_SoftenShadow)->Apply(EffectsOnly);

// The letters filled with their surface.
void BM_TextSurface(benchmark::State& state) {
    Rendered& r = RenderedFor(state);
    TimeOnCopies(state, BitmapOf(r.images.TextMask), [&](Bitmap& b) {
        FillTextSurface(b, r.lettering.settings.SurfaceFrame1, r.lettering.TextTexture);
    });
}
BENCHMARK(BM_TextSurface)->Apply(EffectsOnly);

// ---- Stages of RenderDib

void BM_Background(benchmark::State& state) {
    Rendered& r = RenderedFor(state);
    for (auto _ : state) {
        FillDi0Bkgnd(r.lettering, r.images.Picture);
        benchmark::DoNotOptimize(r.images.Picture.Bits.get());
    }
    Label(state);
}
BENCHMARK(BM_Background)->Apply(EffectsOnly);

void BM_Frame(benchmark::State& state) {
    Rendered& r = RenderedFor(state);
    for (auto _ : state) {
        RenderBorder(r.images.Picture, r.lettering.settings);
        benchmark::DoNotOptimize(r.images.Picture.Bits.get());
    }
    Label(state);
}
BENCHMARK(BM_Frame)->Apply(EffectsOnly);

void BM_Warp(benchmark::State& state) {
    Rendered& r = RenderedFor(state);
    const Lettering& l = r.lettering;
    for (auto _ : state) {
        WarpText(l.EnvelopeLines[0], l.EnvelopeLines[1], r.images.TextImage, r.images.TextMask,
                 r.images.Picture);
        benchmark::DoNotOptimize(r.images.Picture.Bits.get());
    }
    Label(state);
}
BENCHMARK(BM_Warp)->Apply(Configurations);

}  // namespace
}  // namespace gw

int main(int argc, char** argv) {
    // As the two programs do: renders keep their memory for the next one.
    gw::KeepRenderMemory();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
