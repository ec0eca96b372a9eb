#pragma once

#include <string>

#include "core/date_time.h"

namespace wexon::core {

// The offset in hours that turns the computer's local time into UTC: the
// difference counted in whole minutes, divided by 60, rounded to 2 decimals.
double recommendedUtcOffset(const DateTime& utc, const DateTime& local);

// Whether a saved offset differs from the recommended one.
bool utcOffsetDiffers(float saved, double recommended);

inline constexpr const char* kUtcOffsetTitle = "Update the Local Time / UTC Offset?";

// The text of the question that offers the recommended offset.
std::string utcOffsetQuestion(const DateTime& utc, const DateTime& local, double recommended,
                              float current);

} // namespace wexon::core
