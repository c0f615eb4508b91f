#pragma once
// The design as level codes, and what its constraints exclude: the part of a generation that
// every strength's search and table reads. Built once per generation and shared, read-only,
// by the evolutions of all threads.

#include "engine/ImpliedExclusions.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct tNumFactor {
    std::string strName;
    int32_t lNumLevels = 0;
};

struct DesignCodes {
    // Level codes as the design tables give them: factor f is column f + 1, level l is the
    // l-th level of its factor, both 1-based.
    int32_t lNumFactors = 0;
    int32_t lNumConstraints = 0;
    int32_t lNumPrevRuns = 0;
    std::vector<tNumFactor> atFactors;
    std::vector<int32_t> alConstraints;  // lNumConstraints x 4: if factor, if level, then factor, then level
    std::vector<int32_t> alPrevRuns;     // lNumPrevRuns x lNumFactors

    // Lays out the levels and finds every excluded pair. Below this line factors and levels
    // are 0-based (code - 1), which keeps the order of the codes; a level entry is
    // levelOffset[f] + l.
    void PrepareCodes();

    int32_t maxLevels = 0;
    std::vector<int32_t> levels;       // L(f)
    std::vector<int32_t> levelOffset;  // first entry of factor f in per-level arrays; size F + 1
    std::vector<int32_t> levelFactor;  // per level entry: its factor

    // What the constraints exclude together beyond the pairs they name (found only when
    // there are constraints). The solver of each evolution is built from excludedPairs: the
    // named pairs, each once, and the implied ones, as level entries.
    ImpliedExclusions implied;
    std::vector<std::pair<int32_t, int32_t>> excludedPairs;
    bool anyExcluded = false;

    // The excluded pairs as bit sets over all level entries: for entry e, bit o is set when
    // no valid row holds e and o together (a named or implied pair, or a pair of a level no
    // valid row holds).
    int32_t levelWords = 0;             // 64-bit words per entry's set
    std::vector<uint64_t> excludedBits;  // levelOffset[F] x levelWords
    bool Excluded(int32_t entry, int32_t other) const
    {
        return (excludedBits[static_cast<size_t>(entry) * levelWords + other / 64] >> (other % 64)) & 1;
    }
};
