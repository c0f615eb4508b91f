#include "files/DesignFileLock.h"

#include <QDeadlineTimer>
#include <QDir>

namespace {
constexpr std::chrono::milliseconds kRetry{100};
}  // namespace

DesignFileLock::DesignFileLock(const QString& designPath) : mLock(LockPathOf(designPath))
{
    // Only a holder that is no longer running loses the lock, however long it holds it.
    mLock.setStaleLockTime(0);
}

QString DesignFileLock::LockPathOf(const QString& designPath) { return designPath + QStringLiteral(".lock"); }

Result<void> DesignFileLock::Take(const std::function<void(bool first)>& whileWaiting)
{
    const QDeadlineTimer deadline(kPatience);
    for (bool first = true;; first = false) {
        if (mLock.tryLock(first ? std::chrono::milliseconds(0) : kRetry))
            return {};
        if (mLock.error() != QLockFile::LockFailedError)
            return {};
        if (deadline.hasExpired()) {
            qint64 pid = 0;
            QString host, program;
            mLock.getLockInfo(&pid, &host, &program);
            return Failure{QStringLiteral("Another program (%1, process %2 on %3) is saving it and has not finished. "
                                          "If no program is saving it, delete the file %4.")
                               .arg(program, QString::number(pid), host, QDir::toNativeSeparators(mLock.fileName()))};
        }
        if (whileWaiting)
            whileWaiting(first);
    }
}
