#pragma once
// Shows the HTML help in a help window of the program's own at the context's anchor, so
// that help works on any desktop, with or without a browser. One window, kept for the run.

#include "platform/HelpViewer.h"

#include <QPointer>
#include <QString>

#include <utility>

class QTextBrowser;

class QtHelpViewer : public HelpViewer {
public:
    // helpFile: the HTML help; by default the one beside the program or where it is installed.
    explicit QtHelpViewer(QString helpFile = HelpFilePath()) : mHelpFile(std::move(helpFile)) {}
    ~QtHelpViewer() override;
    void showHelp(int context) override;

private:
    QString mHelpFile;
    QPointer<QTextBrowser> mWindow;
};
