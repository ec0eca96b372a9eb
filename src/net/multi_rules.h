#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/qso_record.h"

namespace wexon::net {

// The entry categories a station network logs for. They decide how serial
// numbers count and which band-change rule applies.
enum class Category { SingleOp, MultiSingle, MultiTwo, MultiUnlimited, MultiDistributed };

inline constexpr Category kCategories[] = {Category::SingleOp, Category::MultiSingle,
                                           Category::MultiTwo, Category::MultiUnlimited,
                                           Category::MultiDistributed};

// "SINGLE-OP", "MULTI-ONE", "MULTI-TWO", "MULTI-UNLIMITED", "MULTI-DISTRIBUTED":
// the settings value and the Cabrillo category words.
std::string categoryName(Category category);
// The category named by `name`; Single-Op for anything unknown.
Category categoryFromName(std::string_view name);

// Single-Op and Multi-Single send one sequence of serials for the whole log;
// Multi-Two, Multi-Unlimited and Multi-Distributed a separate sequence per band.
bool serialsPerBand(Category category);

// One contact of the merged log as the band-change rules see it.
struct BandContact {
    std::string date; // "yyyy/mm/dd"
    std::string time; // "hh:mm:ss"
    std::string band;
    int transmitter = 0;
};

// The warning for the next contact, logged at `date` `time` on `band` by
// `transmitter`, when it would break the category's band-change rule; empty
// when it would not. The merged log need not be sorted.
//   Multi-Single: once the station has moved to a band it stays there at least
//   ten minutes (from its first contact there) before it moves again.
//   Multi-Two: each transmitter makes at most eight band changes in a clock
//   hour (minute 00 to 59).
// A warning, never a refusal: the operator decides.
std::string bandChangeWarning(Category category, const std::vector<BandContact>& mergedLog,
                              std::string_view date, std::string_view time, std::string_view band,
                              int transmitter);

// Seconds since 2000/01/01 of a log date and time; nothing when malformed.
std::optional<long long> contactSeconds(std::string_view date, std::string_view time);

} // namespace wexon::net
