#include "settings/cRegistry.h"

#include "settings/CDefaults.h"
#include "settings/RegistryError.h"
#include "tests/support/SettingsSandbox.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

class cRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
    void TearDown() override { ClearSettings(); }

    static cRegistry At(const QString& section, const QString& value, std::int32_t type = cRegistry::REG_SZ)
    {
        cRegistry registry;
        registry.SectionKey = section;
        registry.ValueKey = value;
        registry.ValueType = type;
        return registry;
    }

    // The error a write raises, with its number checked.
    template <typename Write>
    static RegistryError Raised(Write write)
    {
        try {
            write();
        } catch (const RegistryError& e) {
            EXPECT_EQ(e.number(), 26001);
            EXPECT_TRUE(e.source().endsWith(".cRegistry")) << e.source().toStdString();
            return e;
        }
        ADD_FAILURE() << "no RegistryError";
        return RegistryError({}, {});
    }
};

const QString kWindowKey = ".Default\\Software\\Corvantis\\Vantrel\\frmMain";

TEST_F(cRegistryTest, AValueIsFoundWhateverTheLetterCaseOfItsProfileAndAMissingOneReadsAsTheDefault)
{
    At(kWindowKey, "Left").setValue(1500);
    At(kWindowKey, "Maximized", cRegistry::REG_DWORD).setValue(true);
    EXPECT_EQ(StoredSetting("frmMain/Left"), QVariant("1500")) << "text values are stored as text";
    EXPECT_EQ(StoredSetting("frmMain/Maximized"), QVariant(1));
    EXPECT_EQ(At(".default\\software\\Corvantis\\Vantrel\\frmMain", "Left").Value(), QVariant("1500"));
    EXPECT_EQ(At(kWindowKey, "Top").Value(), QVariant(QString()));
    cRegistry registry = At(kWindowKey, "Top");
    registry.Default = "none";
    EXPECT_EQ(registry.Value(), QVariant("none"));
    for (const char* section : {"Software\\Corvantis\\Vantrel", ".Default\\Software\\\\Vantrel"}) {
        registry.SectionKey = section;
        EXPECT_EQ(registry.Value(), QVariant("none")) << section;
    }
}

TEST_F(cRegistryTest, AKeyExistsOnceItOrASubkeyHoldsAValue)
{
    cRegistry root = At(CDefaults::kSettingsKey, "");
    cRegistry window = At(kWindowKey, "Top");
    EXPECT_FALSE(root.KeyExists());
    EXPECT_TRUE(window.CreateKey());
    EXPECT_FALSE(window.KeyExists()) << "a key comes into being with its first value";
    window.setValue("20");
    EXPECT_TRUE(window.KeyExists());
    EXPECT_TRUE(root.KeyExists());
    EXPECT_FALSE(At(kWindowKey + "\\Other", "").KeyExists());
    EXPECT_FALSE(At("Software\\Corvantis\\Vantrel", "").KeyExists());
}

TEST_F(cRegistryTest, FailedWritesRaiseTheStoresError)
{
    ASSERT_TRUE(ObstructSettings());
    EXPECT_EQ(Raised([] { At(kWindowKey, "Left").setValue("1500"); }).description(),
              "Failed to set registry value Key: '-2147483645',Section: "
              "'.Default\\Software\\Corvantis\\Vantrel\\frmMain',Key: 'Left' to value: '1500'");
    EXPECT_EQ(Raised([] { At(kWindowKey, "").CreateKey(); }).description(),
              "Failed to create registry Key: '.Default\\Software\\Corvantis\\Vantrel\\frmMain");
    EXPECT_EQ(At(kWindowKey, "Left").Value(), QVariant(QString())) << "an unreadable store reads as the default";
    EXPECT_FALSE(At(kWindowKey, "").KeyExists());
}

TEST_F(cRegistryTest, WritesThatCannotBeStoredRaiseAndStoreNothing)
{
    Raised([] { At("Software\\Corvantis\\Vantrel", "x").setValue("1"); });
    Raised([] { At(CDefaults::kSettingsKey, "").setValue("1"); });
    Raised([] { At(CDefaults::kSettingsKey, "Maximized", cRegistry::REG_DWORD).setValue("abc"); });
    Raised([] { At("Corvantis", "").CreateKey(); });
    EXPECT_FALSE(At(CDefaults::kSettingsKey, "").KeyExists());
}

}  // namespace
