#pragma once
// The Constraints sheet: one constraint per row, "if factor A is at level x, then factor B
// can't be y". Every cell is a drop-down list built from the current factors; one spare row
// stays below the used rows.

#include "model/TextTable.h"
#include "sheets/SheetWindow.h"

#include <QStringList>

#include <cstdint>

class frmConstraints : public SheetWindow {
    Q_OBJECT
public:
    explicit frmConstraints(QWidget* parent = nullptr);

    std::int32_t mlNumListFactors = 0;  // factors the lists were built for
    LongArray malListLevelCounts;       // their level counts, 1..n
    QString mstrFactorsComboList;       // the factor list
    QStringList mastrLevelsComboList;   // factor f's level list at f - 1

    void Form_Load();
    void SetupGrid() override;
    // Builds the lists from the current factors; False (after its message) when the
    // Factors and Levels sheet cannot be used.
    bool InitGridForFactorsAndLevels();
    // A tab, then the factor names 1..n separated by tabs.
    static QString CreateFactorsComboListString(const TextTable& In_vaFactors, int In_lNumFactors);
    bool LoadDataIntoGrid(std::int32_t In_lNumConstraints, const TextTable& In_vaConstraints);
    void DeleteRowFromGrid() override;
    void DeleteColFromGrid() override;

    void Grid_Click(int col, int row) override;
    void Grid_ComboDropDown(int col, int row) override;
    void Grid_Change(int col, int row) override;
    void Grid_ComboSelChange(int col, int row) override;

private:
    void MakeRowComboCells(int row);
    // The level list of factor number index, or nothing when index is not a factor.
    bool LevelsListFor(int index, QString& list) const;
};
