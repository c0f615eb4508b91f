#pragma once
// The bench's table of designs with rules: random rules over two factors and over three to six,
// the search with all of them against the search with the two-factor ones alone.

#include <cstdint>
#include <string>

void RulesTable(int32_t evolutions, uint64_t seed, const std::string& only);
