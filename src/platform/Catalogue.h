#pragma once
// The message catalogue. Every text a person reads is written in German in the code, and the
// German text is the key: `Tr` looks it up in the catalogue of the chosen language and gives the
// German text back where there is no catalogue or no entry, so a German, C or POSIX session shows
// exactly the texts written here.
//
// Texts are whole sentences with numbered places (%1 ... %9) rather than pieces glued together,
// so a translation may put the values where its language wants them.

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

// Marks a text for the catalogue where it is only stored (a table of names); the place that shows
// it calls Tr on it.
#define N_(text) text

namespace gw::catalogue {

// The program's message domain: glyphwerk.mo under <locale folder>/<language>/LC_MESSAGES.
inline constexpr const char* kDomain = "glyphwerk";

// The languages the program speaks. German is the language of the code; English comes from the
// catalogue.
enum class Language { German, English };

// The locale variables as the environment has them; null for one that is not set.
struct LocaleVariables {
    const char* language = nullptr;  // LANGUAGE, a colon list of languages
    const char* lcAll = nullptr;
    const char* lcMessages = nullptr;
    const char* lang = nullptr;
};

// The language these variables ask for, in the order the C library reads them: the locale from
// LC_ALL, LC_MESSAGES or LANG, the first set; a C or POSIX locale (or none) is German whatever
// LANGUAGE says; otherwise the first language of LANGUAGE's list that we speak, or the locale's
// where LANGUAGE is not set. A language we do not speak is German.
Language LanguageOf(const LocaleVariables& variables);
// The same for this process's environment.
Language LanguageFromEnvironment();
// "de" or "en" (a locale name such as "en_GB.UTF-8" too); nothing for any other.
std::optional<Language> LanguageNamed(std::string_view name);

// Makes `language` the one Tr answers in, from now on, for every thread. English binds the
// catalogue in the build tree's locale folder or the installed one, and sets the text categories
// of the C library (never the number format) to a locale every system has, with LANGUAGE, so the
// catalogue is read even where the user's own locale was never generated. Until it is called,
// Tr gives the German text.
void UseLanguage(Language language);
// The language Tr answers in.
Language CurrentLanguage();
// The English text whatever the chosen language, for names the command line takes in both. In a
// German session its first call sets the C library up as UseLanguage(English) does, so it is for
// a program that starts no other (the headless renderer), never for the window.
const char* English(const char* german);
// The folder the catalogues are looked for in, ending in '/': "locale" beside the program's
// folder in the build tree, else "locale" beside the installed data folder.
std::string LocaleFolder();

// The text in the chosen language. `german` must live as long as the program (a literal).
const char* Tr(const char* german);
// The singular or plural form for `count` in the chosen language.
const char* TrN(const char* germanSingular, const char* germanPlural, unsigned long count);

// The pattern with %1 ... %9 replaced by the values in order; "%%" is a percent sign, and a place
// without a value stays as it is.
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace gw::catalogue
