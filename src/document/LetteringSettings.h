#pragma once
// Every parameter of one lettering, named by the control of the window that holds it.
//
// Spin values are real numbers as typed; the renderer truncates them where they count pixels.
// A value may lie outside its control's range while the user types; the control brings it into
// range when it loses the focus (see SettingsTable.h for the ranges).

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
    // Text
    std::vector<std::string> Memo1{"ZEF-LOR", "GbR"};  // the text lines, UTF-8
    LetteringFont Font;                                // written by FontList, FettBtn, KursivBtn
    bool FettBtn = false;                              // bold button down
    bool KursivBtn = false;                            // italic button down
    std::int32_t AusrichtBox = 0;  // 0 "Linksbündig", 1 "Zentriert", 2 "Rechtsbündig"

    // Surfaces
    SurfaceSettings SurfaceFrame1{SurfaceKind::Color, 0xFF0000};  // the letters
    SurfaceSettings SurfaceFrame2{SurfaceKind::Color, 0xFFFFFF};  // the background

    // Envelope
    EditMode editMode = EditMode::MoveCheck;
    double SpiralEd = 1.5;  // 0.6 .. 10, the one decimal field

    // Outline deformation
    DeformMode deform = DeformMode::NoDeform;
    double StarkEd = 20;  // 1 .. 100 percent
    double AnzahlEd = 5;  // 1 .. 100

    // 3D edge
    bool KanteCheck = false;
    double KWinkEd = -45;         // -180 .. 180 degrees
    double KBreiteEd = 100;       // 1 .. 100 percent
    double KLichtEd = 100;        // 1 .. 500 percent
    std::int32_t Profil1Box = 2;  // 0 "Flach", 1 "Linear", 2 "Konvex", 3 "Konkav"
    bool BkGnd1 = false;
    std::int32_t Profil2Box = 2;
    bool BkGnd2 = false;
    bool Invers1Check = false;
    bool KFixedWCheck = false;
    bool KQualCheck = true;  // "3 Lichtstrahlen"

    // Shadow
    bool SchattenCheck = false;
    TColor SColorShape = clBlack;
    double SDeckEd = 15;         // 1 .. 100 percent
    double SWeichEd = 0;         // 0 .. 30 pixels
    std::int32_t SRichtBox = 0;  // 0 "0°", 1 "-45°", 2 "45°"
    double SRightEd = 10;        // -100 .. 100 pixels
    double SBottomEd = 10;       // -100 .. 100 pixels

    // Frame
    std::int32_t FrameStyle = 0;  // 0 none, 1 .. 4
    bool RTextcheck = false;      // "Auch über Text legen"
    double RBreitEd = 20;         // 0 .. 100
    double RHochEd = 75;          // 0 .. 100
    TColor RColorShape = clBlack;

    friend bool operator==(const LetteringSettings&, const LetteringSettings&) = default;
};

}  // namespace gw
