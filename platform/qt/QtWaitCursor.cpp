#include "platform/qt/QtWaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

void QtWaitCursor::show(const QString& /*file*/) { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }

void QtWaitCursor::restore() { QGuiApplication::restoreOverrideCursor(); }
