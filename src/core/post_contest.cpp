#include "core/post_contest.h"

#include "core/text_util.h"

namespace wexon::core {

namespace {

PostContestKeyAction commonKey(int key, char separator) {
    if (key == 13) {
        return PostContestKeyAction::LogContact;
    }
    if (key == ' ') {
        return PostContestKeyAction::FocusNext;
    }
    if (key == 8 || (key >= '0' && key <= '9') || key == separator) {
        return PostContestKeyAction::Insert;
    }
    return PostContestKeyAction::Drop;
}

} // namespace

PostContestKeyAction postContestDateKey(int key) {
    return commonKey(key, '/');
}

PostContestKeyAction postContestTimeKey(int key) {
    return commonKey(key, ':');
}

std::optional<std::string> postContestDateFill(std::string_view box, const DateTime& localNow) {
    if (!box.empty()) {
        return std::nullopt;
    }
    return formatDate(localNow);
}

PostContestCheck checkPostContest(std::string_view dateBox, std::string_view timeBox) {
    PostContestCheck result;
    const auto date = parseDate(dateBox);
    if (!date) {
        result.message = kInvalidDateMessage;
        return result;
    }
    result.date = formatDate(*date);

    std::string time = trim(timeBox);
    if ((time.size() == 3 || time.size() == 4) && allDigits(time)) {
        time.insert(time.size() - 2, 1, ':');
    }
    const auto clock = parseTime(time);
    if (!clock) {
        result.message = kInvalidTimeMessage;
        return result;
    }
    result.time = formatHourMinute(*clock);
    result.ok = true;
    return result;
}

} // namespace wexon::core
