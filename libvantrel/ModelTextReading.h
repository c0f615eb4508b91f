#pragma once
// A model text as it is read: its lines, the model so far, and the names it looks up. The
// factor lines are read first (ModelTextFactors.cpp), then the rows and the rules text
// (ModelTextRules.cpp).

#include <vantrel/model.hpp>
#include <vantrel/result.hpp>

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace modeltext {

struct Reading {
    std::vector<std::string_view> lines;  // without their ends
    vantrel::Model model;
    std::unordered_map<std::string, int> factorOf;  // index in model.factors, by name
    std::vector<int> factorLines;                   // the line of each factor
    std::vector<std::unordered_set<std::string>> levelNames;  // of each factor
    int firstRuleLine = 0;  // the line that ended the factors by starting a rule or a row

    bool HasLevel(int factor, const std::string& name) const { return levelNames[std::size_t(factor)].count(name) > 0; }
};

// The first problem of a text: where it stands (1-based) and what it is.
vantrel::Error Problem(int line, int column, std::string message,
                       vantrel::Error::Kind kind = vantrel::Error::Kind::Model);

// The text of line[from, to) without the blanks around it, and the byte of the line where it
// starts (to, when it is empty), whose column is worked out only for a message.
struct Piece {
    std::string_view text;
    std::size_t at = 0;
};
Piece PieceOf(std::string_view line, std::size_t from, std::size_t to);

// Reads the factor lines, each with the comment and blank lines above it, up to the first line
// that starts the rules; gives the index of the line after the last factor's.
vantrel::Result<std::size_t> ReadFactorPart(Reading& reading);

// Reads the lines from `from` on: the blank lines above the Constraints rows, the rows, the
// blank lines above the rules text, and the rules text to the end.
vantrel::Result<void> ReadRulesPart(Reading& reading, std::size_t from);

}  // namespace modeltext
