#pragma once
// Paint and click of a thumbnail gallery: the pictures of an image list laid out in a paint box
// by GalleryLayout, the selection marked with a focus rectangle. The envelope, edge, shadow and
// frame galleries are all made this way.

#include <cstdint>

#include "editing/Gallery.h"

namespace gw {

class TImageList;
class TPaintBox;

// The layout for the box as it is now.
GalleryLayout GalleryLayoutOf(const TPaintBox& box, const TImageList& images);
// The box takes the width of its columns; every paint and every click does this first.
GalleryLayout FitGallery(TPaintBox& box, const TImageList& images);
// Draws every picture into its cell and the focus rectangle on the selected cell.
void PaintGallery(TPaintBox& box, const TImageList& images, std::int32_t selected);
// The cell a click at (x, y) hits, -1 for none.
std::int32_t GalleryClick(TPaintBox& box, const TImageList& images, std::int32_t x, std::int32_t y);

}  // namespace gw
