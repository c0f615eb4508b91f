// What the Export commands rely on once a file name is chosen: writing the Test Cases grid,
// and opening the result through the desktop, whose failures are said in the status bar and
// never in a box.
#include "app/modMain.h"
#include "files/MatrixExport.h"
#include "files/modShell.h"
#include "model/GridCellStore.h"
#include "tests/support/SeamTest.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestTables.h"

#include <QTemporaryDir>

namespace {

using TestTables::FillGrid;

class ExportCommandTest : public SeamTest {
protected:
    void TearDown() override
    {
        SeamTest::TearDown();
        modMain::ReleaseGlobalObjects();
    }
    QTemporaryDir dir;

    // A file that exists, in a folder of the given name.
    QString existingFile(const QString& folder)
    {
        const QString path = dir.filePath(folder + "/m.csv");
        EXPECT_TRUE(WriteFileBytes(path));
        return path;
    }
};

TEST_F(ExportCommandTest, ExportWritesTheTestCasesGridAndOpensTheFileOrSaysWhyNot)
{
    FillGrid(modMain::TestCasesGrid(), {{"A", "B"}, {"x", "1"}});
    FillGrid(modMain::FactorsGrid(), {{"not", "this"}});
    const QString path = dir.filePath("m.csv");
    EXPECT_TRUE(MatrixExport::ExportTestCases(modMain::TestCasesGrid(), ExportKind::CommaDelimited, path, nullptr));
    EXPECT_EQ(FileBytes(path), "A,B\r\nx,1\r\n");
    ASSERT_EQ(shell.requests().size(), 1);
    const ShellOpenRequest& open = shell.requests().first();
    EXPECT_EQ(open.file, path);
    EXPECT_EQ(open.verb, "open");
    EXPECT_EQ(open.showCommand, 1);
    EXPECT_TRUE(open.parameters.isEmpty() && open.folder.isEmpty());
    EXPECT_TRUE(panels.statusMessages().isEmpty());

    // A failed export opens nothing.
    const QString missing = dir.filePath("missing/m.xml");
    messages.answer(MsgResult::Ok);
    EXPECT_FALSE(MatrixExport::ExportTestCases(modMain::TestCasesGrid(), ExportKind::Xml, missing, nullptr));
    EXPECT_TRUE(takeOnlyMessage().text.startsWith("The matrix could not be exported to\n" + missing));
    EXPECT_EQ(shell.requests().size(), 1);
    EXPECT_TRUE(panels.statusMessages().isEmpty());

    // A file the desktop cannot open is said in the status bar, never in a box.
    shell.setTakes(false);
    const QString html = dir.filePath("m.html");
    EXPECT_TRUE(MatrixExport::ExportTestCases(modMain::TestCasesGrid(), ExportKind::Html, html, nullptr)) << "the file was written";
    EXPECT_TRUE(QFileInfo::exists(html));
    EXPECT_EQ(panels.statusMessages(),
              QStringList{html + " was exported but could not be opened: No application is associated with this "
                                 "file type."});
}

TEST_F(ExportCommandTest, ShellOpenFailuresCarryTheirNumberTextAndSource)
{
    auto opened = modShell::GShell(dir.filePath("none.csv"), 10, "", "", "open", nullptr);
    ASSERT_FALSE(opened);
    modShell::ShellError error = opened.error();
    EXPECT_EQ(error.number, 53);
    EXPECT_EQ(error.description, "File not found");
    EXPECT_TRUE(error.source.endsWith(".GShell")) << error.source.toStdString();
    EXPECT_FALSE(error.source.startsWith(".")) << "the executable's name comes first";

    opened = modShell::GShell(dir.filePath("gone/none.csv"), 10, "", "", "open", nullptr);
    ASSERT_FALSE(opened);
    error = opened.error();
    EXPECT_EQ(error.number, 76);
    EXPECT_EQ(error.description, "Path not found");
    EXPECT_TRUE(shell.requests().isEmpty()) << "a missing file is not handed to the desktop";

    shell.setTakes(false);
    const QString file = existingFile("f");
    opened = modShell::GShell(file, 10, "", "", "open", nullptr);
    ASSERT_FALSE(opened);
    error = opened.error();
    EXPECT_EQ(error.number, -2147220425);  // the error base + 1048 + the desktop's 31
    EXPECT_EQ(error.description, "No application is associated with this file type.");

    shell.setTakes(true);
    EXPECT_TRUE(modShell::GShell(file, 10, "", "", "open", nullptr));
}

TEST_F(ExportCommandTest, ExeInTheNameHidesOnlyWhatIsStartedWithParameters)
{
    const QString file = existingFile("my.exe.files");
    ASSERT_TRUE(modShell::GShell(file, 10, "", "", "open", nullptr));
    ASSERT_TRUE(modShell::GShell(file, 10, "-x", "", "open", nullptr));
    ASSERT_TRUE(modShell::GShell(existingFile("plain"), 10, "", dir.path(), "print", nullptr));
    ASSERT_EQ(shell.requests().size(), 3);
    EXPECT_EQ(shell.requests()[0].showCommand, 1) << "a plain open always shows a normal window";
    EXPECT_EQ(shell.requests()[1].showCommand, 0);
    EXPECT_EQ(shell.requests()[1].parameters, "-x");
    EXPECT_EQ(shell.requests()[2].showCommand, 10);
    EXPECT_EQ(shell.requests()[2].folder, dir.path());
    EXPECT_EQ(shell.requests()[2].verb, "print");
}

}  // namespace
