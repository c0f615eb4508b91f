#pragma once
// Writes the Test Cases grid as a workbook with one sheet, "QXV Matrix": one sheet row per
// grid row, the factor names first and in bold. Every cell is a text cell, so a level named
// "=1+1" or "007" stays as typed.

#include "platform/Result.h"

class GridCellStore;
class QIODevice;

class WorkbookMatrixWriter {
public:
    static Result<void> write(const GridCellStore& grid, QIODevice& device);
};
