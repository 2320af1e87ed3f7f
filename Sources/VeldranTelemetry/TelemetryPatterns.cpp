#include "VeldranTelemetry/TelemetryPatterns.hpp"

#include <regex>
#include <string>

namespace veldran {
namespace {

// std::regex_match only succeeds on the whole text, so a trailing line feed never slips through.
bool matchesWhole(std::string_view text, const std::regex& pattern)
{
    return std::regex_match(text.begin(), text.end(), pattern);
}

}  // namespace

bool isSnakeCaseName(std::string_view text)
{
    static const std::regex pattern("[a-z][a-z0-9]*(_[a-z0-9]+)*");
    return matchesWhole(text, pattern);
}

bool isDetailValue(std::string_view text)
{
    static const std::regex pattern("[a-z0-9][a-z0-9_.-]{0,39}");
    return matchesWhole(text, pattern);
}

bool isUuidText(std::string_view text)
{
    static const std::regex pattern("[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}");
    return matchesWhole(text, pattern);
}

bool isMarketingVersion(std::string_view text)
{
    static const std::regex pattern("[0-9]+\\.[0-9]+\\.[0-9]+");
    return matchesWhole(text, pattern);
}

bool isBuildNumber(std::string_view text)
{
    static const std::regex pattern("[0-9][0-9.]*");
    return matchesWhole(text, pattern);
}

}  // namespace veldran
