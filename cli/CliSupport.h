#pragma once
// What the commands of vantrel-cli share: opening and reading the design, reading a file of
// rows, writing the output.

#include "cli/CliCommands.h"
#include "cli/SuiteFile.h"
#include "engine/ConstraintModel.h"
#include "engine/DesignTables.h"
#include "model/DesignText.h"
#include "platform/Result.h"

#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace CliSupport {

inline const char* const kTooSmallToGenerate =
    "You must have at least two factors at two levels before generating the combinations.";
inline const char* const kTooSmallToSearch =
    "You must have at least two factors at two levels to perform this operation.";

// A read design as the engine takes it, with its constraints compiled once.
struct ReadDesign {
    DesignText tables;
    DesignTables design;
    std::shared_ptr<const ConstraintModel> constraints;
};

// Opens the design onto the sheets: kExitOk, kExitRefused for a model text with a problem at
// its line and column, or kExitUsage for a file that cannot be read, each told.
int OpenDesign(const CliOptions& options, DesignText* read = nullptr);

// Opens the design, makes the size check of generation and search (when given its refusal),
// reads the three tables with validation and compiles the constraints; a rules text that does
// not check is told as DESIGN:LINE:COLUMN: message. kExitOk when the design is ready.
int OpenAndRead(const CliOptions& options, const QString& tooSmallRefusal, ReadDesign& read);

// The rows of a TSV, CSV or JSON file as level codes; kExitOk, or the exit status after the
// problem was told (FILE:LINE:COLUMN: message).
int ReadRowsFile(const QString& path, const DesignTables& design, bool wholeRows, SuiteRows& rows);

// The test cases of the opened design's saved matrix, as level names (or as shown).
std::vector<std::vector<std::string>> SavedMatrix(const DesignText& tables);

// Writes to the file, or to standard output when the path is empty or "-".
bool WriteBytes(const QString& path, const std::function<Result<void>(QIODevice&)>& write);

// A message on standard error, with its line end.
void Tell(const QString& message);

}  // namespace CliSupport
