#include "tools/links/id_import.h"

#include "platform/file_descriptor.h"
#include "tools/links/plain_line_scan.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <limits>
#include <optional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace links {
namespace {

constexpr std::size_t kNotValid = std::numeric_limits<std::size_t>::max();
constexpr std::uint64_t kMaxText = kMaxIdTextBytes;
constexpr std::size_t kReadChunk = std::size_t{1} << 20;  // scanned while still in cache
constexpr std::size_t kCheckEvery = std::size_t{4} << 20; // bytes between progress reports and stop checks
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

std::unexpected<ImportError> failure(ImportFailure kind, int systemError = 0) {
    return std::unexpected(ImportError{kind, systemError});
}

// Large buffers that are about to be filled get huge pages where the system offers them on request:
// faulting in a catalogue's text and line table page by page can cost more than reading and scanning
// them (markedly so in virtual machines). Only advice: nothing changes where it is not supported.
void adviseHugePages(const void* data, std::size_t size) {
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    if (size < 2 * kHugePage)
        return;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kHugePage - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// Length of the well-formed UTF-8 sequence at `pos` (whose first byte is 0x80 or above), 0 if none.
std::size_t sequenceLength(const unsigned char* p, std::size_t pos, std::size_t end) {
    const unsigned char lead = p[pos];
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // overlong
        else if (lead == 0xED)
            high = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90; // overlong
        else if (lead == 0xF4)
            high = 0x8F; // beyond U+10FFFF
    } else {
        return 0;
    }
    if (end - pos < length || p[pos + 1] < low || p[pos + 1] > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if ((p[pos + k] & 0xC0) != 0x80)
            return 0;
    return length;
}

// Keeps every well-formed UTF-8 sequence and replaces each stray byte with U+FFFD.
std::string repairUtf8(std::string_view in) {
    const auto* p = reinterpret_cast<const unsigned char*>(in.data());
    std::string out;
    out.reserve(in.size() + in.size() / 2);
    std::size_t pos = 0;
    while (pos < in.size()) {
        if (p[pos] < 0x80) {
            out += static_cast<char>(p[pos++]);
        } else if (const std::size_t length = sequenceLength(p, pos, in.size())) {
            out.append(in.substr(pos, length));
            pos += length;
        } else {
            out += kReplacement;
            ++pos;
        }
    }
    return out;
}

// GBK to UTF-8; a byte that starts no GBK character becomes U+FFFD and decoding goes on after it, so
// a damaged character never swallows the line feed behind it.
std::string gbkToUtf8(std::string_view in) {
    iconv_t converter = ::iconv_open("UTF-8", "GBK");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        // No GBK tables installed: keep what is certain (ASCII) and mark the rest.
        std::string out;
        for (const char byte : in)
            out += static_cast<unsigned char>(byte) < 0x80 ? std::string_view(&byte, 1) : kReplacement;
        return out;
    }
    std::string out(in.size() + in.size() / 2 + 16, '\0');
    char* input = const_cast<char*>(in.data()); // iconv's signature; the input is only read
    std::size_t inputLeft = in.size();
    std::size_t written = 0;
    while (inputLeft > 0) {
        char* output = out.data() + written;
        std::size_t outputLeft = out.size() - written;
        const std::size_t result = ::iconv(converter, &input, &inputLeft, &output, &outputLeft);
        written = out.size() - outputLeft;
        if (result != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG || out.size() - written < kReplacement.size()) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL (a lead byte cut off by the end): one replacement character for one byte.
        out.replace(written, kReplacement.size(), kReplacement);
        written += kReplacement.size();
        ++input;
        --inputLeft;
    }
    ::iconv_close(converter);
    out.resize(written);
    return out;
}

// Checks the run of non-ASCII bytes starting at `pos`, starting no sequence at or after `stop` (every
// sequence that starts before it lies within `end`); returns where checking stopped (the next ASCII
// byte, or `stop`), or kNotValid.
std::size_t checkNonAsciiRun(const unsigned char* p, std::size_t pos, std::size_t stop, std::size_t end) {
    while (pos < stop && p[pos] >= 0x80) {
        const std::size_t length = sequenceLength(p, pos, end);
        if (length == 0)
            return kNotValid;
        pos += length;
    }
    return pos;
}

// Finds the first zero byte, checks UTF-8 and records where the lines end, in one pass that can follow
// a file as it is read: each chunk is scanned while it is still in the processor's cache, which keeps
// a million-line import close to the cost of reading the file. Once the text turns out not to be UTF-8
// only the zero byte is still looked for; the lines are found again after decoding.
class Scanner {
public:
    Scanner(LineEnds& lineEnds, std::size_t start)
        : m_ends(lineEnds), m_start(start), m_next(start), m_checkedTo(start) {}

    /// Scans data[.., available) as far as it can without later bytes; `complete` when the text ends
    /// at `available`.
    void advance(const char* data, std::size_t available, bool complete) {
        if (settled())
            return;
        const auto* p = reinterpret_cast<const unsigned char*>(data);
        if (m_valid)
            scan(p, available, complete);
        if (!m_valid && !settled()) {
            if (const void* zero = std::memchr(p + m_next, 0, available - m_next))
                m_end = static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - p);
            else if (complete)
                m_end = available;
            else
                m_next = available;
        }
    }

    /// True once the end of the text is known: a zero byte, or the end of complete data.
    bool settled() const { return m_end != kNotValid; }
    std::size_t end() const { return m_end; }
    bool validUtf8() const { return m_valid; }
    /// Lines found so far.
    std::size_t lines() const { return m_ends.count(); }

private:
    void scan(const unsigned char* p, std::size_t available, bool complete) {
        // Bytes near the end wait for the next chunk unless the text is complete: a character that
        // starts before `limit` is whole below `available`.
        const std::size_t limit = complete ? available : (available > 3 ? available - 3 : 0);
        std::size_t i = m_next;
#if defined(__SSE2__)
        while (i + 16 <= limit) {
            i = notePlainBlocks(p, i, limit, m_ends);
            for (const std::size_t stop = std::min(i + 64, limit); i + 16 <= stop; i += 16)
                if (!scanBlock(p, i, available, limit))
                    return;
        }
#endif
        if (!complete) {
            m_next = i;
            return;
        }
        for (; i < available; ++i) {
            const unsigned char byte = p[i];
            if (byte == 0) {
                finish(p, i);
                return;
            }
            if (byte == '\n') {
                m_ends.add(static_cast<std::uint32_t>(i));
            } else if (byte >= 0x80 && i >= m_checkedTo) {
                m_checkedTo = checkNonAsciiRun(p, i, available, available);
                if (m_checkedTo == kNotValid) {
                    m_valid = false;
                    m_next = i;
                    return;
                }
            }
        }
        finish(p, available);
    }

#if defined(__SSE2__)
    // Scans the 16 bytes at `i`, which may hold zero and non-ASCII bytes; false when scanning ends.
    bool scanBlock(const unsigned char* p, std::size_t i, std::size_t available, std::size_t limit) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const auto zeros =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_setzero_si128())));
        auto highs = static_cast<unsigned>(_mm_movemask_epi8(bytes));
        auto feeds = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))));
        if (zeros) {
            const unsigned before = (1u << __builtin_ctz(zeros)) - 1;
            highs &= before;
            feeds &= before;
        }
        // Several runs of non-ASCII bytes may share a block; a run may also reach into later blocks.
        for (;;) {
            if (highs && m_checkedTo > i)
                highs &= m_checkedTo - i >= 16 ? 0u : ~((1u << (m_checkedTo - i)) - 1);
            if (!highs)
                break;
            m_checkedTo =
                checkNonAsciiRun(p, i + static_cast<unsigned>(__builtin_ctz(highs)), limit, available);
            if (m_checkedTo == kNotValid) {
                m_valid = false;
                m_next = i;
                return false;
            }
        }
        for (; feeds; feeds &= feeds - 1)
            m_ends.add(static_cast<std::uint32_t>(i + static_cast<unsigned>(__builtin_ctz(feeds))));
        if (zeros) {
            finish(p, i + static_cast<unsigned>(__builtin_ctz(zeros)));
            return false;
        }
        return true;
    }
#endif

    void finish(const unsigned char* p, std::size_t end) {
        // The last piece has no line feed after it; it gives a row unless it is empty (or a CR left
        // over from a cut-off CR LF).
        const std::size_t lineStart = m_ends.count() == 0 ? m_start : m_ends.last() + std::size_t{1};
        const std::size_t length = end - lineStart;
        if (length > 1 || (length == 1 && p[lineStart] != '\r'))
            m_ends.add(static_cast<std::uint32_t>(end));
        m_ends.close();
        m_end = end;
    }

    LineEndTable m_ends;
    std::size_t m_start;     // where the first line starts
    std::size_t m_next;      // the first byte not scanned yet
    std::size_t m_checkedTo; // UTF-8 is checked below this
    std::size_t m_end = kNotValid;
    bool m_valid = true;
};

// Builds an IdText from bytes that arrive in pieces (or all at once).
class IdTextBuilder {
public:
    IdTextBuilder() : m_parsed(std::make_shared<IdText>()) {}

    std::string& text() { return m_parsed->text; }

    /// Sizes the line table for a text of about `bytes` bytes.
    void expect(std::uint64_t bytes) {
        // Most ID files hold short numbers: a guess that avoids most regrowth without overcommitting.
        m_parsed->lineEnds.reserve(static_cast<std::size_t>(bytes / 12 + 1));
        adviseHugePages(m_parsed->lineEnds.data(), m_parsed->lineEnds.capacity() * sizeof(std::uint32_t));
    }

    /// Scans text()[.., available); `complete` when the text ends there.
    std::expected<void, ImportError> advance(std::size_t available, bool complete) {
        const std::string& text = m_parsed->text;
        if (!m_scanner) {
            if (available < kByteOrderMark.size() && !complete)
                return {};
            m_marked = std::string_view(text.data(), available).starts_with(kByteOrderMark);
            m_start = m_marked ? kByteOrderMark.size() : 0;
            m_parsed->firstLineStart = static_cast<std::uint32_t>(m_start);
            m_scanner.emplace(m_parsed->lineEnds, m_start);
        }
        m_scanner->advance(text.data(), available, complete);
        if (m_scanner->lines() > kMaxIdRows)
            return failure(ImportFailure::TooLarge);
        return {};
    }

    /// True once the rest of the bytes cannot matter (a zero byte ended the text).
    bool settled() const { return m_scanner && m_scanner->settled(); }

    /// Completes the text once all bytes were given to advance(..., true).
    std::expected<std::shared_ptr<const IdText>, ImportError> finish(const TaskObserver& observer,
                                                                     IdEncoding* encoding) {
        if (!m_scanner || !m_scanner->settled())
            if (auto scanned = advance(m_parsed->text.size(), true); !scanned)
                return std::unexpected(scanned.error());
        std::string& text = m_parsed->text;
        LineEnds& lineEnds = m_parsed->lineEnds;
        const std::size_t end = m_scanner->end();
        if (encoding)
            *encoding = m_scanner->validUtf8() || m_marked ? IdEncoding::Utf8 : IdEncoding::Gbk;
        if (!m_scanner->validUtf8()) {
            if (observer.shouldStop())
                return failure(ImportFailure::Cancelled);
            const std::string_view content = std::string_view(text).substr(m_start, end - m_start);
            std::string decoded = m_marked ? repairUtf8(content) : gbkToUtf8(content);
            if (decoded.size() > kMaxText)
                return failure(ImportFailure::TooLarge);
            text = std::move(decoded);
            m_parsed->firstLineStart = 0;
            lineEnds.clear();
            Scanner rescan(lineEnds, 0);
            rescan.advance(text.data(), text.size(), true);
            if (rescan.lines() > kMaxIdRows)
                return failure(ImportFailure::TooLarge);
        } else if (end < text.size() / 2) {
            // A zero byte early in a large file: do not keep the unused rest in memory.
            text.resize(end);
            text.shrink_to_fit();
        }
        if (lineEnds.capacity() > 2 * lineEnds.size() + 1024) // long lines: give back most of the guess
            lineEnds.shrink_to_fit();
        return std::shared_ptr<const IdText>(std::move(m_parsed));
    }

private:
    std::shared_ptr<IdText> m_parsed;
    std::optional<Scanner> m_scanner;
    bool m_marked = false;
    std::size_t m_start = 0;
};

} // namespace

namespace {

// Reads the file in chunks, calling `onChunk(complete)` as each arrives; it returns whether to go on.
template <class OnChunk>
std::expected<void, ImportError> readFile(const std::filesystem::path& path, std::string& bytes,
                                          const TaskObserver& observer, OnChunk onChunk) {
    const platform::FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return failure(ImportFailure::CannotOpen, errno);
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0)
        return failure(ImportFailure::CannotRead, errno);
    if (S_ISDIR(status.st_mode))
        return failure(ImportFailure::CannotRead, EISDIR);
    const std::uint64_t expected = S_ISREG(status.st_mode) ? static_cast<std::uint64_t>(status.st_size) : 0;
    if (expected > kMaxText)
        return failure(ImportFailure::TooLarge);

    // One spare byte lets the final read see the end of the file without growing the buffer.
    bytes.reserve(static_cast<std::size_t>(expected) + 1);
    adviseHugePages(bytes.data(), bytes.capacity());
    for (;;) {
        if (observer.shouldStop())
            return failure(ImportFailure::Cancelled);
        const std::size_t had = bytes.size();
        const std::size_t room = bytes.capacity() - had;
        const std::size_t chunk = room > 0 ? std::min(room, kReadChunk) : kReadChunk;
        ssize_t got = 0;
        bytes.resize_and_overwrite(had + chunk, [&](char* data, std::size_t) {
            got = ::read(fd.get(), data + had, chunk);
            return had + static_cast<std::size_t>(std::max<ssize_t>(got, 0));
        });
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return failure(ImportFailure::CannotRead, errno);
        }
        if (bytes.size() > kMaxText)
            return failure(ImportFailure::TooLarge);
        const bool complete = got == 0;
        const std::expected<bool, ImportError> goOn = onChunk(complete);
        if (!goOn)
            return std::unexpected(goOn.error());
        if (complete || !*goOn)
            return {};
        observer.report(bytes.size(), std::max<std::uint64_t>(expected, bytes.size()));
    }
}

} // namespace

std::expected<std::string, ImportError> readIdFileBytes(const std::filesystem::path& path,
                                                        const TaskObserver& observer) {
    std::string bytes;
    auto read = readFile(path, bytes, observer, [](bool) { return std::expected<bool, ImportError>(true); });
    if (!read)
        return std::unexpected(read.error());
    return bytes;
}

std::expected<std::shared_ptr<const IdText>, ImportError>
parseIdText(std::string bytes, const TaskObserver& observer, IdEncoding* encoding) {
    if (bytes.size() > kMaxText)
        return failure(ImportFailure::TooLarge);
    IdTextBuilder builder;
    builder.expect(bytes.size());
    builder.text() = std::move(bytes);
    const std::size_t size = builder.text().size();
    for (std::size_t available = std::min(size, kCheckEvery);;
         available = std::min(size, available + kCheckEvery)) {
        if (observer.shouldStop())
            return failure(ImportFailure::Cancelled);
        if (auto scanned = builder.advance(available, available == size); !scanned)
            return std::unexpected(scanned.error());
        observer.report(available, size);
        if (available == size || builder.settled())
            break;
    }
    return builder.finish(observer, encoding);
}

std::expected<IdRows, ImportError> importIdFile(const std::filesystem::path& path,
                                                const TaskObserver& observer,
                                                const std::function<void(const IdBlock&)>& onBlock,
                                                std::size_t blockRows) {
    IdTextBuilder builder;
    bool sized = false;
    auto read =
        readFile(path, builder.text(), observer, [&](bool complete) -> std::expected<bool, ImportError> {
            if (!sized) {
                builder.expect(builder.text().capacity());
                sized = true;
            }
            if (auto scanned = builder.advance(builder.text().size(), complete); !scanned)
                return std::unexpected(scanned.error());
            return !builder.settled(); // past a zero byte nothing more is needed
        });
    if (!read)
        return std::unexpected(read.error());
    auto parsed = builder.finish(observer, nullptr);
    if (!parsed)
        return std::unexpected(parsed.error());
    const std::shared_ptr<const IdText>& text = *parsed;
    if (onBlock) {
        blockRows = std::max<std::size_t>(blockRows, 1);
        for (std::size_t first = 0; first < text->size(); first += blockRows) {
            if (observer.shouldStop())
                return failure(ImportFailure::Cancelled);
            onBlock(IdBlock{text, first, std::min(blockRows, text->size() - first)});
        }
    }
    return IdRows(text);
}

} // namespace links
