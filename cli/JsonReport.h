#pragma once
// The one JSON document that generate, all, validate and coverage print with --format json:
//
//   {"factors": ["OS", ...], "rows": [["Mac", "~Solaris", ...], ...], "summary": {...}}
//
// Level names are written as the text output writes them, an invalid one with "~". all writes
// its rows as they are made, so that a long listing does not grow in memory.

#include "search/TupleCoverage.h"

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

// A coverage count (its missing combinations listed) as the summary gives it: "covered" and
// "required" (what no valid test case can hold counted as covered, and told as
// "excludedTogether"), with the invalid-level pairs and each group apart where the design has them.
QJsonObject CoverageSummary(const TupleCoverage& coverage, const DesignText& design);
}  // namespace JsonReport
