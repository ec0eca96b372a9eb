#include <gtest/gtest.h>

#include <string>

#include "link/link_protocol.h"

using namespace wexon::link;

TEST(LinkItems, TwentyBoxesTenEachWay) {
    int out = 0;
    int in = 0;
    for (const LinkItem& i : kItems) {
        const std::string name = i.name;
        if (i.direction == Direction::Out) {
            ++out;
            EXPECT_EQ(name.rfind("txtB", 0), 0u) << name;
        } else {
            ++in;
            EXPECT_EQ(name.rfind("txtS", 0), 0u) << name;
        }
        ASSERT_TRUE(itemIndex(name).has_value());
        EXPECT_STREQ(kItems[*itemIndex(name)].name, i.name);
    }
    EXPECT_EQ(out, 10);
    EXPECT_EQ(in, 10);
    EXPECT_FALSE(itemIndex("txtBField9"));
    EXPECT_FALSE(itemIndex("txtburcall")); // names are exact
    EXPECT_FALSE(itemIndex(""));
}

TEST(LinkSocketName, TopicMadeSafeForAFileName) {
    EXPECT_EQ(socketNameForTopic(kLinkTopic), "Vemo_RTTY_frmDigitalDest");
    EXPECT_EQ(socketNameForTopic("a/../b c"), "a_.._b_c");
    // The socket lives in the user's runtime folder unless a path is configured.
    EXPECT_EQ(linkSocketPath("", "/run/user/1000"), "/run/user/1000/Vemo_RTTY_frmDigitalDest");
    EXPECT_EQ(linkSocketPath("  ", "/run/user/1000/"), "/run/user/1000/Vemo_RTTY_frmDigitalDest");
    EXPECT_EQ(linkSocketPath("vemo", "/run/user/1000"), "/run/user/1000/vemo");
    EXPECT_EQ(linkSocketPath(" /tmp/x/vemo.sock ", "/run/user/1000"), "/tmp/x/vemo.sock");
    EXPECT_EQ(linkSocketPath("", ""), "");
    EXPECT_EQ(linkSocketPath("/abs", ""), "/abs");
}

TEST(LinkText, Latin1RoundTripsThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const std::string wire = latin1ToUtf8(all);
    EXPECT_EQ(latin1ToUtf8("W1AW"), "W1AW");
    EXPECT_EQ(latin1ToUtf8("\xC9"), "\xC3\x89"); // É
    EXPECT_EQ(utf8ToLatin1(wire), all);
}

TEST(LinkText, Utf8BeyondLatin1AndMalformedBytes) {
    EXPECT_EQ(utf8ToLatin1("\xE2\x82\xAC"), "?");         // euro sign
    EXPECT_EQ(utf8ToLatin1("a\xF0\x9F\x93\xBB" "b"), "a?b"); // radio emoji
    // A lone 8-bit byte is read as Latin-1.
    EXPECT_EQ(utf8ToLatin1("\xE9t\xE9"), "\xE9t\xE9");
    // An overlong form and a truncated sequence are not decoded.
    EXPECT_EQ(utf8ToLatin1("\xC0\xAF"), "\xC0\xAF");
    EXPECT_EQ(utf8ToLatin1("x\xE2\x82"), "x\xE2\x82");
    // A surrogate encoded in UTF-8 is malformed.
    EXPECT_EQ(utf8ToLatin1("\xED\xA0\x80"), "\xED\xA0\x80");
}

TEST(LinkLines, EncodeKeepsOneLinePerValue) {
    EXPECT_EQ(encodeLine("txtBUrCall", "W1AW"), "txtBUrCall\tW1AW\n");
    EXPECT_EQ(encodeLine("txtBField8", ""), "txtBField8\t\n");
    EXPECT_EQ(encodeLine("txtBField1", "5\t9\r\n9"), "txtBField1\t5 9  9\n");
    EXPECT_EQ(encodeLine("txtBMyCall", "\xC9" "A"), "txtBMyCall\t\xC3\x89" "A\n");
}

TEST(LinkLines, DecodeSplitsAtTheFirstTab) {
    auto l = decodeLine("txtSUrCall\tdl1abc");
    ASSERT_TRUE(l);
    EXPECT_EQ(l->item, "txtSUrCall");
    EXPECT_EQ(l->value, "dl1abc");

    l = decodeLine("txtSField3\t12\t34\r");
    ASSERT_TRUE(l);
    EXPECT_EQ(l->value, "1234"); // later tabs and the CR are not text

    l = decodeLine("txtSField1\t");
    ASSERT_TRUE(l);
    EXPECT_EQ(l->value, "");

    l = decodeLine("txtSField3\t\xC3\xA9");
    ASSERT_TRUE(l);
    EXPECT_EQ(l->value, "\xE9");

    EXPECT_FALSE(decodeLine("txtSUrCall W1AW"));
    EXPECT_FALSE(decodeLine(""));
}

TEST(LinkLineSplitter, WholeLinesAcrossChunks) {
    LineSplitter s;
    EXPECT_TRUE(s.feed("txtSUr").empty());
    EXPECT_EQ(s.pendingBytes(), 6u);
    auto lines = s.feed("Call\tK1\ntxtSField1\t5");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "txtSUrCall\tK1");
    lines = s.feed("99\r\n\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "txtSField1\t599\r");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(s.pendingBytes(), 0u);
}

TEST(LinkLineSplitter, AMegabyteLineIsDroppedWithBoundedMemory) {
    LineSplitter s;
    const std::string block(64 * 1024, 'x');
    for (int i = 0; i < 16; ++i) {
        EXPECT_TRUE(s.feed(block).empty());
        EXPECT_LE(s.pendingBytes(), kMaxLineBytes);
    }
    auto lines = s.feed("tail\ntxtSUrCall\tK1\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "txtSUrCall\tK1");
    EXPECT_EQ(s.droppedLines(), 1u);
}

TEST(LinkLineSplitter, TheLongestLineKeptAndOneMoreDropped) {
    LineSplitter s;
    const std::string longest(kMaxLineBytes, 'a');
    auto lines = s.feed(longest + "\n" + longest + "b\nok\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], longest);
    EXPECT_EQ(lines[1], "ok");
    EXPECT_EQ(s.droppedLines(), 1u);
}

TEST(LinkKeys, F10TravelsAs124) {
    EXPECT_EQ(linkKeyCode(121), 124);
    EXPECT_EQ(linkKeyCode(112), 112);
    EXPECT_EQ(linkKeyCode(123), 123);
    EXPECT_EQ(linkKeyCode(65), 65);
}

TEST(LinkKeys, CharactersTakeTheCodeOfTheirKey) {
    EXPECT_EQ(keyCodeForCharacter('a'), 65);
    EXPECT_EQ(keyCodeForCharacter('Z'), 90);
    EXPECT_EQ(keyCodeForCharacter('7'), 55);
    EXPECT_EQ(keyCodeForCharacter('&'), 55);
    EXPECT_EQ(keyCodeForCharacter(' '), 32);
    EXPECT_EQ(keyCodeForCharacter('/'), 191);
    EXPECT_EQ(keyCodeForCharacter('?'), 191);
    EXPECT_EQ(keyCodeForCharacter(','), 188);
    EXPECT_EQ(keyCodeForCharacter('-'), 189);
    EXPECT_EQ(keyCodeForCharacter('\''), 222);
    EXPECT_EQ(keyCodeForCharacter(0xE9), 0);
    EXPECT_EQ(keyCodeForCharacter(0), 0);
}

TEST(LinkText, UpperCaseCoversLatin1Letters) {
    EXPECT_EQ(upperLatin1("dl1abc/p"), "DL1ABC/P");
    EXPECT_EQ(upperLatin1("\xE9\xF7\xFF"), "\xC9\xF7\xFF"); // é up; ÷ and ÿ stay
}

TEST(LinkRules, OnlyTheRttyContestWhileLinked) {
    EXPECT_TRUE(maySend("RY", true));
    EXPECT_TRUE(maySend("ry", true));
    EXPECT_FALSE(maySend("RY", false));
    EXPECT_FALSE(maySend("CW", true));
    EXPECT_FALSE(maySend("PH", true));
    EXPECT_FALSE(maySend("", true));
}
