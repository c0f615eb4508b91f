#pragma once
// The growth of coverage as a picture: for each requirement, the share of its combinations
// covered after each test case, with the point where it reaches all of them; written as SVG
// by the command line's --plot and the Coverage view's export alike.

#include <vantrel/design.hpp>

#include <QByteArray>
#include <QStringList>

// names: one per requirement of the report, for the legend.
QByteArray CoverageChartSvg(const vantrel::Coverage& report, const QStringList& names);

// The first number of test cases after which a requirement is wholly covered: 0 when the
// previous tests cover it, -1 when the suite never does.
int FullAfter(const vantrel::Requirement& requirement);
