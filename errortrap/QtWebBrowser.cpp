#include "errortrap/QtWebBrowser.h"

#include <QDesktopServices>

bool QtWebBrowser::openUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }
