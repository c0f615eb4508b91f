#include <vantrel/delimited.hpp>

namespace vantrel {

namespace {

bool Holds(const std::string& cell, const char* characters) { return cell.find_first_of(characters) != std::string::npos; }

}  // namespace

Result<std::string> DelimitedLine(const std::vector<std::string>& cells, Delimiter delimiter)
{
    std::string line;
    for (size_t c = 0; c < cells.size(); ++c) {
        const std::string& cell = cells[c];
        if (c > 0)
            line += delimiter == Delimiter::Tab ? '\t' : ',';
        if (delimiter == Delimiter::Tab) {
            if (Holds(cell, "\t\r\n"))
                return Error{Error::Kind::Model, "\"" + cell +
                                                     "\" holds a tab or a line break, which a tab-separated file cannot "
                                                     "hold: write it comma-separated"};
            line += cell;
        } else if (Holds(cell, ",\"\r\n")) {
            line += '"';
            for (const char ch : cell)
                line += ch == '"' ? std::string("\"\"") : std::string(1, ch);
            line += '"';
        } else {
            line += cell;
        }
    }
    return line + "\r\n";
}

Result<std::string> Delimited(const std::vector<std::string>& header, const std::vector<Row>& rows, Delimiter delimiter)
{
    Result<std::string> text = DelimitedLine(header, delimiter);
    if (!text)
        return text;
    std::string all = std::move(text).value();
    for (const Row& row : rows) {
        Result<std::string> line = DelimitedLine(row, delimiter);
        if (!line)
            return line;
        all += line.value();
    }
    return all;
}

}  // namespace vantrel
