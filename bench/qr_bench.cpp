// Encoding speed of the module beside libqrencode: text to module matrix, and text to a 200 x 200
// BMP picture, on the ten channel links of one product and on long texts near the top versions.
// Every benchmark first checks one result with zbar, so a fast wrong answer cannot count.
#include "qr/detail/qr_code.h"
#include "qr/detail/qr_encoder.h"
#include "qr/qr_module.h"
#include "zbar_decoder.h"

#include <benchmark/benchmark.h>
#include <qrencode.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct Job {
    std::string level; // "L" or "M" ...
    std::string text;
};

std::vector<Job> channelLinks() {
    std::ifstream file(QR_TEST_DATA_DIR "/qr_channel_links.txt");
    std::vector<Job> jobs;
    Job job;
    while (file >> job.level >> job.text)
        jobs.push_back(job);
    return jobs;
}

std::string longText(std::size_t length) {
    std::mt19937 generator(7);
    std::string text(length, 'a');
    for (std::size_t i = 1; i < length; ++i)
        text[i] = static_cast<char>(' ' + generator() % 95);
    return text;
}

// Near the top: version 40 at L (2950 bytes) and at H (1270 bytes), version 36 at M.
std::vector<Job> longTexts() {
    return {{"L", longText(2950)}, {"M", longText(1900)}, {"H", longText(1270)}};
}

const std::vector<Job>& jobSet(int which) {
    static const std::vector<Job> links = channelLinks();
    static const std::vector<Job> longs = longTexts();
    return which == 0 ? links : longs;
}

QRecLevel qrencodeLevel(const std::string& level) {
    switch (level[0]) {
    case 'M':
    case 'm':
        return QR_ECLEVEL_M;
    case 'Q':
    case 'q':
        return QR_ECLEVEL_Q;
    case 'H':
    case 'h':
        return QR_ECLEVEL_H;
    default:
        return QR_ECLEVEL_L;
    }
}

qr::detail::EcLevel ownLevel(const std::string& level) {
    return *qr::detail::levelByName(std::string(1, static_cast<char>(std::toupper(level[0]))));
}

using QrcodePtr = std::unique_ptr<QRcode, decltype(&QRcode_free)>;

QrcodePtr qrencode(const Job& job) {
    return QrcodePtr(QRcode_encodeData(static_cast<int>(job.text.size()),
                                       reinterpret_cast<const unsigned char*>(job.text.data()), 0,
                                       qrencodeLevel(job.level)),
                     &QRcode_free);
}

// The same picture layout the module draws (margin of at least two modules, centred, 24-bit BMP),
// painted from libqrencode's matrix, so both sides of the whole-picture benchmark do the same work.
std::vector<std::uint8_t> bmpFromQrencode(const QRcode& code, int width, int height) {
    const int w = code.width;
    const int outW = std::max(width, w + 4);
    const int outH = std::max(height, w + 4);
    const int scale = std::max(1, std::min(outW / (w + 4), outH / (w + 4)));
    const int left = (outW - w * scale) / 2;
    const int top = (outH - w * scale) / 2;
    const std::size_t stride = ((24u * static_cast<std::size_t>(outW) + 31) / 32) * 4;
    std::vector<std::uint8_t> file(54 + stride * static_cast<std::size_t>(outH), 0);
    const auto put = [&](std::size_t offset, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            file[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, static_cast<std::uint32_t>(file.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(outW), 4);
    put(22, static_cast<std::uint32_t>(outH), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    std::memset(file.data() + 54, 0xFF, file.size() - 54);
    for (int y = 0; y < w; ++y) {
        for (int x = 0; x < w; ++x) {
            if ((code.data[y * w + x] & 1) == 0)
                continue;
            for (int b = 0; b < scale; ++b) {
                const int pixelRow = top + y * scale + b;
                std::uint8_t* row = file.data() + 54 + stride * static_cast<std::size_t>(outH - 1 - pixelRow);
                std::memset(row + 3 * (left + x * scale), 0, static_cast<std::size_t>(3 * scale));
            }
        }
    }
    return file;
}

bool decodesTo(const std::vector<std::uint8_t>& bmp, const std::string& text) {
    return qrtest::decodeBmpWithZbar(bmp) == text;
}

// Checked at two pixels per module or more, which zbar reads reliably.
int pictureSide(int which) {
    return which == 0 ? 200 : 2 * 181;
}

void BM_EncodeMatrix_Varrow(benchmark::State& state) {
    qr::initModule();
    const auto& jobs = jobSet(static_cast<int>(state.range(0)));
    const int side = pictureSide(static_cast<int>(state.range(0)));
    {
        const qr::QrImage image = qr::CreateQrCode(jobs[0].text, jobs[0].level, side, side, 0xFFFFFF, 0);
        if (!image || !decodesTo(image.bmp, jobs[0].text))
            state.SkipWithError("the module's symbol does not decode");
    }
    const qr::detail::QrEncoder encoder;
    for (auto _ : state) {
        for (const Job& job : jobs) {
            qr::detail::QrCode code;
            const qr::detail::Status status = encoder.encode(job.text, ownLevel(job.level), code);
            benchmark::DoNotOptimize(status.ok());
            benchmark::DoNotOptimize(code.matrix.data().data());
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * jobs.size()));
}

void BM_EncodeMatrix_Libqrencode(benchmark::State& state) {
    const auto& jobs = jobSet(static_cast<int>(state.range(0)));
    const int side = pictureSide(static_cast<int>(state.range(0)));
    {
        const QrcodePtr code = qrencode(jobs[0]);
        if (!code || !decodesTo(bmpFromQrencode(*code, side, side), jobs[0].text)) {
            state.SkipWithError("libqrencode's symbol does not decode");
        }
    }
    for (auto _ : state) {
        for (const Job& job : jobs) {
            const QrcodePtr code = qrencode(job);
            benchmark::DoNotOptimize(code.get());
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * jobs.size()));
}

void BM_CreatePicture_Varrow(benchmark::State& state) {
    qr::initModule();
    const auto& jobs = jobSet(static_cast<int>(state.range(0)));
    const int side = pictureSide(static_cast<int>(state.range(0)));
    if (!decodesTo(qr::CreateQrCode(jobs[0].text, jobs[0].level, side, side, 0xFFFFFF, 0).bmp,
                   jobs[0].text)) {
        state.SkipWithError("the module's picture does not decode");
    }
    for (auto _ : state) {
        for (const Job& job : jobs) {
            const qr::QrImage image = qr::CreateQrCode(job.text, job.level, 200, 200, 0xFFFFFF, 0);
            benchmark::DoNotOptimize(image.bmp.data());
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * jobs.size()));
}

void BM_CreatePicture_Libqrencode(benchmark::State& state) {
    const auto& jobs = jobSet(static_cast<int>(state.range(0)));
    const int side = pictureSide(static_cast<int>(state.range(0)));
    if (!decodesTo(bmpFromQrencode(*qrencode(jobs[0]), side, side), jobs[0].text)) {
        state.SkipWithError("libqrencode's picture does not decode");
    }
    for (auto _ : state) {
        for (const Job& job : jobs) {
            const QrcodePtr code = qrencode(job);
            const std::vector<std::uint8_t> bmp = bmpFromQrencode(*code, 200, 200);
            benchmark::DoNotOptimize(bmp.data());
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * jobs.size()));
}

// Argument 0: the ten channel links; 1: long texts near version 40.
BENCHMARK(BM_EncodeMatrix_Varrow)->Arg(0)->Arg(1)->ArgName("longTexts")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EncodeMatrix_Libqrencode)->Arg(0)->Arg(1)->ArgName("longTexts")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CreatePicture_Varrow)->Arg(0)->Arg(1)->ArgName("longTexts")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CreatePicture_Libqrencode)->Arg(0)->Arg(1)->ArgName("longTexts")->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
