#include "VeldranTelemetry/PlatformDescription.hpp"

#include <sys/utsname.h>

#include <cctype>
#include <string_view>

namespace veldran {
namespace {

// Leading decimal digits of text, consumed from it; empty when there are none.
std::string_view takeNumber(std::string_view& text)
{
    std::size_t length = 0;
    while (length < text.size() && std::isdigit(static_cast<unsigned char>(text[length]))) ++length;
    const auto number = text.substr(0, length);
    text.remove_prefix(length);
    return number;
}

}  // namespace

const char* platformName() noexcept
{
    return "linux";
}

const char* architectureName() noexcept
{
#if defined(__x86_64__)
    return "x86_64";
#elif defined(__aarch64__)
    return "arm64";
#elif defined(__i386__)
    return "x86";
#elif defined(__arm__)
    return "arm";
#else
    return "unknown";
#endif
}

std::string osVersion()
{
    utsname name{};
    if (uname(&name) != 0) return "0.0";
    std::string_view release(name.release);
    const auto major = takeNumber(release);
    if (major.empty() || release.empty() || release.front() != '.') return "0.0";
    release.remove_prefix(1);
    const auto minor = takeNumber(release);
    if (minor.empty()) return "0.0";
    return std::string(major) + "." + std::string(minor);
}

}  // namespace veldran
