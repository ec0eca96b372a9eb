#include "spots/skimmer_line.h"

#include <algorithm>
#include <cmath>

#include "core/number_format.h"
#include "core/text_util.h"

namespace wexon::spots {

namespace {

std::vector<std::string_view> words(std::string_view text, std::size_t most) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < text.size() && out.size() < most) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r' &&
               text[i] != '\n') {
            ++i;
        }
        if (i > start) {
            out.push_back(text.substr(start, i - start));
        }
        if (i < text.size() && (text[i] == '\r' || text[i] == '\n')) {
            break;
        }
    }
    return out;
}

std::optional<int> smallNumber(std::string_view text) {
    const std::optional<double> n = core::parseNumber(text);
    if (!n || !std::isfinite(*n) || std::fabs(*n) > 100000.0) {
        return std::nullopt;
    }
    return static_cast<int>(std::lround(*n));
}

bool isCallText(std::string_view call) {
    if (call.empty() || call.size() > 20) {
        return false;
    }
    return std::all_of(call.begin(), call.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '/';
    });
}

} // namespace

bool isSkimmerSpotter(std::string_view spotter) {
    while (!spotter.empty() && spotter.back() == ':') {
        spotter.remove_suffix(1);
    }
    return spotter.size() > 2 && spotter.substr(spotter.size() - 2) == "-#";
}

std::optional<SkimmerReport> parseSkimmerLine(std::string_view line) {
    // Enough words for the longest report; the rest of the line is not read.
    const std::vector<std::string_view> w = words(line, 16);
    if (w.size() < 5 || !core::equalsIgnoreCase(w[0], "DX") || !core::equalsIgnoreCase(w[1], "de") ||
        !isSkimmerSpotter(w[2])) {
        return std::nullopt;
    }
    SkimmerReport r;
    std::string_view spotter = w[2];
    while (!spotter.empty() && spotter.back() == ':') {
        spotter.remove_suffix(1);
    }
    r.spotter.assign(spotter.substr(0, spotter.size() - 2));
    const std::optional<double> khz = core::parseNumber(w[3]);
    // Skimmers hear from the LF bands up to the microwaves; anything outside
    // is not a frequency.
    if (!khz || !std::isfinite(*khz) || *khz <= 0.0 || *khz > 1.0e8 || !isCallText(w[4])) {
        return std::nullopt;
    }
    r.khz = *khz;
    r.call = core::toUpper(std::string(w[4]));
    std::size_t i = 5;
    if (i < w.size() && !smallNumber(w[i])) {
        r.mode.assign(w[i]);
        ++i;
    }
    if (i + 1 < w.size() && core::equalsIgnoreCase(w[i + 1], "dB")) {
        r.db = smallNumber(w[i]);
        i += 2;
    }
    if (i + 1 < w.size() &&
        (core::equalsIgnoreCase(w[i + 1], "WPM") || core::equalsIgnoreCase(w[i + 1], "BPS"))) {
        r.speed = smallNumber(w[i]);
        i += 2;
    }
    for (; i < w.size(); ++i) {
        const std::string_view word = w[i];
        if (word.size() == 5 && (word.back() == 'Z' || word.back() == 'z') &&
            smallNumber(word.substr(0, 4))) {
            r.time.assign(word);
            break;
        }
        if (r.kind.empty()) {
            r.kind.assign(word);
        }
    }
    return r;
}

SkimmerTally::Heard SkimmerTally::hear(std::string_view call, std::string_view spotter,
                                       double khz) {
    Heard heard;
    const std::string key = core::toUpper(std::string(call));
    const std::string who = core::toUpper(std::string(spotter));
    auto it = m_calls.find(key);
    if (it == m_calls.end()) {
        if (m_calls.size() >= kMaxCalls) {
            forgetOldest();
        }
        it = m_calls.emplace(key, Entry{}).first;
    } else if (std::fabs(it->second.khz - khz) <= kToleranceKhz) {
        heard.sameSignal = true;
    } else {
        // Heard elsewhere: a new signal, counted afresh.
        it->second.spotters.clear();
    }
    Entry& e = it->second;
    e.khz = khz;
    e.lastHeard = ++m_reports;
    if (std::find(e.spotters.begin(), e.spotters.end(), who) == e.spotters.end() &&
        e.spotters.size() < kMaxSpotters) {
        e.spotters.push_back(who);
    }
    heard.skimmers = static_cast<int>(e.spotters.size());
    return heard;
}

void SkimmerTally::forgetOldest() {
    // Forgets the older half at once, so a steady stream of new calls costs
    // one sweep per kMaxCalls / 2 reports rather than one per report.
    std::vector<std::uint64_t> ages;
    ages.reserve(m_calls.size());
    for (const auto& [call, e] : m_calls) {
        ages.push_back(e.lastHeard);
    }
    auto middle = ages.begin() + static_cast<std::ptrdiff_t>(ages.size() / 2);
    std::nth_element(ages.begin(), middle, ages.end());
    const std::uint64_t cut = *middle;
    for (auto it = m_calls.begin(); it != m_calls.end();) {
        it = it->second.lastHeard < cut ? m_calls.erase(it) : std::next(it);
    }
}

} // namespace wexon::spots
