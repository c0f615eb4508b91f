#pragma once
// The Previous Test sheet: tests already run, one per row, one column per factor captioned
// with the factor's name. Every cell is a drop-down list of its factor's levels.

#include "sheets/ComboSheetWindow.h"

class DesignWorkbook;

class frmPrevRuns : public ComboSheetWindow {
    Q_OBJECT
public:
    explicit frmPrevRuns(DesignWorkbook& workbook, QWidget* parent = nullptr);

    void Form_Load();
    void SetupGrid() override;
    // Builds the lists and the columns from the current factors; False (after its message)
    // when the Factors and Levels sheet cannot be used.
    bool InitGridForPreviousRuns();
    void PutFactorNamesInRowZero(const TextTable& In_vaFactors, int In_lNumFactors);
    // The table: previous test 1..p x factor 1..n.
    bool LoadDataIntoGrid(std::int32_t In_lNumPrevRuns, const TextTable& In_vaPrevRuns);
    // The captions, lists and spare row of the previous tests the workbook has just put on the
    // grid, after InitGridForPreviousRuns (the lists and columns of the factors as they are).
    void ShowLoadedTable();
    void DeleteColFromGrid() override;

    void Grid_Click(int col, int row) override;
    void Grid_ComboDropDown(int col, int row) override;

protected:
    std::int32_t UsedRows() const override;
    void SetUsedRows(std::int32_t rows) override;
    QString RowCaption(int row) const override;
    void MakeRowComboCells(int row) override;

private:
    QString LevelsList(int factor) const;
};
