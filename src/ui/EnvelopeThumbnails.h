#pragma once
// The thumbnails of the envelope gallery, drawn on our canvas from the preset lines themselves,
// so a picture can never disagree with the shape its click gives.

#include "ui/ImageList.h"

namespace gw {

// 27 pictures of 64 x 32 units in preset order, `scale` pixels a unit; the spiral with its start
// value of 1.5 turns.
TImageList MakeEnvelopeThumbnails(std::int32_t scale = 1);

}  // namespace gw
