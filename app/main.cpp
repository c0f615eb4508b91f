// Start-up: the seams get their Qt faces, the main window loads and shows, and a design named
// on the command line is opened.
#include "app/QtFileDialogs.h"
#include "app/QtHelpViewer.h"
#include "app/QtMessagePresenter.h"
#include "app/QtPrinterSetup.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "errortrap/FailSafeApplication.h"
#include "errortrap/QtReportPresenter.h"
#include "errortrap/modFailSafe.h"
#include "files/QtShellOpener.h"
#include "settings/QtWaitCursor.h"
#include "settings/modCursor.h"

#include <QApplication>

int main(int argc, char** argv)
{
    FailSafeApplication app(argc, argv);  // errors escaping event handlers go to the trap
    QCoreApplication::setOrganizationName(QStringLiteral("Corvantis"));
    QCoreApplication::setApplicationName(QStringLiteral("Vantrel"));

    QtMessagePresenter messages;
    QtHelpViewer help;
    QtFileDialogs dialogs;
    QtPrinterSetup printers;
    QtShellOpener shell;
    QtReportPresenter errorReport;
    QtWaitCursor waitCursor;
    SetMessagePresenter(&messages);
    modCursor::SetWaitCursor(&waitCursor);
    SetHelpViewer(&help);
    SetFileDialogs(&dialogs);
    SetPrinterSetup(&printers);
    SetShellOpener(&shell);
    SetReportPresenter(&errorReport);
    SetSystemDevicesSource(&QtReportPresenter::Devices);

    // The whole command line is the path of a design to open.
    const QString designPath = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));

    int result = 0;
    {
        frmMain window;
        window.show();
        if (!designPath.isEmpty())
            window.OpenFileAtStart(designPath);
        result = app.exec();
    }
    SetMessagePresenter(nullptr);
    SetHelpViewer(nullptr);
    SetFileDialogs(nullptr);
    SetPrinterSetup(nullptr);
    SetShellOpener(nullptr);
    modFailSafe::WriteStopRecord();
    SetReportPresenter(nullptr);
    SetSystemDevicesSource(nullptr);
    modCursor::SetWaitCursor(nullptr);
    modMain::ReleaseGlobalObjects();
    return result;
}
