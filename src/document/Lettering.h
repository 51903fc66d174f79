#pragma once
// The whole state of one lettering: its settings, the picture size, the two boundary lines and
// the two surface textures. The window is a view of it; the renderer reads it at the moment it
// runs. What only the mouse editing needs (its working lines, pivot and rotation handle) is the
// envelope editor's.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/LetteringSettings.h"
#include "raster/DibImage.h"
#include "raster/Lines.h"

namespace gw {

// What a document brought beyond the settings this program knows: records of settings a later
// version added, and whole extension blocks of a later layout. Kept with the lettering so that
// saving gives them back unchanged (LetteringFile.h).
struct KeptExtensions {
    struct Record {
        std::string name;
        std::vector<std::uint8_t> value;
        bool operator==(const Record&) const = default;
    };
    std::vector<Record> records;
    std::vector<std::uint8_t> laterBlocks;  // verbatim, tag and all
    bool operator==(const KeptExtensions&) const = default;
};

struct Lettering {
    LetteringSettings settings;
    std::int32_t width = 450;  // the picture size (PaintBox1)
    std::int32_t height = 200;
    // 0 the upper boundary line, 1 the lower one.
    std::array<TLine, 2> EnvelopeLines;
    DibImage TextTexture;
    DibImage BackgroundTexture;
    KeptExtensions keptExtensions;
};

// The longest text a lettering takes, in bytes (UTF-8 in the window and on the command line, as
// stored in a document), and what the user is told of a longer one. Far beyond any lettering, it
// keeps a pasted or stored book from costing gigabytes in the render.
inline constexpr std::size_t kMaxTextBytes = std::size_t(1) << 20;
inline constexpr char kTextTooLongMessage[] =
    "Der Text ist zu lang: ein Schriftzug fasst höchstens 1 MiB Text.";

// The program's name and version as the window caption and the document files carry it.
inline constexpr char kProgramTitle[] = "ZEF-LOR Zarbo-Glyphwerk 2.1";
// The maker's home page, as the window's buttons open it and show it.
inline constexpr char kHomePage[] = "https://www.zef-lor.example";
inline constexpr char kHomePageCaption[] = "www.zef-lor.example";

// The lines of a text as the text control holds them: breaks at CR LF, CR or LF; a break at the
// very end opens no further line, so "" has no lines and "a\r\n" one.
std::vector<std::string> SplitTextLines(std::string_view text);

// Rebuilds the outlines of both boundary lines from their points, each kept to the outline
// bound of the lettering's picture (OutlineBound): every writer of the points ends with it.
void BuildBoundaryOutlines(Lettering& lettering);

// The lettering as a render reads it, with copies of its own of both textures (a texture that
// cannot be copied for want of memory comes back empty).
Lettering RenderSnapshot(const Lettering& lettering);

// The state at program start, before the textures are set: start settings, picture 450 x 200,
// boundary lines.
void InitStartState(Lettering& lettering);

// The model side of "Neu": text lines, both surfaces to colour with their start colours, the
// boundary lines from the current picture size, NoDeform, KanteCheck and SchattenCheck off,
// FrameStyle 0. Everything else keeps its value.
void ResetForNew(Lettering& lettering);

// The window caption for the current document (Setsavedfilename): the program title, then the
// file name without its folder in brackets, "[Unbenannt.zgw]" for a lettering without a file.
std::string CaptionFor(const std::string& fileName);

// The file name without its folder, as captions and messages show it.
std::string FileNameOnly(const std::string& fileName);

}  // namespace gw
