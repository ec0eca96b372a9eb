#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wexon::link {

// The link with the external RTTY program is a stream of lines, one per item
// change, in either direction:
//
//     item <TAB> value <LF>
//
// The item is one of the twenty box names below; the value is UTF-8 text. A
// receiver also takes CR LF line ends. Inside the program texts are 8-bit
// (Latin-1); they are turned into UTF-8 on the way out and back on the way in.

// The other program's name and form: together they name the conversation.
inline constexpr const char* kPartnerApplication = "Vemo RTTY";
inline constexpr const char* kPartnerForm = "frmDigitalDest";
inline constexpr const char* kLinkTopic = "Vemo RTTY|frmDigitalDest";

// Lines longer than this (item, tab and value, without the line end) are
// dropped whole: no box holds anything near it, and it bounds what a partner
// can make the program hold.
inline constexpr std::size_t kMaxLineBytes = 1024;

enum class Direction {
    Out, // "txtB...": this program writes, the RTTY program reads
    In,  // "txtS...": the RTTY program writes, this program reads
};

struct LinkItem {
    const char* name;
    Direction direction;
};

inline constexpr std::size_t kItemCount = 20;

// The twenty boxes of the link window, in their order on the window.
inline constexpr std::array<LinkItem, kItemCount> kItems = {{
    {"txtBMyCall", Direction::Out}, {"txtBUrCall", Direction::Out},
    {"txtBField1", Direction::Out}, {"txtBField2", Direction::Out},
    {"txtBField3", Direction::Out}, {"txtBField4", Direction::Out},
    {"txtBField5", Direction::Out}, {"txtBField6", Direction::Out},
    {"txtBField7", Direction::Out}, {"txtBField8", Direction::Out},
    {"txtSMyCall", Direction::In},  {"txtSUrCall", Direction::In},
    {"txtSField1", Direction::In},  {"txtSField2", Direction::In},
    {"txtSField3", Direction::In},  {"txtSField4", Direction::In},
    {"txtSField5", Direction::In},  {"txtSField6", Direction::In},
    {"txtSField7", Direction::In},  {"txtSField8", Direction::In},
}};

// Names of the items this program writes.
namespace item {
inline constexpr const char* kMyCall = "txtBMyCall";
inline constexpr const char* kUrCall = "txtBUrCall";
inline constexpr const char* kReportSent = "txtBField1";
inline constexpr const char* kNextSerial = "txtBField3";
inline constexpr const char* kKey = "txtBField8";
// Names of the items this program takes in.
inline constexpr const char* kTheirCall = "txtSUrCall";
inline constexpr const char* kReportReceived = "txtSField1";
inline constexpr const char* kSection = "txtSField3";
} // namespace item

// The position of the item in kItems, or nothing for a name that is not one of
// them (names are compared exactly).
std::optional<std::size_t> itemIndex(std::string_view name);

// The name the link's local socket goes by when none is configured: the topic
// with every character other than letters, digits, "." "_" and "-" turned into
// "_" ("Vemo_RTTY_frmDigitalDest").
std::string socketNameForTopic(std::string_view topic);

// The path of the link's socket. A configured name holding a "/" is a path
// and is taken as it is; any other name, or the topic's name when none is
// configured (blank), is a file in `runtimeFolder`, the user's own runtime
// folder, which no other user can create files in. Empty when the socket
// belongs in the runtime folder and there is none.
std::string linkSocketPath(std::string_view configured, std::string_view runtimeFolder);

// 8-bit text to UTF-8.
std::string latin1ToUtf8(std::string_view text);
// UTF-8 to 8-bit text. A character beyond Latin-1 becomes "?"; a byte that does
// not start a well-formed UTF-8 sequence is taken as the Latin-1 character of
// that value, so a partner that writes 8-bit text is still understood.
std::string utf8ToLatin1(std::string_view text);

// One line for the wire: the item, a tab, the value in UTF-8 and a line feed.
// Tabs, line ends and other control characters in the value become spaces, so
// a value can never split or end a line.
std::string encodeLine(std::string_view itemName, std::string_view latin1Value);

struct LinkLine {
    std::string item;
    std::string value; // 8-bit text, control characters removed
};

// One received line (without its LF; a trailing CR is dropped). Nothing for a
// line without a tab. The item is not checked here.
std::optional<LinkLine> decodeLine(std::string_view line);

// Cuts a byte stream into lines. Holds at most kMaxLineBytes bytes between
// calls: a line that grows beyond that is dropped up to its line end, however
// long it goes on.
class LineSplitter {
  public:
    // The complete lines among the bytes so far, without their line ends.
    std::vector<std::string> feed(std::string_view bytes);
    // Bytes of an unfinished line waiting for its end.
    std::size_t pendingBytes() const { return m_pending.size(); }
    // Lines dropped for their length.
    std::size_t droppedLines() const { return m_dropped; }
    void clear();

  private:
    std::string m_pending;
    bool m_skipping = false;
    std::size_t m_dropped = 0;
};

// The key code as the RTTY program gets it: F10 (121) travels as 124, every
// other code as it is.
int linkKeyCode(int keyCode);

// The key code of the key that types a character on a US keyboard: letters
// their capitals, digits and space themselves, shifted digits their digit,
// punctuation the codes of its key (";" 186, "=" 187, "," 188, "-" 189,
// "." 190, "/" 191, "`" 192, "[" 219, "\" 220, "]" 221, "'" 222). 0 for
// anything else.
int keyCodeForCharacter(char32_t ch);

// 8-bit text in capitals: a-z and the accented small letters of Latin-1.
std::string upperLatin1(std::string_view text);

// Whether the link may write: only in the RTTY contest ("RY") and while linked.
bool maySend(std::string_view contestMode, bool linked);

} // namespace wexon::link
