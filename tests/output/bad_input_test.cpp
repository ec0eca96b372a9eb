#include <gtest/gtest.h>

#include <algorithm>

#include "output/adif.h"
#include "output/cabrillo.h"
#include "output/pavix_export.h"
#include "output/rate_graph.h"

using namespace wexon;

namespace {

// Contacts as a damaged or hand-edited log can hold them.
std::vector<core::QsoRecord> hostileLog() {
    std::vector<core::QsoRecord> v(9);
    v[1].call = std::string(4096, 'W');
    v[1].serialSent = std::string(300, '9');
    v[2].qsoDate = "99/99/99";
    v[2].qsoTime = "abc";
    v[3].band = "WARC";
    v[4].call = "K1\r\nQSO: 14000 CW fake";
    v[5].qsoDate = "2026/03/28";
    v[5].qsoTime = "1";
    v[6].country = std::string("\x01\xff\x7f", 3);
    v[7].band = "20";
    v[7].frequency = "   ";
    v[8].points = -1e30f;
    return v;
}

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) {
        ++n;
    }
    return n;
}

} // namespace

TEST(BadInput, CabrilloKeepsOneLinePerContact) {
    auto qsos = hostileLog();
    output::SummarySheet sheet;
    sheet.soapbox = "two\r\nlines";
    output::CabrilloLog log;
    log.ownCall = "W1AW";
    log.contestMode = "XX";
    log.qsos = &qsos;
    std::string text = output::writeCabrillo(sheet, log);
    EXPECT_EQ(count(text, "\r\nQSO:"), qsos.size());
    EXPECT_EQ(count(text, "\n"), count(text, "\r\n"));
    EXPECT_EQ(count(text, "\r"), count(text, "\r\n"));
    EXPECT_NE(text.find("SOAPBOX: two  lines\r\n"), std::string::npos);
    EXPECT_NE(text.find("CONTEST: CQ-WPX-SSB\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 13), "END-OF-LOG:\r\n");
}

TEST(BadInput, AdifLengthsMatchTheirData) {
    auto qsos = hostileLog();
    output::AdifExport e;
    e.contestMode = "CW";
    std::string text = output::writeAdif(qsos, e, output::DxccTable{});
    EXPECT_EQ(count(text, "<eor>"), qsos.size());
    // Every item's length is the number of characters up to the next item.
    std::size_t pos = text.find("<EOH>") + 5;
    int items = 0;
    while ((pos = text.find('<', pos)) != std::string::npos) {
        std::size_t close = text.find('>', pos);
        ASSERT_NE(close, std::string::npos);
        std::string tag = text.substr(pos + 1, close - pos - 1);
        if (tag == "eor") {
            pos = close;
            continue;
        }
        std::size_t colon = tag.find(':');
        ASSERT_NE(colon, std::string::npos) << tag;
        std::size_t length = std::stoul(tag.substr(colon + 1));
        char after = text[close + 1 + length];
        EXPECT_TRUE(after == ' ' || after == '\r') << tag;
        pos = close + 1 + length;
        ++items;
    }
    EXPECT_GT(items, 20);
    EXPECT_NE(text.find("<Call:" + std::to_string(4096) + ">"), std::string::npos);
}

TEST(BadInput, PavixAndRateGraphDoNotFail) {
    auto qsos = hostileLog();
    std::string text = output::writePavixExport(qsos, "CW", "");
    EXPECT_EQ(count(text, "\"CQ WPX Contest\"\r\n"), qsos.size());
    EXPECT_EQ(output::computeRateGraph(qsos, 0).status, output::RateGraph::Status::Unusable);
}
