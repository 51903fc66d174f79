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

// The one rule for the length of a lettering's text, kept by the text box, --text, the lines of a
// batch and the reader alike: counted as the document stores it, every line followed by CR LF,
// the text takes at most kMaxTextBytes in the encoding the document gives it.
std::size_t StoredTextBytes(const std::vector<std::string>& lines);
bool TextFitsDocument(const std::vector<std::string>& lines);

// The largest document the reader can accept: both texts, both lines and both textures at their
// limits. A stream that goes on beyond it is no document.
std::size_t LargestDocumentBytes();

struct DocumentResult {
    bool ok = true;
    std::string message;  // empty when ok
    std::string title;    // "Fehler" when not ok
};

// Whether a font name is one the font list offers, or "Arial Black", which the program's font rule
// always provides. `listedSpelling`: how the font list spells the name (ListedFontSpelling).
bool IsInstalledFont(const std::string& font, const std::string& listedSpelling);

// The font as the font list spells it, for a name typed in any letter case (an exact match
// first); nullopt when no such font is offered.
std::optional<std::string> InstalledFontSpelling(const std::string& font,
                                                 const std::string& listedSpelling);

// Writes every field in document order: settings, picture size, the boundary lines with their
// outlines, BackgroundTexture, then TextTexture; after them the extension blocks, when there are
// settings beyond the fixed layout away from their start values or blocks kept from the file the
// lettering was read from. An empty texture is written as an info size and a colour count of 0
// and reads back empty. False when the sink fails.
bool WriteLettering(const Lettering& lettering, ByteSink& out);
std::vector<std::uint8_t> LetteringFileBytes(const Lettering& lettering);

// How many bytes the document of this lettering has, counted as WriteLettering writes it without
// keeping a byte. The textures are stored decoded, so a small texture file can make a document of
// hundreds of megabytes; beyond kLargeDocumentBytes the user is warned before it is written.
std::uint64_t LetteringFileSize(const Lettering& lettering);
inline constexpr std::uint64_t kLargeDocumentBytes = 100'000'000;

// Reads a document into `lettering`: the settings, the picture size, the two boundary lines,
// both textures and the extension blocks (what of them this program does not know is kept in
// `keptExtensions`). The font name is taken as stored, installed or not. `name` is the file name
// the messages show.
DocumentResult ReadLettering(Lettering& lettering, ByteSource& in, std::string_view name);
DocumentResult ReadLetteringBytes(Lettering& lettering, std::span<const std::uint8_t> bytes,
                                  std::string_view name);

// Writes the document to a new file open for reading and writing, then reads it back with the
// reader: a document the program would refuse to open is never put in place of the old one.
bool WriteVerifiedLettering(const Lettering& lettering, int fd);

// Reads a document from a pipe or the standard input, at most LargestDocumentBytes of it; a
// stream that does not begin like a document is refused before more of it is read.
DocumentResult ReadLetteringStream(Lettering& lettering, int fd, std::string_view name);

// SaveFile and OpenFile without the window: the messages name the file without its folder.
DocumentResult SaveLetteringFile(const Lettering& lettering, const std::string& fileName);
DocumentResult OpenLetteringFile(Lettering& lettering, const std::string& fileName);

}  // namespace gw
