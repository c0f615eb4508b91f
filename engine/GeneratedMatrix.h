#pragma once
// A generated test-case matrix: one row per test case, one column per factor.

#include <cstdint>
#include <string>
#include <vector>

struct GeneratedMatrix {
    int32_t numRows = 0;
    int32_t numFactors = 0;
    std::vector<int32_t> levelCodes;              // numRows x numFactors, row-major, 1-based level codes
    std::vector<std::vector<std::string>> names;  // names[r][f]: the level of factor f in row r as shown ("~" before an invalid one)

    int32_t Code(int32_t r, int32_t f) const { return levelCodes[static_cast<size_t>(r) * numFactors + f]; }
};
