#pragma once
// What the four sheet windows share: one grid named Grid filling the window, Enter moving
// down, the right-click Edit menu, and clearing a sheet.

#include "model/TextTable.h"
#include "sheets/GridEvents.h"
#include "sheets/GridView.h"

#include <QPointer>
#include <QWidget>

class DesignWorkbook;
class GridCellStore;
#include <QMenu>

class SheetWindow : public QWidget, public GridEvents {
    Q_OBJECT
public:
    // store: the workbook's grid this window shows.
    SheetWindow(DesignWorkbook& workbook, GridCellStore& store, QWidget* parent);

    GridView* const Grid;

    // The main window's Edit menu, shown as a pop-up on a right click; none by default.
    void setEditMenu(QMenu* menu) { mEditMenu = menu; }
    QMenu* editMenu() const { return mEditMenu; }

    virtual void SetupGrid() = 0;
    virtual void DeleteRowFromGrid() = 0;
    virtual void DeleteColFromGrid() = 0;
    // Prints the sheet's captions and cells, headed by the window title, with the print
    // dialog first when In_bShowDialog.
    virtual void PrintGrid(bool In_bShowDialog);

    // Enter (13) is discarded and moves the cursor to the cell below instead.
    void Grid_KeyPress(int& keyCode) override;
    void Grid_RightClick() override;

    // The level list of each factor f, at position f - 1: a tab, then the level names
    // 1..count(f) separated by tabs.
    static void CreateLevelsComboListStringArray(const TextTable& In_vaFactors, const LongArray& In_alLevelCounts,
                                                 int In_lNumFactors, QStringList& Ret_astrLevelsComboList);

protected:
    GridCellStore& store() { return mStore; }
    DesignWorkbook& workbook() const { return mWorkbook; }
    // Every edit and deletion of the design marks it dirty and its test cases stale.
    void MarkDesignChanged();
    // The table's entry, or "" where the table has no such cell.
    static QString TableEntry(const TextTable& table, int row, int col);
    // Removes every text of the sheet, captions included.
    void ClearAllTexts();

private:
    DesignWorkbook& mWorkbook;
    GridCellStore& mStore;
    QPointer<QMenu> mEditMenu;
};
