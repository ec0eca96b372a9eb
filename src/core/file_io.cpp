#include "core/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace wexon::core {

namespace {

std::string errnoText(const std::string& what, int err) {
    return what + ": " + std::strerror(err);
}

bool writeAll(int fd, std::string_view bytes, int& err) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            err = errno;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

bool isLower(char c) {
    return c >= 'a' && c <= 'z';
}
bool isUpper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr std::size_t kTempSuffixLength = 6;

// Six characters for a temporary name. Each holds a capital, a small letter and
// a digit, so that clearLeftoverTempFiles always recognises it as the program's.
std::string randomTempSuffix() {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, 61);
    for (;;) {
        std::string s;
        for (std::size_t i = 0; i < kTempSuffixLength; ++i) {
            s.push_back(kChars[pick(generator)]);
        }
        bool upper = false, lower = false, digit = false;
        for (char c : s) {
            upper = upper || isUpper(c);
            lower = lower || isLower(c);
            digit = digit || isDigit(c);
        }
        if (upper && lower && digit) {
            return s;
        }
    }
}

// New files get read and write for everyone the umask allows, as any program's
// files do; the operator's umask decides who else may read the log.
constexpr mode_t kNewFileMode = 0666;

// Creates a new empty file named `path.XXXXXX`, never opening an existing one.
// Returns the descriptor and the name, or -1 with errno set.
int createNamedTemp(const std::string& path, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = path + "." + randomTempSuffix();
        int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// Gives a complete unnamed file (O_TMPFILE) the name `path.XXXXXX`.
bool linkUnnamed(int fd, const std::string& path, std::string& name, int& err) {
    char procPath[64];
    std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = path + "." + randomTempSuffix();
        if (::linkat(AT_FDCWD, procPath, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return true;
        }
        if (errno != EEXIST) {
            err = errno;
            return false;
        }
    }
    err = EEXIST;
    return false;
}

// Gives the replacement of `path` the permissions (and, where allowed, the
// owner) of the file it replaces, so that a log the operator made private stays
// private after an edit. A new file keeps what open() gave it: 0666 less the
// umask.
void keepModeOf(const std::string& path, int fd) {
    struct stat old {};
    if (::stat(path.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) {
        return;
    }
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
        // Only a privileged process may give a file away; otherwise it stays ours.
        [[maybe_unused]] int ignored = ::fchown(fd, old.st_uid, old.st_gid);
    }
    ::fchmod(fd, old.st_mode & 0777);
}

// Writes `bytes` to `fd` as the replacement of `path` and makes them durable.
bool fillDurably(const std::string& path, int fd, std::string_view bytes, int& err) {
    if (!writeAll(fd, bytes, err)) {
        return false;
    }
    keepModeOf(path, fd);
    if (::fsync(fd) != 0) {
        err = errno;
        return false;
    }
    return true;
}

} // namespace

std::optional<std::string> readWholeFile(const std::string& path, std::size_t maxBytes,
                                         bool* tooLarge) {
    if (tooLarge) {
        *tooLarge = false;
    }
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string data;
    if (st.st_size > 0 && static_cast<std::size_t>(st.st_size) <= maxBytes) {
        data.reserve(static_cast<std::size_t>(st.st_size));
    }
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        if (data.size() + static_cast<std::size_t>(n) > maxBytes) {
            ::close(fd);
            if (tooLarge) {
                *tooLarge = true;
            }
            return std::nullopt;
        }
        data.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return data;
}

FileResult appendDurably(const std::string& path, std::string_view bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, kNewFileMode);
    if (fd < 0) {
        return {errnoText(path, errno)};
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        int err = errno;
        ::close(fd);
        return {errnoText(path, err)};
    }
    const off_t lengthBefore = st.st_size;
    int err = 0;
    bool ok = writeAll(fd, bytes, err);
    if (ok && ::fsync(fd) != 0) {
        err = errno;
        ok = false;
    }
    if (!ok) {
        // Take back whatever part of the bytes reached the file, so that the
        // next append does not land on the end of a broken line.
        if (::ftruncate(fd, lengthBefore) == 0) {
            ::fsync(fd);
        }
        ::close(fd);
        return {errnoText(path, err)};
    }
    if (::close(fd) != 0) {
        return {errnoText(path, errno)};
    }
    return {};
}

FileResult replaceAtomically(const std::string& path, std::string_view bytes) {
    const std::string folder = folderOf(path);
    int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, kNewFileMode);
    if (fd < 0) {
        // The file system (or the kernel) has no unnamed files.
        return replaceThroughNamedTemp(path, bytes);
    }
    int err = 0;
    if (!fillDurably(path, fd, bytes, err)) {
        ::close(fd); // the unnamed file disappears with its descriptor
        return {errnoText(path, err)};
    }
    std::string name;
    if (!linkUnnamed(fd, path, name, err)) {
        ::close(fd);
        if (err == ENOENT || err == EPERM || err == EXDEV || err == EOPNOTSUPP) {
            // No /proc, or linking refused: write it again under a name.
            return replaceThroughNamedTemp(path, bytes);
        }
        return {errnoText(path, err)};
    }
    ::close(fd);
    if (::rename(name.c_str(), path.c_str()) != 0) {
        err = errno;
        ::unlink(name.c_str());
        return {errnoText(path, err)};
    }
    syncFolder(folder);
    return {};
}

FileResult replaceThroughNamedTemp(const std::string& path, std::string_view bytes) {
    std::string name;
    int fd = createNamedTemp(path, name);
    if (fd < 0) {
        return {errnoText(path, errno)};
    }
    int err = 0;
    bool ok = fillDurably(path, fd, bytes, err);
    if (::close(fd) != 0 && ok) {
        err = errno;
        ok = false;
    }
    if (ok && ::rename(name.c_str(), path.c_str()) != 0) {
        err = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(name.c_str());
        return {errnoText(path, err)};
    }
    syncFolder(folderOf(path));
    return {};
}

bool isLeftoverTempName(std::string_view name, std::string_view targetName) {
    if (targetName.empty() || name.size() != targetName.size() + 1 + kTempSuffixLength ||
        name.substr(0, targetName.size()) != targetName || name[targetName.size()] != '.') {
        return false;
    }
    std::string_view suffix = name.substr(targetName.size() + 1);
    int upper = 0, lower = 0, digit = 0;
    for (char c : suffix) {
        if (isUpper(c)) {
            ++upper;
        } else if (isLower(c)) {
            ++lower;
        } else if (isDigit(c)) {
            ++digit;
        } else {
            return false;
        }
    }
    const int kinds = (upper > 0) + (lower > 0) + (digit > 0);
    const bool capitalisedWord =
        upper == 1 && isUpper(suffix.front()) && lower == static_cast<int>(kTempSuffixLength) - 1;
    return kinds >= 2 && !capitalisedWord;
}

std::vector<std::string> clearLeftoverTempFiles(const std::string& folder,
                                                const std::string& targetName) {
    std::vector<std::string> removed;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return removed;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!isLeftoverTempName(name, targetName)) {
            continue;
        }
        // Only a regular file of that name; never a folder or what a link points to.
        const std::string full = joinPath(folder, name);
        struct stat st {};
        if (::lstat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            continue;
        }
        if (::unlink(full.c_str()) == 0) {
            removed.push_back(name);
        }
    }
    ::closedir(dir);
    if (!removed.empty()) {
        syncFolder(folder);
    }
    return removed;
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool folderExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    if (folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

void syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace wexon::core
