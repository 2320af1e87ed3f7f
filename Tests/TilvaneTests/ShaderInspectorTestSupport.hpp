#pragma once

#include "PanelTestSupport.hpp"

#include "Tilvane/Views/ShaderInspector.hpp"

#include <QColor>
#include <functional>
#include <vector>

namespace tilvane::panels {

inline tilvane::Uuid fixedID(std::uint8_t seed)
{
    std::array<std::uint8_t, 16> bytes{};
    bytes.fill(seed);
    return tilvane::Uuid(bytes);
}

// Presets of the inspector tests: one per kind of pass list they need.
inline const std::vector<ShaderPreset>& inspectorPresets()
{
    static const std::vector<ShaderPreset> presets{
        {"tubo", "Tubo", {ShaderPass(fixedID(1), "crt", 0.8f, {}, true)}, BezelSettings{}},
        {"fosforo", "Fósforo Verde", {ShaderPass(fixedID(2), "realisticPhosphor", 1, {}, true)}, BezelSettings{}},
        {"duo",
         "Duo",
         {ShaderPass(fixedID(3), "glitchy", 1, {}, true), ShaderPass(fixedID(4), "crt", 1, {}, false)},
         BezelSettings{}},
        {"misterio", "Mistério", {ShaderPass(fixedID(5), "efeitoNovo", 1, {}, true)}, BezelSettings{}},
        {"vazio", "Vazio", {}, BezelSettings{}},
        {"lottes",
         "Lottes",
         {ShaderPass(fixedID(6), "crtLottes", 1, {}, true)},
         BezelSettings{true, 0.6f, 1.4f, "#2B2A28", 0.55f}},
    };
    return presets;
}

inline const ShaderPreset& inspectorPreset(const std::string& id)
{
    for (const auto& preset : inspectorPresets()) {
        if (preset.id == id) return preset;
    }
    throw std::runtime_error("no preset " + id);
}

// A colour picker that answers from a queue and records what it was asked.
struct ScriptedPicker {
    std::vector<std::optional<QColor>> answers;
    int calls = 0;
    std::function<void()> meanwhile;  // what happens while the picker waits for the user

    ColorPicker picker()
    {
        return [this](const QColor&, const QString&, QWidget*) -> std::optional<QColor> {
            ++calls;
            if (meanwhile) meanwhile();
            if (answers.empty()) return std::nullopt;
            auto answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        };
    }
};

// An inspector owned by a window that takes every edit back, as the editor window does.
struct InspectorHarness {
    explicit InspectorHarness(const std::string& presetID, VTAppearance appearance = VTAppearance::vemi,
                              int width = 320)
    {
        inspector = new ShaderInspector(inspectorPresets(), picker.picker());
        QObject::connect(inspector, &ShaderInspector::configurationEdited, inspector,
                         [this](const ShaderConfiguration& configuration) {
                             edits.push_back(configuration);
                             inspector->setConfiguration(configuration);
                         });
        select(presetID);
        stage = std::make_unique<Stage>(inspector, appearance, width);
    }

    void select(const std::string& presetID)
    {
        inspector->setPresetID(presetID);
        inspector->setConfiguration(ShaderConfiguration::fromPreset(inspectorPreset(presetID)));
        settle();
    }

    void settle()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    template <class Widget>
    Widget& find(const QString& name)
    {
        return child<Widget>(*inspector, name);
    }

    bool has(const QString& name) const
    {
        auto* widget = inspector->findChild<QWidget*>(name);
        return widget != nullptr && widget->isVisibleTo(inspector);
    }

    const ShaderConfiguration& current() const { return *inspector->configuration(); }

    ScriptedPicker picker;
    ShaderInspector* inspector;
    std::vector<ShaderConfiguration> edits;
    std::unique_ptr<Stage> stage;
};

}  // namespace tilvane::panels
