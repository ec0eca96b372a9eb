#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/qso_record.h"
#include "output/dxcc_table.h"

namespace wexon::output {

// What the ADIF file is made from besides the records.
struct AdifExport {
    std::string programTitle; // the main window's title
    std::string exportDate;   // today in the system's short date form
    std::string contestMode;  // "CW", "PH" or "RY"
    std::string power;        // empty: no power item
    std::string comment;      // empty: no comment item
};

// "CW", "SSB" or "RTTY" for the contest mode.
std::string adifMode(std::string_view contestMode);
// The time item's data: hours and minutes from "hh:mm:ss", four characters.
std::string adifTimeOn(std::string_view storedTime);
// The header, up to and including the empty line after "<EOH>".
std::string adifHeader(const AdifExport& e);
// One record: two lines of items, "<eor>" and an empty line.
void appendAdifRecord(std::string& out, const core::QsoRecord& q, const AdifExport& e,
                      const DxccTable& dxcc);
std::string adifRecord(const core::QsoRecord& q, const AdifExport& e, const DxccTable& dxcc);
// The whole file.
std::string writeAdif(const std::vector<core::QsoRecord>& qsos, const AdifExport& e,
                      const DxccTable& dxcc);

} // namespace wexon::output
