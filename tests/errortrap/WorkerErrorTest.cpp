// An error that ends an evolution on a worker thread reaches the error trap from the
// generation's reporter, on the thread that runs the command.
#include "engine/GenerationReporter.h"
#include "errortrap/modFailSafe.h"
#include "tests/errortrap/RecordingReportPresenter.h"
#include "tests/support/SeamTest.h"

#include <QTemporaryDir>

#include <new>

using namespace modFailSafe;

TEST(WorkerErrorTest, AnEvolutionsErrorIsReportedAsTheSearchsOwn)
{
    QTemporaryDir folder;
    ResetTrap();
    SetProgramFolder(folder.path());
    {
        RecordingReportPresenter report;
        GenerationReporter reporter(nullptr);
        reporter.reportWorkerError(std::make_exception_ptr(std::bad_alloc()));
        ASSERT_EQ(report.shown().size(), 1);
        const ErrorRecord& r = report.shown()[0].records.last();
        EXPECT_EQ(r.number, 7);  // out of memory
        EXPECT_EQ(r.module, "CCalcNWay");
        EXPECT_EQ(r.procedure, "Function GenerateQXVMatrix");
        EXPECT_FALSE(IsBusy());
    }
    ResetTrap();
    SetProgramFolder({});
}
