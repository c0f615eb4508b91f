#pragma once
// The open design: the four sheets' grids, where the design lives, and the model objects that
// know the used extent of the first three, each created on first use. An edit on a sheet is
// told to whoever keeps the design's flags.

#include "model/CConstraints.h"
#include "model/CFactors.h"
#include "model/CPrevRuns.h"
#include "model/GridCellStore.h"

#include <functional>
#include <memory>

class DesignWorkbook {
public:
    // edited: called on every edit of the design on a sheet (may be empty).
    explicit DesignWorkbook(std::function<void()> edited = {}) : mEdited(std::move(edited)) {}
    DesignWorkbook(const DesignWorkbook&) = delete;
    DesignWorkbook& operator=(const DesignWorkbook&) = delete;

    // In navigation order: Factors and Levels, Constraints, Previous Test, Test Cases.
    GridCellStore& FactorsGrid() { return mGrids[0]; }
    GridCellStore& ConstraintsGrid() { return mGrids[1]; }
    GridCellStore& PrevRunsGrid() { return mGrids[2]; }
    GridCellStore& TestCasesGrid() { return mGrids[3]; }

    CFactors& Factors() { return CreateOnFirstUse(mFactors, FactorsGrid()); }
    CConstraints& Constraints() { return CreateOnFirstUse(mConstraints, ConstraintsGrid()); }
    CPrevRuns& PrevRuns() { return CreateOnFirstUse(mPrevRuns, PrevRunsGrid()); }

    void MarkEdited() const
    {
        if (mEdited)
            mEdited();
    }

private:
    template <typename T>
    static T& CreateOnFirstUse(std::unique_ptr<T>& object, GridCellStore& grid)
    {
        if (!object)
            object = std::make_unique<T>(grid);
        return *object;
    }

    std::function<void()> mEdited;
    GridCellStore mGrids[4];
    std::unique_ptr<CFactors> mFactors;
    std::unique_ptr<CConstraints> mConstraints;
    std::unique_ptr<CPrevRuns> mPrevRuns;
};
