#pragma once

// A small tmpfs mounted over a test's folder, so that a write can really fail:
// a full file system, or one made read-only. Permissions do not stop root, who
// runs the tests in CI, but a full or read-only file system stops everyone.
// Mounting needs the right to mount (root, or a user namespace that grants
// it); where it is missing, `reason()` says why and the test skips.

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>

namespace wexon::test {

class SmallMount {
  public:
    // Mounts a tmpfs of `bytes` over `folder` (created when missing).
    explicit SmallMount(std::string folder, std::size_t bytes = 64 * 1024)
        : m_folder(std::move(folder)) {
        std::error_code ec;
        std::filesystem::create_directories(m_folder, ec);
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
        if (::mount("tmpfs", m_folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) !=
            0) {
            m_reason = std::string("cannot mount a tmpfs for the test (") + std::strerror(errno) +
                       "); it needs the right to mount";
            return;
        }
        m_mounted = true;
    }
    ~SmallMount() {
        if (m_mounted) {
            ::umount2(m_folder.c_str(), MNT_DETACH);
        }
    }
    SmallMount(const SmallMount&) = delete;
    SmallMount& operator=(const SmallMount&) = delete;

    bool mounted() const { return m_mounted; }
    const std::string& reason() const { return m_reason; }

    // Makes the mounted file system read-only; its files stay readable.
    bool makeReadOnly() {
        return m_mounted && ::mount(nullptr, m_folder.c_str(), nullptr,
                                    MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
    }

    // Fills the free space with a file named "filler", so that the next write of
    // any size fails with ENOSPC.
    bool fill() {
        const std::string path = m_folder + "/filler";
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) {
            return false;
        }
        char block[4096] = {};
        std::size_t chunk = sizeof block;
        for (;;) {
            ssize_t n = ::write(fd, block, chunk);
            if (n > 0) {
                continue;
            }
            if (n < 0 && errno == ENOSPC && chunk > 1) {
                chunk = 1; // the last few bytes of the last page
                continue;
            }
            break;
        }
        ::close(fd);
        return errno == ENOSPC;
    }

  private:
    std::string m_folder;
    std::string m_reason;
    bool m_mounted = false;
};

} // namespace wexon::test
