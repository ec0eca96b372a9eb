#include "output/score_report.h"

#include <cmath>
#include <cstdio>
#include <set>

#include "core/score.h"
#include "core/text_util.h"
#include "output/contact_broadcast.h"

namespace wexon::output {

namespace {

constexpr const char* kBands[] = {"160", "80", "40", "20", "15", "10"};

std::string attribute(std::string_view value) {
    return '"' + xmlEscape(value) + '"';
}

void element(std::string& out, const char* indent, const char* tag, std::string_view text) {
    out += indent;
    out += '<';
    out += tag;
    out += '>';
    out += xmlEscape(text);
    out += "</";
    out += tag;
    out += ">\n";
}

// One <qso>, <mult> or <point> line of the breakdown.
void figure(std::string& out, const char* tag, std::string_view band, std::string_view mode,
            std::int64_t value, bool multiplier) {
    out += "\t\t<";
    out += tag;
    out += " band=" + attribute(band) + " mode=" + attribute(mode);
    if (multiplier) {
        out += " type=\"wpxprefix\"";
    }
    out += '>';
    out += std::to_string(value);
    out += "</";
    out += tag;
    out += ">\n";
}

std::string twoDigits(int v) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", v);
    return text;
}

std::string utcStamp(const core::DateTime& t) {
    char year[8];
    std::snprintf(year, sizeof year, "%04d", t.year);
    return std::string(year) + '-' + twoDigits(t.month) + '-' + twoDigits(t.day) + ' ' +
           twoDigits(t.hour) + ':' + twoDigits(t.minute) + ':' + twoDigits(t.second);
}

} // namespace

const std::vector<std::string>& scoreClassPowers() {
    static const std::vector<std::string> words{"HIGH", "LOW", "QRP"};
    return words;
}
const std::vector<std::string>& scoreClassAssisted() {
    static const std::vector<std::string> words{"NON-ASSISTED", "ASSISTED"};
    return words;
}
const std::vector<std::string>& scoreClassTransmitters() {
    static const std::vector<std::string> words{"ONE", "TWO", "LIMITED", "UNLIMITED", "SWL"};
    return words;
}
const std::vector<std::string>& scoreClassOps() {
    static const std::vector<std::string> words{"SINGLE-OP", "MULTI-OP", "CHECKLOG"};
    return words;
}
const std::vector<std::string>& scoreClassBands() {
    static const std::vector<std::string> words{"ALL", "160M", "80M", "40M", "20M", "15M", "10M"};
    return words;
}

std::string scoreClassWord(std::string_view value, const std::vector<std::string>& words) {
    const std::string upper = core::toUpper(core::trim(value));
    for (const std::string& w : words) {
        if (w == upper) {
            return w;
        }
    }
    return words.front();
}

ScoreClass normalized(const ScoreClass& cls) {
    ScoreClass out;
    out.power = scoreClassWord(cls.power, scoreClassPowers());
    out.assisted = scoreClassWord(cls.assisted, scoreClassAssisted());
    out.transmitter = scoreClassWord(cls.transmitter, scoreClassTransmitters());
    out.ops = scoreClassWord(cls.ops, scoreClassOps());
    out.bands = scoreClassWord(cls.bands, scoreClassBands());
    return out;
}

ScorePostingSettings ScorePostingSettings::load(const core::SettingsStore& store) {
    ScorePostingSettings s;
    s.enabled = core::trim(store.read(kEnabledKey, "0")) == "1";
    s.url = readOneLineSetting(store, kUrlKey, "", 512);
    s.user = readOneLineSetting(store, kUserKey, "", 128);
    s.password = store.read(kPasswordKey, "").substr(0, 128);
    s.operators = readOneLineSetting(store, kOperatorsKey, "", 256);
    s.club = readOneLineSetting(store, kClubKey, "", 128);
    s.cls.power = readOneLineSetting(store, kPowerKey, "", 32);
    s.cls.assisted = readOneLineSetting(store, kAssistedKey, "", 32);
    s.cls.transmitter = readOneLineSetting(store, kTransmitterKey, "", 32);
    s.cls.ops = readOneLineSetting(store, kOpsKey, "", 32);
    s.cls.bands = readOneLineSetting(store, kBandsKey, "", 32);
    s.cls = normalized(s.cls);
    return s;
}

void ScorePostingSettings::save(core::SettingsStore& store) const {
    store.write(kEnabledKey, enabled ? "1" : "0");
    store.write(kUrlKey, url);
    store.write(kUserKey, user);
    store.write(kPasswordKey, password);
    store.write(kOperatorsKey, operators);
    store.write(kClubKey, club);
    const ScoreClass c = normalized(cls);
    store.write(kPowerKey, c.power);
    store.write(kAssistedKey, c.assisted);
    store.write(kTransmitterKey, c.transmitter);
    store.write(kOpsKey, c.ops);
    store.write(kBandsKey, c.bands);
}

std::vector<BandScore> scoreByBand(const std::vector<core::QsoRecord>& records,
                                   const std::vector<core::QsoRecord>* otherRecords) {
    std::vector<BandScore> bands;
    std::vector<double> pointSums(std::size(kBands), 0.0);
    for (const char* b : kBands) {
        bands.push_back(BandScore{b, 0, 0, 0});
    }
    std::set<std::string> seenPrefixes;
    auto count = [&](const core::QsoRecord& r) {
        const std::string band = core::trim(r.band);
        std::size_t i = 0;
        while (i < bands.size() && bands[i].band != band) {
            ++i;
        }
        const std::string prefix = core::toUpper(core::trim(r.prefix));
        const bool newPrefix = !prefix.empty() && seenPrefixes.insert(prefix).second;
        if (i == bands.size()) {
            return;
        }
        ++bands[i].qsos;
        if (newPrefix) {
            ++bands[i].multipliers;
        }
        if (std::isfinite(r.points)) {
            pointSums[i] += r.points;
        }
    };
    for (const core::QsoRecord& r : records) {
        count(r);
    }
    if (otherRecords != nullptr) {
        for (const core::QsoRecord& r : *otherRecords) {
            count(r);
        }
    }
    for (std::size_t i = 0; i < bands.size(); ++i) {
        bands[i].points = std::llround(pointSums[i]);
    }
    return bands;
}

std::string scoreReportXml(const ScoreReportInput& input) {
    static const std::vector<core::QsoRecord> kNone;
    const std::vector<core::QsoRecord>& records = input.records ? *input.records : kNone;
    const std::size_t contactCount =
        records.size() + (input.otherRecords ? input.otherRecords->size() : 0);
    const ScoreClass cls = normalized(input.cls);
    const std::string mode = broadcastMode(input.contestMode);
    const std::string call = core::trim(input.myCall);
    const std::string ops =
        core::trim(input.operators).empty() ? call : core::trim(input.operators);

    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dynamicresults>\n";
    element(out, "\t", "contest", broadcastContestName(input.contestMode));
    element(out, "\t", "call", call);
    element(out, "\t", "ops", ops);
    out += "\t<class power=" + attribute(cls.power) + " assisted=" + attribute(cls.assisted) +
           " transmitter=" + attribute(cls.transmitter) + " ops=" + attribute(cls.ops) +
           " bands=" + attribute(cls.bands) + " mode=" + attribute(mode) + "></class>\n";
    element(out, "\t", "club", core::trim(input.club));
    element(out, "\t", "soft", input.software);
    element(out, "\t", "version", input.version);
    out += "\t<breakdown>\n";
    for (const BandScore& b : scoreByBand(records, input.otherRecords)) {
        if (b.qsos == 0) {
            continue;
        }
        figure(out, "qso", b.band, mode, b.qsos, false);
        figure(out, "mult", b.band, mode, b.multipliers, true);
        figure(out, "point", b.band, mode, b.points, false);
    }
    figure(out, "qso", "total", "ALL", static_cast<std::int64_t>(contactCount), false);
    figure(out, "mult", "total", "ALL", input.multipliers, true);
    figure(out, "point", "total", "ALL", input.totalPoints, false);
    out += "\t</breakdown>\n";
    element(out, "\t", "score",
            std::to_string(core::totalScore(input.totalPoints, input.multipliers)));
    element(out, "\t", "timestamp", utcStamp(input.utc));
    out += "</dynamicresults>\n";
    return out;
}

} // namespace wexon::output
