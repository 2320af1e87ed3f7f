#include "TilvaneCore/SystemResourceFiles.hpp"

#include <gtest/gtest.h>

#include <limits>

using namespace tilvane;
using namespace tilvane::systemfiles;

namespace {

TEST(SystemResourceFiles, MemAvailableIsReadInBytesAndGarbleGivesNothing)
{
    struct Row {
        const char* name;
        const char* meminfo;
        std::optional<std::uint64_t> expected;
    };
    const Row rows[] = {
        {"as the kernel writes it",
         "MemTotal:       24567896 kB\nMemFree:         1534300 kB\nMemAvailable:   21816312 kB\nBuffers: 123 kB\n",
         std::uint64_t{21816312} * 1024},
        {"last line without a line break", "MemFree: 1 kB\nMemAvailable: 5 kB", 5120},
        {"missing, as before Linux 3.14", "MemTotal: 1000 kB\nMemFree: 900 kB\n", std::nullopt},
        {"a key that only starts the same", "MemAvailableSoon: 5 kB\n", std::nullopt},
        {"without its unit", "MemAvailable: 5\n", std::nullopt},
        {"in another unit", "MemAvailable: 5 MB\n", std::nullopt},
        {"not a number", "MemAvailable: lots kB\n", std::nullopt},
        {"negative", "MemAvailable: -5 kB\n", std::nullopt},
        {"too large once in bytes", "MemAvailable: 18446744073709551615 kB\n", std::nullopt},
        {"empty file", "", std::nullopt},
    };
    for (const Row& row : rows) EXPECT_EQ(memAvailableBytes(row.meminfo), row.expected) << row.name;
}

TEST(SystemResourceFiles, CPUQuotasRoundUpToWholeProcessors)
{
    struct Row {
        const char* name;
        const char* cpuMax;
        std::optional<int> expected;
    };
    const Row rows[] = {
        {"no quota", "max 100000\n", std::nullopt},
        {"two CPUs", "200000 100000\n", 2},
        {"one and a half round up", "150000 100000\n", 2},
        {"a tenth is one", "10000 100000\n", 1},
        {"another period", "50000 25000\n", 2},
        {"beyond int", "9223372036854775807 1\n", std::numeric_limits<int>::max()},
        {"quota without its period", "200000\n", std::nullopt},
        {"zero period", "100000 0\n", std::nullopt},
        {"negative quota", "-100000 100000\n", std::nullopt},
        {"words", "lots often\n", std::nullopt},
        {"a word too many", "200000 100000 5\n", std::nullopt},
        {"empty file", "", std::nullopt},
    };
    for (const Row& row : rows) EXPECT_EQ(cpuMaxProcessors(row.cpuMax), row.expected) << row.name;
}

TEST(SystemResourceFiles, VersionOneQuotasReadTheirTwoFiles)
{
    struct Row {
        const char* name;
        const char* quota;
        const char* period;
        std::optional<int> expected;
    };
    const Row rows[] = {
        {"unlimited", "-1\n", "100000\n", std::nullopt},
        {"four CPUs", "400000\n", "100000\n", 4},
        {"two and a half round up", "250000\n", "100000\n", 3},
        {"zero period", "100000\n", "0\n", std::nullopt},
        {"a fraction", "2.5e5\n", "100000\n", std::nullopt},
        {"empty quota", "", "100000\n", std::nullopt},
        {"two numbers in one file", "100000 100000\n", "100000\n", std::nullopt},
    };
    for (const Row& row : rows) EXPECT_EQ(cfsQuotaProcessors(row.quota, row.period), row.expected) << row.name;
}

TEST(SystemResourceFiles, MemoryHeadroomIsTheLimitLessTheUsage)
{
    struct Row {
        const char* name;
        const char* limit;
        const char* usage;
        std::optional<std::uint64_t> expected;
    };
    const Row rows[] = {
        {"no limit (v2)", "max\n", "123456\n", std::nullopt},
        {"a gibibyte, a quarter used", "1073741824\n", "268435456\n", 805306368},
        {"over the limit", "100\n", "200\n", 0},
        {"no limit (v1, the page-rounded largest value)", "9223372036854771712\n", "4829315072\n",
         std::uint64_t{9223372036854771712u} - 4829315072u},
        {"garbled usage", "100\n", "lots\n", std::nullopt},
        {"negative usage", "100\n", "-1\n", std::nullopt},
        {"empty limit", "", "5\n", std::nullopt},
    };
    for (const Row& row : rows) EXPECT_EQ(memoryHeadroom(row.limit, row.usage), row.expected) << row.name;
}

TEST(SystemResourceFiles, ControlGroupsAreFoundPerHierarchyAndUnsafePathsRefused)
{
    struct Row {
        const char* name;
        const char* procSelfCgroup;
        ControlGroups expected;
    };
    const Row rows[] = {
        {"unified only",
         "0::/user.slice/user-1000.slice/session-2.scope\n",
         {"/user.slice/user-1000.slice/session-2.scope", std::nullopt, std::nullopt}},
        {"hybrid",
         "9:name=systemd:/\n8:pids:/\n4:memory:/process_api/1ed1\n3:cpuset:/\n2:cpuacct:/\n1:cpu:/\n0::/\n",
         {"/", "/", "/process_api/1ed1"}},
        {"cpu sharing its hierarchy with cpuacct",
         "3:cpuacct,cpu:/docker/abc\n5:memory:/docker/abc",
         {std::nullopt, "/docker/abc", "/docker/abc"}},
        {"a colon in the path", "0::/a:b\n", {"/a:b", std::nullopt, std::nullopt}},
        {"paths that climb out", "0::/../etc\n4:memory:/a/./b\n1:cpu:/a/..\n", {}},
        {"a relative path", "0::a/b\n", {}},
        {"garbled lines are skipped", "nonsense\n1:cpu\n\n2:memory:/m\n", {std::nullopt, std::nullopt, "/m"}},
        {"controllers named alike are others", "3:cpuset:/x\n7:memory_extra:/y\n1::/z\n", {}},
        {"empty file", "", {}},
    };
    for (const Row& row : rows) EXPECT_EQ(controlGroups(row.procSelfCgroup), row.expected) << row.name;
}

}  // namespace
