#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tilvane {

// One parameter of an effect that the inspector lets the user edit, identified by its key.
struct ShaderParameter {
    enum class Kind {
        number,       // one value under `key`, within `range`
        color,        // three channels 0...1 under `key` + "R", "G", "B"
        raster,       // a whole number 0...3 under `key` choosing the raster style
        switchValue,  // 1 for on, 0 for off under `key`; 0.5 or more counts as on
    };

    struct Range {
        float lowerBound;
        float upperBound;

        bool contains(float value) const noexcept { return lowerBound <= value && value <= upperBound; }
        friend bool operator==(const Range&, const Range&) = default;
    };

    std::string key;
    std::string label;
    Range range;
    float standard;  // the value shown while the settings lack the key
    Kind kind;

    const std::string& id() const noexcept { return key; }

    friend bool operator==(const ShaderParameter&, const ShaderParameter&) = default;

    // The editable parameters of an effect (exact, case-sensitive id) in display order; empty for an
    // effect without any ("negative", "mnoise", unknown texts).
    static std::vector<ShaderParameter> forEffect(std::string_view effect);
};

}  // namespace tilvane
