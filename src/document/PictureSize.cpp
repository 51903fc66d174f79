#include "document/PictureSize.h"

#include <cmath>
#include <limits>

#include "platform/ExactMath.h"

namespace gw {

std::int32_t SizeFieldValue(long double value) {
    if (std::isnan(value)) return kMinPictureSide;
    const long double rounded = std::nearbyint(value);
    if (rounded < kMinPictureSide) return kMinPictureSide;
    if (rounded > kMaxPictureSide) return kMaxPictureSide;
    return static_cast<std::int32_t>(rounded);
}

std::int32_t HeightForWidth(long double width, std::int32_t W0, std::int32_t H0) {
    if (W0 <= 0) return SizeFieldValue(width);
    return SizeFieldValue(width * H0 / W0);
}

std::int32_t WidthForHeight(long double height, std::int32_t W0, std::int32_t H0) {
    if (H0 <= 0) return SizeFieldValue(height);
    return SizeFieldValue(height * W0 / H0);
}

TPoint ResizedPoint(TPoint p, std::int32_t W0, std::int32_t H0, std::int32_t width,
                    std::int32_t height) {
    // The quotients are taken in extended precision and held as doubles.
    const double fx = static_cast<double>(static_cast<long double>(width) / W0);
    const double fy = static_cast<double>(static_cast<long double>(height) / H0);
    // Points may lie far outside the picture, so the product is held within 32 bits.
    return {TruncSaturated(static_cast<long double>(p.x) * fx),
            TruncSaturated(static_cast<long double>(p.y) * fy)};
}

void ResizeLettering(Lettering& lettering, std::int32_t width, std::int32_t height,
                     bool scaleLines) {
    width = SizeFieldValue(width);
    height = SizeFieldValue(height);
    const std::int32_t W0 = lettering.width;
    const std::int32_t H0 = lettering.height;
    lettering.width = width;
    lettering.height = height;
    if (!scaleLines || W0 <= 0 || H0 <= 0) return;
    for (TLine& line : lettering.EnvelopeLines) {
        for (std::int32_t i = 0; i < line.PointCount(); ++i) {
            const TPoint p = ResizedPoint(line.GetPoint(i), W0, H0, width, height);
            line.SetPoint(i, p.x, p.y);
        }
    }
    BuildBoundaryOutlines(lettering);
}

}  // namespace gw
