#include "qr/detail/bit_vector.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using qr::detail::BitVector;
using qr::detail::BitVectorHolder;

std::vector<std::uint8_t> firstBytes(const BitVector& bits, std::size_t count) {
    const std::vector<std::uint8_t> store = bits.getBytes();
    return {store.begin(), store.begin() + static_cast<std::ptrdiff_t>(count)};
}

TEST(BitVector, ANewVectorIsEmptyWithAStoreOf32ZeroBytes) {
    const BitVector bits;
    EXPECT_EQ(bits.size(), 0);
    EXPECT_EQ(bits.sizeInBytes(), 0);
    EXPECT_EQ(bits.getBytes(), std::vector<std::uint8_t>(32, 0));
    EXPECT_EQ(bits.toString(), "");
}

TEST(BitVector, AppendBitsTakesWholeBytesWhenAlignedAndSingleBitsOtherwise) {
    BitVector nine;
    nine.appendBits(0x1FF, 9);
    EXPECT_EQ(nine.size(), 9);
    EXPECT_EQ(nine.sizeInBytes(), 2);
    EXPECT_EQ(firstBytes(nine, 2), (std::vector<std::uint8_t>{0xFF, 0x80}));
    EXPECT_EQ(nine.at(8).value(), 1);

    BitVector unaligned;
    unaligned.appendBits(5, 3);
    unaligned.appendBits(0xAB, 8);
    EXPECT_EQ(unaligned.toString(), "1,0,1,1,0,1,0,1,0,1,1");
    EXPECT_EQ(firstBytes(unaligned, 2), (std::vector<std::uint8_t>{0xB5, 0x60}));
    EXPECT_EQ(unaligned.size(), 11);
}

TEST(BitVector, AppendBitsOutsideZeroTo32AppendsNothing) {
    BitVector bits;
    bits.appendBits(1, 0);
    bits.appendBits(1, 33);
    bits.appendBits(1, -1);
    EXPECT_EQ(bits.size(), 0);
    bits.appendBits(0xFFFFFFFFu, 32);
    EXPECT_EQ(bits.size(), 32);
    EXPECT_EQ(firstBytes(bits, 5), (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0}));
}

TEST(BitVector, TheStoreDoublesAtThe257thBitAndKeepsItsBytes) {
    BitVector bits;
    for (int i = 0; i < 32; ++i)
        bits.appendBits(static_cast<std::uint32_t>(i), 8);
    ASSERT_EQ(bits.getBytes().size(), 32u);
    ASSERT_TRUE(bits.appendBit(1).ok());
    const std::vector<std::uint8_t> store = bits.getBytes();
    ASSERT_EQ(store.size(), 64u);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(store[i], i);
    EXPECT_EQ(store[32], 0x80);
    for (int i = 33; i < 64; ++i)
        EXPECT_EQ(store[i], 0);
}

TEST(BitVector, FaultsAreReportedAsValues) {
    BitVector bits;
    bits.appendBits(5, 3);
    for (int index : {-1, 3}) {
        const auto result = bits.at(index);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().className, "位向量类");
        EXPECT_EQ(result.error().methodName, "取位值");
        EXPECT_EQ(result.error().message, "索引超限");
    }
    const auto status = bits.appendBit(2);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().methodName, "追加位");
    EXPECT_EQ(status.error().message, "位数据只能是0或1");
    EXPECT_EQ(bits.size(), 3); // the refused bit left nothing behind
}

TEST(BitVector, ClearGoesBackToA32ByteStore) {
    BitVector bits;
    for (int i = 0; i < 40; ++i)
        bits.appendBits(0xFF, 8);
    bits.clear();
    EXPECT_EQ(bits.size(), 0);
    EXPECT_EQ(bits.getBytes(), std::vector<std::uint8_t>(32, 0));
}

TEST(BitVectorHolder, XorTouchesOnlyTheBytesInUse) {
    BitVectorHolder holder;
    BitVector held;
    held.appendBits(0x7FFF, 15);
    std::vector<std::uint8_t> store = held.getBytes();
    store[5] = 0x5A; // a stray byte past the valid bits must survive
    held.setBytes(store);
    holder.setHeld(held);
    BitVector other;
    other.appendBits(0x5412, 15);
    const auto result = holder.xorIntoHeld(other);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.value().size(), 15);
    const std::vector<std::uint8_t> bytes = result.value().getBytes();
    EXPECT_EQ(bytes[0], 0xFF ^ 0xA8);
    EXPECT_EQ(bytes[1], 0xFE ^ 0x24);
    EXPECT_EQ(bytes[5], 0x5A);
    EXPECT_EQ(holder.getHeld().getBytes(), bytes);

    BitVector shorter;
    shorter.appendBits(1, 14);
    const auto refused = holder.xorIntoHeld(shorter);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().className, "位向量子类");
    EXPECT_EQ(refused.error().methodName, "异或");
    EXPECT_EQ(refused.error().message, "两个位向量长度不同，不能做异或运算。");
}

TEST(BitVectorHolder, AppendToHeldAppendsEveryBitInOrder) {
    BitVectorHolder holder;
    BitVector header;
    header.appendBits(0b0100, 4);
    holder.setHeld(header);
    holder.appendToHeld(BitVector{});
    EXPECT_EQ(holder.getHeld().toString(), "0,1,0,0");

    BitVector data;
    data.appendBits(0xE7A081, 24);
    data.appendBits(1, 1);
    holder.appendToHeld(data);
    const BitVector joined = holder.getHeld();
    EXPECT_EQ(joined.size(), 29);
    EXPECT_EQ(firstBytes(joined, 4), (std::vector<std::uint8_t>{0x4E, 0x7A, 0x08, 0x18}));
}

} // namespace
