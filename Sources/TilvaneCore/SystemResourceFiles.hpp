#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Readers of the kernel's files that tell how much of the machine a process may use. Each takes the
// file's text and gives nothing for text it does not understand, so that a missing or garbled file only
// means that it sets no limit.
namespace tilvane::systemfiles {

// "MemAvailable" of /proc/meminfo, in bytes.
std::optional<std::uint64_t> memAvailableBytes(std::string_view meminfo);

// The CPUs' worth of time a control group v2 "cpu.max" ("<quota> <period>" in microseconds) allows,
// rounded up, at least 1; nothing for "max" (no quota).
std::optional<int> cpuMaxProcessors(std::string_view cpuMax);

// The same for control group v1's "cpu.cfs_quota_us" and "cpu.cfs_period_us"; nothing for a quota of -1.
std::optional<int> cfsQuotaProcessors(std::string_view quota, std::string_view period);

// What a control group may still take: its memory limit ("memory.max" or v1 "memory.limit_in_bytes")
// less what it uses ("memory.current" or "memory.usage_in_bytes"), 0 when it is over; nothing for
// "max" (no limit).
std::optional<std::uint64_t> memoryHeadroom(std::string_view limit, std::string_view usage);

// The process's control groups as /proc/self/cgroup lists them: the unified (v2) one and the v1 ones
// of the cpu and memory controllers. Each is an absolute path without "." or ".." parts, or nothing.
struct ControlGroups {
    std::optional<std::string> unified;
    std::optional<std::string> cpu;
    std::optional<std::string> memory;

    friend bool operator==(const ControlGroups&, const ControlGroups&) = default;
};
ControlGroups controlGroups(std::string_view procSelfCgroup);

}  // namespace tilvane::systemfiles
