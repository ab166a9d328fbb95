#include "net/text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

struct Case {
    const char* name;
    std::string input;
    std::string expected;
};

void expectRows(const Case* begin, const Case* end) {
    for (const Case* row = begin; row != end; ++row) {
        SCOPED_TRACE(row->name);
        EXPECT_EQ(net::UnescapeText(row->input), row->expected);
    }
}

TEST(UnescapeText, DecodesWellFormedEscapes) {
    const Case cases[] = {
        {"unicode escapes", R"(\u4f60\u597d)", "你好"},
        {"upper-case hex", R"(\u4F60)", "你"},
        {"percent-u escapes", "%u4f60%u597d", "你好"},
        {"percent escapes are Latin-1 units", "a%20b%41%e9", "a bA\u00E9"},
        {"surrogate pair", R"(\ud83d\ude00)", "😀"},
        {"apostrophe survives", "it's", "it's"},
        {"double quote survives", R"(say "hi")", R"(say "hi")"},
        {"escaped quotes", R"(\'a\" )", R"('a" )"},
        {"escaped slash", R"(http:\/\/x\/y)", "http://x/y"},
        {"escaped backslash", R"(a\\b)", R"(a\b)"},
        {"control escapes", R"(\n\r\t\b\f\v)", "\n\r\t\b\f\v"},
        {"hex escape", R"(\x41\x7a)", "Az"},
        {"octal escapes", R"(\101\60\0)", "A0\0"s},
        {"other escaped characters stand for themselves", R"(\q\%)", "q%"},
        {"CR LF kept", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"LF kept", "a\nb", "a\nb"},
        {"leading lone CR dropped", "\rab", "ab"},
        {"leading CR LF kept", "\r\nab", "\r\nab"},
        {"CR inside kept", "a\rb", "a\rb"},
        {"plain text unchanged", "价格 100元", "价格 100元"},
        {"full-width quote unchanged", "’", "’"},
        {"the old line markers are only text", "{$}{//n//}", "{$}{//n//}"},
        {"empty", "", ""},
        // The literal pass runs before the percent pass, as a script literal fed to unescape would.
        {"escaped backslash before u", R"(\\u0041)", "A"},
        {"hex escape yielding a percent escape", R"(\x2541)", "A"},
        {"unicode escape of a percent is decoded once", R"(\u002541)", "%41"},
    };
    expectRows(std::begin(cases), std::end(cases));
}

TEST(UnescapeText, LeavesMalformedAndHostileInputAsText) {
    const std::string longRun(100000, '\\');
    const Case cases[] = {
        {"script breakout is only text", R"(';alert(1);//)", R"(';alert(1);//)"},
        {"closing function", "'}function xx(){return 'owned'}//", "'}function xx(){return 'owned'}//"},
        {"short unicode escape", R"(\u41)", R"(\u41)"},
        {"unicode escape with bad digit", R"(\u00zz)", R"(\u00zz)"},
        {"braced unicode escape", R"(\u{41})", R"(\u{41})"},
        {"short hex escape", R"(\x4)", R"(\x4)"},
        {"hex escape with bad digit", R"(\xg1)", R"(\xg1)"},
        {"trailing backslash", R"(abc\)", R"(abc\)"},
        {"lone percent", "100%", "100%"},
        {"percent with one digit", "%4", "%4"},
        {"percent-u with three digits", "%u123", "%u123"},
        {"percent-u with bad digit", "%u12g4", "%u12g4"},
        {"lone high surrogate", "%ud800x", "\uFFFDx"},
        {"lone low surrogate", R"(\udc00)", "\uFFFD"},
        {"reversed surrogates", R"(\udc00\ud800)", "\uFFFD\uFFFD"},
        {"invalid utf8 byte",
         "a\xFF"
         "b",
         "a\uFFFDb"},
        {"truncated utf8", "a\xE4\xBD", "a\uFFFD\uFFFD"},
        {"encoded nul", "%00", "\0"s},
        {"many backslashes", longRun, std::string(longRun.size() / 2, '\\')},
    };
    expectRows(std::begin(cases), std::end(cases));
}

} // namespace
