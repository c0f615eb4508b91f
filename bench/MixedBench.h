#pragma once
// The bench's table of designs with several kinds of requirements: a group of factors at a
// higher strength, and invalid levels for negative tests, each against the suites of the same
// design's kinds taken alone.

#include <cstdint>
#include <string>

void MixedTable(uint64_t seed, const std::string& only);
