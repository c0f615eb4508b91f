#pragma once
// The model text, a design as plain UTF-8 lines (the format is drawn in <vantrel/modeltext.hpp>),
// read into and written from the design tables through the library. The design's textLayout
// keeps its comments, blank lines, groups' short forms and line ends, so that a text written by
// Vantrel reads and writes back byte for byte. Previous tests and the matrix have no place here.

#include "files/DesignReadFailure.h"
#include "model/DesignText.h"
#include "platform/Result.h"

#include <QByteArray>
#include <QString>

// What a design file's bytes are, told by their content: a design document when their first
// character that is not blank (after a byte order mark) is "<", or when they are empty; else a
// model text, unless they hold a NUL byte, as a picture or an archive does.
enum class DesignFileKind { Document, ModelText, Neither };
DesignFileKind KindOfDesignFile(const QByteArray& bytes);

// Reads the text (the design's maxNumLevels is the largest level count). The first problem fails the
// read, saying where (its line and column) and why.
Result<DesignText, DesignReadFailure> ReadModelText(const QByteArray& bytes);

// The design as model text (its previous tests and matrix left out). Fails, naming every name
// and text that cannot be written so that it reads back the same.
Result<QByteArray> WriteModelText(const DesignText& design);
