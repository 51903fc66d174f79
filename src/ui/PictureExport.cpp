#include "ui/PictureExport.h"

#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cmath>

#include "platform/AllocationLimit.h"
#include "raster/ImageFiles.h"

namespace gw {

namespace {

struct PictureType {
    const char* filter;
    const char* suffix;
    ImageFileType type;
    const char* name;
};

constexpr PictureType kTypes[] = {
    {"PNG-Bild (*.png)", "png", ImageFileType::Png, "PNG"},
    {"JPEG-Bild (*.jpg *.jpeg)", "jpg", ImageFileType::Jpeg, "JPEG"},
    {"WebP-Bild (*.webp)", "webp", ImageFileType::Webp, "WebP"},
    {"Windows-Bitmap (*.bmp)", "bmp", ImageFileType::Bmp, "BMP"},
    {"PDF-Dokument (*.pdf)", "pdf", ImageFileType::Pdf, "PDF"},
};

bool IsOfferedSuffix(const QString& suffix) {
    const QString lower = suffix.toLower();
    return lower == QLatin1String("jpeg") ||
           std::any_of(std::begin(kTypes), std::end(kTypes),
                       [&](const PictureType& t) { return lower == QLatin1String(t.suffix); });
}

}  // namespace

QString PictureSaveFilter() {
    QStringList filters;
    for (const PictureType& t : kTypes)
        filters << QString::fromUtf8(t.filter);
    return filters.join(QStringLiteral(";;"));
}

ExportTarget ExportTargetFor(const QString& fileName, const QString& selectedFilter) {
    if (IsOfferedSuffix(QFileInfo(fileName).suffix())) {
        ExportTarget target{fileName};
        ImageFileTypeFromName(fileName.toStdString(), target.type);
        return target;
    }
    const PictureType* chosen = &kTypes[0];
    for (const PictureType& t : kTypes)
        if (selectedFilter == QString::fromUtf8(t.filter)) chosen = &t;
    return {fileName + QLatin1Char('.') + QLatin1String(chosen->suffix), chosen->type};
}

bool HasForeignExtension(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix();
    return !suffix.isEmpty() && !IsOfferedSuffix(suffix);
}

QString PictureTypeName(ImageFileType type) {
    for (const PictureType& t : kTypes)
        if (t.type == type) return QString::fromLatin1(t.name);
    return {};
}

bool TypeTakesTransparency(ImageFileType type) {
    return type == ImageFileType::Png || type == ImageFileType::Pdf || type == ImageFileType::Webp;
}

namespace {

// A WebP file has no place for a resolution; the one chosen stays for printing.
int StoredDpi(int dpi, ImageFileType type) {
    return type == ImageFileType::Webp ? 0 : dpi;
}

}  // namespace

PrintOptions PrintOptionsOf(const ExportOptions& options) {
    return {options.scale, options.smooth, options.transparent};
}

bool IsScreenPicture(const ExportOptions& options) {
    return options.scale <= 1 && !options.smooth && !options.transparent;
}

QString ExportSizeText(std::int32_t width, std::int32_t height, const ExportOptions& options) {
    const std::int64_t w = std::int64_t(width) * options.scale;
    const std::int64_t h = std::int64_t(height) * options.scale;
    const int dpi = options.dpi > 0 ? options.dpi : int(kPrintPixelsPerInch);
    const QLocale german(QLocale::German, QLocale::Germany);
    const auto cm = [&](std::int64_t pixels) {
        return german.toString(double(pixels) * 2.54 / dpi, 'f', 2);
    };
    return QStringLiteral("%1 × %2 Pixel, %3 × %4 cm bei %5 dpi")
        .arg(w)
        .arg(h)
        .arg(cm(w), cm(h))
        .arg(dpi);
}

bool EncodeExport(const Lettering& lettering, const ExportOptions& options, ImageFileType type,
                  std::vector<std::uint8_t>& bytes, std::string& error) {
    if (IsScreenPicture(options)) {
        // The ordinary render, as the window draws it.
        const std::uint64_t failuresAtStart = AllocationFailures();
        RenderImages images;
        MakeWhitePicture(lettering, images.Picture);
        if (images.Picture.Bits) RenderLettering(lettering, images);
        if (!images.Picture.Bits || images.unsmoothed || AllocationFailures() != failuresAtStart) {
            error = kOutOfMemoryMessage;
            return false;
        }
        return EncodeScreenPicture(images.Picture, options.dpi, type, bytes, error);
    }
    DibImage picture;
    std::vector<std::uint8_t> alpha;
    if (!RenderPrint(lettering, PrintOptionsOf(options), picture, alpha, error)) return false;
    ImageExtras extras;
    extras.dpi = StoredDpi(options.dpi, type);
    if (options.transparent) extras.alpha = &alpha;
    return EncodeImage(picture, type, 92, bytes, &error, extras);
}

bool EncodeScreenPicture(const DibImage& picture, int dpi, ImageFileType type,
                         std::vector<std::uint8_t>& bytes, std::string& error) {
    ImageExtras extras;
    extras.dpi = StoredDpi(dpi, type);
    return EncodeImage(picture, type, 92, bytes, &error, extras);
}

QRectF PrintRect(QSizeF picturePixels, QSizeF printableArea, double printerDpi, double pictureDpi) {
    if (picturePixels.isEmpty() || printableArea.isEmpty() || !(printerDpi > 0) ||
        !(pictureDpi > 0))
        return {};
    const double natural = printerDpi / pictureDpi;
    const double fit = std::min(printableArea.width() / picturePixels.width(),
                                printableArea.height() / picturePixels.height());
    const double scale = std::min(natural, fit);
    const QSizeF size = picturePixels * scale;
    return {(printableArea.width() - size.width()) / 2,
            (printableArea.height() - size.height()) / 2, size.width(), size.height()};
}

std::int32_t PrintScale(const Lettering& lettering, double printerPixelsPerPicturePixel) {
    const double wanted = std::ceil(std::max(printerPixelsPerPicturePixel, 1.0) - 1e-9);
    const std::int32_t k = std::int32_t(std::min<double>(kMaxRenderScale, wanted));
    return std::min(k, LargestPrintScale(lettering, true));
}

}  // namespace gw
