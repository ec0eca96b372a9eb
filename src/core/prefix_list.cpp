#include "core/prefix_list.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "core/text_util.h"

namespace wexon::core {

void PrefixList::load(const std::vector<QsoRecord>& records) {
    // A log holds far fewer prefixes than contacts: keep the first spelling of
    // each prefix met in record order, then sort only those.
    std::unordered_map<std::string, std::size_t> firstRecord;
    firstRecord.reserve(1024);
    std::string key;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string& prefix = records[i].prefix;
        if (prefix.empty()) {
            continue;
        }
        key.assign(prefix);
        for (char& c : key) {
            c = toUpperAscii(c);
        }
        firstRecord.try_emplace(key, i);
    }
    std::vector<std::pair<std::string, std::size_t>> unique(firstRecord.begin(), firstRecord.end());
    std::sort(unique.begin(), unique.end());
    m_entries.clear();
    m_keys.clear();
    m_entries.reserve(unique.size());
    m_keys.reserve(unique.size());
    for (auto& [upper, index] : unique) {
        m_entries.push_back(records[index].prefix);
        m_keys.push_back(std::move(upper));
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
