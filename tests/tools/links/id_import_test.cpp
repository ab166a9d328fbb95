#include "tools/links/id_import.h"

#include "temporary_directory.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace std::string_literals;

namespace {

std::vector<std::string> idsOf(const links::IdText& text) {
    std::vector<std::string> ids;
    for (std::size_t i = 0; i < text.size(); ++i)
        ids.emplace_back(text.id(i));
    return ids;
}

std::vector<std::string> idsOf(const links::IdRows& rows) {
    std::vector<std::string> ids;
    rows.forEach([&](std::string_view id) { ids.emplace_back(id); });
    return ids;
}

struct ParseCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> ids;
    links::IdEncoding encoding = links::IdEncoding::Utf8;
};

// "商品" in GBK and in UTF-8.
const std::string kGbkGoods = "\xC9\xCC\xC6\xB7";
const std::string kUtf8Goods = "\xE5\x95\x86\xE5\x93\x81";
const std::string kReplacement = "\xEF\xBF\xBD";

class ParseIdTextTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseIdTextTest, GivesTheIdsInFileOrder) {
    const ParseCase& c = GetParam();
    links::IdEncoding encoding{};
    const auto parsed = links::parseIdText(c.bytes, {}, &encoding);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(idsOf(**parsed), c.ids);
    EXPECT_EQ(encoding, c.encoding);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseIdTextTest,
    testing::Values(
        ParseCase{"CrLf", "1001\r\n1002\r\n1003\r\n", {"1001", "1002", "1003"}},
        ParseCase{"BareLf", "1001\n1002\n1003", {"1001", "1002", "1003"}},
        ParseCase{"MixedLineEnds", "1001\r\n1002\n1003\r\n", {"1001", "1002", "1003"}},
        ParseCase{"EmptyLinesInTheMiddle", "1001\r\n\r\n1003\n\n1005", {"1001", "", "1003", "", "1005"}},
        ParseCase{"TrailingNewlineGivesNoEmptyRow", "1001\r\n\r\n", {"1001", ""}},
        ParseCase{"NoTrailingNewline", "1001", {"1001"}}, ParseCase{"EmptyFile", "", {}},
        ParseCase{"OnlyALineEnd", "\r\n", {""}},
        ParseCase{"CrCutOffAtTheEnd", "1001\r\n1002\r", {"1001", "1002"}},
        ParseCase{"LoneCrInsideALineStays", "10\r01\n", {"10\r01"}},
        ParseCase{"BlanksAndLettersStay", " 10 01 \r\nabc\r\n", {" 10 01 ", "abc"}},
        ParseCase{"ByteOrderMarkDropped",
                  "\xEF\xBB\xBF"
                  "1001\r\n1002",
                  {"1001", "1002"}},
        ParseCase{"ByteOrderMarkOnly", "\xEF\xBB\xBF", {}},
        ParseCase{
            "Utf8Chinese", kUtf8Goods + "1001\r\n" + kUtf8Goods + "\r\n", {kUtf8Goods + "1001", kUtf8Goods}},
        ParseCase{"GbkChinese",
                  kGbkGoods + "1001\r\n1002" + kGbkGoods + "\r\n",
                  {kUtf8Goods + "1001", "1002" + kUtf8Goods},
                  links::IdEncoding::Gbk},
        ParseCase{"ZeroByteEndsTheText",
                  "1001\r\n10\0"
                  "02\r\n1003"s,
                  {"1001", "10"}},
        ParseCase{"ZeroByteFirst",
                  "\0"
                  "1001\r\n"s,
                  {}},
        ParseCase{
            "ZeroByteAfterGbk", kGbkGoods + "\r\n" + "\0\xFF\xFF"s, {kUtf8Goods}, links::IdEncoding::Gbk},
        ParseCase{"StrayByteInGbkBecomesReplacement",
                  "a\xFF\r\nb",
                  {"a" + kReplacement, "b"},
                  links::IdEncoding::Gbk},
        ParseCase{"CutGbkCharacterKeepsTheLineEnd",
                  "\xC9\n1002\xC9",
                  {kReplacement, "1002" + kReplacement},
                  links::IdEncoding::Gbk},
        ParseCase{"MarkedFileWithStrayByte",
                  "\xEF\xBB\xBF"
                  "ab\xFF"
                  "c\r\n",
                  {"ab" + kReplacement + "c"}},
        // Invalid UTF-8 found only after the first 16-byte blocks, behind valid multi-byte text.
        ParseCase{"LateInvalidByteMakesTheWholeFileGbk",
                  "1234567890123456\r\n" + kGbkGoods + "\r\n",
                  {"1234567890123456", kUtf8Goods},
                  links::IdEncoding::Gbk}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

// The fast scan works on 16-byte blocks; a slow reference must agree wherever lines, multi-byte
// characters and zero bytes fall relative to the block edges.
std::vector<std::string> referenceIds(const std::string& bytes) {
    std::string text = bytes.substr(0, bytes.find('\0'));
    if (text.starts_with("\xEF\xBB\xBF"))
        text.erase(0, 3);
    std::vector<std::string> ids;
    std::size_t start = 0;
    for (std::size_t lf; (lf = text.find('\n', start)) != std::string::npos; start = lf + 1) {
        std::string line = text.substr(start, lf - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        ids.push_back(line);
    }
    std::string last = text.substr(start);
    if (!last.empty() && last.back() == '\r')
        last.pop_back();
    if (!last.empty())
        ids.push_back(last);
    return ids;
}

TEST(ParseIdTextAgreementTest, AgreesWithASimpleSplitOnRandomUtf8) {
    const std::vector<std::string> pieces{"1",
                                          "23",
                                          "\n",
                                          "\r\n",
                                          "\r",
                                          kUtf8Goods,
                                          "\xC3\xA9",
                                          "\xF0\x9F\x98\x80",
                                          "\0"s,
                                          " ",
                                          "abcdefghijklmnop"};
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        const int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i)
            bytes += pieces[random() % pieces.size()];
        links::IdEncoding encoding{};
        const auto parsed = links::parseIdText(bytes, {}, &encoding);
        ASSERT_TRUE(parsed);
        ASSERT_EQ(idsOf(**parsed), referenceIds(bytes)) << testing::PrintToString(bytes);
        ASSERT_EQ(encoding, links::IdEncoding::Utf8);
    }
}

// Mostly plain ASCII with now and then a multi-byte character or a zero byte, as real ID files are:
// plain 64-byte stretches take a quicker path, and a block may end anywhere from none to 64 lines.
TEST(ParseIdTextAgreementTest, AgreesWithASimpleSplitOnLongPlainStretches) {
    const std::vector<std::string> plain{"1234567", "\r\n", "\n", "\r", "x", "600123456789\r\n", "\n\n\n\n"};
    const std::vector<std::string> rare{kUtf8Goods, "\xF0\x9F\x98\x80", "\0"s};
    std::mt19937 random(31);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        const int count = static_cast<int>(random() % 120);
        for (int i = 0; i < count; ++i)
            bytes += random() % 40 == 0 ? rare[random() % rare.size()] : plain[random() % plain.size()];
        const auto parsed = links::parseIdText(bytes);
        ASSERT_TRUE(parsed);
        ASSERT_EQ(idsOf(**parsed), referenceIds(bytes)) << testing::PrintToString(bytes);
    }
}

TEST(ParseIdTextAgreementTest, FindsABadByteAtEveryPlace) {
    for (std::size_t at = 0; at < 48; ++at) {
        std::string bytes(48, '7');
        bytes[at] = '\xFF';
        bytes += "\r\n" + kUtf8Goods; // valid multi-byte text after the bad byte must not hide it
        links::IdEncoding encoding{};
        ASSERT_TRUE(links::parseIdText(bytes, {}, &encoding));
        EXPECT_EQ(encoding, links::IdEncoding::Gbk) << at;
    }
}

TEST(ParseIdTextEncodingTest, MalformedUtf8IsReadAsGbk) {
    const std::string malformed[]{
        "\xC0\xAF",         // overlong
        "\xE0\x80\xAF",     // overlong
        "\xED\xA0\x80",     // surrogate
        "\xF4\x90\x80\x80", // beyond U+10FFFF
        "\xF5\x80\x80\x80", // no such lead byte
        "\x80",             // continuation without lead
        "\xE5\x95",         // cut off by the end
        "\xE5\x95\n",       // cut off by a line end
        "\xE5\x95\0\x86"s,  // cut off by the zero byte that ends the text
    };
    for (const std::string& bytes : malformed) {
        links::IdEncoding encoding{};
        ASSERT_TRUE(links::parseIdText("1001\r\n" + bytes, {}, &encoding));
        EXPECT_EQ(encoding, links::IdEncoding::Gbk) << testing::PrintToString(bytes);
    }
}

// Files are scanned in chunks as they are read (and texts in steps): lines, CR LF pairs and multi-byte
// characters that straddle a chunk edge must come out as if scanned at once.
TEST(ParseIdTextAgreementTest, ChunkEdgesChangeNothing) {
    const std::vector<std::string> pieces{"1234567", "\r\n", "\n", kUtf8Goods, "\xF0\x9F\x98\x80", "x", "\r"};
    std::mt19937 random(7);
    std::string bytes;
    while (bytes.size() < (std::size_t{9} << 20))
        bytes += pieces[random() % pieces.size()];
    const std::vector<std::string> expected = referenceIds(bytes);

    TemporaryDirectory directory;
    links::IdEncoding encoding{};
    const auto parsed = links::parseIdText(bytes, {}, &encoding);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(encoding, links::IdEncoding::Utf8);
    EXPECT_TRUE(idsOf(**parsed) == expected);
    const auto imported = links::importIdFile(directory.write("ids.txt", bytes));
    ASSERT_TRUE(imported);
    EXPECT_TRUE(idsOf(*imported) == expected);

    // One bad byte just past the first chunk edge still makes the whole file GBK.
    bytes[(std::size_t{1} << 20) + 1] = '\xFF';
    const auto mixed = links::parseIdText(bytes, {}, &encoding);
    ASSERT_TRUE(mixed);
    EXPECT_EQ(encoding, links::IdEncoding::Gbk);
    const auto importedMixed = links::importIdFile(directory.write("mixed.txt", bytes));
    ASSERT_TRUE(importedMixed);
    EXPECT_EQ(importedMixed->size(), (*mixed)->size());
}

// A catalogue is plain ASCII almost throughout, so its chunks are scanned by the quick path; a CR LF
// or a multi-byte character that straddles a chunk edge must still come out as if scanned at once.
TEST(ParseIdTextAgreementTest, PlainFileWithOddBytesAtTheChunkEdges) {
    std::mt19937 random(1048576);
    std::string bytes;
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    for (std::size_t edge = kChunk; edge <= 3 * kChunk; edge += kChunk) {
        while (bytes.size() < edge - 2 - random() % 3)
            bytes += std::to_string(random()) + (random() % 4 ? "\r\n" : "\n");
        bytes += edge == 2 * kChunk ? kUtf8Goods : "\r\n\r";
    }
    bytes += "\n600123456789";
    const std::vector<std::string> expected = referenceIds(bytes);
    ASSERT_GT(expected.size(), 200'000u);

    TemporaryDirectory directory;
    const auto imported = links::importIdFile(directory.write("ids.txt", bytes));
    ASSERT_TRUE(imported);
    EXPECT_TRUE(idsOf(*imported) == expected);
    links::IdEncoding encoding{};
    const auto parsed = links::parseIdText(bytes, {}, &encoding);
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(idsOf(**parsed) == expected);
    EXPECT_EQ(encoding, links::IdEncoding::Utf8);
}

TEST(ParseIdTextTest, ReportsProgressAndStopsWhenAsked) {
    std::string bytes;
    for (int i = 0; i < 1'000'000; ++i)
        bytes += "100200300400\r\n";
    std::uint64_t lastDone = 0, lastTotal = 0;
    const links::TaskObserver observer{[&](std::uint64_t done, std::uint64_t total) {
                                           EXPECT_GE(done, lastDone);
                                           lastDone = done;
                                           lastTotal = total;
                                       },
                                       {}};
    const auto parsed = links::parseIdText(bytes, observer);
    ASSERT_TRUE(parsed);
    EXPECT_EQ((*parsed)->size(), 1'000'000u);
    EXPECT_EQ(lastDone, bytes.size());
    EXPECT_EQ(lastTotal, bytes.size());

    const auto stopped = links::parseIdText(bytes, {{}, [] { return true; }});
    ASSERT_FALSE(stopped);
    EXPECT_EQ(stopped.error().failure, links::ImportFailure::Cancelled);
}

class ImportIdFileTest : public testing::Test {
protected:
    TemporaryDirectory m_directory;
};

TEST_F(ImportIdFileTest, HandsOutBlocksInFileOrderOnlyAfterReadingWhole) {
    std::string content;
    std::vector<std::string> expected;
    for (int i = 0; i < 10; ++i) {
        expected.push_back(std::to_string(5000 + i));
        content += expected.back() + "\r\n";
    }
    const auto path = m_directory.write("ids.txt", content);
    std::vector<std::size_t> sizes;
    links::IdRows collected;
    const auto rows = links::importIdFile(
        path, {},
        [&](const links::IdBlock& block) {
            sizes.push_back(block.count);
            collected.append(block);
        },
        3);
    ASSERT_TRUE(rows);
    EXPECT_EQ(sizes, (std::vector<std::size_t>{3, 3, 3, 1}));
    EXPECT_EQ(idsOf(collected), expected);
    EXPECT_EQ(idsOf(*rows), expected);
}

TEST_F(ImportIdFileTest, UnreadablePathsAreErrorsNotEmptyLists) {
    const auto locked = m_directory.write("locked.txt", "1001\r\n");
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    struct Case {
        const char* name;
        std::filesystem::path path;
        links::ImportFailure failure;
        int systemError;
    };
    const Case cases[]{
        {"Missing", m_directory.path() / "missing.txt", links::ImportFailure::CannotOpen, ENOENT},
        {"NoPermission", locked, links::ImportFailure::CannotOpen, EACCES},
        {"Directory", m_directory.path(), links::ImportFailure::CannotRead, EISDIR},
    };
    for (const Case& c : cases) {
        bool handedOut = false;
        const auto rows = links::importIdFile(c.path, {}, [&](const links::IdBlock&) { handedOut = true; });
        ASSERT_FALSE(rows) << c.name;
        EXPECT_EQ(rows.error().failure, c.failure) << c.name;
        EXPECT_EQ(rows.error().systemError, c.systemError) << c.name;
        EXPECT_FALSE(handedOut) << c.name;
    }
}

TEST_F(ImportIdFileTest, GbkFixtureWithChineseText) {
    const auto rows = links::importIdFile(std::filesystem::path(VARROW_LINKS_DATA) / "gbk_ids.txt");
    ASSERT_TRUE(rows);
    // "测试商品A", "", "店铺 3001", "100200300" (the fixture is GBK with CR LF).
    EXPECT_EQ(idsOf(*rows), (std::vector<std::string>{"\xE6\xB5\x8B\xE8\xAF\x95\xE5\x95\x86\xE5\x93\x81"
                                                      "A",
                                                      "", "\xE5\xBA\x97\xE9\x93\xBA 3001", "100200300"}));
}

TEST_F(ImportIdFileTest, CancelledImportHandsOutNothing) {
    const auto path = m_directory.write("ids.txt", "1\r\n2\r\n");
    bool handedOut = false;
    const auto rows = links::importIdFile(path, {{}, [] { return true; }},
                                          [&](const links::IdBlock&) { handedOut = true; });
    ASSERT_FALSE(rows);
    EXPECT_EQ(rows.error().failure, links::ImportFailure::Cancelled);
    EXPECT_FALSE(handedOut);
}

} // namespace
