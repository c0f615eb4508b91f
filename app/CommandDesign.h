#pragma once
// What the window's generation and search commands read first: the sheets' design, validated,
// with its constraints compiled once for the command. A rules text that does not check is
// shown with its line and column, and the Rules sheet opens at that place.

#include "app/DesktopContext.h"
#include "engine/ConstraintModel.h"
#include "engine/DesignTables.h"
#include "model/DesignText.h"

#include <memory>

struct CommandDesign {
    DesignText text;
    DesignTables tables;  // as the engine takes them
    std::shared_ptr<const ConstraintModel> constraints;
};

namespace modMain {
// False after the message of the first problem: a table that did not validate, the rules, or
// a previous test that breaks the constraints (then the Previous Test sheet is shown).
bool ReadCommandDesign(const CommandContext& context, CommandDesign& design);
// Whether some test case keeps every constraint of the design read; if none does, says which
// rules and Constraints rows forbid every test case together and shows the first of them.
bool AnyValidTestCase(const CommandContext& context, const CommandDesign& design);
// Shows where and why the rules text does not check (with a Help button on the rule
// language), then shows the Rules sheet with the cursor at that place.
void ShowRulesProblem(const CommandContext& context, const RuleError& error);
}  // namespace modMain
