#pragma once
// Shaped lines and glyph images kept on disk between runs, beside the font matches, so that a run
// drawing a text shaped and rendered before reads neither the font file nor starts the shaping
// and rendering libraries.
//
// Every record carries the key of its face (FaceRecordKey) and is believed only for that key:
// the key digests what the shapes and images depend on besides the text (this program's file, the
// shaping, bidirectional and rendering libraries' files, the font file with its size and time,
// the face index and the synthetic styles). Records sit in a fixed number of slots: a text or a
// size kept later takes the slot of an earlier one, so the folder never grows past a bound.
// Only lines drawn wholly in their chosen face, without a missing character, are kept: whatever
// needed another face was looked up in fontconfig's configuration anyway.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/FontEngine.h"

namespace gw::fonts {

// The digest of what a face's records depend on; empty when one of the files cannot be told
// (then nothing is kept).
std::string FaceRecordKey(const std::string& file, int index, bool syntheticBold,
                          bool syntheticItalic);

// A kept line: glyphs, runs and width; its `faces` left empty for the caller to fill with the
// chosen face, as every kept line is drawn in that face only.
std::optional<ShapedLine> ReadShapedLine(const std::string& folder, const std::string& faceKey,
                                         std::string_view text,
                                         std::span<const std::uint32_t> underlined);
void WriteShapedLine(const std::string& folder, const std::string& faceKey, std::string_view text,
                     std::span<const std::uint32_t> underlined, const ShapedLine& line);

// The kept images of one face and size, by glyph.
std::vector<std::pair<std::uint32_t, GlyphImage>> ReadGlyphImages(const std::string& folder,
                                                                  const std::string& faceKey,
                                                                  Scale scale);
// Keeps the images (ascending by glyph, each once), as many as the record's bound takes.
void WriteGlyphImages(const std::string& folder, const std::string& faceKey, Scale scale,
                      std::span<const std::pair<std::uint32_t, const GlyphImage*>> images);

}  // namespace gw::fonts
