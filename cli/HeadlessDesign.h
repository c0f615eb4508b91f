#pragma once
// A design file loaded into the program's sheets without windows, so that the command line
// reads, validates and saves it exactly as the desktop program does.

#include "model/TextTable.h"

#include <QString>

#include <cstdint>

struct DesignFileTables {
    std::int32_t numFactors = 0, maxNumLevels = 0;
    LongArray levelCounts;
    TextTable factors;
    std::int32_t numConstraints = 0;
    TextTable constraints;
    std::int32_t numPrevRuns = 0;
    TextTable prevRuns;
    std::int32_t numRows = 0, numCols = 0;  // the saved matrix, factor-name row included
    TextTable matrix;
};

// The design tables after a read, validated or not.
struct ReadTables {
    TextTable factors;
    LongArray levelCounts;
    TextTable constraints;
    std::int32_t numConstraints = 0;
    TextTable prevRuns;
    std::int32_t numPrevRuns = 0;
    std::int32_t numFactors() const { return factors.isDimensioned() ? factors.colUpper() : 0; }
};

namespace HeadlessDesign {
// Reads the file and fills the four sheets and the model counts from it. False, with the
// reason, when the file is no readable design.
bool Open(const QString& path, QString& reason);

// Reads the three tables through the model, as generation (validate) or saving does.
// False after the model's own message.
bool Read(bool validate, ReadTables& tables);

// Puts a generated matrix (level names, one row per test case) on the Test Cases sheet,
// its first row the factor names.
void SetTestCases(const ReadTables& tables, const std::vector<std::vector<QString>>& rows);

// Saves the sheets to the file as the desktop program's Save does.
bool Save(const QString& path);
}  // namespace HeadlessDesign
