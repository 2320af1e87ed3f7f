#include "TilvaneCore/UnicodeCharacters.hpp"

#include <gtest/gtest.h>

using namespace tilvane;

TEST(UnicodeCharacters, TrimsEveryWhiteSpaceCharacterAtBothEndsAndNothingElse)
{
    struct Row {
        const char* name;
        std::string_view text;
        std::string_view trimmed;
    };
    const Row rows[] = {
        {"ASCII", " \t#ff8000\r\n", "#ff8000"},
        {"no-break and narrow no-break spaces", "\u00A0\u202F#ff8000\u00A0", "#ff8000"},
        {"line and paragraph separators", "\u2028#ff8000\u2029", "#ff8000"},
        {"next line, em and ideographic spaces", "\u0085\u2003\u3000a b\u3000", "a b"},
        {"inner white space stays", "a\u00A0b", "a\u00A0b"},
        {"only white space", " \u00A0\u2028", ""},
        {"empty", "", ""},
        {"zero-width space is not white space", "\u200Bx\u200B", "\u200Bx\u200B"},
        {"a malformed byte is visible", "\xA0x ", "\xA0x"},
        {"a truncated sequence at the end is visible", " x\xC2", "x\xC2"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(unicode::trimmingWhiteSpace(row.text), row.trimmed) << row.name;
    }
}
