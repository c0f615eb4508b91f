#pragma once
// Writes the Test Cases grid as an XML document in UTF-8: the root element "QXV-Matrix" holds
// one "Row" element per grid row, the factor names first; a row holds one "Cell" element per
// column with the cell's text.

#include "platform/Result.h"

class GridCellStore;
class QIODevice;

class XmlMatrixWriter {
public:
    // Refuses, before writing anything, a grid with a character that XML 1.0 cannot carry.
    static Result<void> write(const GridCellStore& grid, QIODevice& device);
};
