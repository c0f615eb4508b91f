#pragma once
// The Constraints sheet: one constraint per row, "if factor A is at level x, then factor B
// can't be y". Every cell is a drop-down list: factors in columns 1 and 3, the levels of the
// factor to the left in columns 2 and 4.

#include "sheets/ComboSheetWindow.h"

class DesignWorkbook;

class frmConstraints : public ComboSheetWindow {
    Q_OBJECT
public:
    explicit frmConstraints(DesignWorkbook& workbook, QWidget* parent = nullptr);

    QString mstrFactorsComboList;  // the factor list

    void Form_Load();
    void SetupGrid() override;
    // Builds the lists from the current factors; False (after its message) when the
    // Factors and Levels sheet cannot be used.
    bool InitGridForFactorsAndLevels();
    // A tab, then the factor names 1..n separated by tabs.
    static QString CreateFactorsComboListString(const TextTable& In_vaFactors, int In_lNumFactors);
    // The table: constraint 1..m x if factor, if level, then factor, can't-be level.
    bool LoadDataIntoGrid(std::int32_t In_lNumConstraints, const TextTable& In_vaConstraints);
    // The captions, lists, spare row and widths of the constraints the workbook has just put
    // on the grid.
    void ShowLoadedTable();
    void DeleteColFromGrid() override;

    void Grid_Click(int col, int row) override;
    void Grid_ComboDropDown(int col, int row) override;

protected:
    std::int32_t UsedRows() const override;
    void SetUsedRows(std::int32_t rows) override;
    QString RowCaption(int row) const override;
    void MakeRowComboCells(int row) override;
};
