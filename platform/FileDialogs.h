#pragma once
// Open and save dialogs. An empty result means the user cancelled.

#include <QString>

struct FileDialogRequest {
    QString title;
    QString startFolder;
    QString filter;           // e.g. "Test Files (*.test)"
    QString defaultSuffix;    // without the dot
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString getOpenFileName(const FileDialogRequest& request) = 0;
    virtual QString getSaveFileName(const FileDialogRequest& request) = 0;
};

void SetFileDialogs(FileDialogs* dialogs);  // nullptr: every dialog is cancelled
QString GetOpenFileName(const FileDialogRequest& request);
QString GetSaveFileName(const FileDialogRequest& request);
