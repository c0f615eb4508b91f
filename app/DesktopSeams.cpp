#include "app/DesktopSeams.h"

#include "app/modMain.h"
#include "errortrap/SystemReport.h"
#include "settings/CGetMyDataFolder.h"
#include "settings/modCursor.h"

DesktopSeams::DesktopSeams() : mPrinters(CGetMyDataFolder().GetMyDocumentsFolderPath())
{
    SetMessagePresenter(&mMessages);
    modCursor::SetWaitCursor(&mWaitCursor);
    SetHelpViewer(&mHelp);
    SetFileDialogs(&mDialogs);
    SetPrinterSetup(&mPrinters);
    SetShellOpener(&mShell);
    SetReportPresenter(&mErrorReport);
    SetSystemDevicesSource(&QtReportPresenter::Devices);
}

DesktopContext DesktopSeams::Context() { return modMain::Desktop(mMessages, mHelp); }

// The error trap keeps its report window to the last: the stop record is written before.
DesktopSeams::~DesktopSeams()
{
    SetMessagePresenter(nullptr);
    SetHelpViewer(nullptr);
    SetFileDialogs(nullptr);
    SetPrinterSetup(nullptr);
    SetShellOpener(nullptr);
    SetReportPresenter(nullptr);
    SetSystemDevicesSource(nullptr);
    modCursor::SetWaitCursor(nullptr);
}
