#include "core/log_repair.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/file_io.h"
#include "core/number_format.h"

namespace wexon::core {

namespace {

constexpr std::size_t kChunk = 65536;

std::string errnoText(const std::string& what, int err) {
    return what + ": " + std::strerror(err);
}

std::string lastNameOf(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/') {
        p.pop_back();
    }
    auto slash = p.find_last_of('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

// Closes the descriptor when the repair returns, whichever way it does.
class Descriptor {
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    // Closes now, reporting whether the close succeeded.
    bool close() {
        int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int m_fd;
};

bool preadAll(int fd, char* buf, std::size_t n, off_t at) {
    while (n > 0) {
        ssize_t got = ::pread(fd, buf, n, at);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            if (got == 0) {
                errno = EIO; // the file shrank under us
            }
            return false;
        }
        buf += got;
        n -= static_cast<std::size_t>(got);
        at += got;
    }
    return true;
}

bool writeAll(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        ssize_t put = ::write(fd, p, n);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += put;
        n -= static_cast<std::size_t>(put);
    }
    return true;
}

// Where the last line starts (just after the last LF, 0 when there is none), and
// whether that line holds blanks only. Reads backwards in chunks, so a log of
// any size costs only as much as its last line.
bool findLastLine(int fd, off_t size, off_t& lineStart, bool& blanksOnly) {
    char buf[kChunk];
    blanksOnly = true;
    off_t end = size;
    while (end > 0) {
        const off_t begin = end > static_cast<off_t>(kChunk) ? end - static_cast<off_t>(kChunk) : 0;
        const std::size_t n = static_cast<std::size_t>(end - begin);
        if (!preadAll(fd, buf, n, begin)) {
            return false;
        }
        for (std::size_t i = n; i > 0; --i) {
            const char c = buf[i - 1];
            if (c == '\n') {
                lineStart = begin + static_cast<off_t>(i);
                return true;
            }
            if (c != ' ' && c != '\t') {
                blanksOnly = false;
            }
        }
        end = begin;
    }
    lineStart = 0;
    return true;
}

// Creates the copy's file under a name not yet taken; -1 with errno on failure.
int createFragmentFile(const std::string& folder, const DateTime& local, std::string& path) {
    const std::string stem = "torn-line-" + zeroPad(local.year, 4) + zeroPad(local.month, 2) +
                             zeroPad(local.day, 2) + zeroPad(local.hour, 2) +
                             zeroPad(local.minute, 2) + zeroPad(local.second, 2);
    for (int n = 1; n <= 1000; ++n) {
        path = joinPath(folder, stem + (n == 1 ? std::string() : "-" + std::to_string(n)) + ".txt");
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// Copies bytes [from, to) of `in` into a new file in `folder`, durably.
std::string copyFragment(int in, off_t from, off_t to, const std::string& folder,
                         const DateTime& local, std::string& savedAs) {
    if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
        return errnoText(folder, errno);
    }
    Descriptor out(createFragmentFile(folder, local, savedAs));
    if (out.get() < 0) {
        return errnoText(savedAs.empty() ? folder : savedAs, errno);
    }
    char buf[kChunk];
    for (off_t at = from; at < to;) {
        const std::size_t n =
            static_cast<std::size_t>(to - at < static_cast<off_t>(kChunk) ? to - at : kChunk);
        if (!preadAll(in, buf, n, at) || !writeAll(out.get(), buf, n)) {
            const int err = errno;
            out.close();
            ::unlink(savedAs.c_str());
            return errnoText(savedAs, err);
        }
        at += static_cast<off_t>(n);
    }
    if (::fsync(out.get()) != 0 || !out.close()) {
        const int err = errno;
        ::unlink(savedAs.c_str());
        return errnoText(savedAs, err);
    }
    syncFolder(folder);
    return {};
}

} // namespace

TornTailRepair repairTornTail(const std::string& logPath, const std::string& backupFolder,
                              const DateTime& local) {
    TornTailRepair result;
    Descriptor log(::open(logPath.c_str(), O_RDWR | O_CLOEXEC));
    if (log.get() < 0) {
        if (errno != ENOENT) {
            result.error = errnoText(logPath, errno);
        }
        return result; // no log yet: the append creates it
    }
    struct stat st {};
    if (::fstat(log.get(), &st) != 0) {
        result.error = errnoText(logPath, errno);
        return result;
    }
    const off_t size = st.st_size;
    if (!S_ISREG(st.st_mode) || size == 0) {
        return result;
    }
    char last = 0;
    if (!preadAll(log.get(), &last, 1, size - 1)) {
        result.error = errnoText(logPath, errno);
        return result;
    }
    if (last == '\n') {
        return result;
    }

    if (last == '\r') {
        // The line is whole; only the LF of its CR LF is missing.
        if (::pwrite(log.get(), "\n", 1, size) != 1 || ::fsync(log.get()) != 0) {
            const int err = errno;
            if (::ftruncate(log.get(), size) == 0) {
                ::fsync(log.get());
            }
            result.error = errnoText(logPath, err);
        }
        return result;
    }

    off_t lineStart = 0;
    bool blanksOnly = true;
    if (!findLastLine(log.get(), size, lineStart, blanksOnly)) {
        result.error = errnoText(logPath, errno);
        return result;
    }
    if (!blanksOnly) {
        // The fragment is kept before anything is cut: without a copy, no cut.
        result.error =
            copyFragment(log.get(), lineStart, size, backupFolder, local, result.savedAs);
        if (!result.ok()) {
            result.savedAs.clear();
            return result;
        }
    }
    if (::ftruncate(log.get(), lineStart) != 0 || ::fsync(log.get()) != 0) {
        result.error = errnoText(logPath, errno);
        return result;
    }
    if (!log.close()) {
        result.error = errnoText(logPath, errno);
        return result;
    }
    if (!blanksOnly) {
        result.repaired = true;
        result.fragmentBytes = static_cast<std::size_t>(size - lineStart);
    }
    return result;
}

std::string tornTailMessage(const TornTailRepair& repair) {
    const std::string folder = lastNameOf(folderOf(repair.savedAs));
    return kTornTailMessage + folder + "/" + lastNameOf(repair.savedAs);
}

} // namespace wexon::core
