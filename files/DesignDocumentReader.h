#pragma once
// Reading a design document (the layout is drawn in CFile.h) from its bytes. A quick look at
// the document's shape refuses nesting and attribute lists no design has, then one pass of a
// stream reader keeps only what the design tables need: the names of the sections, the items
// below them (a factor, a constraint, a previous test, a row) and the texts of their fields.
// Time and memory grow with the file, not with its nesting.

#include "model/TextTable.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

// Everything a design file holds, as the reader hands it out.
struct DesignFileContents {
    std::int32_t numFactors = 0, maxNumLevels = 0;
    LongArray levelCounts;
    TextTable factors;
    std::int32_t numConstraints = 0;
    TextTable constraints;
    std::int32_t numPrevRuns = 0;
    TextTable prevRuns;
    std::int32_t numRows = 0, numCols = 0;  // the matrix, factor-name row included
    TextTable matrix;
};

// Reads the document into contents (maxNumLevels comes in as 0 and is raised to the largest
// level count). False when the bytes are no design of this layout: contents keeps every value
// then and reason gets a sentence saying why.
bool ReadDesignDocument(const QByteArray& bytes, DesignFileContents& contents, QString& reason);
