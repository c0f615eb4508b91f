#include "app/EngineDesign.h"

#include "platform/MessageBox.h"

DesignTables ToEngineDesign(const TextTable& vaFactors, const LongArray& alLevelCount, const TextTable& vaConstraints,
                            std::int32_t numConstraints, const TextTable& vaPrevRuns, std::int32_t numPrevRuns)
{
    DesignTables design;
    const int numFactors = vaFactors.isDimensioned() ? vaFactors.colUpper() : 0;
    for (int f = 1; f <= numFactors; ++f) {
        std::vector<std::string> column;
        column.reserve(std::size_t(alLevelCount.at(f)) + 1);
        for (int l = 0; l <= alLevelCount.at(f); ++l)
            column.push_back(vaFactors.at(l, f).toStdString());
        design.factors.push_back(std::move(column));
        design.levelCounts.push_back(alLevelCount.at(f));
    }
    for (int k = 1; k <= numConstraints; ++k)
        design.constraints.push_back({vaConstraints.at(k, 1).toStdString(), vaConstraints.at(k, 2).toStdString(),
                                      vaConstraints.at(k, 3).toStdString(), vaConstraints.at(k, 4).toStdString()});
    for (int r = 1; r <= numPrevRuns; ++r) {
        std::vector<std::string> row;
        for (int f = 1; f <= numFactors; ++f)
            row.push_back(vaPrevRuns.at(r, f).toStdString());
        design.prevRuns.push_back(std::move(row));
    }
    return design;
}

EngineAnswer ShowEngineMessage(const EngineMessage& message)
{
    static_assert(int(EngineButtons::YesNoCancel) == int(MsgButtons::YesNoCancel));
    static_assert(int(EngineIcon::Question) == int(MsgIcon::Question));
    static_assert(int(EngineAnswer::No) == int(MsgResult::No));
    const MsgResult answer = ShowMessage(QString::fromStdString(message.text), MsgButtons(int(message.buttons)),
                                         MsgIcon(int(message.icon)), message.helpContext);
    return EngineAnswer(int(answer));
}
