#include "engine/OrthogonalArray.h"

std::vector<int32_t> OrthogonalArray(const FiniteField& field, int32_t t, int32_t columns)
{
    const int32_t q = field.Order();
    std::vector<int32_t> codes;
    std::vector<int32_t> coefficients(static_cast<size_t>(t), 0);  // the lowest degree changes fastest
    for (;;) {
        for (int32_t x = 0; x < columns; ++x) {
            if (x == q) {
                codes.push_back(coefficients[static_cast<size_t>(t - 1)]);
                continue;
            }
            int32_t value = 0;  // Horner's rule from the highest degree down
            for (int32_t d = t - 1; d >= 0; --d)
                value = field.Add(field.Multiply(value, x), coefficients[static_cast<size_t>(d)]);
            codes.push_back(value);
        }
        int32_t d = 0;
        while (d < t && ++coefficients[static_cast<size_t>(d)] == q)
            coefficients[static_cast<size_t>(d++)] = 0;
        if (d == t)
            return codes;
    }
}
