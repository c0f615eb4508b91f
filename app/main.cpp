#include "app/QtFileDialogs.h"
#include "app/QtHelpViewer.h"
#include "app/QtMessagePresenter.h"
#include "app/StartWindow.h"
#include "app/modMain.h"
#include "files/QtShellOpener.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvantis"));
    QCoreApplication::setApplicationName(QStringLiteral("Vantrel"));

    QtMessagePresenter messages;
    QtHelpViewer help;
    QtFileDialogs dialogs;
    QtShellOpener shell;
    SetMessagePresenter(&messages);
    SetHelpViewer(&help);
    SetFileDialogs(&dialogs);
    SetShellOpener(&shell);

    // The command line, whole, is the path of a design to open.
    const QString designPath = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));

    int result = 0;
    {
        StartWindow window;
        window.show();
        if (!designPath.isEmpty())
            window.openDesign(designPath);
        result = app.exec();
    }
    SetMessagePresenter(nullptr);
    SetHelpViewer(nullptr);
    SetFileDialogs(nullptr);
    SetShellOpener(nullptr);
    modMain::ReleaseGlobalObjects();
    return result;
}
