#include "ui/PictureExport.h"

#include <QFileInfo>
#include <QImage>
#include <QLocale>
#include <QMimeData>
#include <algorithm>
#include <cmath>

#include "platform/AllocationLimit.h"
#include "raster/ImageFiles.h"
#include "render/VectorPicture.h"
#include "ui/QtBridge.h"
#include "ui/Tr.h"

namespace gw {

namespace {

struct PictureType {
    const char* description;  // German, shown through the catalogue
    const char* patterns;
    const char* suffix;
    ImageFileType type;
    const char* name;
};

constexpr PictureType kTypes[] = {
    {N_("PNG-Bild"), "*.png", "png", ImageFileType::Png, "PNG"},
    {N_("JPEG-Bild"), "*.jpg *.jpeg", "jpg", ImageFileType::Jpeg, "JPEG"},
    {N_("WebP-Bild"), "*.webp", "webp", ImageFileType::Webp, "WebP"},
    {N_("Windows-Bitmap"), "*.bmp", "bmp", ImageFileType::Bmp, "BMP"},
    {N_("PDF-Dokument"), "*.pdf", "pdf", ImageFileType::Pdf, "PDF"},
    {N_("SVG-Grafik"), "*.svg", "svg", ImageFileType::Svg, "SVG"},
};

// The patterns stay out of the translated description, so no translation can change what the
// dialog lists.
QString FilterOf(const PictureType& type) {
    return QTr(type.description) + QStringLiteral(" (") + QLatin1String(type.patterns) +
           QLatin1Char(')');
}

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
        filters << FilterOf(t);
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
        if (selectedFilter == FilterOf(t)) chosen = &t;
    return {fileName + QLatin1Char('.') + QLatin1String(chosen->suffix), chosen->type};
}

bool HasForeignExtension(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix();
    return !suffix.isEmpty() && !IsOfferedSuffix(suffix);
}

QString PictureFilterOf(ImageFileType type) {
    for (const PictureType& t : kTypes)
        if (t.type == type) return FilterOf(t);
    return FilterOf(kTypes[0]);
}

QString PictureTypeName(ImageFileType type) {
    for (const PictureType& t : kTypes)
        if (t.type == type) return QString::fromLatin1(t.name);
    return {};
}

bool TypeTakesTransparency(ImageFileType type) {
    return type == ImageFileType::Png || type == ImageFileType::Pdf ||
           type == ImageFileType::Webp || type == ImageFileType::Svg;
}

bool IsVectorExport(const ExportOptions& options, ImageFileType type) {
    return type == ImageFileType::Svg ||
           (type == ImageFileType::Pdf && (options.vector || options.outlines));
}

namespace {

// A WebP file has no place for a resolution, and a BMP file always says 72 dpi.
int StoredDpi(int dpi, ImageFileType type) {
    return type == ImageFileType::Webp || type == ImageFileType::Bmp ? 0 : dpi;
}

}  // namespace

int EncoderQuality(const ExportOptions& options, ImageFileType type) {
    if (type == ImageFileType::Jpeg) return options.quality;
    if (type == ImageFileType::Webp && options.lossy) return options.quality;
    return 0;
}

ExportOptions ExportChoices::For(ImageFileType type) const {
    const auto found = options.find(type);
    return found == options.end() ? ExportOptions{} : found->second;
}

void ExportChoices::Choose(ImageFileType type, const ExportOptions& chosen) {
    options[type] = chosen;
    lastType = type;
    if (TypeTakesTransparency(type)) transparent = chosen.transparent;
}

QLocale NumberLocale() {
    return catalogue::CurrentLanguage() == catalogue::Language::English
               ? QLocale(QLocale::English, QLocale::UnitedStates)
               : QLocale(QLocale::German, QLocale::Germany);
}

PrintOptions PrintOptionsOf(const ExportOptions& options) {
    return {options.scale, options.smooth, options.transparent};
}

bool IsScreenPicture(const ExportOptions& options) {
    return options.scale <= 1 && !options.smooth && !options.transparent;
}

QString ExportSizeText(std::int32_t width, std::int32_t height, const ExportOptions& options,
                       ImageFileType type) {
    const std::int64_t w = std::int64_t(width) * options.scale;
    const std::int64_t h = std::int64_t(height) * options.scale;
    // What the file holds decides the size other programs give it.
    const int stored = type == ImageFileType::Bmp ? 72 : StoredDpi(options.dpi, type);
    const int dpi = stored > 0 ? stored : int(kPrintPixelsPerInch);
    const QLocale numbers = NumberLocale();
    const auto cm = [&](std::int64_t pixels) {
        return numbers.toString(double(pixels) * 2.54 / dpi, 'f', 2);
    };
    const QString pixels = QTr("%1 × %2 Pixel").arg(w).arg(h);
    const QString size = QTr("%1 × %2 cm bei %3 dpi").arg(cm(w), cm(h)).arg(dpi);
    if (IsVectorExport(options, type)) {
        // A vector page has the picture's own size whatever the scale: the scale only sharpens
        // the raster layers laid into it.
        const auto mm = [&](std::int32_t pixels) {
            return numbers.toString(double(pixels) * 25.4 / dpi, 'f', 1);
        };
        const QString page = QTr("%1 × %2 cm bei %3 dpi").arg(cm(width), cm(height)).arg(dpi);
        if (options.outlines)
            return QTr("Umrisse in mm bei %1 dpi, %2 × %3 mm").arg(dpi).arg(mm(width), mm(height));
        if (type == ImageFileType::Pdf) return QTr("Vektorgrafik, Seite %1").arg(page);
        if (options.dpi > 0) return QTr("Vektorgrafik, %1").arg(page);
        return QTr("Vektorgrafik, %1 × %2 Pixel, keine Auflösung in der Datei (%3)")
            .arg(width)
            .arg(height)
            .arg(page);
    }
    switch (type) {
        case ImageFileType::Pdf:
            return QTr("%1, Seite %2").arg(pixels, size);
        case ImageFileType::Bmp:
            return QTr("%1, %2 (fest in BMP-Dateien)").arg(pixels, size);
        case ImageFileType::Webp:
            return QTr("%1, keine Auflösung in WebP-Dateien (%2)").arg(pixels, size);
        default:
            if (stored == 0) return QTr("%1, keine Auflösung in der Datei (%2)").arg(pixels, size);
            return QStringLiteral("%1, %2").arg(pixels, size);
    }
}

bool EncodeExport(const Lettering& lettering, const ExportOptions& options, ImageFileType type,
                  std::vector<std::uint8_t>& bytes, std::string& error) {
    if (IsVectorExport(options, type)) {
        VectorOptions vector{type == ImageFileType::Svg ? VectorFormat::Svg : VectorFormat::Pdf,
                             options.outlines, options.dpi, PrintOptionsOf(options)};
        // A cut file is the bare contours: what the row shows greyed out does not reach it.
        if (options.outlines) vector.print = PrintOptions{};
        return RenderVectorPicture(lettering, vector, bytes, error);
    }
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
        return EncodeScreenPicture(images.Picture, options, type, bytes, error);
    }
    DibImage picture;
    std::vector<std::uint8_t> alpha;
    if (!RenderPrint(lettering, PrintOptionsOf(options), picture, alpha, error)) return false;
    ImageExtras extras;
    extras.dpi = StoredDpi(options.dpi, type);
    extras.quality = EncoderQuality(options, type);
    if (options.transparent) extras.alpha = &alpha;
    return EncodeImage(picture, type, kDefaultQuality, bytes, &error, extras);
}

bool EncodeScreenPicture(const DibImage& picture, const ExportOptions& options, ImageFileType type,
                         std::vector<std::uint8_t>& bytes, std::string& error) {
    ImageExtras extras;
    extras.dpi = StoredDpi(options.dpi, type);
    extras.quality = EncoderQuality(options, type);
    return EncodeImage(picture, type, kDefaultQuality, bytes, &error, extras);
}

QMimeData* ClipboardPicture(const DibImage& shown, const DibImage* withAlpha,
                            const std::vector<std::uint8_t>* alpha, std::string& error) {
    std::vector<std::uint8_t> png;
    ImageExtras extras;
    extras.alpha = withAlpha ? alpha : nullptr;
    if (!EncodeImage(withAlpha ? *withAlpha : shown, ImageFileType::Png, kDefaultQuality, png,
                     &error, extras))
        return nullptr;
    const QImage image = DibToQImage(shown);
    if (image.isNull()) {
        error = kOutOfMemoryMessage;
        return nullptr;
    }
    auto* data = new QMimeData;
    // Programs that ask for a PNG get the opacity; the ordinary image stays as the window shows
    // it, for those that take a picture without one.
    data->setImageData(image);
    data->setData(QStringLiteral("image/png"),
                  QByteArray(reinterpret_cast<const char*>(png.data()), qsizetype(png.size())));
    return data;
}

double PrintedCm(std::int32_t pixels, double dpi) {
    return dpi > 0 ? pixels * 2.54 / dpi : 0;
}

double DpiForCm(std::int32_t pixels, double cm) {
    return cm > 0 ? pixels * 2.54 / cm : 0;
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
