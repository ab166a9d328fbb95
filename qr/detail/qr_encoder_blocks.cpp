// The encoder's Reed-Solomon steps: block sizes, EC codewords per block and interleaving.
#include "qr/detail/qr_encoder.h"
#include "qr/detail/reed_solomon_encoder.h"

#include <algorithm>

namespace qr::detail {

Result<BlockByteCounts> QrEncoder::blockByteCounts(int totalCodewords, int dataCodewords, int blockCount,
                                                   int block) const {
    if (blockCount <= 0 || block < 0 || block >= blockCount) {
        return makeReport(kClassName, "根据块ID取数据字节数和容错字节数", "无效值");
    }
    const int longBlocks = totalCodewords % blockCount;
    const int shortBlocks = blockCount - longBlocks;
    const int shortTotal = totalCodewords / blockCount;
    const int shortData = dataCodewords / blockCount;
    const int ec = shortTotal - shortData;
    if (block < shortBlocks)
        return BlockByteCounts{shortData, ec};
    return BlockByteCounts{shortData + 1, ec};
}

Result<ByteList> QrEncoder::ecBytesForBlock(const ByteList& data, int ecCount) const {
    if (ecCount < 0)
        return makeReport(ReedSolomonEncoder::kClassName, "编码", "没有容错字节");
    std::vector<int> codewords(static_cast<std::size_t>(data.size()) + static_cast<std::size_t>(ecCount), 0);
    std::copy(data.bytes.begin(), data.bytes.end(), codewords.begin());
    QR_TRY(sharedReedSolomonEncoder().encode(codewords, ecCount));
    ByteList ec;
    ec.bytes.assign(codewords.begin() + data.size(), codewords.end());
    return ec;
}

Status QrEncoder::interleaveEcBytes(const BitVector& bits, int totalCodewords, int dataCodewords,
                                    int blockCount, BitVector& result) const {
    if (dataCodewords != bits.sizeInBytes())
        return makeReport(kClassName, "交错容错字节", "位数和数据字节数不匹配");
    std::vector<RsBlock> blocks;
    blocks.reserve(static_cast<std::size_t>(std::max(blockCount, 0)));
    int offset = 0;
    int maxData = 0;
    int maxEc = 0;
    const std::vector<std::uint8_t>& store = bits.store();
    for (int block = 0; block < blockCount; ++block) {
        QR_ASSIGN_OR_RETURN(const BlockByteCounts counts,
                            blockByteCounts(totalCodewords, dataCodewords, blockCount, block));
        if (counts.dataBytes < 0 || offset + counts.dataBytes > dataCodewords) {
            return makeReport(kClassName, "交错容错字节", "数据字节数写偏移量不匹配");
        }
        ByteList data;
        data.bytes.assign(store.begin() + offset, store.begin() + offset + counts.dataBytes);
        QR_ASSIGN_OR_RETURN(ByteList ec, ecBytesForBlock(data, counts.ecBytes));
        maxData = std::max(maxData, data.size());
        maxEc = std::max(maxEc, ec.size());
        offset += counts.dataBytes;
        blocks.push_back(RsBlock{std::move(data), std::move(ec)});
    }
    if (offset != dataCodewords)
        return makeReport(kClassName, "交错容错字节", "数据字节数写偏移量不匹配");
    for (int position = 1; position <= maxData; ++position) {
        for (const RsBlock& block : blocks) {
            if (position <= block.data.size())
                result.appendBits(static_cast<std::uint32_t>(block.data.at(position)), 8);
        }
    }
    for (int position = 1; position <= maxEc; ++position) {
        for (const RsBlock& block : blocks) {
            if (position <= block.ec.size())
                result.appendBits(static_cast<std::uint32_t>(block.ec.at(position)), 8);
        }
    }
    if (totalCodewords != result.sizeInBytes())
        return makeReport(kClassName, "交错容错字节", "交错出错");
    return {};
}

} // namespace qr::detail
