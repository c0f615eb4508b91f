#pragma once
// Fills a grid as a user would have typed it, column by column or row by row; whatever
// the grid held before is cleared.

#include "model/GridCellStore.h"

#include <QStringList>

#include <initializer_list>

inline void FillColumns(GridCellStore& grid, const QList<QStringList>& columns)
{
    int rows = 0;
    for (const QStringList& c : columns)
        rows = std::max(rows, int(c.size()));
    grid.clearRange(GridCellStore::kAll, GridCellStore::kAll, 0, 0);
    grid.setMaxCols(std::max(grid.maxCols(), int(columns.size()) + 1));
    grid.setMaxRows(std::max(grid.maxRows(), rows + 1));
    int col = 1;
    for (const QStringList& c : columns) {
        for (int r = 0; r < c.size(); ++r)
            grid.setText(col, r + 1, c[r]);
        ++col;
    }
}

inline void FillRows(GridCellStore& grid, int cols, std::initializer_list<QStringList> rows)
{
    grid.clearRange(GridCellStore::kAll, GridCellStore::kAll, 0, 0);
    grid.setMaxCols(std::max(grid.maxCols(), cols));
    grid.setMaxRows(std::max(grid.maxRows(), int(rows.size()) + 1));
    int row = 1;
    for (const QStringList& r : rows) {
        for (int c = 0; c < r.size(); ++c)
            grid.setText(c + 1, row, r[c]);
        ++row;
    }
}
