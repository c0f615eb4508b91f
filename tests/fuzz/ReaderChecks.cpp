#include "tests/fuzz/ReaderChecks.h"

#include "cli/SuiteFile.h"
#include "engine/ConstraintModel.h"
#include "files/ModelText.h"
#include "model/EngineDesign.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// Whether two designs hold the same factors, levels, marks, rows, rules and layout.
bool SameDesign(const DesignText& a, const DesignText& b)
{
    return a.numFactors == b.numFactors && a.levelCounts == b.levelCounts && a.factors == b.factors &&
           a.invalidLevels == b.invalidLevels && a.levelWeights == b.levelWeights && a.levelAliases == b.levelAliases &&
           a.numConstraints == b.numConstraints && a.constraints == b.constraints && a.rules == b.rules &&
           a.textLayout == b.textLayout;
}

// The designs that a model text cannot be written from: an empty one, and one whose first
// factor's name starts with "<" (read from a text that starts with a blank beyond ASCII's),
// which would start a text read as a design document.
bool Unwritable(const DesignText& d)
{
    if (d.numFactors == 0)
        return d.numConstraints == 0 && d.rules.isEmpty();
    const auto above = d.textLayout.aboveFactor.find(1);
    const QString lead = above == d.textLayout.aboveFactor.end() ? QString() : above->second;
    return d.factors.at(0, 1).startsWith('<') &&
           std::all_of(lead.begin(), lead.end(), [](QChar c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

// A design that can be read is written back, unless nothing in it can be.
std::string CheckWrittenBack(const DesignText& design)
{
    const Result<QByteArray> written = WriteModelText(design);
    if (!written)
        return Unwritable(design) ? "" : "a design read from a model text cannot be written: " + written.error().toStdString();
    const auto again = ReadModelText(written.value());
    if (!again)
        return "the written text does not read back: " + again.error().Described().toStdString();
    if (!SameDesign(design, again.value()))
        return "the written text reads back to another design";
    const Result<QByteArray> rewritten = WriteModelText(again.value());
    if (!rewritten || rewritten.value() != written.value())
        return "the text read back writes other bytes";
    return {};
}

// Windows 11 (or Win11), macOS, ~Solaris; Chrome, Firefox; Card, ~Expired card.
DesignTables SuiteDesign()
{
    DesignTables design;
    design.factors = {{"OS", "Windows 11", "macOS", "Solaris"}, {"Browser", "Chrome", "Firefox"},
                      {"Pay", "Card", "Expired card"}};
    design.levelCounts = {3, 2, 2};
    design.invalid = {{0, 0, 1}, {}, {0, 1}};
    design.aliases = {{{"Win11"}, {}, {}}};
    return design;
}

}  // namespace

std::string CheckModelText(const QByteArray& bytes)
{
    const auto read = ReadModelText(bytes);
    if (!read)
        return read.error().line >= 1 && read.error().column >= 1 ? "" : "a refusal without its place";
    (void)ConstraintModel::Compile(ToEngineDesign(read.value()));
    // A text that starts with "<" is a design document's to read.
    return KindOfDesignFile(bytes) == DesignFileKind::ModelText ? CheckWrittenBack(read.value()) : "";
}

std::string CheckSuiteFileAs(const QByteArray& bytes, bool wholeRows)
{
    static const DesignTables design = SuiteDesign();
    SuiteRows rows;
    SuiteFileError error;
    if (!ReadSuiteFile(bytes, design, wholeRows, rows, error))
        return {};
    for (const std::vector<int32_t>& codes : rows.codes) {
        if (codes.size() != design.levelCounts.size())
            return "a row of another length than the design's factors";
        for (std::size_t f = 0; f < codes.size(); ++f)
            if (codes[f] < (wholeRows ? 0 : -1) || codes[f] >= design.levelCounts[f])
                return "a row names no level of the design";
    }
    return {};
}

std::string CheckSuiteFile(const QByteArray& bytes)
{
    const std::string asSeeds = CheckSuiteFileAs(bytes, false);
    return asSeeds.empty() ? CheckSuiteFileAs(bytes, true) : asSeeds;
}

std::string CheckSuiteFileOneWay(const QByteArray& bytes) { return CheckSuiteFileAs(bytes, bytes.size() % 2 == 1); }

int FuzzOneInput(std::string (*check)(const QByteArray&), const std::uint8_t* data, std::size_t size)
{
    const std::string problem = check(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
