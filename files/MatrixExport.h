#pragma once
// Exporting the Test Cases matrix: the grid's block (rows 1..maxRows, columns 1..maxCols; the
// factor names are row 1) written in one of the formats of ExportKind. A file is written beside its
// target and takes the target's place only once complete, so a failed export leaves no partial
// file and any earlier file of that name unchanged.

#include "files/ExportKind.h"
#include "platform/Result.h"

#include <QString>

class GridCellStore;
class QIODevice;
class QObject;

namespace MatrixExport {

// Writes the grid in the kind's format to the device. A failure says why when the grid cannot
// be put in that format or the device refuses the bytes.
Result<void> WriteMatrix(const GridCellStore& grid, ExportKind kind, QIODevice& device);

// Writes the file. A failure says why, and nothing is changed on disk then.
Result<void> ExportMatrixToFile(const GridCellStore& grid, ExportKind kind, const QString& path);

// As ExportMatrixToFile; a failure is shown in a message box naming the file and the reason.
bool ExportMatrix(const GridCellStore& grid, ExportKind kind, const QString& path);

// The export command's work once the file name is chosen: writes the Test Cases grid to the
// file and opens it with its associated application. A file that cannot be opened is said in
// the status bar; the export still succeeded. False when nothing was written (after its message).
bool ExportTestCases(const GridCellStore& testCases, ExportKind kind, const QString& path, QObject* owner);

}  // namespace MatrixExport
