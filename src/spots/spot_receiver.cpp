#include "spots/spot_receiver.h"

#include "core/text_util.h"

namespace wexon::spots {

std::string expandLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            out.append("\r\n");
        } else {
            out.push_back(c);
        }
    }
    return out;
}

void SpotReceiver::show(std::string_view text, Received& r) {
    m_terminal.append(text);
    m_terminal.trim();
    r.terminalChanged = true;
}

Received SpotReceiver::receiveTnc(std::string_view text) {
    Received r;
    for (const std::string& line : m_tnc.feed(text)) {
        if (m_terminal.isRecent(line)) {
            continue;
        }
        if (beginsWithDx(line)) {
            show(line, r);
            r.spots.push_back(spotFields(line));
        } else if (!m_listDxOnly) {
            show(line, r);
        }
    }
    return r;
}

Received SpotReceiver::receiveTelnet(std::string_view chunk) {
    Received r;
    if (!m_listDxOnly) {
        show(chunk, r);
    }
    if (beginsWithDx(chunk) && m_listDxOnly) {
        show(chunk, r);
    }
    // A chunk that begins with "DX" begins a line: text held before it that is not
    // the start of a spot line is a prompt ("login: ", "K1ABC de XX >") that the
    // cluster did not end with a line break.
    if (beginsWithDx(chunk) && !beginsWithDx(m_telnet.partial())) {
        m_telnet.breakLine();
    }
    for (const std::string& line : m_telnet.feed(chunk)) {
        if (beginsWithDx(line)) {
            r.spots.push_back(spotFields(line));
        }
    }
    return r;
}

Received SpotReceiver::receiveAgw(const AgwReceived& frame) {
    Received r;
    std::string monitor(1, frame.kind);
    monitor += frame.call;
    monitor += ' ';
    monitor += frame.data;
    monitor = expandLineEnds(monitor);
    std::string data = expandLineEnds(frame.data);

    const bool connected = !m_agwConnectedCall.empty();
    if (!connected) {
        const std::size_t lf = data.find('\n');
        if (lf != std::string::npos) {
            data.erase(0, lf + 1);
        }
        data = core::trim(data);
    }
    if (data == "\r\n") {
        data.clear();
    } else if (data.size() > 4 && data.ends_with("\r\n\r\n")) {
        data.erase(data.size() - 2);
    }

    const bool repeat = !data.empty() && m_terminal.isRecent(data);
    const std::size_t dx = findIgnoreCase(data, "DX");
    if (!repeat && (dx == 0 || dx == 1)) {
        show(data, r);
        r.spots.push_back(spotFields(data));
    }
    if (connected && core::equalsIgnoreCase(frame.call, m_agwConnectedCall) && !m_listDxOnly &&
        !beginsWithDx(data)) {
        show(data, r);
    }
    if (!connected && !m_listDxOnly) {
        if (findIgnoreCase(monitor, "DX ") == std::string::npos && !beginsWithDx(data)) {
            show(monitor, r);
        }
    }

    if (frame.kind == 'd' && connected && core::equalsIgnoreCase(frame.call, m_agwConnectedCall)) {
        show("\r\n** Disconnected from " + m_agwConnectedCall + " **\r\n", r);
        r.link = Received::Link::Disconnected;
        r.linkCall = m_agwConnectedCall;
        m_agwConnectedCall.clear();
    }
    if (frame.kind == 'c' && m_agwConnectedCall.empty()) {
        m_agwConnectedCall = frame.call;
        show("** Connected to " + frame.call + " **", r);
        r.link = Received::Link::Connected;
        r.linkCall = frame.call;
    }
    return r;
}

} // namespace wexon::spots
