// glyphwerk-render: draws letterings without a window.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/OutputTransaction.h"
#include "document/BuiltinTextures.h"
#include "document/Lettering.h"
#include "document/LetteringFile.h"
#include "document/PictureSize.h"
#include "document/SettingsTable.h"
#include "platform/AllocationLimit.h"
#include "platform/System.h"
#include "platform/TextLayout.h"
#include "raster/DibService.h"
#include "render/LargeBuffers.h"
#include "render/Pipeline.h"
#include "render/Presets.h"
#include "render/TextRaster.h"

namespace gw {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFile = 1;
constexpr int kExitUsage = 2;

void Report(const std::string& text) {
    std::fprintf(stderr, "glyphwerk-render: %s\n", text.c_str());
}

int UsageError(const std::string& text) {
    Report(text);
    std::fprintf(stderr, "Hilfe: glyphwerk-render --help\n");
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

// A font the run was given but that is not here is drawn in a stand-in, and characters no font
// has are drawn as boxes: both are said, and the run goes on. The default font is covered by the
// program's font rule, so default runs stay quiet.
void NoteTextSubstitutes(const LetteringSettings& s, bool fontGiven) {
    if (fontGiven && !IsInstalledFont(s.Font.name, EnumFontFamilies())) {
        const std::string note = FontSubstitutionNote(s);
        if (!note.empty()) Report(note);
    }
    const std::string missing = MissingCharactersNote(s);
    if (!missing.empty()) Report(missing);
}

int Run(const CliOptions& options) {
    const std::uint64_t failuresAtStart = AllocationFailures();
    ImageFileType outputType = ImageFileType::Png;
    if (!options.output.empty() &&
        (!ImageFileTypeFromName(options.output, outputType) || outputType == ImageFileType::Gif)) {
        return UsageError("Das Bildformat von \"" + options.output +
                          "\" kenne ich nicht; möglich sind .png, .bmp, .jpg und .jpeg.");
    }

    Lettering lettering;
    InitStartState(lettering);

    if (!options.input.empty()) {
        const DocumentResult opened = OpenLetteringFile(lettering, options.input);
        if (!opened.ok) {
            Report(AllocationFailures() != failuresAtStart ? kOutOfMemoryMessage : opened.message);
            return kExitFile;
        }
    }
    if (options.width) ResizeLettering(lettering, *options.width, *options.height, true);

    LetteringSettings& s = lettering.settings;
    if (options.text) s.Memo1 = SplitTextArgument(*options.text);
    if (options.font) s.Font.name = *options.font;
    if (options.bold) s.Font.bold = true;
    if (options.italic) s.Font.italic = true;
    if (options.align) s.AusrichtBox = *options.align;

    if (options.textTexture) {
        if (!LoadOwnTexture(lettering, *options.textTexture, true)) return kExitFile;
        s.SurfaceFrame1.kind = SurfaceKind::OwnTexture;
    }
    if (options.backgroundTexture) {
        if (!LoadOwnTexture(lettering, *options.backgroundTexture, false)) return kExitFile;
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
            Report(MissingDataMessage("die mitgelieferten Texturen (tex*.gif)"));
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

    NoteTextSubstitutes(s, options.font.has_value() || !options.input.empty());

    RenderImages images;
    MakeWhitePicture(lettering, images.Picture);
    RenderTrace trace;
    RenderLettering(lettering, images, options.stagesDir.empty() ? nullptr : &trace);
    // The render leaves out what it has no memory for; such a picture is not what was asked for.
    if (!images.Picture.Bits || AllocationFailures() != failuresAtStart) {
        Report(kOutOfMemoryMessage);
        return kExitFile;
    }

    OutputTransaction outputs;
    std::string error;
    const bool written =
        (options.save.empty() || outputs.AddDocument(lettering, options.save, error)) &&
        (options.output.empty() ||
         outputs.AddImage(images.Picture, options.output, outputType, error)) &&
        (options.stagesDir.empty() ||
         WriteStages(trace, images, options.stagesDir, outputs, error));
    if (!written || !outputs.Commit(error)) {
        Report(error);
        return kExitFile;
    }
    return kExitOk;
}

}  // namespace
}  // namespace gw

int main(int argc, char** argv) {
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
    if (options.listFonts) {
        for (const std::string& family : gw::EnumFontFamilies())
            std::printf("%s\n", family.c_str());
        return gw::kExitOk;
    }
    try {
        return gw::Run(options);
    } catch (const std::bad_alloc&) {
        // Whatever was staged went with the unwinding; nothing was put in place.
        gw::Report(gw::kOutOfMemoryMessage);
        return gw::kExitFile;
    }
}
