#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "rig/rig_reading.h"

// The text protocol of Hamlib's network daemon rigctld, as the "Hamlib
// (rigctld)" rig entry speaks it. Every command is sent with the "+" prefix
// (extended replies), so each reply is a labelled block ending in "RPRT n":
//
//   +f            get_freq:\nFrequency: 14025000\nRPRT 0\n
//   +m            get_mode:\nMode: CW\nPassband: 500\nRPRT 0\n
//   +F 14025000   set_freq: 14025000\nRPRT 0\n
//   +M CW 0       set_mode: CW 0\nRPRT 0\n
//
// Labelled replies can be read line by line without keeping track of which
// question they answer, so a late reply is still understood.

namespace wexon::rig {

// Settings-store keys of the daemon's address, and their defaults.
inline constexpr const char* kRigctldHostKey = "Rigctld/Host";
inline constexpr const char* kRigctldPortKey = "Rigctld/Port";
inline constexpr const char* kRigctldDefaultHost = "127.0.0.1";
inline constexpr int kRigctldDefaultPort = 4532;

// How long commands may stay unanswered before the link stops waiting for them.
inline constexpr int kRigctldReplyTimeoutMs = 1500;
// A line longer than this is not a rigctld reply; it is dropped whole.
inline constexpr std::size_t kRigctldLineLimit = 4096;
// At most this much received text waits for the next read tick; the oldest
// lines go first.
inline constexpr std::size_t kRigctldPendingLimit = 64 * 1024;

// The TCP port number of a settings text: 1-65535, nothing otherwise.
std::optional<int> rigctldPortNumber(std::string_view text);

// One poll: the frequency, then the mode.
std::string rigctldPollCommand();
// "+F <Hz>\n"; empty for a frequency that cannot be sent.
std::string rigctldFrequencyCommand(float mhz);
// The Hamlib name of one of the program's mode texts (case ignored): CW, CWR
// (also CW-R), LSB, USB, AM, FM, RTTY (also FSK and RY), RTTYR (also RTTY-R),
// PKTUSB (also PKT, DATA and DIG), PKTLSB, PKTFM. Empty for any other text, "PH" included: phone
// needs a sideband the text does not give.
std::string rigctldModeName(std::string_view mode);
// "+M <mode> 0\n" (0: the rig's normal passband); empty for an unknown mode.
std::string rigctldModeCommand(std::string_view mode);
// The program's mode for a Hamlib mode name: "CW", "PH", "AM", "FM" or "RY";
// empty for a name it does not know.
std::string programModeOf(std::string_view hamlibMode);

// Takes complete reply lines apart into `reading`: a "Frequency:" line with a
// positive number of Hz sets the frequency, a "Mode:" line with a known mode
// sets the mode. Anything else is ignored, so garbage leaves the reading.
// True when a value was taken: the rig behind rigctld answered.
bool parseRigctldReply(std::string_view lines, RigReading& reading);

// The code of a "RPRT n" line; nothing for any other line.
std::optional<int> rigctldReturnCode(std::string_view line);
// Words for a Hamlib error code (the code itself when unknown).
std::string rigctldErrorText(int code);

// The line framing and command queue of one connection to rigctld.
// Commands go out one at a time: the next is sent when the reply to the last
// has ended ("RPRT n") or the reply timeout has passed. rigctld flushes each
// reply as it is done, so two commands sent together leave the second reply
// waiting in the daemon's TCP stack for the acknowledgement of the first,
// which the receiving end delays by some 40 ms; one at a time avoids that.
// Received bytes are cut into lines; the complete ones wait to be read. A
// refusal ("RPRT -n") of a set command is kept until it is taken.
class RigctldSession {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;
    static constexpr std::size_t kQueueLimit = 64;

    // Queues the commands of `bytes` (each ended by '\n'; text after the last
    // '\n' is not a command). False, queueing nothing, when the queue would
    // pass kQueueLimit.
    bool queue(std::string_view bytes);
    // The next command to write ('\n' ended), when one is queued and the link
    // is free: nothing in flight, or the one in flight has timed out.
    std::optional<std::string> nextCommand(TimePoint now);
    void received(std::string_view bytes);
    // The complete lines received since the last call, each ended by '\n'.
    std::string takeLines();
    // True while commands are queued, or one is in flight within the timeout.
    bool awaitingReplies(TimePoint now) const;
    // Commands queued plus the one in flight.
    int unanswered() const { return static_cast<int>(m_queue.size()) + (m_inFlight ? 1 : 0); }
    // The last refusal of a set command since the last call; empty when none.
    std::string takeCommandError();
    // Forgets everything (a new connection).
    void reset();

  private:
    void line(std::string_view text);
    void keepNewestLines();

    std::string m_partial;
    bool m_skipping = false; // inside an over-long line, dropped up to its end
    std::string m_lines;
    std::string m_label; // the command the reply being read belongs to
    std::string m_commandError;
    std::deque<std::string> m_queue;
    bool m_inFlight = false;
    TimePoint m_sentAt{};
};

} // namespace wexon::rig
