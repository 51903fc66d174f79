#include "document/ColourNames.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

TEST(ColourNames, HexAndCssNamesGiveTheProgramsColourValue) {
    const std::pair<const char*, std::optional<TColor>> cases[] = {
        {"#FF8000", 0x0080FF},       {"#ff8000", 0x0080FF},  {"navy", 0x800000},
        {"RebeccaPurple", 0x993366}, {"white", 0xFFFFFF},    {"#12345", std::nullopt},
        {"#GG0000", std::nullopt},   {"0xFF", std::nullopt}, {"", std::nullopt},
        {"rot", std::nullopt},
    };
    for (const auto& [text, colour] : cases)
        EXPECT_EQ(ParseColourName(text), colour) << text;
}

}  // namespace
}  // namespace gw
