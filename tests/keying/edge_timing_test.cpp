#include "keying/edge_timing.h"

#include <chrono>

#include <gtest/gtest.h>

#include "keying/cw_engine.h"
#include "keying/recording_key_line.h"
#include "keying_fakes.h"

namespace wexon::keying {
namespace {

TEST(EdgeTiming, ParisUnitsAndItsIdealEdges) {
    // The word space follows three silent units, so a word gap is 11 units;
    // an adjustment of -4 gives the usual 7 and the 50-unit PARIS.
    EXPECT_EQ(unitsOfText("PARIS ").size(), 54u);
    EXPECT_EQ(unitsOfText("PARIS ", -4).size(), 50u);
    auto ideal = idealEdgeOffsets("10111000", 1000.0);
    EXPECT_EQ(ideal, (std::vector<std::int64_t>{0, 1000, 2000, 5000}));
}

TEST(EdgeTiming, ExactEdgesHaveNoErrorAndLateOnesAreMeasured) {
    std::string units = unitsOfText("A");
    std::vector<KeyEdge> edges = {
        {true, 0}, {false, 60'000'000}, {true, 120'000'000}, {false, 300'000'000}};
    auto s = summarizeEdgeErrors(edges, units, 20);
    EXPECT_EQ(s.edges, 4u);
    EXPECT_EQ(s.expectedEdges, 4u);
    EXPECT_DOUBLE_EQ(s.maxUs, 0.0);
    edges[2].ns += 500'000; // half a millisecond late
    s = summarizeEdgeErrors(edges, units, 20);
    EXPECT_DOUBLE_EQ(s.maxUs, 500.0);
    EXPECT_DOUBLE_EQ(s.overLimitShare, 0.25);
    // One late edge lengthens one element and shortens the next.
    EXPECT_DOUBLE_EQ(s.intervalMaxUs, 500.0);
    EXPECT_DOUBLE_EQ(s.intervalP50Us, 500.0);
}

TEST(EdgeTiming, TheEngineOnVirtualTimeIsExact) {
    test::VirtualElementClock clock;
    RecordingKeyLine line(clock);
    CwEngine engine(clock, nullptr, false);
    engine.setInterface(1);
    engine.setSpeed(30);
    engine.setKeyLine(&line);
    std::string text = "PARIS PARIS ";
    engine.appendAndPump(text);
    ASSERT_TRUE(engine.waitUntilIdle(std::chrono::seconds(5)));
    std::vector<KeyEdge> edges;
    for (auto e : line.edges()) {
        edges.push_back({e.down, e.ns});
    }
    auto s = summarizeEdgeErrors(edges, unitsOfText(text), 30);
    EXPECT_EQ(s.edges, s.expectedEdges);
    EXPECT_LT(s.maxUs, 0.01);
}

} // namespace
} // namespace wexon::keying
