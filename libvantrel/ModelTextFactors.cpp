// The factor lines of a model text: "Name: level, ~invalid level, level | other name (weight)".
#include "libvantrel/ModelTextReading.h"
#include "libvantrel/ModelTextSyntax.h"
#include "libvantrel/TextScan.h"

#include <algorithm>
#include <utility>

namespace modeltext {

namespace {

using vantrel::Result;
using textscan::ColumnOf;
using textscan::FirstNonBlank;

// "(N)" at the end of a level, text of the line: its weight, taken off the text.
Result<int> TakeWeight(std::string_view& text, std::string_view line, int lineNo)
{
    const std::optional<WeightMark> mark = FindWeight(text);
    if (!mark)
        return 1;
    const long long value = NumberOf(mark->digits, kMaxWeight);
    if (value < 1 || value > kMaxWeight)
        return Problem(lineNo, ColumnOf(line, std::size_t(text.data() - line.data()) + mark->at),
                       "a weight is a whole number from 1 to " + std::to_string(kMaxWeight) + " in parentheses");
    text = textscan::Trimmed(text.substr(0, mark->at));
    return int(value);
}

Result<vantrel::Level> ReadLevel(std::string_view line, int lineNo, std::size_t from, std::size_t to)
{
    const Piece piece = PieceOf(line, from, to);
    std::string_view text = piece.text;
    if (text.empty())
        return Problem(lineNo, ColumnOf(line, piece.at), "empty level");
    vantrel::Level level;
    const Result<int> weight = TakeWeight(text, line, lineNo);
    if (!weight)
        return weight.error();
    level.weight = weight.value();
    if (!text.empty() && text[0] == '~') {
        level.invalid = true;
        text.remove_prefix(1);
    }
    const bool named = ForEachPiece(text, '|', [&](std::string_view name, std::size_t k) {
        name = textscan::Trimmed(name);
        if (name.empty())
            return false;
        (k == 0 ? level.name : level.aliases.emplace_back()) = std::string(name);
        return true;
    });
    if (!named)
        return Problem(lineNo, ColumnOf(line, piece.at), level.name.empty() ? "a level needs a name" : "empty alias");
    return level;
}

// The factor line of the next factor, its levels' names kept for the rows to look up.
Result<vantrel::Factor> ReadFactorLine(std::string_view line, int lineNo, Reading& reading)
{
    // A carriage return that ends no line would run two lines into one factor.
    const std::size_t cr = line.substr(0, textscan::EndWithoutBlanks(line, line.size())).find('\r');
    if (cr != std::string_view::npos)
        return Problem(lineNo, ColumnOf(line, cr), "a carriage return within the line: lines end with LF or CR LF");
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return Problem(lineNo, ColumnOf(line, FirstNonBlank(line)),
                       "expected a factor (Name: level, level), a group ({ A, B } @ 2) or a rule");
    vantrel::Factor factor;
    const Piece name = PieceOf(line, 0, colon);
    if (name.text.empty())
        return Problem(lineNo, ColumnOf(line, name.at), "a factor needs a name before \":\"");
    factor.name = std::string(name.text);
    std::unordered_set<std::string>& names = reading.levelNames.emplace_back();
    for (std::size_t from = colon + 1;;) {
        const std::size_t comma = line.find(',', from);
        Result<vantrel::Level> level = ReadLevel(line, lineNo, from, std::min(comma, line.size()));
        if (!level)
            return level.error();
        if (!names.insert(level.value().name).second)
            return Problem(lineNo, ColumnOf(line, FirstNonBlank(line, from)),
                           "factor " + factor.name + " has the level \"" + level.value().name + "\" twice");
        factor.levels.push_back(std::move(level).value());
        if (comma == std::string_view::npos)
            return factor;
        from = comma + 1;
    }
}

}  // namespace

vantrel::Error Problem(int line, int column, std::string message, vantrel::Error::Kind kind)
{
    vantrel::Error error;
    error.kind = kind;
    error.message = std::move(message);
    error.line = line;
    error.column = column;
    return error;
}

Piece PieceOf(std::string_view line, std::size_t from, std::size_t to)
{
    const std::size_t start = FirstNonBlank(line, from);
    std::size_t end = to;
    while (end > start)
        if (const std::size_t blank = textscan::BlankBefore(line, end))
            end -= blank;
        else
            break;
    return {line.substr(start, end > start ? end - start : 0), std::min(start, to)};
}

Result<std::size_t> ReadFactorPart(Reading& reading)
{
    std::string above;
    std::size_t rulesPart = 0;
    for (std::size_t k = 0; k < reading.lines.size(); ++k) {
        const std::string_view line = reading.lines[k];
        const int lineNo = int(k) + 1;
        if (StartsRules(line)) {
            reading.firstRuleLine = lineNo;
            break;
        }
        if (IsBlankLine(line) || IsComment(line)) {
            above.append(line).push_back('\n');
            continue;
        }
        Result<vantrel::Factor> factor = ReadFactorLine(line, lineNo, reading);
        if (!factor)
            return factor.error();
        const auto [known, added] = reading.factorOf.emplace(factor.value().name, int(reading.model.factors.size()));
        if (!added)
            return Problem(lineNo, ColumnOf(line, FirstNonBlank(line)),
                           "factor " + factor.value().name + " is already defined on line " +
                               std::to_string(reading.factorLines[std::size_t(known->second)]));
        if (!above.empty())
            reading.model.textLayout.aboveFactor[known->second] = std::exchange(above, std::string());
        reading.model.factors.push_back(std::move(factor).value());
        reading.factorLines.push_back(lineNo);
        rulesPart = k + 1;
    }
    return rulesPart;
}

}  // namespace modeltext
