#pragma once
// Rules as clauses for the constraint solver. Variable e + 1 is level entry e (the level is the
// row's); further variables stand for the terms and the ANDs and ORs of a rule. Each one only
// implies what it stands for, which is enough: a rule is asserted true, and NOT stands only
// before terms. Every factor a rule reads holds at most one level, so a solution is one row.

#include "engine/RuleProgram.h"

#include <cstdint>
#include <vector>

struct RuleClauses {
    int32_t numVariables = 0;
    std::vector<int32_t> literals;  // the clauses one after the other, each ended by 0
};

// levelOffset: the first level entry of each factor and the number of entries at the end.
// rules: the rules to encode, by their index in the program.
RuleClauses EncodeRules(const RuleProgram& program, const std::vector<int32_t>& rules,
                        const std::vector<int32_t>& levelOffset);

// Every rule of the program, rule r holding only while its guard, variable firstGuard + r, is
// true; the encoding's own variables start at firstFree.
RuleClauses EncodeGuardedRules(const RuleProgram& program, const std::vector<int32_t>& levelOffset, int32_t firstGuard,
                               int32_t firstFree);
