#pragma once
// What a model text holds besides the design, kept so that the text writes back as it was
// read: its comment and blank lines where they stood, and the short form it wrote a group in.
// A design made on the sheets has none of them, and the blank lines of a text written afresh.

#include <QString>

#include <cstdint>
#include <map>

struct ModelTextLayout {
    // The comment and blank lines above each factor's line, by factor column 1..n, each line
    // ended by "\n"; those at the top of the text stand above the first factor.
    std::map<std::int32_t, QString> aboveFactor;
    // The blank lines between the last factor and the Constraints rows, and between the rows
    // (or the last factor, when there are none) and the rules text. A comment there is the
    // rules text's own first line.
    QString aboveRows = QStringLiteral("\n");
    QString aboveRules = QStringLiteral("\n");
    // The blank lines that end a text without rules (a rules text keeps its own).
    QString endLines;
    // The groups the text wrote in its own form ("{ A, B } @ 2"), by the line of the rules text
    // that stands for each ("{ [A], [B] } @ 2;").
    std::map<QString, QString> groupLines;
    // Whether the text's lines end with CR LF rather than LF: its first line does, or a line of
    // it ends with a CR of its own (CR CR LF), which only CR LF line ends keep.
    bool crLfLineEnds = false;

    friend bool operator==(const ModelTextLayout&, const ModelTextLayout&) = default;
};
