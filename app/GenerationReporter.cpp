#include "app/GenerationReporter.h"

#include "app/frmNWayStatus.h"
#include "app/frmStatus.h"
#include "errortrap/modFailSafe.h"
#include "platform/qt/QtWindowPlacement.h"

#include <QCoreApplication>

GenerationReporter::GenerationReporter(QWidget* owner) : mOwner(owner) {}

GenerationReporter::~GenerationReporter()
{
    delete mNWay;
    delete mStatus;
}

frmStatus& GenerationReporter::Status()
{
    if (!mStatus)
        mStatus = new frmStatus(mOwner);
    return *mStatus;
}

frmNWayStatus* GenerationReporter::NWayStatus() const { return mNWay.data(); }

void GenerationReporter::RequestStop()
{
    if (mNWay)
        mNWay->cmdStop_Click();
}

bool GenerationReporter::SearchProgress(const vantrel::Progress& progress)
{
    if (!mNWay) {
        mNWay = new frmNWayStatus(mOwner);
        mNWay->setEvolutionTotal(mEvolutionTotal);
        mNWay->setEvolutionNote(mEvolutionNote);
        mNWay->setTimeLimit(mTimeLimit);
        mNWay->adjustSize();
        QtWindowPlacement::centreOn(*mNWay, mOwner);
        mNWay->show();
    }
    if (progress.phase == vantrel::Progress::Phase::Compaction && !mCompacting) {
        mCompacting = true;
        mNWay->ShowCompaction(progress.bestRows);
    }
    mStopPressed = mStopPressed || mNWay->UpdateNWayProgress(progress.fraction, progress.evolutionsDone, progress.bestRows);
    return !mStopPressed;
}

void GenerationReporter::CloseSearchProgress() { delete mNWay; }

bool GenerationReporter::ListingProgress(int step, double fraction)
{
    frmStatus& status = Status();
    if (!status.isVisible())
        status.Show();
    return !status.UpdateProgress(step, fraction);
}

void GenerationReporter::ReportWorkerError(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (...) {
        // Whatever the answer, the evolution is over: it ends as Continue would end it.
        modFailSafe::fsERROR(QStringLiteral("CCalcNWay"), QStringLiteral("Function GenerateQXVMatrix"));
    }
}
