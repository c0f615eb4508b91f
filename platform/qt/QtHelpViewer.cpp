#include "platform/qt/QtHelpViewer.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>

QtHelpViewer::~QtHelpViewer() { delete mWindow; }

void QtHelpViewer::showHelp(int context)
{
    if (!mWindow) {
        mWindow = new QTextBrowser;
        mWindow->setObjectName(QStringLiteral("HelpWindow"));
        mWindow->setWindowTitle(QStringLiteral("Vantrel Help"));
        mWindow->setOpenExternalLinks(true);  // links to the web go to the browser
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        mWindow->resize(screen.width() * 2 / 5, screen.height() * 3 / 5);
    }
    const QString& path = mHelpFile;
    if (QFileInfo::exists(path)) {
        QUrl url = QUrl::fromLocalFile(path);
        url.setFragment(HelpAnchor(context));
        mWindow->setSource(url);
        mWindow->scrollToAnchor(HelpAnchor(context));
    } else {
        mWindow->setPlainText(QStringLiteral("The help file %1 was not found.").arg(path));
    }
    mWindow->show();
    mWindow->raise();
    mWindow->activateWindow();
}
