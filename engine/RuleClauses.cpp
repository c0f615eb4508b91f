#include "engine/RuleClauses.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace {

// A term comparing two factors of at most this many pairs of levels lists, for each level of
// the first, the levels of the second it holds with; larger ones take a ladder over the keys.
constexpr int64_t kMostPairsListed = 4096;

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
        if (guard == 0 && rule.numClauses > 0)
            AssertClauses(rule);
        else
            Clause(guard != 0 ? std::vector<int32_t>{Literal(rule.root), -guard} : std::vector<int32_t>{Literal(rule.root)});
        for (const int32_t f : rule.factors)
            if (std::find(oneLevel_.begin(), oneLevel_.end(), f) == oneLevel_.end()) {
                oneLevel_.push_back(f);
                AtMostOneLevel(f);
            }
    }

private:
    // A rule kept as clauses, each as it stands: with one level per factor, "f at one of these
    // levels" is those levels' variables, or the one level it leaves out negated. No further
    // variables, which keeps the solver's work per question small.
    void AssertClauses(const CompiledRule& rule)
    {
        for (uint32_t c = rule.firstClause; c < rule.firstClause + rule.numClauses; ++c) {
            std::vector<int32_t> clause;
            bool always = false;
            for (const ClauseLiteral* literal = program_.ClauseBegin(c); literal != program_.ClauseEnd(c); ++literal) {
                const int32_t levels = program_.LevelsOf(literal->f);
                const int held = std::popcount(literal->levels);
                always = always || held == levels;
                for (int32_t l = 0; l < levels; ++l)
                    if (held == levels - 1 && !((literal->levels >> l) & 1))
                        clause.push_back(-Level(literal->f, l));
                    else if (held < levels - 1 && ((literal->levels >> l) & 1))
                        clause.push_back(Level(literal->f, l));
            }
            if (!always)
                Clause(clause);
        }
    }

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
        const int32_t t = Fresh();
        const int32_t levelsF = program_.LevelsOf(node.f), levelsG = program_.LevelsOf(node.g);
        if (int64_t{levelsF} * levelsG <= kMostPairsListed) {
            // For each level a of f: t and f = a imply a level of g that the pair holds for.
            for (int32_t a = 0; a < levelsF; ++a) {
                std::vector<int32_t> clause{-t, -Level(node.f, a)};
                for (int32_t b = 0; b < levelsG; ++b)
                    if (program_.PairHolds(node, a, b))
                        clause.push_back(Level(node.g, b));
                Clause(clause);
            }
            return t;
        }
        // Many pairs: g's levels in the order of their keys, with a ladder that says how far
        // along that order g's level lies. The levels of g a level of f holds the term for are
        // one run of that order, or all but one run; each takes two clauses at most.
        const KeyLadder ladder = Ladder(node);
        const int32_t* keysF = program_.KeysOf(node, false);
        for (int32_t a = 0; a < levelsF; ++a) {
            const auto [below, upTo] = ladder.Run(keysF[a]);
            const int32_t level = Level(node.f, a);
            switch (node.op) {
            case RuleOp::Equal: InRun(t, level, ladder, below, upTo); break;
            case RuleOp::NotEqual: OutOfRun(t, level, ladder, below, upTo); break;
            // a < b: b's key is above a's, and so on.
            case RuleOp::Less: InRun(t, level, ladder, upTo, levelsG); break;
            case RuleOp::LessOrEqual: InRun(t, level, ladder, below, levelsG); break;
            case RuleOp::Greater: InRun(t, level, ladder, 0, below); break;
            case RuleOp::GreaterOrEqual: InRun(t, level, ladder, 0, upTo); break;
            }
        }
        return t;
    }

    // Over g's levels sorted by key: sorted[k] the k-th, keys[k] its key, and prefix[k] a
    // variable true exactly when g's level is one of the first k + 1 (k < levels - 1).
    struct KeyLadder {
        std::vector<int32_t> keys;
        std::vector<int32_t> prefix;
        // The levels of a key: those from `below` (of smaller keys) up to `upTo`.
        std::pair<int32_t, int32_t> Run(int32_t key) const
        {
            return {static_cast<int32_t>(std::lower_bound(keys.begin(), keys.end(), key) - keys.begin()),
                    static_cast<int32_t>(std::upper_bound(keys.begin(), keys.end(), key) - keys.begin())};
        }
        // The literal "g's level is one of the first n", 0 for always false (n = 0) or always
        // true (n = all).
        int32_t First(int32_t n) const { return n <= 0 || n > static_cast<int32_t>(prefix.size()) ? 0 : prefix[static_cast<size_t>(n - 1)]; }
    };

    KeyLadder Ladder(const RuleNode& node)
    {
        const int32_t levels = program_.LevelsOf(node.g);
        const int32_t* keys = program_.KeysOf(node, true);
        std::vector<int32_t> sorted(static_cast<size_t>(levels));
        for (int32_t b = 0; b < levels; ++b)
            sorted[static_cast<size_t>(b)] = b;
        std::stable_sort(sorted.begin(), sorted.end(), [keys](int32_t x, int32_t y) { return keys[x] < keys[y]; });
        KeyLadder ladder;
        for (const int32_t b : sorted)
            ladder.keys.push_back(keys[b]);
        // p_k holds when the level is the k-th or p_(k-1) does, and only then.
        for (int32_t k = 0; k + 1 < levels; ++k) {
            const int32_t p = Fresh(), level = Level(node.g, sorted[static_cast<size_t>(k)]);
            Clause({-level, p});
            if (k == 0) {
                Clause({-p, level});
            } else {
                Clause({-ladder.prefix.back(), p});
                Clause({-p, ladder.prefix.back(), level});
            }
            ladder.prefix.push_back(p);
        }
        return ladder;
    }

    // t and the level imply that g's level is from the first `from` up to the first `to`.
    void InRun(int32_t t, int32_t level, const KeyLadder& ladder, int32_t from, int32_t to)
    {
        const int32_t total = static_cast<int32_t>(ladder.keys.size());
        if (from >= to) {
            Clause({-t, -level});
            return;
        }
        if (to < total)
            Clause({-t, -level, ladder.First(to)});
        if (from > 0)
            Clause({-t, -level, -ladder.First(from)});
    }

    // t and the level imply that g's level is outside that run.
    void OutOfRun(int32_t t, int32_t level, const KeyLadder& ladder, int32_t from, int32_t to)
    {
        const int32_t total = static_cast<int32_t>(ladder.keys.size());
        if (from >= to)
            return;
        std::vector<int32_t> clause{-t, -level};
        if (to < total)
            clause.push_back(-ladder.First(to));
        if (from > 0)
            clause.push_back(ladder.First(from));
        Clause(clause);
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
