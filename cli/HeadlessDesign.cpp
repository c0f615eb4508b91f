#include "cli/HeadlessDesign.h"

#include "app/CommandDesign.h"
#include "app/modMain.h"
#include "files/CFile.h"
#include "files/FileIdentity.h"
#include "model/CConstraints.h"
#include "model/CFactors.h"
#include "model/CPrevRuns.h"
#include "model/DesignWorkbook.h"
#include "model/GridCellStore.h"

namespace HeadlessDesign {

namespace {
FileIdentity gOpened;  // the design file as it was read

void Fill(GridCellStore& grid, int cols, int rows, int firstRow, const TextTable& table, int numRows, int numCols)
{
    grid.setMaxCols(cols);
    grid.setMaxRows(rows);
    for (int r = 1; r <= numRows; ++r)
        for (int c = 1; c <= numCols; ++c)
            grid.setText(c, firstRow + r - 1, table.at(table.rowLower() + r - 1, c));
}
}  // namespace

bool Open(const QString& path, QString& reason)
{
    DesignText t;
    const FileIdentity before = FileIdentity::Of(path);
    if (!CFile::OpenXMLFile(path, t, &reason))
        return false;
    gOpened = before;

    GridCellStore& factors = modMain::FactorsGrid();
    factors.setMaxCols(t.numFactors + 1);
    factors.setMaxRows(t.maxNumLevels + 2);
    for (int f = 1; f <= t.numFactors; ++f)
        for (int l = 0; l <= t.levelCounts.at(f); ++l)
            factors.setText(f, l + 1, t.factors.at(l, f));
    modMain::Factors().mlNumFactors = t.numFactors;
    modMain::Factors().lMaxNumLevels = t.maxNumLevels;

    Fill(modMain::ConstraintsGrid(), 4, t.numConstraints + 1, 1, t.constraints, t.numConstraints, 4);
    modMain::Constraints().mlNumConstraints = t.numConstraints;
    Fill(modMain::PrevRunsGrid(), t.numFactors, t.numPrevRuns + 1, 1, t.prevRuns, t.numPrevRuns, t.numFactors);
    modMain::PrevRuns().mlNumPrevRuns = t.numPrevRuns;
    Fill(modMain::TestCasesGrid(), t.numCols, std::max(t.numRows, 1), 1, t.matrix, t.numRows, t.numCols);
    return true;
}

void SetTestCases(const DesignText& tables, const std::vector<std::vector<QString>>& rows)
{
    GridCellStore& grid = modMain::TestCasesGrid();
    const int numFactors = tables.numFactors;
    grid.setMaxCols(numFactors);
    grid.setMaxRows(int(rows.size()) + 1);
    for (int f = 1; f <= numFactors; ++f)
        grid.setText(f, 1, tables.factors.at(0, f));
    for (int r = 0; r < int(rows.size()); ++r)
        for (int f = 1; f <= numFactors; ++f)
            grid.setText(f, r + 2, rows[std::size_t(r)][std::size_t(f - 1)]);
}

bool ChangedOnDisk(const QString& path)
{
    return !(FileIdentity::Of(path) == gOpened);
}

bool Save(const QString& path)
{
    DesignText t;
    if (!CommandDesign::Read(false, t))
        return false;
    CFile file(modMain::Workbook());
    return file.SaveXMLFile(path, t.numFactors, t.levelCounts, t.factors, t.numConstraints, t.constraints,
                            t.numPrevRuns, t.prevRuns);
}

}  // namespace HeadlessDesign
