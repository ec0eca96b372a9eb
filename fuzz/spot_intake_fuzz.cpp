// fuzz-sources: spots/spot_line spots/skimmer_line spots/spot_intake spots/spot_store spots/spot_list spots/band_map_layout spots/spectrum_layout core/country_table core/number_format core/date_time core/quoted_form
// Drives the spot columns and the intake with arbitrary cluster text, one line
// at a time, as BandMapSpots takes it. Promises checked: fields within their
// columns, a stored frequency that is finite and above zero, at most 200 list
// rows, labels at most twice as long as their calls (a number after a slash
// can repeat the part of the call before its first digit), a map scale that
// reads as numbers and label positions inside the axis. Lines read as skimmer
// reports give a finite positive frequency and a call of call characters, and
// the skimmer tally stays within its bounds.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/country_table.h"
#include "fuzz_check.h"
#include "spots/band_map_layout.h"
#include "spots/skimmer_line.h"
#include "spots/spectrum_layout.h"
#include "spots/spot_intake.h"
#include "spots/spot_line.h"

using namespace wexon;

namespace {

const core::CountryTable& countries() {
    static const core::CountryTable table =
        core::CountryTable::load("\"DL\",\"Germany\",\"EU\",-10,51,\"230\",\"14\",\"28\"\r\n"
                                 "\"JA\",\"Japan\",\"AS\",-140,36,\"339\",\"25\",\"45\"\r\n"
                                 "\"K\",\"USA\",\"NA\",97,38,\"291\",\"5\",\"8\"\r\n"
                                 "\"KG4\",\"Guantanamo Bay\",\"NA\",75,20,\"105\",\"8\",\"11\"\r\n"
                                 "\"W\",\"USA\",\"NA\",97,38,\"291\",\"5\",\"8\"\r\n")
            .table;
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    spots::SpotStore store;
    spots::SpotList list;
    spots::SkimmerTally tally;
    const core::DateTime now{2026, 5, 30, 12, 0, 0};
    std::size_t at = 0;
    int lines = 0;
    while (at <= text.size() && lines < 400) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++lines;

        if (const auto report = spots::parseSkimmerLine(line)) {
            FUZZ_CHECK(std::isfinite(report->khz) && report->khz > 0.0);
            FUZZ_CHECK(!report->call.empty() && report->call.size() <= 20);
            FUZZ_CHECK(report->call.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/") ==
                       std::string::npos);
            const auto heard = tally.hear(report->call, report->spotter, report->khz);
            FUZZ_CHECK(heard.skimmers >= 1 &&
                       heard.skimmers <= static_cast<int>(spots::SkimmerTally::kMaxSpotters));
            FUZZ_CHECK(tally.size() <= spots::SkimmerTally::kMaxCalls);
        }

        const spots::SpotFields f = spots::spotFields(line);
        FUZZ_CHECK(f.frequencyText.size() <= 9);
        FUZZ_CHECK(f.call.size() <= 13);
        FUZZ_CHECK(f.spotText.size() + 3 <= std::max<std::size_t>(line.size(), 3));
        const std::string label = spots::spotLabelText(f.call);
        FUZZ_CHECK(label.size() <= 2 * f.call.size());
        spots::countryForSpot(countries(), f.call);
        spots::countryForSpot(countries(), line);

        const spots::IntakeResult r = spots::takeInSpot(store, list, countries(), "W1AW", f.call,
                                                        f.frequencyText, f.spotText, now);
        FUZZ_CHECK(r.spotText.find('\r') == std::string::npos);
        if (r.stored) {
            const spots::SpotSlot& newest = store.slot(49);
            FUZZ_CHECK(newest.call == f.call);
            FUZZ_CHECK(std::isfinite(newest.frequency));
            FUZZ_CHECK(newest.time.has_value());
            FUZZ_CHECK(r.row.has_value());
        }
        FUZZ_CHECK(list.size() <= spots::SpotList::kMaxRows);
    }

    for (int i = 0; i < spots::SpotStore::kSlots; ++i) {
        FUZZ_CHECK(std::isfinite(store.slot(i).frequency));
    }
    for (const char* band : {"160", "80", "40", "20", "15", "10", "6", "2", "1.25", "440", "30"}) {
        const auto range = spots::bandMapRange(band).value_or(spots::FrequencyRange{});
        const spots::MapScale scale = spots::zoomedScale(range, store);
        FUZZ_CHECK(std::isfinite(scale.low) && std::isfinite(scale.high));
        for (const spots::LabelPlacement& p : spots::bandMapLabels(store, scale, now)) {
            FUZZ_CHECK(p.slot >= 0 && p.slot < spots::SpotStore::kSlots);
            FUZZ_CHECK(p.position > 0.0 && p.position < 1.0);
            FUZZ_CHECK(p.age != spots::SpotAge::Expired);
        }
    }
    // The spectrum map places by each strip's zoom, which leaves slot 0 out, so
    // a label may stand past its strip's ends; it must still be a number.
    const auto scales = spots::spectrumScales(store);
    for (const spots::LabelPlacement& p : spots::spectrumLabels(store, scales, now)) {
        FUZZ_CHECK(p.strip >= 0 && p.strip < static_cast<int>(spots::kSpectrumBands.size()));
        FUZZ_CHECK(std::isfinite(p.position));
    }
    return 0;
}
