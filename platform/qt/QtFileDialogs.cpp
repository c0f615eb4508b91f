#include "platform/qt/QtFileDialogs.h"

#include <QFileDialog>

QString QtFileDialogs::getOpenFileName(const FileDialogRequest& request)
{
    return QFileDialog::getOpenFileName(mParent, request.title, request.startFolder, request.filter);
}

QString QtFileDialogs::getSaveFileName(const FileDialogRequest& request)
{
    // The program asks its own replace question, so the dialog must not.
    return QFileDialog::getSaveFileName(mParent, request.title, request.startFolder, request.filter,
                                        nullptr, QFileDialog::DontConfirmOverwrite);
}
