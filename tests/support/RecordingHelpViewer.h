#pragma once
// Test double of the help viewer: records every context asked for.

#include "platform/HelpViewer.h"

#include <QList>

class RecordingHelpViewer : public HelpViewer {
public:
    RecordingHelpViewer() { SetHelpViewer(this); }
    ~RecordingHelpViewer() override { SetHelpViewer(nullptr); }
    void showHelp(int context) override { mContexts.append(context); }
    const QList<int>& contexts() const { return mContexts; }
    void clear() { mContexts.clear(); }

private:
    QList<int> mContexts;
};
