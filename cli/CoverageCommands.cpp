// coverage: what a suite covers of what the design requires, as a CI gate; explain: whether
// some levels can stand in one valid test case, and if not, what forbids them.

#include "cli/CliCommands.h"

#include "cli/CliReporter.h"
#include "cli/CliSupport.h"
#include "cli/HeadlessDesign.h"
#include "cli/JsonReport.h"
#include "engine/CoverageReport.h"
#include "engine/ExclusionExplainer.h"
#include "engine/LevelLookup.h"
#include "files/CoverageChartSvg.h"
#include "files/ExportOutput.h"
#include "search/CoverageSummary.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include <cstdio>

namespace CliCommands {

using namespace CliSupport;

namespace {

// The rows counted: the saved matrix's, or a suite file's with their lines.
struct CountedSuite {
    std::vector<std::vector<std::string>> names;  // the saved matrix, as its cells show them
    SuiteRows file;                               // --suite
    bool fromFile = false;
};

CoverageReport ReportOn(const ReadDesign& read, const CountedSuite& suite, const CliOptions& options)
{
    const CoverageQuestion question{options.strength, options.missing, false};
    if (!suite.fromFile)
        return ReportCoverage(read.design, *read.constraints, suite.names, question);
    return ReportCoverage(*read.constraints, LevelLookup(read.design).Codes(read.design.prevRuns), suite.file.codes, question);
}

// "The test case on line 9" of a suite file, "Test case 3" of the saved matrix, "Previous test 2".
QString RowPlace(const CountedSuite& suite, const CoverageProblemRow& row)
{
    if (row.previous)
        return QStringLiteral("Previous test %1").arg(row.row + 1);
    if (suite.fromFile)
        return QStringLiteral("The test case on line %1").arg(suite.file.lines[std::size_t(row.row)]);
    return QStringLiteral("Test case %1").arg(row.row + 1);
}

QStringList ProblemLines(const ReadDesign& read, const CountedSuite& suite, const CoverageReport& report)
{
    QStringList lines;
    for (const CoverageProblemRow& row : report.problemRows)
        lines << RowPlace(suite, row) + QLatin1Char(' ') +
                     ProblemText(row, *read.constraints, read.tables, HeadlessDesign::RulesFirstLine()) + QLatin1Char('.');
    return lines;
}

// A listed combination: its factors' and levels' cells, then what it is.
struct ListedCombination {
    QStringList cells;
    bool missing = true;
    QString reason;  // why it cannot occur
};

std::vector<ListedCombination> Listed(const ReadDesign& read, const CoverageReport& report)
{
    const ConstraintModel& model = *read.constraints;
    std::vector<ListedCombination> listed;
    for (const CoverageCombination& missing : report.missing) {
        ListedCombination& entry = listed.emplace_back();
        for (const std::int32_t e : missing.entries)
            entry.cells << EntryCells(read.tables, model, e);
    }
    ExclusionExplainer explainer(model);
    for (const CoverageCombination& excluded : report.excluded) {
        ListedCombination& entry = listed.emplace_back();
        for (const std::int32_t e : excluded.entries)
            entry.cells << EntryCells(read.tables, model, e);
        entry.missing = false;
        const bool validOnly =
            report.requirements[std::size_t(excluded.requirement)].kind != CoverageRequirement::Kind::InvalidPairs;
        entry.reason = QString::fromStdString(
            ReasonPhrase(explainer.Explain(excluded.entries, validOnly), model, HeadlessDesign::RulesFirstLine()));
    }
    return listed;
}

int CoverageJson(const ReadDesign& read, const CountedSuite& suite, const CoverageReport& report, const CliOptions& options)
{
    QJsonObject summary = JsonReport::CoverageSummary(report, read.tables);
    summary.insert(QStringLiteral("rows"), double(report.suiteRows));
    summary.insert(QStringLiteral("strength"), options.strength);
    summary.insert(QStringLiteral("problemRows"), QJsonArray::fromStringList(ProblemLines(read, suite, report)));
    if (options.missing) {
        QJsonArray missing, excluded;
        for (const ListedCombination& entry : Listed(read, report)) {
            if (entry.missing)
                missing.append(QJsonArray::fromStringList(entry.cells));
            else
                excluded.append(QJsonObject{{QStringLiteral("levels"), QJsonArray::fromStringList(entry.cells)},
                                            {QStringLiteral("reason"), entry.reason}});
        }
        summary.insert(QStringLiteral("missingCombinations"), missing);
        summary.insert(QStringLiteral("excludedCombinations"), excluded);
    }
    std::vector<std::vector<QString>> rows;
    for (const std::vector<std::string>& row : suite.names) {
        std::vector<QString>& cells = rows.emplace_back();
        for (const std::string& cell : row)
            cells.push_back(QString::fromStdString(cell));
    }
    const QByteArray text = JsonReport::Document(read.tables, rows, summary);
    return WriteBytes(QString(), [&](QIODevice& device) { return WriteToDevice(device, text); }) ? kExitOk : kExitUsage;
}

// Text: everything on standard output. --format tsv or csv: the listing alone there, and the
// counts and the problem rows told on standard error.
int CoverageText(const ReadDesign& read, const CountedSuite& suite, const CoverageReport& report, const CliOptions& options)
{
    const bool dataOnly = !options.formatName.isEmpty();
    QByteArray out;
    const auto say = [&](const QString& line) {
        if (dataOnly)
            Tell(line);
        else
            out += line.toUtf8() + '\n';
    };
    say(SummarizeCoverage(report, true).text);
    for (const QString& line : CoverageByKind(report, read.tables) + ProblemLines(read, suite, report))
        say(line);
    for (const ListedCombination& entry : options.missing ? Listed(read, report) : std::vector<ListedCombination>()) {
        const QString status = entry.missing ? QStringLiteral("missing") : QStringLiteral("cannot occur: ") + entry.reason;
        out += DelimitedLine(entry.cells + QStringList{status}, options.format).toUtf8() + '\n';
    }
    return WriteBytes(QString(), [&](QIODevice& device) { return WriteToDevice(device, out); }) ? kExitOk : kExitUsage;
}

int WritePlot(const QString& path, const ReadDesign& read, const CoverageReport& report)
{
    QStringList names;
    for (const CoverageRequirement& requirement : report.requirements)
        names << RequirementName(requirement, read.tables);
    const QByteArray svg = CoverageChartSvg(report, names);
    return WriteBytes(path, [&](QIODevice& device) { return WriteToDevice(device, svg); }) ? kExitOk : kExitUsage;
}

}  // namespace

int Coverage(const CliOptions& options)
{
    CliReporter reporter;
    ReadDesign read;
    if (const int refused = OpenAndRead(options, QString::fromLatin1(kTooSmallToSearch), read))
        return refused;
    CountedSuite suite;
    suite.fromFile = !options.suite.isEmpty();
    if (suite.fromFile) {
        if (const int failed = ReadRowsFile(options.suite, read.design, false, suite.file))
            return failed;
        for (const std::vector<std::int32_t>& codes : suite.file.codes) {
            std::vector<std::string>& row = suite.names.emplace_back();
            for (std::int32_t f = 0; f < read.design.NumFactors(); ++f)
                row.push_back(codes[std::size_t(f)] < 0 ? std::string()
                                                        : read.design.ShownName(f, codes[std::size_t(f)] + 1));
        }
    } else {
        suite.names = SavedMatrix(read.tables);
    }
    const CoverageReport report = ReportOn(read, suite, options);
    if (!options.plot.isEmpty())
        if (const int failed = WritePlot(options.plot, read, report))
            return failed;
    const int written = options.json ? CoverageJson(read, suite, report, options) : CoverageText(read, suite, report, options);
    if (written != kExitOk)
        return written;
    if (!read.constraints->AnyValidRow()) {
        Tell(NoValidTestCase(*read.constraints, HeadlessDesign::RulesFirstLine()));
        return kExitRefused;
    }
    return report.Complete() ? kExitOk : kExitRefused;
}

namespace {

// "Factor=Level": the first "=" after which a level of the factor before it follows.
bool ParseLevel(const DesignTables& design, const LevelLookup& lookup, const QString& text, std::int32_t& f,
                std::int32_t& level)
{
    const std::string bytes = text.toStdString();
    for (std::size_t at = bytes.find('='); at != std::string::npos; at = bytes.find('=', at + 1))
        for (f = 0; f < design.NumFactors(); ++f)
            if (design.Name(f, 0) == bytes.substr(0, at) && (level = lookup.Level(f, bytes.substr(at + 1))) > 0)
                return true;
    return false;
}

// The statements' own text: each rule's first line, each Constraints row as the rule it means.
QStringList StatementLines(const ReadDesign& read, const ConstraintModel::Statements& statements)
{
    QStringList lines;
    const QStringList rulesText = read.tables.rules.split(QLatin1Char('\n'));
    for (const std::int32_t row : statements.constraintRows) {
        const auto& c = read.design.constraints[std::size_t(row - 1)];
        lines << QStringLiteral("  Constraints row %1: IF [%2] = \"%3\" THEN [%4] <> \"%5\";")
                     .arg(row)
                     .arg(QString::fromStdString(c[0]), QString::fromStdString(c[1]), QString::fromStdString(c[2]),
                          QString::fromStdString(c[3]));
    }
    for (const std::int32_t rule : statements.rules) {
        const std::int32_t line = read.constraints->RuleLine(rule);
        lines << QStringLiteral("  line %1: %2").arg(line + HeadlessDesign::RulesFirstLine() - 1).arg(rulesText.value(line - 1).trimmed());
    }
    return lines;
}

}  // namespace

int Explain(const CliOptions& options)
{
    CliReporter reporter;
    ReadDesign read;
    if (const int refused = OpenAndRead(options, QString(), read))
        return refused;
    const ConstraintModel& model = *read.constraints;
    const LevelLookup lookup(read.design);
    std::vector<std::int32_t> entries;
    bool anyInvalid = false;
    for (const QString& text : options.levels) {
        std::int32_t f = 0, level = 0;
        if (!ParseLevel(read.design, lookup, text, f, level)) {
            Tell(QStringLiteral("vantrel-cli: \"%1\" names no level of a factor of the design (FACTOR=LEVEL)").arg(text));
            return kExitUsage;
        }
        entries.push_back(model.LevelOffset()[std::size_t(f)] + level - 1);
        anyInvalid = anyInvalid || model.Invalid(entries.back());
    }
    ExclusionExplainer explainer(model);
    const ExclusionReason reason = explainer.Explain(entries, !anyInvalid);
    const std::string what = LevelsText(read.tables, model, entries).toStdString();
    QByteArray out;
    if (reason.kind == ExclusionReason::Kind::CanOccur) {
        // A test case that holds them, as generate writes one.
        QStringList names, cells;
        for (std::int32_t f = 0; f < read.design.NumFactors(); ++f) {
            names << read.tables.factors.at(0, f + 1);
            cells << EntryCells(read.tables, model, model.LevelOffset()[std::size_t(f)] + reason.example[std::size_t(f)])[1];
        }
        out = QByteArray::fromStdString(what) + " can occur, for example in this test case:\n" +
              DelimitedLine(names, TextFormat::Tsv).toUtf8() + '\n' + DelimitedLine(cells, TextFormat::Tsv).toUtf8() + '\n';
    } else {
        out = QByteArray::fromStdString(CannotOccurText(what, reason, model, HeadlessDesign::RulesFirstLine())) + '\n';
        for (const QString& line : StatementLines(read, reason.statements))
            out += line.toUtf8() + '\n';
    }
    if (!WriteBytes(QString(), [&](QIODevice& device) { return WriteToDevice(device, out); }))
        return kExitUsage;
    return reason.kind == ExclusionReason::Kind::CanOccur ? kExitOk : kExitRefused;
}

}  // namespace CliCommands
