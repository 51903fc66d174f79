#pragma once
// The message catalogue. Every text a person reads is written in German in the code, and the
// German text is the key: `Tr` looks it up in the catalogue of the chosen language and gives the
// German text back where there is no catalogue or no entry, so a German, C or POSIX session shows
// exactly the texts written here.
//
// Texts are whole sentences with numbered places (%1 ... %9) rather than pieces glued together,
// so a translation may put the values where its language wants them.

#include <initializer_list>
#include <string>
#include <string_view>

// Marks a text for the catalogue where it is only stored (a table of names); the place that shows
// it calls Tr on it.
#define N_(text) (text)

namespace gw::catalogue {

// The program's message domain: glyphwerk.mo under <locale folder>/<language>/LC_MESSAGES.
inline constexpr const char* kDomain = "glyphwerk";

// The text in the chosen language. `german` must live as long as the program (a literal).
const char* Tr(const char* german);
// The singular or plural form for `count` in the chosen language.
const char* TrN(const char* germanSingular, const char* germanPlural, unsigned long count);

// The pattern with %1 ... %9 replaced by the values in order; "%%" is a percent sign, and a place
// without a value stays as it is.
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace gw::catalogue
