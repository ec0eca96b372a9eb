#include "core/super_check_partial.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/file_io.h"
#include "core/text_util.h"

namespace wexon::core {

namespace {

// Calls are written with "/", the digits and the capitals: 37 symbols.
constexpr std::uint32_t kSymbols = 37;
constexpr std::uint32_t kPairs = kSymbols * kSymbols;
constexpr std::uint32_t kTriples = kSymbols * kSymbols * kSymbols;

int symbolOf(char c) {
    if (c == '/') {
        return 0;
    }
    if (c >= '0' && c <= '9') {
        return 1 + (c - '0');
    }
    if (c >= 'A' && c <= 'Z') {
        return 11 + (c - 'A');
    }
    return -1;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// Whether `upper` (already in capitals) has the shape of a call.
bool looksLikeCall(std::string_view upper) {
    if (upper.size() < SuperCheckPartial::kMinCallLength ||
        upper.size() > SuperCheckPartial::kMaxCallLength) {
        return false;
    }
    bool digit = false;
    bool letter = false;
    for (char c : upper) {
        const int s = symbolOf(c);
        if (s < 0) {
            return false;
        }
        digit = digit || (s >= 1 && s <= 10);
        letter = letter || s >= 11;
    }
    return digit && letter;
}

// The distinct buckets of the `width`-character pieces of `call`, in `codes`:
// a piece's code modulo `buckets`.
std::size_t pieceCodes(std::string_view call, std::size_t width, std::uint32_t buckets,
                       std::array<std::uint32_t, SuperCheckPartial::kMaxCallLength>& codes) {
    std::size_t n = 0;
    for (std::size_t i = 0; i + width <= call.size(); ++i) {
        std::uint32_t code = 0;
        for (std::size_t k = 0; k < width; ++k) {
            code = code * kSymbols + static_cast<std::uint32_t>(symbolOf(call[i + k]));
        }
        codes[n++] = code % buckets;
    }
    std::sort(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(n));
    return static_cast<std::size_t>(
        std::unique(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(n)) -
        codes.begin());
}

// Bytes a gap takes: seven bits in each, the high bit set on all but the last.
std::size_t gapBytes(std::uint32_t gap) {
    std::size_t n = 1;
    while (gap >= 0x80) {
        gap >>= 7;
        ++n;
    }
    return n;
}

std::uint32_t putGap(std::vector<std::uint8_t>& lists, std::uint32_t at, std::uint32_t gap) {
    while (gap >= 0x80) {
        lists[at++] = static_cast<std::uint8_t>(gap | 0x80);
        gap >>= 7;
    }
    lists[at++] = static_cast<std::uint8_t>(gap);
    return at;
}

// Walks one bucket's list, handing out the call numbers in ascending order.
class GapReader {
  public:
    GapReader(const std::uint8_t* begin, const std::uint8_t* end) : m_at(begin), m_end(end) {}
    bool next(std::uint32_t& call) {
        if (m_at == m_end) {
            return false;
        }
        std::uint32_t gap = 0;
        int shift = 0;
        while (m_at != m_end) {
            const std::uint8_t byte = *m_at++;
            gap |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) {
                break;
            }
            shift += 7;
        }
        m_next += gap;
        call = m_next - 1;
        return true;
    }

  private:
    const std::uint8_t* m_at;
    const std::uint8_t* m_end;
    std::uint32_t m_next = 0; // one past the call handed out last
};

} // namespace

std::string SuperCheckPartial::normalise(std::string_view typed) {
    return toUpper(trimBlanks(typed));
}

std::optional<std::uint32_t> SuperCheckPartial::pieceCode(std::string_view piece) {
    std::uint32_t code = 0;
    for (char c : piece) {
        const int s = symbolOf(c);
        if (s < 0) {
            return std::nullopt;
        }
        code = code * kSymbols + static_cast<std::uint32_t>(s);
    }
    return code;
}

SuperCheckPartial SuperCheckPartial::fromText(std::string_view bytes, LoadStats* statsOut) {
    LoadStats stats;
    if (bytes.size() > kMaxFileBytes) {
        stats.byteLimitReached = true;
        bytes = bytes.substr(0, kMaxFileBytes);
        // The line the limit cut through is not whole: leave it out.
        const std::size_t lastEnd = bytes.find_last_of("\r\n");
        bytes = lastEnd == std::string_view::npos ? std::string_view() : bytes.substr(0, lastEnd);
    }

    // The calls as read, one after another, and where each lies in that text:
    // sorting these small spans rather than strings keeps the peak memory of a
    // load near the size of the file.
    std::string accepted;
    struct Span {
        std::uint32_t offset;
        std::uint32_t length;
    };
    std::vector<Span> spans;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            end = bytes.size();
        }
        const std::string_view raw = bytes.substr(pos, end - pos);
        pos = end + 1;
        if (raw.empty()) {
            continue;
        }
        ++stats.lines;
        if (raw.size() > kMaxLineLength) {
            ++stats.skipped;
            continue;
        }
        const std::string_view line = trimBlanks(raw);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.size() > kMaxCallLength) {
            ++stats.skipped;
            continue;
        }
        const std::string upper = toUpper(line);
        if (!looksLikeCall(upper)) {
            ++stats.skipped;
            continue;
        }
        if (spans.size() >= kMaxCalls) {
            stats.callLimitReached = true;
            break;
        }
        spans.push_back({static_cast<std::uint32_t>(accepted.size()),
                         static_cast<std::uint32_t>(upper.size())});
        accepted += upper;
    }

    const auto text = [&accepted](const Span& s) {
        return std::string_view(accepted).substr(s.offset, s.length);
    };
    std::sort(spans.begin(), spans.end(),
              [&text](const Span& a, const Span& b) { return text(a) < text(b); });
    const auto last = std::unique(spans.begin(), spans.end(), [&text](const Span& a, const Span& b) {
        return text(a) == text(b);
    });
    stats.duplicates = static_cast<std::size_t>(spans.end() - last);
    spans.erase(last, spans.end());

    SuperCheckPartial out;
    out.m_text.reserve(accepted.size());
    out.m_starts.reserve(spans.size() + 1);
    out.m_starts.push_back(0);
    for (const Span& s : spans) {
        out.m_text += text(s);
        out.m_starts.push_back(static_cast<std::uint32_t>(out.m_text.size()));
    }
    out.m_text.shrink_to_fit();
    out.buildIndex();
    if (statsOut) {
        *statsOut = stats;
    }
    return out;
}

void SuperCheckPartial::buildIndex() {
    // Two passes over the calls: size each bucket's list, then write it, so
    // that every bucket's list is one run of a single array of exactly the
    // bytes it needs.
    const auto build = [this](std::size_t width, std::uint32_t buckets,
                              std::vector<std::uint32_t>& first,
                              std::vector<std::uint8_t>& lists) {
        std::array<std::uint32_t, kMaxCallLength> codes{};
        // The call number after the last one put in each bucket so far.
        std::vector<std::uint32_t> next(buckets, 0);
        first.assign(buckets + 1, 0);
        const auto count = static_cast<std::uint32_t>(size());
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t n = pieceCodes(call(i), width, buckets, codes);
            for (std::size_t k = 0; k < n; ++k) {
                const std::uint32_t b = codes[k];
                first[b + 1] += static_cast<std::uint32_t>(gapBytes(i + 1 - next[b]));
                next[b] = i + 1;
            }
        }
        for (std::uint32_t b = 0; b < buckets; ++b) {
            first[b + 1] += first[b];
        }
        lists.assign(first[buckets], 0);
        std::vector<std::uint32_t> at(first.begin(), first.end() - 1);
        std::fill(next.begin(), next.end(), 0);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t n = pieceCodes(call(i), width, buckets, codes);
            for (std::size_t k = 0; k < n; ++k) {
                const std::uint32_t b = codes[k];
                at[b] = putGap(lists, at[b], i + 1 - next[b]);
                next[b] = i + 1;
            }
        }
    };
    // Three-character pieces share buckets in a small file, so that the table's
    // size follows the file's; from 65536 calls on every piece has its own.
    std::uint32_t triples = 64;
    while (triples < size() && triples < 65536) {
        triples *= 2;
    }
    m_tripleBuckets = std::min(triples, kTriples);
    build(2, kPairs, m_pairFirst, m_pairLists);
    build(3, m_tripleBuckets, m_tripleFirst, m_tripleLists);
}

std::size_t SuperCheckPartial::heapBytes() const {
    return m_text.capacity() + m_starts.capacity() * sizeof(std::uint32_t) +
           (m_pairFirst.capacity() + m_tripleFirst.capacity()) * sizeof(std::uint32_t) +
           m_pairLists.capacity() + m_tripleLists.capacity();
}

std::uint32_t SuperCheckPartial::lowerBound(std::string_view text) const {
    std::uint32_t lo = 0;
    auto hi = static_cast<std::uint32_t>(size());
    while (lo < hi) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        if (call(mid) < text) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return lo;
}

std::uint32_t SuperCheckPartial::prefixEnd(std::uint32_t first, std::string_view prefix) const {
    // The calls beginning with `prefix` follow one another in sorted order.
    std::uint32_t lo = first;
    auto hi = static_cast<std::uint32_t>(size());
    while (lo < hi) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        if (call(mid).starts_with(prefix)) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return lo;
}

SuperCheckPartial::Matches SuperCheckPartial::search(std::string_view typed,
                                                     std::size_t limit) const {
    Matches out;
    const std::string q = normalise(typed);
    if (q.size() < kMinTyped || q.size() > kMaxCallLength || empty()) {
        return out;
    }
    // A character no call holds matches nothing.
    if (!std::all_of(q.begin(), q.end(), [](char c) { return symbolOf(c) >= 0; })) {
        return out;
    }

    const std::uint32_t prefixFirst = lowerBound(q);
    const std::uint32_t prefixLast = prefixEnd(prefixFirst, q);
    out.total = prefixLast - prefixFirst;
    for (std::uint32_t i = prefixFirst; i < prefixLast && out.calls.size() < limit; ++i) {
        out.calls.push_back(i);
    }

    // The other calls holding the text all hold each of its pieces: walk the
    // shortest list of calls among the text's pieces. For two characters that
    // list is exactly the answer; three-character pieces may share a bucket, so
    // longer texts are checked.
    const std::uint8_t* list = nullptr;
    std::size_t listBytes = 0;
    if (q.size() == 2) {
        const std::uint32_t code = *pieceCode(q);
        list = m_pairLists.data() + m_pairFirst[code];
        listBytes = m_pairFirst[code + 1] - m_pairFirst[code];
    } else {
        // The list of fewest bytes is the shortest, or close to it.
        for (std::size_t i = 0; i + 3 <= q.size(); ++i) {
            const std::uint32_t code =
                *pieceCode(std::string_view(q).substr(i, 3)) % m_tripleBuckets;
            const std::size_t length = m_tripleFirst[code + 1] - m_tripleFirst[code];
            if (list == nullptr || length < listBytes) {
                list = m_tripleLists.data() + m_tripleFirst[code];
                listBytes = length;
            }
        }
    }
    const bool exact = q.size() == 2;
    GapReader reader(list, list + listBytes);
    std::uint32_t i = 0;
    while (reader.next(i)) {
        if (i >= prefixFirst && i < prefixLast) {
            continue;
        }
        if (!exact && call(i).find(q) == std::string_view::npos) {
            continue;
        }
        ++out.total;
        if (out.calls.size() < limit) {
            out.calls.push_back(i);
        }
    }
    return out;
}

SuperCheckPartial::Matches SuperCheckPartial::searchLinear(std::string_view typed,
                                                           std::size_t limit) const {
    Matches out;
    const std::string q = normalise(typed);
    if (q.size() < kMinTyped) {
        return out;
    }
    std::vector<std::uint32_t> beginning;
    std::vector<std::uint32_t> inside;
    const auto count = static_cast<std::uint32_t>(size());
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = call(i).find(q);
        if (at == std::string_view::npos) {
            continue;
        }
        ++out.total;
        std::vector<std::uint32_t>& group = at == 0 ? beginning : inside;
        if (group.size() < limit) {
            group.push_back(i);
        }
    }
    out.calls = std::move(beginning);
    for (std::uint32_t i : inside) {
        if (out.calls.size() >= limit) {
            break;
        }
        out.calls.push_back(i);
    }
    return out;
}

SuperCheckPartial::LoadResult SuperCheckPartial::loadFile(const std::string& path) {
    LoadResult result;
    // Opened without waiting, so that a pipe put in the file's place cannot
    // hold the window up; anything but a plain file is then refused.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        result.error = path + ": " + std::strerror(errno);
        return result;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        result.error = path + ": not a plain file";
        return result;
    }
    // One byte past the limit tells a file that is too long from one that fits.
    std::string bytes;
    const std::size_t want = kMaxFileBytes + 1;
    if (st.st_size > 0) {
        bytes.reserve(std::min(want, static_cast<std::size_t>(st.st_size)));
    }
    char buffer[65536];
    while (bytes.size() < want) {
        const std::size_t room = std::min(sizeof buffer, want - bytes.size());
        const ssize_t n = ::read(fd, buffer, room);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            result.error = path + ": " + std::strerror(errno);
            ::close(fd);
            return result;
        }
        if (n == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    *this = fromText(bytes, &result.stats);
    result.ok = true;
    return result;
}

std::optional<FileStamp> fileStampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    FileStamp stamp;
    stamp.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL +
                       static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    stamp.size = static_cast<std::int64_t>(st.st_size);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    return stamp;
}

std::string checkPartialFilePath(const std::string& workingFolder,
                                 const std::string& systemFile) {
    const std::string own = joinPath(workingFolder, kCheckPartialFileName);
    if (fileStampOf(own)) {
        return own;
    }
    if (!systemFile.empty() && fileStampOf(systemFile)) {
        return systemFile;
    }
    return std::string();
}

std::vector<std::string> callsWorkedOnBand(const std::vector<QsoRecord>& records,
                                           std::string_view band) {
    std::vector<std::string> calls;
    for (const QsoRecord& r : records) {
        if (!equalsIgnoreCase(r.band, band)) {
            continue;
        }
        std::string call = toUpper(trimBlanks(r.call));
        if (!call.empty()) {
            calls.push_back(std::move(call));
        }
    }
    std::sort(calls.begin(), calls.end());
    calls.erase(std::unique(calls.begin(), calls.end()), calls.end());
    return calls;
}

bool containsCall(const std::vector<std::string>& sortedCalls, std::string_view call) {
    const auto it = std::lower_bound(sortedCalls.begin(), sortedCalls.end(), call,
                                     [](const std::string& a, std::string_view b) { return a < b; });
    return it != sortedCalls.end() && *it == call;
}

} // namespace wexon::core
