#pragma once
// Why a design could not be read; a model text's problem has its line and column.

#include <QString>

struct DesignReadFailure {
    QString message;
    int line = 0;  // 0: the problem has no place in the text; else 1-based
    int column = 0;  // 1-based, in characters
    // "Line L, column C: message." or the message.
    QString Described() const
    {
        if (line < 1)
            return message;
        return QStringLiteral("Line %1, column %2: %3.").arg(line).arg(column).arg(message);
    }
};
