#include "app/GenerationReporter.h"

#include "model/EngineDesign.h"
#include "app/frmNWayStatus.h"
#include "app/frmStatus.h"
#include "errortrap/modFailSafe.h"
#include "platform/qt/QtWindowPlacement.h"

#include <QCoreApplication>
#include <QGuiApplication>

GenerationReporter::GenerationReporter(QWidget* owner) : mOwner(owner) {}

GenerationReporter::~GenerationReporter()
{
    setBusyPointer(false);
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

EngineAnswer GenerationReporter::showMessage(const EngineMessage& message) { return ShowEngineMessage(message); }

void GenerationReporter::showNWayProgress()
{
    delete mNWay;  // every run starts from the window's load state
    mNWay = new frmNWayStatus(mOwner);
    mNWay->setEvolutionTotal(mEvolutionTotal);
    mNWay->setEvolutionNote(mEvolutionNote);
    mNWay->setTimeLimit(mTimeLimit);
    mNWay->adjustSize();
    QtWindowPlacement::centreOn(*mNWay, mOwner);
    mNWay->show();
    QCoreApplication::processEvents();
}

bool GenerationReporter::updateNWayProgress(double fraction, int32_t numComplete, int32_t smallest)
{
    mStopPressed = mStopPressed || (mNWay && mNWay->UpdateNWayProgress(fraction, numComplete, smallest));
    return mStopPressed;
}

void GenerationReporter::nWayCompactionStarted(int32_t rows)
{
    if (mNWay)
        mNWay->ShowCompaction(rows);
}

void GenerationReporter::closeNWayProgress()
{
    delete mNWay;
}

void GenerationReporter::showStatusProgress() { Status().Show(); }

bool GenerationReporter::updateStatusProgress(int barType, double fraction)
{
    return Status().UpdateProgress(barType, fraction);
}

void GenerationReporter::setBusyPointer(bool busy)
{
    if (busy == mBusy)
        return;
    mBusy = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void GenerationReporter::reportWorkerError(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (...) {
        // Whatever the answer, the evolution is over: it ends as Continue would end it.
        modFailSafe::fsERROR(QStringLiteral("CCalcNWay"), QStringLiteral("Function GenerateQXVMatrix"));
    }
}
