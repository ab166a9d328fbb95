#include "net/text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

struct ConvertCase {
    const char* name;
    std::string input;
    const char* source;
    const char* target;
    std::string expected;
};

TEST(ConvertCharset, ConvertsBetweenUtf8GbkAndUtf16) {
    const ConvertCase cases[] = {
        {"utf8 to gbk", "你好", "UTF-8", "GBK", "\xC4\xE3\xBA\xC3"},
        {"empty names mean utf8 to gbk", "你好", "", "", "\xC4\xE3\xBA\xC3"},
        {"gbk to utf8", "\xC4\xE3\xBA\xC3 ok", "GBK", "UTF-8", "你好 ok"},
        {"gb2312 is the same code page", "\xC4\xE3", "gb2312", "utf-8", "你"},
        {"ascii passes", "abc 123", "UTF-8", "GBK", "abc 123"},
        {"full-width quote", "’", "UTF-8", "GBK", "\xA1\xAF"},
        {"utf8 to utf16le", "A你", "UTF-8", "UTF-16LE", "A\0\x60\x4F"s},
        {"unicode means utf16le", "A\0\x60\x4F"s, "unicode", "UTF-8", "A你"},
        {"utf16le surrogate pair", "\x3D\xD8\x00\xDE"s, "UTF-16LE", "UTF-8", "😀"},
        {"no bom is written", "a", "UTF-8", "UTF-16LE", "a\0"s},
        {"bom of the source is dropped", "\xEF\xBB\xBF你", "UTF-8", "GBK", "\xC4\xE3"},
        {"unmappable becomes question mark", "a😀b", "UTF-8", "GBK", "a?b"},
        {"euro sign of code page 936", "€", "UTF-8", "GBK", "\x80"},
        {"invalid utf8 byte becomes replacement",
         "a\xFF"
         "b",
         "UTF-8", "UTF-8", "a\uFFFDb"},
        {"invalid utf8 into gbk", "a\xC3(b", "UTF-8", "GBK", "a?(b"},
        {"truncated utf8 at the end", "a\xE4\xBD", "UTF-8", "UTF-8", "a\uFFFD\uFFFD"},
        {"gbk lead byte without trail", "\xC4", "GBK", "UTF-8", "\uFFFD"},
        {"gbk lead byte with invalid trail", "\xC4\x20z", "GBK", "UTF-8", "\uFFFD z"},
        {"empty input", "", "UTF-8", "GBK", ""},
        {"unknown character set", "abc", "NO-SUCH-SET", "GBK", ""},
        {"unknown target", "abc", "UTF-8", "NO-SUCH-SET", ""},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(net::ConvertCharset(row.input, row.source, row.target), row.expected);
    }
}

TEST(ConvertCharset, RoundTripsEveryGbkCharacterOfALongText) {
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "价格￥" + std::to_string(i) + "元，包邮！\r\n";
    const std::string gbk = net::ConvertCharset(text, "UTF-8", "GBK");
    EXPECT_LT(gbk.size(), text.size());
    EXPECT_EQ(net::ConvertCharset(gbk, "GBK", "UTF-8"), text);
}

TEST(DecodeUtf16, DecodesLittleEndianUnits) {
    const ConvertCase cases[] = {
        {"two characters", "\x60\x4F\x7D\x59"s, "", "", "你好"},
        {"ascii", "h\0i\0"s, "", "", "hi"},
        {"odd last byte", "h\0i"s, "", "", "h\uFFFD"},
        {"lone high surrogate",
         "\x3D\xD8"
         "a\0"s,
         "", "", "\uFFFDa"},
        {"empty", "", "", "", ""},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(net::DecodeUtf16(row.input), row.expected);
    }
}

TEST(SplitText, FollowsThePieceRules) {
    struct Case {
        const char* name;
        std::string text;
        std::string separator;
        std::vector<std::string> expected;
    } cases[] = {
        {"simple", "a\r\nb\r\nc", "\r\n", {"a", "b", "c"}},
        {"final empty piece dropped", "a\r\nb\r\n", "\r\n", {"a", "b"}},
        {"empty pieces between separators count", "a\r\n\r\nb", "\r\n", {"a", "", "b"}},
        {"leading separator gives an empty piece", "\r\na", "\r\n", {"", "a"}},
        {"only a separator", "\r\n", "\r\n", {""}},
        {"empty text", "", "\r\n", {}},
        {"no separator found", "abc", ",", {"abc"}},
        {"empty separator", "abc", "", {"abc"}},
        {"multi-byte characters stay whole", "价格；数量；", "；", {"价格", "数量"}},
        {"separator made of a character's tail is not found inside it", "你好", "\xA0", {"你好"}},
        {"stray continuation bytes are characters of their own",
         "a\r\n\xA0"
         "b",
         "\r\n",
         {"a", "\xA0"
               "b"}},
        {"truncated sequence does not hide a separator", "\xE4\r\nb", "\r\n", {"\xE4", "b"}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(net::SplitText(row.text, row.separator), row.expected);
    }
}

TEST(TextBetween, CutsBetweenMarkers) {
    struct Case {
        const char* name;
        std::string text, start, end;
        int position;
        bool caseSensitive;
        std::string expected;
    } cases[] = {
        {"plain", "<b>价格</b>", "<b>", "</b>", 1, false, "价格"},
        {"quote marker", R"({"text":"你好","x":1})", "#引号text#引号:#引号", "#引号", 1, false, "你好"},
        {"real quotes find the same", R"({"text":"你好","x":1})", "\"text\":\"", "\"", 1, false, "你好"},
        {"missing end marker gives nothing", "<b>rest of text", "<b>", "</b>", 1, false, ""},
        {"missing start marker gives nothing", "rest</b>", "<b>", "</b>", 1, false, ""},
        {"case ignored by default", "<B>x</B>", "<b>", "</b>", 1, false, "x"},
        {"case sensitive when asked", "<B>x</B><b>y</b>", "<b>", "</b>", 1, true, "y"},
        {"start position skips the first", "[a][b]", "[", "]", 2, false, "b"},
        {"start position counts characters", "价[a]格[b]", "[", "]", 3, false, "b"},
        {"position below 1 counts as 1", "[a]", "[", "]", -5, false, "a"},
        {"position past the end", "[a]", "[", "]", 99, false, ""},
        {"markers at both edges", "<a>", "<", ">", 1, false, "a"},
        {"adjacent markers give empty text", "<>", "<", ">", 1, false, ""},
        {"empty text", "", "<", ">", 1, false, ""},
        {"empty start marker", "abc", "", "c", 1, false, ""},
        {"end is searched after the start", "b]a[c]", "[", "]", 1, false, "c"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(net::TextBetween(row.text, row.start, row.end, row.position, row.caseSensitive),
                  row.expected);
    }
}

TEST(TextBefore, TakesTheTextBeforeTheMarker) {
    struct Case {
        const char* name;
        std::string text, marker;
        int position;
        bool caseInsensitive;
        std::string expected;
    } cases[] = {
        {"header name", "Set-Cookie: a=1", ": ", 1, false, "Set-Cookie"},
        {"marker missing", "Set-Cookie", ": ", 1, false, ""},
        {"marker at the start", ": x", ": ", 1, false, ""},
        {"case sensitive by default", "abcXdef", "x", 1, false, ""},
        {"case insensitive when asked", "abcXdef", "x", 1, true, "abc"},
        {"start position skips an earlier marker", "a,b,c", ",", 3, false, "a,b"},
        {"position below 1 counts as 1", "a,b", ",", 0, false, "a"},
        {"multi-byte text", "商品：123", "：", 1, false, "商品"},
        {"empty text", "", ",", 1, false, ""},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(net::TextBefore(row.text, row.marker, row.position, row.caseInsensitive), row.expected);
    }
}

TEST(TextAfterLast, TakesTheTextAfterTheLastMarker) {
    struct Case {
        const char* name;
        std::string text, marker;
        bool caseInsensitive;
        std::string expected;
    } cases[] = {
        {"share link", "a.html?b.html?c", "html?", false, "c"},
        {"marker missing", "abc", "?", false, ""},
        {"marker at the end", "abc?", "?", false, ""},
        {"case sensitive by default", "x.HTML?y", "html?", false, ""},
        {"case insensitive when asked", "x.HTML?y", "html?", true, "y"},
        {"multi-byte", "一/二/三", "/", false, "三"},
        {"overlapping markers", "aaa", "aa", false, ""},
        {"empty text", "", "?", false, ""},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(net::TextAfterLast(row.text, row.marker, row.caseInsensitive), row.expected);
    }
}

TEST(HeaderLine, SplitsAtTheFirstColonAndTrims) {
    struct Case {
        const char* name;
        std::string line, headerName, headerValue;
    } cases[] = {
        {"plain", "Accept: */*", "Accept", "*/*"},
        {"blanks trimmed", "  X-A \t:  v  ", "X-A", "v"},
        {"pseudo header", ":authority: x", "", "authority: x"},
        {"no colon", "garbage", "", ""},
        {"empty value", "Cookie:", "Cookie", ""},
        {"value with colons", "Referer: http://a:80/b", "Referer", "http://a:80/b"},
        {"full-width blank trimmed", "\u3000Name\u3000: 值\u3000", "Name", "值"},
        {"empty", "", "", ""},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(net::HeaderName(row.line), row.headerName);
        EXPECT_EQ(net::HeaderValue(row.line), row.headerValue);
    }
}

/// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool isValidUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = byte < 0x80                    ? 1
                             : byte >= 0xC2 && byte <= 0xDF ? 2
                             : byte >= 0xE0 && byte <= 0xEF ? 3
                             : byte >= 0xF0 && byte <= 0xF4 ? 4
                                                            : 0;
        if (length == 0 || i + length > text.size())
            return false;
        char32_t code = length == 1 ? byte : byte & (0xFF >> (length + 1));
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < minimum[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

TEST(TextHelpers, ArbitraryBytesNeverBreakTheHelpers) {
    std::mt19937 random(20240101); // fixed, so a failure can be replayed
    const std::string alphabet = "\\%uUx0123456789abcdefABCDEF'\"\r\n;:=- {}#\xE4\xBD\xA0\xC4\xE3\xFF\x80";
    for (int round = 0; round < 1000; ++round) {
        std::string text(random() % 40, '\0');
        for (char& c : text)
            c = random() % 4 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
        SCOPED_TRACE(testing::PrintToString(text));
        EXPECT_TRUE(isValidUtf8(net::UnescapeText(text)));
        EXPECT_TRUE(isValidUtf8(net::ConvertCharset(text, "UTF-8", "UTF-8")));
        EXPECT_TRUE(isValidUtf8(net::ConvertCharset(text, "GBK", "UTF-8")));
        EXPECT_TRUE(isValidUtf8(net::DecodeUtf16(text)));
        const std::string between = net::TextBetween(text, "%", ";");
        EXPECT_NE(text.find(between), std::string::npos);
        for (const std::string& piece : net::SplitText(text, "\r\n"))
            EXPECT_EQ(piece.find("\r\n"), std::string::npos);
    }
}

} // namespace
