#include "settings/modCursor.h"

#include "platform/WaitCursor.h"

#include <QCoreApplication>

namespace modCursor {
namespace {
WaitCursor* gCursor = nullptr;
int gPending = 0;

QString CursorPath(const QString& file)
{
    if (file.contains(QLatin1Char('/')) || file.contains(QLatin1Char('\\')))
        return file;
    if (!QCoreApplication::instance())
        return file;
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + file;
}
}  // namespace

void SetWaitCursor(WaitCursor* cursor)
{
    // The cursor going away takes back what it still shows.
    if (gCursor)
        for (; gPending > 0; --gPending)
            gCursor->restore();
    gCursor = cursor;
    gPending = 0;
}

void StartAnimatedCursor(const QString& file)
{
    ++gPending;
    if (gCursor)
        gCursor->show(CursorPath(file));
}

void RestoreLastCursor()
{
    if (gPending == 0)
        return;
    --gPending;
    if (gCursor)
        gCursor->restore();
}

int PendingCursors() { return gPending; }
}  // namespace modCursor
