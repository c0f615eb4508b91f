#include "model/RulesCheck.h"

#include "engine/ConstraintModel.h"
#include "model/CFactors.h"
#include "model/DesignWorkbook.h"

namespace RulesCheck {

Result Check(DesignWorkbook& workbook, RuleError& error)
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
    DesignTables design;
    design.rules = workbook.Rules().toStdString();
    for (int f = 1; f <= numFactors; ++f) {
        std::vector<std::string>& column = design.factors.emplace_back();
        column.push_back(grid.text(f, 1).toStdString());
        for (int row = 2; row <= factors.lMaxNumLevels + 1; ++row)
            if (!CFactors::IsBlank(grid.text(f, row)))
                column.push_back(grid.text(f, row).toStdString());
        design.levelCounts.push_back(std::int32_t(column.size()) - 1);
    }
    return ConstraintModel::CheckRules(design, error) ? Result::Checks : Result::Problem;
}

}  // namespace RulesCheck
