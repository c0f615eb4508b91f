#pragma once
// The model text: a design as plain UTF-8 lines, the form testers keep in version control.
//
//     # a comment line
//     OS: Windows 11 | Win11, macOS (5), ~Solaris      a factor and its levels
//     { OS, Browser, Locale } @ 3                      a group (or { [OS], [Browser] } @ 3)
//     IF [OS] = "macOS" THEN [Browser] <> "Edge";      the rules text, to the end of the file
//
// A factor's name holds any character but ":", a level's any but "," and "|". A level may end
// in a weight "(N)", N from 1 to 1000000 (a preference among equally good levels; a
// parenthesis holding anything else is part of the name), start with "~" (invalid, tried on
// its own in a negative test; "~" is not part of its name) and carry other names after "|".
// The first line that starts with IF, NOT, "[", "(" or "{" starts the rules text, with the
// comments above it after the last factor; a group on one line is written there as the rules
// write it ({ [A], [B] } @ 2;). A Constraints row is written as the rule it means; such rules
// right after the factors are read back as rows when they mean one (two different factors of
// the design, a level of each). Comments and blank lines stay where they stood (the design's
// textLayout), so that a text written by Vantrel reads and writes back byte for byte.
// Previous tests and the matrix have no place here.

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

// Reads the text (the design's maxNumLevels is the largest level count). The first problem
// fails the read, saying where (its line and column) and why.
Result<DesignText, DesignReadFailure> ReadModelText(const QByteArray& bytes);

// The design as model text (its previous tests and matrix left out). Fails, naming every name
// and text that cannot be written so that it reads back the same.
Result<QByteArray> WriteModelText(const DesignText& design);
