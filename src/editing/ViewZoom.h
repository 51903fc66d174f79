#pragma once
// The zoom of a picture view: the ladder of steps, the mapping between the view's pixels and the
// picture's, and the visible part of a zoomed picture.
//
// Screen pixel X shows the picture pixels of [X / s, (X + 1) / s). A picture point is drawn at
// the screen pixel under the middle of its picture pixel, so at 1:1 both mappings are the
// identity and a point keeps its pixel; a pointer maps back to the picture pixel it is over.

#include <cstdint>

#include "platform/Bitmap.h"
#include "raster/DibImage.h"

namespace gw {

inline constexpr double kZoomSteps[] = {
    1.0 / 64, 1.0 / 48, 1.0 / 32, 1.0 / 24, 1.0 / 16, 1.0 / 12, 1.0 / 8, 1.0 / 6, 1.0 / 4, 1.0 / 3,
    1.0 / 2,  2.0 / 3,  1.0,      1.5,      2.0,      3.0,      4.0,     6.0,     8.0};
inline constexpr double kMinZoom = kZoomSteps[0];
inline constexpr double kMaxZoom = kZoomSteps[std::size(kZoomSteps) - 1];

// The next step of the ladder above or below `scale`; the ends stay where they are. A scale
// between steps (a fitted one) goes to the nearest step in that direction.
double ZoomInStep(double scale);
double ZoomOutStep(double scale);
// The largest scale at which a picture of w x h shows whole in a view of viewW x viewH, no
// smaller than the ladder's foot; never above 1:1, where a small picture is whole already and
// enlarging it by an odd factor would only make its pixels uneven.
double FitZoom(std::int32_t w, std::int32_t h, std::int32_t viewW, std::int32_t viewH);

// The screen length of n picture pixels: every picture pixel shows, if only in part.
std::int32_t ZoomedLength(std::int32_t n, double scale);
// The screen pixel of picture coordinate v, and the picture pixel under screen pixel v.
std::int32_t ToScreen(std::int32_t v, double scale);
std::int32_t ToPicture(std::int32_t v, double scale);
// A hit radius of `screenRadius` screen pixels in picture pixels.
std::int32_t PictureRadius(std::int32_t screenRadius, double scale);

// The part of the zoomed picture whose top left is the screen pixel (x, y), drawn into `part`:
// reduced as the mean of the picture pixels each screen pixel covers, enlarged as blocks of
// whole pixels. Only the picture pixels the part covers are read. What lies beyond the picture
// stays as it is.
void ZoomPicturePart(const DibImage& picture, double scale, std::int32_t x, std::int32_t y,
                     Bitmap& part);

}  // namespace gw
