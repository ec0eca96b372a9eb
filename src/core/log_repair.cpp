#include "core/log_repair.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/file_io.h"
#include "core/log_file.h"
#include "core/number_format.h"

namespace wexon::core {

namespace {

constexpr std::size_t kChunk = 65536;
// A last line longer than this is no record the program wrote: it is a fragment.
constexpr off_t kLongestRecordLine = 64 * 1024;

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

// Where the last line starts (just after the last CR or LF, 0 when there is
// none), and whether that line holds blanks only. Reads backwards in chunks, so a log of
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
            if (c == '\n' || c == '\r') {
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
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
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

namespace {

// What the end of the log needs before a line is appended.
enum class TailFix { Nothing, AddLf, AddCrLf, CutBlanks, MoveFragment };

// Decides from reading alone, so that a log that needs nothing is never opened
// for writing. `lineStart` is where the last line begins.
bool decideTailFix(int fd, off_t size, TailFix& fix, off_t& lineStart) {
    fix = TailFix::Nothing;
    lineStart = size;
    if (size == 0) {
        return true;
    }
    char last = 0;
    if (!preadAll(fd, &last, 1, size - 1)) {
        return false;
    }
    if (last == '\n') {
        return true;
    }
    if (last == '\r') {
        // The line is whole; only the LF of its CR LF is missing.
        fix = TailFix::AddLf;
        return true;
    }
    bool blanksOnly = true;
    if (!findLastLine(fd, size, lineStart, blanksOnly)) {
        return false;
    }
    if (blanksOnly) {
        fix = TailFix::CutBlanks;
        return true;
    }
    fix = TailFix::MoveFragment;
    if (size - lineStart <= kLongestRecordLine) {
        std::string line(static_cast<std::size_t>(size - lineStart), '\0');
        if (!preadAll(fd, line.data(), line.size(), lineStart)) {
            return false;
        }
        if (isWholeRecordLine(line)) {
            fix = TailFix::AddCrLf;
        }
    }
    return true;
}

// Appends `ending` at `size`; on failure cuts the file back to `size`.
std::string appendEnding(int fd, off_t size, std::string_view ending, const std::string& path) {
    const auto n = static_cast<ssize_t>(ending.size());
    errno = 0;
    if (::pwrite(fd, ending.data(), ending.size(), size) != n || ::fsync(fd) != 0) {
        const int err = errno == 0 ? EIO : errno;
        if (::ftruncate(fd, size) == 0) {
            ::fsync(fd);
        }
        return errnoText(path, err);
    }
    return {};
}

} // namespace

TornTailRepair repairTornTail(const std::string& logPath, const std::string& backupFolder,
                              const DateTime& local) {
    TornTailRepair result;
    struct stat st {};
    off_t lineStart = 0;
    TailFix fix = TailFix::Nothing;
    {
        Descriptor reader(::open(logPath.c_str(), O_RDONLY | O_CLOEXEC));
        if (reader.get() < 0) {
            if (errno != ENOENT) {
                result.problem = TornTailRepair::Problem::Unreadable;
                result.error = errnoText(logPath, errno);
            }
            return result; // no log yet: the append creates it
        }
        if (::fstat(reader.get(), &st) != 0) {
            result.problem = TornTailRepair::Problem::Unreadable;
            result.error = errnoText(logPath, errno);
            return result;
        }
        if (!S_ISREG(st.st_mode) || st.st_size == 0) {
            return result;
        }
        if (!decideTailFix(reader.get(), st.st_size, fix, lineStart)) {
            result.problem = TornTailRepair::Problem::Unreadable;
            result.error = errnoText(logPath, errno);
            return result;
        }
    }
    if (fix == TailFix::Nothing) {
        return result;
    }

    const TornTailRepair::Problem failure = fix == TailFix::MoveFragment
                                                ? TornTailRepair::Problem::TornLine
                                                : TornTailRepair::Problem::MissingLineEnd;
    Descriptor log(::open(logPath.c_str(), O_RDWR | O_CLOEXEC));
    struct stat now {};
    if (fix == TailFix::AddLf && log.get() < 0) {
        // A CR alone ends the line as the reader takes it: the LF is only
        // completed when it can be, and a log that cannot be written fails at
        // the append with the system's reason.
        return result;
    }
    if (log.get() < 0 || ::fstat(log.get(), &now) != 0) {
        result.problem = failure;
        result.error = errnoText(logPath, errno);
        return result;
    }
    if (now.st_dev != st.st_dev || now.st_ino != st.st_ino || now.st_size != st.st_size) {
        // Replaced or grown between the look and the repair: nothing is touched.
        result.problem = failure;
        result.error = logPath + ": changed while it was being checked";
        return result;
    }
    const off_t size = st.st_size;
    switch (fix) {
    case TailFix::Nothing:
        return result;
    case TailFix::AddLf:
    case TailFix::AddCrLf:
        result.error =
            appendEnding(log.get(), size, fix == TailFix::AddLf ? "\n" : "\r\n", logPath);
        if (!result.ok() && fix == TailFix::AddLf) {
            result.error.clear();
            return result;
        }
        if (!result.ok()) {
            result.problem = failure;
            return result;
        }
        result.lineEndAdded = fix == TailFix::AddCrLf;
        return result;
    case TailFix::CutBlanks:
    case TailFix::MoveFragment:
        break;
    }
    if (fix == TailFix::MoveFragment) {
        // The fragment is kept before anything is cut: without a copy, no cut.
        result.error =
            copyFragment(log.get(), lineStart, size, backupFolder, local, result.savedAs);
        if (!result.ok()) {
            result.problem = failure;
            result.savedAs.clear();
            return result;
        }
    }
    if (::ftruncate(log.get(), lineStart) != 0 || ::fsync(log.get()) != 0 || !log.close()) {
        result.problem = failure;
        result.error = errnoText(logPath, errno);
        return result;
    }
    if (fix == TailFix::MoveFragment) {
        result.repaired = true;
        result.fragmentBytes = static_cast<std::size_t>(size - lineStart);
    }
    return result;
}

const char* tornTailErrorText(const TornTailRepair& repair) {
    switch (repair.problem) {
    case TornTailRepair::Problem::Unreadable:
        return kLogCheckErrorText;
    case TornTailRepair::Problem::MissingLineEnd:
        return kLineEndErrorText;
    case TornTailRepair::Problem::None:
    case TornTailRepair::Problem::TornLine:
        break;
    }
    return kTornTailErrorText;
}

std::string tornTailMessage(const TornTailRepair& repair) {
    const std::string folder = lastNameOf(folderOf(repair.savedAs));
    return kTornTailMessage + folder + "/" + lastNameOf(repair.savedAs);
}

} // namespace wexon::core
