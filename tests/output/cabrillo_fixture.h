#pragma once

// The summary sheet, log and line splitting both Cabrillo versions' tests use.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/qso_record.h"
#include "output/cabrillo.h"

namespace wexon::test {

inline output::SummarySheet sheet() {
    output::SummarySheet s;
    s.createdBy = "Wexon - CQ WPX Contest Logger";
    s.arrlSection = "CT";
    s.name = "Hiram Percy Maxim";
    s.address1 = "225 Main Street";
    s.address2 = "Newington CT 06111";
    s.email = "w1aw@example.org";
    s.club = "Frankford Radio Club";
    s.soapbox = "Great conditions on 20.";
    return s;
}

inline output::CabrilloLog logOf(const std::vector<core::QsoRecord>& qsos,
                                 const char* mode = "CW") {
    output::CabrilloLog log;
    log.ownCall = " W1AW ";
    log.contestMode = mode;
    log.qsos = &qsos;
    log.totalPoints = 25;
    log.prefixCount = output::countPrefixes(qsos);
    return log;
}

// The file's lines without their CR LF; a line without CR LF fails the test.
inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "a line without CR LF";
        if (end == std::string::npos) {
            break;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

} // namespace wexon::test
