#pragma once
// Design tables and grids written the short way in tests.

#include "model/GridCellStore.h"
#include "model/TextTable.h"

#include <QList>
#include <QStringList>

#include <algorithm>

using Cells = QList<QStringList>;

namespace TestTables {

// Rows of texts as a table 1..rows x 1..cols; missing cells are empty. Undimensioned when
// there are no rows. cols = 0 takes the width of the first row.
inline TextTable Rows(const Cells& rows, int cols = 0)
{
    if (rows.isEmpty())
        return {};
    if (cols == 0)
        cols = int(rows[0].size());
    TextTable table(1, int(rows.size()), 1, cols);
    for (int r = 1; r <= rows.size(); ++r)
        for (int c = 1; c <= std::min(cols, int(rows[r - 1].size())); ++c)
            table(r, c) = rows[r - 1][c - 1];
    return table;
}

// Columns of a factor table, each the factor's name then its levels: the table 0..L x 1..n
// of the sheets' reader, with the level counts.
inline TextTable FactorTable(const Cells& columns, LongArray& counts)
{
    int levels = 0;
    for (const QStringList& c : columns)
        levels = std::max(levels, int(c.size()) - 1);
    TextTable table(0, levels, 1, int(columns.size()));
    counts = LongArray(1, int(columns.size()));
    for (int f = 1; f <= columns.size(); ++f) {
        counts(f) = int(columns[f - 1].size()) - 1;
        for (int l = 0; l < columns[f - 1].size(); ++l)
            table(l, f) = columns[f - 1][l];
    }
    return table;
}

// The grid holding the rows of texts from (1, 1) and nothing else, sized to them (the widest
// row sets the width).
inline void FillGrid(GridCellStore& grid, const Cells& rows)
{
    grid.setMaxRows(0);
    grid.setMaxCols(0);
    grid.setMaxRows(int(rows.size()));
    for (const QStringList& row : rows)
        grid.setMaxCols(std::max(grid.maxCols(), int(row.size())));
    for (int r = 1; r <= rows.size(); ++r)
        for (int c = 1; c <= rows[r - 1].size(); ++c)
            grid.setText(c, r, rows[r - 1][c - 1]);
}

}  // namespace TestTables
