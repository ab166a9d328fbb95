#include "qr/detail/gf256.h"

#include <algorithm>

namespace qr::detail {

GF256::GF256(int primitive) : m_identity("GF256:" + std::to_string(primitive)) {
    int x = 1;
    for (int i = 0; i < 256; ++i) {
        m_expTable[i] = x;
        x <<= 1;
        if (x >= 256)
            x ^= primitive;
    }
    for (int i = 0; i < 255; ++i)
        m_logTable[m_expTable[i]] = i;
}

Result<int> GF256::log(int a) const {
    if (a < 1 || a > 255)
        return blankReport();
    return m_logTable[a];
}

Result<int> GF256::inverse(int a) const {
    if (a < 1 || a > 255)
        return blankReport();
    return m_expTable[255 - m_logTable[a]];
}

const GF256& qrField() {
    static const GF256 field(GF256::kQrPrimitive);
    return field;
}

GFP GFP::trimmed(const GF256& field, std::vector<int> coefficients) {
    if (coefficients.size() >= 2 && coefficients.front() == 0) {
        const auto firstNonZero =
            std::find_if(coefficients.begin(), coefficients.end(), [](int c) { return c != 0; });
        if (firstNonZero == coefficients.end())
            return zero(field);
        coefficients.erase(coefficients.begin(), firstNonZero);
    }
    return GFP(field, std::move(coefficients));
}

Result<GFP> GFP::make(const GF256& field, std::vector<int> coefficients) {
    if (coefficients.empty())
        return blankReport();
    return trimmed(field, std::move(coefficients));
}

int GFP::evaluateAt(int a) const {
    if (a == 0)
        return coefficientOf(0);
    int result = 0;
    if (a == 1) {
        for (int c : m_coefficients)
            result ^= c;
        return result;
    }
    result = m_coefficients.front();
    for (std::size_t i = 1; i < m_coefficients.size(); ++i)
        result = m_field->multiply(a, result) ^ m_coefficients[i];
    return result;
}

Result<GFP> GFP::addOrSubtract(const GFP& other) const {
    if (m_field->identity() != other.m_field->identity())
        return makeReport(kClassName, "加或减", "GF256信息不相同");
    if (isZero())
        return other;
    if (other.isZero())
        return *this;
    const std::vector<int>& longer =
        m_coefficients.size() >= other.m_coefficients.size() ? m_coefficients : other.m_coefficients;
    const std::vector<int>& shorter =
        m_coefficients.size() >= other.m_coefficients.size() ? other.m_coefficients : m_coefficients;
    std::vector<int> sum = longer;
    const std::size_t offset = longer.size() - shorter.size();
    for (std::size_t i = 0; i < shorter.size(); ++i)
        sum[offset + i] ^= shorter[i];
    return trimmed(*m_field, std::move(sum));
}

Result<GFP> GFP::multiply(const GFP& other) const {
    if (m_field->identity() != other.m_field->identity())
        return makeReport(kClassName, "加或减", "GF256信息不相同");
    if (isZero() || other.isZero())
        return zero(*m_field);
    std::vector<int> product(m_coefficients.size() + other.m_coefficients.size() - 1, 0);
    for (std::size_t i = 0; i < m_coefficients.size(); ++i) {
        for (std::size_t j = 0; j < other.m_coefficients.size(); ++j) {
            product[i + j] ^= m_field->multiply(m_coefficients[i], other.m_coefficients[j]);
        }
    }
    return trimmed(*m_field, std::move(product));
}

GFP GFP::multiplyScalar(int scalar) const {
    if (scalar == 0)
        return zero(*m_field);
    if (scalar == 1)
        return *this;
    std::vector<int> product = m_coefficients;
    for (int& c : product)
        c = m_field->multiply(c, scalar);
    return trimmed(*m_field, std::move(product));
}

Result<GFP> GFP::timesMonomial(int degree, int coefficient) const {
    if (degree < 0)
        return makeReport(kClassName, "叠加单项式", "维度小于0");
    if (coefficient == 0)
        return zero(*m_field);
    std::vector<int> product(m_coefficients.size() + static_cast<std::size_t>(degree), 0);
    for (std::size_t i = 0; i < m_coefficients.size(); ++i)
        product[i] = m_field->multiply(m_coefficients[i], coefficient);
    return trimmed(*m_field, std::move(product));
}

Result<GFP> GFP::makeMonomial(const GF256& field, int degree, int coefficient) {
    if (degree < 0)
        return makeReport(kClassName, "构造单项式", "度小于0");
    if (coefficient == 0)
        return zero(field);
    std::vector<int> coefficients(static_cast<std::size_t>(degree) + 1, 0);
    coefficients.front() = coefficient;
    return GFP(field, std::move(coefficients));
}

Result<GFPP::QuotientRemainder> GFPP::divide(const GFP& dividend, const GFP& divisor) {
    if (dividend.field().identity() != divisor.field().identity())
        return makeReport(kClassName, "分离", "GF256不同");
    if (divisor.isZero())
        return makeReport(kClassName, "分离", "除数为0");
    const GF256& field = dividend.field();
    GFP quotient = GFP::zero(field);
    GFP remainder = dividend;
    QR_ASSIGN_OR_RETURN(const int inverseLeading, field.inverse(divisor.coefficientOf(divisor.degree())));
    while (remainder.degree() >= divisor.degree() && !remainder.isZero()) {
        const int degreeDifference = remainder.degree() - divisor.degree();
        const int scale = field.multiply(remainder.coefficientOf(remainder.degree()), inverseLeading);
        QR_ASSIGN_OR_RETURN(const GFP term, GFP::makeMonomial(field, degreeDifference, scale));
        QR_ASSIGN_OR_RETURN(quotient, quotient.addOrSubtract(term));
        QR_ASSIGN_OR_RETURN(const GFP subtrahend, divisor.timesMonomial(degreeDifference, scale));
        QR_ASSIGN_OR_RETURN(remainder, remainder.addOrSubtract(subtrahend));
    }
    return QuotientRemainder{std::move(quotient), std::move(remainder)};
}

} // namespace qr::detail
