#include "model/TableRows.h"

namespace TableRows {
std::int32_t NumEmptyRowsAtBottom(const TextTable& table, std::int32_t numRows)
{
    std::int32_t count = 0;
    for (int r = numRows; r >= 1; --r) {
        for (int c = table.colLower(); c <= table.colUpper(); ++c)
            if (!table.at(r, c).isEmpty())
                return count;
        ++count;
    }
    return count;
}
}  // namespace TableRows
