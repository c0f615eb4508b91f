#pragma once
// The model text's lines as its reader and its writer both see them, so that whatever the
// writer writes the reader takes for what it was written as.

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace ModelTextSyntax {

// A line of blanks only, or a comment (its first character that is not blank is "#"): neither
// says anything to the design.
bool IsBlank(QStringView line);
bool IsComment(QStringView line);

// Whether the line starts the rules text: its first character that is not blank is "[", "("
// or "{", or it starts with the word IF or NOT, in any case.
bool StartsRules(QStringView line);

// The largest weight a level may carry.
constexpr int kMaxWeight = 1'000'000;

// A weight "(N)" at the end of a level's text: where its "(" stands and its digits. A
// parenthesis that holds anything but blanks around at least one digit belongs to the name.
struct WeightMark {
    qsizetype at = 0;
    QStringView digits;
};
std::optional<WeightMark> FindWeight(QStringView level);

// A Constraints row (if factor, if level, then factor, can't-be level) as the rule it means,
// one line, and back from such a line.
using ConstraintFields = std::array<QString, 4>;
QString ConstraintRule(const ConstraintFields& row);
std::optional<ConstraintFields> ConstraintOfRule(const QString& line);

// A character as the messages name it: "U+000C".
QString CodePoint(QChar c);

}  // namespace ModelTextSyntax
