#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace wexon::core {

// Result of a file operation: empty error text on success.
struct FileResult {
    std::string error;
    bool ok() const { return error.empty(); }
};

// Reads a whole file as bytes. Nothing when it cannot be opened or read, or when
// it is larger than `maxBytes` (in which case `tooLarge` is set).
std::optional<std::string> readWholeFile(const std::string& path,
                                         std::size_t maxBytes = 64u * 1024u * 1024u,
                                         bool* tooLarge = nullptr);

// Appends bytes to a file, creating it when missing, and makes sure they are on
// the disk (flush and fsync) before returning. Nothing stays open afterwards.
FileResult appendDurably(const std::string& path, std::string_view bytes);

// Replaces a file's whole content safely: writes a temporary file in the same
// folder, fsyncs it and renames it over the old one, so that a crash or a full
// disk leaves either the old or the new content, never a half-written file.
FileResult replaceAtomically(const std::string& path, std::string_view bytes);

bool fileExists(const std::string& path);
bool folderExists(const std::string& path);

// Joins a folder and a name with "/".
std::string joinPath(const std::string& folder, const std::string& name);

} // namespace wexon::core
