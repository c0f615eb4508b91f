#include "files/DelimitedMatrixWriter.h"

#include "files/ExportOutput.h"
#include "model/GridCellStore.h"

#include <vantrel/delimited.hpp>

Result<void> DelimitedMatrixWriter::write(const GridCellStore& grid, QIODevice& device) const
{
    // The library's one writer of the format, as generate and all write it.
    const vantrel::Delimiter delimiter = mFormat == TextFormat::Csv ? vantrel::Delimiter::Comma : vantrel::Delimiter::Tab;
    for (int r = 1; r <= grid.maxRows(); ++r) {
        std::vector<std::string> cells;
        cells.reserve(std::size_t(grid.maxCols()));
        for (int c = 1; c <= grid.maxCols(); ++c)
            cells.push_back(grid.text(c, r).toStdString());
        const vantrel::Result<std::string> line = vantrel::DelimitedLine(cells, delimiter);
        if (!line)
            return Failure{QString::fromStdString(line.error().message)};
        if (Result<void> written = WriteToDevice(device, QByteArray::fromStdString(line.value())); !written)
            return written;
    }
    return {};
}
