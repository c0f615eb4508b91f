#pragma once
// The combination search commands: Find Combination (where one chosen pair of levels occurs)
// and Find All Combinations (how many of all pairs the design covers). Neither changes the
// design, the flags or the matrix; only a regeneration the user accepts first does.

#include "app/DesktopContext.h"

#include <cstdint>

namespace modMain {
void FindInteraction(const CommandContext& context);
void FindAllCombinations(const CommandContext& context);
// The summary that follows a generation of strength In_lNumWays: how many of the combinations of
// levels of every In_lNumWays factors the new matrix covers, counted and worded as Find All
// Combinations counts the pairs (which is what it does at strength 2). A design with groups or
// invalid levels (In_bMixed) counts everything it asks for: the combinations of valid levels,
// the invalid-level pairs and each group's.
void ReportGeneratedCoverage(const CommandContext& context, std::int32_t In_lNumWays, bool In_bMixed = false);
// Reads the three tables with validation and counts every pair of levels as found or missing;
// a design with groups or invalid levels as its generation's summary counts it. False, with the
// counts at 0, when a read failed (it has shown its message).
bool FindAll2Ways(const CommandContext& context, std::int32_t& Ret_lNumFound, std::int32_t& Ret_lNumMissing,
                  bool& Ret_bViolation);
// Shows the sheet of the first occurrence with its row made active, and says how often the
// pair was found.
void ActivateFoundCombination(const CommandContext& context, std::int32_t In_lNumFound, std::int32_t In_lLocation,
                              std::int32_t In_lRow);
}  // namespace modMain
