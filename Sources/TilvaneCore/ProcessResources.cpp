#include "TilvaneCore/ProcessResources.hpp"

#include "TilvaneCore/SystemResourceFiles.hpp"
#include "TilvaneShared/BoundedFileRead.hpp"

#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

namespace tilvane {

namespace {

using namespace systemfiles;
using std::filesystem::path;

// Every file read here is a line or two; /proc/meminfo, the longest, some 1.5 KiB.
constexpr std::size_t largestSystemFile = 64 * 1024;
// Of a group nested deeper than this, only its nearest levels and the root are looked at.
constexpr std::size_t deepestGroupWalk = 32;
// Where Debian and most distributions mount the control groups: v2 at the root, v1 one folder per controller.
const path controlGroupMount = "/sys/fs/cgroup";

std::optional<std::string> readSystemFile(const path& file)
{
    try {
        return readBoundedFile(file, largestSystemFile);
    } catch (const std::system_error&) {
        return std::nullopt;
    }
}

int affinityOfThisProcess()
{
    // A machine with more CPUs than the default set holds needs a larger set; it is doubled until the
    // kernel accepts it.
    for (int setSize = CPU_SETSIZE; setSize <= (1 << 18); setSize *= 2) {
        const std::unique_ptr<cpu_set_t, void (*)(cpu_set_t*)> set(CPU_ALLOC(setSize),
                                                                   [](cpu_set_t* s) { CPU_FREE(s); });
        if (!set) break;
        const std::size_t bytes = CPU_ALLOC_SIZE(setSize);
        if (::sched_getaffinity(0, bytes, set.get()) == 0) return std::max(CPU_COUNT_S(bytes, set.get()), 1);
        if (errno != EINVAL) break;
    }
    return static_cast<int>(std::max(std::thread::hardware_concurrency(), 1u));
}

std::uint64_t freePhysicalMemory()
{
    const long pages = ::sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

ControlGroups controlGroupsOf(const ResourceSources& sources)
{
    const auto listed = sources.read("/proc/self/cgroup");
    return listed ? controlGroups(*listed) : ControlGroups{};
}

// The folders of `group` in the hierarchy mounted at `mount`, its own first, then each group above it up
// to the mount's root. The root comes last also where the group is not there: inside a container
// /proc/self/cgroup may name the group as the host sees it while the container's own group is mounted
// as the root.
std::vector<path> groupAndAncestors(const path& mount, const std::optional<std::string>& group)
{
    std::vector<path> folders;
    path relative = path(group.value_or("/")).relative_path();
    while (!relative.empty() && folders.size() < deepestGroupWalk) {
        folders.push_back(mount / relative);
        relative = relative.parent_path();
    }
    folders.push_back(mount);
    return folders;
}

// The lowest of the limits that `limitIn` finds in those folders, if any.
template <typename Limit, typename LimitIn>
std::optional<Limit> lowestLimit(const path& mount, const std::optional<std::string>& group, const LimitIn& limitIn)
{
    std::optional<Limit> lowest;
    for (const path& folder : groupAndAncestors(mount, group)) {
        const std::optional<Limit> limit = limitIn(folder);
        if (limit && (!lowest || *limit < *lowest)) lowest = limit;
    }
    return lowest;
}

// parse(first file's text, second file's text) for a limit set by two files of one folder.
template <typename Limit, typename Parse>
auto pairOfFiles(const ResourceSources& sources, const char* first, const char* second, Parse parse)
{
    return [&sources, first, second, parse](const path& folder) -> std::optional<Limit> {
        const auto firstText = sources.read(folder / first);
        const auto secondText = firstText ? sources.read(folder / second) : std::nullopt;
        return secondText ? parse(*firstText, *secondText) : std::nullopt;
    };
}

template <typename Value>
Value loweredTo(Value value, std::optional<Value> limit)
{
    return limit ? std::min(value, *limit) : value;
}

}  // namespace

ResourceSources ResourceSources::system()
{
    return {readSystemFile, affinityOfThisProcess(), freePhysicalMemory()};
}

int usableProcessors(const ResourceSources& sources)
{
    const ControlGroups groups = controlGroupsOf(sources);
    const auto unifiedQuota = [&sources](const path& folder) -> std::optional<int> {
        const auto text = sources.read(folder / "cpu.max");
        return text ? cpuMaxProcessors(*text) : std::nullopt;
    };
    const auto v1Quota = pairOfFiles<int>(sources, "cpu.cfs_quota_us", "cpu.cfs_period_us", cfsQuotaProcessors);
    int processors = std::max(sources.affinityProcessors, 1);
    processors = loweredTo(processors, lowestLimit<int>(controlGroupMount, groups.unified, unifiedQuota));
    processors = loweredTo(processors, lowestLimit<int>(controlGroupMount / "cpu", groups.cpu, v1Quota));
    return processors;
}

std::uint64_t availableMemory(const ResourceSources& sources)
{
    const ControlGroups groups = controlGroupsOf(sources);
    const auto meminfo = sources.read("/proc/meminfo");
    const auto reported = meminfo ? memAvailableBytes(*meminfo) : std::nullopt;
    std::uint64_t available = reported.value_or(sources.freeMemoryBytes);
    const auto unifiedHeadroom = pairOfFiles<std::uint64_t>(sources, "memory.max", "memory.current", memoryHeadroom);
    const auto v1Headroom =
        pairOfFiles<std::uint64_t>(sources, "memory.limit_in_bytes", "memory.usage_in_bytes", memoryHeadroom);
    available = loweredTo(available, lowestLimit<std::uint64_t>(controlGroupMount, groups.unified, unifiedHeadroom));
    available =
        loweredTo(available, lowestLimit<std::uint64_t>(controlGroupMount / "memory", groups.memory, v1Headroom));
    return available;
}

ProcessResources processResources(const ResourceSources& sources)
{
    return {usableProcessors(sources), availableMemory(sources)};
}

int usableProcessorCount()
{
    return usableProcessors(ResourceSources::system());
}

}  // namespace tilvane
