#include "model/CConstraints.h"

#include "model/GridCellStore.h"
#include "model/TableRows.h"
#include "platform/MessageBox.h"
#include "platform/StatusPanels.h"

void CConstraints::setLNumConstraints(std::int32_t value)
{
    mlNumConstraints = value;
    SetStatusPanelText(kPanelConstraints, value == 1 ? QStringLiteral("1 Constraint  ")
                                                     : QString::number(value) + QStringLiteral(" Constraints  "));
}

bool CConstraints::Read(TextTable& Ret_vaConstraints, std::int32_t& Ret_lNumRealConstraints)
{
    if (mlNumConstraints < 1) {
        Ret_lNumRealConstraints = 0;
        return false;
    }
    Ret_vaConstraints = mGrid.readBlock(1, 1, mlNumConstraints, 4);
    Ret_lNumRealConstraints = mlNumConstraints;
    const std::int32_t numBlank = TableRows::NumEmptyRowsAtBottom(Ret_vaConstraints, mlNumConstraints);
    if (numBlank == Ret_lNumRealConstraints) {
        Ret_lNumRealConstraints = 0;  // the table keeps its empty rows
        return false;
    }
    if (numBlank > 0) {
        Ret_lNumRealConstraints -= numBlank;
        Ret_vaConstraints.redimPreserve(Ret_lNumRealConstraints, 4);
    }
    return true;
}

bool CConstraints::ReadConstraintsNoValidate(const TextTable&, const LongArray&, TextTable& Ret_vaConstraints,
                                             std::int32_t& Ret_lNumRealConstraints)
{
    Read(Ret_vaConstraints, Ret_lNumRealConstraints);
    return true;
}

bool CConstraints::ReadConstraintsAndValidate(const TextTable& In_vaFactors, const LongArray& In_alLevelCounts,
                                              TextTable& Ret_vaConstraints, std::int32_t& Ret_lNumRealConstraints)
{
    if (!Read(Ret_vaConstraints, Ret_lNumRealConstraints))
        return true;
    return CheckFactorsAndLevels(Ret_vaConstraints, Ret_lNumRealConstraints, In_vaFactors, In_alLevelCounts);
}

bool CConstraints::CheckFactorsAndLevels(const TextTable& In_vaConstraints, std::int32_t In_mlNumConstraints,
                                         const TextTable& In_vaFactors, const LongArray& In_alLevelCounts)
{
    const int numFactors = In_vaFactors.isDimensioned() ? In_vaFactors.colUpper() : 0;
    auto isLevelOf = [&](const QString& level, int factor) {
        for (int l = 1; l <= In_alLevelCounts.at(factor); ++l)
            if (In_vaFactors.at(l, factor) == level)
                return true;
        return false;
    };
    auto refuse = [](const QString& text) {
        ShowMessage(text, MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    };
    for (int i = 1; i <= In_mlNumConstraints; ++i) {
        const QString number = QString::number(i);
        int ifFactor = 0, thenFactor = 0;
        for (int j = 1; j <= numFactors; ++j) {
            if (In_vaFactors.at(0, j) == In_vaConstraints.at(i, 1))
                ifFactor = j;
            if (In_vaFactors.at(0, j) == In_vaConstraints.at(i, 3))
                thenFactor = j;
        }
        if (ifFactor == 0)
            return refuse(QStringLiteral("In constraint number ") + number +
                          QStringLiteral(" in column 'If factor' the factor name ") + In_vaConstraints.at(i, 1) +
                          QStringLiteral(" is not valid."));
        if (thenFactor == 0)
            return refuse(QStringLiteral("In constraint number ") + number +
                          QStringLiteral(" in column 'then factor' the factor name ") + In_vaConstraints.at(i, 3) +
                          QStringLiteral(" is not valid."));
        if (ifFactor == thenFactor)
            return refuse(QStringLiteral("In constraint number ") + number + QStringLiteral(" the factor name ") +
                          In_vaConstraints.at(i, 3) +
                          QStringLiteral(" is used for both the 'If Factor' and 'then factor'. constraints."));
        if (!isLevelOf(In_vaConstraints.at(i, 2), ifFactor))
            return refuse(QStringLiteral("In constraint number ") + number +
                          QStringLiteral(" the value for 'is at level' is ") + In_vaConstraints.at(i, 2) +
                          QStringLiteral(" which is not a valid level for that factor."));
        if (!isLevelOf(In_vaConstraints.at(i, 4), thenFactor))
            return refuse(QStringLiteral("In constraint number ") + number +
                          QStringLiteral(" the value for 'cant be' is ") + In_vaConstraints.at(i, 4) +
                          QStringLiteral(" which is not a valid level for that factor."));
    }
    return true;
}
