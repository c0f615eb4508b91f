#pragma once
// The desktop program's faces of the seams: built, installed for the layers below the window
// and, when the object goes, removed again, so that nothing is left pointing at a destroyed
// window or dialog. The main window is handed the same faces in its context.

#include "app/DesktopContext.h"
#include "errortrap/QtReportPresenter.h"
#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/QtHelpViewer.h"
#include "platform/qt/QtMessagePresenter.h"
#include "platform/qt/QtPrinterSetup.h"
#include "platform/qt/QtShellOpener.h"
#include "platform/qt/QtWaitCursor.h"

class DesktopSeams {
public:
    DesktopSeams();
    ~DesktopSeams();
    DesktopSeams(const DesktopSeams&) = delete;
    DesktopSeams& operator=(const DesktopSeams&) = delete;

    // The main window's context: these faces and the global objects.
    DesktopContext Context();

private:
    QtMessagePresenter mMessages;
    QtHelpViewer mHelp;
    QtFileDialogs mDialogs;
    QtPrinterSetup mPrinters;
    QtShellOpener mShell;
    QtReportPresenter mErrorReport;
    QtWaitCursor mWaitCursor;
};
