#include "document/SettingsTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "document/ColourNames.h"

namespace gw {
namespace {

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

// The style buttons write the lettering font's style at once, as their click handlers do.
void SetBold(LetteringSettings& s, double v) {
    s.FettBtn = v != 0;
    s.Font.bold = s.FettBtn;
}
void SetItalic(LetteringSettings& s, double v) {
    s.KursivBtn = v != 0;
    s.Font.italic = s.KursivBtn;
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
constexpr std::optional<double> kKeep = std::nullopt;
constexpr double kMaxColour = 0xFFFFFF;

// clang-format off
const SettingInfo kTable[] = {
    // Text
    {"FettBtn",     K::Check, 0, 1, 0, kKeep, {}, GetValue<&S::FettBtn>,     SetBold},
    {"KursivBtn",   K::Check, 0, 1, 0, kKeep, {}, GetValue<&S::KursivBtn>,   SetItalic},
    {"AusrichtBox", K::List,  0, 2, 0, kKeep, {}, GetValue<&S::AusrichtBox>, SetIndex<&S::AusrichtBox>},

    // Surfaces
    {"SurfaceFrame1.ColorCheck",    K::Radio, 0, 1, 1, 1, "SurfaceFrame1",
     GetSurfaceRadio<&S::SurfaceFrame1, 0>, SetSurfaceRadio<&S::SurfaceFrame1, 0>},
    {"SurfaceFrame1.Texture0Check", K::Radio, 0, 1, 0, 0, "SurfaceFrame1",
     GetSurfaceRadio<&S::SurfaceFrame1, 1>, SetSurfaceRadio<&S::SurfaceFrame1, 1>},
    {"SurfaceFrame1.TextureCheck",  K::Radio, 0, 1, 0, 0, "SurfaceFrame1",
     GetSurfaceRadio<&S::SurfaceFrame1, 2>, SetSurfaceRadio<&S::SurfaceFrame1, 2>},
    {"SurfaceFrame1.Color", K::Colour, 0, kMaxColour, 0xFF0000, 0xFF0000, {},
     GetSurfaceColour<&S::SurfaceFrame1>, SetSurfaceColour<&S::SurfaceFrame1>},
    {"SurfaceFrame2.ColorCheck",    K::Radio, 0, 1, 1, 1, "SurfaceFrame2",
     GetSurfaceRadio<&S::SurfaceFrame2, 0>, SetSurfaceRadio<&S::SurfaceFrame2, 0>},
    {"SurfaceFrame2.Texture0Check", K::Radio, 0, 1, 0, 0, "SurfaceFrame2",
     GetSurfaceRadio<&S::SurfaceFrame2, 1>, SetSurfaceRadio<&S::SurfaceFrame2, 1>},
    {"SurfaceFrame2.TextureCheck",  K::Radio, 0, 1, 0, 0, "SurfaceFrame2",
     GetSurfaceRadio<&S::SurfaceFrame2, 2>, SetSurfaceRadio<&S::SurfaceFrame2, 2>},
    {"SurfaceFrame2.Color", K::Colour, 0, kMaxColour, 0xFFFFFF, 0xFFFFFF, {},
     GetSurfaceColour<&S::SurfaceFrame2>, SetSurfaceColour<&S::SurfaceFrame2>},

    // Envelope
    {"MoveCheck",     K::Radio, 0, 1, 1, kKeep, "EditMode",
     GetRadio<&S::editMode, 0>, SetRadio<&S::editMode, 0>},
    {"EdPointsCheck", K::Radio, 0, 1, 0, kKeep, "EditMode",
     GetRadio<&S::editMode, 1>, SetRadio<&S::editMode, 1>},
    {"DrawFace",      K::Radio, 0, 1, 0, kKeep, "EditMode",
     GetRadio<&S::editMode, 2>, SetRadio<&S::editMode, 2>},
    {"SpiralEd", K::DecimalSpin, 0.6, 10, 1.5, kKeep, {}, GetValue<&S::SpiralEd>, SetSpin<&S::SpiralEd>},

    // Outline deformation
    {"NoDeform",   K::Radio, 0, 1, 1, 1, "Deform", GetRadio<&S::deform, 0>, SetRadio<&S::deform, 0>},
    {"SinDeform",  K::Radio, 0, 1, 0, 0, "Deform", GetRadio<&S::deform, 1>, SetRadio<&S::deform, 1>},
    {"RandDeform", K::Radio, 0, 1, 0, 0, "Deform", GetRadio<&S::deform, 2>, SetRadio<&S::deform, 2>},
    {"StarkEd",  K::IntegerSpin, 1, 100, 20, kKeep, {}, GetValue<&S::StarkEd>,  SetSpin<&S::StarkEd>},
    {"AnzahlEd", K::IntegerSpin, 1, 100, 5,  kKeep, {}, GetValue<&S::AnzahlEd>, SetSpin<&S::AnzahlEd>},

    // 3D edge
    {"KanteCheck",   K::Check, 0, 1, 0, 0, {}, GetValue<&S::KanteCheck>, SetFlag<&S::KanteCheck>},
    {"KWinkEd",   K::IntegerSpin, -180, 180, -45, kKeep, {}, GetValue<&S::KWinkEd>,   SetSpin<&S::KWinkEd>},
    {"KBreiteEd", K::IntegerSpin, 1,    100, 100, kKeep, {}, GetValue<&S::KBreiteEd>, SetSpin<&S::KBreiteEd>},
    {"KLichtEd",  K::IntegerSpin, 1,    500, 100, kKeep, {}, GetValue<&S::KLichtEd>,  SetSpin<&S::KLichtEd>},
    {"Profil1Box",   K::List,  0, 3, 2, kKeep, {}, GetValue<&S::Profil1Box>,   SetIndex<&S::Profil1Box>},
    {"BkGnd1",       K::Check, 0, 1, 0, kKeep, {}, GetValue<&S::BkGnd1>,       SetFlag<&S::BkGnd1>},
    {"Profil2Box",   K::List,  0, 3, 2, kKeep, {}, GetValue<&S::Profil2Box>,   SetIndex<&S::Profil2Box>},
    {"BkGnd2",       K::Check, 0, 1, 0, kKeep, {}, GetValue<&S::BkGnd2>,       SetFlag<&S::BkGnd2>},
    {"Invers1Check", K::Check, 0, 1, 0, kKeep, {}, GetValue<&S::Invers1Check>, SetFlag<&S::Invers1Check>},
    {"KFixedWCheck", K::Check, 0, 1, 0, kKeep, {}, GetValue<&S::KFixedWCheck>, SetFlag<&S::KFixedWCheck>},
    {"KQualCheck",   K::Check, 0, 1, 1, kKeep, {}, GetValue<&S::KQualCheck>,   SetFlag<&S::KQualCheck>},

    // Shadow
    {"SchattenCheck", K::Check, 0, 1, 0, 0, {}, GetValue<&S::SchattenCheck>, SetFlag<&S::SchattenCheck>},
    {"SColorShape", K::Colour, 0, kMaxColour, 0, kKeep, {}, GetValue<&S::SColorShape>, SetColour<&S::SColorShape>},
    {"SDeckEd",   K::IntegerSpin, 1,    100, 15, kKeep, {}, GetValue<&S::SDeckEd>,   SetSpin<&S::SDeckEd>},
    {"SWeichEd",  K::IntegerSpin, 0,    30,  0,  kKeep, {}, GetValue<&S::SWeichEd>,  SetSpin<&S::SWeichEd>},
    {"SRichtBox", K::List,        0,    2,   0,  kKeep, {}, GetValue<&S::SRichtBox>, SetIndex<&S::SRichtBox>},
    {"SRightEd",  K::IntegerSpin, -100, 100, 10, kKeep, {}, GetValue<&S::SRightEd>,  SetSpin<&S::SRightEd>},
    {"SBottomEd", K::IntegerSpin, -100, 100, 10, kKeep, {}, GetValue<&S::SBottomEd>, SetSpin<&S::SBottomEd>},

    // Frame
    {"FrameStyle", K::List,        0, 4,   0,  0,     {}, GetValue<&S::FrameStyle>, SetIndex<&S::FrameStyle>},
    {"RTextcheck", K::Check,       0, 1,   0,  kKeep, {}, GetValue<&S::RTextcheck>, SetFlag<&S::RTextcheck>},
    {"RBreitEd",   K::IntegerSpin, 0, 100, 20, kKeep, {}, GetValue<&S::RBreitEd>,   SetSpin<&S::RBreitEd>},
    {"RHochEd",    K::IntegerSpin, 0, 100, 75, kKeep, {}, GetValue<&S::RHochEd>,    SetSpin<&S::RHochEd>},
    {"RColorShape", K::Colour, 0, kMaxColour, 0, kKeep, {}, GetValue<&S::RColorShape>, SetColour<&S::RColorShape>},
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

double SpinValueFromText(const SettingInfo& info, std::string_view text) {
    double v;
    if (!ParseSettingNumber(text, v)) return info.minimum;
    return info.kind == SettingKind::DecimalSpin ? v : std::trunc(v);
}

double ClampSettingValue(const SettingInfo& info, double value) {
    if (std::isnan(value)) return info.minimum;
    if (value < info.minimum) return info.minimum;
    if (value > info.maximum) return info.maximum;
    if (info.kind != SettingKind::DecimalSpin) return std::trunc(value);
    const double scale = std::pow(10.0, kDecimalSpinPlaces);
    return std::nearbyint(value * scale) / scale;
}

bool SetSettingFromText(LetteringSettings& settings, std::string_view name, std::string_view text,
                        std::string* error) {
    const SettingInfo* info = FindSetting(name);
    if (!info) {
        if (error) *error = "Unbekannte Einstellung \"" + std::string(name) + "\".";
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
            *error = "Der Wert \"" + std::string(text) + "\" für " + std::string(name) +
                     (info->kind == SettingKind::Colour
                          ? " ist keine Farbe (0xBBGGRR, #RRGGBB oder ein CSS-Farbname)."
                          : " ist keine Zahl.");
        return false;
    }
    info->set(settings, ClampSettingValue(*info, v));
    return true;
}

bool ApplySettingAssignment(LetteringSettings& settings, std::string_view assignment,
                            std::string* error) {
    const std::size_t eq = assignment.find('=');
    if (eq == std::string_view::npos) {
        if (error) *error = "Erwartet wird NAME=WERT, nicht \"" + std::string(assignment) + "\".";
        return false;
    }
    return SetSettingFromText(settings, Trim(assignment.substr(0, eq)), assignment.substr(eq + 1),
                              error);
}

}  // namespace gw
