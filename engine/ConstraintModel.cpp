#include "engine/ConstraintModel.h"

#include "engine/RuleSyntax.h"

#include <algorithm>

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
    invalid_.assign(levelFactor_.size(), 0);
    unusable_.assign(levelFactor_.size(), 0);
    levelWords_ = (levelOffset_[F] + 63) / 64;
    excludedBits_.assign(levelFactor_.size() * static_cast<size_t>(levelWords_), 0);
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
    // A pair named twice (either way round) is excluded once, in the order first named.
    for (const auto& codes : rowCodes_)
        ExcludeNamedPair(levelOffset_[codes[0] - 1] + codes[1] - 1, levelOffset_[codes[2] - 1] + codes[3] - 1);
}

void ConstraintModel::MarkInvalidLevels(const DesignTables& design)
{
    for (int32_t f = 0; f < NumFactors(); ++f)
        for (int32_t l = 0; l < levels_[static_cast<size_t>(f)]; ++l)
            if (design.Invalid(f, l + 1)) {
                invalid_[static_cast<size_t>(levelOffset_[static_cast<size_t>(f)] + l)] = 1;
                anyInvalid_ = true;
            }
    // No row holds two invalid levels.
    for (int32_t a = 0; a < NumEntries(); ++a)
        for (int32_t b = levelOffset_[static_cast<size_t>(levelFactor_[static_cast<size_t>(a)]) + 1]; invalid_[a] && b < NumEntries(); ++b)
            if (invalid_[static_cast<size_t>(b)])
                ExcludeNamedPair(a, b);
}

int32_t ConstraintModel::RuleLine(int32_t rule) const
{
    for (const CompiledRule& compiled : program_.Rules())
        if (compiled.statement == rule)
            return compiled.at.line;
    return 0;
}

void ConstraintModel::ExcludeNamedPair(int32_t a, int32_t b)
{
    if (!Excluded(a, b)) {
        excludedPairs_.emplace_back(a, b);
        MarkExcluded(a, b);
    }
}

void ConstraintModel::MarkExcluded(int32_t a, int32_t b)
{
    excludedBits_[static_cast<size_t>(a) * levelWords_ + static_cast<size_t>(b) / 64] |= uint64_t{1} << (b % 64);
    excludedBits_[static_cast<size_t>(b) * levelWords_ + static_cast<size_t>(a) / 64] |= uint64_t{1} << (a % 64);
}

void ConstraintModel::SplitRules()
{
    // Rules over one or two factors say what they exclude, tried on every level or pair of
    // levels; the others stay rules.
    std::vector<int32_t> row(levels_.size(), -1);
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
            const int32_t g = rule.factors[1];
            for (row[f] = 0; row[f] < levels_[f]; ++row[f])
                for (row[g] = 0; row[g] < levels_[g]; ++row[g])
                    if (program_.Evaluate(rule, row.data()) == RuleProgram::Truth::False)
                        ExcludeNamedPair(levelOffset_[f] + row[f], levelOffset_[g] + row[g]);
            row[f] = row[g] = -1;
        } else {
            wide_.push_back(static_cast<int32_t>(r));
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
    wideClauses_ = EncodeRules(program_, wide_, levelOffset_);
    std::copy(forbidden_.begin(), forbidden_.end(), unusable_.begin());
    for (const auto& [a, b] : excludedPairs_)
        namedKeys_.push_back(Key(a, b));
    std::sort(namedKeys_.begin(), namedKeys_.end());
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
    for (int32_t entry = 0; entry < NumEntries(); ++entry) {
        if (!unusable_[static_cast<size_t>(entry)])
            continue;
        anyUnusable_ = true;
        for (int32_t other = 0; other < NumEntries(); ++other)
            if (levelFactor_[static_cast<size_t>(other)] != levelFactor_[static_cast<size_t>(entry)])
                MarkExcluded(entry, other);
    }
    for (const auto& [a, b] : implied_.pairs) {
        MarkExcluded(a, b);
        excludedPairs_.emplace_back(a, b);
    }
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
        if (unusable_[static_cast<size_t>(entry)])
            return false;
        const uint64_t* excluded = ExcludedWith(entry);
        for (int32_t w = 0; fixed && w < levelWords_; ++w)
            if (excluded[w] & fixed[w])
                return false;
        return true;
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
    for (int32_t entry = 0; entry < NumEntries(); ++entry) {
        const uint64_t* excluded = ExcludedWith(entry);
        for (int32_t w = 0; w < levelWords_; ++w)
            for (uint64_t bits = excluded[w]; bits != 0; bits &= bits - 1)
                mark(entry, levelFactor_[static_cast<size_t>(w * 64 + __builtin_ctzll(bits))]);
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
        invalid += invalid_[static_cast<size_t>(levelOffset_[static_cast<size_t>(f)] + row[f])];
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
        if (Key(ifEntry, thenEntry) == Key(a, b))
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
    return forbidden_[static_cast<size_t>(a)] || forbidden_[static_cast<size_t>(b)] ||
           std::binary_search(namedKeys_.begin(), namedKeys_.end(), Key(a, b));
}
