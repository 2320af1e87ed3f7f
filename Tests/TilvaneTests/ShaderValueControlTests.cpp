#include "PanelTestSupport.hpp"

#include "Tilvane/Views/ShaderValueControl.hpp"

#include <QSignalSpy>

#include <limits>

namespace tilvane::testing {

namespace {

using namespace panels;
using Range = ShaderValueControl::Range;

TEST(ShaderValueControlTest, PrintsTheValueWithDecimalsChosenByTheSpan)
{
    struct Row {
        const char* name;
        Range range;
        float value;
        const char* text;
    };
    const Row rows[] = {
        {"span 1", {0, 1}, 0.5f, "0.50"},
        {"span exactly 100", {0, 100}, 42.4f, "42"},
        {"span 1999", {1, 2000}, 400, "400"},
        {"span 99.5", {0, 99.5f}, 3.14159f, "3.14"},
        {"span 0.05", {0, 0.05f}, 0.0123f, "0.012"},
        {"equal bounds", {2, 2}, 2, "2.000"},
        {"negative values", {-5, 1}, -2.75f, "-2.75"},
        {"above the range, printed as it is", {0, 1}, 1.75f, "1.75"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ShaderValueControl control(QStringLiteral("Brilho"), row.range);
        QSignalSpy edited(&control, &ShaderValueControl::valueEdited);
        control.setValue(row.value);
        EXPECT_TRUE(edited.isEmpty()) << "setValue does not report";
        EXPECT_EQ(control.formatted(), row.text);
        EXPECT_EQ(accessible(control).text(QAccessible::Value), row.text);
    }
}

TEST(ShaderValueControlTest, PressesAndDragsWriteAlongTheTrackAndClampAtTheEnds)
{
    auto* control = new ShaderValueControl(QStringLiteral("Intensidade"), {0, 1});
    Stage stage(control, VTAppearance::vemi, 212);
    ASSERT_EQ(control->trackArea().width(), 212);
    QSignalSpy edited(control, &ShaderValueControl::valueEdited);
    const int y = control->trackArea().center().y();
    struct Row {
        const char* name;
        int x;
        float expected;
    };
    const Row rows[] = {
        {"far left", 0, 0}, {"the thumb's half width", 6, 0}, {"middle", 106, 0.5f}, {"right end", 206, 1},
        {"beyond", 211, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        clickAt(*control, {row.x, y});
        ASSERT_EQ(edited.size(), 1);
        EXPECT_FLOAT_EQ(edited.takeFirst().at(0).toFloat(), row.expected);
    }
    QTest::mousePress(control, Qt::LeftButton, {}, {6, y});
    for (int x = 10; x <= 200; x += 10) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, y), control->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(control, &move);
    }
    QTest::mouseRelease(control, Qt::LeftButton, {}, {200, y});
    EXPECT_EQ(edited.size(), 21);
    EXPECT_FLOAT_EQ(control->value(), 194.0f / 200);
}

TEST(ShaderValueControlTest, OnlyTheTrackAreaTakesAPressAndADragFromItFollowsThePointerEverywhere)
{
    auto* control = new ShaderValueControl(QStringLiteral("Intensidade"), {0, 1});
    control->setValue(1);
    Stage stage(control, VTAppearance::noite, 212);
    QSignalSpy edited(control, &ShaderValueControl::valueEdited);
    const QRect area = control->trackArea();
    const int captionY = area.top() / 2;
    struct Row {
        const char* name;
        QPoint at;
    };
    const Row caption[] = {
        {"the label", {20, captionY}},
        {"the printed value", {control->width() - 8, captionY}},
        {"the gap between caption and track", {106, area.top() - 1}},
    };
    for (const auto& row : caption) {
        SCOPED_TRACE(row.name);
        clickAt(*control, row.at);
        EXPECT_TRUE(edited.isEmpty());
        EXPECT_EQ(control->value(), 1.0f);
    }

    const auto drag = [control](QPoint to) {
        QMouseEvent move(QEvent::MouseMove, QPointF(to), control->mapToGlobal(QPointF(to)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(control, &move);
    };
    QTest::mousePress(control, Qt::LeftButton, {}, {20, captionY});
    drag({106, area.center().y()});
    QTest::mouseRelease(control, Qt::LeftButton, {}, {106, area.center().y()});
    EXPECT_TRUE(edited.isEmpty()) << "a drag that starts on the caption line moves nothing";

    QTest::mousePress(control, Qt::LeftButton, {}, {106, area.bottom()});
    drag({56, captionY});
    drag({-40, captionY});
    drag({400, area.bottom() + 30});
    QTest::mouseRelease(control, Qt::LeftButton, {}, {400, area.bottom() + 30});
    std::vector<float> written;
    for (const auto& arguments : edited) written.push_back(arguments.at(0).toFloat());
    EXPECT_EQ(written, (std::vector<float>{0.5f, 0.25f, 0, 1})) << "a drag from the track keeps following, clamped";
}

TEST(ShaderValueControlTest, PointerArithmeticCountsANaNPositionAsZero)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(ShaderValueControl::valueForPointer(nan, 212, {2, 40}), 2);
    EXPECT_EQ(ShaderValueControl::valueForPointer(100, 212, {3, 3}), 3) << "equal bounds write the lower bound";
    EXPECT_FLOAT_EQ(ShaderValueControl::valueForPointer(6.5, 10, {0, 1}), 0.5f) << "narrow track uses usable 1";
    EXPECT_FLOAT_EQ(ShaderValueControl::valueForPointer(6 + 50, 212, {-5, 1}), -5 + 6 * 0.25f);
}

TEST(ShaderValueControlTest, TwentyIncrementsReachTheTopAndNeverPassIt)
{
    ShaderValueControl control(QStringLiteral("Curvatura"), {0, 3});
    QSignalSpy edited(&control, &ShaderValueControl::valueEdited);
    for (int step = 0; step < 25; ++step) {
        accessibleAction(control, QAccessibleActionInterface::increaseAction());
        EXPECT_LE(control.value(), 3.0f);
    }
    EXPECT_NEAR(control.value(), 3.0f, 1e-5);
    for (int step = 0; step < 25; ++step) accessibleAction(control, QAccessibleActionInterface::decreaseAction());
    EXPECT_EQ(control.value(), 0.0f);
    EXPECT_EQ(edited.size(), 50);

    control.setValue(1.75f);  // above the range, set from elsewhere
    accessibleAction(control, QAccessibleActionInterface::decreaseAction());
    EXPECT_FLOAT_EQ(control.value(), 1.75f - 0.15f) << "a decrement only lowers it by one step";
}

TEST(ShaderValueControlTest, DrawsThumbAndFillFromTheValueAndKeepsAnOutOfRangeThumbAtTheEnd)
{
    for (const auto appearance : {VTAppearance::vemi, VTAppearance::noite}) {
        auto* control = new ShaderValueControl(QStringLiteral("Intensidade"), {0, 1});
        control->setValue(0.5f);
        Stage stage(control, appearance, 212);
        const VTTheme& theme = stage.theme();
        const QRect area = control->trackArea();
        QImage image = snapshot(*control);
        // Thumb 100…111, fill up to 106.
        EXPECT_TRUE(sameColour(image.pixelColor(50, area.center().y()), theme.btnBg));
        EXPECT_TRUE(sameColour(image.pixelColor(100, area.top()), theme.border)) << "thumb outline";
        EXPECT_TRUE(sameColour(image.pixelColor(105, area.top() + 2), theme.bgWindow)) << "thumb body";
        EXPECT_TRUE(sameColour(image.pixelColor(150, area.center().y()), theme.bgWindow)) << "empty track";

        control->setValue(7);
        image = snapshot(*control);
        EXPECT_TRUE(sameColour(image.pixelColor(200, area.top()), theme.border)) << "thumb at the right end";
        EXPECT_TRUE(sameColour(image.pixelColor(190, area.center().y()), theme.btnBg));
    }
}

TEST(ShaderValueControlTest, ADisabledControlIsDimmedAndIgnoresEveryWrite)
{
    auto* control = new ShaderValueControl(QStringLiteral("Exposição"), {-2, 2});
    Stage stage(control, VTAppearance::noite, 212);
    const QImage enabled = snapshot(*control);
    control->setEnabled(false);
    QSignalSpy edited(control, &ShaderValueControl::valueEdited);
    const int y = control->trackArea().center().y();
    clickAt(*control, {150, y});
    accessibleAction(*control, QAccessibleActionInterface::increaseAction());
    control->setFocus();
    QTest::keyClick(control, Qt::Key_Right);
    EXPECT_EQ(edited.size(), 0);
    EXPECT_EQ(control->value(), -2.0f);
    expectHalfway(pixel(*control, {5, y}), enabled.pixelColor(5, y), stage.root->palette().color(QPalette::Window));
}

TEST(ShaderValueControlTest, AStoredValueThatIsNotANumberNeverLeadsToAWriteOfOne)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    struct Row {
        const char* name;
        float stored;
        bool increment;
        float written;
    };
    const Row rows[] = {
        {"NaN up", nan, true, 0.05f},
        {"NaN down", nan, false, 0},
        {"infinity down", infinity, false, 0.95f},
        {"infinity up", infinity, true, 1},
        {"minus infinity up", -infinity, true, 0.05f},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ShaderValueControl control(QStringLiteral("Intensidade"), {0, 1});
        control.setValue(row.stored);
        QSignalSpy edited(&control, &ShaderValueControl::valueEdited);
        accessibleAction(control, row.increment ? QAccessibleActionInterface::increaseAction()
                                                : QAccessibleActionInterface::decreaseAction());
        ASSERT_EQ(edited.size(), 1);
        EXPECT_FLOAT_EQ(edited.front().at(0).toFloat(), row.written);
    }
}

}  // namespace

}  // namespace tilvane::testing
