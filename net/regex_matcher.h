#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace net {

/// One regular-expression search over a subject (Perl-compatible syntax, UTF-8 aware, with "\uXXXX"
/// and "\xXX" escapes as in script regular expressions).
class RegexMatcher {
public:
    /// Compiles `pattern` and searches `subject` (all matches when `global`); false when the pattern
    /// does not compile or the search gives up (too much backtracking); then there are no matches.
    bool Create(std::string_view pattern, std::string_view subject, bool caseSensitive = false,
                bool multiLine = true, bool global = true);

    /// The number of matches of the last search.
    int Count() const;

    /// Group `group` (from 1) of match `match` (from 1); "" for a group that did not take part or
    /// numbers out of range.
    std::string SubMatch(int match, int group) const;

    /// The number of groups of the first match; 0 without matches.
    int SubMatchCount() const;

    /// The whole text of match `match` (from 1); "" out of range.
    std::string MatchText(int match) const;

private:
    struct Match {
        std::string text;
        std::vector<std::optional<std::string>> groups;
    };
    std::vector<Match> m_matches;
    std::string m_subject;
};

} // namespace net
