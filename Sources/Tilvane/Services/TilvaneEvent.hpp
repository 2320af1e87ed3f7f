#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tilvane {

// The application's own analytics events; the telemetry library prefixes each name with "tilvane_".
enum class TilvaneEvent { imageOpened, imageOpenFailed, exportStarted, exportCompleted, exportFailed };

inline constexpr std::array<TilvaneEvent, 5> allTilvaneEvents{
    TilvaneEvent::imageOpened, TilvaneEvent::imageOpenFailed, TilvaneEvent::exportStarted,
    TilvaneEvent::exportCompleted, TilvaneEvent::exportFailed};

std::string_view rawValue(TilvaneEvent event) noexcept;
std::optional<TilvaneEvent> tilvaneEvent(std::string_view rawValue) noexcept;

// The format an export event carries, sent as ("format", "png" | "gif").
enum class TilvaneExportFormat { png, gif };

std::string_view rawValue(TilvaneExportFormat format) noexcept;
std::string_view detailKey(TilvaneExportFormat format) noexcept;
std::optional<TilvaneExportFormat> tilvaneExportFormat(std::string_view rawValue) noexcept;

}  // namespace tilvane
