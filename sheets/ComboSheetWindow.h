#pragma once
// What the Constraints and Previous Test sheets share: cells filled from drop-down lists
// built from the current factors, rows 1..n in use and one spare row below them that grows
// the sheet when it is used, and row deletion that keeps the two in step.

#include "model/TextTable.h"
#include "sheets/SheetWindow.h"

#include <QStringList>

#include <cstdint>

class ComboSheetWindow : public SheetWindow {
    Q_OBJECT
public:
    using SheetWindow::SheetWindow;

    std::int32_t mlNumListFactors = 0;  // factors the lists were built for
    LongArray malListLevelCounts;       // their level counts, 1..n
    QStringList mastrLevelsComboList;   // factor f's level list at f - 1

    // Any marked rows, the spare one included, are deleted; only used rows lower the count,
    // and a spare row always stays (else the last used row would slip out of every read).
    void DeleteRowFromGrid() final;

    void Grid_Change(int col, int row) override { Grid_ComboSelChange(col, row); }
    // A finished choice or edit: the design changed, the line fits its text, and a used
    // spare row becomes a used row with a new spare row below.
    void Grid_ComboSelChange(int col, int row) override;

protected:
    // The model count of used rows, written through its property (status bar included).
    virtual std::int32_t UsedRows() const = 0;
    virtual void SetUsedRows(std::int32_t rows) = 0;
    virtual QString RowCaption(int row) const = 0;
    virtual void MakeRowComboCells(int row) = 0;

    // What both initialisations start with: at least two factors (else tooFewFactors is
    // shown), the factor table read and validated, the level lists built from it. False
    // after a message, the lists left as they were.
    bool BuildLevelLists(const QString& tooFewFactors, TextTable& factorTable);
    // Makes row the last row: the spare one, captioned, its cells combo cells.
    void AddSpareRow(int row);
    // The list of factor number index; false when index is no factor of the lists.
    bool LevelsListFor(int index, QString& list) const;
};
