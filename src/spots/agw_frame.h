#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wexon::spots {

// One frame of the AGW Packet Engine TCP protocol: a 36-byte little-endian header
// (port, 3 pad bytes, kind, pad, PID, pad, from-call[10], to-call[10], data length
// u32, reserved u32) followed by the data.
struct AgwFrame {
    static constexpr std::size_t kHeaderSize = 36;
    static constexpr std::size_t kCallField = 10;
    static constexpr std::size_t kMaxData = 4000; // the most data a frame keeps

    std::uint8_t port = 0;
    char kind = 0;
    std::uint8_t pid = 0;
    std::string callFrom; // up to the first NUL, at most 10 characters
    std::string callTo;
    std::string data;
};

// The bytes of a frame to send. Calls are cut to 9 characters so that the field
// always ends in a NUL.
std::string encodeAgwFrame(const AgwFrame& frame);

// Reads frames from the byte stream of the engine without trusting its lengths:
// the header's data length says how many bytes to consume, but at most kMaxData of
// them are kept, and a length beyond kMaxDeclared marks the stream as broken.
class AgwFrameDecoder {
  public:
    static constexpr std::uint32_t kMaxDeclared = 1u << 20;

    // How many more bytes the part of the frame in progress needs (the rest of
    // its header, or once the header is complete, the rest of its data).
    std::size_t wanted() const;
    // Consumes bytes of the frame in progress, its header and then its data,
    // and stops at the frame's end (or when the stream is broken); returns how
    // many were used. Reading no more than wanted() from a socket therefore
    // never takes bytes of a later frame out of it.
    std::size_t feed(std::string_view bytes);
    // The finished frame, once; nothing while one is still being read.
    std::optional<AgwFrame> take();
    bool broken() const { return m_broken; }
    void reset();

  private:
    std::string m_header;
    AgwFrame m_frame;
    std::uint32_t m_dataLeft = 0;
    bool m_inData = false;
    bool m_done = false;
    bool m_broken = false;
};

} // namespace wexon::spots
