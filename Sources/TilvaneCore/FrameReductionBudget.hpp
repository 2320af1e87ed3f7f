#pragma once

#include "TilvaneCore/ProcessResources.hpp"

#include <cstdint>

namespace tilvane {

// The most frames a GIF export reduces side by side, whatever the machine.
inline constexpr int maximumReductionWorkers = 8;

// What one frame of width × height takes while its colours are reduced (indexFrame): its pixels,
// libimagequant's working copy of them and its histogram, and the reduced frame; an upper bound of
// what was measured. Sides are taken from 1 to 65535, the sizes a GIF can hold.
std::uint64_t bytesInReduction(int width, int height) noexcept;

// How many frames of width × height a GIF export reduces side by side: one per CPU the process may
// use, at most maximumReductionWorkers, and no more than fit in a quarter of the memory available;
// at least 1.
int reductionWorkers(const ProcessResources& resources, int width, int height) noexcept;

}  // namespace tilvane
