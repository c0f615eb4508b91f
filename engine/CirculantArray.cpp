#include "engine/CirculantArray.h"

#include "engine/PairArrayConstruction.h"
#include "engine/RandomStream.h"
#include "engine/StarterSearch.h"
#include "engine/TupleTable.h"

#include <algorithm>
#include <cmath>

namespace {

// The cell a row of the array reads in a column.
int32_t CellOf(int32_t row, int32_t column, int32_t n, int32_t m)
{
    const int32_t block = column / n;
    return row < n ? block * n + (column % n + row) % n : m * n + (row - n) * m + block;
}

// Whether the set of columns comes first among its shifts that stay within the first k
// columns (each orbit is then checked once, through a set of the array's own columns).
bool FirstOfItsShifts(const int32_t* set, int32_t t, int32_t k, int32_t n, std::vector<int32_t>& shifted)
{
    for (int32_t shift = 1; shift < n; ++shift) {
        bool inside = true;
        for (int32_t i = 0; i < t && inside; ++i) {
            const int32_t block = set[i] / n;
            shifted[static_cast<size_t>(i)] = block * n + (set[i] % n + shift) % n;
            inside = shifted[static_cast<size_t>(i)] < k;
        }
        if (!inside)
            continue;
        std::sort(shifted.begin(), shifted.end());
        if (std::lexicographical_compare(shifted.begin(), shifted.end(), set, set + t))
            return false;
    }
    return true;
}

}  // namespace

TupleReads CirculantReads(int32_t t, int32_t k, int32_t v, int32_t n, int32_t m, int32_t e)
{
    TupleReads reads;
    reads.t = t;
    reads.v = v;
    reads.cells = m * n + e * m;
    int32_t codes = 1;
    for (int32_t i = 0; i < t; ++i)
        codes *= v;
    reads.classes = codes;
    for (int32_t code = 0; code < codes; ++code)
        reads.classOf.push_back(code);  // every tuple of levels must show
    reads.through.resize(static_cast<size_t>(reads.cells));
    std::vector<int32_t> scratch(static_cast<size_t>(t)), shifted(static_cast<size_t>(t)), cells(static_cast<size_t>(t));
    ForEachColexSet(k, t, scratch.data(), [&](const int32_t* set) {
        if (!FirstOfItsShifts(set, t, k, n, shifted))
            return;
        for (int32_t row = 0; row < n + e; ++row) {
            for (int32_t i = 0; i < t; ++i)
                cells[static_cast<size_t>(i)] = CellOf(row, set[i], n, m);
            reads.Add(reads.sets, cells.data());
        }
        ++reads.sets;
    });
    return reads;
}

std::vector<int32_t> DevelopCirculant(const std::vector<int32_t>& cells, int32_t k, int32_t n, int32_t m, int32_t e)
{
    std::vector<int32_t> codes;
    codes.reserve(static_cast<size_t>(n + e) * static_cast<size_t>(k));
    for (int32_t row = 0; row < n + e; ++row)
        for (int32_t c = 0; c < k; ++c)
            codes.push_back(cells[static_cast<size_t>(CellOf(row, c, n, m))]);
    return codes;
}

namespace {

// The moves of one search, and the most work its conditions may take: the sets of columns
// looked at times their shifts, and the tuples a move weighs.
constexpr StarterBudget kCirculantBudget{5000, 2000000000};
constexpr double kMostShiftedSets = 5e7;

}  // namespace

std::vector<int32_t> BuildCirculantArray(const std::vector<int32_t>& levels, int32_t strength, int32_t rowsToBeat,
                                         uint64_t seed, const std::function<bool()>& giveUp)
{
    const auto k = static_cast<int32_t>(levels.size());
    const int32_t v = *std::max_element(levels.begin(), levels.end());
    if (strength < 3 || k <= strength || v < 2)
        return {};  // pairwise, the cyclic starters and the searched products do better
    const double sets = SetsOf(k, strength), codes = std::pow(v, strength);
    RandomStream random(seed, 1);
    std::vector<int32_t> best;
    int32_t bound = rowsToBeat;
    // m starters of n = k / m levels (rounded up), from the fewest that fit below the bound; for
    // each, rows beside the shifted ones go one at a time, the search going on from the cells
    // left (the last row's cells are the last ones), until it fails.
    for (int32_t m = 1, missed = 0; (k + m - 1) / m >= 2 && missed < (best.empty() ? 2 : 1); ++m) {
        // t columns of one starter read the rows beside the shifted ones as one level repeated:
        // the shifted rows must show every other tuple.
        const int32_t n = (k + m - 1) / m;
        if (n + 1 >= bound || n < codes - v || sets * n > kMostShiftedSets)
            continue;
        std::vector<int32_t> cells;
        bool found = false;
        // No more rows beside the shifted ones than those (the shifts are what covers), nor than
        // the v^m rows of one level per starter that differ.
        const double differing = std::pow(static_cast<double>(v), static_cast<double>(m));
        const auto most = static_cast<int32_t>(std::min<double>({bound - 1.0 - n, 1.0 * n, differing}));
        // The best known arrays have about 0.7 times the evolutions' rows (2^100 at strength
        // three 33 against 48, 3^20 59 against 87): none is searched below two thirds.
        if (3 * (n + most) < 2 * bound)
            continue;
        for (int32_t e = most; e >= 1 && n + e >= codes; --e) {
            const double tuples = sets / n * (n + e);
            const int64_t steps = MovesWithin(kCirculantBudget, 2.0 * (v - 1) * strength * tuples);
            if (steps == 0)
                break;
            cells.resize(std::min(cells.size(), static_cast<size_t>(m * n + e * m)));
            cells = SearchCells(CirculantReads(strength, k, v, n, m, e), random, steps, giveUp, cells);
            if (cells.empty())
                break;
            best = FoldedRows(DevelopCirculant(cells, k, n, m, e), k, levels);
            bound = n + e;
            found = true;
        }
        missed = found ? 0 : missed + 1;
    }
    return best;
}
