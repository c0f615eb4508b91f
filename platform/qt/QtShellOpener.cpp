#include "platform/qt/QtShellOpener.h"

#include <QDesktopServices>
#include <QUrl>

bool QtShellOpener::open(const ShellOpenRequest& request)
{
    // A web address goes to the browser as it is; anything else is a file.
    const QUrl web(request.file, QUrl::StrictMode);
    const bool isWeb = web.scheme() == QLatin1String("https") || web.scheme() == QLatin1String("http");
    return QDesktopServices::openUrl(isWeb ? web : QUrl::fromLocalFile(request.file));
}
