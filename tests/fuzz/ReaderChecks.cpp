#include "tests/fuzz/ReaderChecks.h"

#include "cli/SuiteFile.h"
#include "files/ModelText.h"
#include "model/DesignModel.h"

#include <vantrel/design.hpp>

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
vantrel::Design SuiteDesign()
{
    vantrel::Model model;
    model.factors = {vantrel::Factor::Of("OS", {"Windows 11", "macOS", "Solaris"}),
                     vantrel::Factor::Of("Browser", {"Chrome", "Firefox"}),
                     vantrel::Factor::Of("Pay", {"Card", "Expired card"})};
    model.factors[0].levels[0].aliases = {"Win11"};
    model.factors[0].levels[2].invalid = true;
    model.factors[2].levels[1].invalid = true;
    return vantrel::Design::Compile(model).value();
}

}  // namespace

std::string CheckModelText(const QByteArray& bytes)
{
    const auto read = ReadModelText(bytes);
    if (!read)
        return read.error().line >= 1 && read.error().column >= 1 ? "" : "a refusal without its place";
    (void)vantrel::Design::Compile(ToModel(read.value()));
    // A text that starts with "<" is a design document's to read.
    return KindOfDesignFile(bytes) == DesignFileKind::ModelText ? CheckWrittenBack(read.value()) : "";
}

std::string CheckSuiteFileAs(const QByteArray& bytes, bool wholeRows)
{
    static const vantrel::Design design = SuiteDesign();
    const std::vector<vantrel::Factor>& factors = design.model().factors;
    SuiteRows rows;
    SuiteFileError error;
    if (!ReadSuiteFile(bytes, design, wholeRows, rows, error))
        return {};
    for (const std::vector<int32_t>& codes : rows.codes) {
        if (codes.size() != factors.size())
            return "a row of another length than the design's factors";
        for (std::size_t f = 0; f < codes.size(); ++f)
            if (codes[f] < (wholeRows ? 0 : -1) || codes[f] >= int32_t(factors[f].levels.size()))
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
