// The local system report: its sections in order, the lines read from /proc, the devices the
// windows tell, "<unavailable>" where this system has nothing; the debugger check.
#include "errortrap/Debugger.h"
#include "errortrap/SystemReport.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {
qsizetype IndexStarting(const QStringList& lines, const QString& start)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(start))
            return i;
    }
    return -1;
}
}  // namespace

TEST(SystemReportTest, SectionsAndCaptionsComeInTheirOrder)
{
    SetSystemDevicesSource(nullptr);
    const QStringList report = CollectSystemReport();
    const QStringList order = {
        "Application", "   Title...............Vantrel", "   Path................", "   Project Version.....",
        "   OLE Server..........NO", "   Previous Instance...", "  EXE Name............", "  EXE Time Stamp......",
        "  EXE Size............", "Operating System", "   Windows Version.....", "   Build...............",
        "   Service Pack........", "   Debug Kernel........", "   Language............",
        "   Windows Directory.../usr", "   Current Path........", "Memory Information", "   Total Physical......",
        "   Available Physical..", "   Virtual Memory......", "   Available Virtual...", "   Pct Physical Free...",
        "Printer", "   Description.........<unavailable>", "Ports", "   Serial Driver.......", "   Com1...",
        "   Com4...", "Network", "   Driver..............", "General Video Information",
        "   Colors..............<unavailable>", "   Screen size.........<unavailable>", "Mouse",
        "   Mouse Present.......<unavailable>", "Keyboard", "/// Processes Running Concurrently with  ///",
        "   Module Name.........", "   Process ID..........0x", "   Thread Count........", "   Full Path...........",
        "Processor", "   CPU.................", "   Number of CPUs......", "Drives", "   Floppies............",
        "   Disks...............", "   Drive /"};
    qsizetype at = -1;
    for (const QString& start : order) {
        const qsizetype found = IndexStarting(report.mid(at + 1), start);
        ASSERT_GE(found, 0) << "missing or out of order: " << start.toStdString();
        at += found + 1;
    }
    const QString exeSize = report[IndexStarting(report, "  EXE Size............")];
    EXPECT_TRUE(exeSize.contains(QRegularExpression("^  EXE Size\\.+\\d{1,3}(,\\d{3})* bytes$"))) << exeSize.toStdString();
    const QString own = QString::number(QCoreApplication::applicationPid(), 16).toUpper();
    EXPECT_TRUE(report.contains("   Process ID..........0x" + own));
    const QString drive = report[IndexStarting(report, "   Drive /:")];
    EXPECT_TRUE(drive.contains(QRegularExpression("\\.{11}(Fixed |Network |CD |Unknown ) *[\\d,]* KB Free$")))
        << drive.toStdString();
    const QString free = report[IndexStarting(report, "   Pct Physical Free...")];
    EXPECT_TRUE(free.contains(QRegularExpression("\\.\\.\\.\\d{1,3}\\.\\d\\d%$"))) << free.toStdString();
}

TEST(SystemReportTest, TheWindowsTellTheDevices)
{
    SetSystemDevicesSource([] { return SystemDevices{"Office Laser", "16777216", "1920 X 1080", "YES", {}, {}}; });
    const QStringList report = CollectSystemReport();
    SetSystemDevicesSource(nullptr);
    EXPECT_TRUE(report.contains("   Description.........Office Laser"));
    EXPECT_TRUE(report.contains("   Colors..............16777216"));
    EXPECT_TRUE(report.contains("   Screen size.........1920 X 1080"));
    EXPECT_TRUE(report.contains("   Mouse Present.......YES"));
    EXPECT_TRUE(report.contains("   Type................<unavailable>"));
}

TEST(SystemReportTest, MemoryAndTracerAreReadFromProcTexts)
{
    const MemoryInfo m = ParseMemInfo("MemTotal:       16314412 kB\nMemFree:  100 kB\nMemAvailable:   9000000 kB\n"
                                      "SwapTotal:      2097148 kB\nSwapFree:       2000000 kB\n");
    EXPECT_EQ(m.totalK, 16314412);
    EXPECT_EQ(m.availableK, 9000000);
    EXPECT_EQ(m.swapTotalK, 2097148);
    EXPECT_EQ(m.swapFreeK, 2000000);
    EXPECT_EQ(ParseMemInfo("MemTotal: 5 kB\n").availableK, -1);

    EXPECT_EQ(TracerPidIn("Name:\tvantrel\nTracerPid:\t0\nUid:\t0\n"), 0);
    EXPECT_EQ(TracerPidIn("Name:\tvantrel\nTracerPid:\t4711\nUid:\t0\n"), 4711);
    EXPECT_EQ(TracerPidIn(""), 0);
}
