#pragma once
// The progress window of the covering-matrix search ("Generating Test Cases..."): the
// completeness of the running search, the evolutions finished, the size of the best matrix so
// far, and Stop. Modeless and kept in front of the main window.

#include <QElapsedTimer>
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
    QLabel* const lblPhase;  // "Compacting the test cases..." once compaction runs
    QLabel* const lblTime;   // the time left, under a time limit
    QLabel* const lblNote;   // why the evolutions differ from the number in Options

    // Shows the progress, lets pending events run (repaints, a Stop click) and returns whether
    // Stop had been pressed before the call. -1 leaves a count's label as it is.
    bool UpdateNWayProgress(double In_dPercentComplete, std::int32_t In_lNumComplete, std::int32_t In_lSmallest);

    // The number of evolutions the search runs: the counts then read "N of total" and the bar
    // shows the evolutions done of the total. 0 (the default): the bar shows the fraction given.
    void setEvolutionTotal(std::int32_t total) { mTotal = total; }
    // Why the search runs another number of evolutions than Options holds; empty for none.
    void setEvolutionNote(const QString& note);
    // A time limit in seconds from now: the time left is shown at every update.
    void setTimeLimit(double seconds);
    // The search has gone on to compaction from a matrix of so many test cases.
    void ShowCompaction(std::int32_t rows);

    void cmdStop_Click();
    bool StopPressed() const { return mbStop; }

protected:
    // Closing the window, or Escape, is taken as Stop; the search closes the window when it ends.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();

    void ShowTimeLeft();

    bool mbStop = false;
    double mTimeLimit = 0;
    QElapsedTimer mClock;
    std::int32_t mTotal = 0;
    std::int32_t mDone = 0;
};
