#include <vantrel/design.hpp>

#include "libvantrel/DesignImpl.h"
#include "libvantrel/ModelTables.h"
#include "libvantrel/Phrases.h"

#include "engine/ExclusionExplainer.h"
#include "engine/TupleEvolution.h"

namespace vantrel {

namespace {

Result<std::shared_ptr<const ConstraintModel>> Compiled(const DesignTables& tables, int rulesFirstLine)
{
    ConstraintCompile compiled = ConstraintModel::Compile(tables);
    const std::string row = "constraint number " + std::to_string(compiled.row);
    switch (compiled.problem) {
    case ConstraintCompile::Problem::None: return compiled.model;
    case ConstraintCompile::Problem::RowFactors:
        return Error{Error::Kind::Model, row + " names no factor of the design, or one factor twice", 0, 0, compiled.row};
    case ConstraintCompile::Problem::RowLevels:
        return Error{Error::Kind::Model, row + " names a level its factor does not have", 0, 0, compiled.row};
    case ConstraintCompile::Problem::Rules: break;
    }
    const RuleError& rules = compiled.ruleError;
    return Error{Error::Kind::Rules, rules.message, rules.at.line + rulesFirstLine - 1, rules.at.column, 0, 37};
}

}  // namespace

Statements Design::Impl::StatementsOf(const ConstraintModel::Statements& statements) const
{
    Statements told;
    told.constraintRows = statements.constraintRows;
    for (const int32_t rule : statements.rules)
        told.ruleLines.push_back(constraints->RuleLine(rule) + model.rulesFirstLine - 1);
    return told;
}

Result<Design> Design::Compile(Model model)
{
    Result<DesignTables> tables = TablesOf(model);
    if (!tables)
        return tables.error();
    Result<std::shared_ptr<const ConstraintModel>> compiled = Compiled(tables.value(), model.rulesFirstLine);
    if (!compiled)
        return compiled.error();
    auto impl = std::make_shared<const Impl>(std::move(model), std::move(tables).value(), std::move(compiled).value());
    // A test already run that breaks the constraints is refused as a misnamed one is.
    const std::vector<std::vector<int32_t>> previous = impl->lookup.Codes(impl->tables.prevRuns);
    for (size_t r = 0; r < previous.size(); ++r)
        if (const std::string problem = ::RowProblem(*impl, previous[r]); !problem.empty())
            return Error{Error::Kind::Rows, "Previous test number " + std::to_string(r + 1) + " " + problem, 0, 0, int(r + 1)};
    return Design(std::move(impl));
}

const Model& Design::model() const { return impl_->model; }

int Design::NumRules() const { return impl_->constraints->NumRules(); }
int Design::NumGroups() const { return int(impl_->constraints->Groups().size()); }

bool Design::AnyValidTestCase() const { return impl_->constraints->AnyValidRow(); }

std::string Design::WhyNoValidTestCase() const
{
    const Reason reason = Explain({});
    return "No test case can satisfy every constraint" + (reason.phrase.empty() ? std::string() : ": " + reason.phrase) + ".";
}

int Design::DefaultEvolutions(int strength, int pairEvolutions) const
{
    return TupleEvolution::EvolutionsFor(strength, pairEvolutions, impl_->constraints->HasMixedRequirements(),
                                         TupleEvolution::PairsOf(impl_->tables.levelCounts));
}

Reason Design::Explain(const std::vector<LevelRef>& levels, bool validOnly) const
{
    std::vector<int32_t> entries;
    for (const LevelRef& level : levels)
        entries.push_back(impl_->Entry(level));
    ExclusionExplainer explainer(*impl_->constraints);
    return ReasonOf(*impl_, explainer.Explain(entries, validOnly));
}

int Design::LevelOf(int factor, const std::string& text) const
{
    if (factor < 0 || factor >= impl_->tables.NumFactors())
        return -1;
    return impl_->lookup.Level(factor, text) - 1;
}

std::string Design::Shown(LevelRef level) const { return impl_->tables.ShownName(level.factor, level.level + 1); }

std::string Design::RowProblem(const Row& row) const { return ::RowProblem(*impl_, impl_->lookup.Codes(row)); }

bool Design::Invalid(LevelRef level) const { return impl_->constraints->Invalid(impl_->Entry(level)); }

bool Design::BreaksRuleOver(const std::vector<int>& row, int f, int g) const
{
    return impl_->constraints->BreaksWideRuleOver(row.data(), f, g);
}

std::vector<std::string> Model::FactorNames() const
{
    std::vector<std::string> names;
    for (const Factor& factor : factors)
        names.push_back(factor.name);
    return names;
}

}  // namespace vantrel

namespace vantrel {

Result<void> Design::CheckRules(const Model& model)
{
    DesignTables tables;
    tables.rules = model.rules;
    for (const Factor& factor : model.factors) {
        std::vector<std::string>& column = tables.factors.emplace_back();
        column.push_back(factor.name);
        for (const Level& level : factor.levels)
            column.push_back(level.name);
        tables.levelCounts.push_back(int32_t(factor.levels.size()));
    }
    RuleError error;
    if (ConstraintModel::CheckRules(tables, error))
        return {};
    return Error{Error::Kind::Rules, error.message, error.at.line + model.rulesFirstLine - 1, error.at.column, 0, 37};
}

Statements Design::Naming(LevelRef a, LevelRef b) const
{
    return impl_->StatementsOf(impl_->constraints->Naming(impl_->Entry(a), impl_->Entry(b)));
}

ExcludedTogether Design::Excluded() const
{
    const ImpliedExclusions& implied = impl_->constraints->Implied();
    ExcludedTogether excluded;
    for (const int32_t entry : implied.deadLevels)
        excluded.levels.push_back(impl_->RefOf(entry));
    for (const auto& [a, b] : implied.pairs)
        excluded.pairs.emplace_back(impl_->RefOf(a), impl_->RefOf(b));
    return excluded;
}

}  // namespace vantrel
