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

// A picture button of the bottom bar ("about.png", "about-down.png", "end.png",
// "end-down.png"): the picture itself on an ordinary screen; drawn anew at the screen's scale on
// one of more pixels per point, where the enlarged picture would be blurred, and wherever the
// language's caption is not the stored picture's.
QPixmap PictureButton(const char* fileName, qreal devicePixelRatio);

}  // namespace gw
