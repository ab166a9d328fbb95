#include "qr/detail/qr_encoder.h"

#include "qr/detail/qr_version.h"

#include <string>

namespace qr::detail {

namespace {
// More characters than any mode fits into version 40: such a text is refused before its bits are built.
constexpr std::size_t kMoreThanAnySymbolHolds = 8000;
} // namespace

Status QrEncoder::encode(std::string_view content, const EcLevel& level, QrCode& record) const {
    if (content.size() > kMoreThanAnySymbolHolds)
        return makeReport(kClassName, "初始化二维码", "");
    const QrMode mode = pickMode(content);
    BitVector dataBits;
    QR_TRY(appendData(content, mode, dataBits));
    QR_TRY(initSymbol(dataBits.sizeInBytes(), level, mode, record));

    BitVector header;
    appendModeIndicator(mode, header);
    const int count = mode.sameAs(kByteMode) ? dataBits.sizeInBytes() : static_cast<int>(content.size());
    QR_TRY(appendCharCount(count, record.version, mode, header));
    BitVectorHolder holder;
    holder.setHeld(std::move(header));
    holder.appendToHeld(dataBits);
    BitVector stream = holder.getHeld();
    QR_TRY(terminateData(record.dataBytes, stream));

    BitVector codewords;
    QR_TRY(interleaveEcBytes(stream, record.totalBytes, record.dataBytes, record.rsBlocks, codewords));

    ByteMatrix matrix(record.matrixWidth, record.matrixWidth);
    QR_ASSIGN_OR_RETURN(record.maskPattern, chooseMask(codewords, record.ecLevel, record.version, matrix));
    // chooseMask leaves the matrix exactly as buildSymbol makes it with the chosen mask, so it is not built
    // again.
    record.matrix = std::move(matrix);
    if (!record.isComplete())
        return makeReport(kClassName, "编码", "无效的二维码");
    return {};
}

QrMode QrEncoder::pickMode(std::string_view content) const {
    bool digits = false;
    bool alphanumeric = false;
    for (char character : content) {
        const int code = static_cast<unsigned char>(character);
        if (code >= '0' && code <= '9') {
            digits = true;
        } else if (alphanumericCode(code) == -1) {
            return kByteMode;
        } else {
            alphanumeric = true;
        }
    }
    if (alphanumeric)
        return kAlphanumericMode;
    if (digits)
        return kNumericMode;
    return kByteMode;
}

Status QrEncoder::appendData(std::string_view content, const QrMode& mode, BitVector& bits) const {
    if (mode.sameAs(kNumericMode)) {
        appendNumeric(content, bits);
        return {};
    }
    if (mode.sameAs(kAlphanumericMode))
        return appendAlphanumeric(content, bits);
    appendByteMode(content, bits);
    return {};
}

void QrEncoder::appendNumeric(std::string_view content, BitVector& bits) const {
    const auto digit = [&](std::size_t index) { return static_cast<std::uint32_t>(content[index] - '0'); };
    std::size_t index = 0;
    for (; index + 3 <= content.size(); index += 3) {
        bits.appendBits(digit(index) * 100 + digit(index + 1) * 10 + digit(index + 2), 10);
    }
    if (content.size() - index == 2) {
        bits.appendBits(digit(index) * 10 + digit(index + 1), 7);
    } else if (content.size() - index == 1) {
        bits.appendBits(digit(index), 4);
    }
}

Status QrEncoder::appendAlphanumeric(std::string_view content, BitVector& bits) const {
    const auto code = [&](std::size_t index) {
        return alphanumericCode(static_cast<unsigned char>(content[index]));
    };
    for (std::size_t index = 0; index < content.size(); index += 2) {
        const int first = code(index);
        if (first == -1)
            return makeReport(kClassName, "追加字母数字字节", "无效值");
        if (index + 1 < content.size()) {
            const int second = code(index + 1);
            if (second == -1)
                return makeReport(kClassName, "追加字母数字字节", "无效值");
            bits.appendBits(static_cast<std::uint32_t>(first * 45 + second), 11);
        } else {
            bits.appendBits(static_cast<std::uint32_t>(first), 6);
        }
    }
    return {};
}

void QrEncoder::appendByteMode(std::string_view content, BitVector& bits) const {
    for (char byte : content)
        bits.appendBits(static_cast<unsigned char>(byte), 8);
}

Status QrEncoder::initSymbol(int dataByteCount, const EcLevel& level, const QrMode& mode,
                             QrCode& record) const {
    record.ecLevel = level;
    record.mode = mode;
    for (const QrVersion& version : kVersionTable) {
        const EcLayout& layout = version.layoutFor(level);
        const int total = version.totalCodewords;
        const int ec = layout.totalEc();
        const int data = total - ec;
        // Three bytes stay free for the mode indicator, the count and the terminator.
        if (data >= dataByteCount + 3) {
            record.version = version.number;
            record.totalBytes = total;
            record.dataBytes = data;
            record.rsBlocks = layout.numBlocks();
            record.ecBytes = ec;
            record.matrixWidth = version.dimension();
            return {};
        }
    }
    return makeReport(kClassName, "初始化二维码", "");
}

void QrEncoder::appendModeIndicator(const QrMode& mode, BitVector& bits) const {
    bits.appendBits(static_cast<std::uint32_t>(mode.indicator), 4);
}

Status QrEncoder::appendCharCount(int count, int version, const QrMode& mode, BitVector& bits) const {
    const int width = mode.countBits(version);
    if (count < 0 || static_cast<long long>(count) > (1LL << width) - 1) {
        return makeReport(kClassName, "追加长度信息", "要添加信息过多");
    }
    bits.appendBits(static_cast<std::uint32_t>(count), width);
    return {};
}

Status QrEncoder::terminateData(int dataCodewords, BitVector& bits) const {
    const int capacity = 8 * dataCodewords;
    if (bits.size() > capacity)
        return makeReport(kClassName, "结束数据位", "数据无法填充");
    for (int i = 0; i < 4 && bits.size() < capacity; ++i)
        bits.appendBits(0, 1);
    if ((bits.size() & 7) != 0)
        bits.appendBits(0, 8 - (bits.size() & 7));
    if ((bits.size() & 7) != 0)
        return makeReport(kClassName, "结束数据位", "位数不是8的倍数");
    const int padBytes = dataCodewords - bits.sizeInBytes();
    for (int i = 0; i < padBytes; ++i)
        bits.appendBits((i & 1) == 0 ? 0xEC : 0x11, 8);
    if (bits.size() != capacity)
        return makeReport(kClassName, "结束数据位", "位长度不等于容量");
    return {};
}

} // namespace qr::detail
