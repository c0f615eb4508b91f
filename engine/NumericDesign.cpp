#include "engine/NumericDesign.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

int32_t MaxIterationsFor(int32_t maxLevels)
{
    // Levels up to 4 give 100 greedy rows; 5 levels give 125, 10 levels 500.
    const int64_t limit = std::max<int64_t>(100, int64_t{maxLevels} * maxLevels * 5);
    return static_cast<int32_t>(std::min<int64_t>(limit, std::numeric_limits<int32_t>::max() / 2));
}

}  // namespace

NumericDesign::MemoryNeed NumericDesign::EstimateMemory() const
{
    // In doubles: a design too large to search must not overflow the sums that say so.
    const double F = lNumFactors;
    double sumLevels = 0;
    double sumSquares = 0;
    int32_t widest = 0;
    for (const tNumFactor& factor : atFactors) {
        sumLevels += factor.lNumLevels;
        sumSquares += static_cast<double>(factor.lNumLevels) * factor.lNumLevels;
        widest = std::max(widest, factor.lNumLevels);
    }
    const double cells = (sumLevels * sumLevels - sumSquares) / 2;
    const double blocks = F * (F - 1) / 2;
    const double bitSet = std::ceil(sumLevels / 64) * 8 * sumLevels;
    const double rows = lNumPrevRuns + 1.0 + MaxIterationsFor(widest);

    MemoryNeed need;
    need.offsetsFit = 2 * cells + 32 <= std::numeric_limits<uint32_t>::max();
    // States twice per cell, counts and slot sums, the factor-by-factor maps, the blocks,
    // the two bit sets, the previous tests.
    need.tableBytes = 2 * cells + 8 * cells + 16 * F * F + 28 * blocks + 2 * bitSet + 4 * lNumPrevRuns * F;
    // Finding what the constraints exclude together takes two more bit sets for a while;
    // each evolution keeps the pairs each level of a row covered, to undo them.
    const double rowLog = lNumConstraints > 0 ? F * std::ceil(sumLevels / 64) * 8 : 0;
    if (lNumConstraints > 0)
        need.tableBytes += 2 * bitSet;
    // The states and one bit set again, counts and slot sums again, the matrix and its
    // columns and the kept copy, per-block and per-level bookkeeping.
    need.workspaceBytes = 2 * cells + bitSet + 8 * cells + 12 * rows * F + 20 * rows + 12 * blocks + 16 * sumLevels + rowLog;
    return need;
}

void NumericDesign::BuildTables()
{
    const int32_t F = lNumFactors;
    const size_t FF = static_cast<size_t>(F) * static_cast<size_t>(F);

    levels.assign(static_cast<size_t>(F), 0);
    levelOffset.assign(static_cast<size_t>(F) + 1, 0);
    maxLevels = 0;
    for (int32_t f = 0; f < F; ++f) {
        levels[f] = atFactors[f].lNumLevels;
        levelOffset[f + 1] = levelOffset[f] + levels[f];
        maxLevels = std::max(maxLevels, levels[f]);
    }
    maxIterations = MaxIterationsFor(maxLevels);
    maxRows = lNumPrevRuns + 1 + maxIterations;

    atBlocks.clear();
    blockOf.assign(FF, -1);
    pairCellOffset.assign(FF, 0);
    numCells = 0;
    for (int32_t f1 = 0; f1 < F - 1; ++f1)
        for (int32_t f2 = f1 + 1; f2 < F; ++f2) {
            tInterBlock block;
            block.f1 = f1;
            block.f2 = f2;
            block.lNumCombos = levels[f1] * levels[f2];
            block.cellOffset = static_cast<uint32_t>(numCells);
            const auto b = static_cast<int32_t>(atBlocks.size());
            blockOf[f1 * F + f2] = b;
            blockOf[f2 * F + f1] = b;
            pairCellOffset[f1 * F + f2] = block.cellOffset;
            numCells += static_cast<size_t>(block.lNumCombos);
            atBlocks.push_back(block);
        }

    stateOffset.assign(FF, 0);
    numStates = 0;
    factorBlocks.clear();
    factorBlocks.reserve(static_cast<size_t>(F) * static_cast<size_t>(std::max(F - 1, 0)));
    for (int32_t f = 0; f < F; ++f)
        for (int32_t g = 0; g < F; ++g) {
            if (g == f)
                continue;
            stateOffset[f * F + g] = static_cast<uint32_t>(numStates);
            numStates += static_cast<size_t>(levels[f]) * static_cast<size_t>(levels[g]);
            factorBlocks.push_back(blockOf[f * F + g]);
        }

    inverseCombos.resize(atBlocks.size());
    for (size_t b = 0; b < atBlocks.size(); ++b)
        inverseCombos[b] = atBlocks[b].lNumCombos > 0 ? 1.0 / atBlocks[b].lNumCombos : 0.0;

    baseState.assign(numStates, kUncovered);
    baseCounts.assign(numCells, 0);
    baseRowSum.assign(numCells, 0);
    baseDone.assign(atBlocks.size(), 0);
    baseNonZero.assign(static_cast<size_t>(levelOffset[F]), 0);
    anyExcluded = false;

    // Marks cell (f = lf, g = lg) as no longer zero: excluded, or covered for the first time.
    auto markNonZero = [&](int32_t f, int32_t lf, int32_t g, int32_t lg, uint8_t state) {
        baseDone[blockOf[f * F + g]] += 1;
        baseNonZero[levelOffset[f] + lf] += 1;
        baseNonZero[levelOffset[g] + lg] += 1;
        baseState[stateOffset[f * F + g] + static_cast<size_t>(lg) * levels[f] + lf] = state;
        baseState[stateOffset[g * F + f] + static_cast<size_t>(lf) * levels[g] + lg] = state;
    };

    // Excludes cell (f = lf, g = lg); false when it already was.
    auto excludePair = [&](int32_t f, int32_t lf, int32_t g, int32_t lg) {
        if (f > g) {
            std::swap(f, g);
            std::swap(lf, lg);
        }
        int32_t& count = baseCounts[pairCellOffset[f * F + g] + static_cast<size_t>(lf) * levels[g] + lg];
        if (count == -1)
            return false;
        count = -1;
        anyExcluded = true;
        markNonZero(f, lf, g, lg, kExcluded);
        return true;
    };

    // The pair is excluded whichever factor the constraint names first.
    excludedPairs.clear();
    for (int32_t c = 0; c < lNumConstraints; ++c) {
        const int32_t* codes = &alConstraints[c * 4];
        if (excludePair(codes[0] - 1, codes[1] - 1, codes[2] - 1, codes[3] - 1))
            excludedPairs.emplace_back(levelOffset[codes[0] - 1] + codes[1] - 1, levelOffset[codes[2] - 1] + codes[3] - 1);
    }

    // What the constraints exclude together. With no valid row at all nothing more is
    // marked: the search then finds no admissible first row and says so.
    implied = ImpliedExclusions{};
    if (anyExcluded) {
        implied = FindImpliedExclusions(levelOffset, excludedPairs);
        std::vector<int32_t> factorOf(static_cast<size_t>(levelOffset[F]));
        for (int32_t f = 0; f < F; ++f)
            std::fill(factorOf.begin() + levelOffset[f], factorOf.begin() + levelOffset[f + 1], f);
        for (const int32_t dead : implied.deadLevels) {
            const int32_t f = factorOf[dead];
            for (int32_t g = 0; g < F; ++g)
                for (int32_t m = 0; g != f && m < levels[g]; ++m)
                    excludePair(f, dead - levelOffset[f], g, m);
        }
        for (const auto& [a, b] : implied.pairs) {
            excludePair(factorOf[a], a - levelOffset[factorOf[a]], factorOf[b], b - levelOffset[factorOf[b]]);
            excludedPairs.emplace_back(a, b);
        }
    }

    // Previous tests cover their pairs; an excluded pair stays excluded.
    for (int32_t p = 0; p < lNumPrevRuns; ++p) {
        const int32_t* row = &alPrevRuns[static_cast<size_t>(p) * F];
        for (int32_t f = 0; f < F - 1; ++f)
            for (int32_t g = f + 1; g < F; ++g) {
                const size_t cell = pairCellOffset[f * F + g] + static_cast<size_t>(row[f] - 1) * levels[g] + (row[g] - 1);
                int32_t& count = baseCounts[cell];
                if (count < 0)
                    continue;
                if (count == 0)
                    markNonZero(f, row[f] - 1, g, row[g] - 1, kCovered);
                count += 1;
                baseRowSum[cell] += static_cast<uint32_t>(p);
            }
    }

    baseIncomplete = 0;
    for (size_t b = 0; b < atBlocks.size(); ++b)
        if (baseDone[b] < atBlocks[b].lNumCombos)
            ++baseIncomplete;

    const int32_t totalLevels = levelOffset[F];
    levelWords = (totalLevels + 63) / 64;
    levelFactor.assign(static_cast<size_t>(totalLevels), 0);
    baseUncoveredBits.assign(static_cast<size_t>(totalLevels) * levelWords, 0);
    excludedBits.assign(static_cast<size_t>(totalLevels) * levelWords, 0);
    for (int32_t f = 0; f < F; ++f)
        for (int32_t l = 0; l < levels[f]; ++l) {
            const int32_t entry = levelOffset[f] + l;
            levelFactor[entry] = f;
            uint64_t* uncovered = &baseUncoveredBits[static_cast<size_t>(entry) * levelWords];
            uint64_t* excluded = &excludedBits[static_cast<size_t>(entry) * levelWords];
            for (int32_t g = 0; g < F; ++g) {
                if (g == f)
                    continue;
                for (int32_t m = 0; m < levels[g]; ++m) {
                    const uint8_t state = baseState[stateOffset[f * F + g] + static_cast<size_t>(m) * levels[f] + l];
                    const int32_t bit = levelOffset[g] + m;
                    if (state == kUncovered)
                        uncovered[bit >> 6] |= uint64_t{1} << (bit & 63);
                    else if (state == kExcluded)
                        excluded[bit >> 6] |= uint64_t{1} << (bit & 63);
                }
            }
        }
}
