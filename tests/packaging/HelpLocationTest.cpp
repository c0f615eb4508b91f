// The desktop program finds its help both where the build puts it and where it is installed.
#include "app/HelpViewer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void Touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
}

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
    Touch(root.filePath("usr/share/vantrel/vantrelhelp.html"));
    EXPECT_EQ(HelpFilePathIn(bin), root.filePath("usr/share/vantrel/vantrelhelp.html"));

    // A copy beside the program wins, as in a build folder.
    Touch(bin + "/vantrelhelp.html");
    EXPECT_EQ(HelpFilePathIn(bin), bin + "/vantrelhelp.html");
}

}  // namespace
