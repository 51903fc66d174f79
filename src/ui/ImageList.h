#pragma once
// An image list: thumbnails of one size, drawn into a canvas by index. The galleries hold their
// pictures in one each.

#include <cstdint>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

class QImage;

namespace gw {

class TImageList {
  public:
    TImageList(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::int32_t Count() const { return std::int32_t(images_.size()); }

    // Takes a picture of the list's size; another size is cut or padded white.
    void Add(const Bitmap& image);
    // Takes the pictures of a strip laid side by side, left to right; a strip too short for the
    // count is padded with white pictures, so the list always holds `count`.
    void AddStrip(const QImage& strip, std::int32_t count);

    const Bitmap& Image(std::int32_t i) const { return images_[std::size_t(i)]; }
    // Copies picture i to (x, y); an index outside the list draws nothing.
    void Draw(Canvas& canvas, std::int32_t i, std::int32_t x, std::int32_t y) const;

  private:
    std::int32_t width_;
    std::int32_t height_;
    std::vector<Bitmap> images_;
};

}  // namespace gw
