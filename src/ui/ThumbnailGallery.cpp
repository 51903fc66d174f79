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

void DrawFocusCell(Canvas& canvas, const TRect& cell) {
    canvas.brush = Brush{kFocusCell, BrushStyle::Solid};
    canvas.FrameRect({cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1});
    canvas.FrameRect({cell.left + 2, cell.top + 2, cell.right - 2, cell.bottom - 2});
}

void PaintGallery(TPaintBox& box, const TImageList& images, std::int32_t selected,
                  std::int32_t focusCell, const std::vector<Bitmap>* live) {
    const GalleryLayout layout = FitGallery(box, images);
    Canvas& canvas = box.canvas();
    canvas.brush = Brush{kWorkspace, BrushStyle::Solid};
    canvas.FillRect({0, 0, box.bitmap().Width(), box.bitmap().Height()});
    if (layout.Rows() <= 0) return;
    const bool useLive = live && std::int32_t(live->size()) == layout.count;
    for (std::int32_t i = 0; i < layout.count; ++i) {
        const TRect cell = layout.Cell(i);
        if (useLive) {
            canvas.BitBlt(cell.left, cell.top, layout.cellWidth, layout.cellHeight,
                          (*live)[std::size_t(i)], 0, 0, SRCCOPY);
        } else {
            images.Draw(canvas, i, cell.left, cell.top);
        }
    }
    if (selected >= 0 && selected < layout.count) canvas.DrawFocusRect(layout.Cell(selected));
    if (focusCell >= 0 && focusCell < layout.count) DrawFocusCell(canvas, layout.Cell(focusCell));
}

std::int32_t GalleryClick(TPaintBox& box, const TImageList& images, std::int32_t x,
                          std::int32_t y) {
    return FitGallery(box, images).HitTest(x, y);
}

}  // namespace gw
