#include "spots/agw_command.h"

#include "core/text_util.h"

namespace wexon::spots {

AgwLinePlan planAgwLine(std::string_view line, std::string_view connectedCall) {
    AgwLinePlan plan;
    if (!line.empty() && line.front() == ':') {
        const char letter = line.size() > 1 ? core::toUpperAscii(line[1]) : '\0';
        const std::string argument = line.size() > 2 ? core::trim(line.substr(2)) : std::string();
        if (letter == 'D') {
            if (!connectedCall.empty()) {
                plan.frames.push_back({'d', std::string(connectedCall), {}});
            }
        } else if (letter == 'C') {
            const std::string target = core::toUpper(argument);
            if (target.empty()) {
                plan.callSignRequired = true;
            } else {
                plan.frames.push_back({'c', target, {}});
                plan.frames.push_back({'P', target, {}});
            }
        }
        return plan;
    }
    if (!connectedCall.empty()) {
        plan.frames.push_back({'D', std::string(connectedCall), std::string(line) + "\r"});
    }
    return plan;
}

std::string agwWrapLine(std::string_view boxText) {
    if (boxText.size() > 70 && boxText.back() == ' ') {
        return std::string(boxText.substr(0, boxText.size() - 1));
    }
    return {};
}

} // namespace wexon::spots
