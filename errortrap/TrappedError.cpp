#include "errortrap/TrappedError.h"

TrappedError::TrappedError(std::int32_t number, const QString& description, const QString& source,
                           CodeLocation where)
    : mNumber(number), mDescription(description), mSource(source), mWhere(where),
      mWhat(description.toStdString())
{
}

TrappedError& TrappedError::withHelp(const QString& helpFile, std::int32_t helpContext)
{
    mHelpFile = helpFile;
    mHelpContext = helpContext;
    return *this;
}
