#include "app/QtHelpViewer.h"

#include <QDesktopServices>
#include <QUrl>

void QtHelpViewer::showHelp(int context)
{
    QUrl url = QUrl::fromLocalFile(HelpFilePath());
    url.setFragment(HelpAnchor(context));
    QDesktopServices::openUrl(url);
}
