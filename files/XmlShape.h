#pragma once
// A quick look at the shape of an XML document before it is parsed: how deep its elements
// nest and how many attributes one element carries. A document parser takes time that grows
// faster than the file with either (a few hundred kilobytes of nested elements took minutes),
// so documents far beyond what they should hold are refused first. One pass over the bytes,
// without building anything.

#include <QByteArray>

struct XmlShape {
    int depth = 0;       // deepest nesting of elements seen (the root element is 1)
    int attributes = 0;  // most attributes on one element
};

// Stops looking once either limit is passed; what it returned then passes it.
XmlShape MeasureXmlShape(const QByteArray& bytes, int maxDepth, int maxAttributes);
