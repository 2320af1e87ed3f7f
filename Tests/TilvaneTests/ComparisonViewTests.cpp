#include "EditorTestServices.hpp"
#include "Tilvane/Views/ComparisonShortcutMonitor.hpp"
#include "Tilvane/Views/ComparisonView.hpp"
#include "VemiTerminal/Components/VTChip.hpp"
#include "VemiTerminal/Components/VTText.hpp"
#include "VemiTerminal/Components/VTWindow.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QAbstractButton>
#include <QAccessible>
#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>

namespace tilvane::testing {
namespace {

// A comparison whose area inside the 32-point inset is exactly 1000 × 400.
struct Comparison {
    Comparison()
    {
        vemiTerminal(&view, VTAppearance::noite);
        view.resize(1000 + 64, 400 + 64);
        view.show();
    }

    void click(qreal areaX)
    {
        const QPoint point(static_cast<int>(areaX + ComparisonGeometry::inset), 200 + 32);
        QTest::mousePress(&view, Qt::LeftButton, {}, point);
        QTest::mouseRelease(&view, Qt::LeftButton, {}, point);
    }

    ComparisonView view;
};

TEST(ComparisonGeometry, FitsThePictureInsideTheInsetArea)
{
    struct Row {
        const char* name;
        QSize picture;
        QRectF expected;
    };
    const Row rows[] = {
        {"two to one", {200, 100}, {100, 0, 800, 400}},
        {"small picture is enlarged", {100, 50}, {100, 0, 800, 400}},
        {"tall picture", {100, 400}, {450, 0, 100, 400}},
        {"wide picture", {5000, 1000}, {0, 100, 1000, 200}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ComparisonGeometry::fit({1000, 400}, row.picture).picture, row.expected) << row.name;
    }
}

TEST(ComparisonGeometry, PositionsBecomeClampedFractions)
{
    const auto geometry = ComparisonGeometry::fit({1000, 400}, {200, 100});
    const std::pair<qreal, double> rows[] = {{100, 0}, {900, 1}, {300, 0.25}, {std::nan(""), 0}};
    for (const auto& [x, fraction] : rows) EXPECT_EQ(geometry.fractionAt(x), fraction) << x;
}

TEST(ComparisonView, ClicksMoveTheDividerAndEveryDragEndIsReported)
{
    Comparison comparison;
    comparison.view.setSource(solidImage(200, 100));
    comparison.view.setPixelGrid(solidImage(25, 13, 10, 10, 10));
    EXPECT_EQ(comparison.view.pictureFrame(), QRectF(132, 32, 800, 400));
    QSignalSpy edits(&comparison.view, &ComparisonView::fractionEdited);
    QSignalSpy ends(&comparison.view, &ComparisonView::compareEnded);

    const std::pair<qreal, double> clicks[] = {{500, 0.5}, {50, 0}, {950, 1}};
    for (const auto& [x, fraction] : clicks) {
        comparison.click(x);
        ASSERT_FALSE(edits.isEmpty());
        EXPECT_DOUBLE_EQ(edits.takeLast().at(0).toDouble(), fraction) << x;
        EXPECT_DOUBLE_EQ(comparison.view.fraction(), fraction) << x;
    }
    EXPECT_EQ(ends.count(), 3);

    const QPoint start(132 + 400, 232);
    QTest::mousePress(&comparison.view, Qt::LeftButton, {}, start);
    QTest::mouseMove(&comparison.view, start + QPoint(200, 0));
    EXPECT_DOUBLE_EQ(comparison.view.fraction(), 0.75) << "the divider follows the pointer";
    EXPECT_EQ(ends.count(), 3) << "nothing reported while the drag goes on";
    QTest::mouseRelease(&comparison.view, Qt::LeftButton, {}, start + QPoint(200, 0));
    EXPECT_EQ(ends.count(), 4);
}

TEST(ComparisonView, WithoutAResultAClickChangesNothingButStillEnds)
{
    Comparison comparison;
    comparison.view.setSource(solidImage(200, 100));
    comparison.view.setFraction(0.4);
    QSignalSpy edits(&comparison.view, &ComparisonView::fractionEdited);
    QSignalSpy ends(&comparison.view, &ComparisonView::compareEnded);

    comparison.click(800);
    EXPECT_TRUE(edits.isEmpty());
    EXPECT_EQ(comparison.view.fraction(), 0.4);
    EXPECT_EQ(ends.count(), 1);
    EXPECT_FALSE(comparison.view.findChild<VTChip*>(QStringLiteral("comparisonResultChip"))->isVisible());
    EXPECT_FALSE(comparison.view.findChild<VTChip*>(QStringLiteral("comparisonOriginalChip"))->isVisible());
}

TEST(ComparisonView, ResultLeftOfTheDividerAndOriginalRightOfIt)
{
    Comparison comparison;
    comparison.view.setSource(solidImage(200, 100, 250, 250, 250));
    comparison.view.setPixelGrid(solidImage(20, 10, 0, 0, 200));
    for (const double fraction : {0.0, 0.3, 1.0}) {
        comparison.view.setFraction(fraction);
        const QImage shot = comparison.view.grab().toImage();
        const int dividerX = 132 + static_cast<int>(800 * fraction);
        if (fraction > 0) {
            EXPECT_EQ(QColor(shot.pixel(dividerX - 20, 300)), QColor(0, 0, 200)) << fraction;
        }
        if (fraction < 1) {
            EXPECT_EQ(QColor(shot.pixel(dividerX + 20, 300)), QColor(250, 250, 250)) << fraction;
        }
    }
    comparison.view.setFraction(0.5);
    QDir().mkpath(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Editor"));
    comparison.view.grab().save(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Editor/comparison-split.png"));
}

// Whether `interface` or any element inside it is named `name`.
bool holdsElementNamed(QAccessibleInterface* interface, const QString& name)
{
    if (interface->text(QAccessible::Name) == name) return true;
    for (int index = 0; index < interface->childCount(); ++index) {
        if (holdsElementNamed(interface->child(index), name)) return true;
    }
    return false;
}

// What a screen reader reads: the comparator by its name, with the share of the result as its value (not as a
// description), and the placeholder's open button inside it.
TEST(ComparisonView, TheShareOfTheResultIsTheAccessibleValue)
{
    Comparison comparison;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&comparison.view);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Comparador de imagem original e resultado"));
    EXPECT_TRUE(holdsElementNamed(accessible, QStringLiteral("Abrir Imagem ▸")));

    comparison.view.setSource(solidImage(200, 100, 250, 250, 250));
    comparison.view.setPixelGrid(solidImage(20, 10, 0, 0, 200));
    const std::tuple<const char*, std::function<void()>, QString> moves[] = {
        {"the start", [] {}, "50% do resultado visível"},
        {"a fraction just under one", [&] { comparison.view.setFraction(0.999); }, "99% do resultado visível"},
        {"a click at a third of the picture", [&] { comparison.click(100 + 800 / 3.0); }, "33% do resultado visível"},
        {"a click past the left edge", [&] { comparison.click(10); }, "0% do resultado visível"},
    };
    for (const auto& [name, move, value] : moves) {
        SCOPED_TRACE(name);
        move();
        EXPECT_EQ(accessible->text(QAccessible::Value), value);
        EXPECT_TRUE(accessible->text(QAccessible::Description).isEmpty());
    }
}

TEST(ComparisonView, PlaceholdersForNoPictureAndForAFileBeingOpened)
{
    Comparison comparison;
    auto* empty = comparison.view.findChild<VTWindow*>(QStringLiteral("comparisonEmptyPlaceholder"));
    auto* loading = comparison.view.findChild<VTWindow*>(QStringLiteral("comparisonLoadingPlaceholder"));
    ASSERT_TRUE(empty && loading);
    EXPECT_TRUE(empty->isVisible());
    EXPECT_FALSE(loading->isVisible());
    QStringList texts;
    for (auto* text : empty->findChildren<VTText*>()) texts << text->text();
    EXPECT_EQ(texts,
              (QStringList{QStringLiteral("nenhum arquivo ▸"), QStringLiteral("abra ou solte uma imagem aqui")}));
    QSignalSpy opens(&comparison.view, &ComparisonView::openRequested);
    auto* open = comparison.view.findChild<QAbstractButton*>(QStringLiteral("comparisonOpenButton"));
    ASSERT_TRUE(open);
    EXPECT_EQ(open->text(), QStringLiteral("Abrir Imagem ▸"));
    open->click();
    EXPECT_EQ(opens.count(), 1);
    QDir().mkpath(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Editor"));
    comparison.view.grab().save(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Editor/comparison-empty.png"));

    const QString longName = QStringLiteral("uma fotografia com um nome realmente muito comprido demais.png");
    comparison.view.setLoadingName(longName);
    EXPECT_FALSE(empty->isVisible());
    EXPECT_TRUE(loading->isVisible());
    const auto* name = comparison.view.findChild<VTText*>(QStringLiteral("comparisonLoadingName"));
    EXPECT_TRUE(name->text().startsWith(QStringLiteral("uma ")) && name->text().contains(QStringLiteral("…"))
                && name->text().endsWith(QStringLiteral(".png")))
        << "shortened in the middle: " << name->text().toStdString();
    QCoreApplication::processEvents();
    EXPECT_TRUE(name->isVisible());
    EXPECT_LE(name->width(), 256) << "one line inside the 280-point window";
    comparison.view.grab().save(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Editor/comparison-loading.png"));

    comparison.view.setSource(solidImage(10, 10));
    EXPECT_FALSE(empty->isVisible());
    EXPECT_FALSE(loading->isVisible());
}

TEST(ComparisonShortcutMonitor, OnlyCtrlShiftBToggles)
{
    struct Row {
        const char* name;
        Qt::KeyboardModifiers modifiers;
        int key;
        QString text;
        bool toggles;
    };
    const Row rows[] = {
        {"Ctrl+Shift+B", Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_B, QStringLiteral("B"), true},
        {"Ctrl+Shift+B with Caps Lock", Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_B, QStringLiteral("b"), true},
        {"Ctrl+Shift+B on the keypad flag", Qt::ControlModifier | Qt::ShiftModifier | Qt::KeypadModifier, Qt::Key_B,
         QStringLiteral("B"), true},
        {"Ctrl+B", Qt::ControlModifier, Qt::Key_B, QStringLiteral("b"), false},
        {"Ctrl+Shift+Alt+B", Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier, Qt::Key_B, QStringLiteral("B"),
         false},
        {"Ctrl+Shift+Meta+B", Qt::ControlModifier | Qt::ShiftModifier | Qt::MetaModifier, Qt::Key_B,
         QStringLiteral("B"), false},
        {"Shift+B", Qt::ShiftModifier, Qt::Key_B, QStringLiteral("B"), false},
        {"Ctrl+Shift+N", Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_N, QStringLiteral("N"), false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ComparisonShortcutMonitor::matches(row.modifiers, row.key, row.text), row.toggles) << row.name;
    }
}

TEST(ComparisonShortcutMonitor, AnswersOnlyInItsOwnWindowAndSwallowsTheKey)
{
    struct Window {
        Window()
        {
            field = new QLineEdit(&root);
            monitor = new ComparisonShortcutMonitor(&root, [this] { ++toggles; });
            root.show();
        }
        QWidget root;
        QLineEdit* field;
        ComparisonShortcutMonitor* monitor;
        int toggles = 0;
    };
    Window first;
    Window second;

    QTest::keyClick(first.field, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(first.toggles, 1);
    EXPECT_EQ(second.toggles, 0);
    EXPECT_EQ(first.field->text(), QString()) << "the key is not delivered further";

    QTest::keyClick(second.field, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(first.toggles, 1);
    EXPECT_EQ(second.toggles, 1);

    QTest::keyClick(first.field, Qt::Key_B, Qt::ShiftModifier);
    EXPECT_EQ(first.toggles, 1);
    EXPECT_EQ(first.field->text().toLower(), QStringLiteral("b")) << "other keys pass on";

    delete first.monitor;
    QTest::keyClick(first.field, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(first.toggles, 1) << "a removed monitor answers no more";
}

}  // namespace
}  // namespace tilvane::testing
