#pragma once
// The level a cell names, as test cases, seeds and suites write them: a level's name, one of
// its other names, or an invalid level's name as test cases show it ("~" first). A plain name
// wins over another level's other name, which wins over a shown name; among levels of one
// kind the first does. Made once per design, so that reading a large suite costs time in
// proportion to its cells.

#include "engine/DesignTables.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class LevelLookup {
public:
    explicit LevelLookup(const DesignTables& design);

    // The level code (1-based) the text names in factor f (0-based); 0 for none.
    int32_t Level(int32_t f, const std::string& text) const;
    // A row of names as level codes, 0-based, -1 where a cell names no level; cells past the
    // row's end name none.
    std::vector<int32_t> Codes(const std::vector<std::string>& row) const;
    std::vector<std::vector<int32_t>> Codes(const std::vector<std::vector<std::string>>& rows) const;

private:
    std::vector<std::unordered_map<std::string, int32_t>> byName_;
};
