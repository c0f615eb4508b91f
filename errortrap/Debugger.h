#pragma once
// A debugger tracing this process, and breaking into it.

#include <QByteArray>

// The "TracerPid:" of a process status text (/proc/<pid>/status); 0 when none is given.
int TracerPidIn(const QByteArray& status);

// True when a debugger traces the process.
bool DebuggerAttached();

// Stops in the debugger when one is attached; does nothing otherwise.
void BreakIntoDebugger();
