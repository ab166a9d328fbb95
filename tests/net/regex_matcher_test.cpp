#include "net/regex_matcher.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RegexMatcher, FindsEveryMatchAndItsGroups) {
    net::RegexMatcher matcher;
    const std::string page = R"(<li time="2024-01-02">到达 上海</li><li time="2024-01-03">签收</li>)";
    ASSERT_TRUE(matcher.Create(R"re(<li time="([^"]+)">(.*?)</li>)re", page));
    ASSERT_EQ(matcher.Count(), 2);
    EXPECT_EQ(matcher.SubMatchCount(), 2);
    EXPECT_EQ(matcher.SubMatch(1, 1), "2024-01-02");
    EXPECT_EQ(matcher.SubMatch(1, 2), "到达 上海");
    EXPECT_EQ(matcher.SubMatch(2, 2), "签收");
    EXPECT_EQ(matcher.MatchText(2), R"(<li time="2024-01-03">签收</li>)");
}

TEST(RegexMatcher, AppliesTheMatchingSwitches) {
    struct Case {
        const char* name;
        std::string pattern, subject;
        bool caseSensitive, multiLine, global;
        int expectedCount;
    } cases[] = {
        {"case ignored by default", "abc", "ABC abc", false, true, true, 2},
        {"case sensitive", "abc", "ABC abc", true, true, true, 1},
        {"multi-line anchors", "^x", "x\nx\nx", false, true, true, 3},
        {"single-line anchors", "^x", "x\nx\nx", false, false, true, 1},
        {"first match only", "\\d", "1 2 3", false, true, false, 1},
        {"empty matches advance", "a*", "baaa", false, true, true, 3},
        {"empty matches advance over characters", "x*", "价格", false, true, true, 3},
        {"script unicode escape", "\\u4f60", "你好你", false, true, true, 2},
        {"case folding outside ascii", "é", "É é", false, true, true, 2},
        {"no match", "zzz", "abc", false, true, true, 0},
        {"empty subject", "a", "", false, true, true, 0},
        {"invalid utf8 subject", "b",
         "a\xFF"
         "b",
         false, true, true, 1},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        net::RegexMatcher matcher;
        ASSERT_TRUE(matcher.Create(row.pattern, row.subject, row.caseSensitive, row.multiLine, row.global));
        EXPECT_EQ(matcher.Count(), row.expectedCount);
    }
}

TEST(RegexMatcher, GroupsThatDidNotTakePartAndOutOfRangeNumbersAreEmpty) {
    net::RegexMatcher matcher;
    ASSERT_TRUE(matcher.Create("(a)|(b)", "b"));
    ASSERT_EQ(matcher.Count(), 1);
    EXPECT_EQ(matcher.SubMatchCount(), 2);
    EXPECT_EQ(matcher.SubMatch(1, 1), "");
    EXPECT_EQ(matcher.SubMatch(1, 2), "b");
    EXPECT_EQ(matcher.SubMatch(0, 1), "");
    EXPECT_EQ(matcher.SubMatch(2, 1), "");
    EXPECT_EQ(matcher.SubMatch(1, 3), "");
    EXPECT_EQ(matcher.SubMatch(1, -1), "");
    EXPECT_EQ(matcher.MatchText(5), "");
}

TEST(RegexMatcher, RejectedPatternsGiveNoMatches) {
    net::RegexMatcher matcher;
    ASSERT_TRUE(matcher.Create("a", "aaa"));
    ASSERT_EQ(matcher.Count(), 3);
    for (const char* pattern : {"(", "[a-", "a{2,1}", "\\", "(?<n>a)(?<n>b)"}) {
        SCOPED_TRACE(pattern);
        EXPECT_FALSE(matcher.Create(pattern, "aaa"));
        EXPECT_EQ(matcher.Count(), 0);
        EXPECT_EQ(matcher.SubMatchCount(), 0);
        EXPECT_EQ(matcher.SubMatch(1, 1), "");
    }
}

TEST(RegexMatcher, GivesUpOnCatastrophicBacktracking) {
    net::RegexMatcher matcher;
    const std::string subject = std::string(40, 'a') + "!";
    EXPECT_FALSE(matcher.Create("(a+)+$", subject));
    EXPECT_EQ(matcher.Count(), 0);
}

} // namespace
