#include "ShaderInspectorTestSupport.hpp"

#include "Tilvane/Editor/PersonalPresetRules.hpp"
#include "Tilvane/Views/PixelControls.hpp"
#include "Tilvane/Views/ShaderValueControl.hpp"
#include "Tilvane/Views/WrappedText.hpp"

#include "VemiTerminal/Components/VTButton.hpp"

#include <QPointer>

#include <map>

namespace tilvane::testing {

namespace {

using namespace panels;

void click(QWidget& widget)
{
    clickAt(widget, widget.rect().center());
}

TEST(ShaderInspectorTest, ShowsNothingWithoutConfigurationOrPreset)
{
    struct Row {
        const char* name;
        PresetSelection presetID;
        bool configuration;
    };
    const Row rows[] = {
        {"no configuration", "tubo", false},
        {"no preset id", std::nullopt, true},
        {"an id of no preset", "TUBO", true},
        {"a personal id without its preset", "personal:00000000-0000-0000-0000-000000000000", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto* inspector = new ShaderInspector(inspectorPresets());
        Stage stage(inspector);
        inspector->setPresetID(row.presetID);
        if (row.configuration) inspector->setConfiguration(ShaderConfiguration::fromPreset(inspectorPresets()[0]));
        EXPECT_FALSE(inspector->isShowingContent());
        EXPECT_FALSE(inspector->isVisible());
        EXPECT_EQ(inspector->findChild<QWidget*>(QStringLiteral("shaderWindow")), nullptr);
    }
}

TEST(ShaderInspectorTest, ShowsThePresetWithItsPassRowsAndTheBezelWindow)
{
    InspectorHarness harness("duo");
    EXPECT_TRUE(harness.inspector->isShowingContent());
    EXPECT_TRUE(harness.has(QStringLiteral("shaderWindow")));
    EXPECT_TRUE(harness.has(QStringLiteral("bezelWindow")));
    EXPECT_EQ(harness.find<WrappedText>(QStringLiteral("presetName")).text(), "Duo");
    EXPECT_EQ(harness.find<VTButton>(QStringLiteral("passToggle:0")).text(), "▾ Glitch");
    EXPECT_EQ(harness.find<VTButton>(QStringLiteral("passToggle:1")).text(), "▸ CRT");
    EXPECT_EQ(harness.find<PixelSwitch>(QStringLiteral("passSwitch:1")).title(), "Ativar CRT");
    EXPECT_FALSE(harness.find<PixelSwitch>(QStringLiteral("passSwitch:1")).isOn());
    EXPECT_TRUE(harness.has(QStringLiteral("intensity:0")));
    EXPECT_FALSE(harness.has(QStringLiteral("intensity:1")));
}

TEST(ShaderInspectorTest, AdjustedFollowsAnimationAndValuesAndRestoreWritesTheBuiltInPreset)
{
    InspectorHarness harness("tubo");
    const auto adjusted = [&] { return harness.has(QStringLiteral("adjustedChip")); };
    EXPECT_FALSE(adjusted());

    click(harness.find<PixelSwitch>(QStringLiteral("motionSwitch")));
    EXPECT_TRUE(harness.current().motion);
    EXPECT_TRUE(adjusted()) << "animation on";
    click(harness.find<PixelSwitch>(QStringLiteral("motionSwitch")));
    EXPECT_FALSE(adjusted()) << "animation off again";

    auto& intensity = harness.find<ShaderValueControl>(QStringLiteral("intensity:0"));
    accessibleAction(intensity, QAccessibleActionInterface::increaseAction());
    EXPECT_TRUE(adjusted()) << "a value edited away";
    harness.inspector->setConfiguration(ShaderConfiguration::fromPreset(inspectorPreset("tubo")));
    EXPECT_FALSE(adjusted()) << "and back to exactly the stored value";

    ShaderConfiguration edited = harness.current();
    edited.motion = true;
    edited.passes[0].intensity = 0.1f;
    edited.bezel.isOn = true;
    harness.inspector->setConfiguration(edited);
    harness.settle();
    harness.edits.clear();
    click(harness.find<VTButton>(QStringLiteral("restoreButton")));
    ASSERT_EQ(harness.edits.size(), 1u);
    EXPECT_EQ(harness.edits.back(), ShaderConfiguration::fromPreset(inspectorPreset("tubo")))
        << "restore writes the built-in preset with motion off";
    EXPECT_FALSE(adjusted());
}

TEST(ShaderInspectorTest, APersonalPresetComparesWithItsStoredShaderAndOnlyAsksForRestore)
{
    InspectorHarness harness("tubo");
    tilvane::PersonalPreset mine;
    mine.id = fixedID(9);
    mine.name = "Meu Tubo";
    mine.visual.paletteID = "pico8";
    mine.visual.shader = ShaderConfiguration::fromPreset(inspectorPreset("tubo"), {.motion = true});
    std::vector<tilvane::VisualSettings> restores;
    QObject::connect(harness.inspector, &ShaderInspector::restorePersonalRequested,
                     [&](const tilvane::VisualSettings& visual) { restores.push_back(visual); });
    harness.inspector->setPresetID(personalSelectionID(mine.id));
    harness.inspector->setPersonalPreset(mine);
    harness.inspector->setConfiguration(*mine.visual.shader);
    harness.settle();

    EXPECT_EQ(harness.find<WrappedText>(QStringLiteral("presetName")).text(), "Meu Tubo");
    EXPECT_FALSE(harness.has(QStringLiteral("adjustedChip"))) << "saved with animation on";
    click(harness.find<PixelSwitch>(QStringLiteral("motionSwitch")));
    EXPECT_TRUE(harness.has(QStringLiteral("adjustedChip"))) << "animation turned off";

    const auto editsBefore = harness.edits.size();
    click(harness.find<VTButton>(QStringLiteral("restoreButton")));
    ASSERT_EQ(restores.size(), 1u);
    EXPECT_EQ(restores.front(), mine.visual);
    EXPECT_EQ(harness.edits.size(), editsBefore) << "nothing written through the configuration";
}

TEST(ShaderInspectorTest, TheReduceMotionNoteShowsOnlyWithMotionOn)
{
    InspectorHarness harness("tubo");
    struct Row {
        const char* name;
        bool reduceMotion;
        bool motion;
        bool note;
    };
    const Row rows[] = {{"neither", false, false, false},
                        {"reduce motion, motion off", true, false, false},
                        {"reduce motion, motion on", true, true, true},
                        {"motion on only", false, true, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        harness.inspector->setReduceMotion(row.reduceMotion);
        ShaderConfiguration configuration = harness.current();
        configuration.motion = row.motion;
        harness.inspector->setConfiguration(configuration);
        EXPECT_EQ(harness.has(QStringLiteral("reduceMotionNote")), row.note);
    }
}

TEST(ShaderInspectorTest, RowsExpandOnTheirOwnAndANewPresetCollapsesThemToTheFirst)
{
    InspectorHarness harness("duo");
    click(harness.find<VTButton>(QStringLiteral("passToggle:1")));
    harness.settle();
    EXPECT_EQ(harness.inspector->expandedPasses(), (std::set<int>{0, 1}));
    EXPECT_TRUE(harness.has(QStringLiteral("intensity:1")));
    EXPECT_EQ(harness.find<VTButton>(QStringLiteral("passToggle:1")).text(), "▾ CRT");

    click(harness.find<VTButton>(QStringLiteral("passToggle:0")));
    harness.settle();
    EXPECT_FALSE(harness.has(QStringLiteral("intensity:0")));
    click(harness.find<VTButton>(QStringLiteral("passToggle:0")));
    harness.settle();
    EXPECT_TRUE(harness.has(QStringLiteral("intensity:0"))) << "reopened";

    harness.select("tubo");
    harness.select("duo");
    EXPECT_EQ(harness.inspector->expandedPasses(), (std::set<int>{0}));
    EXPECT_FALSE(harness.has(QStringLiteral("intensity:1")));
}

TEST(ShaderInspectorTest, PassSwitchesAndIntensityWriteTheirPassOnly)
{
    InspectorHarness harness("duo");
    click(harness.find<PixelSwitch>(QStringLiteral("passSwitch:1")));
    ASSERT_EQ(harness.edits.size(), 1u);
    EXPECT_TRUE(harness.current().passes[1].isOn);
    EXPECT_TRUE(harness.current().passes[0].isOn);
    auto& intensity = harness.find<ShaderValueControl>(QStringLiteral("intensity:0"));
    clickAt(intensity, {6, intensity.trackArea().center().y()});
    EXPECT_EQ(harness.current().passes[0].intensity, 0.0f);
    EXPECT_EQ(harness.current().passes[1].intensity, 1.0f);
}

TEST(ShaderInspectorTest, AnUnknownEffectShowsItsIDAndAnEmptyPresetOnlyTheHeader)
{
    InspectorHarness harness("misterio");
    EXPECT_EQ(harness.find<VTButton>(QStringLiteral("passToggle:0")).text(), "▾ efeitoNovo");
    EXPECT_EQ(harness.find<PixelSwitch>(QStringLiteral("passSwitch:0")).title(), "Ativar efeitoNovo");
    EXPECT_EQ(ShaderInspector::effectName("mnoise"), "Ruído orgânico");
    EXPECT_EQ(ShaderInspector::effectName("crtLottes"), "CRT Lottes");

    harness.select("vazio");
    EXPECT_TRUE(harness.has(QStringLiteral("motionSwitch")));
    EXPECT_TRUE(harness.has(QStringLiteral("restoreButton")));
    EXPECT_EQ(harness.inspector->findChild<QWidget*>(QStringLiteral("passToggle:0")), nullptr);
}

TEST(ShaderInspectorTest, EditsComingBackRefreshInPlaceAndKeepADragGoing)
{
    InspectorHarness harness("fosforo", VTAppearance::noite);
    QPointer<ShaderValueControl> control = &harness.find<ShaderValueControl>(QStringLiteral("parameter:0:bloom"));
    QPointer<QWidget> window = &harness.find<QWidget>(QStringLiteral("shaderWindow"));
    const int y = control->trackArea().center().y();
    QTest::mousePress(control, Qt::LeftButton, {}, {6, y});
    for (int x = 20; x <= 200; x += 20) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, y), control->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(control, &move);
        harness.settle();
        ASSERT_TRUE(control) << "the dragged control survived the echo";
    }
    QTest::mouseRelease(control, Qt::LeftButton, {}, {200, y});
    EXPECT_EQ(harness.edits.size(), 11u);
    EXPECT_EQ(control, &harness.find<ShaderValueControl>(QStringLiteral("parameter:0:bloom")));
    EXPECT_EQ(window, &harness.find<QWidget>(QStringLiteral("shaderWindow")));
    EXPECT_NEAR(harness.current().passes[0].settings.at("bloom"), 4 * (200.0 - 6) / (control->width() - 12), 1e-4);
    EXPECT_TRUE(harness.has(QStringLiteral("adjustedChip")));
}

TEST(ShaderInspectorTest, EditsWithoutAnEchoStayTheInspectorsOwn)
{
    auto* inspector = new ShaderInspector(inspectorPresets());
    std::vector<ShaderConfiguration> edits;
    QObject::connect(inspector, &ShaderInspector::configurationEdited,
                     [&](const ShaderConfiguration& configuration) { edits.push_back(configuration); });
    inspector->setPresetID("duo");
    inspector->setConfiguration(ShaderConfiguration::fromPreset(inspectorPreset("duo")));
    Stage stage(inspector);
    click(child<PixelSwitch>(*inspector, QStringLiteral("passSwitch:0")));
    click(child<PixelSwitch>(*inspector, QStringLiteral("passSwitch:1")));
    ASSERT_EQ(edits.size(), 2u);
    EXPECT_FALSE(edits[1].passes[0].isOn) << "the second write builds on the first";
    EXPECT_TRUE(edits[1].passes[1].isOn);
}

// Counts the paint and layout events every widget receives.
struct RepaintCounter : QObject {
    std::map<QObject*, int> paints;
    int layouts = 0;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) ++paints[watched];
        if (event->type() == QEvent::LayoutRequest) ++layouts;
        return false;
    }
};

TEST(ShaderInspectorTest, ADragRepaintsOnlyTheDraggedControlAndNeverRelaysOut)
{
    InspectorHarness harness("fosforo", VTAppearance::vemi);
    auto& control = harness.find<ShaderValueControl>(QStringLiteral("parameter:0:bloom"));
    const int y = control.trackArea().center().y();
    QTest::mousePress(&control, Qt::LeftButton, {}, {6, y});
    // The press also takes focus from the "remove" button, whose shadow layer repaints a turn later: not the drag's.
    harness.settle();
    harness.settle();
    QCoreApplication::sendPostedEvents();
    RepaintCounter counter;
    qApp->installEventFilter(&counter);
    for (int x = 10; x <= 210; x += 4) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, y), control.mapToGlobal(QPointF(x, y)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&control, &move);
        QCoreApplication::sendPostedEvents();
    }
    qApp->removeEventFilter(&counter);
    QTest::mouseRelease(&control, Qt::LeftButton, {}, {210, y});
    EXPECT_EQ(counter.paints[&control], 51);
    for (const auto& [widget, count] : counter.paints) {
        EXPECT_EQ(widget, &control) << widget->metaObject()->className() << " " << widget->objectName().toStdString()
                                    << " repainted " << count << " times";
    }
    EXPECT_EQ(counter.layouts, 0);
    EXPECT_EQ(harness.edits.size(), 52u);
}

}  // namespace

}  // namespace tilvane::testing
