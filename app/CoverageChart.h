#pragma once
// The Coverage view's chart: for each requirement, the share of its combinations covered after
// each test case, the previous tests at 0, and the point where it reaches all of them.

#include <vantrel/design.hpp>

#include <QStringList>

class QChart;

// names: one per requirement of the report, for the legend.
QChart* MakeCoverageChart(const vantrel::Coverage& report, const QStringList& names);
