#pragma once
// The result page's commands that take the picture out of the program: the file types of
// "Bild speichern unter...", the options an export adds to the picture, and the place and render
// scale of the picture on a printed page.

#include <QLocale>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "document/Lettering.h"
#include "raster/DibImage.h"
#include "raster/DibService.h"
#include "render/Pipeline.h"

class QMimeData;

namespace gw {

// The save dialog's filters, Qt form: PNG first, then JPEG, WebP, BMP, PDF and SVG.
QString PictureSaveFilter();

struct ExportTarget {
    QString fileName;
    ImageFileType type = ImageFileType::Png;
};

// The file and its type: an extension of an offered type (.png, .jpg, .jpeg, .webp, .bmp, .pdf,
// .svg, any case) decides; otherwise the chosen filter does, and its extension is appended.
ExportTarget ExportTargetFor(const QString& fileName, const QString& selectedFilter);

// The file name has an extension, but none of an offered type ("bild.gif"): the chosen type's
// extension would be appended to it, which the user should hear of first.
bool HasForeignExtension(const QString& fileName);

// The name of a type as the question about a foreign extension uses it ("PNG", "PDF").
QString PictureTypeName(ImageFileType type);

// How sizes and resolutions are written in the chosen language: a decimal point in English, a
// comma in German.
QLocale NumberLocale();

// The size of a picture on a screen, and so its printed size unless the user chooses another.
inline constexpr double kPrintPixelsPerInch = 96;

// The JPEG quality of a file written without a choice.
inline constexpr int kDefaultQuality = 92;

// What the options row of the save dialog adds to the picture; kept by the window for the
// session, never part of a document.
struct ExportOptions {
    std::int32_t scale = 1;  // 1 .. kMaxRenderScale
    bool smooth = false;
    bool transparent = false;
    int dpi = 0;  // 0: none given; the file then carries none and a PDF page takes 96
    int quality = kDefaultQuality;  // of JPEG, and of WebP when it is lossy
    bool lossy = false;             // WebP only: lossy at `quality` instead of lossless
    // SVG and PDF: only the letters' contours as a cut file, in millimetres, without scale,
    // smoothing or background.
    bool outlines = false;
    bool vector = false;  // PDF only: letters as paths instead of today's raster page
};

// The file is written by the vector render: every SVG, and a PDF asked for as vector graphic or
// as outlines.
bool IsVectorExport(const ExportOptions& options, ImageFileType type);

// The quality the encoder is given for a file of that type: JPEG's always, WebP's only when it is
// lossy, none (0) for every other type.
int EncoderQuality(const ExportOptions& options, ImageFileType type);

// What the user chose in the save dialog during the session, never part of a document: the
// options of each file type on their own (transparency chosen for PNG stays on for PNG whatever
// was saved in between), the type saved last, and the printed size, which is the print's own.
struct ExportChoices {
    std::map<ImageFileType, ExportOptions> options;
    ImageFileType lastType = ImageFileType::Png;
    double printDpi = kPrintPixelsPerInch;  // every session starts with the size on a 96-dpi screen
    // "Hintergrund transparent" as last saved with a type that takes it; the clipboard follows.
    bool transparent = false;

    ExportOptions For(ImageFileType type) const;
    // The options a file of that type was saved with; that type is the next dialog's first.
    void Choose(ImageFileType type, const ExportOptions& chosen);
};

// Only PNG, PDF, WebP and SVG carry an opacity.
bool TypeTakesTransparency(ImageFileType type);

// The options as the engine takes them.
PrintOptions PrintOptionsOf(const ExportOptions& options);
// The plain picture, the one the window shows: no scale, no smoothing, no transparency.
bool IsScreenPicture(const ExportOptions& options);

// "900 × 400 Pixel, 23,81 × 10,58 cm bei 96 dpi": what a file of that type written with the
// options holds for a picture of width x height pixels, and the size the resolution it stores
// gives (none, then said so with the size at 96 dpi; BMP's fixed 72; a PDF's page).
QString ExportSizeText(std::int32_t width, std::int32_t height, const ExportOptions& options,
                       ImageFileType type = ImageFileType::Png);

// The filter of "Bild speichern unter..." that offers the type.
QString PictureFilterOf(ImageFileType type);

// The picture file exactly as glyphwerk-render writes it with the same options: the render of
// the lettering for export, encoded. False with the engine's German message.
bool EncodeExport(const Lettering& lettering, const ExportOptions& options, ImageFileType type,
                  std::vector<std::uint8_t>& bytes, std::string& error);
// The same for a picture already rendered without options (the window's own); of the options
// only the resolution and the quality count.
bool EncodeScreenPicture(const DibImage& picture, const ExportOptions& options, ImageFileType type,
                         std::vector<std::uint8_t>& bytes, std::string& error);

// The picture as the clipboard takes it: the ordinary image, the one the window shows, and
// beside it `image/png`: that picture, or the transparent render `withAlpha` with its opacity
// `alpha` (one byte a pixel, rows from the top) when given. Null, with the encoder's German
// message, when the PNG cannot be made.
QMimeData* ClipboardPicture(const DibImage& shown, const DibImage* withAlpha,
                            const std::vector<std::uint8_t>* alpha, std::string& error);

// Printed at `dpi` a picture of that many pixels is this many cm long, and the other way round.
double PrintedCm(std::int32_t pixels, double dpi);
double DpiForCm(std::int32_t pixels, double cm);

// The picture prints at its resolution (96 pixels an inch when none is given), smaller when that
// does not fit the printable area (keeping its aspect), and centred on that area. Sizes and the
// result are in printer pixels; `printerDpi` is the printer's resolution.
QRectF PrintRect(QSizeF picturePixels, QSizeF printableArea, double printerDpi,
                 double pictureDpi = kPrintPixelsPerInch);

// The scale a print is rendered at so that each printed picture pixel gets at least one printer
// pixel: the printed pixels per picture pixel rounded up, at most kMaxRenderScale, and never
// more than the lettering allows smooth. 0 when not even scale 1 can be smoothed.
std::int32_t PrintScale(const Lettering& lettering, double printerPixelsPerPicturePixel);

}  // namespace gw
