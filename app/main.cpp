// Start-up: the seams get their Qt faces, the main window loads and shows, and a design named
// on the command line is opened.
#include "app/DesktopSeams.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "errortrap/FailSafeApplication.h"
#include "errortrap/modFailSafe.h"

#include <QApplication>

int main(int argc, char** argv)
{
    FailSafeApplication app(argc, argv);  // errors escaping event handlers go to the trap
    QCoreApplication::setOrganizationName(QStringLiteral("Corvantis"));
    QCoreApplication::setApplicationName(QStringLiteral("Vantrel"));

    // The whole command line is the path of a design to open.
    const QString designPath = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));

    int result = 0;
    {
        DesktopSeams seams;
        {
            frmMain window(seams.Context());
            window.show();
            if (!designPath.isEmpty())
                window.OpenFileAtStart(designPath);
            result = app.exec();
        }
        modFailSafe::WriteStopRecord();
    }
    modMain::ReleaseGlobalObjects();
    return result;
}
