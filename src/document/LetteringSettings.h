#pragma once
// Every parameter of one lettering, named by the control of the window that holds it. Ranges,
// start values and everything else about them are in SettingsTable.h; a new LetteringSettings
// holds the start values of that table.
//
// Spin values are real numbers as typed; the renderer truncates them where they count pixels.
// A value may lie outside its control's range while the user types; the control brings it into
// range when it loses the focus.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Geometry.h"

namespace gw {

// The three radio buttons of a surface frame: ColorCheck "Farbe", Texture0Check "Textur",
// TextureCheck "Eigene Textur". Both texture kinds fill with the surface texture.
enum class SurfaceKind : std::uint8_t { Color = 0, BuiltinTexture = 1, OwnTexture = 2 };

struct SurfaceSettings {
    SurfaceKind kind = SurfaceKind::Color;
    // The colour frame's colour; swatch and colour dialog always carry this same value.
    TColor color = clWhite;
    bool IsTexture() const { return kind != SurfaceKind::Color; }
    friend bool operator==(const SurfaceSettings&, const SurfaceSettings&) = default;
};

// MoveCheck "Verschieben", EdPointsCheck "Punkte bearbeiten", DrawFace "Hülle zeichnen".
enum class EditMode : std::uint8_t { MoveCheck = 0, EdPointsCheck = 1, DrawFace = 2 };

// NoDeform "Keine Deformation", SinDeform "Sinusdeformation", RandDeform "Zufallsdeformation".
enum class DeformMode : std::uint8_t { NoDeform = 0, SinDeform = 1, RandDeform = 2 };

// Memo1.Font: the font the letters are drawn in. Its height is never changed by the program.
struct LetteringFont {
    std::string name = "Arial Black";
    std::int32_t height = -16;
    bool bold = false;
    bool italic = false;
    friend bool operator==(const LetteringFont&, const LetteringFont&) = default;
};

struct LetteringSettings {
    LetteringSettings();

    // Text
    std::vector<std::string> Memo1{"ZEF-LOR", "GbR"};  // the text lines, UTF-8
    LetteringFont Font;          // written by FontList; its style is FettBtn and KursivBtn
    std::int32_t AusrichtBox{};  // 0 "Linksbündig", 1 "Zentriert", 2 "Rechtsbündig"

    // Surfaces
    SurfaceSettings SurfaceFrame1;  // the letters
    SurfaceSettings SurfaceFrame2;  // the background

    // Envelope
    EditMode editMode{};
    double SpiralEd{};  // the one decimal field

    // Outline deformation
    DeformMode deform{};
    double StarkEd{};  // percent
    double AnzahlEd{};

    // 3D edge
    bool KanteCheck{};
    double KWinkEd{};           // degrees
    double KBreiteEd{};         // percent
    double KLichtEd{};          // percent
    std::int32_t Profil1Box{};  // 0 "Flach", 1 "Linear", 2 "Konvex", 3 "Konkav"
    bool BkGnd1{};
    std::int32_t Profil2Box{};
    bool BkGnd2{};
    bool Invers1Check{};
    bool KFixedWCheck{};
    bool KQualCheck{};  // "3 Lichtstrahlen"

    // Shadow
    bool SchattenCheck{};
    TColor SColorShape{};
    double SDeckEd{};          // percent
    double SWeichEd{};         // pixels
    std::int32_t SRichtBox{};  // 0 "0°", 1 "-45°", 2 "45°"
    double SRightEd{};         // pixels
    double SBottomEd{};        // pixels

    // Frame
    std::int32_t FrameStyle{};  // 0 none, 1 .. 4
    bool RTextcheck{};          // "Auch über Text legen"
    double RBreitEd{};
    double RHochEd{};
    TColor RColorShape{};

    friend bool operator==(const LetteringSettings&, const LetteringSettings&) = default;
};

}  // namespace gw
