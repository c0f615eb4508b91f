#include "engine/PairArrayConstruction.h"

#include "engine/FiniteField.h"
#include "engine/OrthogonalArray.h"

#include <algorithm>
#include <set>

namespace {

// An array of strength two over v symbols: rows x columns codes.
struct Block {
    int32_t columns = 0;
    std::vector<int32_t> codes;
    int32_t Rows() const { return columns == 0 ? 0 : static_cast<int32_t>(codes.size()) / columns; }
};

// The field's orthogonal array of strength two with `columns` columns (at most q + 1).
Block FieldArray(const FiniteField& field, int32_t columns)
{
    return Block{columns, OrthogonalArray(field, 2, columns)};
}

// Column (i, j) takes column i of the upper array above column j of the lower one.
Block Product(const Block& upper, const Block& lower)
{
    return Block{upper.columns * lower.columns, PairArrayProduct(upper.codes, upper.columns, lower.codes, lower.columns)};
}

// The plan of an array for k columns: the orders of the fields multiplied (one: a single
// array, which may use its extra column), and the rows it will have after its repeated
// constant rows go (v of them for each product).
struct Plan {
    std::vector<int32_t> orders;
    int64_t rows = 0;
};

Plan BestPlan(int32_t v, int32_t k)
{
    Plan best;
    best.rows = INT64_MAX;
    const auto consider = [&](std::vector<int32_t> orders, int64_t rows) {
        if (rows < best.rows)
            best = Plan{std::move(orders), rows};
    };
    const int32_t smallest = FiniteField::PrimePowerAtLeast(v);
    const int32_t single = FiniteField::PrimePowerAtLeast(std::max(v, k - 1));
    if (single <= FiniteField::kLargest)
        consider({single}, int64_t{single} * single);
    for (int32_t q1 = smallest; q1 <= FiniteField::kLargest; q1 = FiniteField::PrimePowerAtLeast(q1 + 1)) {
        for (int32_t q2 = q1; q2 <= FiniteField::kLargest; q2 = FiniteField::PrimePowerAtLeast(q2 + 1)) {
            if (int64_t{q1} * q2 >= k) {
                consider({q1, q2}, int64_t{q1} * q1 + int64_t{q2} * q2 - v);
                break;
            }
            const int64_t q3 = FiniteField::PrimePowerAtLeast(std::max<int32_t>(smallest, (k + q1 * q2 - 1) / (q1 * q2)));
            if (q3 <= FiniteField::kLargest)
                consider({q1, q2, static_cast<int32_t>(q3)}, int64_t{q1} * q1 + int64_t{q2} * q2 + q3 * q3 - 2 * v);
        }
    }
    return best;
}

}  // namespace

std::vector<int32_t> BuildPairArray(const std::vector<int32_t>& levels, int32_t rowsToBeat)
{
    const auto k = static_cast<int32_t>(levels.size());
    const int32_t v = k == 0 ? 0 : *std::max_element(levels.begin(), levels.end());
    if (k < 2 || v < 2 || v > FiniteField::kLargest)
        return {};
    const Plan plan = BestPlan(v, k);
    if (plan.orders.empty() || plan.rows >= rowsToBeat)
        return {};
    Block array;
    for (const int32_t q : plan.orders) {
        const Block factor = FieldArray(*FiniteField::Of(q), plan.orders.size() == 1 ? std::min(k, q + 1) : q);
        array = array.columns == 0 ? factor : Product(array, factor);
    }
    const std::vector<int32_t> codes = FoldedRows(array.codes, array.columns, levels);
    if (static_cast<int64_t>(codes.size()) >= int64_t{rowsToBeat} * k)
        return {};
    return codes;
}

std::vector<int32_t> PairArrayProduct(const std::vector<int32_t>& upper, int32_t upperColumns,
                                      const std::vector<int32_t>& lower, int32_t lowerColumns)
{
    std::vector<int32_t> codes;
    for (size_t r = 0; r < upper.size(); r += static_cast<size_t>(upperColumns))
        for (int32_t i = 0; i < upperColumns; ++i)
            codes.insert(codes.end(), static_cast<size_t>(lowerColumns), upper[r + static_cast<size_t>(i)]);
    for (size_t r = 0; r < lower.size(); r += static_cast<size_t>(lowerColumns))
        for (int32_t i = 0; i < upperColumns; ++i)
            codes.insert(codes.end(), lower.begin() + static_cast<std::ptrdiff_t>(r),
                         lower.begin() + static_cast<std::ptrdiff_t>(r) + lowerColumns);
    return codes;
}

std::vector<int32_t> FoldedRows(const std::vector<int32_t>& array, int32_t columns, const std::vector<int32_t>& levels)
{
    const auto k = static_cast<int32_t>(levels.size());
    std::vector<int32_t> codes;
    std::set<std::vector<int32_t>> seen;
    std::vector<int32_t> row(static_cast<size_t>(k));
    for (size_t r = 0; r < array.size(); r += static_cast<size_t>(columns)) {
        for (int32_t f = 0; f < k; ++f)
            row[static_cast<size_t>(f)] = array[r + static_cast<size_t>(f)] % levels[static_cast<size_t>(f)];
        if (seen.insert(row).second)
            codes.insert(codes.end(), row.begin(), row.end());
    }
    return codes;
}
