#pragma once
// Writing an export's bytes to its device, with the reason when the device refuses them.

#include <QByteArray>
#include <QIODevice>
#include <QString>

inline QString WriteFailureReason(const QIODevice& device)
{
    return QStringLiteral("The file could not be written: %1.").arg(device.errorString());
}

inline bool WriteToDevice(QIODevice& device, const QByteArray& bytes, QString* Ret_strReason)
{
    if (device.write(bytes) == bytes.size())
        return true;
    if (Ret_strReason)
        *Ret_strReason = WriteFailureReason(device);
    return false;
}
