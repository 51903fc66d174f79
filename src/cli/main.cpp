// glyphwerk-render: draws letterings without a window.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "document/BuiltinTextures.h"
#include "document/Lettering.h"
#include "document/LetteringFile.h"
#include "document/PictureSize.h"
#include "document/SettingsTable.h"
#include "platform/System.h"
#include "platform/TextLayout.h"
#include "raster/DibService.h"
#include "render/LargeBuffers.h"
#include "render/Pipeline.h"
#include "render/Presets.h"

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

// Files written by this run, so a later failure can take them back: a failed run leaves no output
// behind. A file that existed before is replaced only by a complete new one, never removed.
class Outputs {
  public:
    void Written(const std::string& path, bool existedBefore) {
        if (!existedBefore) created_.push_back(path);
    }
    void TakeBack() {
        std::error_code ec;
        for (const std::string& path : created_)
            std::filesystem::remove(path, ec);
        created_.clear();
    }

  private:
    std::vector<std::string> created_;
};

bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

bool WritePng(const DibImage& image, const std::string& path, Outputs& outputs) {
    const bool existed = Exists(path);
    std::string error;
    if (!SaveDib(image, path, ImageFileType::Png, &error)) {
        Report(error);
        return false;
    }
    outputs.Written(path, existed);
    return true;
}

int Run(const CliOptions& options) {
    ImageFileType outputType = ImageFileType::Png;
    if (!options.output.empty() &&
        (!ImageFileTypeFromName(options.output, outputType) || outputType == ImageFileType::Gif)) {
        return UsageError("Das Bildformat von \"" + options.output +
                          "\" kenne ich nicht; möglich sind .png, .bmp, .jpg und .jpeg.");
    }

    // The window offers only installed fonts; a name it could not offer would be drawn in a
    // stand-in here and stored, and the document would look different when opened again.
    std::vector<std::string> installedFonts;
    if (options.font || !options.input.empty()) installedFonts = EnumFontFamilies();
    if (options.font && !IsInstalledFont(*options.font, installedFonts))
        return UsageError(
            "Die Schriftart \"" + *options.font +
            "\" ist nicht installiert; glyphwerk-render --fonts nennt die installierten.");

    Lettering lettering;
    InitStartState(lettering);

    if (!options.input.empty()) {
        const DocumentResult opened = OpenLetteringFile(lettering, options.input, installedFonts);
        if (!opened.ok) {
            Report(opened.message);
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
        BuiltinTextures textures;
        LoadBuiltinTextures(textures, DataFolder());
        Lettering start;
        SetStartTextures(start, textures);
        if (!options.textTexture) lettering.TextTexture = std::move(start.TextTexture);
        if (!options.backgroundTexture)
            lettering.BackgroundTexture = std::move(start.BackgroundTexture);
    }

    RenderImages images;
    MakeWhitePicture(lettering, images.Picture);
    RenderTrace trace;
    RenderLettering(lettering, images, options.stagesDir.empty() ? nullptr : &trace);
    if (!images.Picture.Bits) {
        Report("Das Bild konnte nicht erzeugt werden (zu wenig Speicher).");
        return kExitFile;
    }

    Outputs outputs;
    auto fail = [&outputs] {
        outputs.TakeBack();
        return kExitFile;
    };
    if (!options.save.empty()) {
        const bool existed = Exists(options.save);
        const DocumentResult saved = SaveLetteringFile(lettering, options.save);
        if (!saved.ok) {
            Report(saved.message);
            return fail();
        }
        outputs.Written(options.save, existed);
    }
    if (!options.output.empty()) {
        const bool existed = Exists(options.output);
        std::string error;
        if (!SaveDib(images.Picture, options.output, outputType, &error)) {
            Report(error);
            return fail();
        }
        outputs.Written(options.output, existed);
    }
    if (!options.stagesDir.empty()) {
        std::error_code ec;
        const bool existed = Exists(options.stagesDir);
        std::filesystem::create_directories(options.stagesDir, ec);
        if (ec) {
            Report("Konnte den Ordner " + options.stagesDir + " nicht anlegen.");
            return fail();
        }
        outputs.Written(options.stagesDir, existed);
        const std::filesystem::path dir(options.stagesDir);
        if (!WritePng(trace.letters, (dir / "letters.png").string(), outputs) ||
            !WritePng(images.TextImage, (dir / "textimage.png").string(), outputs) ||
            !WritePng(images.TextMask, (dir / "textmask.png").string(), outputs) ||
            !WritePng(trace.unfiltered, (dir / "unfiltered.png").string(), outputs)) {
            return fail();
        }
    }
    return kExitOk;
}

}  // namespace
}  // namespace gw

int main(int argc, char** argv) {
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
        std::vector<std::string> families = gw::EnumFontFamilies();
        std::stable_sort(families.begin(), families.end(), [](const auto& a, const auto& b) {
            return std::lexicographical_compare(
                a.begin(), a.end(), b.begin(), b.end(),
                [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
        });
        for (const std::string& family : families)
            std::printf("%s\n", family.c_str());
        return gw::kExitOk;
    }
    return gw::Run(options);
}
