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
        if ((m_sizeInBits & 7) == 0 && remaining >= 8) {
            appendByte((value >> (remaining - 8)) & 0xFFu);
            remaining -= 8;
        } else {
            appendBitUnchecked(static_cast<int>((value >> (remaining - 1)) & 1u));
            remaining -= 1;
        }
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
    // Whole bytes while the held vector is byte-aligned, single bits otherwise: the same bits either way.
    if ((m_held.size() & 7) == 0) {
        for (; index + 8 <= count; index += 8)
            m_held.appendByte(vector.store()[static_cast<std::size_t>(index) >> 3]);
    }
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
