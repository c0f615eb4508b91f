// Writing a model as model text, or refusing with every name and text that would not read back
// as it was.
#include <vantrel/modeltext.hpp>

#include "libvantrel/ModelTextSyntax.h"
#include "libvantrel/TextScan.h"

#include <set>
#include <utility>

namespace modeltext {

namespace {

// A refusal names this many problems and counts the others.
constexpr std::size_t kShownProblems = 20;

// Why the text cannot stand in a model text as it is: a character that a text file does not
// hold (a control character but a tab, half of a surrogate pair, bytes that are no UTF-8), or
// a line break where lineBreaks is false; "" when it can.
std::string CharacterProblem(std::string_view text, bool lineBreaks)
{
    for (std::size_t at = 0; at < text.size();) {
        const textscan::Character c = textscan::CharacterAt(text, at);
        if (c.surrogate)
            return "it holds " + textscan::CodePoint(c.code) + ", half of a character";
        if (!c.valid)
            return "it is not UTF-8";
        if (c.code == '\n' || c.code == '\r') {
            if (!lineBreaks)
                return "it holds a line break";
        } else if (c.code < 0x20 && c.code != '\t') {
            return "it holds the control character " + textscan::CodePoint(c.code);
        }
        at += c.length;
    }
    return {};
}

// Why a name cannot stand in a model text as written, or "" when it can.
std::string NameProblem(std::string_view name, std::string_view forbidden)
{
    if (name.empty())
        return "it is empty";
    if (textscan::Trimmed(name).size() != name.size())
        return "it starts or ends with a blank";
    if (std::string problem = CharacterProblem(name, false); !problem.empty())
        return problem;
    for (const char c : forbidden)
        if (name.find(c) != std::string_view::npos)
            return std::string("it holds \"") + c + "\"";
    return {};
}

std::string FactorNameProblem(std::string_view name)
{
    std::string problem = NameProblem(name, ":");
    if (problem.empty() && (IsComment(name) || StartsRules(name)))
        problem = "it would read as a comment, a group or a rule";
    return problem;
}

// Why one of a level's names cannot stand where it is written, or "": its own name first
// (after the "~" of an invalid level, which tells it from one), then its other names.
std::string LevelNameProblem(std::string_view name, bool marksInvalid)
{
    std::string problem = NameProblem(name, ",|");
    if (problem.empty() && marksInvalid && name.substr(0, 1) == "~")
        problem = "it starts with \"~\", which marks an invalid level";
    return problem;
}

// Every line of text ends with "\n", and each one is what isKept says.
template <typename IsKept>
bool AreLines(std::string_view text, IsKept isKept)
{
    if (text.empty() || text.back() != '\n')
        return false;
    return ForEachPiece(text.substr(0, text.size() - 1), '\n',
                        [&](std::string_view line, std::size_t) { return isKept(line); });
}

// The blank lines the layout keeps (none, maybe), or the one blank line of a text written afresh.
std::string BlankLinesOr(const std::string& kept)
{
    return kept.empty() || AreLines(kept, IsBlankLine) ? kept : "\n";
}

std::string Joined(const std::vector<std::string>& parts, std::string_view separator)
{
    std::string joined;
    for (std::size_t k = 0; k < parts.size(); ++k)
        (k > 0 ? joined.append(separator) : joined).append(parts[k]);
    return joined;
}

}  // namespace

// The model's text as it is written, and every problem met on the way.
class TextWriting {
public:
    explicit TextWriting(const vantrel::Model& model) : m(model) {}

    void Factors();
    void ConstraintsAndRules();
    vantrel::Result<std::string> Written() const;

private:
    void Refuse(std::string problem) { problems.push_back(std::move(problem)); }
    void RefuseFactor(const std::string& name, const std::string& why);
    void Comments(std::size_t f);
    std::string LevelText(const vantrel::Factor& factor, const vantrel::Level& level);
    void RefuseLevel(const std::string& name, const vantrel::Factor& factor, const std::string& why);
    std::string ConstraintLine(std::size_t c);
    std::string RulesLines(bool afterRows);

    const vantrel::Model& m;
    std::string out;
    std::vector<std::string> problems;
};

void TextWriting::Factors()
{
    std::set<std::string_view> names;
    for (std::size_t f = 0; f < m.factors.size(); ++f) {
        const vantrel::Factor& factor = m.factors[f];
        Comments(f);
        if (const std::string problem = FactorNameProblem(factor.name); !problem.empty())
            RefuseFactor(factor.name, problem);
        if (!names.insert(factor.name).second)
            RefuseFactor(factor.name, "the design has two factors of that name");
        if (factor.levels.empty())
            RefuseFactor(factor.name, "it has no level");
        std::set<std::string_view> levelNames;
        std::vector<std::string> levels;
        for (const vantrel::Level& level : factor.levels) {
            if (!levelNames.insert(level.name).second)
                RefuseLevel(level.name, factor, "the factor has two levels of that name");
            levels.push_back(LevelText(factor, level));
        }
        out.append(factor.name).append(": ").append(Joined(levels, ", ")).push_back('\n');
    }
}

void TextWriting::RefuseFactor(const std::string& name, const std::string& why)
{
    Refuse("The factor \"" + name + "\" cannot be written as model text: " + why + ".");
}

void TextWriting::Comments(std::size_t f)
{
    const auto above = m.textLayout.aboveFactor.find(int(f));
    if (above == m.textLayout.aboveFactor.end() || above->second.empty())
        return;
    std::string comments = above->second;
    if (comments.back() != '\n')
        comments += '\n';
    const auto kept = [](std::string_view line) { return IsBlankLine(line) || IsComment(line); };
    const std::string& name = m.factors[f].name;
    if (const std::string problem = CharacterProblem(comments, true); !problem.empty())
        Refuse("The comments above factor " + name + " cannot be written as model text: " + problem + ".");
    else if (!AreLines(comments, kept))
        Refuse("The comments above factor " + name +
               " cannot be written as model text: a line of them is neither blank nor a comment.");
    out += comments;
}

// The level as its factor's line writes it: "~name | other name (N)". A text that ends in what
// reads as a weight gets its weight written, 1 too, which the reader takes off instead.
std::string TextWriting::LevelText(const vantrel::Factor& factor, const vantrel::Level& level)
{
    std::vector<std::string> names{level.name};
    names.insert(names.end(), level.aliases.begin(), level.aliases.end());
    for (std::size_t k = 0; k < names.size(); ++k)
        if (const std::string problem = LevelNameProblem(names[k], k == 0 && !level.invalid); !problem.empty())
            RefuseLevel(names[k], factor, problem);
    const std::string text = (level.invalid ? "~" : "") + Joined(names, " | ");
    if (level.weight < 1 || level.weight > kMaxWeight)
        RefuseLevel(level.name, factor,
                    "its weight " + std::to_string(level.weight) + " is not from 1 to " + std::to_string(kMaxWeight));
    if (level.weight == 1 && !FindWeight(text))
        return text;
    return text + " (" + std::to_string(level.weight) + ")";
}

void TextWriting::RefuseLevel(const std::string& name, const vantrel::Factor& factor, const std::string& why)
{
    Refuse("The level \"" + name + "\" of factor " + factor.name + " cannot be written as model text: " + why + ".");
}

std::string TextWriting::ConstraintLine(std::size_t c)
{
    const vantrel::ConstraintRow& given = m.constraints[c];
    const ConstraintFields row{given.ifFactor, given.ifLevel, given.thenFactor, given.thenLevel};
    const std::string number = std::to_string(c + 1);
    for (const std::string& field : row)
        if (const std::string problem = CharacterProblem(field, false); !problem.empty())
            Refuse("Constraint " + number + " cannot be written as a rule: \"" + field + "\": " + problem + ".");
    for (const std::size_t k : {0, 2})
        if (row[k].find(']') != std::string::npos)
            Refuse("Constraint " + number + " cannot be written as a rule: the factor \"" + row[k] + "\" holds \"]\".");
    return ConstraintRule(row);
}

void TextWriting::ConstraintsAndRules()
{
    std::string rows;
    for (std::size_t c = 0; c < m.constraints.size(); ++c)
        rows.append(ConstraintLine(c)).push_back('\n');
    const std::string rules = RulesLines(!rows.empty());
    if (!rows.empty())
        out += BlankLinesOr(m.textLayout.aboveRows) + rows;
    if (!rules.empty())
        out += BlankLinesOr(m.textLayout.aboveRules) + rules;
    else if (!out.empty())
        out += BlankLinesOr(m.textLayout.endLines);
}

// The rules text, each of its lines ended (a last empty line included, so that it reads back),
// each group in the form the text it was read from wrote it in. Unless rows stand before it,
// its first line that is not a comment must start a rule, or it would read as a factor's.
std::string TextWriting::RulesLines(bool afterRows)
{
    if (IsBlankLine(m.rules))
        return {};
    if (const std::string problem = CharacterProblem(m.rules, true); !problem.empty())
        Refuse("The rules text cannot be written as model text: " + problem + ".");
    std::string text;
    bool started = afterRows;
    ForEachPiece(m.rules, '\n', [&](std::string_view line, std::size_t) {
        if (!started && !IsBlankLine(line) && !IsComment(line)) {
            started = true;
            if (!StartsRules(line))
                Refuse("The rules text cannot be written as model text: its first line that is not a comment, \"" +
                       std::string(line) + "\", does not start a rule and would read as a factor.");
        }
        const auto written = m.textLayout.groupLines.find(std::string(line));
        text.append(written == m.textLayout.groupLines.end() ? line : std::string_view(written->second)).push_back('\n');
        return true;
    });
    return text;
}

vantrel::Result<std::string> TextWriting::Written() const
{
    // Lines end as the text's did; a line that ends in a carriage return keeps it when every
    // line ends with CR LF, of which the reader takes the CR off.
    std::string text;
    if (m.textLayout.crLfLineEnds || out.find("\r\n") != std::string::npos) {
        text.reserve(out.size() + out.size() / 8);
        for (const char c : out)
            c == '\n' ? text.append("\r\n") : text.append(1, c);
    } else {
        text = out;
    }
    // A text that starts with U+FEFF (a first factor's name may) gets a byte order mark, which
    // the reader takes off.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.insert(0, "\xEF\xBB\xBF");

    std::vector<std::string> refusal = problems;
    if (vantrel::KindOfFile(text) == vantrel::FileKind::Document)
        refusal.push_back(m.factors.empty() ? "A design without factors and rules cannot be written as model text."
                                            : "The factor \"" + m.factors[0].name +
                                                  "\" cannot be written first in a model text: a text that starts "
                                                  "with \"<\" is read as a design document.");
    if (refusal.size() > kShownProblems) {
        const std::size_t more = refusal.size() - kShownProblems;
        refusal.resize(kShownProblems);
        refusal.push_back("And " + std::to_string(more) + " more like these.");
    }
    if (!refusal.empty())
        return vantrel::Error{vantrel::Error::Kind::Model, Joined(refusal, "\n")};
    return text;
}

}  // namespace modeltext

vantrel::Result<std::string> vantrel::WriteModelText(const Model& model)
{
    modeltext::TextWriting writing(model);
    writing.Factors();
    writing.ConstraintsAndRules();
    return writing.Written();
}
