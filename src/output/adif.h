#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/qso_record.h"
#include "output/dxcc_table.h"

namespace wexon::output {

// What the ADIF file is made from besides the records.
struct AdifExport {
    std::string programTitle;   // the main window's title
    std::string programVersion; // empty: no version item
    std::string exportDate;     // today in the system's short date form
    std::string contestMode;    // "CW", "PH" or "RY"
    std::string power;          // empty: no power item
    std::string comment;        // empty: no comment item
};

inline constexpr const char* kAdifVersion = "3.1.4";
inline constexpr const char* kAdifProgramId = "Wexon";
// What stands for a character that has no plain ASCII equivalent.
inline constexpr char kAdifReplacement = '*';

// What was changed to make the texts of a file plain ASCII, as ADIF wants them.
struct AdifTextChanges {
    int transliterated = 0; // letters written as their plain letters (é as e)
    int replaced = 0;       // characters written as kAdifReplacement

    bool any() const { return transliterated > 0 || replaced > 0; }
};

// A Latin-1 text as plain printable ASCII: a letter with an accent becomes its
// base letter (é → e, ß → ss, Ø → O, Æ → AE), a no-break space a space, and
// every other character outside 32..126 becomes kAdifReplacement. Each change
// is counted in `changes`.
std::string adifPlainText(std::string_view latin1, AdifTextChanges& changes);
// The sentence that tells the operator what was changed; empty when nothing was.
std::string adifTextChangesNote(const AdifTextChanges& changes);

// "CW", "SSB" or "RTTY" for the contest mode.
std::string adifMode(std::string_view contestMode);
// The contest's ADIF name: "CQ-WPX-CW", "CQ-WPX-SSB" or "CQ-WPX-RTTY".
std::string adifContestId(std::string_view contestMode);
// The time item's data, "hhmm", from a stored time the log's time reader takes;
// nothing when it does not.
std::optional<std::string> adifTimeOn(std::string_view storedTime);
// The header, up to and including the empty line after "<EOH>".
std::string adifHeader(const AdifExport& e);
std::string adifHeader(const AdifExport& e, AdifTextChanges& changes);
// One record: two lines of items, "<eor>" and an empty line.
void appendAdifRecord(std::string& out, const core::QsoRecord& q, const AdifExport& e,
                      const DxccTable& dxcc, AdifTextChanges& changes);
std::string adifRecord(const core::QsoRecord& q, const AdifExport& e, const DxccTable& dxcc);
// The whole file; `changes`, when given, learns what was made plain ASCII.
std::string writeAdif(const std::vector<core::QsoRecord>& qsos, const AdifExport& e,
                      const DxccTable& dxcc, AdifTextChanges* changes = nullptr);

} // namespace wexon::output
