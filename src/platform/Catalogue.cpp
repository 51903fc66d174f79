#include "platform/Catalogue.h"

#include <libintl.h>

#include <atomic>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "platform/System.h"

namespace gw::catalogue {

namespace {

// German until a program chooses: the code's own texts, without asking the C library, so that
// an installed catalogue never answers for a German session whatever the locale says.
std::atomic<Language> g_language{Language::German};

bool IsSet(const char* value) {
    return value != nullptr && *value != '\0';
}

// "C", "POSIX" and their variants ("C.UTF-8") are the locales without a language.
bool IsPlainLocale(std::string_view name) {
    return name == "C" || name == "POSIX" || name.starts_with("C.") || name.starts_with("C@");
}

// Sets the C library up to read the English catalogue.
void ReadEnglish() {
    bindtextdomain(kDomain, LocaleFolder().c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
    // The C library reads LANGUAGE only while the messages' locale is not "C"; C.UTF-8 exists on
    // every system, whatever the user's locale. The number format stays as it is: the command
    // line reads numbers with it.
    std::setlocale(LC_MESSAGES, "C.UTF-8");
    std::setlocale(LC_CTYPE, "C.UTF-8");
    ::setenv("LANGUAGE", "en", 1);
}

}  // namespace

std::optional<Language> LanguageNamed(std::string_view name) {
    // The language is the part before the territory, the character set and the variant.
    const std::string_view code = name.substr(0, name.find_first_of("_.@"));
    if (code == "de") return Language::German;
    if (code == "en") return Language::English;
    return std::nullopt;
}

Language LanguageOf(const LocaleVariables& variables) {
    const char* locale = IsSet(variables.lcAll)        ? variables.lcAll
                         : IsSet(variables.lcMessages) ? variables.lcMessages
                                                       : variables.lang;
    if (!IsSet(locale) || IsPlainLocale(locale)) return Language::German;
    if (IsSet(variables.language)) {
        std::string_view list = variables.language;
        while (!list.empty()) {
            const std::size_t colon = list.find(':');
            if (const std::optional<Language> language = LanguageNamed(list.substr(0, colon)))
                return *language;
            list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
        }
        // The C library looks no further than LANGUAGE's list once it is set.
        return Language::German;
    }
    return LanguageNamed(locale).value_or(Language::German);
}

Language LanguageFromEnvironment() {
    return LanguageOf({std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                       std::getenv("LANG")});
}

std::string LocaleFolder() {
    const auto hasCatalogue = [](const std::filesystem::path& folder) {
        std::error_code ec;
        return std::filesystem::exists(folder / "en/LC_MESSAGES/glyphwerk.mo", ec);
    };
    std::error_code ec;
    std::filesystem::path folder =
        std::filesystem::weakly_canonical(ProgramFolder() + "../locale", ec);
    if (ec || !hasCatalogue(folder))
        folder = std::filesystem::weakly_canonical(DataFolder() + "../locale", ec);
    std::string path = folder.string();
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

void UseLanguage(Language language) {
    if (language == Language::English) ReadEnglish();
    g_language.store(language);
}

const char* English(const char* german) {
    static std::once_flag once;
    std::call_once(once, ReadEnglish);
    return dgettext(kDomain, german);
}

Language CurrentLanguage() {
    return g_language.load();
}

const char* Tr(const char* german) {
    // The empty text is the catalogue's header, never a translation.
    if (g_language.load(std::memory_order_relaxed) == Language::German || *german == '\0')
        return german;
    return dgettext(kDomain, german);
}

const char* TrN(const char* germanSingular, const char* germanPlural, unsigned long count) {
    if (g_language.load(std::memory_order_relaxed) == Language::German)
        return count == 1 ? germanSingular : germanPlural;
    return dngettext(kDomain, germanSingular, germanPlural, count);
}

std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string out;
    out.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%' || i + 1 == pattern.size()) {
            out += c;
            continue;
        }
        const char next = pattern[i + 1];
        if (next == '%') {
            out += '%';
            ++i;
        } else if (next >= '1' && next <= '9' && size_t(next - '1') < values.size()) {
            out += *(values.begin() + (next - '1'));
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace gw::catalogue
