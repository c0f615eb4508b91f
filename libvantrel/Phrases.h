#pragma once
// How the library says what is wrong with a row and why levels cannot stand together, the
// rules told by their line in the model's text.

#include "libvantrel/DesignImpl.h"

#include "engine/CoverageReport.h"
#include "engine/ExclusionExplainer.h"

#include <string>
#include <vector>

// Empty for a complete, valid row; else "breaks Constraints row 2 and the rule on line 11",
// "holds 2 invalid levels" or "holds a name that is no level of [OS]".
std::string RowProblem(const vantrel::Design::Impl& design, const std::vector<int32_t>& codes);
std::string ProblemPhrase(const vantrel::Design::Impl& design, const CoverageProblemRow& row);

vantrel::Reason ReasonOf(const vantrel::Design::Impl& design, const ExclusionReason& reason);
