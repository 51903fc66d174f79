// The peak memory of one whole render with every effect on, at a print size (4000 x 1800 unless
// given as arguments), and of the PNG made of it as glyphwerk-render makes it: the process's
// largest resident set before the render, after it, and after the PNG, which is the figure of the
// whole process (what /usr/bin/time reports for it).
//
//   build-rel/bin/glyphwerk_peakmem [WIDTH HEIGHT] [smooth]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "EveryEffect.h"
#include "document/PictureSize.h"
#include "platform/TextLayout.h"
#include "raster/ImageFiles.h"
#include "render/LargeBuffers.h"
#include "render/Pipeline.h"

namespace {

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;  // KiB on Linux
}

}  // namespace

int main(int argc, char** argv) {
    using namespace gw;
    std::int32_t width = 4000, height = 1800;
    if (argc >= 3) {
        width = std::atoi(argv[1]);
        height = std::atoi(argv[2]);
    }
    KeepRenderMemory();
    const bool smooth = argc >= 4 && std::strcmp(argv[3], "smooth") == 0;
    LoadFontConfigFile(GLYPHWERK_SOURCE_DIR "/data/glyphwerk-fonts.conf");
    Lettering lettering;
    InitStartState(lettering);
    ResizeLettering(lettering, width, height, true);
    ApplyEveryEffect(lettering);

    RenderImages images;
    MakeWhitePicture(lettering, images.Picture);
    const long before = PeakKiB();
    const auto start = std::chrono::steady_clock::now();
    if (smooth) {
        images.Picture = DibImage{};
        std::vector<std::uint8_t> alpha;
        std::string error;
        if (!RenderPrint(lettering, {1, true, false}, images.Picture, alpha, error))
            std::printf("%s\n", error.c_str());
    } else {
        RenderLettering(lettering, images);
    }
    const auto stop = std::chrono::steady_clock::now();
    const long after = PeakKiB();
    std::vector<std::uint8_t> png;
    EncodeImage(images.Picture, ImageFileType::Png, 92, png);
    const long whole = PeakKiB();
    std::printf(
        "render %dx%d%s, every effect: %.1f ms, peak RSS of the whole process with the PNG "
        "(%.1f MB) %.1f MB (%.1f MB after the render, %.1f MB before it)\n",
        lettering.width, lettering.height, smooth ? " smooth" : "",
        std::chrono::duration<double, std::milli>(stop - start).count(), png.size() / 1e6,
        whole / 1024.0, after / 1024.0, before / 1024.0);
    // How much of the memory came in huge pages (the render asks for them for its large images).
    if (std::FILE* f = std::fopen("/proc/self/smaps_rollup", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::strncmp(line, "AnonHugePages:", 14) == 0) std::printf("%s", line);
        std::fclose(f);
    }
    return 0;
}
