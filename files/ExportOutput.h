#pragma once
// Writing bytes to a device, with the reason when the device refuses them.

#include "platform/Result.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

inline QString WriteFailureReason(const QIODevice& device)
{
    return QStringLiteral("The file could not be written: %1.").arg(device.errorString());
}

// Every byte or a failure. A write cut short by a full disk returns what fitted and says
// nothing; the next one fails with the system's reason, so the rest is written again.
inline Result<void> WriteToDevice(QIODevice& device, const QByteArray& bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 count = device.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0)
            return Failure{WriteFailureReason(device)};
        written += count;
    }
    return {};
}
