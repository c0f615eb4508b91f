#include "model/DesignModel.h"

vantrel::Model ToModel(const DesignText& text, int rulesFirstLine)
{
    vantrel::Model model;
    const int numFactors = text.factors.isDimensioned() ? text.factors.colUpper() : 0;
    for (int f = 1; f <= numFactors; ++f) {
        vantrel::Factor& factor = model.factors.emplace_back();
        factor.name = text.factors.at(0, f).toStdString();
        for (int l = 1; l <= text.levelCounts.at(f); ++l) {
            vantrel::Level& level = factor.levels.emplace_back();
            level.name = text.factors.at(l, f).toStdString();
            level.invalid = text.invalidLevels.count({l, f}) > 0;
            if (const auto weight = text.levelWeights.find({l, f}); weight != text.levelWeights.end())
                level.weight = weight->second;
            if (const auto aliases = text.levelAliases.find({l, f}); aliases != text.levelAliases.end())
                for (const QString& alias : aliases->second)
                    level.aliases.push_back(alias.toStdString());
        }
    }
    for (int k = 1; k <= text.numConstraints; ++k)
        model.constraints.push_back({text.constraints.at(k, 1).toStdString(), text.constraints.at(k, 2).toStdString(),
                                     text.constraints.at(k, 3).toStdString(), text.constraints.at(k, 4).toStdString()});
    model.rules = text.rules.toStdString();
    model.rulesFirstLine = rulesFirstLine;
    for (int r = 1; r <= text.numPrevRuns; ++r) {
        vantrel::Row& row = model.previous.emplace_back();
        for (int f = 1; f <= numFactors; ++f)
            row.push_back(text.prevRuns.at(r, f).toStdString());
    }
    return model;
}
