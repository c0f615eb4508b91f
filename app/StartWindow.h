#pragma once

#include <QMainWindow>

class frmFactorsAndLevels;
class frmConstraints;
class frmPrevRuns;
class frmGenerate;
class QTabWidget;

// The four sheets in one window, until the main window with its navigation pane exists.
class StartWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit StartWindow(QWidget* parent = nullptr);

    // Opens a design file into the four sheets; "Error opening file" when it cannot.
    bool openDesign(const QString& path);

private:
    QTabWidget* mTabs;
    frmFactorsAndLevels* mFactors;
    frmConstraints* mConstraints;
    frmPrevRuns* mPrevRuns;
    frmGenerate* mTestCases;
};
