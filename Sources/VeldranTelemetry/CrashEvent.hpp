#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace veldran {

// The crash-reporting layer's event: what a captured failure or a stored crash becomes before the
// before-send hook sees it, and what is written into the envelope afterwards.

enum class CrashLevel { debug, info, warning, error, fatal };
const char* levelName(CrashLevel level) noexcept;

struct CrashFrame {
    std::string instructionAddress;  // "0x…"
    std::optional<std::string> function;
    std::optional<std::string> fileName;
    std::optional<std::string> package;
    std::optional<std::string> module;
    std::optional<std::string> contextLine;
    std::optional<std::vector<std::string>> preContext;
    std::optional<std::vector<std::string>> postContext;
    std::optional<nlohmann::json> vars;

    friend bool operator==(const CrashFrame&, const CrashFrame&) = default;
};

struct CrashStacktrace {
    std::vector<CrashFrame> frames;  // outermost first

    friend bool operator==(const CrashStacktrace&, const CrashStacktrace&) = default;
};

struct CrashMechanism {
    std::string type;
    std::optional<bool> handled;
    std::optional<std::string> description;
    std::optional<nlohmann::json> data;
    std::optional<std::string> helpLink;

    friend bool operator==(const CrashMechanism&, const CrashMechanism&) = default;
};

struct CrashException {
    std::optional<std::string> type;
    std::optional<std::string> value;
    std::optional<std::string> module;
    std::optional<CrashMechanism> mechanism;
    std::optional<CrashStacktrace> stacktrace;

    friend bool operator==(const CrashException&, const CrashException&) = default;
};

struct CrashThread {
    std::int64_t id = 0;
    std::optional<std::string> name;
    bool crashed = false;
    std::optional<CrashStacktrace> stacktrace;

    friend bool operator==(const CrashThread&, const CrashThread&) = default;
};

struct CrashDebugImage {
    std::optional<std::string> codeFile;
    std::string imageAddress;  // "0x…"
    std::uint64_t imageSize = 0;

    friend bool operator==(const CrashDebugImage&, const CrashDebugImage&) = default;
};

struct CrashEvent {
    std::string eventId;         // 32 lower-case hexadecimal digits
    std::int64_t timestamp = 0;  // seconds since 1970
    CrashLevel level = CrashLevel::error;
    std::optional<std::string> message;
    std::map<std::string, std::string> tags;
    std::optional<nlohmann::json> user;
    std::optional<nlohmann::json> request;
    std::optional<nlohmann::json> extra;
    nlohmann::json contexts = nlohmann::json::object();
    std::optional<nlohmann::json> breadcrumbs;
    std::optional<std::string> serverName;
    std::optional<std::string> transaction;
    std::optional<nlohmann::json> modules;
    std::optional<std::string> logger;
    std::optional<std::string> type;
    std::optional<std::vector<std::string>> fingerprint;
    std::optional<std::string> releaseName;
    std::optional<std::string> dist;
    std::optional<std::string> environment;
    std::optional<CrashStacktrace> stacktrace;
    std::vector<CrashException> exceptions;
    std::vector<CrashThread> threads;
    std::vector<CrashDebugImage> debugImages;

    // A new event with a random id and the current time.
    static CrashEvent make(CrashLevel level);

    friend bool operator==(const CrashEvent&, const CrashEvent&) = default;
};

// The event's JSON payload as the crash-reporting service reads it; absent fields are left out.
nlohmann::json toJson(const CrashEvent& event);

}  // namespace veldran
