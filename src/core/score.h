#pragma once

#include <cstdint>
#include <string>

namespace wexon::core {

// The captions of the main window's score labels.
struct ScoreLabels {
    std::string lblTotCon;   // contacts, plain number
    std::string lblsectogo;  // multipliers (prefixes), plain number
    std::string lblTotSec;   // total QSO points, "###,###,###,###,##0"
    std::string lblTotScore; // points times prefixes, "###,###,###,###,##0"
    std::string lbl160;      // "Prefixes Worked - " and the prefix count
};

// The score: total QSO points times the number of prefixes, in 64 bits so that
// it never wraps.
std::int64_t totalScore(std::int32_t totalPoints, int prefixCount);

// The score labels from the totals.
ScoreLabels labelDisplay(int qsoCount, int prefixCount, std::int32_t totalPoints);

} // namespace wexon::core
