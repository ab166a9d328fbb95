#pragma once

#include "qr/detail/gf256.h"
#include "qr/detail/result.h"

#include <span>
#include <string_view>
#include <vector>

namespace qr::detail {

/// Reed-Solomon error-correction codewords over the QR field: the remainder of data(x) * x^n
/// divided by g(x) = (x - a^0)(x - a^1)...(x - a^(n-1)).
class ReedSolomonEncoder {
public:
    static constexpr std::string_view kClassName = "RS编码器类";

    /// An encoder for the given field, which must be the QR field.
    static Result<ReedSolomonEncoder> make(const GF256& field);

    /// g(x) of degree n, extending the cache of generators as needed.
    const GFP& generatorOfDegree(int degree);
    /// Fills the last ecCount entries of `codewords` with the EC codewords of the entries before them.
    Status encode(std::span<int> codewords, int ecCount);
    /// The same for callers that share one encoder: generators up to the cached degree are only read.
    Status encode(std::span<int> codewords, int ecCount) const;
    int cachedDegrees() const { return static_cast<int>(m_generators.size()); }

private:
    explicit ReedSolomonEncoder(const GF256& field) : m_field(&field), m_generators{GFP::one(field)} {}
    static Status encodeWith(const GF256& field, const GFP& generator, std::span<int> codewords, int ecCount);
    static GFP nextGenerator(const GF256& field, const GFP& previous, int degree);

    const GF256* m_field;
    std::vector<GFP> m_generators;
};

/// The encoder over the module-wide field with every generator a QR symbol uses already built.
const ReedSolomonEncoder& sharedReedSolomonEncoder();

} // namespace qr::detail
