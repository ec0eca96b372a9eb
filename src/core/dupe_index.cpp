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
    m_owner.clear();
    m_remoteIds.clear();
    m_ownCount = 0;
    m_bands.clear();
    m_byCall = {};
}

void DupeIndex::rebuild(const std::vector<QsoRecord>& records) {
    rebuild(records, RemoteMap{});
}

void DupeIndex::rebuild(const std::vector<QsoRecord>& records, const RemoteMap& remotes) {
    clear();
    // Room for the contacts still to come, so that logging one does not move the
    // whole index to a larger block.
    const std::size_t room = records.size() + remotes.size() + kAddRoom;
    std::size_t bytes = 0;
    for (const auto& r : records) {
        bytes += r.call.size();
    }
    for (const auto& [id, c] : remotes) {
        bytes += c.record.call.size();
    }
    m_calls.reserve(room, bytes + kAddRoom * 8);
    m_keys.reserve(room, bytes + kAddRoom * 8);
    m_owner.reserve(room);
    m_byCall.settled.reserve(room);
    std::vector<std::uint32_t> bandOf;
    bandOf.reserve(room);
    auto note = [&](std::string_view call, std::string_view band) {
        addEntry(call, band);
        bandOf.push_back(static_cast<std::uint32_t>(bandIndex(band)));
    };
    for (const auto& r : records) {
        m_owner.push_back(++m_ownCount);
        note(r.call, r.band);
    }
    for (const auto& [id, c] : remotes) {
        m_remoteIds.push_back(id);
        m_owner.push_back(-static_cast<int>(m_remoteIds.size()));
        note(c.record.call, c.record.band);
    }
    // One sort of every entry on the first eight characters of its key packed
    // into a number (the rest compared only on a tie), then each band's list
    // taken from it in order: far fewer string comparisons than a sort per band.
    std::vector<std::pair<std::uint64_t, int>> packed;
    packed.reserve(m_calls.size());
    for (int entry = 1; entry <= entryCount(); ++entry) {
        packed.emplace_back(packKey(keyOf(entry)), entry);
    }
    std::sort(packed.begin(), packed.end(), [this](const auto& a, const auto& b) {
        if (a.first != b.first) {
            return a.first < b.first;
        }
        const int c = keyOf(a.second).compare(keyOf(b.second));
        return c < 0 || (c == 0 && a.second < b.second);
    });
    m_byCall.settled.reserve(room);
    for (auto& band : m_bands) {
        band.byCall.settled.reserve(band.inOrder.size() + kAddRoom);
        band.inOrder.reserve(band.inOrder.size() + kAddRoom);
    }
    for (const auto& [key, entry] : packed) {
        m_byCall.settled.push_back(entry);
        const std::uint32_t band = bandOf[static_cast<std::size_t>(entry - 1)];
        if (band < m_bands.size()) {
            m_bands[band].byCall.settled.push_back(entry);
        }
    }
}

std::uint64_t DupeIndex::packKey(std::string_view key) {
    // Big-endian, padded with zero bytes: numbers compare as the texts do.
    std::uint64_t packed = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        packed <<= 8;
        if (i < key.size()) {
            packed |= static_cast<unsigned char>(key[i]);
        }
    }
    return packed;
}

std::size_t DupeIndex::bandIndex(std::string_view band) {
    for (std::size_t i = 0; i < m_bands.size(); ++i) {
        if (equalsIgnoreCase(m_bands[i].key, band)) {
            return i;
        }
    }
    return m_bands.size();
}

void DupeIndex::addEntry(std::string_view call, std::string_view band) {
    m_calls.push_back(call);
    m_keys.push_back(toUpper(call));
    const int entry = entryCount();
    Band& b = bandFor(band);
    b.inOrder.push_back(entry);
    noteStart(b, entry);
}

void DupeIndex::add(const QsoRecord& record) {
    m_owner.push_back(++m_ownCount);
    addEntry(record.call, record.band);
    const int entry = entryCount();
    insertByCall(m_byCall, entry);
    insertByCall(bandFor(record.band).byCall, entry);
}

void DupeIndex::addRemote(std::string_view id, const QsoRecord& record) {
    m_remoteIds.push_back(id);
    m_owner.push_back(-static_cast<int>(m_remoteIds.size()));
    addEntry(record.call, record.band);
    const int entry = entryCount();
    insertByCall(m_byCall, entry);
    insertByCall(bandFor(record.band).byCall, entry);
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

void DupeIndex::insertByCall(ByCall& sorted, int entry) const {
    const std::string_view key = keyOf(entry);
    auto at = std::upper_bound(sorted.fresh.begin(), sorted.fresh.end(), key,
                               [this](std::string_view k, int r) { return k < keyOf(r); });
    sorted.fresh.insert(at, entry);
    // Keep the small run near the square root of the whole.
    std::size_t bound = 256;
    while (bound * bound < 16 * sorted.settled.size()) {
        bound *= 2;
    }
    if (sorted.fresh.size() <= bound) {
        return;
    }
    const auto middle = static_cast<std::ptrdiff_t>(sorted.settled.size());
    sorted.settled.insert(sorted.settled.end(), sorted.fresh.begin(), sorted.fresh.end());
    sorted.fresh.clear();
    std::inplace_merge(sorted.settled.begin(), sorted.settled.begin() + middle,
                       sorted.settled.end(), [this](int a, int b) {
                           const int c = keyOf(a).compare(keyOf(b));
                           return c < 0 || (c == 0 && a < b);
                       });
}

void DupeIndex::collect(const ByCall& sorted, std::string_view key, bool prefix,
                        std::vector<int>& out) const {
    for (const std::vector<int>* run : {&sorted.settled, &sorted.fresh}) {
        auto lo = std::lower_bound(run->begin(), run->end(), key,
                                   [this](int r, std::string_view k) { return keyOf(r) < k; });
        auto hi = std::partition_point(lo, run->end(), [&](int r) {
            return prefix ? startsWith(keyOf(r), key) : keyOf(r) == key;
        });
        out.insert(out.end(), lo, hi);
    }
    // Settled entries come before fresh ones only within a run; keep ascending.
    std::sort(out.begin(), out.end());
}

std::size_t DupeIndex::countMatches(const ByCall& sorted, std::string_view prefix) const {
    std::size_t matches = 0;
    for (const std::vector<int>* run : {&sorted.settled, &sorted.fresh}) {
        auto lo = std::lower_bound(run->begin(), run->end(), prefix,
                                   [this](int r, std::string_view k) { return keyOf(r) < k; });
        auto hi = std::partition_point(lo, run->end(),
                                       [&](int r) { return startsWith(keyOf(r), prefix); });
        matches += static_cast<std::size_t>(hi - lo);
    }
    return matches;
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
    m_bands.push_back(Band{toUpper(band), {}, ByCall{}, {}});
    return m_bands.back();
}

std::vector<int> DupeIndex::recordsWithCall(std::string_view call) const {
    std::vector<int> entries;
    collect(m_byCall, toUpper(call), false, entries);
    std::vector<int> records;
    for (int entry : entries) {
        if (const int owner = m_owner[static_cast<std::size_t>(entry - 1)]; owner > 0) {
            records.push_back(owner);
        }
    }
    return records;
}

std::vector<std::string_view> DupeIndex::remotesWithCallOnBand(std::string_view call,
                                                               std::string_view band) const {
    std::vector<std::string_view> ids;
    const Band* b = findBand(band);
    if (b == nullptr) {
        return ids;
    }
    std::vector<int> entries;
    collect(b->byCall, toUpper(call), false, entries);
    for (int entry : entries) {
        if (const int owner = m_owner[static_cast<std::size_t>(entry - 1)]; owner < 0) {
            ids.push_back(m_remoteIds[static_cast<std::size_t>(-owner - 1)]);
        }
    }
    return ids;
}

bool DupeIndex::hasCallOnBand(std::string_view call, std::string_view band) const {
    const Band* b = findBand(band);
    if (b == nullptr) {
        return false;
    }
    const std::string key = toUpper(call);
    for (const std::vector<int>* run : {&b->byCall.settled, &b->byCall.fresh}) {
        auto it = std::lower_bound(run->begin(), run->end(), key,
                                   [this](int r, std::string_view k) { return keyOf(r) < k; });
        if (it != run->end() && keyOf(*it) == key) {
            return true;
        }
    }
    return false;
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

    const std::size_t matches = countMatches(b->byCall, prefix);
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

    // Few matches: take the smallest entry numbers among them.
    std::vector<int> first;
    first.reserve(matches);
    collect(b->byCall, prefix, true, first);
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
