#include "output/dxcc_table.h"

#include <cmath>

#include "core/number_format.h"
#include "core/quoted_form.h"
#include "core/text_util.h"

namespace wexon::output {

DxccTable DxccTable::parse(std::string_view bytes) {
    DxccTable t;
    core::FieldReader in(bytes);
    std::string name;
    std::string number;
    while (t.m_count < kMaxPairs && !in.atEnd()) {
        if (!in.next(name) || !in.next(number)) {
            break;
        }
        auto value = core::parseNumber(number);
        int n = 0;
        if (value && std::isfinite(*value) && *value > 0 && *value < 100000) {
            n = static_cast<int>(*value);
        }
        t.add(core::trim(name), n);
    }
    return t;
}

void DxccTable::add(std::string name, int number) {
    ++m_count;
    m_numbers.try_emplace(core::toUpper(name), number); // the first pair of a name counts
}

int DxccTable::lookup(std::string_view country) const {
    const std::string wanted = core::toUpper(core::trim(country));
    if (wanted.size() <= 2) {
        return 0;
    }
    auto it = m_numbers.find(wanted);
    if (it == m_numbers.end()) {
        return 0;
    }
    return it->second > 0 ? it->second : 0;
}

} // namespace wexon::output
