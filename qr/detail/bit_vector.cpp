#include "qr/detail/bit_vector.h"

#include <algorithm>

namespace qr::detail {

Result<int> BitVector::at(int index) const {
    if (index < 0 || index >= m_sizeInBits)
        return makeReport(kClassName, "取位值", "索引超限");
    return bitUnchecked(index);
}

Status BitVector::appendBit(int bit) {
    if (bit != 0 && bit != 1)
        return makeReport(kClassName, "追加位", "位数据只能是0或1");
    appendBitUnchecked(bit);
    return {};
}

void BitVector::appendBitUnchecked(int bit) {
    const int offset = m_sizeInBits & 7;
    if (offset == 0) {
        // Reserve the next byte (zeroed) without counting it.
        appendByte(0);
        m_sizeInBits -= 8;
    }
    m_bytes[static_cast<std::size_t>(m_sizeInBits) >> 3] |= static_cast<std::uint8_t>(bit << (7 - offset));
    ++m_sizeInBits;
}

void BitVector::setBytes(std::vector<std::uint8_t> bytes) {
    m_bytes = std::move(bytes);
    if (m_bytes.size() < static_cast<std::size_t>(sizeInBytes()))
        m_bytes.resize(static_cast<std::size_t>(sizeInBytes()), 0);
}

void BitVector::appendByte(std::uint32_t value) {
    const auto index = static_cast<std::size_t>(m_sizeInBits) >> 3;
    while (index >= m_bytes.size())
        m_bytes.resize(std::max(m_bytes.size() * 2, kInitialStore), 0);
    m_bytes[index] = static_cast<std::uint8_t>(value);
    m_sizeInBits += 8;
}

void BitVector::appendBits(std::uint32_t value, int count) {
    if (count < 0 || count > 32)
        return;
    int remaining = count;
    while (remaining > 0) {
        const int offset = m_sizeInBits & 7;
        if (offset == 0) {
            if (remaining >= 8) {
                appendByte((value >> (remaining - 8)) & 0xFFu);
                remaining -= 8;
                continue;
            }
            // Reserve the next byte (zeroed) without counting it.
            appendByte(0);
            m_sizeInBits -= 8;
        }
        // As many bits as fit into the current byte at once: the same bits, in the same places, as
        // appending them one at a time.
        const int take = std::min(8 - offset, remaining);
        const std::uint32_t chunk = (value >> (remaining - take)) & ((1u << take) - 1u);
        m_bytes[static_cast<std::size_t>(m_sizeInBits) >> 3] |=
            static_cast<std::uint8_t>(chunk << (8 - offset - take));
        m_sizeInBits += take;
        remaining -= take;
    }
}

void BitVector::clear() {
    m_sizeInBits = 0;
    m_bytes.assign(kInitialStore, 0);
}

std::string BitVector::toString() const {
    std::string text;
    text.reserve(static_cast<std::size_t>(m_sizeInBits) * 2);
    for (int index = 0; index < m_sizeInBits; ++index) {
        if (index > 0)
            text += ',';
        text += static_cast<char>('0' + bitUnchecked(index));
    }
    return text;
}

void BitVectorHolder::appendToHeld(const BitVector& vector) {
    const int count = vector.size();
    int index = 0;
    // Whole source bytes at a time, then the bits of a last partial byte: the same bits in order.
    for (; index + 8 <= count; index += 8)
        m_held.appendBits(vector.store()[static_cast<std::size_t>(index) >> 3], 8);
    for (; index < count; ++index)
        m_held.appendBits(static_cast<std::uint32_t>(vector.bitUnchecked(index)), 1);
}

Result<BitVector> BitVectorHolder::xorIntoHeld(const BitVector& vector) {
    if (vector.size() != m_held.size()) {
        return makeReport(kHolderName, "异或", "两个位向量长度不同，不能做异或运算。");
    }
    std::vector<std::uint8_t> bytes = m_held.getBytes();
    const std::vector<std::uint8_t>& other = vector.store();
    for (int index = 0; index < m_held.sizeInBytes(); ++index)
        bytes[index] ^= other[index];
    m_held.setBytes(std::move(bytes));
    return m_held;
}

} // namespace qr::detail
