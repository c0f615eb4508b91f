#pragma once
// Opens the program's help at a numeric context id.

#include <QString>

class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void showHelp(int context) = 0;
};

void SetHelpViewer(HelpViewer* viewer);  // nullptr: help requests are ignored
void ShowHelp(int context);

// The help file beside the executable or where it is installed; empty when none is found.
QString HelpFilePath();
// The same for a program in the given folder: beside it (a build), or in ../share/vantrel or
// ../share/doc/vantrel (an installed program).
QString HelpFilePathIn(const QString& programFolder);
// The anchor a context id opens in the help file: "context-N".
QString HelpAnchor(int context);
