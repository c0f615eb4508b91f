#pragma once
// Shows the busy cursor over the program while a long operation runs, and takes it away.
// The Qt implementation is QtWaitCursor; modCursor calls the one installed.

#include <QString>

class WaitCursor {
public:
    virtual ~WaitCursor() = default;
    // `file` names the animated cursor to show where the platform has one.
    virtual void show(const QString& file) = 0;
    virtual void restore() = 0;
};
