#include <gtest/gtest.h>

#include "core/contest.h"
#include "core/preferences.h"
#include "support/temp_dir.h"

using namespace wexon::core;

namespace {

Preferences sample() {
    Preferences p;
    p.ownCall = "W1AW";
    p.utcOffset = -4.5f;
    p.contestMode = "PH";
    p.band = "40";
    p.timeOnSeconds = 3725.0f;
    p.ownCountry = "USA";
    p.ownContinent = "NA";
    p.ownLongitude = 72.73f;
    p.ownLatitude = 41.71f;
    p.serialPerBand = 1;
    p.formSizePercent = 90;
    p.voiceNavigation = 2;
    p.rigName = "Kenwood TS-590";
    p.taskbarMode = 1;
    p.listPrevious = 1;
    return p;
}

} // namespace

TEST(PreferenceFile, WritesFifteenLinesInFileOrder) {
    EXPECT_EQ(serializePreferences(sample()),
              "\"W1AW\"\r\n-4.5\r\n\"PH\"\r\n\"40\"\r\n3725\r\n\"USA\"\r\n\"NA\"\r\n72.73\r\n"
              "41.71\r\n1\r\n90\r\n2\r\n\"Kenwood TS-590\"\r\n1\r\n1\r\n");
}

TEST(PreferenceFile, RoundTripsEveryField) {
    Preferences p = sample();
    p.ownCountry = "Korea, South"; // a comma inside a quoted text
    auto r = parsePreferences(serializePreferences(p));
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.prefs, p);
}

TEST(PreferenceFile, ShippedDefaultFileReads) {
    wexon::test::TempDir dir;
    Contest contest(dir.path());
    std::string shipped = std::string(WEXON_SOURCE_DIR) + "/data/wexonprf.txt";
    auto bytes = readWholeFile(shipped);
    ASSERT_TRUE(bytes);
    dir.write("wexonprf.txt", *bytes);
    auto load = contest.loadPreferences();
    ASSERT_TRUE(load.ok) << load.error;
    EXPECT_EQ(contest.prefs.rigName, "None");
    EXPECT_EQ(contest.prefs.formSizePercent, 100);
}

struct BadPrefs {
    const char* name;
    std::string bytes;
};

class PreferenceFileErrors : public ::testing::TestWithParam<BadPrefs> {};

TEST_P(PreferenceFileErrors, AreReportedNotGuessed) {
    auto r = parsePreferences(GetParam().bytes);
    EXPECT_FALSE(r.ok()) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreferenceFileErrors,
    ::testing::Values(
        BadPrefs{"empty file", ""},
        BadPrefs{
            "fourteen lines",
            "\"W1AW\"\r\n0\r\n\"CW\"\r\n\"20\"\r\n0\r\n\"\"\r\n\"\"\r\n0\r\n0\r\n0\r\n100\r\n0\r\n"
            "\"None\"\r\n0\r\n"},
        BadPrefs{
            "text for the UTC offset",
            "\"W1AW\"\r\nabc\r\n\"CW\"\r\n\"20\"\r\n0\r\n\"\"\r\n\"\"\r\n0\r\n0\r\n0\r\n100\r\n"
            "0\r\n\"None\"\r\n0\r\n0\r\n"},
        BadPrefs{
            "byte out of range",
            "\"W1AW\"\r\n0\r\n\"CW\"\r\n\"20\"\r\n0\r\n\"\"\r\n\"\"\r\n0\r\n0\r\n0\r\n300\r\n0\r\n"
            "\"None\"\r\n0\r\n0\r\n"}));

TEST(PreferenceFile, SaveReplacesTheFileWholeAndLeavesNoTemporaryFiles) {
    wexon::test::TempDir dir;
    dir.write("wexonprf.txt", std::string(5000, 'x'));
    Contest contest(dir.path());
    contest.prefs = sample();
    ASSERT_TRUE(contest.savePreferences().ok());
    EXPECT_EQ(dir.read("wexonprf.txt"), serializePreferences(sample()));
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) {
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(PreferenceFile, MissingFileIsAnErrorAndKeepsDefaults) {
    wexon::test::TempDir dir;
    Contest contest(dir.path());
    auto load = contest.loadPreferences();
    EXPECT_FALSE(load.ok);
    EXPECT_EQ(contest.prefs, Preferences{});
}

// An editor's byte-order mark in front of the file is not part of the own call.
TEST(PreferenceFile, AByteOrderMarkIsNotPartOfTheOwnCall) {
    Preferences p;
    p.ownCall = "W1AW";
    auto read = parsePreferences("\xEF\xBB\xBF" + serializePreferences(p));
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.prefs.ownCall, "W1AW");
}
