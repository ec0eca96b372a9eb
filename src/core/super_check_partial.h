#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/qso_record.h"

namespace wexon::core {

// The file of known calls, one per line, "#" starting a comment line.
inline constexpr const char* kCheckPartialFileName = "MASTER.SCP";
// Where the system's copy lives when the working folder holds none.
inline constexpr const char* kCheckPartialSystemFile = "/usr/share/hamradio-files/MASTER.SCP";

// The known calls that contain what has been typed so far, the list contesters
// use to catch a call copied wrong. The calls are kept sorted, once each, in
// one block of text; an index of every two- and three-character piece of every
// call lets a search look only at the calls that can match.
class SuperCheckPartial {
  public:
    // Bounds on what a file may bring in, so that a damaged, binary or huge file
    // costs a bounded amount of time and memory. The shipped file holds about
    // 85,000 calls in half a megabyte.
    static constexpr std::size_t kMaxFileBytes = 8u * 1024u * 1024u;
    static constexpr std::size_t kMaxCalls = 250000;
    // Lines longer than this are not calls and are passed over unread.
    static constexpr std::size_t kMaxLineLength = 256;
    // The longest call kept: what the call box can hold.
    static constexpr std::size_t kMaxCallLength = 20;
    static constexpr std::size_t kMinCallLength = 3;
    // A search starts from the second character typed.
    static constexpr std::size_t kMinTyped = 2;

    struct LoadStats {
        std::size_t lines = 0;        // lines looked at
        std::size_t skipped = 0;      // lines that were neither a call nor a comment
        std::size_t duplicates = 0;   // calls met more than once
        bool callLimitReached = false; // the file held more than kMaxCalls calls
        bool byteLimitReached = false; // only the first kMaxFileBytes were read
    };

    struct LoadResult {
        bool ok = false;   // false: the file could not be opened or is not a plain file
        std::string error; // why not
        LoadStats stats;
    };

    struct Matches {
        std::vector<std::uint32_t> calls; // indices for call(), in the order to show
        std::size_t total = 0;            // every match, shown or not
    };

    SuperCheckPartial() = default;

    // Builds the calls from the bytes of a file. Comment and blank lines are
    // passed over; so is every line that is not one call (letters, digits and
    // "/" only, with at least one letter and one digit, kMinCallLength to
    // kMaxCallLength long once blanks around it are trimmed). Lower case is
    // read as capitals. Only the first kMaxFileBytes and kMaxCalls count.
    static SuperCheckPartial fromText(std::string_view bytes, LoadStats* stats = nullptr);

    // Reads a file. Only a plain file is read (never a pipe or a device, which
    // could block or never end), and only its first kMaxFileBytes. On failure
    // the calls held are left as they were.
    LoadResult loadFile(const std::string& path);

    std::size_t size() const { return m_starts.empty() ? 0 : m_starts.size() - 1; }
    bool empty() const { return size() == 0; }
    // The memory the calls and their index hold.
    std::size_t heapBytes() const;
    std::string_view call(std::uint32_t index) const {
        return std::string_view(m_text).substr(m_starts[index], m_starts[index + 1] - m_starts[index]);
    }

    // The calls containing `typed` (upper-cased, blanks around it ignored): first
    // those that begin with it, then the others, each group in alphabetical
    // order, at most `limit` of them. Nothing while fewer than kMinTyped
    // characters are typed.
    Matches search(std::string_view typed, std::size_t limit) const;
    // The same answer by looking at every call in turn; kept as the yardstick
    // the index is measured and tested against.
    Matches searchLinear(std::string_view typed, std::size_t limit) const;

    // `typed` as a search reads it: blanks around it dropped, letters in capitals.
    static std::string normalise(std::string_view typed);

  private:
    // A piece of two or three characters as a number; nothing when a character
    // cannot be part of a call.
    static std::optional<std::uint32_t> pieceCode(std::string_view piece);
    // The calls from `first` on that begin with `prefix` end at the returned index.
    std::uint32_t prefixEnd(std::uint32_t first, std::string_view prefix) const;
    std::uint32_t lowerBound(std::string_view text) const;
    void buildIndex();

    std::string m_text;                  // every call, one after another
    std::vector<std::uint32_t> m_starts; // call i is m_text[m_starts[i], m_starts[i+1])
    // For each two-character piece, the calls holding it, ascending; the same
    // for three-character pieces, grouped into m_tripleBuckets buckets by their
    // code. Bucket b's list is the bytes m_*Lists[m_*First[b] .. m_*First[b+1]):
    // the gaps between one call number and the next (the first counted from -1),
    // each in as few 7-bit groups as it needs. A list of neighbouring calls
    // takes a byte per call instead of four, which keeps the index of the
    // shipped file to about a quarter of what plain numbers would need.
    std::vector<std::uint32_t> m_pairFirst;
    std::vector<std::uint8_t> m_pairLists;
    std::vector<std::uint32_t> m_tripleFirst;
    std::vector<std::uint8_t> m_tripleLists;
    std::uint32_t m_tripleBuckets = 1;
};

// What identifies one version of a file: a different answer means the file was
// replaced or changed since it was read.
struct FileStamp {
    std::int64_t modifiedNs = 0;
    std::int64_t size = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileStamp&) const = default;
};
// Nothing when the path names no plain file.
std::optional<FileStamp> fileStampOf(const std::string& path);

// The check-partial file to read: the one in the working folder, else the
// system's copy when it exists, else an empty text.
std::string checkPartialFilePath(const std::string& workingFolder,
                                 const std::string& systemFile = kCheckPartialSystemFile);

// The calls of the log on `band` (the band compared as the duplicate check
// does, ignoring case), in capitals, sorted, each once.
std::vector<std::string> callsWorkedOnBand(const std::vector<QsoRecord>& records,
                                           std::string_view band);
// Whether `call` (in capitals) is among `sortedCalls`.
bool containsCall(const std::vector<std::string>& sortedCalls, std::string_view call);

} // namespace wexon::core
