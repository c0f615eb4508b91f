#pragma once
// The bridge between the design tables of the sheets and the library: the factors with their
// levels (invalid marks, weights, other names), the Constraints rows, the rules text, the
// previous tests and a model text's layout, names as UTF-8; the matrix stays behind.

#include "model/DesignText.h"

#include <vantrel/design.hpp>
#include <vantrel/model.hpp>

#include <optional>
#include <string>
#include <string_view>

// A design as a command of the window or the command line reads it: the tables, validated, and
// once they check, the library's design compiled from them.
struct CommandDesign {
    DesignText text;
    std::optional<vantrel::Design> design;  // once compiled
};

// rulesFirstLine: the line of the file the rules text starts on, for the lines messages tell.
vantrel::Model ToModel(const DesignText& design, int rulesFirstLine = 1);
// The design tables of a model (its seeds left out); maxNumLevels is the largest level count.
DesignText ToDesignText(const vantrel::Model& model);

// Text as UTF-8 for the library and back. A surrogate without its partner, which no UTF-8
// holds, is kept as the three bytes it would take, so that the library can name it in a
// message and the message names it back.
std::string Utf8Of(const QString& text);
QString TextOfUtf8(std::string_view bytes);
