#pragma once
// The pictures of the commands, the same in the menus and on the toolbar: the desktop's icon
// theme where it has the freedesktop name, otherwise a picture of the program's own (drawn
// here, so that no theme and no image format plugin is needed).

#include <QIcon>
#include <QString>

class QStyle;

// The picture of a tool ID; a null icon for a tool without one.
QIcon CommandIcon(const QString& id, const QStyle& style);
