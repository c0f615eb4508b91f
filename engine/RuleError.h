#pragma once
// A problem in a rules text: where it is and what it is, in the words the Rules sheet and the
// command line show ("unknown factor [Colour]", "expected THEN, found ;").

#include <cstdint>
#include <string>

// 1-based; the column counts characters, not bytes.
struct RulePosition {
    int32_t line = 1;
    int32_t column = 1;
};

struct RuleError {
    RulePosition at;
    std::string message;

    // "Rules, line 3, column 14: unknown factor [Colour]": the message where the rules are not
    // beside it.
    std::string Described() const
    {
        return "Rules, line " + std::to_string(at.line) + ", column " + std::to_string(at.column) + ": " + message;
    }
};
