#pragma once
// A log of fixed-size records that wraps: once it holds its maximum number of records, the
// next one overwrites the oldest. Each record is its sequence number and the text, cut or
// padded with blanks to the record size, ended by a line feed; the sequence numbers let a
// later run go on after the newest record.

#include <QString>

class CircularLog {
public:
    CircularLog(const QString& path, int recordSize, int maxRecords);

    // False when the file cannot be opened or written.
    bool Write(const QString& text);

    // The texts in the file, oldest first (blanks of the padding removed).
    static QStringList ReadBack(const QString& path, int recordSize);

private:
    QString mPath;
    int mRecordSize;
    int mMaxRecords;
};
