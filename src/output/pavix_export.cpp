#include "output/pavix_export.h"

#include "core/quoted_form.h"

namespace wexon::output {

namespace {

void quoted(std::string& out, std::string_view text) {
    out += core::quoteText(text);
    out += ',';
}

void appendCells(std::string& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        out += cells[i];
        out += i + 1 < cells.size() ? "\t" : "\r\n";
    }
    if (cells.empty()) {
        out += "\r\n";
    }
}

} // namespace

std::string pavixLine(const core::QsoRecord& q, std::string_view mode, std::string_view power) {
    std::string out;
    out.reserve(128);
    quoted(out, q.call);
    quoted(out, q.qsoDate);
    quoted(out, q.band);
    quoted(out, mode == "PH" ? "SSB" : "CW");
    quoted(out, power);
    quoted(out, q.qsoTime);
    quoted(out, q.rstSent);
    quoted(out, q.rstReceived);
    out += ',';
    quoted(out, q.country);
    out += ",,,,,";
    out += core::quoteText("CQ WPX Contest");
    out += "\r\n";
    return out;
}

std::string writePavixExport(const std::vector<core::QsoRecord>& qsos, std::string_view mode,
                             std::string_view power) {
    std::string out;
    out.reserve(qsos.size() * 110);
    for (const auto& q : qsos) {
        out += pavixLine(q, mode, power);
    }
    return out;
}

std::string pavixSuccessText(std::string_view workingFolder) {
    std::string out = "LogExp.txt has been written to this program's working directory ";
    out += workingFolder;
    out += ".  Import these contacts into the Pavix log program by clicking File, Import, and "
           "navigating to this directory from the Pavix program.\n\nThis function does not "
           "include the prefix field that is included in version 2 of Pavix.  To include the "
           "prefix field, please transfer your data using the ADIF export.";
    return out;
}

std::string listClipboardText(const std::vector<std::string>& headers,
                              const std::vector<std::vector<std::string>>& rows) {
    std::string out;
    appendCells(out, headers);
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        appendCells(out, *it);
    }
    return out;
}

} // namespace wexon::output
