#include "TestSupport/TextContrast.hpp"
#include "VemiTerminal/Theme/VTAppearance.hpp"
#include "VemiTerminal/Theme/VTStockPalette.hpp"
#include "VemiTerminal/Theme/VTTheme.hpp"

#include <QPalette>

#include <gtest/gtest.h>

namespace {

using tilvane::testing::contrastRatio;

// Every text role of the stock palette reads against the ground it is drawn on, in both themes; disabled text
// stays visible (3:1) but reads as disabled; the ground is the theme's own page.
TEST(VTStockPalette, TextReadsOnItsGroundInBothThemes)
{
    struct Pair {
        const char* name;
        QPalette::ColorRole text, ground;
    };
    const Pair pairs[] = {
        {"window text", QPalette::WindowText, QPalette::Window},
        {"field text", QPalette::Text, QPalette::Base},
        {"field text on alternate rows", QPalette::Text, QPalette::AlternateBase},
        {"placeholder", QPalette::PlaceholderText, QPalette::Base},
        {"button text", QPalette::ButtonText, QPalette::Button},
        {"selected text", QPalette::HighlightedText, QPalette::Highlight},
        {"link", QPalette::Link, QPalette::Base},
        {"tool tip", QPalette::ToolTipText, QPalette::ToolTipBase},
    };
    for (const VTTheme* theme : {&VTTheme::noite(), &VTTheme::vemi()}) {
        SCOPED_TRACE(theme->name.toStdString());
        const QPalette palette = vtStockPalette(*theme);
        for (const Pair& pair : pairs) {
            for (const auto group : {QPalette::Active, QPalette::Inactive}) {
                const QColor text = palette.color(group, pair.text), ground = palette.color(group, pair.ground);
                EXPECT_EQ(std::pair(text.alpha(), ground.alpha()), std::pair(255, 255)) << pair.name;
                EXPECT_GE(contrastRatio(text, ground), 4.5) << pair.name;
            }
        }
        const double disabled = contrastRatio(palette.color(QPalette::Disabled, QPalette::WindowText),
                                              palette.color(QPalette::Disabled, QPalette::Window));
        EXPECT_GE(disabled, 3.0);
        EXPECT_LT(disabled, contrastRatio(palette.color(QPalette::WindowText), palette.color(QPalette::Window)));
        EXPECT_EQ(vtIsDarkPalette(palette), theme->isDark);
    }
}

}  // namespace
