#include "platform/WaitCursor.h"
#include "settings/CGetMyDataFolder.h"
#include "settings/modCursor.h"

#include "tests/support/QtPrinters.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Runs a test with another home folder, as a user without a documents folder would have.
class HomeFolder {
public:
    explicit HomeFolder(const QString& path) : mOld(qgetenv("HOME")) { qputenv("HOME", path.toLocal8Bit()); }
    ~HomeFolder() { qputenv("HOME", mOld); }

private:
    QByteArray mOld;
};

TEST(CGetMyDataFolderTest, TheDocumentsFolderEndsInASlashAndWithoutOneTheHomeFolderStandsIn)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    HomeFolder useIt(home.path());
    CGetMyDataFolder folders;
    EXPECT_EQ(folders.fGetSpecialFolder(CGetMyDataFolder::kDocumentsFolder), "");
    EXPECT_EQ(folders.GetMyDocumentsFolderPath(), home.path() + "/");

    ASSERT_TRUE(QDir(home.path()).mkdir("Documents"));
    EXPECT_EQ(folders.GetMyDocumentsFolderPath(), home.path() + "/Documents/");
    EXPECT_EQ(folders.fGetSpecialFolder(CGetMyDataFolder::kDocumentsFolder), home.path() + "/Documents/");
}

TEST(CGetMyDataFolderTest, UnknownFoldersAndNulTrimming)
{
    CGetMyDataFolder folders;
    EXPECT_EQ(folders.fGetSpecialFolder(36), "");
    EXPECT_EQ(CGetMyDataFolder::TrimNull(QString::fromLatin1("abc\0def", 7)), "abc");
    EXPECT_EQ(CGetMyDataFolder::TrimNull(QString::fromLatin1("\0x", 2)), "");
    EXPECT_EQ(CGetMyDataFolder::TrimNull("abc"), "abc");
}

class RecordingCursor : public WaitCursor {
public:
    QStringList calls;
    void show(const QString& file) override { calls << "show " + file; }
    void restore() override { calls << "restore"; }
};

class ModCursorTest : public ::testing::Test {
protected:
    RecordingCursor cursor;
    void SetUp() override { modCursor::SetWaitCursor(&cursor); }
    void TearDown() override { modCursor::SetWaitCursor(nullptr); }
};

TEST_F(ModCursorTest, EveryStartIsRestoredOnceAndExtraRestoresDoNothing)
{
    modCursor::RestoreLastCursor();
    modCursor::StartAnimatedCursor("/opt/cursors/hourglas.ani");
    modCursor::StartAnimatedCursor("hourglas.ani");
    EXPECT_EQ(modCursor::PendingCursors(), 2);
    modCursor::RestoreLastCursor();
    modCursor::RestoreLastCursor();
    modCursor::RestoreLastCursor();
    EXPECT_EQ(modCursor::PendingCursors(), 0);
    const QString besideProgram = QCoreApplication::applicationDirPath() + "/hourglas.ani";
    EXPECT_EQ(cursor.calls, QStringList({"show /opt/cursors/hourglas.ani", "show " + besideProgram, "restore",
                                         "restore"}));
}

TEST_F(ModCursorTest, ACursorReplacedWhileShowingIsTakenBack)
{
    modCursor::StartAnimatedCursor("hourglas.ani");
    RecordingCursor next;
    modCursor::SetWaitCursor(&next);
    EXPECT_EQ(cursor.calls.last(), "restore");
    modCursor::RestoreLastCursor();
    EXPECT_TRUE(next.calls.isEmpty()) << "the new cursor was never started";
}

}  // namespace
