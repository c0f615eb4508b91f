#include "model/EngineDesign.h"

#include "platform/MessageBox.h"

DesignTables ToEngineDesign(const DesignText& text)
{
    DesignTables design;
    const int numFactors = text.factors.isDimensioned() ? text.factors.colUpper() : 0;
    for (int f = 1; f <= numFactors; ++f) {
        std::vector<std::string> column;
        column.reserve(std::size_t(text.levelCounts.at(f)) + 1);
        for (int l = 0; l <= text.levelCounts.at(f); ++l)
            column.push_back(text.factors.at(l, f).toStdString());
        design.factors.push_back(std::move(column));
        design.levelCounts.push_back(text.levelCounts.at(f));
    }
    for (int k = 1; k <= text.numConstraints; ++k)
        design.constraints.push_back({text.constraints.at(k, 1).toStdString(), text.constraints.at(k, 2).toStdString(),
                                      text.constraints.at(k, 3).toStdString(), text.constraints.at(k, 4).toStdString()});
    design.rules = text.rules.toStdString();
    for (const auto& [level, factor] : text.invalidLevels)
        if (factor >= 1 && factor <= numFactors && level >= 1 && level <= text.levelCounts.at(factor)) {
            design.invalid.resize(std::size_t(numFactors));
            std::vector<std::uint8_t>& marks = design.invalid[std::size_t(factor - 1)];
            marks.resize(std::size_t(text.levelCounts.at(factor)), 0);
            marks[std::size_t(level - 1)] = 1;
        }
    for (const auto& [at, names] : text.levelAliases) {
        const auto [level, factor] = at;
        if (factor < 1 || factor > numFactors || level < 1 || level > text.levelCounts.at(factor))
            continue;
        design.aliases.resize(std::size_t(numFactors));
        auto& ofFactor = design.aliases[std::size_t(factor - 1)];
        ofFactor.resize(std::size_t(text.levelCounts.at(factor)));
        for (const QString& name : names)
            ofFactor[std::size_t(level - 1)].push_back(name.toStdString());
    }
    for (const auto& [at, weight] : text.levelWeights) {
        const auto [level, factor] = at;
        if (factor < 1 || factor > numFactors || level < 1 || level > text.levelCounts.at(factor))
            continue;
        design.weights.resize(std::size_t(numFactors));
        design.weights[std::size_t(factor - 1)].resize(std::size_t(text.levelCounts.at(factor)), 1);
        design.weights[std::size_t(factor - 1)][std::size_t(level - 1)] = weight;
    }
    for (int r = 1; r <= text.numPrevRuns; ++r) {
        std::vector<std::string> row;
        for (int f = 1; f <= numFactors; ++f)
            row.push_back(text.prevRuns.at(r, f).toStdString());
        design.prevRuns.push_back(std::move(row));
    }
    return design;
}

std::shared_ptr<const ConstraintModel> CompileConstraints(const DesignTables& design, RuleError& error)
{
    ConstraintCompile compiled = ConstraintModel::Compile(design);
    switch (compiled.problem) {
    case ConstraintCompile::Problem::None: return compiled.model;
    case ConstraintCompile::Problem::Rules: error = compiled.ruleError; return nullptr;
    default:
        // The Constraints rows were validated against the factors before.
        error = {{0, 0}, "constraint number " + std::to_string(compiled.row) + " names no factor or level of the design"};
        return nullptr;
    }
}

EngineAnswer ShowEngineMessage(const EngineMessage& message)
{
    static_assert(int(EngineButtons::YesNoCancel) == int(MsgButtons::YesNoCancel));
    static_assert(int(EngineIcon::Question) == int(MsgIcon::Question));
    static_assert(int(EngineAnswer::No) == int(MsgResult::No));
    const MsgResult answer = ShowMessage(QString::fromStdString(message.text), MsgButtons(int(message.buttons)),
                                         MsgIcon(int(message.icon)), message.helpContext);
    return EngineAnswer(int(answer));
}
