// Replays the recorded exchanges under tests/rig/data: what the program must
// send at each step, what the rig answered, and the reading that must follow.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "rig/hex_bytes.h"
#include "rig/rig_controller.h"
#include "support/fake_clock.h"

using namespace wexon;
using namespace wexon::rig;

namespace {

struct RecordingPort : CatPort {
    bool open_ = false;
    std::string incoming;
    std::string written;
    std::string open(const PortRequest&) override {
        open_ = true;
        return {};
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool write(std::string_view b) override {
        written.append(b);
        return open_;
    }
    std::string readAll() override { return std::exchange(incoming, {}); }
    int bytesToWrite() const override { return 0; }
    void setDtr(bool) override {}
    void setRts(bool) override {}
};

struct Timer : PollTimer {
    bool active = false;
    void start(int) override { active = true; }
    void stop() override { active = false; }
    bool isActive() const override { return active; }
};

struct Queue : Scheduler {
    std::multimap<long long, std::function<void()>> work;
    long long now = 0;
    void after(int ms, std::function<void()> w) override { work.emplace(now + ms, std::move(w)); }
    void run() {
        while (!work.empty()) {
            auto it = work.begin();
            now = it->first;
            auto w = std::move(it->second);
            work.erase(it);
            w();
        }
    }
};

struct Quiet : RigEvents {
    void readingTaken(const TickReport&) override {}
    void frequencyForLog(float) override {}
    void modeForLog(const std::string&) override {}
    void portFailed(const std::string&) override {}
    void operationFailed(const std::string&, const std::string&) override {}
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string hexLine(const std::string& text) {
    // "FE FE 64" -> bytes; the spaced form the rig window uses.
    return bytesFromSpacedHex(text);
}

void replay(const std::string& path) {
    SCOPED_TRACE(path);
    test::FakeClock clock;
    RecordingPort port;
    Timer timer;
    Queue queue;
    Quiet events;
    RigController rig({&port, &timer, &queue, &clock, &events, ""});
    rig.setBandPlanRows(rowsOfClass(
        parseBandPlan(readFile(std::string(WEXON_SOURCE_DIR) + "/data/BandPlan.txt")), 'E'));
    std::istringstream lines(readFile(path));
    std::string line;
    std::string expected;
    int number = 0;
    auto checkWrites = [&] {
        EXPECT_EQ(hexOf(port.written), hexOf(expected)) << "before line " << number;
        port.written.clear();
        expected.clear();
    };
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::size_t space = line.find(' ');
        const std::string word = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        if (word == ">") {
            expected += hexLine(rest);
            continue;
        }
        checkWrites();
        if (word == "rig") {
            const RigProfile& p = profileFor(rest);
            rig.settings().rigName = rest;
            rig.settings().frequencyRead = p.frequencyRead;
            rig.settings().modeRead = p.modeRead;
        } else if (word == "test") {
            ASSERT_EQ(rig.test(), RigController::TestResult::Polling);
        } else if (word == "poll") {
            rig.tick();
        } else if (word == "reply") {
            port.incoming = hexLine(rest);
            rig.tick();
        } else if (word == "=") {
            std::istringstream v(rest);
            float mhz = 0;
            std::string mode;
            v >> mhz >> mode;
            EXPECT_FLOAT_EQ(rig.reading().frequency, mhz) << "line " << number;
            EXPECT_EQ(rig.reading().mode, mode == "-" ? "" : mode) << "line " << number;
        } else if (word == "tune") {
            rig.changeFrequency(std::stof(rest));
            queue.run();
            EXPECT_TRUE(timer.active) << "line " << number;
        } else {
            ADD_FAILURE() << "unknown line " << number << ": " << line;
        }
    }
    checkWrites();
}

} // namespace

TEST(RigTranscripts, EveryRecordedExchangeReplays) {
    const std::filesystem::path folder = std::string(WEXON_SOURCE_DIR) + "/tests/rig/data";
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".txt") {
            replay(entry.path().string());
            ++replayed;
        }
    }
    EXPECT_GE(replayed, 5);
}
