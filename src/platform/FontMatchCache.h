#pragma once
// Font matches kept on disk between runs, so a run that draws a font matched before takes the
// face straight away instead of reading fontconfig's whole configuration first.
//
// A match is kept under a key made from what fontconfig reads: its environment, its configuration
// files and folders, the program's own rule file and the font folders, each with its size and
// modification time; nothing is parsed, so a folder named only inside a configuration file is not
// seen, but the matched font file itself is checked (size and time) before it is used. Records
// are written beside their place and renamed into it, so processes writing at once leave one
// whole record; every record is checked before it is believed. A cache folder that cannot be
// made or written is no cache, without a message.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/FontEngine.h"

namespace gw::fonts {

struct CachedMatch {
    std::string file;
    std::int32_t index = 0;
    // The weight and slant asked for after the configuration's substitutions.
    std::int32_t askedWeight = 0;
    std::int32_t askedSlant = 0;
    bool embolden = false;
    std::array<double, 4> matrix{1, 0, 0, 1};  // xx, xy, yx, yy
    // How the font list spells the asked family (FamilyNames(): the name itself, else the first
    // one equal to it but for the case of ASCII letters); empty when the list has no such name.
    // Kept so that a run naming a font says whether it is installed without listing the fonts.
    std::string listedSpelling;
    // The matched face's own weight, slant and family as fontconfig classifies the file, so that
    // a face opened from the record need not be classified again.
    std::int32_t faceWeight = 0;
    std::int32_t faceSlant = 0;
    std::string faceFamily;
    // The face's lengths, so that a face opened from the record is read only when it is drawn.
    FaceUnits units;
};

// The folder of the records: $XDG_CACHE_HOME/glyphwerk, else ~/.cache/glyphwerk, made when
// missing; empty when there is none.
std::string MatchCacheFolder();

// A digest of the configuration's state as it shows on disk; empty when there are more paths
// than a start-up may look at.
std::string MatchCacheKey();

std::optional<CachedMatch> ReadCachedMatch(const std::string& folder, const std::string& key,
                                           const std::string& family, bool bold, bool italic);

// The record of a family and style whatever set-up it was made under, that set-up's key in
// `key`: for opening the face while the key of the disk's state is still being made. The match
// holds only when the two keys agree.
std::optional<CachedMatch> ReadCachedRecord(const std::string& folder, const std::string& family,
                                            bool bold, bool italic, std::string& key);

// Quietly does nothing when the record cannot be written.
void WriteCachedMatch(const std::string& folder, const std::string& key, const std::string& family,
                      bool bold, bool italic, const CachedMatch& match);

// The file a family and style is kept in (tests damage it).
std::string CachedMatchFile(const std::string& folder, const std::string& family, bool bold,
                            bool italic);

}  // namespace gw::fonts
