#pragma once
// The open and save dialogs as Qt's file dialogs, with the request's title, filter and folder.

#include "platform/FileDialogs.h"

class QWidget;

class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : mParent(parent) {}
    QString getOpenFileName(const FileDialogRequest& request) override;
    QString getSaveFileName(const FileDialogRequest& request) override;

private:
    QWidget* mParent;
};
