#pragma once
// The report of the local system that the error report shows and logs: its sections and
// captions in a fixed order, each line filled from what this system offers, "<unavailable>"
// where it has no counterpart.

#include <QString>
#include <QStringList>

#include <functional>

// What only the windowing side knows; "<unavailable>" until it is told.
struct SystemDevices {
    QString defaultPrinter;
    QString colors;
    QString screenSize;  // width " X " height
    QString mousePresent;  // "YES" or "NO"
    QString keyboardDriver;
    QString keyboardType;
};

// Installs what fills SystemDevices (the desktop program's windows); nullptr: nothing known.
void SetSystemDevicesSource(std::function<SystemDevices()> source);

// "<unavailable>"
QString UnavailableText();

// The whole report, one line per entry.
QStringList CollectSystemReport();

// Parts of the report, for the lines read from /proc.
// Sizes in K of a /proc/meminfo text: MemTotal, MemAvailable, SwapTotal, SwapFree; -1 when missing.
struct MemoryInfo {
    qint64 totalK = -1;
    qint64 availableK = -1;
    qint64 swapTotalK = -1;
    qint64 swapFreeK = -1;
};
MemoryInfo ParseMemInfo(const QByteArray& meminfo);
