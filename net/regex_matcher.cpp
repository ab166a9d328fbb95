#include "net/regex_matcher.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <memory>

namespace net {
namespace {

// Bounds on backtracking, so a pathological pattern gives up instead of stalling its thread.
constexpr uint32_t kMatchLimit = 5'000'000;
constexpr uint32_t kDepthLimit = 100'000;

struct CodeDeleter {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct MatchContextDeleter {
    void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};

} // namespace

bool RegexMatcher::Create(std::string_view pattern, std::string_view subject, bool caseSensitive,
                          bool multiLine, bool global) {
    m_matches.clear();
    m_subject.assign(subject);

    // Script-style escapes (\uXXXX, \xXX); invalid UTF-8 in the subject simply never matches.
    uint32_t options = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_MATCH_INVALID_UTF;
    if (!caseSensitive)
        options |= PCRE2_CASELESS;
    if (multiLine)
        options |= PCRE2_MULTILINE;
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    std::unique_ptr<pcre2_code, CodeDeleter> code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()),
                                                                pattern.size(), options, &errorCode,
                                                                &errorOffset, nullptr));
    if (!code)
        return false;
    std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(
        pcre2_match_data_create_from_pattern(code.get(), nullptr));
    std::unique_ptr<pcre2_match_context, MatchContextDeleter> context(pcre2_match_context_create(nullptr));
    if (!data || !context)
        return false;
    pcre2_set_match_limit(context.get(), kMatchLimit);
    pcre2_set_depth_limit(context.get(), kDepthLimit);

    uint32_t groupCount = 0;
    pcre2_pattern_info(code.get(), PCRE2_INFO_CAPTURECOUNT, &groupCount);

    const auto* text = reinterpret_cast<PCRE2_SPTR>(m_subject.data());
    const PCRE2_SIZE length = m_subject.size();
    PCRE2_SIZE start = 0;
    uint32_t matchOptions = 0;
    while (start <= length) {
        const int result =
            pcre2_match(code.get(), text, length, start, matchOptions, data.get(), context.get());
        if (result == PCRE2_ERROR_NOMATCH) {
            if (matchOptions == 0)
                break;
            // After an empty match, move on by one character and try again normally.
            matchOptions = 0;
            ++start;
            while (start < length && (static_cast<unsigned char>(m_subject[start]) & 0xC0) == 0x80)
                ++start;
            continue;
        }
        if (result < 0) {
            m_matches.clear();
            return false;
        }
        const PCRE2_SIZE* offsets = pcre2_get_ovector_pointer(data.get());
        Match match;
        match.text = m_subject.substr(offsets[0], offsets[1] - offsets[0]);
        for (uint32_t group = 1; group <= groupCount; ++group) {
            const PCRE2_SIZE from = offsets[2 * group];
            const PCRE2_SIZE to = offsets[2 * group + 1];
            if (static_cast<int>(group) < result && from != PCRE2_UNSET)
                match.groups.emplace_back(m_subject.substr(from, to - from));
            else
                match.groups.emplace_back(std::nullopt);
        }
        m_matches.push_back(std::move(match));
        if (!global)
            break;
        start = offsets[1];
        // An empty match is tried again at the same place only if it can be non-empty there.
        matchOptions = offsets[0] == offsets[1] ? (PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED) : 0;
    }
    return true;
}

int RegexMatcher::Count() const {
    return static_cast<int>(m_matches.size());
}

std::string RegexMatcher::SubMatch(int match, int group) const {
    if (match < 1 || match > Count())
        return {};
    const Match& found = m_matches[static_cast<std::size_t>(match - 1)];
    if (group < 1 || group > static_cast<int>(found.groups.size()))
        return {};
    return found.groups[static_cast<std::size_t>(group - 1)].value_or(std::string());
}

int RegexMatcher::SubMatchCount() const {
    return m_matches.empty() ? 0 : static_cast<int>(m_matches.front().groups.size());
}

std::string RegexMatcher::MatchText(int match) const {
    if (match < 1 || match > Count())
        return {};
    return m_matches[static_cast<std::size_t>(match - 1)].text;
}

} // namespace net
