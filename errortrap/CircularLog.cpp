#include "errortrap/CircularLog.h"

#include <QFile>
#include <QMap>
#include <QStringList>

namespace {
constexpr int kSequenceWidth = 10;  // digits, then one blank

// Sequence number -> text of every whole record in the file.
QMap<qint64, QString> Records(QFile& file, int recordSize)
{
    QMap<qint64, QString> records;
    file.seek(0);
    for (;;) {
        const QByteArray record = file.read(recordSize);
        if (record.size() < recordSize)
            break;
        bool ok = false;
        const qint64 sequence = record.left(kSequenceWidth).toLongLong(&ok);
        if (ok)
            records.insert(sequence, QString::fromUtf8(record.mid(kSequenceWidth + 1)).trimmed());
    }
    return records;
}
}  // namespace

CircularLog::CircularLog(const QString& path, int recordSize, int maxRecords)
    : mPath(path), mRecordSize(qMax(recordSize, kSequenceWidth + 2)), mMaxRecords(qMax(maxRecords, 1))
{
}

bool CircularLog::Write(const QString& text)
{
    QFile file(mPath);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const QMap<qint64, QString> records = Records(file, mRecordSize);
    const qint64 sequence = records.isEmpty() ? 1 : records.lastKey() + 1;
    const qint64 slot = (sequence - 1) % mMaxRecords;

    QByteArray record = QByteArray::number(sequence).rightJustified(kSequenceWidth, '0') + ' ';
    QByteArray body = text.simplified().toUtf8();
    const int room = mRecordSize - record.size() - 1;
    body.truncate(room);
    record += body.leftJustified(room, ' ') + '\n';
    return file.seek(slot * mRecordSize) && file.write(record) == record.size();
}

QStringList CircularLog::ReadBack(const QString& path, int recordSize)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return Records(file, qMax(recordSize, kSequenceWidth + 2)).values();
}
