#pragma once

#include "qr/detail/bit_vector.h"
#include "qr/detail/byte_matrix.h"
#include "qr/detail/ec_level.h"
#include "qr/detail/result.h"

#include <array>
#include <string_view>

namespace qr::detail {

/// Places the parts of a symbol into a square matrix: finder, separator, timing and alignment
/// patterns, the dark module, format and version information, and the masked data bits.
class MatrixBuilder {
public:
    static constexpr std::string_view kClassName = "矩阵应用类";

    static constexpr std::array<std::array<int, 7>, 7> kFinderPattern{{
        {1, 1, 1, 1, 1, 1, 1},
        {1, 0, 0, 0, 0, 0, 1},
        {1, 0, 1, 1, 1, 0, 1},
        {1, 0, 1, 1, 1, 0, 1},
        {1, 0, 1, 1, 1, 0, 1},
        {1, 0, 0, 0, 0, 0, 1},
        {1, 1, 1, 1, 1, 1, 1},
    }};
    static constexpr int kHorizontalSeparatorLength = 8;
    static constexpr int kVerticalSeparatorLength = 7;
    static constexpr std::array<std::array<int, 5>, 5> kAlignmentPattern{{
        {1, 1, 1, 1, 1},
        {1, 0, 0, 0, 1},
        {1, 0, 1, 0, 1},
        {1, 0, 0, 0, 1},
        {1, 1, 1, 1, 1},
    }};
    /// Alignment-pattern centre coordinates per version (row v - 1), padded with -1.
    static const std::array<std::array<int, 7>, 40> kAlignmentCentreTable;
    /// (x, y) of the first copy of format-information bit i.
    static constexpr std::array<std::array<int, 2>, 15> kFormatInfoCoordinates{{
        {8, 0},
        {8, 1},
        {8, 2},
        {8, 3},
        {8, 4},
        {8, 5},
        {8, 7},
        {8, 8},
        {7, 8},
        {5, 8},
        {4, 8},
        {3, 8},
        {2, 8},
        {1, 8},
        {0, 8},
    }};

    /// Builds the whole symbol for one mask (0-7) from an empty matrix of the version's size.
    Status buildSymbol(const BitVector& dataBits, const EcLevel& level, int version, int mask,
                       ByteMatrix& matrix) const;

    static void resetToEmpty(ByteMatrix& matrix) { matrix.fillCells(ByteMatrix::kEmpty); }
    Status insertFunctionPatterns(int version, ByteMatrix& matrix) const;
    Status insertFinderPatternsAndSeparators(ByteMatrix& matrix) const;
    static constexpr bool isEmptyValue(int value) { return value == ByteMatrix::kEmpty; }
    static constexpr bool isCellValue(int value) {
        return value == 0 || value == 1 || value == ByteMatrix::kEmpty;
    }
    Status insertFinderPattern(int x0, int y0, ByteMatrix& matrix) const;
    Status insertDarkModule(ByteMatrix& matrix) const;
    Status insertAlignmentPatterns(int version, ByteMatrix& matrix) const;
    Status insertAlignmentPattern(int x0, int y0, ByteMatrix& matrix) const;
    Status insertTimingPatterns(ByteMatrix& matrix) const;
    /// Number of significant bits of the value's 32-bit pattern.
    static constexpr int bitLength(std::uint32_t value) {
        int length = 0;
        for (; value != 0; value >>= 1)
            ++length;
        return length;
    }
    /// Remainder of the value shifted past the generator's degree, divided by the generator (BCH code).
    static constexpr std::uint32_t bchRemainder(std::uint32_t value, std::uint32_t generator) {
        const int degree = bitLength(generator);
        value <<= degree - 1;
        while (bitLength(value) >= degree)
            value ^= generator << (bitLength(value) - degree);
        return value;
    }
    Status formatInfoBits(const EcLevel& level, int mask, BitVector& bits) const;
    Status insertFormatInfo(const EcLevel& level, int mask, ByteMatrix& matrix) const;
    /// One module of the format information: where it goes and its value.
    struct Module {
        int x = 0;
        int y = 0;
        std::uint8_t value = 0;
    };
    /// The 30 modules insertFormatInfo sets in a symbol of side n, both copies.
    Result<std::array<Module, 30>> formatInfoModules(const EcLevel& level, int mask, int n) const;
    Status versionInfoBits(int version, BitVector& bits) const;
    Status insertVersionInfo(int version, ByteMatrix& matrix) const;
    Status insertDataBits(const BitVector& dataBits, int mask, ByteMatrix& matrix) const;
    Status insertHorizontalSeparator(int x0, int y0, ByteMatrix& matrix) const;
    Status insertVerticalSeparator(int x0, int y0, ByteMatrix& matrix) const;
};

static_assert(MatrixBuilder::bchRemainder(0, 0x537) == 0);
static_assert(MatrixBuilder::bchRemainder(7, 0x1F25) == 0xC94); // version 7's information is 0x07C94

} // namespace qr::detail
