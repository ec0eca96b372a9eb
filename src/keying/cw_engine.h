#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "keying/cw_timing.h"
#include "keying/realtime_priority.h"

namespace wexon::keying {

class ElementClock;
class KeyLine;

// What the keying thread reports. Every call comes from the keying thread;
// the receiver moves the work to the window thread itself.
class CwEngineListener {
  public:
    virtual ~CwEngineListener() = default;
    // The keyer reached a "!" in the text: the contact is to be logged.
    virtual void exclamationReached() = 0;
    // One character has left the buffer and been keyed; `remaining` is what
    // is still to be sent.
    virtual void characterDone(const std::string& remaining) = 0;
    // The buffer ran empty and sending has stopped (CWSending is clear).
    virtual void sendingStopped() = 0;
};

// The software keyer: CWBuffer, CWSending and a dedicated keying thread that
// takes the buffer's characters one at a time and keys them on the key line.
//
// Any thread may fill, edit or empty the buffer; the keying thread looks at it
// only between characters, so an emptied buffer stops sending after the
// current character and new text is picked up before the next one. Speed,
// word space and timing method are read afresh for every unit.
//
// An element (a stretch of key down or key up) is never cut short. With the
// Timer method each element runs its full length from the moment its edge was
// actually keyed; when the thread wakes late for an edge (held up by the
// machine) the rest of the message slips by that much instead of the next
// element being shortened to catch up.
class CwEngine {
  public:
    // `listener` may be null. The keying thread first asks for real-time
    // priority as `realTime` says (see obtainRealTime) and keeps its ordinary
    // priority when refused.
    CwEngine(ElementClock& clock, CwEngineListener* listener, RealTimeRequest realTime = {});
    ~CwEngine();
    CwEngine(const CwEngine&) = delete;
    CwEngine& operator=(const CwEngine&) = delete;

    // The line to key. Returns once the keying thread no longer uses the old
    // line, so the caller may close it. Null keys nothing.
    void setKeyLine(KeyLine* line);

    // Keying interface (0 none, 1 RTS, 2 DTR, 3 parallel, 5 WinKey). With 0
    // characters leave the buffer but nothing is keyed.
    void setInterface(int value) { m_interface.store(value); }
    int interface() const { return m_interface.load(); }
    void setSpeed(double wpm) { m_wpm.store(wpm); }
    double speed() const { return m_wpm.load(); }
    void setWordSpace(int units) { m_wordSpace.store(units); }
    int wordSpace() const { return m_wordSpace.load(); }
    void setTimingMethod(TimingMethod method) { m_method.store(method); }
    TimingMethod timingMethod() const { return m_method.load(); }
    void setLoopsPer60ms(double loops) { m_loopsPer60ms.store(loops); }
    double loopsPer60ms() const { return m_loopsPer60ms.load(); }

    // CWBuffer.
    std::string buffer() const;
    bool bufferEmpty() const;
    bool bufferContains(char ch) const;
    void clearBuffer();
    void append(std::string_view text);
    // Removes the last unsent character; false when the buffer was empty.
    bool removeLast();
    // Takes the first character off the buffer (the WinKey sender uses this).
    std::optional<char> takeFirst();

    // CWSending.
    bool isSending() const { return m_sending.load(); }
    // LoopThroughCWBuffer: starts the keying thread on the buffer unless it
    // is already sending. Returns whether it started.
    bool pump();
    // Appends text and starts the pump when idle, as one step.
    void appendAndPump(std::string_view text);

    // Waits until sending has stopped and the listener has been told.
    bool waitUntilIdle(std::chrono::milliseconds timeout);
    // Whether the keying thread runs with real-time scheduling.
    bool realTimeGranted() const { return m_realTime.load(); }
    // How it got (or did not get) real-time priority; NotAsked until the
    // keying thread has decided, which it does before it keys anything.
    RealTimeGrant realTimeGrant() const;

  private:
    void run(const RealTimeRequest& realTime);
    void transmit(char ch, bool burstStart);
    void key(bool down);
    void waitUnit(double wpm);

    ElementClock& m_clock;
    CwEngineListener* m_listener;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::string m_buffer;
    bool m_runRequested = false;
    // Set when the engine is destroyed; also ends a character between units.
    std::atomic<bool> m_stop{false};
    // The keying thread is telling the listener that sending stopped.
    bool m_reporting = false;

    std::mutex m_lineMutex;
    KeyLine* m_line = nullptr;
    bool m_keyDown = false;

    std::atomic<bool> m_sending{false};
    std::atomic<bool> m_realTime{false};
    std::atomic<int> m_interface{0};
    std::atomic<double> m_wpm{13.0};
    std::atomic<int> m_wordSpace{0};
    std::atomic<TimingMethod> m_method{TimingMethod::Timer};
    std::atomic<double> m_loopsPer60ms{0.0};
    RealTimeGrant m_grant; // under m_mutex

    // Keying thread only: the deadline of the current unit on the monotonic
    // clock, carried from character to character within one burst.
    std::int64_t m_deadline = 0;
    // Keying thread only: the key state of the last unit keyed in this burst.
    bool m_unitDown = false;

    std::thread m_thread;
};

} // namespace wexon::keying
