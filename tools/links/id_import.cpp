#include "tools/links/id_import.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <limits>
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
constexpr std::size_t kReadChunk = std::size_t{4} << 20;
constexpr std::size_t kCheckEvery = std::size_t{4} << 20; // bytes between progress reports and stop checks
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

std::unexpected<ImportError> failure(ImportFailure kind, int systemError = 0) {
    return std::unexpected(ImportError{kind, systemError});
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

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

// Checks the run of non-ASCII bytes starting at `pos`; returns where the next ASCII byte (or the end)
// is, or kNotValid.
std::size_t checkNonAsciiRun(const unsigned char* p, std::size_t pos, std::size_t end) {
    while (pos < end && p[pos] >= 0x80) {
        const std::size_t length = sequenceLength(p, pos, end);
        if (length == 0)
            return kNotValid;
        pos += length;
    }
    return pos;
}

struct ScanResult {
    std::size_t end = 0; // the first zero byte, or the size
    bool validUtf8 = true;
};

// One pass over text[start, size) that finds the first zero byte, checks UTF-8 and records the lines.
// Fusing the three keeps a million-line import close to the cost of reading the file. Once the text
// turns out not to be UTF-8 only the zero byte is still looked for: the lines are found again after
// decoding.
class Scanner {
public:
    Scanner(const std::string& text, std::vector<IdSpan>& spans, const TaskObserver& observer,
            std::uint64_t progressBase, std::uint64_t progressTotal)
        : m_p(reinterpret_cast<const unsigned char*>(text.data())), m_size(text.size()), m_spans(spans),
          m_observer(observer), m_progressBase(progressBase), m_progressTotal(progressTotal) {}

    std::expected<ScanResult, ImportError> run(std::size_t start) {
        m_lineStart = start;
        m_checkedTo = start;
        std::size_t i = start;
        std::size_t nextCheck = start + kCheckEvery;
#if defined(__SSE2__)
        const __m128i zeroBytes = _mm_setzero_si128();
        const __m128i lineFeeds = _mm_set1_epi8('\n');
        while (i + 16 <= m_size) {
            if (i >= nextCheck) {
                if (m_observer.shouldStop())
                    return failure(ImportFailure::Cancelled);
                if (m_spans.size() > kMaxIdRows)
                    return failure(ImportFailure::TooLarge);
                m_observer.report(m_progressBase + i, m_progressTotal);
                nextCheck = i + kCheckEvery;
            }
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_p + i));
            const auto zeros = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, zeroBytes)));
            auto highs = static_cast<unsigned>(_mm_movemask_epi8(bytes));
            auto feeds = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lineFeeds)));
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
                if (!checkRun(i + static_cast<unsigned>(__builtin_ctz(highs))))
                    return notUtf8(i);
            }
            for (; feeds; feeds &= feeds - 1)
                endLine(i + static_cast<unsigned>(__builtin_ctz(feeds)));
            if (zeros)
                return finish(i + static_cast<unsigned>(__builtin_ctz(zeros)));
            i += 16;
        }
#endif
        for (; i < m_size; ++i) {
            if (i >= nextCheck) {
                if (m_observer.shouldStop())
                    return failure(ImportFailure::Cancelled);
                if (m_spans.size() > kMaxIdRows)
                    return failure(ImportFailure::TooLarge);
                m_observer.report(m_progressBase + i, m_progressTotal);
                nextCheck = i + kCheckEvery;
            }
            const unsigned char byte = m_p[i];
            if (byte == 0)
                return finish(i);
            if (byte == '\n')
                endLine(i);
            else if (byte >= 0x80 && i >= m_checkedTo && !checkRun(i))
                return notUtf8(i);
        }
        return finish(m_size);
    }

private:
    bool checkRun(std::size_t pos) {
        m_checkedTo = checkNonAsciiRun(m_p, pos, m_size);
        return m_checkedTo != kNotValid;
    }

    void endLine(std::size_t lineFeed) {
        std::size_t length = lineFeed - m_lineStart;
        if (length > 0 && m_p[lineFeed - 1] == '\r')
            --length;
        m_spans.push_back({static_cast<std::uint32_t>(m_lineStart), static_cast<std::uint32_t>(length)});
        m_lineStart = lineFeed + 1;
    }

    ScanResult finish(std::size_t end) {
        // The last piece has no line feed after it: a CR before the end is a cut-off CR LF.
        std::size_t length = end - m_lineStart;
        if (length > 0 && m_p[end - 1] == '\r')
            --length;
        if (length > 0)
            m_spans.push_back({static_cast<std::uint32_t>(m_lineStart), static_cast<std::uint32_t>(length)});
        return {end, true};
    }

    ScanResult notUtf8(std::size_t from) const {
        const void* zero = std::memchr(m_p + from, 0, m_size - from);
        const std::size_t end =
            zero ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - m_p) : m_size;
        return {end, false};
    }

    const unsigned char* m_p;
    std::size_t m_size;
    std::vector<IdSpan>& m_spans;
    const TaskObserver& m_observer;
    std::uint64_t m_progressBase;
    std::uint64_t m_progressTotal;
    std::size_t m_lineStart = 0;
    std::size_t m_checkedTo = 0;
};

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

} // namespace

std::expected<std::string, ImportError> readIdFileBytes(const std::filesystem::path& path,
                                                        const TaskObserver& observer) {
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
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

    std::string bytes;
    // One spare byte lets the final read see the end of the file without growing the buffer.
    bytes.reserve(static_cast<std::size_t>(expected) + 1);
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
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return failure(ImportFailure::CannotRead, errno);
        }
        if (bytes.size() > kMaxText)
            return failure(ImportFailure::TooLarge);
        observer.report(bytes.size(), std::max<std::uint64_t>(expected, bytes.size()));
    }
    return bytes;
}

std::expected<std::shared_ptr<const IdText>, ImportError>
parseIdText(std::string bytes, const TaskObserver& observer, IdEncoding* encoding) {
    if (bytes.size() > kMaxText)
        return failure(ImportFailure::TooLarge);
    auto parsed = std::make_shared<IdText>();
    parsed->text = std::move(bytes);
    std::vector<IdSpan>& spans = parsed->spans;
    // Most ID files hold short numbers: a guess that avoids most regrowth without overcommitting.
    spans.reserve(parsed->text.size() / 12 + 1);

    const bool marked = std::string_view(parsed->text).starts_with(kByteOrderMark);
    const std::size_t start = marked ? kByteOrderMark.size() : 0;
    const std::uint64_t total = parsed->text.size();
    auto scanned = Scanner(parsed->text, spans, observer, 0, total).run(start);
    if (!scanned)
        return std::unexpected(scanned.error());
    if (spans.size() > kMaxIdRows)
        return failure(ImportFailure::TooLarge);
    if (encoding)
        *encoding = scanned->validUtf8 || marked ? IdEncoding::Utf8 : IdEncoding::Gbk;

    if (!scanned->validUtf8) {
        const std::string_view content = std::string_view(parsed->text).substr(start, scanned->end - start);
        std::string decoded = marked ? repairUtf8(content) : gbkToUtf8(content);
        if (decoded.size() > kMaxText)
            return failure(ImportFailure::TooLarge);
        parsed->text = std::move(decoded);
        spans.clear();
        scanned = Scanner(parsed->text, spans, observer, 0, parsed->text.size()).run(0);
        if (!scanned)
            return std::unexpected(scanned.error());
        if (spans.size() > kMaxIdRows)
            return failure(ImportFailure::TooLarge);
    } else if (scanned->end < parsed->text.size() / 2) {
        // A zero byte early in a large file: do not keep the unused rest in memory.
        parsed->text.resize(scanned->end);
        parsed->text.shrink_to_fit();
    }
    spans.shrink_to_fit();
    observer.report(total, total);
    return parsed;
}

std::expected<IdRows, ImportError> importIdFile(const std::filesystem::path& path,
                                                const TaskObserver& observer,
                                                const std::function<void(const IdBlock&)>& onBlock,
                                                std::size_t blockRows) {
    std::uint64_t fileSize = 0;
    const TaskObserver reading{[&](std::uint64_t done, std::uint64_t total) {
                                   fileSize = total;
                                   observer.report(done, 2 * total);
                               },
                               observer.stopRequested};
    auto bytes = readIdFileBytes(path, reading);
    if (!bytes)
        return std::unexpected(bytes.error());
    fileSize = bytes->size();
    const TaskObserver parsing{
        [&](std::uint64_t done, std::uint64_t) { observer.report(fileSize + done, 2 * fileSize); },
        observer.stopRequested};
    auto parsed = parseIdText(std::move(*bytes), parsing);
    if (!parsed)
        return std::unexpected(parsed.error());
    const std::shared_ptr<const IdText>& text = *parsed;
    if (onBlock) {
        blockRows = std::max<std::size_t>(blockRows, 1);
        for (std::size_t first = 0; first < text->spans.size(); first += blockRows) {
            if (observer.shouldStop())
                return failure(ImportFailure::Cancelled);
            onBlock(IdBlock{text, first, std::min(blockRows, text->spans.size() - first)});
        }
    }
    return IdRows(text);
}

} // namespace links
