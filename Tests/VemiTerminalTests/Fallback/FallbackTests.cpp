#include "VemiTerminal/Theme/VTFonts.hpp"
#include "VemiTerminal/Tokens/VTTextStyle.hpp"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFontInfo>
#include <QTemporaryDir>

namespace {

bool registeredBeforeApplication = true, markedDoneBeforeApplication = true;

TEST(VTFontsFallbackTest, EarlyAttemptIsRetriedAndAnEmptyResourceFolderLeavesTheFallbackLineHeight)
{
    EXPECT_FALSE(registeredBeforeApplication || markedDoneBeforeApplication);  // no application yet: not marked done
    QTemporaryDir emptyBundle;
    EXPECT_TRUE(VTFonts::registerIfNeeded(emptyBundle.path())
                && VTFonts::didRegister());  // the pending registration happens now
    // Not retried, even though nothing was found and the real fonts exist elsewhere.
    EXPECT_FALSE(VTFonts::registerIfNeeded(QStringLiteral(VEMI_TERMINAL_TEST_BUNDLE)));

    const double expected[] = {112.8, 57.6, 26.4, 20.4, 21.6, 43.2, 21.6, 19.2, 12, 14.4, 15.6};
    for (std::size_t index = 0; index < vtAllTextStyles.size(); ++index) {
        const VTTextStyle style = vtAllTextStyles[index];
        SCOPED_TRACE(vtCaseName(style).toStdString());
        EXPECT_NEAR(vtNaturalLineHeight(style), expected[index], 1e-9);
        EXPECT_EQ(vtExtraLineSpacing(style), 0.0);
    }
    EXPECT_EQ(QFontInfo(vtFont(VTTextStyle::pixelMD)).family(), QStringLiteral("DejaVu Sans"));
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    registeredBeforeApplication = VTFonts::registerIfNeeded(QStringLiteral(VEMI_TERMINAL_TEST_BUNDLE));
    markedDoneBeforeApplication = VTFonts::didRegister();
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
