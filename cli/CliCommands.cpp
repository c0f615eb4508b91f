#include "cli/CliCommands.h"

#include "app/EngineDesign.h"
#include "cli/CliReporter.h"
#include "cli/HeadlessDesign.h"
#include "engine/CAllCombinations.h"
#include "engine/CCalcNWay.h"
#include "engine/EngineFatalError.h"
#include "engine/RandomStream.h"
#include "engine/TupleEvolution.h"
#include "files/ExportOutput.h"
#include "files/FileWriter.h"
#include "files/MatrixExport.h"
#include "model/DesignWorkbook.h"
#include "model/GridCellStore.h"
#include "platform/MessageBox.h"
#include "search/CFind.h"
#include "search/CoverageSummary.h"
#include "search/TupleCoverage.h"

#include <QFile>
#include <QTextStream>

#include <array>
#include <limits>
#include <cstdio>
#include <functional>
#include <set>

namespace CliCommands {

namespace {

bool OpenDesign(const CliOptions& options)
{
    QString reason;
    if (HeadlessDesign::Open(options.design, reason))
        return true;
    std::fprintf(stderr, "Error opening file: %s: %s\n", options.design.toLocal8Bit().constData(),
                 reason.toLocal8Bit().constData());
    return false;
}

// Writes to the file, or to standard output when the path is empty or "-".
bool WriteBytes(const QString& path, const std::function<bool(QIODevice&, QString*)>& write)
{
    const bool toStandardOutput = path.isEmpty() || path == QLatin1String("-");
    std::fflush(stdout);
    FileWriter file = toStandardOutput ? FileWriter(stdout) : FileWriter(path);
    QString reason;
    if (file.open() && write(file.device(), &reason) && file.commit())
        return true;
    std::fprintf(stderr, "Cannot write %s: %s\n",
                 toStandardOutput ? "to standard output" : QFile::encodeName(path).constData(),
                 (reason.isEmpty() ? file.reason() : reason).toLocal8Bit().constData());
    return false;
}

bool WriteText(const QString& path, const QString& text)
{
    return WriteBytes(path, [&](QIODevice& device, QString* reason) { return WriteToDevice(device, text.toUtf8(), reason); });
}

// Opens the design, makes the size check of generation and search (when given its refusal),
// and reads the three tables with validation. kExitOk when the tables are ready.
int OpenAndRead(const CliOptions& options, const QString& tooSmallRefusal, DesignText& tables)
{
    if (!OpenDesign(options))
        return kExitUsage;
    if (!tooSmallRefusal.isEmpty() && !HeadlessDesign::Workbook().HasTwoFactorsAtTwoLevels(tooSmallRefusal))
        return kExitRefused;
    return HeadlessDesign::Workbook().Read(true, tables) ? kExitOk : kExitRefused;
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

// What the constraints exclude together beyond the pairs they name.
ImpliedExclusions ImpliedExclusionsOf(const DesignText& tables, CliReporter& reporter)
{
    CCalcNWay calc(reporter, 1, 0, 1);
    return calc.FindImpliedExclusions(ToEngineDesign(tables));
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

}  // namespace

int Generate(const CliOptions& options)
{
    CliReporter reporter;
    DesignText tables;
    if (const int refused = OpenAndRead(options, QString::fromLatin1(kTooSmallToGenerate), tables))
        return refused;

    const DesignTables design = ToEngineDesign(tables);
    const std::uint64_t seed = options.seedGiven ? options.seed : RandomStream::ClockSeed();
    const std::int32_t evolutions = options.evolutionsGiven
                                        ? options.evolutions
                                        : TupleEvolution::EvolutionsFor(options.strength, options.evolutions);
    CCalcNWay calc(reporter, evolutions, seed, options.threads);
    const bool compact = options.compactSeconds > 0 || options.compactMoves > 0;
    if (compact)
        calc.SetCompaction(options.compactMoves > 0 ? options.compactMoves : std::numeric_limits<std::int64_t>::max(),
                           options.compactSeconds);
    GeneratedMatrix matrix;
    std::int32_t numRows = 0;
    bool converged = false;
    try {
        if (!calc.CalcNWayQXVMatrix(options.strength, design, matrix, numRows, converged))
            return kExitRefused;
    } catch (const EngineFatalError&) {
        return kExitRefused;  // its message has been shown
    }
    reporter.closeNWayProgress();
    if (const MatrixCompaction::Outcome& done = calc.Compaction(); compact && done.rowsBefore > 0) {
        const auto previous = static_cast<std::int32_t>(design.prevRuns.size());
        std::fprintf(stderr, "Compaction: %d test cases before, %d after, %lld moves%s.\n", done.rowsBefore - previous,
                     done.rowsAfter - previous, static_cast<long long>(done.moves),
                     done.timeUp ? " (stopped by the time limit)" : "");
    }
    if (numRows < 1) {
        ShowMessage(QStringLiteral("The Previous Tests contain all the combinations."), MsgButtons::OkCancel,
                    MsgIcon::Information);
        return kExitRefused;
    }

    auto rows = std::vector<std::vector<QString>>(std::size_t(numRows));
    for (int r = 0; r < numRows; ++r)
        for (const std::string& name : matrix.names[std::size_t(r)])
            rows[std::size_t(r)].push_back(QString::fromStdString(name));
    if (!converged)
        ShowMessage(QStringLiteral("Failed to converge; this is usually caused by a nested constraint."),
                    MsgButtons::Ok, MsgIcon::None, 26);

    if (!WriteText(options.output, MatrixText(tables, rows, options.format)))
        return kExitUsage;
    if (options.save) {
        // Another program may have changed the design while the search ran: its work stays.
        if (HeadlessDesign::ChangedOnDisk(options.design)) {
            std::fprintf(stderr, "The design %s was changed on disk since it was read; it was not saved.\n",
                         QFile::encodeName(options.design).constData());
            return kExitRefused;
        }
        HeadlessDesign::SetTestCases(tables, rows);
        reporter.setQuestionAnswer(MsgResult::Yes);  // keep a large matrix in the file
        if (!HeadlessDesign::Save(options.design))
            return kExitUsage;
    }
    return kExitOk;
}

int Validate(const CliOptions& options)
{
    CliReporter reporter;
    DesignText tables;
    if (const int refused = OpenAndRead(options, QString(), tables))
        return refused;
    QTextStream out(stdout);
    out << "The design is valid.\n";
    if (tables.numConstraints < 1)
        return kExitOk;
    try {
        const ImpliedExclusions implied = ImpliedExclusionsOf(tables, reporter);
        // Designs whose constraints exclude nothing together keep the one line.
        if (!implied.anyValidRow)
            out << "No test case can satisfy every constraint.\n";
        else if (!implied.deadLevels.empty() || !implied.pairs.empty())
            out << "Together the constraints also exclude " << Counted(implied.deadLevels.size(), "level", "levels")
                << " and " << Counted(implied.pairs.size(), "further pair", "further pairs")
                << " of levels that no constraint names.\n";
    } catch (const EngineFatalError&) {
        return kExitRefused;  // its message has been shown
    }
    return kExitOk;
}

namespace {

// The coverage of the combinations of levels of every `strength` factors by the saved matrix.
int TupleCoverageReport(const CliOptions& options, const DesignText& tables)
{
    const GridCellStore& grid = HeadlessDesign::Workbook().TestCasesGrid();
    std::vector<std::vector<std::string>> matrix;
    for (int r = 2; r <= grid.maxRows(); ++r) {  // row 1 holds the factor names
        std::vector<std::string>& row = matrix.emplace_back();
        for (int f = 1; f <= tables.numFactors; ++f)
            row.push_back(grid.text(f, r).toStdString());
    }
    const TupleCoverage coverage = CountTupleCoverage(ToEngineDesign(tables), matrix, options.strength, options.missing);
    const auto clamped = [](std::int64_t count) { return std::int32_t(std::min<std::int64_t>(count, INT32_MAX)); };
    QTextStream out(stdout);
    out << SummarizeCoverage(clamped(coverage.found), clamped(coverage.missing), coverage.violation).text << "\n";
    for (const TupleCoverage::Missing& missing : coverage.missingCombinations) {
        QStringList cells;
        for (std::size_t i = 0; i < missing.factors.size(); ++i)
            cells << tables.factors.at(0, missing.factors[i]) << tables.factors.at(missing.levels[i], missing.factors[i]);
        if (missing.excludedTogether)
            cells << QStringLiteral("excluded together");
        out << DelimitedLine(cells, options.format) << "\n";
    }
    return kExitOk;
}

}  // namespace

int Coverage(const CliOptions& options)
{
    CliReporter reporter;
    DesignText tables;
    if (const int refused = OpenAndRead(options, QString::fromLatin1(kTooSmallToSearch), tables))
        return refused;
    if (options.strength > 2)
        return TupleCoverageReport(options, tables);

    CFind find(HeadlessDesign::Workbook().TestCasesGrid(), /*quiet=*/true);  // one summary, not a box per violated pair
    const int numFactors = tables.numFactors;
    find.LoadData(numFactors, tables.levelCounts, tables.factors, tables.numConstraints, tables.constraints,
                  tables.numPrevRuns, tables.prevRuns);
    std::int32_t found = 0, missing = 0;
    bool violation = false;
    find.FindAllCombinations(found, missing, violation);

    QTextStream out(stdout);
    out << SummarizeCoverage(found, missing, violation).text << "\n";

    if (options.missing) {
        // Pairs that no valid test case can hold are marked: no matrix can cover them.
        std::set<std::array<int, 4>> unreachable;
        if (tables.numConstraints > 0) {
            ImpliedExclusions implied;
            try {
                implied = ImpliedExclusionsOf(tables, reporter);
            } catch (const EngineFatalError&) {
                return kExitRefused;
            }
            auto mark = [&](int a, int b) {
                auto [fa, la] = implied.FactorAndLevel(a);
                auto [fb, lb] = implied.FactorAndLevel(b);
                if (fa > fb) {
                    std::swap(fa, fb);
                    std::swap(la, lb);
                }
                unreachable.insert({fa + 1, la + 1, fb + 1, lb + 1});
            };
            for (const auto& [a, b] : implied.pairs)
                mark(a, b);
            for (const int dead : implied.deadLevels)
                for (int other = 0; other < implied.levelOffset.back(); ++other)
                    if (implied.FactorAndLevel(other).first != implied.FactorAndLevel(dead).first)
                        mark(dead, other);
        }
        for (int i = 1; i < numFactors; ++i)
            for (int j = i + 1; j <= numFactors; ++j)
                for (int a = 1; a <= tables.levelCounts.at(i); ++a)
                    for (int b = 1; b <= tables.levelCounts.at(j); ++b) {
                        LongArray locations, rows;
                        std::int32_t count = 0;
                        bool violated = false;
                        if (find.Find2Way(i, a, j, b, locations, rows, count, violated))
                            continue;
                        QStringList cells{tables.factors.at(0, i), tables.factors.at(a, i), tables.factors.at(0, j),
                                          tables.factors.at(b, j)};
                        if (unreachable.count({i, a, j, b}))
                            cells << QStringLiteral("excluded together");
                        out << DelimitedLine(cells, options.format) << "\n";
                    }
    }
    return kExitOk;
}

int Export(const CliOptions& options)
{
    CliReporter reporter;
    if (!OpenDesign(options))
        return kExitUsage;
    // As in the desktop program, a design without a saved matrix exports the empty grid.
    const bool written = WriteBytes(options.output, [&](QIODevice& device, QString* reason) {
        return MatrixExport::WriteMatrix(HeadlessDesign::Workbook().TestCasesGrid(), options.exportKind, device, reason);
    });
    return written ? kExitOk : kExitUsage;
}

int All(const CliOptions& options)
{
    CliReporter reporter;
    reporter.setQuestionAnswer(options.yes ? MsgResult::Yes : MsgResult::No);
    DesignText tables;
    if (const int refused = OpenAndRead(options, QString::fromLatin1(kTooSmallToGenerate), tables))
        return refused;

    CAllCombinations all(reporter);  // the rows are streamed out: no sheet holds them
    AllCombinationsMatrix listing;
    std::vector<bool> removed;
    if (!all.CalcAllPossible(ToEngineDesign(tables), listing, removed))
        return kExitRefused;
    reporter.closeNWayProgress();

    // Every level's cell as it will be written, quoted where it must be, made once.
    std::vector<std::vector<QByteArray>> cellBytes(std::size_t(listing.NumFactors()));
    for (std::int32_t f = 0; f < listing.NumFactors(); ++f)
        for (std::int32_t code = 0; code <= listing.LevelCount(f); ++code)
            cellBytes[std::size_t(f)].push_back(
                DelimitedLine({QString::fromStdString(listing.Name(f, code))}, options.format).toUtf8());
    const char delimiter = options.format == TextFormat::Csv ? ',' : '\t';

    // Written as the rows are made, a chunk at a time: the listing's memory does not grow with it.
    const bool written = WriteBytes(options.output, [&](QIODevice& device, QString* reason) {
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
                if (!WriteToDevice(device, chunk, reason))
                    return false;
                chunk.clear();
            }
        }
        return WriteToDevice(device, chunk, reason);
    });
    return written ? kExitOk : kExitUsage;
}

}  // namespace CliCommands
