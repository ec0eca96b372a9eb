#pragma once

namespace wexon::keying {

// The output that keys the transmitter: a serial port's RTS or DTR line, a
// parallel port's control register, or nothing. The keying thread calls
// setKey for every change of the key state.
class KeyLine {
  public:
    virtual ~KeyLine() = default;
    virtual void setKey(bool down) = 0;
};

// Keys nothing (the "None" interface, or a port that could not be opened).
class NoKeyLine : public KeyLine {
  public:
    void setKey(bool) override {}
};

} // namespace wexon::keying
