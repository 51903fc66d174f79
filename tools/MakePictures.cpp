// glyphwerk-pictures: draws the pictures of the window layout into data/pictures.
//
// The large pictures (splash, the about box's program picture, the decorative panel of the result
// page, the image buttons) are letterings rendered by our own pipeline with bevel, shadow and the
// built-in textures (textures made here from formulas stand in where those are missing); the
// small tool-bar and tab images are drawn on our canvas.
// Small images use magenta as the transparent colour, as the window's picture loader expects.
//
//     glyphwerk-pictures OUTPUT_FOLDER
//
// Everything is computed: the same build draws the same pictures.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "document/Lettering.h"
#include "platform/Canvas.h"
#include "platform/System.h"
#include "platform/TextLayout.h"
#include "raster/DibService.h"
#include "render/Pipeline.h"
#include "render/Presets.h"

namespace gw {
namespace {

constexpr TColor kKey = 0xFF00FF;  // the transparent colour of the small images

std::string outputFolder;
bool failed = false;

void Save(const DibImage& image, const char* name) {
    const std::string path = outputFolder + "/" + name;
    ImageFileType type = ImageFileType::Png;
    ImageFileTypeFromName(path, type);
    std::string error;
    if (!SaveDib(image, path, type, &error, 90)) {
        std::fprintf(stderr, "glyphwerk-pictures: %s: %s\n", name, error.c_str());
        failed = true;
        return;
    }
    std::printf("%s (%d x %d)\n", path.c_str(), DibWidth(image), DibHeight(image));
}

// ---------------------------------------------------------------------------------------------
// Textures made from formulas

// A small deterministic noise: the same numbers on every machine.
double Noise(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return double(h & 0xFFFF) / 65535.0;
}

// A value noise smoothed over cells of `cell` pixels, 0 .. 1.
double SmoothNoise(double x, double y, double cell, std::uint32_t seed) {
    const double fx = x / cell;
    const double fy = y / cell;
    const auto ix = std::uint32_t(std::floor(fx));
    const auto iy = std::uint32_t(std::floor(fy));
    const double tx = fx - std::floor(fx);
    const double ty = fy - std::floor(fy);
    const double sx = tx * tx * (3 - 2 * tx);
    const double sy = ty * ty * (3 - 2 * ty);
    const double a = Noise(ix, iy, seed), b = Noise(ix + 1, iy, seed);
    const double c = Noise(ix, iy + 1, seed), d = Noise(ix + 1, iy + 1, seed);
    return (a * (1 - sx) + b * sx) * (1 - sy) + (c * (1 - sx) + d * sx) * sy;
}

double Turbulence(double x, double y, std::uint32_t seed) {
    double sum = 0, scale = 1;
    for (double cell = 32; cell >= 2; cell /= 2, scale /= 2)
        sum += SmoothNoise(x, y, cell, seed) * scale;
    return sum / 1.9375;
}

std::uint8_t Byte(double v) {
    return std::uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

// A 24-bit image whose pixel (x, y) (y from the top) is colour(x, y).
DibImage MakeImage(int w, int h, const std::function<TColor(int, int)>& colour) {
    DibImage image;
    newdib(image, w, h, 24, nullptr, 0);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = image.Row(y);
        for (int x = 0; x < w; ++x) {
            const TColor c = colour(x, y);
            row[3 * x] = GetBValue(c);
            row[3 * x + 1] = GetGValue(c);
            row[3 * x + 2] = GetRValue(c);
        }
    }
    return image;
}

TColor Mix(TColor a, TColor b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return RGB(Byte(GetRValue(a) * (1 - t) + GetRValue(b) * t),
               Byte(GetGValue(a) * (1 - t) + GetGValue(b) * t),
               Byte(GetBValue(a) * (1 - t) + GetBValue(b) * t));
}

// Blue marble with light veins.
DibImage Marble(int size) {
    return MakeImage(size, size, [](int x, int y) {
        const double t = Turbulence(x, y, 7);
        const double vein = std::abs(std::sin((x + y * 0.5) * 6.2831853 / 128 + t * 5.0));
        return Mix(RGB(30, 64, 140), RGB(96, 140, 210), std::pow(vein, 0.6));
    });
}

// Warm gold running from light to deep across the letters.
DibImage Gold(int size) {
    return MakeImage(size, size, [size](int x, int y) {
        const double band = 0.5 + 0.5 * std::sin(y * 6.2831853 / size * 3 + x * 0.02);
        const double grain = Turbulence(x, y, 3) * 0.25;
        return Mix(RGB(150, 88, 10), RGB(255, 226, 120), band * 0.8 + grain);
    });
}

// Light handmade paper.
DibImage Paper(int size, TColor base) {
    return MakeImage(size, size, [base](int x, int y) {
        const double fibre = Turbulence(x * 1.7, y * 0.6, 11) - 0.5;
        const double speck = Noise(std::uint32_t(x), std::uint32_t(y), 5) > 0.985 ? -18 : 0;
        const int shift = int(fibre * 26 + speck);
        return RGB(Byte(GetRValue(base) + shift), Byte(GetGValue(base) + shift),
                   Byte(GetBValue(base) + shift));
    });
}

// Wood with rings.
DibImage Wood(int size) {
    return MakeImage(size, size, [](int x, int y) {
        const double d = std::sqrt(double((x - 40) * (x - 40)) * 0.15 + double(y * y)) * 0.18 +
                         Turbulence(x, y, 17) * 4;
        const double ring = 0.5 + 0.5 * std::sin(d);
        return Mix(RGB(110, 58, 24), RGB(205, 140, 80), ring);
    });
}

// A built-in texture from the data folder, or the stand-in when it cannot be read.
DibImage Shipped(const char* name, DibImage standIn) {
    DibImage texture;
    OpenDib(texture, DataFolder() + name);
    return texture.Empty() ? std::move(standIn) : std::move(texture);
}

// ---------------------------------------------------------------------------------------------
// Letterings

struct Look {
    std::vector<std::string> text;
    int width = 450;
    int height = 200;
    int align = 1;
    TColor letters = 0xFF0000;
    TColor background = 0xFFFFFF;
    const DibImage* letterTexture = nullptr;
    const DibImage* backgroundTexture = nullptr;
    int edgePreset = 0;
    int shadowPreset = 0;
    int framePreset = 0;
    int envelopePreset = 0;
    std::vector<TPoint> upper, lower;  // own boundary lines instead of a preset
    bool bold = false;
};

DibImage Render(const Look& look) {
    Lettering lettering;
    InitStartState(lettering);
    lettering.width = look.width;
    lettering.height = look.height;
    ResetBoundaryLines(lettering);
    LetteringSettings& s = lettering.settings;
    s.Memo1 = look.text;
    s.AusrichtBox = look.align;
    s.Font.bold = look.bold;
    s.SurfaceFrame1.color = look.letters;
    s.SurfaceFrame2.color = look.background;
    if (look.letterTexture) {
        s.SurfaceFrame1.kind = SurfaceKind::BuiltinTexture;
        lettering.TextTexture = MakeDIBCopy(*look.letterTexture);
    }
    if (look.backgroundTexture) {
        s.SurfaceFrame2.kind = SurfaceKind::BuiltinTexture;
        lettering.BackgroundTexture = MakeDIBCopy(*look.backgroundTexture);
    }
    ApplyEdgePreset(s, look.edgePreset);
    ApplyShadowPreset(s, look.shadowPreset);
    ApplyFramePreset(s, look.framePreset);
    if (look.envelopePreset) ApplyEnvelopePreset(lettering, look.envelopePreset);
    if (!look.upper.empty()) {
        for (int i = 0; i < 2; ++i) {
            TLine& line = lettering.EnvelopeLines[std::size_t(i)];
            line.Clear();
            for (const TPoint& p : i == 0 ? look.upper : look.lower)
                line.AddPoint(p.x, p.y);
            line.BuildOutline();
        }
    }
    RenderImages images;
    MakeWhitePicture(lettering, images.Picture);
    RenderLettering(lettering, images);
    return std::move(images.Picture);
}

// Our canvas on a copy of a 24-bit DIB, and back.
Bitmap ToBitmap(const DibImage& image) {
    Bitmap bitmap(DibWidth(image), DibHeight(image));
    for (int y = 0; y < bitmap.Height(); ++y)
        std::memcpy(bitmap.Row(y), image.Row(y), std::size_t(bitmap.Width()) * 3);
    return bitmap;
}

void FromBitmap(const Bitmap& bitmap, DibImage& image) {
    for (int y = 0; y < bitmap.Height(); ++y)
        std::memcpy(image.Row(y), bitmap.Row(y), std::size_t(bitmap.Width()) * 3);
}

DibImage FromBitmap(const Bitmap& bitmap) {
    DibImage image;
    newdib(image, bitmap.Width(), bitmap.Height(), 24, nullptr, 0);
    FromBitmap(bitmap, image);
    return image;
}

void Caption(DibImage& image, const char* text, TRect rect, std::uint32_t align, int height,
             TColor colour, bool bold) {
    Bitmap bitmap = ToBitmap(image);
    LogFont font;
    font.name = "DejaVu Sans";
    font.height = -height;
    font.bold = bold;
    DrawTextBlock(&bitmap, font, colour, text, rect, align | DT_NOPREFIX);
    FromBitmap(bitmap, image);
}

// The pressed look of an image button: the face moved one pixel right and down, a little
// darker, inside a dark sunken edge.
DibImage Pressed(const DibImage& normal) {
    const int w = DibWidth(normal);
    const int h = DibHeight(normal);
    return MakeImage(w, h, [&](int x, int y) {
        if (x == 0 || y == 0) return TColor(0x404040);
        if (x == w - 1 || y == h - 1) return TColor(0xE0E0E0);
        const std::uint8_t* p = normal.Row(y - 1) + 3 * (x - 1);
        return RGB(Byte(p[2] * 0.85), Byte(p[1] * 0.85), Byte(p[0] * 0.85));
    });
}

void MakeImageButtons() {
    const DibImage paper = Shipped("tex14-papier.gif", Paper(64, RGB(232, 226, 210)));
    struct Button {
        const char* text;
        TColor letters;
        const char* normal;
        const char* pressed;
    };
    const Button buttons[] = {{"Info", RGB(24, 70, 170), "about.png", "about-down.png"},
                              {"Ende", RGB(176, 28, 28), "end.png", "end-down.png"}};
    for (const Button& b : buttons) {
        Look look;
        look.text = {b.text};
        look.width = 101;
        look.height = 30;
        look.letters = b.letters;
        look.backgroundTexture = &paper;
        look.edgePreset = 3;
        look.framePreset = 2;
        look.upper = {{22, 5}, {79, 5}};
        look.lower = {{22, 25}, {79, 25}};
        const DibImage normal = Render(look);
        Save(normal, b.normal);
        Save(Pressed(normal), b.pressed);
    }
}

void MakeSplash() {
    const DibImage marble = Shipped("tex06-wasser.gif", Marble(128));
    const DibImage gold = Shipped("tex01-gold.gif", Gold(96));
    Look look;
    look.text = {"Zarbo Glyphwerk"};
    look.letterTexture = &gold;
    look.backgroundTexture = &marble;
    look.edgePreset = 3;
    look.shadowPreset = 5;
    look.framePreset = 2;
    look.upper = {{30, 56}, {130, 26}, {340, 26}, {440, 56}};
    look.lower = {{30, 150}, {130, 130}, {340, 130}, {440, 150}};
    DibImage splash = Render(look);
    Caption(splash, "Version 2.1  -  ZEF-LOR", {20, 162, 430, 180}, DT_CENTER, 13, 0xFFFFFF, true);
    Save(splash, "splash.jpg");
}

void MakeProgramPicture() {
    const DibImage wood = Shipped("tex03-holz.gif", Wood(128));
    const DibImage paper = Shipped("tex14-papier.gif", Paper(128, RGB(240, 232, 214)));
    Look look;
    look.text = {"ZEF", "LOR"};
    look.width = 306;
    look.height = 322;
    look.letterTexture = &wood;
    look.backgroundTexture = &paper;
    look.edgePreset = 3;
    look.shadowPreset = 5;
    look.framePreset = 3;
    // Inside the frame's band.
    look.upper = {{44, 46}, {262, 46}};
    look.lower = {{44, 270}, {262, 270}};
    Save(Render(look), "program.jpg");
}

void MakePanelPicture() {
    const DibImage paper = Paper(96, RGB(192, 220, 192));
    Look look;
    look.text = {"Glyphwerk"};
    look.width = 193;
    look.height = 281;
    look.letters = RGB(128, 0, 0);
    look.backgroundTexture = &paper;
    look.edgePreset = 3;
    look.shadowPreset = 0;
    // Read upwards, clear of the title at the top of the panel.
    look.upper = {{54, 270}, {54, 60}};
    look.lower = {{140, 270}, {140, 60}};
    Save(Render(look), "panel.png");
}

// ---------------------------------------------------------------------------------------------
// Gallery thumbnails: every edge, shadow and frame preset rendered once on a sample lettering,
// three times the thumbnail's size, and averaged down to 64 x 32. Each gallery is one strip,
// the pictures side by side in preset order.

constexpr int kThumbWidth = 64;
constexpr int kThumbHeight = 32;
constexpr int kThumbScale = 3;

DibImage Reduced(const DibImage& big, int factor) {
    const int w = DibWidth(big) / factor;
    const int h = DibHeight(big) / factor;
    return MakeImage(w, h, [&](int x, int y) {
        int sum[3] = {0, 0, 0};
        for (int v = 0; v < factor; ++v) {
            const std::uint8_t* row = big.Row(y * factor + v) + 3 * x * factor;
            for (int u = 0; u < factor; ++u)
                for (int k = 0; k < 3; ++k)
                    sum[k] += row[3 * u + k];
        }
        const int n = factor * factor;
        return RGB(Byte(double(sum[2]) / n), Byte(double(sum[1]) / n), Byte(double(sum[0]) / n));
    });
}

void SaveStrip(const std::vector<DibImage>& thumbnails, const char* name) {
    const int count = int(thumbnails.size());
    const DibImage strip = MakeImage(count * kThumbWidth, kThumbHeight, [&](int x, int y) {
        const std::uint8_t* p =
            thumbnails[std::size_t(x / kThumbWidth)].Row(y) + 3 * (x % kThumbWidth);
        return RGB(p[2], p[1], p[0]);
    });
    Save(strip, name);
}

void MakeGalleries() {
    const DibImage gold = Shipped("tex01-gold.gif", Gold(96));
    const DibImage paper = Shipped("tex14-papier.gif", Paper(64, RGB(232, 226, 210)));
    Look sample;
    sample.text = {"Ab"};
    sample.width = kThumbWidth * kThumbScale;
    sample.height = kThumbHeight * kThumbScale;
    sample.bold = true;
    struct Gallery {
        const char* name;
        int count;
        int Look::*preset;
        std::function<void(Look&)> dress;
    };
    const Gallery galleries[] = {
        {"gallery-edge.png", kEdgePresetCount, &Look::edgePreset,
         [&](Look& look) {
             look.letterTexture = &gold;
             look.background = RGB(214, 226, 240);
         }},
        {"gallery-shadow.png", kShadowPresetCount, &Look::shadowPreset,
         [](Look& look) {
             look.letters = RGB(40, 90, 200);
             look.background = RGB(200, 210, 200);
         }},
        {"gallery-frame.png", kFramePresetCount, &Look::framePreset,
         [&](Look& look) {
             look.letters = RGB(40, 90, 200);
             look.backgroundTexture = &paper;
         }},
    };
    for (const Gallery& gallery : galleries) {
        std::vector<DibImage> thumbnails;
        for (int i = 0; i < gallery.count; ++i) {
            Look look = sample;
            gallery.dress(look);
            look.*gallery.preset = i;
            thumbnails.push_back(Reduced(Render(look), kThumbScale));
        }
        SaveStrip(thumbnails, gallery.name);
    }
}

// The cursor of draw mode, 32 x 32 on the transparent colour: a brush leaning to the right,
// its tip at the bottom left (the hot spot, 3 28).
void MakeBrushCursor() {
    Bitmap bitmap(32, 32, PixelFormat::Rgb24, kKey);
    Canvas c(bitmap);
    auto stroke = [&](std::vector<TPoint> points, TColor colour) {
        c.pen = Pen{colour, PenStyle::Solid, PenMode::Copy};
        c.Polyline(points);
    };
    // Handle: a dark outline around a wooden core, from the top right down to the ferrule.
    for (int d = -2; d <= 2; ++d)
        stroke({{28 + d, 2}, {15 + d, 15}}, 0x000000);
    for (int d = -1; d <= 1; ++d)
        stroke({{28 + d, 2}, {15 + d, 15}}, RGB(196, 128, 60));
    // Ferrule.
    for (int d = -3; d <= 3; ++d)
        stroke({{15 + d, 13}, {12 + d, 16}}, 0x000000);
    for (int d = -2; d <= 2; ++d)
        stroke({{15 + d, 13}, {12 + d, 16}}, RGB(200, 200, 210));
    // Bristles, ending in the tip.
    const std::vector<TPoint> tuft = {{8, 16}, {13, 20}, {11, 24}, {6, 27},
                                      {3, 28}, {4, 25},  {6, 21},  {8, 16}};
    stroke(tuft, 0x000000);
    for (int y = 17; y < 27; ++y)
        stroke({{std::max(4, 8 - (y - 17) / 2), y}, {std::min(12, 13 - (y - 20) / 2), y}},
               0x000000);
    Save(FromBitmap(bitmap), "cursor-brush.png");
}

// ---------------------------------------------------------------------------------------------
// Small images, 16 x 16, drawn on our canvas

using Drawing = std::function<void(Canvas&)>;

void Icon(const char* name, const Drawing& draw) {
    Bitmap bitmap(16, 16, PixelFormat::Rgb24, kKey);
    Canvas canvas(bitmap);
    draw(canvas);
    Save(FromBitmap(bitmap), name);
}

void Box(Canvas& c, TRect r, TColor fill, TColor line = 0x000000) {
    c.pen = Pen{line, PenStyle::Solid, PenMode::Copy};
    c.brush = Brush{fill, BrushStyle::Solid};
    c.Rectangle(r.left, r.top, r.right, r.bottom);
}

void Line(Canvas& c, std::vector<TPoint> points, TColor colour) {
    c.pen = Pen{colour, PenStyle::Solid, PenMode::Copy};
    c.Polyline(points);
}

void Letter(Canvas& c, const char* text, TRect r, TColor colour, int height, bool bold = true,
            bool italic = false) {
    LogFont font;
    font.name = "DejaVu Sans";
    font.height = -height;
    font.bold = bold;
    font.italic = italic;
    c.font = font;
    c.fontColor = colour;
    c.DrawText(text, r, DT_CENTER | DT_NOPREFIX);
}

void MakeIcons() {
    const TColor paper = 0xFFFFFF;
    const TColor blue = RGB(40, 90, 200);
    const TColor yellow = RGB(240, 200, 60);
    Icon("tool-new.png", [&](Canvas& c) {
        Box(c, {3, 1, 13, 15}, paper);
        Line(c, {{10, 1}, {12, 3}}, 0x000000);
        Line(c, {{5, 5}, {11, 5}}, blue);
        Line(c, {{5, 8}, {11, 8}}, blue);
        Line(c, {{5, 11}, {9, 11}}, blue);
    });
    Icon("tool-resize.png", [&](Canvas& c) {
        Box(c, {1, 5, 11, 15}, RGB(200, 220, 250));
        Line(c, {{6, 10}, {14, 2}}, 0x000000);
        Line(c, {{9, 2}, {15, 2}}, 0x000000);
        Line(c, {{14, 2}, {14, 8}}, 0x000000);
    });
    Icon("tool-open.png", [&](Canvas& c) {
        Box(c, {1, 4, 13, 14}, yellow);
        Box(c, {1, 3, 6, 5}, yellow);
        c.pen = Pen{0x000000, PenStyle::Solid, PenMode::Copy};
        c.brush = Brush{RGB(250, 225, 120), BrushStyle::Solid};
        const std::vector<TPoint> flap = {{3, 7}, {15, 7}, {13, 14}, {1, 14}, {3, 7}};
        c.Polyline(flap);
    });
    Icon("tool-save.png", [&](Canvas& c) {
        Box(c, {1, 1, 15, 15}, blue);
        Box(c, {4, 1, 12, 7}, paper);
        Box(c, {4, 9, 12, 15}, RGB(60, 60, 70));
        Box(c, {9, 10, 11, 13}, RGB(200, 200, 200), RGB(200, 200, 200));
    });
    Icon("tool-saveas.png", [&](Canvas& c) {
        Box(c, {1, 3, 13, 15}, blue);
        Box(c, {3, 3, 10, 8}, paper);
        Box(c, {3, 10, 10, 15}, RGB(60, 60, 70));
        Line(c, {{8, 13}, {15, 6}}, RGB(180, 40, 40));
        Line(c, {{9, 13}, {15, 7}}, RGB(180, 40, 40));
    });
    Icon("page-make.png", [&](Canvas& c) {
        Box(c, {1, 3, 15, 13}, paper);
        Letter(c, "A", {1, 1, 15, 15}, blue, 11);
        Line(c, {{10, 14}, {15, 9}}, RGB(180, 40, 40));
    });
    Icon("page-result.png", [&](Canvas& c) {
        Box(c, {1, 2, 15, 14}, RGB(150, 200, 250));
        c.pen = Pen{RGB(40, 130, 40), PenStyle::Solid, PenMode::Copy};
        c.brush = Brush{RGB(60, 160, 60), BrushStyle::Solid};
        c.Ellipse(3, 8, 13, 16);
        c.brush = Brush{yellow, BrushStyle::Solid};
        c.pen = Pen{yellow, PenStyle::Solid, PenMode::Copy};
        c.Ellipse(9, 4, 13, 8);
        c.brush.style = BrushStyle::Clear;
        c.pen = Pen{0x000000, PenStyle::Solid, PenMode::Copy};
        c.Rectangle(1, 2, 15, 14);
    });
    Icon("tab-text.png", [&](Canvas& c) { Letter(c, "Ab", {0, 1, 16, 16}, blue, 11); });
    Icon("tab-surface.png", [&](Canvas& c) {
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                Box(c, {1 + 3 * x + x / 2, 1 + 3 * y + y / 2, 5 + 3 * x, 5 + 3 * y},
                    (x + y) % 2 ? yellow : blue, (x + y) % 2 ? yellow : blue);
        c.brush.style = BrushStyle::Clear;
        c.pen = Pen{0x000000, PenStyle::Solid, PenMode::Copy};
        c.Rectangle(0, 0, 16, 16);
    });
    Icon("tab-envelope.png", [&](Canvas& c) {
        for (int d = 0; d < 2; ++d) {
            Line(c, {{1, 7 + d}, {4, 3 + d}, {8, 1 + d}, {12, 3 + d}, {15, 7 + d}}, blue);
            Line(c, {{1, 14 - d}, {4, 11 - d}, {8, 9 - d}, {12, 11 - d}, {15, 14 - d}}, blue);
        }
        Line(c, {{1, 7}, {1, 15}}, 0x000000);
        Line(c, {{15, 7}, {15, 15}}, 0x000000);
    });
    Icon("tab-outline.png", [&](Canvas& c) {
        Line(c, {{0, 5}, {3, 2}, {6, 5}, {9, 8}, {12, 5}, {15, 2}}, blue);
        Line(c, {{0, 12}, {3, 9}, {6, 12}, {9, 15}, {12, 12}, {15, 9}}, RGB(180, 40, 40));
    });
    Icon("tab-edge.png", [&](Canvas& c) {
        Box(c, {1, 1, 15, 15}, RGB(120, 140, 200), RGB(120, 140, 200));
        c.pen = Pen{0xFFFFFF, PenStyle::Solid, PenMode::Copy};
        for (int i = 0; i < 3; ++i) {
            c.MoveTo(1 + i, 14 - i);
            c.LineTo(1 + i, 1 + i);
            c.LineTo(15 - i, 1 + i);
        }
        c.pen = Pen{RGB(30, 40, 90), PenStyle::Solid, PenMode::Copy};
        for (int i = 0; i < 3; ++i) {
            c.MoveTo(14 - i, 1 + i);
            c.LineTo(14 - i, 14 - i);
            c.LineTo(0 + i, 14 - i);
        }
    });
    Icon("tab-shadow.png", [&](Canvas& c) {
        Box(c, {5, 5, 15, 15}, RGB(110, 110, 110), RGB(110, 110, 110));
        Box(c, {1, 1, 11, 11}, yellow);
    });
    Icon("tab-frame.png", [&](Canvas& c) {
        Box(c, {0, 1, 16, 15}, RGB(160, 100, 40));
        Box(c, {3, 4, 13, 12}, paper);
        Letter(c, "A", {3, 3, 13, 13}, blue, 8);
    });
    Icon("www.png", [&](Canvas& c) {
        c.pen = Pen{RGB(20, 60, 150), PenStyle::Solid, PenMode::Copy};
        c.brush = Brush{RGB(120, 180, 250), BrushStyle::Solid};
        c.Ellipse(1, 1, 15, 15);
        c.brush.style = BrushStyle::Clear;
        c.Ellipse(5, 1, 11, 15);
        Line(c, {{1, 8}, {15, 8}}, RGB(20, 60, 150));
        Line(c, {{3, 4}, {13, 4}}, RGB(20, 60, 150));
        Line(c, {{3, 12}, {13, 12}}, RGB(20, 60, 150));
    });
}

}  // namespace
}  // namespace gw

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "Aufruf: glyphwerk-pictures AUSGABEORDNER\n");
        return 2;
    }
    gw::outputFolder = argv[1];
    gw::LoadFontConfigFile(gw::DataFolder() + "glyphwerk-fonts.conf");
    gw::MakeSplash();
    gw::MakeProgramPicture();
    gw::MakePanelPicture();
    gw::MakeImageButtons();
    gw::MakeIcons();
    gw::MakeGalleries();
    gw::MakeBrushCursor();
    return gw::failed ? 1 : 0;
}
