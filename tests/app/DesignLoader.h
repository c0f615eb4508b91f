#pragma once
// Puts a whole design on the main window's sheets at once, as opening a file does, for tests
// that need designs larger than typing allows.

#include "app/frmMain.h"
#include "model/TextTable.h"
#include "sheets/frmConstraints.h"
#include "sheets/frmFactorsAndLevels.h"
#include "sheets/frmGenerate.h"
#include "sheets/frmPrevRuns.h"

#include <QStringList>

#include <algorithm>
#include <utility>
#include <vector>

namespace DesignLoader {

using Factor = std::pair<QString, QStringList>;  // name, levels

inline TextTable Rows(const std::vector<QStringList>& rows, int numCols)
{
    TextTable table(1, int(rows.size()), 1, numCols);
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < std::min<int>(numCols, int(rows[std::size_t(r)].size())); ++c)
            table(r + 1, c + 1) = rows[std::size_t(r)][c];
    return table;
}

inline TextTable FactorTable(const std::vector<Factor>& factors, LongArray& levelCounts, int& maxLevels)
{
    maxLevels = 0;
    for (const Factor& f : factors)
        maxLevels = std::max<int>(maxLevels, int(f.second.size()));
    TextTable table(0, maxLevels, 1, int(factors.size()));
    levelCounts = LongArray(1, int(factors.size()));
    for (int f = 0; f < int(factors.size()); ++f) {
        table(0, f + 1) = factors[std::size_t(f)].first;
        levelCounts(f + 1) = int(factors[std::size_t(f)].second.size());
        for (int l = 0; l < levelCounts.at(f + 1); ++l)
            table(l + 1, f + 1) = factors[std::size_t(f)].second[l];
    }
    return table;
}

// n factors "F1".. of `levels` levels "v1"..
inline std::vector<Factor> Uniform(int levels, int n)
{
    std::vector<Factor> factors;
    for (int f = 1; f <= n; ++f) {
        QStringList names;
        for (int l = 1; l <= levels; ++l)
            names << QStringLiteral("v%1").arg(l);
        factors.emplace_back(QStringLiteral("F%1").arg(f), names);
    }
    return factors;
}

inline void Load(frmMain& w, const std::vector<Factor>& factors, const std::vector<QStringList>& constraints = {},
                 const std::vector<QStringList>& prevRuns = {})
{
    LongArray levelCounts;
    int maxLevels = 0;
    const TextTable table = FactorTable(factors, levelCounts, maxLevels);
    w.FactorsSheet()->LoadDataIntoGrid(int(factors.size()), maxLevels, table, levelCounts);
    w.ConstraintsSheet()->LoadDataIntoGrid(int(constraints.size()), Rows(constraints, 4));
    w.PrevRunsSheet()->LoadDataIntoGrid(int(prevRuns.size()), Rows(prevRuns, int(factors.size())));
}

// Puts test cases on the Test Cases sheet as a generation would.
inline void LoadTestCases(frmMain& w, const std::vector<Factor>& factors, const std::vector<QStringList>& cases)
{
    LongArray levelCounts;
    int maxLevels = 0;
    const TextTable table = FactorTable(factors, levelCounts, maxLevels);
    w.TestCasesSheet()->LoadMatrixIntoGrid(int(factors.size()), table, Rows(cases, int(factors.size())),
                                           std::vector<bool>(cases.size(), false));
}

}  // namespace DesignLoader
