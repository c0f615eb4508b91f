#pragma once
// The finite field of q elements for a prime power q = p^m: elements 0..q-1 stand for the
// polynomials over the integers mod p of degree below m (the digits of the element in base p),
// multiplied modulo an irreducible polynomial found when the field is made. Small fields only
// (q up to kLargest): the tables of sums and products are q x q.

#include <cstdint>
#include <optional>
#include <vector>

class FiniteField {
public:
    static constexpr int32_t kLargest = 64;

    // The field of q elements, or nothing when q is not a prime power of at most kLargest.
    static std::optional<FiniteField> Of(int32_t q);
    // The smallest prime power of at least n (n up to kLargest).
    static int32_t PrimePowerAtLeast(int32_t n);

    int32_t Order() const { return q_; }
    int32_t Add(int32_t a, int32_t b) const { return add_[static_cast<size_t>(a) * q_ + b]; }
    int32_t Multiply(int32_t a, int32_t b) const { return multiply_[static_cast<size_t>(a) * q_ + b]; }

private:
    FiniteField() = default;
    // The product of two polynomials (as elements) modulo the field's polynomial.
    int32_t PolynomialProduct(int32_t a, int32_t b) const;

    int32_t q_ = 0;
    int32_t p_ = 0;
    int32_t m_ = 0;
    std::vector<int32_t> modulus_;  // the monic irreducible polynomial's m lower coefficients
    std::vector<int32_t> add_;
    std::vector<int32_t> multiply_;
};
