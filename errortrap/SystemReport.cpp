#include "errortrap/SystemReport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>
#include <QSysInfo>

namespace {

std::function<SystemDevices()> gDevices;

QString Grouped(qint64 value)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(value);  // 1,234,567
}

QString Or(const QString& value) { return value.isEmpty() ? UnavailableText() : value; }

QByteArray ReadProc(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The value of "Name:" in a /proc text of such lines.
QByteArray ProcField(const QByteArray& text, const QByteArray& name)
{
    for (const QByteArray& line : text.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed() == name)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

struct ProcessEntry {
    QString name;
    qint64 pid = 0;
    QString threads;
    QString path;
};

QList<ProcessEntry> Processes()
{
    QList<ProcessEntry> list;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok)
            continue;
        const QByteArray status = ReadProc(QStringLiteral("/proc/%1/status").arg(pid));
        if (status.isEmpty())
            continue;
        ProcessEntry p;
        p.pid = pid;
        p.name = QString::fromLocal8Bit(ProcField(status, "Name"));
        p.threads = QString::fromLatin1(ProcField(status, "Threads"));
        p.path = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
        list.append(p);
    }
    std::sort(list.begin(), list.end(), [](const ProcessEntry& a, const ProcessEntry& b) { return a.pid < b.pid; });
    return list;
}

QString DriveType(const QStorageInfo& volume)
{
    const QByteArray type = volume.fileSystemType().toLower();
    static const QByteArrayList network = {"nfs", "nfs4", "cifs", "smbfs", "smb3", "sshfs", "fuse.sshfs", "9p", "afs"};
    static const QByteArrayList cd = {"iso9660", "udf"};
    if (network.contains(type))
        return QStringLiteral("Network   ");
    if (cd.contains(type))
        return QStringLiteral("CD        ");
    if (type.isEmpty())
        return QStringLiteral("Unknown   ");
    return QStringLiteral("Fixed     ");
}

}  // namespace

void SetSystemDevicesSource(std::function<SystemDevices()> source) { gDevices = std::move(source); }

QString UnavailableText() { return QStringLiteral("<unavailable>"); }

MemoryInfo ParseMemInfo(const QByteArray& meminfo)
{
    const auto kilobytes = [&meminfo](const QByteArray& name) -> qint64 {
        const QByteArray value = ProcField(meminfo, name);
        bool ok = false;
        const qint64 k = value.split(' ').value(0).toLongLong(&ok);
        return ok ? k : -1;
    };
    return {kilobytes("MemTotal"), kilobytes("MemAvailable"), kilobytes("SwapTotal"), kilobytes("SwapFree")};
}

namespace {
// The report's sections, in their order; each appends its heading and lines to r.
void AddApplication(QStringList& r, const QFileInfo& exe, const QList<ProcessEntry>& processes)
{
    const QString un = UnavailableText();
    const qint64 ownPid = QCoreApplication::applicationPid();
    bool previousInstance = false;
    for (const ProcessEntry& p : processes)
        previousInstance = previousInstance || (p.pid != ownPid && !p.path.isEmpty() && p.path == exe.canonicalFilePath());
    r << QStringLiteral("Application");
    r << QStringLiteral("   Title...............") + Or(QCoreApplication::applicationName());
    r << QStringLiteral("   Path................") + Or(QCoreApplication::applicationDirPath());
    r << QStringLiteral("   Project Version.....") + Or(QCoreApplication::applicationVersion());
    r << QStringLiteral("   OLE Server..........NO");
    r << QStringLiteral("   Previous Instance...") + (previousInstance ? QStringLiteral("YES") : QStringLiteral("NO"));
    r << QStringLiteral("  EXE Name............") + Or(exe.fileName());
    r << QStringLiteral("  EXE Time Stamp......") +
             (exe.exists() ? QLocale::c().toString(exe.lastModified(), QStringLiteral("yyyy-MM-dd hh:mm:ss")) : un);
    r << QStringLiteral("  EXE Size............") + (exe.exists() ? Grouped(exe.size()) + QStringLiteral(" bytes") : un);
}

void AddOperatingSystem(QStringList& r)
{
    const QString un = UnavailableText();
    r << QStringLiteral("Operating System");
    r << QStringLiteral("   Windows Version.....") + Or(QSysInfo::prettyProductName());
    r << QStringLiteral("   Build...............") + Or(QSysInfo::kernelType() + QLatin1Char(' ') + QSysInfo::kernelVersion());
    r << QStringLiteral("   Service Pack........") + un;
    r << QStringLiteral("   Debug Kernel........") + un;
    r << QStringLiteral("   Language............") + Or(QLocale::system().name());
    r << QStringLiteral("   Windows Directory...") + QStringLiteral("/usr");
    r << QStringLiteral("   Current Path........") + Or(QDir::currentPath());
}

void AddMemory(QStringList& r)
{
    const QString un = UnavailableText();
    const MemoryInfo mem = ParseMemInfo(ReadProc(QStringLiteral("/proc/meminfo")));
    const auto k = [&un](qint64 value) { return value < 0 ? un : Grouped(value) + QStringLiteral(" K"); };
    const bool haveVirtual = mem.totalK >= 0 && mem.swapTotalK >= 0;
    const bool haveAvailVirtual = mem.availableK >= 0 && mem.swapFreeK >= 0;
    r << QStringLiteral("Memory Information");
    r << QStringLiteral("   Total Physical......") + k(mem.totalK);
    r << QStringLiteral("   Available Physical..") + k(mem.availableK);
    r << QStringLiteral("   Virtual Memory......") + k(haveVirtual ? mem.totalK + mem.swapTotalK : -1);
    r << QStringLiteral("   Available Virtual...") + k(haveAvailVirtual ? mem.availableK + mem.swapFreeK : -1);
    r << QStringLiteral("   Pct Physical Free...") +
             (mem.totalK > 0 && mem.availableK >= 0
                  ? QString::number(100.0 * static_cast<double>(mem.availableK) / static_cast<double>(mem.totalK), 'f', 2) +
                        QLatin1Char('%')
                  : un);
}

// The printer, the ports, the network, the screen, the mouse and the keyboard.
void AddDevices(QStringList& r, const SystemDevices& devices)
{
    const QString un = UnavailableText();
    r << QStringLiteral("Printer");
    r << QStringLiteral("   Description.........") + Or(devices.defaultPrinter);

    r << QStringLiteral("Ports");
    r << QStringLiteral("   Serial Driver.......") + un;
    for (int port = 0; port < 4; ++port) {
        const QString device = QStringLiteral("/dev/ttyS%1").arg(port);
        r << QStringLiteral("   Com%1................").arg(port + 1) + (QFileInfo::exists(device) ? device : un);
    }

    r << QStringLiteral("Network");
    r << QStringLiteral("   Driver..............") + un;

    r << QStringLiteral("General Video Information");
    r << QStringLiteral("   Colors..............") + Or(devices.colors);
    r << QStringLiteral("   Screen size.........") + Or(devices.screenSize);

    r << QStringLiteral("Mouse");
    r << QStringLiteral("   Mouse Present.......") + Or(devices.mousePresent);
    r << QStringLiteral("Keyboard");
    r << QStringLiteral("   Driver..............") + Or(devices.keyboardDriver);
    r << QStringLiteral("   Type................") + Or(devices.keyboardType);
}

void AddProcesses(QStringList& r, const QFileInfo& exe, const QList<ProcessEntry>& processes)
{
    r << QStringLiteral("/// Processes Running Concurrently with  ///");
    r << QStringLiteral("/// ") + exe.fileName() + QStringLiteral(" at Time of Error            ///");
    for (const ProcessEntry& p : processes) {
        r << QStringLiteral("   Module Name.........") + Or(p.name);
        r << QStringLiteral("   Process ID..........0x") + QString::number(p.pid, 16).toUpper();
        r << QStringLiteral("   Thread Count........") + Or(p.threads);
        r << QStringLiteral("   Full Path...........") + Or(p.path);
    }
}

void AddProcessor(QStringList& r)
{
    const QByteArray cpuinfo = ReadProc(QStringLiteral("/proc/cpuinfo"));
    int cpus = 0;
    for (const QByteArray& line : cpuinfo.split('\n'))
        cpus += line.startsWith("processor") ? 1 : 0;
    QString model = QString::fromLatin1(ProcField(cpuinfo, "model name"));
    if (model.isEmpty())
        model = QSysInfo::currentCpuArchitecture();
    r << QStringLiteral("Processor");
    r << QStringLiteral("   CPU.................") + Or(model);
    r << QStringLiteral("   Number of CPUs......") + (cpus > 0 ? QString::number(cpus) : UnavailableText());
}

void AddDrives(QStringList& r)
{
    QList<QStorageInfo> drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && volume.bytesTotal() > 0)
            drives.append(volume);
    }
    r << QStringLiteral("Drives");
    r << QStringLiteral("   Floppies............") + UnavailableText();
    r << QStringLiteral("   Disks...............") + QString::number(drives.size());
    for (const QStorageInfo& volume : drives) {
        r << QStringLiteral("   Drive ") + volume.rootPath() + QStringLiteral(":...........") + DriveType(volume) +
                 Grouped(volume.bytesAvailable() / 1024) + QStringLiteral(" KB Free");
    }
}
}  // namespace

QStringList CollectSystemReport()
{
    const SystemDevices devices = gDevices ? gDevices() : SystemDevices{};
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    const QList<ProcessEntry> processes = Processes();
    QStringList r;
    AddApplication(r, exe, processes);
    AddOperatingSystem(r);
    AddMemory(r);
    AddDevices(r, devices);
    AddProcesses(r, exe, processes);
    AddProcessor(r);
    AddDrives(r);
    return r;
}
