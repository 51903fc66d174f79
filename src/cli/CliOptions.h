#pragma once
// The command line of glyphwerk-render.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Catalogue.h"

namespace gw {

struct CliOptions {
    std::string input;   // a .zgw document, "-" for standard input; empty: the start-up lettering
    std::string output;  // -o: the finished picture, "-" for standard output
    std::string batch;   // --batch: a file of lettering texts, one a line; -o is then a pattern
    std::string save;    // --save: the lettering as a .zgw document
    std::string stagesDir;
    std::string format;  // --format: the picture's file type instead of the one -o's name asks for
    std::optional<std::int32_t> width, height;
    std::optional<std::int32_t> fit;  // --fit: the longer picture side at most this many pixels
    // Export only, never stored in a document.
    std::int32_t dpi = 0;          // --dpi: resolution stored in the picture file; 0: none
    std::int32_t quality = 0;      // --quality: of JPEG and lossy WebP; 0: none given
    std::int32_t scale = 1;        // --scale: the picture drawn this many times larger
    bool smooth = false;           // --smooth: antialiased edges
    std::int32_t timeLimit = 0;    // --time-limit: seconds of processor time; 0: none
    std::int32_t memoryLimit = 0;  // --memory-limit: MiB of address space; 0: none
    bool transparent = false;      // --transparent: no background in the picture
    bool outlines = false;         // --outlines: only the letters' contours, as a cut file
    bool vector = false;           // --vector: a PDF with the letters as paths
    std::optional<std::string> text, font;
    bool textRaw = false;  // --text-raw: a single & underlines, as in the window
    bool bold = false;
    bool italic = false;
    std::optional<std::int32_t> align;
    std::optional<std::string> textTexture, backgroundTexture;
    std::optional<double> spiral;
    std::optional<int> envelope, edge, shadow, frame;
    // --color, --background, --shadow-color, --frame-color, as the settings table stores them.
    std::optional<std::uint32_t> textColour, backgroundColour, shadowColour, frameColour;
    std::vector<std::string> assignments;  // --set NAME=VALUE, in the order given
    std::int32_t shard = 1, shards = 1;    // --shard I/N: the batch lines n with n mod N = I - 1
    std::string completion;                // --completion: "bash" or "zsh"
    std::string language;                  // --lang: "de" or "en"; empty: the environment's
    bool help = false;
    bool version = false;
    bool listFonts = false;  // --fonts: print the font list and stop
    std::string list;        // --list: "envelopes", "edges", "shadows" or "frames"
};

// The language --lang asks for (the last one given), before the options are parsed: the parser's
// own messages are already in it. Nothing without a usable --lang.
std::optional<catalogue::Language> RequestedLanguage(int argc, const char* const* argv);

// False with a message in `error` when the arguments are not usable.
bool ParseCliOptions(int argc, const char* const* argv, CliOptions& options, std::string& error);

// The lines of a --text argument: split at "\n" (backslash and n) and at real line breaks.
std::vector<std::string> SplitTextArgument(const std::string& text);

// The lines a --text argument or a batch line puts in the lettering: each & doubled, so the
// text is drawn as typed, unless `raw` keeps the window's rule (& underlines the next letter).
std::vector<std::string> TextLines(const std::string& text, bool raw);

// The help text, with every setting --set takes, from the settings table.
std::string CliHelpText();

// The completion script for "bash" or "zsh", made from the option table; empty for other shells.
std::string CompletionScript(const std::string& shell);

// The lines --list prints for `kind`, "N Name" each; false for an unknown kind.
bool PresetListing(const std::string& kind, std::string& listing);

}  // namespace gw
