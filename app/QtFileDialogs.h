#pragma once

#include "app/FileDialogs.h"

class QWidget;

class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : mParent(parent) {}
    QString getOpenFileName(const FileDialogRequest& request) override;
    QString getSaveFileName(const FileDialogRequest& request) override;

private:
    QWidget* mParent;
};
