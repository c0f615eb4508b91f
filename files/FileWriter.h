#pragma once
// The one way the program writes a file. A regular file, or one that does not exist yet, is
// written beside its place and takes it only once complete, so that a failure leaves any
// earlier file byte for byte. A device or a pipe (or standard output) is written directly:
// it cannot be replaced, only written to. Writes are unbuffered and every byte is counted,
// so a write cut short by a full disk or a size limit is a failure, with the system's reason.
//
//     FileWriter out(path);
//     if (Result<void> opened = out.open(); !opened) ... opened.error() ...
//     ... WriteToDevice(out.device(), bytes) ..., then out.commit()

#include "platform/Result.h"

#include <QFile>
#include <QSaveFile>
#include <QString>

#include <cstdio>
#include <memory>

class FileWriter {
public:
    explicit FileWriter(const QString& path);
    // Writes to an open C stream (standard output) instead of a file.
    explicit FileWriter(std::FILE* stream);

    // Fails with "The file could not be created: ...".
    Result<void> open();
    QIODevice& device();
    // Puts a regular file in place. Fails with "The file could not be written: ..."; the
    // earlier file is then unchanged.
    Result<void> commit();

private:
    QString mPath;
    std::FILE* mStream = nullptr;
    std::unique_ptr<QSaveFile> mSaveFile;  // a regular file
    std::unique_ptr<QFile> mDirect;        // a device, a pipe, a stream
};
