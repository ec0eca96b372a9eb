#pragma once

// Sound for the voice tests: WAV files made on the spot, and a private
// PulseAudio server whose only sink is a null sink, so real players can play
// without a sound card and without sounding on the machine's speakers.

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace wexon::test {

// A 16-bit mono PCM WAV file holding a tone of `ms` milliseconds.
inline void writeToneWav(const std::string& path, int ms, int rate = 16000, int hz = 440) {
    const std::uint32_t frames = static_cast<std::uint32_t>(static_cast<long long>(rate) * ms / 1000);
    const std::uint32_t dataBytes = frames * 2;
    std::string out;
    auto u32 = [&out](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            out += static_cast<char>((v >> (8 * i)) & 0xFF);
        }
    };
    auto u16 = [&out](std::uint16_t v) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>(v >> 8);
    };
    out += "RIFF";
    u32(36 + dataBytes);
    out += "WAVEfmt ";
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(static_cast<std::uint32_t>(rate));
    u32(static_cast<std::uint32_t>(rate) * 2);
    u16(2);
    u16(16);
    out += "data";
    u32(dataBytes);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const auto sample = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * hz * t));
        u16(static_cast<std::uint16_t>(sample));
    }
    std::ofstream(path, std::ios::binary) << out;
}

// A PulseAudio server of this test process with one null sink. start()
// points this process (PULSE_SERVER) at it; reason() tells why it did not
// start. The server ends with the object.
class PulseNullSink {
  public:
    PulseNullSink() = default;
    PulseNullSink(const PulseNullSink&) = delete;
    PulseNullSink& operator=(const PulseNullSink&) = delete;
    ~PulseNullSink() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            int status = 0;
            for (int i = 0; i < 100 && ::waitpid(m_pid, &status, WNOHANG) == 0; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            if (::waitpid(m_pid, &status, WNOHANG) == 0) {
                ::kill(m_pid, SIGKILL);
                ::waitpid(m_pid, &status, 0);
            }
        }
        if (!m_dir.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(m_dir, ec);
        }
    }

    bool start() {
        const std::string binary = findInPath("pulseaudio");
        if (binary.empty()) {
            m_reason = "no pulseaudio program on this machine";
            return false;
        }
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "wexon-pulse-XXXXXX").string();
        std::vector<char> name(tmpl.begin(), tmpl.end());
        name.push_back('\0');
        if (::mkdtemp(name.data()) == nullptr) {
            m_reason = "no temporary folder";
            return false;
        }
        m_dir = name.data();
        const std::string socket = m_dir + "/native";
        std::vector<std::string> args = {
            binary,
            "--daemonize=no",
            "-n",
            "--use-pid-file=no",
            "--exit-idle-time=-1",
            "--log-target=stderr",
            "--load=module-null-sink sink_name=wexon_null",
            "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket,
        };
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            std::string var = *e;
            if (var.rfind("HOME=", 0) != 0 && var.rfind("XDG_RUNTIME_DIR=", 0) != 0 &&
                var.rfind("PULSE_", 0) != 0) {
                env.push_back(var);
            }
        }
        env.push_back("HOME=" + m_dir);
        env.push_back("XDG_RUNTIME_DIR=" + m_dir);
        env.push_back("PULSE_RUNTIME_PATH=" + m_dir + "/runtime");
        std::vector<char*> argv;
        for (auto& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (auto& e : env) {
            envp.push_back(e.data());
        }
        envp.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string log = m_dir + "/log.txt";
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        const int err =
            ::posix_spawn(&m_pid, binary.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (err != 0) {
            m_pid = -1;
            m_reason = std::string("pulseaudio did not start: ") + std::strerror(err);
            return false;
        }
        struct stat st {};
        for (int i = 0; i < 500; ++i) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                m_reason = "pulseaudio ended at once: " + tail(log);
                return false;
            }
            if (::stat(socket.c_str(), &st) == 0) {
                // The socket exists; give the server a moment to listen on it.
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                ::setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        m_reason = "pulseaudio made no socket within 10 s: " + tail(log);
        return false;
    }

    const std::string& reason() const { return m_reason; }

  private:
    static std::string findInPath(const std::string& program) {
        const char* path = std::getenv("PATH");
        std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
        std::size_t start = 0;
        while (start <= dirs.size()) {
            std::size_t colon = dirs.find(':', start);
            std::string dir = dirs.substr(start, colon == std::string::npos ? std::string::npos
                                                                             : colon - start);
            std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
            if (::access(candidate.c_str(), X_OK) == 0) {
                return candidate;
            }
            if (colon == std::string::npos) {
                break;
            }
            start = colon + 1;
        }
        return {};
    }
    static std::string tail(const std::string& file) {
        std::ifstream in(file);
        std::string all((std::istreambuf_iterator<char>(in)), {});
        return all.size() > 400 ? all.substr(all.size() - 400) : all;
    }

    pid_t m_pid = -1;
    std::string m_dir;
    std::string m_reason;
};

} // namespace wexon::test
