#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wexon::keying {

// How the keyer times an element unit.
//  Timer: absolute deadlines on the monotonic clock (sleep, then spin briefly);
//         the accurate method.
//  Sleep: a plain sleep of the unit rounded to whole milliseconds.
//  Loop:  a counted busy loop, calibrated in loop passes per 60 ms.
enum class TimingMethod { Timer, Sleep, Loop };

// "Timer", "Sleep" or "Loop"; anything else reads as nothing.
std::optional<TimingMethod> parseTimingMethod(std::string_view name);
std::string timingMethodName(TimingMethod method);

// Speeds the software keyer accepts, in words per minute. Outside this range
// (0, negative, 1000, not a number) a character is abandoned and nothing keyed.
inline constexpr double kMinWpm = 1.0;
inline constexpr double kMaxWpm = 99.0;
bool isKeyableSpeed(double wpm);

// One unit at `wpm`: 60 000 ms per minute over 50 units per word.
double unitMilliseconds(double wpm);
// The unit as the Sleep method waits it: rounded to whole milliseconds.
long sleepMilliseconds(double wpm);
// Loop passes for one unit: LoopsPer60ms / WPM x 20.
double loopPasses(double loopsPer60ms, double wpm);
// The calibration from a count of 5 000 000 passes that took `elapsedMs`.
double loopsPer60msFromRun(double passes, double elapsedMs);

} // namespace wexon::keying
