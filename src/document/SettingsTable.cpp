#include "document/SettingsTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <limits>
#include <string>

#include "document/ColourNames.h"
#include "platform/Catalogue.h"

namespace gw {
namespace {

using catalogue::Fill;
using catalogue::Tr;

template <auto Member>
double GetValue(const LetteringSettings& s) {
    return static_cast<double>(s.*Member);
}
template <auto Member>
void SetSpin(LetteringSettings& s, double v) {
    s.*Member = v;
}
template <auto Member>
void SetFlag(LetteringSettings& s, double v) {
    s.*Member = v != 0;
}
template <auto Member>
void SetIndex(LetteringSettings& s, double v) {
    s.*Member = static_cast<std::int32_t>(v);
}
template <auto Member>
void SetColour(LetteringSettings& s, double v) {
    s.*Member = static_cast<TColor>(v);
}

// The style buttons are the lettering font's style; the font holds it, once.
double GetBold(const LetteringSettings& s) {
    return s.Font.bold ? 1 : 0;
}
void SetBold(LetteringSettings& s, double v) {
    s.Font.bold = v != 0;
}
double GetItalic(const LetteringSettings& s) {
    return s.Font.italic ? 1 : 0;
}
void SetItalic(LetteringSettings& s, double v) {
    s.Font.italic = v != 0;
}

template <auto Member, int Index>
double GetRadio(const LetteringSettings& s) {
    return static_cast<int>(s.*Member) == Index ? 1 : 0;
}
template <auto Member, int Index>
void SetRadio(LetteringSettings& s, double v) {
    using Enum = std::remove_reference_t<decltype(s.*Member)>;
    if (v != 0) s.*Member = static_cast<Enum>(Index);
}
template <auto Frame, int Index>
double GetSurfaceRadio(const LetteringSettings& s) {
    return static_cast<int>((s.*Frame).kind) == Index ? 1 : 0;
}
template <auto Frame, int Index>
void SetSurfaceRadio(LetteringSettings& s, double v) {
    if (v != 0) (s.*Frame).kind = static_cast<SurfaceKind>(Index);
}
template <auto Frame>
double GetSurfaceColour(const LetteringSettings& s) {
    return static_cast<double>((s.*Frame).color);
}
template <auto Frame>
void SetSurfaceColour(LetteringSettings& s, double v) {
    (s.*Frame).color = static_cast<TColor>(v);
}

using S = LetteringSettings;
using K = SettingKind;
using F = FileField;
using C = Change;
constexpr std::optional<double> kKeep = std::nullopt;
constexpr double kMaxColour = 0xFFFFFF;

// clang-format off
// The undo names are kept German in the history and translated where the window shows them.
const SettingInfo kTable[] = {
    // Text
    {"AusrichtBox", K::List,  0, 2, 0, kKeep, {}, F::Byte, C::AusrichtBox, N_("Ausrichtung"),
     GetValue<&S::AusrichtBox>, SetIndex<&S::AusrichtBox>},
    {"FettBtn",     K::Check, 0, 1, 0, kKeep, {}, F::Flag, C::FontStyle, N_("Fett"), GetBold, SetBold},
    {"KursivBtn",   K::Check, 0, 1, 0, kKeep, {}, F::Flag, C::FontStyle, N_("Kursiv"), GetItalic, SetItalic},

    // Surfaces
    {"SurfaceFrame1.ColorCheck",    K::Radio, 0, 1, 1, 1, "SurfaceFrame1", F::Byte, C::SurfaceKind,
     N_("Textoberfläche"), GetSurfaceRadio<&S::SurfaceFrame1, 0>, SetSurfaceRadio<&S::SurfaceFrame1, 0>},
    {"SurfaceFrame1.Texture0Check", K::Radio, 0, 1, 0, 0, "SurfaceFrame1", F::Byte, C::SurfaceKind,
     N_("Textoberfläche"), GetSurfaceRadio<&S::SurfaceFrame1, 1>, SetSurfaceRadio<&S::SurfaceFrame1, 1>},
    {"SurfaceFrame1.TextureCheck",  K::Radio, 0, 1, 0, 0, "SurfaceFrame1", F::Byte, C::SurfaceKind,
     N_("Textoberfläche"), GetSurfaceRadio<&S::SurfaceFrame1, 2>, SetSurfaceRadio<&S::SurfaceFrame1, 2>},
    {"SurfaceFrame1.Color", K::Colour, 0, kMaxColour, 0xFF0000, 0xFF0000, {}, F::Colour,
     C::SurfaceContent, N_("Textfarbe"),
     GetSurfaceColour<&S::SurfaceFrame1>, SetSurfaceColour<&S::SurfaceFrame1>},
    {"SurfaceFrame2.ColorCheck",    K::Radio, 0, 1, 1, 1, "SurfaceFrame2", F::Byte, C::SurfaceKind,
     N_("Hintergrund"), GetSurfaceRadio<&S::SurfaceFrame2, 0>, SetSurfaceRadio<&S::SurfaceFrame2, 0>},
    {"SurfaceFrame2.Texture0Check", K::Radio, 0, 1, 0, 0, "SurfaceFrame2", F::Byte, C::SurfaceKind,
     N_("Hintergrund"), GetSurfaceRadio<&S::SurfaceFrame2, 1>, SetSurfaceRadio<&S::SurfaceFrame2, 1>},
    {"SurfaceFrame2.TextureCheck",  K::Radio, 0, 1, 0, 0, "SurfaceFrame2", F::Byte, C::SurfaceKind,
     N_("Hintergrund"), GetSurfaceRadio<&S::SurfaceFrame2, 2>, SetSurfaceRadio<&S::SurfaceFrame2, 2>},
    {"SurfaceFrame2.Color", K::Colour, 0, kMaxColour, 0xFFFFFF, 0xFFFFFF, {}, F::Colour,
     C::SurfaceContent, N_("Hintergrundfarbe"),
     GetSurfaceColour<&S::SurfaceFrame2>, SetSurfaceColour<&S::SurfaceFrame2>},

    // Envelope. The editing mode is a tool of the editing view rather than a look of the
    // lettering: stored, but no undo step.
    {"MoveCheck",     K::Radio, 0, 1, 1, kKeep, "EditMode", F::Byte, C::EditMode, {},
     GetRadio<&S::editMode, 0>, SetRadio<&S::editMode, 0>},
    {"EdPointsCheck", K::Radio, 0, 1, 0, kKeep, "EditMode", F::Byte, C::EditMode, {},
     GetRadio<&S::editMode, 1>, SetRadio<&S::editMode, 1>},
    {"DrawFace",      K::Radio, 0, 1, 0, kKeep, "EditMode", F::Byte, C::EditMode, {},
     GetRadio<&S::editMode, 2>, SetRadio<&S::editMode, 2>},
    {"SpiralEd", K::DecimalSpin, 0.6, 10, 1.5, kKeep, {}, F::Float64, C::SpiralEd, N_("Spiralwindungen"),
     GetValue<&S::SpiralEd>, SetSpin<&S::SpiralEd>},

    // Outline deformation
    {"NoDeform",   K::Radio, 0, 1, 1, 1, "Deform", F::Byte, C::DeformMode, N_("Umriß"),
     GetRadio<&S::deform, 0>, SetRadio<&S::deform, 0>},
    {"SinDeform",  K::Radio, 0, 1, 0, 0, "Deform", F::Byte, C::DeformMode, N_("Umriß"),
     GetRadio<&S::deform, 1>, SetRadio<&S::deform, 1>},
    {"RandDeform", K::Radio, 0, 1, 0, 0, "Deform", F::Byte, C::DeformMode, N_("Umriß"),
     GetRadio<&S::deform, 2>, SetRadio<&S::deform, 2>},
    {"StarkEd",  K::IntegerSpin, 1, 100, 20, kKeep, {}, F::Int32, C::DeformValue, N_("Stärke"),
     GetValue<&S::StarkEd>,  SetSpin<&S::StarkEd>},
    {"AnzahlEd", K::IntegerSpin, 1, 100, 5,  kKeep, {}, F::Int32, C::DeformValue, N_("Anzahl"),
     GetValue<&S::AnzahlEd>, SetSpin<&S::AnzahlEd>},

    // 3D edge
    {"KanteCheck",   K::Check, 0, 1, 0, 0,     {}, F::Flag, C::KanteCheck, N_("3D-Kante"),
     GetValue<&S::KanteCheck>, SetFlag<&S::KanteCheck>},
    {"KQualCheck",   K::Check, 0, 1, 1, kKeep, {}, F::Flag, C::EdgeOption, N_("3 Lichtstrahlen"),
     GetValue<&S::KQualCheck>, SetFlag<&S::KQualCheck>},
    {"KFixedWCheck", K::Check, 0, 1, 0, kKeep, {}, F::Flag, C::EdgeOption, N_("Feste Breite"),
     GetValue<&S::KFixedWCheck>, SetFlag<&S::KFixedWCheck>},
    {"Invers1Check", K::Check, 0, 1, 0, kKeep, {}, F::Flag, C::EdgeOption, N_("Invers"),
     GetValue<&S::Invers1Check>, SetFlag<&S::Invers1Check>},
    {"BkGnd1",       K::Check, 0, 1, 0, kKeep, {}, F::Flag, C::EdgeOption, N_("Hintergrund 1. Teil"),
     GetValue<&S::BkGnd1>, SetFlag<&S::BkGnd1>},
    {"BkGnd2",       K::Check, 0, 1, 0, kKeep, {}, F::Flag, C::EdgeOption, N_("Hintergrund 2. Teil"),
     GetValue<&S::BkGnd2>, SetFlag<&S::BkGnd2>},
    {"Profil1Box",   K::List,  0, 3, 2, kKeep, {}, F::Byte, C::EdgeOption, N_("Profil 1. Teil"),
     GetValue<&S::Profil1Box>, SetIndex<&S::Profil1Box>},
    {"Profil2Box",   K::List,  0, 3, 2, kKeep, {}, F::Byte, C::EdgeOption, N_("Profil 2. Teil"),
     GetValue<&S::Profil2Box>, SetIndex<&S::Profil2Box>},
    {"KWinkEd",   K::IntegerSpin, -180, 180, -45, kKeep, {}, F::Int32, C::EdgeValue, N_("Lichtwinkel"),
     GetValue<&S::KWinkEd>,   SetSpin<&S::KWinkEd>},
    {"KBreiteEd", K::IntegerSpin, 1,    100, 100, kKeep, {}, F::Int32, C::EdgeValue, N_("Kantenbreite"),
     GetValue<&S::KBreiteEd>, SetSpin<&S::KBreiteEd>,
     PixelMeasure::FixedEdgeWidth},
    {"KLichtEd",  K::IntegerSpin, 1,    500, 100, kKeep, {}, F::Int32, C::EdgeValue, N_("Lichtstärke"),
     GetValue<&S::KLichtEd>,  SetSpin<&S::KLichtEd>},

    // Shadow
    {"SchattenCheck", K::Check, 0, 1, 0, 0, {}, F::Flag, C::SchattenCheck, N_("Schatten"),
     GetValue<&S::SchattenCheck>, SetFlag<&S::SchattenCheck>},
    {"SColorShape", K::Colour, 0, kMaxColour, 0, kKeep, {}, F::Colour, C::ShadowColour, N_("Schattenfarbe"),
     GetValue<&S::SColorShape>, SetColour<&S::SColorShape>},
    {"SDeckEd",   K::IntegerSpin, 1,    100, 15, kKeep, {}, F::Int32, C::ShadowValue, N_("Deckkraft"),
     GetValue<&S::SDeckEd>,   SetSpin<&S::SDeckEd>},
    {"SWeichEd",  K::IntegerSpin, 0,    30,  0,  kKeep, {}, F::Int32, C::ShadowValue, N_("Weichheit"),
     GetValue<&S::SWeichEd>,  SetSpin<&S::SWeichEd>,
     PixelMeasure::Both},
    {"SRichtBox", K::List,        0,    2,   0,  kKeep, {}, F::Byte,  C::ShadowValue, N_("Schattenrichtung"),
     GetValue<&S::SRichtBox>, SetIndex<&S::SRichtBox>},
    {"SRightEd",  K::IntegerSpin, -100, 100, 10, kKeep, {}, F::Int32, C::ShadowValue, N_("Verschiebung nach rechts"),
     GetValue<&S::SRightEd>,  SetSpin<&S::SRightEd>,
     PixelMeasure::Horizontal},
    {"SBottomEd", K::IntegerSpin, -100, 100, 10, kKeep, {}, F::Int32, C::ShadowValue, N_("Verschiebung nach unten"),
     GetValue<&S::SBottomEd>, SetSpin<&S::SBottomEd>,
     PixelMeasure::Vertical},

    // Frame
    {"FrameStyle",  K::List,  0, 4, 0, 0, {}, F::Int32, C::Preset, N_("Rahmen"),
     GetValue<&S::FrameStyle>, SetIndex<&S::FrameStyle>},
    {"RColorShape", K::Colour, 0, kMaxColour, 0, kKeep, {}, F::Colour, C::FrameColour, N_("Rahmenfarbe"),
     GetValue<&S::RColorShape>, SetColour<&S::RColorShape>},
    {"RBreitEd",   K::IntegerSpin, 0, 100, 20, kKeep, {}, F::Int32, C::RBreitEd, N_("Rahmenbreite"),
     GetValue<&S::RBreitEd>,   SetSpin<&S::RBreitEd>},
    {"RHochEd",    K::IntegerSpin, 0, 100, 75, kKeep, {}, F::Int32, C::RHochEd, N_("Rahmenhöhe"),
     GetValue<&S::RHochEd>,    SetSpin<&S::RHochEd>},
    {"RTextcheck", K::Check,       0, 1,   0,  kKeep, {}, F::Flag, C::RTextcheck, N_("Rahmen über Text"),
     GetValue<&S::RTextcheck>, SetFlag<&S::RTextcheck>},
};
// clang-format on

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool ParseHex(std::string_view digits, double& value) {
    if (digits.empty()) return false;
    long double v = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        v = v * 16 + d;
    }
    // Too many digits for a double: a number still, beyond every bound.
    value = std::isfinite(v) && v <= std::numeric_limits<double>::max()
                ? static_cast<double>(v)
                : std::numeric_limits<double>::max();
    return true;
}

// Whether a decimal number that a double cannot hold lies above its range (rather than below its
// smallest step): the place of the first significant digit plus the exponent decides.
bool AboveDoubleRange(std::string_view text) {
    const std::size_t e = text.find_first_of("eE");
    const std::string_view mantissa = text.substr(0, e);
    std::int64_t exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view digits = text.substr(e + 1);
        const bool negative = !digits.empty() && digits.front() == '-';
        if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
            digits.remove_prefix(1);
        for (char c : digits)
            exponent = std::min<std::int64_t>(exponent * 10 + (c - '0'), 1'000'000'000);
        if (negative) exponent = -exponent;
    }
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) return false;
    const std::int64_t order =
        first < point ? std::int64_t(point - first) - 1 : -std::int64_t(first - point);
    return order + exponent > 0;
}

}  // namespace

LetteringSettings::LetteringSettings() {
    ApplyStartValues(*this);
}

std::span<const SettingInfo> SettingsTable() {
    return kTable;
}

const SettingInfo* FindSetting(std::string_view name) {
    for (const SettingInfo& info : kTable)
        if (info.name == name) return &info;
    return nullptr;
}

bool ParseSettingNumber(std::string_view text, double& value) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // A second sign is no number; from_chars would take it after the one we removed.
    if (text.empty() || text.front() == '+' || text.front() == '-') return false;
    double v = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        if (!ParseHex(text.substr(2), v)) return false;
    } else {
        // German users type a decimal comma.
        std::string copy(text);
        for (char& c : copy)
            if (c == ',') c = '.';
        const char* end = copy.data() + copy.size();
        const auto [ptr, ec] = std::from_chars(copy.data(), end, v, std::chars_format::general);
        if (ptr != end) return false;
        if (ec == std::errc::result_out_of_range) {
            // Still a number, only out of every field's range: the nearer bound takes it.
            v = AboveDoubleRange(copy) ? std::numeric_limits<double>::max() : 0.0;
        } else if (ec != std::errc() || !std::isfinite(v)) {
            return false;
        }
    }
    value = negative ? -v : v;
    return true;
}

void ApplyStartValues(LetteringSettings& settings) {
    for (const SettingInfo& info : kTable)
        info.set(settings, info.startValue);
}

void ApplyNewValues(LetteringSettings& settings) {
    for (const SettingInfo& info : kTable)
        if (info.newValue) info.set(settings, *info.newValue);
}

std::span<const SettingInfo> RadioGroup(const SettingInfo& button) {
    const SettingInfo* first = &button;
    while (first != kTable && first[-1].kind == SettingKind::Radio &&
           first[-1].group == button.group)
        --first;
    const SettingInfo* last = &button + 1;
    while (last != std::end(kTable) && last->kind == SettingKind::Radio &&
           last->group == button.group)
        ++last;
    return {first, last};
}

int ChosenInGroup(const SettingInfo& button, const LetteringSettings& settings) {
    const std::span<const SettingInfo> group = RadioGroup(button);
    for (std::size_t i = 0; i < group.size(); ++i)
        if (group[i].get(settings) != 0) return int(i);
    return -1;
}

SpinRule SpinRuleOf(const SettingInfo& info) {
    return {info.minimum, info.maximum,
            info.kind == SettingKind::DecimalSpin ? kDecimalSpinPlaces : 0};
}

double SpinValueFromText(const SpinRule& rule, std::string_view text) {
    double v;
    if (!ParseSettingNumber(text, v)) return rule.minimum;
    return rule.decimals == 0 ? std::trunc(v) : v;
}

double ClampSpinValue(const SpinRule& rule, double value) {
    if (std::isnan(value)) return rule.minimum;
    value = std::clamp(value, rule.minimum, rule.maximum);
    if (rule.decimals == 0) return std::trunc(value);
    const double scale = std::pow(10.0, rule.decimals);
    return std::nearbyint(value * scale) / scale;
}

double SpinValueFromText(const SettingInfo& info, std::string_view text) {
    return SpinValueFromText(SpinRuleOf(info), text);
}

double ClampSettingValue(const SettingInfo& info, double value) {
    return ClampSpinValue(SpinRuleOf(info), value);
}

bool SetSettingFromText(LetteringSettings& settings, std::string_view name, std::string_view text,
                        std::string* error) {
    const SettingInfo* info = FindSetting(name);
    if (!info) {
        if (error) *error = Fill(Tr("Unbekannte Einstellung \"%1\"."), {name});
        return false;
    }
    double v;
    if (info->kind == SettingKind::Colour) {
        if (const std::optional<TColor> colour = ParseColourName(Trim(text))) {
            info->set(settings, *colour);
            return true;
        }
    }
    if (!ParseSettingNumber(text, v)) {
        if (error)
            *error = Fill(info->kind == SettingKind::Colour
                              ? Tr("Der Wert \"%1\" für %2 ist keine Farbe (0xBBGGRR, #RRGGBB "
                                   "oder ein CSS-Farbname).")
                              : Tr("Der Wert \"%1\" für %2 ist keine Zahl."),
                          {text, name});
        return false;
    }
    info->set(settings, ClampSettingValue(*info, v));
    return true;
}

bool ApplySettingAssignment(LetteringSettings& settings, std::string_view assignment,
                            std::string* error) {
    const std::size_t eq = assignment.find('=');
    if (eq == std::string_view::npos) {
        if (error) *error = Fill(Tr("Erwartet wird NAME=WERT, nicht \"%1\"."), {assignment});
        return false;
    }
    return SetSettingFromText(settings, Trim(assignment.substr(0, eq)), assignment.substr(eq + 1),
                              error);
}

std::vector<ScaledMeasure> ScaledPixelMeasures(const LetteringSettings& settings, double fx,
                                               double fy) {
    std::vector<ScaledMeasure> scaled;
    for (const SettingInfo& info : kTable) {
        double factor = 1;
        switch (info.pixels) {
            case PixelMeasure::None:
                continue;
            case PixelMeasure::Horizontal:
                factor = fx;
                break;
            case PixelMeasure::Vertical:
                factor = fy;
                break;
            case PixelMeasure::FixedEdgeWidth:
                if (!settings.KFixedWCheck) continue;
                [[fallthrough]];
            case PixelMeasure::Both:
                factor = std::min(fx, fy);
                break;
        }
        // Rounded rather than truncated: a measure scaled by 1.5 and back by 2/3 comes home.
        const double wanted = std::nearbyint(info.get(settings) * factor);
        const double value = ClampSettingValue(info, wanted);
        scaled.push_back({&info, value, value != wanted});
    }
    return scaled;
}

namespace {

// A number as the help has always printed it: the shortest form, with a point in every language
// (the command line reads it back so).
std::string HelpNumber(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

std::string SettingsHelpText() {
    std::string text;
    for (const SettingInfo& info : kTable) {
        std::string line = "  " + std::string(info.name);
        line.resize(std::max<std::size_t>(line.size() + 1, 32), ' ');
        const std::string minimum = HelpNumber("%g", info.minimum);
        const std::string maximum = HelpNumber("%g", info.maximum);
        const std::string start = HelpNumber("%g", info.startValue);
        std::string range;
        switch (info.kind) {
            case SettingKind::IntegerSpin:
                range = Fill(Tr("%1 bis %2 (Start %3)"), {minimum, maximum, start});
                break;
            case SettingKind::DecimalSpin:
                range = Fill(Tr("%1 bis %2, zwei Nachkommastellen (Start %3)"),
                             {HelpNumber("%.1f", info.minimum), maximum, start});
                break;
            case SettingKind::Check:
                range = Fill(Tr("0 oder 1 (Start %1)"), {start});
                break;
            case SettingKind::Radio:
                range = Fill(Tr("1 wählt es in der Gruppe %1"), {info.group});
                break;
            case SettingKind::List:
                range = Fill(Tr("Eintrag %1 bis %2 (Start %3)"), {minimum, maximum, start});
                break;
            case SettingKind::Colour: {
                char colour[16];
                std::snprintf(colour, sizeof colour, "0x%06X", unsigned(info.startValue));
                range = Fill(Tr("Farbe 0xBBGGRR (Start %1)"), {colour});
                break;
            }
        }
        text += line + range + "\n";
    }
    return text;
}

}  // namespace gw
