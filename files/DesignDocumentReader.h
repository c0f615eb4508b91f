#pragma once
// Reading a design document (the layout is drawn in CFile.h) from its bytes. A quick look at
// the document's shape refuses nesting and attribute lists no design has, then one pass of a
// stream reader keeps only what the design tables need: the names of the sections, the items
// below them (a factor, a constraint, a previous test, a row) and the texts of their fields.
// Time and memory grow with the file, not with its nesting.

#include "model/DesignText.h"
#include "platform/Result.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// Reads the document (its maxNumLevels is the largest level count). When the bytes are no
// design of this layout, the failure is a sentence saying why.
Result<DesignText> ReadDesignDocument(const QByteArray& bytes);

// Why a factor table of numFactors factors of up to maxNumLevels levels cannot be laid out (it
// and the sheet that shows it would need more memory than the computer can give), or nothing.
std::optional<QString> WhyFactorTableTooLarge(std::int32_t numFactors, std::int32_t maxNumLevels);
