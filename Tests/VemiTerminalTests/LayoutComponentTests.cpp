#include "KitTestSupport.hpp"

#include "VemiTerminal/Components/VTCropFrame.hpp"
#include "VemiTerminal/Components/VTDashedRule.hpp"
#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Components/VTDisplayText.hpp"
#include "VemiTerminal/Components/VTFeature.hpp"
#include "VemiTerminal/Components/VTNavBar.hpp"
#include "VemiTerminal/Components/VTText.hpp"
#include "VemiTerminal/Theme/VTBackground.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QColor ground(255, 255, 255);

// A white root carrying a theme, for components grabbed over a known ground.
struct Stage {
    QWidget root;
    explicit Stage(VTAppearance appearance, QSize size = {400, 300}) {
        root.setAutoFillBackground(true);
        vemiTerminal(&root, appearance);
        QPalette white = root.palette();
        white.setColor(QPalette::Window, ground);
        root.setPalette(white);
        root.resize(size);
    }
};

TEST(VTDashedRuleTest, DashesThreeOnThreeOffFromTheTopInTheRuleColour) {
    for (VTAppearance appearance : {VTAppearance::vemi, VTAppearance::noite}) {
        const VTTheme& theme = vtResolveTheme(appearance, false);
        SCOPED_TRACE(theme.name.toStdString());
        Stage stage(appearance);
        auto* rule = new VTDashedRule(&stage.root);
        rule->setGeometry(10, 0, 1, 40);
        EXPECT_EQ(rule->width(), 1);
        const QImage image = snapshot(stage.root);
        const QColor dash = over(theme.rule, ground);
        for (int y = 0; y < 36; ++y) {
            const bool on = (y / 3) % 2 == 0;
            EXPECT_TRUE(colourNear(pixelAt(image, 10, y), on ? dash : ground)) << "row " << y;
            EXPECT_TRUE(colourNear(pixelAt(image, 11, y), ground)) << "row " << y;
        }
    }
}

TEST(VTFeatureTest, RuleRunsTheFullHeightOnTheLeadingEdgeAndTextWraps) {
    Stage stage(VTAppearance::vemi);
    auto* feature = new VTFeature(QStringLiteral("Confiança Calibrada"),
                                  QStringLiteral("Cada decisão traz uma estimativa de confiança, linha após linha."),
                                  &stage.root);
    feature->setGeometry(0, 0, 180, feature->heightForWidth(180));
    stage.root.show();
    QApplication::processEvents();
    auto* rule = feature->findChild<VTDashedRule*>();
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(rule->geometry(), QRect(0, 0, 1, feature->height()));
    auto* caption = feature->findChild<VTLabel*>();
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->x(), 16);
    const int oneLine = feature->heightForWidth(2000);
    EXPECT_GT(feature->height(), oneLine);  // wrapped onto more lines instead of being cut
}

TEST(VTNavBarTest, SplitsTheBrandByUserPerceivedCharacters) {
    struct Row {
        const char* name;
        QString brand;
        QString head;
        QString tail;
    };
    const QString accented = QStringLiteral("Cafe\u0301");            // e + combining acute
    const QString family = QStringLiteral("Tilvane\U0001F468\u200D\U0001F469\u200D\U0001F467");
    const Row rows[] = {
        {"seven characters", QStringLiteral("Tilvane"), QStringLiteral("Tilva"), QStringLiteral("ne")},
        {"two characters", QStringLiteral("ab"), QString(), QStringLiteral("ab")},
        {"one character", QStringLiteral("a"), QString(), QStringLiteral("a")},
        {"empty", QString(), QString(), QString()},
        {"combining accent", accented, QStringLiteral("Ca"), QStringLiteral("fe\u0301")},
        {"composed emoji", family, QStringLiteral("Tilvan"), QStringLiteral("e\U0001F468\u200D\U0001F469\u200D\U0001F467")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto [head, tail] = VTNavBar::splitBrand(row.brand);
        EXPECT_EQ(head, row.head);
        EXPECT_EQ(tail, row.tail);
    }
}

int countColour(const QImage& image, QRect area, const QColor& colour, int tolerance) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += colourNear(image.pixelColor(x, y), colour, tolerance) ? 1 : 0;
        }
    }
    return count;
}

TEST(VTNavBarTest, BrandTailIsTheFixedPinkInBothThemesAndTheIconIsOptional) {
    QTemporaryDir noResources;
    const std::optional<QImage> icon = vtLoadBrandIcon(QStringLiteral(VEMI_TERMINAL_TEST_BUNDLE));
    ASSERT_TRUE(icon.has_value());
    EXPECT_FALSE(vtLoadBrandIcon(noResources.path()).has_value());

    for (VTAppearance appearance : {VTAppearance::vemi, VTAppearance::noite}) {
        const VTTheme& theme = vtResolveTheme(appearance, false);
        SCOPED_TRACE(theme.name.toStdString());
        Stage withIcon(appearance, {500, 80});
        auto* bar = new VTNavBar(QStringLiteral("Tilvane"), 16, icon, &withIcon.root);
        bar->setGeometry(0, 0, 500, bar->sizeHint().height());
        Stage withoutIcon(appearance, {500, 80});
        auto* bare = new VTNavBar(QStringLiteral("Tilvane"), 16, std::nullopt, &withoutIcon.root);
        bare->setGeometry(0, 0, 500, bare->sizeHint().height());
        withIcon.root.show();
        withoutIcon.root.show();
        QApplication::processEvents();

        const QImage image = snapshot(*bar);
        const QColor page = over(theme.bgPage, ground);
        EXPECT_TRUE(colourNear(pixelAt(image, 2, 2), page));
        const auto [head, tail] = VTNavBar::splitBrand(QStringLiteral("Tilvane"));
        const qreal headWidth = vtTextLineSize(VTTextStyle::pixelLG, head).width();
        const qreal tailWidth = vtTextLineSize(VTTextStyle::pixelLG, tail).width();
        const int textTop = (image.height() - static_cast<int>(vtNaturalLineHeight(VTTextStyle::pixelLG))) / 2;
        const QRect headArea(16, textTop, static_cast<int>(headWidth) - 1, 30);
        const QRect tailArea(16 + static_cast<int>(std::ceil(headWidth)), textTop, static_cast<int>(tailWidth) - 1, 30);
        EXPECT_EQ(countColour(image, headArea, VTNavBar::brandPink(), 10), 0);
        EXPECT_GT(countColour(image, headArea, over(theme.fgMuted, page), 12), 10);
        EXPECT_GT(countColour(image, tailArea, VTNavBar::brandPink(), 10), 10);

        // Without an icon there is no 55 × 44 gap: the bar is shorter and its brand sits at the inset.
        EXPECT_LT(bare->sizeHint().height(), bar->sizeHint().height());
        EXPECT_EQ(bar->sizeHint().height(), 44 + 16);
        EXPECT_LT(bare->sizeHint().width(), bar->sizeHint().width() - 50);
    }
}

TEST(VTCropMarksTest, MarksSitHalfAPointInsideTheBounds) {
    const QPainterPath marks = VTCropMarks{}.path(QRectF(0, 0, 100, 80));
    ASSERT_EQ(marks.elementCount(), 12);
    const QPointF expected[] = {{0.5, 8.5},   {0.5, 0.5},   {8.5, 0.5},   {91.5, 0.5},
                                {99.5, 0.5},  {99.5, 8.5},  {0.5, 71.5},  {0.5, 79.5},
                                {8.5, 79.5},  {91.5, 79.5}, {99.5, 79.5}, {99.5, 71.5}};
    for (int index = 0; index < 12; ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(QPointF(marks.elementAt(index)), expected[index]);
        EXPECT_EQ(marks.elementAt(index).isMoveTo(), index % 3 == 0);
    }

    QImage blank(100, 80, QImage::Format_RGB32);
    blank.fill(Qt::white);
    {
        QPainter painter(&blank);
        painter.setRenderHint(QPainter::Antialiasing);
        vtStrokePath(painter, VTCropMarks{0}.path(QRectF(0, 0, 100, 80)), vtPen(Qt::black, 1));
    }
    for (QPoint corner : {QPoint(0, 0), QPoint(99, 0), QPoint(0, 79), QPoint(99, 79)}) {
        EXPECT_TRUE(colourNear(blank.pixelColor(corner), ground)) << "arms of length 0 draw nothing";
    }
}

TEST(VTCropFrameTest, MarksDrawnOnTheOuterEdgeOfTheMargin) {
    for (VTAppearance appearance : {VTAppearance::vemi, VTAppearance::noite}) {
        const VTTheme& theme = vtResolveTheme(appearance, false);
        Stage stage(appearance);
        auto* content = new QWidget;
        content->setFixedSize(40, 20);
        auto* frame = new VTCropFrame(content, &stage.root);
        frame->resize(frame->sizeHint());
        stage.root.show();
        QApplication::processEvents();
        EXPECT_EQ(frame->size(), QSize(104, 84));
        EXPECT_EQ(content->pos(), QPoint(32, 32));
        const QImage image = snapshot(*frame);
        for (QPoint mark : {QPoint(0, 0), QPoint(7, 0), QPoint(0, 7), QPoint(103, 0), QPoint(103, 83), QPoint(96, 83)}) {
            EXPECT_TRUE(colourNear(pixelAt(image, mark.x(), mark.y()), theme.border)) << mark.x() << "," << mark.y();
        }
        for (QPoint bare : {QPoint(9, 0), QPoint(50, 0), QPoint(0, 40), QPoint(1, 1), QPoint(94, 83)}) {
            EXPECT_TRUE(colourNear(pixelAt(image, bare.x(), bare.y()), ground)) << bare.x() << "," << bare.y();
        }
    }
}

// The first and last rows that hold text pixels (anything but the ground) in a band of rows.
std::pair<int, int> inkedRows(const QImage& image, int from, int to) {
    int first = -1, last = -1;
    for (int y = from; y < to; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!colourNear(image.pixelColor(x, y), ground, 40)) {
                if (first < 0) first = y;
                last = y;
                break;
            }
        }
    }
    return {first, last};
}

TEST(VTDisplayTextTest, SetsLinesOneLineHeightApart) {
    Stage stage(VTAppearance::vemi, {900, 300});
    const QString twoLines = QStringLiteral("193.6x Mais Rápido,\n444.6x Mais Barato.");
    const VTDisplayText text(twoLines, VTTextStyle::displayMD);
    ASSERT_EQ(text.lines(), QStringList({QStringLiteral("193.6x Mais Rápido,"), QStringLiteral("444.6x Mais Barato.")}));
    const qreal natural = vtNaturalLineHeight(VTTextStyle::displayMD);
    EXPECT_DOUBLE_EQ(text.lineTop(1), 43.2);
    EXPECT_EQ(text.sizeHint().height(), static_cast<int>(std::ceil(43.2 + natural - 1e-6)));

    // Two identical lines of digits: the second one's ink lies one line height (43.2) below the first one's.
    auto* single = new VTDisplayText(QStringLiteral("1936"), VTTextStyle::displayMD, &stage.root);
    single->resize(single->sizeHint());
    auto* pair = new VTDisplayText(QStringLiteral("1936\n1936"), VTTextStyle::displayMD, &stage.root);
    pair->resize(pair->sizeHint());
    const auto [singleTop, singleBottom] = inkedRows(snapshot(*single), 0, single->height());
    const auto [pairTop, pairBottom] = inkedRows(snapshot(*pair), 0, pair->height());
    ASSERT_GE(singleTop, 0);
    EXPECT_EQ(pairTop, singleTop);
    EXPECT_NEAR(pairBottom - singleBottom, 43.2, 1.0);

    EXPECT_EQ(VTDisplayText(QStringLiteral("a\n\nb\n"), VTTextStyle::displayMD).lines().size(), 4);
    const VTDisplayText oneLine(QStringLiteral("sem quebra"), VTTextStyle::displayMD);
    EXPECT_EQ(oneLine.sizeHint().height(), static_cast<int>(std::ceil(natural - 1e-6)));
}

TEST(VTDisplayTextTest, ShrinksAWideLineInsteadOfWrapping) {
    Stage stage(VTAppearance::vemi, {900, 300});
    auto* text = new VTDisplayText(QStringLiteral("193.6x Mais Rápido,"), VTTextStyle::displayMD, &stage.root);
    const QSize full = text->sizeHint();
    text->resize(full.width() * 3 / 4, full.height());
    const QImage image = snapshot(*text);
    int rightmost = -1;
    int lowest = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!colourNear(image.pixelColor(x, y), ground, 40)) {
                rightmost = std::max(rightmost, x);
                lowest = std::max(lowest, y);
            }
        }
    }
    EXPECT_GT(rightmost, image.width() * 0.85);  // the whole line, shrunk to fit
    EXPECT_LT(lowest, image.height());
    EXPECT_EQ(text->minimumSizeHint().width(), full.width() / 2);
}

TEST(VTBackgroundTest, PageAndSectionGroundsFollowTheTheme) {
    for (VTAppearance appearance : {VTAppearance::vemi, VTAppearance::noite}) {
        const VTTheme& theme = vtResolveTheme(appearance, false);
        Stage stage(appearance);
        auto* page = new QWidget(&stage.root);
        page->setGeometry(0, 0, 40, 40);
        vtPage(page);
        auto* section = new QWidget(&stage.root);
        section->setGeometry(50, 0, 40, 40);
        vtSection(section, false);
        auto* dotted = new QWidget(&stage.root);
        dotted->setGeometry(100, 0, 40, 40);
        vtSection(dotted, true);
        const QImage image = snapshot(stage.root);
        EXPECT_TRUE(colourNear(pixelAt(image, 5, 5), over(theme.bgPage, ground)));
        EXPECT_TRUE(colourNear(pixelAt(image, 55, 5), theme.bgSection));
        EXPECT_TRUE(colourNear(pixelAt(image, 91, 5), ground));  // only inside the bounds
        EXPECT_TRUE(colourNear(pixelAt(image, 102, 2), theme.bgSection));
        EXPECT_FALSE(colourNear(pixelAt(image, 104, 4), theme.bgSection, 3));  // a dot at (4, 4)
    }
}

}  // namespace
