#pragma once
// The Factors and Levels sheet: one factor per column, its name in row 1 ("Factor Name"),
// its levels below. One spare column and one spare row stay beyond the used part; typing
// into them makes them used and adds new spare lines. A level can be marked invalid: it shows
// its name after a "~", in italics. A level's other names and weight show after its name as a
// model text writes them ("Windows 11 | Win11 (3)"), and are typed so.

#include "model/CFactors.h"
#include "model/TextTable.h"
#include "sheets/SheetWindow.h"

#include <cstdint>

class DesignWorkbook;

class frmFactorsAndLevels : public SheetWindow {
    Q_OBJECT
public:
    explicit frmFactorsAndLevels(DesignWorkbook& workbook, QWidget* parent = nullptr);

    bool mbFormLoaded = false;  // edits are tracked once the sheet is set up

    void Form_Load();
    void SetupGrid() override;
    // The factor table has the names in level 0; levels 1..In_alLevelCount(f) of each factor,
    // the invalid ones (level, factor) marked.
    bool LoadDataIntoGrid(std::int32_t In_lNumFactors, std::int32_t In_lMaxNumLevels, const TextTable& In_vaFactors,
                          const LongArray& In_alLevelCount, const CFactors::LevelCells& In_invalidLevels = {});
    // The captions, widths and bottom line of the factors the workbook has just put on the
    // grid, set up empty before.
    void ShowLoadedTable();
    void DeleteRowFromGrid() override;
    void DeleteColFromGrid() override;
    // Mark Level Invalid: the levels among the selected cells become invalid, or valid again
    // when every one of them was invalid; factor names and blank cells are passed over. Shows
    // why when the selection holds no level.
    void MarkLevelInvalid();

    void Grid_Change(int col, int row) override;

private:
    // A level typed with other names or a weight ("Windows 11 | Win11 (3)") keeps its name on
    // the cell and the rest with it; one typed without them carries none.
    void TakeTypedLevel(int col, int row);
};
