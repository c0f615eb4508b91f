#pragma once
// The check of the rules text while it is typed: the text against the factors and levels as
// the Factors and Levels sheet holds them. The sheet is read without a message and without
// changing its counts, so that it need not be valid yet; the commands check the rules again
// against the validated design.

#include <vantrel/result.hpp>

class DesignWorkbook;

namespace RulesCheck {
enum class Result {
    Checks,     // the text checks (an empty text does)
    Problem,    // the text does not check: the error says where and why
    NoFactors,  // the sheet holds no named factor, so the text was not checked
};

// error: where and why the text does not check (its line and column, its message).
Result Check(DesignWorkbook& workbook, vantrel::Error& error);
}  // namespace RulesCheck
