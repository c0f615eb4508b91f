#pragma once
// The statements of a rules text with their names looked up in the design: each rule is a
// small tree over level codes that says whether a row keeps it.
//
// NOT is pushed down to the terms, so a tree holds only terms, ANDs and ORs. A term over one
// factor ([Size] >= 10, [OS] IN {...}) is a table of truth per level; a term comparing two
// factors ([Min] <= [Max], [A] = [B]) keeps a key per level of each, so that it costs their
// levels, not their pairs: levels of equal value share a key, and keys keep the values' order.
// IF c THEN t ELSE e becomes (NOT c OR t) AND (c OR e).
//
// A row may be partial (level -1 where a factor is open): a rule is then true, false, or not
// yet known. Evaluation reads the tables and allocates nothing, so evolutions on several
// threads share one program. A rule of terms over one factor each whose clauses are few (an
// IF over ANDs with an OR after THEN is one clause) is also kept as clauses, one literal per
// factor, which are read in a plain loop; the answers are the same.

#include "engine/DesignTables.h"
#include "engine/RuleError.h"
#include "engine/RuleSyntax.h"

#include <cstdint>
#include <vector>

struct RuleNode {
    enum class Kind : uint8_t { Levels, Pair, All, Any };
    Kind kind = Kind::Levels;
    int32_t f = -1;       // Levels, Pair: the factor (0-based)
    int32_t g = -1;       // Pair: the second factor
    uint32_t truth = 0;   // Levels: truth of level l at truth + l; Pair: f's keys from here
    uint32_t other = 0;   // Pair: g's keys from here
    RuleOp op = RuleOp::Equal;  // Pair: (a, b) holds when key(a) op key(b)
    uint32_t first = 0;   // All, Any: the children, node numbers at kids[first .. first + count)
    uint32_t count = 0;
};

struct CompiledRule {
    int32_t statement = 0;  // 1-based, in the order of the text
    RulePosition at;
    int32_t root = 0;
    std::vector<int32_t> factors;  // the factors it reads, ascending
    uint32_t firstClause = 0;      // its clauses, when it has them
    uint32_t numClauses = 0;       // 0: read as a tree
    bool clausesReadAll = false;   // every clause reads every factor: false only once all are fixed
};

// A group of factors whose combinations of `strength` levels are all to be covered.
struct CompiledGroup {
    int32_t statement = 0;
    RulePosition at;
    std::vector<int32_t> factors;  // ascending
    int32_t strength = 0;
};

// A literal of a clause: factor f at a level whose truth at truth + level is set; for a
// clause kept to be read, the levels as bits of a word (factors of at most 64 levels).
struct ClauseLiteral {
    int32_t f = 0;
    uint32_t truth = 0;
    uint64_t levels = 0;
};

class RuleProgram {
public:
    enum class Truth : uint8_t { False, True, Unknown };

    // Looks up the names of the parsed statements in the design. False on the first problem
    // (an unknown factor or level, a comparison that needs numbers), which `error` then holds.
    bool Compile(const std::vector<RuleStatement>& statements, const DesignTables& design, RuleError& error);

    const std::vector<CompiledRule>& Rules() const { return rules_; }
    const std::vector<CompiledGroup>& Groups() const { return groups_; }
    const std::vector<RuleNode>& Nodes() const { return nodes_; }
    const std::vector<int32_t>& Kids() const { return kids_; }
    bool TruthAt(uint32_t index) const { return truth_[index] != 0; }
    // A Pair node: whether level a of f and level b of g hold it, and the keys of the levels of
    // f (second: of g).
    bool PairHolds(const RuleNode& node, int32_t a, int32_t b) const
    {
        return Compare(keys_[node.truth + static_cast<uint32_t>(a)], node.op, keys_[node.other + static_cast<uint32_t>(b)]);
    }
    // Clause c of the rules kept as clauses (rule.firstClause on): its literals, one per factor.
    const ClauseLiteral* ClauseBegin(uint32_t c) const { return literals_.data() + clauseBegin_[c]; }
    const ClauseLiteral* ClauseEnd(uint32_t c) const { return literals_.data() + clauseBegin_[c + 1]; }
    const int32_t* KeysOf(const RuleNode& node, bool second) const { return &keys_[second ? node.other : node.truth]; }
    // a op b, for keys and for numbers.
    template <typename T>
    static bool Compare(T a, RuleOp op, T b)
    {
        switch (op) {
        case RuleOp::Equal: return a == b;
        case RuleOp::NotEqual: return a != b;
        case RuleOp::Less: return a < b;
        case RuleOp::LessOrEqual: return a <= b;
        case RuleOp::Greater: return a > b;
        case RuleOp::GreaterOrEqual: return a >= b;
        }
        return false;
    }
    int32_t LevelsOf(int32_t f) const { return levels_[static_cast<size_t>(f)]; }

    // The rule on a row of 0-based level codes, -1 for an open factor; with `f` >= 0, as if
    // factor f were at `level` instead.
    Truth Evaluate(const CompiledRule& rule, const int32_t* row, int32_t f = -1, int32_t level = -1) const
    {
        return rule.numClauses > 0 ? EvalClauses(rule, row, f, level) : Eval(rule.root, row, f, level);
    }

private:
    Truth Eval(int32_t node, const int32_t* row, int32_t f, int32_t level) const;
    Truth EvalClauses(const CompiledRule& rule, const int32_t* row, int32_t f, int32_t level) const;
    void MakeClauses(CompiledRule& rule);
    bool ClausesOf(int32_t node, std::vector<std::vector<ClauseLiteral>>& clauses) const;

    std::vector<int32_t> levels_;
    std::vector<CompiledRule> rules_;
    std::vector<CompiledGroup> groups_;
    std::vector<RuleNode> nodes_;
    std::vector<int32_t> kids_;
    std::vector<uint8_t> truth_;
    std::vector<int32_t> keys_;
    std::vector<ClauseLiteral> literals_;
    std::vector<uint32_t> clauseBegin_;  // clause k: literals_[clauseBegin_[k] .. clauseBegin_[k + 1])
};
