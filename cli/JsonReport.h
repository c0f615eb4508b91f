#pragma once
// The one JSON document that generate, all, validate and coverage print with --format json:
//
//   {"factors": ["OS", ...], "rows": [["Mac", "~Solaris", ...], ...], "summary": {...}}
//
// Level names are written as the text output writes them, an invalid one with "~". all writes
// its rows as they are made, so that a long listing does not grow in memory.

#include <vantrel/design.hpp>

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <vector>

struct DesignText;

namespace JsonReport {
QStringList FactorNames(const DesignText& design);

// The whole document, rows and summary given.
QByteArray Document(const DesignText& design, const std::vector<std::vector<QString>>& rows, const QJsonObject& summary);

// The document in three parts for rows written as they come: Opening(), then Row() for
// each row (first: no comma before it), then Closing().
QByteArray Opening(const DesignText& design);
QByteArray Row(const QStringList& cells, bool first);
QByteArray Closing(const QJsonObject& summary);

// A coverage report as the summary gives it: at its top level the design's strength, with
// "required" (what a valid test case can hold), "covered", "missing" (required = covered +
// missing), "excluded" (what no valid test case can hold), "growth" (covered after each row,
// previous tests included) and "complete"; the same for the invalid-level pairs
// ("invalidLevelPairs") and each group ("groups", with "factors" and "strength") where the
// design has them.
QJsonObject CoverageSummary(const vantrel::Coverage& report, const DesignText& design);
}  // namespace JsonReport
