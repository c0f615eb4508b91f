#pragma once
// The progress window of the covering-matrix search ("Generating Test Cases..."): the
// completeness of the running search, the evolutions finished, the size of the best matrix so
// far, and Stop. Modeless and kept in front of the main window.

#include <QWidget>

#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;

class frmNWayStatus : public QWidget {
    Q_OBJECT
public:
    explicit frmNWayStatus(QWidget* parent = nullptr);

    QProgressBar* const pbStatus;  // 0..1, in thousandths
    QLabel* const lblNum;
    QLabel* const lblSmallest;
    QLabel* const lblStop;
    QPushButton* const cmdStop;

    // Shows the progress, lets pending events run (repaints, a Stop click) and returns whether
    // Stop had been pressed before the call. -1 leaves a count's label as it is.
    bool UpdateNWayProgress(double In_dPercentComplete, std::int32_t In_lNumComplete, std::int32_t In_lSmallest);

    // The number of evolutions the search runs: the counts then read "N of total" and the bar
    // shows the evolutions done of the total. 0 (the default): the bar shows the fraction given.
    void setEvolutionTotal(std::int32_t total) { mTotal = total; }

    void cmdStop_Click();
    bool StopPressed() const { return mbStop; }

protected:
    // Closing the window is taken as Stop; the search closes the window when it ends.
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();

    bool mbStop = false;
    std::int32_t mTotal = 0;
    std::int32_t mDone = 0;
};
