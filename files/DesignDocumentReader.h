#pragma once
// Reading a design document (the layout is drawn in CFile.h) from its bytes. A quick look at
// the document's shape refuses nesting and attribute lists no design has, then one pass of a
// stream reader keeps only what the design tables need: the names of the sections, the items
// below them (a factor, a constraint, a previous test, a row) and the texts of their fields.
// Time and memory grow with the file, not with its nesting.

#include "model/DesignText.h"

#include <QByteArray>
#include <QString>

// Reads the document into contents (maxNumLevels comes in as 0 and is raised to the largest
// level count). False when the bytes are no design of this layout: contents keeps every value
// then and reason gets a sentence saying why.
bool ReadDesignDocument(const QByteArray& bytes, DesignText& contents, QString& reason);
