#pragma once
// The model text's lines as its reader and its writer both see them, so that whatever the
// writer writes the reader takes for what it was written as.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace modeltext {

// A line of blanks only, or a comment (its first character that is not blank is "#"): neither
// says anything to the model.
bool IsBlankLine(std::string_view line);
bool IsComment(std::string_view line);

// Whether the line starts the rules text: its first character that is not blank is "[", "("
// or "{", or it starts with the word IF or NOT, in any case.
bool StartsRules(std::string_view line);

// The largest weight a level may carry.
constexpr int kMaxWeight = 1'000'000;

// A weight "(N)" at the end of a level's text: the byte where its "(" stands and its digits.
// A parenthesis that holds anything but blanks around at least one digit belongs to the name.
struct WeightMark {
    std::size_t at = 0;
    std::string_view digits;
};
std::optional<WeightMark> FindWeight(std::string_view level);

// The whole number ASCII digits write, or -1 when it is larger than limit.
long long NumberOf(std::string_view digits, long long limit);

// A Constraints row (if factor, if level, then factor, can't-be level) as the rule it means,
// one line, and back from such a line.
using ConstraintFields = std::array<std::string, 4>;
std::string ConstraintRule(const ConstraintFields& row);
std::optional<ConstraintFields> ConstraintOfRule(std::string_view line);

// The text split at each separator, every piece kept (the last one too, empty or not), each
// handed to each(piece, index), which answers false to stop; false when it did.
template <typename Each>
bool ForEachPiece(std::string_view text, char separator, Each each)
{
    for (std::size_t from = 0, index = 0;; ++index) {
        const std::size_t end = text.find(separator, from);
        if (!each(text.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from), index))
            return false;
        if (end == std::string_view::npos)
            return true;
        from = end + 1;
    }
}

}  // namespace modeltext
