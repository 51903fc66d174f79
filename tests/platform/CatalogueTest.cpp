#include "platform/Catalogue.h"

#include <gtest/gtest.h>

#include <string>

namespace gw::catalogue {
namespace {

TEST(Catalogue, LanguageFollowsTheLocaleVariablesInTheCLibrarysOrder) {
    struct Case {
        LocaleVariables variables;
        Language expected;
    };
    const Case cases[] = {
        {{}, Language::German},
        {{nullptr, nullptr, nullptr, "en_US.UTF-8"}, Language::English},
        {{nullptr, nullptr, nullptr, "de_DE.UTF-8"}, Language::German},
        {{nullptr, nullptr, nullptr, "fr_FR.UTF-8"}, Language::German},
        {{nullptr, nullptr, nullptr, "C"}, Language::German},
        {{nullptr, nullptr, nullptr, "english"}, Language::German},
        // A C or POSIX locale leaves LANGUAGE unread.
        {{"en", nullptr, nullptr, "C"}, Language::German},
        {{"en", "POSIX", nullptr, "en_US.UTF-8"}, Language::German},
        {{"en", nullptr, "C.UTF-8", nullptr}, Language::German},
        {{"en", nullptr, nullptr, nullptr}, Language::German},
        // LC_ALL before LC_MESSAGES before LANG; empty counts as unset.
        {{nullptr, "en_GB.UTF-8", "de_DE.UTF-8", "de_DE.UTF-8"}, Language::English},
        {{nullptr, "", "en_GB", "de_DE.UTF-8"}, Language::English},
        {{nullptr, nullptr, "de_AT@euro", "en_US.UTF-8"}, Language::German},
        // LANGUAGE's first language we speak, and none past its list.
        {{"fr:en_GB:de", nullptr, nullptr, "de_DE.UTF-8"}, Language::English},
        {{"de:en", nullptr, nullptr, "en_US.UTF-8"}, Language::German},
        {{"fr:it", nullptr, nullptr, "en_US.UTF-8"}, Language::German},
        {{"", nullptr, nullptr, "en_US.UTF-8"}, Language::English},
    };
    for (const Case& c : cases) {
        const LocaleVariables& v = c.variables;
        EXPECT_EQ(LanguageOf(v), c.expected)
            << "LANGUAGE=" << (v.language ? v.language : "-")
            << " LC_ALL=" << (v.lcAll ? v.lcAll : "-")
            << " LC_MESSAGES=" << (v.lcMessages ? v.lcMessages : "-")
            << " LANG=" << (v.lang ? v.lang : "-");
    }
}

TEST(Catalogue, EnglishComesFromTheBuiltCatalogueAndGermanFromTheCode) {
    const char* const german =
        "Die Programmdaten sind unvollständig: es fehlen %1. Gesucht wurde in: %2.";
    EXPECT_STREQ(Tr(german), german);
    EXPECT_STREQ(TrN("eine Zeile", "%1 Zeilen", 2), "%1 Zeilen");
    UseLanguage(Language::English);
    const std::string english = Tr(german);
    UseLanguage(Language::German);
    EXPECT_EQ(english, "The program's data is incomplete: %1 missing. Looked in: %2.");
    EXPECT_STREQ(Tr(german), german);
}

}  // namespace
}  // namespace gw::catalogue
