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

#include <utility>
#include <vector>

namespace DesignLoader {

using Factor = std::pair<QString, QStringList>;  // name, levels
using Rows = QList<QStringList>;

// The factors as a table 0..L x 1..n (names in row 0), with their level counts.
inline TextTable FactorTable(const std::vector<Factor>& factors, LongArray& levelCounts)
{
    QList<QStringList> columns;
    for (const Factor& f : factors)
        columns.append(QStringList{f.first} + f.second);
    return TestTables::FactorTable(columns, levelCounts);
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

// Puts the factors, constraints and previous tests on their sheets.
inline void Load(frmMain& w, const std::vector<Factor>& factors, const Rows& constraints = {},
                 const Rows& prevRuns = {})
{
    LongArray levelCounts;
    const TextTable table = FactorTable(factors, levelCounts);
    w.FactorsSheet()->LoadDataIntoGrid(int(factors.size()), table.rowUpper(), table, levelCounts);
    w.ConstraintsSheet()->LoadDataIntoGrid(int(constraints.size()), TestTables::Rows(constraints, 4));
    w.PrevRunsSheet()->LoadDataIntoGrid(int(prevRuns.size()), TestTables::Rows(prevRuns, int(factors.size())));
}

// Puts test cases on the Test Cases sheet as a generation would.
inline void LoadTestCases(frmMain& w, const std::vector<Factor>& factors, const Rows& cases)
{
    LongArray levelCounts;
    w.TestCasesSheet()->LoadMatrixIntoGrid(int(factors.size()), FactorTable(factors, levelCounts),
                                           TestTables::Rows(cases, int(factors.size())),
                                           std::vector<bool>(cases.size(), false));
}

}  // namespace DesignLoader
