#pragma once
// The bevel edge: TextImage shaded along rays in the light direction, by each pixel's distance
// from the nearer end of its run of letter pixels.

#include <cmath>
#include <cstdint>
#include <vector>

#include "document/Lettering.h"
#include "raster/DibImage.h"
#include "render/RenderOptions.h"

namespace gw {

// Profil1Box and Profil2Box, the brightness curve across a half of the band.
enum EdgeProfile : std::int32_t {
    kFlach = 0,   // "Flach": no light
    kLinear = 1,  // "Linear": one brightness
    kKonvex = 2,  // "Konvex": brightest at the outer edge
    kKonkav = 3,  // "Konkav": rising across each half
};

struct EdgePassParams {
    double theta = 0;        // light angle in degrees
    double widthFactor = 0;  // KBreiteEd / 200
    double divisor = 1;      // the pass's light divisor
    bool invers = false;
    bool fixedWidth = false;
    std::int32_t scale = 1;  // the fixed width is in pixels of the 1x picture
    EdgeProfile profile1 = kKonvex;
    EdgeProfile profile2 = kKonvex;
    bool background1 = false;
    bool background2 = false;
    bool backgroundIsTexture = false;
    std::uint8_t backgroundRed = 0;
    std::uint8_t backgroundGreen = 0;
    std::uint8_t backgroundBlue = 0;
};

// What a band entry with light L (already limited to 255) does to one channel byte s: the source
// keeps the weight keep = 1 - L / 255, and a lit pixel gains L besides; s x keep (+ L) is taken in
// extended precision and rounded half to even into 0 .. 255. Exact() is that rule as it stands.
// Apply() gives the same byte from doubles: their error is below 2^-30 while 255 |keep| + |L| stays
// below 2^20, so a double further than 2^-20 from a half rounds as the extended value does; nearer
// ones, and tones beyond that bound, take Exact().
class EdgeTone {
  public:
    EdgeTone() : EdgeTone(0.0L) {}
    explicit EdgeTone(long double L);

    long double L() const { return L_; }
    long double keep() const { return keep_; }

    std::uint8_t Exact(std::uint8_t s, bool lit) const;

    // The double form Apply() takes, for loops that shade several channels at once: keep and L
    // as doubles, and whether they may be trusted at all (a rounded value further than
    // kNearHalf from its double is the extended rule's byte).
    bool HasFastForm() const { return nearHalf_ > 0; }
    double FastKeep() const { return fastKeep_; }
    double FastL() const { return fastL_; }
    static constexpr double kNearHalf = 0.5 - 1.0 / 1048576.0;

    std::uint8_t Apply(std::uint8_t s, bool lit) const {
        const double v = double(s) * fastKeep_ + (lit ? fastL_ : 0.0);
        // Adding and taking away 1.5 x 2^52 rounds |v| < 2^51 half to even in the default mode.
        const double r = (v + kRounder) - kRounder;
        if (!(std::fabs(v - r) < nearHalf_)) return Exact(s, lit);
        return r <= 0 ? 0 : r >= 255 ? 255 : static_cast<std::uint8_t>(r);
    }

  private:
    static constexpr double kRounder = 6755399441055744.0;
    long double L_ = 0;
    long double keep_ = 1;
    double fastL_ = 0;
    double fastKeep_ = 1;
    double nearHalf_ = -1;  // below it Apply() trusts the double; -1 sends every byte to Exact()
};

// One pass over TextImage (24 bits, letters on black) with TextMask as the letter shape.
void EdgePass(DibImage& TextImage, const DibImage& TextMask, const DibImage& BackgroundTexture,
              const EdgePassParams& params, const RenderOptions& options = {});

// EdgePass with the letter shape given as one byte a pixel, TextImage's size, rows top first: a
// letter pixel is one whose byte is not 255 (the blue bytes of TextMask, or a monochrome mask).
void EdgePassOnShape(DibImage& TextImage, const std::uint8_t* shape,
                     const DibImage& BackgroundTexture, const EdgePassParams& params,
                     const RenderOptions& options = {});

// EdgePassOnShape's plain twin (see RenderOptions.h): every ray walked whole with its pairs of run
// length and position, every pixel shaded from its profile computed afresh. EdgePassOnShape takes
// it when the options choose the plain stages.
void EdgePassOnShapePlain(DibImage& TextImage, const std::uint8_t* shape,
                          const DibImage& BackgroundTexture, const EdgePassParams& params);

// The passes RenderText runs when KanteCheck is on: three with "3 Lichtstrahlen", else one.
std::vector<EdgePassParams> EdgePasses(const Lettering& lettering, std::int32_t scale = 1);

}  // namespace gw
