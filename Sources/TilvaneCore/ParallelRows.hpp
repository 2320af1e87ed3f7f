#pragma once

#include <cstddef>
#include <functional>

namespace tilvane {

// Calls body(begin, end) on consecutive ranges that together cover [0, count), on several threads
// when the work is large enough to pay for them: each thread gets at least `minimumWorkPerThread`
// units, where one item costs `workPerItem` units. Returns when every range is done; the first
// exception thrown by a range is rethrown here.
void forEachRowRange(std::size_t count, std::size_t workPerItem, std::size_t minimumWorkPerThread,
                     const std::function<void(std::size_t begin, std::size_t end)>& body);

}  // namespace tilvane
