#include "app/CommandDesign.h"

#include "app/modMain.h"
#include "model/CConstraints.h"
#include "model/CFactors.h"
#include "model/CPrevRuns.h"
#include "platform/MessageBox.h"

#include <algorithm>

namespace CommandDesign {

bool HasTwoFactorsAtTwoLevels(const QString& refusal)
{
    const CFactors& factors = modMain::Factors();
    if (factors.lNumFactors() >= 2 && factors.lMaxNumLevels >= 2)
        return true;
    ShowMessage(refusal);
    return false;
}

bool Read(bool validate, DesignText& t)
{
    const bool factorsRead = validate ? modMain::Factors().ReadFactorsAndValidate(t.factors, t.levelCounts)
                                      : modMain::Factors().ReadFactorsNoValidate(t.factors, t.levelCounts);
    if (!factorsRead)
        return false;
    t.numFactors = t.factors.isDimensioned() ? t.factors.colUpper() : 0;
    t.maxNumLevels = 0;
    for (int f = t.levelCounts.lower(); t.levelCounts.isDimensioned() && f <= t.levelCounts.upper(); ++f)
        t.maxNumLevels = std::max(t.maxNumLevels, t.levelCounts.at(f));
    if (validate) {
        return modMain::Constraints().ReadConstraintsAndValidate(t.factors, t.levelCounts, t.constraints,
                                                                 t.numConstraints) &&
               modMain::PrevRuns().ReadPrevRunsandValidate(t.factors, t.levelCounts, t.prevRuns, t.numPrevRuns);
    }
    return modMain::Constraints().ReadConstraintsNoValidate(t.factors, t.levelCounts, t.constraints,
                                                            t.numConstraints) &&
           modMain::PrevRuns().ReadPrevRunsNoValidate(t.factors, t.levelCounts, t.prevRuns, t.numPrevRuns);
}

}  // namespace CommandDesign
