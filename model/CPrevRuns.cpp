#include "model/CPrevRuns.h"

#include "model/GridCellStore.h"
#include "model/TableRows.h"
#include "platform/MessageBox.h"
#include "platform/StatusPanels.h"

void CPrevRuns::setLNumPrevRuns(std::int32_t value)
{
    mlNumPrevRuns = value;
    SetStatusPanelText(kPanelPrevTest, value == 1 ? QStringLiteral("1 Prev Run  ")
                                                  : QString::number(value) + QStringLiteral(" Prev Test  "));
}

void CPrevRuns::Read(const TextTable& In_vaFactors, TextTable& Ret_vaPrevRuns, std::int32_t& Ret_lNumRealPrevRuns)
{
    if (mlNumPrevRuns < 1) {
        Ret_lNumRealPrevRuns = 0;
        return;
    }
    const int numFactors = In_vaFactors.isDimensioned() ? In_vaFactors.colUpper() : 0;
    Ret_lNumRealPrevRuns = mlNumPrevRuns;
    Ret_vaPrevRuns = mGrid.readBlock(1, 1, mlNumPrevRuns, numFactors);
    const std::int32_t numBlank = TableRows::NumEmptyRowsAtBottom(Ret_vaPrevRuns, mlNumPrevRuns);
    if (numBlank > 0) {
        Ret_lNumRealPrevRuns -= numBlank;
        if (Ret_lNumRealPrevRuns > 0)
            Ret_vaPrevRuns.redimPreserve(Ret_lNumRealPrevRuns, numFactors);
        else
            Ret_vaPrevRuns = TextTable();
    }
}

bool CPrevRuns::ReadPrevRunsNoValidate(const TextTable& In_vaFactors, const LongArray&, TextTable& Ret_vaPrevRuns,
                                       std::int32_t& Ret_lNumRealPrevRuns)
{
    Read(In_vaFactors, Ret_vaPrevRuns, Ret_lNumRealPrevRuns);
    return true;
}

bool CPrevRuns::ReadPrevRunsandValidate(const TextTable& In_vaFactors, const LongArray& In_alLevelCounts,
                                        TextTable& Ret_vaPrevRuns, std::int32_t& Ret_lNumRealPrevRuns,
                                        const CFactors::LevelCells& In_invalidLevels)
{
    Read(In_vaFactors, Ret_vaPrevRuns, Ret_lNumRealPrevRuns);
    return ValidatePreviousRuns(In_vaFactors, In_alLevelCounts, In_invalidLevels, Ret_vaPrevRuns,
                                Ret_lNumRealPrevRuns);
}

bool CPrevRuns::ValidatePreviousRuns(const TextTable& In_vaFactors, const LongArray& In_alLevelCounts,
                                     const CFactors::LevelCells& In_invalidLevels, TextTable& vaPrevRuns,
                                     std::int32_t numPrevRuns)
{
    const int numFactors = In_vaFactors.isDimensioned() ? In_vaFactors.colUpper() : 0;
    // The invalid level of factor f that the text shows with its "~", or 0.
    const auto invalidShownAs = [&](int f, const QString& text) {
        for (const auto& [level, factor] : In_invalidLevels)
            if (factor == f && text.startsWith(u'~') && QStringView(text).mid(1) == In_vaFactors.at(level, f))
                return level;
        return 0;
    };
    for (int i = 1; i <= numPrevRuns; ++i) {
        for (int f = 1; f <= numFactors; ++f) {
            const QString& value = vaPrevRuns.at(i, f);
            bool found = false;
            for (int l = 1; l <= In_alLevelCounts.at(f) && !found; ++l)
                found = In_vaFactors.at(l, f) == value;
            if (const int level = found ? 0 : invalidShownAs(f, value)) {
                vaPrevRuns(i, f) = In_vaFactors.at(level, f);
                found = true;
            }
            if (!found) {
                const QString& name = In_vaFactors.at(0, f);
                ShowMessage(QStringLiteral("Previous test number ") + QString::number(i) + QStringLiteral(" factor ") +
                                name + QStringLiteral(" is at level ") + value + QStringLiteral(". Factor ") + name +
                                QStringLiteral(" doesn't have a level entitled ") + value +
                                QStringLiteral(" defined on the Factors and Levels sheet. "),
                            MsgButtons::Ok, MsgIcon::Exclamation);
                return false;
            }
        }
    }
    return true;
}
