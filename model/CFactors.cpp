#include "model/CFactors.h"

#include "model/GridCellStore.h"
#include "platform/MessageBox.h"
#include "platform/StatusPanels.h"

#include <QHash>

#include <algorithm>

namespace {
void ShowNeedFactorAndLevel()
{
    ShowMessage(QStringLiteral("You must have at least one factor and one level defined."));
}
}  // namespace

void CFactors::setLNumFactors(std::int32_t value)
{
    mlNumFactors = value;
    SetStatusPanelText(kPanelFactors, value == 1 ? QStringLiteral("1 Factor  ")
                                                 : QString::number(value) + QStringLiteral(" Factors  "));
}

bool CFactors::IsBlank(const QString& text)
{
    if (text.size() > 5)
        return false;
    for (QChar ch : text)
        if (ch != QLatin1Char(' '))
            return false;
    return true;
}

bool CFactors::ReadFactorsNoValidate(TextTable& Ret_vaFactors, LongArray& Ret_alLevelCount,
                                     LevelCells* Ret_invalidLevels)
{
    return Read(false, Ret_vaFactors, Ret_alLevelCount, Ret_invalidLevels);
}

bool CFactors::ReadFactorsAndValidate(TextTable& Ret_vaFactors, LongArray& Ret_alLevelCount,
                                      LevelCells* Ret_invalidLevels)
{
    return Read(true, Ret_vaFactors, Ret_alLevelCount, Ret_invalidLevels);
}

bool CFactors::Read(bool validate, TextTable& Ret_vaFactors, LongArray& Ret_alLevelCount,
                    LevelCells* Ret_invalidLevels)
{
    if (mlNumFactors < 1 || lMaxNumLevels < 1) {
        ShowNeedFactorAndLevel();
        return false;
    }
    ReadTableInformation();
    if (!(validate ? CleanAndValidateFactorsAndLevels() : CleanFactorsAndLevels()))
        return false;
    TransferFactors(Ret_vaFactors, Ret_alLevelCount, Ret_invalidLevels);
    return true;
}

void CFactors::ReadTableInformation()
{
    // Only the used extent: the spare column and row are never read.
    mvaFactors = TextTable(0, lMaxNumLevels, 1, mlNumFactors);
    mInvalidLevels.clear();
    mLevelExtras.clear();
    for (int r = 1; r <= lMaxNumLevels + 1; ++r)
        for (int c = 1; c <= mlNumFactors; ++c) {
            mvaFactors(r - 1, c) = mGrid.text(c, r);
            if (r >= 2 && mGrid.isMarked(c, r))
                mInvalidLevels.emplace(r - 1, c);
            if (LevelExtras extras = mGrid.levelExtras(c, r); r >= 2 && !extras.Empty())
                mLevelExtras.emplace(std::make_pair(r - 1, c), std::move(extras));
        }
}

bool CFactors::CleanFactorsAndLevels()
{
    const std::int32_t numBlank = lGetNumBlankFactors();
    if (mlNumFactors - numBlank < 1) {
        ShowNeedFactorAndLevel();
        return false;
    }
    RemoveBlankFactors(numBlank);
    return RemoveBlankLevelsAndGetNum(true);
}

bool CFactors::CleanAndValidateFactorsAndLevels()
{
    const std::int32_t numBlank = lGetNumBlankFactors();
    if (mlNumFactors - numBlank < 2) {
        ShowNeedFactorAndLevel();
        return false;
    }
    RemoveBlankFactors(numBlank);
    if (!CheckUniqueFactorNames())
        return false;
    if (!RemoveBlankLevelsAndGetNum(false))
        return false;
    return CheckUniqueLevelNames();
}

std::int32_t CFactors::lGetNumBlankFactors() const
{
    std::int32_t count = 0;
    for (int f = mlNumFactors; f >= 1 && IsBlank(mvaFactors.at(0, f)); --f)
        ++count;
    return count;
}

void CFactors::RemoveBlankFactors(std::int32_t numBlank)
{
    mlNumFactors -= numBlank;  // directly: the status bar keeps the earlier count
    mvaFactors.redimPreserve(lMaxNumLevels, mlNumFactors);
    std::erase_if(mInvalidLevels, [this](const std::pair<int, int>& level) { return level.second > mlNumFactors; });
    std::erase_if(mLevelExtras, [this](const auto& level) { return level.first.second > mlNumFactors; });
}

bool CFactors::RemoveBlankLevelsAndGetNum(bool allowFactorsWithoutLevels)
{
    malLevelCount = LongArray(1, mlNumFactors);
    std::vector<QString> packed(std::size_t(std::max(lMaxNumLevels, 0)) + 1);
    LevelCells packedInvalid;  // each mark where its level is packed to
    LevelExtrasByCell packedExtras;
    for (int f = 1; f <= mlNumFactors; ++f) {
        std::int32_t& count = malLevelCount(f);
        for (int l = 1; l <= lMaxNumLevels; ++l) {
            if (IsBlank(mvaFactors.at(l, f)))
                continue;
            packed[std::size_t(++count)] = mvaFactors.at(l, f);
            if (mInvalidLevels.contains({l, f}))
                packedInvalid.emplace(count, f);
            if (const auto extras = mLevelExtras.find({l, f}); extras != mLevelExtras.end())
                packedExtras.emplace(std::make_pair(count, f), extras->second);
        }
        if (count == 0 && !allowFactorsWithoutLevels) {
            ShowMessage(QStringLiteral("Factor '%1' has no levels defined.").arg(mvaFactors.at(0, f)),
                        MsgButtons::Ok, MsgIcon::Critical, 29);
            return false;
        }
        for (int l = 1; l <= lMaxNumLevels; ++l)
            mvaFactors(l, f) = l <= count ? packed[std::size_t(l)] : QString();
    }
    mInvalidLevels = std::move(packedInvalid);
    mLevelExtras = std::move(packedExtras);
    return true;
}

namespace {

// The first of the entries first..last whose name occurs among them more than once, or -1.
// Counted in a hash table: designs with many factors or levels are checked in linear time.
template <typename NameAt>
int FirstRepeated(int first, int last, NameAt nameAt)
{
    QHash<QString, int> occurrences;
    occurrences.reserve(std::max(last - first + 1, 0));
    for (int i = first; i <= last; ++i)
        ++occurrences[nameAt(i)];
    for (int i = first; i <= last; ++i)
        if (occurrences.value(nameAt(i)) > 1)
            return i;
    return -1;
}

}  // namespace

bool CFactors::CheckUniqueFactorNames() const
{
    const int i = FirstRepeated(1, mlNumFactors, [this](int f) -> const QString& { return mvaFactors.at(0, f); });
    if (i < 0)
        return true;
    ShowMessage(QStringLiteral("The factor name '") + mvaFactors.at(0, i) +
                    QStringLiteral("' was used more than once. Each factor name must be unique."),
                MsgButtons::Ok, MsgIcon::Critical, 30);
    return false;
}

bool CFactors::CheckUniqueLevelNames() const
{
    for (int f = 1; f <= mlNumFactors; ++f) {
        const int i = FirstRepeated(1, malLevelCount.at(f), [this, f](int l) -> const QString& { return mvaFactors.at(l, f); });
        if (i < 0)
            continue;
        ShowMessage(QStringLiteral("There are redundant levels in factor '") + mvaFactors.at(0, f) +
                        QStringLiteral("' both are named '") + mvaFactors.at(i, f) + QStringLiteral("'"),
                    MsgButtons::Ok, MsgIcon::Critical, 28);
        return false;
    }
    return true;
}

void CFactors::TransferFactors(TextTable& Ret_vaFactors, LongArray& Ret_alLevelCount,
                               LevelCells* Ret_invalidLevels) const
{
    Ret_vaFactors = mvaFactors;
    Ret_alLevelCount = malLevelCount;
    if (Ret_invalidLevels)
        *Ret_invalidLevels = mInvalidLevels;
}
