#pragma once
// A run-time error the program raises itself: a number, a description and a source, with the
// place it was raised. The error trap reports it with that line.

#include "errortrap/CodeLocation.h"

#include <QString>

#include <cstdint>
#include <stdexcept>
#include <string>

class TrappedError : public std::exception {
public:
    // An empty source stands for the program itself.
    TrappedError(std::int32_t number, const QString& description, const QString& source = {},
                 CodeLocation where = CodeLocation::current());

    // With the help of the error: a help file ("" for the program's own) and a context id.
    TrappedError& withHelp(const QString& helpFile, std::int32_t helpContext);

    std::int32_t number() const { return mNumber; }
    const QString& description() const { return mDescription; }
    const QString& source() const { return mSource; }
    const QString& helpFile() const { return mHelpFile; }
    std::int32_t helpContext() const { return mHelpContext; }
    const CodeLocation& where() const { return mWhere; }

    const char* what() const noexcept override { return mWhat.c_str(); }

private:
    std::int32_t mNumber;
    QString mDescription;
    QString mSource;
    QString mHelpFile;
    std::int32_t mHelpContext = 0;
    CodeLocation mWhere;
    std::string mWhat;
};
