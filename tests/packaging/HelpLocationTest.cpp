// The desktop program finds its help both where the build puts it and where it is installed.
#include "platform/HelpViewer.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(HelpLocationTest, TheBuiltProgramHasItsHelpBesideIt)
{
    const QString folder = QStringLiteral(VANTREL_APP_DIR);
    ASSERT_TRUE(QFileInfo::exists(folder + "/vantrel")) << folder.toStdString();
    const QString help = HelpFilePathIn(folder);
    EXPECT_EQ(help, QDir::cleanPath(folder + "/vantrelhelp.html"));
    EXPECT_TRUE(QFileInfo::exists(help));
}

TEST(HelpLocationTest, AnInstalledProgramFindsItInItsSharedDataFolder)
{
    QTemporaryDir root;
    const QString bin = root.filePath("usr/bin");
    QDir().mkpath(bin);
    ASSERT_TRUE(WriteFileBytes(root.filePath("usr/share/vantrel/vantrelhelp.html")));
    EXPECT_EQ(HelpFilePathIn(bin), root.filePath("usr/share/vantrel/vantrelhelp.html"));

    // A copy beside the program wins, as in a build folder.
    ASSERT_TRUE(WriteFileBytes(bin + "/vantrelhelp.html"));
    EXPECT_EQ(HelpFilePathIn(bin), bin + "/vantrelhelp.html");
}

}  // namespace
