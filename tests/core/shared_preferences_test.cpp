#include "core/shared_preferences.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace wexon::core {
namespace {

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>";

int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) {
        ++n;
    }
    return n;
}

TEST(SharedPreferencesDeclaration, IsTheFixedXmlLine) {
    EXPECT_EQ(SharedPreferences::declaration(), kDecl);
    SharedPreferences doc;
    EXPECT_EQ(doc.text(), kDecl);
}

TEST(SharedPreferencesLoad, MissingFileGivesTheDeclarationAlone) {
    test::TempDir dir;
    SharedPreferences doc;
    doc.load(dir.file("SharedUserPreferences.xml"));
    EXPECT_EQ(doc.text(), kDecl);
    EXPECT_EQ(doc.path(), dir.file("SharedUserPreferences.xml"));
    EXPECT_TRUE(doc.loadError().empty());
    EXPECT_FALSE(dir.exists("SharedUserPreferences.xml")); // loading creates nothing
}

TEST(SharedPreferencesLoad, StripsExactlyOneFinalLineBreak) {
    test::TempDir dir;
    SharedPreferences doc;

    dir.write("a.xml", kDecl + "\r\n<OWN_CALL>W1AW</OWN_CALL>\r\n");
    doc.load(dir.file("a.xml"));
    EXPECT_EQ(doc.text(), kDecl + "\r\n<OWN_CALL>W1AW</OWN_CALL>");

    dir.write("b.xml", kDecl + "\r\n<OWN_CALL>W1AW</OWN_CALL>\r\n\r\n");
    doc.load(dir.file("b.xml"));
    EXPECT_EQ(doc.text(), kDecl + "\r\n<OWN_CALL>W1AW</OWN_CALL>\r\n");

    // Without a final line break nothing of the content is cut off.
    dir.write("c.xml", kDecl + "\r\n<OWN_CALL>W1AW</OWN_CALL>");
    doc.load(dir.file("c.xml"));
    EXPECT_EQ(doc.text(), kDecl + "\r\n<OWN_CALL>W1AW</OWN_CALL>");
}

TEST(SharedPreferencesLoad, BareLineFeedsBecomeCrLf) {
    test::TempDir dir;
    dir.write("a.xml", kDecl + "\n<OWN_EMAIL>a@b.c</OWN_EMAIL>\n");
    SharedPreferences doc;
    doc.load(dir.file("a.xml"));
    EXPECT_EQ(doc.text(), kDecl + "\r\n<OWN_EMAIL>a@b.c</OWN_EMAIL>");
}

TEST(SharedPreferencesSave, RoundTripIsByteExact) {
    test::TempDir dir;
    const std::string bytes = kDecl +
                              "\r\n<OWN_CALL>DL1ABC</OWN_CALL>\r\n<OWN_ADDRESS_NAME>Hans "
                              "M\xfcller & Co <x></OWN_ADDRESS_NAME>\r\n<OTHER>1</OTHER>\r\n";
    dir.write("SharedUserPreferences.xml", bytes);
    SharedPreferences doc;
    doc.load(dir.file("SharedUserPreferences.xml"));
    ASSERT_TRUE(doc.save(dir.file("copy.xml")).ok());
    EXPECT_EQ(dir.read("copy.xml"), bytes);
    EXPECT_EQ(doc.path(), dir.file("copy.xml"));
}

TEST(SharedPreferencesSet, SettingTwiceReplacesInPlace) {
    SharedPreferences doc;
    ASSERT_TRUE(doc.set("OWN_CALL", "W1AW", false).ok());
    ASSERT_TRUE(doc.set("OWN_UTC", "5", false).ok());
    ASSERT_TRUE(doc.set("OWN_CALL", "K1ABC", false).ok());
    EXPECT_EQ(doc.text(), kDecl + "\r\n<OWN_CALL>K1ABC</OWN_CALL>\r\n<OWN_UTC>5</OWN_UTC>");
    EXPECT_EQ(countOf(doc.text(), "<OWN_CALL>"), 1);
}

TEST(SharedPreferencesSet, KeysAreTurnedIntoCapitals) {
    SharedPreferences doc;
    doc.set("OWN_ADDRESS_Line1", "1 Main St", false);
    doc.set("own_address_line1", "2 Main St", false);
    EXPECT_EQ(doc.text(), kDecl + "\r\n<OWN_ADDRESS_LINE1>2 Main St</OWN_ADDRESS_LINE1>");
}

TEST(SharedPreferencesSet, ValueIsStoredAsTypedWithoutEscaping) {
    SharedPreferences doc;
    doc.set("OWN_CLUB_NAME", "A&B <Club> \"x\"", false);
    EXPECT_EQ(doc.text(), kDecl + "\r\n<OWN_CLUB_NAME>A&B <Club> \"x\"</OWN_CLUB_NAME>");
}

TEST(SharedPreferencesSet, LineBreaksInAValueBecomeBlanks) {
    SharedPreferences doc;
    doc.set("OWN_ADDRESS_NAME", "a\r\nb\nc\rd", false);
    EXPECT_EQ(doc.text(), kDecl + "\r\n<OWN_ADDRESS_NAME>a b c d</OWN_ADDRESS_NAME>");
}

TEST(SharedPreferencesSet, OtherProgramsKeysStayIntact) {
    test::TempDir dir;
    const std::string before = kDecl +
                               "\r\n<OWN_CALLSIGN_HISTORY>x</OWN_CALLSIGN_HISTORY>\r\n"
                               "<OWN_CALL>OLD</OWN_CALL>\r\n<PAVIX_LAYOUT>3</PAVIX_LAYOUT>\r\n";
    dir.write("s.xml", before);
    SharedPreferences doc;
    doc.load(dir.file("s.xml"));
    ASSERT_TRUE(doc.set("OWN_CALL", "NEW", true).ok());
    EXPECT_EQ(dir.read("s.xml"),
              kDecl + "\r\n<OWN_CALLSIGN_HISTORY>x</OWN_CALLSIGN_HISTORY>\r\n"
                      "<OWN_CALL>NEW</OWN_CALL>\r\n<PAVIX_LAYOUT>3</PAVIX_LAYOUT>\r\n");
}

TEST(SharedPreferencesSet, MissingClosingTagEndsAtTheLineEnd) {
    test::TempDir dir;
    dir.write("s.xml", kDecl + "\r\n<OWN_CALL>OLD\r\n<OTHER>1</OTHER>\r\n");
    SharedPreferences doc;
    doc.load(dir.file("s.xml"));
    doc.set("OWN_CALL", "NEW", false);
    EXPECT_EQ(doc.text(), kDecl + "\r\n<OWN_CALL>NEW</OWN_CALL>\r\n<OTHER>1</OTHER>");
}

TEST(SharedPreferencesSet, DoneSequenceCreatesTheMissingFileOnce) {
    test::TempDir dir;
    const std::string path = dir.file("SharedUserPreferences.xml");
    SharedPreferences doc;
    doc.load(path);
    const char* keys[] = {"OWN_CALL",      "OWN_UTC",      "OWN_COUNTRY",
                          "OWN_LONGITUDE", "OWN_LATITUDE", "OWN_CONTINENT"};
    const char* values[] = {"W1AW", "5", "USA", "72.7", "41.7", "NA"};
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(doc.set(keys[i], values[i], false).ok());
        EXPECT_FALSE(dir.exists("SharedUserPreferences.xml")) << "written before the last key";
    }
    ASSERT_TRUE(doc.set(keys[5], values[5], true).ok());
    EXPECT_EQ(dir.read("SharedUserPreferences.xml"),
              kDecl + "\r\n<OWN_CALL>W1AW</OWN_CALL>"
                      "\r\n<OWN_UTC>5</OWN_UTC>"
                      "\r\n<OWN_COUNTRY>USA</OWN_COUNTRY>"
                      "\r\n<OWN_LONGITUDE>72.7</OWN_LONGITUDE>"
                      "\r\n<OWN_LATITUDE>41.7</OWN_LATITUDE>"
                      "\r\n<OWN_CONTINENT>NA</OWN_CONTINENT>\r\n");
}

TEST(SharedPreferencesSave, FailureIsReported) {
    test::TempDir dir;
    SharedPreferences doc;
    doc.load(dir.file("no/such/folder/s.xml"));
    auto result = doc.set("OWN_CALL", "W1AW", true);
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.find("no/such/folder/s.xml"), std::string::npos);
    EXPECT_FALSE(doc.save("").ok());
}

TEST(SharedPreferencesLoad, UnreadableFileIsNeverOverwritten) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads any file";
    }
    test::TempDir dir;
    const std::string bytes = kDecl + "\r\n<OTHER>keep</OTHER>\r\n";
    dir.write("s.xml", bytes);
    ::chmod(dir.file("s.xml").c_str(), 0200);
    SharedPreferences doc;
    doc.load(dir.file("s.xml"));
    EXPECT_EQ(doc.text(), kDecl);
    EXPECT_FALSE(doc.loadError().empty());
    EXPECT_FALSE(doc.set("OWN_CALL", "W1AW", true).ok());
    ::chmod(dir.file("s.xml").c_str(), 0644);
    EXPECT_EQ(dir.read("s.xml"), bytes);
}

TEST(SharedPreferencesLoad, OversizedFileIsNeverOverwritten) {
    test::TempDir dir;
    const std::string bytes =
        kDecl + "\r\n<OTHER>" + std::string(SharedPreferences::kMaxBytes, 'x') + "</OTHER>\r\n";
    dir.write("s.xml", bytes);
    SharedPreferences doc;
    doc.load(dir.file("s.xml"));
    EXPECT_EQ(doc.text(), kDecl);
    EXPECT_FALSE(doc.loadError().empty());
    EXPECT_FALSE(doc.set("OWN_CALL", "W1AW", true).ok());
    EXPECT_EQ(dir.read("s.xml").size(), bytes.size());
    // Saving under another name is still possible.
    EXPECT_TRUE(doc.save(dir.file("other.xml")).ok());
}

// A document with bare LF ends grows by one byte a line when it is written with
// CR LF ends. The limit is measured on that written form, so that whatever the
// program loads and saves, it can load again.
TEST(SharedPreferencesLimit, WhatIsSavedAlwaysLoadsAgain) {
    test::TempDir dir;
    // About 3.6 MB with bare LF ends and short lines (another program's
    // content): under the limit as read, over it as written with CR LF.
    std::string lf = kDecl + "\n";
    int lines = 1;
    while (lf.size() < 3600000) {
        lf += (lines % 2 == 0) ? "<A>1</A>\n" : "x\n";
        ++lines;
    }
    ASSERT_LT(lf.size(), SharedPreferences::kMaxBytes);
    ASSERT_GT(lf.size() + static_cast<std::size_t>(lines) + 1, SharedPreferences::kMaxBytes);
    dir.write("s.xml", lf);
    SharedPreferences doc;
    doc.load(dir.file("s.xml"));
    EXPECT_FALSE(doc.loadError().empty());
    EXPECT_FALSE(doc.set("OWN_CALL", "W1AW", true).ok());
    EXPECT_EQ(dir.read("s.xml"), lf); // left for the other programs as it was

    // The same document with fewer lines fits in either form: it loads, saves
    // and loads again.
    std::string smaller = lf.substr(0, lf.rfind('\n', 3000000) + 1);
    dir.write("t.xml", smaller);
    SharedPreferences fits;
    fits.load(dir.file("t.xml"));
    ASSERT_TRUE(fits.loadError().empty()) << fits.loadError();
    ASSERT_TRUE(fits.set("OWN_CALL", "W1AW", true).ok());
    SharedPreferences again;
    again.load(dir.file("t.xml"));
    EXPECT_TRUE(again.loadError().empty()) << again.loadError();
    EXPECT_EQ(again.text(), fits.text());
}

TEST(SharedPreferencesLimit, SaveRefusesADocumentThatWouldNotLoad) {
    test::TempDir dir;
    SharedPreferences doc;
    doc.load(dir.file("s.xml"));
    ASSERT_TRUE(doc.set("OWN_CALL", "W1AW", true).ok());
    // Right at the limit the document is still written and read back.
    const std::size_t room = SharedPreferences::kMaxBytes - doc.text().size() - 2;
    const std::size_t overhead = std::string("\r\n<BIG></BIG>").size();
    ASSERT_TRUE(doc.set("BIG", std::string(room - overhead, 'x'), true).ok());
    EXPECT_EQ(dir.read("s.xml").size(), SharedPreferences::kMaxBytes);
    SharedPreferences full;
    full.load(dir.file("s.xml"));
    EXPECT_TRUE(full.loadError().empty()) << full.loadError();
    // One byte more is refused, and the file keeps its loadable content.
    EXPECT_FALSE(doc.set("BIG", std::string(room - overhead + 1, 'x'), true).ok());
    EXPECT_EQ(dir.read("s.xml").size(), SharedPreferences::kMaxBytes);
    full.load(dir.file("s.xml"));
    EXPECT_TRUE(full.loadError().empty()) << full.loadError();
}

} // namespace
} // namespace wexon::core
