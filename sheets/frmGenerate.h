#pragma once
// The Test Cases sheet: the generated matrix, one test case per row, one factor per column,
// the factor names in row 1. Locked: the user cannot type, delete rows or columns.

#include "model/TextTable.h"
#include "sheets/SheetWindow.h"

#include <cstdint>
#include <functional>
#include <vector>

class SheetLoadProgress;

class DesignWorkbook;

class QLabel;

class frmGenerate : public SheetWindow {
    Q_OBJECT
public:
    static constexpr int kProgressAboveRows = 200;

    explicit frmGenerate(DesignWorkbook& workbook, QWidget* parent = nullptr);

    // Where a long load reports its progress; nullptr shows nothing.
    void setProgress(SheetLoadProgress* progress) { mProgress = progress; }

    void Form_Load();
    void SetupGrid() override;
    // In_vaTestMatrix: test case 1..R x factor 1..F of level names. In_abRemovalArray[i - 1]
    // true leaves test case i out; a missing entry keeps it. False when the user cancelled the
    // load in the progress window: the sheet is then left part-filled, for the caller to put
    // back as it was.
    bool LoadMatrixIntoGrid(std::int32_t In_lNumFactors, const TextTable& In_vaFactors, const TextTable& In_vaTestMatrix,
                            const std::vector<bool>& In_abRemovalArray);
    // The level name of test case i (1-based) for factor c.
    using CaseCell = std::function<QString(int i, int c)>;
    // The same from numCases test cases whose cells are asked for once each, in order: a
    // listing too long to hold twice goes straight into the sheet.
    bool LoadCasesIntoGrid(std::int32_t factorCount, const TextTable& factorTable, int numCases, const CaseCell& cell,
                           const std::vector<bool>& removal);
    // In_vaMatrix: the stored block, grid row 1..R x column 1..C, the names row included.
    // True once the matrix is shown.
    bool LoadSavedMatrix(std::int32_t In_lNumRows, std::int32_t In_lNumCols, const TextTable& In_vaMatrix);
    // The captions and widths of the matrix the workbook has just put on the grid.
    void ShowLoadedTable();
    // Spreadsheet column letters: 1 "A", 26 "Z", 27 "AA", 702 "ZZ".
    static QString GetIndexLetter(int index);

    // A banner over the test cases while they were made for an earlier design.
    void ShowStale(bool stale);

    void DeleteRowFromGrid() override;
    void DeleteColFromGrid() override;
    void Grid_KeyPress(int& keyCode) override;

private:
    SheetLoadProgress* mProgress = nullptr;
    QLabel* mStaleBanner = nullptr;  // made when first shown
};
