// The X server of the real-window tests stays as it is when its last client leaves. Each screenshot is a client
// that comes and goes; a server that reset whenever one left would drop an application connecting at that moment.

#include "XvfbSupport.hpp"

#include <gtest/gtest.h>

namespace tilvane::testing {
namespace {

TEST(XvfbDisplay, KeepsWhatAClientLeftWhenItWasTheLastOne)
{
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty()) << "run scripts/setup";
    XvfbDisplay x;
    ASSERT_TRUE(x.start());
    for (int client = 0; client < 3; ++client) {
        ASSERT_TRUE(runTool(x, QStringLiteral("xprop -root -f TILVANE_MARK 32c -set TILVANE_MARK %1").arg(client)));
        const auto read = runTool(x, QStringLiteral("xprop -root TILVANE_MARK"));
        ASSERT_TRUE(read.has_value()) << "a client was dropped";
        EXPECT_EQ(read->trimmed().toStdString(),
                  QStringLiteral("TILVANE_MARK(CARDINAL) = %1").arg(client).toStdString());
    }
}

}  // namespace
}  // namespace tilvane::testing
