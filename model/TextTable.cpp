#include "model/TextTable.h"

#include <algorithm>
#include <stdexcept>

TextTable::TextTable(int rowLower, int rowUpper, int colLower, int colUpper)
    : mDimensioned(true), mRowLower(rowLower), mRowUpper(std::max(rowUpper, rowLower - 1)),
      mColLower(colLower), mColUpper(std::max(colUpper, colLower - 1)),
      mCells(std::size_t(rowCount()) * std::size_t(colCount()))
{
}

std::size_t TextTable::offset(int row, int col) const
{
    if (row < mRowLower || row > mRowUpper || col < mColLower || col > mColUpper)
        throw std::out_of_range("table index out of range");
    return std::size_t(row - mRowLower) * std::size_t(colCount()) + std::size_t(col - mColLower);
}

void TextTable::redimPreserve(int rowUpper, int colUpper)
{
    TextTable resized(mRowLower, rowUpper, mColLower, colUpper);
    const int lastRow = std::min(mRowUpper, resized.mRowUpper);
    const int lastCol = std::min(mColUpper, resized.mColUpper);
    for (int r = mRowLower; r <= lastRow; ++r)
        for (int c = mColLower; c <= lastCol; ++c)
            resized(r, c) = std::move((*this)(r, c));
    *this = std::move(resized);
}
