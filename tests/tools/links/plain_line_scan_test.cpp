#include "tools/links/plain_line_scan.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

// The kinds this processor can run; the others would stop it with an illegal instruction.
std::vector<links::PlainScanKind> kindsRunnableHere() {
    std::vector<links::PlainScanKind> kinds;
    for (auto kind = links::PlainScanKind::Sse2; kind <= links::quickestPlainScan();
         kind = static_cast<links::PlainScanKind>(static_cast<int>(kind) + 1))
        kinds.push_back(kind);
    return kinds;
}

// What any kind must do: the 64-byte blocks from `from` on, up to the first one that holds a zero or
// non-ASCII byte or would pass `limit`, and the line feeds within them.
struct Expected {
    std::size_t stop;
    links::LineEnds ends;
};

Expected expectedFor(const std::string& text, std::size_t from, std::size_t limit) {
    std::size_t stop = from;
    while (stop + 64 <= limit) {
        bool plain = true;
        for (std::size_t k = stop; k < stop + 64; ++k)
            plain = plain && text[k] != '\0' && static_cast<unsigned char>(text[k]) < 0x80;
        if (!plain)
            break;
        stop += 64;
    }
    Expected expected{stop, {}};
    for (std::size_t k = from; k < stop; ++k)
        if (text[k] == '\n')
            expected.ends.push_back(static_cast<std::uint32_t>(k));
    return expected;
}

// Line lengths from none to long, runs of line feeds that fill whole blocks (more than 8 and more than
// 16 lines in a block take other paths), and now and then a byte that is not plain.
TEST(PlainLineScanTest, EveryKindFindsTheLineFeedsOfThePlainBlocks) {
    const std::vector<std::string> pieces{"600123456789\r\n", "1\n", "\n", "\n\n\n\n\n\n\n\n",
                                          "abcdefgh",         "\r",  " "};
    const std::vector<std::string> unusual{std::string(1, '\0'), "\x80", "\xFF", "\xE5\x95\x86"};
    const auto kinds = kindsRunnableHere();
    ASSERT_FALSE(kinds.empty());
    // Kinds past the processor's are not run: say which were, so a log shows what was covered.
    RecordProperty("kinds", static_cast<int>(kinds.size()));
    std::printf("scan kinds run here: SSE2%s%s\n", kinds.size() > 1 ? ", AVX2" : "",
                kinds.size() > 2 ? ", AVX-512" : "");
    std::mt19937 random(64);
    for (int round = 0; round < 4000; ++round) {
        std::string text;
        const std::size_t length = random() % 700;
        while (text.size() < length)
            text +=
                random() % 60 == 0 ? unusual[random() % unusual.size()] : pieces[random() % pieces.size()];
        const std::size_t from = text.empty() ? 0 : random() % std::min<std::size_t>(text.size(), 40);
        const std::size_t limit = from + random() % (text.size() - from + 1);
        const Expected expected = expectedFor(text, from, limit);
        for (const links::PlainScanKind kind : kinds) {
            links::LineEnds ends{7, 7, 7}; // whatever was there before is dropped
            links::LineEndTable table(ends);
            const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
            ASSERT_EQ(links::notePlainBlocks(bytes, from, limit, table, kind), expected.stop)
                << static_cast<int>(kind) << " " << testing::PrintToString(text);
            table.close();
            ASSERT_EQ(ends, expected.ends) << static_cast<int>(kind) << " " << testing::PrintToString(text);
        }
    }
}

TEST(PlainLineScanTest, ContinuesATableAndBytewiseLeavesTheWorkToTheCaller) {
    std::string text;
    for (int line = 0; line < 5000; ++line)
        text += std::to_string(600000000000 + line) + "\r\n";
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (const links::PlainScanKind kind : kindsRunnableHere()) {
        links::LineEnds ends;
        links::LineEndTable table(ends);
        // Two calls, as a file read in chunks gives: the second adds to what the first found.
        const std::size_t middle = links::notePlainBlocks(bytes, 0, text.size() / 2, table, kind);
        const std::size_t stop = links::notePlainBlocks(bytes, middle, text.size(), table, kind);
        EXPECT_EQ(stop, text.size() / 64 * 64);
        table.close();
        EXPECT_EQ(ends, expectedFor(text, 0, text.size()).ends);
    }
    links::LineEnds ends;
    links::LineEndTable table(ends);
    EXPECT_EQ(links::notePlainBlocks(bytes, 5, text.size(), table, links::PlainScanKind::Bytewise), 5u);
    EXPECT_EQ(table.count(), 0u);
}

} // namespace
