#pragma once
// The result page's commands that take the picture out of the program: the file types of
// "Bild speichern unter..." and the place of the picture on a printed page.

#include <QRectF>
#include <QSizeF>
#include <QString>

#include "raster/DibService.h"

namespace gw {

// The save dialog's filters, Qt form: PNG first, then JPEG and BMP.
QString PictureSaveFilter();

struct ExportTarget {
    QString fileName;
    ImageFileType type = ImageFileType::Png;
};

// The file and its type: an extension of an offered type (.png, .jpg, .jpeg, .bmp, any case)
// decides; otherwise the chosen filter does, and its extension is appended.
ExportTarget ExportTargetFor(const QString& fileName, const QString& selectedFilter);

// The picture prints as large as it shows on a screen of 96 pixels an inch, smaller when that
// does not fit the printable area (keeping its aspect), and centred on that area. Sizes and the
// result are in printer pixels; `printerDpi` is the printer's resolution.
inline constexpr double kPrintPixelsPerInch = 96;
QRectF PrintRect(QSizeF picturePixels, QSizeF printableArea, double printerDpi);

}  // namespace gw
