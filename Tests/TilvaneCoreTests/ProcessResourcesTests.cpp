#include "TilvaneCore/ParallelRows.hpp"
#include "TilvaneCore/ProcessResources.hpp"

#include <gtest/gtest.h>

#include <sched.h>

#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace tilvane;

namespace {

using Files = std::map<std::string, std::string>;

ResourceSources fakeSources(Files files, int affinityProcessors = 8, std::uint64_t freeMemoryBytes = 0)
{
    return {[files = std::move(files)](const std::filesystem::path& path) -> std::optional<std::string> {
                const auto found = files.find(path.string());
                return found != files.end() ? std::optional(found->second) : std::nullopt;
            },
            affinityProcessors, freeMemoryBytes};
}

TEST(ProcessResources, ProcessorsAreTheAffinityLoweredToAnyQuotaOfTheGroupOrAbove)
{
    struct Row {
        const char* name;
        int affinity;
        Files files;
        int expected;
    };
    const Row rows[] = {
        {"affinity only", 8, {}, 8},
        {"an unknown affinity counts as one", 0, {}, 1},
        {"quota below affinity",
         8,
         {{"/proc/self/cgroup", "0::/app\n"}, {"/sys/fs/cgroup/app/cpu.max", "150000 100000\n"}},
         2},
        {"quota above affinity",
         4,
         {{"/proc/self/cgroup", "0::/app\n"}, {"/sys/fs/cgroup/app/cpu.max", "1600000 100000\n"}},
         4},
        {"no quota", 8, {{"/proc/self/cgroup", "0::/app\n"}, {"/sys/fs/cgroup/app/cpu.max", "max 100000\n"}}, 8},
        {"the group above has the lower quota",
         8,
         {{"/proc/self/cgroup", "0::/slice/app\n"},
          {"/sys/fs/cgroup/slice/app/cpu.max", "400000 100000\n"},
          {"/sys/fs/cgroup/slice/cpu.max", "100000 100000\n"}},
         1},
        {"a container: its group is mounted as the root",
         8,
         {{"/proc/self/cgroup", "0::/docker/abc\n"}, {"/sys/fs/cgroup/cpu.max", "300000 100000\n"}},
         3},
        {"no /proc/self/cgroup: the root still counts", 8, {{"/sys/fs/cgroup/cpu.max", "200000 100000\n"}}, 2},
        {"v1 quota",
         8,
         {{"/proc/self/cgroup", "2:cpu,cpuacct:/job\n0::/\n"},
          {"/sys/fs/cgroup/cpu/job/cpu.cfs_quota_us", "200000\n"},
          {"/sys/fs/cgroup/cpu/job/cpu.cfs_period_us", "100000\n"}},
         2},
        {"v1 unlimited",
         8,
         {{"/proc/self/cgroup", "1:cpu:/\n"},
          {"/sys/fs/cgroup/cpu/cpu.cfs_quota_us", "-1\n"},
          {"/sys/fs/cgroup/cpu/cpu.cfs_period_us", "100000\n"}},
         8},
        {"v1 quota without its period",
         8,
         {{"/proc/self/cgroup", "1:cpu:/\n"}, {"/sys/fs/cgroup/cpu/cpu.cfs_quota_us", "100000\n"}},
         8},
        {"malformed cpu.max", 8, {{"/proc/self/cgroup", "0::/app\n"}, {"/sys/fs/cgroup/app/cpu.max", "lots\n"}}, 8},
        {"a path that climbs out is not followed",
         8,
         {{"/proc/self/cgroup", "0::/../../proc\n"}, {"/sys/fs/cgroup/../../proc/cpu.max", "100000 100000\n"}},
         8},
    };
    for (const Row& row : rows)
        EXPECT_EQ(usableProcessors(fakeSources(row.files, row.affinity)), row.expected) << row.name;
}

TEST(ProcessResources, MemoryIsWhatTheSystemHasLoweredToWhatAnyGroupLimitLeaves)
{
    constexpr std::uint64_t mebibyte = 1024 * 1024;
    const std::string gibibyteAvailable = "MemTotal: 4194304 kB\nMemAvailable: 1048576 kB\n";
    struct Row {
        const char* name;
        Files files;
        std::uint64_t expected;
    };
    const Row rows[] = {
        {"MemAvailable alone", {{"/proc/meminfo", gibibyteAvailable}}, 1024 * mebibyte},
        {"no MemAvailable: the free pages", {{"/proc/meminfo", "MemTotal: 4194304 kB\n"}}, 7 * mebibyte},
        {"no /proc/meminfo: the free pages", {}, 7 * mebibyte},
        {"a v2 limit leaves less",
         {{"/proc/meminfo", gibibyteAvailable},
          {"/proc/self/cgroup", "0::/app\n"},
          {"/sys/fs/cgroup/app/memory.max", "536870912\n"},
          {"/sys/fs/cgroup/app/memory.current", "268435456\n"}},
         256 * mebibyte},
        {"a v2 limit leaves more",
         {{"/proc/meminfo", gibibyteAvailable},
          {"/proc/self/cgroup", "0::/app\n"},
          {"/sys/fs/cgroup/app/memory.max", "8589934592\n"},
          {"/sys/fs/cgroup/app/memory.current", "268435456\n"}},
         1024 * mebibyte},
        {"no v2 limit",
         {{"/proc/meminfo", gibibyteAvailable},
          {"/proc/self/cgroup", "0::/app\n"},
          {"/sys/fs/cgroup/app/memory.max", "max\n"},
          {"/sys/fs/cgroup/app/memory.current", "268435456\n"}},
         1024 * mebibyte},
        {"the group above leaves the least",
         {{"/proc/meminfo", gibibyteAvailable},
          {"/proc/self/cgroup", "0::/slice/app\n"},
          {"/sys/fs/cgroup/slice/app/memory.max", "max\n"},
          {"/sys/fs/cgroup/slice/app/memory.current", "1048576\n"},
          {"/sys/fs/cgroup/slice/memory.max", "209715200\n"},
          {"/sys/fs/cgroup/slice/memory.current", "104857600\n"}},
         100 * mebibyte},
        {"a v1 limit",
         {{"/proc/meminfo", gibibyteAvailable},
          {"/proc/self/cgroup", "4:memory:/job\n0::/\n"},
          {"/sys/fs/cgroup/memory/job/memory.limit_in_bytes", "134217728\n"},
          {"/sys/fs/cgroup/memory/job/memory.usage_in_bytes", "33554432\n"}},
         96 * mebibyte},
        {"v1 unlimited",
         {{"/proc/meminfo", gibibyteAvailable},
          {"/proc/self/cgroup", "4:memory:/job\n"},
          {"/sys/fs/cgroup/memory/job/memory.limit_in_bytes", "9223372036854771712\n"},
          {"/sys/fs/cgroup/memory/job/memory.usage_in_bytes", "4829315072\n"}},
         1024 * mebibyte},
        {"over the limit: nothing left",
         {{"/proc/meminfo", gibibyteAvailable},
          {"/proc/self/cgroup", "0::/app\n"},
          {"/sys/fs/cgroup/app/memory.max", "100\n"},
          {"/sys/fs/cgroup/app/memory.current", "4096\n"}},
         0},
        {"malformed memory.current sets no limit",
         {{"/proc/meminfo", gibibyteAvailable},
          {"/proc/self/cgroup", "0::/app\n"},
          {"/sys/fs/cgroup/app/memory.max", "1048576\n"},
          {"/sys/fs/cgroup/app/memory.current", "much\n"}},
         1024 * mebibyte},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(availableMemory(fakeSources(row.files, 8, 7 * mebibyte)), row.expected) << row.name;
    }
}

TEST(ProcessResources, ReadsBothFromTheSameSources)
{
    const auto sources = fakeSources({{"/proc/meminfo", "MemAvailable: 2048 kB\n"},
                                      {"/proc/self/cgroup", "0::/\n"},
                                      {"/sys/fs/cgroup/cpu.max", "300000 100000\n"}});
    EXPECT_EQ(processResources(sources), (ProcessResources{3, 2048 * 1024}));
}

std::uint64_t memTotalBytes()
{
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kibibytes = 0;
    while (meminfo >> key >> kibibytes) {
        if (key == "MemTotal:") return kibibytes * 1024;
        meminfo.ignore(64, '\n');
    }
    return 0;
}

// Runs `body` on a thread of its own allowed on one CPU only, the first this process may use.
template <typename Body>
void onOneCPU(const Body& body)
{
    std::thread([&] {
        cpu_set_t allowed;
        CPU_ZERO(&allowed);
        ASSERT_EQ(::sched_getaffinity(0, sizeof allowed, &allowed), 0);
        int first = 0;
        while (!CPU_ISSET(first, &allowed)) ++first;
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(first, &one);
        ASSERT_EQ(::sched_setaffinity(0, sizeof one, &one), 0);
        body();
    }).join();
}

TEST(ProcessResources, ThisMachineGivesTheCPUsTheCallerMayRunOnAndSomeMemory)
{
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    ASSERT_EQ(::sched_getaffinity(0, sizeof allowed, &allowed), 0);
    const ProcessResources resources = processResources();
    EXPECT_GE(resources.processors, 1);
    EXPECT_LE(resources.processors, CPU_COUNT(&allowed));
    EXPECT_GT(resources.availableMemoryBytes, 0u);
    EXPECT_LE(resources.availableMemoryBytes, memTotalBytes());

    onOneCPU([] { EXPECT_EQ(usableProcessorCount(), 1); });
}

TEST(ProcessResources, RowsAreSplitOnlyAmongTheCPUsTheCallerMayRunOn)
{
    onOneCPU([] {
        std::mutex lock;
        std::vector<std::pair<std::size_t, std::size_t>> ranges;
        forEachRowRange(64, 1'000'000, 1, [&](std::size_t begin, std::size_t end) {
            const std::lock_guard guard(lock);
            ranges.emplace_back(begin, end);
        });
        EXPECT_EQ(ranges, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 64}}));
    });
}

}  // namespace
