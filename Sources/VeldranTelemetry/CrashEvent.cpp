#include "VeldranTelemetry/CrashEvent.hpp"

#include <QUuid>

#include <chrono>

namespace veldran {
namespace {

template <class Value>
void putIfPresent(nlohmann::json& object, const char* key, const std::optional<Value>& value)
{
    if (value) object[key] = *value;
}

nlohmann::json toJson(const CrashFrame& frame)
{
    nlohmann::json json{{"instruction_addr", frame.instructionAddress}};
    putIfPresent(json, "function", frame.function);
    putIfPresent(json, "filename", frame.fileName);
    putIfPresent(json, "package", frame.package);
    putIfPresent(json, "module", frame.module);
    putIfPresent(json, "context_line", frame.contextLine);
    putIfPresent(json, "pre_context", frame.preContext);
    putIfPresent(json, "post_context", frame.postContext);
    putIfPresent(json, "vars", frame.vars);
    return json;
}

nlohmann::json toJson(const CrashStacktrace& stacktrace)
{
    auto frames = nlohmann::json::array();
    for (const auto& frame : stacktrace.frames) frames.push_back(toJson(frame));
    return {{"frames", frames}};
}

nlohmann::json toJson(const CrashMechanism& mechanism)
{
    nlohmann::json json{{"type", mechanism.type}};
    putIfPresent(json, "handled", mechanism.handled);
    putIfPresent(json, "description", mechanism.description);
    putIfPresent(json, "data", mechanism.data);
    putIfPresent(json, "help_link", mechanism.helpLink);
    return json;
}

nlohmann::json toJson(const CrashException& exception)
{
    nlohmann::json json = nlohmann::json::object();
    putIfPresent(json, "type", exception.type);
    putIfPresent(json, "value", exception.value);
    putIfPresent(json, "module", exception.module);
    if (exception.mechanism) json["mechanism"] = toJson(*exception.mechanism);
    if (exception.stacktrace) json["stacktrace"] = toJson(*exception.stacktrace);
    return json;
}

nlohmann::json toJson(const CrashThread& thread)
{
    nlohmann::json json{{"id", thread.id}, {"crashed", thread.crashed}};
    putIfPresent(json, "name", thread.name);
    if (thread.stacktrace) json["stacktrace"] = toJson(*thread.stacktrace);
    return json;
}

nlohmann::json toJson(const CrashDebugImage& image)
{
    nlohmann::json json{{"type", "elf"}, {"image_addr", image.imageAddress}, {"image_size", image.imageSize}};
    putIfPresent(json, "code_file", image.codeFile);
    return json;
}

template <class Item>
nlohmann::json valuesOf(const std::vector<Item>& items)
{
    auto values = nlohmann::json::array();
    for (const auto& item : items) values.push_back(toJson(item));
    return {{"values", values}};
}

}  // namespace

const char* levelName(CrashLevel level) noexcept
{
    switch (level) {
    case CrashLevel::debug:
        return "debug";
    case CrashLevel::info:
        return "info";
    case CrashLevel::warning:
        return "warning";
    case CrashLevel::error:
        return "error";
    case CrashLevel::fatal:
        return "fatal";
    }
    return "error";
}

CrashEvent CrashEvent::make(CrashLevel level)
{
    CrashEvent event;
    event.eventId = QUuid::createUuid().toString(QUuid::Id128).toStdString();
    event.timestamp =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    event.level = level;
    return event;
}

nlohmann::json toJson(const CrashEvent& event)
{
    nlohmann::json json{
        {"event_id", event.eventId},       {"timestamp", event.timestamp}, {"platform", "native"},
        {"level", levelName(event.level)}, {"tags", event.tags},           {"contexts", event.contexts},
    };
    if (event.message) json["message"] = {{"formatted", *event.message}};
    putIfPresent(json, "user", event.user);
    putIfPresent(json, "request", event.request);
    putIfPresent(json, "extra", event.extra);
    putIfPresent(json, "breadcrumbs", event.breadcrumbs);
    putIfPresent(json, "server_name", event.serverName);
    putIfPresent(json, "transaction", event.transaction);
    putIfPresent(json, "modules", event.modules);
    putIfPresent(json, "logger", event.logger);
    putIfPresent(json, "type", event.type);
    putIfPresent(json, "fingerprint", event.fingerprint);
    putIfPresent(json, "release", event.releaseName);
    putIfPresent(json, "dist", event.dist);
    putIfPresent(json, "environment", event.environment);
    if (event.stacktrace) json["stacktrace"] = toJson(*event.stacktrace);
    if (!event.exceptions.empty()) json["exception"] = valuesOf(event.exceptions);
    if (!event.threads.empty()) json["threads"] = valuesOf(event.threads);
    if (!event.debugImages.empty()) json["debug_meta"] = {{"images", valuesOf(event.debugImages)["values"]}};
    return json;
}

}  // namespace veldran
