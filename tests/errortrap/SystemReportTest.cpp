// The local system report: its sections in order, the lines read from /proc and about this
// process, the devices the windows tell, "<unavailable>" where this system has nothing; the
// debugger check.
#include "errortrap/Debugger.h"
#include "errortrap/SystemReport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

TEST(SystemReportTest, SectionsComeInTheirOrderAndTheEntriesHoldThisSystemsValues)
{
    SetSystemDevicesSource(nullptr);
    const QStringList report = CollectSystemReport();
    QStringList sections;
    for (const QString& line : report)
        if (!line.startsWith(' '))
            sections << line;
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    EXPECT_EQ(sections, (QStringList{"Application", "Operating System", "Memory Information", "Printer", "Ports",
                                     "Network", "General Video Information", "Mouse", "Keyboard",
                                     "/// Processes Running Concurrently with  ///",
                                     "/// " + exe + " at Time of Error            ///", "Processor", "Drives"}));
    // Numbers grouped by thousands, this process among the others, the drives' free space (a
    // root folder that is no mount point, as in a chroot, lists none), and what the windows
    // have not told yet.
    const QString pid = QString::number(QCoreApplication::applicationPid(), 16).toUpper();
    const QRegularExpression drive("^   Drive [^:]+:\\.{11}(Fixed |Network |CD |Unknown ) *[\\d,]* KB Free$");
    for (const QString& line : report.filter(QRegularExpression("^   Drive ")))
        EXPECT_TRUE(drive.match(line).hasMatch()) << line.toStdString();
    for (const QString& line : QStringList{"  EXE Size\\.+\\d{1,3}(,\\d{3})* bytes", "   Process ID\\.+0x" + pid,
                                           "   Pct Physical Free\\.+\\d{1,3}\\.\\d\\d%",
                                           "   Description\\.+<unavailable>", "   Screen size\\.+<unavailable>"})
        EXPECT_EQ(report.filter(QRegularExpression("^(" + line + ")$")).size(), 1) << line.toStdString();
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
