#include "platform/HelpViewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
HelpViewer* gViewer = nullptr;
}

void SetHelpViewer(HelpViewer* viewer) { gViewer = viewer; }

void ShowHelp(int context)
{
    if (gViewer)
        gViewer->showHelp(context);
}

QString HelpFilePath() { return HelpFilePathIn(QCoreApplication::applicationDirPath()); }

QString HelpFilePathIn(const QString& dir)
{
    const QStringList candidates = {
        dir + QStringLiteral("/vantrelhelp.html"),
        dir + QStringLiteral("/../share/vantrel/vantrelhelp.html"),
        dir + QStringLiteral("/../share/doc/vantrel/vantrelhelp.html"),
    };
    for (const QString& path : candidates) {
        if (QFileInfo::exists(path))
            return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    }
    return QDir::cleanPath(dir + QStringLiteral("/vantrelhelp.html"));
}

QString HelpAnchor(int context) { return QStringLiteral("context-%1").arg(context); }
