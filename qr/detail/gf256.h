#pragma once

#include "qr/detail/result.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace qr::detail {

/// The field GF(2^8) built from a primitive polynomial, with generator element 2.
class GF256 {
public:
    static constexpr std::string_view kClassName = "GF256";
    static constexpr int kQrPrimitive = 285; // x^8 + x^4 + x^3 + x^2 + 1

    explicit GF256(int primitive);

    static constexpr int addOrSubtract(int a, int b) { return a ^ b; }
    int exp(int a) const { return m_expTable[a & 255]; }
    Result<int> log(int a) const;
    Result<int> inverse(int a) const;
    int multiply(int a, int b) const {
        if (a == 0 || b == 0)
            return 0;
        if (a == 1)
            return b;
        if (b == 1)
            return a;
        return m_expTable[(m_logTable[a] + m_logTable[b]) % 255];
    }
    /// log of a non-zero element, for loops that have already set zero aside.
    int logOfNonZero(int a) const { return m_logTable[a & 255]; }
    /// "GF256:" and the primitive polynomial; two fields are the same exactly when these agree.
    const std::string& identity() const { return m_identity; }

private:
    std::array<int, 256> m_expTable{};
    std::array<int, 256> m_logTable{};
    std::string m_identity;
};

/// The module-wide QR field (primitive 285), built once by initModule.
const GF256& qrField();

/// A polynomial over a field, highest-degree coefficient first; only the zero polynomial starts with 0.
class GFP {
public:
    static constexpr std::string_view kClassName = "GFP";

    /// Builds a polynomial, dropping leading zero coefficients; an empty list is a fault.
    static Result<GFP> make(const GF256& field, std::vector<int> coefficients);
    static GFP zero(const GF256& field) { return GFP(field, {0}); }
    static GFP one(const GF256& field) { return GFP(field, {1}); }

    const GF256& field() const { return *m_field; }
    const std::vector<int>& coefficients() const { return m_coefficients; }
    int degree() const { return static_cast<int>(m_coefficients.size()) - 1; }
    bool isZero() const { return m_coefficients.front() == 0; }
    int coefficientOf(int degree) const { return m_coefficients[m_coefficients.size() - 1 - degree]; }
    int evaluateAt(int a) const;

    Result<GFP> addOrSubtract(const GFP& other) const;
    Result<GFP> multiply(const GFP& other) const;
    GFP multiplyScalar(int scalar) const;
    /// This polynomial times c * x^d.
    Result<GFP> timesMonomial(int degree, int coefficient) const;
    /// The polynomial c * x^d.
    static Result<GFP> makeMonomial(const GF256& field, int degree, int coefficient);

private:
    GFP(const GF256& field, std::vector<int> coefficients)
        : m_field(&field), m_coefficients(std::move(coefficients)) {}
    static GFP trimmed(const GF256& field, std::vector<int> coefficients);

    const GF256* m_field; // fields are module-wide constants that outlive every polynomial
    std::vector<int> m_coefficients;
};

/// Polynomial division.
struct GFPP {
    static constexpr std::string_view kClassName = "GFPP";
    struct QuotientRemainder {
        GFP quotient;
        GFP remainder;
    };
    static Result<QuotientRemainder> divide(const GFP& dividend, const GFP& divisor);
};

} // namespace qr::detail
