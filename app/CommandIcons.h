#pragma once
// The pictures of the commands, the same in the menus and on the toolbar, for the command
// table's rows: the style's own, or a picture of the program's own, drawn here so that no theme
// and no image format plugin is needed. Each takes the style it is shown in.

#include <QIcon>
#include <QStyle>

namespace CommandIcons {

// The style's standard picture.
template <QStyle::StandardPixmap Pixmap>
QIcon Standard(const QStyle& style)
{
    return style.standardIcon(Pixmap);
}

QIcon Cut(const QStyle& style);
QIcon Copy(const QStyle& style);
QIcon Paste(const QStyle& style);
QIcon Print(const QStyle& style);
QIcon Rules(const QStyle& style);
// A cell with the "~" before an invalid level.
QIcon MarkLevelInvalid(const QStyle& style);

}  // namespace CommandIcons
