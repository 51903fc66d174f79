#pragma once
// The lettering document (.zgw): writer and reader of the whole state of a lettering, the model
// side of SaveFile and OpenFile.
//
// The results come back as values with the message and its title; the window shows them in a box,
// the headless renderer prints them. Opening reads and checks the whole file into a fresh state
// and only then takes it over, so a refused file changes nothing. Saving writes a temporary file
// beside the target and puts it in the target's place only when every byte went out, so a failed
// save leaves the old file as it was.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/Lettering.h"
#include "document/zeflor.h"

namespace gw {

// Sane limits for the counts of a document, beside those of the DIB service for its images.
// The picture size must be one the size dialog allows, the text at most kMaxTextBytes.
constexpr std::int32_t kMaxDocumentPoints = 1'000'000;  // points, and outline pixels, a line

struct DocumentResult {
    bool ok = true;
    std::string message;  // empty when ok
    std::string title;    // "Fehler" when not ok
};

// Whether a font name is one the font list offers, or "Arial Black", which the program's font rule
// always provides.
bool IsInstalledFont(const std::string& font, std::span<const std::string> installedFonts);

// The font as the font list spells it, for a name typed in any letter case (an exact match
// first); nullopt when no such font is offered.
std::optional<std::string> InstalledFontSpelling(std::string_view font,
                                                 std::span<const std::string> installedFonts);

// Writes every field in document order: settings, picture size, the boundary lines with their
// outlines, BackgroundTexture, then TextTexture. An empty texture is written as an info size and
// a colour count of 0 and reads back empty. False when the sink fails.
bool WriteLettering(const Lettering& lettering, ByteSink& out);
std::vector<std::uint8_t> LetteringFileBytes(const Lettering& lettering);

// How many bytes the document of this lettering has, counted as WriteLettering writes it without
// keeping a byte. The textures are stored decoded, so a small texture file can make a document of
// hundreds of megabytes; beyond kLargeDocumentBytes the user is warned before it is written.
std::uint64_t LetteringFileSize(const Lettering& lettering);
inline constexpr std::uint64_t kLargeDocumentBytes = 100'000'000;

// Reads a document into `lettering`: the settings, the picture size, the two boundary lines and
// both textures. The font name is taken as stored, installed or not. `name` is the file name the
// messages show.
DocumentResult ReadLettering(Lettering& lettering, ByteSource& in, std::string_view name);
DocumentResult ReadLetteringBytes(Lettering& lettering, std::span<const std::uint8_t> bytes,
                                  std::string_view name);

// SaveFile and OpenFile without the window: the messages name the file without its folder.
DocumentResult SaveLetteringFile(const Lettering& lettering, const std::string& fileName);
DocumentResult OpenLetteringFile(Lettering& lettering, const std::string& fileName);

}  // namespace gw
