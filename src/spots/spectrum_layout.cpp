#include "spots/spectrum_layout.h"

namespace wexon::spots {

std::array<MapScale, 11> spectrumScales(const SpotStore& store) {
    std::array<MapScale, 11> scales;
    for (std::size_t k = 0; k < kSpectrumBands.size(); ++k) {
        scales[k] = zoomedScale(kSpectrumBands[k].range, store);
    }
    return scales;
}

std::vector<LabelPlacement> spectrumLabels(const SpotStore& store,
                                           const std::array<MapScale, 11>& scales,
                                           const core::DateTime& now) {
    std::vector<LabelPlacement> out;
    for (int i = SpotStore::kSlots - 1; i >= 0; --i) {
        const SpotSlot& s = store.slot(i);
        const float f = s.frequency;
        int strip = -1;
        for (std::size_t k = 0; k < kSpectrumBands.size(); ++k) {
            if (kSpectrumBands[k].range.low < f && f < kSpectrumBands[k].range.high) {
                strip = static_cast<int>(k);
            }
        }
        SpotAge age = SpotAge::Fresh;
        if (s.time) {
            age = spotAge(now.toEpochSeconds() - s.time->toEpochSeconds());
            if (age == SpotAge::Expired) {
                break;
            }
        }
        if (strip >= 0) {
            const MapScale& sc = scales[static_cast<std::size_t>(strip)];
            const double width = sc.high - sc.low;
            const double position = width != 0.0 ? (f - sc.low) / width : 0.0;
            out.push_back({i, strip, position, age});
        }
    }
    return out;
}

} // namespace wexon::spots
