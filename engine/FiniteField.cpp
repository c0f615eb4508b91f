#include "engine/FiniteField.h"

namespace {

// The prime p and exponent m of q = p^m, or p = 0 when q is no prime power.
void PrimePower(int32_t q, int32_t& p, int32_t& m)
{
    p = 0;
    m = 0;
    for (int32_t d = 2; d <= q; ++d)
        if (q % d == 0) {
            p = d;
            break;
        }
    if (p == 0)
        return;
    for (int32_t rest = q; rest > 1; rest /= p, ++m)
        if (rest % p != 0) {
            p = 0;
            return;
        }
}

}  // namespace

int32_t FiniteField::PrimePowerAtLeast(int32_t n)
{
    for (int32_t q = std::max(n, 2);; ++q) {
        int32_t p = 0, m = 0;
        PrimePower(q, p, m);
        if (p != 0)
            return q;
    }
}

int32_t FiniteField::PolynomialProduct(int32_t a, int32_t b) const
{
    // Digits of a times b, then the terms of degree m and above folded back with x^m =
    // -(modulus's lower terms).
    std::vector<int32_t> product(static_cast<size_t>(2 * m_), 0);
    for (int32_t i = 0, x = a; i < m_; ++i, x /= p_)
        for (int32_t j = 0, y = b; j < m_; ++j, y /= p_)
            product[static_cast<size_t>(i + j)] = (product[static_cast<size_t>(i + j)] + (x % p_) * (y % p_)) % p_;
    for (int32_t degree = 2 * m_ - 1; degree >= m_; --degree) {
        const int32_t c = product[static_cast<size_t>(degree)];
        for (int32_t i = 0; i < m_ && c != 0; ++i) {
            int32_t& term = product[static_cast<size_t>(degree - m_ + i)];
            term = ((term - c * modulus_[static_cast<size_t>(i)]) % p_ + p_) % p_;
        }
    }
    int32_t element = 0;
    for (int32_t i = m_ - 1; i >= 0; --i)
        element = element * p_ + product[static_cast<size_t>(i)];
    return element;
}

std::optional<FiniteField> FiniteField::Of(int32_t q)
{
    FiniteField field;
    PrimePower(q, field.p_, field.m_);
    if (field.p_ == 0 || q > kLargest)
        return std::nullopt;
    field.q_ = q;
    field.add_.resize(static_cast<size_t>(q) * q);
    field.multiply_.resize(static_cast<size_t>(q) * q);
    // Sums digit by digit; products modulo the first monic polynomial of degree m whose
    // products leave no zero divisor (which makes it irreducible).
    for (int32_t a = 0; a < q; ++a)
        for (int32_t b = 0; b < q; ++b) {
            int32_t sum = 0;
            for (int32_t x = a, y = b, place = 1; place < q; x /= field.p_, y /= field.p_, place *= field.p_)
                sum += ((x + y) % field.p_) * place;
            field.add_[static_cast<size_t>(a) * q + b] = sum;
        }
    field.modulus_.assign(static_cast<size_t>(field.m_), 0);
    for (int32_t lower = 0; lower < q; ++lower) {
        for (int32_t i = 0, x = lower; i < field.m_; ++i, x /= field.p_)
            field.modulus_[static_cast<size_t>(i)] = x % field.p_;
        bool divisorFree = true;
        for (int32_t a = 1; a < q && divisorFree; ++a)
            for (int32_t b = 1; b < q && divisorFree; ++b) {
                const int32_t product = field.PolynomialProduct(a, b);
                field.multiply_[static_cast<size_t>(a) * q + b] = product;
                divisorFree = product != 0;
            }
        if (divisorFree)
            return field;
    }
    return std::nullopt;
}
