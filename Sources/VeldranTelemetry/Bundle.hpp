#pragma once

#include <QString>

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace veldran {

// The application's bundle folder and the information keys of its Resources/Info.json.
// Only JSON strings count as text and only true/false as Booleans; a missing or malformed
// file reads as an empty dictionary.
class Bundle {
public:
    explicit Bundle(QString folder);

    // The folder above bin/ of the running executable.
    static Bundle main();

    const QString& folder() const noexcept { return folder_; }
    std::optional<std::string> identifier() const { return text("CFBundleIdentifier"); }
    std::optional<std::string> text(const std::string& key) const;
    std::optional<bool> boolean(const std::string& key) const;

private:
    QString folder_;
    nlohmann::json information_;
};

}  // namespace veldran
