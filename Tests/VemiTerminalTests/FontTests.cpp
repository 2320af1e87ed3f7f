#include "VemiTerminal/Theme/VTFonts.hpp"
#include "VemiTerminal/Tokens/VTTextStyle.hpp"

#include <QFontDatabase>
#include <QFontInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(VTFontsTest, RegistersOnceAndLaterCallsChangeNothing) {
    VTFonts::registerIfNeeded(QStringLiteral(VEMI_TERMINAL_TEST_BUNDLE));
    ASSERT_TRUE(VTFonts::didRegister());
    const QStringList families = QFontDatabase::families();
    QTemporaryDir other;
    EXPECT_FALSE(VTFonts::registerIfNeeded(other.path()));
    EXPECT_FALSE(VTFonts::registerIfNeeded(QStringLiteral(VEMI_TERMINAL_TEST_BUNDLE)));
    EXPECT_FALSE(VTFonts::registerIfNeeded());
    EXPECT_EQ(QFontDatabase::families(), families);
}

TEST(VTFontsTest, EveryStyleResolvesToItsFace) {
    struct Row {
        VTTextStyle style;
        const char* family;
        const char* styleName;
    };
    const Row rows[] = {
        {VTTextStyle::displayXL, "Inter Tight", "Medium"}, {VTTextStyle::lead, "Inter Tight", "Regular"},
        {VTTextStyle::nav, "Inter Tight", "Medium"},       {VTTextStyle::pixelMD, "VT323", "Regular"},
        {VTTextStyle::label, "JetBrains Mono", "Light"},   {VTTextStyle::code, "JetBrains Mono", "Light"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(vtCaseName(row.style).toStdString());
        const QFontInfo info(vtFont(row.style));
        EXPECT_EQ(info.family(), QString::fromLatin1(row.family));
        EXPECT_EQ(info.styleName(), QString::fromLatin1(row.styleName));
        EXPECT_EQ(info.pixelSize(), static_cast<int>(vtSize(row.style)));
        EXPECT_NE(vtNaturalLineHeight(row.style), 1.2 * vtSize(row.style));  // measured, not the fallback
    }
}

TEST(VTTextStyleTest, TableValues) {
    struct Row {
        VTTextStyle style;
        const char* caseName;
        const char* font;
        double size;
        double tracking;
        double lineHeight;
    };
    const Row rows[] = {
        {VTTextStyle::displayXL, "displayXL", "InterTight-Medium", 94, 94 * -0.01, 94 * 0.8},
        {VTTextStyle::displayMD, "displayMD", "InterTight-Medium", 48, 48 * -0.005, 48 * 0.9},
        {VTTextStyle::lead, "lead", "InterTight-Regular", 22, 22 * 0.05, 22 * 1.2},
        {VTTextStyle::body, "body", "InterTight-Regular", 17, 17 * 0.05, 17 * 1.2},
        {VTTextStyle::nav, "nav", "InterTight-Medium", 18, 18 * 0.03, 18},
        {VTTextStyle::pixelLG, "pixelLG", "VT323-Regular", 36, 0, 36},
        {VTTextStyle::pixelMD, "pixelMD", "VT323-Regular", 18, 18 * 0.01, 18},
        {VTTextStyle::pixelSM, "pixelSM", "VT323-Regular", 16, 16 * 0.02, 16},
        {VTTextStyle::label, "label", "JetBrainsMono-Light", 10, 10 * 0.05, 10 * 1.2},
        {VTTextStyle::labelMD, "labelMD", "JetBrainsMono-Light", 12, 12 * 0.05, 12},
        {VTTextStyle::code, "code", "JetBrainsMono-Light", 13, 13 * 0.05, 13 * 1.2},
    };
    ASSERT_EQ(std::size(rows), vtAllTextStyles.size());
    for (std::size_t index = 0; index < std::size(rows); ++index) {
        const Row& row = rows[index];
        SCOPED_TRACE(row.caseName);
        EXPECT_EQ(vtAllTextStyles[index], row.style);
        EXPECT_EQ(vtCaseName(row.style), QString::fromLatin1(row.caseName));
        EXPECT_EQ(vtFontName(row.style), QString::fromLatin1(row.font));
        EXPECT_EQ(vtSize(row.style), row.size);
        EXPECT_EQ(vtTracking(row.style), row.tracking);
        EXPECT_EQ(vtLineHeight(row.style), row.lineHeight);
        EXPECT_GE(vtExtraLineSpacing(row.style), 0.0);
        EXPECT_NEAR(vtFont(row.style).letterSpacing(), vtTracking(row.style), 1.0 / 64);  // 26.6 fixed point
    }
    EXPECT_EQ(vtTracking(VTTextStyle::pixelLG), 0.0);
    // The display styles are set tighter than the face: never a negative spacing.
    EXPECT_EQ(vtExtraLineSpacing(VTTextStyle::displayXL), 0.0);
}

TEST(VTTextStyleTest, GlyphsTheFacesLackComeFromDejaVu) {
    EXPECT_TRUE(vtFont(VTTextStyle::pixelSM).families().contains(QStringLiteral("DejaVu Sans")));
}

}  // namespace
