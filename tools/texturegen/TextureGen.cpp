// glyphwerk-texturegen: computes the built-in textures and writes them as 8-bit GIF files.
//
//   glyphwerk-texturegen FOLDER [--sheet SHEETFOLDER]
//
// The same run gives the same bytes, so the files in data/ can be made again and compared. With
// --sheet every written file is read back and shown tiled 3 x 3, one PNG a texture at full size
// and one overview of all of them, to look for seams and banding.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "raster/DibService.h"
#include "texturegen/Materials.h"
#include "texturegen/Quantise.h"

namespace gw::texgen {
namespace {

bool WriteTexture(const Material& material, const std::string& path) {
    const ColorImage image = RenderMaterial(material);
    const std::vector<PaletteColor> palette = MakePalette(image, material.colors);
    const double spread = material.dither * PaletteSpacing(palette);
    const std::vector<std::uint8_t> indices = MapToPalette(image, palette, spread);

    DibImage dib;
    newdib(dib, material.side, material.side, 8, nullptr, 0);
    if (dib.Empty()) return false;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        dib.Info->bmiColors[i] = {palette[i].b, palette[i].g, palette[i].r, 0};
    }
    dib.Info->bmiHeader.biClrUsed = std::uint32_t(palette.size());
    for (int t = 0; t < material.side; ++t) {
        std::copy_n(indices.begin() + std::ptrdiff_t(t) * material.side, material.side, dib.Row(t));
    }
    std::string error;
    if (!SaveDib(dib, path, ImageFileType::Gif, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::error_code ec;
    std::printf("%-20s %3d x %-3d %3zu Farben, Streuung %4.1f, %6ju Bytes\n", material.file.c_str(),
                material.side, material.side, palette.size(), spread,
                std::uintmax_t(std::filesystem::file_size(path, ec)));
    return true;
}

// The colour of pixel (x, y), counted from the top, of an 8-bit or 24-bit image.
void PixelAt(const DibImage& dib, int x, int y, std::uint8_t bgr[3]) {
    const std::uint8_t* row = dib.Row(y);
    if (DibBitCount(dib) == 8) {
        const RgbQuad& q = dib.Info->bmiColors[row[x]];
        bgr[0] = q.rgbBlue;
        bgr[1] = q.rgbGreen;
        bgr[2] = q.rgbRed;
    } else {
        std::copy_n(row + 3 * x, 3, bgr);
    }
}

// The texture tiled 3 x 3 at full size.
DibImage Tiled(const DibImage& texture) {
    const int w = DibWidth(texture);
    const int h = DibHeight(texture);
    DibImage sheet;
    newdib(sheet, 3 * w, 3 * h, 24, nullptr, 0);
    if (sheet.Empty()) return sheet;
    for (int y = 0; y < 3 * h; ++y) {
        std::uint8_t* row = sheet.Row(y);
        for (int x = 0; x < 3 * w; ++x)
            PixelAt(texture, x % w, y % h, row + 3 * x);
    }
    return sheet;
}

// Box-filtered copy of `source` into the cell of `cell` x `cell` pixels at (left, top).
void PlaceScaled(DibImage& target, int left, int top, int cell, const DibImage& source) {
    const int sw = DibWidth(source);
    const int sh = DibHeight(source);
    for (int y = 0; y < cell; ++y) {
        const int y0 = y * sh / cell;
        const int y1 = std::max(y0 + 1, (y + 1) * sh / cell);
        std::uint8_t* out = target.Row(top + y) + 3 * left;
        for (int x = 0; x < cell; ++x) {
            const int x0 = x * sw / cell;
            const int x1 = std::max(x0 + 1, (x + 1) * sw / cell);
            unsigned sum[3] = {0, 0, 0};
            for (int sy = y0; sy < y1; ++sy) {
                for (int sx = x0; sx < x1; ++sx) {
                    std::uint8_t bgr[3];
                    PixelAt(source, sx, sy, bgr);
                    for (int c = 0; c < 3; ++c)
                        sum[c] += bgr[c];
                }
            }
            const unsigned n = unsigned((y1 - y0) * (x1 - x0));
            for (int c = 0; c < 3; ++c)
                out[3 * x + c] = std::uint8_t((sum[c] + n / 2) / n);
        }
    }
}

bool WriteSheets(const std::string& folder, const std::string& sheetFolder) {
    constexpr int kCell = 384;
    constexpr int kGap = 8;
    constexpr int kColumns = 5;
    const std::vector<Material>& materials = Materials();
    const int rows = int(materials.size() + kColumns - 1) / kColumns;
    DibImage overview;
    newdib(overview, kColumns * (kCell + kGap) + kGap, rows * (kCell + kGap) + kGap, 24, nullptr,
           0);
    if (overview.Empty()) return false;
    std::fill_n(overview.Bits.get(), DibImageSize(overview), std::uint8_t(0x50));
    bool ok = true;
    for (std::size_t i = 0; i < materials.size(); ++i) {
        DibImage texture;
        OpenDib(texture, (std::filesystem::path(folder) / materials[i].file).string());
        if (texture.Empty() || DibBitCount(texture) != 8) {
            std::fprintf(stderr, "%s: nicht als 8-Bit-Bild lesbar\n", materials[i].file.c_str());
            ok = false;
            continue;
        }
        const DibImage tiled = Tiled(texture);
        const std::string stem = std::filesystem::path(materials[i].file).stem().string();
        ok = SaveDib(tiled, (std::filesystem::path(sheetFolder) / (stem + "-3x3.png")).string(),
                     ImageFileType::Png) &&
             ok;
        const int column = int(i) % kColumns;
        const int row = int(i) / kColumns;
        PlaceScaled(overview, kGap + column * (kCell + kGap), kGap + row * (kCell + kGap), kCell,
                    tiled);
    }
    return SaveDib(overview, (std::filesystem::path(sheetFolder) / "contact.png").string(),
                   ImageFileType::Png) &&
           ok;
}

int Run(int argc, char** argv) {
    std::string folder;
    std::string sheetFolder;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sheet" && i + 1 < argc) {
            sheetFolder = argv[++i];
        } else if (folder.empty() && !arg.starts_with("-")) {
            folder = arg;
        } else {
            folder.clear();
            break;
        }
    }
    if (folder.empty()) {
        std::fprintf(stderr, "Aufruf: glyphwerk-texturegen ORDNER [--sheet ORDNER]\n");
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    for (const Material& material : Materials()) {
        if (!WriteTexture(material, (std::filesystem::path(folder) / material.file).string()))
            return 1;
    }
    if (!sheetFolder.empty()) {
        std::filesystem::create_directories(sheetFolder, ec);
        if (!WriteSheets(folder, sheetFolder)) return 1;
    }
    return 0;
}

}  // namespace
}  // namespace gw::texgen

int main(int argc, char** argv) {
    return gw::texgen::Run(argc, argv);
}
