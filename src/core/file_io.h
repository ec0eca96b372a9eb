#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wexon::core {

// Result of a file operation: empty error text on success.
struct FileResult {
    std::string error;
    bool ok() const { return error.empty(); }
    explicit operator bool() const { return ok(); }
};

// Reads a whole file as bytes. Nothing when it cannot be opened or read, or when
// it is larger than `maxBytes` (in which case `tooLarge` is set).
std::optional<std::string> readWholeFile(const std::string& path,
                                         std::size_t maxBytes = 64u * 1024u * 1024u,
                                         bool* tooLarge = nullptr);

// Appends bytes to a file, creating it when missing, and makes sure they are on
// the disk (flush and fsync) before returning. Nothing stays open afterwards.
// When the write or the fsync fails (a full disk, a size limit), the file is cut
// back to the length it had before, so no part of the bytes stays behind.
FileResult appendDurably(const std::string& path, std::string_view bytes);

// Replaces a file's whole content safely, so that a crash or a full disk leaves
// either the old or the new content, never a half-written file. The new content
// is written to an unnamed file in the same folder (O_TMPFILE), fsynced, given a
// temporary name only once complete and renamed over the old file; where the
// file system refuses unnamed files, a named temporary file is used instead.
// Temporary names are the target's name, a dot and six letters and digits.
FileResult replaceAtomically(const std::string& path, std::string_view bytes);
// The same replacement always through a named temporary file: what
// replaceAtomically falls back to where unnamed files are refused.
FileResult replaceThroughNamedTemp(const std::string& path, std::string_view bytes);

// Removes, from `folder`, the temporary files an interrupted replaceAtomically
// of `targetName` can leave: regular files named `targetName`, a dot and six
// characters of [A-Za-z0-9]. Six characters of one kind only (all lower-case,
// all capitals, all digits) or a capitalised word ("Backup") are passed over:
// the program never makes such names, and a person might. Nothing else is
// touched. Returns the names removed.
std::vector<std::string> clearLeftoverTempFiles(const std::string& folder,
                                                const std::string& targetName);
// Whether `name` is one that clearLeftoverTempFiles would remove for `targetName`.
bool isLeftoverTempName(std::string_view name, std::string_view targetName);

bool fileExists(const std::string& path);
bool folderExists(const std::string& path);

// Joins a folder and a name with "/".
std::string joinPath(const std::string& folder, const std::string& name);
// The folder part of a path ("." when it has none).
std::string folderOf(const std::string& path);
// Makes a folder's entries (new names, renames, removals) durable.
void syncFolder(const std::string& folder);

} // namespace wexon::core
