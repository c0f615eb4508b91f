#include "engine/PairTable.h"

#include <algorithm>
#include <bit>
#include <limits>

int32_t PairTable::MaxIterationsFor(int32_t maxLevels)
{
    // Levels up to 4 give 100 greedy rows; 5 levels give 125, 10 levels 500.
    const int64_t limit = std::max<int64_t>(100, int64_t{maxLevels} * maxLevels * 5);
    return static_cast<int32_t>(std::min<int64_t>(limit, std::numeric_limits<int32_t>::max() / 2));
}

void PairTable::BuildPairs(double mostStatesKept)
{
    maxIterations = MaxIterationsFor(maxLevels);
    maxRows = lNumPrevRuns + 1 + maxIterations;
    LayOut();
    baseState.assign(KeepsStatesFor(static_cast<double>(numStates), mostStatesKept) ? numStates : 0, kUncovered);
    baseDone.assign(static_cast<size_t>(numBlocks), 0);
    baseNonZero.assign(static_cast<size_t>(levelOffset[lNumFactors]), 0);
    SetUncoveredBits();
    MarkExcludedCells();
    CoverByPreviousTests();
    baseCounts.clear();
    baseRowSum.clear();
    if (CountsCells()) {
        baseCounts.resize(numCells);
        CountBase(baseCounts.data());
        baseRowSum.assign(numCells, 0);
        CountPreviousTests(nullptr, baseRowSum.data());
    }
    baseIncomplete = 0;
    for (int32_t f = 0; f < lNumFactors - 1; ++f)
        for (int32_t g = f + 1; g < lNumFactors; ++g)
            if (baseDone[BlockOf(f, g)] < NumCombos(f, g))
                ++baseIncomplete;
}

void PairTable::LayOut()
{
    // Blocks and cells in lexicographic order of (f, g), f < g; a factor's state runs by
    // ascending partner, factor after factor.
    const int32_t F = lNumFactors;
    const int64_t entries = levelOffset[F];
    firstBlock_.assign(static_cast<size_t>(F), 0);
    firstCell_.assign(static_cast<size_t>(F), 0);
    firstState_.assign(static_cast<size_t>(F), 0);
    int64_t blocks = 0, cells = 0, states = 0;
    for (int32_t f = 0; f < F; ++f) {
        const int64_t L = levels[f];
        firstBlock_[f] = static_cast<int32_t>(blocks - (f + 1));
        firstCell_[f] = cells - L * levelOffset[f + 1];
        firstState_[f] = states;
        blocks += F - 1 - f;
        cells += L * (entries - levelOffset[f + 1]);
        states += L * (entries - L);
    }
    numBlocks = static_cast<int32_t>(blocks);
    numCells = static_cast<size_t>(cells);
    numStates = static_cast<size_t>(states);
}

void PairTable::MarkNonZero(int32_t f, int32_t lf, int32_t g, int32_t lg, uint8_t state)
{
    baseDone[BlockOf(f, g)] += 1;
    baseNonZero[levelOffset[f] + lf] += 1;
    baseNonZero[levelOffset[g] + lg] += 1;
    if (KeepsStates()) {
        baseState[StateOffset(f, g) + static_cast<size_t>(lg) * levels[f] + lf] = state;
        baseState[StateOffset(g, f) + static_cast<size_t>(lf) * levels[g] + lg] = state;
    }
}

void PairTable::SetUncoveredBits()
{
    // Every pair with a level of another factor, less the excluded ones.
    const int32_t W = levelWords;
    const int32_t entries = levelOffset[lNumFactors];
    const LevelExclusions& exclusions = constraints->Exclusions();
    baseUncoveredBits.assign(static_cast<size_t>(entries) * W, ~uint64_t{0});
    for (int32_t e = 0; e < entries; ++e) {
        uint64_t* uncovered = &baseUncoveredBits[static_cast<size_t>(e) * W];
        exclusions.ForEachWord(e, [&](int32_t w, uint64_t bits) { uncovered[w] &= ~bits; });
        // Not the factor's own levels, nor the bits past the last entry.
        const int32_t f = levelFactor[e];
        for (int32_t w = levelOffset[f] >> 6; w <= (levelOffset[f + 1] - 1) >> 6; ++w)
            uncovered[w] &= ~exclusions.FactorMask(f, w);
        if (entries % 64)
            uncovered[W - 1] &= (uint64_t{1} << (entries % 64)) - 1;
    }
}

void PairTable::MarkExcludedCells()
{
    // Each excluded pair once, from its lower entry.
    const int32_t entries = levelOffset[lNumFactors];
    for (int32_t a = 0; a < entries; ++a) {
        const int32_t f = levelFactor[a];
        constraints->Exclusions().ForEachWord(a, [&](int32_t w, uint64_t bits) {
            for (; bits; bits &= bits - 1) {
                const int32_t b = w * 64 + std::countr_zero(bits);
                const int32_t g = levelFactor[b];
                if (b > a && g != f)
                    MarkNonZero(f, a - levelOffset[f], g, b - levelOffset[g], kExcluded);
            }
        });
    }
}

void PairTable::CoverByPreviousTests()
{
    // Previous tests cover their pairs; an excluded pair stays excluded.
    const int32_t F = lNumFactors;
    const int32_t W = levelWords;
    for (int32_t p = 0; p < lNumPrevRuns; ++p) {
        const int32_t* row = &alPrevRuns[static_cast<size_t>(p) * F];
        for (int32_t f = 0; f < F - 1; ++f)
            for (int32_t g = f + 1; g < F; ++g) {
                const int32_t a = levelOffset[f] + row[f] - 1, b = levelOffset[g] + row[g] - 1;
                uint64_t& bit = baseUncoveredBits[static_cast<size_t>(a) * W + (b >> 6)];
                const uint64_t mask = uint64_t{1} << (b & 63);
                if (!(bit & mask))
                    continue;
                bit &= ~mask;
                baseUncoveredBits[static_cast<size_t>(b) * W + (a >> 6)] &= ~(uint64_t{1} << (a & 63));
                MarkNonZero(f, row[f] - 1, g, row[g] - 1, kCovered);
            }
    }
}

void PairTable::CountPreviousTests(int32_t* counts, uint32_t* rowSum) const
{
    const int32_t F = lNumFactors;
    for (int32_t p = 0; p < lNumPrevRuns; ++p) {
        const int32_t* row = &alPrevRuns[static_cast<size_t>(p) * F];
        for (int32_t f = 0; f < F - 1; ++f)
            for (int32_t g = f + 1; g < F; ++g) {
                if (ExcludedPair(f, row[f] - 1, g, row[g] - 1))
                    continue;
                const size_t cell = Cell(f, row[f] - 1, g, row[g] - 1);
                if (counts)
                    counts[cell] += 1;
                if (rowSum)
                    rowSum[cell] += static_cast<uint32_t>(p);
            }
    }
}

void PairTable::CountBase(int32_t* counts) const
{
    for (int32_t f = 0; f < lNumFactors - 1; ++f)
        for (int32_t g = f + 1; g < lNumFactors; ++g) {
            int32_t* cell = &counts[CellOffset(f, g)];
            for (int32_t lf = 0; lf < levels[f]; ++lf)
                for (int32_t lg = 0; lg < levels[g]; ++lg)
                    *cell++ = ExcludedPair(f, lf, g, lg) ? -1 : 0;
        }
    CountPreviousTests(counts, nullptr);
}

void PairTable::PairOfCell(size_t cell, int32_t& f, int32_t& lf, int32_t& g, int32_t& lg) const
{
    // The last factor whose blocks start at or before the cell, then the partner whose block
    // holds it: the cell's place in f's blocks over L(f) lies within the partner's entries.
    const auto rowStart = [&](int32_t factor) { return firstCell_[factor] + int64_t{levels[factor]} * levelOffset[factor + 1]; };
    const auto at = static_cast<int64_t>(cell);
    int32_t low = 0, high = lNumFactors - 2;
    while (low < high) {
        const int32_t middle = (low + high + 1) / 2;
        if (rowStart(middle) <= at)
            low = middle;
        else
            high = middle - 1;
    }
    f = low;
    const int64_t inRow = at - rowStart(f);
    g = levelFactor[static_cast<size_t>(inRow / levels[f] + levelOffset[f + 1])];
    const int64_t inBlock = at - static_cast<int64_t>(CellOffset(f, g));
    lf = static_cast<int32_t>(inBlock / levels[g]);
    lg = static_cast<int32_t>(inBlock % levels[g]);
}
