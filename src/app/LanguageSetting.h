#pragma once
// The window's "Sprache": as the system says, German or English, kept in the user's settings and
// taken at the next start (the texts already shown stay as they are).

#include "platform/Catalogue.h"

namespace gw {

enum class LanguageChoice { System, German, English };

LanguageChoice StoredLanguageChoice();
void StoreLanguageChoice(LanguageChoice choice);

// The language the window starts in: the stored choice, or the environment's.
catalogue::Language WindowLanguage();

}  // namespace gw
