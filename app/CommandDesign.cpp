#include "app/CommandDesign.h"

#include "app/modMain.h"
#include "model/CConstraints.h"
#include "model/CFactors.h"
#include "model/CPrevRuns.h"
#include "platform/MessageBox.h"

namespace CommandDesign {

bool HasTwoFactorsAtTwoLevels(const QString& refusal)
{
    const CFactors& factors = modMain::Factors();
    if (factors.lNumFactors() >= 2 && factors.lMaxNumLevels >= 2)
        return true;
    ShowMessage(refusal);
    return false;
}

bool Read(bool validate, ReadTables& t)
{
    if (validate) {
        return modMain::Factors().ReadFactorsAndValidate(t.factors, t.levelCounts) &&
               modMain::Constraints().ReadConstraintsAndValidate(t.factors, t.levelCounts, t.constraints,
                                                                 t.numConstraints) &&
               modMain::PrevRuns().ReadPrevRunsandValidate(t.factors, t.levelCounts, t.prevRuns, t.numPrevRuns);
    }
    return modMain::Factors().ReadFactorsNoValidate(t.factors, t.levelCounts) &&
           modMain::Constraints().ReadConstraintsNoValidate(t.factors, t.levelCounts, t.constraints,
                                                            t.numConstraints) &&
           modMain::PrevRuns().ReadPrevRunsNoValidate(t.factors, t.levelCounts, t.prevRuns, t.numPrevRuns);
}

}  // namespace CommandDesign
