#include "qr/detail/matrix_builder.h"

#include "qr/detail/mask_helper.h"
#include "qr/detail/qr_code.h"

#include <string>

namespace qr::detail {

namespace {

using std::to_string;

constexpr int kNone = -1;

constexpr std::array<std::array<int, 7>, 40> kCentres{{
    {kNone, kNone, kNone, kNone, kNone, kNone, kNone},
    {6, 18, kNone, kNone, kNone, kNone, kNone},
    {6, 22, kNone, kNone, kNone, kNone, kNone},
    {6, 26, kNone, kNone, kNone, kNone, kNone},
    {6, 30, kNone, kNone, kNone, kNone, kNone},
    {6, 34, kNone, kNone, kNone, kNone, kNone},
    {6, 22, 38, kNone, kNone, kNone, kNone},
    {6, 24, 42, kNone, kNone, kNone, kNone},
    {6, 26, 46, kNone, kNone, kNone, kNone},
    {6, 28, 50, kNone, kNone, kNone, kNone},
    {6, 30, 54, kNone, kNone, kNone, kNone},
    {6, 32, 58, kNone, kNone, kNone, kNone},
    {6, 34, 62, kNone, kNone, kNone, kNone},
    {6, 26, 46, 66, kNone, kNone, kNone},
    {6, 26, 48, 70, kNone, kNone, kNone},
    {6, 26, 50, 74, kNone, kNone, kNone},
    {6, 30, 54, 78, kNone, kNone, kNone},
    {6, 30, 56, 82, kNone, kNone, kNone},
    {6, 30, 58, 86, kNone, kNone, kNone},
    {6, 34, 62, 90, kNone, kNone, kNone},
    {6, 28, 50, 72, 94, kNone, kNone},
    {6, 26, 50, 74, 98, kNone, kNone},
    {6, 30, 54, 78, 102, kNone, kNone},
    {6, 28, 54, 80, 106, kNone, kNone},
    {6, 32, 58, 84, 110, kNone, kNone},
    {6, 30, 58, 86, 114, kNone, kNone},
    {6, 34, 62, 90, 118, kNone, kNone},
    {6, 26, 50, 74, 98, 122, kNone},
    {6, 30, 54, 78, 102, 126, kNone},
    {6, 26, 52, 78, 104, 130, kNone},
    {6, 30, 56, 82, 108, 134, kNone},
    {6, 34, 60, 86, 112, 138, kNone},
    {6, 30, 58, 86, 114, 142, kNone},
    {6, 34, 62, 90, 118, 146, kNone},
    {6, 30, 54, 78, 102, 126, 150},
    {6, 24, 50, 76, 102, 128, 154},
    {6, 28, 54, 80, 106, 132, 158},
    {6, 32, 58, 84, 110, 136, 162},
    {6, 26, 54, 82, 110, 138, 166},
    {6, 30, 58, 86, 114, 142, 170},
}};

// Every version from 2 on has v / 7 + 2 centres per side, from 6 to side - 7, evenly spaced after the first.
constexpr bool centresAreConsistent() {
    for (int version = 2; version <= 40; ++version) {
        const auto& row = kCentres[version - 1];
        const int count = version / 7 + 2;
        if (row[0] != 6 || row[count - 1] != 17 + 4 * version - 7)
            return false;
        for (int i = count; i < 7; ++i) {
            if (row[i] != kNone)
                return false;
        }
        for (int i = 2; i < count; ++i) {
            if (row[i] - row[i - 1] != row[count - 1] - row[count - 2] || row[i] % 2 != 0)
                return false;
        }
    }
    return true;
}
static_assert(centresAreConsistent(), "alignment centres disagree with the symbol geometry");

constexpr std::uint32_t kFormatGenerator = 0x537;
constexpr std::uint32_t kFormatMask = 0x5412;
constexpr std::uint32_t kVersionGenerator = 0x1F25;

std::string occupied(int i, int x0, int y0) {
    return "矩阵当前操作位数据不为空。i：" + to_string(i) + "；x：" + to_string(x0) + "；y：" + to_string(y0);
}

} // namespace

const std::array<std::array<int, 7>, 40> MatrixBuilder::kAlignmentCentreTable = kCentres;

Status MatrixBuilder::buildSymbol(const BitVector& dataBits, const EcLevel& level, int version, int mask,
                                  ByteMatrix& matrix) const {
    // Every placement below stays inside a matrix of the version's size; give it that size if it has another.
    QR_ASSIGN_OR_RETURN(const QrVersion entry, QrCode::versionByNumber(version));
    if (matrix.width() != entry.dimension() || matrix.height() != entry.dimension()) {
        matrix.init(entry.dimension(), entry.dimension());
    }
    resetToEmpty(matrix);
    QR_TRY(insertFunctionPatterns(version, matrix));
    QR_TRY(insertFormatInfo(level, mask, matrix));
    QR_TRY(insertVersionInfo(version, matrix));
    return insertDataBits(dataBits, mask, matrix);
}

Status MatrixBuilder::insertFunctionPatterns(int version, ByteMatrix& matrix) const {
    QR_TRY(insertFinderPatternsAndSeparators(matrix));
    QR_TRY(insertDarkModule(matrix));
    // Alignment patterns before timing patterns, so the timing skips alignment modules on row and column 6.
    QR_TRY(insertAlignmentPatterns(version, matrix));
    return insertTimingPatterns(matrix);
}

Status MatrixBuilder::insertFinderPatternsAndSeparators(ByteMatrix& matrix) const {
    const int n = matrix.width();
    constexpr int f = 7;
    constexpr int s = kHorizontalSeparatorLength;
    constexpr int t = kVerticalSeparatorLength;
    QR_TRY(insertFinderPattern(0, 0, matrix));
    QR_TRY(insertFinderPattern(n - f, 0, matrix));
    QR_TRY(insertFinderPattern(0, n - f, matrix));
    QR_TRY(insertHorizontalSeparator(0, s - 1, matrix));
    QR_TRY(insertHorizontalSeparator(n - s, s - 1, matrix));
    QR_TRY(insertHorizontalSeparator(0, n - s, matrix));
    QR_TRY(insertVerticalSeparator(t, 0, matrix));
    QR_TRY(insertVerticalSeparator(n - t - 1, 0, matrix));
    return insertVerticalSeparator(t, n - t, matrix);
}

Status MatrixBuilder::insertFinderPattern(int x0, int y0, ByteMatrix& matrix) const {
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            if (!isEmptyValue(matrix.get(x0 + x, y0 + y))) {
                return makeReport(kClassName, "插入位置探测图",
                                  "方位检测标识异常，当前位置有空值。当前行索引：" + to_string(x0 + x + 1) +
                                      "；列索引：" + to_string(y0 + y + 1));
            }
            matrix.set(x0 + x, y0 + y, static_cast<std::uint8_t>(kFinderPattern[y][x]));
        }
    }
    return {};
}

Status MatrixBuilder::insertHorizontalSeparator(int x0, int y0, ByteMatrix& matrix) const {
    for (int i = 1; i <= kHorizontalSeparatorLength; ++i) {
        if (!isEmptyValue(matrix.get(x0 + i - 1, y0)))
            return makeReport(kClassName, "插入水平分割图", occupied(i, x0, y0));
        matrix.set(x0 + i - 1, y0, 0);
    }
    return {};
}

Status MatrixBuilder::insertVerticalSeparator(int x0, int y0, ByteMatrix& matrix) const {
    for (int i = 1; i <= kVerticalSeparatorLength; ++i) {
        if (!isEmptyValue(matrix.get(x0, y0 + i - 1)))
            return makeReport(kClassName, "插入垂直分割图", occupied(i, x0, y0));
        matrix.set(x0, y0 + i - 1, 0);
    }
    return {};
}

Status MatrixBuilder::insertDarkModule(ByteMatrix& matrix) const {
    const int y = matrix.height() - 8;
    if (matrix.get(8, y) == 0)
        return makeReport(kClassName, "左下角插入黑点", "空值");
    matrix.set(8, y, 1);
    return {};
}

Status MatrixBuilder::insertAlignmentPatterns(int version, ByteMatrix& matrix) const {
    if (version < 2 || version > 40)
        return {};
    const auto& centres = kAlignmentCentreTable[version - 1];
    for (int y : centres) {
        for (int x : centres) {
            if (x == kNone || y == kNone)
                continue;
            // Centres inside the finder patterns are already taken and so skipped.
            if (isEmptyValue(matrix.get(x, y)))
                QR_TRY(insertAlignmentPattern(x - 2, y - 2, matrix));
        }
    }
    return {};
}

Status MatrixBuilder::insertAlignmentPattern(int x0, int y0, ByteMatrix& matrix) const {
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            if (!isEmptyValue(matrix.get(x0 + x, y0 + y)))
                return makeReport(kClassName, "插入方位调整标识", "值为空");
            matrix.set(x0 + x, y0 + y, static_cast<std::uint8_t>(kAlignmentPattern[y][x]));
        }
    }
    return {};
}

Status MatrixBuilder::insertTimingPatterns(ByteMatrix& matrix) const {
    const int n = matrix.width();
    for (int i = 8; i < n - 8; ++i) {
        const auto bit = static_cast<std::uint8_t>((i + 1) % 2);
        for (auto [x, y] : {std::pair{i, 6}, std::pair{6, i}}) {
            const int value = matrix.get(x, y);
            if (!isCellValue(value))
                return makeReport(kClassName, "插入定位基线", "无效值");
            if (isEmptyValue(value))
                matrix.set(x, y, bit);
        }
    }
    return {};
}

Status MatrixBuilder::formatInfoBits(const EcLevel& level, int mask, BitVector& bits) const {
    if (!QrCode::maskInRange(mask))
        return makeReport(kClassName, "标记类型信息位", "掩图无效");
    const auto typeInfo = static_cast<std::uint32_t>((level.formatBits << 3) | mask);
    bits.appendBits(typeInfo, 5);
    bits.appendBits(bchRemainder(typeInfo, kFormatGenerator), 10);
    BitVector maskBits;
    maskBits.appendBits(kFormatMask, 15);
    BitVectorHolder holder;
    holder.setHeld(bits);
    QR_ASSIGN_OR_RETURN(bits, holder.xorIntoHeld(maskBits));
    if (bits.size() != 15)
        return makeReport(kClassName, "标记类型信息位", "位向量长度不对。");
    return {};
}

Result<std::array<MatrixBuilder::Module, 30>> MatrixBuilder::formatInfoModules(const EcLevel& level, int mask,
                                                                               int n) const {
    BitVector bits;
    QR_TRY(formatInfoBits(level, mask, bits));
    std::array<Module, 30> modules;
    for (int i = 0; i < 15; ++i) {
        const auto bit = static_cast<std::uint8_t>(bits.bitUnchecked(14 - i)); // bit 0 of the word first
        modules[2 * i] = Module{kFormatInfoCoordinates[i][0], kFormatInfoCoordinates[i][1], bit};
        modules[2 * i + 1] = i < 8 ? Module{n - 1 - i, 8, bit} : Module{8, n - 7 + (i - 8), bit};
    }
    return modules;
}

Status MatrixBuilder::insertFormatInfo(const EcLevel& level, int mask, ByteMatrix& matrix) const {
    QR_ASSIGN_OR_RETURN(const auto modules, formatInfoModules(level, mask, matrix.width()));
    for (const Module& module : modules)
        matrix.set(module.x, module.y, module.value);
    return {};
}

Status MatrixBuilder::versionInfoBits(int version, BitVector& bits) const {
    bits.appendBits(static_cast<std::uint32_t>(version), 6);
    bits.appendBits(bchRemainder(static_cast<std::uint32_t>(version), kVersionGenerator), 12);
    if (bits.size() != 18)
        return makeReport(kClassName, "标记版本信息位", "版本信息不为18位");
    return {};
}

Status MatrixBuilder::insertVersionInfo(int version, ByteMatrix& matrix) const {
    if (version < 7)
        return {};
    BitVector bits;
    QR_TRY(versionInfoBits(version, bits));
    const int n = matrix.width();
    int k = 17;
    for (int i = 0; i < 6; ++i) {
        for (int j = 0; j < 3; ++j) {
            const auto bit = static_cast<std::uint8_t>(bits.bitUnchecked(k));
            --k;
            matrix.set(i, n - 11 + j, bit);
            matrix.set(n - 11 + j, i, bit);
        }
    }
    return {};
}

Status MatrixBuilder::insertDataBits(const BitVector& dataBits, int mask, ByteMatrix& matrix) const {
    if (mask != -1 && !QrCode::maskInRange(mask))
        return makeReport(MaskHelper::kClassName, "取数据掩码位", "掩图无效。");
    const int n = matrix.width();
    const int size = dataBits.size();
    int next = 0;
    int direction = -1;
    int x = n - 1;
    int y = n - 1;
    while (x > 0) {
        if (x == 6)
            x = 5; // the column pair skips the vertical timing pattern
        while (y >= 0 && y < n) {
            for (int column = x; column >= x - 1; --column) {
                if (!isEmptyValue(matrix.get(column, y)))
                    continue;
                int bit = 0;
                if (next < size)
                    bit = dataBits.bitUnchecked(next++);
                if (mask != -1 && MaskHelper::maskBit(mask, column, y))
                    bit ^= 1;
                matrix.set(column, y, static_cast<std::uint8_t>(bit));
            }
            y += direction;
        }
        direction = -direction;
        y += direction;
        x -= 2;
    }
    if (next != size) {
        return makeReport(kClassName, "插入数据信息位",
                          "数据位未被全部填充，n：" + to_string(next) + "；位向量大小：" + to_string(size));
    }
    return {};
}

} // namespace qr::detail
