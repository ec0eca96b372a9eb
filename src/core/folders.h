#pragma once

#include <string>
#include <string_view>

namespace wexon::core {

// Creates the last level of `path` when it does not exist (the parent must
// exist). Returns the empty text on success, otherwise the error's description.
// An empty path gives "Invalid Path".
std::string ensureFolder(const std::string& path);

// The file-name stem of an own call: its longest leading run of digits and
// capital letters, or "YourCall" when that run is empty.
std::string callToFileName(std::string_view call);

} // namespace wexon::core
