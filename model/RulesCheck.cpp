#include "model/RulesCheck.h"

#include <vantrel/design.hpp>
#include "model/CFactors.h"
#include "model/DesignWorkbook.h"

namespace RulesCheck {

Result Check(DesignWorkbook& workbook, vantrel::Error& error)
{
    if (workbook.Rules().isEmpty())
        return Result::Checks;
    const GridCellStore& grid = workbook.FactorsGrid();
    const CFactors& factors = workbook.Factors();
    // As every read of the sheet: the columns after the last name are no factors, and blank
    // levels are left out.
    int numFactors = factors.lNumFactors();
    while (numFactors >= 1 && CFactors::IsBlank(grid.text(numFactors, 1)))
        --numFactors;
    if (numFactors < 1)
        return Result::NoFactors;
    vantrel::Model model;
    model.rules = workbook.Rules().toStdString();
    for (int f = 1; f <= numFactors; ++f) {
        vantrel::Factor& factor = model.factors.emplace_back();
        factor.name = grid.text(f, 1).toStdString();
        for (int row = 2; row <= factors.lMaxNumLevels + 1; ++row)
            if (!CFactors::IsBlank(grid.text(f, row)))
                factor.levels.push_back(vantrel::Level{grid.text(f, row).toStdString(), 1, {}, false});
    }
    const vantrel::Result<void> checked = vantrel::Design::CheckRules(model);
    if (checked)
        return Result::Checks;
    error = checked.error();
    return Result::Problem;
}

}  // namespace RulesCheck
