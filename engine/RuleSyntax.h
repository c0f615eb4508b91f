#pragma once
// The rules text of a design, parsed: its statements as written, before any name is looked
// up. Statements end with ";", "#" comments run to the end of the line.
//
//     IF predicate THEN predicate [ELSE predicate];     when the first holds, the second must
//     predicate;                                        always holds
//     { [A], [B], [C] } @ 3;                            a group: every combination of 3 of
//                                                       these factors' levels is covered
//
// A predicate combines terms with NOT, AND and OR (in that order of binding) and parentheses.
// A term compares a factor with a value ([Size] >= 10, [OS] = "Mac"), with another factor
// ([Min] <= [Max]), with a list ([OS] IN {"Mac", "Linux"}, NOT IN) or with a pattern ([OS] LIKE
// "Win*", NOT LIKE). Keywords are case-insensitive; factor and level names are exact.

#include "engine/RuleError.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class RuleOp { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual };

// The operator as written in the text.
const char* RuleOpText(RuleOp op);

struct RuleValue {
    bool isNumber = false;
    std::string text;   // a quoted value's text, or a number as written
    double number = 0;  // a number's value
    RulePosition at;
};

struct RuleExpr {
    enum class Kind {
        Compare,         // [factor] op value
        CompareFactors,  // [factor] op [other]
        In,              // [factor] IN {values}, NOT IN when negated
        Like,            // [factor] LIKE "pattern", NOT LIKE when negated
        Not,
        And,
        Or,
    };
    Kind kind = Kind::Compare;
    RulePosition at;  // where the term or the operator's first operand starts
    std::string factor;
    RulePosition factorAt;
    RuleOp op = RuleOp::Equal;
    RulePosition opAt;
    std::string other;
    RulePosition otherAt;
    std::vector<RuleValue> values;  // Compare: one; In: the list; Like: the pattern
    bool negated = false;
    std::vector<RuleExpr> children;  // Not: one; And, Or: two or more
};

struct RuleStatement {
    enum class Kind { Always, If, Group };
    Kind kind = Kind::Always;
    RulePosition at;
    int32_t number = 0;  // 1-based, in the order of the text
    // Always: the predicate. If: the condition, the consequence and, with ELSE, the alternative.
    std::vector<RuleExpr> parts;
    // Group: its factors as written, and its strength.
    std::vector<std::string> groupFactors;
    std::vector<RulePosition> groupFactorsAt;
    int32_t groupStrength = 0;
    RulePosition strengthAt;
};

struct ParsedRules {
    std::vector<RuleStatement> statements;
    bool ok = true;
    RuleError error;  // the first problem, when not ok
};

ParsedRules ParseRules(std::string_view text);

// Whether the whole text is a number as the rules write one (-12, 3.5, 1e3): what makes a level
// numeric. Nothing around it, no locale.
bool ReadRuleNumber(std::string_view text, double& value);
