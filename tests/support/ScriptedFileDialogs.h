#pragma once
// Test double of the file dialogs: answers from a queue ("" = Cancel) and records requests.

#include "platform/FileDialogs.h"

#include <QList>

class ScriptedFileDialogs : public FileDialogs {
public:
    ScriptedFileDialogs() { SetFileDialogs(this); }
    ~ScriptedFileDialogs() override { SetFileDialogs(nullptr); }

    ScriptedFileDialogs& answer(const QString& path)
    {
        mAnswers.append(path);
        return *this;
    }
    QString getOpenFileName(const FileDialogRequest& request) override { return next(request); }
    QString getSaveFileName(const FileDialogRequest& request) override { return next(request); }

    const QList<FileDialogRequest>& requests() const { return mRequests; }
    qsizetype unusedAnswers() const { return mAnswers.size(); }
    int unexpected() const { return mUnexpected; }

private:
    QString next(const FileDialogRequest& request)
    {
        mRequests.append(request);
        if (mAnswers.isEmpty()) {
            ++mUnexpected;
            return {};
        }
        return mAnswers.takeFirst();
    }
    QList<QString> mAnswers;
    QList<FileDialogRequest> mRequests;
    int mUnexpected = 0;
};
