#pragma once
// Why no valid test case can hold some levels: the smallest set of Constraints rows and rules
// that forbids them together, or that two of them are invalid levels; or, when they can stand
// together, a valid test case that holds them.
//
// The solver is given each Constraints row and each rule behind a switch of its own; asked
// with every switch on, it names the switches its refusal needed, and that set is then made
// smaller one switch at a time until none can go. What the constraints only imply (levels and
// pairs no valid row holds) is left out: the answer names what the tester wrote.

#include "engine/ConstraintModel.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace CaDiCaL {
class Solver;
}

struct ExclusionReason {
    enum class Kind {
        CanOccur,          // example holds a valid test case with them
        SameFactor,        // two levels of one factor
        TwoInvalidLevels,  // two invalid levels never share a test case
        Statements,        // these Constraints rows and rules forbid them together
        InvalidLevels,     // they need a further invalid level (or one, where none may stand)
    };
    Kind kind = Kind::CanOccur;
    ConstraintModel::Statements statements;
    std::vector<int32_t> example;  // CanOccur: level codes, 0-based, one per factor
    bool validOnly = false;        // asked for a test case without an invalid level
};

class ExclusionExplainer {
public:
    explicit ExclusionExplainer(const ConstraintModel& model);
    ~ExclusionExplainer();
    ExclusionExplainer(const ExclusionExplainer&) = delete;
    ExclusionExplainer& operator=(const ExclusionExplainer&) = delete;

    // entries: level entries. validOnly: they must stand in a test case without an invalid
    // level (the combinations of valid levels are covered there).
    ExclusionReason Explain(const std::vector<int32_t>& entries, bool validOnly = false);

private:
    bool Solve(const std::vector<int32_t>& entries, const std::vector<int32_t>& guards, bool validOnly);
    std::vector<int32_t> FailedGuards(const std::vector<int32_t>& guards) const;
    ConstraintModel::Statements Named(const std::vector<int32_t>& entries) const;
    ConstraintModel::Statements StatementsOf(const std::vector<int32_t>& guards) const;
    std::vector<int32_t> Example(const std::vector<int32_t>& entries) const;
    void EncodeInvalidLevels();

    const ConstraintModel& model_;
    std::unique_ptr<CaDiCaL::Solver> solver_;
    int32_t firstRuleGuard_ = 0;  // then the Constraints rows' guards
    int32_t validSelector_ = 0;   // assumed: no invalid level
    int32_t nextVariable_ = 0;
};

// The statements as a phrase: "the rule on line 11", "Constraints row 2", "the rules on lines
// 3 and 11 together". firstRuleLine: the line the rules text starts on, where its lines are told.
std::string DescribeStatements(const ConstraintModel::Statements& statements, const ConstraintModel& model,
                               int32_t firstRuleLine = 1);
// Why the levels cannot occur: the statements' phrase, or "two invalid levels never share a
// test case", "a test case holds one level of each factor", ...; empty where they can.
std::string ReasonPhrase(const ExclusionReason& reason, const ConstraintModel& model, int32_t firstRuleLine = 1);
