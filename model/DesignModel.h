#pragma once
// The bridge between the design tables of the sheets and the library: the factors with their
// levels (invalid marks, weights, other names), the Constraints rows, the rules text and the
// previous tests, names as UTF-8; the matrix stays behind.

#include "model/DesignText.h"

#include <vantrel/model.hpp>

// rulesFirstLine: the line of the file the rules text starts on, for the lines messages tell.
vantrel::Model ToModel(const DesignText& design, int rulesFirstLine = 1);
