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
    // Thumbnails of width x height in the window's units, each held with `scale` pixels a unit
    // in both directions, so a screen of that pixel ratio shows them sharp.
    TImageList(std::int32_t width, std::int32_t height, std::int32_t scale = 1)
        : width_(width), height_(height), scale_(scale < 1 ? 1 : scale) {}

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::int32_t Scale() const { return scale_; }
    std::int32_t Count() const { return std::int32_t(images_.size()); }

    // Takes a picture of the list's size in pixels; another size is cut or padded white.
    void Add(const Bitmap& image);
    // Takes the pictures of a strip laid side by side, left to right, one unit a pixel; a strip
    // too short for the count is padded with white pictures, so the list always holds `count`.
    void AddStrip(const QImage& strip, std::int32_t count);

    const Bitmap& Image(std::int32_t i) const { return images_[std::size_t(i)]; }
    // Copies picture i to (x, y) in pixels; an index outside the list draws nothing.
    void Draw(Canvas& canvas, std::int32_t i, std::int32_t x, std::int32_t y) const;

  private:
    std::int32_t width_;
    std::int32_t height_;
    std::int32_t scale_;
    std::vector<Bitmap> images_;
};

}  // namespace gw
