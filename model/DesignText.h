#pragma once
// A design as the texts of its tables: the factors with their levels, the constraints, the
// rules text, the previous tests and, where a design file holds one, the saved matrix. It is what a design
// file holds, what the commands read from the sheets and what is put back on them.

#include "model/ModelTextLayout.h"
#include "model/TextTable.h"

#include <QStringList>

#include <cstdint>
#include <map>
#include <set>
#include <utility>

struct DesignText {
    std::int32_t numFactors = 0;    // factors 1..n
    std::int32_t maxNumLevels = 0;  // the largest level count
    LongArray levelCounts;          // factor 1..n
    TextTable factors;              // level 0..L x factor 1..n; level 0 is the name
    // The levels marked invalid, as (level row 1..L, factor column 1..n) of the factor table:
    // each is tried on its own in a negative test.
    std::set<std::pair<int, int>> invalidLevels;
    std::int32_t numConstraints = 0;
    TextTable constraints;  // constraint 1..m x if factor, if level, then factor, can't-be level
    QString rules;          // the rules text; empty when the design has none
    // The line of the file where the rules text starts (a model text holds it after the
    // factors), so that a rule's line can be told as the file's.
    std::int32_t rulesFirstLine = 1;
    bool fromModelText = false;  // read from a model text, which holds no matrix
    // A model text's level weights (2 and more; 1 is not kept) and the other names a level is
    // known by, keyed as invalidLevels are.
    std::map<std::pair<int, int>, std::int32_t> levelWeights;
    std::map<std::pair<int, int>, QStringList> levelAliases;
    // A model text's comments and blank lines, kept for the text it is written back as (a
    // design document keeps the comments above its factors).
    ModelTextLayout textLayout;
    std::int32_t numPrevRuns = 0;
    TextTable prevRuns;  // previous test 1..p x factor 1..n
    // The saved matrix, grid row 1..R x column 1..C, the factor-name row included; R is 0 when
    // there is none (a read of the sheets never has one).
    std::int32_t numRows = 0, numCols = 0;
    TextTable matrix;
};
