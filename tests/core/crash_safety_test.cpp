// Kills the logging code with SIGKILL at random moments while it appends
// contacts and rewrites the log, and checks after every kill that each contact
// it acknowledged is on disk intact, that no line is malformed, and that no
// temporary file is left once the program's start-up clearing has run.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "core/contest.h"
#include "core/file_io.h"
#include "core/log_file.h"
#include "core/log_repair.h"
#include "support/temp_dir.h"

using namespace wexon::core;
using wexon::test::TempDir;

namespace {

constexpr int kKills = 50;

// Contact number n, every field derived from n, so that the check knows what
// each record must hold. Edits only switch the sent report between two values.
QsoRecord contact(int n) {
    QsoRecord r;
    r.call = "K" + std::to_string(n) + "ZZ";
    r.rstReceived = "599";
    r.serialReceived = std::to_string(n * 7 % 1000);
    r.rstSent = "599";
    r.country = "United States";
    r.qsoDate = "2026/05/30";
    r.qsoTime = "12:34:56";
    r.band = (n % 2 == 0) ? "20" : "40";
    r.points = static_cast<float>(n % 7);
    r.prefix = "K" + std::to_string(n % 10);
    r.serialSent = std::to_string(1000 + n);
    r.frequency = (n % 3 == 0) ? "" : "14.025";
    return r;
}

void say(int fd, const std::string& message) {
    const std::string line = message + "\n";
    if (::write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
        _exit(3);
    }
}

// The child: the program's start (clearing leftovers, reading the log), then
// contacts appended one after another, each preceded by the torn-tail check,
// with an edit and a whole rewrite now and then. Never returns.
[[noreturn]] void runLogger(const std::string& folder, int out, unsigned seed) {
    clearLeftoverTempFiles(folder, kLogFileName);
    Contest contest(folder);
    if (!contest.readLog().opened && !contest.startEmptyLog().ok()) {
        _exit(7);
    }
    std::mt19937 random(seed);
    for (;;) {
        if (contest.qsoCount() > 0 && random() % 8 == 0) {
            const int n =
                1 + static_cast<int>(random() % static_cast<unsigned>(contest.qsoCount()));
            QsoRecord edited = contest.qso(n);
            edited.rstSent = edited.rstSent == "599" ? "579" : "599";
            say(out, "R");
            if (!contest.replaceQso(n, edited).ok()) {
                _exit(4);
            }
            say(out, "r");
            continue;
        }
        const int n = contest.qsoCount() + 1;
        TornTailRepair repair =
            repairTornTail(contest.pathOf(kLogFileName), joinPath(folder, "BACKUP"), DateTime{});
        if (!repair.ok() || repair.repaired) {
            _exit(5); // a kill must never leave a torn line behind
        }
        if (contest.appendQso(contact(n)).status != Contest::AppendStatus::Appended) {
            _exit(6);
        }
        say(out, "A " + std::to_string(n));
    }
}

struct Tally {
    int acknowledged = 0;   // highest contact number acknowledged
    bool rewriting = false; // a rewrite had begun and not ended
    int killsDuringRewrite = 0;
    std::size_t messages = 0; // lines received from all children
    int leftoversSeen = 0;    // temporary files found before a start cleared them
    int onDisk = 0;           // contacts the log held at the last check
};

void readMessages(int fd, std::string& pending, Tally& tally) {
    char buf[4096];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) {
            break;
        }
        pending.append(buf, static_cast<std::size_t>(n));
    }
    std::size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
        const std::string line = pending.substr(0, end);
        pending.erase(0, end + 1);
        ++tally.messages;
        if (line == "R") {
            tally.rewriting = true;
        } else if (line == "r") {
            tally.rewriting = false;
        } else if (line.rfind("A ", 0) == 0) {
            tally.acknowledged = std::atoi(line.c_str() + 2);
        }
    }
}

// The log as found after a kill: every line whole and well formed, contacts
// numbered 1, 2, 3 ... in order, each acknowledged one present, none of those
// found at the last check gone, and at most one more than those two (the
// contact being written when the kill came, which the next start then reads).
void checkLog(const TempDir& dir, Tally& tally, int kill) {
    const std::string bytes = dir.read(kLogFileName);
    LogReadResult read = parseLog(bytes);
    ASSERT_FALSE(read.lastLineUnterminated) << "kill " << kill;
    ASSERT_FALSE(read.lastRecordShort) << "kill " << kill;
    ASSERT_EQ(read.unreadablePoints + read.outOfRangePoints, 0) << "kill " << kill;
    const int count = static_cast<int>(read.records.size());
    ASSERT_GE(count, tally.acknowledged) << "kill " << kill << ": an acknowledged contact is lost";
    ASSERT_GE(count, tally.onDisk) << "kill " << kill << ": a contact is lost";
    ASSERT_LE(count, std::max(tally.acknowledged, tally.onDisk) + 1) << "kill " << kill;
    ASSERT_EQ(formatLog(read.records), bytes) << "kill " << kill << ": a line is malformed";
    for (int n = 1; n <= count; ++n) {
        QsoRecord expected = contact(n);
        const QsoRecord& found = read.records[static_cast<std::size_t>(n - 1)];
        ASSERT_TRUE(found.rstSent == "599" || found.rstSent == "579") << "kill " << kill;
        expected.rstSent = found.rstSent;
        ASSERT_EQ(found, expected) << "kill " << kill << ", contact " << n;
    }
    tally.onDisk = count;
}

std::vector<std::string> leftovers(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (name != kLogFileName) {
            names.push_back(name);
        }
    }
    return names;
}

} // namespace

TEST(CrashSafety, KilledDuringAppendsAndRewritesLosesNoAcknowledgedContact) {
    TempDir dir;
    std::mt19937 random(20260530);
    Tally tally;
    const auto started = std::chrono::steady_clock::now();
    for (int kill = 1; kill <= kKills; ++kill) {
        int fds[2];
        ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(fds[0]);
            runLogger(dir.path(), fds[1], static_cast<unsigned>(random()));
        }
        ::close(fds[1]);
        ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
        std::string pending;
        // Wait for the child's first acknowledgement, so that every kill falls
        // among real work however slow the machine is, then let it run on for
        // a random while before the kill.
        const std::size_t messagesBefore = tally.messages;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (tally.messages == messagesBefore && std::chrono::steady_clock::now() < giveUp) {
            pollfd p{fds[0], POLLIN, 0};
            ::poll(&p, 1, 10);
            readMessages(fds[0], pending, tally);
        }
        if (tally.messages == messagesBefore) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            FAIL() << "the logger acknowledged nothing within 20 s";
        }
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::microseconds(random() % 40000);
        while (std::chrono::steady_clock::now() < until) {
            pollfd p{fds[0], POLLIN, 0};
            ::poll(&p, 1, 1);
            readMessages(fds[0], pending, tally);
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status))
            << "the logger stopped by itself with " << WEXITSTATUS(status);
        readMessages(fds[0], pending, tally); // all it wrote before dying
        ::close(fds[0]);
        if (tally.rewriting) {
            ++tally.killsDuringRewrite;
            tally.rewriting = false;
        }
        checkLog(dir, tally, kill);
        if (HasFatalFailure()) {
            return;
        }
        // The next start clears what an interrupted rewrite left; nothing else
        // may remain in the folder.
        tally.leftoversSeen += static_cast<int>(leftovers(dir.path()).size());
        clearLeftoverTempFiles(dir.path(), kLogFileName);
        EXPECT_TRUE(leftovers(dir.path()).empty()) << "kill " << kill;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%d kills (%d during a rewrite), %d contacts acknowledged, %d temporary files "
                "cleared at start, %.1f s\n",
                kKills, tally.killsDuringRewrite, tally.acknowledged, tally.leftoversSeen, seconds);
}
