#pragma once
// The wait cursor of long operations (the exports). Every StartAnimatedCursor is undone by
// one RestoreLastCursor; a restore with no start pending does nothing, so an extra restore
// never takes away a cursor someone else set.

#include <QString>

class WaitCursor;

namespace modCursor {
// Installs the cursor every call goes to; nullptr (the default) makes the calls do nothing.
void SetWaitCursor(WaitCursor* cursor);

// `file` is the animated cursor: a full path when it contains a folder separator,
// otherwise a file beside the program.
void StartAnimatedCursor(const QString& file);
void RestoreLastCursor();

// How many starts are not yet restored.
int PendingCursors();
}  // namespace modCursor
