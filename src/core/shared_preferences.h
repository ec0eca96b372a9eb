#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/file_io.h"

namespace wexon::core {

inline constexpr const char* kSharedPreferencesFileName = "SharedUserPreferences.xml";

// The shared preferences document that the maker's other programs read: a
// declaration line and one "<KEY>value</KEY>" line per key. Held in memory as one
// text with the path it was loaded from; other programs' keys are kept intact.
class SharedPreferences {
  public:
    static const std::string& declaration();

    // Remembers `path`; the document becomes the file's content without its final
    // line break (CR LF or LF, only when the file ends with one), or the
    // declaration line alone when there is no file. Bare LF line ends are turned
    // into CR LF. A file that exists but cannot be read, or whose document in
    // that form would pass kMaxBytes, also leaves the declaration alone, sets
    // loadError() and is never overwritten by save().
    void load(const std::string& path);
    // Remembers `path` and writes the document to it followed by one line break
    // (CR LF), replacing the file atomically. A document that would make a file
    // larger than kMaxBytes is refused, so whatever is saved loads again.
    FileResult save(const std::string& path);
    // Sets `key` (turned into capitals) to `value`, replacing an existing value in
    // place or appending a new line; writes the file when `saveNow`. The value is
    // stored as typed, without escaping, except that each line break in it
    // becomes a blank so that it cannot break the document's line structure.
    FileResult set(std::string_view key, std::string_view value, bool saveNow);

    // Why the last load() found a file it could not read; empty otherwise.
    const std::string& loadError() const { return m_loadError; }

    // The largest file load() accepts, measured on the document in the form
    // save() writes it (CR LF line ends, final line break included).
    static constexpr std::size_t kMaxBytes = 4u * 1024u * 1024u;

    const std::string& text() const { return m_text; }
    const std::string& path() const { return m_path; }

  private:
    std::string m_text = declaration();
    std::string m_path;
    std::string m_unreadablePath; // an existing file load() could not read
    std::string m_loadError;
};

} // namespace wexon::core
