#pragma once
// The commands of vantrel-cli, each given the parsed options and answering with the exit code.

#include "files/DelimitedLine.h"
#include "files/ExportKind.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

struct CliOptions {
    QString design;
    std::int32_t evolutions = 1000;  // for strength 3 and more, unless given, their own default
    bool evolutionsGiven = false;
    std::int32_t strength = 2;
    std::uint64_t seed = 0;
    bool seedGiven = false;
    unsigned threads = 0;  // 0: every core
    double compactSeconds = 0;      // compaction's time limit; 0: none
    std::int64_t compactMoves = 0;  // compaction's moves; 0: as many as the time allows
    std::vector<std::int64_t> searchMoves;  // --compact-moves M1,M2,...: one compaction each
    double timeLimit = 0;           // the whole generation's wall time; 0: none
    QString formatName;  // as given; read into format or exportKind by the command
    TextFormat format = TextFormat::Tsv;
    bool json = false;  // --format json: one JSON document instead of the text
    QString output;  // empty: standard output
    bool save = false;
    bool yes = false;
    bool missing = false;
    QString include;   // rows that must be in the suite
    QString previous;  // tests already run, added to the design's
    QString suite;     // a suite to count the coverage of, in place of the saved matrix
    QString plot;      // where coverage draws its growth chart (SVG)
    QStringList levels;  // explain's FACTOR=LEVEL operands
    ExportKind exportKind = ExportKind::CommaDelimited;
};

// Exit codes of vantrel-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;  // the design was refused, or no matrix resulted
inline constexpr int kExitUsage = 2;    // a usage error, or a file that cannot be read or written

namespace CliCommands {
int Generate(const CliOptions& options);
int Validate(const CliOptions& options);
// Exit status 0 only when every combination the design requires is covered and no test case
// breaks a constraint; 1 otherwise.
int Coverage(const CliOptions& options);
// Whether the levels can stand in one valid test case (0, with one such test case) or not (1,
// with the smallest set of rules and Constraints rows that forbids them).
int Explain(const CliOptions& options);
int All(const CliOptions& options);
int Export(const CliOptions& options);
// Writes the design as the other kind: OUT ending in .test a design document, else a model text.
int Convert(const CliOptions& options);
}  // namespace CliCommands
