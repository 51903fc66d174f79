#pragma once
// The built-in texture table and the textures of the two surfaces.

#include <functional>
#include <string>
#include <vector>

#include "document/Lettering.h"
#include "raster/DibImage.h"

namespace gw {

struct BuiltinTextures {
    std::vector<DibImage> entries;
};

// Fills the table from the files "tex*.gif" of `folder` (the name test ignores case), taken in
// name order; files that cannot be read and folders are skipped silently. Grey 256 x 256
// placeholders follow until the table holds two entries. `afterEachFile` runs after every file,
// so a splash window can paint while the textures load.
void LoadBuiltinTextures(BuiltinTextures& table, const std::string& folder,
                         const std::function<void()>& afterEachFile = {});

// Whether `folder` holds at least one file named as a built-in texture.
bool HasTextureFiles(const std::string& folder);

// The textures at start: the letters get a copy of the first entry, the background a copy of the
// last. A copy that fails leaves a 10 x 10 grey image in its place.
void SetStartTextures(Lettering& lettering, const BuiltinTextures& table);

// A copy of entry `index` becomes the letters' texture (textPage) or the background's.
void SetTexture(Lettering& lettering, const BuiltinTextures& table, int index, bool textPage);

// An image file becomes the letters' texture (textPage) or the background's. When it cannot be
// loaded the user is told "Konnte das Bild nicht laden." with the file's name, and the textures
// stay as they were. A texture over 9999 pixels on a side or over 100 million pixels is refused
// before its pixels are read (kTextureLimits).
bool LoadOwnTexture(Lettering& lettering, const std::string& fileName, bool textPage);

}  // namespace gw
