// Placeholder bodies until the drawing layer is written; replaced as a whole.
#include "platform/Canvas.h"

namespace gw {

Canvas::Canvas(Bitmap& target, int technology) : target_(target), technology_(technology) {}
void Canvas::Rectangle(std::int32_t, std::int32_t, std::int32_t, std::int32_t) {}
void Canvas::FillRect(const TRect&) {}
void Canvas::FrameRect(const TRect&) {}
void Canvas::InvertRect(const TRect&) {}
void Canvas::DrawFocusRect(const TRect&) {}
void Canvas::Ellipse(std::int32_t, std::int32_t, std::int32_t, std::int32_t) {}
void Canvas::MoveTo(std::int32_t x, std::int32_t y) {
    penPos_ = {x, y};
}
void Canvas::LineTo(std::int32_t x, std::int32_t y) {
    penPos_ = {x, y};
}
void Canvas::Polyline(std::span<const TPoint>) {}
void Canvas::BitBlt(std::int32_t, std::int32_t, std::int32_t, std::int32_t, const Bitmap&,
                    std::int32_t, std::int32_t, Rop) {}
void Canvas::Draw(std::int32_t, std::int32_t, const Bitmap&) {}
std::int32_t Canvas::DrawText(std::string_view, TRect&, std::uint32_t) {
    return 0;
}
int Canvas::GetDeviceCaps(int) const {
    return 0;
}
int Canvas::SetStretchBltMode(int mode) {
    const int previous = stretchMode_;
    stretchMode_ = mode;
    return previous;
}
PaletteHandle Canvas::SelectPalette(PaletteHandle palette, bool) {
    const PaletteHandle previous = palette_;
    palette_ = palette;
    return previous;
}
int Canvas::RealizePalette() {
    return 0;
}
int Canvas::StretchDIBits(int, int, int, int, int, int, int, int, const void*, const BitmapInfo&,
                          std::uint32_t, Rop) {
    return GDI_ERROR;
}
int Canvas::SetDIBitsToDevice(int, int, int, int, int, int, int, int, const void*,
                              const BitmapInfo&, std::uint32_t) {
    return 0;
}
std::unique_ptr<Bitmap> Canvas::CreateCompatibleBitmap(int, int) {
    return nullptr;
}
bool Canvas::StretchBlt(int, int, int, int, const Bitmap&, int, int, int, int, Rop) {
    return false;
}

int GetDIBits(const Bitmap&, int, int, void*, const BitmapInfo&, std::uint32_t) {
    return 0;
}
int SetDIBits(Bitmap&, int, int, const void*, const BitmapInfo&, std::uint32_t) {
    return 0;
}

}  // namespace gw
