#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/qso_record.h"

namespace wexon::output {

inline constexpr const char* kPavixFileName = "LogExp.txt";

// One line of "LogExp.txt" (with its CR LF): sixteen comma-separated fields, texts
// quoted and the empty fields as nothing between the commas.
std::string pavixLine(const core::QsoRecord& q, std::string_view contestMode,
                      std::string_view power);
// The whole file: one line per contact.
std::string writePavixExport(const std::vector<core::QsoRecord>& qsos, std::string_view contestMode,
                             std::string_view power);
// The success message's text, naming the working folder.
std::string pavixSuccessText(std::string_view workingFolder);

// The contact list as tab-separated text: the header line, then the rows from the
// list's last row up to its first; each cell followed by a tab, the last one of a
// line by CR LF instead.
std::string listClipboardText(const std::vector<std::string>& headers,
                              const std::vector<std::vector<std::string>>& rowsInListOrder);

} // namespace wexon::output
