#pragma once
// The outline deformation: rows shifted sideways, then columns up or down, by a sine wave or a
// bounded random walk.

#include <cstdint>
#include <vector>

#include "document/LetteringSettings.h"
#include "platform/Bitmap.h"

namespace gw {

// The generator of the random deformation; nothing else draws from it.
struct DisorbRandom {
    std::uint32_t RandSeed = 1024;
    // 0 .. n - 1: the upper 32 bits of RandSeed x n after RandSeed = RandSeed x 0x08088405 + 1.
    std::uint32_t Random(std::uint32_t n);
};

// The shifts of the row pass (H values) and then of the column pass (W values) for a bitmap of
// W x H, as Disorb applies them. Empty for NoDeform.
// At a scale k above 1 the picture is the 1x one drawn k times larger: the shifts are drawn for
// W / k x H / k and each stretched over k rows or columns, k times as long, so that the random
// walk and the waves keep their shape.
void DisorbShifts(const LetteringSettings& settings, std::int32_t W, std::int32_t H,
                  std::vector<std::int32_t>& rowShifts, std::vector<std::int32_t>& columnShifts,
                  std::int32_t scale = 1);

// Deforms the bitmap in place; uncovered pixels turn white. Restarts the generator at every call,
// so equal settings and sizes deform every bitmap alike.
void Disorb(Bitmap& bitmap, const LetteringSettings& settings, std::int32_t scale = 1);

// Disorb on any picture given by its rows (top first, W pixels of bytesPerPixel bytes each);
// `white` is the byte that uncovered pixels take. Works in place: no copy of the picture.
void DisorbRows(std::uint8_t* const* rows, std::int32_t W, std::int32_t H, int bytesPerPixel,
                std::uint8_t white, const LetteringSettings& settings, std::int32_t scale = 1);

// The same with the shifts from DisorbShifts for W x H, so pictures deformed alike share them.
// Shifts of other counts (NoDeform's empty ones) leave the picture as it is.
void DisorbRows(std::uint8_t* const* rows, std::int32_t W, std::int32_t H, int bytesPerPixel,
                std::uint8_t white, const std::vector<std::int32_t>& rowShifts,
                const std::vector<std::int32_t>& columnShifts);

// DisorbRows copies with 64-byte vectors where the processor has them; the tests turn that off to
// hold the other way to the same pixels. Not for use while pictures are deformed.
void DisorbAllowBlocks(bool allow);

}  // namespace gw
