#include "VemiTerminal/Theme/VTFonts.hpp"
#include "VemiTerminal/Tokens/VTTextStyle.hpp"

#include <gtest/gtest.h>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTemporaryDir>

namespace {

TEST(VTFontsTest, RegistersOnceAndLaterCallsChangeNothing)
{
    ASSERT_TRUE(VTFonts::didRegister());
    const QStringList families = QFontDatabase::families();
    QTemporaryDir other;
    EXPECT_FALSE(VTFonts::registerIfNeeded(other.path()));
    EXPECT_FALSE(VTFonts::registerIfNeeded(QStringLiteral(VEMI_TERMINAL_TEST_BUNDLE)));
    EXPECT_EQ(QFontDatabase::families(), families);
}

TEST(VTTextStyleTest, EveryStyleResolvesToItsFaceSizeTrackingAndLineHeight)
{
    const std::tuple<VTTextStyle, const char*, const char*, double, double, double> rows[] = {
        {VTTextStyle::displayXL, "Inter Tight", "Medium", 94, 94 * -0.01, 94 * 0.8},
        {VTTextStyle::displayMD, "Inter Tight", "Medium", 48, 48 * -0.005, 48 * 0.9},
        {VTTextStyle::lead, "Inter Tight", "Regular", 22, 22 * 0.05, 22 * 1.2},
        {VTTextStyle::body, "Inter Tight", "Regular", 17, 17 * 0.05, 17 * 1.2},
        {VTTextStyle::nav, "Inter Tight", "Medium", 18, 18 * 0.03, 18},
        {VTTextStyle::pixelLG, "VT323", "Regular", 36, 0, 36},
        {VTTextStyle::pixelMD, "VT323", "Regular", 18, 18 * 0.01, 18},
        {VTTextStyle::pixelSM, "VT323", "Regular", 16, 16 * 0.02, 16},
        {VTTextStyle::label, "JetBrains Mono", "Light", 10, 10 * 0.05, 10 * 1.2},
        {VTTextStyle::labelMD, "JetBrains Mono", "Light", 12, 12 * 0.05, 12},
        {VTTextStyle::code, "JetBrains Mono", "Light", 13, 13 * 0.05, 13 * 1.2},
    };
    ASSERT_EQ(std::size(rows), vtAllTextStyles.size());
    for (const auto& [style, family, face, size, tracking, lineHeight] : rows) {
        SCOPED_TRACE(vtCaseName(style).toStdString());
        const QFontInfo info(vtFont(style));
        EXPECT_EQ(std::tuple(info.family(), info.styleName(), info.pixelSize()),
                  std::tuple(QString::fromLatin1(family), QString::fromLatin1(face), static_cast<int>(size)));
        EXPECT_NE(vtNaturalLineHeight(style), 1.2 * size);  // measured, not the fallback
        EXPECT_EQ(vtTracking(style), tracking);
        EXPECT_NEAR(vtFont(style).letterSpacing(), tracking, 1.0 / 64);  // 26.6 fixed point
        EXPECT_EQ(vtLineHeight(style), lineHeight);
        EXPECT_GE(vtExtraLineSpacing(style), 0.0);  // set tighter than the face: never negative
    }
    EXPECT_TRUE(vtFont(VTTextStyle::pixelSM).families().contains(QStringLiteral("DejaVu Sans")));
}

}  // namespace
