#include "model/TextTable.h"

#include <algorithm>
#include <stdexcept>

TextTable::TextTable(int rowLower, int rowUpper, int colLower, int colUpper)
    : mDimensioned(true), mRowLower(rowLower), mRowUpper(std::max(rowUpper, rowLower - 1)),
      mColLower(colLower), mColUpper(std::max(colUpper, colLower - 1)), mColumns(std::size_t(colCount()))
{
}

std::pair<std::size_t, std::size_t> TextTable::place(int row, int col) const
{
    if (row < mRowLower || row > mRowUpper || col < mColLower || col > mColUpper)
        throw std::out_of_range("table index out of range");
    return {std::size_t(col - mColLower), std::size_t(row - mRowLower)};
}

const QString& TextTable::at(int row, int col) const
{
    static const QString kEmpty;
    const auto [column, index] = place(row, col);
    const std::deque<QString>& cells = mColumns[column];
    return index < cells.size() ? cells[index] : kEmpty;
}

QString& TextTable::operator()(int row, int col)
{
    const auto [column, index] = place(row, col);
    std::deque<QString>& cells = mColumns[column];
    while (cells.size() <= index)
        cells.emplace_back();  // at the end: the column's other cells stay where they are
    return cells[index];
}

void TextTable::redimPreserve(int rowUpper, int colUpper)
{
    mRowUpper = std::max(rowUpper, mRowLower - 1);
    mColUpper = std::max(colUpper, mColLower - 1);
    mColumns.resize(std::size_t(colCount()));
    for (std::deque<QString>& cells : mColumns)
        if (cells.size() > std::size_t(rowCount()))
            cells.resize(std::size_t(rowCount()));
}

bool operator==(const TextTable& a, const TextTable& b)
{
    if (a.mDimensioned != b.mDimensioned || a.mRowLower != b.mRowLower || a.mRowUpper != b.mRowUpper ||
        a.mColLower != b.mColLower || a.mColUpper != b.mColUpper)
        return false;
    for (std::size_t c = 0; c < a.mColumns.size(); ++c) {
        const std::deque<QString>&x = a.mColumns[c], &y = b.mColumns[c];
        for (std::size_t r = 0; r < std::max(x.size(), y.size()); ++r)
            if ((r < x.size() ? x[r] : QString()) != (r < y.size() ? y[r] : QString()))
                return false;
    }
    return true;
}
