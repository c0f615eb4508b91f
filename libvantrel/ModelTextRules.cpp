// What follows the factor lines of a model text: the Constraints rows, written as the rule each
// means, then the rules text, where a group may stand on one line in a short form.
#include "libvantrel/ModelTextReading.h"
#include "libvantrel/ModelTextSyntax.h"
#include "libvantrel/TextScan.h"

#include "engine/RuleSyntax.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <set>

namespace modeltext {

namespace {

using vantrel::Result;
using textscan::ColumnOf;
using textscan::FirstNonBlank;

struct GroupLine {
    std::string_view text;
    int line = 0;
    std::vector<std::string> factors;
    std::vector<std::size_t> at;  // the byte where each factor's name starts
    int strength = 0;
    std::size_t strengthAt = 0;
};

vantrel::Error GroupProblem(std::string_view line, int lineNo, std::size_t at, std::string message)
{
    return Problem(lineNo, ColumnOf(line, at), std::move(message), vantrel::Error::Kind::Rules);
}

// The byte where the strength's digits start in "@ N;" (blanks around, ";" maybe), or npos.
std::size_t StrengthDigits(std::string_view rest, std::size_t& end)
{
    const auto blanks = [&](std::size_t at) {
        while (at < rest.size() && (rest[at] == ' ' || (rest[at] >= '\t' && rest[at] <= '\r')))
            ++at;
        return at;
    };
    std::size_t at = blanks(0);
    if (at == rest.size() || rest[at] != '@')
        return std::string_view::npos;
    const std::size_t start = blanks(at + 1);
    end = start;
    while (end < rest.size() && rest[end] >= '0' && rest[end] <= '9')
        ++end;
    at = blanks(end);
    if (at < rest.size() && rest[at] == ';')
        at = blanks(at + 1);
    return end > start && at == rest.size() ? start : std::string_view::npos;
}

Result<GroupLine> ReadGroupLine(std::string_view line, int lineNo)
{
    GroupLine group;
    group.text = line;
    group.line = lineNo;
    const std::size_t open = FirstNonBlank(line);
    const std::size_t close = line.find('}', open);
    for (std::size_t from = open + 1; from <= close;) {
        const std::size_t comma = line.find(',', from);
        const std::size_t to = comma == std::string_view::npos || comma > close ? close : comma;
        const Piece piece = PieceOf(line, from, to);
        std::string_view name = piece.text;
        if (name.size() >= 2 && name.front() == '[' && name.back() == ']')
            name = textscan::Trimmed(name.substr(1, name.size() - 2));
        if (name.empty())
            return GroupProblem(line, lineNo, piece.at, "expected a factor's name in the group");
        group.factors.emplace_back(name);
        group.at.push_back(piece.at);
        from = to + 1;
    }
    std::size_t digitsEnd = 0;
    const std::size_t digits = StrengthDigits(line.substr(close + 1), digitsEnd);
    if (digits == std::string_view::npos)
        return GroupProblem(line, lineNo, FirstNonBlank(line, close + 1), "expected @ and the group's strength after }");
    // A strength beyond any whole number is told as 0.
    group.strength = int(std::max(0LL, NumberOf(line.substr(close + 1 + digits, digitsEnd - digits), INT_MAX)));
    group.strengthAt = close + 1 + digits;
    return group;
}

Result<void> CheckGroup(const GroupLine& group, const Reading& reading)
{
    std::set<std::string> seen;
    for (std::size_t k = 0; k < group.factors.size(); ++k) {
        const std::string& name = group.factors[k];
        if (reading.factorOf.count(name) == 0)
            return GroupProblem(group.text, group.line, group.at[k], "unknown factor [" + name + "]");
        if (!seen.insert(name).second)
            return GroupProblem(group.text, group.line, group.at[k], "factor [" + name + "] is twice in the group");
    }
    const std::string strength = std::to_string(group.strength);
    if (group.strength < 2 || group.strength > 6)
        return GroupProblem(group.text, group.line, group.strengthAt, "group strength must be from 2 to 6, found " + strength);
    if (std::size_t(group.strength) > group.factors.size())
        return GroupProblem(group.text, group.line, group.strengthAt,
                            "group strength " + strength + " is larger than its " +
                                std::to_string(group.factors.size()) + " factors");
    return {};
}

std::string GroupRule(const GroupLine& group)
{
    std::string rule = "{ ";
    for (std::size_t k = 0; k < group.factors.size(); ++k)
        rule += (k > 0 ? ", [" : "[") + group.factors[k] + "]";
    return rule + " } @ " + std::to_string(group.strength) + ";";
}

// A line of the rules text: a group on one line, { A, B } @ 2, checked and written as the
// rules write it, with the form the text wrote it in kept; any other line as it is.
Result<std::string> RulesLine(std::string_view line, int lineNo, Reading& reading)
{
    const std::size_t at = FirstNonBlank(line);
    if (at >= line.size() || line[at] != '{' || line.find('}') == std::string_view::npos)
        return std::string(line);
    const Result<GroupLine> group = ReadGroupLine(line, lineNo);
    if (!group)
        return group.error();
    if (const Result<void> checked = CheckGroup(group.value(), reading); !checked)
        return checked.error();
    std::string rule = GroupRule(group.value());
    if (rule != line)
        reading.model.textLayout.groupLines[rule] = std::string(line);
    return rule;
}

// The Constraints row a rule line means: one of the shape a row is written as, over two
// different factors of the model and a level of each. Any other rule stays a rule.
std::optional<vantrel::ConstraintRow> RowOf(std::string_view line, const Reading& reading)
{
    std::optional<ConstraintFields> row = ConstraintOfRule(line);
    if (!row)
        return std::nullopt;
    const auto ifFactor = reading.factorOf.find((*row)[0]);
    const auto thenFactor = reading.factorOf.find((*row)[2]);
    if (ifFactor == reading.factorOf.end() || thenFactor == reading.factorOf.end() ||
        ifFactor->second == thenFactor->second || !reading.HasLevel(ifFactor->second, (*row)[1]) ||
        !reading.HasLevel(thenFactor->second, (*row)[3]))
        return std::nullopt;
    return vantrel::ConstraintRow{std::move((*row)[0]), std::move((*row)[1]), std::move((*row)[2]), std::move((*row)[3])};
}

// The blank lines from line k on, each ended; k is left on the first that is not blank.
std::string BlankLines(const Reading& reading, std::size_t& k)
{
    std::string blank;
    for (; k < reading.lines.size() && IsBlankLine(reading.lines[k]); ++k)
        blank.append(reading.lines[k]).push_back('\n');
    return blank;
}

// A line the rules cannot read that reads as a factor's: a name without brackets or quotes
// before a colon.
bool LooksLikeFactorLine(std::string_view line)
{
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return false;
    const std::string_view name = line.substr(0, colon);
    return !textscan::IsAllBlank(name) && name.find_first_of("[\"") == std::string_view::npos && !StartsRules(name);
}

// A factor line below the first rule is read as part of the rules, where it does not parse:
// said at that line, with the line where the rules start.
Result<void> CheckNoFactorAmongRules(const std::vector<std::string>& rules, const Reading& reading)
{
    const ParsedRules parsed = ParseRules(reading.model.rules);
    const std::size_t index = parsed.ok ? rules.size() : std::size_t(parsed.error.at.line - 1);
    if (index >= rules.size() || !LooksLikeFactorLine(rules[index]))
        return {};
    return Problem(reading.model.rulesFirstLine + int(index), ColumnOf(rules[index], FirstNonBlank(rules[index])),
                   "factor lines come before the rules, which start on line " + std::to_string(reading.firstRuleLine));
}

}  // namespace

Result<void> ReadRulesPart(Reading& reading, std::size_t from)
{
    vantrel::Model& model = reading.model;
    std::size_t k = from;
    const std::string aboveRows = BlankLines(reading, k);
    for (; k < reading.lines.size(); ++k) {
        std::optional<vantrel::ConstraintRow> row = RowOf(reading.lines[k], reading);
        if (!row)
            break;
        model.constraints.push_back(std::move(*row));
    }
    const bool rows = !model.constraints.empty();
    const std::string aboveRules = rows ? BlankLines(reading, k) : aboveRows;
    if (rows)
        model.textLayout.aboveRows = aboveRows;
    const int rulesFirstLine = int(k) + 1;
    std::vector<std::string> rules;
    std::size_t size = 0;
    for (; k < reading.lines.size(); ++k) {
        Result<std::string> rule = RulesLine(reading.lines[k], int(k) + 1, reading);
        if (!rule)
            return rule.error();
        size += rule.value().size() + 1;
        rules.push_back(std::move(rule).value());
    }
    if (rules.empty()) {
        model.textLayout.endLines = aboveRules;
        return {};
    }
    model.rules.reserve(size);
    for (std::size_t r = 0; r < rules.size(); ++r)
        (r > 0 ? model.rules.append("\n") : model.rules).append(rules[r]);
    model.rulesFirstLine = rulesFirstLine;
    model.textLayout.aboveRules = aboveRules;
    return CheckNoFactorAmongRules(rules, reading);
}

}  // namespace modeltext
