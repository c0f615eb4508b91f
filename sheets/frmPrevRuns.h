#pragma once
// The Previous Test sheet: tests already run, one per row, one column per factor captioned
// with the factor's name. Every cell is a drop-down of its factor's levels; one spare row
// stays below the used rows.

#include "model/TextTable.h"
#include "sheets/SheetWindow.h"

#include <QStringList>

#include <cstdint>

class frmPrevRuns : public SheetWindow {
    Q_OBJECT
public:
    explicit frmPrevRuns(QWidget* parent = nullptr);

    std::int32_t mlNumListFactors = 0;  // factors the lists were built for
    LongArray malListLevelCounts;       // their level counts, 1..n
    QStringList mastrLevelsComboList;   // factor f's level list at f - 1

    void Form_Load();
    void SetupGrid() override;
    // Builds the lists and the columns from the current factors; False (after its message)
    // when the Factors and Levels sheet cannot be used.
    bool InitGridForPreviousRuns();
    void PutFactorNamesInRowZero(const TextTable& In_vaFactors, int In_lNumFactors);
    bool LoadDataIntoGrid(std::int32_t In_lNumPrevRuns, const TextTable& In_vaPrevRuns);
    void DeleteRowFromGrid() override;
    void DeleteColFromGrid() override;

    void Grid_Click(int col, int row) override;
    void Grid_ComboDropDown(int col, int row) override;
    void Grid_Change(int col, int row) override;
    void Grid_ComboSelChange(int col, int row) override;

private:
    void MakeRowComboCells(int row);
    QString LevelsList(int factor) const;
};
