#include "keying/code_practice.h"

#include <algorithm>
#include <cmath>

#include "core/number_format.h"

namespace wexon::keying {

std::string generatePracticeGroups(int groups, int groupLength, bool lettersOnly,
                                   const std::function<double()>& random) {
    groups = std::min(groups, kMaxPracticeGroups);
    groupLength = std::min(groupLength, kMaxPracticeGroupLength);
    if (groups <= 0 || groupLength < 0) {
        return {};
    }
    int range = lettersOnly ? kLettersOnlyRange : kAllCharactersRange;
    std::string text;
    text.reserve(static_cast<std::size_t>(groups) * static_cast<std::size_t>(groupLength + 1));
    for (int g = 0; g < groups; ++g) {
        for (int c = 0; c < groupLength; ++c) {
            double r = random();
            int index = static_cast<int>(std::floor(range * r));
            index = std::clamp(index, 0, range - 1);
            text += kPracticeCharacters[static_cast<std::size_t>(index)];
        }
        text += ' ';
    }
    return text;
}

std::string practiceGroupCountText(std::string_view text) {
    return core::isNumeric(text) ? std::string(text) : std::string("10");
}

std::string practiceGroupLengthText(std::string_view text) {
    return core::isNumeric(text) ? std::string(text) : std::string("5");
}

} // namespace wexon::keying
