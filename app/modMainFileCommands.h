#pragma once
// The file commands of the main window: New (and Close), Open, Save and Save As, and the
// open of a given path (the command line, the File menu's recent designs). Each leaves the
// flags, the current file and the title as they were when it is cancelled or fails.

#include "app/DesktopContext.h"

#include <QString>

namespace modMain {
// Offers to save a changed design, then empties the four sheets: an untitled, unchanged design.
void FileNew(const CommandContext& context);
// Offers to save a changed design, then opens one chosen with the open dialog.
bool OpenFile(const CommandContext& context);
// Offers to save a changed design, then opens the design at the path. False after its message
// ("Error opening file") or when the user cancelled.
bool OpenFileFromPath(const CommandContext& context, const QString& path);
// Saves to the current file, through Save As while the design is untitled. True when saved.
bool SaveFile(const CommandContext& context);
// Saves under a path chosen with the save dialog. True when saved.
bool SaveFileAs(const CommandContext& context);
}  // namespace modMain
