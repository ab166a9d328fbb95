#pragma once

#include "qr/detail/result.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qr::detail {

/// A growable bit sequence, most significant bit first: bit i is bit 7 - (i & 7) of byte i >> 3.
/// The store starts at 32 zero bytes and doubles; only appends write to it, so every byte past the
/// last valid bit stays zero.
class BitVector {
public:
    static constexpr std::string_view kClassName = "位向量类";
    static constexpr std::size_t kInitialStore = 32;

    BitVector() : m_bytes(kInitialStore, 0) {}

    /// A copy of the whole store (its capacity, not only sizeInBytes() bytes).
    std::vector<std::uint8_t> getBytes() const { return m_bytes; }
    /// Replaces the store; the size in bits is left as it was (a store too short for it is zero-extended).
    void setBytes(std::vector<std::uint8_t> bytes);
    int size() const { return m_sizeInBits; }
    int sizeInBytes() const { return (m_sizeInBits + 7) >> 3; }

    /// Bit `index` (0 or 1).
    Result<int> at(int index) const;
    /// Appends one bit, which must be 0 or 1.
    Status appendBit(int bit);
    /// Appends the value reduced to a byte; callers keep the vector byte-aligned.
    void appendByte(std::uint32_t value);
    /// Appends the low `count` bits of value, most significant first; a count outside 0-32 appends nothing.
    void appendBits(std::uint32_t value, int count);
    void clear();
    /// The bits as "1,0,1".
    std::string toString() const;

    /// Bit `index`, for loops that have already checked it against size().
    int bitUnchecked(int index) const {
        return (m_bytes[static_cast<std::size_t>(index) >> 3] >> (7 - (index & 7))) & 1;
    }
    /// The store, for readers that take whole bytes.
    const std::vector<std::uint8_t>& store() const { return m_bytes; }

private:
    void appendBitUnchecked(int bit);

    std::vector<std::uint8_t> m_bytes;
    int m_sizeInBits = 0;
};

/// A bit vector that also holds a second vector, on which its own operations act: the encoder
/// appends the data bits to the header with it, matrix construction masks the format bits with it.
class BitVectorHolder : public BitVector {
public:
    static constexpr std::string_view kHolderName = "位向量子类";

    void setHeld(BitVector vector) { m_held = std::move(vector); }
    BitVector getHeld() const { return m_held; }
    /// Appends every bit of the vector to the held one.
    void appendToHeld(const BitVector& vector);
    /// XORs a vector of the same bit length into the held one and returns a copy of the result.
    Result<BitVector> xorIntoHeld(const BitVector& vector);

private:
    BitVector m_held;
};

} // namespace qr::detail
