#include "ui/ImageList.h"

#include <QImage>

#include "ui/QtBridge.h"

namespace gw {

void TImageList::Add(const Bitmap& image) {
    Bitmap fitted(width_ * scale_, height_ * scale_);
    Canvas canvas(fitted);
    canvas.BitBlt(0, 0, fitted.Width(), fitted.Height(), image, 0, 0, SRCCOPY);
    images_.push_back(std::move(fitted));
}

void TImageList::AddStrip(const QImage& strip, std::int32_t count) {
    // A drawn strip has one pixel a unit; on a finer screen each pixel becomes a square block,
    // which keeps its edges as crisp as they were drawn.
    const Bitmap all =
        FromQImage(scale_ == 1 ? strip
                               : strip.scaled(strip.size() * scale_, Qt::IgnoreAspectRatio,
                                              Qt::FastTransformation));
    const std::int32_t w = width_ * scale_;
    const std::int32_t h = height_ * scale_;
    for (std::int32_t i = 0; i < count; ++i) {
        Bitmap image(w, h);
        Canvas canvas(image);
        canvas.BitBlt(0, 0, w, h, all, i * w, 0, SRCCOPY);
        images_.push_back(std::move(image));
    }
}

void TImageList::Draw(Canvas& canvas, std::int32_t i, std::int32_t x, std::int32_t y) const {
    if (i < 0 || i >= Count()) return;
    const Bitmap& image = images_[std::size_t(i)];
    canvas.BitBlt(x, y, image.Width(), image.Height(), image, 0, 0, SRCCOPY);
}

}  // namespace gw
