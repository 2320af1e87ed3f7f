#pragma once

#include "TilvaneShaders/Model/ShaderConfiguration.hpp"

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tilvane {

class PixelSwitch;
class ShaderValueControl;

// The shader inspector's two-way reference to the configuration being edited. Reads take the configuration held
// now and fall back when there is none, the pass index is stale or the value is not stored; a write changes a
// copy and commits the whole configuration, does nothing without one and leaves it unchanged for a stale index.
// Controls are bound once when built; every later configuration refreshes them in place without echo.
class ShaderConfigurationBinding {
public:
    using Configuration = std::optional<ShaderConfiguration>;
    using Commit = std::function<void(const ShaderConfiguration&)>;
    using Refresh = std::function<void(const Configuration&)>;

    explicit ShaderConfigurationBinding(Commit commit);

    const Configuration& current() const { return current_; }
    // Holds `configuration` and refreshes every bound control.
    void hold(Configuration configuration);

    void write(const std::function<void(ShaderConfiguration&)>& change);
    void writePass(int index, const std::function<void(ShaderPass&)>& change);

    // Runs `refresh` now and after every change of the configuration, until the bindings are cleared.
    void bind(Refresh refresh);
    void clearBindings() { refreshers_.clear(); }

    // The pass at `index`, or nothing.
    const ShaderPass* pass(int index) const;
    // Without `key` the pass's intensity, with it the stored setting; `fallback` otherwise.
    float value(int index, const std::optional<std::string>& key, float fallback) const;

    // Value bindings of the inspector's controls.
    void bindValue(ShaderValueControl* control, int index, const std::optional<std::string>& key, float fallback);
    void bindPassOn(PixelSwitch* control, int index);
    void bindMotion(PixelSwitch* control);

private:
    void refreshAll();

    Commit commit_;
    Configuration current_;
    std::vector<Refresh> refreshers_;
};

}  // namespace tilvane
