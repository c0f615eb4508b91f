// Reading a model text: its lines and characters, then its factors, rows and rules.
#include <vantrel/modeltext.hpp>

#include "libvantrel/ModelTextReading.h"
#include "libvantrel/TextScan.h"

#include <algorithm>

namespace modeltext {

namespace {

// The lines of the text without their ends ("\n" or "\r\n"); the last line's end makes no
// line of its own.
std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        std::string_view line = text.substr(from, end - from);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        from = end + 1;
    }
    return lines;
}

// The first character that is not UTF-8 (or, in a text that is not, a replacement character
// U+FFFD standing for one), or that is a control character but a tab or a line end.
vantrel::Result<void> CheckCharacters(const std::vector<std::string_view>& lines, std::string_view text)
{
    const std::size_t notUtf8 = textscan::FirstNotUtf8(text);
    const bool utf8 = notUtf8 == std::string_view::npos;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const std::string_view line = lines[k];
        const std::size_t offset = std::size_t(line.data() - text.data());
        for (std::size_t at = 0, column = 1; at < line.size(); ++column) {
            const auto byte = static_cast<unsigned char>(line[at]);
            if (!utf8 && (offset + at == notUtf8 || line.substr(at, 3) == "\xEF\xBF\xBD"))
                return Problem(int(k) + 1, int(column), "the text is not UTF-8");
            if (byte < 0x20 && byte != '\t' && byte != '\r')
                return Problem(int(k) + 1, int(column),
                               "the text holds the control character " + textscan::CodePoint(byte));
            at += byte < 0x80 ? 1 : textscan::CharacterAt(line, at).length;
        }
    }
    if (!utf8)
        return Problem(1, 1, "the text is not UTF-8");
    return {};
}

}  // namespace

}  // namespace modeltext

vantrel::Result<vantrel::Model> vantrel::ReadModelText(std::string_view bytes)
{
    using namespace modeltext;
    // One byte order mark is taken off, and only one: a first name may start with U+FEFF.
    const std::string_view text = bytes.substr(bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0);
    Reading reading;
    reading.lines = Lines(text);
    if (const Result<void> checked = CheckCharacters(reading.lines, text); !checked)
        return checked.error();
    // Written back with CR LF when the first line ends so, or a line keeps a CR at its end.
    const std::size_t firstLineEnd = text.find('\n');
    reading.model.textLayout.crLfLineEnds =
        (firstLineEnd != std::string_view::npos && firstLineEnd > 0 && text[firstLineEnd - 1] == '\r') ||
        std::any_of(reading.lines.begin(), reading.lines.end(),
                    [](std::string_view line) { return !line.empty() && line.back() == '\r'; });
    const Result<std::size_t> rulesPart = ReadFactorPart(reading);
    if (!rulesPart)
        return rulesPart.error();
    if (const Result<void> rules = ReadRulesPart(reading, rulesPart.value()); !rules)
        return rules.error();
    return std::move(reading.model);
}
