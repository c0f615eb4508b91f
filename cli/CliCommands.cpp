#include "cli/CliCommands.h"

#include "model/EngineDesign.h"
#include "cli/CliReporter.h"
#include "cli/HeadlessDesign.h"
#include "cli/JsonReport.h"
#include "cli/SuiteFile.h"
#include "engine/CAllCombinations.h"
#include "engine/CCalcNWay.h"
#include "engine/EngineFatalError.h"
#include "engine/RandomStream.h"
#include "engine/SeedCompletion.h"
#include "engine/TupleEvolution.h"
#include "files/ExportOutput.h"
#include "files/FileWriter.h"
#include "files/MatrixExport.h"
#include "files/ModelText.h"
#include "model/DesignWorkbook.h"
#include "model/GridCellStore.h"
#include "platform/MessageBox.h"
#include "search/CFind.h"
#include "search/CoverageSummary.h"
#include "search/TupleCoverage.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTextStream>

#include <array>
#include <limits>
#include <cstdio>
#include <functional>
#include <set>

namespace CliCommands {

namespace {

// Opens the design onto the sheets: kExitOk, kExitRefused for a model text with a problem at
// its line and column, or kExitUsage for a file that cannot be read, each told.
int OpenDesign(const CliOptions& options, DesignText* read = nullptr)
{
    Result<DesignText, DesignReadFailure> opened = HeadlessDesign::Open(options.design);
    if (opened) {
        if (read)
            *read = std::move(opened).value();
        return kExitOk;
    }
    const DesignReadFailure& failure = opened.error();
    const QByteArray path = HeadlessDesign::ShownPath(options.design).toLocal8Bit();
    if (failure.line > 0) {
        std::fprintf(stderr, "%s:%d:%d: %s\n", path.constData(), failure.line, failure.column,
                     failure.message.toLocal8Bit().constData());
        return kExitRefused;
    }
    std::fprintf(stderr, "Error opening file: %s: %s\n", path.constData(), failure.message.toLocal8Bit().constData());
    return kExitUsage;
}

// Writes to the file, or to standard output when the path is empty or "-".
bool WriteBytes(const QString& path, const std::function<Result<void>(QIODevice&)>& write)
{
    const bool toStandardOutput = path.isEmpty() || path == QLatin1String("-");
    std::fflush(stdout);
    FileWriter file = toStandardOutput ? FileWriter(stdout) : FileWriter(path);
    Result<void> written = file.open();
    if (written)
        written = write(file.device());
    if (written)
        written = file.commit();
    if (written)
        return true;
    std::fprintf(stderr, "Cannot write %s: %s\n",
                 toStandardOutput ? "to standard output" : QFile::encodeName(path).constData(),
                 written.error().toLocal8Bit().constData());
    return false;
}


// A read design as the engine takes it, with its constraints compiled once.
struct ReadDesign {
    DesignText tables;
    DesignTables design;
    std::shared_ptr<const ConstraintModel> constraints;
};

// Opens the design, makes the size check of generation and search (when given its refusal),
// reads the three tables with validation and compiles the constraints; a rules text that does
// not check is told as DESIGN:LINE:COLUMN: message. kExitOk when the design is ready.
int OpenAndRead(const CliOptions& options, const QString& tooSmallRefusal, ReadDesign& read)
{
    if (const int failed = OpenDesign(options))
        return failed;
    if (!tooSmallRefusal.isEmpty() && !HeadlessDesign::Workbook().HasTwoFactorsAtTwoLevels(tooSmallRefusal))
        return kExitRefused;
    if (!HeadlessDesign::Workbook().Read(true, read.tables))
        return kExitRefused;
    read.design = ToEngineDesign(read.tables);
    RuleError error;
    read.constraints = CompileConstraints(read.design, error);
    if (read.constraints)
        return kExitOk;
    std::fprintf(stderr, "%s:%d:%d: %s\n", HeadlessDesign::ShownPath(options.design).toLocal8Bit().constData(),
                 error.at.line + HeadlessDesign::RulesFirstLine() - 1, error.at.column, error.message.c_str());
    return kExitRefused;
}

const char* const kTooSmallToGenerate =
    "You must have at least two factors at two levels before generating the combinations.";
const char* const kTooSmallToSearch = "You must have at least two factors at two levels to perform this operation.";

// The header line of a matrix: the factor names.
QString NamesLine(const DesignText& tables, TextFormat format)
{
    QStringList names;
    for (int f = 1; f <= tables.numFactors; ++f)
        names << tables.factors.at(0, f);
    return DelimitedLine(names, format) + QLatin1Char('\n');
}

constexpr qsizetype kChunkBytes = 1 << 16;

QString Counted(std::size_t count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

QString MatrixText(const DesignText& tables, const std::vector<std::vector<QString>>& rows, TextFormat format)
{
    QString text = NamesLine(tables, format);
    for (const std::vector<QString>& row : rows)
        text += DelimitedLine(QStringList(row.begin(), row.end()), format) + QLatin1Char('\n');
    return text;
}

// The generated suite as one JSON document, with what it covers of what the design requires.
QByteArray GeneratedJson(const ReadDesign& read, const GeneratedMatrix& matrix,
                         const std::vector<std::vector<QString>>& rows, const CliOptions& options, std::uint64_t seed,
                         bool converged)
{
    const TupleCoverage coverage = CountTupleCoverage(read.design, *read.constraints, matrix.names, options.strength, true);
    QJsonObject summary = JsonReport::CoverageSummary(coverage, read.tables);
    summary.insert(QStringLiteral("rows"), double(rows.size()));
    summary.insert(QStringLiteral("strength"), options.strength);
    summary.insert(QStringLiteral("seed"), QString::number(seed));  // as text: JSON numbers lose 64-bit seeds
    QJsonArray warnings;
    if (!converged)
        warnings.append(QStringLiteral("Failed to converge; this is usually caused by a nested constraint."));
    summary.insert(QStringLiteral("warnings"), warnings);
    return JsonReport::Document(read.tables, rows, summary);
}

}  // namespace

namespace {

int CannotRead(const QString& path, const QString& reason)
{
    std::fprintf(stderr, "Cannot read %s: %s\n", QFile::encodeName(path).constData(), reason.toLocal8Bit().constData());
    return kExitUsage;
}

// The rows of a TSV, CSV or JSON file as level codes; kExitOk, or the exit status after the
// problem was told (FILE:LINE:COLUMN: message).
int ReadRowsFile(const QString& path, const DesignTables& design, bool wholeRows, SuiteRows& rows)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return CannotRead(path, file.errorString());
    SuiteFileError error;
    if (ReadSuiteFile(file.readAll(), design, wholeRows, rows, error))
        return kExitOk;
    std::fprintf(stderr, "%s:%d:%d: %s\n", QFile::encodeName(path).constData(), error.line, error.column,
                 error.message.toLocal8Bit().constData());
    return kExitRefused;
}

std::vector<std::string> RowNames(const DesignTables& design, const std::vector<std::int32_t>& codes, bool shown)
{
    std::vector<std::string> names;
    for (std::int32_t f = 0; f < design.NumFactors(); ++f)
        names.push_back(shown ? design.ShownName(f, codes[std::size_t(f)] + 1) : design.Name(f, codes[std::size_t(f)] + 1));
    return names;
}

// --previous: its rows join the design's previous tests. --include: its rows, completed, too,
// and they are the suite's first rows (seedRows, as shown).
int AddSeedsAndPrevious(const CliOptions& options, ReadDesign& read, std::vector<std::vector<QString>>& seedRows)
{
    DesignTables& design = read.design;
    if (!options.previous.isEmpty()) {
        SuiteRows previous;
        if (const int failed = ReadRowsFile(options.previous, design, true, previous))
            return failed;
        for (const std::vector<std::int32_t>& codes : previous.codes)
            design.prevRuns.push_back(RowNames(design, codes, false));
    }
    if (options.include.isEmpty())
        return kExitOk;
    SuiteRows seeds;
    if (const int failed = ReadRowsFile(options.include, design, false, seeds))
        return failed;
    const ConstraintModel& model = *read.constraints;
    std::vector<std::vector<std::int32_t>> previousCodes;
    for (const std::vector<std::string>& run : design.prevRuns) {
        std::vector<std::int32_t>& codes = previousCodes.emplace_back();
        for (std::int32_t f = 0; f < design.NumFactors(); ++f)
            codes.push_back(design.LevelOfShownName(f, run[std::size_t(f)]) - 1);
    }
    std::vector<std::int32_t> weights(std::size_t(model.NumEntries()), 1);
    for (const auto& [at, weight] : read.tables.levelWeights)
        if (at.second <= model.NumFactors() && at.first <= model.Levels()[std::size_t(at.second - 1)])
            weights[std::size_t(model.LevelOffset()[std::size_t(at.second - 1)] + at.first - 1)] = weight;
    const std::int32_t broken = CompleteSeedRows(model, previousCodes, seeds.codes, weights);
    if (broken >= 0) {
        std::fprintf(stderr, "%s:%d:1: no valid test case holds the levels of this row\n",
                     QFile::encodeName(options.include).constData(), seeds.lines[std::size_t(broken)]);
        return kExitRefused;
    }
    for (const std::vector<std::int32_t>& codes : seeds.codes) {
        design.prevRuns.push_back(RowNames(design, codes, false));
        std::vector<QString>& shown = seedRows.emplace_back();
        for (const std::string& name : RowNames(design, codes, true))
            shown.push_back(QString::fromStdString(name));
    }
    return kExitOk;
}

// What compaction did and which options repeat a time budget's result, on standard error.
void TellCompaction(const CliOptions& options, const CCalcNWay& calc, const DesignTables& design)
{
    const bool compact = options.compactSeconds > 0 || options.compactMoves > 0 || options.timeLimit > 0;
    const MatrixCompaction::Outcome& done = calc.Compaction();
    if (compact && done.rowsBefore > 0) {
        const auto previous = static_cast<std::int32_t>(design.prevRuns.size());
        std::fprintf(stderr, "Compaction: %d test cases before, %d after, %lld moves%s.\n", done.rowsBefore - previous,
                     done.rowsAfter - previous, static_cast<long long>(done.moves),
                     done.timeUp ? " (stopped by the time limit)" : "");
    }
    if (options.timeLimit > 0)
        std::fprintf(stderr, "Within %g s: %d evolutions and %lld compaction moves (--evolutions %d --compact-moves %lld).\n",
                     options.timeLimit, calc.EvolutionsFinished(), static_cast<long long>(done.moves),
                     calc.EvolutionsFinished(), static_cast<long long>(std::max<std::int64_t>(done.moves, 1)));
}

// The search with the options' budget: kExitOk with the matrix, or the exit status.
int Search(const CliOptions& options, const ReadDesign& read, std::uint64_t seed, CliReporter& reporter,
           GeneratedMatrix& matrix, std::int32_t& numRows, bool& converged)
{
    const std::int32_t evolutions = options.evolutionsGiven
                                        ? options.evolutions
                                        : TupleEvolution::EvolutionsFor(options.strength, options.evolutions,
                                                                        read.constraints->HasMixedRequirements(),
                                                                        TupleEvolution::PairsOf(read.design.levelCounts));
    CCalcNWay calc(reporter, evolutions, seed, options.threads);
    calc.SetConstraints(read.constraints);
    if (options.compactSeconds > 0 || options.compactMoves > 0 || options.timeLimit > 0)
        calc.SetCompaction(options.compactMoves > 0 ? options.compactMoves : std::numeric_limits<std::int64_t>::max(),
                           options.compactSeconds);
    calc.SetTimeLimit(options.timeLimit);
    try {
        if (!calc.CalcNWayQXVMatrix(options.strength, read.design, matrix, numRows, converged))
            return kExitRefused;
    } catch (const EngineFatalError&) {
        return kExitRefused;  // its message has been shown
    }
    reporter.closeNWayProgress();
    TellCompaction(options, calc, read.design);
    return kExitOk;
}

// --save: the suite becomes the design file's matrix, unless another program changed the file.
int SaveSuite(const CliOptions& options, const DesignText& tables, const std::vector<std::vector<QString>>& rows,
              CliReporter& reporter)
{
    HeadlessDesign::SetTestCases(tables, rows);
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

}  // namespace

int Generate(const CliOptions& options)
{
    CliReporter reporter;
    ReadDesign read;
    if (const int refused = OpenAndRead(options, QString::fromLatin1(kTooSmallToGenerate), read))
        return refused;
    if (options.save && (options.design == QLatin1String("-") || HeadlessDesign::OpenedModelText())) {
        std::fprintf(stderr, "vantrel-cli: --save stores the matrix in a design file; a model text holds none "
                             "(convert it to a .test first)\n");
        return kExitUsage;
    }
    std::vector<std::vector<QString>> rows;  // the seeds first
    if (const int failed = AddSeedsAndPrevious(options, read, rows))
        return failed;
    const std::uint64_t seed = options.seedGiven ? options.seed : RandomStream::ClockSeed();
    GeneratedMatrix matrix;
    std::int32_t numRows = 0;
    bool converged = false;
    if (const int failed = Search(options, read, seed, reporter, matrix, numRows, converged))
        return failed;
    // Seeds and previous tests that already cover every pair leave nothing to generate:
    // coverage is complete.
    converged = converged || numRows < 1;
    if (numRows < 1 && rows.empty()) {
        ShowMessage(QStringLiteral("The Previous Tests contain all the combinations."), MsgButtons::OkCancel,
                    MsgIcon::Information);
        return kExitRefused;
    }
    for (int r = 0; r < numRows; ++r) {
        std::vector<QString>& row = rows.emplace_back();
        for (const std::string& name : matrix.names[std::size_t(r)])
            row.push_back(QString::fromStdString(name));
    }
    if (!converged)
        ShowMessage(QStringLiteral("Failed to converge; this is usually caused by a nested constraint."),
                    MsgButtons::Ok, MsgIcon::None, 26);

    const QByteArray output = options.json ? GeneratedJson(read, matrix, rows, options, seed, converged)
                                           : MatrixText(read.tables, rows, options.format).toUtf8();
    if (!WriteBytes(options.output, [&](QIODevice& device) { return WriteToDevice(device, output); }))
        return kExitUsage;
    return options.save ? SaveSuite(options, read.tables, rows, reporter) : kExitOk;
}

namespace {

// The test cases of the saved matrix, as level names (or as shown).
std::vector<std::vector<std::string>> SavedMatrix(const DesignText& tables)
{
    const GridCellStore& grid = HeadlessDesign::Workbook().TestCasesGrid();
    std::vector<std::vector<std::string>> matrix;
    for (int r = 2; r <= grid.maxRows(); ++r) {  // row 1 holds the factor names
        std::vector<std::string>& row = matrix.emplace_back();
        for (int f = 1; f <= tables.numFactors; ++f)
            row.push_back(grid.text(f, r).toStdString());
    }
    return matrix;
}

// A level's or a pair's cells: factor name and level name, for each entry.
QStringList EntryCells(const DesignText& tables, const ConstraintModel& model, std::initializer_list<int> entries)
{
    QStringList cells;
    for (const int entry : entries) {
        const int f = model.LevelFactor()[std::size_t(entry)];
        cells << tables.factors.at(0, f + 1) << tables.factors.at(entry - model.LevelOffset()[std::size_t(f)] + 1, f + 1);
    }
    return cells;
}

// validate's answer as one JSON document: whether the design is valid, its rules and groups,
// and what its constraints exclude together.
int ValidateJson(const ReadDesign& read)
{
    const ConstraintModel& model = *read.constraints;
    QJsonArray levels, pairs;
    for (const int dead : model.Implied().deadLevels)
        levels.append(QJsonArray::fromStringList(EntryCells(read.tables, model, {dead})));
    for (const auto& [a, b] : model.Implied().pairs)
        pairs.append(QJsonArray::fromStringList(EntryCells(read.tables, model, {a, b})));
    const QJsonObject summary{{QStringLiteral("valid"), model.AnyValidRow()},
                              {QStringLiteral("rules"), model.NumRules()},
                              {QStringLiteral("groups"), int(model.Groups().size())},
                              {QStringLiteral("excludedLevels"), levels},
                              {QStringLiteral("excludedPairs"), pairs},
                              {QStringLiteral("warnings"), QJsonArray()}};
    const QByteArray text = JsonReport::Document(read.tables, {}, summary);
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
    return model.AnyValidRow() ? kExitOk : kExitRefused;
}

}  // namespace

int Validate(const CliOptions& options)
{
    CliReporter reporter;
    ReadDesign read;
    if (const int refused = OpenAndRead(options, QString(), read))
        return refused;
    const ConstraintModel& model = *read.constraints;
    if (options.json)
        return ValidateJson(read);
    QTextStream out(stdout);
    if (!model.AnyValidRow()) {
        out << "No test case can satisfy every constraint.\n";
        return kExitRefused;
    }
    out << "The design is valid.\n";
    if (model.NumRules() > 0 || !model.Groups().empty())
        out << "The rules text holds " << Counted(std::size_t(model.NumRules()), "rule", "rules")
            << (model.Groups().empty() ? QString() : QStringLiteral(" and ") + Counted(model.Groups().size(), "group", "groups"))
            << ".\n";
    // With invalid levels or groups, what the saved matrix covers of each kind.
    if (model.HasMixedRequirements())
        for (const QString& line :
             CoverageByKind(CountTupleCoverage(read.design, model, SavedMatrix(read.tables), 2, false), read.tables, 2))
            out << line << "\n";
    // Designs whose constraints exclude nothing together keep the one line; otherwise what they
    // exclude follows, a level or a pair a line.
    const ImpliedExclusions& implied = model.Implied();
    if (implied.deadLevels.empty() && implied.pairs.empty())
        return kExitOk;
    out << "Together the constraints also exclude " << Counted(implied.deadLevels.size(), "level", "levels") << " and "
        << Counted(implied.pairs.size(), "further pair", "further pairs") << " of levels that no constraint names.\n";
    for (const int dead : implied.deadLevels)
        out << DelimitedLine(EntryCells(read.tables, model, {dead}), options.format) << "\n";
    for (const auto& [a, b] : implied.pairs)
        out << DelimitedLine(EntryCells(read.tables, model, {a, b}), options.format) << "\n";
    return kExitOk;
}

namespace {

// coverage's answer as one JSON document: the saved matrix's rows, what they cover and, with
// --missing, each combination they lack.
int CoverageJson(const CliOptions& options, const ReadDesign& read, const std::vector<std::vector<std::string>>& matrix,
                 const TupleCoverage& coverage)
{
    QJsonObject summary = JsonReport::CoverageSummary(coverage, read.tables);
    summary.insert(QStringLiteral("rows"), double(matrix.size()));
    summary.insert(QStringLiteral("strength"), options.strength);
    if (options.missing) {
        // The invalid-level pairs follow the combinations of valid levels.
        QJsonArray missing;
        for (const TupleCoverage::Missing& m : coverage.missingCombinations) {
            QStringList cells;
            for (std::size_t i = 0; i < m.factors.size(); ++i)
                cells << read.tables.factors.at(0, m.factors[i]) << read.tables.factors.at(m.levels[i], m.factors[i]);
            missing.append(QJsonObject{{QStringLiteral("levels"), QJsonArray::fromStringList(cells)},
                                       {QStringLiteral("excludedTogether"), m.excludedTogether},
                                       {QStringLiteral("invalidLevel"), missing.size() >= coverage.missing}});
        }
        summary.insert(QStringLiteral("missing"), missing);
    }
    std::vector<std::vector<QString>> rows;
    for (const std::vector<std::string>& row : matrix) {
        std::vector<QString>& cells = rows.emplace_back();
        for (const std::string& cell : row)
            cells.push_back(QString::fromStdString(cell));
    }
    const QByteArray text = JsonReport::Document(read.tables, rows, summary);
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
    return kExitOk;
}

// The coverage of the combinations of levels of every `strength` factors by the matrix.
int TupleCoverageReport(const CliOptions& options, const ReadDesign& read,
                        const std::vector<std::vector<std::string>>& matrix)
{
    const TupleCoverage coverage =
        CountTupleCoverage(read.design, *read.constraints, matrix, options.strength, options.missing || options.json);
    if (options.json)
        return CoverageJson(options, read, matrix, coverage);
    const auto clamped = [](std::int64_t count) { return std::int32_t(std::min<std::int64_t>(count, INT32_MAX)); };
    QTextStream out(stdout);
    const TupleCoverage total = TotalOf(coverage);
    out << SummarizeCoverage(clamped(total.found), clamped(total.missing), coverage.violation).text << "\n";
    for (const QString& line : CoverageByKind(coverage, read.tables, options.strength))
        out << line << "\n";
    for (const TupleCoverage::Missing& missing : coverage.missingCombinations) {
        QStringList cells;
        for (std::size_t i = 0; i < missing.factors.size(); ++i)
            cells << read.tables.factors.at(0, missing.factors[i])
                  << read.tables.factors.at(missing.levels[i], missing.factors[i]);
        if (missing.excludedTogether)
            cells << QStringLiteral("excluded together");
        out << DelimitedLine(cells, options.format) << "\n";
    }
    return kExitOk;
}

// The pairs found nowhere, each marked when no valid test case can hold it: no matrix can cover it.
void ListMissingPairs(const CliOptions& options, const ReadDesign& read, CFind& find, QTextStream& out)
{
    const DesignText& tables = read.tables;
    const ConstraintModel& model = *read.constraints;
    for (int i = 1; i < tables.numFactors; ++i)
        for (int j = i + 1; j <= tables.numFactors; ++j)
            for (int a = 1; a <= tables.levelCounts.at(i); ++a)
                for (int b = 1; b <= tables.levelCounts.at(j); ++b) {
                    LongArray locations, rows;
                    std::int32_t count = 0;
                    bool violated = false;
                    if (find.Find2Way(i, a, j, b, locations, rows, count, violated))
                        continue;
                    const int first = model.LevelOffset()[std::size_t(i - 1)] + a - 1;
                    const int second = model.LevelOffset()[std::size_t(j - 1)] + b - 1;
                    QStringList cells = EntryCells(tables, model, {first, second});
                    if (!model.AnyValidRow() || model.Excluded(first, second))
                        cells << QStringLiteral("excluded together");
                    out << DelimitedLine(cells, options.format) << "\n";
                }
}

// The rows of the suite that break a constraint or a rule, each with what it breaks.
QStringList BrokenRows(const ReadDesign& read, const SuiteRows& suite)
{
    const ConstraintModel& model = *read.constraints;
    QStringList broken;
    for (std::size_t r = 0; r < suite.codes.size(); ++r) {
        const std::vector<std::int32_t>& codes = suite.codes[r];
        if (std::find(codes.begin(), codes.end(), -1) != codes.end() || model.RowIsValid(codes.data()))
            continue;
        QStringList what;
        const ConstraintModel::Statements statements = model.BrokenBy(codes.data());
        for (const std::int32_t row : statements.constraintRows)
            what << QStringLiteral("constraint %1").arg(row);
        for (const std::int32_t rule : statements.rules)
            what << QStringLiteral("the rule on line %1").arg(model.RuleLine(rule) + HeadlessDesign::RulesFirstLine() - 1);
        if (what.isEmpty())
            what << QStringLiteral("more than one invalid level");
        broken << QStringLiteral("The test case on line %1 breaks %2.").arg(suite.lines[r]).arg(what.join(QStringLiteral(", ")));
    }
    return broken;
}

// coverage --suite: what a suite from anywhere covers of what the design requires; with
// --missing, what it lacks and the rows that break a constraint. Exit status 1 when one does.
int SuiteCoverage(const CliOptions& options, const ReadDesign& read)
{
    SuiteRows suite;
    if (const int failed = ReadRowsFile(options.suite, read.design, false, suite))
        return failed;
    std::vector<std::vector<std::string>> matrix;
    for (const std::vector<std::int32_t>& codes : suite.codes) {
        std::vector<std::string>& row = matrix.emplace_back();
        for (std::int32_t f = 0; f < read.design.NumFactors(); ++f)
            row.push_back(codes[std::size_t(f)] < 0 ? std::string() : read.design.ShownName(f, codes[std::size_t(f)] + 1));
    }
    if (const int failed = TupleCoverageReport(options, read, matrix))
        return failed;
    const QStringList broken = BrokenRows(read, suite);
    for (const QString& line : options.missing ? broken : QStringList())
        std::fprintf(options.json ? stderr : stdout, "%s\n", line.toLocal8Bit().constData());
    return broken.isEmpty() ? kExitOk : kExitRefused;
}

}  // namespace

int Coverage(const CliOptions& options)
{
    CliReporter reporter;
    ReadDesign read;
    if (const int refused = OpenAndRead(options, QString::fromLatin1(kTooSmallToSearch), read))
        return refused;
    if (!options.suite.isEmpty())
        return SuiteCoverage(options, read);
    if (options.strength > 2 || read.constraints->HasMixedRequirements() || options.json)
        return TupleCoverageReport(options, read, SavedMatrix(read.tables));

    const DesignText& tables = read.tables;
    CFind find(HeadlessDesign::Workbook().TestCasesGrid(), /*quiet=*/true);  // one summary, not a box per violated pair
    find.LoadData(tables.numFactors, tables.levelCounts, tables.factors, tables.numConstraints, tables.constraints,
                  tables.numPrevRuns, tables.prevRuns);
    find.LoadConstraints(read.constraints);
    std::int32_t found = 0, missing = 0;
    bool violation = false;
    find.FindAllCombinations(found, missing, violation);

    QTextStream out(stdout);
    out << SummarizeCoverage(found, missing, violation).text << "\n";
    if (options.missing)
        ListMissingPairs(options, read, find, out);
    return kExitOk;
}

int Export(const CliOptions& options)
{
    CliReporter reporter;
    if (const int failed = OpenDesign(options))
        return failed;
    // As in the desktop program, a design without a saved matrix exports the empty grid.
    const bool written = WriteBytes(options.output, [&](QIODevice& device) {
        return MatrixExport::WriteMatrix(HeadlessDesign::Workbook().TestCasesGrid(), options.exportKind, device);
    });
    return written ? kExitOk : kExitUsage;
}

namespace {

// all's listing as one JSON document, written as the rows are made.
int AllJson(const CliOptions& options, const DesignText& tables, const AllCombinationsMatrix& listing,
            const std::vector<bool>& removed)
{
    const bool written = WriteBytes(options.output, [&](QIODevice& device) -> Result<void> {
        QByteArray chunk = JsonReport::Opening(tables);
        std::int64_t count = 0;
        for (std::int32_t r = 0; r < listing.NumRows(); ++r) {
            if (removed[std::size_t(r)])
                continue;
            QStringList cells;
            for (std::int32_t f = 0; f < listing.NumFactors(); ++f)
                cells << QString::fromStdString(listing.Name(f, listing.LevelCode(r, f)));
            chunk += JsonReport::Row(cells, count++ == 0);
            if (chunk.size() >= kChunkBytes) {
                if (Result<void> sent = WriteToDevice(device, chunk); !sent)
                    return sent;
                chunk.clear();
            }
        }
        chunk += JsonReport::Closing(QJsonObject{{QStringLiteral("rows"), double(count)}});
        return WriteToDevice(device, chunk);
    });
    return written ? kExitOk : kExitUsage;
}

}  // namespace

int All(const CliOptions& options)
{
    CliReporter reporter;
    reporter.setQuestionAnswer(options.yes ? MsgResult::Yes : MsgResult::No);
    ReadDesign read;
    if (const int refused = OpenAndRead(options, QString::fromLatin1(kTooSmallToGenerate), read))
        return refused;
    const DesignText& tables = read.tables;

    CAllCombinations all(reporter);  // the rows are streamed out: no sheet holds them
    AllCombinationsMatrix listing;
    std::vector<bool> removed;
    if (!all.CalcAllPossible(read.design, *read.constraints, listing, removed)) {
        if (!options.yes && reporter.answeredAQuestion())
            std::fprintf(stderr, "Answered No. Run it again with --yes to answer Yes.\n");
        return kExitRefused;
    }
    reporter.closeNWayProgress();

    // Every level's cell as it will be written, quoted where it must be, made once.
    std::vector<std::vector<QByteArray>> cellBytes(std::size_t(listing.NumFactors()));
    for (std::int32_t f = 0; f < listing.NumFactors(); ++f)
        for (std::int32_t code = 0; code <= listing.LevelCount(f); ++code)
            cellBytes[std::size_t(f)].push_back(
                DelimitedLine({QString::fromStdString(listing.Name(f, code))}, options.format).toUtf8());
    const char delimiter = options.format == TextFormat::Csv ? ',' : '\t';

    if (options.json)
        return AllJson(options, tables, listing, removed);
    // Written as the rows are made, a chunk at a time: the listing's memory does not grow with it.
    const bool written = WriteBytes(options.output, [&](QIODevice& device) -> Result<void> {
        QByteArray chunk = NamesLine(tables, options.format).toUtf8();
        for (std::int32_t r = 0; r < listing.NumRows(); ++r) {
            if (removed[std::size_t(r)])
                continue;
            for (std::int32_t f = 0; f < listing.NumFactors(); ++f) {
                if (f > 0)
                    chunk += delimiter;
                chunk += cellBytes[std::size_t(f)][std::size_t(listing.LevelCode(r, f))];
            }
            chunk += '\n';
            if (chunk.size() >= kChunkBytes) {
                if (Result<void> sent = WriteToDevice(device, chunk); !sent)
                    return sent;
                chunk.clear();
            }
        }
        return WriteToDevice(device, chunk);
    });
    return written ? kExitOk : kExitUsage;
}

int Convert(const CliOptions& options)
{
    CliReporter reporter;
    reporter.setQuestionAnswer(MsgResult::Yes);  // a design keeps its matrix, however large
    DesignText design;
    if (const int failed = OpenDesign(options, &design))
        return failed;
    if (!options.output.endsWith(QLatin1String(".test"), Qt::CaseInsensitive)) {
        const Result<QByteArray> text = WriteModelText(design);
        if (!text) {
            std::fprintf(stderr, "%s\n", text.error().toLocal8Bit().constData());
            return kExitRefused;
        }
        if (design.numPrevRuns > 0 || design.numRows > 0)
            std::fprintf(stderr, "The previous tests and the matrix are left out: a model text holds neither.\n");
        return WriteBytes(options.output, [&](QIODevice& device) { return WriteToDevice(device, text.value()); })
                   ? kExitOk
                   : kExitUsage;
    }
    CFile file(HeadlessDesign::Workbook());
    return WriteBytes(options.output,
                      [&](QIODevice& device) { return file.SaveXMLFile(device, design); })
               ? kExitOk
               : kExitUsage;
}

}  // namespace CliCommands
