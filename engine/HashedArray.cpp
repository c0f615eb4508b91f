#include "engine/HashedArray.h"

#include "engine/FiniteField.h"
#include "engine/OrthogonalArray.h"
#include "engine/PairArrayConstruction.h"
#include "engine/RandomStream.h"
#include "engine/TupleTable.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace {

// The most sets of t factors a family is searched over (listed, with the sets through each
// factor), the most columns a field's array gives it (a bit each), and the most rows of the
// field's array (q^t).
constexpr double kMostSets = 2e6;
constexpr int32_t kMostColumns = 64;
constexpr double kMostFieldRows = 1e6;
// The fields tried: the smallest prime power at or above the levels and the strength, and the
// next (more columns make the family shorter); none with fewer columns than this many times
// the strength, which would take a long family.
constexpr int32_t kFieldsTried = 2;
constexpr int32_t kFewestColumnsPerStrength = 3;
// A family longer than this is no use.
constexpr int32_t kMostFamilyRows = 1000;

double SetsOf(int32_t k, int32_t t)
{
    double sets = 1;
    for (int32_t i = 0; i < t; ++i)
        sets = sets * (k - i) / (i + 1);
    return sets;
}

// A column below m that the used ones (a bit each) leave, drawn.
int32_t FreeColumn(uint64_t used, int32_t m, RandomStream& random)
{
    int32_t pick = random.RandomIndex(0, m - std::popcount(used) - 1);
    for (int32_t c = 0;; ++c)
        if ((used >> c & 1) == 0 && pick-- == 0)
            return c;
}

// The sets of t factors a family's rows have not kept apart yet, listed, and the sets through
// each factor.
class SetsLeft {
public:
    SetsLeft(int32_t k, int32_t t) : k_(k), t_(t)
    {
        int32_t set[TupleTable::kMaxStrength];
        ForEachColexSet(k, t, set, [&](const int32_t* factors) { factors_.insert(factors_.end(), factors, factors + t); });
        ListThrough();
    }

    bool Empty() const { return factors_.empty(); }

    // A row that keeps many of the sets apart: each set in turn whose mapped factors are apart
    // gets its others mapped apart from them; then a few sweeps move each factor to the column
    // that keeps the most sets through it apart.
    void SearchRow(int32_t m, std::vector<int32_t>& row, RandomStream& random) const
    {
        std::fill(row.begin(), row.end(), -1);
        for (size_t first = 0; first < factors_.size(); first += static_cast<size_t>(t_)) {
            uint64_t used = 0;
            if (!UsedApart(first, row, -1, used))
                continue;
            for (int32_t i = 0; i < t_; ++i) {
                int32_t& column = row[factors_[first + static_cast<size_t>(i)]];
                if (column < 0) {
                    column = FreeColumn(used, m, random);
                    used |= uint64_t{1} << column;
                }
            }
        }
        for (int32_t& column : row)
            if (column < 0)
                column = random.RandomIndex(0, m - 1);
        std::vector<int64_t> held(static_cast<size_t>(m));
        for (int32_t sweep = 0; sweep < kSweeps; ++sweep)
            for (int32_t f = 0; f < k_; ++f) {
                // Of the sets through f whose other factors are apart, those whose others hold
                // each column: f there keeps all but them apart.
                std::fill(held.begin(), held.end(), 0);
                for (int32_t e = throughStart_[static_cast<size_t>(f)]; e < throughStart_[static_cast<size_t>(f) + 1]; ++e) {
                    uint64_t used = 0;
                    if (!UsedApart(static_cast<size_t>(through_[static_cast<size_t>(e)]), row, f, used))
                        continue;
                    for (; used != 0; used &= used - 1)
                        ++held[static_cast<size_t>(std::countr_zero(used))];
                }
                int32_t best = row[static_cast<size_t>(f)], ties = 0;
                for (int32_t c = 0; c < m; ++c) {
                    if (held[static_cast<size_t>(c)] < held[static_cast<size_t>(best)])
                        best = c, ties = 1;
                    else if (held[static_cast<size_t>(c)] == held[static_cast<size_t>(best)] && random.RandomIndex(0, ties++) == 0)
                        best = c;
                }
                row[static_cast<size_t>(f)] = best;
            }
    }

    // Drops the sets the row keeps apart.
    void DropApart(const std::vector<int32_t>& row)
    {
        size_t kept = 0;
        for (size_t first = 0; first < factors_.size(); first += static_cast<size_t>(t_)) {
            uint64_t used = 0;
            if (UsedApart(first, row, -1, used))
                continue;
            std::copy_n(factors_.begin() + static_cast<std::ptrdiff_t>(first), t_, factors_.begin() + static_cast<std::ptrdiff_t>(kept));
            kept += static_cast<size_t>(t_);
        }
        factors_.resize(kept);
        ListThrough();
    }

private:
    static constexpr int32_t kSweeps = 3;

    // Whether the mapped factors of the set (but skip) are in different columns, noted in used.
    bool UsedApart(size_t first, const std::vector<int32_t>& row, int32_t skip, uint64_t& used) const
    {
        for (int32_t i = 0; i < t_; ++i) {
            const int32_t f = factors_[first + static_cast<size_t>(i)];
            const int32_t column = f == skip ? -1 : row[static_cast<size_t>(f)];
            if (column < 0)
                continue;
            if ((used >> column & 1) != 0)
                return false;
            used |= uint64_t{1} << column;
        }
        return true;
    }

    void ListThrough()
    {
        throughStart_.assign(static_cast<size_t>(k_) + 1, 0);
        for (const uint16_t f : factors_)
            ++throughStart_[static_cast<size_t>(f) + 1];
        for (int32_t f = 0; f < k_; ++f)
            throughStart_[static_cast<size_t>(f) + 1] += throughStart_[static_cast<size_t>(f)];
        through_.resize(factors_.size());
        std::vector<int32_t> next(throughStart_.begin(), throughStart_.end() - 1);
        for (size_t e = 0; e < factors_.size(); ++e)
            through_[static_cast<size_t>(next[factors_[e]]++)] = static_cast<int32_t>(e - e % static_cast<size_t>(t_));
    }

    int32_t k_, t_;
    std::vector<uint16_t> factors_;  // t per set
    std::vector<int32_t> throughStart_, through_;
};

// The field's orthogonal array of strength t: rows x columns level codes.
struct FieldArray {
    std::vector<int32_t> codes;
    int32_t columns = 0;
    int64_t Rows() const { return static_cast<int64_t>(codes.size()) / columns; }
};

std::vector<FieldArray> FieldArrays(int32_t k, int32_t v, int32_t t)
{
    std::vector<FieldArray> arrays;
    for (int32_t q = FiniteField::PrimePowerAtLeast(std::max(v, t));
         static_cast<int32_t>(arrays.size()) < kFieldsTried && q <= FiniteField::kLargest && std::pow(q, t) <= kMostFieldRows;
         q = FiniteField::PrimePowerAtLeast(q + 1)) {
        const int32_t columns = std::min({q + 1, kMostColumns, k});
        if (q + 1 < kFewestColumnsPerStrength * t)
            break;
        arrays.push_back({OrthogonalArray(*FiniteField::Of(q), t, columns), columns});
    }
    return arrays;
}

}  // namespace

std::vector<int32_t> HashFamily(int32_t k, int32_t m, int32_t t, int32_t mostRows, uint64_t seed)
{
    if (m < t || m > kMostColumns || mostRows < 1)
        return {};
    std::vector<int32_t> family;
    if (k <= m) {  // each factor a column of its own
        for (int32_t f = 0; f < k; ++f)
            family.push_back(f);
        return family;
    }
    if (SetsOf(k, t) > kMostSets)
        return {};
    RandomStream random(seed, 0);
    std::vector<int32_t> row(static_cast<size_t>(k));
    for (SetsLeft left(k, t); !left.Empty(); --mostRows) {
        if (mostRows == 0)
            return {};
        left.SearchRow(m, row, random);
        family.insert(family.end(), row.begin(), row.end());
        left.DropApart(row);
    }
    return family;
}

std::vector<int32_t> BuildHashedArray(const std::vector<int32_t>& levels, int32_t t, uint64_t seed)
{
    const auto k = static_cast<int32_t>(levels.size());
    const auto [fewest, most] = std::minmax_element(levels.begin(), levels.end());
    // Every factor reads the same columns of v levels: one of far fewer levels would leave the
    // array several times the evolutions' size.
    if (k <= t || SetsOf(k, t) > kMostSets || *fewest * 2 < *most)
        return {};
    // The field's array and family that make the fewest rows.
    FieldArray best;
    std::vector<int32_t> bestFamily;
    int64_t bestRows = std::numeric_limits<int64_t>::max();
    for (FieldArray& field : FieldArrays(k, *most, t)) {
        const auto mostRows = static_cast<int32_t>(std::min<int64_t>((bestRows - 1) / field.Rows(), kMostFamilyRows));
        std::vector<int32_t> family = HashFamily(k, field.columns, t, mostRows, seed);
        if (family.empty())
            continue;
        bestRows = field.Rows() * static_cast<int64_t>(family.size() / static_cast<size_t>(k));
        best = std::move(field);
        bestFamily = std::move(family);
    }
    if (bestFamily.empty())
        return {};
    std::vector<int32_t> codes;
    codes.reserve(static_cast<size_t>(bestRows) * static_cast<size_t>(k));
    for (size_t x = 0; x < bestFamily.size(); x += static_cast<size_t>(k))
        for (size_t r = 0; r < best.codes.size(); r += static_cast<size_t>(best.columns))
            for (int32_t f = 0; f < k; ++f)
                codes.push_back(best.codes[r + static_cast<size_t>(bestFamily[x + static_cast<size_t>(f)])]);
    return FoldedRows(codes, k, levels);
}
