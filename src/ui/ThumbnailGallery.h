#pragma once
// Paint and click of a thumbnail gallery: the pictures of an image list laid out in a paint box
// by GalleryLayout, the selection marked with a focus rectangle. The envelope, edge, shadow and
// frame galleries are all made this way.

#include <cstdint>
#include <vector>

#include "editing/Gallery.h"
#include "platform/Canvas.h"

namespace gw {

class TImageList;
class TPaintBox;

// The layout for the box as it is now.
GalleryLayout GalleryLayoutOf(const TPaintBox& box, const TImageList& images);
// The box takes the width of its columns; every paint and every click does this first.
GalleryLayout FitGallery(TPaintBox& box, const TImageList& images);
// Draws every picture into its cell, the focus rectangle on the selected cell and, when the box
// has the keyboard focus, the focus cell's frame (focusCell -1 for none). Live pictures, one for
// every cell, take the place of the list's.
void PaintGallery(TPaintBox& box, const TImageList& images, std::int32_t selected,
                  std::int32_t focusCell = -1, const std::vector<Bitmap>* live = nullptr);
// The keyboard's focus cell: a two-pixel frame in the highlight colour just inside the cell, so
// it shows beside the dotted rectangle of the selection; `scale` pixels a unit make it as thick.
void DrawFocusCell(Canvas& canvas, const TRect& cell, std::int32_t scale = 1);
// The cell a click at (x, y) hits, -1 for none.
std::int32_t GalleryClick(TPaintBox& box, const TImageList& images, std::int32_t x, std::int32_t y);

}  // namespace gw
