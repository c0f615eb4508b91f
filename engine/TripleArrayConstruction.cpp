#include "engine/TripleArrayConstruction.h"

#include "engine/FiniteField.h"
#include "engine/OrthogonalArray.h"
#include "engine/PairArrayConstruction.h"

#include <algorithm>

namespace {

// The doubling of the field's arrays over `half` columns each side: rows x 2 half codes.
std::vector<int32_t> Doubled(const FiniteField& field, int32_t half)
{
    const std::vector<int32_t> a = OrthogonalArray(field, 3, half), b = OrthogonalArray(field, 2, half);
    std::vector<int32_t> codes;
    for (size_t r = 0; r < a.size(); r += static_cast<size_t>(half))
        for (int32_t copy = 0; copy < 2; ++copy)
            codes.insert(codes.end(), a.begin() + static_cast<std::ptrdiff_t>(r), a.begin() + static_cast<std::ptrdiff_t>(r) + half);
    for (int32_t s = 1; s < field.Order(); ++s)
        for (size_t r = 0; r < b.size(); r += static_cast<size_t>(half)) {
            codes.insert(codes.end(), b.begin() + static_cast<std::ptrdiff_t>(r), b.begin() + static_cast<std::ptrdiff_t>(r) + half);
            for (int32_t i = 0; i < half; ++i)
                codes.push_back(field.Add(b[r + static_cast<size_t>(i)], s));
        }
    return codes;
}

}  // namespace

std::vector<int32_t> BuildTripleArray(const std::vector<int32_t>& levels, int32_t rowsToBeat)
{
    const auto k = static_cast<int32_t>(levels.size());
    const int32_t v = k == 0 ? 0 : *std::max_element(levels.begin(), levels.end());
    if (k < 3 || v < 2)
        return {};
    // One array of a field large enough for every factor, or the doubling of a smaller one.
    const int32_t single = FiniteField::PrimePowerAtLeast(std::max({v, k - 1, 3}));
    const int32_t halved = FiniteField::PrimePowerAtLeast(std::max({v, (k + 1) / 2 - 1, 3}));
    const int64_t singleRows = int64_t{single} * single * single;
    const int64_t doubledRows = int64_t{halved} * halved * halved + int64_t{halved - 1} * halved * halved;
    const bool doubling = doubledRows < singleRows;
    const int32_t q = doubling ? halved : single;
    if (q > FiniteField::kLargest || std::min(singleRows, doubledRows) >= rowsToBeat)
        return {};
    const FiniteField field = *FiniteField::Of(q);
    const int32_t width = doubling ? 2 * ((k + 1) / 2) : k;
    const std::vector<int32_t> array = doubling ? Doubled(field, width / 2) : OrthogonalArray(field, 3, k);
    const std::vector<int32_t> codes = FoldedRows(array, width, levels);
    if (static_cast<int64_t>(codes.size()) >= int64_t{rowsToBeat} * k)
        return {};
    return codes;
}
