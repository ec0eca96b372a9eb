#pragma once

#include <array>
#include <string_view>

namespace wexon::rig {

// Every transceiver the program knows, in the order of the rig list.
enum class RigId {
    None,
    Elecraft,
    Icom,
    Icom735,
    Kenwood,
    Kenwood2,
    TenTecOmniVI,
    TenTecOrion,
    TenTecPanel,
    TenTecPegasus,
    Yaesu,
    Yaesu757,
    Yaesu890,
    Yaesu920,
    Yaesu990,
    Yaesu1000D,
    Yaesu1000,
    YaesuFtdx9000,
    Other,
    Hamlib, // Hamlib's rigctld over TCP
};

// What a send tick writes.
enum class PollStyle {
    Nothing,        // no port (None, Pegasus)
    TextBoth,       // frequency text, then mode text, as typed
    CivAlternate,   // six hex pairs, frequency and mode asked in turn
    YaesuFive,      // five hex pairs of the frequency command
    TextAlternate,  // frequency or mode text in turn
    PanelAlternate, // three hex pairs, frequency and mode in turn
    TextWithCr,     // each text followed by a carriage return
    Custom,         // "Other": hex pairs when "Convert to Hex", else as TextBoth
    Rigctld,        // rigctld's frequency and mode questions
};

// How a read tick takes a reply apart.
enum class ParserKind {
    None,
    Kenwood,
    Kenwood2,
    Civ,
    Civ735,
    Yaesu,
    Yaesu757,
    YaesuWindow, // the hex-window rigs: 890, 920, 990, 1000 D, 1000
    TenTecPanel,
    FtDx9000,
    Orion,
    Pegasus,
    Rigctld, // rigctld's labelled replies
};

// The frequency command a rig receives.
enum class FrequencyCommand {
    None,
    KenwoodText,   // two letters from the read command + 11 Hz digits + ";"
    Kenwood2Text,  // "FA" or "FB" by the last VFO digit
    ElecraftText,  // "FA" + 11 Hz digits + ";"
    Civ,           // FE FE addr E0 05, five BCD bytes, FD
    Civ735,        // FE FE addr E0 05, four BCD bytes, FD
    Panel,         // 2A 41, four bytes binary Hz, 0D
    Orion,         // "*AF" + Hz + CR
    Pegasus,       // the exchange file
    YaesuMsbFirst, // four BCD bytes (10 Hz) most significant first, 01
    YaesuLsbFirst, // four BCD bytes (10 Hz) least significant first, 0A
    FtDx9000Text,  // two letters from the read command + 8 Hz digits + ";"
    Rigctld,       // "+F <Hz>"
};

// Which mode commands a rig understands.
enum class ModeTable { None, Civ, Kenwood, FtDx9000, YaesuOpcode0C, YaesuOpcode07, Rigctld };

// What carries the commands: a serial port, or a TCP connection to rigctld,
// which answers every command and so says when one was refused.
enum class LinkKind { Serial, Rigctld };

// The hex-window parsers' layout (1-based digit positions in the reply's hex).
struct HexWindow {
    int minBytes = 0;
    int firstDigit = 0;
    int lastDigit = 0;
    double divisor = 1;
    int modeDigit = 0;
    bool cwOnlyOnOne = false; // "Yaesu 920": 1 is CW, anything else phone
};

// One entry of the rig list: the defaults the entry loads and how the program
// talks to it. This table is the one place where rigs differ.
struct RigProfile {
    const char* name;
    RigId id;
    // Defaults loaded when the entry is chosen; null or '\0' leaves the choice.
    bool loadsDefaults;
    const char* baud;
    char dataBits;
    char stopBits;
    char parity;
    const char* frequencyRead;
    const char* modeRead;
    bool convertToHex;
    bool icomNote;
    bool hexSelectable; // "Convert to Hex" left to the operator
    // Behaviour.
    bool usesPort;
    int handshaking;
    std::string_view startupBytes; // sent right after opening
    std::string_view closingBytes; // sent when the window closes while polling
    PollStyle poll;
    ParserKind parser;
    HexWindow window;
    FrequencyCommand frequencyCommand;
    int pauseBeforeMs;
    int secondPauseMs; // after a further round of events (Elecraft, Omni VI)
    ModeTable modeTable;
    LinkKind link = LinkKind::Serial;
};

inline constexpr int kRigCount = 20;
const std::array<RigProfile, kRigCount>& rigProfiles();
// The profile of a rig name, compared without regard to case. An unknown name
// behaves as "Other" (commands as typed, no parser).
const RigProfile& profileFor(std::string_view rigName);
const RigProfile& profileFor(RigId id);
// True for the name "None" (case ignored).
bool isNoRig(std::string_view rigName);

} // namespace wexon::rig
