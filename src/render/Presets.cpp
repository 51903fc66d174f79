#include "render/Presets.h"

#include <algorithm>

#include "platform/Catalogue.h"

namespace gw {

namespace {

// The presets' names as the catalogue knows them: the German names of the tables the galleries
// and the command line share, marked here and kept the same as those.
constexpr std::string_view kEnvelopeNamesForTheCatalogue[] = {
    N_("Gerade"),        N_("Steigend"), N_("Fahne"),    N_("Fallend"),  N_("Keil"),
    N_("Trompete"),      N_("Zickzack"), N_("Welle"),    N_("Dach"),     N_("Taille"),
    N_("Bauch"),         N_("Tal"),      N_("Bogen"),    N_("Fass"),     N_("Wanne"),
    N_("Regenbogen"),    N_("Kuppe"),    N_("Schale"),   N_("Kreis"),    N_("Spirale"),
    N_("Kelch"),         N_("Verdreht"), N_("Trichter"), N_("Pyramide"), N_("Linksgedreht"),
    N_("Rechtsgedreht"), N_("Treppe")};
constexpr std::string_view kEdgeNamesForTheCatalogue[] = {
    N_("Keine"), N_("Schmal"), N_("Grell"),  N_("Konvex"),  N_("Konkav"), N_("Linear"),
    N_("Stufe"), N_("Relief"), N_("Gravur"), N_("Facette"), N_("Wulst")};
constexpr std::string_view kShadowNamesForTheCatalogue[] = {
    N_("Keiner"), N_("Hart"),   N_("Weich"),    N_("Oben"),
    N_("Schein"), N_("Dunkel"), N_("Leuchten"), N_("Diagonal")};
constexpr std::string_view kFrameNamesForTheCatalogue[] = {N_("Keiner"), N_("Farbig"), N_("Knopf"),
                                                           N_("Kissen"), N_("Platte")};
static_assert(std::ranges::equal(kEnvelopeNamesForTheCatalogue, kEnvelopePresetNames));
static_assert(std::ranges::equal(kEdgeNamesForTheCatalogue, kEdgePresetNames));
static_assert(std::ranges::equal(kShadowNamesForTheCatalogue, kShadowPresetNames));
static_assert(std::ranges::equal(kFrameNamesForTheCatalogue, kFramePresetNames));

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

// The German names and, for the command line in either language, the English ones.
int FindPresetName(std::span<const std::string_view> names, std::string_view name) {
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (std::ranges::equal(names[i], name, {}, lower, lower)) return static_cast<int>(i);
    }
    // The German names come first: a word that is one preset's German name and another's English
    // one names the German.
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string_view english = catalogue::English(names[i].data());
        if (std::ranges::equal(english, name, {}, lower, lower)) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace gw
