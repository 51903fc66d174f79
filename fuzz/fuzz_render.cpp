// Renders a whole lettering from arbitrary bytes: a small picture, every effect, every setting of
// the table at a value the bytes choose, the text from what is left. Whatever the settings, the
// render must finish inside its buffers with a picture of the asked size.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "document/BuiltinTextures.h"
#include "document/Lettering.h"
#include "document/PictureSize.h"
#include "document/SettingsTable.h"
#include "raster/DibService.h"
#include "render/Pipeline.h"
#include "render/Presets.h"

namespace {

class Bytes {
  public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Next() { return pos_ < size_ ? data_[pos_++] : 0; }
    // A value from minimum to maximum, in 256 steps.
    double Between(double minimum, double maximum) {
        return minimum + (maximum - minimum) * Next() / 255.0;
    }
    std::string Rest() {
        const std::size_t n = std::min<std::size_t>(size_ - pos_, 24);
        std::string text(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return text;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    gw::Lettering lettering;
    gw::InitStartState(lettering);
    // Small pictures keep a run short; the lines scale along, as with the size dialog.
    gw::ResizeLettering(lettering, 10 + in.Next() % 90, 10 + in.Next() % 60, true);
    gw::LetteringSettings& s = lettering.settings;
    gw::ApplyEdgePreset(s, in.Next() % gw::kEdgePresetCount);
    gw::ApplyShadowPreset(s, in.Next() % gw::kShadowPresetCount);
    gw::ApplyFramePreset(s, in.Next() % gw::kFramePresetCount);
    gw::ApplyEnvelopePreset(lettering, in.Next() % gw::kEnvelopePresetCount);
    // Every row by its kind and range, so a new setting is reached with no edit here: a radio
    // group as one choice among its buttons, a list by its index, a colour of three bytes.
    for (const gw::SettingInfo& info : gw::SettingsTable()) {
        const std::uint8_t choice = in.Next();
        if (choice < 64) continue;  // keeps what the presets gave
        double v = 0;
        switch (info.kind) {
            case gw::SettingKind::Radio: {
                const std::span<const gw::SettingInfo> group = gw::RadioGroup(info);
                if (&group.front() == &info) group[in.Next() % group.size()].set(s, 1);
                continue;
            }
            case gw::SettingKind::Check:
                v = in.Next() & 1;
                break;
            case gw::SettingKind::List:
                v = info.minimum + in.Next() % int(info.maximum - info.minimum + 1);
                break;
            case gw::SettingKind::Colour:
                for (int shift = 0; shift < 24; shift += 8)
                    v += double(in.Next() << shift);
                break;
            case gw::SettingKind::IntegerSpin:
            case gw::SettingKind::DecimalSpin:
                v = in.Between(info.minimum, info.maximum);
                break;
        }
        info.set(s, gw::ClampSettingValue(info, v));
    }
    s.Memo1 = gw::SplitTextLines(in.Rest());

    // Plain stand-ins for the textures: the surfaces need something to tile.
    for (gw::DibImage* texture : {&lettering.TextTexture, &lettering.BackgroundTexture}) {
        gw::newdib(*texture, 7, 5, 24, nullptr, 0);
        for (std::size_t i = 0; i < gw::DibImageSize(*texture); ++i)
            texture->Bits[i] = std::uint8_t(i * 37);
    }

    gw::RenderImages images;
    gw::MakeWhitePicture(lettering, images.Picture);
    gw::RenderLettering(lettering, images);
    if (gw::DibWidth(images.Picture) != lettering.width ||
        gw::DibHeight(images.Picture) != lettering.height)
        __builtin_trap();
    return 0;
}
