#include "engine/SearchedProduct.h"

#include "engine/CCalcNWay.h"
#include "engine/FiniteField.h"
#include "engine/OrthogonalArray.h"
#include "engine/PairArrayConstruction.h"
#include "engine/SilentReporter.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// The search of an array: evolutions, then compaction moves.
constexpr int32_t kEvolutions = 50;
constexpr int64_t kMoves = 200000;

}  // namespace

std::vector<int32_t> SearchedArray(int32_t v, int32_t k, int32_t strength, uint64_t seed, SearchEffort effort)
{
    DesignTables design;
    // Names of their own: a factor's or a level's number after a letter.
    const auto name = [](char letter, int32_t number) {
        std::string text(1, letter);
        text += std::to_string(number);
        return text;
    };
    for (int32_t f = 0; f < k; ++f) {
        std::vector<std::string>& column = design.factors.emplace_back(1, name('F', f + 1));
        for (int32_t l = 1; l <= v; ++l)
            column.push_back(name('v', l));
        design.levelCounts.push_back(v);
    }
    for (int32_t a = 1; a <= v; ++a)
        design.prevRuns.emplace_back(static_cast<size_t>(k), name('v', a));
    SilentReporter reporter;  // shows nothing, never stops
    CCalcNWay calc(reporter, effort.evolutions, seed, 1);
    calc.SetCompaction(effort.moves);
    calc.SetConstructions(false);
    GeneratedMatrix matrix;
    int32_t rows = 0;
    bool converged = false;
    if (!calc.CalcNWayQXVMatrix(strength, design, matrix, rows, converged))
        return {};
    std::vector<int32_t> codes;
    for (int32_t a = 0; a < v; ++a)
        codes.insert(codes.end(), static_cast<size_t>(k), a);
    for (const int32_t code : matrix.levelCodes)
        codes.push_back(code - 1);
    return codes;
}

std::vector<int32_t> SearchedPairArray(int32_t v, int32_t k, uint64_t seed)
{
    return SearchedArray(v, k, 2, seed, {kEvolutions, kMoves});
}

std::vector<int32_t> BuildSearchedProduct(const std::vector<int32_t>& levels, int32_t rowsToBeat, uint64_t seed)
{
    const auto k = static_cast<int32_t>(levels.size());
    const int32_t v = k == 0 ? 0 : *std::max_element(levels.begin(), levels.end());
    const int32_t q = FiniteField::PrimePowerAtLeast(std::max(v, 2));
    if (v < 2 || q > FiniteField::kLargest)
        return {};
    // Two searched arrays of about the square root of the factors each, or the field's array
    // of q columns (its constant rows first) above a searched one of k / q: whichever is
    // smaller. Either only pays for many factors.
    std::vector<int32_t> best;
    const auto consider = [&](const std::vector<int32_t>& upper, int32_t upperColumns, int32_t lowerColumns) {
        const std::vector<int32_t> lower = SearchedPairArray(v, lowerColumns, seed);
        if (upper.empty() || lower.empty())
            return;
        std::vector<int32_t> codes = FoldedRows(PairArrayProduct(upper, upperColumns, lower, lowerColumns),
                                                upperColumns * lowerColumns, levels);
        if (static_cast<int64_t>(codes.size()) < int64_t{rowsToBeat} * k && (best.empty() || codes.size() < best.size()))
            best = std::move(codes);
    };
    const auto root = static_cast<int32_t>(std::ceil(std::sqrt(static_cast<double>(k))));
    if ((k + root - 1) / root > v + 1)
        consider(SearchedPairArray(v, root, seed), root, (k + root - 1) / root);
    if ((k + q - 1) / q > v + 1)
        consider(OrthogonalArray(*FiniteField::Of(q), 2, q), q, (k + q - 1) / q);
    return best;
}
