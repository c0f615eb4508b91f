#include "cli/CliCommands.h"

#include "cli/CliReporter.h"
#include "cli/CliSupport.h"
#include "cli/HeadlessDesign.h"
#include "cli/JsonReport.h"
#include "files/ExportOutput.h"
#include "files/FileWriter.h"
#include "files/MatrixExport.h"
#include "files/ModelText.h"
#include "model/DesignWorkbook.h"
#include "model/GridCellStore.h"
#include "platform/MessageBox.h"
#include "search/CoverageSummary.h"

#include <vantrel/delimited.hpp>

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

using namespace CliSupport;

namespace {

constexpr qsizetype kChunkBytes = 1 << 16;

QString Counted(std::size_t count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

}  // namespace

namespace {

// validate's answer as one JSON document: whether the design is valid, its rules and groups,
// and what its constraints exclude together.
int ValidateJson(const CommandDesign& read)
{
    const vantrel::Design& design = *read.design;
    const vantrel::ExcludedTogether excluded = design.Excluded();
    QJsonArray levels, pairs;
    for (const vantrel::LevelRef& level : excluded.levels)
        levels.append(QJsonArray::fromStringList(LevelCells(design, level)));
    for (const auto& [a, b] : excluded.pairs)
        pairs.append(QJsonArray::fromStringList(LevelCells(design, {a, b})));
    const QJsonObject summary{{QStringLiteral("valid"), design.AnyValidTestCase()},
                              {QStringLiteral("rules"), design.NumRules()},
                              {QStringLiteral("groups"), design.NumGroups()},
                              {QStringLiteral("excludedLevels"), levels},
                              {QStringLiteral("excludedPairs"), pairs},
                              {QStringLiteral("warnings"), QJsonArray()}};
    const QByteArray text = JsonReport::Document(read.text, {}, summary);
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
    return design.AnyValidTestCase() ? kExitOk : kExitRefused;
}

}  // namespace

int Validate(const CliOptions& options)
{
    CliReporter reporter;
    CommandDesign read;
    if (const int refused = OpenAndRead(options, QString(), read))
        return refused;
    const vantrel::Design& design = *read.design;
    if (options.json)
        return ValidateJson(read);
    QTextStream out(stdout);
    if (!design.AnyValidTestCase()) {
        out << QString::fromStdString(design.WhyNoValidTestCase()) << "\n";
        return kExitRefused;
    }
    out << "The design is valid.\n";
    if (design.NumRules() > 0 || design.NumGroups() > 0)
        out << "The rules text holds " << Counted(std::size_t(design.NumRules()), "rule", "rules")
            << (design.NumGroups() == 0 ? QString() : QStringLiteral(" and ") + Counted(std::size_t(design.NumGroups()), "group", "groups"))
            << ".\n";
    // With invalid levels or groups, what the saved matrix covers of each kind.
    for (const QString& line : ToStrings(design.CoverageOf(SavedMatrix(read.text), {2, false, false}).ByKind()))
        out << "Covered by the saved test cases: " << line << ".\n";
    // Designs whose constraints exclude nothing together keep the one line; otherwise what they
    // exclude follows, a level or a pair a line.
    const vantrel::ExcludedTogether excluded = design.Excluded();
    if (excluded.levels.empty() && excluded.pairs.empty())
        return kExitOk;
    out << "Together the constraints also exclude " << Counted(excluded.levels.size(), "level", "levels") << " and "
        << Counted(excluded.pairs.size(), "further pair", "further pairs") << " of levels that no constraint names.\n";
    for (const vantrel::LevelRef& level : excluded.levels)
        out << DelimitedLine(LevelCells(design, level), options.format) << "\n";
    for (const auto& [a, b] : excluded.pairs)
        out << DelimitedLine(LevelCells(design, {a, b}), options.format) << "\n";
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
int AllJson(const CliOptions& options, const DesignText& tables, const vantrel::Listing& listing)
{
    const bool written = WriteBytes(options.output, [&](QIODevice& device) -> Result<void> {
        QByteArray chunk = JsonReport::Opening(tables);
        std::int64_t count = 0;
        for (std::int64_t r = 0; r < listing.Rows(); ++r) {
            if (listing.Removed(r))
                continue;
            QStringList cells;
            for (int f = 0; f < listing.Factors(); ++f)
                cells << QString::fromStdString(listing.Shown(f, listing.Level(r, f)));
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

// all's listing as delimited text, by the library's one writer: every level's cell made once,
// the rows written as they are made, a chunk at a time, so that memory does not grow with them.
int AllDelimited(const CliOptions& options, const vantrel::Design& design, const vantrel::Listing& listing)
{
    const vantrel::Delimiter delimiter = options.format == TextFormat::Csv ? vantrel::Delimiter::Comma : vantrel::Delimiter::Tab;
    std::vector<std::vector<QByteArray>> cellBytes(std::size_t(listing.Factors()));
    for (int f = 0; f < listing.Factors(); ++f)
        for (int l = 0; l < listing.LevelCount(f); ++l) {
            const vantrel::Result<std::string> cell = vantrel::DelimitedLine({listing.Shown(f, l)}, delimiter);
            if (!cell) {
                Tell(QString::fromStdString(cell.error().message));
                return kExitRefused;
            }
            cellBytes[std::size_t(f)].push_back(QByteArray::fromStdString(cell.value()).chopped(2));
        }
    const vantrel::Result<std::string> header = vantrel::DelimitedLine(design.model().FactorNames(), delimiter);
    if (!header) {
        Tell(QString::fromStdString(header.error().message));
        return kExitRefused;
    }
    const bool written = WriteBytes(options.output, [&](QIODevice& device) -> Result<void> {
        QByteArray chunk = QByteArray::fromStdString(header.value());
        for (std::int64_t r = 0; r < listing.Rows(); ++r) {
            if (listing.Removed(r))
                continue;
            for (int f = 0; f < listing.Factors(); ++f) {
                if (f > 0)
                    chunk += delimiter == vantrel::Delimiter::Comma ? ',' : '\t';
                chunk += cellBytes[std::size_t(f)][std::size_t(listing.Level(r, f))];
            }
            chunk += "\r\n";
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

}  // namespace

int All(const CliOptions& options)
{
    CliReporter reporter;
    CommandDesign read;
    if (const int refused = OpenAndRead(options, QString::fromLatin1(kTooSmallToGenerate), read))
        return refused;
    bool asked = false;
    const auto confirm = [&](const std::string& question, int) {
        Tell(QString::fromStdString(question));
        asked = true;
        return options.yes;
    };
    vantrel::Result<vantrel::Listing> listing = read.design->AllCombinations(
        {}, confirm, [&](int step, double fraction) { return reporter.ListingProgress(step, fraction); });
    reporter.CloseProgress();
    if (!listing) {
        if (listing.error().kind != vantrel::Error::Kind::Declined)
            Tell(QString::fromStdString(listing.error().message));
        else if (asked)
            std::fprintf(stderr, "Answered No. Run it again with --yes to answer Yes.\n");
        return kExitRefused;
    }
    return options.json ? AllJson(options, read.text, listing.value()) : AllDelimited(options, *read.design, listing.value());
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
