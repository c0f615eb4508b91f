#pragma once
// Puts a whole design on the main window's sheets at once, as opening a file does, for tests
// that need designs larger than typing allows.

#include "app/frmMain.h"
#include "model/TextTable.h"
#include "sheets/frmConstraints.h"
#include "sheets/frmFactorsAndLevels.h"
#include "sheets/frmGenerate.h"
#include "sheets/frmPrevRuns.h"
#include "tests/support/TestTables.h"

#include <QStringList>

#include <algorithm>
#include <utility>
#include <vector>

namespace DesignLoader {

using Factor = std::pair<QString, QStringList>;  // name, levels

inline TextTable Rows(const std::vector<QStringList>& rows, int numCols)
{
    return TestTables::Rows(QList<QStringList>(rows.begin(), rows.end()), numCols);
}

inline TextTable FactorTable(const std::vector<Factor>& factors, LongArray& levelCounts, int& maxLevels)
{
    QList<QStringList> columns;
    for (const Factor& f : factors)
        columns.append(QStringList{f.first} + f.second);
    TextTable table = TestTables::FactorTable(columns, levelCounts);
    maxLevels = table.rowUpper();
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
