#include "TilvaneCore/Uuid.hpp"

#include <gtest/gtest.h>

#include <unordered_set>

using tilvane::Uuid;

TEST(Uuid, WritesUpperCaseParsesOnlyTheCanonicalFormAndMakesDistinctVersion4Identifiers)
{
    EXPECT_EQ(Uuid::parse("0f1e2d3c-4b5a-6978-8a9b-acbdcedfe0f1")->string(), "0F1E2D3C-4B5A-6978-8A9B-ACBDCEDFE0F1");
    for (const char* text : {"", "{0F1E2D3C-4B5A-6978-8A9B-ACBDCEDFE0F1}", "0F1E2D3C-4B5A-6978-8A9B-ACBDCEDFE0F1\n",
                             "0F1E2D3C4B5A69788A9BACBDCEDFE0F1", "0F1E2D3C-4B5A-6978-8A9B-ACBDCEDFE0FG",
                             "0F1E2D3C-4B5A-6978-8A9B_ACBDCEDFE0F1", "+F1E2D3C-4B5A-6978-8A9B-ACBDCEDFE0F1"}) {
        EXPECT_FALSE(Uuid::parse(text)) << text;
    }
    std::unordered_set<Uuid> seen;
    for (int i = 0; i < 1000; ++i) {
        const Uuid uuid = Uuid::random();
        EXPECT_EQ(uuid.string()[14], '4');
        EXPECT_TRUE(seen.insert(uuid).second);
    }
}
