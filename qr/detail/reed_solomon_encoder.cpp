#include "qr/detail/reed_solomon_encoder.h"

#include <algorithm>

namespace qr::detail {

namespace {
constexpr int kLargestEcPerBlock = 30; // the most EC codewords any block of the version table has
}

Result<ReedSolomonEncoder> ReedSolomonEncoder::make(const GF256& field) {
    if (field.identity() != qrField().identity())
        return makeReport(kClassName, "RS编码器", "GF标识不相同");
    return ReedSolomonEncoder(field);
}

GFP ReedSolomonEncoder::nextGenerator(const GF256& field, const GFP& previous, int degree) {
    // g(d) = g(d - 1) * (x + a^(d - 1)); both come from one field, so the product cannot fail.
    std::vector<int> product(previous.coefficients().size() + 1, 0);
    const int root = field.exp(degree - 1);
    for (std::size_t i = 0; i < previous.coefficients().size(); ++i) {
        product[i] ^= previous.coefficients()[i];
        product[i + 1] ^= field.multiply(previous.coefficients()[i], root);
    }
    return GFP::make(field, std::move(product)).value();
}

const GFP& ReedSolomonEncoder::generatorOfDegree(int degree) {
    for (int next = cachedDegrees(); next <= degree; ++next) {
        m_generators.push_back(nextGenerator(*m_field, m_generators.back(), next));
    }
    return m_generators[std::max(degree, 0)];
}

Status ReedSolomonEncoder::encode(std::span<int> codewords, int ecCount) {
    if (ecCount > 0)
        generatorOfDegree(ecCount);
    return std::as_const(*this).encode(codewords, ecCount);
}

Status ReedSolomonEncoder::encode(std::span<int> codewords, int ecCount) const {
    if (ecCount <= 0)
        return makeReport(kClassName, "编码", "没有容错字节");
    const int dataCount = static_cast<int>(codewords.size()) - ecCount;
    if (dataCount <= 0)
        return makeReport(kClassName, "编码", "未提供数据字节");
    if (ecCount < cachedDegrees())
        return encodeWith(*m_field, m_generators[ecCount], codewords, ecCount);
    GFP generator = m_generators.back();
    for (int degree = cachedDegrees(); degree <= ecCount; ++degree)
        generator = nextGenerator(*m_field, generator, degree);
    return encodeWith(*m_field, generator, codewords, ecCount);
}

Status ReedSolomonEncoder::encodeWith(const GF256& field, const GFP& generator, std::span<int> codewords,
                                      int ecCount) {
    // Long division by the monic generator, kept as a shift register of the running remainder:
    // the same remainder the polynomial division gives, without a polynomial per step.
    const std::vector<int>& g = generator.coefficients(); // g[0] == 1, then g[1] ... g[ecCount]
    std::vector<int> logG(static_cast<std::size_t>(ecCount));
    for (int j = 0; j < ecCount; ++j)
        logG[j] = g[j + 1] == 0 ? -1 : field.logOfNonZero(g[j + 1]);
    const int dataCount = static_cast<int>(codewords.size()) - ecCount;
    std::vector<int> remainder(static_cast<std::size_t>(ecCount), 0);
    for (int i = 0; i < dataCount; ++i) {
        const int factor = (codewords[i] & 255) ^ remainder.front();
        std::copy(remainder.begin() + 1, remainder.end(), remainder.begin());
        remainder.back() = 0;
        if (factor == 0)
            continue;
        const int logFactor = field.logOfNonZero(factor);
        for (int j = 0; j < ecCount; ++j) {
            if (logG[j] >= 0)
                remainder[j] ^= field.exp((logG[j] + logFactor) % 255);
        }
    }
    std::copy(remainder.begin(), remainder.end(), codewords.begin() + dataCount);
    return {};
}

const ReedSolomonEncoder& sharedReedSolomonEncoder() {
    static const ReedSolomonEncoder encoder = [] {
        ReedSolomonEncoder built = ReedSolomonEncoder::make(qrField()).value();
        built.generatorOfDegree(kLargestEcPerBlock);
        return built;
    }();
    return encoder;
}

} // namespace qr::detail
