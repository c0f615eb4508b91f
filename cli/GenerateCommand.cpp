// generate: the suite of a design, through the library's one path, as text or JSON.

#include "cli/CliCommands.h"

#include "cli/CliReporter.h"
#include "cli/CliSupport.h"
#include "cli/HeadlessDesign.h"
#include "cli/JsonReport.h"
#include "files/ExportOutput.h"
#include "platform/MessageBox.h"

#include <vantrel/delimited.hpp>

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace CliCommands {

using namespace CliSupport;

namespace {

// --previous: its rows join the design's previous tests, each refused if it breaks the
// constraints. --include: its rows are the suite's first, completed by the generator. The
// model is compiled again with them.
int AddSeedsAndPrevious(const CliOptions& options, CommandDesign& read, std::vector<int>& seedLines)
{
    vantrel::Model model = read.design->model();
    if (!options.previous.isEmpty()) {
        SuiteRows previous;
        if (const int failed = ReadRowsFile(options.previous, *read.design, true, previous))
            return failed;
        for (std::size_t r = 0; r < previous.codes.size(); ++r) {
            const vantrel::Row row = ShownRow(*read.design, previous.codes[r]);
            if (const std::string problem = read.design->RowProblem(row); !problem.empty()) {
                Tell(QStringLiteral("%1:%2:1: this test %3").arg(options.previous).arg(previous.lines[r]).arg(QString::fromStdString(problem)));
                return kExitRefused;
            }
            model.previous.push_back(row);
        }
    }
    if (!options.include.isEmpty()) {
        SuiteRows seeds;
        if (const int failed = ReadRowsFile(options.include, *read.design, false, seeds))
            return failed;
        for (const std::vector<int32_t>& codes : seeds.codes)
            model.seeds.push_back(ShownRow(*read.design, codes));
        seedLines = seeds.lines;
    }
    return options.previous.isEmpty() && options.include.isEmpty() ? kExitOk : Recompile(options, model, read);
}

vantrel::Options OptionsOf(const CliOptions& options)
{
    vantrel::Options settings;
    settings.strength = options.strength;
    if (options.seedGiven)
        settings.seed = options.seed;
    if (options.evolutionsGiven)
        settings.evolutions = options.evolutions;
    settings.pairEvolutions = options.evolutions;
    settings.timeLimit = options.timeLimit;
    settings.compactSeconds = options.compactSeconds;
    settings.compactMoves = options.compactMoves;
    settings.searchMoves = options.searchMoves;
    settings.threads = options.threads;
    return settings;
}

// The moves of each compaction, as --compact-moves takes them.
std::string MovesList(const std::vector<int64_t>& moves)
{
    std::string list;
    for (const int64_t m : moves) {
        if (!list.empty())
            list += ',';
        list += std::to_string(m);
    }
    return list;
}

// What compaction did and which options repeat a time budget's result, on standard error.
void TellCompaction(const CliOptions& options, const vantrel::Suite& suite, int seeds)
{
    const bool compact =
        options.compactSeconds > 0 || options.compactMoves > 0 || !options.searchMoves.empty() || options.timeLimit > 0;
    if (compact && suite.compactedFrom > 0)
        std::fprintf(stderr, "Compaction: %d test cases before, %d after, %lld moves%s.\n", suite.compactedFrom - seeds,
                     suite.compactedTo - seeds, static_cast<long long>(suite.compactionMoves),
                     suite.compactionTimeUp ? " (stopped by the time limit)" : "");
    // Where an evolution was cut short or several compactions stopped at moves of their own,
    // only the same budget repeats the suite.
    const long long moves = suite.compactionMoves;
    if (options.timeLimit > 0 && suite.builtAtOnce)
        std::fprintf(stderr,
                     "Within %g s: %d evolutions, then a suite made at once kept in their place, and %lld compaction "
                     "moves.\n",
                     options.timeLimit, suite.evolutionsRun, moves);
    else if (options.timeLimit > 0 && suite.evolutionCut)
        std::fprintf(stderr, "Within %g s: %d evolutions, the last cut short by the time limit, and %lld compaction moves.\n",
                     options.timeLimit, suite.evolutionsRun, moves);
    else if (options.timeLimit > 0 && suite.compactionsRun > 1)
        std::fprintf(stderr,
                     "Within %g s: %d evolutions and %u compactions at once, the one kept of %lld moves (--evolutions "
                     "%d --compact-moves %s).\n",
                     options.timeLimit, suite.evolutionsRun, suite.compactionsRun, moves, suite.evolutionsRun,
                     MovesList(suite.searchMoves).c_str());
    else if (options.timeLimit > 0 && suite.compactedFrom == 0)  // too little time left to start one
        std::fprintf(stderr, "Within %g s: %d evolutions and no compaction (--evolutions %d).\n", options.timeLimit,
                     suite.evolutionsRun, suite.evolutionsRun);
    else if (options.timeLimit > 0)
        std::fprintf(stderr, "Within %g s: %d evolutions and %lld compaction moves (--evolutions %d --compact-moves %lld).\n",
                     options.timeLimit, suite.evolutionsRun, moves, suite.evolutionsRun, std::max<long long>(moves, 1));
}

// The search: kExitOk with the suite, or the exit status after the error was told.
int Search(const CliOptions& options, const CommandDesign& read, const std::vector<int>& seedLines, CliReporter& reporter,
           vantrel::Suite& suite)
{
    vantrel::Result<vantrel::Suite> searched =
        read.design->Generate(OptionsOf(options), [&](const vantrel::Progress& progress) { return reporter.SearchProgress(progress); });
    reporter.CloseProgress();
    if (searched) {
        suite = std::move(searched).value();
        return kExitOk;
    }
    const vantrel::Error& error = searched.error();
    if (error.kind == vantrel::Error::Kind::Rows && !seedLines.empty())
        Tell(QStringLiteral("%1:%2:1: %3")
                 .arg(options.include)
                 .arg(seedLines[std::size_t(error.row - 1)])
                 .arg(QString::fromStdString(error.message)));
    else
        Tell(QString::fromStdString(error.message));
    return kExitRefused;
}

std::vector<std::vector<QString>> QRows(const std::vector<vantrel::Row>& rows)
{
    std::vector<std::vector<QString>> converted;
    for (const vantrel::Row& row : rows) {
        std::vector<QString>& cells = converted.emplace_back();
        for (const std::string& cell : row)
            cells.push_back(QString::fromStdString(cell));
    }
    return converted;
}

// The generated suite as one JSON document, with what it covers of what the design requires.
QByteArray GeneratedJson(const CommandDesign& read, const vantrel::Suite& suite, const CliOptions& options)
{
    const vantrel::Coverage coverage = read.design->CoverageOf(suite.rows, {options.strength, false, false});
    QJsonObject summary = JsonReport::CoverageSummary(coverage, read.text);
    summary.insert(QStringLiteral("rows"), double(suite.rows.size()));
    summary.insert(QStringLiteral("strength"), options.strength);
    summary.insert(QStringLiteral("seed"), QString::number(suite.seed));  // as text: JSON numbers lose 64-bit seeds
    QJsonArray warnings;
    if (!suite.converged)
        warnings.append(QStringLiteral("Failed to converge; this is usually caused by a nested constraint."));
    summary.insert(QStringLiteral("warnings"), warnings);
    return JsonReport::Document(read.text, QRows(suite.rows), summary);
}

// --save: the suite becomes the design file's matrix, unless another program changed the file.
int SaveSuite(const CliOptions& options, const DesignText& tables, const std::vector<vantrel::Row>& rows,
              CliReporter& reporter)
{
    HeadlessDesign::SetTestCases(tables, QRows(rows));
    reporter.setQuestionAnswer(MsgResult::Yes);  // keep a large matrix in the file
    switch (HeadlessDesign::Save(options.design)) {
    case CFile::GuardedSave::Saved: return kExitOk;
    case CFile::GuardedSave::NotSaved: return kExitUsage;
    case CFile::GuardedSave::ChangedOnDisk: break;
    }
    // Another program changed the design while the search ran: its work stays.
    std::fprintf(stderr, "The design %s was changed on disk since it was read; it was not saved.\n",
                 QFile::encodeName(options.design).constData());
    return kExitRefused;
}

// The suite as the options ask: JSON, or delimited text by the library's one writer.
int WriteSuite(const CliOptions& options, const CommandDesign& read, const vantrel::Suite& suite)
{
    QByteArray output;
    if (options.json) {
        output = GeneratedJson(read, suite, options);
    } else {
        const vantrel::Result<std::string> text = vantrel::Delimited(
            suite.factors, suite.rows, options.format == TextFormat::Csv ? vantrel::Delimiter::Comma : vantrel::Delimiter::Tab);
        if (!text) {
            Tell(QString::fromStdString(text.error().message));
            return kExitRefused;
        }
        output = QByteArray::fromStdString(text.value());
    }
    return WriteBytes(options.output, [&](QIODevice& device) { return WriteToDevice(device, output); }) ? kExitOk : kExitUsage;
}

}  // namespace

int Generate(const CliOptions& options)
{
    CliReporter reporter;
    CommandDesign read;
    if (const int refused = OpenAndRead(options, QString::fromLatin1(kTooSmallToGenerate), read))
        return refused;
    if (options.save && (options.design == QLatin1String("-") || HeadlessDesign::OpenedModelText())) {
        std::fprintf(stderr, "vantrel-cli: --save stores the matrix in a design file; a model text holds none "
                             "(convert it to a .test first)\n");
        return kExitUsage;
    }
    std::vector<int> seedLines;  // the line of each seed row in its file
    if (const int failed = AddSeedsAndPrevious(options, read, seedLines))
        return failed;
    vantrel::Suite suite;
    if (const int failed = Search(options, read, seedLines, reporter, suite))
        return failed;
    TellCompaction(options, suite, int(read.design->model().seeds.size()));
    if (suite.rows.empty()) {
        ShowMessage(QStringLiteral("The Previous Tests contain all the combinations."), MsgButtons::OkCancel,
                    MsgIcon::Information);
        return kExitRefused;
    }
    if (!suite.converged)
        ShowMessage(QStringLiteral("Failed to converge; this is usually caused by a nested constraint."),
                    MsgButtons::Ok, MsgIcon::None, 26);
    if (const int failed = WriteSuite(options, read, suite))
        return failed;
    return options.save ? SaveSuite(options, read.text, suite.rows, reporter) : kExitOk;
}

}  // namespace CliCommands
