// fuzz-sources: keying/cwdaemon_protocol keying/cwdaemon_sender keying/cw_engine keying/element_clock keying/realtime_priority keying/cw_timing keying/morse_table
// Drives cwdaemon's replies, as they reach the sender, with arbitrary bytes.
// The input is cut at newlines into steps: a step starting with 0x01 fires
// the sender's timer, 0x02 moves time on, 0x03 answers the character on air
// with its own tag, 0x04 is Esc, 0x05 types the rest of the step into the
// buffer; any other step is a reply datagram as it came off the network.
// Promises checked: a reply that parses has a printable tag of bounded
// length; every text the sender hands cwdaemon is one character (or "CL")
// that cwdaemon keys as this program's Morse, never a speed or echo mark; no
// datagram is longer than the limit; after Esc, sending ends once the
// character on air is answered or given up, and its end is reported.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "keying/cw_engine.h"
#include "keying/cwdaemon_protocol.h"
#include "keying/cwdaemon_sender.h"
#include "keying/element_clock.h"

using namespace wexon::keying;

namespace {

class StepIo : public CwdaemonIo {
  public:
    void sendDatagram(const std::string& bytes) override {
        FUZZ_CHECK(!bytes.empty() && bytes.size() <= cwdaemon::kMaxDatagram);
        if (bytes[0] == '\x1b') {
            if (bytes.size() >= 2 && bytes[1] == 'h') {
                tag = bytes.substr(2);
            }
            return;
        }
        FUZZ_CHECK(bytes.size() == 1 || bytes == "CL");
        for (char c : bytes) {
            FUZZ_CHECK(c != '+' && c != '-' && c != '~' && c != '^' && c != ' ');
            FUZZ_CHECK(cwdaemon::translateText(std::string(1, c)) == std::string(1, c) ||
                       c == '*' || c == '<' || c == '(');
        }
        ++texts;
    }
    void armTimer(long long ms) override {
        FUZZ_CHECK(ms >= 0);
        armed = true;
    }
    void disarmTimer() override { armed = false; }
    std::chrono::steady_clock::time_point now() const override { return t; }

    std::string tag;
    int texts = 0;
    bool armed = false;
    std::chrono::steady_clock::time_point t{std::chrono::seconds(1)};
};

class CountingListener : public CwEngineListener {
  public:
    void exclamationReached() override {}
    void characterDone(const std::string&) override {}
    void sendingStopped() override { ++stops; }
    int stops = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MonotonicElementClock elementClock;
    static CwEngine engine(elementClock, nullptr, false);
    std::string_view input(reinterpret_cast<const char*>(data), size);

    engine.clearBuffer();
    engine.setSpeed(size > 0 ? data[0] % 80 : 20);
    engine.setWordSpace(0);
    StepIo io;
    CountingListener listener;
    CwdaemonSender sender(io, engine, listener);
    sender.setTargetName("127.0.0.1:6789");
    engine.append("CQ [TEST] \\ DE W1AW!");
    sender.pump();

    std::size_t start = 0;
    while (start <= input.size()) {
        std::size_t end = input.find('\n', start);
        if (end == std::string_view::npos) {
            end = input.size();
        }
        std::string_view step = input.substr(start, end - start);
        start = end + 1;

        auto reply = cwdaemon::parseReply(step);
        if (reply) {
            FUZZ_CHECK(reply->tag.size() <= 64);
            for (char c : reply->tag) {
                FUZZ_CHECK(c > 0x20 && c < 0x7F);
            }
        }
        const char kind = step.empty() ? '\0' : step.front();
        if (kind == '\x01') {
            if (io.armed) {
                io.t += std::chrono::seconds(5);
                sender.timerFired();
            }
        } else if (kind == '\x02') {
            io.t += std::chrono::milliseconds(step.size() * 37);
        } else if (kind == '\x03') {
            sender.replyReceived("h" + io.tag + "\r\n");
        } else if (kind == '\x04') {
            sender.stop();
        } else if (kind == '\x05') {
            engine.append(step.substr(1, 64));
            sender.pump();
        } else {
            sender.replyReceived(step);
        }
        if (end == input.size()) {
            break;
        }
    }
    // Esc, then let the character on air be answered: sending must end.
    sender.stop();
    if (sender.isSending()) {
        sender.replyReceived("h" + io.tag + "\r\n");
    }
    for (int i = 0; i < 4 && sender.isSending(); ++i) {
        io.t += std::chrono::seconds(5);
        sender.timerFired();
    }
    FUZZ_CHECK(!sender.isSending());
    FUZZ_CHECK(listener.stops >= 1);
    engine.clearBuffer();
    return 0;
}
