#pragma once

#include "TilvaneCore/ImagePalette.hpp"
#include "TilvanePresets/PersonalPreset.hpp"
#include "TilvaneShaders/ShaderPresetCatalog.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QImage>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tilvane::panels {

// The named child of `parent`; throws when there is none, so a missing widget fails the test.
template <class Widget>
Widget& child(const QObject& parent, const QString& name)
{
    auto* widget = parent.findChild<Widget*>(name);
    if (widget == nullptr) throw std::runtime_error("no child named " + name.toStdString());
    return *widget;
}

// The two fixed themes, named for traces and file names.
struct ThemeRow {
    const char* name;
    VTAppearance appearance;
};
inline constexpr ThemeRow bothThemes[] = {{"vemi", VTAppearance::vemi}, {"noite", VTAppearance::noite}};

// A themed window holding one widget in a column, shown offscreen at `width` (the content's hint when 0).
struct Stage {
    explicit Stage(QWidget* content, VTAppearance appearance = VTAppearance::vemi, int width = 0)
        : root(std::make_unique<QWidget>())
    {
        auto* layout = new QVBoxLayout(root.get());
        layout->setContentsMargins(8, 8, 8, 8);
        layout->addWidget(content);
        layout->addStretch(1);
        vemiTerminal(root.get(), appearance);
        root->resize(width > 0 ? width + 16 : root->sizeHint().width(), root->sizeHint().height());
        root->show();
        QCoreApplication::processEvents();
    }

    const VTTheme& theme() const { return vtTheme(root.get()); }

    std::unique_ptr<QWidget> root;
};

inline QImage snapshot(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QColor pixel(QWidget& widget, QPoint at)
{
    return snapshot(widget).pixelColor(at);
}

// How many pixels of `area` are exactly `colour`.
inline int countColour(const QImage& image, const QRect& area, const QColor& colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) count += image.pixel(x, y) == colour.rgb() ? 1 : 0;
    return count;
}

// Exact equality of the opaque colour (themes' surfaces are opaque).
inline ::testing::AssertionResult sameColour(const QColor& actual, const QColor& expected)
{
    if (actual.rgb() == expected.rgb()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << actual.name().toStdString() << ", expected "
                                         << expected.name().toStdString();
}

// A widget drawn at half opacity: each channel of `dimmed` halfway between `ground` and `full`.
inline void expectHalfway(const QColor& dimmed, const QColor& full, const QColor& ground)
{
    EXPECT_NEAR(dimmed.red(), (full.red() + ground.red()) / 2.0, 2);
    EXPECT_NEAR(dimmed.green(), (full.green() + ground.green()) / 2.0, 2);
    EXPECT_NEAR(dimmed.blue(), (full.blue() + ground.blue()) / 2.0, 2);
}

inline QAccessibleInterface& accessible(QWidget& widget)
{
    QAccessibleInterface* interface = QAccessible::queryAccessibleInterface(&widget);
    if (interface == nullptr) throw std::runtime_error("no accessible interface");
    return *interface;
}

inline void accessibleAction(QWidget& widget, const QString& action)
{
    QAccessibleActionInterface* actions = accessible(widget).actionInterface();
    if (actions == nullptr) throw std::runtime_error("no accessible actions");
    actions->doAction(action);
}

// Every element assistive technology reaches by walking down from `root`'s element, `root`'s own included.
inline std::vector<QAccessibleInterface*> accessibleTree(QWidget& root)
{
    std::vector<QAccessibleInterface*> elements{&accessible(root)};
    for (std::size_t next = 0; next < elements.size(); ++next) {
        for (int index = 0; index < elements[next]->childCount(); ++index) {
            if (QAccessibleInterface* child = elements[next]->child(index)) elements.push_back(child);
        }
    }
    return elements;
}

// Whether walking down from `root` reaches `widget`'s element.
inline bool reachesAccessibly(QWidget& root, const QWidget& widget)
{
    const auto elements = accessibleTree(root);
    return std::any_of(elements.begin(), elements.end(),
                       [&](const QAccessibleInterface* element) { return element->object() == &widget; });
}

// The application bundle's built-in screen presets, as the build lays them out.
inline const std::vector<tilvane::ShaderPreset>& builtInPresets()
{
    static const auto presets = tilvane::loadShaderPresets(
        TILVANE_TEST_APP_DIR "/Resources/Tilvane_TilvaneShaders.bundle/Resources/ZentorialPresets.json");
    return presets;
}

// The built-in preset with `id`; throws when there is none.
inline const tilvane::ShaderPreset& builtInPreset(const std::string& id)
{
    const auto& presets = builtInPresets();
    const auto found = std::find_if(presets.begin(), presets.end(),
                                    [&id](const tilvane::ShaderPreset& preset) { return preset.id == id; });
    if (found == presets.end()) throw std::runtime_error("no built-in preset " + id);
    return *found;
}

// Two personal presets whose shader inspectors differ in height from each other and from the built-in ones'; the
// second also opens the custom palette's editor above the preset panel. The first one's name fits on one line beside
// the shader inspector's remove button, but not once the "ajustado" chip joins them.
inline std::vector<tilvane::PersonalPreset> personalPresetsOfTwoHeights()
{
    tilvane::VisualSettings monitor{"gameboy", 8, tilvane::DitherMode::none, std::nullopt, {}, std::nullopt, {}};
    monitor.shader = tilvane::ShaderConfiguration::fromPreset(builtInPreset("monitor-de-estudio"));
    auto signal = monitor;
    signal.shader = tilvane::ShaderConfiguration::fromPreset(builtInPreset("sinal-quebrado"));
    signal.paletteID = "custom";
    signal.customColors = tilvane::ImagePalette::defaultCustomColors();
    return {{tilvane::Uuid::random(), "Meu Monitor de Estúdio", monitor},
            {tilvane::Uuid::random(), "Meu Sinal", signal}};
}

inline void clickAt(QWidget& widget, QPoint at)
{
    QTest::mouseClick(&widget, Qt::LeftButton, {}, at);
}

}  // namespace tilvane::panels
