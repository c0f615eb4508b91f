#pragma once
// The desktop program's side of a generation for one command: the covering-matrix search
// reports to frmNWayStatus (shown at its first report), the all-combinations listing and the
// filling of the Test Cases sheet to frmStatus, and an error of a worker thread goes to the
// error trap. The windows belong to the reporter and go with it.

#include <vantrel/design.hpp>

#include <QPointer>
#include <QString>

#include <cstdint>
#include <exception>

class QWidget;
class frmNWayStatus;
class frmStatus;

class GenerationReporter {
public:
    // owner: the window the progress windows stay in front of (may be nullptr).
    explicit GenerationReporter(QWidget* owner);
    ~GenerationReporter();
    GenerationReporter(const GenerationReporter&) = delete;
    GenerationReporter& operator=(const GenerationReporter&) = delete;

    // The status window, also handed to the Test Cases sheet for filling it.
    frmStatus& Status();
    // The covering-matrix progress window while it is shown; nullptr otherwise.
    frmNWayStatus* NWayStatus() const;

    // The evolutions the covering-matrix search will run, for its progress window, and why
    // they differ from the number in Options (empty when they do not).
    void setEvolutionTotal(int32_t total, const QString& note = {})
    {
        mEvolutionTotal = total;
        mEvolutionNote = note;
    }
    // The generation's time limit in seconds (0: none), shown counting down.
    void setTimeLimit(double seconds) { mTimeLimit = seconds; }
    // Whether Stop ended the covering-matrix search.
    bool StopPressed() const { return mStopPressed; }
    // Presses Stop on the covering-matrix search, when one runs.
    void RequestStop();

    // The search's progress; false once Stop was pressed.
    bool SearchProgress(const vantrel::Progress& progress);
    void CloseSearchProgress();
    // The listing's steps (1 listing, 2 constraints, 3 previous tests); false once Cancel was
    // pressed.
    bool ListingProgress(int step, double fraction);
    // Hands the error to the error trap; the evolution it ended has no result.
    void ReportWorkerError(std::exception_ptr error);

private:
    QPointer<QWidget> mOwner;
    QPointer<frmNWayStatus> mNWay;
    QPointer<frmStatus> mStatus;
    int32_t mEvolutionTotal = 0;
    QString mEvolutionNote;
    double mTimeLimit = 0;
    bool mStopPressed = false;
    bool mCompacting = false;
};
