#pragma once
// The design as level codes, and what its constraints exclude: the part of a generation that
// every strength's search and table reads. Built once per generation and shared, read-only,
// by the evolutions of all threads.

#include "engine/ConstraintModel.h"

#include <cstdint>
#include <memory>
#include <string>
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
    // Per level entry, the level's weight (the tie-break among levels of equal score); empty
    // when every level weighs 1.
    std::vector<int32_t> weights;

    // The design's compiled constraints; when none is given, PrepareCodes compiles the
    // Constraints rows of alConstraints.
    std::shared_ptr<const ConstraintModel> constraints;

    // Lays out the levels. Below this line factors and levels are 0-based (code - 1), which
    // keeps the order of the codes; a level entry is levelOffset[f] + l.
    void PrepareCodes();

    int32_t maxLevels = 0;
    std::vector<int32_t> levels;       // L(f)
    std::vector<int32_t> levelOffset;  // first entry of factor f in per-level arrays; size F + 1
    std::vector<int32_t> levelFactor;  // per level entry: its factor

    // From the model, for the search's loops: whether any pair is excluded, whether a row must
    // keep anything at all (then the search has a solver), whether wide rules are to be read.
    bool anyExcluded = false;
    bool anyConstraint = false;
    bool anyWideRule = false;
    int32_t levelWords = 0;  // 64-bit words of a set over all level entries
    bool Excluded(int32_t entry, int32_t other) const { return constraints->Excluded(entry, other); }
    bool ExcludesAnyOf(int32_t entry, const uint64_t* set) const { return constraints->ExcludesAnyOf(entry, set); }
};
