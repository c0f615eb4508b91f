#pragma once
// Writes the Test Cases grid as delimited text in UTF-8: one line per grid row, the factor
// names first, each line ended with CR LF (see DelimitedLine for the quoting).

#include "files/DelimitedLine.h"

#include <QString>

class GridCellStore;
class QIODevice;

class DelimitedMatrixWriter {
public:
    explicit DelimitedMatrixWriter(TextFormat format) : mFormat(format) {}
    bool write(const GridCellStore& grid, QIODevice& device, QString* Ret_strReason) const;

private:
    TextFormat mFormat;
};
