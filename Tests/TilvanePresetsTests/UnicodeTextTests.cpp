#include "TilvanePresets/UnicodeText.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

namespace tilvane {
namespace {

TEST(UnicodeText, TrimsUnicodeWhitespaceAtBothEndsOnly)
{
    EXPECT_EQ(text::trimmingWhitespace("  Retro \n"), "Retro");
    EXPECT_EQ(text::trimmingWhitespace("\t\r\n\v\f "), "");
    EXPECT_EQ(text::trimmingWhitespace(""), "");
    EXPECT_EQ(text::trimmingWhitespace("a  b"), "a  b");
    // No-break space, ideographic space, line separator, next line.
    EXPECT_EQ(text::trimmingWhitespace("\u00A0\u3000Café\u2028\u0085"), "Café");
    // A zero-width space is not white space.
    EXPECT_EQ(text::trimmingWhitespace("\u200B"), "\u200B");
    EXPECT_EQ(text::trimmingWhitespace(" \xff "), "\xff");
}

TEST(UnicodeText, RecognisesMalformedUtf8)
{
    EXPECT_TRUE(text::isValidUtf8("ação 😀"));
    EXPECT_FALSE(text::isValidUtf8("\xff"));
    EXPECT_FALSE(text::isValidUtf8("\xc0\xaf"));          // overlong "/"
    EXPECT_FALSE(text::isValidUtf8("\xed\xa0\x80"));      // surrogate
    EXPECT_FALSE(text::isValidUtf8("\xf4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_FALSE(text::isValidUtf8("\xe2\x82"));          // truncated
}

TEST(UnicodeText, LowercasesBeyondAscii)
{
    testing::ScopedEnvironment all("LC_ALL", "C.UTF-8");
    EXPECT_EQ(text::lowercasedForUserLocale("RETRO (2)"), "retro (2)");
    EXPECT_EQ(text::lowercasedForUserLocale("ÂMBAR ÇÉU ΣΩ"), "âmbar çéu σω");
    EXPECT_EQ(text::lowercasedForUserLocale("A\xffZ"), "a\xffz");
}

struct CharacterCountCase {
    const char* name;
    std::string text;
    std::size_t expected;
};

void PrintTo(const CharacterCountCase& row, std::ostream* out) { *out << row.name; }


class PerceivedCharacters : public ::testing::TestWithParam<CharacterCountCase> {};

TEST_P(PerceivedCharacters, CountsWhatTheUserSees)
{
    EXPECT_EQ(text::userPerceivedCharacterCount(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PerceivedCharacters,
    ::testing::Values(CharacterCountCase{"empty", "", 0}, CharacterCountCase{"ascii", "personal:abc", 12},
                      CharacterCountCase{"precomposed", "é", 1}, CharacterCountCase{"combining", "e\u0301", 1},
                      CharacterCountCase{"twoMarks", "a\u0301\u0323b", 2},
                      CharacterCountCase{"emojiWithSkinTone", "👍🏽", 1},
                      CharacterCountCase{"familyJoined", "👨\u200D👩\u200D👧", 1},
                      CharacterCountCase{"twoFlags", "🇧🇷🇵🇹", 2}, CharacterCountCase{"threeIndicators", "🇧🇷🇵", 2},
                      CharacterCountCase{"crlf", "a\r\nb", 3}, CharacterCountCase{"hangulJamo", "\u1100\u1161\u11A8", 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UnicodeText, MalformedTextHasNoCharacterCount)
{
    EXPECT_EQ(text::userPerceivedCharacterCount("abc\xff"), std::nullopt);
}

}  // namespace
}  // namespace tilvane
