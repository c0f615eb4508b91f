#pragma once
// A design as the library takes it: factors with their levels, the Constraints rows, the rules
// text (groups included), the tests already run and the rows the suite must start with.
// Names are compared exactly, case and spaces counting.

#include <vantrel/export.hpp>
#include <vantrel/result.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

struct Level {
    std::string name;
    int weight = 1;                    // preferred to lighter levels where several are as good
    std::vector<std::string> aliases;  // other names the rules and rows may use
    bool invalid = false;              // tried on its own, in a negative test
};

struct Factor {
    std::string name;
    std::vector<Level> levels;
    // A factor of plain levels: weight 1, no other names, none invalid.
    static Factor Of(std::string name, const std::vector<std::string>& levels)
    {
        Factor factor{std::move(name), {}};
        for (const std::string& level : levels)
            factor.levels.push_back(Level{level, 1, {}, false});
        return factor;
    }
};

// "If factor ifFactor is at level ifLevel, then factor thenFactor can't be level thenLevel."
struct ConstraintRow {
    std::string ifFactor, ifLevel, thenFactor, thenLevel;
};

// One level per factor, in factor order: a level's name, one of its other names, or an invalid
// level's name after "~". In a seed row an empty cell is left to the generator.
using Row = std::vector<std::string>;

struct VANTREL_API Model {
    std::vector<Factor> factors;
    std::vector<ConstraintRow> constraints;
    std::string rules;        // the rules text: rules and groups, in the rule language
    int rulesFirstLine = 1;   // the line of its source the rules text starts on, for messages
    std::vector<Row> previous;  // tests already run: whole rows, never asked again
    std::vector<Row> seeds;     // rows the suite starts with, completed by the generator

    // The factors' names in order.
    std::vector<std::string> FactorNames() const;
};

}  // namespace vantrel
