#include "engine/RuleProgram.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace {

// Thrown within the compiler only: the first problem ends it.
struct CompileStop {
    RuleError error;
};

[[noreturn]] void Stop(RulePosition at, std::string message)
{
    throw CompileStop{{at, std::move(message)}};
}

bool IsOrdering(RuleOp op)
{
    return op != RuleOp::Equal && op != RuleOp::NotEqual;
}

// The length in bytes of the UTF-8 character that starts at text[i].
size_t CharLength(const std::string& text, size_t i)
{
    size_t length = 1;
    while (i + length < text.size() && (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

// "*" matches any run of characters, "?" one character; everything else itself.
bool Like(const std::string& text, const std::string& pattern)
{
    size_t t = 0, p = 0;
    size_t starAt = std::string::npos, resumeAt = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = ++p;
            resumeAt = t;
        } else if (p < pattern.size() && pattern[p] == '?') {
            t += CharLength(text, t);
            ++p;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++t;
            ++p;
        } else if (starAt != std::string::npos) {
            resumeAt += CharLength(text, resumeAt);
            t = resumeAt;
            p = starAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::string Shown(const RuleValue& value)
{
    return value.isNumber ? value.text : "\"" + value.text + "\"";
}

}  // namespace

// Looks up names and builds the trees, NOT pushed down to the terms.
class RuleCompiler {
public:
    RuleCompiler(const DesignTables& design, std::vector<RuleNode>& nodes, std::vector<int32_t>& kids,
                 std::vector<uint8_t>& truth, std::vector<int32_t>& keys)
        : design_(design), nodes_(nodes), kids_(kids), truth_(truth), keys_(keys)
    {
        const int32_t F = design.NumFactors();
        numbers_.resize(static_cast<size_t>(F));
        for (int32_t f = 0; f < F; ++f) {
            factorOf_[design.Name(f, 0)] = f;  // the last of equal names, as the Constraints rows take it
            std::vector<double> values;
            double value = 0;
            for (int32_t l = 1; l <= design.levelCounts[f] && ReadRuleNumber(design.Name(f, l), value); ++l)
                values.push_back(value);
            if (static_cast<int32_t>(values.size()) == design.levelCounts[f])
                numbers_[f] = std::move(values);
        }
    }

    CompiledGroup Group(const RuleStatement& statement)
    {
        CompiledGroup group;
        group.statement = statement.number;
        group.at = statement.at;
        for (size_t k = 0; k < statement.groupFactors.size(); ++k) {
            const int32_t f = Factor(statement.groupFactors[k], statement.groupFactorsAt[k]);
            if (std::find(group.factors.begin(), group.factors.end(), f) != group.factors.end())
                Stop(statement.groupFactorsAt[k], "factor [" + statement.groupFactors[k] + "] is twice in the group");
            group.factors.push_back(f);
        }
        std::sort(group.factors.begin(), group.factors.end());
        group.strength = statement.groupStrength;
        if (group.strength < 2 || group.strength > 6)
            Stop(statement.strengthAt, "group strength must be from 2 to 6, found " + std::to_string(group.strength));
        if (group.strength > static_cast<int32_t>(group.factors.size()))
            Stop(statement.strengthAt, "group strength " + std::to_string(group.strength) + " is larger than its " +
                                           std::to_string(group.factors.size()) + " factors");
        return group;
    }

    CompiledRule Statement(const RuleStatement& statement)
    {
        factors_.clear();
        CompiledRule rule;
        rule.statement = statement.number;
        rule.at = statement.at;
        const auto& parts = statement.parts;
        if (statement.kind == RuleStatement::Kind::Always) {
            rule.root = Build(parts[0], false);
        } else {
            const int32_t unlessCondition = Join(RuleNode::Kind::Any, {Build(parts[0], true), Build(parts[1], false)});
            rule.root = parts.size() < 3
                            ? unlessCondition
                            : Join(RuleNode::Kind::All,
                                   {unlessCondition, Join(RuleNode::Kind::Any, {Build(parts[0], false), Build(parts[2], false)})});
        }
        std::sort(factors_.begin(), factors_.end());
        factors_.erase(std::unique(factors_.begin(), factors_.end()), factors_.end());
        rule.factors = factors_;
        return rule;
    }

private:
    int32_t Levels(int32_t f) const { return design_.levelCounts[static_cast<size_t>(f)]; }
    bool Numeric(int32_t f) const { return !numbers_[static_cast<size_t>(f)].empty(); }
    double NumberOf(int32_t f, int32_t level) const { return numbers_[static_cast<size_t>(f)][static_cast<size_t>(level)]; }
    const std::string& NameOf(int32_t f, int32_t level) const { return design_.Name(f, level + 1); }

    int32_t Factor(const std::string& name, RulePosition at)
    {
        const auto found = factorOf_.find(name);
        if (found == factorOf_.end())
            Stop(at, "unknown factor [" + name + "]");
        factors_.push_back(found->second);
        return found->second;
    }

    int32_t Build(const RuleExpr& expr, bool negate)
    {
        switch (expr.kind) {
        case RuleExpr::Kind::Not: return Build(expr.children[0], !negate);
        case RuleExpr::Kind::And:
        case RuleExpr::Kind::Or: {
            const bool all = (expr.kind == RuleExpr::Kind::And) != negate;
            std::vector<int32_t> children;
            for (const RuleExpr& child : expr.children)
                children.push_back(Build(child, negate));
            return Join(all ? RuleNode::Kind::All : RuleNode::Kind::Any, children);
        }
        case RuleExpr::Kind::CompareFactors: return FactorsTerm(expr, negate);
        default: return LevelsTerm(expr, negate);
        }
    }

    int32_t Join(RuleNode::Kind kind, const std::vector<int32_t>& children)
    {
        // An AND of ANDs is one AND, an OR of ORs one OR: fewer nodes to walk.
        std::vector<int32_t> flat;
        for (const int32_t child : children) {
            const RuleNode& inner = nodes_[static_cast<size_t>(child)];
            if (inner.kind == kind)
                flat.insert(flat.end(), kids_.begin() + inner.first, kids_.begin() + inner.first + inner.count);
            else
                flat.push_back(child);
        }
        RuleNode node;
        node.kind = kind;
        node.first = static_cast<uint32_t>(kids_.size());
        node.count = static_cast<uint32_t>(flat.size());
        kids_.insert(kids_.end(), flat.begin(), flat.end());
        nodes_.push_back(node);
        return static_cast<int32_t>(nodes_.size()) - 1;
    }

    int32_t LevelsTerm(const RuleExpr& term, bool negate)
    {
        const int32_t f = Factor(term.factor, term.factorAt);
        std::vector<uint8_t> holds(static_cast<size_t>(Levels(f)), 0);
        if (term.kind == RuleExpr::Kind::Compare) {
            MarkCompared(f, term, term.values[0], holds);
        } else if (term.kind == RuleExpr::Kind::In) {
            for (const RuleValue& value : term.values)
                MarkCompared(f, term, value, holds);
        } else {
            const std::string& pattern = term.values[0].text;
            for (int32_t l = 0; l < Levels(f); ++l)
                holds[l] = Like(NameOf(f, l), pattern);
            if (std::find(holds.begin(), holds.end(), 1) == holds.end())
                Stop(term.values[0].at, "no level of [" + term.factor + "] is like \"" + pattern + "\"");
        }
        const bool flip = negate != term.negated;
        RuleNode node;
        node.kind = RuleNode::Kind::Levels;
        node.f = f;
        node.truth = static_cast<uint32_t>(truth_.size());
        for (const uint8_t h : holds)
            truth_.push_back(static_cast<uint8_t>(h != 0) ^ static_cast<uint8_t>(flip));
        nodes_.push_back(node);
        return static_cast<int32_t>(nodes_.size()) - 1;
    }

    // Marks the levels of f that `[f] op value` holds for (op is = for a value in a list).
    void MarkCompared(int32_t f, const RuleExpr& term, const RuleValue& value, std::vector<uint8_t>& holds)
    {
        const RuleOp op = term.kind == RuleExpr::Kind::In ? RuleOp::Equal : term.op;
        const std::string& factor = term.factor;
        double number = value.number;
        const bool readsAsNumber = value.isNumber || ReadRuleNumber(value.text, number);
        if (IsOrdering(op)) {
            if (!Numeric(f))
                Stop(term.opAt, "[" + factor + "] is not numeric: " + RuleOpText(op) + " needs numbers");
            if (!readsAsNumber)
                Stop(value.at, Shown(value) + " is not a number: " + RuleOpText(op) + " needs numbers");
        } else if (value.isNumber && !Numeric(f)) {
            Stop(value.at, "[" + factor + "] is not numeric: write the level as \"" + value.text + "\"");
        }
        bool any = false;
        for (int32_t l = 0; l < Levels(f); ++l) {
            const bool equal = Numeric(f) && readsAsNumber ? NumberOf(f, l) == number
                                                           : NameOf(f, l) == value.text || design_.IsAlias(f, l + 1, value.text);
            const bool holdsHere = IsOrdering(op) ? RuleProgram::Compare(NumberOf(f, l), op, number) : equal == (op == RuleOp::Equal);
            any = any || equal;
            holds[l] = holds[l] || holdsHere;
        }
        if (!IsOrdering(op) && !any)
            Stop(value.at, "factor [" + factor + "] has no level " + Shown(value));
    }

    int32_t FactorsTerm(const RuleExpr& term, bool negate)
    {
        const int32_t f = Factor(term.factor, term.factorAt);
        const int32_t g = Factor(term.other, term.otherAt);
        const bool byNumber = Numeric(f) && Numeric(g);
        if (IsOrdering(term.op) && !byNumber)
            Stop(term.opAt, "[" + (Numeric(f) ? term.other : term.factor) + "] is not numeric: " + RuleOpText(term.op) +
                                " needs numbers");
        RuleNode node;
        node.f = f;
        node.truth = static_cast<uint32_t>(truth_.size());
        if (f == g) {  // a factor compared with itself reads one level
            node.kind = RuleNode::Kind::Levels;
            for (int32_t a = 0; a < Levels(f); ++a)
                truth_.push_back(static_cast<uint8_t>(RuleProgram::Compare(0, term.op, 0) != negate));
            nodes_.push_back(node);
            return static_cast<int32_t>(nodes_.size()) - 1;
        }
        node.kind = RuleNode::Kind::Pair;
        node.g = g;
        node.op = negate ? Negated(term.op) : term.op;
        node.truth = static_cast<uint32_t>(keys_.size());
        node.other = node.truth + static_cast<uint32_t>(Levels(f));
        const bool anyEqual = byNumber ? AddNumberKeys(f, g) : AddNameKeys(f, g);
        // Compared for equality, two factors with no level in common make a rule that never fires.
        if (!anyEqual && !IsOrdering(term.op))
            Stop(term.opAt, "[" + term.factor + "] and [" + term.other + "] have no level in common: [" + term.factor +
                                "] " + RuleOpText(term.op) + " [" + term.other + "] is " +
                                (term.op == RuleOp::Equal ? "never" : "always") + " true");
        nodes_.push_back(node);
        return static_cast<int32_t>(nodes_.size()) - 1;
    }

    static RuleOp Negated(RuleOp op)
    {
        switch (op) {
        case RuleOp::Equal: return RuleOp::NotEqual;
        case RuleOp::NotEqual: return RuleOp::Equal;
        case RuleOp::Less: return RuleOp::GreaterOrEqual;
        case RuleOp::LessOrEqual: return RuleOp::Greater;
        case RuleOp::Greater: return RuleOp::LessOrEqual;
        case RuleOp::GreaterOrEqual: return RuleOp::Less;
        }
        return op;
    }

    // The keys of f's levels, then g's: the rank of each level's number among the numbers of
    // both. Whether a level of f equals one of g.
    bool AddNumberKeys(int32_t f, int32_t g)
    {
        std::vector<double> values;
        for (const int32_t factor : {f, g})
            for (int32_t l = 0; l < Levels(factor); ++l)
                values.push_back(NumberOf(factor, l));
        std::sort(values.begin(), values.end());
        values.erase(std::unique(values.begin(), values.end()), values.end());
        for (const int32_t factor : {f, g})
            for (int32_t l = 0; l < Levels(factor); ++l)
                keys_.push_back(static_cast<int32_t>(std::lower_bound(values.begin(), values.end(), NumberOf(factor, l)) - values.begin()));
        return SharesKey(f, g, static_cast<int32_t>(values.size()));
    }

    // The keys of f's levels, then g's: one per distinct name.
    bool AddNameKeys(int32_t f, int32_t g)
    {
        std::unordered_map<std::string_view, int32_t> keyOf;
        for (const int32_t factor : {f, g})
            for (int32_t l = 0; l < Levels(factor); ++l)
                keys_.push_back(keyOf.emplace(NameOf(factor, l), static_cast<int32_t>(keyOf.size())).first->second);
        return SharesKey(f, g, static_cast<int32_t>(keyOf.size()));
    }

    // Whether the last keys added, f's then g's, share a key.
    bool SharesKey(int32_t f, int32_t g, int32_t numKeys) const
    {
        std::vector<uint8_t> ofF(static_cast<size_t>(numKeys), 0);
        const size_t first = keys_.size() - static_cast<size_t>(Levels(f) + Levels(g));
        for (size_t k = first; k < first + static_cast<size_t>(Levels(f)); ++k)
            ofF[static_cast<size_t>(keys_[k])] = 1;
        for (size_t k = first + static_cast<size_t>(Levels(f)); k < keys_.size(); ++k)
            if (ofF[static_cast<size_t>(keys_[k])])
                return true;
        return false;
    }

    const DesignTables& design_;
    std::vector<RuleNode>& nodes_;
    std::vector<int32_t>& kids_;
    std::vector<uint8_t>& truth_;
    std::vector<int32_t>& keys_;
    std::unordered_map<std::string, int32_t> factorOf_;
    std::vector<std::vector<double>> numbers_;  // per factor: its levels' numbers, empty when not numeric
    std::vector<int32_t> factors_;              // of the rule being built
};

bool RuleProgram::Compile(const std::vector<RuleStatement>& statements, const DesignTables& design, RuleError& error)
{
    levels_ = design.levelCounts;
    rules_.clear();
    groups_.clear();
    nodes_.clear();
    kids_.clear();
    truth_.clear();
    keys_.clear();
    literals_.clear();
    clauseBegin_.assign(1, 0);
    RuleCompiler compiler(design, nodes_, kids_, truth_, keys_);
    try {
        for (const RuleStatement& statement : statements) {
            if (statement.kind == RuleStatement::Kind::Group)
                groups_.push_back(compiler.Group(statement));
            else
                rules_.push_back(compiler.Statement(statement));
        }
    } catch (const CompileStop& stop) {
        error = stop.error;
        rules_.clear();
        groups_.clear();
        return false;
    }
    for (CompiledRule& rule : rules_)
        MakeClauses(rule);
    return true;
}

namespace {
constexpr size_t kMostClauses = 64;
}  // namespace

bool RuleProgram::ClausesOf(int32_t index, std::vector<std::vector<ClauseLiteral>>& clauses) const
{
    // AND joins the children's clauses; OR distributes over them, as long as they stay few.
    const RuleNode& node = nodes_[static_cast<size_t>(index)];
    switch (node.kind) {
    case RuleNode::Kind::Levels: clauses = {{ClauseLiteral{node.f, node.truth}}}; return true;
    case RuleNode::Kind::Pair: return false;
    case RuleNode::Kind::All:
        clauses.clear();
        for (uint32_t k = 0; k < node.count; ++k) {
            std::vector<std::vector<ClauseLiteral>> child;
            if (!ClausesOf(kids_[node.first + k], child) || clauses.size() + child.size() > kMostClauses)
                return false;
            clauses.insert(clauses.end(), child.begin(), child.end());
        }
        return true;
    case RuleNode::Kind::Any:
        clauses = {{}};
        for (uint32_t k = 0; k < node.count; ++k) {
            std::vector<std::vector<ClauseLiteral>> child, product;
            if (!ClausesOf(kids_[node.first + k], child) || clauses.size() * child.size() > kMostClauses)
                return false;
            for (const auto& left : clauses)
                for (const auto& right : child) {
                    product.push_back(left);
                    product.back().insert(product.back().end(), right.begin(), right.end());
                }
            clauses = std::move(product);
        }
        return true;
    }
    return false;
}

void RuleProgram::MakeClauses(CompiledRule& rule)
{
    std::vector<std::vector<ClauseLiteral>> clauses;
    for (const int32_t f : rule.factors)
        if (levels_[static_cast<size_t>(f)] > 64)
            return;
    if (!ClausesOf(rule.root, clauses))
        return;
    // The literals of one factor in a clause become one, of the levels of any of them.
    rule.firstClause = static_cast<uint32_t>(clauseBegin_.size()) - 1;
    rule.numClauses = static_cast<uint32_t>(clauses.size());
    rule.clausesReadAll = true;
    for (const auto& clause : clauses) {
        for (const int32_t f : rule.factors) {
            ClauseLiteral merged{f, static_cast<uint32_t>(truth_.size())};
            bool any = false;
            truth_.resize(truth_.size() + static_cast<size_t>(levels_[static_cast<size_t>(f)]), 0);
            for (const ClauseLiteral& literal : clause)
                if (literal.f == f) {
                    any = true;
                    for (int32_t l = 0; l < levels_[static_cast<size_t>(f)]; ++l)
                        truth_[merged.truth + static_cast<uint32_t>(l)] |= truth_[literal.truth + static_cast<uint32_t>(l)];
                }
            for (int32_t l = 0; l < levels_[static_cast<size_t>(f)]; ++l)
                merged.levels |= static_cast<uint64_t>(truth_[merged.truth + static_cast<uint32_t>(l)]) << l;
            if (any)
                literals_.push_back(merged);
            else
                truth_.resize(merged.truth);
        }
        const uint32_t read = static_cast<uint32_t>(literals_.size()) - clauseBegin_.back();
        rule.clausesReadAll = rule.clausesReadAll && read == rule.factors.size();
        clauseBegin_.push_back(static_cast<uint32_t>(literals_.size()));
    }
}

RuleProgram::Truth RuleProgram::EvalClauses(const CompiledRule& rule, const int32_t* row, int32_t f, int32_t level) const
{
    Truth result = Truth::True;
    for (uint32_t c = rule.firstClause; c < rule.firstClause + rule.numClauses; ++c) {
        Truth clause = Truth::False;
        for (uint32_t k = clauseBegin_[c]; k < clauseBegin_[c + 1]; ++k) {
            const ClauseLiteral& literal = literals_[k];
            const int32_t a = literal.f == f ? level : row[literal.f];
            if (a < 0) {
                clause = Truth::Unknown;
            } else if ((literal.levels >> a) & 1) {
                clause = Truth::True;
                break;
            }
        }
        if (clause == Truth::False)
            return Truth::False;
        if (clause == Truth::Unknown)
            result = Truth::Unknown;
    }
    return result;
}

RuleProgram::Truth RuleProgram::Eval(int32_t index, const int32_t* row, int32_t f, int32_t level) const
{
    const RuleNode& node = nodes_[static_cast<size_t>(index)];
    const auto levelOf = [&](int32_t factor) { return factor == f ? level : row[factor]; };
    switch (node.kind) {
    case RuleNode::Kind::Levels: {
        const int32_t a = levelOf(node.f);
        return a < 0 ? Truth::Unknown : truth_[node.truth + static_cast<uint32_t>(a)] ? Truth::True : Truth::False;
    }
    case RuleNode::Kind::Pair: {
        const int32_t a = levelOf(node.f), b = levelOf(node.g);
        if (a < 0 || b < 0)
            return Truth::Unknown;
        return PairHolds(node, a, b) ? Truth::True : Truth::False;
    }
    case RuleNode::Kind::All:
    case RuleNode::Kind::Any: {
        // All: false at the first false child; Any: true at the first true one.
        const Truth decisive = node.kind == RuleNode::Kind::All ? Truth::False : Truth::True;
        Truth result = node.kind == RuleNode::Kind::All ? Truth::True : Truth::False;
        for (uint32_t k = 0; k < node.count; ++k) {
            // A term over one factor, the commonest child, is read here without a call.
            const RuleNode& kid = nodes_[static_cast<size_t>(kids_[node.first + k])];
            Truth child;
            if (kid.kind == RuleNode::Kind::Levels) {
                const int32_t a = levelOf(kid.f);
                child = a < 0 ? Truth::Unknown : truth_[kid.truth + static_cast<uint32_t>(a)] ? Truth::True : Truth::False;
            } else {
                child = Eval(kids_[node.first + k], row, f, level);
            }
            if (child == decisive)
                return decisive;
            if (child == Truth::Unknown)
                result = Truth::Unknown;
        }
        return result;
    }
    }
    return Truth::Unknown;
}
