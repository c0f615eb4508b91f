#include "model/DesignWorkbook.h"

#include "platform/MessageBox.h"

#include <algorithm>
#include <set>

namespace {
constexpr int kConstraintFields = 4;

// A table's cell, "" outside it: a short or missing table puts blanks, never fails.
QString Entry(const TextTable& table, int row, int col)
{
    if (!table.isDimensioned() || row < table.rowLower() || row > table.rowUpper() || col < table.colLower() ||
        col > table.colUpper())
        return {};
    return table.at(row, col);
}
}  // namespace

void DesignWorkbook::Put(const DesignText& design, SheetPutListener* windows)
{
    const auto put = [windows](DesignTable table, bool hasLines, const auto& putTable) {
        if (windows && hasLines)
            windows->BeforePut(table);
        putTable();
        if (windows && hasLines)
            windows->AfterPut(table);
    };
    put(DesignTable::Factors, true,
        [&] {
            PutFactors(design.numFactors, design.maxNumLevels, design.factors, design.levelCounts,
                       design.invalidLevels);
            PutLevelExtras(design);
        });
    put(DesignTable::Constraints, design.numConstraints > 0,
        [&] { PutConstraints(design.numConstraints, design.constraints); });
    put(DesignTable::PrevRuns, design.numPrevRuns > 0, [&] { PutPrevRuns(design.numPrevRuns, design.prevRuns); });
    put(DesignTable::TestCases, design.numRows > 0, [&] { PutTestCases(design.numRows, design.numCols, design.matrix); });
    SetRules(design.rules);
    KeepTextLayout(design);
}

void DesignWorkbook::KeepTextLayout(const DesignText& design)
{
    mTextLayout = design.textLayout;
    mTextLayout.aboveFactor.clear();
    mCommentsAboveFactor.clear();
    for (const auto& [f, comments] : design.textLayout.aboveFactor)
        if (f >= 1 && f <= design.numFactors)
            mCommentsAboveFactor.emplace(design.factors.at(0, f), std::make_pair(f, comments));
}

void DesignWorkbook::GiveTextLayout(DesignText& design) const
{
    design.textLayout = mTextLayout;
    std::map<int, QString>& above = design.textLayout.aboveFactor;
    // A factor's comments go above the first factor of its name; those of a name no factor has
    // now (a factor renamed) above the factor in its column, unless it has its own.
    std::set<QString> given;
    for (int f = 1; !mCommentsAboveFactor.empty() && f <= design.numFactors; ++f) {
        const QString& name = design.factors.at(0, f);
        const auto comments = mCommentsAboveFactor.find(name);
        if (comments != mCommentsAboveFactor.end() && given.insert(name).second)
            above[f] = comments->second.second;
    }
    for (const auto& [name, kept] : mCommentsAboveFactor)
        if (!given.contains(name) && kept.first <= design.numFactors)
            above.emplace(kept.first, kept.second);
}

void DesignWorkbook::GiveLevelExtras(DesignText& design)
{
    design.levelWeights.clear();
    design.levelAliases.clear();
    for (const auto& [level, extras] : Factors().LevelExtrasRead()) {
        if (extras.weight != 1)
            design.levelWeights[level] = extras.weight;
        if (!extras.aliases.isEmpty())
            design.levelAliases[level] = extras.aliases;
    }
}

void DesignWorkbook::SetRules(const QString& rules)
{
    if (rules == mRules)
        return;
    mRules = rules;
    if (mRulesChanged)
        mRulesChanged();
}

void DesignWorkbook::PutFactors(std::int32_t numFactors, std::int32_t maxNumLevels, const TextTable& factors,
                                const LongArray& levelCounts, const CFactors::LevelCells& invalidLevels)
{
    numFactors = std::max<std::int32_t>(numFactors, 0);
    maxNumLevels = std::max<std::int32_t>(maxNumLevels, 0);
    Factors().setLNumFactors(numFactors);
    Factors().lMaxNumLevels = maxNumLevels;

    // The names in row 1, the levels below; one spare row and column beyond the used part.
    GridCellStore& grid = FactorsGrid();
    grid.setMaxRows(maxNumLevels + 2);
    grid.setMaxCols(numFactors + 1);
    // Only what the table really holds is written.
    for (int f = 1; f <= numFactors; ++f) {
        if (!factors.isDimensioned() || f < factors.colLower() || f > factors.colUpper())
            continue;
        const bool counted = levelCounts.isDimensioned() && f >= levelCounts.lower() && f <= levelCounts.upper();
        const int lastLevel =
            std::min({counted ? int(levelCounts.at(f)) : 0, factors.rowUpper(), int(maxNumLevels)});
        for (int l = std::max(0, factors.rowLower()); l <= lastLevel; ++l) {
            grid.setText(f, l + 1, factors.at(l, f));
            if (l >= 1 && invalidLevels.contains({l, f}))
                grid.setMarked(f, l + 1, true);
        }
    }
}

void DesignWorkbook::PutLevelExtras(const DesignText& design)
{
    std::map<std::pair<int, int>, LevelExtras> extras;
    for (const auto& [level, weight] : design.levelWeights)
        extras[level].weight = weight;
    for (const auto& [level, aliases] : design.levelAliases)
        extras[level].aliases = aliases;
    for (const auto& [level, carried] : extras)
        FactorsGrid().setLevelExtras(level.second, level.first + 1, carried);
}

void DesignWorkbook::PutConstraints(std::int32_t numConstraints, const TextTable& constraints)
{
    Constraints().setLNumConstraints(numConstraints);
    if (numConstraints <= 0)
        return;
    // One spare row below the used ones.
    GridCellStore& grid = ConstraintsGrid();
    grid.setMaxCols(kConstraintFields);
    grid.setMaxRows(numConstraints + 1);
    for (int r = 1; r <= numConstraints; ++r)
        for (int field = 1; field <= kConstraintFields; ++field)
            grid.setText(field, r, Entry(constraints, r, field));
}

void DesignWorkbook::PutPrevRuns(std::int32_t numPrevRuns, const TextTable& prevRuns)
{
    PrevRuns().setLNumPrevRuns(numPrevRuns);
    if (numPrevRuns <= 0)
        return;
    // Every factor keeps its column: a load never drops what the design holds.
    GridCellStore& grid = PrevRunsGrid();
    const int numFactors = Factors().lNumFactors();
    grid.setMaxCols(std::max(grid.maxCols(), numFactors));
    grid.setMaxRows(numPrevRuns + 1);
    for (int r = 1; r <= numPrevRuns; ++r)
        for (int f = 1; f <= numFactors; ++f)
            grid.setText(f, r, Entry(prevRuns, r, f));
}

bool DesignWorkbook::PutTestCases(std::int32_t numRows, std::int32_t numCols, const TextTable& matrix)
{
    if (numRows <= 0)
        return false;
    GridCellStore& grid = TestCasesGrid();
    grid.setMaxRows(numRows);
    grid.setMaxCols(std::max<std::int32_t>(numCols, 0));
    grid.writeBlock(1, 1, matrix);
    return true;
}

void DesignWorkbook::ClearCounts()
{
    Factors().setLNumFactors(0);
    Factors().lMaxNumLevels = 0;
    Constraints().setLNumConstraints(0);
    PrevRuns().setLNumPrevRuns(0);
}

bool DesignWorkbook::HasTwoFactorsAtTwoLevels(const QString& refusal)
{
    const CFactors& factors = Factors();
    if (factors.lNumFactors() >= 2 && factors.lMaxNumLevels >= 2)
        return true;
    ShowMessage(refusal);
    return false;
}

bool DesignWorkbook::Read(bool validate, DesignText& t)
{
    const bool factorsRead = validate ? Factors().ReadFactorsAndValidate(t.factors, t.levelCounts, &t.invalidLevels)
                                      : Factors().ReadFactorsNoValidate(t.factors, t.levelCounts, &t.invalidLevels);
    if (!factorsRead)
        return false;
    t.numFactors = t.factors.isDimensioned() ? t.factors.colUpper() : 0;
    t.rules = mRules;
    GiveLevelExtras(t);
    GiveTextLayout(t);
    t.maxNumLevels = 0;
    for (int f = t.levelCounts.lower(); t.levelCounts.isDimensioned() && f <= t.levelCounts.upper(); ++f)
        t.maxNumLevels = std::max(t.maxNumLevels, t.levelCounts.at(f));
    if (validate) {
        return Constraints().ReadConstraintsAndValidate(t.factors, t.levelCounts, t.constraints,
                                                                 t.numConstraints) &&
               PrevRuns().ReadPrevRunsandValidate(t.factors, t.levelCounts, t.prevRuns, t.numPrevRuns,
                                                  t.invalidLevels);
    }
    return Constraints().ReadConstraintsNoValidate(t.factors, t.levelCounts, t.constraints,
                                                            t.numConstraints) &&
           PrevRuns().ReadPrevRunsNoValidate(t.factors, t.levelCounts, t.prevRuns, t.numPrevRuns);
}

std::vector<std::vector<std::string>> DesignWorkbook::TestCaseNames(std::int32_t numFactors)
{
    const GridCellStore& grid = TestCasesGrid();
    std::vector<std::vector<std::string>> rows;
    for (int r = 2; r <= grid.maxRows(); ++r) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int f = 1; f <= numFactors; ++f)
            row.push_back(grid.text(f, r).toStdString());
    }
    return rows;
}
