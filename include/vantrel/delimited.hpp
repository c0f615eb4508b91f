#pragma once
// Test cases as delimited text, the one writer of both formats: a header line of the factors'
// names, then a line per test case, every line ended with CR LF, in UTF-8.
//   Comma: a cell that holds a comma, a double quote or a line break is put in double quotes,
//          its quotes doubled; every other cell stands as it is.
//   Tab:   every cell stands as it is; a cell that holds a tab or a line break, which a
//          tab-separated file cannot hold, is refused.

#include <vantrel/export.hpp>
#include <vantrel/model.hpp>
#include <vantrel/result.hpp>

#include <string>
#include <vector>

namespace vantrel {

enum class Delimiter { Tab, Comma };

// One line, its CR LF included.
VANTREL_API Result<std::string> DelimitedLine(const std::vector<std::string>& cells, Delimiter delimiter);
VANTREL_API Result<std::string> Delimited(const std::vector<std::string>& header, const std::vector<Row>& rows,
                                          Delimiter delimiter);

}  // namespace vantrel
