#pragma once
// Test double of the desktop's opener: records every request and answers as told (taken by default).

#include "platform/ShellOpener.h"

#include <QList>

class RecordingShellOpener : public ShellOpener {
public:
    RecordingShellOpener() { SetShellOpener(this); }
    ~RecordingShellOpener() override { SetShellOpener(nullptr); }
    bool open(const ShellOpenRequest& request) override
    {
        mRequests.append(request);
        return mTakes;
    }
    void setTakes(bool takes) { mTakes = takes; }
    const QList<ShellOpenRequest>& requests() const { return mRequests; }

private:
    bool mTakes = true;
    QList<ShellOpenRequest> mRequests;
};
