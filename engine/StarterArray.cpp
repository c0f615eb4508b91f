#include "engine/StarterArray.h"

#include "engine/CirculantArray.h"
#include "engine/FiniteField.h"
#include "engine/PairArrayConstruction.h"
#include "engine/RandomStream.h"
#include "engine/SearchedProduct.h"
#include "engine/StarterSearch.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// The moves of one search. Cyclic: enough for the starter of 20 factors of 10 levels with 3
// fixed ones on most seeds. Affine: enough for the 9 starters of 10 factors of 5 levels at
// strength three on most seeds (about ten seconds).
constexpr StarterBudget kCyclicBudget{40000, 640000000};
constexpr StarterBudget kAffineBudget{120000, 4000000000};
constexpr int32_t kFewestAffineLevels = 4;

// Every shift of every starter with every group element added to its group levels, then the
// array of the fixed levels: one row for one fixed level, a searched pairwise one for more.
std::vector<int32_t> DevelopCyclic(const std::vector<int32_t>& starters, int32_t k, int32_t g, int32_t f, uint64_t seed)
{
    std::vector<int32_t> codes;
    for (size_t first = 0; first < starters.size(); first += static_cast<size_t>(k))
        for (int32_t shift = 0; shift < k; ++shift)
            for (int32_t x = 0; x < g; ++x)
                for (int32_t c = 0; c < k; ++c) {
                    const int32_t level = starters[first + static_cast<size_t>((c + shift) % k)];
                    codes.push_back(level < g ? (level + x) % g : level);
                }
    const std::vector<int32_t> fixedRows =
        f == 0 ? std::vector<int32_t>{} : f == 1 ? std::vector<int32_t>(static_cast<size_t>(k), 0) : SearchedPairArray(f, k, seed);
    for (const int32_t fixedLevel : fixedRows)
        codes.push_back(g + fixedLevel);
    return codes;
}

// Every map x -> a x + b (a nonzero) of the field applied to every shift of every starter by a
// multiple of step columns, then the rows of one level alone.
std::vector<int32_t> DevelopAffine(const std::vector<int32_t>& starters, int32_t k, int32_t step, const FiniteField& field)
{
    const int32_t q = field.Order();
    std::vector<int32_t> codes;
    for (size_t first = 0; first < starters.size(); first += static_cast<size_t>(k))
        for (int32_t shift = 0; shift < k; shift += step)
            for (int32_t a = 1; a < q; ++a)
                for (int32_t b = 0; b < q; ++b)
                    for (int32_t c = 0; c < k; ++c) {
                        const int32_t level = starters[first + static_cast<size_t>((c + shift) % k)];
                        codes.push_back(field.Add(field.Multiply(a, level), b));
                    }
    for (int32_t level = 0; level < q; ++level)
        codes.insert(codes.end(), static_cast<size_t>(k), level);
    return codes;
}

// The fewest rows an array of strength t of f levels can have.
int64_t FixedRowsAtLeast(int32_t t, int32_t f)
{
    int64_t rows = f == 0 ? 0 : 1;
    for (int32_t i = 0; i < t && f > 1; ++i)
        rows *= f;
    return rows;
}

// The cyclic starters' array with fewest rows, below bound, or empty. More fixed levels make
// fewer rows and conditions harder to meet: f grows until starters are missed for two numbers
// of fixed levels in a row; for each, the fewest starters found.
std::vector<int32_t> CyclicStarterArray(const std::vector<int32_t>& levels, int32_t strength, int64_t bound,
                                        RandomStream& random, uint64_t seed, const std::function<bool()>& giveUp)
{
    const auto k = static_cast<int32_t>(levels.size());
    const int32_t v = *std::max_element(levels.begin(), levels.end());
    if (!StarterSearchPays(strength, k, v, true, kCyclicBudget))
        return {};
    std::vector<int32_t> best;
    for (int32_t f = 0, missed = 0; v - f >= 2 && (f <= 1 || strength == 2) && missed < 2; ++f) {
        const int32_t g = v - f;
        const StarterConditions conditions(strength, k, g, f);
        const int32_t fewest = (conditions.classes + k - 1) / k;  // a shift reads each set of columns once
        int32_t most = fewest - 1;
        while (int64_t{most + 1} * k * g + FixedRowsAtLeast(strength, f) < bound)
            ++most;
        const std::vector<int32_t> starters = FewestStarters(conditions, most, fewest, random, kCyclicBudget, giveUp);
        missed = starters.empty() && most >= fewest ? missed + 1 : 0;
        if (starters.empty())
            continue;
        std::vector<int32_t> codes = FoldedRows(DevelopCyclic(starters, k, g, f, seed), k, levels);
        if (static_cast<int64_t>(codes.size()) < bound * k) {
            bound = static_cast<int64_t>(codes.size()) / k;
            best = std::move(codes);
        }
    }
    return best;
}

// The affine starters' array with fewest rows, below bound, or empty. Not for 2 or 3 levels:
// there a starter makes 2 or 6 rows, and searching the starters is about as hard as searching
// the whole array, which the compaction does better.
std::vector<int32_t> AffineStarterArray(const std::vector<int32_t>& levels, int32_t strength, int64_t bound,
                                        RandomStream& random, const std::function<bool()>& giveUp)
{
    const auto k = static_cast<int32_t>(levels.size());
    const std::optional<FiniteField> field =
        FiniteField::Of(FiniteField::PrimePowerAtLeast(*std::max_element(levels.begin(), levels.end())));
    if (!field || field->Order() < kFewestAffineLevels || !StarterSearchPays(strength, k, field->Order(), false, kAffineBudget))
        return {};
    const int32_t q = field->Order();
    std::vector<int32_t> best;
    // The columns shift by multiples of k / s, for every s dividing k: larger groups first,
    // as their searches are smaller, until two of them in a row find nothing.
    for (int32_t shifts = k, missed = 0; shifts >= 1 && missed < 2; --shifts) {
        if (k % shifts != 0)
            continue;
        const StarterConditions conditions(strength, k, *field, shifts);
        // A shift shows one class on a set of columns; and the columns, read over every shift of
        // every starter, must differ, or two of them would never show two levels.
        int32_t fewest = (conditions.classes + shifts - 1) / shifts;
        while (std::pow(static_cast<double>(q), static_cast<double>(fewest) * shifts) < k)
            ++fewest;
        const int64_t rowsPerStarter = int64_t{shifts} * q * (q - 1);
        int32_t most = fewest - 1;
        while ((most + 1) * rowsPerStarter + q < bound)
            ++most;
        const std::vector<int32_t> starters = FewestStarters(conditions, most, fewest, random, kAffineBudget, giveUp);
        missed = starters.empty() && most >= fewest ? missed + 1 : 0;
        if (starters.empty())
            continue;
        best = FoldedRows(DevelopAffine(starters, k, k / shifts, *field), k, levels);
        bound = static_cast<int64_t>(best.size()) / k;
    }
    return best;
}

}  // namespace

std::vector<int32_t> BuildStarterArray(const std::vector<int32_t>& levels, int32_t strength, int32_t rowsToBeat,
                                       uint64_t seed, const std::function<bool()>& giveUp)
{
    if (static_cast<int32_t>(levels.size()) <= strength || *std::max_element(levels.begin(), levels.end()) < 2)
        return {};
    RandomStream random(seed, 0);
    std::vector<int32_t> cyclic = CyclicStarterArray(levels, strength, rowsToBeat, random, seed, giveUp);
    const auto bound = cyclic.empty() ? rowsToBeat : static_cast<int64_t>(cyclic.size() / levels.size());
    std::vector<int32_t> affine = AffineStarterArray(levels, strength, bound, random, giveUp);
    std::vector<int32_t> best = affine.empty() ? std::move(cyclic) : std::move(affine);
    const auto circulantBound = best.empty() ? rowsToBeat : static_cast<int32_t>(best.size() / levels.size());
    std::vector<int32_t> circulant = BuildCirculantArray(levels, strength, circulantBound, seed, giveUp);
    return circulant.empty() ? best : circulant;
}
