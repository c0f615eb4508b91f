#pragma once
// Writes the Test Cases grid as an HTML page in UTF-8: one table, the factor names as its
// heading row, then one table row per test case. Texts are escaped and shown with their
// spaces and line breaks as typed.

#include "platform/Result.h"

class GridCellStore;
class QIODevice;

class HtmlMatrixWriter {
public:
    static Result<void> write(const GridCellStore& grid, QIODevice& device);
};
