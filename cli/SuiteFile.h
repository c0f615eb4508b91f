#pragma once
// Rows of test cases read from a file that another tool, a spreadsheet or vantrel-cli wrote:
// tab-separated (its first line holds a tab), comma-separated, or the JSON document of
// --format json. The first line (JSON: "factors") names factors of the design, in any order and
// not necessarily all of them; a cell names a level by its name, its name as test cases show it
// ("~" before an invalid one) or one of its other names, or is empty.

#include <vantrel/design.hpp>

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

struct SuiteFileError {
    int line = 0;    // 1-based; in a JSON document, the row (0: the factors)
    int column = 0;  // 1-based, in characters; in a JSON document, the cell
    QString message;
};

struct SuiteRows {
    // Level codes 0-based, in the design's factor order; -1 where the file names no level.
    std::vector<std::vector<int32_t>> codes;
    std::vector<int> lines;  // the file line (JSON: the row) of each
};

// wholeRows: every factor must have a column and every cell a level (tests already run).
bool ReadSuiteFile(const QByteArray& bytes, const vantrel::Design& design, bool wholeRows, SuiteRows& rows,
                   SuiteFileError& error);
