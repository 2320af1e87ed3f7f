#include "Tilvane/Views/CustomPaletteEditor.hpp"
#include "Tilvane/Views/InspectorPanel.hpp"
#include "Tilvane/Views/PixelControls.hpp"
#include "Tilvane/Views/PresetPanel.hpp"
#include "Tilvane/Views/ShaderValueControl.hpp"
#include "Tilvane/Views/WrappedText.hpp"
#include "VemiTerminal/Components/VTButton.hpp"
#include "VemiTerminal/Components/VTChip.hpp"

#include "PanelTestSupport.hpp"
#include "PresetTestSupport.hpp"

#include <gtest/gtest.h>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>

#include <functional>

namespace tilvane {
namespace {

using namespace presettesting;
using panels::child;

// An inspector showing `values` that records every look it emits.
class InspectorTest : public ::testing::Test {
protected:
    void show(const InspectorValues& values)
    {
        inspector.setValues(values);
        inspector.resize(InspectorPanel::width, 700);
        inspector.show();
    }
    void showLook(const VisualSettings& visual)
    {
        InspectorValues values;
        values.visual = visual;
        show(values);
    }
    void SetUp() override
    {
        QObject::connect(&inspector, &InspectorPanel::visualEdited,
                         [this](const VisualSettings& visual) { edits.push_back(visual); });
    }
    void click(const QString& name) { QTest::mouseClick(&child<QWidget>(inspector, name), Qt::LeftButton); }
    void clickAt(const QString& name, int x)
    {
        auto& widget = child<QWidget>(inspector, name);
        QTest::mouseClick(&widget, Qt::LeftButton, {}, QPoint(x, widget.height() / 2));
    }

    const std::vector<ShaderPreset>& builtIn = panels::builtInPresets();
    InspectorPanel inspector{builtIn};
    std::vector<VisualSettings> edits;
};

TEST_F(InspectorTest, TheBlockSizeStaysWithinTwoToFortyThroughButtonsAndSlider)
{
    struct Row {
        const char* name;
        std::int64_t start;
        QString control;
        int x;  // -1 clicks the button in its middle, rightEnd the slider's last pixel
        std::int64_t expected;
    };
    constexpr int rightEnd = -2;
    const Row rows[] = {
        {"minusAtTwo", 2, "pixelDecrease", -1, 2},      {"minusAtNine", 9, "pixelDecrease", -1, 8},
        {"plusAtForty", 40, "pixelIncrease", -1, 40},   {"plusAtEight", 8, "pixelIncrease", -1, 9},
        {"sliderFarLeft", 20, "pixelSizeSlider", 0, 2}, {"sliderFarRight", 20, "pixelSizeSlider", rightEnd, 40},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        edits.clear();
        auto look = lookWithPixelSize(row.start);
        look.paletteID = "nes";
        showLook(look);
        if (row.x == rightEnd) {
            clickAt(row.control, child<QWidget>(inspector, row.control).width() - 1);
        } else {
            row.x < 0 ? click(row.control) : clickAt(row.control, row.x);
        }
        ASSERT_EQ(edits.size(), 1u);
        auto expected = look;
        expected.pixelSize = row.expected;
        EXPECT_EQ(edits.back(), expected) << "only the block size changes";
    }
    showLook(lookWithPixelSize(17));
    EXPECT_EQ(child<PixelSlider>(inspector, "pixelSizeSlider").value(), 17);
    EXPECT_EQ(child<QWidget>(inspector, "pixelSizeBadge").accessibleName(), "17 PX");
}

TEST_F(InspectorTest, RestoringAdjustmentsIsOfferedExactlyAwayFromNeutral)
{
    const std::pair<const char*, ImageAdjustments> rows[] = {
        {"neutral", {0, 1, 1}},          {"negativeZeroExposure", {-0.0f, 1, 1}},
        {"tinyExposure", {1e-7f, 1, 1}}, {"contrastOneStep", {0, std::nextafter(1.0f, 2.0f), 1}},
        {"gammaLow", {0, 1, 0.5f}},
    };
    for (const auto& [name, adjustments] : rows) {
        SCOPED_TRACE(name);
        edits.clear();
        auto look = windowLook();
        look.adjustments = adjustments;
        showLook(look);
        const bool neutral = std::string(name) == "neutral" || std::string(name) == "negativeZeroExposure";
        auto& restore = child<VTButton>(inspector, "restoreAdjustments");
        EXPECT_EQ(restore.isEnabled(), !neutral);
        click("restoreAdjustments");
        if (neutral) {
            EXPECT_TRUE(edits.empty());
        } else {
            ASSERT_EQ(edits.size(), 1u);
            EXPECT_EQ(edits.back(), windowLook());
        }
    }
}

TEST_F(InspectorTest, TheCustomPaletteStartsFromTheDefaultsOnceAndKeepsEditedColours)
{
    showLook(windowLook());
    click("paletteChoice.custom");
    ASSERT_EQ(edits.size(), 1u);
    auto expected = windowLook();
    expected.paletteID = "custom";
    expected.customColors = ImagePalette::defaultCustomColors();
    EXPECT_EQ(edits.back(), expected);

    auto kept = windowLook();
    kept.customColors = std::vector<RGBColor>{{1, 2, 3}, {200, 100, 50}, {9, 9, 9}};
    showLook(kept);
    EXPECT_EQ(inspector.findChild<CustomPaletteEditor*>(), nullptr) << "no editor without the custom palette";
    click("paletteChoice.custom");
    expected = kept;
    expected.paletteID = "custom";
    EXPECT_EQ(edits.back(), expected) << "colours edited before are kept";
    showLook(expected);
    ASSERT_NE(inspector.findChild<CustomPaletteEditor*>(), nullptr);
    EXPECT_EQ(inspector.findChild<CustomPaletteEditor*>()->colors(), *kept.customColors);

    click("paletteChoice.pico8");
    auto builtIn = expected;
    builtIn.paletteID = "pico8";
    EXPECT_EQ(edits.back(), builtIn) << "a built-in palette keeps the custom colours stored";
    showLook(builtIn);
    EXPECT_TRUE(child<PixelChoiceButton>(inspector, "paletteChoice.pico8").isSelected());
    EXPECT_FALSE(child<PixelChoiceButton>(inspector, "paletteChoice.custom").isSelected());
}

TEST_F(InspectorTest, AShaderThatDrawsScanlinesDisablesTheScreenScanlinesButKeepsTheirValues)
{
    ShaderConfiguration shader;
    shader.passes.emplace_back("crt", 1.0f, ShaderPass::Settings{{"scanLinesStrength", 0.5f}, {"bloomStrength", 0.0f}},
                               true);
    auto look = windowLook();
    look.shader = shader;
    look.screen.scanlineStrength = 0.2f;
    showLook(look);
    for (const char* name : {"scanlineSwitch", "scanlineStrength", "scanlineThickness"}) {
        EXPECT_FALSE(child<QWidget>(inspector, name).isEnabled()) << name;
    }
    EXPECT_TRUE(child<QWidget>(inspector, "scanlineCaption").isVisibleTo(&inspector));
    EXPECT_TRUE(child<QWidget>(inspector, "glowSwitch").isEnabled());
    EXPECT_FALSE(child<QWidget>(inspector, "glowCaption").isVisibleTo(&inspector));
    EXPECT_TRUE(child<PixelSwitch>(inspector, "scanlineSwitch").isOn()) << "the stored strength is shown, not 0";
    click("scanlineSwitch");
    EXPECT_TRUE(edits.empty()) << "a disabled switch writes nothing";

    showLook(windowLook());
    EXPECT_FALSE(child<QWidget>(inspector, "scanlineCaption").isVisibleTo(&inspector));
    child<PixelSwitch>(inspector, "scanlineSwitch").setFocus();
    click("scanlineSwitch");
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits.back().screen.scanlineStrength, 0.35f);
    showLook(edits.back());
    click("scanlineSwitch");
    EXPECT_EQ(edits.back().screen.scanlineStrength, 0.0f);
    showLook(edits.back());
    EXPECT_FALSE(child<PixelSwitch>(inspector, "scanlineSwitch").isOn());
    click("glowSwitch");
    EXPECT_EQ(edits.back().screen, (ScreenSettings{0, 0.5f, 0.35f}));
}

TEST_F(InspectorTest, NotesAboutWhatTheShaderOrTheBezelControlsWrapInsideTheColumn)
{
    vemiTerminal(&inspector, VTAppearance::noite);
    showLook(windowLook());
    QCoreApplication::processEvents();
    const int columnWidth = inspector.widget()->width();
    const int panelWidth = child<QWidget>(inspector, "screenControls").width();

    // The green phosphor draws curvature, scanlines and bloom of its own: with the bezel on, every such note shows.
    const auto phosphor = std::find_if(builtIn.begin(), builtIn.end(),
                                       [](const ShaderPreset& preset) { return preset.id == "fosforo-verde"; });
    ASSERT_NE(phosphor, builtIn.end());
    InspectorValues values;
    values.visual = windowLook();
    values.visual.shader = ShaderConfiguration::fromPreset(*phosphor);
    values.visual.shader->bezel.isOn = true;
    values.shaderID = phosphor->id;
    show(values);
    QCoreApplication::processEvents();
    for (const char* note : {"curvatureNote:0", "scanlineCaption", "glowCaption"}) {
        SCOPED_TRACE(note);
        const QWidget& shown = child<QWidget>(inspector, note);
        EXPECT_TRUE(shown.hasHeightForWidth()) << "wraps";
        EXPECT_TRUE(shown.isVisibleTo(&inspector));
        EXPECT_LE(shown.minimumSizeHint().width(), shown.width());
        EXPECT_GE(shown.height(), shown.heightForWidth(shown.width())) << "every line of it shows";
    }
    EXPECT_EQ(inspector.widget()->width(), columnWidth) << "the column keeps its width";
    EXPECT_EQ(child<QWidget>(inspector, "screenControls").width(), panelWidth);
    EXPECT_EQ(child<QWidget>(inspector, "shaderControls").width(), panelWidth);

    std::filesystem::create_directories(TILVANE_TEST_SCREENSHOT_DIR);
    for (const auto& [appearance, name] :
         {std::pair{VTAppearance::noite, "noite"}, std::pair{VTAppearance::vemi, "vemi"}}) {
        vemiTerminal(&inspector, appearance);
        for (const char* panel : {"shaderControls", "screenControls"}) {
            EXPECT_TRUE(child<QWidget>(inspector, panel)
                            .grab()
                            .save(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Inspector-bezel-%1-%2.png")
                                      .arg(QLatin1String(panel), QLatin1String(name))));
        }
    }
}

TEST_F(InspectorTest, PaletteRowsAreOneAccessibleElementEachWithoutTheirSwatch)
{
    showLook(windowLook());
    const auto rows =
        inspector.findChildren<PixelChoiceButton*>(QRegularExpression(QStringLiteral("^paletteChoice\\.")));
    ASSERT_FALSE(rows.isEmpty());
    for (PixelChoiceButton* row : rows) {
        SCOPED_TRACE(row->objectName().toStdString());
        EXPECT_TRUE(panels::reachesAccessibly(inspector, *row));
        EXPECT_FALSE(panels::accessible(*row).text(QAccessible::Name).isEmpty());
        for (const auto* swatch : row->findChildren<PaletteSwatch*>()) {
            EXPECT_FALSE(panels::reachesAccessibly(inspector, *swatch));
        }
    }
}

TEST_F(InspectorTest, TheDitherCaptionFollowsThePaletteWhileTheChoicesStayEnabled)
{
    auto original = windowLook();
    original.paletteID = "original";
    const std::pair<VisualSettings, QString> rows[] = {
        {original, "Cores Originais Não Usa Dither"},
        {windowLook(), "Nenhum Mantém O Resultado Atual"},
    };
    for (const auto& [look, caption] : rows) {
        edits.clear();
        showLook(look);
        EXPECT_EQ(child<PixelCaption>(inspector, "ditherCaption").text(), caption);
        click("ditherChoice.floydSteinberg");
        ASSERT_EQ(edits.size(), 1u);
        EXPECT_EQ(edits.back().dither, DitherMode::floydSteinberg);
    }
}

// Lets the layout requests, deferred shows, resizes and deletions that the last change caused run, as the event
// loop does.
void settle()
{
    for (int turn = 0; turn < 5; ++turn) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// What the window shows once `selection` is chosen from `look`, with `presets` stored.
InspectorValues selecting(const PresetSelection& selection, const VisualSettings& look,
                          const std::vector<PersonalPreset>& presets)
{
    InspectorValues values;
    values.visual = visualForSelection(selection, look, presets, panels::builtInPresets());
    values.shaderID = selection;
    values.selectedPersonalPreset = selectedPersonalPreset(presets, selection);
    values.presetStoreAvailable = true;
    return values;
}

TEST_F(InspectorTest, ANewSelectionScrollsItsPanelToTheTopButTheFirstValuesDoNot)
{
    InspectorValues values;
    values.visual = windowLook();
    values.shaderID = "personal:0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D";
    inspector.resize(InspectorPanel::width, 300);
    inspector.show();
    inspector.setValues(values);
    EXPECT_EQ(inspector.verticalScrollBar()->value(), 0) << "a new window does not scroll";

    const auto chosen = builtIn.front();
    const std::tuple<const char*, std::optional<std::string>, QString> rows[] = {
        {"noShader", std::nullopt, "screenControls"},
        {"personal", "personal:0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D", "personalPresetControls"},
        {"builtIn", chosen.id, "shaderControls"},
        {"noShaderAgain", std::nullopt, "screenControls"},
    };
    for (const auto& [name, shaderID, target] : rows) {
        values.shaderID = shaderID;
        values.visual.shader =
            shaderID == chosen.id ? std::optional(ShaderConfiguration::fromPreset(chosen)) : std::nullopt;
        inspector.setValues(values);
        settle();
        const auto& panel = child<QWidget>(inspector, target);
        EXPECT_EQ(inspector.verticalScrollBar()->value(), std::min(panel.y(), inspector.verticalScrollBar()->maximum()))
            << name;
        EXPECT_GT(inspector.verticalScrollBar()->maximum(), 0);
    }
    const auto before = inspector.verticalScrollBar()->value();
    values.visual.pixelSize = 20;
    inspector.setValues(values);
    settle();
    EXPECT_EQ(inspector.verticalScrollBar()->value(), before) << "only a new selection scrolls";
}

TEST_F(InspectorTest, EachNewSelectionEndsWithItsPanelAtTheTopOfTheSettledColumn)
{
    const auto presets = panels::personalPresetsOfTwoHeights();
    const auto first = personalSelectionID(presets[0].id);
    const auto second = personalSelectionID(presets[1].id);
    struct Row {
        const char* name;
        PresetSelection selection;
        const char* target;
    };
    const Row rows[] = {
        {"built-in", "tubo-classico", "shaderControls"},
        {"built-in to personal", first, "personalPresetControls"},
        {"personal to personal", second, "personalPresetControls"},
        {"personal to built-in", "tubo-classico", "shaderControls"},
        {"built-in to none", std::nullopt, "screenControls"},
        {"none to personal", first, "personalPresetControls"},
    };
    vemiTerminal(&inspector, VTAppearance::noite);
    inspector.resize(InspectorPanel::width, 700);
    inspector.show();
    auto values = selecting(std::nullopt, windowLook(), presets);
    inspector.setValues(values);
    settle();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        values = selecting(row.selection, values.visual, presets);
        inspector.setValues(values);
        settle();
        const auto& panel = child<QWidget>(inspector, row.target);
        const auto* bar = inspector.verticalScrollBar();
        if (panel.y() <= bar->maximum()) {
            EXPECT_EQ(bar->value(), panel.y()) << "the panel's top at the viewport's top";
        } else {
            EXPECT_EQ(bar->value(), bar->maximum()) << "the column at its end, as near the top as the panel gets";
        }
        EXPECT_EQ(panel.mapTo(inspector.viewport(), QPoint(0, 0)).y(), panel.y() - bar->value()) << "drawn there";
    }
}

TEST_F(InspectorTest, RenamingTheSelectedPresetLeavesTheColumnWhereItWas)
{
    auto presets = panels::personalPresetsOfTwoHeights();
    vemiTerminal(&inspector, VTAppearance::noite);
    inspector.resize(InspectorPanel::width, 700);
    inspector.show();
    inspector.setValues(selecting("tubo-classico", windowLook(), presets));
    settle();
    const auto selection = personalSelectionID(presets[0].id);
    inspector.setValues(selecting(selection, windowLook(), presets));
    settle();
    const int before = inspector.verticalScrollBar()->value();
    ASSERT_EQ(before, child<QWidget>(inspector, "personalPresetControls").y());

    click("renamePreset");  // the user asks for the name sheet; the window stores the new name
    presets[0].name = "Monitor Da Sala";
    inspector.setValues(selecting(selection, presets[0].visual, presets));
    // The shader inspector, built anew for the new name, shows at once: no turn of the event loop lays the column
    // out without it (a shorter column would lose its scroll position).
    const auto names = inspector.findChildren<WrappedText*>(QStringLiteral("presetName"));
    EXPECT_TRUE(std::any_of(names.begin(), names.end(), [this](const WrappedText* name) {
        return name->text() == "Monitor Da Sala" && name->isVisibleTo(&inspector);
    }));
    settle();
    EXPECT_EQ(child<WrappedText>(inspector, "presetName").text(), "Monitor Da Sala");
    EXPECT_EQ(inspector.verticalScrollBar()->value(), before);
    EXPECT_EQ(child<QWidget>(inspector, "personalPresetControls").y(), before);
}

TEST_F(InspectorTest, TheColumnKeepsItsMarginsWhateverItsRowsAskFor)
{
    auto monitor = windowLook();
    monitor.shader = ShaderConfiguration::fromPreset(panels::builtInPreset("monitor-de-estudio"));
    const auto preset = presetNamed("Monitor De Estúdio Da Sala De Edição", monitor);
    const auto selection = personalSelectionID(preset.id);
    vemiTerminal(&inspector, VTAppearance::noite);
    inspector.resize(InspectorPanel::width, 700);
    inspector.show();
    inspector.setValues(selecting("monitor-de-estudio", windowLook(), {preset}));
    settle();
    const int viewportWidth = inspector.viewport()->width();
    ASSERT_LT(viewportWidth, InspectorPanel::width) << "the scroll bar takes its room";

    const auto expectMargins = [&] {
        EXPECT_EQ(inspector.widget()->width(), viewportWidth) << "the content stays within the viewport";
        for (const char* name : {"shaderControls", "visualControls", "personalPresetControls", "workingSizeControls"}) {
            SCOPED_TRACE(name);
            const auto& panel = child<QWidget>(inspector, name);
            EXPECT_EQ(panel.x(), 24);
            EXPECT_EQ(viewportWidth - (panel.x() + panel.width()), 24);
        }
        // Nothing is narrowed below what it needs: a row that does not fit wraps its text instead.
        for (const QWidget* shown : inspector.widget()->findChildren<QWidget*>()) {
            if (!shown->isVisibleTo(&inspector) || shown->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored) {
                continue;
            }
            EXPECT_GE(shown->width(), shown->minimumSizeHint().width()) << shown->objectName().toStdString();
        }
    };
    const auto pressed = [this](const QString& name) {
        return [this, name] {
            click(name);
            settle();
        };
    };
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"a built-in preset", [] {}},
        {"a bezel material chosen", pressed(QStringLiteral("material:Bege"))},
        {"its pass collapsed", pressed(QStringLiteral("passToggle:0"))},
        {"a personal preset with a long name",
         [&] {
             inspector.setValues(selecting(selection, windowLook(), {preset}));
             settle();
         }},
        {"its bezel material chosen", pressed(QStringLiteral("material:Marfim"))},
    };
    for (const auto& [name, step] : steps) {
        SCOPED_TRACE(name);
        step();
        expectMargins();
    }
    EXPECT_TRUE(child<QWidget>(inspector, "adjustedChip").isVisibleTo(&inspector));
    const auto& presetName = child<WrappedText>(inspector, "presetName");
    EXPECT_GT(presetName.height(), presetName.heightForWidth(10000)) << "the long name wraps";
}

TEST_F(InspectorTest, RefreshingFromTheWindowWritesNothingBack)
{
    auto look = windowLook();
    look.customColors = std::vector<RGBColor>{{1, 2, 3}, {4, 5, 6}};
    look.paletteID = "custom";
    look.screen = {0.4f, 0.2f, 0.6f};
    look.adjustments = {0.5f, 1.2f, 1.8f};
    InspectorValues values;
    values.visual = look;
    values.maxDimension = 4096;
    values.selectedPersonalPreset = presetNamed("Retro", windowLook());
    values.hasUnsavedChanges = true;
    values.presetStoreAvailable = true;
    int maxDimensionEdits = 0;
    QObject::connect(&inspector, &InspectorPanel::maxDimensionEdited, [&] { ++maxDimensionEdits; });
    show(values);
    values.visual.pixelSize = 30;
    inspector.setValues(values);
    EXPECT_TRUE(edits.empty());
    EXPECT_EQ(maxDimensionEdits, 0);
    EXPECT_TRUE(child<PixelChoiceButton>(inspector, "maxDimension.4096").isSelected());
    EXPECT_EQ(child<ShaderValueControl>(inspector, "gamma").value(), 1.8f);
    EXPECT_TRUE(child<VTChip>(inspector, "presetDraftChip").isVisibleTo(&inspector));

    click("maxDimension.1024");
    EXPECT_EQ(maxDimensionEdits, 1);
    EXPECT_TRUE(edits.empty());
}

TEST_F(InspectorTest, ScreenshotsOfTheWholeColumnInBothThemes)
{
    InspectorValues values;
    values.visual = windowLook();
    values.visual.paletteID = "custom";
    values.visual.customColors = ImagePalette::defaultCustomColors();
    values.visual.shader = ShaderConfiguration::fromPreset(builtIn.front());
    values.shaderID = builtIn.front().id;
    values.selectedPersonalPreset = presetNamed("Meu CRT Âmbar");
    values.hasUnsavedChanges = true;
    values.presetStoreAvailable = true;
    inspector.setValues(values);
    for (const auto& [appearance, name] :
         {std::pair{VTAppearance::noite, "noite"}, std::pair{VTAppearance::vemi, "vemi"}}) {
        vemiTerminal(&inspector, appearance);
        inspector.show();
        QCoreApplication::processEvents();
        inspector.resize(InspectorPanel::width, inspector.widget()->sizeHint().height());
        QCoreApplication::processEvents();
        const auto image = inspector.widget()->grab().toImage();
        EXPECT_EQ(image.width(), InspectorPanel::width);
        std::filesystem::create_directories(TILVANE_TEST_SCREENSHOT_DIR);
        EXPECT_TRUE(
            image.save(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Inspector-%1.png").arg(QLatin1String(name))));
        EXPECT_NE(image.pixelColor(2, 2), image.pixelColor(image.width() / 2, 40)) << "the panels are drawn";
    }
}

}  // namespace
}  // namespace tilvane
