#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wexon::keying {

// The WinKeyer host-mode serial protocol (1200 baud, 8 data bits, no parity,
// 2 stop bits) as pure byte builders and a reply decoder. Commands are bytes
// below 0x20; characters to send are the printable bytes from 0x20 up.
namespace winkey {

inline constexpr int kBaudRate = 1200;

// Result codes of opening the keyer.
enum OpenResult : int {
    kOpenSuccess = 0,
    kNoEchoResponse = 1,
    kEchoMismatch = 2,
    kNoOpenResponse = 3,
    kComOpenFailed = 4,
    kGetComStateFailed = 5,
    kSetComStateFailed = 6,
    kAlreadyOpen = 8,
    kNotOpen = 9,
};

// The byte the echo test sends and expects back.
inline constexpr std::uint8_t kEchoByte = 0x55;

std::string echoTest(std::uint8_t value);      // 00 04 v: the keyer answers v
std::string hostOpen();                        // 00 02: the keyer answers its version
std::string hostClose();                       // 00 03
std::string setSpeed(int wpm);                 // 02 n
std::string setWeight(int weight);             // 03 n
std::string pttLeadTail(int leadIn, int tail); // 04 l t (10 ms steps)
std::string backspace();                       // 08
std::string pinConfig(int value);              // 09 n
std::string clearBuffer();                     // 0A
std::string setMode(int value);                // 0E n
std::string requestStatus();                   // 15
std::string ditDahRatio(int ratio);            // 17 n

// The byte that sends a character, or nothing for a byte the keyer would take
// as a command (below 0x20) or that it cannot send (above 0x7E). Letters are
// sent as capitals.
std::optional<std::uint8_t> characterByte(char ch);

// Status bits as the keyer reports them.
inline constexpr int kStatusXoff = 0x01;    // buffer more than two thirds full
inline constexpr int kStatusBreakIn = 0x02; // paddle break-in
inline constexpr int kStatusBusy = 0x04;    // sending Morse
inline constexpr int kStatusKeyDown = 0x08; // tune / key down
inline constexpr int kStatusWait = 0x10;    // waiting for an internal event

// The sender waits while the status value is at or above this (busy with a
// nearly full buffer, key down or waiting).
inline constexpr int kStatusHoldOff = 5;

// Sorts the keyer's unsolicited bytes: status bytes (110x xxxx) update the
// status value, speed-pot bytes (10xx xxxx) the pot value, anything else is
// an echo or version byte, kept as the last plain byte.
class ReplyDecoder {
  public:
    void feed(std::string_view bytes);
    // Status bits of the last status byte, 0 when none has come.
    int status() const { return m_status; }
    std::optional<int> speedPot() const { return m_pot; }
    std::optional<std::uint8_t> lastPlainByte() const { return m_plain; }
    void reset() {
        m_status = 0;
        m_pot.reset();
        m_plain.reset();
    }

  private:
    int m_status = 0;
    std::optional<int> m_pot;
    std::optional<std::uint8_t> m_plain;
};

} // namespace winkey

} // namespace wexon::keying
