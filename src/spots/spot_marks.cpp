#include "spots/spot_marks.h"

#include <algorithm>
#include <cmath>

#include "core/number_format.h"
#include "core/text_util.h"

namespace wexon::spots {

SpotMark markedWith(SpotMark mark, const core::ContactStatusResult& status) {
    mark.status = status.status;
    mark.prefix = status.prefix;
    return mark;
}

std::string markWords(const SpotMark& mark) {
    std::string out;
    auto add = [&out](const std::string& part) {
        if (!out.empty()) {
            out += ", ";
        }
        out += part;
    };
    if (mark.status == core::ContactStatus::Dupe) {
        add("dupe");
    } else if (mark.status == core::ContactStatus::NewPrefix) {
        add(mark.prefix.empty() ? std::string("new prefix") : "new prefix " + mark.prefix);
    }
    if (mark.skimmers > 1) {
        add(std::to_string(mark.skimmers) + " skimmers");
    } else if (mark.skimmers == 1) {
        add(mark.unconfirmed ? "unconfirmed" : "1 skimmer");
    }
    return out;
}

std::string spotMarkedToolTip(const SpotSlot& slot, float utcOffsetHours) {
    std::string tip = spotToolTip(slot, utcOffsetHours);
    const std::string words = markWords(slot.mark);
    if (!words.empty()) {
        tip += ", " + words;
    }
    return tip;
}

std::string spotSpokenText(const SpotSlot& slot, const core::DateTime& now) {
    std::string out = slot.call + " " + core::formatThreeDecimals(slot.frequency);
    const std::string words = markWords(slot.mark);
    if (!words.empty()) {
        out += ", " + words;
    }
    if (slot.time) {
        const long long minutes =
            std::max<long long>(0, (now.toEpochSeconds() - slot.time->toEpochSeconds()) / 60);
        out += minutes == 0   ? std::string(", just now")
               : minutes == 1 ? std::string(", 1 minute ago")
                              : ", " + std::to_string(minutes) + " minutes ago";
    }
    return out;
}

Remarked remarkSpots(SpotStore& store, SpotList& list, const StatusRule& rule) {
    Remarked r;
    for (int i = 0; i < SpotStore::kSlots; ++i) {
        const SpotSlot& s = store.slot(i);
        if (s.serial == 0 || s.frequency == 0.0f) {
            continue; // never filled or not shown: marked again when spotted again
        }
        if (store.setMark(i, markedWith(s.mark, rule(s.call)))) {
            r.changedSlots.push_back(i);
        }
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        SpotListRow& row = list.row(i);
        SpotMark m = markedWith(row.mark, rule(row.call));
        if (!(m == row.mark)) {
            row.mark = std::move(m);
            row.status = markWords(row.mark);
            r.changedRows.push_back(i);
        }
    }
    return r;
}

bool SpotFilter::shows(const SpotMark& mark) const {
    if (hideDupes && mark.status == core::ContactStatus::Dupe) {
        return false;
    }
    return !newPrefixesOnly || mark.status == core::ContactStatus::NewPrefix;
}

void filterPlacements(std::vector<LabelPlacement>& placements, const SpotStore& store,
                      const SpotFilter& filter) {
    std::erase_if(placements, [&](const LabelPlacement& p) {
        return !filter.shows(store.slot(p.slot).mark);
    });
}

std::optional<int> jumpTarget(const SpotStore& store, const std::vector<LabelPlacement>& shown,
                              double fromMhz, JumpDirection direction, bool skipDupes) {
    // Half a hertz: a spot the rig sits on is not "above" or "below" it, even
    // after the single-precision frequency went through the rig and back.
    constexpr double kSameMhz = 0.0000005;
    std::optional<int> best;
    double bestDistance = 0.0;
    for (const LabelPlacement& p : shown) {
        const SpotSlot& s = store.slot(p.slot);
        if (skipDupes && s.mark.status == core::ContactStatus::Dupe) {
            continue;
        }
        const double distance =
            direction == JumpDirection::Up ? s.frequency - fromMhz : fromMhz - s.frequency;
        if (distance <= kSameMhz) {
            continue;
        }
        // Placements come newest first, so a later one at the same distance
        // does not replace an earlier one.
        if (!best || distance < bestDistance - kSameMhz) {
            best = p.slot;
            bestDistance = distance;
        }
    }
    return best;
}

bool SpottedCalls::update(const SpotStore& store, const std::vector<LabelPlacement>& shown) {
    std::vector<std::string> calls;
    calls.reserve(shown.size());
    for (const LabelPlacement& p : shown) {
        calls.push_back(core::toUpper(store.slot(p.slot).call));
    }
    std::sort(calls.begin(), calls.end());
    calls.erase(std::unique(calls.begin(), calls.end()), calls.end());
    if (calls == m_calls) {
        return false;
    }
    m_calls = std::move(calls);
    ++m_changes;
    return true;
}

bool SpottedCalls::contains(std::string_view call) const {
    // Compared as if upper-cased, without making an upper-cased copy: the
    // check-partial list asks this for every call it shows, on every key.
    const auto less = [](std::string_view a, std::string_view b) {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](char x, char y) { return core::toUpperAscii(x) < core::toUpperAscii(y); });
    };
    const auto it = std::lower_bound(m_calls.begin(), m_calls.end(), call,
                                     [&](const std::string& held, std::string_view wanted) {
                                         return less(held, wanted);
                                     });
    return it != m_calls.end() && core::equalsIgnoreCase(*it, call);
}

bool isKnownCall(const core::SuperCheckPartial& known, std::string_view call) {
    const std::string wanted = core::SuperCheckPartial::normalise(call);
    if (wanted.size() < core::SuperCheckPartial::kMinTyped) {
        return false;
    }
    // The calls beginning with the text come first, alphabetically, so the
    // call itself, when known, is the first answer.
    const core::SuperCheckPartial::Matches m = known.search(wanted, 1);
    return !m.calls.empty() && known.call(m.calls.front()) == wanted;
}

std::vector<std::string> spokenCallPrompts(std::string_view call) {
    std::vector<std::string> out;
    for (char c : call) {
        const char u = core::toUpperAscii(c);
        if ((u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')) {
            out.emplace_back(1, u);
        } else if (u == '/') {
            out.emplace_back("Stroke");
        }
    }
    return out;
}

} // namespace wexon::spots
