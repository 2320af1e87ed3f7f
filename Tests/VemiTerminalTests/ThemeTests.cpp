#include "KitTestSupport.hpp"

#include "VemiTerminal/Theme/VTAppearance.hpp"
#include "VemiTerminal/Theme/VTTheme.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"
#include "VemiTerminal/Tokens/VTPalette.hpp"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

struct RoleRow {
    const char* role;
    QColor VTTheme::*member;
    QColor vemi;
    QColor noite;
};

TEST(VTThemeTest, BothThemesFollowTheirTables) {
    using P = VTPalette;
    auto at = [](const QColor& colour, double opacity) { return vtWithOpacity(colour, opacity); };
    const RoleRow rows[] = {
        {"bgPage", &VTTheme::bgPage, P::vemiLight(), P::night()},
        {"bgSection", &VTTheme::bgSection, P::vemi(), P::plum()},
        {"bgWindow", &VTTheme::bgWindow, P::paper(), P::coal()},
        {"fg", &VTTheme::fg, P::ink(), P::mist()},
        {"fgMuted", &VTTheme::fgMuted, P::inkMuted(), at(P::mist(), 0.8)},
        {"border", &VTTheme::border, P::ink(), P::mist()},
        {"rule", &VTTheme::rule, P::inkMuted(), at(P::mist(), 0.502)},
        {"barBg", &VTTheme::barBg, P::ink(), P::graphite()},
        {"barFg", &VTTheme::barFg, P::silver(), P::silver()},
        {"barBgActive", &VTTheme::barBgActive, P::ink(), P::vemi()},
        {"barFgActive", &VTTheme::barFgActive, P::vemi(), P::ink()},
        {"glyphBg", &VTTheme::glyphBg, P::ink(), P::vemi()},
        {"glyphFg", &VTTheme::glyphFg, P::silver(), P::ink()},
        {"btnBg", &VTTheme::btnBg, P::vemi(), P::vemi()},
        {"btnBgHover", &VTTheme::btnBgHover, P::inkMuted(), at(P::vemi(), 0.8588)},
        {"btnFg", &VTTheme::btnFg, P::white(), P::ink()},
        {"chipBg", &VTTheme::chipBg, P::silver(), P::graphite()},
        {"chipFg", &VTTheme::chipFg, P::ink(), P::silver()},
        {"dot", &VTTheme::dot, P::ink(), at(P::vemi(), 0.4)},
        {"shadowColor", &VTTheme::shadowColor, P::scrim(), at(P::vemi(), 0.25)},
    };
    for (const RoleRow& row : rows) {
        SCOPED_TRACE(row.role);
        EXPECT_EQ(VTTheme::vemi().*row.member, row.vemi);
        EXPECT_EQ(VTTheme::noite().*row.member, row.noite);
    }
    EXPECT_EQ(VTTheme::vemi().name, QStringLiteral("Vemi"));
    EXPECT_FALSE(VTTheme::vemi().isDark);
    EXPECT_EQ(VTTheme::noite().name, QStringLiteral("Noite"));
    EXPECT_TRUE(VTTheme::noite().isDark);
    // Colours keep 16 bits per channel: 0.9529 is told apart from 243/255.
    EXPECT_EQ(VTPalette::vemi().rgba64().red(), std::lround(0.9529 * 65535));
    EXPECT_EQ(VTPalette::scrim().rgba64().alpha(), std::lround(0.1 * 65535));
}

TEST(VTThemeTest, EqualityIsFieldByFieldIncludingOpacity) {
    EXPECT_EQ(VTTheme::vemi(), VTTheme::vemi());
    EXPECT_NE(VTTheme::vemi(), VTTheme::noite());
    EXPECT_NE(VTTheme::noite().fgMuted, VTPalette::mist());  // opacity 0.8 against 1
    VTTheme renamed = VTTheme::vemi();
    renamed.name = QStringLiteral("vemi");
    EXPECT_NE(renamed, VTTheme::vemi());
    VTTheme lastRoleChanged = VTTheme::vemi();
    lastRoleChanged.shadowColor = vtWithOpacity(VTPalette::scrim(), 0.11);
    EXPECT_NE(lastRoleChanged, VTTheme::vemi());
    VTTheme darkFlag = VTTheme::vemi();
    darkFlag.isDark = true;
    EXPECT_NE(darkFlag, VTTheme::vemi());
}

TEST(VTAppearanceTest, ParsesOnlyTheExactRawValuesAndResolvesThemes) {
    const std::pair<const char*, std::optional<VTAppearance>> rows[] = {
        {"system", VTAppearance::system}, {"vemi", VTAppearance::vemi}, {"noite", VTAppearance::noite},
        {"NOITE", std::nullopt},          {"", std::nullopt},           {" vemi", std::nullopt},
    };
    for (const auto& [text, expected] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(vtAppearance(QString::fromUtf8(text)), expected);
    }
    EXPECT_EQ(&vtResolveTheme(VTAppearance::system, true), &VTTheme::noite());
    EXPECT_EQ(&vtResolveTheme(VTAppearance::system, false), &VTTheme::vemi());
    EXPECT_EQ(&vtResolveTheme(VTAppearance::vemi, true), &VTTheme::vemi());
    EXPECT_EQ(&vtResolveTheme(VTAppearance::noite, false), &VTTheme::noite());
}

TEST(VTThemeEnvironmentTest, NearestInstalledThemeWinsAndTheLightThemeIsTheDefault) {
    QWidget root;
    auto* section = new QWidget(&root);
    auto* leaf = new QWidget(section);
    EXPECT_EQ(vtTheme(leaf), VTTheme::vemi());
    vemiTerminal(&root, VTAppearance::noite);
    EXPECT_EQ(vtTheme(leaf), VTTheme::noite());
    vemiTerminal(section, VTAppearance::vemi);
    EXPECT_EQ(vtTheme(leaf), VTTheme::vemi());
    EXPECT_EQ(vtTheme(&root), VTTheme::noite());
}

class PaintCounter : public QWidget {
public:
    using QWidget::QWidget;
    int paints = 0;
    VTTheme lastTheme;

protected:
    void paintEvent(QPaintEvent*) override {
        ++paints;
        lastTheme = vtTheme(this);
    }
};

TEST(VTThemeEnvironmentTest, SwitchingTheAppearanceRepaintsNestedWidgetsWithTheNewTheme) {
    QWidget root;
    root.resize(200, 200);
    auto* middle = new QWidget(&root);
    middle->setGeometry(10, 10, 150, 150);
    auto* nested = new PaintCounter(middle);
    nested->setGeometry(10, 10, 50, 50);
    VTThemeHost* host = vemiTerminal(&root, VTAppearance::vemi);
    root.show();
    QApplication::processEvents();
    ASSERT_EQ(nested->lastTheme, VTTheme::vemi());

    const int paintsBefore = nested->paints;
    int changes = 0;
    QObject::connect(host, &VTThemeHost::themeChanged, [&] { ++changes; });
    EXPECT_EQ(vemiTerminal(&root, VTAppearance::noite), host);  // one host per root
    QApplication::processEvents();
    EXPECT_GT(nested->paints, paintsBefore);
    EXPECT_EQ(nested->lastTheme, VTTheme::noite());
    EXPECT_EQ(root.palette().color(QPalette::Highlight), VTTheme::noite().btnBg);
    vemiTerminal(&root, VTAppearance::noite);  // the same theme again: nothing to repaint
    EXPECT_EQ(changes, 1);
}

TEST(VTThemeEnvironmentTest, SystemAppearanceFollowsTheDesktopPalette) {
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    QPalette light = original;
    light.setColor(QPalette::Window, QColor(240, 240, 240));

    QApplication::setPalette(light);
    QWidget root;
    vemiTerminal(&root, VTAppearance::system);
    EXPECT_EQ(vtTheme(&root), VTTheme::vemi());
    QApplication::setPalette(dark);
    EXPECT_EQ(vtTheme(&root), VTTheme::noite());
    vemiTerminal(&root, VTAppearance::vemi);  // a fixed choice ignores the desktop
    EXPECT_EQ(vtTheme(&root), VTTheme::vemi());
    QApplication::setPalette(original);
}

}  // namespace
