#include "core/dupe_index.h"

#include <algorithm>

#include "core/text_util.h"

namespace wexon::core {

namespace {

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

constexpr std::size_t kAddRoom = 1024;

// Beginnings up to this length keep their first records.
constexpr std::size_t kShortStart = 2;

// Every listed call adds at least the typed length plus a blank, so a list of
// `limit` characters passes its limit by this many calls at the latest.
std::size_t callsShown(std::size_t limit, std::size_t typedLength) {
    return limit / (typedLength + 1) + 1;
}

void appendCall(std::string& out, std::string_view call) {
    out += ' ';
    out += call;
}

} // namespace

void DupeIndex::clear() {
    m_calls.clear();
    m_keys.clear();
    m_bands.clear();
    m_byCall.clear();
}

void DupeIndex::rebuild(const std::vector<QsoRecord>& records) {
    clear();
    // Room for the contacts still to come, so that logging one does not move the
    // whole index to a larger block.
    const std::size_t room = records.size() + kAddRoom;
    std::size_t bytes = 0;
    for (const auto& r : records) {
        bytes += r.call.size();
    }
    m_calls.reserve(room, bytes + kAddRoom * 8);
    m_keys.reserve(room, bytes + kAddRoom * 8);
    m_byCall.reserve(room);
    int number = 0;
    for (const auto& r : records) {
        ++number;
        m_calls.push_back(r.call);
        m_keys.push_back(toUpper(r.call));
        m_byCall.push_back(number);
        Band& band = bandFor(r.band);
        band.inOrder.push_back(number);
        noteStart(band, number);
    }
    auto byKey = [this](int a, int b) {
        int c = keyOf(a).compare(keyOf(b));
        return c < 0 || (c == 0 && a < b);
    };
    std::sort(m_byCall.begin(), m_byCall.end(), byKey);
    for (auto& band : m_bands) {
        band.inOrder.reserve(band.inOrder.size() + kAddRoom);
        band.byCall.reserve(band.inOrder.capacity());
        band.byCall = band.inOrder;
        std::sort(band.byCall.begin(), band.byCall.end(), byKey);
    }
}

void DupeIndex::add(const QsoRecord& record) {
    m_calls.push_back(record.call);
    m_keys.push_back(toUpper(record.call));
    const int number = count();
    insertByCall(m_byCall, number);
    Band& band = bandFor(record.band);
    band.inOrder.push_back(number);
    insertByCall(band.byCall, number);
    noteStart(band, number);
}

std::uint32_t DupeIndex::shortKey(std::string_view upper, std::size_t length) {
    std::uint32_t key = static_cast<std::uint32_t>(length) << 16;
    for (std::size_t i = 0; i < length; ++i) {
        key |= static_cast<std::uint32_t>(static_cast<unsigned char>(upper[i])) << (8 * i);
    }
    return key;
}

void DupeIndex::noteStart(Band& band, int record) {
    const std::string_view key = keyOf(record);
    for (std::size_t length = 1; length <= kShortStart && length <= key.size(); ++length) {
        auto& first = band.firstByStart[shortKey(key, length)];
        if (first.size() < callsShown(kPartialLimit, length)) {
            first.push_back(record);
        }
    }
}

void DupeIndex::insertByCall(std::vector<int>& sorted, int record) {
    const std::string_view key = keyOf(record);
    auto at = std::upper_bound(sorted.begin(), sorted.end(), key,
                               [this](std::string_view k, int r) { return k < keyOf(r); });
    sorted.insert(at, record);
}

const DupeIndex::Band* DupeIndex::findBand(std::string_view band) const {
    for (const auto& b : m_bands) {
        if (equalsIgnoreCase(b.key, band)) {
            return &b;
        }
    }
    return nullptr;
}

DupeIndex::Band& DupeIndex::bandFor(std::string_view band) {
    for (auto& b : m_bands) {
        if (equalsIgnoreCase(b.key, band)) {
            return b;
        }
    }
    m_bands.push_back(Band{toUpper(band), {}, {}, {}});
    return m_bands.back();
}

std::vector<int> DupeIndex::recordsWithCall(std::string_view call) const {
    const std::string key = toUpper(call);
    auto lo = std::lower_bound(m_byCall.begin(), m_byCall.end(), key,
                               [this](int r, std::string_view k) { return keyOf(r) < k; });
    auto hi = std::upper_bound(lo, m_byCall.end(), key,
                               [this](std::string_view k, int r) { return k < keyOf(r); });
    return std::vector<int>(lo, hi);
}

bool DupeIndex::hasCallOnBand(std::string_view call, std::string_view band) const {
    const Band* b = findBand(band);
    if (b == nullptr) {
        return false;
    }
    const std::string key = toUpper(call);
    auto it = std::lower_bound(b->byCall.begin(), b->byCall.end(), key,
                               [this](int r, std::string_view k) { return keyOf(r) < k; });
    return it != b->byCall.end() && keyOf(*it) == key;
}

bool DupeIndex::walkInOrder(const Band& band, const std::string& prefix, std::size_t limit,
                            std::size_t budget, std::string& out) const {
    std::size_t steps = 0;
    for (int record : band.inOrder) {
        if (++steps > budget) {
            return false;
        }
        if (startsWith(keyOf(record), prefix)) {
            appendCall(out, callOf(record));
            if (out.size() > limit) {
                break;
            }
        }
    }
    return true;
}

std::string DupeIndex::partialList(std::string_view typed, std::string_view band,
                                   std::size_t limit) const {
    std::string out;
    const Band* b = findBand(band);
    if (b == nullptr || typed.empty()) {
        return out;
    }
    const std::string prefix = toUpper(typed);
    const std::size_t needed = callsShown(limit, prefix.size());

    // A short beginning matches many calls; its first records are kept ready.
    if (prefix.size() <= kShortStart && limit <= kPartialLimit) {
        auto it = b->firstByStart.find(shortKey(prefix, prefix.size()));
        if (it != b->firstByStart.end()) {
            for (int record : it->second) {
                appendCall(out, callOf(record));
                if (out.size() > limit) {
                    break;
                }
            }
        }
        return out;
    }

    auto lo = std::lower_bound(b->byCall.begin(), b->byCall.end(), prefix,
                               [this](int r, std::string_view k) { return keyOf(r) < k; });
    auto hi = std::partition_point(lo, b->byCall.end(),
                                   [this, &prefix](int r) { return startsWith(keyOf(r), prefix); });
    const std::size_t matches = static_cast<std::size_t>(hi - lo);
    if (matches == 0) {
        return out;
    }

    // Only the first `needed` matches in record order can be shown.
    const std::size_t onBand = b->inOrder.size();

    // Many matches: the walk in record order meets `needed` of them after about
    // needed * onBand / matches records, fewer than the matches themselves. Give
    // it that many steps; if the matches bunch late in the log it stops and the
    // matches are taken from the sorted index instead.
    if (matches * matches > needed * onBand) {
        if (walkInOrder(*b, prefix, limit, matches, out)) {
            return out;
        }
        out.clear();
    }

    // Few matches: take the smallest record numbers among them.
    std::vector<int> first(lo, hi);
    if (first.size() > needed) {
        std::partial_sort(first.begin(), first.begin() + static_cast<std::ptrdiff_t>(needed),
                          first.end());
        first.resize(needed);
    } else {
        std::sort(first.begin(), first.end());
    }
    for (int record : first) {
        appendCall(out, callOf(record));
        if (out.size() > limit) {
            break;
        }
    }
    return out;
}

} // namespace wexon::core
