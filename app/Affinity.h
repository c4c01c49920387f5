// Pins the process to the processors chosen by the AffinityMask setting.
#pragma once

#include <cstdint>
#include <vector>

// The processors, among the first processorCount of the machine, whose bits are set in mask.
std::vector<int> ProcessorsInMask(std::uint32_t mask, int processorCount);

// Applies mask to every thread of the process. A mask naming no processor of this machine, or one the
// system refuses, leaves the affinity as it was; returns whether the new affinity took effect.
bool ApplyAffinityMask(std::uint32_t mask);
