#pragma once
// Why the last image file this thread tried to read was refused: a sentence in the chosen
// language for the message that names the file. The decoders note the reasons they can tell apart;
// any other refusal reads as a damaged file.

#include <string>

#include "platform/Catalogue.h"

namespace gw {

std::string ImageRefusalReason();

namespace imagefiles {

// `reason` is a German sentence with static storage, marked for the catalogue (N_); the first one
// noted in a read stands.
void NoteRefusal(const char* reason);
void ClearRefusal();

inline constexpr char kRefusedTooLarge[] =
    N_("Das Bild ist zu groß: eine Textur hat höchstens 9999 Pixel je Seite und 100 Millionen "
       "Pixel.");

}  // namespace imagefiles
}  // namespace gw
