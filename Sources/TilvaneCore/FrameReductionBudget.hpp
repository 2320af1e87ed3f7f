#pragma once

#include "TilvaneCore/ProcessResources.hpp"

#include <cstdint>

namespace tilvane {

// The most frames a GIF export reduces side by side, whatever the machine. Frames come from one
// renderer, one at a time: it hands over a 2048 × 1365 frame of the heaviest preset about every 45 ms
// while reducing that frame takes one core about 430 ms, so it keeps some ten workers busy at most,
// and an export of 30 frames gains little beyond 8 (measured: 14.3 s on one worker, 4.0 s on 4,
// 3.5 s on 6, 3.7 s on 8, 4.7 s on 12, each further worker adding some 65 MB at the peak).
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
