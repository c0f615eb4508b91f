#include "settings/CDefaults.h"

#include "app/modMain.h"
#include "platform/MainWindowPlacement.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SettingsSandbox.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// Maximized, left, top, width, height as loaded.
using Place = std::array<std::int32_t, 5>;
const Place kMaximized{1, 0, 0, 0, 0};

Place Placement(const CDefaults& d) { return {d.bMaximize, d.lLeft, d.lTop, d.lWidth, d.lHeight}; }

class FakeMainWindow : public MainWindowPlacement {
public:
    WindowPlacementTwips placement;
    WindowPlacementTwips placementInTwips() const override { return placement; }
};

class CDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gSettingsHome.holdsTheStore());
        ClearSettings();
    }
    void TearDown() override
    {
        ClearSettings();
        modMain::ReleaseGlobalObjects();
    }

    // A run of the program: load at start, then exit with the window as given.
    static void RunAndExit(const WindowPlacementTwips& atExit, std::int32_t evolutions = 1000)
    {
        CDefaults defaults;
        defaults.LoadDefaults();
        FakeMainWindow window;
        window.placement = atExit;
        defaults.setMainWindow(&window);
        defaults.lMaxNumEvolutions = evolutions;
        defaults.SaveDefaults();
        defaults.setMainWindow(nullptr);
    }

    static CDefaults Loaded()
    {
        CDefaults defaults;
        defaults.LoadDefaults();
        return defaults;
    }
};

TEST_F(CDefaultsTest, FirstRunCreatesTheKeyWithAThousandAndOpensMaximizedAnExistingKeyIsLeftAsItIs)
{
    CDefaults defaults;
    EXPECT_EQ(StoredSetting("lMaxNumEvolutions"), QVariant("1000"));
    EXPECT_FALSE(StoredSetting("frmMain/Maximized").isValid()) << "the window's values come at exit";
    defaults.LoadDefaults();
    EXPECT_EQ(defaults.lMaxNumEvolutions, 1000);
    EXPECT_EQ(Placement(defaults), kMaximized);
    EXPECT_FALSE(defaults.strHelpPath.isEmpty());

    ClearSettings();
    StoreSettings({{"frmMain/Left", "15"}});
    CDefaults withSubkey;
    EXPECT_FALSE(StoredSetting("lMaxNumEvolutions").isValid()) << "the key existed through its subkey";
    EXPECT_EQ(Loaded().lMaxNumEvolutions, 1000);
    StoreSettings({{"lMaxNumEvolutions", "250"}});
    CDefaults again;
    EXPECT_EQ(StoredSetting("lMaxNumEvolutions"), QVariant("250"));
}

TEST_F(CDefaultsTest, StoredEvolutionsAreUsedAsTheyStandOrFallBackToAThousand)
{
    // Text that is no number or beyond 32 bits falls back; any number is used, rounded.
    const std::pair<QVariant, std::int32_t> cases[] = {
        {"abc", 1000}, {"3000000000", 1000}, {"0", 0}, {"-7", -7}, {"2.5", 2},
        {QVariant(300), 300},  // an integer rather than text
    };
    for (const auto& [stored, expected] : cases) {
        StoreSettings({{"lMaxNumEvolutions", stored}});
        EXPECT_EQ(Loaded().lMaxNumEvolutions, expected) << stored.toString().toStdString();
    }
}

TEST_F(CDefaultsTest, EvolutionsAndPlacementSurviveARunAndAMaximizedExitKeepsTheEarlierPlacement)
{
    RunAndExit({false, 1000, 500, 9000, 6000}, 77);
    EXPECT_EQ(StoredSetting("lMaxNumEvolutions"), QVariant("77"));
    EXPECT_EQ(StoredSetting("frmMain/Left"), QVariant("1000"));
    EXPECT_EQ(Loaded().lMaxNumEvolutions, 77);

    // Each run's window at exit, and what the next run starts with.
    const std::pair<WindowPlacementTwips, Place> runs[] = {
        {{false, 1000, 500, 9000, 6000}, {0, 1000, 500, 9000, 6000}},
        {{false, -300, 0, 12000, 8000}, {0, -300, 0, 12000, 8000}},
        {{true, 0, 0, 28800, 21600}, kMaximized},
        {{false, 2000, 1500, 7000, 5000}, {0, 2000, 1500, 7000, 5000}},
    };
    for (const auto& [atExit, next] : runs) {
        RunAndExit(atExit);
        EXPECT_EQ(Placement(Loaded()), next);
        EXPECT_EQ(StoredSetting("frmMain/Width"), QVariant(atExit.maximized ? "12000" : QString::number(atExit.width)))
            << "a maximized exit keeps the earlier placement";
    }
}

TEST_F(CDefaultsTest, AnUnreadablePlacementOpensMaximizedKeepingWhatWasRead)
{
    StoreSettings({{"frmMain/Maximized", 0}, {"frmMain/Left", "100"}, {"frmMain/Top", "abc"},
                   {"frmMain/Width", "9000"}, {"frmMain/Height", "6000"}});
    EXPECT_EQ(Placement(Loaded()), (Place{1, 100, 0, 0, 0}));
    StoreSettings({{"frmMain/Top", "200"}, {"frmMain/Height", "99999999999"}});
    EXPECT_EQ(Placement(Loaded()), (Place{1, 100, 200, 9000, 0}));
    StoreSettings({{"frmMain/Height", "6000"}, {"frmMain/Maximized", "yes"}});
    EXPECT_EQ(Placement(Loaded()), kMaximized);
}

TEST_F(CDefaultsTest, LoadingStartsFromTheDefaultsEveryTimeAndSavingWithoutAWindowWritesTheEvolutionsOnly)
{
    RunAndExit({false, 1000, 500, 9000, 6000}, 40);
    CDefaults defaults;
    defaults.LoadDefaults();
    ClearSettings();
    defaults.LoadDefaults();
    EXPECT_EQ(defaults.lMaxNumEvolutions, 1000);
    EXPECT_EQ(Placement(defaults), kMaximized);

    defaults.lMaxNumEvolutions = 5;
    defaults.SaveDefaults();
    EXPECT_EQ(StoredSetting("lMaxNumEvolutions"), QVariant("5"));
    EXPECT_FALSE(StoredSetting("frmMain/Maximized").isValid());
}

TEST_F(CDefaultsTest, AStoreThatCannotBeWrittenNeverStopsTheProgram)
{
    ASSERT_TRUE(ObstructSettings());
    // Nothing may escape: construction, loading and saving all swallow the store's errors.
    CDefaults defaults;
    defaults.LoadDefaults();
    EXPECT_EQ(defaults.lMaxNumEvolutions, 1000);
    EXPECT_EQ(Placement(defaults), kMaximized);
    FakeMainWindow window;
    window.placement = {false, 1, 2, 3, 4};
    defaults.setMainWindow(&window);
    defaults.SaveDefaults();
}

TEST_F(CDefaultsTest, TheGlobalSettingsAreCreatedOnFirstUseAndReleased)
{
    CDefaults& first = modMain::Defaults();
    EXPECT_EQ(StoredSetting("lMaxNumEvolutions"), QVariant("1000"));
    first.lMaxNumEvolutions = 12;
    EXPECT_EQ(modMain::Defaults().lMaxNumEvolutions, 12) << "one instance";
    modMain::ReleaseGlobalObjects();
    EXPECT_EQ(modMain::Defaults().lMaxNumEvolutions, 1000) << "a fresh one after release";
}

}  // namespace
