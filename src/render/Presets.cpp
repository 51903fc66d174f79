#include "render/Presets.h"

#include <algorithm>

namespace gw {

namespace {

struct EdgeRow {
    bool KanteCheck;
    double KBreiteEd;
    double KLichtEd;
    bool KQualCheck;
    bool KFixedWCheck;
    std::int32_t Profil1Box;
    bool BkGnd1;
    std::int32_t Profil2Box;
    bool BkGnd2;
};

// Profiles: 0 "Flach", 1 "Linear", 2 "Konvex", 3 "Konkav".
constexpr EdgeRow kEdgeRows[kEdgePresetCount] = {
    {false, 100, 100, true, false, 2, false, 2, false},
    {true, 50, 100, false, true, 2, false, 2, false},
    {true, 100, 300, false, false, 2, false, 2, false},
    {true, 100, 100, true, false, 2, false, 2, false},
    {true, 100, 100, true, false, 3, false, 3, false},
    {true, 100, 100, true, false, 1, false, 1, false},
    {true, 100, 100, true, false, 0, false, 1, false},
    {true, 100, 100, true, false, 2, true, 2, true},
    {true, 100, 100, true, false, 3, true, 3, true},
    {true, 100, 100, true, false, 1, true, 1, true},
    {true, 100, 100, true, false, 3, true, 2, true},
};

struct ShadowRow {
    bool SchattenCheck;
    TColor SColorShape;
    double SDeckEd;
    double SWeichEd;
    std::int32_t SRichtBox;  // 0 "0°", 1 "-45°", 2 "45°"
    double SRightEd;
    double SBottomEd;
};

constexpr ShadowRow kShadowRows[kShadowPresetCount] = {
    {false, clBlack, 15, 0, 0, 10, 10}, {true, clBlack, 15, 0, 0, 10, 10},
    {true, clBlack, 15, 5, 0, 10, 10},  {true, clBlack, 100, 2, 0, 10, -10},
    {true, clBlack, 100, 15, 0, 0, 0},  {true, clBlack, 100, 2, 0, 10, 10},
    {true, clWhite, 100, 15, 0, 0, 0},  {true, clBlack, 15, 0, 2, 10, 10},
};

}  // namespace

// A preset's row names every control of its effect but the edge angle and "Invers", which every
// edge preset sets to the common -45 degrees and off.
void ApplyEdgePreset(LetteringSettings& s, int i) {
    if (i < 0 || i >= kEdgePresetCount) return;
    const EdgeRow& row = kEdgeRows[i];
    s.KWinkEd = -45;
    s.Invers1Check = false;
    s.KanteCheck = row.KanteCheck;
    s.KBreiteEd = row.KBreiteEd;
    s.KLichtEd = row.KLichtEd;
    s.KQualCheck = row.KQualCheck;
    s.KFixedWCheck = row.KFixedWCheck;
    s.Profil1Box = row.Profil1Box;
    s.BkGnd1 = row.BkGnd1;
    s.Profil2Box = row.Profil2Box;
    s.BkGnd2 = row.BkGnd2;
}

void ApplyShadowPreset(LetteringSettings& s, int i) {
    if (i < 0 || i >= kShadowPresetCount) return;
    const ShadowRow& row = kShadowRows[i];
    s.SchattenCheck = row.SchattenCheck;
    s.SColorShape = row.SColorShape;
    s.SDeckEd = row.SDeckEd;
    s.SWeichEd = row.SWeichEd;
    s.SRichtBox = row.SRichtBox;
    s.SRightEd = row.SRightEd;
    s.SBottomEd = row.SBottomEd;
}

void ApplyFramePreset(LetteringSettings& s, int i) {
    if (i < 0 || i >= kFramePresetCount) return;
    s.FrameStyle = i;
}

int FindPresetName(std::span<const std::string_view> names, std::string_view name) {
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (std::ranges::equal(names[i], name, {}, lower, lower)) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace gw
