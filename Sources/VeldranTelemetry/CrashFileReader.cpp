#include "VeldranTelemetry/CrashFileReader.hpp"

#include "TilvaneShared/BoundedFileRead.hpp"

#include <QFile>

#include <algorithm>
#include <charconv>
#include <limits>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string_view>
#include <unordered_map>

namespace veldran {
namespace {

using nlohmann::json;

const std::set<std::string> crashFileKeys{"format", "version", "time",   "release", "signal",
                                          "name",   "address", "thread", "frames",  "maps"};

const std::map<int, std::string> signalNames{{11, "SIGSEGV"}, {7, "SIGBUS"},  {4, "SIGILL"},
                                             {8, "SIGFPE"},   {6, "SIGABRT"}, {5, "SIGTRAP"}};

constexpr std::size_t largestFrameCount = 128;

bool isAddress(const json& value)
{
    static const std::regex pattern("0x[0-9a-f]{1,16}");
    return value.is_string() && std::regex_match(value.get_ref<const std::string&>(), pattern);
}

std::optional<std::uint64_t> hexadecimalValue(std::string_view text)
{
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string addressText(std::uint64_t value)
{
    std::ostringstream text;
    text << "0x" << std::hex << value;
    return text.str();
}

// One debug image per mapped file that holds code: from its lowest mapping to the end of its highest one.
// Data files the process had mapped (a picture, a font cache) are no images, and their names never leave.
// Only the fixed fields go through the pattern: a pattern over a whole line recurses once per character
// and would overflow the stack on a corrupt file with a very long line.
std::optional<std::vector<CrashDebugImage>> debugImages(const std::string& maps)
{
    static const std::regex fields(
        "([0-9a-f]{1,16})-([0-9a-f]{1,16}) [r-][w-]([x-])[ps] [0-9a-f]{1,16} [0-9a-f]{2,8}:[0-9a-f]{2,8} [0-9]{1,20}");
    struct Mapping {
        std::uint64_t start;
        std::uint64_t end;
        bool holdsCode;
    };
    std::vector<std::pair<std::string, Mapping>> images;
    std::unordered_map<std::string, std::size_t> imageIndex;
    std::istringstream lines(maps);
    std::string text;
    while (std::getline(lines, text)) {
        std::smatch match;
        if (!std::regex_search(text.cbegin(), text.cend(), match, fields, std::regex_constants::match_continuous))
            return std::nullopt;
        const auto start = hexadecimalValue(match.str(1));
        const auto end = hexadecimalValue(match.str(2));
        if (!start || !end || *end < *start) return std::nullopt;
        std::string_view rest = std::string_view(text).substr(static_cast<std::size_t>(match.length(0)));
        if (!rest.empty() && rest.front() != ' ') return std::nullopt;
        rest.remove_prefix(std::min(rest.find_first_not_of(' '), rest.size()));
        if (!rest.starts_with('/')) continue;
        const std::string path(rest);
        const bool holdsCode = match.str(3) == "x";
        const auto [found, isNew] = imageIndex.try_emplace(path, images.size());
        if (isNew) {
            images.push_back({path, {*start, *end, holdsCode}});
        } else {
            Mapping& image = images[found->second].second;
            image.start = std::min(image.start, *start);
            image.end = std::max(image.end, *end);
            image.holdsCode = image.holdsCode || holdsCode;
        }
    }
    std::vector<CrashDebugImage> result;
    for (const auto& [path, mapping] : images) {
        if (mapping.holdsCode) result.push_back({path, addressText(mapping.start), mapping.end - mapping.start});
    }
    return result;
}

}  // namespace

std::optional<CrashEvent> CrashFileReader::read(const QString& path)
{
    try {
        const std::string contents =
            tilvane::readBoundedFile(QFile::encodeName(path).toStdString(), static_cast<std::size_t>(largestFile));
        return parse(QByteArray::fromStdString(contents));
    } catch (const std::system_error&) {
        return std::nullopt;
    }
}

std::optional<CrashEvent> CrashFileReader::parse(const QByteArray& contents)
{
    // The parser would take a NUL byte for the end of the document and ignore what follows it.
    if (contents.contains('\0')) return std::nullopt;
    const json document = json::parse(contents.begin(), contents.end(), nullptr, false);
    if (document.is_discarded() || !document.is_object() || document.size() != crashFileKeys.size())
        return std::nullopt;
    for (const auto& [key, value] : document.items()) {
        if (!crashFileKeys.contains(key)) return std::nullopt;
    }
    const json& signal = document["signal"];
    const json& frames = document["frames"];
    if (document["format"] != "veldran-crash" || !document["version"].is_number_unsigned() || document["version"] != 1
        || !document["time"].is_number_unsigned()
        || document["time"].get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())
        || !document["release"].is_string() || !signal.is_number_unsigned() || !document["name"].is_string()
        || !isAddress(document["address"]) || !document["thread"].is_string() || !frames.is_array() || frames.empty()
        || frames.size() > largestFrameCount || !document["maps"].is_string()
        || !std::all_of(frames.begin(), frames.end(), isAddress))
        return std::nullopt;
    const auto name = signalNames.find(signal.get<int>());
    if (signal.get<std::uint64_t>() > 64 || name == signalNames.end() || name->second != document["name"])
        return std::nullopt;
    auto images = debugImages(document["maps"].get<std::string>());
    if (!images) return std::nullopt;

    CrashStacktrace stacktrace;
    for (auto frame = frames.rbegin(); frame != frames.rend(); ++frame) {
        CrashFrame outermostFirst;
        outermostFirst.instructionAddress = frame->get<std::string>();
        stacktrace.frames.push_back(std::move(outermostFirst));
    }

    CrashEvent event = CrashEvent::make(CrashLevel::fatal);
    event.timestamp = document["time"].get<std::int64_t>();
    if (const auto& release = document["release"].get_ref<const std::string&>(); !release.empty())
        event.releaseName = release;
    CrashException exception;
    exception.type = name->second;
    exception.value = name->second + " at " + document["address"].get<std::string>();
    CrashMechanism mechanism;
    mechanism.type = "signalhandler";
    mechanism.handled = false;
    mechanism.data = json{{"signal", signal}, {"fault_address", document["address"]}};
    exception.mechanism = std::move(mechanism);
    exception.stacktrace = stacktrace;
    event.exceptions.push_back(std::move(exception));
    CrashThread thread;
    thread.crashed = true;
    if (const auto& threadName = document["thread"].get_ref<const std::string&>(); !threadName.empty())
        thread.name = threadName;
    thread.stacktrace = std::move(stacktrace);
    event.threads.push_back(std::move(thread));
    event.debugImages = std::move(*images);
    return event;
}

}  // namespace veldran
