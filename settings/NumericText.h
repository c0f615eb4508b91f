#pragma once
// Numbers typed or stored as text. A numeric text may carry blanks around it, a sign, a
// decimal point and an exponent ("  12 ", "-3", "2.5", "1e3"); it is rounded to a whole
// number the way the program always converts: halves go to the even neighbour.

#include <QString>

#include <cstdint>
#include <optional>

// The value of a numeric text; nothing for an empty or non-numeric one. A text too large
// for a double gives an infinite value of its sign.
std::optional<double> NumericTextValue(const QString& text);

// `value` rounded half to even; nothing when the result does not fit 32 bits.
std::optional<std::int32_t> RoundToLong(double value);

// Both steps: nothing when the text is not numeric or its value does not fit 32 bits.
std::optional<std::int32_t> NumericTextToLong(const QString& text);
