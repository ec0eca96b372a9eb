// Compares the program's frequency and mode commands with the bytes Hamlib's
// rigctl sends the same rig, over a pseudo-terminal with a small responder that
// answers rigctl's start-up questions. Skips when rigctl is not installed.

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "rig/hex_bytes.h"
#include "rig/pty_pair.h"
#include "rig/rig_protocol.h"

extern char** environ;

using namespace wexon;
using namespace wexon::rig;

namespace {

bool haveRigctl() {
    for (const char* dir : {"/usr/bin/", "/usr/local/bin/", "/bin/"}) {
        if (::access((std::string(dir) + "rigctl").c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

enum class Talk { KenwoodText, YaesuText, Civ, YaesuBinary };

// Answers one request the way a quiet rig of that family would.
std::string answer(Talk talk, const std::string& req) {
    switch (talk) {
    case Talk::KenwoodText:
    case Talk::YaesuText: {
        static const std::pair<const char*, const char*> kKenwood[] = {
            {"ID;", "ID019;"},
            {"AI;", "AI0;"},
            {"FR;", "FR0;"},
            {"FT;", "FT0;"},
            {"MD;", "MD2;"},
            {"PS;", "PS1;"},
            {"FA;", "FA00014000000;"},
            {"FB;", "FB00014000000;"},
            {"IF;", "IF00014000000     +000000000020000000;"}};
        static const std::pair<const char*, const char*> kYaesu[] = {
            {"ID;", "ID0101;"}, {"AI;", "AI0;"},         {"VS;", "VS0;"},
            {"PS;", "PS1;"},    {"FA;", "FA014000000;"}, {"FB;", "FB014000000;"},
            {"MD0;", "MD02;"},  {"FT;", "FT0;"},         {"FR;", "FR0;"}};
        const auto& table = talk == Talk::KenwoodText ? kKenwood : kYaesu;
        for (const auto& [q, a] : table) {
            if (req == q) {
                return a;
            }
        }
        return req.size() <= 4 ? "?;" : "";
    }
    case Talk::Civ: {
        if (req.size() < 6) {
            return {};
        }
        std::string head = req.substr(0, 2) + req[3] + req[2];
        const auto cmd = static_cast<unsigned char>(req[4]);
        std::string body;
        if (cmd == 0x03) {
            body = bytesFromSpacedHex("03 00 00 00 14 00");
        } else if (cmd == 0x04) {
            body = bytesFromSpacedHex("04 01 01");
        } else if (cmd == 0x05 || cmd == 0x06 || cmd == 0x07) {
            body = "\xFB";
        } else {
            body = "\xFA";
        }
        return req + head + body + "\xFD"; // the bus echo, then the answer
    }
    case Talk::YaesuBinary: {
        const auto op = static_cast<unsigned char>(req.back());
        if (op == 0xBB) {
            return std::string(2, '\0');
        }
        if (op == 0x03 || op == 0xFA || op == 0xF7 || op == 0xE7) {
            return std::string(5, '\0');
        }
        if (op == 0x10) {
            return std::string(32, '\0');
        }
        return {};
    }
    }
    return {};
}

// Runs rigctl against a responder and returns every byte it sent.
std::string runRigctl(Talk talk, const std::vector<std::string>& args) {
    test::PtyPair pty;
    std::vector<std::string> argv = {"rigctl", "-r", pty.slavePath(), "-C", "timeout=150,retry=0"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargs;
    for (auto& a : argv) {
        cargs.push_back(a.data());
    }
    cargs.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "rigctl", &actions, nullptr, cargs.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return {};
    }
    posix_spawn_file_actions_destroy(&actions);
    std::string all;
    std::string pending;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    int status = 0;
    bool exited = false;
    while (std::chrono::steady_clock::now() < deadline) {
        std::string got = pty.receive(exited ? 50 : 100, 20);
        all += got;
        pending += got;
        // Cut the input into requests by the family's framing and answer them.
        while (true) {
            std::size_t end = std::string::npos;
            if (talk == Talk::KenwoodText || talk == Talk::YaesuText) {
                end = pending.find(';');
            } else if (talk == Talk::Civ) {
                end = pending.find('\xFD');
            } else if (pending.size() >= 5) {
                end = 4;
            }
            if (end == std::string::npos) {
                break;
            }
            std::string req = pending.substr(0, end + 1);
            pending.erase(0, end + 1);
            std::string reply = answer(talk, req);
            if (!reply.empty()) {
                pty.send(reply);
            }
        }
        if (exited && got.empty()) {
            break;
        }
        if (!exited && ::waitpid(pid, &status, WNOHANG) == pid) {
            exited = true;
        }
    }
    if (!exited) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    return all;
}

struct Comparison {
    const char* rig;                // the program's rig entry
    const char* model;              // Hamlib model number
    std::vector<std::string> extra; // further rigctl options
    Talk talk;
    float mhz;
    const char* mode;       // the program's mode text
    const char* hamlibMode; // the same mode for rigctl
    bool frequencySame;     // expected outcome
    bool modeSame;
};

std::string settingsHexAware(const std::string& bytes, bool binary) {
    return binary ? hexOf(bytes) : bytes;
}

// The end of what rigctl sent, where its set command stands.
std::string tail(const std::string& text) {
    return text.size() > 36 ? "..." + text.substr(text.size() - 36) : text;
}

} // namespace

TEST(HamlibComparison, FrequencyAndModeCommandsMatchWhereTheFormatsAgree) {
    if (!haveRigctl()) {
        GTEST_SKIP() << "rigctl (Debian package libhamlib-utils) is not installed";
    }
    const std::vector<Comparison> cases = {
        {"Kenwood", "2014", {}, Talk::KenwoodText, 28.475f, "LSB", "LSB", true, true},
        {"Icom", "3011", {"-c", "0x64"}, Talk::Civ, 14.025f, "CW", "CW", true, false},
        {"Icom", "3073", {"-c", "0x64"}, Talk::Civ, 14.025f, "CW", "CW", false, false},
        {"Icom 735", "3019", {"-c", "0x64"}, Talk::Civ, 14.025f, "", "", true, true},
        {"Yaesu", "1020", {}, Talk::YaesuBinary, 14.025f, "CW", "CW", true, true},
        {"Yaesu 890", "1015", {}, Talk::YaesuBinary, 14.025f, "", "", true, true},
        {"Yaesu 920", "1014", {}, Talk::YaesuBinary, 14.025f, "", "", true, true},
        {"Yaesu FTdx9000", "1030", {}, Talk::YaesuText, 14.025f, "CW", "CW", true, true},
    };
    std::printf("%-16s %-6s %-30s %-30s %s\n", "rig", "model", "program", "rigctl saw", "same");
    for (const Comparison& c : cases) {
        const RigProfile& p = profileFor(c.rig);
        RigSettings s;
        s.rigName = c.rig;
        s.frequencyRead = p.frequencyRead;
        s.modeRead = p.modeRead;
        const bool binary = c.talk == Talk::Civ || c.talk == Talk::YaesuBinary;
        const std::string ours = frequencyCommand(p, s, c.mhz, {});
        std::vector<std::string> args = {"-m", c.model};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        args.push_back("F");
        args.push_back(std::to_string(static_cast<long long>(c.mhz * 1e6 + 0.5)));
        std::string seen = runRigctl(c.talk, args);
        if (seen.empty()) {
            std::printf("%-16s %-6s rigctl sent nothing\n", c.rig, c.model);
            ADD_FAILURE() << c.rig << ": rigctl sent nothing";
            continue;
        }
        bool same = seen.find(ours) != std::string::npos;
        std::printf("%-16s %-6s %-30s %-30s %s\n", c.rig, c.model,
                    settingsHexAware(ours, binary).c_str(),
                    same ? "(contains it)" : tail(settingsHexAware(seen, binary)).c_str(),
                    same ? "yes" : "no");
        EXPECT_EQ(same, c.frequencySame)
            << c.rig << " frequency; rigctl sent " << settingsHexAware(seen, binary);
        if (*c.mode == 0) {
            continue;
        }
        const std::string ourMode = modeCommand(p, s, c.mode);
        std::vector<std::string> margs = {"-m", c.model};
        margs.insert(margs.end(), c.extra.begin(), c.extra.end());
        margs.insert(margs.end(), {"M", c.hamlibMode, "0"});
        std::string mseen = runRigctl(c.talk, margs);
        bool msame = !ourMode.empty() && mseen.find(ourMode) != std::string::npos;
        std::printf("%-16s %-6s %-30s %-30s %s\n", (std::string(c.rig) + " mode").c_str(), c.model,
                    settingsHexAware(ourMode, binary).c_str(),
                    msame ? "(contains it)" : tail(settingsHexAware(mseen, binary)).c_str(),
                    msame ? "yes" : "no");
        EXPECT_EQ(msame, c.modeSame)
            << c.rig << " mode; rigctl sent " << settingsHexAware(mseen, binary);
    }
}
