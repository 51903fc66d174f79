#pragma once
// The pictures of the window layout (splash, about box, tool bar, tabs, image buttons), compiled
// into the program as Qt resources from data/pictures.

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace gw {

// The picture of that file name in data/pictures ("splash.jpg"); a null pixmap when missing.
QPixmap LayoutPicture(const char* fileName);
QIcon LayoutIcon(const char* fileName);
// The picture as stored, no colour taken for transparent (the gallery thumbnails).
QImage LayoutImage(const char* fileName);

}  // namespace gw
