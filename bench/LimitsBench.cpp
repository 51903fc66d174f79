// How far each stage of the every-effect render lies from what the machine's memory allows.
//
//   build/bin/glyphwerk_limits [--size WxH] [--runs N] [--mib N] [--only TEXT] [--random]
//
// First the memory bandwidth: a copy and a fill of buffers of N MiB (512 unless said otherwise,
// far beyond any cache), on one thread and on every thread the render uses, the best of the runs.
// Then, for every stage of the render at WxH (4000x1800 unless said otherwise) with every effect,
// the least traffic it has: the picture-sized buffers it reads and writes, each counted once
// (small tables, textures and the rows a stage keeps in a ring stay in the cache and count
// nothing). The bound is that traffic at the copy's bandwidth (at the fill's for a stage that
// only writes); the stage's time is the best of its runs, each begun with its inputs restored
// and the caches emptied, so that the stage reads from memory as the bound assumes.
//
// --only keeps the stages whose name holds TEXT; --random takes the random deformation in place
// of the sine wave.
//
// Prints Markdown tables: one thread against the one-thread bandwidth, then every thread against
// the bandwidth of all. Wall times mean something on a quiet machine only; the CPU time (the
// process's clock, the sum of its threads' clocks) holds up better on a busy one, where a stage
// waits for a core but does the same work.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <thread>
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

struct Times {
    double wall = std::numeric_limits<double>::infinity();  // seconds
    double cpu = std::numeric_limits<double>::infinity();
};

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// The best wall and the best CPU time of `runs` calls of run(), each after prepare().
template <class Prepare, class Run>
Times Best(int runs, Prepare&& prepare, Run&& run) {
    Times best;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const double cpu0 = CpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        run();
        const auto wall1 = std::chrono::steady_clock::now();
        const double cpu1 = CpuSeconds();
        best.wall = std::min(best.wall, std::chrono::duration<double>(wall1 - wall0).count());
        best.cpu = std::min(best.cpu, cpu1 - cpu0);
    }
    return best;
}

// Writes a buffer twice the size of the last-level cache (32 MiB here), so that what a stage
// reads next comes from memory.
void EmptyCaches() {
    static LargeBuffer sweep(std::size_t(64) << 20);
    static std::uint8_t value = 0;
    std::memset(sweep.data(), ++value, sweep.size());
}

// ---- Memory bandwidth

struct Bandwidth {
    double copy = 0;  // bytes read and written a second
    double fill = 0;  // bytes written a second
};

// The bandwidth by the wall clock, and by the time the threads ran (the process's CPU time shared
// out among them), which a busy machine does not stretch.
struct Bandwidths {
    Bandwidth wall, cpu;
};

// Splits [0, n) into `threads` parts, each handed to work(offset, bytes) on a thread of its own.
template <class Work>
void OnThreads(int threads, std::size_t n, Work&& work) {
    std::vector<std::thread> helpers;
    const auto part = [&](int i) {
        const std::size_t first = n / std::size_t(threads) * std::size_t(i);
        const std::size_t end =
            i + 1 == threads ? n : n / std::size_t(threads) * std::size_t(i + 1);
        work(first, end - first);
    };
    for (int i = 1; i < threads; ++i)
        helpers.emplace_back(part, i);
    part(0);
    for (std::thread& t : helpers)
        t.join();
}

Bandwidths MeasureBandwidth(std::size_t n, int threads, int runs) {
    LargeBuffer from(n), to(n);
    // The pages are had before the first timed run.
    std::memset(from.data(), 1, n);
    std::memset(to.data(), 2, n);
    Bandwidths b;
    std::uint8_t value = 0;
    const Times copy = Best(
        runs, [] {},
        [&] {
            OnThreads(threads, n, [&](std::size_t at, std::size_t bytes) {
                std::memcpy(to.data() + at, from.data() + at, bytes);
            });
        });
    const Times fill = Best(
        runs, [&] { ++value; },
        [&] {
            OnThreads(threads, n, [&](std::size_t at, std::size_t bytes) {
                std::memset(to.data() + at, value, bytes);
            });
        });
    b.wall.copy = 2.0 * double(n) / copy.wall;
    b.wall.fill = double(n) / fill.wall;
    b.cpu.copy = 2.0 * double(n) * threads / copy.cpu;
    b.cpu.fill = double(n) * threads / fill.cpu;
    return b;
}

// ---- The stages

struct Stage {
    std::string name;
    std::uint64_t read = 0;     // bytes the stage must read at least
    std::uint64_t written = 0;  // and write
    std::function<void()> prepare;
    std::function<void()> run;
};

void CopyImage(const DibImage& from, DibImage& to) {
    std::memcpy(to.Bits.get(), from.Bits.get(), DibImageSize(from));
}

// The block anchored at (x, y), measured and drawn as RenderText draws it.
void DrawBlockAt(Bitmap& target, const TextPlan& plan, std::int32_t x, std::int32_t y) {
    Canvas canvas(target);
    canvas.font = plan.fitted;
    canvas.fontColor = clBlack;
    TRect r{x, y, x, y};
    canvas.DrawText(plan.text, r, DT_CALCRECT | plan.align);
    canvas.DrawText(plan.text, r, plan.align);
}

// The last blend of RenderText's direct way (inside RenderText it cannot be timed alone): the
// coverage plane in the first bytes of the mask's memory turned upside down, then the mask made
// from it in place and the shadow's colour laid into the text image, in rounds of rows that go
// side by side.
void LastBlend(const LetteringSettings& s, DibImage& TextImage, DibImage& TextMask) {
    BlendShadowPlane(ShadowBlendTableFor(s, false), TextImage, TextMask);
}

// The pixels the frame visits: every pixel within w of an edge.
std::uint64_t FramePixels(std::int64_t W, std::int64_t H, std::int64_t w) {
    if (w < 0) return 0;
    std::uint64_t n = 0;
    for (std::int64_t y = 0; y < H; ++y) {
        const std::int64_t inRow = std::min(y, H - 1 - y) <= w ? W : std::min(W, 2 * (w + 1));
        n += std::uint64_t(inRow);
    }
    return n;
}

// Everything the stages start from, made once by a whole render and by the steps of its direct
// way; each stage works on copies of it.
struct Inputs {
    Lettering lettering;
    RenderImages rendered;  // a whole render: its text images are what the warp takes
    TextPlan plan;
    Bitmap letters;                         // the letters black on white, 3 bytes a pixel
    std::vector<std::uint8_t> letterPlane;  // 0 on a letter, 255 elsewhere
    std::vector<std::uint8_t> shadowPlane;  // 4 where the shadow text is drawn, 0 elsewhere
    std::vector<std::uint8_t> blendPlane;   // softened shadow with the letters folded in (255)
    DibImage surfaced;                      // the letters carrying their surface
    DibImage background;                    // the picture filled with its background
    DibImage unfiltered;                    // the picture before the smoothing filter
};

void MakeInputs(Inputs& in, std::int32_t width, std::int32_t height, bool random) {
    LoadFontConfigFile(GLYPHWERK_SOURCE_DIR "/data/glyphwerk-fonts.conf");
    Lettering& l = in.lettering;
    InitStartState(l);
    ResizeLettering(l, width, height, true);
    ApplyEveryEffect(l);
    if (random) l.settings.deform = DeformMode::RandDeform;
    const LetteringSettings& s = l.settings;
    MakeWhitePicture(l, in.rendered.Picture);
    RenderLettering(l, in.rendered);

    in.plan = PlanText(l, 1);
    const std::int32_t W = in.plan.width, H = in.plan.height;
    const std::size_t w = std::size_t(W);
    in.letters = Bitmap(W, H, PixelFormat::Mono, clWhite);
    DrawBlockAt(in.letters, in.plan, in.plan.Ox, in.plan.Oy);
    Bitmap shadow(W, H, PixelFormat::Mono, clWhite);
    DrawBlockAt(shadow, in.plan, in.plan.sx, in.plan.sy);
    in.letterPlane.resize(w * std::size_t(H));
    in.shadowPlane.resize(in.letterPlane.size());
    for (std::int32_t y = 0; y < H; ++y)
        for (std::size_t x = 0; x < w; ++x) {
            in.letterPlane[std::size_t(y) * w + x] = in.letters.Row(y)[3 * x];
            in.shadowPlane[std::size_t(y) * w + x] = shadow.Row(y)[3 * x] == 0 ? 4 : 0;
        }
    in.blendPlane = in.shadowPlane;
    SoftenCoverage(in.blendPlane.data(), W, H, s);
    for (std::size_t i = 0; i < in.blendPlane.size(); ++i)
        if (in.letterPlane[i] == 0) in.blendPlane[i] = 255;

    newdib(in.surfaced, W, H, 24, nullptr, 0);
    const TextSurfaceRows surface(s.SurfaceFrame1, l.TextTexture);
    for (std::int32_t y = 0; y < H; ++y)
        surface.Apply(in.letters.Row(y), in.surfaced.Row(y), W, y);

    in.background = MakeDIBCopy(in.rendered.Picture);
    FillDi0Bkgnd(l, in.background);
    in.unfiltered = MakeDIBCopy(in.rendered.Picture);
    RenderDib(l, in.rendered.TextImage, in.rendered.TextMask, in.unfiltered);
}

std::vector<Stage> Stages(Inputs& in) {
    const Lettering& l = in.lettering;
    const LetteringSettings& s = l.settings;
    const std::int32_t Wt = in.plan.width, Ht = in.plan.height;
    const std::uint64_t plane = std::uint64_t(Wt) * std::uint64_t(Ht);
    const std::uint64_t textImage = DibImageSize(in.surfaced);
    const std::uint64_t picture = DibImageSize(in.rendered.Picture);
    const std::int32_t W = DibWidth(in.rendered.Picture), H = DibHeight(in.rendered.Picture);

    // Work copies, kept for every run (their pages had once).
    auto drawn = std::make_shared<Bitmap>(Wt, Ht, PixelFormat::Mono);
    auto surfaceWork = std::make_shared<Bitmap>(Wt, Ht, PixelFormat::Rgb24);
    auto image = std::make_shared<DibImage>(MakeDIBCopy(in.surfaced));
    auto mask = std::make_shared<DibImage>(MakeDIBCopy(in.surfaced));
    auto planeWork = std::make_shared<std::vector<std::uint8_t>>(in.shadowPlane);
    auto pic = std::make_shared<DibImage>(MakeDIBCopy(in.rendered.Picture));
    auto png = std::make_shared<std::vector<std::uint8_t>>();
    auto images = std::make_shared<RenderImages>();
    images->Picture = MakeDIBCopy(in.rendered.Picture);
    const auto nothing = [] {};
    const std::vector<EdgePassParams> passes = EdgePasses(l);
    EncodeImage(in.rendered.Picture, ImageFileType::Png, 92, *png);
    const std::uint64_t pngBytes = png->size();

    std::vector<Stage> stages;
    // One of the three drawings of a render: the bitmap filled white and the block drawn into it;
    // it writes the bitmap (3 bytes a pixel).
    stages.push_back({"text drawing (one of three)", 0, textImage, nothing, [&in, drawn] {
                          drawn->Fill(clWhite);
                          DrawBlockAt(*drawn, in.plan, in.plan.Ox, in.plan.Oy);
                      }});
    // Reads the letters and writes the text image, 3 bytes a pixel each.
    stages.push_back(
        {"text surface fill", textImage, textImage,
         [&in, surfaceWork] {
             std::memcpy(surfaceWork->Bits(), in.letters.Bits(),
                         std::size_t(in.letters.Stride()) * std::size_t(in.letters.Height()));
         },
         [&l, &s, surfaceWork] { FillTextSurface(*surfaceWork, s.SurfaceFrame1, l.TextTexture); }});
    // Each pass reads the letter shape (a byte a pixel) and reads and writes the text image.
    stages.push_back(
        {"EdgePass x" + std::to_string(passes.size()), passes.size() * (plane + textImage),
         passes.size() * textImage, [&in, image] { CopyImage(in.surfaced, *image); },
         [&in, &l, image, passes] {
             for (const EdgePassParams& pass : passes)
                 EdgePassOnShape(*image, in.letterPlane.data(), l.BackgroundTexture, pass);
         }});
    // Reads and writes the shadow's coverage plane.
    stages.push_back({"SoftenShadow (coverage plane)", plane, plane,
                      [&in, planeWork] { *planeWork = in.shadowPlane; },
                      [&s, planeWork, Wt, Ht] { SoftenCoverage(planeWork->data(), Wt, Ht, s); }});
    // Reads and writes the coverage plane and the text image once each; the code makes two
    // passes over both (rows, then columns).
    stages.push_back({"Disorb (plane and text image)", plane + textImage, plane + textImage,
                      [&in, planeWork, image] {
                          *planeWork = in.blendPlane;
                          CopyImage(in.surfaced, *image);
                      },
                      [&s, planeWork, image, Wt, Ht] {
                          std::vector<std::int32_t> rowShifts, columnShifts;
                          DisorbShifts(s, Wt, Ht, rowShifts, columnShifts);
                          const std::size_t n = std::size_t(Ht);
                          std::vector<std::uint8_t*> rows(n), tRows(n);
                          for (std::int32_t y = 0; y < Ht; ++y) {
                              rows[std::size_t(y)] = planeWork->data() + std::size_t(y) * Wt;
                              tRows[std::size_t(y)] = image->Row(y);
                          }
                          DisorbRows(rows.data(), Wt, Ht, 1, 0, rowShifts, columnShifts);
                          DisorbRows(tRows.data(), Wt, Ht, 3, 255, rowShifts, columnShifts);
                      }});
    // Reads the coverage plane, reads and writes the text image, writes the mask.
    stages.push_back({"last blend of the text images", plane + textImage, 2 * textImage,
                      [&in, image, mask] {
                          std::memcpy(mask->Bits.get(), in.blendPlane.data(), in.blendPlane.size());
                          CopyImage(in.surfaced, *image);
                      },
                      [&s, image, mask] { LastBlend(s, *image, *mask); }});
    // Writes the picture.
    stages.push_back({"background fill (FillDi0Bkgnd)", 0, picture, nothing,
                      [&l, pic] { FillDi0Bkgnd(l, *pic); }});
    // Reads and writes the pixels within the band width of an edge.
    const std::uint64_t band = 3 * FramePixels(W, H, FrameBandWidth(s, W, H));
    stages.push_back({"RenderBorder (frame " + std::to_string(s.FrameStyle) + ")", band, band,
                      [&in, pic] { CopyImage(in.background, *pic); },
                      [&s, pic] { RenderBorder(*pic, s); }});
    // Reads the text image and its mask, reads and writes the picture.
    stages.push_back({"WarpText", 2 * DibImageSize(in.rendered.TextImage) + picture, picture,
                      [&in, pic] { CopyImage(in.background, *pic); },
                      [&in, &l, pic] {
                          WithWarpLines(l.EnvelopeLines[0], l.EnvelopeLines[1], DibWidth(*pic),
                                        DibHeight(*pic), [&](const TLine& u, const TLine& v) {
                                            WarpText(u, v, in.rendered.TextImage,
                                                     in.rendered.TextMask, *pic);
                                        });
                      }});
    // Reads and writes the picture.
    stages.push_back({"DibFilter", picture, picture, [&in, pic] { CopyImage(in.unfiltered, *pic); },
                      [pic] { DibFilter(*pic, Weichzeichnen); }});
    // Reads the picture, writes the file.
    stages.push_back({"PNG encoder", picture, pngBytes, nothing, [&in, png] {
                          EncodeImage(in.rendered.Picture, ImageFileType::Png, 92, *png);
                      }});
    // The stages above but the PNG encoder, as one render runs them (three drawings).
    std::uint64_t read = 0, written = 0;
    for (const Stage& st : stages) {
        if (st.name == "PNG encoder") continue;
        const std::uint64_t times = st.name.rfind("text drawing", 0) == 0 ? 3 : 1;
        read += times * st.read;
        written += times * st.written;
    }
    stages.push_back({"whole render (RenderLettering)", read, written, nothing,
                      [&l, images] { RenderLettering(l, *images); }});
    return stages;
}

double BoundSeconds(const Stage& stage, const Bandwidth& b) {
    if (stage.read == 0) return double(stage.written) / b.fill;
    return double(stage.read + stage.written) / b.copy;
}

// The wall time against the bound at the wall clock's bandwidth, the CPU time against the bound
// at the CPU clock's; on several threads the CPU time is the sum of theirs, held against the
// bound on each of them.
void PrintStages(const char* title, std::vector<Stage>& stages, const Bandwidths& b, int threads,
                 int runs) {
    std::printf("\n### %s\n\n", title);
    std::printf(
        "| stage | bytes | bound ms | measured ms | measured / bound | CPU ms | CPU / %s |\n",
        threads == 1 ? "bound" : (std::to_string(threads) + " bounds").c_str());
    std::printf("|---|---:|---:|---:|---:|---:|---:|\n");
    for (Stage& stage : stages) {
        const Times t = Best(
            runs,
            [&] {
                stage.prepare();
                EmptyCaches();
            },
            stage.run);
        const double bound = BoundSeconds(stage, b.wall);
        const double cpuBound = BoundSeconds(stage, b.cpu);
        std::printf("| %s | %.1f MB | %.2f | %.2f | %.1f | %.2f | %.1f |\n", stage.name.c_str(),
                    double(stage.read + stage.written) / 1e6, bound * 1e3, t.wall * 1e3,
                    t.wall / bound, t.cpu * 1e3, t.cpu / (threads * cpuBound));
        std::fflush(stdout);
    }
}

}  // namespace
}  // namespace gw

int main(int argc, char** argv) {
    using namespace gw;
    std::int32_t width = 4000, height = 1800;
    int runs = 5;
    std::size_t mib = 512;
    std::string only;
    bool random = false;
    for (int i = 1; i < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--random") {
            random = true;
            --i;
        } else if (i + 1 == argc) {
            std::fprintf(stderr, "%s needs a value\n", argv[i]);
            return 2;
        } else if (option == "--only") {
            only = argv[i + 1];
        } else if (option == "--size") {
            if (std::sscanf(argv[i + 1], "%dx%d", &width, &height) != 2) return 2;
        } else if (option == "--runs") {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (option == "--mib") {
            mib = std::size_t(std::max(1, std::atoi(argv[i + 1])));
        } else {
            std::fprintf(stderr,
                         "usage: %s [--size WxH] [--runs N] [--mib N] [--only TEXT] [--random]\n",
                         argv[0]);
            return 2;
        }
    }
    KeepRenderMemory();
    const int threads = ParallelThreads();

    const Bandwidths one = MeasureBandwidth(mib << 20, 1, runs);
    const Bandwidths all = MeasureBandwidth(mib << 20, threads, runs);
    std::printf("### Memory bandwidth (%zu MiB buffers, best of %d runs)\n\n", mib, runs);
    std::printf(
        "| measure | 1 thread, wall | 1 thread, CPU | %d threads, wall | %d threads, CPU |\n",
        threads, threads);
    std::printf("|---|---:|---:|---:|---:|\n");
    std::printf("| copy (read + write) | %.1f GB/s | %.1f GB/s | %.1f GB/s | %.1f GB/s |\n",
                one.wall.copy / 1e9, one.cpu.copy / 1e9, all.wall.copy / 1e9, all.cpu.copy / 1e9);
    std::printf("| fill (write) | %.1f GB/s | %.1f GB/s | %.1f GB/s | %.1f GB/s |\n",
                one.wall.fill / 1e9, one.cpu.fill / 1e9, all.wall.fill / 1e9, all.cpu.fill / 1e9);

    Inputs inputs;
    MakeInputs(inputs, width, height, random);
    std::vector<Stage> stages = Stages(inputs);
    std::erase_if(
        stages, [&only](const Stage& stage) { return stage.name.find(only) == std::string::npos; });
    const std::string size = std::to_string(width) + "x" + std::to_string(height) +
                             ", text image " + std::to_string(inputs.plan.width) + "x" +
                             std::to_string(inputs.plan.height);
    {
        const ParallelThreadsScope serial(1);
        PrintStages(("Every effect, " + size + ", 1 thread").c_str(), stages, one, 1, runs);
    }
    PrintStages(("Every effect, " + size + ", " + std::to_string(threads) + " threads").c_str(),
                stages, all, threads, runs);
    return 0;
}
