#include "settings/CDefaults.h"

#include "app/modMain.h"
#include "settings/MainWindowPlacement.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class PrivateHomeEnvironment : public ::testing::Environment {
    std::unique_ptr<PrivateSettingsHome> mHome;
    void SetUp() override
    {
        mHome = std::make_unique<PrivateSettingsHome>();
        ASSERT_TRUE(mHome->holdsTheStore());
    }
};
const auto* const gPrivateHome = ::testing::AddGlobalTestEnvironment(new PrivateHomeEnvironment);

class FakeMainWindow : public MainWindowPlacement {
public:
    WindowPlacementTwips placement;
    WindowPlacementTwips placementInTwips() const override { return placement; }
};

class CDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
    void TearDown() override
    {
        ClearSettings();
        modMain::ReleaseGlobalObjects();
    }

    // A run of the program: load at start, then exit with the window as given.
    static CDefaults RunAndExit(const WindowPlacementTwips& atExit, std::int32_t evolutions = 1000)
    {
        CDefaults defaults;
        defaults.LoadDefaults();
        FakeMainWindow window;
        window.placement = atExit;
        defaults.setMainWindow(&window);
        defaults.lMaxNumEvolutions = evolutions;
        defaults.SaveDefaults();
        defaults.setMainWindow(nullptr);
        return defaults;
    }

    static CDefaults Loaded()
    {
        CDefaults defaults;
        defaults.LoadDefaults();
        return defaults;
    }
};

void ExpectPlacement(const CDefaults& d, bool maximized, std::int32_t left, std::int32_t top, std::int32_t width,
                     std::int32_t height)
{
    EXPECT_EQ(d.bMaximize, maximized);
    EXPECT_EQ(d.lLeft, left);
    EXPECT_EQ(d.lTop, top);
    EXPECT_EQ(d.lWidth, width);
    EXPECT_EQ(d.lHeight, height);
}

TEST_F(CDefaultsTest, FirstRunCreatesTheKeyWithAThousandAndOpensMaximizedAnExistingKeyIsLeftAsItIs)
{
    CDefaults defaults;
    EXPECT_EQ(StoredSetting("lMaxNumEvolutions"), QVariant("1000"));
    EXPECT_FALSE(StoredSetting("frmMain/Maximized").isValid()) << "the window's values come at exit";
    defaults.LoadDefaults();
    EXPECT_EQ(defaults.lMaxNumEvolutions, 1000);
    ExpectPlacement(defaults, true, 0, 0, 0, 0);
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
    const std::pair<QVariant, std::int32_t> cases[] = {
        {"abc", 1000},   {"", 1000},  {"12x", 1000}, {"3000000000", 1000}, {"1e20", 1000},
        {"0", 0},        {"20000", 20000}, {"-7", -7}, {" 42 ", 42},  {"2.5", 2},
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
    EXPECT_EQ(StoredSetting("frmMain/Maximized").toInt(), 0);
    EXPECT_EQ(StoredSetting("frmMain/Left"), QVariant("1000"));
    EXPECT_EQ(StoredSetting("frmMain/Height"), QVariant("6000"));

    const CDefaults next = Loaded();
    EXPECT_EQ(next.lMaxNumEvolutions, 77);
    ExpectPlacement(next, false, 1000, 500, 9000, 6000);

    RunAndExit({false, -300, 0, 12000, 8000});
    ExpectPlacement(Loaded(), false, -300, 0, 12000, 8000);

    // An exit while maximized keeps the earlier placement.
    RunAndExit({true, 0, 0, 28800, 21600});
    EXPECT_EQ(StoredSetting("frmMain/Maximized").toInt(), 1);
    EXPECT_EQ(StoredSetting("frmMain/Left"), QVariant("-300"));
    EXPECT_EQ(StoredSetting("frmMain/Width"), QVariant("12000"));
    ExpectPlacement(Loaded(), true, 0, 0, 0, 0);

    RunAndExit({false, 2000, 1500, 7000, 5000});
    ExpectPlacement(Loaded(), false, 2000, 1500, 7000, 5000);
}

TEST_F(CDefaultsTest, AnUnreadablePlacementOpensMaximizedKeepingWhatWasRead)
{
    StoreSettings({{"frmMain/Maximized", 0}, {"frmMain/Left", "100"}, {"frmMain/Top", "abc"},
                   {"frmMain/Width", "9000"}, {"frmMain/Height", "6000"}});
    ExpectPlacement(Loaded(), true, 100, 0, 0, 0);

    StoreSettings({{"frmMain/Top", "200"}, {"frmMain/Height", "99999999999"}});
    ExpectPlacement(Loaded(), true, 100, 200, 9000, 0);

    StoreSettings({{"frmMain/Height", "6000"}, {"frmMain/Maximized", "yes"}});
    ExpectPlacement(Loaded(), true, 0, 0, 0, 0);
}

TEST_F(CDefaultsTest, LoadingStartsFromTheDefaultsEveryTimeAndSavingWithoutAWindowWritesTheEvolutionsOnly)
{
    RunAndExit({false, 1000, 500, 9000, 6000}, 40);
    CDefaults defaults;
    defaults.LoadDefaults();
    ClearSettings();
    defaults.LoadDefaults();
    EXPECT_EQ(defaults.lMaxNumEvolutions, 1000);
    ExpectPlacement(defaults, true, 0, 0, 0, 0);

    // Without a main window only the evolutions are written.
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
    ExpectPlacement(defaults, true, 0, 0, 0, 0);
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
