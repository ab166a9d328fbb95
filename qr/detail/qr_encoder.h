#pragma once

#include "qr/detail/bit_vector.h"
#include "qr/detail/byte_matrix.h"
#include "qr/detail/ec_level.h"
#include "qr/detail/qr_code.h"
#include "qr/detail/qr_mode.h"
#include "qr/detail/result.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace qr::detail {

/// Bytes of one block with 1-based positions.
struct ByteList {
    std::vector<std::uint8_t> bytes;

    int size() const { return static_cast<int>(bytes.size()); }
    int at(int position) const { return bytes[static_cast<std::size_t>(position) - 1]; }
};

/// One Reed-Solomon block during interleaving.
struct RsBlock {
    ByteList data;
    ByteList ec;
};

/// Data and EC codeword counts of one block.
struct BlockByteCounts {
    int dataBytes = 0;
    int ecBytes = 0;
};

/// Turns one text into a complete symbol: a single segment in one mode, the smallest version that
/// holds it, Reed-Solomon blocks, and the mask with the lowest penalty.
class QrEncoder {
public:
    static constexpr std::string_view kClassName = "编码类";

    /// Alphanumeric value of each character code 0-95, -1 where the code is not alphanumeric.
    static constexpr std::array<int, 96> kAlphabet = [] {
        std::array<int, 96> alphabet{};
        alphabet.fill(-1);
        for (int c = '0'; c <= '9'; ++c)
            alphabet[c] = c - '0';
        for (int c = 'A'; c <= 'Z'; ++c)
            alphabet[c] = c - 'A' + 10;
        constexpr std::string_view kSymbols = " $%*+-./:";
        for (std::size_t i = 0; i < kSymbols.size(); ++i)
            alphabet[static_cast<unsigned char>(kSymbols[i])] = 36 + static_cast<int>(i);
        return alphabet;
    }();

    /// Encodes the content's bytes at the level and fills every field of the record.
    Status encode(std::string_view content, const EcLevel& level, QrCode& record) const;

    QrMode pickMode(std::string_view content) const;
    Status appendData(std::string_view content, const QrMode& mode, BitVector& bits) const;
    void appendNumeric(std::string_view content, BitVector& bits) const;
    Status appendAlphanumeric(std::string_view content, BitVector& bits) const;
    /// The content's bytes, 8 bits each (the program's text is already UTF-8).
    void appendByteMode(std::string_view content, BitVector& bits) const;
    /// Chooses the smallest version whose data codewords hold the data bytes and three more.
    Status initSymbol(int dataByteCount, const EcLevel& level, const QrMode& mode, QrCode& record) const;
    void appendModeIndicator(const QrMode& mode, BitVector& bits) const;
    Status appendCharCount(int count, int version, const QrMode& mode, BitVector& bits) const;
    /// Terminator, bit padding and alternating pad bytes up to the data capacity.
    Status terminateData(int dataCodewords, BitVector& bits) const;
    static constexpr int alphanumericCode(int c) { return c < 0 || c >= 96 ? -1 : kAlphabet[c]; }

    Result<BlockByteCounts> blockByteCounts(int totalCodewords, int dataCodewords, int blockCount,
                                            int block) const;
    Result<ByteList> ecBytesForBlock(const ByteList& data, int ecCount) const;
    /// Splits the data codewords into blocks, adds their EC codewords and appends the interleaved stream.
    Status interleaveEcBytes(const BitVector& bits, int totalCodewords, int dataCodewords, int blockCount,
                             BitVector& result) const;

    /// The four penalty rules added up.
    static int maskPenalty(const ByteMatrix& matrix);
    /// Tries the eight masks and returns the one with the lowest penalty (the lower number on a tie);
    /// the matrix is left built with that mask.
    Result<int> chooseMask(const BitVector& bits, const EcLevel& level, int version,
                           ByteMatrix& matrix) const;
};

} // namespace qr::detail
