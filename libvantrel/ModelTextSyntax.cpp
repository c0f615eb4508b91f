#include "libvantrel/ModelTextSyntax.h"

#include "libvantrel/TextScan.h"

#include <vantrel/modeltext.hpp>

namespace modeltext {

namespace {

std::string Quoted(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

// Reading a line of the one shape a Constraints row is written in, from its start on.
class RowScanner {
public:
    explicit RowScanner(std::string_view line) : line_(line) {}

    void SkipAsciiBlanks()
    {
        while (at_ < line_.size() && (line_[at_] == ' ' || (line_[at_] >= '\t' && line_[at_] <= '\r')))
            ++at_;
    }
    bool Take(std::string_view word)
    {
        if (line_.substr(at_, word.size()) != word)
            return false;
        at_ += word.size();
        return true;
    }
    // "[name]", the name not empty: the name.
    std::optional<std::string> Factor()
    {
        const std::size_t close = line_.find(']', at_ + 1);
        if (at_ >= line_.size() || line_[at_] != '[' || close == std::string_view::npos || close == at_ + 1)
            return std::nullopt;
        std::string name(line_.substr(at_ + 1, close - at_ - 1));
        at_ = close + 1;
        return name;
    }
    // "text" with \-escapes: the text unescaped.
    std::optional<std::string> QuotedText()
    {
        if (at_ >= line_.size() || line_[at_] != '"')
            return std::nullopt;
        std::string text;
        for (std::size_t k = at_ + 1; k < line_.size(); ++k) {
            if (line_[k] == '"') {
                at_ = k + 1;
                return text;
            }
            if (line_[k] == '\\' && ++k == line_.size())
                break;
            text += line_[k];
        }
        return std::nullopt;
    }
    bool AtEnd() const { return at_ == line_.size(); }

private:
    std::string_view line_;
    std::size_t at_ = 0;
};

}  // namespace

bool IsBlankLine(std::string_view line) { return textscan::IsAllBlank(line); }

bool IsComment(std::string_view line)
{
    const std::size_t at = textscan::FirstNonBlank(line);
    return at < line.size() && line[at] == '#';
}

bool StartsRules(std::string_view line)
{
    const std::string_view text = line.substr(textscan::FirstNonBlank(line));
    if (text.empty())
        return false;
    if (text[0] == '[' || text[0] == '(' || text[0] == '{')
        return true;
    for (const std::string_view word : {std::string_view("IF"), std::string_view("NOT")})
        if (textscan::StartsWithNoCase(text, word) && !textscan::IsWordCharacter(text, word.size()))
            return true;
    return false;
}

std::optional<WeightMark> FindWeight(std::string_view level)
{
    // Read from the end: ")", blanks, digits, blanks, "(".
    std::size_t at = level.size();
    if (at == 0 || level[at - 1] != ')')
        return std::nullopt;
    at = textscan::EndWithoutBlanks(level, at - 1);
    const std::size_t digitsEnd = at;
    while (at > 0 && level[at - 1] >= '0' && level[at - 1] <= '9')
        --at;
    if (at == digitsEnd)
        return std::nullopt;
    const std::size_t digitsStart = at;
    at = textscan::EndWithoutBlanks(level, at);
    if (at == 0 || level[at - 1] != '(')
        return std::nullopt;
    return WeightMark{at - 1, level.substr(digitsStart, digitsEnd - digitsStart)};
}

long long NumberOf(std::string_view digits, long long limit)
{
    long long value = 0;
    for (const char c : digits)
        if ((value = value * 10 + (c - '0')) > limit)
            return -1;
    return value;
}

std::string ConstraintRule(const ConstraintFields& row)
{
    return "IF [" + row[0] + "] = " + Quoted(row[1]) + " THEN [" + row[2] + "] <> " + Quoted(row[3]) + ";";
}

std::optional<ConstraintFields> ConstraintOfRule(std::string_view line)
{
    RowScanner scan(line);
    scan.SkipAsciiBlanks();
    std::optional<std::string> ifFactor, ifLevel, thenFactor, thenLevel;
    if (!scan.Take("IF ") || !(ifFactor = scan.Factor()) || !scan.Take(" = ") || !(ifLevel = scan.QuotedText()) ||
        !scan.Take(" THEN ") || !(thenFactor = scan.Factor()) || !scan.Take(" <> ") || !(thenLevel = scan.QuotedText()) ||
        !scan.Take(";"))
        return std::nullopt;
    scan.SkipAsciiBlanks();
    if (!scan.AtEnd())
        return std::nullopt;
    return ConstraintFields{*ifFactor, *ifLevel, *thenFactor, *thenLevel};
}

}  // namespace modeltext

vantrel::FileKind vantrel::KindOfFile(std::string_view bytes)
{
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")  // UTF-16, for the XML reader
        return FileKind::Document;
    std::size_t at = bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (at < bytes.size() && (bytes[at] == ' ' || bytes[at] == '\t' || bytes[at] == '\r' || bytes[at] == '\n'))
        ++at;
    // An empty file is the document reader's to refuse.
    if (at == bytes.size() || bytes[at] == '<')
        return FileKind::Document;
    return bytes.find('\0') != std::string_view::npos ? FileKind::Neither : FileKind::ModelText;
}
