#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/qso_record.h"

namespace wexon::output {

// What the summary sheet holds when the Cabrillo file is written.
struct SummarySheet {
    enum class Operator { Single, SingleAssisted, Multiple, Checklog };
    enum class Transmitter { None, One, Two, Multi };
    enum class Power { High, Low, Qrp };

    std::string createdBy; // the main window's title
    std::string arrlSection;
    Operator op = Operator::Single;
    Transmitter transmitter = Transmitter::None;
    std::string bandItem = "ALL"; // "ALL", "160M", ... "10M"
    Power power = Power::Low;
    bool rookie = false;
    bool bandLimited = false;
    bool tbWires = false;
    // The one overlay of a 3.0 file: CLASSIC, ROOKIE, TB-WIRES, NOVICE-TECH,
    // OVER-50 or YOUTH. Empty: the first of the rookie and TB-wires choices.
    std::string overlay3;
    // A two-transmitter 3.0 file: which transmitter (0 or 1) made this log's
    // contacts.
    int transmitterId = 0;
    std::string operators; // empty: the own call
    std::string club;
    std::string name;
    std::string address1;
    std::string address2;
    std::string email;
    std::string soapbox;
};

// The contest data the file is made from.
struct CabrilloLog {
    std::string ownCall;     // trimmed before use
    std::string contestMode; // "CW", "PH" or "RY"
    const std::vector<core::QsoRecord>* qsos = nullptr;
    long long totalPoints = 0;
    int prefixCount = 0;
};

// "CQ-WPX-CW", "CQ-WPX-RTTY" or "CQ-WPX-SSB".
std::string cabrilloContest(std::string_view contestMode);
// Operator word, transmitter word, band item and power word, e.g. "MULTI-TWO 20M HIGH".
std::string cabrilloCategory(const SummarySheet& sheet);
// The overlay words in their fixed order, empty when none is chosen.
std::string cabrilloOverlay(const SummarySheet& sheet);
// The claimed score as the header writes it: a space, the digits, a space.
std::string cabrilloClaimedScore(long long totalPoints, int prefixCount);
// The frequency field for a band: " 1800" ... "28000", empty for any other band.
std::string cabrilloFrequency(std::string_view band);
// One "QSO:" line without its line end, with the band's frequency field. Every
// field starts at its column; a field that runs past the next column start
// pushes that field on, with one space between, and never breaks the line.
std::string cabrilloQsoLine(const core::QsoRecord& qso, std::string_view contestMode,
                            std::string_view ownCall);
// The same line with a given frequency text, which ends at column 10 (a longer
// one pushes the mode on like any other field).
std::string cabrilloQsoLineWithFrequency(const core::QsoRecord& qso, std::string_view frequency,
                                         std::string_view contestMode, std::string_view ownCall);
// Appends `text` and CR LF. A line break inside `text` would split the line in
// two, so each CR and LF in it becomes a blank.
void appendCabrilloLine(std::string& out, std::string_view text);
// The whole file, CR LF line ends.
std::string writeCabrillo(const SummarySheet& sheet, const CabrilloLog& log);

// The number of different prefixes in the log (compared without regard to case),
// the multiplier of the score.
int countPrefixes(const std::vector<core::QsoRecord>& qsos);

} // namespace wexon::output
