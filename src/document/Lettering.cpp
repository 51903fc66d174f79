#include "document/Lettering.h"

#include <filesystem>

#include "document/EnvelopePresets.h"
#include "document/SettingsTable.h"
#include "platform/Catalogue.h"

namespace gw {

namespace {

// The message of a text too long is handed on in German and translated where it is shown; here it
// is marked for the catalogue, and kept the same as the header's.
constexpr const char* kTextTooLongForTheCatalogue =
    N_("Der Text ist zu lang: ein Schriftzug fasst höchstens 1 MiB Text.");
static_assert(std::string_view(kTextTooLongForTheCatalogue) == kTextTooLongMessage);

}  // namespace

std::vector<std::string> SplitTextLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

void InitStartState(Lettering& lettering) {
    lettering.settings = LetteringSettings{};
    lettering.width = 450;
    lettering.height = 200;
    ResetBoundaryLines(lettering);
}

void ResetForNew(Lettering& lettering) {
    lettering.settings.Memo1 = LetteringSettings().Memo1;
    ApplyNewValues(lettering.settings);
    ResetBoundaryLines(lettering);
}

std::string FileNameOnly(const std::string& fileName) {
    return std::filesystem::path(fileName).filename().string();
}

std::string CaptionFor(const std::string& fileName) {
    const std::string shown = fileName.empty() ? "Unbenannt.zgw" : FileNameOnly(fileName);
    return std::string(kProgramTitle) + " - [" + shown + "]";
}

void BuildBoundaryOutlines(Lettering& lettering) {
    for (TLine& line : lettering.EnvelopeLines)
        line.BuildOutline(OutlineBound(lettering.width, lettering.height));
}

Lettering RenderSnapshot(const Lettering& lettering) {
    Lettering copy;
    copy.settings = lettering.settings;
    copy.width = lettering.width;
    copy.height = lettering.height;
    copy.EnvelopeLines = lettering.EnvelopeLines;
    copy.TextTexture = MakeDIBCopy(lettering.TextTexture);
    copy.BackgroundTexture = MakeDIBCopy(lettering.BackgroundTexture);
    return copy;
}

}  // namespace gw
