// fuzz-sources: keying/cw_settings keying/winkey_settings keying/winkey_protocol keying/settings_lines core/number_format
// Drives the CW keyer's readers with arbitrary bytes: "cw.txt", "WK.txt" and
// the WinKey's reply stream. The first byte picks the reader. Promises checked:
// the line counts stay within the files' lengths; a settings record read from
// anything writes out and reads back as the same record (so a message holding
// quotes, or any byte, loads back unchanged; an empty F9 comes back as the
// stock F9 message); the interface, mode and pin
// values read are ones the windows offer; the reply decoder's status stays
// within the five status bits and its speed-pot value within six bits.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "keying/cw_settings.h"
#include "keying/winkey_protocol.h"
#include "keying/winkey_settings.h"

using namespace wexon::keying;

namespace {

bool sameCw(const CwSettings& a, const CwSettings& b) {
    return a.messages == b.messages && a.portText == b.portText && a.speedText == b.speedText &&
           a.spaceText == b.spaceText && a.interface == b.interface &&
           a.addressText == b.addressText && a.displayText == b.displayText &&
           a.repeatText == b.repeatText && a.cwdaemonHost == b.cwdaemonHost &&
           a.cwdaemonPortText == b.cwdaemonPortText && a.cwdaemonPtt == b.cwdaemonPtt &&
           a.cwdaemonPttLeadText == b.cwdaemonPttLeadText &&
           a.cwdaemonToneText == b.cwdaemonToneText;
}

bool sameWk(const WinKeySettings& a, const WinKeySettings& b) {
    return a.port == b.port && a.wpmText == b.wpmText && a.weightText == b.weightText &&
           a.leadInText == b.leadInText && a.tailText == b.tailText &&
           a.ratioText == b.ratioText && a.pinConfig == b.pinConfig && a.mode == b.mode;
}

void cwFile(std::string_view bytes) {
    CwSettings read;
    const int lines = readCwSettings(bytes, read);
    FUZZ_CHECK(lines >= 0 && lines <= 23);
    FUZZ_CHECK(isKeyingInterface(read.interface));
    // An empty F9 line reads as the stock F9 message, so that is what an empty
    // F9 comes back as.
    CwSettings expected = read;
    if (expected.messages[8].empty()) {
        expected.messages[8] = kEmptyF9Message;
    }
    CwSettings again;
    const std::string written = writeCwSettings(read);
    FUZZ_CHECK(readCwSettings(written, again) == 23);
    FUZZ_CHECK(sameCw(expected, again));
    CwSettings third;
    FUZZ_CHECK(readCwSettings(writeCwSettings(again), third) == 23);
    FUZZ_CHECK(sameCw(again, third));
}

void wkFile(std::string_view bytes) {
    WinKeySettings read;
    const int lines = readWinKeySettings(bytes, read);
    FUZZ_CHECK(lines >= 0 && lines <= 8);
    FUZZ_CHECK(isWinKeyMode(read.mode));
    FUZZ_CHECK(isWinKeyPinConfig(read.pinConfig));
    WinKeySettings again;
    const std::string written = writeWinKeySettings(read);
    FUZZ_CHECK(readWinKeySettings(written, again) == 8);
    FUZZ_CHECK(sameWk(read, again));
    // The values the window would send stay within a byte's range.
    if (auto b = winKeySpeedByte(read.wpmText)) {
        FUZZ_CHECK(*b >= 0 && *b <= 99);
    }
    if (auto b = winKeyRatioByte(read.ratioText)) {
        FUZZ_CHECK(*b >= 32 && *b <= 67);
    }
    if (auto b = winKeyTimeByte(read.leadInText)) {
        FUZZ_CHECK(*b >= 0 && *b <= 255);
    }
}

void replies(std::string_view bytes) {
    winkey::ReplyDecoder decoder;
    // Fed in pieces of varying size, as a serial port hands them over.
    std::size_t at = 0;
    std::size_t piece = 1;
    while (at < bytes.size()) {
        const std::size_t n = piece < bytes.size() - at ? piece : bytes.size() - at;
        decoder.feed(bytes.substr(at, n));
        at += n;
        piece = piece % 7 + 1;
        FUZZ_CHECK(decoder.status() >= 0 && decoder.status() <= 0x1F);
        if (auto pot = decoder.speedPot()) {
            FUZZ_CHECK(*pot >= 0 && *pot <= 0x3F);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 3) {
    case 0:
        cwFile(bytes);
        break;
    case 1:
        wkFile(bytes);
        break;
    default:
        replies(bytes);
        break;
    }
    return 0;
}
