#pragma once
// The combination search commands: Find Combination (where one chosen pair of levels occurs)
// and Find All Combinations (how many of all pairs the design covers). Neither changes the
// design, the flags or the matrix; only a regeneration the user accepts first does.

#include "app/DesktopContext.h"

#include <QString>

#include <cstdint>

namespace modMain {
void FindInteraction(const CommandContext& context);
void FindAllCombinations(const CommandContext& context);
// The summary that follows a generation of strength In_lNumWays: how many of the combinations the
// design requires at that strength the new matrix covers (with groups or invalid levels, every
// kind of them counted as one), worded as Find All Combinations words the pairs' count.
// ending: what else the search has to say (what ended it, what compaction removed), after the
// count; empty for nothing.
void ReportGeneratedCoverage(const CommandContext& context, std::int32_t In_lNumWays, const QString& ending = {});
// Reads the three tables with validation and counts every combination of two levels the design
// requires as found or missing: one that no valid test case can hold is found in the
// constraints. False, with the counts at 0, when a read failed (it has shown its message).
bool FindAll2Ways(const CommandContext& context, std::int32_t& Ret_lNumFound, std::int32_t& Ret_lNumMissing,
                  bool& Ret_bViolation);
// Shows the sheet of the first occurrence with its row made active, and says how often the
// pair was found.
void ActivateFoundCombination(const CommandContext& context, std::int32_t In_lNumFound, std::int32_t In_lLocation,
                              std::int32_t In_lRow);
}  // namespace modMain
