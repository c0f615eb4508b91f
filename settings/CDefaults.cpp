#include "settings/CDefaults.h"

#include "platform/HelpViewer.h"
#include "platform/MainWindowPlacement.h"
#include "settings/NumericText.h"
#include "settings/RegistryError.h"
#include "settings/cRegistry.h"

#include <optional>

const QString CDefaults::kSettingsKey = QStringLiteral(".Default\\Software\\Corvantis\\Vantrel");
const QString CDefaults::kMainWindowKey = CDefaults::kSettingsKey + QStringLiteral("\\frmMain");

namespace {
const QString kEvolutionsValue = QStringLiteral("lMaxNumEvolutions");
constexpr std::int32_t kDefaultEvolutions = 1000;
const QString kCompactValue = QStringLiteral("bCompactTestCases");
const QString kCompactEffortValue = QStringLiteral("lCompactEffort");
const QString kTimeLimitValue = QStringLiteral("bTimeLimit");
const QString kTimeLimitSecondsValue = QStringLiteral("lTimeLimitSeconds");
constexpr std::int32_t kDefaultTimeLimitSeconds = 60;
constexpr std::int32_t kDefaultCompactEffort = 1000;
const QString kStrengthValue = QStringLiteral("lStrength");
constexpr std::int32_t kDefaultStrength = 3;

// A stored whole number, or nothing when the value is missing or not a number that fits.
std::optional<std::int32_t> ReadLong(cRegistry& registry, const QString& name)
{
    registry.ValueKey = name;
    return NumericTextToLong(registry.Value().toString());
}

void WriteValue(cRegistry& registry, const QString& name, std::int32_t type, const QVariant& value)
{
    registry.ValueKey = name;
    registry.ValueType = type;
    registry.setValue(value);
}
}  // namespace

CDefaults::CDefaults() : strHelpPath(HelpFilePath())
{
    try {
        cRegistry registry;
        registry.SectionKey = kSettingsKey;
        if (!registry.KeyExists()) {
            registry.CreateKey();
            WriteValue(registry, kEvolutionsValue, cRegistry::REG_SZ, QStringLiteral("1000"));
        }
    } catch (const RegistryError&) {
        // The program runs on its defaults when the store cannot be written.
    }
}

void CDefaults::LoadDefaults()
{
    lMaxNumEvolutions = kDefaultEvolutions;
    bMaximize = false;
    lTop = 0;
    lLeft = 0;
    lHeight = 0;
    lWidth = 0;
    lMaxNumEvolutions = ReadMaxNumEvolutionsFromRegistry();
    ReadCompactionFromRegistry(bCompactTestCases, lCompactEffort);
    ReadTimeLimitFromRegistry(bTimeLimit, lTimeLimitSeconds);
    cRegistry registry;
    registry.SectionKey = kSettingsKey;
    lStrength = ReadLong(registry, kStrengthValue).value_or(kDefaultStrength);
    if (lStrength < 2 || lStrength > 6)
        lStrength = kDefaultStrength;
    ReadMainFormsCoordsFromReg(bMaximize, lLeft, lTop, lWidth, lHeight);
}

void CDefaults::SaveDefaults()
{
    WriteMaxNumEvolutionsToRegistry(lMaxNumEvolutions);
    WriteCompactionToRegistry(bCompactTestCases, lCompactEffort);
    WriteTimeLimitToRegistry(bTimeLimit, lTimeLimitSeconds);
    try {
        cRegistry registry;
        registry.SectionKey = kSettingsKey;
        WriteValue(registry, kStrengthValue, cRegistry::REG_SZ, QString::number(lStrength));
    } catch (const RegistryError&) {
        // Skipped: the next run offers the strength stored before.
    }
    WriteMainFormsCoordsToReg();
}

std::int32_t CDefaults::ReadMaxNumEvolutionsFromRegistry()
{
    // No range check: a stored 0 or 20000 is used as it stands until the user changes it.
    cRegistry registry;
    registry.SectionKey = kSettingsKey;
    return ReadLong(registry, kEvolutionsValue).value_or(kDefaultEvolutions);
}

void CDefaults::WriteMaxNumEvolutionsToRegistry(std::int32_t lValue)
{
    try {
        cRegistry registry;
        registry.SectionKey = kSettingsKey;
        WriteValue(registry, kEvolutionsValue, cRegistry::REG_SZ, QString::number(lValue));
    } catch (const RegistryError&) {
        // Skipped: the number stays what it was in the store.
    }
}

void CDefaults::ReadCompactionFromRegistry(bool& compact, std::int32_t& effortThousands)
{
    // Missing values (a store written before compaction existed) leave it off.
    cRegistry registry;
    registry.SectionKey = kSettingsKey;
    compact = ReadLong(registry, kCompactValue).value_or(0) == 1;
    const std::int32_t effort = ReadLong(registry, kCompactEffortValue).value_or(kDefaultCompactEffort);
    effortThousands = effort > 0 ? effort : kDefaultCompactEffort;
}

void CDefaults::WriteCompactionToRegistry(bool compact, std::int32_t effortThousands)
{
    try {
        cRegistry registry;
        registry.SectionKey = kSettingsKey;
        WriteValue(registry, kCompactValue, cRegistry::REG_SZ, QString::number(compact ? 1 : 0));
        WriteValue(registry, kCompactEffortValue, cRegistry::REG_SZ, QString::number(effortThousands));
    } catch (const RegistryError&) {
        // Skipped: the values stay what they were in the store.
    }
}

void CDefaults::ReadTimeLimitFromRegistry(bool& limited, std::int32_t& seconds)
{
    // Missing values (a store written before the limit existed) leave it off.
    cRegistry registry;
    registry.SectionKey = kSettingsKey;
    limited = ReadLong(registry, kTimeLimitValue).value_or(0) == 1;
    const std::int32_t stored = ReadLong(registry, kTimeLimitSecondsValue).value_or(kDefaultTimeLimitSeconds);
    seconds = stored > 0 ? stored : kDefaultTimeLimitSeconds;
}

void CDefaults::WriteTimeLimitToRegistry(bool limited, std::int32_t seconds)
{
    try {
        cRegistry registry;
        registry.SectionKey = kSettingsKey;
        WriteValue(registry, kTimeLimitValue, cRegistry::REG_SZ, QString::number(limited ? 1 : 0));
        WriteValue(registry, kTimeLimitSecondsValue, cRegistry::REG_SZ, QString::number(seconds));
    } catch (const RegistryError&) {
        // Skipped: the values stay what they were in the store.
    }
}

void CDefaults::ReadMainFormsCoordsFromReg(bool& Ret_bMaximized, std::int32_t& Ret_lLeft, std::int32_t& Ret_lTop,
                                           std::int32_t& Ret_lWidth, std::int32_t& Ret_lHeight)
{
    cRegistry registry;
    registry.SectionKey = kMainWindowKey;
    // A value that is missing (the first run) or unreadable opens the window maximized;
    // the coordinates read before it stay.
    const std::optional<std::int32_t> maximized = ReadLong(registry, QStringLiteral("Maximized"));
    if (!maximized) {
        Ret_bMaximized = true;
        return;
    }
    Ret_bMaximized = *maximized == 1;
    if (Ret_bMaximized)
        return;
    const std::pair<const char*, std::int32_t*> coords[] = {
        {"Left", &Ret_lLeft}, {"Top", &Ret_lTop}, {"Width", &Ret_lWidth}, {"Height", &Ret_lHeight}};
    for (const auto& [name, target] : coords) {
        const std::optional<std::int32_t> value = ReadLong(registry, QString::fromLatin1(name));
        if (!value) {
            Ret_bMaximized = true;
            return;
        }
        *target = *value;
    }
}

void CDefaults::WriteMainFormsCoordsToReg()
{
    if (!mMainWindow)
        return;
    const WindowPlacementTwips placement = mMainWindow->placementInTwips();
    try {
        cRegistry registry;
        registry.SectionKey = kMainWindowKey;
        if (!registry.KeyExists())
            registry.CreateKey();
        WriteValue(registry, QStringLiteral("Maximized"), cRegistry::REG_DWORD, placement.maximized ? 1 : 0);
        // A maximized window keeps the placement an earlier exit wrote, so that it opens
        // there again once it is restored.
        if (placement.maximized)
            return;
        WriteValue(registry, QStringLiteral("Left"), cRegistry::REG_SZ, QString::number(placement.left));
        WriteValue(registry, QStringLiteral("Top"), cRegistry::REG_SZ, QString::number(placement.top));
        WriteValue(registry, QStringLiteral("Width"), cRegistry::REG_SZ, QString::number(placement.width));
        WriteValue(registry, QStringLiteral("Height"), cRegistry::REG_SZ, QString::number(placement.height));
    } catch (const RegistryError&) {
        // Nothing further is written; the next start falls back as for a missing value.
    }
}
