#pragma once
// What the window's generation and search commands read first: the sheets' design, validated,
// compiled once for the command by the library. A rules text that does not check is shown with
// its line and column, and the Rules sheet opens at that place.

#include "app/DesktopContext.h"
#include "model/DesignModel.h"

#include <vantrel/design.hpp>

#include <optional>

namespace modMain {
// False after the message of the first problem: a table that did not validate, the rules, or
// a previous test that breaks the constraints (then the Previous Test sheet is shown).
bool ReadCommandDesign(const CommandContext& context, CommandDesign& design);
// Whether some test case keeps every constraint of the design read; if none does, says which
// rules and Constraints rows forbid every test case together and shows the first of them.
bool AnyValidTestCase(const CommandContext& context, const CommandDesign& design);
// Shows the rules and Constraints rows named, the first rule on the Rules sheet, else the first
// Constraints row on its sheet.
void ShowStatements(const CommandContext& context, const vantrel::Statements& statements);
// Shows an error of the library as a message box: a rules text that does not check where it
// goes wrong (with a Help button on the rule language); the rest with the icon of its kind.
void ShowLibraryError(const CommandContext& context, const vantrel::Error& error);
}  // namespace modMain
