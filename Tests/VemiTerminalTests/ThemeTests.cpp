#include "KitTestSupport.hpp"


namespace {

#define ROLE(member) #member, &VTTheme::member

TEST(VTThemeTest, BothThemesFollowTheirTables)
{
    using P = VTPalette;
    auto at = [](const QColor& colour, double opacity) { return vtWithOpacity(colour, opacity); };
    const std::tuple<const char*, QColor VTTheme::*, QColor, QColor> rows[] = {
        {ROLE(bgPage), P::vemiLight(), P::night()},
        {ROLE(bgSection), P::vemi(), P::plum()},
        {ROLE(bgWindow), P::paper(), P::coal()},
        {ROLE(fg), P::ink(), P::mist()},
        {ROLE(fgMuted), P::inkMuted(), at(P::mist(), 0.8)},
        {ROLE(border), P::ink(), P::mist()},
        {ROLE(rule), P::inkMuted(), at(P::mist(), 0.502)},
        {ROLE(barBg), P::ink(), P::graphite()},
        {ROLE(barFg), P::silver(), P::silver()},
        {ROLE(barBgActive), P::ink(), P::vemi()},
        {ROLE(barFgActive), P::vemi(), P::ink()},
        {ROLE(glyphBg), P::ink(), P::vemi()},
        {ROLE(glyphFg), P::silver(), P::ink()},
        {ROLE(btnBg), P::vemi(), P::vemi()},
        {ROLE(btnBgHover), P::inkMuted(), at(P::vemi(), 0.8588)},
        {ROLE(btnFg), P::white(), P::ink()},
        {ROLE(chipBg), P::silver(), P::graphite()},
        {ROLE(chipFg), P::ink(), P::silver()},
        {ROLE(dot), P::ink(), at(P::vemi(), 0.4)},
        {ROLE(shadowColor), P::scrim(), at(P::vemi(), 0.25)},
    };
#undef ROLE
    for (const auto& [role, member, vemi, noite] : rows)
        EXPECT_EQ(std::pair(VTTheme::vemi().*member, VTTheme::noite().*member), std::pair(vemi, noite)) << role;
    EXPECT_EQ(std::pair(VTTheme::vemi().name, VTTheme::vemi().isDark), std::pair(QStringLiteral("Vemi"), false));
    EXPECT_EQ(std::pair(VTTheme::noite().name, VTTheme::noite().isDark), std::pair(QStringLiteral("Noite"), true));
    // Colours keep 16 bits per channel: 0.9529 is told apart from 243/255.
    EXPECT_EQ(std::pair(long(VTPalette::vemi().rgba64().red()), long(VTPalette::scrim().rgba64().alpha())),
              std::pair(std::lround(0.9529 * 65535), std::lround(0.1 * 65535)));
}

TEST(VTThemeTest, EqualityIsFieldByFieldIncludingOpacity)
{
    EXPECT_EQ(VTTheme::vemi(), VTTheme::vemi());
    EXPECT_NE(VTTheme::vemi(), VTTheme::noite());
    EXPECT_NE(VTTheme::noite().fgMuted, VTPalette::mist());  // opacity 0.8 against 1
    auto edited = [](auto edit) {
        VTTheme theme = VTTheme::vemi();
        return edit(theme), theme;
    };
    EXPECT_NE(edited([](VTTheme& t) { t.name = QStringLiteral("vemi"); }), VTTheme::vemi());
    EXPECT_NE(edited([](VTTheme& t) { t.shadowColor = vtWithOpacity(VTPalette::scrim(), 0.11); }), VTTheme::vemi());
    EXPECT_NE(edited([](VTTheme& t) { t.isDark = true; }), VTTheme::vemi());
}

TEST(VTAppearanceTest, ParsesOnlyTheExactRawValuesAndResolvesThemes)
{
    const std::pair<const char*, std::optional<VTAppearance>> rows[] = {
        {"system", VTAppearance::system}, {"vemi", VTAppearance::vemi}, {"noite", VTAppearance::noite},
        {"NOITE", std::nullopt},          {"", std::nullopt},           {" vemi", std::nullopt},
    };
    for (const auto& [text, expected] : rows) EXPECT_EQ(vtAppearance(QString::fromUtf8(text)), expected) << text;
    const auto resolved = [](VTAppearance appearance, bool dark) { return &vtResolveTheme(appearance, dark); };
    EXPECT_EQ(std::vector({resolved(VTAppearance::system, true), resolved(VTAppearance::system, false),
                           resolved(VTAppearance::vemi, true), resolved(VTAppearance::noite, false)}),
              std::vector({&VTTheme::noite(), &VTTheme::vemi(), &VTTheme::vemi(), &VTTheme::noite()}));
}

TEST(VTThemeEnvironmentTest, NearestInstalledThemeWinsAndTheLightThemeIsTheDefault)
{
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

struct PaintCounter : QWidget {
    using QWidget::QWidget;
    int paints = 0;
    VTTheme lastTheme;
    void paintEvent(QPaintEvent*) override { ++paints, lastTheme = vtTheme(this); }
};

TEST(VTThemeEnvironmentTest, SwitchingTheAppearanceRepaintsNestedWidgetsWithTheNewTheme)
{
    QWidget root;
    root.resize(200, 200);
    auto* middle = new QWidget(&root);
    middle->setGeometry(10, 10, 150, 150);
    auto* nested = new PaintCounter(middle);
    nested->setGeometry(10, 10, 50, 50);
    VTThemeHost* host = vemiTerminal(&root, VTAppearance::vemi);
    root.show(), QApplication::processEvents();
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

// Lets a test set the desktop's window colour to a grey; the application palette is put back at the end.
class DesktopPalette {
public:
    DesktopPalette() = default;
    DesktopPalette(const DesktopPalette&) = delete;
    DesktopPalette& operator=(const DesktopPalette&) = delete;
    ~DesktopPalette() { QApplication::setPalette(original_); }

    void setWindowGrey(int grey)
    {
        QPalette desktop = original_;
        desktop.setColor(QPalette::Window, QColor(grey, grey, grey));
        QApplication::setPalette(desktop);
    }

private:
    const QPalette original_ = QApplication::palette();
};

constexpr int lightDesktop = 240;
constexpr int darkDesktop = 30;

TEST(VTThemeEnvironmentTest, SystemAppearanceFollowsTheDesktopPalette)
{
    DesktopPalette desktop;
    desktop.setWindowGrey(lightDesktop);
    QWidget root;
    vemiTerminal(&root, VTAppearance::system);
    EXPECT_EQ(vtTheme(&root), VTTheme::vemi());
    desktop.setWindowGrey(darkDesktop);
    EXPECT_EQ(vtTheme(&root), VTTheme::noite());
    vemiTerminal(&root, VTAppearance::vemi);  // a fixed choice ignores the desktop
    EXPECT_EQ(vtTheme(&root), VTTheme::vemi());
}

TEST(VTColorTest, ARoleResolvesToTheThemeOfTheDesktopsSetting)
{
    using P = VTPalette;
    struct Row {
        const char* name;
        int desktopGrey;
        QColor VTTheme::*role;
        QColor expected;
    };
    const Row rows[] = {
        {"pink button on a light desktop", lightDesktop, &VTTheme::btnBg, P::vemi()},
        {"pink button on a dark desktop", darkDesktop, &VTTheme::btnBg, P::vemi()},
        {"page on a light desktop", lightDesktop, &VTTheme::bgPage, P::vemiLight()},
        {"page on a dark desktop", darkDesktop, &VTTheme::bgPage, P::night()},
        {"muted text keeps Noite's opacity of 0.8", darkDesktop, &VTTheme::fgMuted, vtWithOpacity(P::mist(), 0.8)},
        {"muted text on a light desktop", lightDesktop, &VTTheme::fgMuted, P::inkMuted()},
    };
    DesktopPalette desktop;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        desktop.setWindowGrey(row.desktopGrey);
        EXPECT_EQ(vtColor(row.role), row.expected);
    }
}

TEST(VTColorTest, EachCallReadsTheDesktopAnewAndIgnoresTheUsersAppearance)
{
    DesktopPalette desktop;
    QWidget root;
    vemiTerminal(&root, VTAppearance::noite);  // the user's choice has no say
    desktop.setWindowGrey(lightDesktop);
    EXPECT_EQ(vtColor(&VTTheme::bgWindow), VTPalette::paper());
    desktop.setWindowGrey(darkDesktop);
    EXPECT_EQ(vtColor(&VTTheme::bgWindow), VTPalette::coal());
    vemiTerminal(&root, VTAppearance::vemi);
    EXPECT_EQ(vtColor(&VTTheme::bgWindow), VTPalette::coal());
    desktop.setWindowGrey(lightDesktop);
    EXPECT_EQ(vtColor(&VTTheme::bgWindow), VTPalette::paper());
}

}  // namespace
