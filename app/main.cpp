#include "app/QtFileDialogs.h"
#include "app/QtHelpViewer.h"
#include "app/QtMessagePresenter.h"
#include "app/StartWindow.h"
#include "app/modMain.h"
#include "model/GridCellStore.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvantis"));
    QCoreApplication::setApplicationName(QStringLiteral("Vantrel"));

    QtMessagePresenter messages;
    QtHelpViewer help;
    QtFileDialogs dialogs;
    SetMessagePresenter(&messages);
    SetHelpViewer(&help);
    SetFileDialogs(&dialogs);

    GridCellStore& grid = modMain::FactorsGrid();
    grid.setMaxCols(1);
    grid.setMaxRows(2);
    grid.setText(0, 0, QStringLiteral("Factor #"));
    grid.setText(1, 0, QStringLiteral("Factor 1"));
    grid.setText(0, 1, QStringLiteral("Factor Name"));
    grid.setText(0, 2, QStringLiteral("Level 1"));

    int result = 0;
    {
        StartWindow window;
        window.show();
        result = app.exec();
    }
    SetMessagePresenter(nullptr);
    SetHelpViewer(nullptr);
    SetFileDialogs(nullptr);
    modMain::ReleaseGlobalObjects();
    return result;
}
