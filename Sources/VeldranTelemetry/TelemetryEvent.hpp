#pragma once

#include <concepts>
#include <string_view>
#include <type_traits>

namespace veldran {

// An application's enumeration of event names: rawValue(event) (found by argument-dependent lookup) gives the
// name without the application prefix, e.g. "image_opened".
template <class Event>
concept TelemetryEvent = std::is_enum_v<Event> && requires(Event event)
{
    {
        rawValue(event)
        } -> std::convertible_to<std::string_view>;
};

// One detail value of an event, sent as the pair (detailKey(detail), rawValue(detail)); both functions are
// found by argument-dependent lookup, so an enumeration can be a detail ("format" with "png" or "gif").
template <class Detail>
concept TelemetryDetail = requires(Detail detail)
{
    {
        detailKey(detail)
        } -> std::convertible_to<std::string_view>;
    {
        rawValue(detail)
        } -> std::convertible_to<std::string_view>;
};

}  // namespace veldran
