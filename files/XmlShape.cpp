#include "files/XmlShape.h"

#include <algorithm>
#include <cstring>

namespace {

// The position after the first occurrence of `end` from `from`, or the end of the bytes.
qsizetype After(const QByteArray& bytes, qsizetype from, const char* end)
{
    const qsizetype at = bytes.indexOf(end, from);
    return at < 0 ? bytes.size() : at + qsizetype(qstrlen(end));
}

bool StartsAt(const QByteArray& bytes, qsizetype at, const char* text)
{
    const auto length = qsizetype(qstrlen(text));
    return at + length <= bytes.size() && memcmp(bytes.constData() + at, text, size_t(length)) == 0;
}

}  // namespace

XmlShape MeasureXmlShape(const QByteArray& bytes, int maxDepth, int maxAttributes)
{
    XmlShape shape;
    int depth = 0;
    qsizetype i = 0;
    const qsizetype size = bytes.size();
    while (i < size && shape.depth <= maxDepth && shape.attributes <= maxAttributes) {
        i = bytes.indexOf('<', i);
        if (i < 0)
            break;
        if (StartsAt(bytes, i, "<!--")) {
            i = After(bytes, i + 4, "-->");
        } else if (StartsAt(bytes, i, "<![CDATA[")) {
            i = After(bytes, i + 9, "]]>");
        } else if (i + 1 < size && (bytes[i + 1] == '?' || bytes[i + 1] == '!')) {
            i = After(bytes, i + 2, ">");  // a declaration or processing instruction
        } else if (i + 1 < size && bytes[i + 1] == '/') {
            --depth;
            i = After(bytes, i + 2, ">");
        } else {
            // A start tag: an attribute is a '=' outside quotes; '/>' closes the element at once.
            int attributes = 0;
            char quote = 0;
            qsizetype j = i + 1;
            for (; j < size; ++j) {
                const char c = bytes[j];
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '=') {
                    ++attributes;
                } else if (c == '>') {
                    break;
                }
            }
            const bool empty = j > i && j < size && bytes[j - 1] == '/';
            if (!empty)
                ++depth;
            shape.depth = std::max(shape.depth, empty ? depth + 1 : depth);
            shape.attributes = std::max(shape.attributes, attributes);
            i = j + 1;
        }
    }
    return shape;
}
