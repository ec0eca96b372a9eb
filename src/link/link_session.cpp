#include "link/link_session.h"

#include <cstring>

#include "core/text_util.h"

namespace wexon::link {

void LinkSession::clearBoxes() {
    for (std::string& b : m_boxes) {
        b.clear();
    }
}

std::string LinkSession::box(std::string_view name) const {
    const auto i = itemIndex(name);
    return i ? m_boxes[*i] : std::string();
}

std::string LinkSession::write(std::string_view contestMode, std::string_view itemName,
                               std::string_view latin1Value) {
    const auto i = itemIndex(itemName);
    if (!i || kItems[*i].direction != Direction::Out || !maySend(contestMode, m_linked)) {
        return {};
    }
    std::string value = itemName == item::kNextSerial ? core::trim(latin1Value)
                                                      : std::string(latin1Value);
    if (m_boxes[*i] == value) {
        return {}; // unchanged: a linked box does not poke
    }
    m_boxes[*i] = value;
    return encodeLine(itemName, value);
}

std::string LinkSession::sendOwnCallAndSerial(std::string_view contestMode,
                                              std::string_view ownCall,
                                              std::string_view nextSerial) {
    // One after the other: the order of the lines is the order of the writes.
    std::string out = write(contestMode, item::kMyCall, ownCall);
    out += write(contestMode, item::kNextSerial, nextSerial);
    return out;
}

std::string LinkSession::keyDown(std::string_view contestMode, int keyCode) {
    if (!maySend(contestMode, m_linked)) {
        return {};
    }
    std::string out = write(contestMode, item::kKey, "");
    out += write(contestMode, item::kKey, std::to_string(linkKeyCode(keyCode)));
    return out;
}

std::vector<LinkSession::Incoming> LinkSession::receive(std::string_view bytes) {
    std::vector<Incoming> changes;
    for (const std::string& raw : m_splitter.feed(bytes)) {
        const auto line = decodeLine(raw);
        const auto i = line ? itemIndex(line->item) : std::nullopt;
        if (!i || kItems[*i].direction != Direction::In) {
            ++m_rejected;
            continue;
        }
        if (m_boxes[*i] == line->value) {
            continue; // no change, nothing follows
        }
        m_boxes[*i] = line->value;
        const char* name = kItems[*i].name;
        if (std::strcmp(name, item::kTheirCall) == 0) {
            changes.push_back({Target::Call, upperLatin1(line->value)});
        } else if (std::strcmp(name, item::kReportReceived) == 0) {
            changes.push_back({Target::ReportReceived, upperLatin1(line->value)});
        } else if (std::strcmp(name, item::kSection) == 0) {
            changes.push_back({Target::Section, line->value});
        }
    }
    return changes;
}

} // namespace wexon::link
