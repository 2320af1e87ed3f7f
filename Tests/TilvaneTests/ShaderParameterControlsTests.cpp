#include "ShaderInspectorTestSupport.hpp"

#include "Tilvane/Views/BezelControls.hpp"
#include "Tilvane/Views/ColorWell.hpp"
#include "Tilvane/Views/PixelControls.hpp"
#include "Tilvane/Views/ShaderParameterControls.hpp"
#include "Tilvane/Views/ShaderValueControl.hpp"
#include "Tilvane/Views/WrappedText.hpp"

#include <limits>

namespace tilvane::testing {

namespace {

using namespace panels;
namespace parameters = shader_parameters;

void click(QWidget& widget)
{
    clickAt(widget, widget.rect().center());
}

ShaderConfiguration withSettings(const std::string& presetID, ShaderPass::Settings settings, bool bezelOn = false)
{
    ShaderConfiguration configuration = ShaderConfiguration::fromPreset(inspectorPreset(presetID));
    configuration.passes[0].settings = std::move(settings);
    configuration.bezel.isOn = bezelOn;
    return configuration;
}

// MARK: Parameter list

TEST(ShaderParameterControlsTest, TheBezelTakesOverTheCurvatureKeys)
{
    InspectorHarness harness("tubo");
    EXPECT_TRUE(harness.has(QStringLiteral("parameter:0:curveX")));
    EXPECT_TRUE(harness.has(QStringLiteral("parameter:0:curveY")));
    EXPECT_FALSE(harness.has(QStringLiteral("curvatureNote:0")));

    click(harness.find<PixelSwitch>(QStringLiteral("bezelSwitch")));
    harness.settle();
    EXPECT_TRUE(harness.current().bezel.isOn);
    EXPECT_FALSE(harness.has(QStringLiteral("parameter:0:curveX")));
    EXPECT_FALSE(harness.has(QStringLiteral("parameter:0:curveY")));
    EXPECT_TRUE(harness.has(QStringLiteral("parameter:0:scanLinesStrength")));
    EXPECT_EQ(harness.find<WrappedText>(QStringLiteral("curvatureNote:0")).text(), "Curvatura Controlada Pela Moldura");

    click(harness.find<PixelSwitch>(QStringLiteral("bezelSwitch")));
    harness.settle();
    EXPECT_TRUE(harness.has(QStringLiteral("parameter:0:curveX"))) << "bezel off brings them back";
    EXPECT_FALSE(harness.has(QStringLiteral("curvatureNote:0")));

    harness.select("duo");
    ShaderConfiguration configuration = harness.current();
    configuration.bezel.isOn = true;
    harness.inspector->setConfiguration(configuration);
    harness.settle();
    EXPECT_TRUE(harness.has(QStringLiteral("parameter:0:duration")));
    EXPECT_FALSE(harness.has(QStringLiteral("curvatureNote:0"))) << "an effect without curvature gets no note";
}

TEST(ShaderParameterControlsTest, ANumberShowsItsStandardUntilTheFirstDragStoresIt)
{
    InspectorHarness harness("tubo");
    auto& bloom = harness.find<ShaderValueControl>(QStringLiteral("parameter:0:bloomSpread"));
    EXPECT_EQ(bloom.value(), 8.0f);
    EXPECT_FALSE(harness.current().passes[0].settings.contains("bloomSpread"));
    clickAt(bloom, {6, bloom.trackArea().center().y()});
    EXPECT_EQ(harness.current().passes[0].settings.at("bloomSpread"), 0.0f);
}

// MARK: Raster

TEST(ShaderParameterControlsTest, RasterSelectsTheNearestChoiceAndAClickStoresItsIndex)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    struct Row {
        const char* name;
        std::optional<float> stored;
        std::optional<int> selected;
    };
    const Row rows[] = {
        {"1.5 rounds away from zero", 1.5f, 2},
        {"2.49", 2.49f, 2},
        {"3.6 rounds to no choice", 3.6f, std::nullopt},
        {"missing", std::nullopt, 1},
        {"exact 0", 0.0f, 0},
        {"-0.4", -0.4f, 0},
        {"-0.6", -0.6f, std::nullopt},
        {"NaN", nan, std::nullopt},
        {"infinity", infinity, std::nullopt},
        {"huge", 1e30f, std::nullopt},
    };
    InspectorHarness harness("fosforo");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ShaderPass::Settings settings;
        if (row.stored) settings["rasterMode"] = *row.stored;
        harness.inspector->setConfiguration(withSettings("fosforo", settings));
        for (int choice = 0; choice < 4; ++choice) {
            auto& chip = harness.find<PixelChoiceButton>(QStringLiteral("raster:0:rasterMode:%1").arg(choice));
            EXPECT_EQ(chip.isSelected(), row.selected == choice) << chip.text().toStdString();
        }
    }
    auto& rgb = harness.find<PixelChoiceButton>(QStringLiteral("raster:0:rasterMode:3"));
    click(rgb);
    EXPECT_EQ(harness.current().passes[0].settings.at("rasterMode"), 3.0f);
    EXPECT_TRUE(rgb.isSelected());
}

// MARK: Switch

TEST(ShaderParameterControlsTest, ASwitchIsOnFromHalfAndStoresOneOrZero)
{
    InspectorHarness harness("fosforo");
    struct Row {
        const char* name;
        std::optional<float> stored;
        bool on;
    };
    const Row rows[] = {{"0.5", 0.5f, true}, {"0.49", 0.49f, false}, {"missing: standard 0", std::nullopt, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ShaderPass::Settings settings;
        if (row.stored) settings["bloomStyle"] = *row.stored;
        harness.inspector->setConfiguration(withSettings("fosforo", settings));
        EXPECT_EQ(harness.find<PixelSwitch>(QStringLiteral("parameter:0:bloomStyle")).isOn(), row.on);
    }
    harness.inspector->setConfiguration(withSettings("fosforo", {{"bloomStyle", 0.7f}}));
    click(harness.find<PixelSwitch>(QStringLiteral("parameter:0:bloomStyle")));
    EXPECT_EQ(harness.current().passes[0].settings.at("bloomStyle"), 0.0f);
    click(harness.find<PixelSwitch>(QStringLiteral("parameter:0:bloomStyle")));
    EXPECT_EQ(harness.current().passes[0].settings.at("bloomStyle"), 1.0f);
}

// MARK: Colour

TEST(ShaderParameterControlsTest, ColoursReadTheirDefaultsPerPrefix)
{
    ShaderConfigurationBinding binding([](const ShaderConfiguration&) {});
    EXPECT_EQ(parameters::storedColor(binding, 0, "phosphor"), (parameters::ColorValue{0, 0.02f, 0.09f}))
        << "without configuration";
    binding.hold(withSettings("fosforo", {}));
    EXPECT_EQ(parameters::storedColor(binding, 0, "phosphor"), (parameters::ColorValue{0, 0.8f, 0.4f}));
    EXPECT_EQ(parameters::storedColor(binding, 0, "background"), (parameters::ColorValue{0, 0.02f, 0.09f}));
    EXPECT_EQ(parameters::storedColor(binding, 3, "phosphor"), (parameters::ColorValue{0, 0.02f, 0.09f}))
        << "stale pass index";
    binding.hold(withSettings("fosforo", {{"phosphorG", 1.5f}}));
    EXPECT_EQ(parameters::storedColor(binding, 0, "phosphor"), (parameters::ColorValue{0, 1.5f, 0.4f})) << "unclamped";
}

TEST(ShaderParameterControlsTest, APickedColourStoresExactlyItsThreeKeys)
{
    InspectorHarness harness("fosforo");
    auto& well = harness.find<ColorWell>(QStringLiteral("parameter:0:phosphor"));
    EXPECT_EQ(well.color(), QColor::fromRgbF(0, 0.8f, 0.4f));

    harness.picker.answers = {QColor(255, 0, 51)};
    click(well);
    const auto& settings = harness.current().passes[0].settings;
    EXPECT_EQ(settings.size(), 3u);
    EXPECT_FLOAT_EQ(settings.at("phosphorR"), 1.0f);
    EXPECT_FLOAT_EQ(settings.at("phosphorG"), 0.0f);
    EXPECT_FLOAT_EQ(settings.at("phosphorB"), 0.2f);

    const auto edits = harness.edits.size();
    harness.picker.answers = {std::nullopt, QColor(), QColor::fromRgbF(0, std::numeric_limits<float>::infinity(), 0)};
    click(well);
    click(well);
    click(well);
    EXPECT_EQ(harness.picker.calls, 4);
    EXPECT_EQ(harness.edits.size(), edits) << "cancelled, invalid and non-finite picks write nothing";
}

// MARK: Bezel

TEST(BezelControlsTest, OnlyTheSwitchShowsWhileTheBezelIsOff)
{
    InspectorHarness harness("tubo");
    const QString parts[] = {QStringLiteral("bezelCurvature"), QStringLiteral("bezelDepth"),
                             QStringLiteral("bezelReflection"), QStringLiteral("material:Grafite"),
                             QStringLiteral("bezelColorWell")};
    EXPECT_TRUE(harness.has(QStringLiteral("bezelSwitch")));
    for (const auto& part : parts) EXPECT_FALSE(harness.has(part)) << part.toStdString();
    click(harness.find<PixelSwitch>(QStringLiteral("bezelSwitch")));
    harness.settle();
    for (const auto& part : parts) EXPECT_TRUE(harness.has(part)) << part.toStdString();
}

TEST(BezelControlsTest, MaterialsMatchTheStoredTextExactly)
{
    InspectorHarness harness("lottes");
    struct Row {
        const char* name;
        std::string color;
        QString selected;
    };
    const Row rows[] = {{"Grafite", "#161718", QStringLiteral("Grafite")},
                        {"Bege", "#C5BA9A", QStringLiteral("Bege")},
                        {"Bege in lower case", "#c5ba9a", QString()},
                        {"another colour", "#2B2A28", QString()}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ShaderConfiguration configuration = harness.current();
        configuration.bezel.color = row.color;
        harness.inspector->setConfiguration(configuration);
        for (const auto& material : bezel_controls::materials()) {
            EXPECT_EQ(harness.find<PixelChoiceButton>(QStringLiteral("material:") + material.name).isSelected(),
                      material.name == row.selected)
                << material.name.toStdString();
        }
    }
    EXPECT_EQ(harness.find<ColorWell>(QStringLiteral("bezelColorWell")).color(), QColor(0x2B, 0x2A, 0x28));
    click(harness.find<PixelChoiceButton>(QStringLiteral("material:Bronze")));
    EXPECT_EQ(harness.current().bezel.color, "#8A634A");
}

TEST(BezelControlsTest, ColourTextReadsAsTheSystemStoresIt)
{
    struct Row {
        const char* name;
        std::string text;
        QColor color;
    };
    const Row rows[] = {
        {"number sign", "#C5BA9A", QColor(0xC5, 0xBA, 0x9A)},
        {"lower case", "#c5ba9a", QColor(0xC5, 0xBA, 0x9A)},
        {"six digits without the sign lose the first", "C5BA9A", QColor(0x05, 0xBA, 0x9A)},
        {"the sign alone", "#", QColor(0x16, 0x17, 0x18)},
        {"empty", "", QColor(0x16, 0x17, 0x18)},
        {"not hexadecimal", "#GGHHII", QColor(0x16, 0x17, 0x18)},
        {"negative zero", "#-0", QColor(0, 0, 0)},
        {"negative", "#-1", QColor(0x16, 0x17, 0x18)},
        {"more than 32 bits", "#1FFFFFFFF", QColor(0x16, 0x17, 0x18)},
        {"32 bits, top byte ignored", "#AB102030", QColor(0x10, 0x20, 0x30)},
        {"a plus sign", "#+ff", QColor(0, 0, 0xFF)},
        {"a wide first character", "é123456", QColor(0x12, 0x34, 0x56)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(bezel_controls::colorFromText(row.text), row.color);
    }
}

TEST(BezelControlsTest, PickedColoursAreStoredAsUpperCaseHexadecimal)
{
    struct Row {
        const char* name;
        std::optional<QColor> picked;
        std::optional<std::string> text;
    };
    const Row rows[] = {
        {"pure red", QColor(255, 0, 0), "#FF0000"},
        {"a half component rounds up", QColor::fromRgbF(0.5f, 0, 1), "#8000FF"},
        {"outside sRGB is clamped", QColor::fromRgbF(1.2f, -0.1f, 0.5f), "#FF0080"},
        {"another colour model", QColor::fromHsv(120, 255, 255), "#00FF00"},
        {"cancelled", std::nullopt, std::nullopt},
        {"invalid", QColor(), std::nullopt},
        {"an infinite component", QColor::fromRgbF(std::numeric_limits<float>::infinity(), 0, 0), std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(bezel_controls::textFromColor(row.picked), row.text);
    }

    InspectorHarness harness("lottes");
    harness.picker.answers = {QColor(255, 0, 0)};
    click(harness.find<ColorWell>(QStringLiteral("bezelColorWell")));
    EXPECT_EQ(harness.current().bezel.color, "#FF0000");
}

TEST(BezelControlsTest, SlidersWriteTheirFieldUnclampedUpToTheirRange)
{
    InspectorHarness harness("lottes");
    auto& curvature = harness.find<ShaderValueControl>(QStringLiteral("bezelCurvature"));
    EXPECT_FLOAT_EQ(curvature.value(), 1.4f);
    clickAt(curvature, {curvature.width() - 1, curvature.trackArea().center().y()});
    EXPECT_FLOAT_EQ(harness.current().bezel.curvature, 3.0f);
    auto& depth = harness.find<ShaderValueControl>(QStringLiteral("bezelDepth"));
    clickAt(depth, {depth.width() - 1, depth.trackArea().center().y()});
    EXPECT_FLOAT_EQ(harness.current().bezel.depth, 1.0f);
    EXPECT_FLOAT_EQ(harness.current().bezel.reflectionSoftness, 0.55f);
}

}  // namespace

}  // namespace tilvane::testing
