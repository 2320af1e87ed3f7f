#include "Tilvane/Services/TilvaneEvent.hpp"

namespace tilvane {

std::string_view rawValue(TilvaneEvent event) noexcept
{
    switch (event) {
    case TilvaneEvent::imageOpened:
        return "image_opened";
    case TilvaneEvent::imageOpenFailed:
        return "image_open_failed";
    case TilvaneEvent::exportStarted:
        return "export_started";
    case TilvaneEvent::exportCompleted:
        return "export_completed";
    case TilvaneEvent::exportFailed:
        return "export_failed";
    }
    return {};
}

std::optional<TilvaneEvent> tilvaneEvent(std::string_view text) noexcept
{
    for (const auto event : allTilvaneEvents) {
        if (rawValue(event) == text) return event;
    }
    return std::nullopt;
}

std::string_view rawValue(TilvaneExportFormat format) noexcept
{
    return format == TilvaneExportFormat::png ? "png" : "gif";
}

std::string_view detailKey(TilvaneExportFormat) noexcept
{
    return "format";
}

std::optional<TilvaneExportFormat> tilvaneExportFormat(std::string_view text) noexcept
{
    if (text == "png") return TilvaneExportFormat::png;
    if (text == "gif") return TilvaneExportFormat::gif;
    return std::nullopt;
}

}  // namespace tilvane
