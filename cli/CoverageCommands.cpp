// coverage: what a suite covers of what the design requires, as a CI gate; explain: whether
// some levels can stand in one valid test case, and if not, what forbids them.

#include "cli/CliCommands.h"

#include "cli/CliReporter.h"
#include "cli/CliSupport.h"
#include "cli/HeadlessDesign.h"
#include "cli/JsonReport.h"
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

vantrel::Coverage ReportOn(const CommandDesign& read, const CountedSuite& suite, const CliOptions& options)
{
    return read.design->CoverageOf(suite.names, {options.strength, options.missing, false});
}

// "The test case on line 9" of a suite file, "Test case 3" of the saved matrix, "Previous test 2".
QString RowPlace(const CountedSuite& suite, const vantrel::ProblemRow& row)
{
    if (row.previous)
        return QStringLiteral("Previous test %1").arg(row.row + 1);
    if (suite.fromFile)
        return QStringLiteral("The test case on line %1").arg(suite.file.lines[std::size_t(row.row)]);
    return QStringLiteral("Test case %1").arg(row.row + 1);
}

QStringList ProblemLines(const CountedSuite& suite, const vantrel::Coverage& report)
{
    QStringList lines;
    for (const vantrel::ProblemRow& row : report.problems)
        lines << RowPlace(suite, row) + QLatin1Char(' ') + QString::fromStdString(row.problem) + QLatin1Char('.');
    return lines;
}

// A listed combination: its factors' and levels' cells, then what it is.
struct ListedCombination {
    QStringList cells;
    bool missing = true;
    QString reason;  // why it cannot occur
};

std::vector<ListedCombination> Listed(const CommandDesign& read, const vantrel::Coverage& report)
{
    const vantrel::Design& design = *read.design;
    std::vector<ListedCombination> listed;
    for (const vantrel::Combination& missing : report.missing)
        listed.push_back({LevelCells(design, missing.levels), true, QString()});
    for (const vantrel::Combination& excluded : report.excluded) {
        const bool validOnly =
            report.requirements[std::size_t(excluded.requirement)].kind != vantrel::Requirement::Kind::InvalidPairs;
        listed.push_back({LevelCells(design, excluded.levels), false,
                          QString::fromStdString(design.Explain(excluded.levels, validOnly).phrase)});
    }
    return listed;
}

int CoverageJson(const CommandDesign& read, const CountedSuite& suite, const vantrel::Coverage& report, const CliOptions& options)
{
    QJsonObject summary = JsonReport::CoverageSummary(report, read.text);
    summary.insert(QStringLiteral("rows"), double(report.suiteRows));
    summary.insert(QStringLiteral("strength"), options.strength);
    summary.insert(QStringLiteral("problemRows"), QJsonArray::fromStringList(ProblemLines(suite, report)));
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
    const QByteArray text = JsonReport::Document(read.text, rows, summary);
    return WriteBytes(QString(), [&](QIODevice& device) { return WriteToDevice(device, text); }) ? kExitOk : kExitUsage;
}

// Text: everything on standard output. --format tsv or csv: the listing alone there, and the
// counts and the problem rows told on standard error.
int CoverageText(const CommandDesign& read, const CountedSuite& suite, const vantrel::Coverage& report, const CliOptions& options)
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
    for (const QString& line : ToStrings(report.ByKind()) + ProblemLines(suite, report))
        say(line);
    for (const ListedCombination& entry : options.missing ? Listed(read, report) : std::vector<ListedCombination>()) {
        const QString status = entry.missing ? QStringLiteral("missing") : QStringLiteral("cannot occur: ") + entry.reason;
        out += DelimitedLine(entry.cells + QStringList{status}, options.format).toUtf8() + '\n';
    }
    return WriteBytes(QString(), [&](QIODevice& device) { return WriteToDevice(device, out); }) ? kExitOk : kExitUsage;
}

int WritePlot(const QString& path, const vantrel::Coverage& report)
{
    QStringList names;
    for (const vantrel::Requirement& requirement : report.requirements)
        names << QString::fromStdString(requirement.name);
    const QByteArray svg = CoverageChartSvg(report, names);
    return WriteBytes(path, [&](QIODevice& device) { return WriteToDevice(device, svg); }) ? kExitOk : kExitUsage;
}

}  // namespace

int Coverage(const CliOptions& options)
{
    CliReporter reporter;
    CommandDesign read;
    if (const int refused = OpenAndRead(options, QString::fromLatin1(kTooSmallToSearch), read))
        return refused;
    CountedSuite suite;
    suite.fromFile = !options.suite.isEmpty();
    if (suite.fromFile) {
        if (const int failed = ReadRowsFile(options.suite, *read.design, false, suite.file))
            return failed;
        for (const std::vector<std::int32_t>& codes : suite.file.codes)
            suite.names.push_back(ShownRow(*read.design, codes));
    } else {
        suite.names = SavedMatrix(read.text);
    }
    const vantrel::Coverage report = ReportOn(read, suite, options);
    if (!options.plot.isEmpty())
        if (const int failed = WritePlot(options.plot, report))
            return failed;
    const int written = options.json ? CoverageJson(read, suite, report, options) : CoverageText(read, suite, report, options);
    if (written != kExitOk)
        return written;
    if (!read.design->AnyValidTestCase()) {
        Tell(QString::fromStdString(read.design->WhyNoValidTestCase()));
        return kExitRefused;
    }
    return report.Complete() ? kExitOk : kExitRefused;
}

namespace {

// "Factor=Level": the first "=" after which a level of the factor before it follows.
bool ParseLevel(const vantrel::Design& design, const QString& text, vantrel::LevelRef& level)
{
    const std::string bytes = text.toStdString();
    const std::vector<std::string> names = design.model().FactorNames();
    for (std::size_t at = bytes.find('='); at != std::string::npos; at = bytes.find('=', at + 1))
        for (std::size_t f = 0; f < names.size(); ++f)
            if (names[f] == bytes.substr(0, at) && (level.level = design.LevelOf(int(f), bytes.substr(at + 1))) >= 0) {
                level.factor = int(f);
                return true;
            }
    return false;
}

// The statements' own text: each rule's first line, each Constraints row as the rule it means.
QStringList StatementLines(const CommandDesign& read, const vantrel::Statements& statements)
{
    QStringList lines;
    const QStringList rulesText = read.text.rules.split(QLatin1Char('\n'));
    for (const int row : statements.constraintRows) {
        const vantrel::ConstraintRow& c = read.design->model().constraints[std::size_t(row - 1)];
        lines << QStringLiteral("  Constraints row %1: IF [%2] = \"%3\" THEN [%4] <> \"%5\";")
                     .arg(row)
                     .arg(QString::fromStdString(c.ifFactor), QString::fromStdString(c.ifLevel),
                          QString::fromStdString(c.thenFactor), QString::fromStdString(c.thenLevel));
    }
    for (const int line : statements.ruleLines)
        lines << QStringLiteral("  line %1: %2").arg(line).arg(rulesText.value(line - HeadlessDesign::RulesFirstLine()).trimmed());
    return lines;
}

}  // namespace

int Explain(const CliOptions& options)
{
    CliReporter reporter;
    CommandDesign read;
    if (const int refused = OpenAndRead(options, QString(), read))
        return refused;
    const vantrel::Design& design = *read.design;
    std::vector<vantrel::LevelRef> levels;
    bool anyInvalid = false;
    for (const QString& text : options.levels) {
        vantrel::LevelRef level;
        if (!ParseLevel(design, text, level)) {
            Tell(QStringLiteral("vantrel-cli: \"%1\" names no level of a factor of the design (FACTOR=LEVEL)").arg(text));
            return kExitUsage;
        }
        levels.push_back(level);
        anyInvalid = anyInvalid || design.Invalid(level);
    }
    const vantrel::Reason reason = design.Explain(levels, !anyInvalid);
    const std::string what = LevelsText(design, levels).toStdString();
    QByteArray out;
    if (reason.CanOccur()) {
        // A test case that holds them, as a message shows it: its factors, then its levels.
        const QStringList cells = LevelCells(design, RowLevels(reason.example));
        QStringList names, levels;
        for (qsizetype k = 0; k < cells.size(); k += 2)
            names << cells[k], levels << cells[k + 1];
        out = QByteArray::fromStdString(what) + " can occur, for example in this test case:\n" +
              DelimitedLine(names, TextFormat::Tsv).toUtf8() + '\n' + DelimitedLine(levels, TextFormat::Tsv).toUtf8() + '\n';
    } else {
        out = QByteArray::fromStdString(reason.Sentence(what)) + '\n';
        for (const QString& line : StatementLines(read, reason.statements))
            out += line.toUtf8() + '\n';
    }
    if (!WriteBytes(QString(), [&](QIODevice& device) { return WriteToDevice(device, out); }))
        return kExitUsage;
    return reason.CanOccur() ? kExitOk : kExitRefused;
}

}  // namespace CliCommands
