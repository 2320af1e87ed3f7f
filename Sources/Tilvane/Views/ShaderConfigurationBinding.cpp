#include "Tilvane/Views/ShaderConfigurationBinding.hpp"

#include "Tilvane/Views/PixelControls.hpp"
#include "Tilvane/Views/ShaderValueControl.hpp"

#include <utility>

namespace tilvane {

ShaderConfigurationBinding::ShaderConfigurationBinding(Commit commit) : commit_(std::move(commit)) {}

void ShaderConfigurationBinding::hold(Configuration configuration)
{
    current_ = std::move(configuration);
    refreshAll();
}

void ShaderConfigurationBinding::refreshAll()
{
    // A refresher may not add bindings, but the list is copied so that one clearing it stays safe.
    const auto refreshers = refreshers_;
    for (const auto& refresh : refreshers) refresh(current_);
}

void ShaderConfigurationBinding::write(const std::function<void(ShaderConfiguration&)>& change)
{
    if (!current_) return;
    ShaderConfiguration changed = *current_;
    change(changed);
    commit_(changed);
}

void ShaderConfigurationBinding::writePass(int index, const std::function<void(ShaderPass&)>& change)
{
    if (pass(index) == nullptr) return;
    write([&](ShaderConfiguration& configuration) { change(configuration.passes[static_cast<std::size_t>(index)]); });
}

void ShaderConfigurationBinding::bind(Refresh refresh)
{
    refresh(current_);
    refreshers_.push_back(std::move(refresh));
}

const ShaderPass* ShaderConfigurationBinding::pass(int index) const
{
    if (!current_ || index < 0 || static_cast<std::size_t>(index) >= current_->passes.size()) return nullptr;
    return &current_->passes[static_cast<std::size_t>(index)];
}

float ShaderConfigurationBinding::value(int index, const std::optional<std::string>& key, float fallback) const
{
    const ShaderPass* found = pass(index);
    if (found == nullptr) return fallback;
    if (!key) return found->intensity;
    const auto stored = found->settings.find(*key);
    return stored != found->settings.end() ? stored->second : fallback;
}

void ShaderConfigurationBinding::bindValue(ShaderValueControl* control, int index,
                                           const std::optional<std::string>& key, float fallback)
{
    bind([this, control, index, key, fallback](const Configuration&) {
        control->setValue(value(index, key, fallback));
    });
    QObject::connect(control, &ShaderValueControl::valueEdited, control, [this, index, key](float edited) {
        writePass(index, [&](ShaderPass& pass) {
            if (key) {
                pass.settings[*key] = edited;
            } else {
                pass.intensity = edited;
            }
        });
    });
}

void ShaderConfigurationBinding::bindPassOn(PixelSwitch* control, int index)
{
    bind([this, control, index](const Configuration&) {
        const ShaderPass* found = pass(index);
        control->setOn(found != nullptr && found->isOn);
    });
    QObject::connect(control, &PixelSwitch::valueEdited, control,
                     [this, index](bool on) { writePass(index, [on](ShaderPass& pass) { pass.isOn = on; }); });
}

void ShaderConfigurationBinding::bindMotion(PixelSwitch* control)
{
    bind([control](const Configuration& configuration) { control->setOn(configuration && configuration->motion); });
    QObject::connect(control, &PixelSwitch::valueEdited, control, [this](bool on) {
        write([on](ShaderConfiguration& configuration) { configuration.motion = on; });
    });
}

}  // namespace tilvane
