#pragma once
// Crossing from our raster layer to Qt: colours, bitmaps and DIBs become QColor and QImage.

#include <QColor>
#include <QImage>
#include <QString>
#include <string>
#include <string_view>

#include "platform/Bitmap.h"
#include "platform/Geometry.h"
#include "raster/DibImage.h"

namespace gw {

QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);

// A top-down copy of the bitmap's pixels (monochrome bitmaps come out black and white).
QImage ToQImage(const Bitmap& bitmap);

// A 24-bit bitmap of the image's pixels; transparent pixels come out as they are stored, their
// alpha dropped.
Bitmap FromQImage(const QImage& image);

// The DIB drawn 1:1 through DrawDib into a bitmap of its size; a null image for an empty DIB.
QImage DibToQImage(const DibImage& dib);

inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
inline std::string ToStdString(const QString& text) {
    return text.toStdString();
}

// An open-dialog filter of the DIB service ("Description|*.a;*.b|...") in Qt's form
// ("Description (*.a *.b);;...").
QString QtFileFilter(std::string_view pipeFilter);

}  // namespace gw
