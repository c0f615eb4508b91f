#pragma once
// The design tables: two-dimensional tables of cell texts with their own index bounds,
// first index the sheet row, second the sheet column (the factor table starts its rows
// at 0, every other table at 1). A default-constructed table is undimensioned.
//
// Each column holds its cells down to the last one written, and the cells below read empty:
// a factor table costs its levels, not its factors times the most levels of any. A column
// grows at its end only, so a reference to a cell stays good while others are written.

#include <QString>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

class TextTable {
public:
    TextTable() = default;
    TextTable(int rowLower, int rowUpper, int colLower, int colUpper);

    bool isDimensioned() const { return mDimensioned; }
    int rowLower() const { return mRowLower; }
    int rowUpper() const { return mRowUpper; }
    int colLower() const { return mColLower; }
    int colUpper() const { return mColUpper; }
    int rowCount() const { return mRowUpper - mRowLower + 1; }
    int colCount() const { return mColUpper - mColLower + 1; }

    const QString& at(int row, int col) const;
    QString& operator()(int row, int col);
    void set(int row, int col, const QString& text) { (*this)(row, col) = text; }

    // Changes the upper bounds and keeps every cell that is still inside.
    void redimPreserve(int rowUpper, int colUpper);

    // Same bounds and same texts; a cell never written equals an empty one.
    friend bool operator==(const TextTable& a, const TextTable& b);

private:
    // The index of the cell's column and its place in it; throws out_of_range outside the bounds.
    std::pair<std::size_t, std::size_t> place(int row, int col) const;

    bool mDimensioned = false;
    int mRowLower = 1, mRowUpper = 0, mColLower = 1, mColUpper = 0;
    std::vector<std::deque<QString>> mColumns;
};

// A one-dimensional table of 32-bit counts with its own lower bound (the level counts).
class LongArray {
public:
    LongArray() = default;
    LongArray(int lower, int upper) : mLower(lower), mValues(std::size_t(std::max(0, upper - lower + 1)), 0) {}

    bool isDimensioned() const { return !mValues.empty(); }
    int lower() const { return mLower; }
    int upper() const { return mLower + int(mValues.size()) - 1; }
    std::int32_t at(int i) const { return mValues.at(std::size_t(i - mLower)); }
    std::int32_t& operator()(int i) { return mValues.at(std::size_t(i - mLower)); }
    // Keeps the lower bound and the values still inside; new entries are 0.
    void redimPreserve(int upper) { mValues.resize(std::size_t(std::max(0, upper - mLower + 1)), 0); }

    friend bool operator==(const LongArray&, const LongArray&) = default;

private:
    int mLower = 1;
    std::vector<std::int32_t> mValues;
};
