// The letters as outlines (being built: no contours yet).
#include "render/VectorLetters.h"

namespace gw {

bool LetterOutlines(const Lettering&, VectorLetters& letters, std::string&, std::int32_t) {
    letters.contours.clear();
    return true;
}

}  // namespace gw
