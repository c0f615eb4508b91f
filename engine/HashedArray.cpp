#include "engine/HashedArray.h"

#include "engine/FiniteField.h"
#include "engine/OrthogonalArray.h"
#include "engine/PairArrayConstruction.h"
#include "engine/RandomStream.h"
#include "engine/SearchedProduct.h"
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
// The polynomial families' highest degree, the most combinations of the search's small arrays
// (for one evolution and a short compaction to take a moment) and that effort.
constexpr int32_t kMostDegree = 4;
constexpr double kMostSearchedTuples = 6e4;
constexpr SearchEffort kSmallArrayEffort{1, 2000};
// The most a factor's combinations of t levels may pass another's.
constexpr double kMostCombinationRatio = 2;

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

// A small array of strength t (rows x columns level codes) and a family mapping the factors to
// its columns (rows x k): together, the rows of the composed array.
struct Composition {
    std::vector<int32_t> small;
    int32_t columns = 0;
    std::vector<int32_t> family;

    int64_t Rows(int32_t k) const
    {
        return static_cast<int64_t>(small.size() / static_cast<size_t>(columns)) *
               static_cast<int64_t>(family.size() / static_cast<size_t>(k));
    }
};

// The fields' orthogonal arrays (q + 1 columns, k at most) with the searched families of the
// factors onto them, where smaller than the best so far; none with fewer columns than a few
// times the strength, which would take a long family.
void ComposeWithSearchedFamilies(int32_t k, int32_t v, int32_t t, uint64_t seed, Composition& best)
{
    int32_t tried = 0;
    for (int32_t q = FiniteField::PrimePowerAtLeast(std::max(v, t));
         tried < kFieldsTried && q <= FiniteField::kLargest && q + 1 >= kFewestColumnsPerStrength * t &&
         std::pow(q, t) <= kMostFieldRows;
         q = FiniteField::PrimePowerAtLeast(q + 1), ++tried) {
        const int32_t columns = std::min({q + 1, kMostColumns, k});
        const auto fieldRows = static_cast<int64_t>(std::pow(q, t));
        const int64_t bestRows = best.family.empty() ? std::numeric_limits<int64_t>::max() : best.Rows(k);
        const auto mostRows = static_cast<int32_t>(std::min<int64_t>((bestRows - 1) / fieldRows, kMostFamilyRows));
        std::vector<int32_t> family = HashFamily(k, columns, t, mostRows, seed);
        if (!family.empty())
            best = {OrthogonalArray(*FiniteField::Of(q), t, columns), columns, std::move(family)};
    }
}

// The polynomials of degree below d over the field of p elements, one per factor (the digits of
// its number in base p the coefficients), read at the points 0..s-1 of the field: two of them
// agree at d - 1 points at most, so t of them are apart at one of s = C(t, 2) (d - 1) + 1 points.
// Empty where the field has fewer points or p^d < k.
std::vector<int32_t> PolynomialFamily(int32_t k, int32_t t, const FiniteField& field, int32_t d)
{
    const int32_t p = field.Order();
    const int32_t s = t * (t - 1) / 2 * (d - 1) + 1;
    if (s > p || std::pow(p, d) < k)
        return {};
    std::vector<int32_t> family, digits(static_cast<size_t>(d));
    for (int32_t x = 0; x < s; ++x)
        for (int32_t f = 0; f < k; ++f) {
            for (int32_t i = 0, rest = f; i < d; ++i, rest /= p)
                digits[static_cast<size_t>(i)] = rest % p;
            int32_t value = 0;  // Horner's rule from the highest digit
            for (int32_t i = d - 1; i >= 0; --i)
                value = field.Add(field.Multiply(value, x), digits[static_cast<size_t>(i)]);
            family.push_back(value);
        }
    return family;
}

// A small array of p columns: the field's (q^t rows, q + 1 columns at most) or the search's for
// few levels, whichever has fewer rows; empty where neither fits.
std::vector<int32_t> SmallArrayOf(int32_t p, int32_t v, int32_t t, uint64_t seed)
{
    std::vector<int32_t> best;
    const int32_t q = FiniteField::PrimePowerAtLeast(std::max(v, t));
    if (q <= FiniteField::kLargest && q + 1 >= p && std::pow(q, t) <= kMostFieldRows)
        best = OrthogonalArray(*FiniteField::Of(q), t, p);
    if (std::pow(v, t) * SetsOf(p, t) <= kMostSearchedTuples) {
        std::vector<int32_t> searched = SearchedArray(v, p, t, seed, kSmallArrayEffort);
        if (!searched.empty() && (best.empty() || searched.size() < best.size()))
            best = std::move(searched);
    }
    return best;
}

// The polynomial families of every degree from 2 with the small arrays of their fields' sizes.
void ComposeWithPolynomialFamilies(int32_t k, int32_t v, int32_t t, uint64_t seed, Composition& best)
{
    for (int32_t d = 2; d <= kMostDegree; ++d) {
        const int32_t s = t * (t - 1) / 2 * (d - 1) + 1;
        const auto root = static_cast<int32_t>(std::ceil(std::pow(k, 1.0 / d) - 1e-9));
        const int32_t p = FiniteField::PrimePowerAtLeast(std::min(std::max({root, s, t + 1}), FiniteField::kLargest + 1));
        const int64_t bestRows = best.family.empty() ? std::numeric_limits<int64_t>::max() : best.Rows(k);
        if (p > FiniteField::kLargest || p >= k || s * std::pow(v, t) >= static_cast<double>(bestRows))
            continue;
        std::vector<int32_t> family = PolynomialFamily(k, t, *FiniteField::Of(p), d);
        std::vector<int32_t> small = family.empty() ? family : SmallArrayOf(p, v, t, seed);
        if (small.empty())
            continue;
        Composition composition{std::move(small), p, std::move(family)};
        if (composition.Rows(k) < bestRows)
            best = std::move(composition);
    }
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
    // Every factor reads the same columns of the most levels: where a factor's combinations
    // are far fewer than another's, the array would be several times the evolutions' size.
    if (k <= t || std::pow(*most, t) > kMostCombinationRatio * std::pow(*fewest, t))
        return {};
    Composition best;
    ComposeWithSearchedFamilies(k, *most, t, seed, best);
    ComposeWithPolynomialFamilies(k, *most, t, seed, best);
    if (best.family.empty())
        return {};
    std::vector<int32_t> codes;
    codes.reserve(static_cast<size_t>(best.Rows(k)) * static_cast<size_t>(k));
    for (size_t x = 0; x < best.family.size(); x += static_cast<size_t>(k))
        for (size_t r = 0; r < best.small.size(); r += static_cast<size_t>(best.columns))
            for (int32_t f = 0; f < k; ++f)
                codes.push_back(best.small[r + static_cast<size_t>(best.family[x + static_cast<size_t>(f)])]);
    return FoldedRows(codes, k, levels);
}
