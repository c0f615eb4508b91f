#pragma once
// Files as tests meet them: their bytes, a file left by the user or an earlier run, and writes
// that really fail half-way, on disk or on a device.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QString>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>

inline QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes the file as the user or an earlier run left it, its folder made when missing.
inline bool WriteFileBytes(const QString& path, const QByteArray& bytes = {})
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// While it lives, no file of this process may grow beyond `bytes`: a write then fails with
// EFBIG instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        mOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &mSaved);
        rlimit lowered = mSaved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &mSaved);
        std::signal(SIGXFSZ, mOldHandler);
    }

private:
    rlimit mSaved{};
    void (*mOldHandler)(int) = nullptr;
};

// A device that fails as a full disk does: the write that overflows takes what fits and
// says nothing; the next one fails with the reason.
class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(qint64 capacity) : mCapacity(capacity) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 len) override
    {
        if (mWritten >= mCapacity) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        const qint64 taken = std::min(len, mCapacity - mWritten);
        mWritten += taken;
        return taken;
    }

private:
    qint64 mCapacity;
    qint64 mWritten = 0;
};
