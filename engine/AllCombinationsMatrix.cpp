#include "engine/AllCombinationsMatrix.h"

AllCombinationsMatrix::AllCombinationsMatrix(std::vector<std::vector<std::string>> factors, std::vector<int32_t> levelCounts)
    : factors_(std::move(factors)), levelCounts_(std::move(levelCounts)), strides_(levelCounts_.size(), 1)
{
    int64_t rows = 1;
    for (size_t f = levelCounts_.size(); f-- > 0;) {
        strides_[f] = rows;
        rows *= levelCounts_[f];
    }
    numRows_ = static_cast<int32_t>(rows);
    // Every code has a name entry, empty when the table had none.
    for (size_t f = 0; f < factors_.size(); ++f)
        if (factors_[f].size() < static_cast<size_t>(levelCounts_[f]) + 1)
            factors_[f].resize(static_cast<size_t>(levelCounts_[f]) + 1);
}

int32_t AllCombinationsMatrix::RowOf(const std::vector<int32_t>& codes) const
{
    int64_t row = 0;
    for (size_t f = 0; f < codes.size(); ++f)
        row += (codes[f] - 1) * strides_[f];
    return static_cast<int32_t>(row);
}
