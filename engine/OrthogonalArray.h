#pragma once
// Orthogonal arrays of strength t from the field of q elements (t <= q): one row per
// polynomial of degree below t over the field, its values at the q elements, and one more
// column, its coefficient of degree t - 1. Any t columns hold every combination of t levels
// exactly once (two polynomials of degree below t agreeing at t points are one), so the
// array has q^t rows and up to q + 1 columns. The constant polynomials come first: they are
// the constant rows of the first q columns.

#include "engine/FiniteField.h"

#include <cstdint>
#include <vector>

// rows x columns codes (0-based), columns <= q + 1.
std::vector<int32_t> OrthogonalArray(const FiniteField& field, int32_t t, int32_t columns);
