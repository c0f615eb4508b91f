#pragma once
// Every command of the main window: its tool ID, caption (with its access key), category,
// description, and where it stands in the menus and the "Standard" toolbar.

#include "files/ExportKind.h"

#include <QKeySequence>
#include <QList>
#include <QString>

struct ToolSpec {
    const char* id;
    const char* caption;
    const char* category;
    const char* description;
    QKeySequence::StandardKey shortcut = QKeySequence::UnknownKey;
    const char* extraShortcut = nullptr;  // keys ("; " between them) bound besides the
                                          // standard key, on every desktop
};

struct MenuSpec {
    const char* id;           // the menu's own tool
    QList<const char*> items;  // tool IDs top to bottom; nullptr is a separator
};

namespace CommandTable {
// Every tool, in definition order.
const QList<ToolSpec>& Tools();
// The menus of the "Menu Bar", left to right.
const QList<MenuSpec>& Menus();
// The buttons of the "Standard" toolbar; nullptr is a separator.
const QList<const char*>& StandardToolbar();
// The View tools of the option group "CurrentView", by navigation item index.
const QList<const char*>& CurrentViewTools();
// The export formats in the Export menu's order, top to bottom.
const QList<const ExportKindInfo*>& ExportMenu();
// Their tools, the Export menu's items, which it enables or disables as it opens.
const QList<const char*>& ExportTools();
}  // namespace CommandTable
