#pragma once
// The desktop program's side of the engine for one command: engine messages go through the
// message seam, the covering-matrix search reports to frmNWayStatus, the all-combinations
// listing and the filling of the Test Cases sheet to frmStatus, and long loops show the
// hourglass. The windows belong to the reporter and go with it.

#include "engine/EngineReporter.h"

#include <QPointer>
#include <QString>

class QWidget;
class frmNWayStatus;
class frmStatus;

class GenerationReporter : public EngineReporter {
public:
    // owner: the window the progress windows stay in front of (may be nullptr).
    explicit GenerationReporter(QWidget* owner);
    ~GenerationReporter() override;
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

    EngineAnswer showMessage(const EngineMessage& message) override;
    void showNWayProgress() override;
    bool updateNWayProgress(double fraction, int32_t numComplete, int32_t smallest) override;
    void closeNWayProgress() override;
    void nWayCompactionStarted(int32_t rows) override;
    void showStatusProgress() override;
    // True once the status window's Cancel was pressed.
    bool updateStatusProgress(int barType, double fraction) override;
    void setBusyPointer(bool busy) override;
    // Hands the error to the error trap; the evolution it ended has no result.
    void reportWorkerError(std::exception_ptr error) override;

private:
    QPointer<QWidget> mOwner;
    QPointer<frmNWayStatus> mNWay;
    QPointer<frmStatus> mStatus;
    bool mBusy = false;
    int32_t mEvolutionTotal = 0;
    QString mEvolutionNote;
    double mTimeLimit = 0;
    bool mStopPressed = false;
};
