#include "qr/detail/qr_code.h"

#include <string>

namespace qr::detail {

bool QrCode::isComplete() const {
    // A record just made holds zeros: it has no version yet and is no more complete than a reset one.
    if (version < 1)
        return false;
    for (int number : {version, matrixWidth, maskPattern, totalBytes, dataBytes, ecBytes, rsBlocks}) {
        if (number == -1)
            return false;
    }
    return true;
}

void QrCode::resetNumbers() {
    version = matrixWidth = maskPattern = totalBytes = dataBytes = ecBytes = rsBlocks = -1;
}

Result<int> QrCode::moduleAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= matrix.width() || y >= matrix.height()) {
        return makeReport(kClassName, "矩阵取值", "坐标超出矩阵");
    }
    const int value = matrix.get(x, y);
    if (value != 0 && value != 1)
        return makeReport(kClassName, "矩阵取值", "值异常，当前值为：" + std::to_string(value));
    return value;
}

Result<QrVersion> QrCode::versionByNumber(int number) {
    if (number < 1 || number > 40) {
        return makeReport(kClassName, "取版本_通过版本号",
                          "版本号不在0到40之间。当前版本号：" + std::to_string(number));
    }
    return kVersionTable[number - 1];
}

Result<QrVersion> QrCode::versionByDimension(int dimension) {
    if (dimension % 4 != 1) {
        return makeReport(kClassName, "取版本_通过维长度",
                          "维长度不为4的位数加1。当前维数：" + std::to_string(dimension));
    }
    return versionByNumber((dimension - 17) >> 2);
}

} // namespace qr::detail
