#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wexon::keying::cwdaemon {

// The UDP protocol of the cwdaemon keying program: a datagram of plain text is
// keyed, a datagram starting with ESC (0x1B) is a command. Builders here make
// the bytes of one datagram each; nothing here does any I/O.

inline constexpr int kDefaultPort = 6789;
inline constexpr const char* kDefaultHost = "127.0.0.1";
// Speeds cwdaemon accepts; a request outside is ignored by it, so speeds are
// brought into this range before they are sent.
inline constexpr int kMinWpm = 4;
inline constexpr int kMaxWpm = 60;
// Longest tune cwdaemon keys for one request.
inline constexpr int kMaxTuneSeconds = 10;
// Largest datagram this program sends or reads back.
inline constexpr std::size_t kMaxDatagram = 512;

std::string resetRequest();            // ESC 0: back to its start-up values
std::string speedRequest(int wpm);     // ESC 2, clamped to kMinWpm..kMaxWpm
std::string toneRequest(int hz);       // ESC 3, 0 (silent) to 4000 Hz
std::string abortRequest();            // ESC 4
std::string weightRequest(int weight); // ESC 7, -50..50
std::string pttRequest(bool on);       // ESC a: PTT held on or released
std::string pttDelayRequest(int ms);   // ESC d, 0..50 ms (0: cwdaemon keys no PTT itself)
std::string tuneRequest(int seconds);  // ESC c, 1..kMaxTuneSeconds
// ESC h: cwdaemon answers "h" + tag once the next text datagram has been
// keyed. It keeps one answer only, so one text may be outstanding at a time.
// The tag is cut to printable ASCII.
std::string echoRequest(std::string_view tag);

// The text of one Morse character (or run of characters) as cwdaemon must be
// given it so that it keys what this program's Morse table keys:
// upper case; the prosigns AR "[", SK "]", KN ";" and BT "-" in the forms
// cwdaemon knows ("*", "<", "(", "="); CL "\" as the two letters C L;
// characters this program has no Morse for are dropped (cwdaemon would key
// some of them or, for "+", "-", "~" and "^", take them as speed or echo
// marks). Letters, digits, ". , ? / =" pass unchanged. A space passes as a
// space.
std::string translateText(std::string_view text);

// A reply datagram of cwdaemon.
struct Reply {
    enum class Kind {
        Echo,  // "h" + tag: the text after the echo request has been keyed
        Break, // "break": a message with a pending echo was aborted
    };
    Kind kind = Kind::Echo;
    std::string tag;
};
// Reads one datagram; nothing when it is not a reply this program asked for
// (too long, binary, unknown). A trailing CR LF is optional.
std::optional<Reply> parseReply(std::string_view datagram);

// Keyed length of `text` in Morse units with this program's table (a space is
// eight silent units plus the word-space adjustment), used to pace text and
// to predict how long a message takes.
long long keyedUnits(std::string_view text, int wordSpaceAdjust);

} // namespace wexon::keying::cwdaemon
