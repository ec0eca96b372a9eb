#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings_store.h"
#include "link/xmlrpc_value.h"

namespace wexon::link {

// Which RTTY program the link speaks to.
enum class DigitalProgram { Vemo, Fldigi };

// Settings-store keys of the fldigi link.
inline constexpr const char* kDigitalProgramKey = "DigitalLinkProgram"; // "Vemo" or "fldigi"
inline constexpr const char* kFldigiHostKey = "FldigiHost";
inline constexpr const char* kFldigiPortKey = "FldigiPort";
inline constexpr const char* kFldigiRigSharedKey = "FldigiRigShared"; // "0" or "1"
// "FldigiMessage1" .. "FldigiMessage11" (F1 .. F9, F10, F11).
inline constexpr const char* kFldigiMessageKeyPrefix = "FldigiMessage";

inline constexpr const char* kFldigiDefaultHost = "127.0.0.1";
inline constexpr int kFldigiDefaultPort = 7362;
inline constexpr std::size_t kFldigiMessageCount = 11;

// The link settings beside the local-socket link's own: which program, where
// fldigi's XML-RPC server listens, whether the rig is reached through fldigi,
// and the function-key messages sent through fldigi.
struct FldigiSettings {
    DigitalProgram program = DigitalProgram::Vemo;
    std::string host = kFldigiDefaultHost;
    int port = kFldigiDefaultPort;
    // fldigi owns the rig: its frequency is read from fldigi and Wexon's own
    // rig polling stays off.
    bool rigSharedThroughFldigi = false;
    std::array<std::string, kFldigiMessageCount> messages = defaultMessages();

    static std::array<std::string, kFldigiMessageCount> defaultMessages();
    // A host name or address of letters, digits, ".", "-" and ":" only (at most
    // 253 of them) and a port 1 to 65535 are taken; anything else falls back to
    // the default, so a damaged store cannot point the link somewhere odd.
    static FldigiSettings load(const core::SettingsStore& store);
    void save(core::SettingsStore& store) const;
};

bool isAcceptableHost(std::string_view host);

// What a message's wildcards stand for (8-bit text from the main window).
struct FldigiMessageValues {
    std::string ownCall;
    std::string call;       // the call box
    std::string serial;     // the next QSO number
    std::string reportSent; // the sent-report box
};

// Fills in a message in one pass: "$" the call, "#" the serial, "*" the
// report sent ("599" when empty), "%" the own call; values trimmed.
std::string expandFldigiMessage(std::string_view pattern, const FldigiMessageValues& values);

// The text handed to fldigi's transmit buffer for a function key (F10 comes as
// 124), already expanded and ended with fldigi's return-to-receive control
// "^r"; nothing for a key without a message or an empty message. The text is
// UTF-8 and holds no "^" of its own: fldigi would read one as a control.
std::optional<std::string> fldigiTransmitText(const FldigiSettings& settings, int keyCode,
                                              const FldigiMessageValues& values);

// One XML-RPC call to make: the method and its parameters.
struct FldigiCall {
    std::string method;
    std::vector<XmlRpcValue> params;
};

// The log-field updates a changed entry box makes in fldigi. Items: the boxes
// sent over the link ("txtBUrCall" call, "txtBField1" report sent) and the
// received boxes "txtRSTR" (report received) and "txtSec" (exchange
// received; digits go to the serial field too). Anything else (the next QSO
// number has no field in fldigi) makes no call.
std::vector<FldigiCall> fldigiLogFieldCalls(std::string_view item, std::string_view latin1Value);

// fldigi's transmit/receive state as main.get_trx_state words it.
enum class TrxState { Unknown, Receive, Transmit, Tune };
TrxState parseTrxState(std::string_view text);

// A rig frequency read from fldigi, in Hz, as MHz; nothing for a reading no
// rig gives (not positive, not finite, above 300 GHz).
std::optional<float> fldigiFrequencyMhz(double hz);

// Sends one message at a time: a message asked for while fldigi transmits
// waits until it is back to receive, since a message added behind the
// previous one's "^r" would stay in fldigi's buffer unsent.
class FldigiTransmitQueue {
  public:
    static constexpr std::size_t kMaxWaiting = 8;

    // A message to send. Answers the calls to make now (empty while waiting).
    // Beyond kMaxWaiting waiting messages the new one is dropped.
    std::vector<FldigiCall> send(const std::string& text);
    // fldigi reported its state. Answers the calls for the next waiting
    // message once a transmission has ended.
    std::vector<FldigiCall> stateSeen(TrxState state);
    // The link went down or was started again.
    void reset();

    bool transmitting() const { return m_transmitting; }
    std::size_t waiting() const { return m_waiting.size(); }
    std::size_t dropped() const { return m_dropped; }

  private:
    std::vector<FldigiCall> start(const std::string& text);

    std::deque<std::string> m_waiting;
    bool m_transmitting = false; // a message went out and fldigi was not yet seen back at receive
    bool m_seenTransmit = false; // fldigi was seen transmitting the current message
    int m_receivePolls = 0;      // receive readings since the current message went out
    std::size_t m_dropped = 0;
};

// Follows fldigi's receive pane by position: asks for the characters added
// since the last read, starts again when the pane was cleared, and hands over
// whole UTF-8 sequences only.
class FldigiReceiveText {
  public:
    static constexpr long long kMaxRead = 4096;      // bytes asked for at once
    static constexpr long long kFirstBacklog = 1000; // read back at the start

    struct Range {
        int start = 0;
        int length = 0;
    };

    void reset();
    // The pane's length was read. Answers the range to ask for, if any.
    std::optional<Range> lengthSeen(long long paneLength);
    // The bytes of a range asked for. Answers the text to show: UTF-8 with
    // CR and other control characters except LF and tab left out.
    std::string textRead(const Range& range, std::string_view bytes);
    long long position() const { return m_position; }

  private:
    long long m_position = -1; // -1: nothing read yet
    std::string m_partial;     // an unfinished UTF-8 sequence at the end of the last read
};

// A word clicked in the receive text and where it belongs.
struct ClickedWord {
    enum class Target { None, Call, Exchange };
    Target target = Target::None;
    std::string text; // 8-bit text in capitals
};
// The word of `line` (UTF-8) around byte `index`, split at blanks and
// punctuation other than "/": letters and digits with a letter make a call
// (at most 20 characters), digits alone a received exchange (at most 6).
ClickedWord clickedWordAt(std::string_view line, std::size_t index);

} // namespace wexon::link
