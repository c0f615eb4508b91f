#pragma once
// The coverage report as the program shows it: the summary of a whole-design count with the
// help topic that explains it, and the cells and texts of levels and combinations.

#include <vantrel/design.hpp>

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

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
CoverageSummary SummarizeCoverage(const vantrel::Coverage& coverage, bool commandLine = false);

QStringList ToStrings(const std::vector<std::string>& texts);

// A level as its factor's name and the level as test cases show it.
QStringList LevelCells(const vantrel::Design& design, vantrel::LevelRef level);
QStringList LevelCells(const vantrel::Design& design, const std::vector<vantrel::LevelRef>& levels);
// "Country = Japan, Delivery = Locker".
QString LevelsText(const vantrel::Design& design, const std::vector<vantrel::LevelRef>& levels);
// A whole row of levels (0-based, one per factor) as its levels.
std::vector<vantrel::LevelRef> RowLevels(const std::vector<int>& levels);
