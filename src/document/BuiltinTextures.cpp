#include "document/BuiltinTextures.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

#include "platform/AllocationLimit.h"
#include "platform/Catalogue.h"
#include "platform/System.h"
#include "raster/DibService.h"
#include "raster/ImageFiles.h"
#include "raster/ImageRefusal.h"

namespace gw {

namespace {

bool IsTextureFileName(const std::string& name) {
    if (name.size() < 7) return false;
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.starts_with("tex") && lower.ends_with(".gif");
}

// A 24-bit stand-in of a neutral grey, so a missing texture reads as plain, not as black.
void MakeGreyImage(DibImage& image, std::int32_t side) {
    newdib(image, side, side, 24, nullptr, 0);
    if (image.Bits) std::memset(image.Bits.get(), 0xC0, DibImageSize(image));
}

DibImage CopyOrGrey(const DibImage& source) {
    DibImage copy = MakeDIBCopy(source);
    if (!copy.Bits) MakeGreyImage(copy, 10);
    return copy;
}

}  // namespace

bool HasTextureFiles(const std::string& folder) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (IsTextureFileName(it->path().filename().string())) return true;
    }
    return false;
}

void LoadBuiltinTextures(BuiltinTextures& table, const std::string& folder,
                         const std::function<void()>& afterEachFile) {
    table.entries.clear();
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (IsTextureFileName(it->path().filename().string())) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    for (const std::filesystem::path& file : files) {
        if (afterEachFile) afterEachFile();
        if (std::filesystem::is_directory(file, ec)) continue;
        DibImage image;
        OpenDib(image, file.string());
        if (image.Bits) table.entries.push_back(std::move(image));
    }
    while (table.entries.size() < 2) {
        DibImage placeholder;
        MakeGreyImage(placeholder, 256);
        table.entries.push_back(std::move(placeholder));
    }
}

void SetStartTextures(Lettering& lettering, const BuiltinTextures& table) {
    if (table.entries.empty()) return;
    lettering.TextTexture = CopyOrGrey(table.entries.front());
    lettering.BackgroundTexture = CopyOrGrey(table.entries.back());
}

void SetTexture(Lettering& lettering, const BuiltinTextures& table, int index, bool textPage) {
    if (index < 0 || std::size_t(index) >= table.entries.size()) return;
    DibImage& target = textPage ? lettering.TextTexture : lettering.BackgroundTexture;
    target = CopyOrGrey(table.entries[std::size_t(index)]);
}

bool LoadOwnTexture(Lettering& lettering, const std::string& fileName, bool textPage) {
    const std::uint64_t failuresBefore = AllocationFailures();
    DibImage image;
    OpenDib(image, fileName, kTextureLimits);
    if (!image.Bits) {
        ShowMessageBox(AllocationFailures() != failuresBefore
                           ? std::string(kOutOfMemoryMessage)
                           : catalogue::Fill(catalogue::Tr("Konnte das Bild nicht laden. (%1) %2"),
                                             {fileName, ImageRefusalReason()}),
                       catalogue::Tr("Fehler"), MsgIcon::Error);
        return false;
    }
    (textPage ? lettering.TextTexture : lettering.BackgroundTexture) = std::move(image);
    return true;
}

}  // namespace gw
