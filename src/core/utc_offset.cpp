#include "core/utc_offset.h"

#include <cmath>

#include "core/number_format.h"

namespace wexon::core {

double recommendedUtcOffset(const DateTime& utc, const DateTime& local) {
    double seconds = static_cast<double>(utc.toEpochSeconds() - local.toEpochSeconds());
    double minutes = std::round(seconds / 60.0);
    return std::round(minutes / 60.0 * 100.0) / 100.0;
}

bool utcOffsetDiffers(float saved, double recommended) {
    return saved != static_cast<float>(recommended);
}

std::string utcOffsetQuestion(const DateTime& utc, const DateTime& local, double recommended,
                              float current) {
    const std::string br = "\n\n";
    return "Would you like to adjust the UTC offset in this program for your local time "
           "setting?" +
           br + "Current System Time: " + formatHourMinute(utc) + br +
           "Current Local Time: " + formatHourMinute(local) + br +
           "Recommended Offset Setting: " + formatShortest(recommended) + br +
           "Current Offset Setting: " + formatShortest(current) + br +
           "Please click OK to accept the recommended change or Cancel to keep the current "
           "setting.";
}

} // namespace wexon::core
