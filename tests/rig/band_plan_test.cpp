#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "rig/band_plan.h"
#include "rig/mode_by_frequency.h"
#include "rig/rig_format.h"

using namespace wexon::rig;

namespace {

const char* kSmallPlan = "\"1 Jan 2024\"\r\n"
                         "\"80\",\"O\",\"\",3.5,4\r\n"
                         "\"80\",\"E\",\"CW\",3.5,3.6\r\n"
                         "\"80\",\"E\",\"PH\",3.6,4\r\n"
                         "\"80\",\"G\",\"CW\",3.525,3.6\r\n"
                         "\"160\",\"O\",\"\",1.8,2\r\n"
                         "\"160\",\"E\",\"PH\",1.8,2\r\n"
                         "\"20\",\"O\",\"\",14,14.35\r\n"
                         "\"20\",\"E\",\"CW\",14,14.15\r\n"
                         "\"20\",\"E\",\"PH\",14.15,14.35\r\n"
                         "\"60\",\"O\",\"\",5.3306,5.4064\r\n"
                         "\"60\",\"E\",\"PH\",5.3306,5.3334\r\n"
                         "\"6\",\"O\",\"\",50,54\r\n"
                         "\"6\",\"E\",\"DIG\",50,54\r\n";

std::string shippedPlan() {
    std::ifstream in(std::string(WEXON_SOURCE_DIR) + "/data/BandPlan.txt", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(BandPlanMode, PhoneSidebandByBandAndNothingOn160) {
    auto extra = rowsOfClass(parseBandPlan(kSmallPlan), 'E');
    EXPECT_EQ(bandPlanMode(extra, 3.790f), "LSB");
    EXPECT_EQ(bandPlanMode(extra, 14.250f), "USB");
    EXPECT_EQ(bandPlanMode(extra, 1.840f), "");
    EXPECT_EQ(bandPlanMode(extra, 3.550f), "CW");
    EXPECT_EQ(bandPlanMode(extra, 5.332f), "USB"); // 60 m voice is upper sideband
    EXPECT_EQ(bandPlanMode(extra, 52.0f), "DIG");  // other texts pass as they are
    // Strict edges: the edge itself belongs to no row.
    EXPECT_EQ(bandPlanMode(extra, 3.6f), "");
    EXPECT_EQ(bandPlanMode(extra, 14.35f), "");
    EXPECT_EQ(bandPlanMode(extra, 10.12f), "");
}

TEST(BandPlanFile, BadRecordsAreSkippedAndTheCountIsBounded) {
    BandPlan plan = parseBandPlan("\"date\"\r\n\"80\",\"E\",\"CW\",x,3.6\r\n"
                                  "\"80\",\"E\",\"PH\",3.6,4\r\n\"20\",\"E\"");
    EXPECT_EQ(plan.effective, "date");
    ASSERT_EQ(plan.rows.size(), 1u);
    EXPECT_EQ(plan.rows[0].mode, "PH");
    std::string many = "\"d\"\r\n";
    for (int i = 0; i < 300; ++i) {
        many += "\"20\",\"E\",\"CW\",14,14.1\r\n";
    }
    EXPECT_EQ(parseBandPlan(many).rows.size(), kMaxBandPlanRows);
    EXPECT_TRUE(parseBandPlan("").rows.empty());
    // Edges no float can hold are skipped rather than converted.
    BandPlan huge =
        parseBandPlan("\"d\"\r\n\"20\",\"E\",\"PH\",14.15,1e40\r\n"
                      "\"20\",\"E\",\"CW\",-1e300,14\r\n\"20\",\"E\",\"CW\",14,14.15\r\n");
    ASSERT_EQ(huge.rows.size(), 1u);
    EXPECT_FLOAT_EQ(huge.rows[0].upper, 14.15f);
}

TEST(PrivilegeChart, BarsOnlyForBandsWithRowsOfTheClass) {
    BandPlan plan = parseBandPlan(kSmallPlan);
    PrivilegeChart general = privilegeChart(plan, 'G');
    ASSERT_EQ(general.bars.size(), 1u);
    EXPECT_EQ(general.bars[0].band, "80");
    EXPECT_FLOAT_EQ(general.bars[0].lower, 3.5f);
    ASSERT_EQ(general.segments.size(), 1u);
    EXPECT_TRUE(general.segments[0].cw);
    PrivilegeChart extra = privilegeChart(plan, 'E');
    EXPECT_EQ(extra.bars.size(), 5u);
    EXPECT_EQ(extra.segments.size(), 7u);
    EXPECT_TRUE(privilegeChart(plan, 'N').bars.empty());
    BandPlan outlines =
        parseBandPlan("\"d\"\r\n\"80\",\"O\",\"\",3.5,4\r\n\"20\",\"O\",\"\",14,14.35\r\n");
    for (char c : {'N', 'T', 'P', 'G', 'A', 'E'}) {
        EXPECT_TRUE(privilegeChart(outlines, c).bars.empty());
    }
}

TEST(ModeByFrequency, StrictEdges) {
    EXPECT_EQ(modeByFrequency(3.55f), "CW");
    EXPECT_EQ(modeByFrequency(3.7f), "PH");
    EXPECT_EQ(modeByFrequency(3.6f), "");
    EXPECT_EQ(modeByFrequency(3.5f), "");
    EXPECT_EQ(modeByFrequency(7.124f), "CW");
    EXPECT_EQ(modeByFrequency(7.125f), "");
    EXPECT_EQ(modeByFrequency(7.126f), "PH");
    EXPECT_EQ(modeByFrequency(10.12f), "CW");
    EXPECT_EQ(modeByFrequency(14.15f), "");
    EXPECT_EQ(modeByFrequency(14.2f), "PH");
    EXPECT_EQ(modeByFrequency(18.1f), "CW");
    EXPECT_EQ(modeByFrequency(24.95f), "PH");
    EXPECT_EQ(modeByFrequency(28.3f), "");
    EXPECT_EQ(modeByFrequency(29.6f), "PH");
    EXPECT_EQ(modeByFrequency(50.05f), "CW");
    EXPECT_EQ(modeByFrequency(144.2f), "PH");
    EXPECT_EQ(modeByFrequency(1.84f), "");
    EXPECT_EQ(modeByFrequency(0.0f), "");
}

TEST(RigFormats, ReadoutScanAndEdgePatterns) {
    EXPECT_EQ(formatReadout(14.025), "14.02500");
    EXPECT_EQ(formatReadout(0.5), ".50000");
    EXPECT_EQ(formatScanFrequency(14.2), "14.2");
    EXPECT_EQ(formatScanFrequency(1.8025), "1.8025");
    EXPECT_EQ(formatScanFrequency(54.0), "54");
    EXPECT_EQ(formatScanFrequency(1.80000001), "1.8");
    EXPECT_EQ(formatBandEdge(1800.0), "1,800.000");
    EXPECT_EQ(formatBandEdge(0.1357), ".136");
    EXPECT_EQ(formatBandEdge(14.35), "14.350");
}

// The shipped file against the US privileges (47 CFR 97.301, 97.305): each
// class's segments, edge by edge.
TEST(ShippedBandPlan, EveryEdgeMatchesTheRules) {
    BandPlan plan = parseBandPlan(shippedPlan());
    ASSERT_FALSE(plan.rows.empty());
    EXPECT_NE(plan.effective.find("2024"), std::string::npos);
    struct Seg {
        const char* band;
        char cls;
        const char* mode;
        float lower;
        float upper;
    };
    const Seg expected[] = {
        {"80", 'E', "CW", 3.5f, 3.6f},      {"80", 'E', "PH", 3.6f, 4.0f},
        {"80", 'A', "CW", 3.525f, 3.6f},    {"80", 'A', "PH", 3.7f, 4.0f},
        {"80", 'G', "CW", 3.525f, 3.6f},    {"80", 'G', "PH", 3.8f, 4.0f},
        {"80", 'T', "CW", 3.525f, 3.6f},    {"80", 'N', "CW", 3.525f, 3.6f},
        {"40", 'E', "CW", 7.0f, 7.125f},    {"40", 'E', "PH", 7.125f, 7.3f},
        {"40", 'A', "CW", 7.025f, 7.125f},  {"40", 'A', "PH", 7.125f, 7.3f},
        {"40", 'G', "CW", 7.025f, 7.125f},  {"40", 'G', "PH", 7.175f, 7.3f},
        {"40", 'T', "CW", 7.025f, 7.125f},  {"30", 'G', "CW", 10.1f, 10.15f},
        {"20", 'E', "CW", 14.0f, 14.15f},   {"20", 'E', "PH", 14.15f, 14.35f},
        {"20", 'A', "CW", 14.025f, 14.15f}, {"20", 'A', "PH", 14.175f, 14.35f},
        {"20", 'G', "CW", 14.025f, 14.15f}, {"20", 'G', "PH", 14.225f, 14.35f},
        {"17", 'G', "CW", 18.068f, 18.11f}, {"17", 'G', "PH", 18.11f, 18.168f},
        {"15", 'E', "CW", 21.0f, 21.2f},    {"15", 'E', "PH", 21.2f, 21.45f},
        {"15", 'A', "CW", 21.025f, 21.2f},  {"15", 'A', "PH", 21.225f, 21.45f},
        {"15", 'G', "CW", 21.025f, 21.2f},  {"15", 'G', "PH", 21.275f, 21.45f},
        {"15", 'N', "CW", 21.025f, 21.2f},  {"12", 'E', "CW", 24.89f, 24.93f},
        {"12", 'G', "PH", 24.93f, 24.99f},  {"10", 'G', "CW", 28.0f, 28.3f},
        {"10", 'E', "PH", 28.3f, 29.7f},    {"10", 'T', "CW", 28.0f, 28.3f},
        {"10", 'T', "PH", 28.3f, 28.5f},    {"10", 'N', "PH", 28.3f, 28.5f},
        {"6", 'T', "CW", 50.0f, 50.1f},     {"6", 'T', "PH", 50.1f, 54.0f},
        {"2", 'T', "PH", 144.1f, 148.0f},   {"1.25", 'N', "PH", 222.0f, 225.0f},
        {"70", 'T', "PH", 420.0f, 450.0f},  {"23", 'N', "PH", 1270.0f, 1295.0f},
        {"160", 'G', "PH", 1.8f, 2.0f},     {"60", 'G', "PH", 5.3306f, 5.3334f},
    };
    for (const Seg& e : expected) {
        bool found = false;
        for (const BandPlanRow& r : plan.rows) {
            if (r.band == e.band && r.licence == e.cls && r.mode == e.mode) {
                if (r.lower == e.lower && r.upper == e.upper) {
                    found = true;
                }
            }
        }
        EXPECT_TRUE(found) << e.band << " " << e.cls << " " << e.mode << " " << e.lower;
    }
    // No HF privileges for Novice and Technician beyond their CW segments and 10 m.
    for (const BandPlanRow& r : plan.rows) {
        if ((r.licence == 'N' || r.licence == 'T' || r.licence == 'P') && r.upper < 29.8f) {
            EXPECT_TRUE(r.mode == "CW" || r.band == std::string("10")) << r.band;
        }
        // Every segment lies inside its band's outline.
        for (const BandPlanRow& o : plan.rows) {
            if (o.licence == 'O' && o.band == r.band) {
                EXPECT_GE(r.lower, o.lower) << r.band;
                EXPECT_LE(r.upper, o.upper) << r.band;
            }
        }
    }
    // The Extra rows choose the contest modes the rig window expects.
    auto extra = rowsOfClass(plan, 'E');
    EXPECT_EQ(bandPlanMode(extra, 3.790f), "LSB");
    EXPECT_EQ(bandPlanMode(extra, 14.250f), "USB");
    EXPECT_EQ(bandPlanMode(extra, 1.840f), "");
    EXPECT_EQ(bandPlanMode(extra, 7.025f), "CW");
    EXPECT_LE(privilegeChart(plan, 'E').bars.size(), kMaxChartBands);
}
