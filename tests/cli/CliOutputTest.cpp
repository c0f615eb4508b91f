// Where vantrel-cli's output goes: a full disk leaves the earlier file whole and says why in
// the program's own words, a pipe or "-" is written to directly, the design itself is never
// the output, and a save waits for another one and never saves over what it wrote.
#include "tests/cli/CliRun.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

namespace {


class CliOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Thirty factors of ten long level names: about 60 KB of test cases; four of them have
        // 10,000 combinations.
        design = writeDesign("design.test", 30);
        small = writeDesign("small.test", 4);
    }

    QString writeDesign(const QString& name, int numFactors)
    {
        QByteArray factors;
        for (int f = 1; f <= numFactors; ++f) {
            factors += "<Factor Name=\"F" + QByteArray::number(f) + "\">";
            for (int l = 1; l <= 10; ++l)
                factors += "<level>a rather long level name " + QByteArray::number(l) + "</level>";
            factors += "</Factor>";
        }
        QFile file(dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write("<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>\n<requirements><factors>" +
                   factors + "</factors><constraints/><previousruns/><QXVMatrix/></requirements>");
        return file.fileName();
    }

    QTemporaryDir dir;
    QString design;
    QString small;
};

TEST_F(CliOutputTest, AFullDiskLeavesTheEarlierFileAndSaysWhy)
{
    // A file system of 8 KB, which the test can make only as root.
    const QString tiny = dir.filePath("tiny");
    QDir().mkpath(tiny);
    if (geteuid() != 0 || QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=8k", "tmpfs", tiny}) != 0)
        GTEST_SKIP() << "no small file system can be made here (it needs root and mount)";
    struct Unmount {
        QString path;
        ~Unmount() { QProcess::execute("umount", {path}); }
    } unmount{tiny};
    const QString output = tiny + "/cases.txt";
    {
        QFile earlier(output);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("the earlier test cases\n");
    }
    for (const char* command : {"generate", "all"}) {
        const bool listing = command == std::string("all");
        const CliRun run = Cli({command, listing ? small : design, listing ? "--yes" : "--evolutions=2", "--output", output});
        EXPECT_EQ(run.exitCode, 2) << command;
        EXPECT_TRUE(run.err.contains("The file could not be written: No space left on device.")) << run.err.toStdString();
        EXPECT_EQ(FileBytes(output), "the earlier test cases\n") << command;
        EXPECT_EQ(QDir(tiny).entryList(QDir::Files), QStringList{"cases.txt"}) << "nothing is left beside it";
    }

    // The workbook is built in the temporary folder first; its library's own lines stay unseen.
    ASSERT_EQ(Cli({"generate", design, "--evolutions", "2", "--save"}).exitCode, 0);
    QProcessEnvironment fullTemporaryFolder = QProcessEnvironment::systemEnvironment();
    fullTemporaryFolder.insert("TMPDIR", tiny);
    const CliRun workbook =
        Cli({"export", design, "--format", "xlsx", "--output", dir.filePath("cases.xlsx")}, fullTemporaryFolder);
    EXPECT_EQ(workbook.exitCode, 2);
    EXPECT_EQ(workbook.err, "Cannot write " + dir.filePath("cases.xlsx") +
                                ": The workbook could not be written: No space left on device.\n");
    EXPECT_FALSE(QFile::exists(dir.filePath("cases.xlsx")));
}

TEST_F(CliOutputTest, APipeAndStandardOutputAreWrittenDirectly)
{
    const CliRun toStandardOutput = Cli({"generate", design, "--seed", "4", "--evolutions", "2", "--output", "-"});
    ASSERT_EQ(toStandardOutput.exitCode, 0) << toStandardOutput.err.toStdString();
    EXPECT_EQ(toStandardOutput.out, Cli({"generate", design, "--seed", "4", "--evolutions", "2"}).out);
    EXPECT_GT(toStandardOutput.out.size(), 10000);

    const QString fifo = dir.filePath("pipe");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess reader;
    reader.setStandardOutputFile(dir.filePath("read.txt"));
    reader.start("cat", {fifo});
    const CliRun toPipe = Cli({"generate", design, "--seed", "4", "--evolutions", "2", "--output", fifo});
    reader.waitForFinished(60000);
    EXPECT_EQ(toPipe.exitCode, 0) << toPipe.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(FileBytes(dir.filePath("read.txt"))), toStandardOutput.out);
    struct stat info {};
    ASSERT_EQ(stat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the pipe was replaced by a file";
}

TEST_F(CliOutputTest, TheDesignItselfIsNeverTheOutput)
{
    const QByteArray before = FileBytes(design);
    const QString link = dir.filePath("link.test");
    ASSERT_TRUE(QFile::link(design, link));
    for (const QString& output : {design, link}) {
        const CliRun run = Cli({"generate", design, "--evolutions", "2", "--output", output});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.startsWith("vantrel-cli: --output names the design itself")) << run.err.toStdString();
    }
    EXPECT_EQ(FileBytes(design), before);
}

// Another save of the design holds its lock: --save waits for it and then replaces the file
// only if that save left it as it was read.
TEST_F(CliOutputTest, ASaveWaitsForTheDesignsLockAndLeavesWhatAnotherSaveWrote)
{
    const QByteArray edited = FileBytes(small) + "<!-- saved by another program -->\n";
    for (const bool otherSaveChangesIt : {true, false}) {
        const QByteArray before = FileBytes(small);
        QLockFile otherSave(small + ".lock");
        ASSERT_TRUE(otherSave.tryLock());
        QProcess run;
        run.setReadChannel(QProcess::StandardError);
        run.start(QStringLiteral(VANTREL_CLI), {"generate", small, "--evolutions", "2", "--save"});
        QString err;
        while (!err.contains("waiting for it to finish") && run.waitForReadyRead(60000))
            err += QString::fromUtf8(run.readAllStandardError());
        ASSERT_TRUE(err.contains("The design " + small + " is being saved by another program; waiting for it to "
                                 "finish.")) << err.toStdString();
        if (otherSaveChangesIt) {
            ASSERT_TRUE(WriteFileBytes(small, edited));
        }
        otherSave.unlock();
        ASSERT_TRUE(run.waitForFinished(60000));
        err += QString::fromUtf8(run.readAllStandardError());
        if (otherSaveChangesIt) {
            EXPECT_EQ(run.exitCode(), 1);
            EXPECT_TRUE(err.contains("The design " + small + " was changed on disk since it was read; it was not "
                                     "saved.")) << err.toStdString();
            EXPECT_EQ(FileBytes(small), edited);
        } else {
            EXPECT_EQ(run.exitCode(), 0) << err.toStdString();
            EXPECT_TRUE(FileBytes(small).contains("<row>")) << "the matrix is saved";
            EXPECT_NE(FileBytes(small), before);
        }
        EXPECT_FALSE(QFile::exists(small + ".lock"));
    }
}

}  // namespace
