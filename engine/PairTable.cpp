#include "engine/PairTable.h"

#include <algorithm>
#include <limits>

int32_t PairTable::MaxIterationsFor(int32_t maxLevels)
{
    // Levels up to 4 give 100 greedy rows; 5 levels give 125, 10 levels 500.
    const int64_t limit = std::max<int64_t>(100, int64_t{maxLevels} * maxLevels * 5);
    return static_cast<int32_t>(std::min<int64_t>(limit, std::numeric_limits<int32_t>::max() / 2));
}

void PairTable::BuildPairs(const DesignCodes& codes)
{
    maxIterations = MaxIterationsFor(codes.maxLevels);
    maxRows = codes.lNumPrevRuns + 1 + maxIterations;
    LayOutBlocks(codes);
    LayOutStates(codes);
    baseState.assign(numStates, kUncovered);
    baseCounts.assign(numCells, 0);
    baseRowSum.assign(CountsCells() ? numCells : 0, 0);
    baseDone.assign(atBlocks.size(), 0);
    baseNonZero.assign(static_cast<size_t>(codes.levelOffset[codes.lNumFactors]), 0);
    ExcludeWhatNoValidRowHolds(codes);
    CountPreviousTests(codes);
    baseIncomplete = 0;
    for (size_t b = 0; b < atBlocks.size(); ++b)
        if (baseDone[b] < atBlocks[b].lNumCombos)
            ++baseIncomplete;
    SetUncoveredBits(codes);
}

void PairTable::LayOutBlocks(const DesignCodes& codes)
{
    const int32_t F = codes.lNumFactors;
    const size_t FF = static_cast<size_t>(F) * static_cast<size_t>(F);
    atBlocks.clear();
    blockOf.assign(FF, -1);
    pairCellOffset.assign(FF, 0);
    numCells = 0;
    for (int32_t f1 = 0; f1 < F - 1; ++f1)
        for (int32_t f2 = f1 + 1; f2 < F; ++f2) {
            tInterBlock block;
            block.f1 = f1;
            block.f2 = f2;
            block.lNumCombos = codes.levels[f1] * codes.levels[f2];
            block.cellOffset = static_cast<uint32_t>(numCells);
            const auto b = static_cast<int32_t>(atBlocks.size());
            blockOf[f1 * F + f2] = b;
            blockOf[f2 * F + f1] = b;
            pairCellOffset[f1 * F + f2] = block.cellOffset;
            numCells += static_cast<size_t>(block.lNumCombos);
            atBlocks.push_back(block);
        }
    inverseCombos.resize(atBlocks.size());
    for (size_t b = 0; b < atBlocks.size(); ++b)
        inverseCombos[b] = atBlocks[b].lNumCombos > 0 ? 1.0 / atBlocks[b].lNumCombos : 0.0;
}

void PairTable::LayOutStates(const DesignCodes& codes)
{
    const int32_t F = codes.lNumFactors;
    stateOffset.assign(static_cast<size_t>(F) * static_cast<size_t>(F), 0);
    numStates = 0;
    factorBlocks.clear();
    factorBlocks.reserve(static_cast<size_t>(F) * static_cast<size_t>(std::max(F - 1, 0)));
    for (int32_t f = 0; f < F; ++f)
        for (int32_t g = 0; g < F; ++g) {
            if (g == f)
                continue;
            stateOffset[f * F + g] = static_cast<uint32_t>(numStates);
            numStates += static_cast<size_t>(codes.levels[f]) * static_cast<size_t>(codes.levels[g]);
            factorBlocks.push_back(blockOf[f * F + g]);
        }
}

void PairTable::MarkNonZero(const DesignCodes& codes, int32_t f, int32_t lf, int32_t g, int32_t lg, uint8_t state)
{
    const int32_t F = codes.lNumFactors;
    baseDone[blockOf[f * F + g]] += 1;
    baseNonZero[codes.levelOffset[f] + lf] += 1;
    baseNonZero[codes.levelOffset[g] + lg] += 1;
    baseState[stateOffset[f * F + g] + static_cast<size_t>(lg) * codes.levels[f] + lf] = state;
    baseState[stateOffset[g * F + f] + static_cast<size_t>(lf) * codes.levels[g] + lg] = state;
}

void PairTable::ExcludeWhatNoValidRowHolds(const DesignCodes& codes)
{
    const int32_t F = codes.lNumFactors;
    const std::vector<int32_t>& levels = codes.levels;
    const std::vector<int32_t>& levelOffset = codes.levelOffset;
    // Excludes cell (f = lf, g = lg) unless it already was.
    auto excludePair = [&](int32_t f, int32_t lf, int32_t g, int32_t lg) {
        if (f > g) {
            std::swap(f, g);
            std::swap(lf, lg);
        }
        int32_t& count = baseCounts[pairCellOffset[f * F + g] + static_cast<size_t>(lf) * levels[g] + lg];
        if (count == -1)
            return;
        count = -1;
        MarkNonZero(codes, f, lf, g, lg, kExcluded);
    };
    // The named and implied pairs, and those of a level no valid row holds.
    for (const auto& [a, b] : codes.constraints->ExcludedPairs()) {
        const int32_t f = codes.levelFactor[a], g = codes.levelFactor[b];
        excludePair(f, a - levelOffset[f], g, b - levelOffset[g]);
    }
    for (int32_t dead = 0; dead < levelOffset[F]; ++dead) {
        if (!codes.constraints->Unusable(dead))
            continue;
        const int32_t f = codes.levelFactor[dead];
        for (int32_t g = 0; g < F; ++g)
            for (int32_t m = 0; g != f && m < levels[g]; ++m)
                excludePair(f, dead - levelOffset[f], g, m);
    }
}

void PairTable::CountPreviousTests(const DesignCodes& codes)
{
    // Previous tests cover their pairs; an excluded pair stays excluded.
    const int32_t F = codes.lNumFactors;
    for (int32_t p = 0; p < codes.lNumPrevRuns; ++p) {
        const int32_t* row = &codes.alPrevRuns[static_cast<size_t>(p) * F];
        for (int32_t f = 0; f < F - 1; ++f)
            for (int32_t g = f + 1; g < F; ++g) {
                const size_t cell = pairCellOffset[f * F + g] + static_cast<size_t>(row[f] - 1) * codes.levels[g] + (row[g] - 1);
                int32_t& count = baseCounts[cell];
                if (count < 0)
                    continue;
                if (count == 0)
                    MarkNonZero(codes, f, row[f] - 1, g, row[g] - 1, kCovered);
                count += 1;
                if (!baseRowSum.empty())
                    baseRowSum[cell] += static_cast<uint32_t>(p);
            }
    }
}

void PairTable::SetUncoveredBits(const DesignCodes& codes)
{
    const int32_t F = codes.lNumFactors;
    const std::vector<int32_t>& levels = codes.levels;
    const std::vector<int32_t>& levelOffset = codes.levelOffset;
    const int32_t W = codes.levelWords;
    baseUncoveredBits.assign(static_cast<size_t>(levelOffset[F]) * W, 0);
    for (int32_t f = 0; f < F; ++f)
        for (int32_t l = 0; l < levels[f]; ++l) {
            uint64_t* uncovered = &baseUncoveredBits[static_cast<size_t>(levelOffset[f] + l) * W];
            for (int32_t g = 0; g < F; ++g) {
                if (g == f)
                    continue;
                for (int32_t m = 0; m < levels[g]; ++m) {
                    const int32_t bit = levelOffset[g] + m;
                    if (baseState[stateOffset[f * F + g] + static_cast<size_t>(m) * levels[f] + l] == kUncovered)
                        uncovered[bit >> 6] |= uint64_t{1} << (bit & 63);
                }
            }
        }
}
