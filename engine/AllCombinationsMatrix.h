#pragma once
// The listing of all combinations of levels, held without storing it: row r spells its
// level codes as a mixed-radix number whose last factor changes fastest, the way an odometer
// counts ((1,1), (1,2), (1,3), (2,1), ... for levels 2 x 3). Names are looked up when a cell
// is shown. Rows and codes here are 0-based.

#include <cstdint>
#include <string>
#include <vector>

class AllCombinationsMatrix {
public:
    AllCombinationsMatrix() = default;
    // factors[f]: entry 0 the factor's name, entries 1..levelCounts[f] its level names.
    AllCombinationsMatrix(std::vector<std::vector<std::string>> factors, std::vector<int32_t> levelCounts);

    int32_t NumRows() const { return numRows_; }
    int32_t NumFactors() const { return static_cast<int32_t>(levelCounts_.size()); }
    int32_t LevelCount(int32_t f) const { return levelCounts_[f]; }

    // Level code of factor f in row r, 1-based as in the factor table.
    int32_t LevelCode(int32_t r, int32_t f) const
    {
        return static_cast<int32_t>((static_cast<int64_t>(r) / strides_[f]) % levelCounts_[f]) + 1;
    }
    const std::string& LevelName(int32_t r, int32_t f) const { return factors_[f][LevelCode(r, f)]; }
    const std::string& Name(int32_t f, int32_t code) const { return factors_[f][code]; }

    // The row holding the given 1-based level codes.
    int32_t RowOf(const std::vector<int32_t>& codes) const;

private:
    std::vector<std::vector<std::string>> factors_;
    std::vector<int32_t> levelCounts_;
    std::vector<int64_t> strides_;  // rows between two levels of factor f
    int32_t numRows_ = 0;
};
