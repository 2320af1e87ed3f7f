#include "Tilvane/Views/PixelControls.hpp"
#include "Tilvane/Views/PresetActionButton.hpp"
#include "Tilvane/Views/PresetPanel.hpp"
#include "Tilvane/Views/WrappedText.hpp"

#include "PresetTestSupport.hpp"

#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QTest>

namespace tilvane {
namespace {

using namespace presettesting;

PresetActionButton& button(const PresetPanel& panel, const char* name)
{
    auto* found = panel.findChild<PresetActionButton*>(QLatin1String(name));
    if (found == nullptr) throw std::runtime_error(std::string("no button named ") + name);
    return *found;
}

TEST(PresetPanel, ShowsTheSelectedPresetWithItsDraftChipAndTheButtonsTheStateAllows)
{
    PresetPanel panel;
    panel.show();
    const auto preset = presetNamed("Meu CRT Âmbar");
    const char* const selectionButtons[] = {"savePreset", "renamePreset", "restorePreset", "deletePreset",
                                            "exportPreset"};

    panel.setState({std::nullopt, false, true});
    EXPECT_FALSE(panel.isActive());
    EXPECT_FALSE(panel.findChild<QWidget*>("presetNameCaption")->isVisible());
    for (const char* name : selectionButtons) EXPECT_FALSE(button(panel, name).isVisible()) << name;
    EXPECT_TRUE(button(panel, "createPreset").isEnabled());
    EXPECT_TRUE(button(panel, "importPreset").isEnabled());

    panel.setState({preset, true, true});
    EXPECT_TRUE(panel.isActive()) << "the title bar is active while a personal preset is selected";
    EXPECT_EQ(panel.findChild<WrappedText*>("presetNameCaption")->text(), "Meu CRT Âmbar");
    EXPECT_TRUE(panel.findChild<QWidget*>("presetDraftChip")->isVisible());
    for (const char* name : selectionButtons) EXPECT_TRUE(button(panel, name).isVisible()) << name;
    EXPECT_EQ(button(panel, "deletePreset").accessibleName(), "Excluir preset pessoal Meu CRT Âmbar");
    EXPECT_FALSE(button(panel, "exportPreset").isEnabled());

    panel.setState({preset, false, true});
    EXPECT_FALSE(panel.findChild<QWidget*>("presetDraftChip")->isVisible());
    EXPECT_FALSE(button(panel, "savePreset").isEnabled());
    EXPECT_FALSE(button(panel, "restorePreset").isEnabled());
    EXPECT_TRUE(button(panel, "exportPreset").isEnabled());
}

TEST(PresetPanel, EachEnabledButtonAsksForItsOwnActionOnly)
{
    PresetPanel panel;
    panel.setState({presetNamed("Retro"), true, true});
    panel.show();
    const std::pair<const char*, void (PresetPanel::*)()> rows[] = {
        {"createPreset", &PresetPanel::createRequested}, {"savePreset", &PresetPanel::saveRequested},
        {"renamePreset", &PresetPanel::renameRequested}, {"restorePreset", &PresetPanel::restoreRequested},
        {"deletePreset", &PresetPanel::deleteRequested}, {"importPreset", &PresetPanel::importRequested},
    };
    for (const auto& [name, signal] : rows) {
        std::vector<std::unique_ptr<QSignalSpy>> spies;
        for (const auto& [other, otherSignal] : rows)
            spies.push_back(std::make_unique<QSignalSpy>(&panel, otherSignal));
        QTest::mouseClick(&button(panel, name), Qt::LeftButton);
        for (std::size_t index = 0; index < std::size(rows); ++index) {
            EXPECT_EQ(spies[index]->count(), rows[index].first == std::string(name) ? 1 : 0)
                << name << " → " << rows[index].first;
        }
    }
    QSignalSpy exports(&panel, &PresetPanel::exportRequested);
    QTest::mouseClick(&button(panel, "exportPreset"), Qt::LeftButton);
    EXPECT_EQ(exports.count(), 0) << "export is disabled while the look differs from the preset";
}

}  // namespace
}  // namespace tilvane
