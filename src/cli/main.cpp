// glyphwerk-render: draws letterings without a window.
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "Version.h"
#include "cli/CliOptions.h"
#include "cli/OutputTransaction.h"
#include "cli/PathErrors.h"
#include "document/BuiltinTextures.h"
#include "document/Lettering.h"
#include "document/LetteringFile.h"
#include "document/PictureSize.h"
#include "document/SettingsTable.h"
#include "loader/LibraryLoader.h"
#include "platform/AllocationLimit.h"
#include "platform/Catalogue.h"
#include "platform/SignalMask.h"
#include "platform/System.h"
#include "platform/TextLayout.h"
#include "raster/DibService.h"
#include "raster/ImageFiles.h"
#include "render/LargeBuffers.h"
#include "render/Pipeline.h"
#include "render/Presets.h"
#include "render/TextRaster.h"
#include "render/VectorPicture.h"

namespace gw {
namespace {

using catalogue::Fill;
using catalogue::Tr;

constexpr int kExitOk = 0;
constexpr int kExitFile = 1;
constexpr int kExitUsage = 2;

// The longest list --batch reads: a great many lines of a length anybody would draw, and a bound
// for a source that never ends.
constexpr std::size_t kMaxBatchListBytes = std::size_t(16) << 20;

// The "Zeile N: " of a batch line's messages, empty outside a batch.
std::string g_linePrefix;
// Whether the run (or the batch line) has said that memory ran out: the render core says it for
// a copy it could not make, and the run says it again when it finds the picture incomplete.
bool g_memoryReported = false;

// The lower layers hand over some texts as they stand in the catalogue (the memory message, the
// text length): they are shown here, in the chosen language.
void Report(const std::string& text) {
    if (text == kOutOfMemoryMessage) {
        if (g_memoryReported) return;
        g_memoryReported = true;
    }
    const std::string shown = Tr(text.c_str());
    std::fprintf(stderr, "glyphwerk-render: %s%s\n", g_linePrefix.c_str(), shown.c_str());
}

// The line after a message: the path as it was given and why it failed; none without a reason.
void ReportPath(const std::string& path, const std::string& reason) {
    if (!reason.empty()) Report(PathLine(path, reason));
}

int UsageError(const std::string& text) {
    Report(text);
    std::fprintf(stderr, "%s\n", Tr("Hilfe: glyphwerk-render --help"));
    return kExitUsage;
}

bool WriteStages(const RenderTrace& trace, const RenderImages& images, const std::string& folder,
                 OutputTransaction& outputs, std::string& error) {
    if (!outputs.AddFolder(folder, error)) return false;
    const std::filesystem::path dir(folder);
    const std::pair<const DibImage*, const char*> layers[] = {
        {&trace.letters, "letters.png"},
        {&images.TextImage, "textimage.png"},
        {&images.TextMask, "textmask.png"},
        {&trace.unfiltered, "unfiltered.png"},
    };
    for (const auto& [image, name] : layers) {
        if (!outputs.AddImage(*image, (dir / name).string(), ImageFileType::Png, error))
            return false;
    }
    return true;
}

// A font the run was given but that is not here is drawn in a stand-in: said, and the run goes
// on. The default font is covered by the program's font rule, so default runs stay quiet.
void NoteFontSubstitute(const LetteringSettings& s) {
    LogFont font;
    font.name = s.Font.name;
    font.bold = s.Font.bold;
    font.italic = s.Font.italic;
    if (IsInstalledFont(s.Font.name, ListedFontSpelling(font))) return;
    const std::string note = FontSubstitutionNote(s);
    if (!note.empty()) Report(note);
}

// Characters no font has are drawn as boxes: said, and the run goes on.
void NoteMissingCharacters(const LetteringSettings& s) {
    const std::string missing = MissingCharactersNote(s);
    if (!missing.empty()) Report(missing);
}

bool IsPattern(const std::string& name) {
    return name.find("{n}") != std::string::npos || name.find("{text}") != std::string::npos;
}

// What can be refused before anything is read: the picture's format and the combinations. A
// vector picture (SVG, a PDF with --vector, a cut file) gets its format in `vector`.
int CheckUsage(const CliOptions& options, ImageFileType& outputType,
               std::optional<VectorFormat>& vector) {
    if (options.output.empty() && options.save.empty() && options.stagesDir.empty())
        return UsageError(
            Tr("Keine Ausgabe angegeben: -o DATEI, --save DATEI oder --stages ORDNER."));
    if (options.shards > 1 && options.batch.empty())
        return UsageError(Tr("--shard geht nur zusammen mit --batch."));
    if (!options.batch.empty()) {
        if (!options.save.empty() || !options.stagesDir.empty() || options.text)
            return UsageError(Tr("--batch geht nicht zusammen mit --save, --stages oder --text."));
        if (!IsPattern(options.output))
            return UsageError(
                Tr("Mit --batch braucht -o ein Muster mit {n} oder {text}, z. B. "
                   "-o bild-{n}.png."));
        if (options.batch == "-" && options.input == "-")
            return UsageError(
                Tr("Liste und Schriftzug können nicht beide von der Standardeingabe "
                   "kommen."));
    }
    const bool print = options.scale > 1 || options.smooth || options.transparent;
    if (print && !options.stagesDir.empty())
        return UsageError(
            Tr("--stages geht nicht zusammen mit --scale, --smooth oder --transparent."));
    outputType = ImageFileType::Png;
    if (!options.format.empty()) {
        if (options.format.find_first_of("./") != std::string::npos ||
            !ImageFileTypeFromName("." + options.format, outputType) ||
            outputType == ImageFileType::Gif)
            return UsageError(
                Fill(Tr("Die Option --format erwartet png, bmp, jpg, webp, pdf oder svg, nicht "
                        "\"%1\"."),
                     {options.format}));
    } else if (!options.output.empty() && options.output != "-") {
        if (!ImageFileTypeFromName(options.output, outputType) || outputType == ImageFileType::Gif)
            return UsageError(
                Fill(Tr("Das Bildformat von \"%1\" kenne ich nicht; möglich sind .png, "
                        ".bmp, .jpg, .jpeg, .webp, .pdf und .svg."),
                     {options.output}));
    }
    const bool svg = outputType == ImageFileType::Svg;
    const bool pdf = outputType == ImageFileType::Pdf;
    if (options.vector && !pdf)
        return UsageError(Tr("--vector gilt nur für PDF; ein SVG ist stets eine Vektorgrafik."));
    if (options.outlines && !svg && !pdf)
        return UsageError(
            Tr("Umrisse (--outlines) gibt es nur als SVG oder PDF, nicht als PNG, JPEG, BMP oder "
               "WebP."));
    if (options.outlines && (options.smooth || options.scale > 1))
        return UsageError(Tr("--outlines geht nicht zusammen mit --smooth oder --scale."));
    vector.reset();
    if (svg || options.vector || options.outlines)
        vector = svg ? VectorFormat::Svg : VectorFormat::Pdf;
    if (vector && options.quality != 0 && !options.output.empty())
        return UsageError(Tr("--quality gilt nur für JPEG und WebP, nicht für SVG oder PDF."));
    if (vector && !options.stagesDir.empty())
        return UsageError(Tr("--stages geht nicht zusammen mit SVG, --vector oder --outlines."));
    if (options.transparent &&
        (outputType == ImageFileType::Jpeg || outputType == ImageFileType::Bmp))
        return UsageError(
            Tr("Ein transparenter Hintergrund geht nur mit PNG, PDF und WebP, nicht mit JPEG oder "
               "BMP."));
    if (options.quality != 0 && !options.output.empty() && outputType != ImageFileType::Jpeg &&
        outputType != ImageFileType::Webp)
        return UsageError(Tr("--quality gilt nur für JPEG und WebP, nicht für PNG, BMP oder PDF."));
    return kExitOk;
}

ImageExtras ExtrasOf(const CliOptions& options) {
    ImageExtras extras;
    extras.dpi = options.dpi;
    extras.quality = options.quality;
    return extras;
}

PrintOptions PrintOptionsOf(const CliOptions& options) {
    return {options.scale, options.smooth, options.transparent};
}

std::optional<VectorOptions> VectorOptionsOf(const CliOptions& options,
                                             std::optional<VectorFormat> format) {
    if (!format) return std::nullopt;
    return VectorOptions{*format, options.outlines, options.dpi, PrintOptionsOf(options)};
}

// The font a run prepares while it reads its document: --font as given, else the start font.
LogFont PreparedFont(const CliOptions& options) {
    const LetteringSettings start;
    LogFont font;
    font.name = options.font.value_or(start.Font.name);
    font.bold = options.bold || start.Font.bold;
    font.italic = options.italic || start.Font.italic;
    return font;
}

// Everything a run sets before it draws; a batch sets its lines' texts on top.
int PrepareLettering(const CliOptions& options, Lettering& lettering) {
    const std::uint64_t failuresAtStart = AllocationFailures();

    InitStartState(lettering);

    if (options.input == "-") {
        const DocumentResult opened =
            ReadLetteringStream(lettering, STDIN_FILENO, Tr("(Standardeingabe)"));
        if (!opened.ok) {
            Report(AllocationFailures() != failuresAtStart ? kOutOfMemoryMessage : opened.message);
            return kExitFile;
        }
    } else if (!options.input.empty()) {
        const DocumentResult opened = OpenLetteringFile(lettering, options.input);
        if (!opened.ok) {
            if (AllocationFailures() != failuresAtStart) {
                Report(kOutOfMemoryMessage);
                return kExitFile;
            }
            // The document's own message names the file's last part at most, and no reason.
            Report(opened.message);
            const std::string reason = ReadReason(options.input);
            ReportPath(options.input, reason.empty()
                                          ? Tr("der Inhalt ist keine lesbare Schriftzug-Datei")
                                          : reason);
            return kExitFile;
        }
    }
    if (options.width) ResizeLettering(lettering, *options.width, *options.height, true);
    if (options.fit) {
        const std::int32_t w = lettering.width, h = lettering.height;
        const std::int32_t longer = std::max(w, h);
        if (longer > *options.fit) {
            // The shorter side keeps the proportion but never drops below the smallest size.
            const auto scaled = [&](std::int32_t side) {
                return std::max<std::int32_t>(
                    10, static_cast<std::int32_t>(std::int64_t(side) * *options.fit / longer));
            };
            ResizeLettering(lettering, scaled(w), scaled(h), true);
        }
    }

    LetteringSettings& s = lettering.settings;
    if (options.text) s.Memo1 = TextLines(*options.text, options.textRaw);
    // A font name in any letter case is stored in the installed spelling; a name that is not
    // installed is kept as given and drawn in a stand-in, as a document keeps it. The font is
    // the one being prepared, so its match answers from the disk's record where there is one.
    if (options.font)
        s.Font.name =
            InstalledFontSpelling(*options.font, ListedFontSpelling(PreparedFont(options)))
                .value_or(*options.font);
    if (options.bold) s.Font.bold = true;
    if (options.italic) s.Font.italic = true;
    if (options.align) s.AusrichtBox = *options.align;

    const auto loadTexture = [&](const std::string& path, bool textPage) {
        const std::uint64_t failures = AllocationFailures();
        if (LoadOwnTexture(lettering, path, textPage)) return true;
        if (AllocationFailures() == failures) {
            const std::string reason = ReadReason(path);
            ReportPath(path, reason.empty() ? Tr("der Inhalt ist kein lesbares Bild") : reason);
        }
        return false;
    };
    if (options.textTexture) {
        if (!loadTexture(*options.textTexture, true)) return kExitFile;
        s.SurfaceFrame1.kind = SurfaceKind::OwnTexture;
    }
    if (options.backgroundTexture) {
        if (!loadTexture(*options.backgroundTexture, false)) return kExitFile;
        s.SurfaceFrame2.kind = SurfaceKind::OwnTexture;
    }

    if (options.spiral) s.SpiralEd = ClampSettingValue(*FindSetting("SpiralEd"), *options.spiral);
    if (options.envelope) {
        ApplyEnvelopePreset(lettering, *options.envelope);
    } else if (options.spiral) {
        ApplyEnvelopePreset(lettering, 19);
    }
    if (options.edge) ApplyEdgePreset(s, *options.edge);
    if (options.shadow) ApplyShadowPreset(s, *options.shadow);
    if (options.frame) ApplyFramePreset(s, *options.frame);

    // Plain colours after the presets, which set their own, and before --set, which may still
    // change any of them. A surface given a colour shows it.
    if (options.textColour) {
        s.SurfaceFrame1.color = static_cast<TColor>(*options.textColour);
        s.SurfaceFrame1.kind = SurfaceKind::Color;
    }
    if (options.backgroundColour) {
        s.SurfaceFrame2.color = static_cast<TColor>(*options.backgroundColour);
        s.SurfaceFrame2.kind = SurfaceKind::Color;
    }
    if (options.shadowColour) s.SColorShape = static_cast<TColor>(*options.shadowColour);
    if (options.frameColour) s.RColorShape = static_cast<TColor>(*options.frameColour);

    for (const std::string& assignment : options.assignments) {
        std::string error;
        if (!ApplySettingAssignment(s, assignment, &error)) return UsageError(error);
    }

    // The start-up textures take a good part of a small run; they are read only when this run
    // uses them: for a texture surface, or to be stored in a document. A document read above
    // brought its own.
    if (options.input.empty() &&
        (s.SurfaceFrame1.IsTexture() || s.SurfaceFrame2.IsTexture() || !options.save.empty())) {
        // Grey placeholders would be drawn or stored in their place: the run cannot do its job.
        if (!HasTextureFiles(DataFolder())) {
            Report(MissingDataMessage(Tr("die mitgelieferten Texturen (tex*.gif)")));
            return kExitFile;
        }
        BuiltinTextures textures;
        LoadBuiltinTextures(textures, DataFolder());
        Lettering start;
        SetStartTextures(start, textures);
        if (!options.textTexture) lettering.TextTexture = std::move(start.TextTexture);
        if (!options.backgroundTexture)
            lettering.BackgroundTexture = std::move(start.BackgroundTexture);
    }
    if (options.font || !options.input.empty()) NoteFontSubstitute(s);
    return kExitOk;
}

// fontconfig reads the system's configuration (some sixty files) before its first match, and the
// matched face is opened after that: a second thread does both while this one reads the
// document and the textures. It prepares the font a run without a document draws; a document's
// own font is matched when it is drawn, under the same configuration. With a match kept on disk,
// the second thread opens its face while this one checks that the match still holds.
class FontPreparation {
  public:
    // `codec`: the file of the library the picture's format is written with, or null.
    FontPreparation(const CliOptions& options, const char* codec) {
        const LogFont font = PreparedFont(options);
        // The text a run without a document draws; a document's own is read on the main thread.
        std::optional<std::string> text;
        if (options.input.empty()) {
            LetteringSettings start;
            if (options.text) start.Memo1 = TextLines(*options.text, options.textRaw);
            text = JoinedText(start);
        }
        try {
            // Resolving the font reads the configuration and opens the face. A failure there
            // (memory) is kept for the main thread, which says it; the thread must not end the
            // program.
            const TerminationSignalsHeld held;  // the clean-up runs on the main thread
            thread_ = std::thread([this, font, codec, text = std::move(text)] {
                // Without the text, the libraries of the drawing first, before the font machinery
                // holds its lock, so that the main thread gets on with the lettering meanwhile.
                // With it, its lines are shaped here: from the disk's records without opening any
                // of them, else by the libraries, opened here on their first call.
                if (!text)
                    loader::OpenLibraries(
                        {"libfreetype.so.6", "libharfbuzz.so.0", "libfribidi.so.0"});
                try {
                    ResolvedFontFile(font);
                    if (text) MissingCharacters(font, *text);
                } catch (...) {
                    failed_ = true;
                }
                loader::OpenLibraries({codec});
            });
        } catch (const std::system_error&) {
            // Without a second thread the font is prepared when it is first used.
            return;
        }
        try {
            PrepareFontMatches();
        } catch (const std::bad_alloc&) {
            // The thread makes the check itself.
        }
    }
    FontPreparation(const FontPreparation&) = delete;
    FontPreparation& operator=(const FontPreparation&) = delete;
    ~FontPreparation() { Finish(); }

    // Before the process forks or ends: no thread may be left holding the font machinery. False
    // when the preparation failed.
    bool Finish() {
        if (thread_.joinable()) thread_.join();
        return !failed_;
    }

  private:
    std::thread thread_;
    bool failed_ = false;  // written by the thread before it ends, read after the join
};

// What a render holds at once: about a dozen pictures of three bytes a pixel.
std::size_t RenderBytes(const Lettering& lettering) {
    return std::size_t(lettering.width) * std::size_t(lettering.height) * 36;
}

struct Destinations {
    std::string picture;  // "-": standard output
    ImageFileType pictureType = ImageFileType::Png;
    ImageExtras extras;
    PrintOptions print;
    std::string document;
    std::string stages;
    std::optional<VectorOptions> vector;  // the picture as a vector graphic
};

// Commits the outputs once they are all staged, or reports why not and which file failed.
bool CommitOrReport(bool staged, OutputTransaction& outputs, std::string& error) {
    if (staged && outputs.Commit(error)) return true;
    Report(error);
    if (!outputs.FailedPath().empty())
        ReportPath(outputs.FailedPath(), WriteReason(outputs.FailedPath(), outputs.FailedErrno()));
    return false;
}

// The picture and the document as one transaction, standard output last: as RenderAndWrite,
// the picture a vector graphic.
int RenderVectorAndWrite(const Lettering& lettering, const Destinations& to) {
    const std::uint64_t failuresAtStart = AllocationFailures();
    NoteMissingCharacters(lettering.settings);
    std::vector<std::uint8_t> bytes;
    std::string error;
    const bool drawn = RenderVectorPicture(lettering, *to.vector, bytes, error);
    ShowNotices(TakeNotices());
    if (!drawn || AllocationFailures() != failuresAtStart) {
        Report(drawn ? std::string(kOutOfMemoryMessage) : error);
        return kExitFile;
    }
    const bool toStdout = to.picture == "-";
    OutputTransaction outputs;
    const auto writeBytes = [&bytes](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); };
    const bool written =
        (to.document.empty() || outputs.AddDocument(lettering, to.document, error)) &&
        (to.picture.empty() || toStdout || outputs.AddFile(to.picture, writeBytes, error));
    if (!CommitOrReport(written, outputs, error)) return kExitFile;
    if (toStdout && !writeBytes(STDOUT_FILENO)) {
        Report(Tr("Konnte das Bild nicht auf die Standardausgabe schreiben."));
        return kExitFile;
    }
    return kExitOk;
}

// Draws the lettering and writes its outputs as one transaction; standard output comes last,
// when the files are in place.
int RenderAndWrite(const Lettering& lettering, const Destinations& to) {
    if (to.vector) return RenderVectorAndWrite(lettering, to);
    const std::uint64_t failuresAtStart = AllocationFailures();
    RenderImages images;
    const bool print = to.print.scale > 1 || to.print.smooth || to.print.transparent;
    // The render's images in huge pages, before the first of them is taken.
    const std::int64_t side =
        std::int64_t(std::max(1, to.print.scale)) * (to.print.smooth ? kSmoothFactor : 1);
    PrepareHugeHeap(RenderBytes(lettering) * std::size_t(side * side));
    // Made before the first font call, which may still wait for the font configuration.
    if (!print) MakeWhitePicture(lettering, images.Picture);
    NoteMissingCharacters(lettering.settings);
    RenderTrace trace;
    std::vector<std::uint8_t> alpha;
    ImageExtras extras = to.extras;
    if (print) {
        const std::int32_t largest = LargestPrintScale(lettering, to.print.smooth);
        if (to.print.scale > largest) {
            Report(largest == 0
                       ? std::string(Tr(
                             "Für --smooth ist das Bild zu groß; höchstens 4096 Pixel je Seite."))
                       : Fill(Tr("Das Bild wäre mit --scale %1 zu groß (höchstens 16384 Pixel je "
                                 "Seite und 256 Millionen Pixel); möglich ist höchstens --scale "
                                 "%2."),
                              {std::to_string(to.print.scale), std::to_string(largest)}));
            return kExitUsage;
        }
        std::string error;
        if (!RenderPrint(lettering, to.print, images.Picture, alpha, error)) {
            Report(error);
            return kExitFile;
        }
        if (to.print.transparent) extras.alpha = &alpha;
    } else {
        RenderLettering(lettering, images, to.stages.empty() ? nullptr : &trace);
        // Only the stages need the text images after the render; without them their pages go
        // back before the encoder takes its own.
        if (to.stages.empty()) {
            deldib(images.TextImage);
            deldib(images.TextMask);
        }
    }
    ShowNotices(TakeNotices());
    // The render leaves out what it has no memory for; such a picture is not what was asked for.
    if (!images.Picture.Bits || images.unsmoothed || AllocationFailures() != failuresAtStart) {
        Report(kOutOfMemoryMessage);
        return kExitFile;
    }

    const bool toStdout = to.picture == "-";
    OutputTransaction outputs;
    std::string error;
    const bool written =
        (to.document.empty() || outputs.AddDocument(lettering, to.document, error)) &&
        (to.picture.empty() || toStdout ||
         outputs.AddImage(images.Picture, to.picture, to.pictureType, error, extras)) &&
        (to.stages.empty() || WriteStages(trace, images, to.stages, outputs, error));
    if (!CommitOrReport(written, outputs, error)) return kExitFile;
    if (toStdout) {
        std::vector<std::uint8_t> bytes;
        if (!EncodeImage(images.Picture, to.pictureType, 92, bytes, &error, extras)) {
            Report(error);
            return kExitFile;
        }
        if (!WriteAll(STDOUT_FILENO, bytes.data(), bytes.size())) {
            Report(Tr("Konnte das Bild nicht auf die Standardausgabe schreiben."));
            return kExitFile;
        }
    }
    return kExitOk;
}

// A line's text as part of a file name: ASCII letters and digits, the German letters, '-' and
// '_' stay; every other character, a line break too, becomes one '_'; at most 40 bytes.
std::string FileNameText(const std::string& line) {
    std::string text;
    for (const std::string& row : SplitTextArgument(line))
        text += row + '\n';
    if (!text.empty()) text.pop_back();
    constexpr std::string_view kGermanLetters[] = {"ä", "ö", "ü", "Ä", "Ö", "Ü", "ß"};
    std::string safe;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t length = std::min<std::size_t>(c < 0xC0   ? 1
                                                         : c < 0xE0 ? 2
                                                         : c < 0xF0 ? 3
                                                                    : 4,
                                                         text.size() - i);
        const std::string_view character(text.data() + i, length);
        const bool kept =
            length == 1 ? (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                              (c >= 'a' && c <= 'z') || c == '-' || c == '_'
                        : std::ranges::find(kGermanLetters, character) != std::end(kGermanLetters);
        const std::string_view piece = kept ? character : "_";
        if (safe.size() + piece.size() > 40) break;
        safe += piece;
        i += length;
    }
    return safe;
}

// The file name of each batch line; a name an earlier line took gets "-N" after the text. Made
// over the whole list, so that a shard of it names its lines as the whole run does.
std::vector<std::string> BatchFileNames(const std::string& pattern,
                                        const std::vector<std::string>& lines) {
    const auto fill = [&pattern](const std::string& number, const std::string& text) {
        std::string name;
        for (std::size_t i = 0; i < pattern.size();) {
            if (pattern.compare(i, 3, "{n}") == 0) {
                name += number;
                i += 3;
            } else if (pattern.compare(i, 6, "{text}") == 0) {
                name += text;
                i += 6;
            } else {
                name += pattern[i++];
            }
        }
        return name;
    };
    // Every name a line's text gives is kept for that line, the first line of a text taking it;
    // the other lines of the same text get "-N" (and "-2", "-3" ... after that, should a
    // line's text take that name too), checked against every name in the run.
    std::vector<std::string> names(lines.size());
    std::set<std::string> used;
    std::vector<std::size_t> repeated;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;  // skipped: takes no name
        names[i] = fill(std::to_string(i + 1), FileNameText(lines[i]));
        if (!used.insert(names[i]).second) repeated.push_back(i);
    }
    for (const std::size_t i : repeated) {
        const std::string number = std::to_string(i + 1);
        const std::string text = FileNameText(lines[i]) + "-" + number;
        std::string name = fill(number, text);
        for (int k = 2; used.contains(name); ++k)
            name = fill(number, text + "-" + std::to_string(k));
        used.insert(name);
        names[i] = std::move(name);
    }
    return names;
}

// How many lines may be drawn at once: one a core, as long as half the free memory holds them.
std::size_t BatchWorkers(const Lettering& lettering, std::size_t lines) {
    cpu_set_t cpus;
    std::size_t cores = 1;
    if (sched_getaffinity(0, sizeof cpus, &cpus) == 0) cores = std::max(1, CPU_COUNT(&cpus));
    const std::uint64_t perLine = RenderBytes(lettering) + (32u << 20);
    std::uint64_t available = 0;
    if (std::FILE* meminfo = std::fopen("/proc/meminfo", "r")) {
        char row[256];
        unsigned long long kib = 0;
        while (std::fgets(row, sizeof row, meminfo))
            if (std::sscanf(row, "MemAvailable: %llu kB", &kib) == 1) available = kib * 1024;
        std::fclose(meminfo);
    }
    std::size_t workers = std::min(cores, lines);
    if (available > 0)
        workers =
            std::min<std::size_t>(workers, std::max<std::uint64_t>(1, available / 2 / perLine));
    return std::max<std::size_t>(1, workers);
}

// Drawing reads the lettering only, so the lines take turns in one. This worker draws every
// `step`th of the lines in `todo`, starting with the `first`.
int RenderBatchLines(Lettering& lettering, const std::vector<std::string>& lines,
                     const std::vector<std::string>& names, const std::vector<std::size_t>& todo,
                     const Destinations& to, bool raw, std::size_t first, std::size_t step) {
    int result = kExitOk;
    for (std::size_t k = first; k < todo.size(); k += step) {
        const std::size_t i = todo[k];
        g_linePrefix = Fill(Tr("Zeile %1: "), {std::to_string(i + 1)});
        g_memoryReported = false;
        lettering.settings.Memo1 = TextLines(lines[i], raw);
        if (!TextFitsDocument(lettering.settings.Memo1)) {
            Report(kTextTooLongMessage);
            result = kExitFile;
            continue;
        }
        try {
            Destinations line = to;
            line.picture = names[i];
            if (RenderAndWrite(lettering, line) != kExitOk) result = kExitFile;
        } catch (const std::bad_alloc&) {
            // One line too big for the memory left: said, and the others go on.
            Report(kOutOfMemoryMessage);
            result = kExitFile;
        }
    }
    g_linePrefix.clear();
    return result;
}

int RunBatch(const CliOptions& options, ImageFileType type, std::optional<VectorOptions> vector,
             FontPreparation& fonts) {
    std::vector<std::uint8_t> bytes;
    ReadStatus read = ReadStatus::Failed;
    if (options.batch == "-") {
        read = ReadAtMost(STDIN_FILENO, kMaxBatchListBytes, bytes);
    } else if (const int fd = OpenForReading(options.batch); fd >= 0) {
        read = ReadAtMost(fd, kMaxBatchListBytes, bytes);
        ::close(fd);
    }
    if (read == ReadStatus::TooLarge) {
        Report(Fill(Tr("Die Liste %1 ist zu lang; eine Liste hat höchstens %2 MiB."),
                    {options.batch, std::to_string(kMaxBatchListBytes >> 20)}));
        return kExitFile;
    }
    if (read != ReadStatus::Ok) {
        Report(Fill(Tr("Konnte die Liste %1 nicht lesen."), {options.batch}));
        if (options.batch != "-") ReportPath(options.batch, ReadReason(options.batch));
        return kExitFile;
    }
    std::vector<std::string> lines;
    std::string text(bytes.begin(), bytes.end());
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        at = end + 1;
    }
    // The lines this run draws: those with text, of its shard.
    std::vector<std::size_t> todo;
    std::size_t empty = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty()) {
            ++empty;
        } else if ((i + 1) % std::size_t(options.shards) == std::size_t(options.shard - 1)) {
            todo.push_back(i);
        }
    }
    if (empty == lines.size()) {
        Report(Fill(Tr("Die Liste %1 enthält keine Zeile mit Text."), {options.batch}));
        return kExitFile;
    }
    if (empty > 0)
        Report(Fill(catalogue::TrN("Eine leere Zeile der Liste übersprungen.",
                                   "%1 leere Zeilen der Liste übersprungen.", empty),
                    {std::to_string(empty)}));

    const Destinations to{{}, type, ExtrasOf(options), PrintOptionsOf(options), {}, {}, vector};
    Lettering base;
    if (const int prepared = PrepareLettering(options, base); prepared != kExitOk) return prepared;
    if (!fonts.Finish()) {
        Report(kOutOfMemoryMessage);
        return kExitFile;
    }
    const std::vector<std::string> names = BatchFileNames(options.output, lines);
    if (todo.empty()) return kExitOk;
    const std::size_t workers = BatchWorkers(base, todo.size());
    if (workers == 1) return RenderBatchLines(base, lines, names, todo, to, options.textRaw, 0, 1);

    // One process a worker: the lines share nothing, and each keeps the renderer's single thread
    // of control and its own output transactions.
    std::fflush(nullptr);
    std::vector<pid_t> children;
    int result = kExitOk;
    const pid_t parent = ::getpid();
    for (std::size_t k = 0; k < workers; ++k) {
        const pid_t child = ::fork();
        if (child == 0) {
            // A worker ends with the run: when the parent dies, by whatever means, the worker is
            // told as if the run had been stopped, and cleans up its own temporaries.
            ForgetWorkers();
            if (::prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || ::getppid() != parent)
                ::_exit(kExitFile);
            const int status =
                RenderBatchLines(base, lines, names, todo, to, options.textRaw, k, workers);
            std::fflush(nullptr);
            ::_exit(status);
        }
        if (child < 0) {
            // Without another process the lines of this worker are drawn here.
            if (RenderBatchLines(base, lines, names, todo, to, options.textRaw, k, workers) !=
                kExitOk)
                result = kExitFile;
            continue;
        }
        children.push_back(child);
        RememberWorker(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        ForgetWorker(child);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != kExitOk) result = kExitFile;
    }
    return result;
}

// --time-limit: the thumbnailer's budget. The kernel sends SIGXCPU when the processor time is
// used up; the run ends there with its message and 1, before any output is in place (outputs
// are renamed into place only at the end, and a temporary left behind is removed by the next
// run that writes the same file). The hard limit a second later ends a run that does not react.
// The message is made before the limit is set: the handler may only write it.
std::string g_timeLimitMessage;

void EndOnTimeLimit(int) {
    [[maybe_unused]] const ssize_t n =
        ::write(STDERR_FILENO, g_timeLimitMessage.data(), g_timeLimitMessage.size());
    ::_exit(kExitFile);
}

bool LimitProcessorTime(std::int32_t seconds) {
    g_timeLimitMessage = std::string("glyphwerk-render: ") +
                         Tr("Die erlaubte Rechenzeit (--time-limit) ist abgelaufen; es wurde "
                            "nichts geschrieben.") +
                         "\n";
    struct sigaction action {};
    action.sa_handler = EndOnTimeLimit;
    sigemptyset(&action.sa_mask);
    if (::sigaction(SIGXCPU, &action, nullptr) != 0) return false;
    rlimit limit{};
    if (::getrlimit(RLIMIT_CPU, &limit) != 0) return false;
    const rlim_t soft = rlim_t(seconds);
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max <= soft) return true;  // already tighter
    limit.rlim_cur = soft;
    if (limit.rlim_max == RLIM_INFINITY || limit.rlim_max > soft + 1) limit.rlim_max = soft + 1;
    return ::setrlimit(RLIMIT_CPU, &limit) == 0;
}

// Below this much address space no run gets through (the font configuration alone takes about
// 45 MB, and the library it comes from fails there without a way back): such a run ends at once
// with the memory message rather than somewhere inside it.
constexpr rlim_t kLeastAddressSpace = rlim_t(64) << 20;

bool EnoughAddressSpace() {
    rlimit limit{};
    return ::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
           limit.rlim_cur >= kLeastAddressSpace;
}

bool LimitAddressSpace(std::int32_t mebibytes) {
#if defined(__SANITIZE_ADDRESS__)
    // The address sanitizer reserves terabytes of shadow address space at start; any cap would
    // end every run at its first allocation, so a sanitizer build runs without one.
    (void)mebibytes;
    return true;
#else
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0) return false;
    const rlim_t bytes = rlim_t(mebibytes) << 20;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur <= bytes) return true;  // already tighter
    limit.rlim_cur = bytes;
    return ::setrlimit(RLIMIT_AS, &limit) == 0;
#endif
}

// The library a picture of the type is written with; null for those written without one.
const char* CodecLibrary(ImageFileType type, bool vector) {
    if (vector) return nullptr;
    switch (type) {
        case ImageFileType::Png:
            return "libz.so.1";
        case ImageFileType::Jpeg:
            return "libjpeg.so.62";
        case ImageFileType::Webp:
            return "libwebp.so.7";
        default:
            return nullptr;
    }
}

int Run(const CliOptions& options) {
    ImageFileType type = ImageFileType::Png;
    std::optional<VectorFormat> vector;
    if (const int usage = CheckUsage(options, type, vector); usage != kExitOk) return usage;
    FontPreparation fonts(options, CodecLibrary(type, vector.has_value()));
    if (!options.batch.empty())
        return RunBatch(options, type, VectorOptionsOf(options, vector), fonts);
    Lettering lettering;
    if (const int prepared = PrepareLettering(options, lettering); prepared != kExitOk)
        return prepared;
    if (!fonts.Finish()) {
        Report(kOutOfMemoryMessage);
        return kExitFile;
    }
    return RenderAndWrite(
        lettering, {options.output, type, ExtrasOf(options), PrintOptionsOf(options), options.save,
                    options.stagesDir, VectorOptionsOf(options, vector)});
}

}  // namespace
}  // namespace gw

namespace gw {
namespace {

// The end of every run that gets this far. The static destructors only hand back what the process
// gives up anyway (the font configuration, the faces, the glyph caches): the system does that in
// one go, so the run skips them and flushes its streams as exit would. Its outputs are committed or
// cleaned up by then. The address sanitizer's leak check runs at exit, so a sanitizer build ends
// the usual way.
[[noreturn]] void EndRun(int status) {
#if defined(__SANITIZE_ADDRESS__)
    std::exit(status);
#else
    std::fflush(nullptr);
    ::_exit(status);
#endif
}

int RunProgram(int argc, char** argv) {
    // Before anything is said, the usage errors of other options included.
    gw::catalogue::UseLanguage(
        gw::RequestedLanguage(argc, argv).value_or(gw::catalogue::LanguageFromEnvironment()));
    gw::CleanUpOnSignals();
    // A run may render twice (--stages), with images of the same sizes.
    gw::KeepRenderMemory();
    gw::SetMessageBoxHandler(
        [](std::string_view text, std::string_view, gw::MsgIcon, gw::MsgButtons) {
            gw::Report(std::string(text));
            return gw::MsgResult::Ok;
        });
    gw::CliOptions options;
    std::string error;
    if (!gw::ParseCliOptions(argc, argv, options, error)) return gw::UsageError(error);
    if (options.help) {
        std::fputs(gw::CliHelpText().c_str(), stdout);
        return gw::kExitOk;
    }
    if (options.version) {
        std::printf("glyphwerk-render %s\n", gw::kVersion);
        return gw::kExitOk;
    }
    if (!gw::EnoughAddressSpace()) {
        gw::Report(gw::kOutOfMemoryMessage);
        return gw::kExitFile;
    }
    if (!options.list.empty()) {
        std::string listing;
        if (!gw::PresetListing(options.list, listing))
            return gw::UsageError(gw::catalogue::Fill(
                gw::catalogue::Tr("Die Option --list erwartet envelopes, edges, shadows oder "
                                  "frames, nicht \"%1\"."),
                {options.list}));
        std::fputs(listing.c_str(), stdout);
        return gw::kExitOk;
    }
    if (!options.completion.empty()) {
        const std::string script = gw::CompletionScript(options.completion);
        if (script.empty())
            return gw::UsageError(gw::catalogue::Fill(
                gw::catalogue::Tr("Die Option --completion erwartet bash oder zsh, nicht \"%1\"."),
                {options.completion}));
        std::fputs(script.c_str(), stdout);
        return gw::kExitOk;
    }
    if (options.listFonts) {
        for (const std::string& family : gw::EnumFontFamilies())
            std::printf("%s\n", family.c_str());
        return gw::kExitOk;
    }
    if (options.timeLimit > 0 && !gw::LimitProcessorTime(options.timeLimit)) {
        gw::Report(gw::catalogue::Tr("Konnte die Rechenzeit nicht begrenzen (--time-limit)."));
        return gw::kExitFile;
    }
    if (options.memoryLimit > 0 && !gw::LimitAddressSpace(options.memoryLimit)) {
        gw::Report(gw::catalogue::Tr("Konnte den Speicher nicht begrenzen (--memory-limit)."));
        return gw::kExitFile;
    }
    try {
        return gw::Run(options);
    } catch (const std::bad_alloc&) {
        // Whatever was staged went with the unwinding; nothing was put in place.
        gw::Report(gw::kOutOfMemoryMessage);
        return gw::kExitFile;
    }
}

}  // namespace
}  // namespace gw

int main(int argc, char** argv) {
    gw::EndRun(gw::RunProgram(argc, argv));
}
