#include "libvantrel/ModelTables.h"

#include "engine/LevelLookup.h"

#include <set>

using vantrel::Error;
using vantrel::Model;
using vantrel::Result;

namespace {

Error ModelError(std::string message) { return {Error::Kind::Model, std::move(message)}; }

// The factors and levels, with their marks, weights and other names.
Result<DesignTables> Factors(const Model& model)
{
    DesignTables tables;
    std::set<std::string> factorNames;
    for (const vantrel::Factor& factor : model.factors) {
        if (factor.name.empty() || !factorNames.insert(factor.name).second)
            return ModelError(factor.name.empty() ? "a factor has no name" : "the factor [" + factor.name + "] is named twice");
        if (factor.levels.empty())
            return ModelError("the factor [" + factor.name + "] has no level");
        std::vector<std::string> column{factor.name};
        std::vector<uint8_t> invalid;
        std::vector<std::vector<std::string>> aliases;
        std::vector<int32_t> weights;
        std::set<std::string> levelNames;
        for (const vantrel::Level& level : factor.levels) {
            if (level.name.empty() || !levelNames.insert(level.name).second)
                return ModelError(level.name.empty() ? "a level of [" + factor.name + "] has no name"
                                                     : "[" + factor.name + "] has the level \"" + level.name + "\" twice");
            if (level.weight < 1)
                return ModelError("the level \"" + level.name + "\" of [" + factor.name + "] weighs less than 1");
            column.push_back(level.name);
            invalid.push_back(level.invalid ? 1 : 0);
            aliases.push_back(level.aliases);
            weights.push_back(level.weight);
        }
        tables.factors.push_back(std::move(column));
        tables.levelCounts.push_back(int32_t(factor.levels.size()));
        tables.invalid.push_back(std::move(invalid));
        tables.aliases.push_back(std::move(aliases));
        tables.weights.push_back(std::move(weights));
    }
    return tables;
}

// Rows of names as the engine takes them: each cell a level's plain name ("" left open where
// `open` allows it); the first cell that names no level fails, at its row.
Result<std::vector<std::vector<std::string>>> PlainRows(const DesignTables& tables, const std::vector<vantrel::Row>& rows,
                                                        bool open, const char* what)
{
    const LevelLookup lookup(tables);
    std::vector<std::vector<std::string>> plain;
    for (size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].size() != size_t(tables.NumFactors()))
            return Error{Error::Kind::Rows,
                         std::string(what) + " " + std::to_string(r + 1) + " has " + std::to_string(rows[r].size()) +
                             " cells for " + std::to_string(tables.NumFactors()) + " factors",
                         0, 0, int(r + 1)};
        std::vector<std::string>& names = plain.emplace_back();
        for (int32_t f = 0; f < tables.NumFactors(); ++f) {
            const std::string& cell = rows[r][size_t(f)];
            const int32_t level = cell.empty() && open ? 0 : lookup.Level(f, cell);
            if (level == 0 && !(cell.empty() && open))
                return Error{Error::Kind::Rows,
                             std::string(what) + " " + std::to_string(r + 1) + ": factor [" + tables.Name(f, 0) +
                                 "] has no level \"" + cell + "\"",
                             0, 0, int(r + 1)};
            names.push_back(level == 0 ? std::string() : tables.Name(f, level));
        }
    }
    return plain;
}

}  // namespace

Result<DesignTables> TablesOf(const Model& model)
{
    Result<DesignTables> factors = Factors(model);
    if (!factors)
        return factors;
    DesignTables tables = std::move(factors).value();
    for (const vantrel::ConstraintRow& row : model.constraints)
        tables.constraints.push_back({row.ifFactor, row.ifLevel, row.thenFactor, row.thenLevel});
    tables.rules = model.rules;
    Result<std::vector<std::vector<std::string>>> previous = PlainRows(tables, model.previous, false, "previous test");
    if (!previous)
        return previous.error();
    Result<std::vector<std::vector<std::string>>> seeds = PlainRows(tables, model.seeds, true, "seed row");
    if (!seeds)
        return seeds.error();
    tables.prevRuns = std::move(previous).value();
    return tables;
}
