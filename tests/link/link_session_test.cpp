#include <gtest/gtest.h>

#include <string>

#include "link/link_session.h"

using namespace wexon::link;
using Target = LinkSession::Target;

namespace {

LinkSession linkedSession() {
    LinkSession s;
    s.setLinked(true);
    return s;
}

} // namespace

TEST(LinkSessionSending, EveryOutItemIsWrittenAndRemembered) {
    LinkSession s = linkedSession();
    for (const LinkItem& item : kItems) {
        if (item.direction != Direction::Out) {
            continue;
        }
        EXPECT_EQ(s.write("RY", item.name, "V1"), std::string(item.name) + "\tV1\n");
        EXPECT_EQ(s.box(item.name), "V1");
    }
}

TEST(LinkSessionSending, NothingInCwOrPhoneWhateverTheFlag) {
    for (const char* mode : {"CW", "PH"}) {
        LinkSession s = linkedSession();
        EXPECT_EQ(s.write(mode, item::kUrCall, "W1AW"), "");
        EXPECT_EQ(s.sendOwnCallAndSerial(mode, "W1AW", "001"), "");
        EXPECT_EQ(s.keyDown(mode, 121), "");
        EXPECT_EQ(s.box(item::kUrCall), "") << "the box itself stays untouched";
        EXPECT_EQ(s.box(item::kKey), "");
    }
}

TEST(LinkSessionSending, NothingWhileNotLinked) {
    LinkSession s;
    EXPECT_EQ(s.write("RY", item::kUrCall, "W1AW"), "");
    EXPECT_EQ(s.keyDown("RY", 65), "");
    EXPECT_EQ(s.box(item::kUrCall), "");
}

TEST(LinkSessionSending, InItemsAndUnknownNamesAreNotWritten) {
    LinkSession s = linkedSession();
    EXPECT_EQ(s.write("RY", item::kTheirCall, "W1AW"), "");
    EXPECT_EQ(s.write("RY", "txtBField9", "W1AW"), "");
    EXPECT_EQ(s.box(item::kTheirCall), "");
}

TEST(LinkSessionSending, AnUnchangedBoxDoesNotPokeAgain) {
    LinkSession s = linkedSession();
    EXPECT_NE(s.write("RY", item::kReportSent, "599"), "");
    EXPECT_EQ(s.write("RY", item::kReportSent, "599"), "");
    EXPECT_EQ(s.write("RY", item::kReportSent, ""), "txtBField1\t\n");
}

TEST(LinkSessionSending, NextSerialIsTrimmed) {
    LinkSession s = linkedSession();
    EXPECT_EQ(s.write("RY", item::kNextSerial, "  012 "), "txtBField3\t012\n");
    EXPECT_EQ(s.sendOwnCallAndSerial("RY", "W1AW", " 012"), "txtBMyCall\tW1AW\n");
}

TEST(LinkSessionSending, KeysAreClearedFirstSoRepeatsArrive) {
    LinkSession s = linkedSession();
    EXPECT_EQ(s.keyDown("RY", 121), "txtBField8\t124\n"); // the box was empty already
    EXPECT_EQ(s.keyDown("RY", 121), "txtBField8\t\ntxtBField8\t124\n");
    EXPECT_EQ(s.keyDown("RY", 65), "txtBField8\t\ntxtBField8\t65\n");
    EXPECT_EQ(s.box(item::kKey), "65");
}

TEST(LinkSessionReceiving, CallAndReportUpperCasedSectionAsIs) {
    LinkSession s = linkedSession();
    auto in = s.receive("txtSUrCall\tdl1abc\ntxtSField1\t5nn\ntxtSField3\tabc1\n");
    ASSERT_EQ(in.size(), 3u);
    EXPECT_EQ(in[0].target, Target::Call);
    EXPECT_EQ(in[0].text, "DL1ABC");
    EXPECT_EQ(in[1].target, Target::ReportReceived);
    EXPECT_EQ(in[1].text, "5NN");
    EXPECT_EQ(in[2].target, Target::Section);
    EXPECT_EQ(in[2].text, "abc1");
    EXPECT_EQ(s.box(item::kTheirCall), "dl1abc");
}

TEST(LinkSessionReceiving, OtherInItemsAreKeptButChangeNothing) {
    LinkSession s = linkedSession();
    EXPECT_TRUE(s.receive("txtSMyCall\tK1\ntxtSField2\tx\ntxtSField8\ty\n").empty());
    EXPECT_EQ(s.box("txtSMyCall"), "K1");
    EXPECT_EQ(s.box("txtSField8"), "y");
    EXPECT_EQ(s.rejectedLines(), 0u);
}

TEST(LinkSessionReceiving, BadLinesAreDroppedAndCounted) {
    LinkSession s = linkedSession();
    const std::string huge(1 << 20, 'Z');
    auto in = s.receive("no tab here\ntxtSBogus\tx\ntxtBUrCall\tW9XYZ\n" + huge +
                        "\ntxtSUrCall\tk1abc\n");
    ASSERT_EQ(in.size(), 1u);
    EXPECT_EQ(in[0].text, "K1ABC");
    EXPECT_EQ(s.rejectedLines(), 4u);
    EXPECT_EQ(s.box(item::kUrCall), "") << "the partner cannot write an out box";
}

TEST(LinkSessionReceiving, OnlyAChangeIsFollowed) {
    LinkSession s = linkedSession();
    EXPECT_EQ(s.receive("txtSUrCall\tK1ABC\n").size(), 1u);
    EXPECT_TRUE(s.receive("txtSUrCall\tK1ABC\n").empty());
    EXPECT_EQ(s.receive("txtSUrCall\t\n").size(), 1u);
}

TEST(LinkSessionReceiving, ClearBoxesStartsAfresh) {
    LinkSession s = linkedSession();
    s.write("RY", item::kUrCall, "W1AW");
    s.receive("txtSUrCall\tK1ABC\ntxtSField1\t5");
    s.clearBoxes();
    s.resetReader();
    EXPECT_EQ(s.box(item::kUrCall), "");
    // The half line from before is gone, and the same call is a change again.
    auto in = s.receive("99\ntxtSUrCall\tK1ABC\n");
    ASSERT_EQ(in.size(), 1u);
    EXPECT_EQ(in[0].target, Target::Call);
}
