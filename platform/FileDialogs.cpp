#include "platform/FileDialogs.h"

namespace {
FileDialogs* gDialogs = nullptr;
}

void SetFileDialogs(FileDialogs* dialogs) { gDialogs = dialogs; }

QString GetOpenFileName(const FileDialogRequest& request)
{
    return gDialogs ? gDialogs->getOpenFileName(request) : QString();
}

QString GetSaveFileName(const FileDialogRequest& request)
{
    return gDialogs ? gDialogs->getSaveFileName(request) : QString();
}
