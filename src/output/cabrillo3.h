#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "output/cabrillo.h"

namespace wexon::output {

// Which Cabrillo layout the summary sheet writes. 2.0 is the default.
enum class CabrilloVersion { V2, V3 };

// "2.0" or "3.0", as the version is stored in the settings.
std::string cabrilloVersionText(CabrilloVersion version);
// "3.0" (blanks around it ignored) is 3.0; anything else, the empty text
// included, is the default 2.0.
CabrilloVersion cabrilloVersionFromText(std::string_view text);

// The longest header line written for a text that may run over several lines
// (ADDRESS, SOAPBOX), the tag and its blank included.
inline constexpr std::size_t kCabrilloTextLineWidth = 75;

// The separate category tags of a 3.0 file, mapped from the summary sheet and
// the mode of the log.
struct Cabrillo3Categories {
    std::string op;          // CATEGORY-OPERATOR
    std::string assisted;    // CATEGORY-ASSISTED
    std::string band;        // CATEGORY-BAND
    std::string mode;        // CATEGORY-MODE
    std::string power;       // CATEGORY-POWER
    std::string transmitter; // CATEGORY-TRANSMITTER
    std::string overlay;     // CATEGORY-OVERLAY, empty for none
};
Cabrillo3Categories cabrillo3Categories(const SummarySheet& sheet, std::string_view contestMode);

// The overlay values a 3.0 file takes.
inline constexpr const char* kCabrillo3Overlays[] = {"CLASSIC",     "ROOKIE",  "TB-WIRES",
                                                     "NOVICE-TECH", "OVER-50", "YOUTH"};
// The sheet's one 3.0 overlay: its `overlay3` when that is a 3.0 value,
// otherwise ROOKIE or TB-WIRES as checked (rookie first); BAND-LIMITED has no
// 3.0 value. Empty for none.
std::string cabrillo3Overlay(const SummarySheet& sheet);

// The ADDRESS tag of a 3.0 file takes at most this many lines of at most this
// many characters.
inline constexpr std::size_t kCabrilloAddressLines = 6;
inline constexpr std::size_t kCabrilloAddressWidth = 45;
// The address boxes as the lines of the ADDRESS tag: wrapped at blanks to the
// width, at most the lines the tag takes; an empty address gives one empty line.
std::vector<std::string> cabrillo3AddressLines(const SummarySheet& sheet);

// The transmitter column of a 3.0 "QSO:" line: "0" or "1" in a MULTI-TWO log,
// a blank in any other.
char cabrillo3TransmitterColumn(const SummarySheet& sheet);

// The frequency field of a 3.0 "QSO:" line: the contact's own frequency in
// whole kHz when the log holds one that lies in the contact's band, otherwise
// the band edge as the 2.0 file writes it (empty for a band outside the six).
std::string cabrillo3Frequency(const core::QsoRecord& qso);

// A free text as the lines of a header tag that may repeat: split at its line
// breaks, each line trimmed, blank lines left out, and a line longer than
// `width` broken at its last blank within `width` (a word longer than `width`
// is cut). Never holds a CR or LF; other control bytes become blanks.
std::vector<std::string> cabrilloTextLines(std::string_view text, std::size_t width);
// "TAG: line" for each line of `text`, each at most kCabrilloTextLineWidth long;
// an empty text still gives one "TAG: " line.
std::vector<std::string> cabrilloTagLines(std::string_view tag, std::string_view text);
// A free text for a tag that takes one line: its lines trimmed and joined with
// one blank, control bytes as blanks.
std::string cabrilloOneLine(std::string_view text);

// The whole 3.0 file, CR LF line ends.
std::string writeCabrillo3(const SummarySheet& sheet, const CabrilloLog& log);
// The file in the chosen layout.
std::string writeCabrilloFile(CabrilloVersion version, const SummarySheet& sheet,
                              const CabrilloLog& log);

} // namespace wexon::output
