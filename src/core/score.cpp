#include "core/score.h"

#include "core/number_format.h"

namespace wexon::core {

std::int64_t totalScore(std::int32_t totalPoints, int prefixCount) {
    return static_cast<std::int64_t>(totalPoints) * static_cast<std::int64_t>(prefixCount);
}

ScoreLabels labelDisplay(int qsoCount, int prefixCount, std::int32_t totalPoints) {
    ScoreLabels labels;
    labels.lblTotCon = std::to_string(qsoCount);
    labels.lblsectogo = std::to_string(prefixCount);
    labels.lblTotSec = formatGrouped(static_cast<double>(totalPoints));
    // Any score a log can reach (points below 2^31 times prefixes below 2^22)
    // stays below 2^53, where a double still holds every whole number exactly.
    labels.lblTotScore = formatGrouped(static_cast<double>(totalScore(totalPoints, prefixCount)));
    labels.lbl160 = "Prefixes Worked - " + std::to_string(prefixCount);
    return labels;
}

} // namespace wexon::core
