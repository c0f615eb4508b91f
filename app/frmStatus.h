#pragma once
// The status window of the all-combinations listing and of filling the Test Cases sheet:
// four bars (listing, constraints, previous tests, filling the sheet), each with a label that
// says whether its step runs or is complete. A bar shows once its step reports, so the window
// holds only the steps that run. Modeless, centred on the main window and kept in front of it;
// Cancel stops the listing or the filling at its next report.

#include "sheets/SheetLoadProgress.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

class frmStatus : public QWidget, public SheetLoadProgress {
    Q_OBJECT
public:
    // The bars by type.
    enum TypeBar { BarCalculate = 1, BarConstraints = 2, BarPrevRuns = 3, BarFillMatrix = 4 };

    explicit frmStatus(QWidget* parent = nullptr);

    QProgressBar* const pbCalculate;
    QProgressBar* const pbConstraints;
    QProgressBar* const pbPrevRuns;
    QProgressBar* const pbFillMatrix;
    QLabel* const lblCalculate;
    QLabel* const lblConstraints;
    QLabel* const lblPrevRuns;
    QLabel* const lblFillMatrix;
    QPushButton* const cmdCancel;

    // Sets the bar of the type to the fraction (0..1) and its label, showing them if they were
    // not, then lets pending events run. Any other type only lets events run. True once Cancel
    // was pressed, a press handled meanwhile included.
    bool UpdateProgress(int In_eTypeBar, double In_dMdlPrcntCmplt) override;
    void cmdCancel_Click();

    // SheetLoadProgress
    void Show() override;
    void Close() override;

private:
    void Form_Load();
    void Centre();

    bool mbCancel = false;
};
