#include "files/QtShellOpener.h"

#include <QDesktopServices>
#include <QUrl>

bool QtShellOpener::open(const ShellOpenRequest& request)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(request.file));
}
