#include "core/folders.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "core/file_io.h"

namespace wexon::core {

std::string ensureFolder(const std::string& path) {
    if (path.empty()) {
        return "Invalid Path";
    }
    // "a/b/" names the folder "a/b".
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    if (folderExists(folder)) {
        return {};
    }
    // mkdir creates the last level only; a missing parent is an error.
    if (::mkdir(folder.c_str(), 0777) == 0) { // less the umask, like any new folder
        return {};
    }
    int err = errno;
    if (err == EEXIST && folderExists(folder)) {
        return {}; // made by someone else in the meantime
    }
    return std::strerror(err);
}

std::string callToFileName(std::string_view call) {
    std::size_t n = 0;
    while (n < call.size() &&
           ((call[n] >= '0' && call[n] <= '9') || (call[n] >= 'A' && call[n] <= 'Z'))) {
        ++n;
    }
    if (n == 0) {
        return "YourCall";
    }
    return std::string(call.substr(0, n));
}

} // namespace wexon::core
