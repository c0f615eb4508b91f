#include "engine/RuleClauses.h"

#include <algorithm>

namespace {

class Encoder {
public:
    Encoder(const RuleProgram& program, const std::vector<int32_t>& levelOffset, int32_t firstFree, RuleClauses& out)
        : program_(program), levelOffset_(levelOffset), out_(out)
    {
        out_.numVariables = firstFree - 1;
    }

    // The rule holds; with a guard, only while the guard does.
    void Assert(const CompiledRule& rule, int32_t guard = 0)
    {
        const int32_t root = Literal(rule.root);
        Clause(guard != 0 ? std::vector<int32_t>{root, -guard} : std::vector<int32_t>{root});
        for (const int32_t f : rule.factors)
            if (std::find(oneLevel_.begin(), oneLevel_.end(), f) == oneLevel_.end()) {
                oneLevel_.push_back(f);
                AtMostOneLevel(f);
            }
    }

private:
    int32_t Level(int32_t f, int32_t level) const { return levelOffset_[static_cast<size_t>(f)] + level + 1; }
    int32_t Fresh() { return ++out_.numVariables; }

    void Clause(const std::vector<int32_t>& literals)
    {
        out_.literals.insert(out_.literals.end(), literals.begin(), literals.end());
        out_.literals.push_back(0);
    }

    // A literal that implies what the node says.
    int32_t Literal(int32_t index)
    {
        const RuleNode& node = program_.Nodes()[static_cast<size_t>(index)];
        switch (node.kind) {
        case RuleNode::Kind::Levels: return LevelsLiteral(node);
        case RuleNode::Kind::Pair: return PairLiteral(node);
        default: break;
        }
        std::vector<int32_t> children;
        for (uint32_t k = 0; k < node.count; ++k)
            children.push_back(Literal(program_.Kids()[node.first + k]));
        const int32_t t = Fresh();
        if (node.kind == RuleNode::Kind::All) {
            for (const int32_t child : children)
                Clause({-t, child});
        } else {
            children.insert(children.begin(), -t);
            Clause(children);
        }
        return t;
    }

    int32_t LevelsLiteral(const RuleNode& node)
    {
        std::vector<int32_t> held;
        const int32_t levels = program_.LevelsOf(node.f);
        for (int32_t l = 0; l < levels; ++l)
            if (program_.TruthAt(node.truth + static_cast<uint32_t>(l)))
                held.push_back(Level(node.f, l));
        if (held.size() == 1)
            return held[0];
        const int32_t t = Fresh();
        held.insert(held.begin(), -t);
        Clause(held);  // with no level at all, t can never hold
        return t;
    }

    int32_t PairLiteral(const RuleNode& node)
    {
        // For each level a of f: t and f = a imply a level of g that the pair holds for.
        const int32_t t = Fresh();
        const int32_t levelsF = program_.LevelsOf(node.f), levelsG = program_.LevelsOf(node.g);
        for (int32_t a = 0; a < levelsF; ++a) {
            std::vector<int32_t> clause{-t, -Level(node.f, a)};
            for (int32_t b = 0; b < levelsG; ++b)
                if (program_.TruthAt(node.truth + static_cast<uint32_t>(a * levelsG + b)))
                    clause.push_back(Level(node.g, b));
            Clause(clause);
        }
        return t;
    }

    void AtMostOneLevel(int32_t f)
    {
        const int32_t levels = program_.LevelsOf(f);
        constexpr int32_t kPairwiseUpTo = 8;
        if (levels <= kPairwiseUpTo) {
            for (int32_t a = 0; a < levels; ++a)
                for (int32_t b = a + 1; b < levels; ++b)
                    Clause({-Level(f, a), -Level(f, b)});
            return;
        }
        // A ladder: s_a says that some level up to a is held.
        int32_t previous = 0;
        for (int32_t a = 0; a + 1 < levels; ++a) {
            const int32_t s = Fresh();
            Clause({-Level(f, a), s});
            if (previous != 0) {
                Clause({-previous, s});
                Clause({-previous, -Level(f, a)});
            }
            previous = s;
        }
        Clause({-previous, -Level(f, levels - 1)});
    }

    const RuleProgram& program_;
    const std::vector<int32_t>& levelOffset_;
    RuleClauses& out_;
    std::vector<int32_t> oneLevel_;
};

}  // namespace

RuleClauses EncodeRules(const RuleProgram& program, const std::vector<int32_t>& rules, const std::vector<int32_t>& levelOffset)
{
    RuleClauses clauses;
    Encoder encoder(program, levelOffset, levelOffset.back() + 1, clauses);
    for (const int32_t r : rules)
        encoder.Assert(program.Rules()[static_cast<size_t>(r)]);
    return clauses;
}

RuleClauses EncodeGuardedRules(const RuleProgram& program, const std::vector<int32_t>& levelOffset, int32_t firstGuard,
                               int32_t firstFree)
{
    RuleClauses clauses;
    const auto numRules = static_cast<int32_t>(program.Rules().size());
    Encoder encoder(program, levelOffset, firstFree, clauses);
    for (int32_t r = 0; r < numRules; ++r)
        encoder.Assert(program.Rules()[static_cast<size_t>(r)], firstGuard + r);
    return clauses;
}
