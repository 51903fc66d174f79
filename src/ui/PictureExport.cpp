#include "ui/PictureExport.h"

#include <QFileInfo>
#include <algorithm>

namespace gw {

namespace {

struct PictureType {
    const char* filter;
    const char* suffix;
    ImageFileType type;
};

constexpr PictureType kTypes[] = {
    {"PNG-Bild (*.png)", "png", ImageFileType::Png},
    {"JPEG-Bild (*.jpg *.jpeg)", "jpg", ImageFileType::Jpeg},
    {"Windows-Bitmap (*.bmp)", "bmp", ImageFileType::Bmp},
};

}  // namespace

QString PictureSaveFilter() {
    QStringList filters;
    for (const PictureType& t : kTypes)
        filters << QString::fromUtf8(t.filter);
    return filters.join(QStringLiteral(";;"));
}

ExportTarget ExportTargetFor(const QString& fileName, const QString& selectedFilter) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (const char* offered : {"png", "jpg", "jpeg", "bmp"}) {
        if (suffix != QLatin1String(offered)) continue;
        ExportTarget target{fileName};
        ImageFileTypeFromName(fileName.toStdString(), target.type);
        return target;
    }
    const PictureType* chosen = &kTypes[0];
    for (const PictureType& t : kTypes)
        if (selectedFilter == QString::fromUtf8(t.filter)) chosen = &t;
    return {fileName + QLatin1Char('.') + QLatin1String(chosen->suffix), chosen->type};
}

QRectF PrintRect(QSizeF picturePixels, QSizeF printableArea, double printerDpi) {
    if (picturePixels.isEmpty() || printableArea.isEmpty() || !(printerDpi > 0)) return {};
    const double natural = printerDpi / kPrintPixelsPerInch;
    const double fit = std::min(printableArea.width() / picturePixels.width(),
                                printableArea.height() / picturePixels.height());
    const double scale = std::min(natural, fit);
    const QSizeF size = picturePixels * scale;
    return {(printableArea.width() - size.width()) / 2,
            (printableArea.height() - size.height()) / 2, size.width(), size.height()};
}

}  // namespace gw
