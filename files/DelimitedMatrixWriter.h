#pragma once
// Writes the Test Cases grid as delimited text in UTF-8: one line per grid row, the factor
// names first, each line ended with CR LF (see DelimitedLine for the quoting).

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
