#pragma once
// The design as level codes, and the interaction table laid out once per generation.
//
// The interaction table has one block per pair of factors f1 < f2 (lexicographic order) with
// one cell per pair of their levels. A cell is excluded (a constraint forbids the pair),
// required and uncovered, or covered by some rows. The search keeps each cell's state twice,
// once for each factor of the pair, so that the scores of one factor's levels against a
// fixed partner are one contiguous run of cells; the row counts for row elimination are kept
// once per cell.
//
// Everything here is read-only once built and shared by the evolutions of all threads; the
// "base" arrays are the table after the constraints and the previous tests, which is where
// every evolution starts.

#include "engine/ImpliedExclusions.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct tNumFactor {
    std::string strName;
    int32_t lNumLevels = 0;
};

struct tInterBlock {
    int32_t f1 = 0;  // 0-based factor indices, f1 < f2
    int32_t f2 = 0;
    int32_t lNumCombos = 0;
    uint32_t cellOffset = 0;  // first cell of the block in the count arrays; cell (l1, l2) at + l1 * L(f2) + l2
};

struct NumericDesign {
    // Cell states in the per-factor arrays.
    static constexpr uint8_t kCovered = 0;
    static constexpr uint8_t kUncovered = 1;
    static constexpr uint8_t kExcluded = 2;

    // Level codes as the design tables give them: factor f is column f + 1, level l is the
    // l-th level of its factor, both 1-based.
    int32_t lNumFactors = 0;
    int32_t lNumConstraints = 0;
    int32_t lNumPrevRuns = 0;
    std::vector<tNumFactor> atFactors;
    std::vector<int32_t> alConstraints;  // lNumConstraints x 4: if factor, if level, then factor, then level
    std::vector<int32_t> alPrevRuns;     // lNumPrevRuns x lNumFactors

    // What a search of this design takes, from the level counts and the number of previous
    // tests alone, before anything is laid out: the bytes of the shared tables, the bytes of
    // the workspace of one evolution (one per thread), and whether the cell offsets fit the
    // 32 bits they are kept in.
    struct MemoryNeed {
        double tableBytes = 0;
        double workspaceBytes = 0;
        bool offsetsFit = true;
    };
    MemoryNeed EstimateMemory() const;

    // Lays out the table and computes the base arrays. Below this line factors and levels
    // are 0-based (code - 1), which keeps the order of the codes.
    void BuildTables();

    int32_t maxLevels = 0;
    int32_t maxIterations = 0;  // greedy rows one evolution may add
    int32_t maxRows = 0;        // previous tests + random row + greedy rows
    std::vector<int32_t> levels;           // L(f)
    std::vector<int32_t> levelOffset;      // first entry of factor f in per-level arrays; size F + 1
    std::vector<tInterBlock> atBlocks;     // F (F - 1) / 2 blocks
    std::vector<int32_t> blockOf;          // F x F: the block of f and g, f != g
    std::vector<uint32_t> pairCellOffset;  // F x F, f < g: cellOffset of block (f, g)
    std::vector<uint32_t> stateOffset;     // F x F, f != g: state of (f = l, g = m) at + m * L(f) + l
    std::vector<int32_t> factorBlocks;     // F x (F - 1): blocks of f by ascending partner
    std::vector<double> inverseCombos;     // 1 / lNumCombos per block
    size_t numCells = 0;
    size_t numStates = 0;

    std::vector<uint8_t> baseState;    // numStates
    std::vector<int32_t> baseCounts;   // numCells: -1 excluded, else previous tests holding the pair
    std::vector<uint32_t> baseRowSum;  // numCells: sum (mod 2^32) of the row numbers holding the pair
    std::vector<int32_t> baseDone;     // per block: cells covered or excluded
    std::vector<int32_t> baseNonZero;  // per level: cells of that level covered or excluded
    int32_t baseIncomplete = 0;        // blocks with a required cell still uncovered
    bool anyExcluded = false;

    // What the constraints exclude together beyond the pairs they name (found only when
    // there are constraints); those pairs, and every pair of a level no valid row holds, are
    // excluded in the table as a constraint's pair is. The solver of each evolution is built
    // from excludedPairs: the named pairs and the implied ones, as level entries.
    ImpliedExclusions implied;
    std::vector<std::pair<int32_t, int32_t>> excludedPairs;

    // The same states as bit sets over all levels of the design: for level l of factor f,
    // bit levelOffset[g] + m is set when the pair (f = l, g = m) is required and uncovered
    // (resp. excluded). A level's score against the fixed partners of a row is then one
    // AND and a population count per word.
    int32_t levelWords = 0;                  // 64-bit words per level's set
    std::vector<int32_t> levelFactor;        // per level entry: its factor
    std::vector<uint64_t> baseUncoveredBits;  // levelOffset[F] x levelWords
    std::vector<uint64_t> excludedBits;       // levelOffset[F] x levelWords
};
