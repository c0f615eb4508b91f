#pragma once
// The coverage report as the program says it: the one-line summary of a whole-design count in
// the wordings the program uses, with the help topic that explains each; a line for each kind
// of combination; the cells of a combination and why one cannot occur.

#include "engine/CoverageReport.h"
#include "engine/ExclusionExplainer.h"

#include <QString>
#include <QStringList>

#include <cstdint>

struct DesignText;

struct CoverageSummary {
    QString text;
    int helpContext = 0;
    bool complete = false;  // every required combination found and every test case sound
};

// The Coverage view's help topic.
inline constexpr int kCoverageHelpContext = 38;

// A combination no valid test case can hold counts as found in the constraints, as a pair a
// Constraints row names does; what is missing is what a valid test case can hold, listed by the
// Coverage view (commandLine: by --missing).
CoverageSummary SummarizeCoverage(const CoverageReport& report, bool commandLine = false);

// A line for each kind apart, when there is more than one: "12 of 12 valid pairs",
// "8 of 8 invalid-level pairs", "Group { [A], [B], [C] } @ 3: 27 of 27 triples".
QStringList CoverageByKind(const CoverageReport& report, const DesignText& design);
// A requirement's name: "2-way", "invalid-level pairs", "Group { [A], [B] } @ 3".
QString RequirementName(const CoverageRequirement& requirement, const DesignText& design);

// A level entry of the design as its factor's name and the level as test cases show it.
QStringList EntryCells(const DesignText& design, const ConstraintModel& model, std::int32_t entry);
// "Country = Japan, Delivery = Locker".
QString LevelsText(const DesignText& design, const ConstraintModel& model, const std::vector<std::int32_t>& entries);
// What is wrong with a problem row: "breaks Constraints row 2 and the rule on line 11",
// "holds 2 invalid levels", "holds a name that is no level of Country".
QString ProblemText(const CoverageProblemRow& row, const ConstraintModel& model, const DesignText& design,
                    std::int32_t firstRuleLine);

// The first previous test that breaks a Constraints row or a rule, or holds two invalid
// levels, as its refusal: "Previous test number 2 breaks the rule on line 11."; empty when
// every previous test keeps them.
QString BrokenPreviousTest(const DesignTables& design, const ConstraintModel& model, const DesignText& text,
                           std::int32_t firstRuleLine);
// Why no test case at all can satisfy the constraints: "No test case can satisfy every
// constraint: the rules on lines 2 and 5 together." The reason, for showing where it is.
QString NoValidTestCase(const ConstraintModel& model, std::int32_t firstRuleLine, ExclusionReason* reason = nullptr);
