#pragma once
// What the commands of vantrel-cli share: opening and reading the design, reading a file of
// rows, writing the output.

#include "cli/CliCommands.h"
#include "cli/SuiteFile.h"
#include "model/DesignModel.h"
#include "platform/Result.h"

#include <vantrel/design.hpp>

#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace CliSupport {

inline const char* const kTooSmallToGenerate =
    "You must have at least two factors at two levels before generating the combinations.";
inline const char* const kTooSmallToSearch =
    "You must have at least two factors at two levels to perform this operation.";

// A read design: its tables, and the library's model of it, compiled once.

// Opens the design onto the sheets: kExitOk, kExitRefused for a model text with a problem at
// its line and column, or kExitUsage for a file that cannot be read, each told.
int OpenDesign(const CliOptions& options, DesignText* read = nullptr);

// Opens the design, makes the size check of generation and search (when given its refusal),
// reads the three tables with validation and compiles the model; a rules text that does not
// check is told as DESIGN:LINE:COLUMN: message. kExitOk when the design is ready.
int OpenAndRead(const CliOptions& options, const QString& tooSmallRefusal, CommandDesign& read);
// Compiles the model (the read one, with rows added) into read.design; kExitOk, or the exit
// status after the problem was told.
int Recompile(const CliOptions& options, const vantrel::Model& model, CommandDesign& read);

// The rows of a TSV, CSV or JSON file as level codes; kExitOk, or the exit status after the
// problem was told (FILE:LINE:COLUMN: message).
int ReadRowsFile(const QString& path, const vantrel::Design& design, bool wholeRows, SuiteRows& rows);
// A row of level codes (0-based, -1 for none) as test cases show the levels ("" for none).
vantrel::Row ShownRow(const vantrel::Design& design, const std::vector<int32_t>& codes);

// The test cases of the opened design's saved matrix, as level names (or as shown).
std::vector<std::vector<std::string>> SavedMatrix(const DesignText& tables);

// Writes to the file, or to standard output when the path is empty or "-".
bool WriteBytes(const QString& path, const std::function<Result<void>(QIODevice&)>& write);

// A message on standard error, with its line end.
void Tell(const QString& message);

}  // namespace CliSupport
