#pragma once
// The model text: a design as plain UTF-8 lines, the form testers keep in version control.
//
//     # a comment line
//     OS: Windows 11 | Win11, macOS (5), ~Solaris      a factor and its levels
//     { OS, Browser, Locale } @ 3                      a group (or { [OS], [Browser] } @ 3)
//     IF [OS] = "macOS" THEN [Browser] <> "Edge";      the rules text, to the end of the file
//
// A factor's name holds any character but ":", a level's any but "," and "|". A level may end
// in a weight "(N)", N at least 1 (a preference among equally good levels), start with "~"
// (invalid, tried on its own in a negative test; "~" is not part of its name) and carry other
// names after "|". The first line that starts with IF, NOT, "[", "(" or "{" starts the rules
// text, with the comments above it after the last factor; a group on one line is written there
// as the rules write it ({ [A], [B] } @ 2;). A Constraints row is written as the rule it means,
// and such rules at the start of the rules text are read back as Constraints rows. Previous tests and the matrix have no place here.

#include "files/DesignReadFailure.h"
#include "model/DesignText.h"
#include "platform/Result.h"

#include <QByteArray>
#include <QString>

// Whether the bytes are a model text rather than a design document: they hold no control
// character but tabs and line ends, and their first character that is not blank (after a byte
// order mark) is not "<". An empty file is neither.
bool IsModelText(const QByteArray& bytes);

// Reads the text (the design's maxNumLevels is the largest level count). The first problem
// fails the read, saying where (its line and column) and why.
Result<DesignText, DesignReadFailure> ReadModelText(const QByteArray& bytes);

// The design as model text (its previous tests and matrix left out). Fails, saying why, when
// a name cannot be written so that it reads back the same.
Result<QByteArray> WriteModelText(const DesignText& design);
