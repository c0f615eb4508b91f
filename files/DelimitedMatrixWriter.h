#pragma once
// Writes the Test Cases grid as delimited text in UTF-8: one line per grid row, the factor
// names first, by the library's one writer of the format (vantrel/delimited.hpp): CSV quoted
// where a cell needs it, TSV as it is (a cell with a tab or a line break is refused), each
// line ended with CR LF.

#include "files/DelimitedLine.h"

#include "platform/Result.h"

class GridCellStore;
class QIODevice;

class DelimitedMatrixWriter {
public:
    explicit DelimitedMatrixWriter(TextFormat format) : mFormat(format) {}
    Result<void> write(const GridCellStore& grid, QIODevice& device) const;

private:
    TextFormat mFormat;
};
