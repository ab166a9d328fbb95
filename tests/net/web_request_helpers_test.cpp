#include "net/web_request.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kAgent = "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

TEST(CompleteHeaders, AppendsOnlyTheMissingDefaults) {
    const std::string url = "http://h/p";
    struct Case {
        const char* name;
        std::string headers;
        int method;
        std::string expected;
    } cases[] = {
        {"empty block", "", 0,
         "\r\nAccept: */*\r\nReferer: http://h/p\r\nAccept-Language: zh-cn\r\n" + std::string(kAgent)},
        {"post adds a content type", "", 1,
         "\r\nAccept: */*\r\nReferer: http://h/p\r\nAccept-Language: zh-cn\r\n" + std::string(kAgent) +
             "\r\nContent-Type: application/x-www-form-urlencoded"},
        {"accept present in any case", "accept: text/html", 0,
         "accept: text/html\r\nReferer: http://h/p\r\nAccept-Language: zh-cn\r\n" + std::string(kAgent)},
        {"everything present", "ACCEPT: a\r\nreferer: r\r\naccept-language: en\r\nuser-agent: u", 0,
         "ACCEPT: a\r\nreferer: r\r\naccept-language: en\r\nuser-agent: u"},
        {"content type only for post", "Content-Type: text/plain", 1,
         "Content-Type: text/plain\r\nAccept: */*\r\nReferer: http://h/p\r\nAccept-Language: zh-cn\r\n" +
             std::string(kAgent)},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(net::detail::CompleteHeaders(row.headers, url, row.method), row.expected);
    }
}

TEST(NormalizeHeaderCase, CapitalisesEveryPartOfTheName) {
    struct Case {
        const char* name;
        std::string block, expected;
    } cases[] = {
        {"one part", "accept: */*", "Accept: */*"},
        {"dashed name", "accept-encoding: gzip", "Accept-Encoding: gzip"},
        {"three parts", "sec-ch-ua-mobile: ?0", "Sec-Ch-Ua-Mobile: ?0"},
        {"other letters keep their case", "x-reQuested-with: XMLHttpRequest",
         "X-ReQuested-With: XMLHttpRequest"},
        {"value untouched", "a: b-c d", "A: b-c d"},
        {"lines without colon dropped", "\r\nfoo\r\nb: 1\r\n", "B: 1"},
        {"empty name stays", ":authority: x", ":authority: x"},
        {"several lines", "a: 1\r\nb-c: 2", "A: 1\r\nB-C: 2"},
        {"empty", "", ""},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(net::detail::NormalizeHeaderCase(row.block), row.expected);
    }
}

TEST(Cookies, TakesItemsFromSetCookieLines) {
    struct Case {
        const char* name;
        std::string headers, expected;
    } cases[] = {
        {"with attributes", "Set-Cookie: sid=abc; Path=/", "sid=abc"},
        {"without attributes", "Set-Cookie: flag", "flag"},
        {"several", "Content-Type: x\r\nSet-Cookie: a=1; Path=/\r\nSet-Cookie: b=2", "a=1; b=2"},
        {"lower-case name", "set-cookie: a=1; HttpOnly", "a=1"},
        {"other headers ignored", "X-Set-Cookie: a=1\r\nSet-Cookie2: b=2", ""},
        {"none", "", ""},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(net::detail::CookiesFromHeaders(row.headers), row.expected);
    }
}

TEST(Cookies, MergesOldAndNewItems) {
    struct Case {
        const char* name;
        std::string oldCookies, newCookies, expected;
    } cases[] = {
        {"new value replaces and deleted drops", "a=1; b=2", "b=3; a=deleted", "b=3"},
        {"old items kept after new ones", "a=1; b=2", "c=3", "c=3; a=1; b=2"},
        {"duplicates kept once", "", "x=1; x=1", "x=1"},
        {"trailing semicolons and blanks", " a=1; ", "b=2;", "b=2; a=1"},
        {"names compared trimmed", "a =1", "a=2", "a=2"},
        {"only old", "a=1", "", "a=1"},
        {"both empty", "", "", ""},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(net::detail::MergeCookies(row.oldCookies, row.newCookies), row.expected);
    }
}

TEST(Cookies, NamesAndDuplicates) {
    EXPECT_EQ(net::detail::CookieName(" sid = 1"), "sid");
    EXPECT_EQ(net::detail::CookieName(" flag "), "flag");
    EXPECT_EQ(net::detail::CookieName("a=b=c"), "a");
    EXPECT_EQ(net::detail::RemoveDuplicateItems("a; b; a; c; b", "; "), "a; b; c");
    EXPECT_EQ(net::detail::RemoveDuplicateItems("", "; "), "");
}

TEST(PhaseTimeouts, FollowTheTimeoutParameter) {
    using std::chrono::milliseconds;
    struct Case {
        int timeout;
        milliseconds connect, idle;
    } cases[] = {
        {0, milliseconds(15000), milliseconds(15000)},  {3, milliseconds(3000), milliseconds(3000)},
        {1, milliseconds(1000), milliseconds(1000)},    {-2, milliseconds(15000), milliseconds(15000)},
        {-1, milliseconds(60000), milliseconds(30000)},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.timeout);
        const net::detail::PhaseTimeouts timeouts = net::detail::phaseTimeouts(row.timeout);
        EXPECT_EQ(timeouts.connect, row.connect);
        EXPECT_EQ(timeouts.idle, row.idle);
    }
}

TEST(EscapeUrl, EncodesBlanksAndNonAsciiBytesOnly) {
    EXPECT_EQ(net::detail::escapeUrl("http://h/a b?q=中"), "http://h/a%20b?q=%E4%B8%AD");
    EXPECT_EQ(net::detail::escapeUrl("http://h/a%20b?x=1&y=/#f"), "http://h/a%20b?x=1&y=/#f");
    EXPECT_EQ(net::detail::escapeUrl(""), "");
}

} // namespace
