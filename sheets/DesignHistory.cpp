#include "sheets/DesignHistory.h"

#include "model/DesignWorkbook.h"

#include <QUndoCommand>

#include <utility>

namespace {
DesignHistory* gCurrent = nullptr;
constexpr int kUndoLimit = 100;
 
GridCellStore& Grid(DesignWorkbook& workbook, std::size_t i)
{
    GridCellStore* grids[] = {&workbook.FactorsGrid(), &workbook.ConstraintsGrid(), &workbook.PrevRunsGrid()};
    return *grids[i];
}

// One change: the design before and after it, and whether the test cases were out of date
// before it (after it they are). Pushing it does not apply it again.
class DesignStep : public QUndoCommand {
public:
    DesignStep(DesignHistory& history, const QString& text, DesignHistory::Design before,
               DesignHistory::Design after, bool staleBefore)
        : QUndoCommand(text), mHistory(history), mBefore(std::move(before)), mAfter(std::move(after)),
          mStaleBefore(staleBefore)
    {
    }
    void undo() override
    {
        mHistory.put(mBefore, mAfter);
        if (bool* stale = mHistory.StaleFlag())
            *stale = mStaleBefore;
    }
    void redo() override
    {
        if (mPushed)
            mHistory.put(mAfter, mBefore);
        mPushed = true;
    }

private:
    DesignHistory& mHistory;
    DesignHistory::Design mBefore, mAfter;
    bool mStaleBefore;
    bool mPushed = false;
};

// One generation: the Test Cases sheet as it was before it; undoing and redoing exchange it
// with the one shown. Pushing it does not apply it again.
class GenerationStep : public QUndoCommand {
public:
    GenerationStep(GridCellStore& sheet, const QString& text, GridCellStore::State before,
                   std::function<void(bool generated)> afterPut)
        : QUndoCommand(text), mSheet(sheet), mOther(std::move(before)), mAfterPut(std::move(afterPut))
    {
    }
    void undo() override { put(false); }
    void redo() override
    {
        if (mPushed)
            put(true);
        mPushed = true;
    }

private:
    void put(bool generated)
    {
        mSheet.exchange(mOther);
        if (mAfterPut)
            mAfterPut(generated);
    }

    GridCellStore& mSheet;
    GridCellStore::State mOther;
    std::function<void(bool generated)> mAfterPut;
    bool mPushed = false;
};
}  // namespace

DesignHistory::DesignHistory(DesignWorkbook& workbook, std::function<void()> afterRestore, QObject* parent)
    : QObject(parent), mWorkbook(workbook), mAfterRestore(std::move(afterRestore))
{
    mStack.setUndoLimit(kUndoLimit);
    gCurrent = this;
}

DesignHistory::~DesignHistory()
{
    if (gCurrent == this)
        gCurrent = nullptr;
}

DesignHistory* DesignHistory::Current() { return gCurrent; }

void DesignHistory::Record(const QString& what, const std::function<void()>& change)
{
    DesignHistory* history = gCurrent;
    if (!history || history->mRecording > 0) {
        change();
        return;
    }
    Design before = history->Take();
    const bool staleBefore = history->mStale && *history->mStale;
    ++history->mRecording;
    try {
        change();
    } catch (...) {
        --history->mRecording;
        throw;
    }
    --history->mRecording;
    Design after = history->Take();
    if (!(after == before))
        history->mStack.push(new DesignStep(*history, what, std::move(before), std::move(after), staleBefore));
}

bool DesignHistory::RecordGeneration(const QString& what, const std::function<bool()>& fill,
                                     std::function<void(bool generated)> afterPut)
{
    DesignHistory* history = gCurrent;
    if (!history)
        return fill();
    GridCellStore& sheet = history->mWorkbook.TestCasesGrid();
    GridCellStore::State before = sheet.state();
    if (!fill()) {
        sheet.exchange(before);
        return false;
    }
    history->mStack.push(new GenerationStep(sheet, what, std::move(before), std::move(afterPut)));
    return true;
}

DesignHistory::Design DesignHistory::Take() const
{
    Design d;
    for (std::size_t i = 0; i < d.grids.size(); ++i)
        d.grids[i] = Grid(mWorkbook, i).state();
    d.numFactors = mWorkbook.Factors().lNumFactors();
    d.maxNumLevels = mWorkbook.Factors().lMaxNumLevels;
    d.numConstraints = mWorkbook.Constraints().lNumConstraints();
    d.numPrevRuns = mWorkbook.PrevRuns().lNumPrevRuns();
    return d;
}

void DesignHistory::put(const Design& design, const Design& other)
{
    // Only the sheets the step changed: what happened to the others outside any step (the
    // Previous Test sheet following the factors as it is shown) stays.
    for (std::size_t i = 0; i < design.grids.size(); ++i)
        if (!(other.grids[i] == design.grids[i]))
            Grid(mWorkbook, i).restore(design.grids[i]);
    // Through their properties, so that the status bar follows.
    mWorkbook.Factors().setLNumFactors(design.numFactors);
    mWorkbook.Factors().lMaxNumLevels = design.maxNumLevels;
    mWorkbook.Constraints().setLNumConstraints(design.numConstraints);
    mWorkbook.PrevRuns().setLNumPrevRuns(design.numPrevRuns);
    // Undoing or redoing is a change of the design like any other.
    mWorkbook.MarkEdited();
    if (mAfterRestore)
        mAfterRestore();
}
