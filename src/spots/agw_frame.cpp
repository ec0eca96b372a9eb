#include "spots/agw_frame.h"

#include <algorithm>

namespace wexon::spots {

namespace {

void putU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
}

std::uint32_t getU32(std::string_view in, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)]);
    }
    return v;
}

void putCall(std::string& out, std::string_view call) {
    std::string field(AgwFrame::kCallField, '\0');
    const std::size_t n = std::min(call.size(), AgwFrame::kCallField - 1);
    std::copy_n(call.begin(), n, field.begin());
    out.append(field);
}

std::string getCall(std::string_view in, std::size_t at) {
    std::string_view field = in.substr(at, AgwFrame::kCallField);
    return std::string(field.substr(0, field.find('\0')));
}

} // namespace

std::string encodeAgwFrame(const AgwFrame& frame) {
    std::string out;
    out.reserve(AgwFrame::kHeaderSize + frame.data.size());
    out.push_back(static_cast<char>(frame.port));
    out.append(3, '\0');
    out.push_back(frame.kind);
    out.push_back('\0');
    out.push_back(static_cast<char>(frame.pid));
    out.push_back('\0');
    putCall(out, frame.callFrom);
    putCall(out, frame.callTo);
    putU32(out, static_cast<std::uint32_t>(frame.data.size()));
    putU32(out, 0);
    out.append(frame.data);
    return out;
}

std::size_t AgwFrameDecoder::wanted() const {
    if (m_broken || m_done) {
        return 0;
    }
    return m_inData ? m_dataLeft : AgwFrame::kHeaderSize - m_header.size();
}

std::size_t AgwFrameDecoder::feed(std::string_view bytes) {
    std::size_t used = 0;
    while (used < bytes.size() && !m_done && !m_broken) {
        if (!m_inData) {
            const std::size_t n =
                std::min(bytes.size() - used, AgwFrame::kHeaderSize - m_header.size());
            m_header.append(bytes.substr(used, n));
            used += n;
            if (m_header.size() < AgwFrame::kHeaderSize) {
                break;
            }
            m_frame = AgwFrame{};
            m_frame.port = static_cast<std::uint8_t>(m_header[0]);
            m_frame.kind = m_header[4];
            m_frame.pid = static_cast<std::uint8_t>(m_header[6]);
            m_frame.callFrom = getCall(m_header, 8);
            m_frame.callTo = getCall(m_header, 18);
            m_dataLeft = getU32(m_header, 28);
            if (m_dataLeft > kMaxDeclared) {
                m_broken = true;
                break;
            }
            m_inData = true;
        }
        const std::size_t n = std::min<std::size_t>(bytes.size() - used, m_dataLeft);
        const std::size_t room =
            AgwFrame::kMaxData - std::min(AgwFrame::kMaxData, m_frame.data.size());
        m_frame.data.append(bytes.substr(used, std::min(n, room)));
        used += n;
        m_dataLeft -= static_cast<std::uint32_t>(n);
        if (m_dataLeft == 0) {
            m_done = true;
        }
    }
    return used;
}

std::optional<AgwFrame> AgwFrameDecoder::take() {
    if (!m_done) {
        return std::nullopt;
    }
    AgwFrame f = std::move(m_frame);
    m_header.clear();
    m_frame = AgwFrame{};
    m_inData = false;
    m_done = false;
    return f;
}

void AgwFrameDecoder::reset() {
    m_header.clear();
    m_frame = AgwFrame{};
    m_dataLeft = 0;
    m_inData = false;
    m_done = false;
    m_broken = false;
}

} // namespace wexon::spots
