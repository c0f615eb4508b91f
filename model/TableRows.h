#pragma once
// Row helpers on the design tables.

#include "model/TextTable.h"

#include <cstdint>

namespace TableRows {
// Counts, from the last of numRows rows upward, the rows whose cells all have length 0.
// A cell of spaces is not empty.
std::int32_t NumEmptyRowsAtBottom(const TextTable& table, std::int32_t numRows);
}
