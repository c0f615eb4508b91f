#include "engine/ExclusionExplainer.h"

#include "engine/RuleClauses.h"

#include <cadical.hpp>

#include <algorithm>

ExclusionExplainer::ExclusionExplainer(const ConstraintModel& model)
    : model_(model), solver_(std::make_unique<CaDiCaL::Solver>())
{
    solver_->set("quiet", 1);
    const std::vector<int32_t>& offset = model.LevelOffset();
    // Variables: the levels, the rules' guards, the Constraints rows' guards, the selector of
    // rows without an invalid level, then the encoding's own.
    firstRuleGuard_ = model.NumEntries() + 1;
    validSelector_ = firstRuleGuard_ + model.NumRules() + model.NumConstraintRows();
    const RuleClauses rules = EncodeGuardedRules(model.Program(), offset, firstRuleGuard_, validSelector_ + 1);
    nextVariable_ = std::max(rules.numVariables, validSelector_) + 1;
    for (int32_t f = 0; f < model.NumFactors(); ++f) {
        for (int32_t entry = offset[static_cast<size_t>(f)]; entry < offset[static_cast<size_t>(f) + 1]; ++entry)
            solver_->add(entry + 1);
        solver_->add(0);
    }
    for (const int32_t literal : rules.literals)
        solver_->add(literal);
    const int32_t firstRowGuard = firstRuleGuard_ + model.NumRules();
    for (int32_t c = 0; c < model.NumConstraintRows(); ++c) {
        const auto& codes = model.RowCodes()[static_cast<size_t>(c)];
        solver_->add(-(offset[static_cast<size_t>(codes[0] - 1)] + codes[1]));
        solver_->add(-(offset[static_cast<size_t>(codes[2] - 1)] + codes[3]));
        solver_->add(-(firstRowGuard + c));
        solver_->add(0);
    }
    EncodeInvalidLevels();
}

ExclusionExplainer::~ExclusionExplainer() = default;

void ExclusionExplainer::EncodeInvalidLevels()
{
    const RuleClauses invalid = model_.InvalidLevelClauses(validSelector_, nextVariable_);
    for (const int32_t literal : invalid.literals)
        solver_->add(literal);
    nextVariable_ = invalid.numVariables + 1;
}

ExclusionReason ExclusionExplainer::Explain(const std::vector<int32_t>& entries, bool validOnly)
{
    ExclusionReason reason;
    reason.validOnly = validOnly;
    int32_t invalid = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        invalid += model_.Invalid(entries[i]);
        for (size_t j = 0; j < i; ++j)
            if (model_.LevelFactor()[static_cast<size_t>(entries[i])] == model_.LevelFactor()[static_cast<size_t>(entries[j])] &&
                entries[i] != entries[j])
                reason.kind = ExclusionReason::Kind::SameFactor;
    }
    if (reason.kind == ExclusionReason::Kind::SameFactor)
        return reason;
    if (invalid > 1) {
        reason.kind = ExclusionReason::Kind::TwoInvalidLevels;
        return reason;
    }
    // A pair that one statement names needs no search.
    if (ConstraintModel::Statements named = Named(entries); named.Any()) {
        reason.kind = ExclusionReason::Kind::Statements;
        reason.statements = std::move(named);
        return reason;
    }
    std::vector<int32_t> guards;
    for (int32_t g = firstRuleGuard_; g < validSelector_; ++g)
        guards.push_back(g);
    if (Solve(entries, guards, validOnly)) {
        reason.example = Example(entries);
        return reason;
    }
    // Drop each guard the refusal can do without, taking the smaller set the solver then names.
    guards = FailedGuards(guards);
    for (size_t k = 0; k < guards.size();) {
        std::vector<int32_t> fewer = guards;
        fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(k));
        if (Solve(entries, fewer, validOnly)) {
            ++k;
            continue;
        }
        const std::vector<int32_t> failed = FailedGuards(fewer);
        k = static_cast<size_t>(std::count_if(failed.begin(), failed.end(), [&](int32_t g) { return g < guards[k]; }));
        guards = failed;
    }
    reason.kind = guards.empty() ? ExclusionReason::Kind::InvalidLevels : ExclusionReason::Kind::Statements;
    reason.statements = StatementsOf(guards);
    return reason;
}

bool ExclusionExplainer::Solve(const std::vector<int32_t>& entries, const std::vector<int32_t>& guards, bool validOnly)
{
    for (const int32_t entry : entries)
        solver_->assume(entry + 1);
    for (const int32_t guard : guards)
        solver_->assume(guard);
    if (validOnly)
        solver_->assume(validSelector_);
    return solver_->solve() == 10;
}

std::vector<int32_t> ExclusionExplainer::FailedGuards(const std::vector<int32_t>& guards) const
{
    std::vector<int32_t> failed;
    for (const int32_t guard : guards)
        if (solver_->failed(guard))
            failed.push_back(guard);
    return failed;
}

ConstraintModel::Statements ExclusionExplainer::Named(const std::vector<int32_t>& entries) const
{
    for (size_t i = 0; i < entries.size(); ++i)
        for (size_t j = i + 1; j < entries.size(); ++j) {
            ConstraintModel::Statements named = model_.Naming(entries[i], entries[j]);
            // One statement is the smallest answer: a row first, as the Constraints sheet comes first.
            if (!named.constraintRows.empty())
                return {{named.constraintRows.front()}, {}};
            if (!named.rules.empty())
                return {{}, {named.rules.front()}};
        }
    return {};
}

ConstraintModel::Statements ExclusionExplainer::StatementsOf(const std::vector<int32_t>& guards) const
{
    ConstraintModel::Statements statements;
    for (const int32_t guard : guards) {
        const int32_t index = guard - firstRuleGuard_;
        if (index < model_.NumRules())
            statements.rules.push_back(model_.Program().Rules()[static_cast<size_t>(index)].statement);
        else
            statements.constraintRows.push_back(index - model_.NumRules() + 1);
    }
    return statements;
}

std::vector<int32_t> ExclusionExplainer::Example(const std::vector<int32_t>& entries) const
{
    // A held level of each factor, the asked one where there is one; where a factor holds
    // several, no rule reads it, and each of them keeps the rows and the rules.
    std::vector<int32_t> row(static_cast<size_t>(model_.NumFactors()), 0);
    for (int32_t f = 0; f < model_.NumFactors(); ++f) {
        const int32_t first = model_.LevelOffset()[static_cast<size_t>(f)];
        for (int32_t entry = model_.LevelOffset()[static_cast<size_t>(f) + 1] - 1; entry >= first; --entry)
            if (solver_->val(entry + 1) > 0)
                row[static_cast<size_t>(f)] = entry - first;
    }
    for (const int32_t entry : entries) {
        const int32_t f = model_.LevelFactor()[static_cast<size_t>(entry)];
        row[static_cast<size_t>(f)] = entry - model_.LevelOffset()[static_cast<size_t>(f)];
    }
    return row;
}

namespace {

std::string Joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (size_t k = 0; k < parts.size(); ++k)
        text += (k == 0 ? "" : k + 1 == parts.size() ? " and " : ", ") + parts[k];
    return text;
}

std::string Numbers(const std::vector<int32_t>& numbers)
{
    std::vector<std::string> parts;
    for (const int32_t number : numbers)
        parts.push_back(std::to_string(number));
    return Joined(parts);
}

}  // namespace

std::string DescribeStatements(const ConstraintModel::Statements& statements, const ConstraintModel& model,
                               int32_t firstRuleLine)
{
    std::vector<std::string> parts;
    const auto& rows = statements.constraintRows;
    if (!rows.empty())
        parts.push_back((rows.size() == 1 ? "Constraints row " : "Constraints rows ") + Numbers(rows));
    std::vector<int32_t> lines;
    for (const int32_t rule : statements.rules)
        lines.push_back(model.RuleLine(rule) + firstRuleLine - 1);
    if (!lines.empty())
        parts.push_back((lines.size() == 1 ? "the rule on line " : "the rules on lines ") + Numbers(lines));
    const bool together = rows.size() + lines.size() > 1;
    return Joined(parts) + (together ? " together" : "");
}

std::string ReasonPhrase(const ExclusionReason& reason, const ConstraintModel& model, int32_t firstRuleLine)
{
    switch (reason.kind) {
    case ExclusionReason::Kind::CanOccur: return {};
    case ExclusionReason::Kind::SameFactor: return "a test case holds one level of each factor";
    case ExclusionReason::Kind::TwoInvalidLevels: return "two invalid levels never share a test case";
    case ExclusionReason::Kind::InvalidLevels:
        return reason.validOnly ? "only a test case with an invalid level holds them"
                                : "a test case holding them would need a second invalid level";
    case ExclusionReason::Kind::Statements: break;
    }
    return DescribeStatements(reason.statements, model, firstRuleLine);
}
