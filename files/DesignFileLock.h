#pragma once
// The lock a save holds on a design file from the moment it checks that the file is still the
// one it read until the new file has taken its place: "<design>.lock" beside the design
// (QLockFile). Two programs saving one design at once take turns, so the second one sees the
// first one's file and can refuse to overwrite it.
//
//     DesignFileLock lock(path);
//     if (const Result<void> taken = lock.Take(whileWaiting); !taken) ... taken.error() ...
//     ... check the file, replace it ...          // the lock goes with the object
//
// A lock left by a program that ended without letting it go is taken over; one held by a
// running program is waited for, then given up with a reason.

#include "platform/Result.h"

#include <QLockFile>
#include <QString>

#include <chrono>
#include <functional>

class DesignFileLock {
public:
    // How long a save waits for another one before it gives up.
    static constexpr std::chrono::milliseconds kPatience{30000};

    explicit DesignFileLock(const QString& designPath);
    DesignFileLock(const DesignFileLock&) = delete;
    DesignFileLock& operator=(const DesignFileLock&) = delete;

    static QString LockPathOf(const QString& designPath);

    // Takes the lock. While another program holds it, whileWaiting(first) runs between the
    // tries, `first` true the first time. Fails, saying why, when it stays held longer than
    // kPatience. Where no lock file can be made (a folder that cannot be written) there is none
    // to take: it succeeds, and the save's own write fails with its reason.
    Result<void> Take(const std::function<void(bool first)>& whileWaiting = {});

private:
    QLockFile mLock;
};
