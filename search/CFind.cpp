#include "search/CFind.h"

#include "model/DesignModel.h"
#include "model/GridCellStore.h"
#include "platform/MessageBox.h"

#include <algorithm>
#include <stdexcept>

void CFind::LoadData(std::int32_t In_lNumFactors, const LongArray& In_alLevelCount, const TextTable& In_vaFactors,
                     std::int32_t In_lNumConstraints, const TextTable& In_vaConstraints, std::int32_t In_lNumPrevRuns,
                     const TextTable& In_vaPrevRuns)
{
    mlNumFactors = In_lNumFactors;
    malLevelCount = LongArray(1, In_lNumFactors);
    for (int f = 1; f <= In_lNumFactors; ++f)
        malLevelCount(f) = In_alLevelCount.at(f);
    mvaFactors = In_vaFactors;
    mlNumConstraints = In_lNumConstraints;
    mvaConstraints = In_vaConstraints;
    mlNumPrevRuns = In_lNumPrevRuns;
    mvaPrevRuns = In_vaPrevRuns;
    mDesign.reset();
    mMatrixCodes.clear();
    mbMatrixRead = false;
}

const vantrel::Design& CFind::Design()
{
    if (!mDesign) {
        DesignText text;
        text.numFactors = mlNumFactors;
        text.levelCounts = malLevelCount;
        text.factors = mvaFactors;
        text.numConstraints = mlNumConstraints;
        text.constraints = mvaConstraints;
        vantrel::Result<vantrel::Design> compiled = vantrel::Design::Compile(ToModel(text));
        if (!compiled)
            throw std::invalid_argument("CFind: the design's constraints were not validated");
        mDesign = std::move(compiled).value();
    }
    return *mDesign;
}

bool CFind::Find2Way(std::int32_t In_lFirstFactor, std::int32_t In_lFirstLevel, std::int32_t In_lSecondFactor,
                     std::int32_t In_lSecondLevel, LongArray& Ret_alLocations, LongArray& Ret_alFindRows,
                     std::int32_t& Ret_lNumFound, bool& Ret_bViolateConstraints)
{
    const Pair pair{In_lFirstFactor, In_lFirstLevel, In_lSecondFactor, In_lSecondLevel};
    bool breaksRule = false;
    const bool inConstraints = Find2WayInConstraints(pair, Ret_alLocations, Ret_alFindRows, Ret_lNumFound);
    const bool inPrevRuns = Find2WayInPrevRuns(pair, Ret_alLocations, Ret_alFindRows, Ret_lNumFound);
    const bool inMatrix = Find2WayInQXVMatrix(pair, Ret_alLocations, Ret_alFindRows, Ret_lNumFound, breaksRule);
    if ((inConstraints && inMatrix) || breaksRule) {
        Ret_bViolateConstraints = true;
        if (!mbQuiet)
            ShowMessage(QStringLiteral("Violated constraints"));
    }
    return inConstraints || inPrevRuns || inMatrix;
}

bool CFind::Find2WayInConstraints(const Pair& pair, LongArray& locations, LongArray& rows, std::int32_t& count)
{
    if (pair.f1 == pair.f2)
        return false;
    const vantrel::Statements naming = Design().Naming({pair.f1 - 1, pair.l1 - 1}, {pair.f2 - 1, pair.l2 - 1});
    for (const std::int32_t k : naming.constraintRows)
        IncrementFindArray(InConstraints, k, locations, rows, count);
    for (const std::int32_t line : naming.ruleLines)
        IncrementFindArray(InRules, line, locations, rows, count);
    return naming.Any();
}

bool CFind::Find2WayInPrevRuns(const Pair& pair, LongArray& locations, LongArray& rows, std::int32_t& count)
{
    bool found = false;
    for (int r = 1; r <= mlNumPrevRuns; ++r) {
        if (LevelCode(pair.f1, mvaPrevRuns.at(r, pair.f1)) == pair.l1 - 1 &&
            LevelCode(pair.f2, mvaPrevRuns.at(r, pair.f2)) == pair.l2 - 1) {
            IncrementFindArray(InPrevRuns, r, locations, rows, count);
            found = true;
        }
    }
    return found;
}

bool CFind::Find2WayInQXVMatrix(const Pair& pair, LongArray& locations, LongArray& rows, std::int32_t& count,
                                bool& breaksRule)
{
    const std::vector<std::int32_t>& codes = MatrixCodes();
    const auto numFactors = std::size_t(mlNumFactors);
    bool found = false;
    // Row 1 holds the factor names, not a test case: a level named like its own factor
    // must not be found there.
    const int lastRow = mTestCases.maxRows();
    for (int r = 2; r <= lastRow; ++r) {
        const std::int32_t* row = codes.data() + std::size_t(r - 2) * numFactors;
        if (row[pair.f1 - 1] == pair.l1 - 1 && row[pair.f2 - 1] == pair.l2 - 1) {
            IncrementFindArray(InQXVMatrix, r, locations, rows, count);
            found = true;
            if (!breaksRule && std::find(row, row + numFactors, -1) == row + numFactors)
                breaksRule = Design().BreaksRuleOver(std::vector<int>(row, row + numFactors), pair.f1 - 1, pair.f2 - 1);
        }
    }
    return found;
}

std::int32_t CFind::LevelCode(int f, const QString& text) { return Design().LevelOf(f - 1, text.toStdString()); }

const std::vector<std::int32_t>& CFind::MatrixCodes()
{
    if (!mbMatrixRead) {
        mbMatrixRead = true;
        const int lastRow = mTestCases.maxRows();
        mMatrixCodes.reserve(std::size_t(std::max(lastRow - 1, 0)) * std::size_t(mlNumFactors));
        for (int r = 2; r <= lastRow; ++r)
            for (int f = 1; f <= mlNumFactors; ++f)
                mMatrixCodes.push_back(LevelCode(f, mTestCases.text(f, r)));
    }
    return mMatrixCodes;
}

void CFind::IncrementFindArray(std::int32_t location, std::int32_t row, LongArray& locations, LongArray& rows,
                               std::int32_t& count)
{
    locations.redimPreserve(count + 1);
    rows.redimPreserve(count + 1);
    ++count;
    locations(count) = location;
    rows(count) = row;
}
