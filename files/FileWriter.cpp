#include "files/FileWriter.h"

#include <QFileInfo>

FileWriter::FileWriter(const QString& path) : mPath(path) {}

FileWriter::FileWriter(std::FILE* stream) : mStream(stream) {}

Result<void> FileWriter::open()
{
    QFileDevice* file = nullptr;
    bool opened = false;
    if (mStream) {
        mDirect = std::make_unique<QFile>();
        file = mDirect.get();
        opened = mDirect->open(mStream, QIODevice::WriteOnly | QIODevice::Unbuffered);
    } else if (const QFileInfo info(mPath); info.exists() && !info.isFile() && !info.isDir()) {
        // A device or a pipe: replacing it with a regular file would be wrong even where
        // the folder allows it.
        mDirect = std::make_unique<QFile>(mPath);
        file = mDirect.get();
        opened = mDirect->open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    } else {
        mSaveFile = std::make_unique<QSaveFile>(mPath);
        file = mSaveFile.get();
        opened = mSaveFile->open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    if (!opened)
        return Failure{QStringLiteral("The file could not be created: %1.").arg(file->errorString())};
    return {};
}

QIODevice& FileWriter::device()
{
    if (mSaveFile)
        return *mSaveFile;
    return *mDirect;
}

Result<void> FileWriter::commit()
{
    bool done = false;
    QFileDevice* file = nullptr;
    if (mSaveFile) {
        file = mSaveFile.get();
        done = mSaveFile->commit();
    } else {
        file = mDirect.get();
        done = mDirect->flush() && mDirect->error() == QFileDevice::NoError;
        mDirect->close();
    }
    if (!done)
        return Failure{QStringLiteral("The file could not be written: %1.").arg(file->errorString())};
    return {};
}
