#include "TilvanePresets/UnicodeText.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

namespace tilvane {
namespace {

using namespace testing;

TEST(UnicodeText, CountsExtendedGraphemeClusters)
{
    // Rows after Unicode's GraphemeBreakTest: the text and the number of user-perceived characters.
    const std::tuple<const char*, std::string, std::size_t> rows[] = {
        {"empty", "", 0},
        {"ascii", "Retro", 5},
        {"carriageReturnLineFeed", "a\r\nb", 3},
        {"lineFeedCarriageReturn", "\n\r", 2},
        {"combiningAccents", "e\u0301e\u0301\u0323", 2},
        {"zwjFamily", "\U0001F468\u200D\U0001F469\u200D\U0001F467", 1},
        {"zwjAfterLetterBreaksBefore", "a\u200D\U0001F6D1", 2},
        {"skinTone", "\U0001F44D\U0001F3FD", 1},
        {"flags", "\U0001F1E7\U0001F1F7\U0001F1F5\U0001F1F9", 2},
        {"oddRegionalIndicators", "\U0001F1E7\U0001F1F7\U0001F1F5", 2},
        {"hangulJamoLVT", "\u1112\u1161\u11AB", 1},
        {"hangulLThenLVSyllable", "\u1100\uAC00", 1},
        {"hangulSyllables", "\uAC01\uAC01", 2},
        {"hangulLVTThenV", "\uAC01\u1161", 2},
        {"devanagariSpacingMark", "\u0915\u093F", 1},
        {"devanagariVirama", "\u0915\u094D", 1},
        {"prepend", "\u0600\u0661", 1},
        {"variationSelector", "\u2764\uFE0F", 1},
        {"controlBreaksMarks", "\u0007\u0301", 2},
    };
    for (const auto& [name, text, expected] : rows) {
        EXPECT_EQ(text::userPerceivedCharacterCount(text), expected) << name;
    }
    EXPECT_EQ(text::userPerceivedCharacterCount("a\xFF"), std::nullopt);
    EXPECT_EQ(text::userPerceivedCharacterCount("\xED\xA0\x80"), std::nullopt) << "a surrogate";
}

TEST(UnicodeText, LowerCasesComposedTextForTheUsersLanguage)
{
    // Rows: the language, the text, its lower-case composed form.
    const std::tuple<const char*, std::string, std::string> rows[] = {
        {"pt_BR.UTF-8", "ÂMBAR", "âmbar"},
        {"pt_BR.UTF-8", "CAFE\u0301", "café"},
        {"pt_BR.UTF-8", "ΟΔΟΣ", "οδος"},
        {"pt_BR.UTF-8", "ΣΟΦΙΑ", "σοφια"},
        {"pt_BR.UTF-8", "ΟΔΟΣ ΣΟΦΙΑΣ", "οδος σοφιας"},
        {"pt_BR.UTF-8", "Σ", "σ"},
        {"pt_BR.UTF-8", "IŞIK", "işik"},
        {"tr_TR.UTF-8", "IŞIK", "ışık"},
        {"tr_TR.UTF-8", "İSTANBUL", "istanbul"},
        {"C",
         "a\xFF"
         "B",
         "a\xFF"
         "b"},
    };
    for (const auto& [language, text, expected] : rows) {
        ScopedEnvironment all("LC_ALL", language);
        EXPECT_EQ(text::lowercasedForUserLocale(text), expected) << language << " " << text;
    }
}

TEST(UnicodeText, TrimsWhiteSpaceAndValidatesUtf8)
{
    EXPECT_EQ(text::trimmingWhitespace("\u3000\u00A0 Retro\u2028\n"), "Retro");
    EXPECT_EQ(text::trimmingWhitespace("\u200B"), "\u200B") << "a zero-width space is no White_Space";
    EXPECT_EQ(text::trimmingWhitespace(" \xFF "), "\xFF");
    EXPECT_EQ(text::trimmingWhitespace(" \t\u2003"), "");
    for (const std::string malformed : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x80"}) {
        EXPECT_FALSE(text::isValidUtf8(malformed)) << malformed;
    }
    EXPECT_TRUE(text::isValidUtf8("Ação 😀 \U0010FFFF"));
}

TEST(UnicodeText, ElidesLongTextInTheMiddleWithoutSplittingACharacter)
{
    const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467";
    // Rows: the text, the most characters shown, what is shown.
    const std::tuple<const char*, std::string, std::size_t, std::string> rows[] = {
        {"short enough", "Retro", 5, "Retro"},
        {"empty", "", 3, ""},
        {"odd room", "abcdefghij", 5, "ab…ij"},
        {"even room", "abcdefghij", 6, "abc…ij"},
        {"room for the ellipsis only", "abcdefghij", 1, "…"},
        {"no room", "abcdefghij", 0, ""},
        {"accents stay on their letters", "e\u0301e\u0301e\u0301e\u0301e\u0301", 3, "e\u0301…e\u0301"},
        {"emoji sequences stay whole", family + family + family + family, 3, family + "…" + family},
        {"flags stay whole", "\U0001F1E7\U0001F1F7\U0001F1E7\U0001F1F7\U0001F1E7\U0001F1F7", 2,
         "\U0001F1E7\U0001F1F7…"},
        {"malformed bytes count one each", "\xFF\xFF\xFF\xFF", 3, "\xFF…\xFF"},
    };
    for (const auto& [name, text, room, expected] : rows) {
        EXPECT_EQ(text::elidedInTheMiddle(text, room), expected) << name;
    }
    const std::string shown = text::elidedInTheMiddle(std::string(10'000, 'x') + "fim", 48);
    EXPECT_EQ(text::userPerceivedCharacterCount(shown), 48u);
    EXPECT_TRUE(shown.ends_with("…" + std::string(20, 'x') + "fim")) << shown;
}

}  // namespace
}  // namespace tilvane
