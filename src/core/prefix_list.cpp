#include "core/prefix_list.h"

#include <algorithm>
#include <numeric>

#include "core/text_util.h"

namespace wexon::core {

void PrefixList::load(const std::vector<QsoRecord>& records) {
    // Sort the record numbers by upper-cased prefix, keeping record order among
    // equal ones, so that the first record of each run holds the first spelling met.
    std::vector<std::string> keys;
    keys.reserve(records.size());
    for (const auto& r : records) {
        keys.push_back(toUpper(r.prefix));
    }
    std::vector<std::size_t> order(records.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });

    m_entries.clear();
    m_keys.clear();
    for (std::size_t i : order) {
        if (keys[i].empty()) {
            continue;
        }
        if (!m_keys.empty() && m_keys.back() == keys[i]) {
            continue;
        }
        m_entries.push_back(records[i].prefix);
        m_keys.push_back(std::move(keys[i]));
    }
}

bool PrefixList::addCheck(std::string_view prefix) {
    if (prefix.empty()) {
        return false;
    }
    std::string key = toUpper(prefix);
    auto it = std::lower_bound(m_keys.begin(), m_keys.end(), key);
    if (it != m_keys.end() && *it == key) {
        return false;
    }
    auto at = it - m_keys.begin();
    m_entries.insert(m_entries.begin() + at, std::string(prefix));
    m_keys.insert(it, std::move(key));
    return true;
}

bool PrefixList::contains(std::string_view prefix) const {
    std::string key = toUpper(prefix);
    return std::binary_search(m_keys.begin(), m_keys.end(), key);
}

void PrefixList::clear() {
    m_entries.clear();
    m_keys.clear();
}

std::string PrefixList::displayText() const {
    std::size_t size = 0;
    for (const auto& e : m_entries) {
        size += e.size() + 1;
    }
    std::string text;
    text.reserve(size);
    for (const auto& e : m_entries) {
        text += e;
        text += ' ';
    }
    return text;
}

std::string PrefixList::workedCaption() const {
    return "Prefixes Worked - " + std::to_string(count());
}

bool isNewPrefix(const PrefixList& list, std::string_view prefixBox) {
    return !prefixBox.empty() && !list.contains(prefixBox);
}

} // namespace wexon::core
