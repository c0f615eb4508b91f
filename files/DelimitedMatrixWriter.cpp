#include "files/DelimitedMatrixWriter.h"

#include "files/ExportOutput.h"
#include "model/GridCellStore.h"

Result<void> DelimitedMatrixWriter::write(const GridCellStore& grid, QIODevice& device) const
{
    for (int r = 1; r <= grid.maxRows(); ++r) {
        QStringList cells;
        cells.reserve(grid.maxCols());
        for (int c = 1; c <= grid.maxCols(); ++c)
            cells << grid.text(c, r);
        const QByteArray line = (DelimitedLine(cells, mFormat) + QLatin1String("\r\n")).toUtf8();
        if (Result<void> written = WriteToDevice(device, line); !written)
            return written;
    }
    return {};
}
