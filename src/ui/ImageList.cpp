#include "ui/ImageList.h"

#include <QImage>

#include "ui/QtBridge.h"

namespace gw {

void TImageList::Add(const Bitmap& image) {
    Bitmap fitted(width_, height_);
    Canvas canvas(fitted);
    canvas.BitBlt(0, 0, width_, height_, image, 0, 0, SRCCOPY);
    images_.push_back(std::move(fitted));
}

void TImageList::AddStrip(const QImage& strip, std::int32_t count) {
    const Bitmap all = FromQImage(strip);
    for (std::int32_t i = 0; i < count; ++i) {
        Bitmap image(width_, height_);
        Canvas canvas(image);
        canvas.BitBlt(0, 0, width_, height_, all, i * width_, 0, SRCCOPY);
        images_.push_back(std::move(image));
    }
}

void TImageList::Draw(Canvas& canvas, std::int32_t i, std::int32_t x, std::int32_t y) const {
    if (i < 0 || i >= Count()) return;
    canvas.BitBlt(x, y, width_, height_, images_[std::size_t(i)], 0, 0, SRCCOPY);
}

}  // namespace gw
