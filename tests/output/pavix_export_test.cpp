#include <gtest/gtest.h>

#include "golden.h"
#include "output/pavix_export.h"

using namespace wexon;

TEST(PavixGolden, SmallLog) {
    test::expectGolden("LogExp.txt", output::writePavixExport(test::smallLog(), "CW", "100"));
}

TEST(PavixExport, SixteenFieldsAndModes) {
    core::QsoRecord q;
    q.call = "K1ABC";
    q.qsoDate = "2026/03/28";
    q.band = "20";
    q.qsoTime = "00:00:12";
    q.rstSent = "59";
    q.rstReceived = "57";
    q.country = "USA, East";
    EXPECT_EQ(output::pavixLine(q, "PH", ""),
              "\"K1ABC\",\"2026/03/28\",\"20\",\"SSB\",\"\",\"00:00:12\",\"59\",\"57\",,"
              "\"USA, East\",,,,,,\"CQ WPX Contest\"\r\n");
    // RTTY is exported as CW.
    EXPECT_NE(output::pavixLine(q, "RY", "5").find(",\"CW\",\"5\","), std::string::npos);
    // A quote in a text cannot split a field.
    q.call = "K1\"X";
    EXPECT_EQ(output::pavixLine(q, "CW", "").substr(0, 6), "\"K1X\",");
    EXPECT_EQ(output::writePavixExport({}, "CW", "100"), "");
}

TEST(PavixExport, SuccessTextNamesTheFolder) {
    std::string t = output::pavixSuccessText("/home/op/wexon");
    EXPECT_EQ(t.substr(0, 81), "LogExp.txt has been written to this program's working directory "
                               "/home/op/wexon.  ");
    EXPECT_NE(t.find("Pavix program.\n\nThis function"), std::string::npos);
}

TEST(ListClipboard, HeaderThenRowsFromLastToFirst) {
    std::vector<std::string> headers{"Rec#", "Call", "Pts"};
    std::vector<std::vector<std::string>> rows{{"2", "DL1XYZ", "3"}, {"1", "K1ABC", "1"}};
    EXPECT_EQ(output::listClipboardText(headers, rows),
              "Rec#\tCall\tPts\r\n1\tK1ABC\t1\r\n2\tDL1XYZ\t3\r\n");
    EXPECT_EQ(output::listClipboardText(headers, {}), "Rec#\tCall\tPts\r\n");
}
