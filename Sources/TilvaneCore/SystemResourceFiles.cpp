#include "TilvaneCore/SystemResourceFiles.hpp"

#include <algorithm>
#include <charconv>
#include <limits>
#include <vector>

namespace tilvane::systemfiles {

namespace {

constexpr std::string_view blanks = " \t\r\n";

std::vector<std::string_view> words(std::string_view text)
{
    std::vector<std::string_view> found;
    while (true) {
        const std::size_t start = text.find_first_not_of(blanks);
        if (start == std::string_view::npos) return found;
        text.remove_prefix(start);
        const std::size_t end = std::min(text.find_first_of(blanks), text.size());
        found.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
}

// The parts between separators; "a,,b" has an empty one in the middle, and "" has one empty part.
std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

// The whole word as a number, nothing for anything else (a sign, a fraction, trailing text, overflow).
template <typename Number>
std::optional<Number> number(std::string_view word)
{
    Number value{};
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
    return value;
}

// The only word of a file such as "memory.current", which ends in a line break.
template <typename Number>
std::optional<Number> soleNumber(std::string_view text)
{
    const auto found = words(text);
    return found.size() == 1 ? number<Number>(found.front()) : std::nullopt;
}

std::optional<int> processorsFor(std::int64_t quota, std::int64_t period)
{
    if (quota <= 0 || period <= 0) return std::nullopt;
    const std::int64_t processors = quota / period + (quota % period != 0 ? 1 : 0);
    return static_cast<int>(std::min<std::int64_t>(processors, std::numeric_limits<int>::max()));
}

bool isPlainAbsolutePath(std::string_view path)
{
    if (!path.starts_with('/') || path.find('\0') != std::string_view::npos) return false;
    return std::ranges::none_of(split(path.substr(1), '/'),
                                [](std::string_view part) { return part == "." || part == ".."; });
}

}  // namespace

std::optional<std::uint64_t> memAvailableBytes(std::string_view meminfo)
{
    constexpr std::string_view key = "MemAvailable:";
    for (const std::string_view line : split(meminfo, '\n')) {
        if (!line.starts_with(key)) continue;
        const auto found = words(line.substr(key.size()));
        if (found.size() != 2 || found[1] != "kB") return std::nullopt;
        const auto kibibytes = number<std::uint64_t>(found[0]);
        if (!kibibytes || *kibibytes > std::numeric_limits<std::uint64_t>::max() / 1024) return std::nullopt;
        return *kibibytes * 1024;
    }
    return std::nullopt;
}

std::optional<int> cpuMaxProcessors(std::string_view cpuMax)
{
    const auto found = words(cpuMax);
    if (found.size() != 2 || found[0] == "max") return std::nullopt;
    const auto quota = number<std::int64_t>(found[0]);
    const auto period = number<std::int64_t>(found[1]);
    if (!quota || !period) return std::nullopt;
    return processorsFor(*quota, *period);
}

std::optional<int> cfsQuotaProcessors(std::string_view quota, std::string_view period)
{
    const auto quotaValue = soleNumber<std::int64_t>(quota);
    const auto periodValue = soleNumber<std::int64_t>(period);
    if (!quotaValue || !periodValue) return std::nullopt;
    return processorsFor(*quotaValue, *periodValue);
}

std::optional<std::uint64_t> memoryHeadroom(std::string_view limit, std::string_view usage)
{
    const auto limitValue = soleNumber<std::uint64_t>(limit);
    const auto usageValue = soleNumber<std::uint64_t>(usage);
    if (!limitValue || !usageValue) return std::nullopt;
    return *limitValue > *usageValue ? *limitValue - *usageValue : 0;
}

ControlGroups controlGroups(std::string_view procSelfCgroup)
{
    ControlGroups groups;
    for (const std::string_view line : split(procSelfCgroup, '\n')) {
        // hierarchy-ID:controller-list:path; the path itself may hold colons.
        const std::size_t first = line.find(':');
        const std::size_t second = first == std::string_view::npos ? first : line.find(':', first + 1);
        if (second == std::string_view::npos) continue;
        const std::string_view path = line.substr(second + 1);
        if (!isPlainAbsolutePath(path)) continue;
        const std::string_view controllers = line.substr(first + 1, second - first - 1);
        if (controllers.empty()) {
            if (line.substr(0, first) == "0") groups.unified = std::string(path);
            continue;
        }
        for (const std::string_view controller : split(controllers, ',')) {
            if (controller == "cpu") groups.cpu = std::string(path);
            if (controller == "memory") groups.memory = std::string(path);
        }
    }
    return groups;
}

}  // namespace tilvane::systemfiles
