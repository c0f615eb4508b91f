#pragma once
// A design as the library takes it: factors with their levels, the Constraints rows, the rules
// text (groups included), the tests already run and the rows the suite must start with.
// Names are compared exactly, case and spaces counting.

#include <vantrel/export.hpp>
#include <vantrel/result.hpp>

#include <map>
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

// What a model text holds besides the model, kept so that a text read writes back byte for
// byte: its comment and blank lines where they stood, the short form it wrote a group in and
// its line ends. A model built in code has none of them, and the blank lines of a text
// written afresh.
struct TextLayout {
    // The comment and blank lines above each factor's line, by factor (0-based), each line
    // ended by "\n"; those at the top of the text stand above the first factor.
    std::map<int, std::string> aboveFactor;
    // The blank lines between the last factor and the Constraints rows, and between the rows
    // (or the last factor, when there are none) and the rules text. A comment there is the
    // rules text's own first line.
    std::string aboveRows = "\n";
    std::string aboveRules = "\n";
    // The blank lines that end a text without rules (a rules text keeps its own).
    std::string endLines;
    // The groups the text wrote in its own form ("{ A, B } @ 2"), by the line of the rules
    // text that stands for each ("{ [A], [B] } @ 2;").
    std::map<std::string, std::string> groupLines;
    // Whether the text's lines end with CR LF rather than LF.
    bool crLfLineEnds = false;

    friend bool operator==(const TextLayout& a, const TextLayout& b)
    {
        return a.aboveFactor == b.aboveFactor && a.aboveRows == b.aboveRows && a.aboveRules == b.aboveRules &&
               a.endLines == b.endLines && a.groupLines == b.groupLines && a.crLfLineEnds == b.crLfLineEnds;
    }
};

struct VANTREL_API Model {
    std::vector<Factor> factors;
    std::vector<ConstraintRow> constraints;
    std::string rules;        // the rules text: rules and groups, in the rule language
    int rulesFirstLine = 1;   // the line of its source the rules text starts on, for messages
    std::vector<Row> previous;  // tests already run: whole rows, never asked again
    std::vector<Row> seeds;     // rows the suite starts with, completed by the generator
    TextLayout textLayout;      // how the model text it was read from was laid out

    // The factors' names in order.
    std::vector<std::string> FactorNames() const;
};

}  // namespace vantrel
