#pragma once
// The open design: the four sheets' grids and the rules text, where the design lives, and the
// model objects that know the used extent of the first three grids, each created on first use. An edit on a sheet is
// told to whoever keeps the design's flags. A design is put on the grids here, by the desktop
// and the command line alike.

#include "model/CConstraints.h"
#include "model/CFactors.h"
#include "model/CPrevRuns.h"
#include "model/DesignText.h"
#include "model/GridCellStore.h"
#include "model/SheetPutListener.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

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

    // The rules text. Setting it tells the listener (the Rules sheet, which shows it) unless the
    // text stays the same; an edit on the sheet is told as any other.
    const QString& Rules() const { return mRules; }
    void SetRules(const QString& rules);
    void SetRulesListener(std::function<void()> changed) { mRulesChanged = std::move(changed); }

    CFactors& Factors() { return CreateOnFirstUse(mFactors, FactorsGrid()); }
    CConstraints& Constraints() { return CreateOnFirstUse(mConstraints, ConstraintsGrid()); }
    CPrevRuns& PrevRuns() { return CreateOnFirstUse(mPrevRuns, PrevRunsGrid()); }

    // Puts the design's texts on the grids, which were set up empty, its rules text in place
    // of the one held, its levels' weights and other names, its model text's layout, and its
    // counts on the model objects through their setters (so the status bar shows them). Only the data cells:
    // captions, lists and widths belong to the sheet windows, told around each table. A table
    // counted 0 leaves its grid's lines alone, as does a design without a matrix.
    void Put(const DesignText& design, SheetPutListener* windows = nullptr);
    // The same one table at a time, in this order: the previous tests get a column for each
    // factor counted when they are put.
    // The invalid levels are (level row, factor column) of the factor table; they are marked
    // on the grid where a level is put.
    void PutFactors(std::int32_t numFactors, std::int32_t maxNumLevels, const TextTable& factors,
                    const LongArray& levelCounts, const CFactors::LevelCells& invalidLevels = {});
    // The design's level weights and other names, on the levels PutFactors put.
    void PutLevelExtras(const DesignText& design);
    void PutConstraints(std::int32_t numConstraints, const TextTable& constraints);
    void PutPrevRuns(std::int32_t numPrevRuns, const TextTable& prevRuns);
    // False, the grid unchanged, when the matrix has no row.
    bool PutTestCases(std::int32_t numRows, std::int32_t numCols, const TextTable& matrix);
    // The test cases of the Test Cases sheet as its cells show them, one name per factor (its
    // first row, the factor names, left out).
    std::vector<std::vector<std::string>> TestCaseNames(std::int32_t numFactors);

    // What every generation and search command does before it runs. The first: whether the
    // Factors and Levels sheet holds at least two factors at two levels; otherwise shows the
    // refusal (OK only). The second: reads the factor table with its invalid levels, then the constraint table, then
    // the previous-test table, each validated against the factors when asked, into the design
    // with the rules text (it gets no matrix); stops at the first read that fails, after its
    // message. The rules are checked by whoever compiles them.
    bool HasTwoFactorsAtTwoLevels(const QString& refusal);
    bool Read(bool validate, DesignText& design);

    // A new design: the comments and blank lines of the model text put last are dropped.
    void ForgetTextLayout()
    {
        mTextLayout = {};
        mCommentsAboveFactor.clear();
    }
    // The model objects count no factor, level, constraint or previous test (the grids are
    // their windows' to empty).
    void ClearCounts();

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

    // The weights and other names of the levels the factor table read gives.
    void GiveLevelExtras(DesignText& design);

    // A model text's layout (comments, blank lines, the form of its groups), which the grids do
    // not hold; the comments above a factor kept by its name, so that they stay with it
    // wherever an edit moves its column, and by its column, for a rename. Put sets it, Read
    // gives it back.
    void KeepTextLayout(const DesignText& design);
    void GiveTextLayout(DesignText& design) const;
    ModelTextLayout mTextLayout;  // but its comments above factors
    std::map<QString, std::pair<int, QString>> mCommentsAboveFactor;  // by name: column, comments

    std::function<void()> mEdited;
    std::function<void()> mRulesChanged;
    GridCellStore mGrids[4];
    QString mRules;
    std::unique_ptr<CFactors> mFactors;
    std::unique_ptr<CConstraints> mConstraints;
    std::unique_ptr<CPrevRuns> mPrevRuns;
};
