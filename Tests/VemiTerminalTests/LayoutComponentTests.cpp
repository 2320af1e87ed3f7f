#include "KitTestSupport.hpp"

#include "VemiTerminal/Components/VTCropFrame.hpp"
#include "VemiTerminal/Components/VTDashedRule.hpp"
#include "VemiTerminal/Components/VTDisplayText.hpp"
#include "VemiTerminal/Components/VTFeature.hpp"
#include "VemiTerminal/Components/VTNavBar.hpp"
#include "VemiTerminal/Theme/VTBackground.hpp"

#include <QTemporaryDir>

namespace {

TEST(VTDashedRuleTest, DashesThreeOnThreeOffFromTheTopInTheRuleColour)
{
    forBothThemes([&](VTAppearance appearance, const VTTheme& theme) {
        Stage stage(appearance);
        auto* rule = new VTDashedRule(&stage.root);
        rule->setGeometry(10, 0, 1, 40);
        const QImage image = snapshot(stage.root);
        for (int y = 0; y < 36; ++y) {
            const bool on = (y / 3) % 2 == 0;
            EXPECT_TRUE(colourNear(image.pixelColor(10, y), on ? over(theme.rule) : white)) << "row " << y;
            EXPECT_TRUE(colourNear(image.pixelColor(11, y), white)) << "row " << y;
        }
    });
}

TEST(VTFeatureTest, RuleRunsTheFullHeightOnTheLeadingEdgeAndTextWraps)
{
    Stage stage(VTAppearance::vemi);
    auto* feature =
        new VTFeature(QStringLiteral("Confiança Calibrada"),
                      QStringLiteral("Cada decisão traz uma estimativa de confiança, linha após linha."), &stage.root);
    feature->setGeometry(0, 0, 180, feature->heightForWidth(180));
    stage.show();
    auto* rule = feature->findChild<VTDashedRule*>();
    auto* caption = feature->findChild<VTLabel*>();
    ASSERT_TRUE(rule && caption);
    EXPECT_EQ(std::pair(rule->geometry(), caption->x()), std::pair(QRect(0, 0, 1, feature->height()), 16));
    EXPECT_GT(feature->height(), feature->heightForWidth(2000));  // wrapped onto more lines instead of being cut
}

TEST(VTNavBarTest, SplitsTheBrandByUserPerceivedCharacters)
{
    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
    const std::tuple<const char*, QString, QString, QString> rows[] = {
        {"seven characters", QStringLiteral("Tilvane"), QStringLiteral("Tilva"), QStringLiteral("ne")},
        {"two characters", QStringLiteral("ab"), QString(), QStringLiteral("ab")},
        {"empty", QString(), QString(), QString()},
        {"combining accent", QStringLiteral("Cafe\u0301"), QStringLiteral("Ca"), QStringLiteral("fe\u0301")},
        {"composed emoji", QStringLiteral("Tilvane") + family, QStringLiteral("Tilvan"), QStringLiteral("e") + family},
    };
    for (const auto& [name, brand, head, tail] : rows)
        EXPECT_EQ(VTNavBar::splitBrand(brand), std::pair(head, tail)) << name;
}

TEST(VTNavBarTest, BrandTailIsTheFixedPinkInBothThemesAndTheIconIsOptional)
{
    QTemporaryDir noResources;
    const std::optional<QImage> icon = vtLoadBrandIcon(QStringLiteral(VEMI_TERMINAL_TEST_BUNDLE));
    ASSERT_TRUE(icon.has_value() && !vtLoadBrandIcon(noResources.path()).has_value());

    forBothThemes([&](VTAppearance appearance, const VTTheme& theme) {
        Stage stage(appearance, {500, 80});
        auto* bar = new VTNavBar(QStringLiteral("Tilvane"), 16, icon, &stage.root);
        bar->setGeometry(0, 0, 500, bar->sizeHint().height());
        stage.show();

        const QImage image = snapshot(*bar);
        const QColor page = over(theme.bgPage);
        EXPECT_TRUE(colourNear(image.pixelColor(2, 2), page));
        const qreal headWidth = vtTextLineSize(VTTextStyle::pixelLG, QStringLiteral("Tilva")).width(),
                    tailWidth = vtTextLineSize(VTTextStyle::pixelLG, QStringLiteral("ne")).width();
        const int textTop = (image.height() - static_cast<int>(vtNaturalLineHeight(VTTextStyle::pixelLG))) / 2;
        const QRect headArea(16, textTop, static_cast<int>(headWidth) - 1, 30);
        const QRect tailArea(16 + static_cast<int>(std::ceil(headWidth)), textTop, static_cast<int>(tailWidth) - 1, 30);
        EXPECT_EQ(countColour(image, headArea, VTNavBar::brandPink(), 10), 0);
        EXPECT_GT(countColour(image, headArea, over(theme.fgMuted, page), 12), 10);
        EXPECT_GT(countColour(image, tailArea, VTNavBar::brandPink(), 10), 10);

        // Without an icon there is no 55 × 44 gap: the bar is shorter and narrower.
        const VTNavBar bare(QStringLiteral("Tilvane"), 16, std::nullopt);
        EXPECT_EQ(bar->sizeHint().height(), 44 + 16);
        EXPECT_LT(bare.sizeHint().height(), bar->sizeHint().height());
        EXPECT_LT(bare.sizeHint().width(), bar->sizeHint().width() - 50);
    });
}

TEST(VTCropFrameTest, MarksDrawnOnTheOuterEdgeOfTheMargin)
{
    forBothThemes([&](VTAppearance appearance, const VTTheme& theme) {
        Stage stage(appearance);
        auto* content = new QWidget;
        content->setFixedSize(40, 20);
        auto* frame = new VTCropFrame(content, &stage.root);
        frame->resize(frame->sizeHint());
        stage.show();
        EXPECT_EQ(std::pair(frame->size(), content->pos()), std::pair(QSize(104, 84), QPoint(32, 32)));
        const QImage image = snapshot(*frame);
        for (QPoint mark : {QPoint(0, 0), QPoint(7, 0), QPoint(0, 7), QPoint(103, 0), QPoint(103, 83), {96, 83}})
            EXPECT_TRUE(colourNear(image.pixelColor(mark), theme.border)) << mark.x() << "," << mark.y();
        // A flat cap ends the arm at 8.5: the last pixel is half covered.
        EXPECT_TRUE(colourNear(image.pixelColor(8, 0), over(vtWithOpacity(theme.border, 0.5)), 6));
        for (QPoint bare : {QPoint(9, 0), QPoint(50, 0), QPoint(0, 40), QPoint(1, 1), QPoint(94, 83)})
            EXPECT_TRUE(colourNear(image.pixelColor(bare), white)) << bare.x() << "," << bare.y();
    });
}

TEST(VTDisplayTextTest, SetsLinesOneLineHeightApart)
{
    Stage stage(VTAppearance::vemi, {900, 300});
    const VTDisplayText text(QStringLiteral("193.6x Mais Rápido,\n444.6x Mais Barato."), VTTextStyle::displayMD);
    ASSERT_EQ(text.lines(), QStringList({"193.6x Mais Rápido,", "444.6x Mais Barato."}));
    const qreal natural = vtNaturalLineHeight(VTTextStyle::displayMD);
    EXPECT_EQ(text.sizeHint().height(), static_cast<int>(std::ceil(43.2 + natural - 1e-6)));
    EXPECT_EQ(VTDisplayText(QStringLiteral("a\n\nb\n"), VTTextStyle::displayMD).lines().size(), 4);

    // Two identical lines of digits: the second one's ink lies one line height (43.2) below the first one's.
    auto inkOf = [&](const QString& digits) {
        auto* shown = new VTDisplayText(digits, VTTextStyle::displayMD, &stage.root);
        shown->resize(shown->sizeHint());
        return inkBounds(snapshot(*shown), white, shown->rect(), 40);
    };
    const QRect single = inkOf(QStringLiteral("1936")), pair = inkOf(QStringLiteral("1936\n1936"));
    ASSERT_FALSE(single.isEmpty());
    EXPECT_EQ(pair.top(), single.top());
    EXPECT_NEAR(pair.bottom() - single.bottom(), 43.2, 1.0);
}

TEST(VTDisplayTextTest, ShrinksAWideLineInsteadOfWrapping)
{
    Stage stage(VTAppearance::vemi, {900, 300});
    auto* text = new VTDisplayText(QStringLiteral("193.6x Mais Rápido,"), VTTextStyle::displayMD, &stage.root);
    const QSize full = text->sizeHint();
    text->resize(full.width() * 3 / 4, full.height());
    const QImage image = snapshot(*text);
    EXPECT_GT(inkBounds(image, white, image.rect(), 40).right(), image.width() * 0.85);  // the whole line, shrunk
    EXPECT_EQ(text->minimumSizeHint().width(), full.width() / 2);
}

TEST(VTBackgroundTest, PageAndSectionGroundsFollowTheTheme)
{
    forBothThemes([&](VTAppearance appearance, const VTTheme& theme) {
        Stage stage(appearance);
        auto addGround = [&](int x) {
            auto* ground = new QWidget(&stage.root);
            return ground->setGeometry(x, 0, 40, 40), ground;
        };
        vtPage(addGround(0)), vtSection(addGround(50)), vtSection(addGround(100), {.dotted = true});
        const QImage image = snapshot(stage.root);
        EXPECT_TRUE(colourNear(image.pixelColor(5, 5), over(theme.bgPage)));
        EXPECT_TRUE(colourNear(image.pixelColor(55, 5), theme.bgSection));
        EXPECT_TRUE(colourNear(image.pixelColor(91, 5), white));  // only inside the bounds
        EXPECT_TRUE(colourNear(image.pixelColor(102, 2), theme.bgSection));
        EXPECT_FALSE(colourNear(image.pixelColor(104, 4), theme.bgSection, 3));  // a dot at (4, 4)
    });
}

}  // namespace
