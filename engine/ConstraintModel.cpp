#include "engine/ConstraintModel.h"

#include "engine/RuleSyntax.h"

#include <algorithm>
#include <bit>

namespace {

bool ParseAndCompile(const DesignTables& design, RuleProgram& program, RuleError& error)
{
    const ParsedRules parsed = ParseRules(design.rules);
    if (!parsed.ok) {
        error = parsed.error;
        return false;
    }
    return program.Compile(parsed.statements, design, error);
}

}  // namespace

bool ConstraintModel::CheckRules(const DesignTables& design, RuleError& error)
{
    RuleProgram program;
    return ParseAndCompile(design, program, error);
}

ConstraintCompile ConstraintModel::Compile(const DesignTables& design)
{
    ConstraintCompile result;
    std::shared_ptr<ConstraintModel> model(new ConstraintModel());
    model->Layout(design.levelCounts);
    if (!model->ResolveRows(design, result))
        return result;
    if (!ParseAndCompile(design, model->program_, result.ruleError)) {
        result.problem = ConstraintCompile::Problem::Rules;
        return result;
    }
    model->MarkInvalidLevels(design);
    model->SplitRules();
    model->FindImplied();
    if (model->HasWideRules())
        model->FindCornering();
    result.model = std::move(model);
    return result;
}

std::shared_ptr<const ConstraintModel> ConstraintModel::FromRowCodes(const std::vector<int32_t>& levels,
                                                                    const std::vector<std::array<int32_t, 4>>& rows)
{
    std::shared_ptr<ConstraintModel> model(new ConstraintModel());
    model->Layout(levels);
    model->rowCodes_ = rows;
    model->ExcludeRowPairs();
    model->SplitRules();
    model->FindImplied();
    return model;
}

void ConstraintModel::Layout(const std::vector<int32_t>& levels)
{
    const auto F = static_cast<int32_t>(levels.size());
    levels_ = levels;
    levelOffset_.assign(static_cast<size_t>(F) + 1, 0);
    for (int32_t f = 0; f < F; ++f)
        levelOffset_[f + 1] = levelOffset_[f] + levels[f];
    levelFactor_.assign(static_cast<size_t>(levelOffset_[F]), 0);
    for (int32_t f = 0; f < F; ++f)
        std::fill(levelFactor_.begin() + levelOffset_[f], levelFactor_.begin() + levelOffset_[f + 1], f);
    forbidden_.assign(levelFactor_.size(), 0);
    unusable_.assign(levelFactor_.size(), 0);
    exclusions_ = LevelExclusions(levelOffset_);
    wideOfFirst_.assign(static_cast<size_t>(F) + 1, 0);
}

bool ConstraintModel::ResolveRows(const DesignTables& design, ConstraintCompile& result)
{
    const int32_t F = design.NumFactors();
    for (size_t c = 0; c < design.constraints.size(); ++c) {
        const auto& fields = design.constraints[c];
        int32_t ifFactor = 0, thenFactor = 0;
        // The last matching factor wins, the first matching level.
        for (int32_t f = 0; f < F; ++f) {
            if (design.Name(f, 0) == fields[0])
                ifFactor = f + 1;
            if (design.Name(f, 0) == fields[2])
                thenFactor = f + 1;
        }
        result.row = static_cast<int32_t>(c) + 1;
        if (ifFactor == 0 || thenFactor == 0 || ifFactor == thenFactor) {
            result.problem = ConstraintCompile::Problem::RowFactors;
            return false;
        }
        const auto levelCode = [&](int32_t factor, const std::string& name) {
            for (int32_t l = 1; l <= design.levelCounts[factor - 1]; ++l)
                if (design.Name(factor - 1, l) == name)
                    return l;
            return 0;
        };
        const int32_t ifLevel = levelCode(ifFactor, fields[1]);
        const int32_t thenLevel = levelCode(thenFactor, fields[3]);
        if (ifLevel == 0 || thenLevel == 0) {
            result.problem = ConstraintCompile::Problem::RowLevels;
            return false;
        }
        rowCodes_.push_back({ifFactor, ifLevel, thenFactor, thenLevel});
    }
    result.row = 0;
    ExcludeRowPairs();
    return true;
}

void ConstraintModel::ExcludeRowPairs()
{
    for (const auto& codes : rowCodes_) {
        const int32_t a = levelOffset_[codes[0] - 1] + codes[1] - 1, b = levelOffset_[codes[2] - 1] + codes[3] - 1;
        exclusions_.AddPair(a, b);
        listedPairs_.emplace_back(a, b);
    }
}

void ConstraintModel::MarkInvalidLevels(const DesignTables& design)
{
    // No row holds two invalid levels: a class of the exclusions, not a list of its pairs.
    for (int32_t f = 0; f < NumFactors(); ++f)
        for (int32_t l = 0; l < levels_[static_cast<size_t>(f)]; ++l)
            if (design.Invalid(f, l + 1)) {
                exclusions_.MarkInvalid(levelOffset_[static_cast<size_t>(f)] + l);
                anyInvalid_ = true;
            }
}

RuleClauses ConstraintModel::InvalidLevelClauses(int32_t validSelector, int32_t firstFree) const
{
    // s: an invalid level up to here is held.
    RuleClauses clauses;
    clauses.numVariables = firstFree - 1;
    const auto add = [&](std::initializer_list<int32_t> literals) {
        clauses.literals.insert(clauses.literals.end(), literals);
        clauses.literals.push_back(0);
    };
    int32_t previous = 0;
    for (int32_t entry = 0; entry < NumEntries(); ++entry) {
        if (!Invalid(entry))
            continue;
        const int32_t level = entry + 1, held = ++clauses.numVariables;
        add({-level, held});
        add({-validSelector, -level});
        if (previous != 0) {
            add({-previous, held});
            add({-previous, -level});
        }
        previous = held;
    }
    return clauses;
}

int32_t ConstraintModel::RuleLine(int32_t rule) const
{
    for (const CompiledRule& compiled : program_.Rules())
        if (compiled.statement == rule)
            return compiled.at.line;
    return 0;
}

void ConstraintModel::SplitRules()
{
    // Rules over one or two factors say what they exclude, tried on every level or pair of
    // levels; the others stay rules.
    std::vector<int32_t> row(levels_.size(), -1);
    std::vector<int32_t> encoded;
    const auto& rules = program_.Rules();
    for (size_t r = 0; r < rules.size(); ++r) {
        const CompiledRule& rule = rules[r];
        const int32_t f = rule.factors[0];
        if (rule.factors.size() == 1) {
            for (row[f] = 0; row[f] < levels_[f]; ++row[f])
                if (program_.Evaluate(rule, row.data()) == RuleProgram::Truth::False)
                    forbidden_[static_cast<size_t>(levelOffset_[f] + row[f])] = 1;
            row[f] = -1;
        } else if (rule.factors.size() == 2) {
            if (!ExcludePairsOf(rule, row))
                encoded.push_back(static_cast<int32_t>(r));
        } else {
            wide_.push_back(static_cast<int32_t>(r));
            encoded.push_back(static_cast<int32_t>(r));
            for (const int32_t factor : rule.factors)
                ++wideOfFirst_[static_cast<size_t>(factor) + 1];
        }
    }
    for (size_t f = 1; f < wideOfFirst_.size(); ++f)
        wideOfFirst_[f] += wideOfFirst_[f - 1];
    wideOf_.assign(static_cast<size_t>(wideOfFirst_.back()), 0);
    std::vector<int32_t> filled(wideOfFirst_.begin(), wideOfFirst_.end() - 1);
    for (const int32_t r : wide_)
        for (const int32_t factor : rules[static_cast<size_t>(r)].factors)
            wideOf_[static_cast<size_t>(filled[static_cast<size_t>(factor)]++)] = r;
    encodedRules_ = EncodeRules(program_, encoded, levelOffset_);
    std::copy(forbidden_.begin(), forbidden_.end(), unusable_.begin());
    exclusions_.Finish();
}

bool ConstraintModel::ExcludePairsOf(const CompiledRule& rule, std::vector<int32_t>& row)
{
    // The pairs the rule excludes, as bits both ways round: per level of f over g's levels and
    // per level of g over f's. Few go to the solver one by one, as a Constraints row's; where
    // they are more than the two factors' levels, the rule itself does (false).
    const int32_t f = rule.factors[0], g = rule.factors[1];
    const int32_t levelsF = levels_[static_cast<size_t>(f)], levelsG = levels_[static_cast<size_t>(g)];
    const size_t wordsF = (static_cast<size_t>(levelsF) + 63) / 64, wordsG = (static_cast<size_t>(levelsG) + 63) / 64;
    std::vector<uint64_t> ofF(static_cast<size_t>(levelsF) * wordsG, 0), ofG(static_cast<size_t>(levelsG) * wordsF, 0);
    int64_t excluded = 0;
    for (int32_t a = 0; a < levelsF; ++a) {
        row[f] = a;
        for (int32_t b = 0; b < levelsG; ++b) {
            row[g] = b;
            if (program_.Evaluate(rule, row.data()) != RuleProgram::Truth::False)
                continue;
            ofF[static_cast<size_t>(a) * wordsG + static_cast<size_t>(b) / 64] |= uint64_t{1} << (b % 64);
            ofG[static_cast<size_t>(b) * wordsF + static_cast<size_t>(a) / 64] |= uint64_t{1} << (a % 64);
            ++excluded;
        }
    }
    row[f] = row[g] = -1;
    const int32_t firstF = levelOffset_[static_cast<size_t>(f)], firstG = levelOffset_[static_cast<size_t>(g)];
    for (int32_t a = 0; a < levelsF; ++a)
        exclusions_.AddPartners(firstF + a, firstG, &ofF[static_cast<size_t>(a) * wordsG], levelsG);
    for (int32_t b = 0; b < levelsG; ++b)
        exclusions_.AddPartners(firstG + b, firstF, &ofG[static_cast<size_t>(b) * wordsF], levelsF);
    if (excluded > int64_t{levelsF} + levelsG)
        return false;
    for (int32_t a = 0; a < levelsF; ++a)
        for (int32_t b = 0; b < levelsG; ++b)
            if ((ofF[static_cast<size_t>(a) * wordsG + static_cast<size_t>(b) / 64] >> (b % 64)) & 1)
                listedPairs_.emplace_back(firstF + a, firstG + b);
    return true;
}

void ConstraintModel::FindImplied()
{
    // What the constraints exclude together. With no valid row at all nothing more is
    // marked: the search then finds no admissible first row and says so.
    implied_ = ImpliedExclusions{};
    implied_.levelOffset = levelOffset_;
    if (!HasConstraints())
        return;
    implied_ = FindImpliedExclusions(*this);
    if (!implied_.anyValidRow)
        return;
    // The levels a rule forbids are named, not implied; no valid row holds either kind.
    const auto named = std::remove_if(implied_.deadLevels.begin(), implied_.deadLevels.end(),
                                      [&](int32_t entry) { return forbidden_[static_cast<size_t>(entry)] != 0; });
    implied_.deadLevels.erase(named, implied_.deadLevels.end());
    for (const int32_t entry : implied_.deadLevels)
        unusable_[static_cast<size_t>(entry)] = 1;
    for (int32_t entry = 0; entry < NumEntries(); ++entry)
        if (unusable_[static_cast<size_t>(entry)])
            exclusions_.MarkUnusable(entry);
    for (const auto& [a, b] : implied_.pairs) {
        exclusions_.AddPair(a, b);
        listedPairs_.emplace_back(a, b);
    }
    exclusions_.Finish();
}

bool ConstraintModel::BreaksAnyWideRule(const int32_t* row) const
{
    for (const int32_t r : wide_)
        if (program_.Evaluate(program_.Rules()[static_cast<size_t>(r)], row) == RuleProgram::Truth::False)
            return true;
    return false;
}

bool ConstraintModel::RoomFor(int32_t* row, int32_t g, const uint64_t* fixed) const
{
    const auto fits = [&](int32_t entry) {
        return !unusable_[static_cast<size_t>(entry)] && !(fixed && ExcludesAnyOf(entry, fixed));
    };
    bool room = false;
    for (int32_t m = 0; m < levels_[static_cast<size_t>(g)] && !room; ++m) {
        row[g] = m;
        room = fits(levelOffset_[static_cast<size_t>(g)] + m) && !BreaksWideRule(row, g);
    }
    row[g] = -1;
    return room;
}

bool ConstraintModel::WideRulesLeaveRoom(int32_t* row, int32_t f, const uint64_t* fixed, int32_t* lone,
                                         int32_t* numLone, const int32_t* open) const
{
    for (int32_t k = wideOfFirst_[static_cast<size_t>(f)]; k < wideOfFirst_[static_cast<size_t>(f) + 1]; ++k) {
        const int32_t r = wideOf_[static_cast<size_t>(k)];
        const CompiledRule& rule = program_.Rules()[static_cast<size_t>(r)];
        if (open && rule.clausesReadAll && open[r] > 2)
            continue;
        const RuleProgram::Truth truth = program_.Evaluate(rule, row);
        if (truth == RuleProgram::Truth::False)
            return false;
        if (truth == RuleProgram::Truth::True)
            continue;
        int32_t open = -1, opened = 0;
        for (const int32_t g : rule.factors)
            if (row[g] < 0) {
                open = g;
                ++opened;
            }
        if (opened != 1)
            continue;
        if (!RoomFor(row, open, fixed))
            return false;
        if (lone)
            lone[(*numLone)++] = open;
    }
    return true;
}

void ConstraintModel::FindCornering()
{
    // Per level: the factors a wide rule reads with its factor, and those it excludes a level of.
    factorWords_ = (NumFactors() + 63) / 64;
    cornering_.assign(static_cast<size_t>(NumEntries()) * factorWords_, 0);
    const auto mark = [&](int32_t entry, int32_t g) {
        cornering_[static_cast<size_t>(entry) * factorWords_ + static_cast<size_t>(g) / 64] |= uint64_t{1} << (g % 64);
    };
    for (const int32_t r : wide_) {
        const std::vector<int32_t>& factors = program_.Rules()[static_cast<size_t>(r)].factors;
        for (const int32_t f : factors)
            for (int32_t entry = levelOffset_[static_cast<size_t>(f)]; entry < levelOffset_[static_cast<size_t>(f) + 1]; ++entry)
                for (const int32_t g : factors)
                    mark(entry, g);
    }
    // The factors of its excluded partners: those of the pairs listed; every other factor for
    // an unusable level, else those with an unusable level, and for an invalid level those with
    // an invalid level.
    std::vector<uint64_t> withUnusable(static_cast<size_t>(factorWords_), 0), withInvalid(withUnusable);
    for (int32_t entry = 0; entry < NumEntries(); ++entry) {
        const int32_t f = levelFactor_[static_cast<size_t>(entry)];
        if (exclusions_.Unusable(entry))
            withUnusable[static_cast<size_t>(f) / 64] |= uint64_t{1} << (f % 64);
        if (exclusions_.Invalid(entry))
            withInvalid[static_cast<size_t>(f) / 64] |= uint64_t{1} << (f % 64);
    }
    for (int32_t entry = 0; entry < NumEntries(); ++entry) {
        const int32_t f = levelFactor_[static_cast<size_t>(entry)];
        const bool unusable = exclusions_.Unusable(entry), invalid = exclusions_.Invalid(entry);
        exclusions_.ForEachListedWord(entry, [&](int32_t w, uint64_t bits) {
            for (; bits != 0; bits &= bits - 1)
                mark(entry, levelFactor_[static_cast<size_t>(w * 64 + std::countr_zero(bits))]);
        });
        uint64_t* row = &cornering_[static_cast<size_t>(entry) * factorWords_];
        for (int32_t w = 0; w < factorWords_; ++w) {
            uint64_t others = unusable ? ~uint64_t{0} : withUnusable[static_cast<size_t>(w)] | (invalid ? withInvalid[static_cast<size_t>(w)] : 0);
            if (f / 64 == w)
                others &= ~(uint64_t{1} << (f % 64));
            if (w == factorWords_ - 1 && NumFactors() % 64)
                others &= (uint64_t{1} << (NumFactors() % 64)) - 1;
            row[w] |= others;
        }
    }
}

bool ConstraintModel::BreaksWideRuleOver(const int32_t* row, int32_t f, int32_t g) const
{
    for (int32_t k = wideOfFirst_[static_cast<size_t>(f)]; k < wideOfFirst_[static_cast<size_t>(f) + 1]; ++k) {
        const CompiledRule& rule = program_.Rules()[static_cast<size_t>(wideOf_[static_cast<size_t>(k)])];
        if (std::binary_search(rule.factors.begin(), rule.factors.end(), g) &&
            program_.Evaluate(rule, row) == RuleProgram::Truth::False)
            return true;
    }
    return false;
}

bool ConstraintModel::RowIsValid(const int32_t* row) const
{
    int32_t invalid = 0;
    for (int32_t f = 0; anyInvalid_ && f < NumFactors(); ++f)
        invalid += Invalid(levelOffset_[static_cast<size_t>(f)] + row[f]);
    if (invalid > 1)
        return false;
    for (const auto& codes : rowCodes_)
        if (row[codes[0] - 1] == codes[1] - 1 && row[codes[2] - 1] == codes[3] - 1)
            return false;
    for (const CompiledRule& rule : program_.Rules())
        if (program_.Evaluate(rule, row) == RuleProgram::Truth::False)
            return false;
    return true;
}

ConstraintModel::Statements ConstraintModel::BrokenBy(const int32_t* row) const
{
    Statements broken;
    for (size_t c = 0; c < rowCodes_.size(); ++c) {
        const auto& codes = rowCodes_[c];
        if (row[codes[0] - 1] == codes[1] - 1 && row[codes[2] - 1] == codes[3] - 1)
            broken.constraintRows.push_back(static_cast<int32_t>(c) + 1);
    }
    for (const CompiledRule& rule : program_.Rules())
        if (program_.Evaluate(rule, row) == RuleProgram::Truth::False)
            broken.rules.push_back(rule.statement);
    return broken;
}

ConstraintModel::Statements ConstraintModel::Naming(int32_t a, int32_t b) const
{
    Statements naming;
    const int32_t fa = levelFactor_[static_cast<size_t>(a)], fb = levelFactor_[static_cast<size_t>(b)];
    for (size_t c = 0; c < rowCodes_.size(); ++c) {
        const auto& codes = rowCodes_[c];
        const int32_t ifEntry = levelOffset_[codes[0] - 1] + codes[1] - 1;
        const int32_t thenEntry = levelOffset_[codes[2] - 1] + codes[3] - 1;
        if (std::minmax(ifEntry, thenEntry) == std::minmax(a, b))
            naming.constraintRows.push_back(static_cast<int32_t>(c) + 1);
    }
    std::vector<int32_t> row(levels_.size(), -1);
    row[fa] = a - levelOffset_[fa];
    row[fb] = b - levelOffset_[fb];
    for (const CompiledRule& rule : program_.Rules()) {
        const bool onThePair = std::all_of(rule.factors.begin(), rule.factors.end(), [&](int32_t f) { return f == fa || f == fb; });
        if (onThePair && program_.Evaluate(rule, row.data()) == RuleProgram::Truth::False)
            naming.rules.push_back(rule.statement);
    }
    return naming;
}

bool ConstraintModel::NamesPair(int32_t a, int32_t b) const
{
    // The pairs listed are those named and the implied ones (listed ascending).
    if (forbidden_[static_cast<size_t>(a)] || forbidden_[static_cast<size_t>(b)])
        return true;
    if (levelFactor_[static_cast<size_t>(a)] == levelFactor_[static_cast<size_t>(b)])
        return false;
    if (Invalid(a) && Invalid(b))
        return true;
    return exclusions_.PairListed(a, b) &&
           !std::binary_search(implied_.pairs.begin(), implied_.pairs.end(), std::pair<int32_t, int32_t>(std::min(a, b), std::max(a, b)));
}
