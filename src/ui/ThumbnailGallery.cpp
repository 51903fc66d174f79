#include "ui/ThumbnailGallery.h"

#include "ui/ImageList.h"
#include "ui/PaintBox.h"

namespace gw {

namespace {

constexpr TColor kWorkspace = 0x808080;
constexpr TColor kFocusCell = RGB(0, 120, 215);

}  // namespace

GalleryLayout GalleryLayoutOf(const TPaintBox& box, const TImageList& images) {
    GalleryLayout layout;
    layout.cellWidth = images.Width();
    layout.cellHeight = images.Height();
    layout.count = images.Count();
    layout.boxHeight = box.height();
    return layout;
}

GalleryLayout FitGallery(TPaintBox& box, const TImageList& images) {
    const GalleryLayout layout = GalleryLayoutOf(box, images);
    if (box.width() != layout.Width()) box.resize(layout.Width(), box.height());
    return layout;
}

void DrawFocusCell(Canvas& canvas, const TRect& cell, std::int32_t scale) {
    canvas.brush = Brush{kFocusCell, BrushStyle::Solid};
    for (std::int32_t inset = 1; inset <= 2 * scale; ++inset)
        canvas.FrameRect(
            {cell.left + inset, cell.top + inset, cell.right - inset, cell.bottom - inset});
}

void PaintGallery(TPaintBox& box, const TImageList& images, std::int32_t selected,
                  std::int32_t focusCell, const std::vector<Bitmap>* live) {
    const GalleryLayout layout = FitGallery(box, images);
    // The layout is in the box's units; the thumbnails and the marks are drawn in its pixels.
    const std::int32_t scale = images.Scale();
    box.SetPixelScale(scale);
    const auto pixels = [&layout, scale](std::int32_t i) {
        const TRect cell = layout.Cell(i);
        return TRect{cell.left * scale, cell.top * scale, cell.right * scale, cell.bottom * scale};
    };
    Canvas& canvas = box.canvas();
    canvas.brush = Brush{kWorkspace, BrushStyle::Solid};
    canvas.FillRect({0, 0, box.bitmap().Width(), box.bitmap().Height()});
    if (layout.Rows() <= 0) return;
    // Live pictures made for another pixel ratio wait for the next set; the drawn ones stand in.
    const bool useLive = live && layout.count > 0 && std::int32_t(live->size()) == layout.count &&
                         (*live)[0].Width() == layout.cellWidth * scale;
    for (std::int32_t i = 0; i < layout.count; ++i) {
        const TRect cell = pixels(i);
        if (useLive) {
            canvas.BitBlt(cell.left, cell.top, layout.cellWidth * scale, layout.cellHeight * scale,
                          (*live)[std::size_t(i)], 0, 0, SRCCOPY);
        } else {
            images.Draw(canvas, i, cell.left, cell.top);
        }
    }
    if (selected >= 0 && selected < layout.count) canvas.DrawFocusRect(pixels(selected));
    if (focusCell >= 0 && focusCell < layout.count) DrawFocusCell(canvas, pixels(focusCell), scale);
}

std::int32_t GalleryClick(TPaintBox& box, const TImageList& images, std::int32_t x,
                          std::int32_t y) {
    return FitGallery(box, images).HitTest(x, y);
}

}  // namespace gw
