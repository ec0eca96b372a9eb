#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/date_time.h"
#include "core/qso_record.h"
#include "core/settings_store.h"

namespace wexon::output {

// The entry class the scoreboard files the score under. Each word is one of
// the scoreboard's own; anything else read from the settings store falls back
// to the first word of its list.
struct ScoreClass {
    std::string power = "HIGH";            // HIGH, LOW, QRP
    std::string assisted = "NON-ASSISTED"; // NON-ASSISTED, ASSISTED
    std::string transmitter = "ONE";       // ONE, TWO, LIMITED, UNLIMITED, SWL
    std::string ops = "SINGLE-OP";         // SINGLE-OP, MULTI-OP, CHECKLOG
    std::string bands = "ALL";             // ALL, 160M, 80M, 40M, 20M, 15M, 10M
};

// The words each class field accepts, first one the default.
const std::vector<std::string>& scoreClassPowers();
const std::vector<std::string>& scoreClassAssisted();
const std::vector<std::string>& scoreClassTransmitters();
const std::vector<std::string>& scoreClassOps();
const std::vector<std::string>& scoreClassBands();
// `value` upper-cased when it is one of `words`, else the first of them.
std::string scoreClassWord(std::string_view value, const std::vector<std::string>& words);
// Every field checked against its list.
ScoreClass normalized(const ScoreClass& cls);

// What the operator chose in the Score Posting window, kept in the settings
// store. The password is kept there as typed, like the rest of the store.
struct ScorePostingSettings {
    static constexpr const char* kEnabledKey = "ScorePost/Enabled";
    static constexpr const char* kUrlKey = "ScorePost/Url";
    static constexpr const char* kUserKey = "ScorePost/User";
    static constexpr const char* kPasswordKey = "ScorePost/Password";
    static constexpr const char* kOperatorsKey = "ScorePost/Operators";
    static constexpr const char* kClubKey = "ScorePost/Club";
    static constexpr const char* kPowerKey = "ScorePost/Power";
    static constexpr const char* kAssistedKey = "ScorePost/Assisted";
    static constexpr const char* kTransmitterKey = "ScorePost/Transmitter";
    static constexpr const char* kOpsKey = "ScorePost/Ops";
    static constexpr const char* kBandsKey = "ScorePost/Bands";

    bool enabled = false;
    std::string url;
    std::string user;
    std::string password;
    std::string operators;
    std::string club;
    ScoreClass cls;

    static ScorePostingSettings load(const core::SettingsStore& store);
    void save(core::SettingsStore& store) const;
};

// What the report is made from.
struct ScoreReportInput {
    std::string contestMode = "CW"; // "CW", "PH" or "RY"
    std::string myCall;
    std::string operators; // calls separated by blanks; empty: the station's call
    std::string club;
    std::string software = "Wexon";
    std::string version;
    ScoreClass cls;
    // Every contact that counts: the station's own, then its other stations'.
    const std::vector<core::QsoRecord>* records = nullptr;
    const std::vector<core::QsoRecord>* otherRecords = nullptr;
    std::int32_t totalPoints = 0; // the score's QSO points, as the window shows them
    int multipliers = 0;          // prefixes worked
    core::DateTime utc;           // when the report is made
};

// Contacts, multipliers and points of one band. A prefix counts on the band
// where it was first worked, so the bands' multipliers add up to the total.
struct BandScore {
    std::string band; // "160" ... "10"
    int qsos = 0;
    int multipliers = 0;
    std::int64_t points = 0;
};

// The six bands in order, each with its figures (zero when not worked);
// contacts on any other band are left out of the breakdown.
std::vector<BandScore> scoreByBand(const std::vector<core::QsoRecord>& records,
                                   const std::vector<core::QsoRecord>* otherRecords = nullptr);

// The <dynamicresults> report, UTF-8: contest, call, operators, class,
// breakdown by band and in total, score and UTC time stamp.
std::string scoreReportXml(const ScoreReportInput& input);

} // namespace wexon::output
