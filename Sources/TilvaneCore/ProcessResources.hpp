#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tilvane {

// How much of the machine this process may use, as it stood when read.
struct ProcessResources {
    int processors = 1;                      // CPUs it may run on, within its CPU quota; at least 1
    std::uint64_t availableMemoryBytes = 0;  // memory it may still take without pushing anything out

    friend bool operator==(const ProcessResources&, const ProcessResources&) = default;
};

// Where those figures come from; tests give their own.
struct ResourceSources {
    // The text of a small file of /proc or /sys, or nothing when it is missing or cannot be read.
    std::function<std::optional<std::string>(const std::filesystem::path&)> read;
    int affinityProcessors = 1;         // the CPUs the process may be scheduled on
    std::uint64_t freeMemoryBytes = 0;  // the kernel's free pages, for when /proc/meminfo says nothing

    // This machine's, now: the files themselves, each read bounded, and the process's CPU affinity.
    static ResourceSources system();
};

// The affinity, lowered to the CPU quota (rounded up) of the process's control group or of any group
// above it, under control groups v2 and v1 alike; at least 1. A file that is missing or malformed sets
// no limit.
int usableProcessors(const ResourceSources& sources);

// MemAvailable of /proc/meminfo (the free pages where it says nothing), lowered to what the memory limit
// of the process's control group, or of any group above it, leaves.
std::uint64_t availableMemory(const ResourceSources& sources);

ProcessResources processResources(const ResourceSources& sources = ResourceSources::system());

// The CPUs this process may use now (usableProcessors of the system's sources): the number of threads
// beyond which work side by side only waits for a CPU.
int usableProcessorCount();

}  // namespace tilvane
